#include "link/LinkAudit.h"

#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Text.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <QString>

AuditEvent LinkAudit::linkEvent(const char* operation) const {
    AuditEvent e;
    e.operation = operation;
    const int port = monitor ? monitor->statusComPort() : 0;
    e.port = portName_(port);
    if (monitor && monitor->identity().typeCode != 0) {
        e.titrator = modelName(monitor->identity().typeCode);
        e.serial = serialNumber_;
        e.firmware = toQt(monitor->identity().versionText).trimmed().toStdString();
    }
    return e;
}

std::string serialNumberOf(const std::string& info) {
    const std::size_t at = info.find("S/N");
    if (at == std::string::npos)
        return {};
    std::string rest = text::trim(info.substr(at + 3));
    if (!rest.empty() && rest.front() == ':')
        rest = text::trim(rest.substr(1));
    return text::printable(rest.substr(0, rest.find(' ')));
}

// Quietly: a titrator that does not answer "info" is identified all the same.
std::string LinkAudit::askSerialNumber() {
    if (!serial || !auditLog())
        return {};
    Serial::Exchange hold(*serial);
    if (!hold || serial->sendCommandAck("info", "") != TransferResult::Done)
        return {};
    TransferSink quiet;
    std::string info;
    if (serial->stringReception(info, quiet) != TransferResult::Done)
        return {};
    return toQt(serialNumberOf(info)).toStdString(); // the log is UTF-8
}

void LinkAudit::linkEnded() {
    up_ = false;
    serialNumber_.clear();
    setAuditLink({});
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
    linkEnded();
}

void LinkAudit::onlineControls() {
    serialNumber_ = askSerialNumber();
    const AuditEvent e = linkEvent(audit::kIdentify);
    setAuditLink(e);
    record(e);
    view_.onlineControls();
}

void LinkAudit::offlineFilters() {
    if (up_ && !connecting_ && !disconnecting_) {
        AuditEvent e = linkEvent(audit::kLinkLost);
        e.result = audit::kFailed;
        recordAudit(e);
        linkEnded();
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
