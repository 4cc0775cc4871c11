#pragma once
// Choosing the serial port by number (1..16) and probing which numbers can be opened.
#include <functional>
#include <string>
#include <vector>

class Serial;
class Host;
struct Settings;

constexpr int kComPortCount = 16;

using PortResolver = std::function<std::string(int portNumber)>;

// The numbers 1..16 whose devices could be opened now; a port another program
// uses counts as unavailable and is left exactly as it was.
std::vector<int> probeAvailablePorts(const PortResolver& deviceOf);

// Opens the chosen port; only a port that opened is stored as "COM" in config.ini.
bool chooseComPort(Serial& serial, Settings& settings, int port, Host& host);
