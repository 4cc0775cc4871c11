#include "documents/MethodRenderer.h"

#include "EnglishTexts.h"
#include "RenderedText.h"
#include "documents/MethodRecord.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

const TitratorInfo kCurrent{3.0f, Series::QX50x, 1};

std::string render(const std::string& text, const TitratorInfo& t = kCurrent) {
    useEnglishTexts();
    return renderMethod(text, 54, 2, t);
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ReadMethod, StopsAtTheFirstEmptyLineAndLaterLinesWin) {
    const MethodRecord r =
        readMethodRecord(lines({"Name First", "Name Second", "StirSpeed 600", "StirSpeed 40000",
                                "NoBlank", "Rev 1e999", "", "FileID QX0102TA"}));
    EXPECT_EQ(r.name, "Second");
    EXPECT_EQ(r.stirSpeed, 600); // 40000 does not fit a 16-bit Integer
    EXPECT_EQ(r.rev, 0.0f);
    EXPECT_EQ(r.fileId, "");
    const std::string shown = render(lines({"Name A", "Rev 9.95", "", "Rev 1.0"}));
    EXPECT_EQ(valueOf(shown, "Method Name"), "A");
    EXPECT_EQ(valueOf(shown, "Revision"), "10.0");
}

TEST(ReadMethod, EveryRenderingStartsFromAFreshRecord) {
    render(lines({"Name Back", "TitrationType 1", "LMT 1", "LMN Limit", "Revision 1"}));
    const std::string second = render(lines({"Name Plain"}));
    EXPECT_FALSE(has(second, "Titrant 1")) << second;
    EXPECT_FALSE(has(second, "Limit Method")) << second;
    EXPECT_TRUE(has(second, "Titrant:")) << second;
}

TEST(RenderMethod, IndentsEveryLineByTwo) {
    const std::string text = render(lines({"Name Acid", "FileID USER0001"}));
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(0, 2), "  ");
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n  ");
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        EXPECT_EQ(text.substr(at + 2, 2), "  ");
    const std::size_t first = text.find("\r\n");
    EXPECT_EQ(first, 2u + 54u); // indent, then exactly the line width
}

TEST(RenderMethod, IdentityNamesStandardAndUserMethods) {
    EXPECT_EQ(valueOf(render(lines({"FileID QX0102TA", "TimeStamp 1706533200"})), "Method ID"),
              "QX0102TA Standard 2024-01-29, 13:00");
    EXPECT_EQ(valueOf(render(lines({"FileID USER0001"})), "Method ID"),
              "USER0001 User 1970-01-01, 00:00");
    EXPECT_EQ(valueOf(render(lines({"FileID qx0102ta"})), "Method ID"),
              "qx0102ta User 1970-01-01, 00:00");
    // Time stamps are 64-bit: 2100 is no overflow.
    EXPECT_EQ(valueOf(render(lines({"FileID X", "TimeStamp 4102444800"})), "Method ID"),
              "X User 2100-01-01, 00:00");
}

TEST(RenderMethod, LayoutFollowsFirmwareAndSeries) {
    const std::string m = lines({"Name M", "Rev 1.5"});
    struct Case {
        TitratorInfo titrator;
        bool current;
    };
    const Case cases[] = {{{1.59f, Series::QX50x, 1}, false},
                          {{1.6f, Series::QX50x, 1}, true},
                          {{1.0f, Series::QX53x, 31}, true},
                          {{0.0f, Series::None, 0}, false},
                          {{3.0f, Series::QX50x, 2}, true}};
    for (const Case& c : cases) {
        const std::string text = render(m, c.titrator);
        EXPECT_EQ(has(text, "Revision:"), c.current) << c.titrator.firmware;
        EXPECT_EQ(has(text, "Result Digits:"), c.current) << c.titrator.firmware;
        EXPECT_EQ(has(text, "Titration Type:"), !c.current) << c.titrator.firmware;
    }
}

