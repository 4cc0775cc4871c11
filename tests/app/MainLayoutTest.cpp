#include "app/MainLayout.h"

#include "FakeControl.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

constexpr TwipsScale kScale{15, 15};

struct Window {
    std::map<std::string, FakeControl> c;
    MainControls controls;
    Window() {
        controls = {&c["Rpt"],      &c["Std"],        &c["Usr"],     &c["All"],
                    &c["Seq"],      &c["SeqRpt"],     &c["pcFrame"], &c["pcOpenDirBtn"],
                    &c["titFrame"], &c["titOpenDir"], &c["pcList"],  &c["titList"],
                    &c["PCPath"],   &c["ChangePath"], &c["ShowAll"], &c["ShowCSV"],
                    &c["spacer"],   &c["pcHidden"],   &c["TitType"], &c["titFree"],
                    &c["connect"],  &c["View"],       &c["Export"],  &c["print"],
                    &c["copy"],     &c["move"],       &c["delete"],  &c["statusBar"]};
    }
    const FakeControl& operator[](const std::string& name) { return c.at(name); }
};

} // namespace

TEST(MainLayout, PanesSideBySideCommandsBelowNothingOverlaps) {
    const std::pair<int, int> sizes[] = {
        {MainLayout::kMinWidthTwips, MainLayout::kMinHeightTwips}, {18000, 12000}, {12345, 9877}};
    for (auto [width, height] : sizes) {
        Window w;
        MainLayout layout(w.controls, kScale, 1, 1);
        layout.resizeForm(width, height);
        SCOPED_TRACE(::testing::Message() << width << " x " << height);

        for (auto& [name, control] : w.c) {
            EXPECT_GT(control.width, 0) << name;
            EXPECT_GT(control.height, 0) << name;
            EXPECT_TRUE(control.left >= 0 && control.right() <= width + 15) << name;
            EXPECT_TRUE(control.top >= 0 && control.bottom() <= height + 15) << name;
            for (auto& [other, o] : w.c) {
                if (other < name) {
                    EXPECT_FALSE(control.left < o.right() && o.left < control.right() &&
                                 control.top < o.bottom() && o.top < control.bottom())
                        << name << " overlaps " << other;
                }
            }
        }
        EXPECT_LE(w["pcList"].right(), w["titList"].left);
        EXPECT_EQ(w["pcList"].top, w["titList"].top);
        // Each header spans its list.
        EXPECT_EQ(w["pcFrame"].left, w["pcList"].left);
        EXPECT_EQ(w["pcOpenDirBtn"].right(), w["pcList"].right());
        EXPECT_EQ(w["titFrame"].left, w["titList"].left);
        EXPECT_EQ(w["titOpenDir"].right(), w["titList"].right());
        EXPECT_LE(w["Rpt"].bottom(), w["pcFrame"].top);
        EXPECT_LE(w["pcFrame"].bottom(), w["pcList"].top);
        for (const char* pcSide : {"PCPath", "ChangePath", "ShowAll", "ShowCSV", "pcHidden"})
            EXPECT_LE(w[pcSide].right(), w["titList"].left) << pcSide;
        for (const char* titSide : {"TitType", "titFree"})
            EXPECT_GE(w[titSide].left, w["titList"].left) << titSide;
        // Each note spans its pane.
        EXPECT_GT(w["pcHidden"].width, w["pcList"].width * 3 / 4);
        EXPECT_GT(w["titFree"].width, w["titList"].width * 3 / 4);
        EXPECT_LE(w["pcList"].bottom(), w["ShowCSV"].top);
        EXPECT_LE(w["ShowCSV"].bottom(), w["connect"].top);
        EXPECT_LE(w["connect"].bottom(), w["statusBar"].top);
        EXPECT_LT(w["connect"].right(), w["delete"].left);
        EXPECT_EQ(w["connect"].top, w["delete"].top);
        // The lists take the height the fixed rows leave.
        EXPECT_GT(w["pcList"].height, height / 3);
    }
}

// The minimum width is the Part's 9500 twips unless the captions of the chosen
// language need more; at the minimum every caption gets the width it asks for.
TEST(MainLayout, AtTheMinimumWidthEveryCaptionHasTheWidthItNeeds) {
    struct Case {
        std::array<int, 6> options;
        int showAll, showCsv, command, openDir, expectedMin;
    };
    const Case cases[] = {
        {{70, 120, 100, 95, 85, 95}, 120, 110, 80, 90, 633},     // fits the Part's minimum
        {{90, 150, 150, 130, 100, 110}, 175, 165, 100, 90, 786}, // the options decide
        {{60, 60, 60, 60, 60, 60}, 140, 150, 120, 110, 880},     // the command buttons decide
        {{70, 120, 100, 95, 85, 95}, 120, 110, 80, 300, 766},    // the pane buttons decide
    };
    for (const Case& k : cases) {
        Window w;
        w.controls.categoryWeights = k.options;
        w.controls.showAllWidth = k.showAll;
        w.controls.showCsvWidth = k.showCsv;
        w.controls.commandWidth = k.command;
        w.controls.openDirWidth = k.openDir;
        MainLayout layout(w.controls, kScale, 1, 1);
        EXPECT_EQ(layout.minWidth(), k.expectedMin);
        layout.resizeForm(kScale.pixelsToTwipsX(layout.minWidth()), MainLayout::kMinHeightTwips);

        const char* const options[] = {"Rpt", "Std", "Usr", "All", "Seq", "SeqRpt"};
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_GE(w[options[i]].width, k.options[i] * 15) << options[i];
        EXPECT_GE(w["ShowAll"].width, k.showAll * 15);
        EXPECT_GE(w["ShowCSV"].width, k.showCsv * 15);
        EXPECT_LE(w["ShowCSV"].right(), w["titList"].left);
        for (const char* button : {"connect", "View", "Export", "print", "copy", "move", "delete"})
            EXPECT_GE(w[button].width, k.command * 15) << button;
        EXPECT_LE(w["delete"].right(), kScale.pixelsToTwipsX(layout.minWidth()));
        EXPECT_LE(w["SeqRpt"].right(), kScale.pixelsToTwipsX(layout.minWidth()));
        for (const char* button : {"pcOpenDirBtn", "titOpenDir"})
            EXPECT_GE(w[button].width, k.openDir * 15) << button;
        EXPECT_LE(w["titOpenDir"].right(), kScale.pixelsToTwipsX(layout.minWidth()) + 15);
        EXPECT_GE(w["pcOpenDirBtn"].left, w["pcFrame"].right());
    }
}
