#pragma once
// Choosing the serial port by number (1..16) and probing which numbers can be opened.
#include <functional>
#include <string>
#include <vector>

class Port;
class Serial;
class Host;
struct Settings;

constexpr int kComPortCount = 16;

using PortResolver = std::function<std::string(int portNumber)>;

// True when the device opens and closes again without error. A port that another
// program holds fails to open and simply counts as unavailable.
bool probePort(Port& probe, const std::string& device);

// The numbers 1..16 whose devices can be opened now, probed on a port of their own.
std::vector<int> probeAvailablePorts(Port& probe, const PortResolver& deviceOf);

// Opens the chosen port; only a port that opened is stored as "COM" in config.ini.
bool chooseComPort(Serial& serial, Settings& settings, int port, Host& host);
