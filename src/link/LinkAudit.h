#pragma once
// The link's events in the audit log: connect, identification, disconnect and a
// lost link. It stands between the link supervision and the caller's view,
// passing every call on, so the supervision itself records nothing.
#include "core/AuditEvent.h"
#include "link/LinkView.h"

#include <functional>
#include <string>
#include <vector>

class LinkMonitor;

class LinkAudit : public LinkView {
public:
    using DeviceName = std::function<std::string(int portNumber)>;
    LinkAudit(LinkView& view, DeviceName deviceName)
        : view_(view), device_(std::move(deviceName)) {}
    LinkMonitor* monitor = nullptr;

    // DeviceSession's Connect and Disconnect run between these.
    void connecting();
    void connected();
    void disconnecting();
    void disconnected() { disconnecting_ = false; }

    void showMessage(const std::string& text, uint32_t colour, int ms) override {
        view_.showMessage(text, colour, ms);
    }
    void setStatusBar(const std::string& text, uint32_t colour) override {
        view_.setStatusBar(text, colour);
    }
    bool statusErrorPending() const override { return view_.statusErrorPending(); }
    void clearStatusError() override { view_.clearStatusError(); }
    void setTitratorLabel(const std::string& text, uint32_t colour) override {
        view_.setTitratorLabel(text, colour);
    }
    void setTitratorCaption(const std::string& text) override { view_.setTitratorCaption(text); }
    void clearTitratorList() override { view_.clearTitratorList(); }
    void setActive(bool enabled) override { view_.setActive(enabled); }
    void linkStateChanged() override { view_.linkStateChanged(); }
    void onlineControls() override;
    void offlineFilters() override;
    void titratorIdentified() override { view_.titratorIdentified(); }
    void tickComPort(int port) override { view_.tickComPort(port); }
    void portDeviceVanished() override { view_.portDeviceVanished(); }
    void firmwareRefused(const std::string& title, const std::string& text) override;

private:
    AuditEvent linkEvent(const char* operation) const;
    void record(const AuditEvent& e);

    LinkView& view_;
    DeviceName device_;
    bool connecting_ = false;
    std::vector<AuditEvent> pending_; // what Connect itself brought, recorded after it
    bool disconnecting_ = false;
    bool up_ = false; // the port is open: its loss is an event
};
