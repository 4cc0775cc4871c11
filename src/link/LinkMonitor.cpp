#include "link/LinkMonitor.h"

#include "core/Ini.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "core/Version.h"
#include "link/Frame.h"
#include "link/LinkView.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QDeadlineTimer>

namespace {
// The titrator abandons an exchange after the protocol's read time-out; a margin for a slow line.
constexpr int kTitratorGivesUpMs = Serial::kReadTimeoutMs + 500;
constexpr int kQuietWaitLimitMs = 4 * kTitratorGivesUpMs;
} // namespace

LinkMonitor::LinkMonitor(Serial& serial, LinkView& view, std::filesystem::path configPath,
                         bool periodicChecks)
    : serial_(serial), view_(view), configPath_(std::move(configPath)), periodic_(periodicChecks) {
    checkLink_.setInterval(kFirstCheckMs);
    QObject::connect(&checkLink_, &QTimer::timeout, [this] { checkLinkTimer(); });
    if (periodic_)
        checkLink_.start();
}

void LinkMonitor::postponeCheck(int ms) {
    const bool running = checkLink_.isActive();
    checkLink_.stop();
    checkLink_.setInterval(ms);
    if (running)
        checkLink_.start();
}

void LinkMonitor::titratorConnect(int comPort, int speed) {
    linkEnabled_ = true;
    showWaitMsg(true);
    if (serial_.openPort(comPort, speed)) {
        view_.setActive(false);
        serial_.setPortStatus(1);
        if (periodic_)
            checkLink_.start();
        checkLinkTimer();
    } else {
        serial_.setPortStatus(0);
        linkEnabled_ = false;
    }
    view_.linkStateChanged();
}

void LinkMonitor::titratorDisconnect(int mode) {
    linkEnabled_ = false;
    titratorOnline_ = false;
    titratorIdentified_ = false;
    view_.clearStatusError();
    serial_.closePort();
    view_.offlineFilters();
    setOfflineControls(mode);
}

void LinkMonitor::setOfflineControls(int mode) {
    view_.setTitratorCaption(langText(kTextNoTitrator)); // red belongs to a lost link
    if (mode == 1) {
        if (!view_.statusErrorPending())
            view_.setStatusBar(langText(kTextDisconnected), colour::kBlue);
    } else {
        view_.setStatusBar(langText(kTextOffline) + " - COM:" + std::to_string(statusComPort_),
                           colour::kRed);
        view_.setActive(true);
    }
    view_.clearTitratorList();
    view_.linkStateChanged();
}

void LinkMonitor::setOnlineControls() {
    titratorOnline_ = true;
    view_.onlineControls();
    view_.setActive(true);
}

void LinkMonitor::setStatusBarProp() {
    view_.setStatusBar(langText(kTextOffline) + " - COM:" + std::to_string(statusComPort_),
                       colour::kRed);
    view_.setTitratorLabel(langText(kTextNoTitrator), colour::kRed);
    view_.clearTitratorList();
}

void LinkMonitor::showWaitMsg(bool busy) {
    if (busy) {
        view_.showMessage(langText(Serial::kTextWait), colour::kBlue, 5000);
        return;
    }
    view_.setStatusBar("", colour::kBlue);
    checkLink_.setInterval(kFirstCheckMs);
}

void LinkMonitor::busyChanged(bool busy) {
    showWaitMsg(busy);
    pauseChecks(busy);
}

void LinkMonitor::pauseChecks(bool busy) {
    if (busy)
        checkLink_.stop();
    else if (periodic_)
        checkLink_.start();
}

bool LinkMonitor::echoAnswered() {
    serial_.readAllInput();
    if (!serial_.sendString(frame::commandLine("echo")))
        return false;
    serial_.setReadTimeoutMs(kEchoTimeoutMs);
    std::string answer;
    const bool ok = serial_.readPort(answer, frame::kAck.size());
    serial_.traceReceived(answer);
    // A read the port completed (answered or timed out) ends the run of faults;
    // one that ended in a fault is part of it.
    if (serial_.lastPortError() == PortError::None)
        portFaults_ = 0;
    serial_.setReadTimeoutMs(Serial::kReadTimeoutMs);
    return ok && answer == frame::kAck;
}

void LinkMonitor::checkLinkTimer() {
    if (!linkEnabled_) {
        checkLink_.stop(); // nothing to check until Connect: no idle wake-ups
        return;
    }
    if (inCheck_ || refused_ || serial_.isRecovering() || !serial_.canStartExchange())
        return;
    runCheck();
}

bool LinkMonitor::confirmLink() {
    if (!linkEnabled_ || inCheck_ || refused_)
        return titratorOnline_;
    // A titrator inside an exchange we gave up takes any byte for part of it and
    // waits again: stay quiet until it has given up too (this covers the settling pause).
    // A line that never falls quiet is not waited for longer than a few of those.
    const QDeadlineTimer giveUp(kQuietWaitLimitMs);
    serial_.setReadTimeoutMs(kTitratorGivesUpMs);
    std::string stray;
    while (!giveUp.hasExpired() && serial_.readPort(stray, 1))
        serial_.readAllInput();
    serial_.setReadTimeoutMs(Serial::kReadTimeoutMs);
    serial_.waitRecovery();
    runCheck();
    return titratorOnline_;
}

