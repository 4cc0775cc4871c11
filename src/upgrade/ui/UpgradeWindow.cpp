#include "upgrade/ui/UpgradeWindow.h"

#include "core/Language.h"
#include "core/ui/GuiHost.h"
#include "link/DeviceSession.h"
#include "upgrade/UpgradeProcedure.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kMinimumWidth = 520;
constexpr int kTextGetVersion = 156;
constexpr int kTextSelectFile = 157;
constexpr int kTextChooseTitle = 158;
constexpr int kTextUpgradeFiles = 159;
constexpr int kTextAllFiles = 160;

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

UpgradeWindow::UpgradeWindow(DeviceSession& session, Host& host, QWidget* parent)
    : QDialog(parent),
      procedure_(std::make_unique<UpgradeProcedure>(session.serial(), host, *this)) {
    setObjectName("upgrade");
    setWindowTitle(uiText(langText(UpgradeProcedure::kTextUpgrade)));
    getSWButton_ = button(languageUiText(kTextGetVersion), "GetSWButton", this);
    lblDevice_ = new QLineEdit(this);
    lblDevice_->setObjectName("lblDevice");
    lblDevice_->setReadOnly(true);
    selectFile_ = button(languageUiText(kTextSelectFile), "SelectFile", this);
    lblUpgFile_ = new QLabel(this);
    lblUpgFile_->setObjectName("lblUpgFile");
    lblUpgFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    upgButton_ = button(uiText(langText(UpgradeProcedure::kTextUpgrade)), "UpgButton", this);
    upgButton_->setDefault(true);
    abortButton_ = button(uiText(langText(UpgradeProcedure::kTextAbort)), "AbortButton", this);
    upgFileProgress_ = new QProgressBar(this);
    upgFileProgress_->setObjectName("UpgFileProgress");
    upgFileProgress_->setRange(0, 100);
    upgFileProgress_->setTextVisible(false);
    upgFilePerc_ = new QLabel(this);
    upgFilePerc_->setObjectName("UpgFilePerc");
    upgFilePerc_->setMinimumWidth(upgFilePerc_->fontMetrics().horizontalAdvance("100 %"));
    upgFilePerc_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buildLayout();

    connect(getSWButton_, &QPushButton::clicked, this,
            [this] { procedure_->getSoftwareVersion(); });
    connect(selectFile_, &QPushButton::clicked, this, &UpgradeWindow::selectFile);
    connect(upgButton_, &QPushButton::clicked, this, [this] { procedure_->upgrade(); });
    connect(abortButton_, &QPushButton::clicked, this, [this] { procedure_->abort(); });
    prepare();
}

UpgradeWindow::~UpgradeWindow() = default;

void UpgradeWindow::buildLayout() {
    auto* grid = new QGridLayout;
    grid->addWidget(getSWButton_, 0, 0);
    grid->addWidget(lblDevice_, 0, 1, 1, 2);
    grid->addWidget(selectFile_, 1, 0);
    grid->addWidget(lblUpgFile_, 1, 1, 1, 2);
    grid->addWidget(upgFileProgress_, 2, 0, 1, 2);
    grid->addWidget(upgFilePerc_, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(upgButton_);
    buttons->addWidget(abortButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(kMinimumWidth);
    setTabOrder(getSWButton_, lblDevice_);
    setTabOrder(lblDevice_, selectFile_);
    setTabOrder(selectFile_, upgButton_);
    setTabOrder(upgButton_, abortButton_);
}

void UpgradeWindow::prepare() {
    upgButton_->setText(uiText(langText(UpgradeProcedure::kTextUpgrade)));
    abortButton_->setText(uiText(langText(UpgradeProcedure::kTextAbort)));
    procedure_->open();
}

int UpgradeWindow::exec() {
    prepare();
    return QDialog::exec();
}

void UpgradeWindow::selectFile() {
    QFileDialog dialog(this, languageUiText(kTextChooseTitle));
    dialog.setObjectName("SelFileDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters{languageUiText(kTextUpgradeFiles), languageUiText(kTextAllFiles)};
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    const auto& chosen = procedure_->file();
    if (!chosen.empty())
        dialog.setDirectory(QFile::decodeName(chosen.parent_path().c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    procedure_->chooseFile(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

void UpgradeWindow::setControls(const UpgradeControls& c) {
    getSWButton_->setEnabled(c.getSoftwareVersion);
    selectFile_->setEnabled(c.selectFile);
    upgButton_->setEnabled(c.upgrade);
    abortButton_->setVisible(c.abortVisible);
    abortButton_->setEnabled(c.abortEnabled);
    if (c.abortVisible && c.abortEnabled)
        abortButton_->setFocus(); // Space or Enter aborts without the mouse
}

void UpgradeWindow::showDevice(const std::string& identification) {
    lblDevice_->setText(uiText(identification));
}

void UpgradeWindow::showFile(const std::filesystem::path& file) {
    const QString text = file.empty() ? uiText(langText(UpgradeProcedure::kTextNoFileChosen))
                                      : QDir::toNativeSeparators(QFile::decodeName(file.c_str()));
    lblUpgFile_->setText(text);
    lblUpgFile_->setToolTip(file.empty() ? QString() : text);
}

void UpgradeWindow::showProgress(int percent) {
    upgFileProgress_->setValue(percent);
    upgFilePerc_->setText(QString::number(percent) + QStringLiteral(" %"));
}

void UpgradeWindow::closeWindow() {
    done(QDialog::Accepted);
}

// Closing while an upgrade runs would leave it running unseen: it aborts instead.
void UpgradeWindow::closeEvent(QCloseEvent* event) {
    if (procedure_->busy()) {
        procedure_->abort();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void UpgradeWindow::reject() {
    if (procedure_->busy()) {
        procedure_->abort();
        return;
    }
    QDialog::reject();
}
