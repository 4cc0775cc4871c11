#pragma once
// The two-pane main window: it builds the controls, connects them to the pane
// logic (Panes), the device session and the other windows, and shows what
// they report. It holds no protocol, file or pane rule of its own.
#include "app/Panes.h"
#include "link/LinkView.h"
#include "link/SerialHost.h"

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class DebugWindow;
class CurveWindow;
class PaneTree;
class DocumentPrinter;
class ProgressWindow;
class ReplaceWindow;
class TransferLog;
class TransferLogWindow;
class UpgradeWindow;
class ViewerWindow;
enum class DocumentUse;
struct ExportRequest;
struct LastTransfer;
struct OpenedDocument;
struct TitratorInfo;
namespace devfiles {
struct CopyRequest;
struct CopyResult;
} // namespace devfiles
class DeviceSession;
class Host;
class HelpWindow;
class LinkMonitor;
class MainLayout;
class Pump;
class Serial;
class WidgetControl;
struct Settings;

class MainWindow : public QMainWindow, public LinkView, public SerialHost, public PaneView {
    Q_OBJECT
public:
    // host: message boxes and questions; pump: how waits run events. Both come
    // from outside so that tests can hand in recorders.
    MainWindow(Settings& settings, Host& host, Pump& pump, QWidget* parent = nullptr);
    ~MainWindow() override;

    // LinkView: what the link supervision shows.
    // Status bar text in a 24-bit blue-green-red colour; the next link check waits ms.
    void showMessage(const std::string& text, uint32_t colour, int ms) override;
    void setStatusBar(const std::string& text, uint32_t colour) override;
    bool statusErrorPending() const override { return statusErrorPending_; }
    void clearStatusError() override { statusErrorPending_ = false; }
    void setTitratorLabel(const std::string& text, uint32_t colour) override;
    void setTitratorCaption(const std::string& text) override;
    void clearTitratorList() override;
    void setActive(bool enabled) override;
    void linkStateChanged() override;
    void onlineControls() override;
    void offlineFilters() override;
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

    // PaneView: what the panes show.
    void showPcLines(const std::vector<PaneLine>& lines) override;
    void showTitratorLines(const std::vector<PaneLine>& lines) override;
    void showPcPath(const std::string& path) override;
    void applyCommands(const CommandView& view) override;
    void showHiddenNote(const std::string& text) override;
    void showFreeSlots(const std::string& text) override;

    DeviceSession& session();
    Serial& serial();
    LinkMonitor& linkMonitor();
    Panes& panes() { return *panes_; }

    void connectBtn_Click();
    void mnuConnect_Click();
    void smnuCommSub_Click(int index);
    void mnuCommRefresh_Click();
    void checkAvailableCommPorts();
    void uncheckMenuComPorts();
    void ChangePathBtn_Click();
    void mnuSetting_Click();
    void mnuUpgrade_Click();
    // The file commands (MainWindowCommands.cpp).
    void openSelectedFile();
    void printSelectedFile(bool preview);
    void exportSelectedReports();
    void copySelected(int source, bool move);
    void deleteSelected();
    // The transfer log window, and its Retry Failed: the failed and aborted files
    // of the last operation again, with the answers given for them.
    void showTransferLog();
    void retryFailedTransfers();
    TransferLog& transferLog() { return *transferLog_; }
    // A drag from pane `from` (0 PC, 1 titrator) may be dropped on the other one.
    bool dropAllowed(int from) const;
    ViewerWindow& viewer();
    DocumentPrinter& printer();
    CurveWindow& compareWindow();
    ProgressWindow& progressWindow() { return *progress_; }
    ReplaceWindow& replaceWindow() { return *replace_; }
    void showDebugWindow();
    void showContextHelp(int topic);
    void showHelpContents();
    void showAbout();
    // Ends the program without asking (used when it cannot go on).
    void endAll();
    QString versionText() const { return version_; }
    Host& host() { return host_; }

    // The folder browser; tests replace it. Returns "" when cancelled.
    using FolderBrowser =
        std::function<std::string(const std::string& title, const std::string& startFolder)>;
    void setFolderBrowser(FolderBrowser browser) { browseForFolder_ = std::move(browser); }

    static constexpr int kHelpContext = 100;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Language texts both halves of the window use.
    static constexpr int kTextConnectMenu = 133; // until the link state names the entry
    static constexpr int kTextChooseFolder = 139;

