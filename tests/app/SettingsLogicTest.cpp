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

TEST(PortChoices, OpenNumbersThenOfferedAdaptersThenAddedNetworkPorts) {
    PortSurvey survey;
    for (int n = 1; n <= kComPortCount; ++n)
        survey.numbers.push_back({n, "/dev/ttyS" + std::to_string(n - 1), n == 1 || n == 3});
    survey.adapters = {
        {{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1", "FT232R USB UART", "FTDI", true},
         true,
         2},
        {{"/dev/ttyUSB1", "", "CP2102", "", true}, false, 0}};
    const std::vector<PortChoice> choices = portChoices(survey);
    std::vector<std::string> texts;
    for (const PortChoice& c : choices)
        texts.push_back(portChoiceText(c) + (c.newMapping ? " new" : ""));
    EXPECT_EQ(texts, (std::vector<std::string>{
                         " COM 1   /dev/ttyS0",
                         " COM 2   /dev/serial/by-id/usb-FTDI_A1  (FT232R USB UART, FTDI) new",
                         " COM 3   /dev/ttyS2"}));

    // An added network port: the number that names it already, else the first
    // number neither in use nor offered to an adapter.
    const auto addressOf = [](int n) {
        return n == 5 ? std::string("tcp://lab:4001") : "/dev/ttyS" + std::to_string(n - 1);
    };
    const auto inUse = [](const std::string& a) {
        return a == "tcp://lab:4001" || a == "/dev/ttyS0" || a == "/dev/ttyS2";
    };
    const auto none = [](const std::string&) { return true; };
    struct Case {
        std::string address;
        AddressTest inUse;
        int number;
        bool newMapping;
    } cases[] = {{"tcp://lab:4001", inUse, 5, false},
                 {"rfc2217://lab:4002", inUse, 4, true},
                 {"rfc2217://lab:4002", none, 0, true}};
    for (const Case& c : cases) {
        const PortChoice choice = networkPortChoice(c.address, choices, addressOf, c.inUse);
        EXPECT_EQ(choice.number, c.number) << c.address;
        EXPECT_EQ(choice.newMapping, c.newMapping) << c.address;
    }
}