void LinkMonitor::runCheck() {
    inCheck_ = true;
    for (;;) {
        if (echoAnswered()) {
            goOnline();
            break;
        }
        const PortError fault = serial_.lastPortError();
        if (fault != PortError::None) {
            portFailed();
            break;
        }
        if (echoRetries_ >= kEchoRetries) {
            linkLost();
            break;
        }
        ++echoRetries_;
        if (!linkEnabled_)
            break; // disconnected by the user while waiting
    }
    inCheck_ = false;
}

void LinkMonitor::goOnline() {
    view_.setStatusBar(langText(kTextOnline) + " - COM " + std::to_string(statusComPort_),
                       colour::kGreen);
    titratorOnline_ = true;
    echoRetries_ = 0;
    if (!titratorIdentified_) {
        for (int attempt = 0; attempt < kIdentifyAttempts; ++attempt) {
            if (identifyTitrator()) {
                titratorIdentified_ = true;
                setOnlineControls();
                break;
            }
            if (serial_.lastPortError() != PortError::None) {
                portFailed(); // the device went away while it was being identified
                return;
            }
            if (!linkEnabled_ || refused_)
                return;
        }
    }
    view_.tickComPort(statusComPort_);
    view_.setTitratorLabel(langText(kTextLabelPrefix) + " " + modelName(identity_.typeCode),
                           colour::kBlue);
    wasOnline_ = true;
    serial_.readAllInput();
    checkLink_.setInterval(kCheckIntervalMs);
}

void LinkMonitor::linkLost() {
    view_.setTitratorLabel(langText(kTextNoTitrator), colour::kRed);
    titratorOnline_ = false;
    linkEnabled_ = false;
    titratorDisconnect(2);
    setStatusBarProp();
    if (wasOnline_) {
        titratorIdentified_ = false;
        setOfflineControls(2);
    }
    wasOnline_ = false;
    echoRetries_ = 0;
}

void LinkMonitor::portFailed() {
    const bool vanished = serial_.lastPortError() == PortError::DeviceVanished;
    if (!vanished && portFaults_ > 0) {
        // The fault already handled: the next check tries again. A Connect
        // disabled the window meanwhile; the user gets it back to disconnect.
        view_.setActive(true);
        return;
    }
    titratorDisconnect(2);
    setStatusBarProp();
    if (vanished) {
        titratorIdentified_ = false;
        view_.portDeviceVanished();
        setOfflineControls(2);
        ++portFaults_;
    } else if (wasOnline_) {
        titratorIdentified_ = false;
        setOfflineControls(2);
    }
    wasOnline_ = false;
    echoRetries_ = 0;
}

bool LinkMonitor::identifyTitrator() {
    Serial::Exchange exchange(serial_);
    if (!exchange)
        return false;
    identity_.modelCode = ModelCode::None;
    identity_.seriesCode = SeriesCode::None;
    identity_.titType = identity_.typeCode = 0;

    std::string answer;
    if (serial_.sendCommand("ver 4", answer) == TransferResult::PortFailed)
        return false;
    identity_.idText = takeToken(answer, " ");
    const ModelInfo* model = findModel(identity_.idText);
    if (!model)
        return false;

    // A titrator that names itself but not its firmware is not identified:
    // the firmware decides whether it may be used.
    std::string version;
    if (!succeeded(serial_.sendCommand("ver 0", version)))
        return false;
    identity_.versionText = versionTextOf(*model, version);
    identity_.firmwareRead = !text::trim(identity_.versionText).empty();
    identity_.firmwareVersion = firmwareValue(identity_.versionText);
    identity_.titType = model->titType;
    identity_.typeCode = model->typeCode;
    applyFolders(*model, identity_.firmwareVersion, folders_);
    identity_.modelCode = modelCodeFor(*model, identity_.firmwareVersion);
    identity_.seriesCode = model->series;
    view_.setTitratorLabel(langText(kTextLabelPrefix) + " " + modelName(model->typeCode),
                           colour::kBlue);
    serial_.waitRecovery();

    if (!identity_.firmwareRead)
        return true; // identified, but without a version to check or list by
    if (!firmwareWithinBounds(*model))
        return false;
    identity_.currentModelName = modelName(model->typeCode);
    view_.titratorIdentified();
    return true;
}

bool LinkMonitor::firmwareWithinBounds(const ModelInfo& model) {
    const std::string id(model.idText);
    const float min =
        static_cast<float>(num::leadingNumber(getIniString(configPath_, "Versions", id + "_MIN")));
    const float max =
        static_cast<float>(num::leadingNumber(getIniString(configPath_, "Versions", id + "_MAX")));
    const float fw = identity_.firmwareVersion;
    if (fw >= min && fw <= max)
        return true;
    const std::string body = formatMsg(langText(631), {appVersionShort(), identity_.versionText}) +
                             "\r\n" + formatMsg(langText(fw < min ? 633 : 632), {}) + "\r\n" +
                             formatMsg(langText(432), {});
    refused_ = true;
    view_.firmwareRefused(formatMsg(langText(630), {}), body);
    return false;
}
