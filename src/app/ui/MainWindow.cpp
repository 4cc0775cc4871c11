#include "app/ui/MainWindow.h"

#include "app/MainLayout.h"
#include "app/TransferLog.h"
#include "app/ui/AboutWindow.h"
#include "app/ui/AuditWindow.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/PaneTree.h"
#include "app/ui/SettingsDialog.h"
#include "app/ui/TransferLogWindow.h"
#include "core/AppPaths.h"
#include "core/Encoding.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/ui/GuiHost.h"
#include "core/ui/Named.h"
#include "core/ui/WidgetControl.h"
#include "documents/ExportOptions.h"
#include "documents/ui/DocumentPrinter.h"
#include "files/ui/ProgressWindow.h"
#include "files/ui/ReplaceWindow.h"
#include "link/ComPorts.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"
#include "link/Trace.h"
#include "link/ui/DebugWindow.h"
#include "upgrade/ui/UpgradeWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kDefaultWidth = 780;
constexpr int kDefaultHeight = 560;

constexpr int kTextChangePathTip = 1131;
constexpr int kTextStatusBarTip = 1132;
constexpr int kTextConnectTip = 1133; // %v = the shortcut
constexpr int kTextRefresh = 68;
constexpr int kTextShowHiddenTip = 69;
constexpr int kTextFileMenu = 131;
constexpr int kTextCommMenu = 132;
constexpr int kTextNoPortEntry = 134;
constexpr int kTextSequences = 135;
constexpr int kTextTrayReports = 136;
constexpr int kTextNoPortAvailable = 140;

QString lt(int index) {
    return languageUiText(index);
}

QString readAboutText(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return uiText(decodeTextFile(f.readAll().toStdString()));
}

std::string chooseFolder(QWidget* parent, const std::string& title, const std::string& start) {
    return QFileDialog::getExistingDirectory(parent, QString::fromStdString(title),
                                             QString::fromStdString(start))
        .toStdString();
}

} // namespace

MainWindow::MainWindow(Settings& settings, Host& host, Pump& pump, QWidget* parent)
    : QMainWindow(parent), settings_(settings), host_(host) {
    setObjectName("MainWindow");
    version_ = QString::fromStdString(appVersionText());
    browseForFolder_ = [this](const std::string& title, const std::string& start) {
        return chooseFolder(this, title, start);
    };
    buildControls();
    buildMenus();
    resize(kDefaultWidth, kDefaultHeight);
    centreOnScreen();

    setWindowTitle(lt(5) + " " + version_);
    helpFile_ = QString::fromStdString(loadHelpFile(appPaths(), settings_, host_));
    helpContents_ = QString::fromStdString((appPaths().resourceDir / langText(973)).string());
    appExportOptions() = loadExportOptions(settings_.configPath);
    prepareCaptions();
    createSession(pump);
    createFileWindows();
    panes_ = std::make_unique<Panes>(settings_, *session_, host_, *this);
    buildLayout();
    restoreColumns();
    connectControls();
    // Start-up: the PC pane is the active one; the titrator pane lists nothing yet.
    panes_->sync();
    panes_->showFiles();
    panes_->listTitrator();
    showMessage(langText(984), colour::kBlue, LinkMonitor::kFirstCheckMs);
    if (statusErrorPending_) {
        setStatusBar(statusErrorText_, colour::kRed);
        statusErrorPending_ = false;
    }
}

MainWindow::~MainWindow() {
    printer_.reset();
    if (Trace* trace = session_ ? session_->trace() : nullptr)
        trace->setListener({});
}

void MainWindow::createSession(Pump& pump) {
    DeviceSession::Config config;
    config.configPath = settings_.configPath;
    if (settings_.debugEnabled)
        config.traceLog = appPaths().dataDir / "debug.log";
    session_ = std::make_unique<DeviceSession>(*this, *this, pump, config);
    if (Trace* trace = session_->trace()) {
        trace->setListener([this](Trace::Direction d, const std::string& line) {
            if (!debugWindow_)
                debugWindow_ = new DebugWindow(this);
            debugWindow_->addLine(d, line);
        });
    }
    session_->monitor().setStatusComPort(settings_.comPort);
    showPortDevices();
    tickComPort(settings_.comPort);
}

