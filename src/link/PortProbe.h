#pragma once
// Whether a serial device could be opened now, asked without disturbing a
// program that is using it: no settings are changed, and a device another
// program holds (a lock file, an advisory lock, exclusive mode) counts as taken.
// A network port is available when its server takes a connection (and, for
// RFC 2217, the line settings) within the configured connect time-out.
#include <string>

bool portAvailable(const std::string& device);
