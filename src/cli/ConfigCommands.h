#pragma once
// veltran-cli config: read and write config.ini of the data folder from scripts.
#include <iosfwd>
#include <string>

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

// Why `value` cannot be stored under [section] key, naming what the key takes
// instead: the keys of [Options] by their meaning (Speed, COM, Language, Debug,
// csvSep, decSep, orderBy, ConnectTimeout), and [Ports] N (1..16) with a port
// address. "" when it can be stored.
std::string configValueProblem(const std::string& section, const std::string& key,
                               const std::string& value, const IniFile& config);
