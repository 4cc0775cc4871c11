#include "app/ui/SettingsDialog.h"

#include "app/ExportSettings.h"
#include "app/ui/NetworkPortDialog.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "link/ComPorts.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/PortNames.h"
#include "link/Serial.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kTextPrompt = 442;
constexpr int kTextNoPort = 443;
constexpr int kTextOrderOfExport = 1136;
constexpr int kTextAddNetworkPort = 41;
constexpr int kTextNoFreeNumber = 48;
constexpr int kAddNetworkPortEntry = -1; // the item data of "Add network port..."
constexpr int kTextCsvSeparator = 148;
constexpr int kTextDecimalSeparator = 149;
constexpr int kTextSummaryOrder = 150;
constexpr int kTextComma = 151;
constexpr int kTextSemicolon = 152;
constexpr int kTextDot = 153;
constexpr int kTextAscending = 154;
constexpr int kTextDescending = 155;

// " , [comma]": a language text cannot hold the ";" nor keep the leading blank.
QString separatorEntry(char separator, int name) {
    return QStringLiteral(" %1 [%2]").arg(QChar(separator), languageUiText(name));
}

int iniIndex(const Settings& s, const char* key) {
    const std::string v = getIniString(s.configPath, "Options", key);
    return v == "1" ? 1 : (v == "2" ? 2 : 0); // a missing or odd value counts as 0
}

} // namespace

SettingsDialog::SettingsDialog(Settings& settings, DeviceSession& session, Host& host,
                               ExportOptions& options, std::function<void(int)> help,
                               QWidget* parent)
    : QDialog(parent), settings_(settings), session_(session), host_(host), options_(options),
      help_(std::move(help)) {
    setObjectName("settings");
    setWindowTitle(languageUiText(441));
    buildControls();
    fillComPortCombo();
    selectCurrentPort();
    loadExportLists();
}

void SettingsDialog::buildControls() {
    auto* root = new QVBoxLayout(this);
    COMFrame = new QGroupBox(languageUiText(439), this);
    COMFrame->setObjectName("COMFrame");
    COMCombo = new QComboBox(COMFrame);
    COMCombo->setObjectName("COMCombo");
    auto* comLayout = new QVBoxLayout(COMFrame);
    comLayout->addWidget(COMCombo);
    root->addWidget(COMFrame);

    exportFrame = new QGroupBox(languageUiText(440), this);
    exportFrame->setObjectName("exportFrame");
    auto* form = new QFormLayout(exportFrame);
    csvSeparatorCb = new QComboBox(exportFrame);
    csvSeparatorCb->addItems(
        {separatorEntry(',', kTextComma), separatorEntry(';', kTextSemicolon)});
    decimaSeparatorCb = new QComboBox(exportFrame);
    decimaSeparatorCb->addItems({separatorEntry('.', kTextDot), separatorEntry(',', kTextComma)});
    orderByCb = new QComboBox(exportFrame);
    orderByCb->addItems({languageUiText(kTextAscending), languageUiText(kTextDescending),
                         languageUiText(kTextOrderOfExport)});
    csvSeparatorL = new QLabel(languageUiText(kTextCsvSeparator), exportFrame);
    decimalSeparatorL = new QLabel(languageUiText(kTextDecimalSeparator), exportFrame);
    OrderByL = new QLabel(languageUiText(kTextSummaryOrder), exportFrame);
    csvSeparatorL->setBuddy(csvSeparatorCb);
    decimalSeparatorL->setBuddy(decimaSeparatorCb);
    OrderByL->setBuddy(orderByCb);
    for (auto [w, name] : {std::pair<QWidget*, const char*>{csvSeparatorCb, "csvSeparatorCb"},
                           {decimaSeparatorCb, "decimaSeparatorCb"},
                           {orderByCb, "orderByCb"}})
        w->setObjectName(name);
    form->addRow(csvSeparatorL, csvSeparatorCb);
    form->addRow(decimalSeparatorL, decimaSeparatorCb);
    form->addRow(OrderByL, orderByCb);
    root->addWidget(exportFrame);

    auto* buttons = new QDialogButtonBox(this);
    CmdOK = buttons->addButton(languageUiText(204), QDialogButtonBox::AcceptRole);
    CmdCancel = buttons->addButton(languageUiText(224), QDialogButtonBox::RejectRole);
    CmdOK->setObjectName("CmdOK");
    CmdCancel->setObjectName("CmdCancel");
    CmdOK->setDefault(true);
    root->addWidget(buttons);

    connect(CmdOK, &QPushButton::clicked, this, &SettingsDialog::CmdOK_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(COMCombo, qOverload<int>(&QComboBox::activated), this, &SettingsDialog::COMCombo_Click);
    connect(csvSeparatorCb, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { chooseListSeparator(options_, i); });
    connect(decimaSeparatorCb, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { chooseDecimalSeparator(options_, i); });
    connect(orderByCb, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int i) { chooseSummaryOrder(options_, i); });
}

bool SettingsDialog::online() const {
    return session_.monitor().titratorOnline();
}

