#pragma once
// What the settings dialog's port list offers: the port numbers whose device
// can be opened now, and the serial ports the system knows that no number
// names yet (USB adapters), each under the first number that leads nowhere.
// Choosing one of the latter stores its [Ports] mapping, so nobody has to edit
// config.ini to use a USB adapter.
#include "link/SerialPortList.h"

#include <functional>
#include <string>
#include <vector>

struct PortChoice {
    int number = 0;
    std::string device;      // what the number will mean
    std::string description; // the adapter's name and maker, "" for a plain number
    bool newMapping = false; // the number must be mapped to `device` before it is opened
};

using PortDeviceOf = std::function<std::string(int number)>;
using DeviceExists = std::function<bool(const std::string& device)>;

// available: the numbers that could be opened now (probeAvailablePorts).
std::vector<PortChoice> portChoices(const std::vector<int>& available,
                                    const std::vector<DetectedPort>& detected,
                                    const PortDeviceOf& deviceOf, const DeviceExists& exists);

// The text of a choice in the list: " COM n" and what it stands for.
std::string portChoiceText(const PortChoice& choice);
