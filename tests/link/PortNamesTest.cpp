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
