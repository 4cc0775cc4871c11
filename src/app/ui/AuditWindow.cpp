#include "app/ui/AuditWindow.h"

#include "app/AuditTable.h"
#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "link/SerialHost.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

namespace {

QString lt(int n) {
    return languageUiText(n);
}

QDate dateOf(const std::string& time) {
    return QDate::fromString(QString::fromStdString(time.substr(0, 10)), Qt::ISODate);
}

std::string dayStart(const QDate& date) {
    return auditTimeOf(date.toString(Qt::ISODate).toStdString());
}

} // namespace

// The rows a filter leaves, read from the table without copying it.
class AuditWindow::Model : public QAbstractTableModel {
public:
    explicit Model(QObject* parent) : QAbstractTableModel(parent) {}
    void show(const AuditTable* table, std::vector<std::size_t> rows) {
        beginResetModel();
        table_ = table;
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<std::size_t>& rows() const { return rows_; }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kAuditColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !table_ || !index.isValid())
            return {};
        return QString::fromStdString(
            auditCell(table_->events[rows_[std::size_t(index.row())]], index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return QAbstractTableModel::headerData(section, orientation, role);
        return lt(auditColumnTitle(section));
    }

private:
    const AuditTable* table_ = nullptr;
    std::vector<std::size_t> rows_;
};

AuditWindow::AuditWindow(std::filesystem::path log, Host& host, QWidget* parent)
    : QDialog(parent), log_(std::move(log)), host_(host), table_(std::make_unique<AuditTable>()),
      model_(new Model(this)), from_(new QDateEdit(this)), to_(new QDateEdit(this)),
      file_(new QLineEdit(this)), operation_(new QComboBox(this)), result_(new QComboBox(this)),
      verdict_(new QLabel(this)), view_(new QTableView(this)) {
    setObjectName("auditWindow");
    setWindowTitle(lt(82));
    for (auto [w, name] : {std::pair<QWidget*, const char*>{from_, "auditFrom"},
                           {to_, "auditTo"},
                           {file_, "auditFile"},
                           {operation_, "auditOperation"},
                           {result_, "auditResult"},
                           {verdict_, "auditVerdict"},
                           {view_, "auditTable"}})
        w->setObjectName(name);
    for (QDateEdit* d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat("yyyy-MM-dd");
        connect(d, &QDateEdit::dateChanged, this, [this] { applyFilter(); });
    }
    connect(file_, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    for (QComboBox* box : {operation_, result_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { applyFilter(); });

    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->horizontalHeader()->setResizeContentsPrecision(200); // a long log opens at once

    auto* exportBtn = new QPushButton(lt(102), this);
    auto* closeBtn = new QPushButton(lt(103), this);
    exportBtn->setObjectName("auditExport");
    closeBtn->setObjectName("auditClose");
    connect(exportBtn, &QPushButton::clicked, this, &AuditWindow::exportCsv);
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::close);

    auto* filters = new QHBoxLayout;
    for (auto [title, field] : {std::pair<int, QWidget*>{98, from_},
                                {99, to_},
                                {100, file_},
                                {84, operation_},
                                {85, result_}}) {
        auto* label = new QLabel(lt(title), this);
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field, field == file_ ? 2 : 0);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(verdict_, 1);
    buttons->addWidget(exportBtn);
    buttons->addWidget(closeBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(1000, 520);

    chooseFile_ = [this] {
        return QFileDialog::getSaveFileName(this, lt(102).remove('&'), "audit.csv", lt(110));
    };
    reload();
}

AuditWindow::~AuditWindow() = default;

void AuditWindow::fillChoices(QComboBox* box, int column) {
    std::set<std::string> values;
    for (const AuditEvent& e : table_->events)
        values.insert(auditCell(e, column));
    const QSignalBlocker quiet(box);
    const QString kept = box->currentIndex() > 0 ? box->currentText() : QString();
    box->clear();
    box->addItem(lt(101));
    for (const std::string& v : values)
        box->addItem(QString::fromStdString(v), QString::fromStdString(v));
    box->setCurrentIndex(std::max(0, box->findData(kept)));
}

void AuditWindow::reload() {
    *table_ = loadAuditTable(log_);
    fillChoices(operation_, 1);
    fillChoices(result_, 2);
    const QDate today = QDateTime::currentDateTimeUtc().date();
    QDate first = today, last = today;
    for (const AuditEvent& e : table_->events)
        if (const QDate d = dateOf(e.time); d.isValid()) {
            first = std::min(first, d);
            last = std::max(last, d);
        }
    const QSignalBlocker quietFrom(from_), quietTo(to_);
    from_->setDate(first);
    to_->setDate(last);
    applyFilter();
    view_->resizeColumnsToContents();
    view_->scrollToBottom(); // the latest events
}

void AuditWindow::applyFilter() {
    AuditFilter filter;
    filter.from = dayStart(from_->date());
    filter.until = dayStart(to_->date().addDays(1));
    filter.file = file_->text().trimmed().toStdString();
    filter.operation = operation_->currentData().toString().toStdString();
    filter.result = result_->currentData().toString().toStdString();
    model_->show(table_.get(), filterAuditTable(*table_, filter));

    const std::string shown = std::to_string(model_->rows().size());
    const std::string total = std::to_string(table_->events.size());
    std::string text;
    if (table_->missing)
        text = langText(106);
    else if (!table_->error.empty())
        text = formatMsg(langText(107), {fromQt(QString::fromStdString(table_->error))});
    else if (table_->verdict.intact())
        text = formatMsg(langText(104), {shown, total});
    else
        text = formatMsg(langText(105), {shown, total, std::to_string(table_->verdict.brokenLine)});
    const bool fault = !table_->missing && (!table_->error.empty() || !table_->verdict.intact());
    verdict_->setStyleSheet(fault ? "color: " + fromBgr(colour::kRed).name() + ";" : QString());
    verdict_->setText(uiText(text));
}

void AuditWindow::exportCsv() {
    const QString name = chooseFile_ ? chooseFile_() : QString();
    if (name.isEmpty())
        return;
    std::string error;
    if (!writeFileAtomically(name.toStdString(), auditCsv(*table_, model_->rows()), &error))
        host_.message(formatMsg(langText(108), {fromQt(QString::fromStdString(error))}),
                      langText(82), Host::Icon::Warning);
}

QAction* addAuditMenuEntry(QMenu* menu, Host& host, QWidget* parent) {
    QAction* entry = menu->addAction(lt(81));
    entry->setObjectName("mnuFileAudit");
    QObject::connect(entry, &QAction::triggered, parent, [&host, parent] {
        auto* window = parent->findChild<AuditWindow*>("auditWindow");
        if (!window) {
            const std::filesystem::path log =
                auditLog() ? auditLog()->file() : appPaths().dataDir / AuditLog::kFileName;
            window = new AuditWindow(log, host, parent);
        } else {
            window->reload();
        }
        window->show();
        window->raise();
    });
    return entry;
}
