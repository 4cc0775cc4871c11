// veltran-cli sync against the simulated titrator: every report collected once
// and byte for byte, whatever passes, hang-ups, damaged state files and signals
// come between; --move takes a report off the titrator only once it arrived whole.
#include "CliRun.h"
#include "PcSide.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct SyncRig {
    TempDir home, root, pc;
    std::string log = home.str() + "/sim.log";
    std::unique_ptr<simtest::SimProcess> sim;
    std::size_t mark = 0;

    SyncRig() {
        putReport("TI_00001.RPT", simtest::awkwardBytes(700));
        putReport("TI_00001.LOG", "log of 1");
        putReport("TI_00002.RPT", simtest::awkwardBytes(900));
    }
    void putReport(const std::string& name, const std::string& bytes) const {
        root.write("QX502/reports/" + name, bytes);
    }
    void start(std::vector<std::string> extra = {}) {
        sim.reset();
        std::vector<std::string> args{"--model", "QX502", "--root",   root.str(),
                                      "--log",   log,     "--persist"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<simtest::SimProcess>(args);
        mark = commands().size();
    }
    fs::path in() const { return pc.path() / "in"; }
    CliResult sync(const std::string& options = "") {
        const CliResult r = runCli(
            home.str(), "--port " + sim->pty() + " sync --to '" + in().string() + "' " + options,
            "", Stderr::Apart);
        return r;
    }
    std::vector<std::string> commands() const {
        std::vector<std::string> lines;
        std::istringstream text(simtest::readFile(log));
        for (std::string l; std::getline(text, l);)
            lines.push_back(l);
        return lines;
    }
    // The "get" commands since the last start or look.
    std::vector<std::string> gets() {
        std::vector<std::string> out;
        const std::vector<std::string> all = commands();
        for (std::size_t i = mark; i < all.size(); ++i)
            if (all[i].rfind("get ", 0) == 0)
                out.push_back(all[i].substr(all[i].rfind('\\') + 1));
        mark = all.size();
        return out;
    }
    // The state file's report names, in order.
    std::vector<std::string> collected() const {
        const QJsonDocument doc = QJsonDocument::fromJson(
            QByteArray::fromStdString(simtest::readFile((in() / "veltran-sync.json").string())));
        std::vector<std::string> names;
        for (const QJsonValue& r : doc.object().value("reports").toArray())
            names.push_back(r.toObject().value("file").toString().toStdString());
        return names;
    }
    // Every titrator report that is in the folder has its bytes, and nothing half-written is.
    void expectSameBytes(const std::vector<std::string>& names) const {
        for (const std::string& name : names)
            EXPECT_EQ(simtest::readFile((in() / name).string()), root.read("QX502/reports/" + name))
                << name;
        for (const auto& e : fs::directory_iterator(in()))
            EXPECT_FALSE(e.path().filename().string().starts_with(".veltran-")) << e.path();
    }
};

using Names = std::vector<std::string>;

} // namespace

// A second pass with nothing new sends no "get"; a report added later is fetched alone.
TEST(Sync, EachPassCollectsOnlyWhatIsNew) {
    SyncRig rig;
    rig.start();
    struct Pass {
        std::string added, options;
        Names gets;
    } passes[] = {
        {"", "", {"TI_00001.LOG", "TI_00001.RPT", "TI_00002.RPT"}},
        {"", "", {}},
        {"TI_00003.RPT", "--export-csv", {"TI_00003.RPT"}},
    };
    for (const Pass& p : passes) {
        if (!p.added.empty())
            rig.putReport(p.added,
                          simtest::readFile(VT_SOURCE_DIR "/data/samples/export/TI_00201.RPT"));
        const CliResult r = rig.sync(p.options);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(rig.gets(), p.gets) << p.added;
    }
    EXPECT_EQ(rig.collected(), (Names{"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"}));
    // Only the new report gets its CSV, as Export writes it.
    EXPECT_TRUE(fs::exists(rig.in() / "TI_00003.csv"));
    EXPECT_FALSE(fs::exists(rig.in() / "TI_00002.csv"));
    rig.expectSameBytes({"TI_00001.RPT", "TI_00001.LOG", "TI_00002.RPT", "TI_00003.RPT"});
}

