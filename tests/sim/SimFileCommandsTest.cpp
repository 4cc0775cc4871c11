// The file service's and the upgrade's commands over the real pty, one
// exchange each, and the command log that shows them as they came.
#include "PcSide.h"
#include "sim/Upgrade.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace simtest;
namespace fs = std::filesystem;

namespace {

struct Titrator {
    TempDir root;
    std::string logPath = root.str() + ".log";
    SimProcess sim;
    PcPort port;

    explicit Titrator(std::vector<std::string> args, bool samples = false)
        : sim(prepare(std::move(args), samples)), port(sim.pty()) {}
    ~Titrator() { fs::remove(logPath); }

    std::vector<std::string> prepare(std::vector<std::string> args, bool samples) {
        if (samples)
            fs::copy(fs::path(VT_SOURCE_DIR) / "data/samples/titrator", root.path(),
                     fs::copy_options::recursive);
        args.insert(args.end(), {"--root", root.str(), "--log", logPath});
        return args;
    }
    std::string path(const std::string& relative) const { return root.str() + "/" + relative; }
    std::vector<std::string> logged() const {
        std::vector<std::string> lines;
        std::string text = readFile(logPath);
        for (std::size_t at = 0, end; (end = text.find('\n', at)) != text.npos; at = end + 1)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }
};

// The first token of each line, blank-separated.
std::string namesOf(const std::string& listing) {
    std::string names;
    for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != listing.npos; at = end + 2) {
        const std::string line = listing.substr(at, end - at);
        names += (names.empty() ? "" : " ") + line.substr(0, line.find(' '));
    }
    return names;
}

enum class Reply { Text, Names, FirstName, Ack, Deleted, Refused };

struct Exchange {
    std::string command;
    Reply reply;
    std::string expected = {}; // the text, or the listed names, or the first of them
};

void run(PcPort& port, const Exchange& e) {
    SCOPED_TRACE(e.command);
    switch (e.reply) {
    case Reply::Text:
    case Reply::Names:
    case Reply::FirstName: {
        const auto answer = port.query(e.command);
        ASSERT_TRUE(answer);
        EXPECT_EQ(e.reply == Reply::Text    ? *answer
                  : e.reply == Reply::Names ? namesOf(*answer)
                                            : answer->substr(0, answer->find(' ')),
                  e.expected);
        break;
    }
    case Reply::Ack:
        EXPECT_TRUE(port.command(e.command));
        break;
    case Reply::Deleted:
        ASSERT_TRUE(port.command(e.command));
        EXPECT_EQ(port.read(2), "OK");
        break;
    case Reply::Refused:
        EXPECT_FALSE(port.command(e.command, kShortWaitMs));
        break;
    }
}

} // namespace

TEST(SimFileCommands, EachCommandOnTheSampleTree) {
    Titrator t({"--slots", "user=2"}, true);
    const std::vector<Exchange> exchanges{
        {"extdir \\QX502\\methods\\*.mtd", Reply::Names,
         "QX0102TA.MTD QX0202CL.MTD QX0302SV.MTD QX0402PH.MTD USER0001.MTD USER0002.MTD "
         "USER0003.MTD USER0004.MTD"},
        {"extdir \\QX502\\nofolder\\*.mtd", Reply::Refused},
        {"dir \\QX502\\reports\\TI_00017.*", Reply::Text,
         "TI_00017.BMP\r\nTI_00017.LOG\r\nTI_00017.RPT\r\n"},
        {"checkFileName 3 USER0009.MTD", Reply::Text, "1"},
        {"existFile 3 user0001.mtd", Reply::Text, "1"},
        {"getFreeFiles 3", Reply::Text, "0"},
        {"sumvalhod USER0001.MTD", Reply::FirstName, "USER0001.MTD"},
        {"put \\QX502\\methods\\USER0009.MTD", Reply::Refused}, // no free user slot
        {"changeId \\QX502\\methods\\USER0001.MTD", Reply::Ack},
        {"reloadMethods ", Reply::Ack},
        {"del \\QX502\\reports\\TI_00017.BMP", Reply::Deleted},
        {"delSeqRpt TRAY0001", Reply::Deleted},
    };
    std::vector<std::string> sent;
    for (const Exchange& e : exchanges) {
        run(t.port, e);
        sent.push_back(e.command);
    }
    EXPECT_FALSE(fs::exists(t.path("QX502/asreport/TRAY0001")));
    EXPECT_FALSE(fs::exists(t.path("QX502/reports/TI_00017.BMP")));
    EXPECT_FALSE(fs::exists(t.path("QX502/methods/USER0009.MTD")));
    EXPECT_EQ(t.logged(), sent);
}

TEST(SimUpgradeCommands, FullUpgradeStoresTheFileAndAnswersTheVerdict) {
    Titrator t({"--model", "QX531"});
    const std::string data = awkwardBytes(1000);
    const std::string checksum = std::to_string(static_cast<int16_t>(sim::Upgrade::checksum(data)));
    run(t.port, {"info ", Reply::Text, "QX531 I531v3.00 S/N 0412"});
    run(t.port, {"upgcs " + checksum, Reply::Text, checksum});
    ASSERT_TRUE(t.port.command("put C:\\UPGRADE\\upgrade.exe"));
    ASSERT_TRUE(t.port.send(data));
    run(t.port, {"upgcheck ", Reply::Text, "ok"});
    EXPECT_EQ(readFile(t.path("UPGRADE/upgrade.exe")), data);
    EXPECT_EQ(t.logged(), (std::vector<std::string>{"info ", "upgcs " + checksum,
                                                    "put C:\\UPGRADE\\upgrade.exe", "upgcheck "}));
}

TEST(SimUpgradeCommands, ConfiguredInfoAndVerdictAndAWrongChecksum) {
    Titrator t({"--info", "custom text", "--verdict", "rejected"});
    const std::string data = "firmware";
    const int16_t checksum = static_cast<int16_t>(sim::Upgrade::checksum(data));
    run(t.port, {"info ", Reply::Text, "custom text"});
    run(t.port, {"upgcs 40000", Reply::Refused}); // not a signed 16-bit number
    for (const auto& [announced, verdict] :
         {std::pair{checksum, "rejected"},
          std::pair{static_cast<int16_t>(checksum ^ 1), "checksum error"}}) {
        run(t.port, {"upgcs " + std::to_string(announced), Reply::Text, std::to_string(announced)});
        ASSERT_TRUE(t.port.command("put C:\\UPGRADE\\upgrade.exe"));
        ASSERT_TRUE(t.port.send(data));
        run(t.port, {"upgcheck ", Reply::Text, verdict});
    }
}
