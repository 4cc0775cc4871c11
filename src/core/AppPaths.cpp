#include "core/AppPaths.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path envPath(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? fs::path(v) : fs::path();
}

fs::path userConfigDir() {
    fs::path xdg = envPath("XDG_CONFIG_HOME");
    if (!xdg.empty())
        return xdg / "veltran";
    fs::path home = envPath("HOME");
    return (home.empty() ? fs::temp_directory_path() : home) / ".config" / "veltran";
}

} // namespace

fs::path AppPaths::resolve(const std::string& name) const {
    if (name.empty())
        return {};
    fs::path p(name);
    if (p.is_absolute())
        return p;
    std::error_code ec;
    if (fs::exists(dataDir / p, ec))
        return dataDir / p;
    return resourceDir / p;
}

AppPaths locateAppPaths(const fs::path& programDir) {
    AppPaths paths;
    paths.programDir = programDir;
    std::error_code ec;
    const fs::path installed = programDir.parent_path() / "share" / "veltran";
    paths.resourceDir = fs::is_directory(installed, ec) ? installed : programDir;

    const fs::path home = envPath("VELTRAN_HOME");
    if (!home.empty())
        paths.dataDir = home;
    else if (fs::exists(programDir / "config.ini", ec))
        paths.dataDir = programDir;
    else
        paths.dataDir = userConfigDir();
    return paths;
}

bool AppPaths::isReadOnly(const fs::path& file) const {
    std::error_code ec;
    const fs::path dir = fs::weakly_canonical(file, ec).parent_path();
    return !resourceDir.empty() && resourceDir != dataDir &&
           dir == fs::weakly_canonical(resourceDir, ec);
}

namespace {

bool seedConfig(const AppPaths& paths, std::string& error) {
    std::error_code ec;
    fs::create_directories(paths.dataDir, ec);
    if (!fs::is_directory(paths.dataDir, ec)) {
        error = "cannot create the data folder " + paths.dataDir.string();
        return false;
    }
    const fs::path target = paths.dataDir / "config.ini";
    if (fs::exists(target, ec))
        return true;
    const fs::path defaults = paths.resourceDir / "config.ini";
    if (!fs::exists(defaults, ec))
        return true; // nothing to seed from; start-up reports the missing language files
    fs::copy_file(defaults, target, ec);
    if (ec) {
        error = "cannot write " + target.string() + ": " + ec.message();
        return false;
    }
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
    return true;
}

} // namespace

bool prepareDataDir(AppPaths& paths, std::string& error) {
    paths.configFile = paths.dataDir / "config.ini";
    if (seedConfig(paths, error))
        return true;
    std::error_code ec;
    if (!fs::exists(paths.configFile, ec))
        paths.configFile = paths.resourceDir / "config.ini";
    return false;
}

namespace {
AppPaths& current() {
    static AppPaths p;
    return p;
}
} // namespace

const AppPaths& appPaths() {
    return current();
}
void setAppPaths(const AppPaths& paths) {
    current() = paths;
}
