#include "core/AuditLog.h"

#include "../support/RecordingHost.h"
#include "../support/TempDir.h"
#include "core/AuditTrail.h"
#include "core/Ini.h"
#include "core/Sha256.h"
#include "core/Text.h"
#include "core/TransferRecord.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

AuditEvent putEvent(const std::string& name, std::int64_t size = 1234) {
    AuditEvent e;
    e.port = "COM1 /dev/ttyS0";
    e.titrator = "QX502";
    e.serial = "S-0042";
    e.firmware = "3.00";
    e.operation = audit::kPut;
    e.source = "/home/lab/" + name;
    e.target = "\\METHODS\\" + name;
    e.size = size;
    e.sha256 = sha256Hex(name);
    e.reason = "";
    return e;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

AuditVerdict verdictOf(const fs::path& file) {
    AuditVerdict verdict;
    std::string error;
    EXPECT_TRUE(scanAuditLog(file, verdict, error)) << error;
    return verdict;
}

// Runs `work` in a child process, as an unprivileged user when the tests run as
// root (root writes anywhere).
bool asUnprivilegedProcess(const std::function<bool()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(AuditLog, ChainsEveryEventToThePreviousLineFromACreationLine) {
    TempDir dir;
    AuditLog log(dir.path() / AuditLog::kFileName, "veltran-cli");
    AuditEvent odd = putEvent("M\xc3\xa9thode \"1\"\\x.MTD", 0); // quotes, backslash, UTF-8
    odd.result = audit::kFailed;
    odd.reason = "line one\nline two\t\x01";
    AuditEvent noSize = putEvent("B.MTD", -1);
    for (const AuditEvent& e : {putEvent("A.MTD"), odd, noSize})
        ASSERT_TRUE(log.append(e)) << log.lastError();

    const std::vector<std::string> lines = text::splitLines(dir.read(AuditLog::kFileName));
    ASSERT_EQ(lines.size(), 4u);
    std::vector<AuditLine> parsed;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(scanAuditLog(log.file(), verdict, error,
                             [&](std::int64_t, std::string_view, const AuditLine* l) {
                                 ASSERT_NE(l, nullptr);
                                 parsed.push_back(*l);
                             }));
    EXPECT_TRUE(verdict.intact()) << verdict.reason;
    EXPECT_EQ(verdict.events, 3);
    EXPECT_EQ(parsed[0].event.operation, audit::kCreate);
    EXPECT_EQ(parsed[0].prev, audit::kNoPrevious);
    for (std::size_t i = 1; i < parsed.size(); ++i)
        EXPECT_EQ(parsed[i].prev, sha256Hex(lines[i - 1])) << i;

    const AuditEvent& back = parsed[2].event;
    for (auto [got, want] : {std::pair{&back.source, &odd.source},
                             {&back.target, &odd.target},
                             {&back.reason, &odd.reason},
                             {&back.result, &odd.result},
                             {&back.serial, &odd.serial},
                             {&back.port, &odd.port},
                             {&back.sha256, &odd.sha256}})
        EXPECT_EQ(*got, *want);
    EXPECT_EQ(back.size, 0);
    EXPECT_EQ(parsed[3].event.size, -1);
    EXPECT_TRUE(
        std::regex_match(back.time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")))
        << back.time;
    EXPECT_EQ(back.program, "veltran-cli");
    EXPECT_FALSE(back.user.empty());
    EXPECT_FALSE(back.host.empty());
    EXPECT_FALSE(back.version.empty());
}

TEST(AuditLog, VerifyFindsTheFirstLineThatBreaksTheChain) {
    TempDir dir;
    const fs::path file = dir.path() / AuditLog::kFileName;
    AuditLog log(file, "veltran");
    for (const char* name : {"A.MTD", "B.MTD", "C.MTD", "D.MTD"})
        ASSERT_TRUE(log.append(putEvent(name)));
    const std::string good = dir.read(AuditLog::kFileName);
    using Lines = std::vector<std::string>;
    struct Case {
        const char* what;
        std::function<std::string(Lines)> tamper;
        std::int64_t brokenLine;
        const char* reason;
    };
    auto edit = [](std::string line) {
        line.replace(line.find("1234"), 4, "1235");
        return line;
    };
    const Case cases[] = {
        {"a line edited",
         [&](Lines l) {
             l[2] = edit(l[2]);
             return joinLines(l);
         },
         3, "edited"},
        {"the last line edited",
         [&](Lines l) {
             l[4] = edit(l[4]);
             return joinLines(l);
         },
         5, "edited"},
        {"a line deleted",
         [](Lines l) {
             l.erase(l.begin() + 2);
             return joinLines(l);
         },
         3, "does not follow line 2"},
        {"the last line deleted",
         [](Lines l) {
             l.pop_back();
             return joinLines(l);
         },
         0, ""},
        {"two lines swapped",
         [](Lines l) {
             std::swap(l[1], l[2]);
             return joinLines(l);
         },
         2, "does not follow line 1"},
        {"the first line deleted",
         [](Lines l) {
             l.erase(l.begin());
             return joinLines(l);
         },
         1, "creation"},
        {"the last line truncated",
         [&](Lines l) { return joinLines(l).substr(0, good.size() - 40); }, 5, "not JSON"},
        {"the last line end removed",
         [&](Lines l) { return joinLines(l).substr(0, good.size() - 1); }, 5, "cut short"},
        {"an empty line added",
         [](Lines l) {
             l.insert(l.begin() + 3, "");
             return joinLines(l);
         },
         4, "not JSON"},
        {"an empty log", [](Lines) { return std::string(); }, 1, "empty"},
    };
    for (const Case& c : cases) {
        dir.write(AuditLog::kFileName, c.tamper(text::splitLines(good)));
        const AuditVerdict v = verdictOf(file);
        EXPECT_EQ(v.brokenLine, c.brokenLine) << c.what;
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.what << ": " << v.reason;
    }
}

TEST(AuditLog, ATornLastLineIsKeptRecordedByTheNextWriterAndNamedByVerify) {
    TempDir dir;
    AuditLog log(dir.path() / AuditLog::kFileName, "veltran");
    int told = 0;
    log.onTornLine = [&told] { ++told; };
    ASSERT_TRUE(log.append(putEvent("A.MTD")));
    const std::string before = dir.read(AuditLog::kFileName);
    const std::string torn = R"({"time":"2024-05-01T)";
    dir.write(AuditLog::kFileName, before + torn);  // a crash inside the write
    EXPECT_EQ(verdictOf(log.file()).brokenLine, 3); // until a writer comes
    ASSERT_TRUE(log.check());
    ASSERT_TRUE(log.append(putEvent("B.MTD")));
    EXPECT_EQ(told, 1);

    const std::string after = dir.read(AuditLog::kFileName);
    EXPECT_EQ(after.substr(0, before.size()), before);
    const std::vector<std::string> lines = text::splitLines(after);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], torn);
    AuditLine found;
    std::string reason;
    ASSERT_TRUE(parseAuditLine(lines[3], found, reason)) << reason;
    EXPECT_EQ(found.event.operation, audit::kTornLine);
    EXPECT_EQ(found.prev, sha256Hex(torn));
    EXPECT_EQ(found.event.sha256, sha256Hex(torn));
    EXPECT_EQ(found.event.size, std::int64_t(torn.size()));
    const AuditVerdict v = verdictOf(log.file());
    EXPECT_TRUE(v.intact()) << v.brokenLine << ": " << v.reason;
    EXPECT_EQ(v.tornLines, std::vector<std::int64_t>{3});
    EXPECT_EQ(v.events, 3); // A, the torn line's record, B

    // A torn line whose record was removed is a break again.
    std::vector<std::string> cut = lines;
    cut.erase(cut.begin() + 3);
    dir.write(AuditLog::kFileName, joinLines(cut));
    EXPECT_EQ(verdictOf(log.file()).brokenLine, 3);
}

TEST(AuditLog, LastLinesAcrossReadBlocksChainOn) {
    for (std::size_t reasonSize : {65000u, 65536u, 200000u}) {
        TempDir dir;
        AuditLog log(dir.path() / AuditLog::kFileName, "veltran");
        AuditEvent big = putEvent("A.MTD");
        big.reason.assign(reasonSize, 'r');
        ASSERT_TRUE(log.append(big));
        ASSERT_TRUE(log.append(putEvent("B.MTD")));
        const AuditVerdict v = verdictOf(log.file());
        EXPECT_TRUE(v.intact()) << reasonSize << ": " << v.brokenLine << " " << v.reason;
        EXPECT_EQ(v.events, 2) << reasonSize;
    }
}

TEST(AuditLog, EightWriterProcessesKeepOneLinearChain) {
    constexpr int kWriters = 8;
    constexpr int kEvents = 1000;
    TempDir dir;
    const fs::path file = dir.path() / AuditLog::kFileName;
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            AuditLog log(file, "veltran-cli");
            for (int i = 0; i < kEvents; ++i)
                if (!log.append(putEvent("W" + std::to_string(w) + ".MTD", i)))
                    ::_exit(1);
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    for (pid_t pid : writers) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::map<std::string, int> perWriter;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(
        scanAuditLog(file, verdict, error, [&](std::int64_t, std::string_view, const AuditLine* l) {
            if (l && l->event.operation == audit::kPut)
                ++perWriter[l->event.target];
        }));
    EXPECT_TRUE(verdict.intact()) << verdict.brokenLine << ": " << verdict.reason;
    EXPECT_EQ(verdict.events, kWriters * kEvents);
    ASSERT_EQ(perWriter.size(), std::size_t(kWriters));
    for (const auto& [name, count] : perWriter)
        EXPECT_EQ(count, kEvents) << name;
}

TEST(AuditLog, AReadOnlyDataFolderIsAnErrorBeforeAnyWork) {
    TempDir dir;
    const fs::path readOnlyDir = dir.path() / "data";
    fs::create_directories(readOnlyDir);
    const fs::path existing = dir.path() / "kept" / AuditLog::kFileName;
    fs::create_directories(existing.parent_path());
    ASSERT_TRUE(AuditLog(existing, "veltran").check());
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(readOnlyDir.c_str(), 0555);
    ::chmod(existing.c_str(), 0444);
    const std::string kept = dir.read("kept/audit.jsonl");
    for (const fs::path& file : {readOnlyDir / AuditLog::kFileName, existing}) {
        const bool refused = asUnprivilegedProcess([&] {
            AuditLog log(file, "veltran");
            return !log.check() && log.lastError().rfind(file.string() + ": cannot open", 0) == 0 &&
                   !log.append(putEvent("A.MTD"));
        });
        EXPECT_TRUE(refused) << file;
    }
    EXPECT_FALSE(fs::exists(readOnlyDir / AuditLog::kFileName));
    EXPECT_EQ(dir.read("kept/audit.jsonl"), kept);
}

TEST(AuditLog, RecordingWithoutALogIsANoOpAndAFailingLogIsReported) {
    setAuditLog(nullptr);
    EXPECT_TRUE(recordAudit(putEvent("A.MTD")));
    TempDir dir;
    setAuditLog(
        std::make_unique<AuditLog>(dir.path() / "missing" / AuditLog::kFileName, "veltran"));
    EXPECT_FALSE(recordAudit(putEvent("A.MTD")));
    EXPECT_NE(auditLog()->lastError().find("cannot open"), std::string::npos);
    setAuditLog(nullptr);
}

TEST(AuditLog, ConfigurationValuesTheProgramSetsAreRecordedWhenTheyChange) {
    TempDir dir;
    const fs::path config = dir.write("config.ini", "[Options]\ncsvSep=0\n");
    setAuditLog(std::make_unique<AuditLog>(dir.path() / AuditLog::kFileName, "veltran"));
    RecordingHost host;
    setIniString(config, "Options", "csvSep", "1", host);
    setIniString(config, "Options", "csvSep", "1", host); // unchanged: nothing to record
    setAuditLog(nullptr);
    std::vector<AuditEvent> events;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(scanAuditLog(
        dir.path() / AuditLog::kFileName, verdict, error,
        [&](std::int64_t, std::string_view, const AuditLine* l) { events.push_back(l->event); }));
    ASSERT_EQ(events.size(), 2u); // the creation and one change
    EXPECT_EQ(events[1].operation, audit::kConfig);
    EXPECT_EQ(events[1].source, "[Options] csvSep=0");
    EXPECT_EQ(events[1].target, "[Options] csvSep=1");
    EXPECT_EQ(events[1].result, audit::kOk);
    EXPECT_TRUE(host.messages.empty());
}

TEST(AuditLog, FileRecordsBecomeEventsWithTheLinkWhereTheTitratorTookPart) {
    using Op = TransferOperation;
    using Dir = TransferDirection;
    using Out = TransferOutcome;
    struct Case {
        Op op;
        Dir dir;
        const char *entry, *pc, *titrator;
        Out result;
        const char *operation, *source, *target, *word;
        bool linked;
    };
    const Case cases[] = {
        {Op::Copy, Dir::ToTitrator, "M\xe9.MTD", "/pc/M.MTD", "M\xe9.MTD", Out::Refused, "put",
         "/pc/M.MTD", "M\xc3\xa9.MTD", "refused", true},
        {Op::Export, Dir::ToPc, "TI_1.RPT", "/pc/TI_1.csv", "TI_1.RPT", Out::Done, "export",
         "TI_1.RPT", "/pc/TI_1.csv", "ok", true},
        {Op::Export, Dir::OnPc, "TI_2.RPT", "/pc/TI_2.csv", "", Out::Skipped, "export", "TI_2.RPT",
         "/pc/TI_2.csv", "skipped", false},
        {Op::Delete, Dir::OnPc, "A.MTD", "/pc/A.MTD", "", Out::Aborted, "delete", "/pc/A.MTD", "",
         "aborted", false},
    };
    TempDir dir;
    setAuditLog(std::make_unique<AuditLog>(dir.path() / AuditLog::kFileName, "veltran"));
    AuditEvent link;
    link.port = "COM1 /dev/ttyS0";
    link.titrator = "QX502";
    link.serial = "0412";
    for (const Case& c : cases) {
        TransferRecord r;
        r.operation = c.op;
        r.direction = c.dir;
        r.entry = c.entry;
        r.pcName = c.pc;
        r.titratorName = c.titrator;
        r.result = c.result;
        r.reason = "Ung\xfcltig";
        setAuditLink(link);
        EXPECT_TRUE(recordTransfer(r));
    }
    setAuditLink({});
    setAuditLog(nullptr);
    std::vector<AuditEvent> events;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(scanAuditLog(dir.path() / AuditLog::kFileName, verdict, error,
                             [&](std::int64_t n, std::string_view, const AuditLine* l) {
                                 if (n > 1)
                                     events.push_back(l->event);
                             }));
    ASSERT_EQ(events.size(), std::size(cases));
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Case& c = cases[i];
        const AuditEvent& e = events[i];
        EXPECT_EQ(e.operation, c.operation) << i;
        EXPECT_EQ(e.source, c.source) << i;
        EXPECT_EQ(e.target, c.target) << i;
        EXPECT_EQ(e.result, c.word) << i;
        EXPECT_EQ(e.reason, "Ung\xc3\xbcltig") << i;
        EXPECT_EQ(e.serial, c.linked ? "0412" : "") << i;
        EXPECT_EQ(e.port, c.linked ? link.port : "") << i;
    }
}

