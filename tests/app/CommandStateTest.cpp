#include "app/CommandState.h"

#include "link/ModelTable.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace {

// The six file commands as "+"/"-" in the order Open Export Print Copy Move Delete.
// Their menu and popup entries follow the same bits (EachBitDrivesItsControls).
std::string buttons(const CommandView& v) {
    std::string s;
    for (bool on : {v.ViewBtn, v.ExportBtn, v.printBtn, v.copyBtn, v.moveBtn, v.deleteBtn})
        s += on ? '+' : '-';
    return s;
}

enum Shown { Plain, Csv, AllFiles, PcInTray };
enum Focus { PcFocus, TitFocus };

CommandView sync(bool connected, Category category, Shown shown, Focus focus) {
    CommandState s;
    if (connected)
        s.goOnline(1, ModelCode::QX502C);
    s.chooseCategory(category);
    if (shown == Csv)
        s.clickShowCsvFiles(true);
    if (shown == AllFiles)
        s.clickShowAllFiles(true);
    if (shown == PcInTray)
        s.setPcInTray(true);
    s.focusTitratorList(focus == TitFocus);
    return s.syncWithFlags(connected);
}

struct Rule {
    bool connected;
    std::initializer_list<Category> categories;
    Shown shown;
    std::initializer_list<Focus> focus;
    const char* commands;
};

const std::initializer_list<Category> kMethodsOrSequences = {kStandardMethods, kUserMethods,
                                                             kAllMethods, kSequences};
const std::initializer_list<Focus> kAny = {PcFocus, TitFocus};

} // namespace

TEST(CommandState, FileCommandsFollowTheRulesTable) {
    const Rule rules[] = {
        {true, kMethodsOrSequences, Plain, kAny, "+-++++"},
        {true, {kReports}, Plain, {TitFocus}, "++++++"},
        {true, {kReports}, Plain, {PcFocus}, "+++--+"},
        {true, {kReports}, Csv, {PcFocus}, "-----+"},
        {true, {kReports}, AllFiles, {PcFocus}, "------"},
        {true, {kTrayReports}, Plain, {TitFocus}, "++++++"},
        {true, {kTrayReports}, PcInTray, {TitFocus}, "+-+--+"},
        {true, {kTrayReports}, Plain, {PcFocus}, "+++--+"},
        {true, {kTrayReports}, Csv, {PcFocus}, "-----+"},
        {true, {kTrayReports}, AllFiles, {PcFocus}, "------"},
        {false, kMethodsOrSequences, Plain, kAny, "------"},
        {false, {kReports, kTrayReports}, Plain, kAny, "+++--+"},
        {false, {kReports, kTrayReports}, Csv, kAny, "-----+"},
        {false, {kReports, kTrayReports}, AllFiles, kAny, "------"},
    };
    for (const Rule& rule : rules)
        for (Category category : rule.categories)
            for (Focus focus : rule.focus) {
                CommandView v = sync(rule.connected, category, rule.shown, focus);
                SCOPED_TRACE(::testing::Message()
                             << "connected " << rule.connected << " category " << int(category)
                             << " shown " << rule.shown << " focus " << focus);
                EXPECT_EQ(buttons(v), rule.commands);
            }
}

// The controls other than the file commands, over every category, view and focus.
TEST(CommandState, OtherControlsFollowLinkAndCategory) {
    for (bool connected : {false, true})
        for (int c = kStandardMethods; c <= kTrayReports; ++c)
            for (Shown shown : {Plain, Csv, AllFiles, PcInTray})
                for (Focus focus : kAny) {
                    const auto category = static_cast<Category>(c);
                    CommandView v = sync(connected, category, shown, focus);
                    SCOPED_TRACE(::testing::Message()
                                 << connected << " " << c << " " << shown << " " << focus);
                    const bool reportLike = category == kReports || category == kTrayReports;
                    EXPECT_TRUE(v.pcList && v.connectBtn);
                    EXPECT_EQ(v.titList, connected);
                    EXPECT_EQ(v.pcOpenDirBtn, category == kTrayReports && shown != AllFiles);
                    EXPECT_EQ(v.titOpenDirBtn, category == kTrayReports && connected);
                    EXPECT_EQ(v.ShowAllPcFilesCb.enabled, reportLike);
                    EXPECT_EQ(v.ShowCSVPcFilesCb.enabled, reportLike);
                    EXPECT_EQ(v.ShowAllPcFilesCb.checked, reportLike && shown == AllFiles);
                    EXPECT_EQ(v.ShowCSVPcFilesCb.checked, reportLike && shown == Csv);
                    EXPECT_TRUE(v.RptCheckbox.enabled && v.SeqRptCheckBox.enabled);
                    for (const ControlState& o :
                         {v.StdMtdCheckbox, v.UsrMtdCheckBox, v.AllMtdCheckBox})
                        EXPECT_EQ(o.enabled, connected);
                    EXPECT_EQ(v.SeqCheckBox.enabled, connected);
                    EXPECT_EQ(v.connectCaption, connected ? 983 : 982);
                    EXPECT_EQ(v.source, focus == TitFocus ? 1 : 0);
                }
}

