#pragma once
// veltran-cli config: read and write config.ini of the data folder from scripts.
#include <iosfwd>
#include <string>

struct ConfigOptions {
    enum class Action { Path, Get, Set };
    Action action = Action::Path;
    std::string section, key, value; // value: for Set only
};

// config path | config get SECTION KEY | config set SECTION KEY VALUE
// Exit 0; 1 when a value cannot be written; 2 for a value with control characters, or
// when the audit log cannot be written (nothing is stored then).
int cmdConfig(const ConfigOptions& options, std::ostream& out, std::ostream& err);
