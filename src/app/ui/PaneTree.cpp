#include "app/ui/PaneTree.h"

#include "core/Encoding.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>

namespace {
constexpr int kNamePaddingPx = 16; // the cell's margins
} // namespace

PaneTree::PaneTree(QWidget* parent) : QTreeView(parent), model_(this) {
    setModel(&model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setSortIndicator(-1, Qt::AscendingOrder); // the pane's own order at first
    setSortingEnabled(true);
}

void PaneTree::showLines(std::vector<PaneLine> lines) {
    model_.setLines(std::move(lines));
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const PaneLine& line : model_.lines())
        widest = std::max(widest, metrics.horizontalAdvance(toQt(line.name)));
    const int needed = widest + kNamePaddingPx;
    if (columnWidth(kNameColumn) < needed)
        setColumnWidth(kNameColumn, needed);
}

std::vector<int> PaneTree::selectedLines() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> lines;
    for (int row : rows)
        lines.push_back(model_.lineAt(row));
    return lines;
}

std::string PaneTree::currentName() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.data(PaneModel::kNameRole).toByteArray().toStdString()
                             : std::string();
}

void PaneTree::keyboardSearch(const QString& search) {
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() != kNameColumn)
        selectionModel()->setCurrentIndex(current.siblingAtColumn(kNameColumn),
                                          QItemSelectionModel::NoUpdate);
    QTreeView::keyboardSearch(search);
}