// Step 2 of syncWithFlags: each bit enables exactly its controls.
TEST(CommandState, EachBitDrivesItsControls) {
    auto enabled = [](const CommandView& v) {
        std::string s;
        auto add = [&s](bool on, const char* name) {
            if (on)
                s += std::string(s.empty() ? "" : " ") + name;
        };
        add(v.RptCheckbox.enabled, "Rpt");
        add(v.StdMtdCheckbox.enabled, "Std");
        add(v.UsrMtdCheckBox.enabled, "Usr");
        add(v.AllMtdCheckBox.enabled, "AllMtd");
        add(v.SeqCheckBox.enabled, "Seq");
        add(v.SeqRptCheckBox.enabled, "SeqRpt");
        add(v.ShowAllPcFilesCb.enabled, "ShowAll");
        add(v.ShowCSVPcFilesCb.enabled, "ShowCSV");
        add(v.pcList, "pcList");
        add(v.titList, "titList");
        add(v.pcOpenDirBtn, "pcOpenDir");
        add(v.titOpenDirBtn, "titOpenDir");
        add(v.connectBtn, "connect");
        add(v.ViewBtn && v.mnuFileView && v.popOpen, "open");
        add(v.ExportBtn && v.mnuFileExport && v.popExport, "export");
        add(v.printBtn && v.mnuFilePrint && v.popPrint, "print");
        add(v.copyBtn && v.mnuFileCopy && v.popCopy, "copy");
        add(v.moveBtn && v.mnuFileMove && v.popMove, "move");
        add(v.deleteBtn && v.mnuFileDelete && v.popDelete, "delete");
        return s;
    };
    const char* names[] = {"Rpt",       "Std",        "Usr",     "AllMtd", "Seq",
                           "SeqRpt",    "ShowAll",    "ShowCSV", "pcList", "titList",
                           "pcOpenDir", "titOpenDir", "connect", "open",   "export",
                           "print",     "copy",       "move",    "delete"};
    for (int bit = 0; bit < 19; ++bit)
        EXPECT_EQ(enabled(commandView(kReports, 1u << bit, false)), names[bit]) << bit;
}

TEST(CommandState, InitialStateShowsOfflineReports) {
    CommandState s;
    EXPECT_EQ(s.paneFlags(), kReports);
    EXPECT_EQ(s.commandFlags(), cmd::kPcList | cmd::kConnect);
    CommandView v = s.syncWithFlags(false);
    EXPECT_TRUE(v.RptCheckbox.checked && v.RptCheckbox.enabled);
    EXPECT_TRUE(v.SeqRptCheckBox.enabled);
    EXPECT_FALSE(v.StdMtdCheckbox.checked || v.StdMtdCheckbox.enabled || v.SeqCheckBox.enabled);
    EXPECT_FALSE(v.titList || v.pcOpenDirBtn || v.titOpenDirBtn);
    EXPECT_EQ(buttons(v), "+++--+");
    EXPECT_EQ(v.source, 0);
    EXPECT_EQ(v.connectCaption, 982);
    EXPECT_EQ(v.pcOpenDirCaption, kOpenDirectoryText);
    EXPECT_EQ(v.titOpenDirCaption, kOpenDirectoryText);
}

