#pragma once
// The main window's arrangement: category options on top, the PC pane left and
// the titrator pane right, the command buttons and the status bar below. The
// window supplies its controls; this builds the tree and lays it out.
#include "core/Layout.h"

#include <array>
#include <memory>
#include <vector>

struct MainControls {
    LayoutControl *RptCheckbox, *StdMtdCheckbox, *UsrMtdCheckBox, *AllMtdCheckBox, *SeqCheckBox,
        *SeqRptCheckBox;
    LayoutControl *pcFrame, *pcOpenDirBtn, *titFrame, *titOpenDirBtn;
    LayoutControl *pcList, *titList;
    LayoutControl *PCPathLabel, *ChangePathBtn, *ShowAllPcFilesCb, *ShowCSVPcFilesCb, *spacer,
        *pcHiddenLabel, *TitratorTypeLabel, *titFreeLabel;
    LayoutControl *connectBtn, *ViewBtn, *ExportBtn, *printBtn, *copyBtn, *moveBtn, *deleteBtn;
    LayoutControl* statusBar;
    // The options share the top row in proportion to these (their captions' widths).
    std::array<int, 6> categoryWeights{1, 1, 1, 1, 1, 1};
    // Pixels the captions of the chosen language need: the two PC check boxes and
    // the widest command button. Longer captions widen the window's minimum.
    int showAllWidth = 0, showCsvWidth = 0, commandWidth = 0;
    // The pane buttons' widest caption ("Open Directory" or "Back").
    int openDirWidth = 0;
};

class MainLayout {
public:
    // Below this the window snaps back once the mouse button is released.
    static constexpr int kMinWidthTwips = 9500;
    static constexpr int kMinHeightTwips = 7200;
    static constexpr int kResizeTimerMs = 200;

    // prepareGUI: builds the tree over the controls (it sets the widths of
    // the fixed-size ones) and lays it out for the window's inner size.
    MainLayout(const MainControls& controls, TwipsScale scale, int widthTwips, int heightTwips);

    // The window's inner size changed.
    void resizeForm(int widthTwips, int heightTwips);

    const Layout& root() const { return *layouts_.front(); }
    // Pixels: kMinWidthTwips, or more when the captions need it to be shown whole.
    int minWidth() const { return minWidth_; }

private:
    Layout& add(int lType, int height = 0);
    Layout& note(LayoutControl& label);

    TwipsScale scale_;
    std::vector<std::unique_ptr<Layout>> layouts_;
    int minWidth_ = 0;
};
