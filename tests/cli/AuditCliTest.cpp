// veltran-cli audit verify and show, and the link's events in the log.
#include "CliRun.h"
#include "PcSide.h"
#include "core/AuditLog.h"
#include "core/AuditTrail.h"
#include "core/Sha256.h"

#include <gtest/gtest.h>
#include <map>

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CliAudit, VerifyAndShowReadTheDataFolderLog) {
    TempDir home;
    const std::string log = home.str() + "/audit.jsonl";
    CliResult r = runCli(home.str(), "audit verify");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("no audit log"), std::string::npos) << r.out;

    AuditLog writer(log, "veltran");
    const std::pair<const char*, const char*> events[] = {
        {"2024-05-01T08:00:00.000Z", "A.MTD"},
        {"2024-05-02T08:00:00.000Z", "Report_7.RPT"},
        {"2024-05-03T08:00:00.000Z", "a.mtd"},
    };
    for (auto [time, name] : events) {
        AuditEvent e;
        e.time = time;
        e.operation = audit::kGet;
        e.source = std::string("\\METHODS\\") + name;
        e.target = std::string("/lab/") + name;
        e.size = 10;
        ASSERT_TRUE(writer.append(e)) << writer.lastError();
    }
    ASSERT_EQ(runCli(home.str(), "config set Options Foo 1").exitCode, 0);

    r = runCli(home.str(), "audit verify", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, log + ": 4 events, chain intact\n");
    r = runCli(home.str(), "audit verify " + log, "", Stderr::Apart);
    EXPECT_EQ(r.out, log + ": 4 events, chain intact\n");

    r = runCli(home.str(), "audit show --since 2024-05-02 --file A.MTD", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(count(r.out, "\n"), 1u) << r.out;
    EXPECT_EQ(r.out.rfind(
                  "2024-05-03T08:00:00.000Z  get  ok  \\METHODS\\a.mtd -> /lab/a.mtd  10 bytes", 0),
              0u)
        << r.out;
    r = runCli(home.str(), "audit show --json", "", Stderr::Apart);
    EXPECT_EQ(r.out, home.read("audit.jsonl"));
    r = runCli(home.str(), "audit show --file config.ini", "", Stderr::Apart);
    EXPECT_EQ(r.out, "");
    for (const char* bad : {"audit", "audit frob", "audit show --since May", "audit verify a b",
                            "audit show --json a b"})
        EXPECT_EQ(runCli(home.str(), bad).exitCode, 2) << bad;
    r = runCli(home.str(), "audit show " + home.str() + "/none.jsonl", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no audit log"), std::string::npos) << r.err;

    std::string text = home.read("audit.jsonl");
    text.replace(text.find("Report_7"), 8, "Report_8");
    home.write("audit.jsonl", text);
    r = runCli(home.str(), "audit verify", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind(log + ": line 3: its content does not match its hash", 0), 0u) << r.out;
}

TEST(CliAudit, ATornLineIsToldOnceNamedByVerifyAndShowKeepsTheTerminalSafe) {
    TempDir home, other;
    const std::string log = other.str() + "/kept.jsonl";
    AuditLog writer(log, "veltran");
    AuditEvent e;
    e.operation = audit::kGet;
    e.source = "\\METHODS\\A.MTD";
    e.reason = "csi \xc2\x9b"
               "31m, nel \xc2\x85, esc \x1b[0m";
    ASSERT_TRUE(writer.append(e));
    other.write("kept.jsonl", other.read("kept.jsonl") + "{\"time\":"); // a crash mid-write
    ASSERT_EQ(runCli(home.str(), "config set Options Foo 1").exitCode, 0);
    std::filesystem::rename(log, home.str() + "/audit.jsonl");
    CliResult r = runCli(home.str(), "config set Options Foo 2", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(count(r.err, "cut short by an interrupted write"), 1u) << r.err;
    r = runCli(home.str(), "config set Options Foo 3", "", Stderr::Apart);
    EXPECT_EQ(r.err, "");

    const std::string moved = home.str() + "/audit.jsonl";
    r = runCli(home.str(), "audit verify", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.out, moved +
                         ": line 3: cut short by an interrupted write, kept as found "
                         "(recorded by line 4)\n" +
                         moved + ": 4 events, chain intact\n");
    r = runCli(other.str(), "audit show " + moved, "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("(csi ?31m, nel ?, esc ?[0m)"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "warning: 1 line is not an event and was left out\n");
}

TEST(CliAudit, ConnectIdentificationAndTheEndOfTheLinkAreRecorded) {
    TempDir home;
    simtest::SimProcess sim({"--model", "QX502", "--firmware", "2.10"});
    ASSERT_EQ(runCli(home.str(), "--port " + sim.pty() + " identify").exitCode, 0);
    EXPECT_EQ(runCli(home.str(), "--port /dev/veltran-no-such-port identify").exitCode, 3);
    ASSERT_EQ(runCli(home.str(), "config set Versions QX503_MAX 2.0").exitCode, 0);
    simtest::SimProcess refused({"--model", "QX503", "--firmware", "3.00"});
    EXPECT_EQ(runCli(home.str(), "--port " + refused.pty() + " identify").exitCode, 4);

    const CliResult r = runCli(home.str(), "audit show", "", Stderr::Apart);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(r.out.substr(at, end - at).substr(26)); // after the time
    const std::string port = "  port " + sim.pty(); // the device given, not a COM number
    const std::string tail = "  by ";
    ASSERT_GE(lines.size(), 9u) << r.out;
    auto has = [&](std::size_t i, const std::string& start, const std::string& part) {
        EXPECT_EQ(lines[i].rfind(start, 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(part), std::string::npos) << lines[i];
    };
    has(0, "create  ok", "audit.jsonl");
    has(1, "connect  ok", port);
    has(2, "identify  ok", "titrator QX502  serial 0412  firmware 2.10");
    has(3, "disconnect  ok", "titrator QX502");
    has(4, "connect  failed (the port did not open)", "/dev/veltran-no-such-port");
    has(5, "config  ok", "[Versions] QX503_MAX=2.0");
    has(6, "connect  ok", refused.pty());
    has(7, "identify  refused", "titrator QX503");
    has(8, "disconnect  ok", "titrator QX503");
}

TEST(CliAudit, NothingStartsWhenTheLogCannotBeWritten) {
    TempDir home;
    std::filesystem::create_directory(home.path() / "audit.jsonl");
    simtest::SimProcess sim({"--model", "QX502"});
    const std::string report = home.write("pc/TI_1.RPT", "\tQX502 report\r\n").string();
    for (const std::string& command :
         {"--port " + sim.pty() + " list methods", "export " + report + " --to " + home.str(),
          "print " + report + " --pdf " + home.str() + "/out.pdf"}) {
        const CliResult r = runCli(home.str(), command);
        EXPECT_EQ(r.exitCode, 2) << command;
        EXPECT_NE(r.out.find("the audit log cannot be written: " + home.str() +
                             "/audit.jsonl: cannot open: Is a directory"),
                  std::string::npos)
            << command << ": " << r.out;
    }
    EXPECT_FALSE(std::filesystem::exists(home.path() / "TI_1.csv"));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "out.pdf"));
}

TEST(CliAudit, EachFileOfAPutGetMoveAndDeleteIsRecordedOnceWithItsPcBytes) {
    TempDir dir;
    const std::string root = dir.str() + "/root", pc = dir.str() + "/pc";
    for (const char* n : {"1", "2", "3"})
        dir.write(std::string("root/QX502/reports/TI_0000") + n + ".RPT",
                  std::string("\tQX502 report ") + n + "\r\n");
    dir.write("pc/TI_00009.RPT", "\tQX502 report 9\r\n");
    simtest::SimProcess sim({"--model", "QX502", "--root", root, "--persist"});
    const std::string home = dir.str() + "/home", port = "--port " + sim.pty() + " ";
    for (const std::string& command :
         {"put reports " + pc + "/TI_00009.RPT", "get reports TI_00001.RPT --to " + pc,
          "get reports TI_00002.RPT --move --to " + pc,
          std::string("delete reports TI_00003.RPT --yes")})
        ASSERT_EQ(runCli(home, port + command).exitCode, 0) << command;

    std::map<std::string, std::vector<AuditEvent>> byOperation;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(scanAuditLog(home + "/audit.jsonl", verdict, error,
                             [&](std::int64_t, std::string_view, const AuditLine* l) {
                                 byOperation[l->event.operation].push_back(l->event);
                             }));
    EXPECT_TRUE(verdict.intact()) << verdict.reason;
    struct Want {
        const char *operation, *pcFile, *titratorFile;
    };
    for (const Want& w :
         {Want{"put", "TI_00009.RPT", "TI_00009.RPT"}, Want{"get", "TI_00001.RPT", "TI_00001.RPT"},
          Want{"move", "TI_00002.RPT", "TI_00002.RPT"}, Want{"delete", "", "TI_00003.RPT"}}) {
        const std::vector<AuditEvent>& events = byOperation[w.operation];
        ASSERT_EQ(events.size(), 1u) << w.operation;
        const AuditEvent& e = events.front();
        const bool put = std::string(w.operation) == "put";
        const std::string pcPath = *w.pcFile ? pc + "/" + w.pcFile : "";
        EXPECT_EQ(put ? e.source : e.target, pcPath) << w.operation;
        EXPECT_NE((put ? e.target : e.source).find(w.titratorFile), std::string::npos)
            << w.operation << ": " << e.source;
        const std::string bytes = *w.pcFile ? dir.read(std::string("pc/") + w.pcFile) : "";
        EXPECT_EQ(e.sha256, bytes.empty() ? "" : sha256Hex(bytes)) << w.operation;
        EXPECT_EQ(e.size, bytes.empty() ? e.size : std::int64_t(bytes.size())) << w.operation;
        EXPECT_EQ(e.result, audit::kOk) << w.operation;
        EXPECT_EQ(e.port, sim.pty()) << w.operation;
        EXPECT_EQ(e.serial, "0412") << w.operation;
    }
}

TEST(CliAudit, AnExportAndAPrintRecordTheBytesTheyWrote) {
    TempDir home;
    const std::string report = VT_SOURCE_DIR "/data/samples/export/TI_00201.RPT";
    struct Case {
        std::string command, written;
        const char* operation;
    };
    for (const Case& c :
         {Case{"export " + report + " --to " + home.str(), "TI_00201.csv", "export"},
          Case{"print " + report + " --pdf " + home.str() + "/TI.pdf", "TI.pdf", "print"}}) {
        ASSERT_EQ(runCli(home.str(), c.command).exitCode, 0) << c.command;
        std::vector<AuditEvent> events;
        AuditVerdict verdict;
        std::string error;
        ASSERT_TRUE(scanAuditLog(home.path() / "audit.jsonl", verdict, error,
                                 [&](std::int64_t, std::string_view, const AuditLine* l) {
                                     if (l->event.operation == c.operation)
                                         events.push_back(l->event);
                                 }));
        ASSERT_EQ(events.size(), 1u) << c.command;
        const std::string bytes = home.read(c.written);
        EXPECT_EQ(events[0].source, c.operation == std::string("export") ? "TI_00201.RPT" : report);
        EXPECT_EQ(events[0].target, home.str() + "/" + c.written);
        EXPECT_EQ(events[0].sha256, sha256Hex(bytes)) << c.command;
        EXPECT_EQ(events[0].size, std::int64_t(bytes.size())) << c.command;
    }
}
