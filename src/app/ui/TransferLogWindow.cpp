#include "app/ui/TransferLogWindow.h"

#include "app/TransferLog.h"
#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"

#include <QAbstractTableModel>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kTextCsvFilter = 110;
constexpr int kTextCsvNotWritten = 108;

QString lt(int n) {
    return languageUiText(n);
}

} // namespace

class TransferLogWindow::Model : public QAbstractTableModel {
public:
    Model(const TransferLog& log, QObject* parent) : QAbstractTableModel(parent), log_(log) {}
    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(log_.rows().size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kTransferLogColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const TransferRecord& r = log_.rows()[std::size_t(index.row())].record;
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return uiText(transferLogCell(r, index.column()));
        if (role == Qt::TextAlignmentRole && index.column() == 3)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return QAbstractTableModel::headerData(section, orientation, role);
        return lt(transferLogColumnTitle(section));
    }

private:
    const TransferLog& log_;
};

TransferLogWindow::TransferLogWindow(TransferLog& log, Host& host, QWidget* parent)
    : QDialog(parent), log_(log), host_(host), model_(new Model(log, this)),
      view_(new QTableView(this)), retryBtn_(new QPushButton(lt(kTextRetry), this)) {
    setObjectName("transferLogWindow");
    setWindowTitle(lt(kTextCaption));
    view_->setObjectName("transferLogTable");
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->horizontalHeader()->setResizeContentsPrecision(200);

    auto* saveBtn = new QPushButton(lt(kTextSave), this);
    auto* closeBtn = new QPushButton(lt(kTextClose), this);
    retryBtn_->setObjectName("transferRetry");
    saveBtn->setObjectName("transferSave");
    connect(retryBtn_, &QPushButton::clicked, this, [this] {
        if (retry_)
            retry_();
    });
    connect(saveBtn, &QPushButton::clicked, this, &TransferLogWindow::saveCsv);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retryBtn_);
    buttons->addWidget(saveBtn);
    buttons->addWidget(closeBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(820, 420);

    chooseFile_ = [this] {
        return QFileDialog::getSaveFileName(this, lt(kTextSave).remove('&').remove("..."),
                                            "transfers.csv", lt(kTextCsvFilter));
    };
    refresh();
}

void TransferLogWindow::setRetry(std::function<void()> retry) {
    retry_ = std::move(retry);
    refresh();
}

void TransferLogWindow::refresh() {
    model_->reset();
    retryBtn_->setEnabled(retry_ && !log_.retryEntries().empty());
    if (!isVisible())
        return;
    view_->resizeColumnsToContents();
    view_->scrollToBottom();
}

void TransferLogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void TransferLogWindow::saveCsv() {
    const QString name = chooseFile_ ? chooseFile_() : QString();
    if (name.isEmpty())
        return;
    std::string error;
    if (!writeFileAtomically(name.toStdString(), transferLogCsv(log_), &error))
        host_.message(
            formatMsg(langText(kTextCsvNotWritten), {fromQt(QString::fromStdString(error))}),
            langText(kTextCaption), Host::Icon::Warning);
}
