#pragma once
// Choosing the serial port by number (1..16), and the survey of the ports: what
// each number stands for, which can be opened now, and the USB adapters no
// number names yet. The settings dialog, the Communication menu and
// `veltran-cli ports` all show one survey, so they agree on every number.
#include "link/SerialPortList.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

class Serial;
class Host;
class Pump;
struct Settings;

constexpr int kComPortCount = 16;

using PortResolver = std::function<std::string(int portNumber)>;

struct NumberedPort {
    int number = 0;
    std::string address; // a device path, tcp://... or rfc2217://...
    bool available = false;
};

struct UnnamedAdapter {
    DetectedPort port;
    bool available = false;
    // The free number it is offered under (only one that can be opened is
    // offered); 0 when none.
    int number = 0;
};

struct PortSurvey {
    std::vector<NumberedPort> numbers; // 1..16
    std::vector<UnnamedAdapter> adapters;
    std::vector<int> availableNumbers() const;
};

// Whether each address could be opened now (portsAvailable).
using PortsProbe = std::function<std::vector<bool>(const std::vector<std::string>& addresses)>;
using AddressTest = std::function<bool(const std::string& address)>;

// inUse: whether a number's address is taken (addressInUse); an adapter that no
// number names and that can be opened gets the first number not in use.
PortSurvey surveyPorts(const PortResolver& addressOf, const std::vector<DetectedPort>& detected,
                       const PortsProbe& probe, const AddressTest& inUse);
// This PC's survey: the system's serial ports, probed through the pump.
PortSurvey surveyPorts(const PortResolver& addressOf, Pump& pump, int connectTimeoutMs);

// The first number 1..16 whose address is not in use and that is not in `taken`; 0 when none.
int firstFreeNumber(const PortResolver& addressOf, const AddressTest& inUse,
                    const std::set<int>& taken = {});

// Opens the chosen port; only a port that opened is stored as "COM" in config.ini.
bool chooseComPort(Serial& serial, Settings& settings, int port, Host& host);