TEST(AuditTrail, FiltersByTimeNameOperationAndResult) {
    AuditEvent e = putEvent("Ti_1.MTD");
    e.time = "2024-05-01T10:00:00.000Z";
    e.result = audit::kFailed;
    struct Case {
        AuditFilter filter;
        bool matches;
    };
    const Case cases[] = {
        {{}, true},
        {{auditTimeOf("2024-05-01"), "", "", "", ""}, true},
        {{auditTimeOf("2024-05-01T10:00:00.001"), "", "", "", ""}, false},
        {{auditTimeOf("2024-05-01T11:00:00+02:00"), "", "", "", ""}, true},
        {{"", auditTimeOf("2024-05-01T10:00"), "", "", ""}, false},
        {{"", auditTimeOf("2024-05-02"), "", "", ""}, true},
        {{"", "", "ti_1.mtd", "", ""}, true},
        {{"", "", "\\methods\\TI_1.MTD", "", ""}, true},
        {{"", "", "1.MTD", "", ""}, false},
        {{"", "", "", audit::kPut, audit::kFailed}, true},
        {{"", "", "", audit::kGet, ""}, false},
        {{"", "", "", "", audit::kOk}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(auditMatches(e, c.filter), c.matches)
            << c.filter.from << " " << c.filter.until << " " << c.filter.file;
    EXPECT_EQ(auditTimeOf("yesterday"), "");
}

TEST(Sha256, OfBytesAndOfAFileAgreeAndOnlyRegularFilesAreRead) {
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    TempDir dir;
    const std::string bytes(100000, '\xa7');
    std::string hex, error;
    ASSERT_TRUE(sha256OfFile(dir.write("big.bin", bytes), hex, error)) << error;
    EXPECT_EQ(hex, sha256Hex(bytes));
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    for (const char* name : {"fifo", "missing"}) {
        EXPECT_FALSE(sha256OfFile(dir.path() / name, hex, error)) << name;
        EXPECT_NE(error.find(name), std::string::npos);
    }
}
