#include "cli/ConfigCommands.h"

#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Ini.h"
#include "core/Text.h"

#include <QCoreApplication>
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

} // namespace

int cmdConfig(const ConfigOptions& o, std::ostream& out, std::ostream& err) {
    bool writable = false;
    const AppPaths paths = preparedPaths(err, writable);
    switch (o.action) {
    case ConfigOptions::Action::Path:
        out << paths.configPath().string() << "\n";
        return 0;
    case ConfigOptions::Action::Get:
        out << getIniString(paths.configPath(), o.section, o.key) << "\n";
        return 0;
    case ConfigOptions::Action::Set:
        break;
    }
    if (text::containsControl(o.value) || text::containsControl(o.section + o.key)) {
        err << "a configuration value cannot hold control characters\n";
        return 2;
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
        return 1;
    }
    return 0;
}
