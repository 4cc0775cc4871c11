#include "link/LinkAudit.h"

#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "link/LinkMonitor.h"

#include <QString>

AuditEvent LinkAudit::linkEvent(const char* operation) const {
    AuditEvent e;
    e.operation = operation;
    const int port = monitor ? monitor->statusComPort() : 0;
    e.port = "COM" + std::to_string(port) + " " + device_(port);
    if (monitor && monitor->identity().typeCode != 0) {
        e.titrator = modelName(monitor->identity().typeCode);
        e.firmware = toQt(monitor->identity().versionText).trimmed().toStdString();
    }
    return e;
}

void LinkAudit::record(const AuditEvent& e) {
    if (connecting_)
        pending_.push_back(e); // after the connect event itself
    else
        recordAudit(e);
}

void LinkAudit::connecting() {
    connecting_ = true;
    pending_.clear();
}

void LinkAudit::connected() {
    connecting_ = false;
    AuditEvent e = linkEvent(audit::kConnect);
    e.titrator.clear(); // the identification that follows names it
    e.firmware.clear();
    up_ = monitor && monitor->linkEnabled();
    if (!up_) {
        e.result = audit::kFailed;
        e.reason = "the port did not open";
    } else if (!monitor->titratorOnline()) {
        e.result = audit::kFailed;
        e.reason = "no answer from the titrator";
    }
    recordAudit(e);
    for (const AuditEvent& later : pending_)
        recordAudit(later);
    pending_.clear();
}

void LinkAudit::disconnecting() {
    disconnecting_ = true;
    if (up_)
        recordAudit(linkEvent(audit::kDisconnect));
    up_ = false;
}

void LinkAudit::onlineControls() {
    record(linkEvent(audit::kIdentify));
    view_.onlineControls();
}

void LinkAudit::offlineFilters() {
    if (up_ && !connecting_ && !disconnecting_) {
        AuditEvent e = linkEvent(audit::kLinkLost);
        e.result = audit::kFailed;
        recordAudit(e);
        up_ = false;
    }
    view_.offlineFilters();
}

void LinkAudit::firmwareRefused(const std::string& title, const std::string& text) {
    AuditEvent e = linkEvent(audit::kIdentify);
    e.result = audit::kRefused;
    e.reason = toQt(title + ": " + text).simplified().toStdString();
    record(e);
    view_.firmwareRefused(title, text);
}
