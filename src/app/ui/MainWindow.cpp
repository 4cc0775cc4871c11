#include "app/ui/MainWindow.h"

#include "app/ui/AboutWindow.h"
#include "app/ui/HelpWindow.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/ui/GuiHost.h"
#include "link/ComPorts.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"
#include "link/Trace.h"
#include "link/ui/DebugWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString lt(int index) {
    return uiText(langText(index));
}

QColor fromBgr(uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// A pane's header: its title, then its Open Directory button.
QHBoxLayout* headerRow(QLabel* title, QPushButton* button) {
    auto* row = new QHBoxLayout;
    row->addWidget(title, 1);
    row->addWidget(button);
    return row;
}

QString readAboutText(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString all = uiText(f.readAll().toStdString());
    return all;
}

} // namespace

MainWindow::MainWindow(Settings& settings, Host& host, Pump& pump, QWidget* parent)
    : QMainWindow(parent), settings_(settings), host_(host) {
    setObjectName("MainWindow");
    version_ = QString::fromStdString(appVersionText());
    buildControls();
    buildMenus();
    resize(760, 560);
    centreOnScreen();

    setWindowTitle(lt(5) + " " + version_);
    helpFile_ = QString::fromStdString(loadHelpFile(appPaths(), settings_, host_));
    helpContents_ = QString::fromStdString((appPaths().resourceDir / langText(973)).string());
    prepareCaptions();
    prepareInitialState();
    createSession(pump);
    if (statusErrorPending_) {
        setStatusBar(statusErrorText_, colour::kRed);
        statusErrorPending_ = false;
    }
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
    linkStateChanged();
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

MainWindow::~MainWindow() {
    if (Trace* trace = session_ ? session_->trace() : nullptr)
        trace->setListener({});
}

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(8, 4, 8, 4);
    root->setSpacing(4);

    auto* categories = new QHBoxLayout;
    categories->setContentsMargins(28, 0, 28, 0);
    RptCheckbox = named(new QRadioButton(central), "RptCheckbox");
    StdMtdCheckbox = named(new QRadioButton(central), "StdMtdCheckbox");
    UsrMtdCheckBox = named(new QRadioButton(central), "UsrMtdCheckBox");
    AllMtdCheckBox = named(new QRadioButton(central), "AllMtdCheckBox");
    SeqCheckBox = named(new QRadioButton("Sequences", central), "SeqCheckBox");
    SeqRptCheckBox = named(new QRadioButton("Tray Reports", central), "SeqRptCheckBox");
    for (QRadioButton* b :
         {RptCheckbox, StdMtdCheckbox, UsrMtdCheckBox, AllMtdCheckBox, SeqCheckBox, SeqRptCheckBox})
        categories->addWidget(b, 1);
    root->addLayout(categories);
    root->addWidget(buildPanes(), 1);
    root->addWidget(buildCommandRow());
    setCentralWidget(central);

    statusBar_ = named(new QLabel(this), "statusBar");
    statusBar_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->setMinimumHeight(22);
    statusBar_->installEventFilter(this);
    statusBar()->addWidget(statusBar_, 1);
    statusBar()->setSizeGripEnabled(true);
}

QWidget* MainWindow::buildPanes() {
    auto* panes = new QWidget(this);
    auto* grid = new QGridLayout(panes);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);

    pcFrame = named(new QLabel(panes), "pcFrame");
    titFrame = named(new QLabel(panes), "titFrame");
    for (QLabel* header : {pcFrame, titFrame})
        header->setStyleSheet("font-weight: bold; padding: 2px;");
    pcOpenDirBtn = named(new QPushButton("Open Directory", panes), "pcOpenDirBtn");
    titOpenDirBtn = named(new QPushButton("Open Directory", panes), "titOpenDirBtn");
    grid->addLayout(headerRow(pcFrame, pcOpenDirBtn), 0, 0);
    grid->addLayout(headerRow(titFrame, titOpenDirBtn), 0, 1);

    pcList = named(new QListWidget(panes), "pcList");
    titList = named(new QListWidget(panes), "titList");
    for (QListWidget* list : {pcList, titList}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->installEventFilter(this);
        connect(list, &QListWidget::customContextMenuRequested, this,
                [this, list](const QPoint& pos) { showListMenu(list, pos); });
    }
    grid->addWidget(pcList, 1, 0);
    grid->addWidget(titList, 1, 1);

    auto* pcOptions = new QVBoxLayout;
    ShowAllPcFilesCb = named(new QCheckBox(panes), "ShowAllPcFilesCb");
    ShowCSVPcFilesCb = named(new QCheckBox(panes), "ShowCSVPcFilesCb");
    auto* pathRow = new QHBoxLayout;
    PCPathLabel = named(new QLabel(panes), "PCPathLabel");
    PCPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ChangePathBtn = named(new QPushButton("...", panes), "ChangePathBtn");
    ChangePathBtn->setMaximumWidth(32);
    pathRow->addWidget(PCPathLabel, 1);
    pathRow->addWidget(ChangePathBtn);
    pcOptions->addWidget(ShowAllPcFilesCb);
    pcOptions->addWidget(ShowCSVPcFilesCb);
    pcOptions->addLayout(pathRow);
    grid->addLayout(pcOptions, 2, 0);

    TitratorTypeLabel = named(new QLabel(panes), "TitratorTypeLabel");
    TitratorTypeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(TitratorTypeLabel, 2, 1);
    return panes;
}