// The ports that can be opened now: our own port is closed for the probe and
// opened again when it is still there.
void SettingsDialog::fillComPortCombo() {
    COMCombo->clear();
    const int inUse = session_.monitor().statusComPort();
    if (online()) {
        COMCombo->addItem(QString("COM%1").arg(inUse), inUse);
        COMCombo->setEnabled(false);
        return;
    }
    Serial& serial = session_.serial();
    const bool wasOpen = serial.isPortOpen();
    PortSurvey survey;
    if (session_.surveyPorts(survey))
        choices_ = portChoices(survey);
    if (wasOpen && !serial.isPortOpen())
        serial.setPortStatus(serial.openPort(settings_.comPort, settings_.comSpeed) ? 1 : 0);
    listChoices();
}

void SettingsDialog::listChoices() {
    COMCombo->clear();
    if (choices_.empty()) {
        COMCombo->addItem(languageUiText(kTextNoPort), 0);
    } else {
        COMCombo->addItem(languageUiText(kTextPrompt) + " ", 0);
        for (std::size_t i = 0; i < choices_.size(); ++i)
            COMCombo->addItem(uiText(portChoiceText(choices_[i])), static_cast<int>(i) + 1);
    }
    COMCombo->addItem(languageUiText(kTextAddNetworkPort), kAddNetworkPortEntry);
}

void SettingsDialog::selectChoice(int number) {
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        if (choices_[i].number == number) {
            COMCombo->setCurrentIndex(static_cast<int>(i) + 1);
            break;
        }
    }
    lastIndex_ = COMCombo->currentIndex();
    CmdOK->setEnabled(COMCombo->currentData().toInt() > 0);
}

void SettingsDialog::selectCurrentPort() {
    COMCombo->setCurrentIndex(0);
    if (online()) {
        CmdOK->setEnabled(true);
        return;
    }
    CmdOK->setEnabled(false);
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        if (choices_[i].number == session_.monitor().statusComPort() && !choices_[i].newMapping) {
            COMCombo->setCurrentIndex(static_cast<int>(i) + 1);
            CmdOK->setEnabled(true);
            break;
        }
    }
    lastIndex_ = COMCombo->currentIndex();
}

void SettingsDialog::COMCombo_Click(int index) {
    if (online())
        return;
    if (COMCombo->itemData(index).toInt() == kAddNetworkPortEntry) {
        addNetworkPort();
        return;
    }
    lastIndex_ = index;
    CmdOK->setEnabled(index > 0 && COMCombo->itemData(index).toInt() > 0);
}

void SettingsDialog::addNetworkPort() {
    NetworkPortDialog ask(this);
    const std::string address = ask.exec() == QDialog::Accepted ? ask.address() : std::string();
    if (address.empty() || !offerNetworkPort(address)) {
        COMCombo->setCurrentIndex(lastIndex_); // back to what was chosen before
        CmdOK->setEnabled(COMCombo->currentData().toInt() > 0);
    }
}

// Only an address that answered is offered; the dialog waits for it, not the window.
bool SettingsDialog::offerNetworkPort(const std::string& address) {
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string failure;
    const bool answered = session_.tryNetworkPort(address, failure);
    QApplication::restoreOverrideCursor();
    setEnabled(true);
    if (!answered) {
        host_.message(failure, langText(NetworkPortDialog::kTextTitle), Host::Icon::Warning);
        return false;
    }
    const PortChoice choice = networkPortChoice(
        address, choices_, [this](int n) { return session_.deviceForPort(n); }, addressInUse);
    if (choice.number == 0) {
        host_.message(formatMsg(langText(kTextNoFreeNumber), {address}),
                      langText(NetworkPortDialog::kTextTitle), Host::Icon::Warning);
        return false;
    }
    const auto same = std::find_if(choices_.begin(), choices_.end(),
                                   [&](const PortChoice& c) { return c.number == choice.number; });
    if (same == choices_.end())
        choices_.push_back(choice);
    else
        *same = choice;
    std::sort(choices_.begin(), choices_.end(),
              [](const PortChoice& a, const PortChoice& b) { return a.number < b.number; });
    listChoices();
    selectChoice(choice.number);
    return true;
}

// Setting the lists' indices runs their handlers, as a user's choice would.
void SettingsDialog::loadExportLists() {
    for (auto [box, key] : {std::pair{csvSeparatorCb, "csvSep"},
                            {decimaSeparatorCb, "decSep"},
                            {orderByCb, "orderBy"}}) {
        const int index = std::min(iniIndex(settings_, key), box->count() - 1);
        box->setCurrentIndex(index);
        emit box->currentIndexChanged(index); // also when it did not change
    }
}

bool SettingsDialog::openChosenPort() {
    const int data = COMCombo->currentData().toInt();
    if (data <= 0 || static_cast<std::size_t>(data) > choices_.size())
        return false;
    const PortChoice& choice = choices_[static_cast<std::size_t>(data) - 1];
    if (!openPortChoice(session_.serial(), settings_, choice, host_))
        return false;
    session_.monitor().setStatusComPort(choice.number);
    chosenPort_ = choice.number;
    return true;
}

void SettingsDialog::CmdOK_Click() {
    storeExportSettings(options_, settings_.configPath, host_);
    if (online() || openChosenPort())
        accept(); // a port that did not open keeps the dialog (the status bar says why)
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && help_) {
        help_(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}
