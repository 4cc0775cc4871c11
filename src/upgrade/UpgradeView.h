#pragma once
// What the upgrade procedure shows: the upgrade window, the command-line tool
// and tests implement it. Message boxes go through Host, communication errors
// through the serial link's status report.
#include <filesystem>
#include <string>

// Which buttons can be used; the Abort button is shown only while an upgrade runs.
struct UpgradeControls {
    bool getSoftwareVersion = true;
    bool selectFile = true;
    bool upgrade = true;
    bool abortVisible = false;
    bool abortEnabled = true;

    bool operator==(const UpgradeControls&) const = default;
};

class UpgradeView {
public:
    virtual ~UpgradeView() = default;
    virtual void setControls(const UpgradeControls& controls) = 0;
    // The titrator's identification answer (8-bit text).
    virtual void showDevice(const std::string& identification) = 0;
    // The chosen file; an empty path shows the no-file placeholder.
    virtual void showFile(const std::filesystem::path& file) = 0;
    // 0..100: the bar and its "N %" text.
    virtual void showProgress(int percent) = 0;
    // The titrator accepted the file: the window closes.
    virtual void closeWindow() = 0;
};
