// The settings dialog's rules without the dialog: the export lists and the port list.
#include "RecordingHost.h"
#include "TempDir.h"
#include "app/ExportSettings.h"
#include "app/PortChoices.h"
#include "core/Ini.h"

#include <gtest/gtest.h>

TEST(ExportSettings, EachListChoiceTakesEffectAtOnceAndOkSettlesTheQuotes) {
    struct Step {
        const char* list; // "csv" or "dec"
        int index;
        const char* listSep;
        const char* decSep;
        const char* quote;
    };
    // Comma list, then decimal comma: quoted; semicolon list keeps the quotes until
    // the decimal comma is chosen again, which clears them.
    const Step steps[] = {
        {"dec", 1, ",", ",", "\""}, {"csv", 1, ";", ",", "\""}, {"dec", 0, ";", ".", ""},
        {"dec", 1, ";", ",", ""},   {"csv", 0, ",", ",", "\""}, {"dec", 0, ",", ".", ""},
    };
    ExportOptions o = exportOptionsFor(0, 0, 0);
    for (const Step& s : steps) {
        if (std::string(s.list) == "csv")
            chooseListSeparator(o, s.index);
        else
            chooseDecimalSeparator(o, s.index);
        EXPECT_EQ(o.listSeparator, s.listSep) << s.list << s.index;
        EXPECT_EQ(o.decimalSeparator, s.decSep) << s.list << s.index;
        EXPECT_EQ(o.quoteChar, s.quote) << s.list << s.index;
    }

    TempDir dir;
    RecordingHost host;
    const auto config = dir.write("config.ini", "[Options]\nCOM=1\n");
    chooseListSeparator(o, 1);
    chooseDecimalSeparator(o, 1); // semicolon and comma: no quotes until OK
    chooseSummaryOrder(o, 1);
    EXPECT_EQ(o.quoteChar, "");
    storeExportSettings(o, config, host);
    EXPECT_EQ(o.quoteChar, "\"");
    EXPECT_EQ(getIniString(config, "Options", "csvSep"), "1");
    EXPECT_EQ(getIniString(config, "Options", "decSep"), "1");
    EXPECT_EQ(getIniString(config, "Options", "orderBy"), "1");
    EXPECT_EQ(getIniString(config, "Options", "COM"), "1");
    EXPECT_EQ(loadExportOptions(config).quoteChar, "\""); // the next start agrees
}

TEST(PortChoices, OpenNumbersThenOpenableAdaptersUnderFreeNumbers) {
    const auto deviceOf = [](int n) {
        return n == 1 ? std::string("/dev/pts/7") : "/dev/ttyS" + std::to_string(n - 1);
    };
    const auto exists = [](const std::string& d) { return d == "/dev/pts/7" || d == "/dev/ttyS2"; };
    const auto canOpen = [](const std::string& d) { return d != "/dev/ttyUSB1"; };
    const std::vector<DetectedPort> detected = {
        // Built in, and no number leads to it (COM 1 is mapped elsewhere): still no adapter.
        {"/dev/ttyS0", "", "", "", false},
        {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1", "FT232R USB UART", "FTDI", true},
        {"/dev/ttyUSB1", "/dev/serial/by-id/usb-FTDI_A2", "FT232R USB UART", "FTDI", true},
    };
    const auto choices = portChoices({1, 3}, detected, deviceOf, exists, canOpen);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].number, 1);
    EXPECT_FALSE(choices[0].newMapping);
    // The adapter that opens takes number 2, whose device does not exist, by its stable
    // name; the one that cannot be opened now is not offered.
    EXPECT_EQ(choices[1].number, 2);
    EXPECT_TRUE(choices[1].newMapping);
    EXPECT_EQ(choices[1].device, "/dev/serial/by-id/usb-FTDI_A1");
    EXPECT_EQ(portChoiceText(choices[1]),
              " COM 2   /dev/serial/by-id/usb-FTDI_A1  (FT232R USB UART, FTDI)");
    EXPECT_EQ(choices[2].number, 3);
    EXPECT_EQ(portChoiceText(choices[2]), " COM 3   /dev/ttyS2");
    EXPECT_TRUE(portChoices({}, {}, deviceOf, exists, canOpen).empty());
}