QWidget* MainWindow::buildCommandRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    connectBtn = named(new QPushButton(row), "connectBtn");
    ViewBtn = named(new QPushButton(row), "ViewBtn");
    ExportBtn = named(new QPushButton(row), "ExportBtn");
    printBtn = named(new QPushButton(row), "printBtn");
    copyBtn = named(new QPushButton(row), "copyBtn");
    moveBtn = named(new QPushButton(row), "moveBtn");
    deleteBtn = named(new QPushButton(row), "deleteBtn");
    for (QPushButton* b : {connectBtn, ViewBtn, ExportBtn, printBtn, copyBtn, moveBtn, deleteBtn})
        layout->addWidget(b, 1);
    connect(connectBtn, &QPushButton::clicked, this, &MainWindow::connectBtn_Click);
    return row;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = named(bar->addMenu("&File"), "mnuFile");
    mnuFileView = mnuFile->addAction(QString());
    mnuFileExport = mnuFile->addAction(QString());
    mnuFilePrint = mnuFile->addAction(QString());
    mnuFilePrintPreview = mnuFile->addAction(QString());
    mnuFile->addSeparator();
    mnuFileCopy = mnuFile->addAction(QString());
    mnuFileMove = mnuFile->addAction(QString());
    mnuFileDelete = mnuFile->addAction(QString());
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QString());
    mnuFileExit->setShortcut(QKeySequence::Quit);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    mnuComm = named(bar->addMenu("&Communication"), "mnuComm");
    mnuConnect = mnuComm->addAction("&Connect");
    mnuCommRefresh = mnuComm->addAction(QString());
    mnuComm->addSeparator();
    buildCommMenu();
    connect(mnuConnect, &QAction::triggered, this, &MainWindow::mnuConnect_Click);
    connect(mnuCommRefresh, &QAction::triggered, this, &MainWindow::mnuCommRefresh_Click);

    mnuLang = named(bar->addMenu(QString()), "mnuLang");
    buildLanguageMenu(mnuLang);

    mnuSetting = bar->addAction(QString());
    mnuUpgrade = bar->addAction(QString());
    // The settings dialog and the firmware upgrade are not part of this version yet.
    for (QAction* a : {mnuSetting, mnuUpgrade}) {
        a->setEnabled(false);
        a->setToolTip("Not available in this version");
    }

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

    for (auto [action, name] : {std::pair{mnuFileView, "mnuFileView"},
                                {mnuFileExport, "mnuFileExport"},
                                {mnuFilePrint, "mnuFilePrint"},
                                {mnuFilePrintPreview, "mnuFilePrintPreview"},
                                {mnuFileCopy, "mnuFileCopy"},
                                {mnuFileMove, "mnuFileMove"},
                                {mnuFileDelete, "mnuFileDelete"},
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
    smnuCommSub[17] = mnuComm->addAction("No COM Port Available");
    smnuCommSub[17]->setObjectName("smnuCommSub17");
    smnuCommSub[17]->setEnabled(false);
    smnuCommSub[17]->setVisible(false);
    showPortDevices();
}

void MainWindow::showPortDevices() {
    // The device beside each number tells which device a number means on this PC.
    for (int i = 1; i <= kComPortCount; ++i)
        smnuCommSub[i]->setText(
            QString("COM%1\t%2")
                .arg(i)
                .arg(QString::fromStdString(session_ ? session_->deviceForPort(i) : "")));
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
    ShowAllPcFilesCb->setText(lt(411));
    ShowCSVPcFilesCb->setText(lt(434));
    TitratorTypeLabel->setText(lt(424));
    TitratorTypeLabel->setStyleSheet("color: " + fromBgr(0xFF0000).name() + ";");
    pcFrame->setText(lt(500));
    titFrame->setText(lt(501));
    mnuFileExit->setText(lt(12));
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

    const QString path = QString::fromStdString(settings_.pcPath);
    PCPathLabel->setText(path + "  ");
    PCPathLabel->setToolTip(path);
}

void MainWindow::prepareInitialState() {
    RptCheckbox->setChecked(true);
    // Until a titrator is connected only the PC list and Connect can be used.
    for (QWidget* w : std::initializer_list<QWidget*>{titList, pcOpenDirBtn, titOpenDirBtn, ViewBtn,
                                                      ExportBtn, printBtn, copyBtn, moveBtn,
                                                      deleteBtn, AllMtdCheckBox, StdMtdCheckbox,
                                                      UsrMtdCheckBox, SeqCheckBox, SeqRptCheckBox})
        w->setEnabled(false);
    for (QAction* a : {mnuFileView, mnuFileExport, mnuFilePrint, mnuFileCopy, mnuFileMove,
                       mnuFileDelete, popOpen, popExport, popPrint, popCopy, popMove, popDelete})
        a->setEnabled(false);
    setTabOrder(pcList, titList);
    setTabOrder(titList, connectBtn);
    setTabOrder(connectBtn, ViewBtn);
    setTabOrder(ViewBtn, ExportBtn);
    setTabOrder(ExportBtn, printBtn);
    setTabOrder(printBtn, copyBtn);
    setTabOrder(copyBtn, moveBtn);
    setTabOrder(moveBtn, deleteBtn);
    showMessage(langText(984), 0xFF0000, 100);
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void MainWindow::showMessage(const std::string& text, uint32_t colour, int ms) {
    if (session_)
        session_->postponeLinkCheck(ms);
    setStatusBar(text, colour);
}

void MainWindow::chooseLanguage(int index) {
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
    if (!help_)
        help_ = new HelpWindow(this);
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

void MainWindow::showListMenu(QListWidget* list, const QPoint& pos) {
    popMenu->exec(list->viewport()->mapToGlobal(pos));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar_ && event->type() == QEvent::MouseButtonDblClick) {
        showDebugWindow();
        return true;
    }
    if ((watched == pcList || watched == titList) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::ControlModifier) {
            showContextHelp(kHelpContext);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
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
    settings_.pcPath = folderToStore(settings_.pcPath, trayFolderShown_);
    trayFolderShown_ = false;
    const QString path = QString::fromStdString(settings_.pcPath);
    PCPathLabel->setText(path + "  ");
    PCPathLabel->setToolTip(path);
    setIniString(settings_.configPath, "Options", "CrtPath", settings_.pcPath, host_);
}

void MainWindow::endAll() {
    quitRequested_ = true;
    close();
    QApplication::exit(0);
}

void MainWindow::setStatusBar(const std::string& text, uint32_t colour) {
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
    titList->clear();
}

void MainWindow::setActive(bool enabled) {
    centralWidget()->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

void MainWindow::linkStateChanged() {
    const bool connected = session_ && session_->monitor().linkEnabled();
    const QString caption = lt(connected ? 983 : 982);
    connectBtn->setText(caption);
    mnuConnect->setText(caption.isEmpty() ? "&Connect" : caption);
    titList->setEnabled(connected);
}

void MainWindow::titratorIdentified() {
    // The panes list the model's files once the file service lands; the label already shows it.
    linkStateChanged();
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
    mnuConnect_Click();
}

void MainWindow::mnuConnect_Click() {
    if (session_->monitor().linkEnabled())
        session_->disconnect();
    else
        session_->connect(settings_.comPort, settings_.comSpeed);
}

void MainWindow::smnuCommSub_Click(int index) {
    showMessage(langText(348), colour::kBlue, 5000);
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
}

void MainWindow::checkAvailableCommPorts() {
    const int remembered = settings_.comPort;
    showPortDevices();
    serial().closePort();
    const std::vector<int> available =
        probeAvailablePorts([this](int n) { return session_->deviceForPort(n); });
    if (std::find(available.begin(), available.end(), remembered) != available.end())
        serial().setPortStatus(serial().openPort(remembered, settings_.comSpeed) ? 1 : 0);
    smnuCommSub[17]->setVisible(available.empty());
    if (available.empty())
        host_.message("No communication port available!", "", Host::Icon::None);
}

void MainWindow::showDebugWindow() {
    if (!session_->trace())
        return;
    if (!debugWindow_)
        debugWindow_ = new DebugWindow(this);
    debugWindow_->show();
    debugWindow_->raise();
}
