// veltran-cli on a titrator behind a serial device server: Debian's ser2net in
// front of the simulator's pty, as a raw TCP stream and through RFC 2217.
#include "CliRun.h"
#include "PcSide.h"
#include "Ser2net.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;
using simtest::NetMode;

namespace {

constexpr int kPollMs = 20;
constexpr int kStartWaitMs = 10000;
constexpr int kIntoTransferMs = 500; // a few blocks of the paced get

const char* modeName(NetMode mode) {
    return mode == NetMode::Raw ? "raw TCP" : "RFC 2217";
}

// Every byte value, IAC (255) and the frames' backslash included.
std::string wireBytes(std::size_t size) {
    std::string s = simtest::awkwardBytes(size);
    for (std::size_t i = 0; i < size; i += 5)
        s[i] = static_cast<char>(0xFF);
    return s;
}

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

} // namespace

TEST(NetPortCli, IdentifyListGetAndPutAreByteExact) {
    for (const NetMode mode : {NetMode::Raw, NetMode::Rfc2217}) {
        SCOPED_TRACE(modeName(mode));
        TempDir dir;
        const std::string root = dir.str() + "/root";
        const std::string data = wireBytes(3000);
        dir.write("root/QX502/reports/TI_00001.RPT", data);
        simtest::SimProcess sim({"--model", "QX502", "--root", root, "--persist"});
        simtest::Ser2net server(sim.pty(), mode);
        ASSERT_TRUE(server.running()) << server.log();
        const std::string home = dir.str() + "/home", port = "--port " + server.address() + " ";

        const CliResult id = runCli(home, port + "identify");
        EXPECT_EQ(id.exitCode, 0) << id.out;
        EXPECT_EQ(id.out.rfind("model=QX502 typeCode=2", 0), 0u) << id.out;

        const CliResult list = runCli(home, port + "list reports");
        EXPECT_EQ(list.exitCode, 0) << list.out;
        EXPECT_NE(list.out.find("TI_00001.RPT "), std::string::npos) << list.out;

        const CliResult get =
            runCli(home, port + "get reports TI_00001.RPT --to " + dir.str() + "/pc");
        EXPECT_EQ(get.exitCode, 0) << get.out;
        EXPECT_EQ(dir.read("pc/TI_00001.RPT"), data);

        const std::string sent = wireBytes(2000);
        dir.write("out/TI_00002.RPT", sent);
        const CliResult put =
            runCli(home, port + "put reports " + dir.str() + "/out/TI_00002.RPT --replace all");
        EXPECT_EQ(put.exitCode, 0) << put.out;
        EXPECT_EQ(dir.read("root/QX502/reports/TI_00002.RPT"), sent);
    }
}

TEST(NetPortCli, AConnectionKilledMidGetIsALostLinkAndLosesNothing) {
    for (const NetMode mode : {NetMode::Raw, NetMode::Rfc2217}) {
        SCOPED_TRACE(modeName(mode));
        TempDir dir;
        const std::string root = dir.str() + "/root", log = dir.str() + "/sim.log";
        const std::string data = wireBytes(16 * 1024); // about 9 s at 19200 baud
        dir.write("root/QX502/reports/TI_00001.RPT", data);
        fs::create_directories(dir.path() / "pc");
        simtest::SimProcess sim(
            {"--model", "QX502", "--root", root, "--log", log, "--baud", "19200", "--persist"});
        simtest::Ser2net server(sim.pty(), mode);
        ASSERT_TRUE(server.running()) << server.log();

        auto move = std::async(std::launch::async, [&] {
            return runCli(dir.str() + "/home", "--port " + server.address() +
                                                   " get reports TI_00001.RPT --move --to " +
                                                   dir.str() + "/pc");
        });
        bool started = false;
        for (int waited = 0; !started && waited < kStartWaitMs; waited += kPollMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
            started = simtest::readFile(log).find("get ") != std::string::npos;
        }
        ASSERT_TRUE(started);
        std::this_thread::sleep_for(std::chrono::milliseconds(kIntoTransferMs));
        server.stop();
        const CliResult r = move.get();

        EXPECT_EQ(r.exitCode, 3) << r.out;                            // the link was lost
        EXPECT_EQ(dir.read("root/QX502/reports/TI_00001.RPT"), data); // Move kept its source
        EXPECT_EQ(simtest::readFile(log).find("del "), std::string::npos);
        EXPECT_TRUE(entries(dir.path() / "pc").empty()); // no half-written file
    }
}

// ports: a line per number, as text or as JSON Lines with the documented fields.
TEST(NetPortCli, PortsShowsEachNumbersAddressAndWhetherItOpens) {
    TempDir dir;
    simtest::SimProcess sim({"--persist"});
    const std::string home = dir.str() + "/home";
    const std::string refused = "tcp://127.0.0.1:" + std::to_string(simtest::freeTcpPort());
    ASSERT_EQ(runCli(home, "config set Ports 1 " + sim.pty()).exitCode, 0);
    ASSERT_EQ(runCli(home, "config set Ports 2 " + refused).exitCode, 0);

    const CliResult text = runCli(home, "ports", "", Stderr::Dropped);
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out.rfind("COM1   available    " + sim.pty() + "\nCOM2   unavailable  " +
                                 refused + "\nCOM3   ",
                             0),
              0u)
        << text.out;

    const CliResult json = runCli(home, "ports --json", "", Stderr::Dropped);
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out.rfind("{\"address\":\"" + sim.pty() +
                                 "\",\"available\":true,\"form\":\"device\",\"number\":1,"
                                 "\"type\":\"port\"}\n{\"address\":\"" +
                                 refused +
                                 "\",\"available\":false,\"form\":\"tcp\",\"number\":2,"
                                 "\"type\":\"port\"}\n",
                             0),
              0u)
        << json.out;
    EXPECT_GE(std::count(json.out.begin(), json.out.end(), '\n'), 16);
}

// Inside a network namespace of the test's own, where nothing leaves the machine:
// with the loopback down no network is reachable; a route marked unreachable has
// no way to its host; resolv.conf names a server the namespace cannot reach.
TEST(NetPortCli, UnreachableNetworksHostsAndNameServersAreNamed) {
    if (runCommand("unshare -n true 2>/dev/null").exitCode != 0)
        GTEST_SKIP() << "no network namespace can be made here";
    const std::string routed = "unshare -n sh -c 'ip link set lo up && ip route add unreachable "
                               "192.0.2.0/24 && exec \"$0\" \"$@\"' env";
    const struct {
        std::string env, address, line;
    } cases[] = {
        {"unshare -n env", "tcp://127.0.0.1:2000",
         "Communication error 101 - tcp://127.0.0.1:2000: the network is unreachable"},
        {routed, "rfc2217://192.0.2.1:2000",
         "Communication error 113 - rfc2217://192.0.2.1:2000: no route to the host"},
        {"unshare -n env", "tcp://titrator.example.org:2000",
         "Communication error -3 - tcp://titrator.example.org:2000: the name server did not "
         "answer"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const CliResult r = runCli(dir.str() + "/home", "--port " + c.address + " identify", c.env);
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_EQ(r.out, c.line + "\n");
    }
}
