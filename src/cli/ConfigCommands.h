#pragma once
// veltran-cli config: read and write config.ini of the data folder from scripts.
#include <iosfwd>
#include <string>
#include <vector>

// config path | config get SECTION KEY | config set SECTION KEY VALUE
// Exit 0; 1 when a value cannot be written; 2 for a usage error.
int cmdConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
