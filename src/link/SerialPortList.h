#pragma once
// The serial ports this PC has (built-in ports and USB adapters), as the
// system reports them, for the settings dialog to offer by name.
#include <string>
#include <vector>

struct DetectedPort {
    std::string device;      // /dev/ttyUSB0
    std::string stableName;  // /dev/serial/by-id/usb-FTDI_..., "" when the system has none
    std::string description; // "FT232R USB UART"
    std::string maker;       // "FTDI"
    bool adapter = false;    // a USB device; a built-in port is known by its device name
};

std::vector<DetectedPort> detectedSerialPorts();