DeviceSession& MainWindow::session() {
    return *session_;
}
Serial& MainWindow::serial() {
    return session_->serial();
}
LinkMonitor& MainWindow::linkMonitor() {
    return session_->monitor();
}

// ---------------------------------------------------------------- construction

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->installEventFilter(this);

    RptCheckbox = named(new QRadioButton(central), "RptCheckbox");
    StdMtdCheckbox = named(new QRadioButton(central), "StdMtdCheckbox");
    UsrMtdCheckBox = named(new QRadioButton(central), "UsrMtdCheckBox");
    AllMtdCheckBox = named(new QRadioButton(central), "AllMtdCheckBox");
    SeqCheckBox = named(new QRadioButton(central), "SeqCheckBox");
    SeqRptCheckBox = named(new QRadioButton(central), "SeqRptCheckBox");

    pcFrame = named(new QLabel(central), "pcFrame");
    titFrame = named(new QLabel(central), "titFrame");
    for (QLabel* header : {pcFrame, titFrame}) {
        header->setStyleSheet("font-weight: bold; padding: 2px;");
        header->setAutoFillBackground(true);
    }
    pcOpenDirBtn = named(new QPushButton(central), "pcOpenDirBtn");
    titOpenDirBtn = named(new QPushButton(central), "titOpenDirBtn");

    pcList = named(new PaneTree(central), "pcList");
    titList = named(new PaneTree(central), "titList");
    for (PaneTree* list : {pcList, titList}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }

    ShowAllPcFilesCb = named(new QCheckBox(central), "ShowAllPcFilesCb");
    ShowCSVPcFilesCb = named(new QCheckBox(central), "ShowCSVPcFilesCb");
    PCPathLabel = named(new QLabel(central), "PCPathLabel");
    PCPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ChangePathBtn = named(new QPushButton("...", central), "ChangePathBtn");
    spacer_ = new QWidget(central);
    pcHiddenLabel = named(new QLabel(central), "pcHiddenLabel");
    TitratorTypeLabel = named(new QLabel(central), "TitratorTypeLabel");
    TitratorTypeLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titFreeLabel = named(new QLabel(central), "titFreeLabel");

    connectBtn = named(new QPushButton(central), "connectBtn");
    ViewBtn = named(new QPushButton(central), "ViewBtn");
    ExportBtn = named(new QPushButton(central), "ExportBtn");
    printBtn = named(new QPushButton(central), "printBtn");
    copyBtn = named(new QPushButton(central), "copyBtn");
    moveBtn = named(new QPushButton(central), "moveBtn");
    deleteBtn = named(new QPushButton(central), "deleteBtn");

    statusBar_ = named(new QLabel(central), "statusBar");
    statusBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->installEventFilter(this);
    statusErrorTimer_ = new QTimer(this);
    statusErrorTimer_->setSingleShot(true);
    connect(statusErrorTimer_, &QTimer::timeout, this, &MainWindow::statusErrorShown);

    resizeTimer_ = new QTimer(this);
    resizeTimer_->setSingleShot(true);
    resizeTimer_->setInterval(MainLayout::kResizeTimerMs);
    connect(resizeTimer_, &QTimer::timeout, this, &MainWindow::snapBackToMinimum);
}

