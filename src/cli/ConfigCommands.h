#pragma once
// veltran-cli config: read and write config.ini of the data folder from scripts.
#include <iosfwd>
#include <string>
#include <vector>

class IniFile;

struct ConfigOptions {
    enum class Action { Path, Get, Set };
    Action action = Action::Path;
    std::string section, key, value; // value: for Set only
};

// config path | config get SECTION KEY | config set SECTION KEY VALUE
// Exit 0; 1 for a key that is not there (get) or a value that cannot be written;
// 2 for a value with control characters or one the key does not take, or when the
// audit log cannot be written (nothing is stored then).
int cmdConfig(const ConfigOptions& options, std::ostream& out, std::ostream& err);

// The values a key of [Options] takes, by its meaning (Speed, COM, Language,
// Debug, csvSep, decSep, orderBy); empty for a key that takes any value.
std::vector<std::string> allowedConfigValues(const std::string& section, const std::string& key,
                                             const IniFile& config);
