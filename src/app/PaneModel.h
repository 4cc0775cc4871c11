#pragma once
// A file pane as a table: Name, Size, Date and Description over the pane's
// lines, sorted by a column on request. Rows are the order shown; each row
// knows its line's position in the pane, which is what the pane logic takes.
#include "app/PaneLine.h"

#include <QAbstractTableModel>
#include <vector>

class PaneModel : public QAbstractTableModel {
public:
    // The real name of a row's file, as its 8-bit bytes (QByteArray), in every column.
    static constexpr int kNameRole = Qt::UserRole;
    // Language texts of the column captions, in column order.
    static constexpr int kFirstCaption = 61;

    explicit PaneModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // New lines in the pane's order; the current sort applies to them.
    void setLines(std::vector<PaneLine> lines);
    const std::vector<PaneLine>& lines() const { return lines_; }
    // The position in the pane of the line shown in a row.
    int lineAt(int row) const { return order_[static_cast<std::size_t>(row)]; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A column outside the table shows the pane's own order.
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<PaneLine> lines_;
    std::vector<int> order_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
