#pragma once
// What the settings dialog's port list offers: the port numbers whose device
// can be opened now, and the USB adapters that no number names yet and that
// can be opened now, each under the first number that leads nowhere. Choosing
// an adapter stores its [Ports] mapping once it has opened, so nobody has to
// edit config.ini to use it. Built-in ports are known by their device name:
// they come under their own number, never as a mapping under another one.
#include "link/SerialPortList.h"

#include <functional>
#include <string>
#include <vector>

class Host;
class Serial;
struct Settings;

struct PortChoice {
    int number = 0;
    std::string device;      // what the number will mean
    std::string description; // the adapter's name and maker, "" for a plain number
    bool newMapping = false; // the number must be mapped to `device` before it is opened
};

using PortDeviceOf = std::function<std::string(int number)>;
using DeviceTest = std::function<bool(const std::string& device)>;

// available: the numbers that could be opened now (probeAvailablePorts); exists:
// whether a device is there at all; canOpen: whether it can be opened now.
std::vector<PortChoice> portChoices(const std::vector<int>& available,
                                    const std::vector<DetectedPort>& detected,
                                    const PortDeviceOf& deviceOf, const DeviceTest& exists,
                                    const DeviceTest& canOpen);

// The text of a choice in the list: " COM n" and what it stands for.
std::string portChoiceText(const PortChoice& choice);

// OK's port part: opens the choice's port (chooseComPort). A new mapping stays in
// config.ini only when the port opened; otherwise the file is put back as it was.
bool openPortChoice(Serial& serial, Settings& settings, const PortChoice& choice, Host& host);