void MainWindow::buildLayout() {
    const TwipsScale scale = screenTwipsScale(*this);
    auto control = [&](QWidget* w) {
        layoutControls_.push_back(std::make_unique<WidgetControl>(*w, scale));
        return layoutControls_.back().get();
    };
    MainControls c{};
    c.RptCheckbox = control(RptCheckbox);
    c.StdMtdCheckbox = control(StdMtdCheckbox);
    c.UsrMtdCheckBox = control(UsrMtdCheckBox);
    c.AllMtdCheckBox = control(AllMtdCheckBox);
    c.SeqCheckBox = control(SeqCheckBox);
    c.SeqRptCheckBox = control(SeqRptCheckBox);
    c.pcFrame = control(pcFrame);
    c.pcOpenDirBtn = control(pcOpenDirBtn);
    c.titFrame = control(titFrame);
    c.titOpenDirBtn = control(titOpenDirBtn);
    c.pcList = control(pcList);
    c.titList = control(titList);
    c.PCPathLabel = control(PCPathLabel);
    c.ChangePathBtn = control(ChangePathBtn);
    c.ShowAllPcFilesCb = control(ShowAllPcFilesCb);
    c.ShowCSVPcFilesCb = control(ShowCSVPcFilesCb);
    c.spacer = control(spacer_);
    c.pcHiddenLabel = control(pcHiddenLabel);
    c.TitratorTypeLabel = control(TitratorTypeLabel);
    c.titFreeLabel = control(titFreeLabel);
    c.connectBtn = control(connectBtn);
    c.ViewBtn = control(ViewBtn);
    c.ExportBtn = control(ExportBtn);
    c.printBtn = control(printBtn);
    c.copyBtn = control(copyBtn);
    c.moveBtn = control(moveBtn);
    c.deleteBtn = control(deleteBtn);
    c.statusBar = control(statusBar_);
    const QRadioButton* options[] = {RptCheckbox,    StdMtdCheckbox, UsrMtdCheckBox,
                                     AllMtdCheckBox, SeqCheckBox,    SeqRptCheckBox};
    for (std::size_t i = 0; i < c.categoryWeights.size(); ++i)
        c.categoryWeights[i] = options[i]->sizeHint().width();
    c.showAllWidth = ShowAllPcFilesCb->sizeHint().width();
    c.showCsvWidth = ShowCSVPcFilesCb->sizeHint().width();
    c.openDirWidth = widestCaption(*pcOpenDirBtn, {lt(kOpenDirectoryText), lt(kBackText)});
    c.commandWidth = widestCaption(*connectBtn, {lt(982), lt(983)});
    for (QPushButton* b : {ViewBtn, ExportBtn, printBtn, copyBtn, moveBtn, deleteBtn})
        c.commandWidth = std::max(c.commandWidth, b->sizeHint().width());
    const QSize inner = centralWidget()->size();
    layout_ = std::make_unique<MainLayout>(c, scale, scale.pixelsToTwipsX(inner.width()),
                                           scale.pixelsToTwipsY(inner.height()));
    // The window never gets smaller than the layout was made for.
    setMinimumSize(layout_->minWidth(), scale.twipsToPixelsY(MainLayout::kMinHeightTwips));
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = named(bar->addMenu(QString()), "mnuFile");
    mnuFileView = mnuFile->addAction(QString());
    mnuFileExport = mnuFile->addAction(QString());
    mnuFilePrint = mnuFile->addAction(QString());
    mnuFilePrintPreview = mnuFile->addAction(QString());
    mnuFile->addSeparator();
    mnuFileCopy = mnuFile->addAction(QString());
    mnuFileMove = mnuFile->addAction(QString());
    mnuFileDelete = mnuFile->addAction(QString());
    mnuFile->addSeparator();
    mnuFileRefresh = mnuFile->addAction(QString());
    mnuFileRefresh->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(mnuFileRefresh, &QAction::triggered, this, [this] { panes_->refresh(); });
    addAuditMenuEntry(mnuFile, host_, this);
    connect(named(mnuFile->addAction(lt(TransferLogWindow::kTextMenu)), "mnuFileTransferLog"),
            &QAction::triggered, this, &MainWindow::showTransferLog);
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QString());
    mnuFileExit->setShortcut(QKeySequence::Quit);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    mnuComm = named(bar->addMenu(QString()), "mnuComm");
    mnuConnect = mnuComm->addAction(QString());
    mnuConnect->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    mnuCommRefresh = mnuComm->addAction(QString());
    mnuComm->addSeparator();
    buildCommMenu();
    connect(mnuConnect, &QAction::triggered, this, &MainWindow::mnuConnect_Click);
    connect(mnuCommRefresh, &QAction::triggered, this, &MainWindow::mnuCommRefresh_Click);

    mnuLang = named(bar->addMenu(QString()), "mnuLang");
    buildLanguageMenu(mnuLang);

    mnuSetting = bar->addAction(QString());
    mnuUpgrade = bar->addAction(QString());
    connect(mnuSetting, &QAction::triggered, this, &MainWindow::mnuSetting_Click);
    connect(mnuUpgrade, &QAction::triggered, this, &MainWindow::mnuUpgrade_Click);

    mnuHelp = named(bar->addMenu(QString()), "mnuHelp");
    mnuContents = mnuHelp->addAction(QString());
    mnuContents->setShortcut(QKeySequence(Qt::Key_F1));
    mnuAbout = mnuHelp->addAction(QString());
    connect(mnuContents, &QAction::triggered, this, &MainWindow::showHelpContents);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::showAbout);

    popMenu = new QMenu(this);
    popOpen = popMenu->addAction(QString());
    popExport = popMenu->addAction(QString());
    popPrint = popMenu->addAction(QString());
    popMenu->addSeparator();
    popCopy = popMenu->addAction(QString());
    popMove = popMenu->addAction(QString());
    popDelete = popMenu->addAction(QString());

    // Keyboard access to every file command.
    mnuFileView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileExport->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuFilePrint->setShortcut(QKeySequence::Print);
    mnuFilePrintPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    mnuFileCopy->setShortcut(QKeySequence(Qt::Key_F5));
    mnuFileMove->setShortcut(QKeySequence(Qt::Key_F6));
    mnuFileDelete->setShortcut(QKeySequence::Delete);

    for (auto [action, name] : {std::pair{mnuFileView, "mnuFileView"},
                                {mnuFileExport, "mnuFileExport"},
                                {mnuFilePrint, "mnuFilePrint"},
                                {mnuFilePrintPreview, "mnuFilePrintPreview"},
                                {mnuFileCopy, "mnuFileCopy"},
                                {mnuFileMove, "mnuFileMove"},
                                {mnuFileDelete, "mnuFileDelete"},
                                {mnuFileRefresh, "mnuFileRefresh"},
                                {mnuFileExit, "mnuFileExit"},
                                {mnuConnect, "mnuConnect"},
                                {mnuCommRefresh, "mnuCommRefresh"},
                                {mnuSetting, "mnuSetting"},
                                {mnuUpgrade, "mnuUpgrade"},
                                {mnuContents, "mnuContents"},
                                {mnuAbout, "mnuAbout"},
                                {popOpen, "popOpen"},
                                {popExport, "popExport"},
                                {popPrint, "popPrint"},
                                {popCopy, "popCopy"},
                                {popMove, "popMove"},
                                {popDelete, "popDelete"}})
        action->setObjectName(name);
}

