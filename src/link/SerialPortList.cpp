#include "link/SerialPortList.h"

#include <QSerialPortInfo>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The /dev/serial/by-id link that leads to the device: it survives replugging
// into another USB socket, where ttyUSB numbers do not.
std::string stableNameOf(const std::string& device) {
    std::error_code ec;
    const fs::path byId = "/dev/serial/by-id";
    for (fs::directory_iterator it(byId, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (fs::equivalent(it->path(), device, linkError))
            return it->path().string();
    }
    return {};
}

} // namespace

std::vector<DetectedPort> detectedSerialPorts() {
    std::vector<DetectedPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        DetectedPort p;
        p.device = info.systemLocation().toStdString();
        p.stableName = stableNameOf(p.device);
        p.description = info.description().toStdString();
        p.maker = info.manufacturer().toStdString();
        p.adapter = info.hasVendorIdentifier();
        ports.push_back(std::move(p));
    }
    return ports;
}
