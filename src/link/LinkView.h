#pragma once
// The main window as the link supervision sees it. The GUI implements it with
// widgets; the command-line tool records what a window would have shown.
#include <cstdint>
#include <string>

class LinkView {
public:
    virtual ~LinkView() = default;
    // Status bar message; the next link check waits ms (DeviceSession::postponeLinkCheck).
    virtual void showMessage(const std::string& text, uint32_t colour, int ms) = 0;
    // Status bar caption and colour, repainted at once, the link check untouched.
    virtual void setStatusBar(const std::string& text, uint32_t colour) = 0;
    // A port error shown at start-up or on a failed open is still on the status bar.
    virtual bool statusErrorPending() const = 0;
    virtual void clearStatusError() = 0;
    virtual void setTitratorLabel(const std::string& text, uint32_t colour) = 0;
    // The caption alone; the label keeps its colour.
    virtual void setTitratorCaption(const std::string& text) = 0;
    virtual void clearTitratorList() = 0;
    virtual void setActive(bool enabled) = 0;
    // The link state changed: commands, captions and filters follow it.
    virtual void linkStateChanged() = 0;
    // Identified: the file-type filters follow the model, the PC pane is listed again.
    virtual void onlineControls() = 0;
    // Disconnected or lost: the file-type filters of the offline state.
    virtual void offlineFilters() = 0;
    // Identified and within the firmware bounds: list both panes for the model.
    virtual void titratorIdentified() = 0;
    virtual void tickComPort(int port) = 0;
    // The device behind the port vanished: the port menu is probed again.
    virtual void portDeviceVanished() = 0;
    // A titrator the program cannot work with: tell the user, then end the program.
    virtual void firmwareRefused(const std::string& title, const std::string& text) = 0;
};
