// The port survey behind the settings dialog, the Communication menu and
// veltran-cli ports: what each number stands for and which adapters are offered.
#include "link/ComPorts.h"

#include "TempDir.h"
#include "link/PortNames.h"

#include <gtest/gtest.h>

TEST(LinkPortSurvey, AdaptersTakeTheFirstNumbersNoDeviceOrNetworkPortHolds) {
    TempDir dir;
    const std::string pts = dir.write("pts7", ""), ttyS2 = dir.write("ttyS2", "");
    const std::string adapterA = dir.write("ttyUSB0", ""), adapterB = dir.write("ttyUSB1", ""),
                      adapterC = dir.write("ttyUSB2", "");
    // 1: a device, 2: a network port, 3: a built-in port, the rest lead nowhere.
    const auto addressOf = [&](int n) {
        return n == 1   ? pts
               : n == 2 ? std::string("tcp://lab-box:4001")
               : n == 3 ? ttyS2
                        : (dir.path() / ("gone" + std::to_string(n))).string();
    };
    const std::vector<DetectedPort> detected = {
        {pts, "", "", "", false},          // named by COM 1
        {"/dev/ttyS0", "", "", "", false}, // built in: never mapped
        {adapterA, "/dev/serial/by-id/usb-FTDI_A", "FT232R", "FTDI", true},
        {adapterB, "", "CP2102", "Silicon Labs", true}, // cannot be opened now
        {adapterC, "", "CH340", "", true},
    };
    std::vector<std::string> asked;
    const auto probe = [&](const std::vector<std::string>& addresses) {
        asked = addresses;
        std::vector<bool> open;
        for (const std::string& a : addresses)
            open.push_back(a == pts || a == "tcp://lab-box:4001" || a == adapterA || a == adapterC);
        return open;
    };
    const PortSurvey survey = surveyPorts(addressOf, detected, probe, addressInUse);

    ASSERT_EQ(survey.numbers.size(), 16u);
    EXPECT_EQ(survey.numbers[1].address, "tcp://lab-box:4001");
    EXPECT_EQ(survey.availableNumbers(), (std::vector<int>{1, 2}));
    // One probe for every number and adapter, so that network ports are asked together.
    EXPECT_EQ(asked.size(), 16u + 3u);
    ASSERT_EQ(survey.adapters.size(), 3u);
    const std::pair<std::string, int> offered[] = {{adapterA, 4}, {adapterB, 0}, {adapterC, 5}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(survey.adapters[i].port.device, offered[i].first);
        EXPECT_EQ(survey.adapters[i].number, offered[i].second) << offered[i].first;
    }
}
