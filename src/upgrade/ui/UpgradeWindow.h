#pragma once
// The upgrade window: shows the titrator's identification, lets the user pick
// the upgrade file, and runs the upgrade with its progress and Abort. It holds
// no rule of its own; UpgradeProcedure does the work.
#include "upgrade/UpgradeView.h"

#include <QDialog>
#include <memory>

class DeviceSession;
class Host;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class UpgradeProcedure;

class UpgradeWindow : public QDialog, public UpgradeView {
    Q_OBJECT
public:
    UpgradeWindow(DeviceSession& session, Host& host, QWidget* parent = nullptr);
    ~UpgradeWindow() override;

    // Prepares the window (idle, progress 0) and shows it modally.
    int exec() override;
    // Prepares the window as exec() does, for a caller that shows it itself.
    void prepare();

    UpgradeProcedure& procedure() { return *procedure_; }

    // UpgradeView
    void setControls(const UpgradeControls& controls) override;
    void showDevice(const std::string& identification) override;
    void showFile(const std::filesystem::path& file) override;
    void showProgress(int percent) override;
    void closeWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void selectFile();
    void buildLayout();

    std::unique_ptr<UpgradeProcedure> procedure_;
    QPushButton* getSWButton_;
    QLineEdit* lblDevice_;
    QPushButton* selectFile_;
    QLabel* lblUpgFile_;
    QPushButton* upgButton_;
    QPushButton* abortButton_;
    QProgressBar* upgFileProgress_;
    QLabel* upgFilePerc_;
};
