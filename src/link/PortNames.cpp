#include "link/PortNames.h"

#include "core/Ini.h"
#include "core/Text.h"

#include <QHostAddress>
#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kRfc2217Scheme = "rfc2217://";
constexpr int kMaxTcpPort = 65535;

// Schemes are matched without regard to case, as in any URL.
bool startsWithScheme(const std::string& text, std::string_view scheme) {
    return text::lower(text.substr(0, scheme.size())) == scheme;
}

bool isIpv6Address(const std::string& host) {
    return QHostAddress(QString::fromStdString(host)).protocol() == QAbstractSocket::IPv6Protocol;
}

// "HOST:PORT" or "[V6HOST]:PORT".
void parseHostPort(const std::string& rest, PortAddress& a) {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos)
        return;
    std::string host = rest.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        if (!isIpv6Address(host))
            return; // brackets hold an IPv6 address, not "host:port"
    } else if (host.find(':') != std::string::npos) {
        return; // an IPv6 address needs its brackets
    }
    const std::string digits = rest.substr(colon + 1);
    if (host.empty() || host.find_first_of(" /[]") != std::string::npos || digits.empty() ||
        digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), ::isdigit))
        return;
    const int port = std::stoi(digits);
    if (port < 1 || port > kMaxTcpPort)
        return;
    a.host = host;
    a.port = port;
    a.valid = true;
}

} // namespace

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

PortAddress parsePortAddress(const std::string& address) {
    PortAddress a;
    std::size_t schemeLength = 0;
    if (startsWithScheme(address, kTcpScheme)) {
        a.kind = PortKind::RawTcp;
        schemeLength = kTcpScheme.size();
    } else if (startsWithScheme(address, kRfc2217Scheme)) {
        a.kind = PortKind::Rfc2217;
        schemeLength = kRfc2217Scheme.size();
    } else {
        return a;
    }
    a.valid = false;
    parseHostPort(address.substr(schemeLength), a);
    return a;
}

bool isNetworkAddress(const std::string& address) {
    return parsePortAddress(address).kind != PortKind::Device;
}

bool isWellFormedPortAddress(const std::string& address) {
    const PortAddress a = parsePortAddress(address);
    if (a.kind != PortKind::Device)
        return a.valid;
    return address.find("://") == std::string::npos; // another scheme is no device either
}

std::string networkAddress(PortKind kind, const std::string& host, int port) {
    const std::string scheme(kind == PortKind::Rfc2217 ? kRfc2217Scheme : kTcpScheme);
    const bool v6 = host.find(':') != std::string::npos;
    return scheme + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool addressInUse(const std::string& address) {
    if (isNetworkAddress(address))
        return true;
    std::error_code ec;
    return !address.empty() && std::filesystem::exists(address, ec);
}
