#include "app/MainLayout.h"

#include <algorithm>

namespace {

// Fixed sizes in pixels.
constexpr int kCategoryRowHeight = 30;
constexpr int kCategoryPadding = 28;
constexpr int kHeaderRowHeight = 28;
constexpr int kHeaderPadding = 2;
constexpr int kPaneSpacing = 2;
constexpr int kPathRowHeight = 24;
constexpr int kCheckRowHeight = 28;
constexpr int kNoteRowHeight = 20; // the hidden files, the free slots
constexpr int kInfoRowHeight = kPathRowHeight + kNoteRowHeight + kCheckRowHeight;
constexpr int kShowAllColumnWidth = 135;
constexpr int kShowCsvColumnWidth = 145;
constexpr int kSidePadding = 8;
constexpr int kButtonRowHeight = 30;
constexpr int kButtonSpacing = 4;
constexpr int kStatusRowHeight = 25;
constexpr int kOpenDirButtonWidth = 110; // at least: the captions may ask for more
constexpr int kHeaderLabelWidth = 80;    // room left beside it for "PC" or "Titrator"
constexpr int kChangePathButtonWidth = 30;

// The narrowest root row in which every caption gets the width it asks for.
int widthForCaptions(const MainControls& c, int showAllColumn, int showCsvColumn,
                     int openDirWidth) {
    int options = 0;
    for (int w : c.categoryWeights)
        options += std::max(1, w);
    // Each pane's check-box row keeps at least a pixel for its spacer.
    const int checks = kSidePadding + showAllColumn + showCsvColumn + 2 * kPaneSpacing + 1;
    const int commands = 2 * kSidePadding + 6 * kButtonSpacing + 7 * c.commandWidth;
    const int headers = 2 * (kHeaderLabelWidth + openDirWidth) + 3 * kPaneSpacing;
    return std::max({2 * kCategoryPadding + options, 2 * checks + kPaneSpacing, commands, headers});
}

} // namespace

// A line of text under a pane, the width of the pane.
Layout& MainLayout::note(LayoutControl& label) {
    Layout& row = add(Layout::Row, kNoteRowHeight);
    row.setLeftPadding(kSidePadding);
    row.setRightPadding(kSidePadding);
    row.appendItem(label, 1, 1);
    return row;
}

Layout& MainLayout::add(int lType, int height) {
    layouts_.push_back(std::make_unique<Layout>(lType, scale_));
    Layout& layout = *layouts_.back();
    layout.setHeight(height);
    return layout;
}

