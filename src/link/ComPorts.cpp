#include "link/ComPorts.h"

#include "core/Ini.h"
#include "core/Settings.h"
#include "link/PortProbe.h"
#include "link/Serial.h"

std::vector<int> probeAvailablePorts(const PortResolver& deviceOf) {
    std::vector<int> available;
    for (int n = 1; n <= kComPortCount; ++n)
        if (portAvailable(deviceOf(n)))
            available.push_back(n);
    return available;
}

bool chooseComPort(Serial& serial, Settings& settings, int port, Host& host) {
    const bool opened = serial.openPort(port, settings.comSpeed);
    serial.setPortStatus(opened ? 1 : 0);
    if (!opened)
        return false; // the ticked port stays the one Connect uses
    settings.comPort = port;
    setIniString(settings.configPath, "Options", "COM", std::to_string(port), host);
    return true;
}
