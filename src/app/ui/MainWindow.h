#pragma once
#include "link/LinkView.h"
#include "link/SerialHost.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class DebugWindow;
class DeviceSession;
class Host;
class HelpWindow;
class LinkMonitor;
class Pump;
class Serial;
struct Settings;

// The two-pane main window. It holds no protocol or file rule of its own.
class MainWindow : public QMainWindow, public LinkView, public SerialHost {
    Q_OBJECT
public:
    // host: message boxes and questions; pump: how waits run events. Both come
    // from outside so that tests can hand in recorders.
    MainWindow(Settings& settings, Host& host, Pump& pump, QWidget* parent = nullptr);
    ~MainWindow() override;

    // LinkView: what the link supervision shows.
    // Status bar text in a 24-bit blue-green-red colour; the link check waits ms before its next
    // run.
    void showMessage(const std::string& text, uint32_t colour, int ms) override;
    void setStatusBar(const std::string& text, uint32_t colour) override;
    bool statusErrorPending() const override { return statusErrorPending_; }
    void clearStatusError() override { statusErrorPending_ = false; }
    void setTitratorLabel(const std::string& text, uint32_t colour) override;
    void setTitratorCaption(const std::string& text) override;
    void clearTitratorList() override;
    void setActive(bool enabled) override;
    void linkStateChanged() override;
    void titratorIdentified() override;
    void tickComPort(int port) override;
    void portDeviceVanished() override;
    void firmwareRefused(const std::string& title, const std::string& text) override;

    // SerialHost: what an exchange shows.
    void statusMessage(const std::string& text, uint32_t colour, int ms) override;
    void portError(const std::string& text) override;
    void busyChanged(bool busy) override;
    void runtimeError(int number, const std::string& description,
                      const std::string& source) override;
    void waitCursor(bool on) override;

    DeviceSession& session();
    Serial& serial();
    LinkMonitor& linkMonitor();
    void connectBtn_Click();
    void mnuConnect_Click();
    void smnuCommSub_Click(int index);
    void mnuCommRefresh_Click();
    void checkAvailableCommPorts();
    void uncheckMenuComPorts();
    void showDebugWindow();
    void showContextHelp(int topic);
    void showHelpContents();
    void showAbout();
    // Ends the program without asking (used when it cannot go on).
    void endAll();
    QString versionText() const { return version_; }
    Host& host() { return host_; }

    static constexpr int kHelpContext = 100;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QWidget* buildPanes();
    QWidget* buildCommandRow();
    void buildLanguageMenu(QMenu* menu);
    void prepareCaptions();
    void prepareInitialState();
    void centreOnScreen();
    void chooseLanguage(int index);
    void storeSettingsOnExit();
    void showListMenu(QListWidget* list, const QPoint& pos);
    void buildCommMenu();
    void showPortDevices();
    void createSession(Pump& pump);
    void showHelpFile(const QString& file, int topic);

    Settings& settings_;
    Host& host_;
    QString version_;
    QString helpFile_;     // the language's help file, for context help
    QString helpContents_; // the resource folder's help named by language text 973
    bool quitRequested_ = false;
    bool closeWhenFree_ = false; // closing waits for the running exchange to stop
    bool trayFolderShown_ = false;
    HelpWindow* help_ = nullptr;
    DebugWindow* debugWindow_ = nullptr;
    bool statusErrorPending_ = false;
    std::string statusErrorText_;
    std::unique_ptr<DeviceSession> session_;

    // Controls, named as the rest of the program refers to them.
    QRadioButton *AllMtdCheckBox, *StdMtdCheckbox, *UsrMtdCheckBox, *RptCheckbox, *SeqCheckBox,
        *SeqRptCheckBox;
    QCheckBox *ShowAllPcFilesCb, *ShowCSVPcFilesCb;
    QLabel *pcFrame, *titFrame, *PCPathLabel, *TitratorTypeLabel, *statusBar_;
    QListWidget *pcList, *titList;
    QPushButton *pcOpenDirBtn, *titOpenDirBtn, *ChangePathBtn, *connectBtn, *ViewBtn, *ExportBtn,
        *printBtn, *copyBtn, *moveBtn, *deleteBtn;
    QMenu *mnuFile, *mnuComm, *mnuLang, *mnuHelp, *popMenu;
    QAction *mnuFileView, *mnuFileExport, *mnuFilePrint, *mnuFilePrintPreview, *mnuFileCopy,
        *mnuFileMove, *mnuFileDelete, *mnuFileExit, *mnuConnect, *mnuCommRefresh, *mnuSetting,
        *mnuUpgrade, *mnuContents, *mnuAbout, *popOpen, *popExport, *popPrint, *popCopy, *popMove,
        *popDelete;
    QAction* mnuLangSub[21] = {};
    QAction* smnuCommSub[18] = {}; // 1..16 the ports, 17 "No COM Port Available"
};
