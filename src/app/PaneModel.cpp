#include "app/PaneModel.h"

#include "core/Encoding.h"
#include "core/Language.h"

#include <QLocale>

void PaneModel::setLines(std::vector<PaneLine> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    order_ = sortedOrder(lines_, sortColumn_, sortOrder_ == Qt::DescendingOrder);
    endResetModel();
}

int PaneModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int PaneModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPaneColumns;
}

QVariant PaneModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PaneLine& line = lines_[static_cast<std::size_t>(lineAt(index.row()))];
    if (role == kNameRole)
        return QByteArray::fromStdString(line.name);
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kNameColumn:
        return toQt(line.name);
    case kSizeColumn:
        return line.size == PaneLine::kNoSize ? QString() : QLocale().toString(line.size);
    case kDateColumn:
        return toQt(line.date);
    case kDescriptionColumn:
        return toQt(line.description);
    default:
        return {};
    }
}

QVariant PaneModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kPaneColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::InitialSortOrderRole) // a first click sorts up, whatever the last column did
        return Qt::AscendingOrder;
    if (role == Qt::DisplayRole)
        return toQt(langText(kFirstCaption + section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags PaneModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base;
}

void PaneModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> lines;
    for (const QModelIndex& i : before)
        lines.push_back(lineAt(i.row()));
    sortColumn_ = column;
    sortOrder_ = order;
    order_ = sortedOrder(lines_, column, order == Qt::DescendingOrder);
    std::vector<int> rows(order_.size());
    for (std::size_t row = 0; row < order_.size(); ++row)
        rows[static_cast<std::size_t>(order_[row])] = static_cast<int>(row);
    QModelIndexList after;
    for (std::size_t i = 0; i < lines.size(); ++i)
        after.push_back(
            index(rows[static_cast<std::size_t>(lines[i])], before[static_cast<int>(i)].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
