#pragma once
// Which device stands behind a port number, and the forms a port address takes.
#include <filesystem>
#include <string>

// "[Ports] N=" of the configuration when set, else the platform's name for
// port N (/dev/ttyS<N-1>, COMN on Windows); "" for a number below 1.
std::string deviceForPort(int n, const std::filesystem::path& configIni);

// A port address: a serial device path, or a serial device server on the
// network, "tcp://HOST:PORT" (a raw stream; the server sets the line) or
// "rfc2217://HOST:PORT" (telnet with the COM-PORT-OPTION; we set the line).
enum class PortKind { Device, RawTcp, Rfc2217 };

struct PortAddress {
    PortKind kind = PortKind::Device;
    std::string host; // an IPv6 address without its brackets
    int port = 0;
    bool valid = true; // a network form with a host and a port 1..65535
};

PortAddress parsePortAddress(const std::string& address);
bool isNetworkAddress(const std::string& address);
// Whether a --port or [Ports] value can name a port: a device path (any text
// without "://"), or a tcp:// or rfc2217:// address with a host (an IPv6 one
// in brackets) and a port 1..65535. The one rule for the command line, the
// configuration and the settings dialog.
bool isWellFormedPortAddress(const std::string& address);
// The text form of a network address (an IPv6 host in brackets).
std::string networkAddress(PortKind kind, const std::string& host, int port);

// Whether a port number's address leads somewhere, so that no adapter or
// network port may take the number: a device that exists, or any network
// address (it never exists as a file, yet the number is taken).
bool addressInUse(const std::string& address);
