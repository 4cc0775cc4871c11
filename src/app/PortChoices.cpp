#include "app/PortChoices.h"

#include "core/AtomicFile.h"
#include "core/Ini.h"
#include "core/RegularFile.h"
#include "core/Settings.h"
#include "link/ComPorts.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

std::string canonical(const std::string& device) {
    std::error_code ec;
    const auto c = std::filesystem::canonical(device, ec);
    return ec ? device : c.string();
}

} // namespace

std::vector<PortChoice> portChoices(const std::vector<int>& available,
                                    const std::vector<DetectedPort>& detected,
                                    const PortDeviceOf& deviceOf, const DeviceTest& exists,
                                    const DeviceTest& canOpen) {
    std::vector<PortChoice> choices;
    std::set<std::string> named; // devices some number already stands for
    for (int n = 1; n <= kComPortCount; ++n)
        named.insert(canonical(deviceOf(n)));
    for (int n : available)
        choices.push_back({n, deviceOf(n), "", false});

    int next = 1;
    for (const DetectedPort& port : detected) {
        if (!port.adapter || named.count(canonical(port.device)) || !canOpen(port.device))
            continue;
        // The first number whose device does not exist is free for the adapter.
        while (next <= kComPortCount && exists(deviceOf(next)))
            ++next;
        if (next > kComPortCount)
            break;
        std::string about = port.description;
        if (!port.maker.empty())
            about += (about.empty() ? "" : ", ") + port.maker;
        const std::string device = port.stableName.empty() ? port.device : port.stableName;
        choices.push_back({next, device, about, true});
        named.insert(canonical(port.device));
        ++next;
    }
    std::sort(choices.begin(), choices.end(),
              [](const PortChoice& a, const PortChoice& b) { return a.number < b.number; });
    return choices;
}

std::string portChoiceText(const PortChoice& choice) {
    std::string text = " COM " + std::to_string(choice.number);
    if (!choice.device.empty())
        text += "   " + choice.device;
    if (!choice.description.empty())
        text += "  (" + choice.description + ")";
    return text;
}

bool openPortChoice(Serial& serial, Settings& settings, const PortChoice& choice, Host& host) {
    if (!choice.newMapping)
        return chooseComPort(serial, settings, choice.number, host);
    // The number leads to the adapter only through config.ini: the mapping goes in
    // for the open and comes out again when the open fails.
    std::string before, error;
    bool missing = false;
    if (!readRegularFile(settings.configPath, kMaxIniBytes, before, error, &missing) && !missing)
        return false;
    setIniString(settings.configPath, "Ports", std::to_string(choice.number), choice.device, host);
    if (chooseComPort(serial, settings, choice.number, host))
        return true;
    std::error_code ec;
    if (missing)
        std::filesystem::remove(settings.configPath, ec);
    else
        writeFileAtomically(settings.configPath, before);
    return false;
}
