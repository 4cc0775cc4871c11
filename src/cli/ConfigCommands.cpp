#include "cli/ConfigCommands.h"

#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Ini.h"
#include "core/Settings.h"
#include "core/Text.h"

#include <QCoreApplication>
#include <algorithm>
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

} // namespace

std::vector<std::string> allowedConfigValues(const std::string& section, const std::string& key,
                                             const IniFile& config) {
    if (text::upper(text::trim(section)) != "OPTIONS")
        return {};
    const std::string k = text::upper(text::trim(key));
    if (k == "SPEED")
        return {"4800", "9600", "19200"};
    if (k == "COM")
        return numbers(1, 16);
    if (k == "DEBUG")
        return {"True", "False"};
    if (k == "CSVSEP" || k == "DECSEP")
        return numbers(0, 1);
    if (k == "ORDERBY")
        return numbers(0, 2);
    if (k != "LANGUAGE")
        return {};
    std::vector<std::string> languages;
    for (const std::string& n : numbers(1, kLanguageSlots))
        if (!config.value("LanguageFiles", n).empty())
            languages.push_back(n);
    return languages;
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
    const std::vector<std::string> allowed = allowedConfigValues(o.section, o.key, config);
    if (!allowed.empty() && std::find(allowed.begin(), allowed.end(), o.value) == allowed.end()) {
        err << o.key << ": \"" << o.value << "\" is not allowed; use " << listed(allowed) << "\n";
        return cliexit::kUsage;
    }
    if (!writable) {
        err << "cannot write " << paths.configPath().string() << "\n";
        return 1;
    }
    AuditLog audit(paths.dataDir / AuditLog::kFileName, "veltran-cli");
    if (!audit.check()) { // never a change that goes unrecorded
        err << audit.lastError() << "\n";
        return 2;
    }
    const std::string before = getIniString(paths.configPath(), o.section, o.key);
    const bool written = writeIniString(paths.configPath(), o.section, o.key, o.value);
    if (!audit.append(configChangeEvent(o.section, o.key, before, o.value, written)))
        err << audit.lastError() << "\n";
    if (!written) {
        err << "cannot write " << paths.configPath().string() << "\n";
        return cliexit::kFailed;
    }
    return cliexit::kOk;
}
