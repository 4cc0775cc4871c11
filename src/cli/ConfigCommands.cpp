#include "cli/ConfigCommands.h"

#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Ini.h"
#include "core/Text.h"

#include <QCoreApplication>
#include <ostream>

namespace {

const char* const kUsage =
    "usage: veltran-cli config path | get SECTION KEY | set SECTION KEY VALUE\n";

AppPaths preparedPaths(std::ostream& err, bool& writable) {
    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string error;
    writable = prepareDataDir(paths, error);
    if (!writable)
        err << "warning: " << error << "\n";
    return paths;
}

} // namespace

int cmdConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string verb = args.empty() ? "" : args[0];
    bool writable = false;
    if (verb == "path" && args.size() == 1) {
        out << preparedPaths(err, writable).configPath().string() << "\n";
        return 0;
    }
    if (verb == "get" && args.size() == 3) {
        out << getIniString(preparedPaths(err, writable).configPath(), args[1], args[2]) << "\n";
        return 0;
    }
    if (verb == "set" && args.size() == 4) {
        const AppPaths paths = preparedPaths(err, writable);
        if (text::containsControl(args[3]) || text::containsControl(args[1] + args[2])) {
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
        const std::string before = getIniString(paths.configPath(), args[1], args[2]);
        const bool written = writeIniString(paths.configPath(), args[1], args[2], args[3]);
        if (!audit.append(configChangeEvent(args[1], args[2], before, args[3], written)))
            err << audit.lastError() << "\n";
        if (!written) {
            err << "cannot write " << paths.configPath().string() << "\n";
            return 1;
        }
        return 0;
    }
    err << kUsage;
    return 2;
}
