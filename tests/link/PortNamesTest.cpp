#include "link/PortNames.h"

#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

TEST(LinkPortNames, ConfiguredDeviceWinsOverTheDefault) {
    TempDir dir;
    const auto ini = dir.path() / "config.ini";
    std::ofstream(ini) << "[Options]\nDebug=True\n[ports]\n3=/dev/pts/7\n12=/dev/ttyUSB0  \n";
    EXPECT_EQ(deviceForPort(3, ini), "/dev/pts/7");
    EXPECT_EQ(deviceForPort(12, ini), "/dev/ttyUSB0");
    EXPECT_EQ(deviceForPort(4, ini), "/dev/ttyS3");
}

TEST(LinkPortNames, WithoutConfigurationPortNIsTtySNMinusOne) {
    TempDir dir;
    EXPECT_EQ(deviceForPort(1, dir.path() / "missing.ini"), "/dev/ttyS0");
    EXPECT_EQ(deviceForPort(16, dir.path() / "missing.ini"), "/dev/ttyS15");
    EXPECT_EQ(deviceForPort(0, dir.path() / "missing.ini"), "");
}

TEST(LinkPortNames, NetworkAddressesAreTcpOrRfc2217WithHostAndPort) {
    struct Case {
        std::string text;
        PortKind kind;
        bool valid;
        std::string host;
        int port;
    } cases[] = {
        {"/dev/ttyUSB0", PortKind::Device, true, "", 0},
        {"tcp://lab-box.local:4001", PortKind::RawTcp, true, "lab-box.local", 4001},
        {"RFC2217://10.0.0.7:2217", PortKind::Rfc2217, true, "10.0.0.7", 2217},
        {"rfc2217://[fe80::1]:65535", PortKind::Rfc2217, true, "fe80::1", 65535},
        {"tcp://fe80::1:4001", PortKind::RawTcp, false, "", 0},
        {"tcp://[127.0.0.1:47001]:2000", PortKind::RawTcp, false, "", 0}, // a port as the host
        {"tcp://host", PortKind::RawTcp, false, "", 0},
        {"tcp://:4001", PortKind::RawTcp, false, "", 0},
        {"tcp://host:0", PortKind::RawTcp, false, "", 0},
        {"tcp://host:65536", PortKind::RawTcp, false, "", 0},
        {"tcp://host:+80", PortKind::RawTcp, false, "", 0},
        {"tcp://host/x:80", PortKind::RawTcp, false, "", 0},
    };
    for (const Case& c : cases) {
        const PortAddress a = parsePortAddress(c.text);
        EXPECT_EQ(a.kind, c.kind) << c.text;
        EXPECT_EQ(a.valid, c.valid) << c.text;
        EXPECT_EQ(a.host, c.host) << c.text;
        EXPECT_EQ(a.port, c.port) << c.text;
        if (a.kind != PortKind::Device && a.valid) {
            EXPECT_EQ(parsePortAddress(networkAddress(a.kind, a.host, a.port)).host, a.host);
        }
    }
}

// The one rule of --port, config set Ports and the settings dialog.
TEST(LinkPortNames, APortAddressIsADevicePathOrAWellFormedNetworkAddress) {
    const std::pair<std::string, bool> cases[] = {
        {"/dev/ttyUSB0", true},
        {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", true},
        {"tcp://127.0.0.1:47001", true},
        {"rfc2217://[::1]:2217", true},
        {"tcp://host", false},
        {"tcp://127.0.0.1:0", false},
        {"tcp://127.0.0.1:65536", false},
        {"tcp://127.0.0.1:-1", false},
        {"tcp://127.0.0.1:47001/x", false},
        {"udp://127.0.0.1:47001", false},
    };
    for (const auto& [address, wellFormed] : cases)
        EXPECT_EQ(isWellFormedPortAddress(address), wellFormed) << address;
}

// A number is taken when its address leads somewhere: a network address never
// exists as a file, yet no adapter may be put under its number.
TEST(LinkPortNames, AnAddressIsInUseWhenItsDeviceExistsOrItIsANetworkPort) {
    TempDir dir;
    const std::string file = dir.write("ttyFAKE", "");
    const std::pair<std::string, bool> cases[] = {
        {file, true},
        {(dir.path() / "gone").string(), false},
        {"", false},
        {"tcp://lab-box.local:4001", true},
        {"rfc2217://10.0.0.7:2217", true},
        {"tcp://no-port", true}, // a broken entry still belongs to someone
    };
    for (const auto& [address, inUse] : cases)
        EXPECT_EQ(addressInUse(address), inUse) << address;
}
