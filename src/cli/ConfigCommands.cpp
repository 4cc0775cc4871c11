#include "cli/ConfigCommands.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Ini.h"
#include "core/Numbers.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "link/AddressedPort.h"
#include "link/ComPorts.h"
#include "link/PortNames.h"

#include <QCoreApplication>
#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>

namespace {

AppPaths preparedPaths(std::ostream& err, bool& writable) {
    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string error;
    writable = prepareDataDir(paths, error);
    if (!writable)
        err << "warning: " << error << "\n";
    return paths;
}

std::vector<std::string> numbers(int from, int to) {
    std::vector<std::string> list;
    for (int n = from; n <= to; ++n)
        list.push_back(std::to_string(n));
    return list;
}

// "a, b or c"
std::string listed(const std::vector<std::string>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i)
        text += (i == 0 ? "" : i + 1 == values.size() ? " or " : ", ") + values[i];
    return text;
}

// What a key takes, and the words that tell it to the user.
struct Rule {
    std::function<bool(const std::string&)> accepts;
    std::string allowed;
};

Rule oneOf(const std::vector<std::string>& values, std::string allowed = {}) {
    return {[values](const std::string& v) {
                return std::find(values.begin(), values.end(), v) != values.end();
            },
            allowed.empty() ? listed(values) : std::move(allowed)};
}

// Read back as the program reads it.
Rule wholeNumber(int from, int to) {
    return {[from, to](const std::string& v) {
                const auto n = num::parseInteger(v);
                return n && *n >= from && *n <= to;
            },
            "a whole number from " + std::to_string(from) + " to " + std::to_string(to)};
}

std::vector<std::string> languages(const IniFile& config) {
    std::vector<std::string> keys;
    for (const std::string& n : numbers(1, kLanguageSlots))
        if (!config.value("LanguageFiles", n).empty())
            keys.push_back(n);
    return keys;
}

std::optional<Rule> optionRule(const std::string& key, const IniFile& config) {
    if (key == "SPEED")
        return oneOf({"4800", "9600", "19200"});
    if (key == "COM")
        return oneOf(numbers(1, kComPortCount));
    if (key == "DEBUG")
        return oneOf({"True", "False"});
    if (key == "CSVSEP" || key == "DECSEP")
        return oneOf(numbers(0, 1));
    if (key == "ORDERBY")
        return oneOf(numbers(0, 2));
    if (key == "CONNECTTIMEOUT")
        return wholeNumber(1, kMaxConnectTimeoutS);
    if (key == "LANGUAGE")
        return oneOf(languages(config));
    return std::nullopt;
}

// [Ports] N=: the number as the program looks it up, and an address it can use.
const Rule& portNumberRule() {
    static const Rule rule = oneOf(numbers(1, kComPortCount),
                                   "a port number from 1 to " + std::to_string(kComPortCount));
    return rule;
}

const Rule& portAddressRule() {
    static const Rule rule{isWellFormedPortAddress,
                           "a device path, tcp://HOST:PORT or rfc2217://HOST:PORT"};
    return rule;
}

// "Speed: \"1200\" is not allowed; use 4800, 9600 or 19200"
std::string refusal(const std::string& name, const std::string& value, const Rule& rule) {
    return name + ": \"" + value + "\" is not allowed; use " + rule.allowed;
}

} // namespace

std::string configValueProblem(const std::string& section, const std::string& key,
                               const std::string& value, const IniFile& config) {
    const std::string s = text::upper(text::trim(section));
    if (s == "PORTS") {
        if (!portNumberRule().accepts(text::trim(key)))
            return refusal(section, key, portNumberRule());
        return portAddressRule().accepts(value) ? "" : refusal(key, value, portAddressRule());
    }
    const std::optional<Rule> rule =
        s == "OPTIONS" ? optionRule(text::upper(text::trim(key)), config) : std::nullopt;
    return !rule || rule->accepts(value) ? "" : refusal(key, value, *rule);
}

int cmdConfig(const ConfigOptions& o, std::ostream& out, std::ostream& err) {
    bool writable = false;
    const AppPaths paths = preparedPaths(err, writable);
    const IniFile config = IniFile::load(paths.configPath());
    switch (o.action) {
    case ConfigOptions::Action::Path:
        out << paths.configPath().string() << "\n";
        return cliexit::kOk;
    case ConfigOptions::Action::Get:
        if (!config.hasKey(o.section, o.key)) {
            err << "[" << o.section << "] " << o.key << " is not in " << paths.configPath().string()
                << "\n";
            return cliexit::kFailed;
        }
        out << config.value(o.section, o.key) << "\n";
        return cliexit::kOk;
    case ConfigOptions::Action::Set:
        break;
    }
    if (text::containsControl(o.value) || text::containsControl(o.section + o.key)) {
        err << "a configuration value cannot hold control characters\n";
        return cliexit::kUsage;
    }
    if (const std::string problem = configValueProblem(o.section, o.key, o.value, config);
        !problem.empty()) {
        err << problem << "\n";
        return cliexit::kUsage;
    }
    if (!writable) {
        err << "cannot write " << paths.configPath().string() << "\n";
        return cliexit::kFailed;
    }
    setCliAuditLog(paths);
    if (!auditWritable()) { // never a change that goes unrecorded
        err << auditLog()->lastError() << "\n";
        return cliexit::kUsage;
    }
    const std::string before = getIniString(paths.configPath(), o.section, o.key);
    const bool written = writeIniString(paths.configPath(), o.section, o.key, o.value);
    if (!recordAudit(configChangeEvent(o.section, o.key, before, o.value, written)))
        err << auditLog()->lastError() << "\n";
    if (!written) {
        err << "cannot write " << paths.configPath().string() << "\n";
        return cliexit::kFailed;
    }
    return cliexit::kOk;
}
