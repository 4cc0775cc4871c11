#pragma once
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
class QTimer;
class GuiHost;
class HelpWindow;
struct Settings;

// The two-pane main window. It holds no protocol or file rule of its own.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Settings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Status bar text in a 24-bit blue-green-red colour; the link check waits ms before its next
    // run.
    void showMessage(const std::string& text, uint32_t colour, int ms);
    void setCheckLinkTimer(QTimer* timer) { checkLinkTimer_ = timer; }
    void showContextHelp(int topic);
    void showHelpContents();
    void showAbout();
    // Ends the program without asking (used when it cannot go on).
    void endAll();
    QString versionText() const { return version_; }
    GuiHost& host() { return *host_; }

    static constexpr int kHelpContext = 100;

signals:
    void statusBarClicked();

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

    Settings& settings_;
    std::unique_ptr<GuiHost> host_;
    QString version_;
    QString helpFile_;
    bool quitRequested_ = false;
    bool trayFolderShown_ = false;
    QTimer* checkLinkTimer_ = nullptr;
    HelpWindow* help_ = nullptr;

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
};
