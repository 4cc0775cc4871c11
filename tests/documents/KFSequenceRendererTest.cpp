#include "EnglishTexts.h"
#include "RenderedText.h"
#include "documents/KFMethodRenderer.h"
#include "documents/SequenceRenderer.h"

#include <gtest/gtest.h>
#include <string>

TEST(ReadKFMethod, TimeIncrementUnderEitherNameAndTtsIgnored) {
    EXPECT_EQ(readKFMethodRecord(lines({"TInc 1", "TIncIdx 2"})).tInc, 2);
    EXPECT_EQ(readKFMethodRecord(lines({"TIncIdx 2", "TInc 0"})).tInc, 0);
    useEnglishTexts();
    EXPECT_EQ(renderKFMethod(lines({"Name A", "TTS 5", "TNam T"}), 54, 2),
              renderKFMethod(lines({"Name A", "TNam T"}), 54, 2));
}

TEST(RenderKFMethod, ResultUnitDiffersBetweenVariants) {
    useEnglishTexts();
    const std::string m = lines({"Mode 0", "ResUnit 9"});
    EXPECT_EQ(valueOf(renderKFMethod(m, 54, 2), "Result Unit"), "mg/pcs");
    EXPECT_EQ(valueOf(renderKFMethod2(m, 54, 2), "Result Unit"), "\xB5g/pcs");
    EXPECT_EQ(valueOf(renderKFMethod2(lines({"Mode 1", "ResUnit 2"}), 54, 2), "Result Unit"),
              "gBr");
    EXPECT_EQ(valueOf(renderKFMethod(lines({"Mode 1"}), 54, 2), "Result Unit"), "<none>");
}

TEST(RenderKFMethod, StandardConcentrationByUnit) {
    useEnglishTexts();
    struct Case {
        const char* unit;
        const char* index;
        const char* shown;
    };
    const Case cases[] = {{"1", "0", "1000.0000 ppm"},  {"2", "0", "1.0000 mg/g"},
                          {"3", "4", "0.8700 mg/mL"},   {"3", "0", "0.9980 mg/mL"},
                          {"3", "11", "0.1000 %[W/W]"}, {"3", "-1", "0.1000 %[W/W]"},
                          {"0", "4", "0.1000 %[W/W]"}};
    for (const Case& c : cases) {
        const std::string text =
            renderKFMethod(lines({"Mode 1", "SCnc 0.1", std::string("SUnt ") + c.unit,
                                  std::string("StdIdx ") + c.index}),
                           54, 2);
        EXPECT_EQ(valueOf(text, "Standard Concentration"), c.shown) << c.unit << " " << c.index;
    }
}

TEST(RenderSequence, MethodLineJoinsIdAndName) {
    useEnglishTexts();
    EXPECT_EQ(valueOf(renderSequence(lines({"MID 12", "MNA ACID"}), 54, 2), "Method"), "12, ACID");
    EXPECT_EQ(valueOf(renderSequence(lines({"MID 12", "MNA "}), 54, 2), "Method"), "12");
    EXPECT_EQ(valueOf(renderSequence(lines({"MID 12"}), 54, 2), "Second Method"), "<none>");
    EXPECT_EQ(valueOf(renderSequence(lines({"LMID 7", "LMNA BASE"}), 54, 2), "Second Method"),
              "7, BASE");
}
