#include "cli/PortsCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLines.h"
#include "core/AppPaths.h"
#include "core/Pump.h"
#include "link/AddressedPort.h"
#include "link/ComPorts.h"
#include "link/PortNames.h"

#include <QJsonObject>
#include <ostream>

namespace {

const char* formName(const std::string& address) {
    switch (parsePortAddress(address).kind) {
    case PortKind::RawTcp:
        return "tcp";
    case PortKind::Rfc2217:
        return "rfc2217";
    default:
        return "device";
    }
}

QJsonValue textOrNull(const std::string& text) {
    return text.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(text));
}

QJsonObject portJson(const NumberedPort& n) {
    return {{"type", "port"},
            {"number", n.number},
            {"address", QString::fromStdString(n.address)},
            {"form", formName(n.address)},
            {"available", n.available}};
}

QJsonObject adapterJson(const UnnamedAdapter& a) {
    return {{"type", "adapter"},
            {"device", QString::fromStdString(a.port.device)},
            {"byIdPath", textOrNull(a.port.stableName)},
            {"description", QString::fromStdString(a.port.description)},
            {"maker", QString::fromStdString(a.port.maker)},
            {"available", a.available},
            {"offeredNumber", a.number > 0 ? QJsonValue(a.number) : QJsonValue()}};
}

std::string availability(bool available) {
    return available ? "available    " : "unavailable  ";
}

std::string portText(const NumberedPort& n) {
    std::string com = "COM" + std::to_string(n.number);
    com.resize(7, ' ');
    return com + availability(n.available) + n.address + "\n";
}

// "USB    available    /dev/ttyUSB0 (FT232R USB UART, FTDI) /dev/serial/by-id/..., offered as COM4"
std::string adapterText(const UnnamedAdapter& a) {
    std::string about = a.port.description;
    if (!a.port.maker.empty())
        about += (about.empty() ? "" : ", ") + a.port.maker;
    std::string line = "USB    " + availability(a.available) + a.port.device;
    if (!about.empty())
        line += " (" + about + ")";
    if (!a.port.stableName.empty())
        line += " " + a.port.stableName;
    if (a.number > 0)
        line += ", offered as COM" + std::to_string(a.number);
    return line + "\n";
}

} // namespace

int cmdPorts(const PortsOptions& options, std::ostream& out, std::ostream& err) {
    const std::filesystem::path config = cliAppPaths(err).configPath();
    const PortSurvey survey = surveyPorts([&](int n) { return deviceForPort(n, config); },
                                          defaultPump(), connectTimeoutMs(config));
    for (const NumberedPort& n : survey.numbers) {
        if (options.json)
            writeJsonLine(out, portJson(n));
        else
            out << portText(n);
    }
    for (const UnnamedAdapter& a : survey.adapters) {
        if (options.json)
            writeJsonLine(out, adapterJson(a));
        else
            out << adapterText(a);
    }
    return cliexit::kOk;
}