TEST(RenderMethod, LimitLinesByLmtTypeAndDevice) {
    struct Case {
        const char* lmt;
        const char* type;
        int device;
        const char* limit;    // value of the Limit Method line, "<none>" without one
        const char* limitFor; // value of the Limit Method For line
        const char* stop;     // value of the Stop at Limit line
    };
    const Case cases[] = {
        {"0", "0", 1, "<none>", "<none>", "<none>"}, {"0", "0", 2, "None", "<none>", "<none>"},
        {"0", "0", 32, "None", "<none>", "<none>"},  {"1", "0", 1, "LIM", "<none>", "Yes"},
        {"2", "0", 1, "<none>", "LIM", "<none>"},    {"0", "2", 1, "None", "<none>", "<none>"},
        {"1", "2", 1, "LIM", "<none>", "Yes"},       {"2", "2", 3, "<none>", "LIM", "<none>"},
    };
    for (const Case& c : cases) {
        const std::string text = render(lines({std::string("LMT ") + c.lmt, "LMN LIM", "SLM 1",
                                               std::string("TitrationType ") + c.type}),
                                        {3.0f, Series::QX50x, c.device});
        const std::string where = std::string("LMT ") + c.lmt + " type " + c.type;
        EXPECT_EQ(valueOf(text, "Limit Method"), c.limit) << where;
        EXPECT_EQ(valueOf(text, "Limit Method For"), c.limitFor) << where;
        EXPECT_EQ(valueOf(text, "Stop at Limit"), c.stop) << where;
    }
    EXPECT_EQ(render(lines({"Name X", "LMT 3"})), "");
    EXPECT_NE(render(lines({"Name X", "LMT 3"}), {1.5f, Series::QX50x, 1}), "");
}

TEST(RenderMethod, BackTitrationHasNoFixedEndPoint) {
    const std::string text =
        render(lines({"TitrationType 1", "EP_mode 2", "EP_curve 2", "NrOfEQPoints 2"}));
    EXPECT_EQ(valueOf(text, "End Point"), "pH, 2 Equivalence Points, Symmetric");
    EXPECT_TRUE(has(text, "Derivative:"));
    const std::string direct = render(lines({"TitrationType 0", "EP_mode 2", "EP_pH 8.2"}));
    EXPECT_EQ(valueOf(direct, "End Point"), "Fixed 8.200 pH");
    EXPECT_FALSE(has(direct, "Derivative:"));
}

TEST(RenderMethod, ReagentAdditionsByDeviceType) {
    const std::string m =
        lines({"RAP 3", "RAV 2", "RAS 10", "RAW 20", "RAM1 3", "RAV1 1.25", "RAS1 4", "RAW1 6",
               "RAM2 2", "RAT2 9", "FlowRate 2.5", "TitrationType 2"});
    const std::string single = render(m, {3.0f, Series::QX50x, 1});
    EXPECT_TRUE(has(single, "  Reagent Addition:      ")) << single;
    EXPECT_EQ(valueOf(single, "Dosing"), "Pump 3");
    EXPECT_EQ(valueOf(single, "Volume"), "2 mL");
    const std::string two = render(m, {3.0f, Series::QX53x, 32});
    EXPECT_EQ(valueOf(two, "Volume"), "1.250 mL");
    EXPECT_EQ(valueOf(two, "Time"), "9 s");
    EXPECT_EQ(valueOf(two, "Flow Rate"), "2.5 mL/min"); // by volume in a measurement
    EXPECT_EQ(valueOf(render(lines({"RAV 0.4"})), "Reagent Addition"), "Off");
}

TEST(RenderMethod, CodesOutsideTheLanguageTableShowNothing) {
    const std::string text =
        render(lines({"MeasureMode 30000", "SignalAve -32768", "ABS 32767", "BreakOpt 32767",
                      "TitrationType 1", "AnalyteType -900", "DerFiltOpt 999", "LMT 0",
                      "RAM1 32767", "Revision 1", "Titrant1Units 9"}),
               {3.0f, Series::QX53x, 32});
    EXPECT_EQ(valueOf(text, "Measurement Mode"), "");
    EXPECT_EQ(valueOf(text, "Signal Averaging"), "");
    EXPECT_EQ(valueOf(text, "Beaker"), "Position 32768");
    EXPECT_EQ(valueOf(text, "Calculation"), "");
    EXPECT_EQ(valueOf(text, "Titrant 1 Concentration"), "");
}

TEST(RenderMethod, NumbersIgnoreTheUsersLocale) {
    const std::string m = lines({"Name Wine", "LinearVol 0.05", "DosingType 0", "BlankOption 0",
                                 "BlankValue 0.0125", "CalcMethod 2", "g 12.5"});
    const std::string inC = render(m);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const std::string inGerman = render(m);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(valueOf(inC, "Dosing"), "Linear - 0.050 mL");
    EXPECT_EQ(valueOf(inC, "Blank Value"), "1.250E-2 L");
    EXPECT_EQ(valueOf(inC, "Sample Amount"), "12.50 g");
}
