#pragma once
// Whether ports could be opened now, asked without disturbing a program that
// is using them: no settings are changed, and a device another program holds
// (a lock file, an advisory lock, exclusive mode) counts as taken. A network
// port is available when its server takes a connection (and, for RFC 2217,
// the line settings) within the connect time-out and keeps it.
#include <string>
#include <vector>

class Pump;

// A serial device (a network address is not one).
bool deviceAvailable(const std::string& device);

// Any port addresses. The serial devices are asked at once (their open does not
// wait); the network ports all connect together through the pump, so the whole
// probe takes at most one connect time-out (and a short in-use check) however
// many servers are silent.
std::vector<bool> portsAvailable(const std::vector<std::string>& addresses, Pump& pump,
                                 int connectTimeoutMs);
