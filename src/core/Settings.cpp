#include "core/Settings.h"

#include "core/AppPaths.h"
#include "core/Host.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Text.h"

#include <QDir>

namespace {

// Said before any language file is read.
const char* const kNoLanguage = "No language file found!\\nCannot continue";
// Said in the language taken instead; these words when its file lacks them.
constexpr int kTextLanguageReplaced = 147;
const char* const kLanguageReplaced =
    "The configured language is not present!\\nAnother language was configured!";

int fillLanguageMenu(const IniFile& config, Settings& s) {
    int count = 0;
    for (int i = 1; i <= kLanguageSlots; ++i) {
        LanguageMenuEntry& e = s.languageMenu[i];
        e = {};
        const std::string file = config.value("LanguageFiles", std::to_string(i));
        if (file.empty())
            continue;
        e.visible = true;
        e.caption = file;
        e.tag = i;
        ++count;
    }
    return count;
}

int languageFromText(const std::string& value) {
    if (!text::isNumeric(value))
        return 1;
    const int n = std::atoi(text::trim(value).c_str());
    return (n >= 1 && n <= kLanguageSlots) ? n : 1;
}

// Takes the first configured language when the chosen one is not offered; true then.
bool settleLanguage(Settings& s) {
    LanguageMenuEntry& chosen = s.languageMenu[s.languageIndex];
    if (chosen.visible && chosen.tag == s.languageIndex) {
        chosen.checked = true;
        return false;
    }
    for (int i = 1; i <= kLanguageSlots; ++i) {
        if (s.languageMenu[i].tag != i)
            continue;
        s.languageIndex = i;
        s.languageMenu[i].checked = true;
        break;
    }
    return true;
}

// Once the language taken instead is loaded, it says so and is stored.
void announceReplacedLanguage(const Settings& s, Host& host) {
    const std::string& said = langText(kTextLanguageReplaced);
    host.message(formatMsg(said.empty() ? kLanguageReplaced : said, {}), "", Host::Icon::Warning);
    setIniString(s.configPath, "Options", "Language", std::to_string(s.languageIndex), host);
}

void nameLanguages(const AppPaths& paths, const IniFile& config, Settings& s) {
    for (int i = 1; i <= kLanguageSlots; ++i) {
        LanguageMenuEntry& e = s.languageMenu[i];
        if (e.tag != i)
            continue;
        const std::string name =
            languageName(paths.resolve(config.value("LanguageFiles", std::to_string(i))));
        // A missing file keeps its file name as caption rather than an empty entry.
        if (!name.empty())
            e.caption = name;
    }
}

} // namespace

int speedFromText(const std::string& value) {
    if (text::isNumeric(value)) {
        const int n = std::atoi(text::trim(value).c_str());
        if (n == 4800 || n == 9600 || n == 19200)
            return n;
    }
    return 19200;
}

bool loadSettings(const AppPaths& paths, Host& host, Settings& s) {
    s.configPath = paths.configPath();
    std::string readError;
    const IniFile config = IniFile::load(s.configPath, &readError);
    if (!readError.empty())
        host.message("The configuration could not be read: " + readError, "", Host::Icon::Warning);
    if (fillLanguageMenu(config, s) == 0) {
        host.message(formatMsg(kNoLanguage, {}), "", Host::Icon::Critical);
        return false;
    }
    if (s.languageMenu[1].tag != 1)
        s.languageMenu[1].visible = false;
    s.languageIndex = languageFromText(config.value("Options", "Language"));
    const bool replaced = settleLanguage(s);

    const std::string com = config.value("Options", "COM");
    s.comPort = text::isNumeric(com) ? std::atoi(text::trim(com).c_str()) : 1;
    s.comSpeed = speedFromText(config.value("Options", "Speed"));
    s.pcPath = config.value("Options", "CrtPath");
    if (s.pcPath.empty())
        s.pcPath = QDir::homePath().toStdString();
    s.debugEnabled = config.value("Options", "Debug") == "True";

    nameLanguages(paths, config, s);
    s.languageFile = config.value("LanguageFiles", std::to_string(s.languageIndex));
    setLanguageTable(loadLanguageTable(paths.resolve(s.languageFile), &readError));
    if (!readError.empty())
        host.message("The language file could not be read: " + readError, "", Host::Icon::Warning);
    if (replaced)
        announceReplacedLanguage(s, host);
    return true;
}

std::string loadHelpFile(const AppPaths& paths, const Settings& s, Host& host) {
    const std::string name =
        getIniString(s.configPath, "HelpFiles", std::to_string(s.languageIndex));
    if (name.empty()) {
        host.message(formatMsg(langText(314), {}), formatMsg(langText(5), {}),
                     Host::Icon::Information);
        return {};
    }
    return paths.resolve(name).string();
}

void chooseLanguage(Settings& s, int index, Host& host) {
    s.languageIndex = index;
    for (int i = 1; i <= kLanguageSlots; ++i)
        s.languageMenu[i].checked = (i == index);
    setIniString(s.configPath, "Options", "Language", std::to_string(index), host);
    host.message(formatMsg(langText(303), {}), formatMsg(langText(5), {}), Host::Icon::Information);
}

std::string folderToStore(const std::string& pcPath, bool trayFolderShown) {
    if (!trayFolderShown || pcPath.size() < 9)
        return pcPath;
    const std::string tail = text::upper(pcPath.substr(pcPath.size() - 8));
    if (tail.find("TRAY") == std::string::npos)
        return pcPath;
    return pcPath.substr(0, pcPath.size() - 9);
}

Settings& appSettings() {
    static Settings s;
    return s;
}
