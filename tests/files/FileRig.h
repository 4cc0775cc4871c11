#pragma once
// The file service against a titrator: recorders for what the user would see
// (messages, replace questions, progress) and a rig that runs the real
// veltran-sim on a pseudo-terminal with a device tree and a command log.
#include "PcSide.h"
#include "RecordingHost.h"
#include "RecordingView.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/TransferRecord.h"
#include "files/CopyFiles.h"
#include "files/CopyProgress.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/LinkView.h"
#include "link/Serial.h"
#include "link/SerialHost.h"
#include "seal.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>

namespace filetest {

// Answers replace questions from a list; an empty list closes the window (0).
struct ScriptedReplace : ReplaceAsker {
    std::deque<int> answers;
    std::vector<std::string> questions;
    std::vector<CopyFacts> facts;
    int askReplace(const ReplaceQuestion& question) override {
        questions.push_back(question.text);
        facts.push_back(question.facts);
        if (answers.empty())
            return 0;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct RecordedTransfers : TransferObserver {
    std::vector<TransferRecord> all;
    void record(const TransferRecord& r) override { all.push_back(r); }
};

struct RecordingProgress : CopyProgress {
    std::vector<double> totals;
    std::vector<std::string> names;
    bool visible = false;
    int shows = 0;
    // Called with (file number from 1, fraction) on every file progress report.
    std::function<void(int, double)> onProgress;
    void started(const std::string& name) override { names.push_back(name); }
    void setFileStatus(double f) override {
        if (onProgress && !names.empty())
            onProgress(static_cast<int>(names.size()), f);
    }
    void setTotalStatus(double f) override { totals.push_back(f); }
    void showProgress(bool v) override {
        visible = v;
        shows += v ? 1 : 0;
    }
};

inline void loadEnglish() {
    setLanguageTable(readLanguageTable(IniFile::load(VT_RESOURCE_DIR "/lang/english.lng")));
}

// A method text that passes the checksum library for its name and family.
inline std::string sealedMethod(const std::string& fileId, const std::string& rev,
                                int methType = 32) {
    std::string text = "Name " + fileId + "\r\nFileID " + fileId +
                       "\r\nTimeStamp 1700000000\r\nRev " + rev + "\r\nMethType " +
                       std::to_string(methType) + "\r\nLinearVol 0.1\r\n";
    return sumval::sealed(text);
}

inline std::string report(const std::string& model) {
    return "\t" + model + " Titration Report\r\n\tMethod Name:\tTEST\r\n\r\n";
}

struct SimRig {
    TempDir dir;
    std::unique_ptr<simtest::SimProcess> sim;
    RecordingView view;
    RecordingHost host;
    ScriptedReplace replace;
    RecordingProgress progress;
    RecordedTransfers records;
    std::unique_ptr<DeviceSession> session;
    devfiles::CopyUi ui{host, progress, replace, &records};
    std::string model;
    std::size_t logMark = 0;

    // The device tree is written before start() through titrator().
    explicit SimRig(std::string modelName = "QX502") : model(std::move(modelName)) {
        loadEnglish();
        ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 1);
        AppPaths paths;
        paths.dataDir = dir.path() / "data";
        setAppPaths(paths);
        std::filesystem::create_directories(pc());
        std::filesystem::create_directories(dir.path() / "root");
        host.answer = true;
    }
    ~SimRig() {
        session.reset();
        sim.reset();
    }

    std::filesystem::path pc() const { return dir.path() / "pc"; }
    // A file of the titrator's tree: "methods/QX0102TA.MTD" under the model's folder.
    std::filesystem::path titrator(const std::string& rel) const {
        return dir.path() / "root" / model / rel;
    }
    void putTitrator(const std::string& rel, const std::string& content) const {
        std::filesystem::create_directories(titrator(rel).parent_path());
        std::ofstream(titrator(rel), std::ios::binary) << content;
    }
    void putPc(const std::string& name, const std::string& content) const {
        std::filesystem::create_directories((pc() / name).parent_path());
        std::ofstream(pc() / name, std::ios::binary) << content;
    }

    bool start(std::vector<std::string> args = {}) {
        std::vector<std::string> all{"--model", model,
                                     "--root",  (dir.path() / "root").string(),
                                     "--log",   (dir.path() / "sim.log").string()};
        all.insert(all.end(), args.begin(), args.end());
        sim = std::make_unique<simtest::SimProcess>(all);
        const std::string config = "[Ports]\n4=" + sim->pty() + "\n[Versions]\n" + model +
                                   "_MIN=0.1\n" + model + "_MAX=9.99\n";
        DeviceSession::Config c;
        c.configPath = dir.write("config.ini", config);
        c.periodicLinkCheck = false;
        session = std::make_unique<DeviceSession>(view, view, defaultPump(), c);
        session->connect(4, 19200);
        mark();
        return session->monitor().titratorIdentified();
    }

    std::vector<std::string> log() const {
        std::ifstream in(dir.path() / "sim.log");
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        return {lines.begin() + static_cast<long>(std::min(logMark, lines.size())), lines.end()};
    }
    // Later log() calls show only the commands after this point.
    void mark() {
        logMark = 0;
        logMark = log().size();
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : log())
            n += l.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    std::vector<std::string> listing(int fileType) {
        std::string text;
        devfiles::listTitratorFiles(*session, host, fileType, session->monitor().identity().titType,
                                    text);
        return devfiles::listingLines(text);
    }
    // A request over the titrator pane as it is listed now.
    devfiles::CopyRequest request(int source, int fileType, const std::vector<std::string>& names) {
        devfiles::CopyRequest r;
        r.source = source;
        r.fileType = fileType;
        r.pcFolder = pc();
        r.titratorEntries = listing(fileType);
        for (const std::string& n : names) {
            std::string line = n;
            for (const std::string& l : r.titratorEntries)
                if (l.rfind(n + " ", 0) == 0)
                    line = l;
            r.selected.push_back({n, line});
        }
        mark();
        return r;
    }
    devfiles::CopyResult copy(const devfiles::CopyRequest& r) {
        return devfiles::copyFile(*session, r, ui);
    }
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> t;
        for (const auto& m : host.messages)
            t.push_back(m.text);
        return t;
    }
};

inline bool onDisk(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::exists(p, ec);
}

} // namespace filetest
