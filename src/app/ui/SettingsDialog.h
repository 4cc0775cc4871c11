#pragma once
// The settings dialog: the COM port and the CSV export options. Choices in the
// export lists take effect at once; OK stores them and opens the chosen port.
#include "app/PortChoices.h"

#include <QDialog>
#include <functional>
#include <vector>

class DeviceSession;
class Host;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
struct ExportOptions;
struct Settings;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 70;

    SettingsDialog(Settings& settings, DeviceSession& session, Host& host, ExportOptions& options,
                   std::function<void(int topic)> help, QWidget* parent = nullptr);

    void CmdOK_Click();
    void COMCombo_Click(int index);
    // "Add network port...": asks for the address, tries it, and offers it
    // under a free number once it answered (stored by OK, as an adapter is).
    void addNetworkPort();
    // The port the dialog opened, 0 when it left the port alone.
    int chosenPort() const { return chosenPort_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void fillComPortCombo();
    void listChoices();
    void selectChoice(int number);
    bool offerNetworkPort(const std::string& address);
    void selectCurrentPort();
    void loadExportLists();
    bool online() const;
    bool openChosenPort();

    Settings& settings_;
    DeviceSession& session_;
    Host& host_;
    ExportOptions& options_;
    std::function<void(int)> help_;
    std::vector<PortChoice> choices_;
    int chosenPort_ = 0;
    int lastIndex_ = 0; // the entry chosen before "Add network port..."

    QGroupBox *COMFrame, *exportFrame;
    QComboBox *COMCombo, *csvSeparatorCb, *decimaSeparatorCb, *orderByCb;
    QLabel *csvSeparatorL, *decimalSeparatorL, *OrderByL;
    QPushButton *CmdOK, *CmdCancel;
};
