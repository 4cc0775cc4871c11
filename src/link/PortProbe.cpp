#include "link/PortProbe.h"

#include "link/AddressedPort.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

// Folders where serial programs leave "LCK..<name>" files holding their process id.
const char* const kLockFolders[] = {"/var/lock", "/run/lock", "/var/spool/locks", "/tmp"};

bool processAlive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The names lock files go by: the device's own name, and the path without "/dev/"
// with every "/" made "_" (how Qt's serial ports name theirs).
std::vector<std::string> lockNames(const std::string& device) {
    std::string path = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
    std::replace(path.begin(), path.end(), '/', '_');
    return {device.substr(device.find_last_of('/') + 1), path};
}

bool lockedByLockFile(const std::string& device) {
    for (const std::string& name : lockNames(device)) {
        for (const char* folder : kLockFolders) {
            std::ifstream lock(std::string(folder) + "/LCK.." + name);
            long pid = 0;
            if (lock && (lock >> pid) && processAlive(pid))
                return true;
        }
    }
    return false;
}

} // namespace

bool deviceAvailable(const std::string& device) {
    if (device.empty() || isNetworkAddress(device) || lockedByLockFile(device))
        return false;
    // Non-blocking, no controlling terminal, settings untouched.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // missing, no permission, or held exclusively
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::isatty(fd);
    ::close(fd); // also drops our advisory lock
    return free;
}

// A server named twice is asked once: a second connection would find it in use.
std::vector<bool> portsAvailable(const std::vector<std::string>& addresses, Pump& pump,
                                 int connectTimeoutMs) {
    std::vector<std::string> network;
    for (const std::string& a : addresses)
        if (isNetworkAddress(a) && std::find(network.begin(), network.end(), a) == network.end())
            network.push_back(a);
    const std::vector<NetworkPortCheck> verdicts =
        network.empty() ? std::vector<NetworkPortCheck>{}
                        : checkNetworkPorts(network, pump, connectTimeoutMs);
    std::vector<bool> available;
    for (const std::string& a : addresses) {
        const auto at = std::find(network.begin(), network.end(), a);
        available.push_back(at == network.end() ? deviceAvailable(a)
                                                : verdicts[at - network.begin()].available);
    }
    return available;
}
