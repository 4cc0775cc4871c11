// veltran-cli audit verify and show, and the link's events in the log.
#include "CliRun.h"
#include "PcSide.h"
#include "core/AuditLog.h"

#include <gtest/gtest.h>

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
                            "audit show --json extra"})
        EXPECT_EQ(runCli(home.str(), bad).exitCode, 2) << bad;

    std::string text = home.read("audit.jsonl");
    text.replace(text.find("Report_7"), 8, "Report_8");
    home.write("audit.jsonl", text);
    r = runCli(home.str(), "audit verify", "", Stderr::Apart);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind(log + ": line 3: its content does not match its hash", 0), 0u) << r.out;
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
    const std::string port = "  port COM1 " + sim.pty();
    const std::string tail = "  by ";
    ASSERT_GE(lines.size(), 9u) << r.out;
    auto has = [&](std::size_t i, const std::string& start, const std::string& part) {
        EXPECT_EQ(lines[i].rfind(start, 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(part), std::string::npos) << lines[i];
    };
    has(0, "create  ok", "audit.jsonl");
    has(1, "connect  ok", port);
    has(2, "identify  ok", "titrator QX502  firmware 2.10");
    has(3, "disconnect  ok", "titrator QX502");
    has(4, "connect  failed (the port did not open)", "/dev/veltran-no-such-port");
    has(5, "config  ok", "[Versions] QX503_MAX=2.0");
    has(6, "connect  ok", refused.pty());
    has(7, "identify  refused", "titrator QX503");
    has(8, "disconnect  ok", "titrator QX503");
}

TEST(CliAudit, NoLinkCommandStartsWhenTheLogCannotBeWritten) {
    TempDir home;
    std::filesystem::create_directory(home.path() / "audit.jsonl");
    simtest::SimProcess sim({"--model", "QX502"});
    const CliResult r = runCli(home.str(), "--port " + sim.pty() + " list methods");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.out.find("the audit log cannot be written: " + home.str() +
                         "/audit.jsonl: cannot open: Is a directory"),
              std::string::npos)
        << r.out;
}
