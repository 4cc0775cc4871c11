#pragma once
// A file pane's table: one level of rows over a PaneModel, several selected
// at once, sorted by a click on a column's header, dragged to the other pane.
#include "app/PaneModel.h"

#include <QTreeView>

class PaneTree : public QTreeView {
public:
    explicit PaneTree(QWidget* parent);

    // New lines; the name column widens to the widest name, so that none is cut
    // short (updateScroolbars): past the pane's width the table scrolls sideways.
    void showLines(std::vector<PaneLine> lines);
    PaneModel& paneModel() { return model_; }
    const PaneModel& paneModel() const { return model_; }
    // The pane positions of the selected rows, in the order shown.
    std::vector<int> selectedLines() const;
    // The real name of the current row; "" when there is none.
    std::string currentName() const;

    // Type-ahead looks at the names, whichever column was clicked.
    void keyboardSearch(const QString& search) override;

private:
    PaneModel model_;
};
