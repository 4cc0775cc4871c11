#include "app/PortChoices.h"

#include "core/AtomicFile.h"
#include "core/Ini.h"
#include "core/RegularFile.h"
#include "core/Settings.h"
#include "link/ComPorts.h"

#include <algorithm>
#include <filesystem>
#include <set>

std::vector<PortChoice> portChoices(const PortSurvey& survey) {
    std::vector<PortChoice> choices;
    for (const NumberedPort& n : survey.numbers)
        if (n.available)
            choices.push_back({n.number, n.address, "", false});
    for (const UnnamedAdapter& a : survey.adapters) {
        if (a.number == 0)
            continue;
        std::string about = a.port.description;
        if (!a.port.maker.empty())
            about += (about.empty() ? "" : ", ") + a.port.maker;
        const std::string device = a.port.stableName.empty() ? a.port.device : a.port.stableName;
        choices.push_back({a.number, device, about, true});
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

PortChoice networkPortChoice(const std::string& address, const std::vector<PortChoice>& choices,
                             const PortResolver& addressOf, const AddressTest& inUse) {
    for (int n = 1; n <= kComPortCount; ++n)
        if (addressOf(n) == address)
            return {n, address, "", false};
    std::set<int> offered;
    for (const PortChoice& c : choices)
        if (c.newMapping)
            offered.insert(c.number);
    return {firstFreeNumber(addressOf, inUse, offered), address, "", true};
}