TEST(CommandState, OnlyTheQx502cAtPositionOneKeepsSequences) {
    struct Case {
        int titType;
        ModelCode model;
        Category shown;
        bool sequences, chooseReports;
    };
    const Case cases[] = {
        {1, ModelCode::QX502C, kTrayReports, true, false},
        {1, ModelCode::QX502C, kStandardMethods, true, false},
        {1, ModelCode::QX502B, kTrayReports, false, true},
        {1, ModelCode::QX502, kReports, false, false},
        {0, ModelCode::QX502C, kSequences, false, true},
        {2, ModelCode::QX503, kAllMethods, false, true},
        {3, ModelCode::QX534, kReports, false, false},
    };
    for (const Case& c : cases) {
        CommandState s;
        s.chooseCategory(c.shown);
        EXPECT_EQ(s.goOnline(c.titType, c.model), c.chooseReports) << c.titType;
        CommandView v = s.syncWithFlags(true);
        EXPECT_EQ(v.SeqCheckBox.enabled, c.sequences) << c.titType;
        EXPECT_EQ(v.SeqRptCheckBox.enabled, c.sequences) << c.titType;
    }
}

TEST(CommandState, GoingOfflineLeavesTheTitratorTrayFolderAndPane) {
    CommandState s;
    s.goOnline(1, ModelCode::QX502C);
    s.chooseCategory(kTrayReports);
    s.setTitratorInTray(true);
    s.focusTitratorList(true);
    EXPECT_EQ(s.syncWithFlags(true).titOpenDirCaption, kBackText);
    CommandState::Offline change = s.goOffline();
    EXPECT_TRUE(change.leftTitratorTray);
    EXPECT_FALSE(change.chooseReports);
    CommandView v = s.syncWithFlags(false);
    EXPECT_EQ(v.titOpenDirCaption, kOpenDirectoryText);
    EXPECT_TRUE(v.SeqRptCheckBox.enabled);
    EXPECT_EQ(v.source, 0); // the commands act on the PC pane, never the empty titrator list

    CommandState methods;
    methods.chooseCategory(kUserMethods);
    EXPECT_TRUE(methods.goOffline().chooseReports);
}

TEST(CommandState, PcCheckBoxesExcludeEachOther) {
    CommandState s;
    s.clickShowAllFiles(true);
    s.clickShowCsvFiles(true);
    CommandView v = s.syncWithFlags(false);
    EXPECT_TRUE(v.ShowCSVPcFilesCb.checked);
    EXPECT_FALSE(v.ShowAllPcFilesCb.checked);
    EXPECT_EQ(buttons(v), "-----+");

    s.clickShowAllFiles(true);
    v = s.syncWithFlags(false);
    EXPECT_TRUE(v.ShowAllPcFilesCb.checked);
    EXPECT_FALSE(v.ShowCSVPcFilesCb.checked);
    EXPECT_EQ(buttons(v), "------");

    s.clickShowAllFiles(false);
    v = s.syncWithFlags(false);
    EXPECT_FALSE(v.ShowAllPcFilesCb.checked || v.ShowCSVPcFilesCb.checked);
    EXPECT_EQ(buttons(v), "+++--+");

    // Unticking a box that is not ticked leaves the other one alone.
    s.clickShowCsvFiles(true);
    s.clickShowAllFiles(false);
    EXPECT_TRUE(s.syncWithFlags(false).ShowCSVPcFilesCb.checked);
}

TEST(CommandState, MethodsCategoryUnticksAndLeavesTrayFolders) {
    CommandState s;
    s.goOnline(1, ModelCode::QX502C);
    s.chooseCategory(kTrayReports);
    s.clickShowAllFiles(true);
    s.setPcInTray(true);
    s.setTitratorInTray(true);
    CommandView v = s.syncWithFlags(true);
    EXPECT_EQ(v.pcOpenDirCaption, kBackText);
    EXPECT_TRUE(v.ShowAllPcFilesCb.checked);

    // Tray Reports again keeps the folders; another category leaves both.
    EXPECT_FALSE(s.chooseCategory(kTrayReports));
    EXPECT_EQ(s.paneFlags() & (pane::kPcInTray | pane::kTitratorInTray),
              pane::kPcInTray | pane::kTitratorInTray);
    EXPECT_TRUE(s.chooseCategory(kAllMethods));
    v = s.syncWithFlags(true);
    EXPECT_FALSE(v.ShowAllPcFilesCb.checked || v.ShowAllPcFilesCb.enabled);
    EXPECT_FALSE(v.ShowCSVPcFilesCb.checked || v.ShowCSVPcFilesCb.enabled);
    EXPECT_EQ(s.paneFlags(), kAllMethods);
    EXPECT_TRUE(v.AllMtdCheckBox.checked && !v.RptCheckbox.checked);
    // Back on reports the boxes start unticked.
    s.chooseCategory(kReports);
    EXPECT_FALSE(s.syncWithFlags(true).ShowAllPcFilesCb.checked);
}