void MainWindow::buildCommMenu() {
    for (int i = 1; i <= kComPortCount; ++i) {
        QAction* a = mnuComm->addAction(QString());
        a->setObjectName(QString("smnuCommSub%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { smnuCommSub_Click(i); });
        smnuCommSub[i] = a;
    }
    smnuCommSub[17] = mnuComm->addAction(QString());
    smnuCommSub[17]->setObjectName("smnuCommSub17");
    smnuCommSub[17]->setEnabled(false);
    smnuCommSub[17]->setVisible(false);
}

void MainWindow::showPortDevices() {
    // The device beside each number tells which device a number means on this PC.
    for (int i = 1; i <= kComPortCount; ++i)
        smnuCommSub[i]->setText(
            QString("COM%1\t%2").arg(i).arg(QString::fromStdString(session_->deviceForPort(i))));
}

void MainWindow::buildLanguageMenu(QMenu* menu) {
    for (int i = 1; i <= kLanguageSlots; ++i) {
        const LanguageMenuEntry& e = settings_.languageMenu[i];
        QAction* a = menu->addAction(uiText(e.caption));
        a->setObjectName(QString("mnuLangSub%1").arg(i));
        a->setCheckable(true);
        a->setChecked(e.checked);
        a->setVisible(e.visible);
        connect(a, &QAction::triggered, this, [this, i] { chooseLanguage(i); });
        mnuLangSub[i] = a;
    }
}

void MainWindow::prepareCaptions() {
    AllMtdCheckBox->setText(lt(256));
    StdMtdCheckbox->setText(lt(257));
    UsrMtdCheckBox->setText(lt(258));
    RptCheckbox->setText(lt(259));
    SeqCheckBox->setText(lt(kTextSequences));
    SeqRptCheckBox->setText(lt(kTextTrayReports));
    ShowAllPcFilesCb->setText(lt(411));
    ShowCSVPcFilesCb->setText(lt(434));
    TitratorTypeLabel->setText(lt(424));
    TitratorTypeLabel->setStyleSheet("color: " + fromBgr(colour::kBlue).name() + ";");
    pcFrame->setText(lt(500));
    titFrame->setText(lt(501));
    mnuFile->setTitle(lt(kTextFileMenu));
    mnuComm->setTitle(lt(kTextCommMenu));
    mnuConnect->setText(lt(kTextConnectMenu));
    smnuCommSub[17]->setText(lt(kTextNoPortEntry));
    mnuFileExit->setText(lt(12));
    mnuFileRefresh->setText(lt(kTextRefresh));
    pcHiddenLabel->setToolTip(lt(kTextShowHiddenTip));
    mnuSetting->setText(lt(232));
    mnuCommRefresh->setText(lt(25));
    mnuLang->setTitle(lt(40));
    mnuUpgrade->setText(lt(11));
    mnuHelp->setTitle(lt(30));
    mnuContents->setText(lt(31));
    mnuAbout->setText(lt(32));
    mnuFilePrintPreview->setText(lt(213));
    for (QAction* a : {mnuFileView, popOpen})
        a->setText(lt(215));
    for (QAction* a : {mnuFileExport, popExport})
        a->setText(lt(214));
    for (QAction* a : {mnuFilePrint, popPrint})
        a->setText(lt(226));
    for (QAction* a : {mnuFileCopy, popCopy})
        a->setText(lt(216));
    for (QAction* a : {mnuFileMove, popMove})
        a->setText(lt(217));
    for (QAction* a : {mnuFileDelete, popDelete})
        a->setText(lt(218));
    ViewBtn->setText(lt(215));
    ExportBtn->setText(lt(214));
    printBtn->setText(lt(226));
    copyBtn->setText(lt(216));
    moveBtn->setText(lt(217));
    deleteBtn->setText(lt(218));
    // The buttons say what their menu entries' shortcuts are.
    for (auto [button, action] : {std::pair{ViewBtn, mnuFileView},
                                  {ExportBtn, mnuFileExport},
                                  {printBtn, mnuFilePrint},
                                  {copyBtn, mnuFileCopy},
                                  {moveBtn, mnuFileMove},
                                  {deleteBtn, mnuFileDelete}})
        button->setToolTip(action->text() + " (" +
                           action->shortcut().toString(QKeySequence::NativeText) + ")");
    connectBtn->setToolTip(uiText(
        formatMsg(langText(kTextConnectTip),
                  {mnuConnect->shortcut().toString(QKeySequence::NativeText).toStdString()})));
    ChangePathBtn->setToolTip(lt(kTextChangePathTip));
    statusBar_->setToolTip(lt(kTextStatusBarTip));
    showPcPath(settings_.pcPath);
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

// ---------------------------------------------------------------- status bar and link

void MainWindow::showMessage(const std::string& text, uint32_t colour, int ms) {
    if (session_)
        session_->postponeLinkCheck(ms);
    if (colour == colour::kRed && ms > 0) {
        // An error stays its time: the user must learn that a file did not go.
        paintStatusBar(text, colour);
        deferredStatus_.reset();
        statusErrorTimer_->start(ms);
        return;
    }
    setStatusBar(text, colour);
}

void MainWindow::setStatusBar(const std::string& text, uint32_t colour) {
    if (statusErrorTimer_->isActive()) {
        if (colour != colour::kRed) {
            deferredStatus_ = {text, colour}; // shown once the error's time is up
            return;
        }
        statusErrorTimer_->stop(); // a newer error (a lost link) takes its place
        deferredStatus_.reset();
    }
    paintStatusBar(text, colour);
}

void MainWindow::statusErrorShown() {
    if (deferredStatus_)
        paintStatusBar(deferredStatus_->first, deferredStatus_->second);
    deferredStatus_.reset();
}

void MainWindow::paintStatusBar(const std::string& text, uint32_t colour) {
    statusBar_->setStyleSheet("color: " + fromBgr(colour).name() + ";");
    statusBar_->setText(uiText(text));
    statusBar_->repaint();
}

void MainWindow::setTitratorLabel(const std::string& text, uint32_t colour) {
    TitratorTypeLabel->setText(uiText(text));
    TitratorTypeLabel->setStyleSheet("color: " + fromBgr(colour).name() + ";");
}

void MainWindow::setTitratorCaption(const std::string& text) {
    TitratorTypeLabel->setText(uiText(text));
}

void MainWindow::clearTitratorList() {
    if (panes_)
        panes_->titratorLost();
}

void MainWindow::setActive(bool enabled) {
    if (enabled && session_ && !session_->monitor().titratorOnline()) {
        // Nothing is left waiting on a titrator that is gone.
        if (replace_ && replace_->isVisible())
            replace_->closeWith(5);
        if (progress_)
            progress_->showProgress(false);
    }
    // Disabling takes the keyboard focus away; it comes back where it was, so that
    // Esc works right after a double click entered a tray folder.
    if (QWidget* focus = QApplication::focusWidget(); !enabled && focus && isAncestorOf(focus))
        focusBeforeBusy_ = focus;
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
    if (enabled && focusBeforeBusy_ && focusBeforeBusy_->isEnabled() && isActiveWindow())
        focusBeforeBusy_->setFocus();
}

void MainWindow::linkStateChanged() {
    if (!panes_)
        return;
    panes_->showFiles();
    panes_->sync();
}

void MainWindow::onlineControls() {
    panes_->goOnline();
}

void MainWindow::offlineFilters() {
    panes_->adjustForOffline();
}

void MainWindow::titratorIdentified() {
    panes_->titratorIdentified();
}

void MainWindow::tickComPort(int port) {
    for (int i = 1; i <= kComPortCount; ++i)
        smnuCommSub[i]->setChecked(i == port);
}

void MainWindow::uncheckMenuComPorts() {
    for (int i = 1; i <= kComPortCount; ++i)
        if (smnuCommSub[i]->isEnabled() && smnuCommSub[i]->isChecked())
            smnuCommSub[i]->setChecked(false);
}

void MainWindow::portDeviceVanished() {
    checkAvailableCommPorts();
    uncheckMenuComPorts();
}

void MainWindow::firmwareRefused(const std::string& title, const std::string& text) {
    host_.message(text, title, Host::Icon::Warning);
    endAll();
}

void MainWindow::statusMessage(const std::string& text, uint32_t colour, int ms) {
    showMessage(text, colour, ms);
}

void MainWindow::portError(const std::string& text) {
    setStatusBar(text, colour::kRed);
    statusErrorPending_ = true;
    statusErrorText_ = text;
}

void MainWindow::busyChanged(bool busy) {
    if (!busy && closeWhenFree_)
        QTimer::singleShot(0, this, &QWidget::close); // after the exchange has unwound
}

void MainWindow::runtimeError(int number, const std::string& description,
                              const std::string& source) {
    showErrorInfo(host_, number, description, source);
}

void MainWindow::waitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::connectBtn_Click() {
    if (!linkMonitor().linkEnabled())
        panes_->connectPressed();
    mnuConnect_Click();
}

void MainWindow::mnuConnect_Click() {
    if (linkMonitor().linkEnabled())
        session_->disconnect();
    else
        session_->connect(settings_.comPort, settings_.comSpeed);
}

void MainWindow::smnuCommSub_Click(int index) {
    if (!auditAllows()) { // the port chosen is a setting
        tickComPort(linkMonitor().statusComPort());
        return;
    }
    showMessage(langText(Serial::kTextWait), colour::kBlue, Serial::kWaitShowMs);
    if (chooseComPort(serial(), settings_, index, host_)) {
        uncheckMenuComPorts();
        smnuCommSub[index]->setChecked(true);
        linkMonitor().setStatusComPort(index);
    } else {
        tickComPort(linkMonitor().statusComPort());
    }
}

void MainWindow::mnuCommRefresh_Click() {
    checkAvailableCommPorts();
    panes_->listTitrator();
}

void MainWindow::checkAvailableCommPorts() {
    const int remembered = settings_.comPort;
    showPortDevices();
    PortSurvey survey;
    if (!session_->surveyPorts(survey))
        return; // a wait of the link is under way (the status bar says so)
    const std::vector<int> available = survey.availableNumbers();
    if (std::find(available.begin(), available.end(), remembered) != available.end())
        serial().setPortStatus(serial().openPort(remembered, settings_.comSpeed) ? 1 : 0);
    smnuCommSub[17]->setVisible(available.empty());
    if (available.empty())
        host_.message(formatMsg(langText(kTextNoPortAvailable), {}), "", Host::Icon::None);
}

void MainWindow::showDebugWindow() {
    if (!session_->trace())
        return;
    if (!debugWindow_)
        debugWindow_ = new DebugWindow(this);
    debugWindow_->show();
    debugWindow_->raise();
}

void MainWindow::mnuSetting_Click() {
    if (!auditAllows())
        return;
    if (!serial().canStartExchange()) { // the dialog's probe would close a port in use
        showMessage(langText(Serial::kTextWait), colour::kBlue, Serial::kWaitShowMs);
        return;
    }
    SettingsDialog dialog(
        settings_, *session_, host_, appExportOptions(),
        [this](int topic) { showContextHelp(topic); }, this);
    if (dialog.exec() == QDialog::Accepted && dialog.chosenPort() > 0) {
        showPortDevices();
        tickComPort(dialog.chosenPort());
    }
}

void MainWindow::mnuUpgrade_Click() {
    if (!auditAllows())
        return;
    if (!upgrade_)
        upgrade_ = new UpgradeWindow(*session_, host_, this);
    upgrade_->exec();
}

// ---------------------------------------------------------------- help, language, exit

void MainWindow::chooseLanguage(int index) {
    if (!auditAllows()) {
        for (int i = 1; i <= kLanguageSlots; ++i)
            mnuLangSub[i]->setChecked(settings_.languageMenu[i].checked);
        return;
    }
    ::chooseLanguage(settings_, index, host_);
    for (int i = 1; i <= kLanguageSlots; ++i)
        mnuLangSub[i]->setChecked(settings_.languageMenu[i].checked);
}

void MainWindow::showHelpContents() {
    showHelpFile(helpContents_, 0);
}

void MainWindow::showContextHelp(int topic) {
    showHelpFile(helpFile_, topic);
}

void MainWindow::showHelpFile(const QString& file, int topic) {
    // A modal dialog (F1 in the settings) blocks every window but its own children:
    // the help opened from it is its child, so it can be read while the dialog is open.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = this;
    if (help_ && help_->parentWidget() != owner)
        delete help_.data();
    if (!help_)
        help_ = new HelpWindow(owner);
    help_->openFile(file);
    if (topic > 0)
        help_->showTopic(topic);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::showAbout() {
    const std::string name =
        getIniString(settings_.configPath, "AboutFiles", std::to_string(settings_.languageIndex));
    QString text;
    if (name.empty())
        host_.message(formatMsg(langText(322), {}), formatMsg(langText(5), {}),
                      Host::Icon::Information);
    else
        text = readAboutText(appPaths().resolve(name).string());
    AboutWindow about(version_, text, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitRequested_ && !closeWhenFree_ &&
        !host_.askYesNo(formatMsg(langText(340), {}), formatMsg(langText(341), {}))) {
        event->ignore();
        return;
    }
    if (session_ && session_->busy()) {
        // Never end inside a wait: stop the transfer as the abort button does,
        // and close once the exchange has let go of the link.
        closeWhenFree_ = true;
        session_->abortTransfer();
        event->ignore();
        return;
    }
    storeSettingsOnExit();
    if (help_)
        help_->close();
    event->accept();
}

void MainWindow::storeSettingsOnExit() {
    storeColumns();
    settings_.pcPath = folderToStore(settings_.pcPath, panes_->pcInTray());
    showPcPath(settings_.pcPath);
    setIniString(settings_.configPath, "Options", "CrtPath", settings_.pcPath, host_);
}

// The close may have to wait for a running exchange (the identification that
// refused the firmware is one), and the process ends before it: the folder is
// stored here, as on every exit.
void MainWindow::endAll() {
    quitRequested_ = true;
    storeSettingsOnExit();
    close();
    QApplication::exit(0);
}