    // Construction (MainWindow.cpp).
    bool auditAllows();
    void buildControls();
    void buildMenus();
    void buildLayout();
    void buildLanguageMenu(QMenu* menu);
    void buildCommMenu();
    void connectControls();
    void fixTabIndex(QWidget* first);
    void prepareCaptions();
    void centreOnScreen();
    void createSession(Pump& pump);
    // Panes (MainWindowPanes.cpp).
    bool listEvent(PaneTree* list, QEvent* event);
    std::vector<int> selectedRows(const PaneTree* list) const;
    void highlightSource(int source);
    void listDoubleClicked(PaneTree* list);
    void showListMenu(PaneTree* list, const QPoint& pos);
    void showHiddenFiles();
    void layOut();
    void snapBackToMinimum();
    void restoreColumns();
    void storeColumns();
    // Commands (MainWindowCommands.cpp).
    void createFileWindows();
    TitratorInfo documentTitrator() const;
    int titratorKind() const;
    std::vector<PaneLine> selectedLines(int source) const;
    bool oneSelectedEntry(PaneLine& entry);
    // View with several reports selected: their curves overlaid. False when the
    // selection is not several reports.
    bool compareSelectedReports();
    OpenedDocument documentOf(const PaneLine& entry, DocumentUse use);
    devfiles::CopyRequest copyRequest(int source, bool move) const;
    void applyCopyResult(const devfiles::CopyResult& result);
    void runFiles(const devfiles::CopyRequest& request, bool deleting);
    void runExport(const ExportRequest& request);
    // An operation ended: after several files, the status bar links to the log.
    void transferEnded();
    bool dropAccepted(const QObject* source, const PaneTree* target) const;
    bool dropEvent(PaneTree* target, QEvent* event);
    // The rest.
    void chooseLanguage(int index);
    void storeSettingsOnExit();
    void paintStatusBar(const std::string& text, uint32_t colour);
    void statusErrorShown();
    void showPortDevices();
    void showHelpFile(const QString& file, int topic);

    Settings& settings_;
    Host& host_;
    QString version_;
    QString helpFile_;     // the language's help file, for context help
    QString helpContents_; // the resource folder's help named by language text 973
    bool quitRequested_ = false;
    bool closeWhenFree_ = false;        // closing waits for the running exchange to stop
    QPointer<HelpWindow> help_;         // a dialog that owns it may take it along
    QPointer<QWidget> focusBeforeBusy_; // where the focus was when setActive(false) took it
    DebugWindow* debugWindow_ = nullptr;
    UpgradeWindow* upgrade_ = nullptr;
    ProgressWindow* progress_ = nullptr;
    ReplaceWindow* replace_ = nullptr;
    ViewerWindow* viewer_ = nullptr;
    CurveWindow* compare_ = nullptr;
    std::unique_ptr<DocumentPrinter> printer_;
    std::unique_ptr<TransferLog> transferLog_;
    std::unique_ptr<LastTransfer> lastTransfer_;
    TransferLogWindow* transferLogWindow_ = nullptr;
    QLabel* transferLink_ = nullptr;
    bool statusErrorPending_ = false;
    std::string statusErrorText_;
    QTimer* statusErrorTimer_ = nullptr; // runs while a red error has its time on the bar
    std::optional<std::pair<std::string, uint32_t>> deferredStatus_;
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<Panes> panes_;
    std::vector<std::unique_ptr<WidgetControl>> layoutControls_;
    std::unique_ptr<MainLayout> layout_;
    std::string hiddenNote_;
    QTimer* resizeTimer_ = nullptr;
    FolderBrowser browseForFolder_;

    // Controls, named as the rest of the program refers to them.
    QRadioButton *AllMtdCheckBox, *StdMtdCheckbox, *UsrMtdCheckBox, *RptCheckbox, *SeqCheckBox,
        *SeqRptCheckBox;
    QCheckBox *ShowAllPcFilesCb, *ShowCSVPcFilesCb;
    QLabel *pcFrame, *titFrame, *PCPathLabel, *TitratorTypeLabel, *statusBar_, *pcHiddenLabel,
        *titFreeLabel;
    QWidget* spacer_;
    PaneTree *pcList, *titList;
    QPushButton *pcOpenDirBtn, *titOpenDirBtn, *ChangePathBtn, *connectBtn, *ViewBtn, *ExportBtn,
        *printBtn, *copyBtn, *moveBtn, *deleteBtn;
    QMenu *mnuFile, *mnuComm, *mnuLang, *mnuHelp, *popMenu;
    QAction *mnuFileView, *mnuFileExport, *mnuFilePrint, *mnuFilePrintPreview, *mnuFileCopy,
        *mnuFileMove, *mnuFileDelete, *mnuFileRefresh, *mnuFileExit, *mnuConnect, *mnuCommRefresh,
        *mnuSetting, *mnuUpgrade, *mnuContents, *mnuAbout, *popOpen, *popExport, *popPrint,
        *popCopy, *popMove, *popDelete;
    QAction* mnuLangSub[21] = {};
    QAction* smnuCommSub[18] = {}; // 1..16 the ports, 17 "No COM Port Available"
};
