// Copying many files through the simulated titrator at 19200 baud: 50
// methods and 20 reports with their .LOG and .BMP, PC to titrator and back,
// through the same copy logic as the Copy button. Prints the time against the
// wire time of the files and the commands per file; never fails on time.
#include "PcSide.h"
#include "RecordingView.h"
#include "core/AppPaths.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "files/CopyFiles.h"
#include "files/CopyProgress.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/Frame.h"
#include "link/LinkMonitor.h"
#include "link/LinkView.h"
#include "link/Port.h"
#include "link/SerialHost.h"
#include "seal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int kMethods = 50;
constexpr int kReports = 20;
constexpr int kBaud = 19200;
constexpr double kBytesPerSecond = kBaud / 10.0;
constexpr double kTarget = 1.15;

struct NoView : RecordingView, Host, ReplaceAsker {
    void runtimeError(int, const std::string& d, const std::string& s) override {
        std::fprintf(stderr, "%s: %s\n", s.c_str(), d.c_str());
    }
    void message(const std::string& t, const std::string&, Icon) override {
        std::fprintf(stderr, "message: %s\n", t.c_str());
    }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    int askReplace(const ReplaceQuestion&) override { return ReplacePrompt::ReplaceAll; }
};

void write(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string sample(const char* name) {
    return simtest::readFile(std::string(VT_SOURCE_DIR "/data/samples/pc/") + name);
}

// The line time of a file's frames and their echoes, one after the other.
double wireSeconds(const std::string& content) {
    const uint32_t blocks = frame::blockCount(content.size());
    std::size_t bytes = frame::buildFrame('t', blocks, "").size() + frame::kHeaderLength;
    for (uint32_t i = 0; i < blocks; ++i)
        bytes += frame::buildFrame('p', i, content.substr(i * frame::kBlockSize, frame::kBlockSize))
                     .size() +
                 frame::kHeaderLength;
    return bytes / kBytesPerSecond;
}

double folderWireSeconds(const fs::path& dir, int& files) {
    double s = 0;
    files = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) {
            s += wireSeconds(simtest::readFile(e.path().string()));
            ++files;
        }
    return s;
}

std::size_t logLines(const fs::path& log) {
    std::ifstream in(log);
    std::size_t n = 0;
    for (std::string l; std::getline(in, l);)
        ++n;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TempDir dir;
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 1);
    AppPaths paths;
    paths.dataDir = dir.path() / "data";
    setAppPaths(paths);

    // The PC side: sealed methods from one template, reports with both companions.
    std::string method = sample("QX0102TA.MTD");
    method.resize(method.size() - 2); // the stored CRC
    char name[32];
    for (int i = 1; i <= kMethods; ++i) {
        std::snprintf(name, sizeof name, "QX%04dBM", i);
        write(dir.path() / "up/methods" / (std::string(name) + ".MTD"), sumval::sealed(method));
    }
    for (int i = 1; i <= kReports; ++i) {
        std::snprintf(name, sizeof name, "TI_%05d", 100 + i);
        write(dir.path() / "up/reports" / (std::string(name) + ".RPT"), sample("TI_00031.RPT"));
        write(dir.path() / "up/reports" / (std::string(name) + ".LOG"), sample("TI_00031.LOG"));
        write(dir.path() / "up/reports" / (std::string(name) + ".BMP"), sample("TI_00031.BMP"));
    }

    const fs::path log = dir.path() / "sim.log";
    simtest::SimProcess sim({"--model", "QX502", "--baud", std::to_string(kBaud), "--root",
                             (dir.path() / "root").string(), "--log", log.string(), "--slots",
                             "std=200"});
    NoView view;
    DeviceSession::Config config;
    config.configPath = dir.write("config.ini", "[Ports]\n4=" + sim.pty() +
                                                    "\n[Versions]\nQX502_MIN=1\nQX502_MAX=9\n");
    config.periodicLinkCheck = false;
    DeviceSession session(view, view, defaultPump(), config);
    session.connect(4, kBaud);
    if (!session.monitor().titratorIdentified()) {
        std::printf("bench-copy: the simulated titrator was not identified\n");
        return 1;
    }
    CopyProgress progress;
    devfiles::CopyUi ui{view, progress, view};

    struct Run {
        const char* what;
        int source, fileType;
        const char* folder;
    } runs[] = {
        {"methods PC -> titrator", 0, ftype::kStandardMethods, "up/methods"},
        {"reports PC -> titrator", 0, ftype::kReports, "up/reports"},
        {"methods titrator -> PC", 1, ftype::kStandardMethods, "down/methods"},
        {"reports titrator -> PC", 1, ftype::kReports, "down/reports"},
    };
    std::printf("bench-copy: %d methods, %d reports with .LOG and .BMP, %d baud\n", kMethods,
                kReports, kBaud);
    std::printf("%-24s %6s %9s %9s %7s %10s\n", "copy", "files", "seconds", "wire s", "ratio",
                "cmds/file");
    for (const Run& r : runs) {
        devfiles::CopyRequest req;
        req.source = r.source;
        req.fileType = r.fileType;
        req.pcFolder = dir.path() / r.folder;
        fs::create_directories(req.pcFolder);
        std::string listing;
        devfiles::listTitratorFiles(session, view, r.fileType, 1, listing);
        req.titratorEntries = devfiles::listingLines(listing);
        if (r.source == 0) {
            for (const auto& e : fs::directory_iterator(req.pcFolder)) {
                const std::string n = e.path().filename().string();
                if (selectedFileType(n) == r.fileType)
                    req.selected.push_back({n, n});
            }
        } else {
            for (const std::string& line : req.titratorEntries)
                req.selected.push_back({line.substr(0, line.find(' ')), line});
        }
        const std::size_t before = logLines(log);
        QElapsedTimer clock;
        clock.start();
        const auto result = devfiles::copyFile(session, req, ui);
        const double seconds = clock.nsecsElapsed() / 1e9;
        int files = 0;
        const double wire = folderWireSeconds(req.pcFolder, files);
        const double commands = double(logLines(log) - before);
        std::printf("%-24s %6d %9.2f %9.2f %7.3f %10.2f%s\n", r.what, files, seconds, wire,
                    seconds / wire, commands / files,
                    result.done == int(req.selected.size()) ? "" : "  (not every file went)");
    }
    std::printf("target: ratio below %.2f (wire s: the files' frames and echoes at %d baud)\n",
                kTarget, kBaud);
    if (std::getenv("VT_BENCH_LOG"))
        std::printf("%s", simtest::readFile(log.string()).c_str());
    return 0;
}
