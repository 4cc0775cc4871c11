#pragma once
// Where the program finds its read-only resources and its writable data.
#include <filesystem>
#include <string>

struct AppPaths {
    std::filesystem::path programDir;  // the folder of the executable
    std::filesystem::path resourceDir; // language, help, About files, the default config.ini
    std::filesystem::path dataDir;     // config.ini, debug.log, tmp/
    // config.ini in the data folder; the read-only default when the data folder is unusable.
    std::filesystem::path configFile;
    std::filesystem::path configPath() const {
        return configFile.empty() ? dataDir / "config.ini" : configFile;
    }
    // True for files the program must never write (the shipped resources).
    bool isReadOnly(const std::filesystem::path& file) const;
    // A file named in config.ini: absolute, or found in the data folder, else in the resources.
    std::filesystem::path resolve(const std::string& name) const;
};

// Resources: <program>/../share/veltran when present, else beside the program.
// Data: $VELTRAN_HOME; else beside the program when a config.ini is there (portable);
// else $XDG_CONFIG_HOME/veltran (~/.config/veltran).
AppPaths locateAppPaths(const std::filesystem::path& programDir);

// Creates the data folder and seeds config.ini from the default one when it has none.
// False (with a reason) when the folder cannot be made or written; the settings are
// then read from the shipped default and nothing is written.
bool prepareDataDir(AppPaths& paths, std::string& error);

// The process-wide paths, set once at start.
const AppPaths& appPaths();
void setAppPaths(const AppPaths& paths);
