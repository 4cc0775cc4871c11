#pragma once
// The application settings read from config.ini at start.
#include <array>
#include <filesystem>
#include <string>

class Host;
struct AppPaths;

constexpr int kLanguageSlots = 20;

struct LanguageMenuEntry {
    bool visible = false;
    bool checked = false;
    int tag = 0; // the language number when configured, 0 otherwise
    std::string caption;
};

struct Settings {
    std::filesystem::path configPath;
    int languageIndex = 1;
    std::string languageFile;
    std::string pcPath;
    int comPort = 1;
    int comSpeed = 19200;
    bool debugEnabled = false;
    std::string helpFile; // resolved path, "" when none is configured
    std::array<LanguageMenuEntry, kLanguageSlots + 1> languageMenu{}; // entries 1..20
};

// Reads config.ini and the chosen language file, fills the language table and tells
// the user of a missing language. False when no language is configured at all: the
// message has been shown and the program cannot go on.
bool loadSettings(const AppPaths& paths, Host& host, Settings& settings);

// The help file of the chosen language; tells the user (text 314) when there is none.
std::string loadHelpFile(const AppPaths& paths, const Settings& settings, Host& host);

// The language menu choice: stores the language and tells the user it applies at next start.
void chooseLanguage(Settings& settings, int index, Host& host);

// The folder to store at shut-down: the parent when a tray folder is shown.
std::string folderToStore(const std::string& pcPath, bool trayFolderShown);

int speedFromText(const std::string& value);

// The process-wide settings, filled once at start.
Settings& appSettings();
