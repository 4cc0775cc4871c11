#pragma once
// Connect and disconnect, the periodic "echo" link check, and the identification
// of the titrator's model and firmware.
#include "link/ModelTable.h"

#include <QTimer>
#include <filesystem>

class LinkView;
class Serial;

struct TitratorIdentity {
    int typeCode = 0;
    int titType = 0;
    ModelCode modelCode = ModelCode::None;
    SeriesCode seriesCode = SeriesCode::None;
    float firmwareVersion = 999.0f; // until the first identification
    bool firmwareRead = false;      // the "ver 0" answer held a version text
    std::string idText;
    std::string versionText;
    std::string currentModelName;
};

class LinkMonitor {
public:
    static constexpr int kFirstCheckMs = 100;
    static constexpr int kCheckIntervalMs = 2100;
    static constexpr int kEchoTimeoutMs = 1000;
    // Echoes sent again after an unanswered one; the fifth unanswered echo in a row loses the link.
    static constexpr int kEchoRetries = 4;
    static constexpr int kIdentifyAttempts = 4;
    static constexpr int kTextOnline = 311;
    static constexpr int kTextOffline = 312;
    static constexpr int kTextNoTitrator = 424;
    static constexpr int kTextLabelPrefix = 623;
    static constexpr int kTextDisconnected = 984;

    // periodicChecks false: only the check that Connect runs (the command-line tool).
    LinkMonitor(Serial& serial, LinkView& view, std::filesystem::path configPath,
                bool periodicChecks = true);

    void titratorConnect(int comPort, int speed);
    // mode 1: by the user; 2: the link was lost.
    void titratorDisconnect(int mode);
    void checkLinkTimer();
    // The link check for the holder of an exchange that failed or was abandoned:
    // waits until the titrator has given the exchange up (nothing heard from it for
    // its read time-out), then echoes as the timer's check does. False when the
    // titrator stays silent and the link is lost (the port is then closed).
    bool confirmLink();
    bool identifyTitrator();
    // The exchange state changed: the wait message, and the link check off while busy.
    void showWaitMsg(bool busy);
    void busyChanged(bool busy);
    // The link check waits while the link is held; the status bar is left alone.
    void pauseChecks(bool busy);

    bool linkEnabled() const { return linkEnabled_; }
    bool titratorOnline() const { return titratorOnline_; }
    bool titratorIdentified() const { return titratorIdentified_; }
    bool firmwareRefused() const { return refused_; }
    int statusComPort() const { return statusComPort_; }
    void setStatusComPort(int port) { statusComPort_ = port; }
    const TitratorIdentity& identity() const { return identity_; }
    const DeviceFolders& folders() const { return folders_; }
    DeviceFolders& folders() { return folders_; }
    // The next check runs ms from now; a stopped check stays stopped.
    void postponeCheck(int ms);
    bool checkScheduled() const { return checkLink_.isActive(); }
    int checkIntervalMs() const { return checkLink_.interval(); }

    // The status bar and titrator pane of a lost link (also after a refused listing).
    void setStatusBarProp();

private:
    bool echoAnswered();
    void runCheck();
    void goOnline();
    void linkLost();
    void portFailed();
    void setOfflineControls(int mode);
    void setOnlineControls();
    bool firmwareWithinBounds(const ModelInfo& model);

    Serial& serial_;
    LinkView& view_;
    std::filesystem::path configPath_;
    QTimer checkLink_;
    bool periodic_ = true;
    bool inCheck_ = false;
    bool refused_ = false; // the firmware is outside the bounds: the program ends

    bool linkEnabled_ = false;
    bool titratorOnline_ = false;
    bool titratorIdentified_ = false;
    int echoRetries_ = 0;
    int portFaults_ = 0;
    bool wasOnline_ = false;
    int statusComPort_ = 0;
    TitratorIdentity identity_;
    DeviceFolders folders_;
};
