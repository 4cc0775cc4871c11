#include "link/ComPorts.h"

#include "core/Ini.h"
#include "core/Settings.h"
#include "link/PortNames.h"
#include "link/PortProbe.h"
#include "link/Serial.h"

#include <filesystem>

namespace {

std::string canonical(const std::string& device) {
    std::error_code ec;
    const auto c = std::filesystem::canonical(device, ec);
    return ec ? device : c.string();
}

// The adapters no number leads to. Built-in ports are known by their device
// name: they come under their own number, never as a mapping under another one.
std::vector<DetectedPort> unnamedAdapters(const std::vector<NumberedPort>& numbers,
                                          const std::vector<DetectedPort>& detected) {
    std::set<std::string> named;
    for (const NumberedPort& n : numbers)
        named.insert(canonical(n.address));
    std::vector<DetectedPort> unnamed;
    for (const DetectedPort& port : detected)
        if (port.adapter && named.insert(canonical(port.device)).second)
            unnamed.push_back(port);
    return unnamed;
}

} // namespace

std::vector<int> PortSurvey::availableNumbers() const {
    std::vector<int> available;
    for (const NumberedPort& n : numbers)
        if (n.available)
            available.push_back(n.number);
    return available;
}

int firstFreeNumber(const PortResolver& addressOf, const AddressTest& inUse,
                    const std::set<int>& taken) {
    for (int n = 1; n <= kComPortCount; ++n)
        if (!taken.count(n) && !inUse(addressOf(n)))
            return n;
    return 0;
}

PortSurvey surveyPorts(const PortResolver& addressOf, const std::vector<DetectedPort>& detected,
                       const PortsProbe& probe, const AddressTest& inUse) {
    PortSurvey survey;
    std::vector<std::string> addresses;
    for (int n = 1; n <= kComPortCount; ++n) {
        survey.numbers.push_back({n, addressOf(n), false});
        addresses.push_back(survey.numbers.back().address);
    }
    const std::vector<DetectedPort> unnamed = unnamedAdapters(survey.numbers, detected);
    for (const DetectedPort& port : unnamed)
        addresses.push_back(port.device);
    const std::vector<bool> available = probe(addresses);
    for (NumberedPort& n : survey.numbers)
        n.available = available[n.number - 1];

    std::set<int> offered;
    for (std::size_t i = 0; i < unnamed.size(); ++i) {
        UnnamedAdapter a{unnamed[i], available[kComPortCount + i], 0};
        if (a.available)
            a.number = firstFreeNumber(addressOf, inUse, offered);
        if (a.number > 0)
            offered.insert(a.number);
        survey.adapters.push_back(a);
    }
    return survey;
}

PortSurvey surveyPorts(const PortResolver& addressOf, Pump& pump, int connectTimeoutMs) {
    return surveyPorts(
        addressOf, detectedSerialPorts(),
        [&](const std::vector<std::string>& addresses) {
            return portsAvailable(addresses, pump, connectTimeoutMs);
        },
        addressInUse);
}

bool chooseComPort(Serial& serial, Settings& settings, int port, Host& host) {
    const bool opened = serial.openPort(port, settings.comSpeed);
    serial.setPortStatus(opened ? 1 : 0);
    if (!opened)
        return false; // the ticked port stays the one Connect uses
    settings.comPort = port;
    setIniString(settings.configPath, "Options", "COM", std::to_string(port), host);
    return true;
}