MainLayout::MainLayout(const MainControls& c, TwipsScale scale, int widthTwips, int heightTwips)
    : scale_(scale) {
    Layout& root = add(Layout::Column);
    root.setTopPadding(1);
    root.setSpacing(1);

    Layout& categories = add(Layout::Row, kCategoryRowHeight);
    categories.setLeftPadding(kCategoryPadding);
    categories.setRightPadding(kCategoryPadding);
    LayoutControl* const options[] = {c.RptCheckbox,    c.StdMtdCheckbox, c.UsrMtdCheckBox,
                                      c.AllMtdCheckBox, c.SeqCheckBox,    c.SeqRptCheckBox};
    for (std::size_t i = 0; i < c.categoryWeights.size(); ++i)
        categories.appendItem(*options[i], std::max(1, c.categoryWeights[i]), 1);

    // Headers over the lists: the same spacing and weights keep them aligned.
    Layout& headers = add(Layout::Row, kHeaderRowHeight);
    headers.setTopPadding(kHeaderPadding);
    headers.setBottomPadding(kHeaderPadding);
    headers.setSpacing(kPaneSpacing);
    const int openDirWidth = std::max(kOpenDirButtonWidth, c.openDirWidth);
    for (LayoutControl* button : {c.pcOpenDirBtn, c.titOpenDirBtn})
        button->setWidth(scale.pixelsToTwipsX(openDirWidth));
    headers.appendItem(*c.pcFrame, 1, 1);
    headers.appendItem(*c.pcOpenDirBtn, 0, 1);
    headers.appendItem(*c.titFrame, 1, 1);
    headers.appendItem(*c.titOpenDirBtn, 0, 1);

    Layout& lists = add(Layout::Row);
    lists.setSpacing(kPaneSpacing);
    lists.appendItem(*c.pcList, 1, 1);
    lists.appendItem(*c.titList, 1, 1);

    Layout& info = add(Layout::Row, kInfoRowHeight);
    info.setSpacing(kPaneSpacing);
    Layout& pcInfo = add(Layout::Column);
    Layout& titInfo = add(Layout::Column);
    info.appendItem(pcInfo, 1, 1);
    info.appendItem(titInfo, 1, 1);

    Layout& path = add(Layout::Row, kPathRowHeight);
    path.setLeftPadding(kSidePadding);
    path.setSpacing(kPaneSpacing);
    c.ChangePathBtn->setWidth(scale.pixelsToTwipsX(kChangePathButtonWidth));
    path.appendItem(*c.PCPathLabel, 1, 1);
    path.appendItem(*c.ChangePathBtn, 0, 1);

    Layout& checks = add(Layout::Row, kCheckRowHeight);
    checks.setLeftPadding(kSidePadding);
    checks.setSpacing(kPaneSpacing);
    const int showAllColumn = std::max(kShowAllColumnWidth, c.showAllWidth);
    const int showCsvColumn = std::max(kShowCsvColumnWidth, c.showCsvWidth);
    Layout& showAll = add(Layout::Column);
    showAll.setWidth(showAllColumn);
    showAll.appendItem(*c.ShowAllPcFilesCb, 1, 1);
    Layout& showCsv = add(Layout::Column);
    showCsv.setWidth(showCsvColumn);
    showCsv.appendItem(*c.ShowCSVPcFilesCb, 1, 1);
    checks.appendItem(showAll, 0, 1);
    checks.appendItem(showCsv, 0, 1);
    checks.appendItem(*c.spacer, 1, 1);
    pcInfo.appendItem(path, 1, 0);
    pcInfo.appendItem(note(*c.pcHiddenLabel), 1, 0);
    pcInfo.appendItem(checks, 1, 0);

    Layout& type = add(Layout::Row, kPathRowHeight);
    type.setLeftPadding(kSidePadding);
    type.setRightPadding(kSidePadding);
    type.appendItem(*c.TitratorTypeLabel, 1, 1);
    titInfo.appendItem(type, 1, 0);
    titInfo.appendItem(note(*c.titFreeLabel), 1, 0);

    Layout& buttons = add(Layout::Row, kButtonRowHeight);
    buttons.setSpacing(kButtonSpacing);
    buttons.setLeftPadding(kSidePadding);
    buttons.setRightPadding(kSidePadding);
    for (LayoutControl* button :
         {c.connectBtn, c.ViewBtn, c.ExportBtn, c.printBtn, c.copyBtn, c.moveBtn, c.deleteBtn})
        buttons.appendItem(*button, 1, 1);

    Layout& status = add(Layout::Row, kStatusRowHeight);
    status.appendItem(*c.statusBar, 1, 1);

    for (Layout* row : {&categories, &headers, &lists, &info, &buttons, &status})
        root.appendItem(*row, 1, row == &lists ? 1 : 0);

    minWidth_ = std::max(scale.twipsToPixelsX(kMinWidthTwips),
                         widthForCaptions(c, showAllColumn, showCsvColumn, openDirWidth));
    resizeForm(widthTwips, heightTwips);
}

void MainLayout::resizeForm(int widthTwips, int heightTwips) {
    Layout& root = *layouts_.front();
    root.setWidth(scale_.twipsToPixelsX(widthTwips));
    root.setHeight(scale_.twipsToPixelsY(heightTwips));
    root.show();
}
