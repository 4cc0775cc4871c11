#include "Ser2net.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace simtest {
namespace {

constexpr int kStartWaitMs = 5000;
constexpr int kStopWaitMs = 3000;

bool waitFor(const auto& cond, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// lowLatency: what a lab should set for this protocol's one-block-one-echo
// exchange: no Nagle delay, and no waiting for more characters before a send.
std::string configuration(const std::string& device, NetMode mode, int port, bool lowLatency) {
    const std::string tcp = lowLatency ? "tcp(nodelay)" : "tcp";
    const std::string accepter = mode == NetMode::Rfc2217 ? "telnet(rfc2217)," + tcp : tcp;
    std::string yaml = "connection: &netport\n"
                       "  accepter: " +
                       accepter + ",127.0.0.1," + std::to_string(port) +
                       "\n"
                       "  connector: serialdev," +
                       device + ",19200n81,local\n";
    if (lowLatency)
        yaml += "  options:\n    chardelay: false\n";
    return yaml;
}

} // namespace

int freeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

// From the kernel's table, without connecting (a connection would open the device).
bool listening(int port) {
    char local[32];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line); // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, address, remote, state;
        fields >> slot >> address >> remote >> state;
        if (address == local && state == "0A") // TCP_LISTEN
            return true;
    }
    return false;
}

Ser2net::Ser2net(const std::string& device, NetMode mode, bool lowLatency) {
    const int port = freeTcpPort();
    address_ = (mode == NetMode::Rfc2217 ? "rfc2217://127.0.0.1:" : "tcp://127.0.0.1:") +
               std::to_string(port);
    const std::string config =
        dir_.write("ser2net.yaml", configuration(device, mode, port, lowLatency));
    const std::string pidFile = (dir_.path() / "ser2net.pid").string();
    const std::string logFile = (dir_.path() / "ser2net.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // no orphan when a test crashes
        const int out = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        // -n: stay in the foreground; -u: no UUCP lock files in system folders.
        std::vector<const char*> argv{"ser2net",       "-n",   "-u", "-c", config.c_str(), "-P",
                                      pidFile.c_str(), nullptr};
        // Debian puts it in /usr/sbin, which a user's PATH often lacks.
        ::execv("/usr/sbin/ser2net", const_cast<char* const*>(argv.data()));
        ::execvp("ser2net", const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    running_ = pid_ > 0 &&
               waitFor([&] { return listening(port) || ::waitpid(pid_, nullptr, WNOHANG) == pid_; },
                       kStartWaitMs) &&
               listening(port);
}

Ser2net::~Ser2net() {
    stop();
}

std::string Ser2net::log() const {
    return dir_.read("ser2net.log");
}

void Ser2net::stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    if (!waitFor([&] { return ::waitpid(pid_, nullptr, WNOHANG) == pid_; }, kStopWaitMs)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    running_ = false;
}

} // namespace simtest
