#include "link/PortNames.h"

#include "core/Ini.h"

std::string deviceForPort(int n, const std::filesystem::path& configIni) {
    if (n < 1)
        return {};
    std::string device = getIniString(configIni, "Ports", std::to_string(n));
    if (!device.empty())
        return device;
#ifdef _WIN32
    return "COM" + std::to_string(n);
#else
    return "/dev/ttyS" + std::to_string(n - 1);
#endif
}