TEST(Sync, MoveTakesOffTheTitratorOnlyReportsThatArrivedWhole) {
    SyncRig rig;
    rig.start({"--ignore", "get \\QX502\\reports\\TI_00002.RPT"});
    const CliResult r = rig.sync("--move");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(fs::exists(rig.root.path() / "QX502/reports/TI_00001.RPT"));
    EXPECT_FALSE(fs::exists(rig.root.path() / "QX502/reports/TI_00001.LOG"));
    EXPECT_TRUE(fs::exists(rig.root.path() / "QX502/reports/TI_00002.RPT"));
    EXPECT_FALSE(fs::exists(rig.in() / "TI_00002.RPT"));
    EXPECT_EQ(rig.collected(), (Names{"TI_00001.RPT"}));
}

// The titrator hangs up in the middle of the second report: the first stays
// collected, the second is fetched whole on the next pass, nothing twice.
TEST(Sync, AHangUpInAPassThenTheNextPassGivesEveryReportOnce) {
    SyncRig rig;
    // Connect, "info" and the listing, then "dir" and both gets of TI_00001, "dir" of TI_00002.
    rig.start({"--hangup-after", "9"});
    EXPECT_EQ(rig.sync().exitCode, 3);
    EXPECT_EQ(rig.collected(), (Names{"TI_00001.RPT"}));
    EXPECT_FALSE(fs::exists(rig.in() / "TI_00002.RPT"));
    rig.start();
    const CliResult r = rig.sync();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rig.gets(), (Names{"TI_00002.RPT"}));
    EXPECT_EQ(rig.collected(), (Names{"TI_00001.RPT", "TI_00002.RPT"}));
    rig.expectSameBytes({"TI_00001.RPT", "TI_00001.LOG", "TI_00002.RPT"});
}

// A state file that is not one is kept aside under another name and collecting
// starts afresh; one that cannot be read at all stops the command before the link.
TEST(Sync, ADamagedStateFileIsKeptAside) {
    SyncRig rig;
    rig.start();
    ASSERT_EQ(rig.sync().exitCode, 0);
    const fs::path state = rig.in() / "veltran-sync.json";
    simtest::writeFile(state.string(), "{\"format\": \"veltran-sync 1\", \"reports\": [");
    CliResult r = rig.sync();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("veltran-sync.json cannot be read"), std::string::npos) << r.err;
    int aside = 0;
    for (const auto& e : fs::directory_iterator(rig.in()))
        if (e.path().filename().string().starts_with("veltran-sync.json.damaged-")) {
            ++aside;
            EXPECT_EQ(simtest::readFile(e.path().string()),
                      "{\"format\": \"veltran-sync 1\", \"reports\": [");
        }
    EXPECT_EQ(aside, 1);
    EXPECT_EQ(rig.collected(), (Names{"TI_00001.RPT", "TI_00002.RPT"}));
    rig.expectSameBytes({"TI_00001.RPT", "TI_00001.LOG", "TI_00002.RPT"});

    fs::remove(state);
    fs::create_directory(state);
    rig.gets();
    r = rig.sync();
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("veltran-sync.json"), std::string::npos) << r.err;
    EXPECT_EQ(rig.gets(), Names{});
}

// --every goes on through a lost link, reconnects when the titrator is back and
// ends on SIGTERM with 143; its JSON events parse.
TEST(Sync, EveryKeepsGoingThroughALostLinkUntilSigterm) {
    SyncRig rig;
    const std::string link = rig.home.str() + "/tty";
    rig.start({"--link", link});
    const std::string events = rig.home.str() + "/events";
    const pid_t cli = startCli(rig.home.str(), rig.pc.str(),
                               "--port " + link + " sync --every 1 --json --to in", events);
    const auto waitFor = [&](std::size_t reports) {
        const auto deadline = std::chrono::steady_clock::now() + 40s;
        while (rig.collected().size() < reports && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(100ms);
        return rig.collected().size();
    };
    EXPECT_EQ(waitFor(2), 2u);
    rig.sim.reset(); // the titrator goes away
    rig.putReport("TI_00003.RPT", simtest::awkwardBytes(300));
    std::this_thread::sleep_for(2s);
    rig.start({"--link", link});
    EXPECT_EQ(waitFor(3), 3u);
    ::kill(cli, SIGTERM);
    EXPECT_EQ(exitCodeWithin(cli, 30s), 143) << rig.home.read("stderr");

    std::set<std::string> seen;
    std::istringstream lines(simtest::readFile(events));
    for (std::string line; std::getline(lines, line);) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        ASSERT_TRUE(doc.isObject()) << line;
        seen.insert(doc.object().value("event").toString().toStdString());
    }
    for (const char* e : {"connected", "file", "collected", "pass", "no-link", "stopping"})
        EXPECT_TRUE(seen.count(e)) << e;
    rig.expectSameBytes({"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"});
}
