#include "cli/ConfigCommands.h"

#include "core/AppPaths.h"
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
    if (!writable || !writeIniString(paths.configPath(), o.section, o.key, o.value)) {
        err << "cannot write " << paths.configPath().string() << "\n";
        return 1;
    }
    return 0;
}
