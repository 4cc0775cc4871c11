// A 64 KiB get from the simulated titrator paced at 19200 baud: on its pty,
// and through Debian's ser2net as a raw TCP stream and through RFC 2217.
// The network ports should cost nothing the line does not: target rate >= 0.98
// of the pty's. ser2net is measured as a lab should set it up (see README) and
// with its defaults, whose character gathering costs a few ms a block.
// Prints figures; never fails on time.
#include "PcSide.h"
#include "Ser2net.h"
#include "core/Pump.h"
#include "link/AddressedPort.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

constexpr std::size_t kFileSize = 64 * 1024;
constexpr int kBaud = 19200;
constexpr double kTarget = 0.98;
const char* const kDevicePath = "\\QX502\\reports\\BENCH001.BIN";

struct Figure {
    bool ok = false;
    double seconds = 0;
};

Figure timedGet(const std::string& address, const TempDir& dir) {
    AddressedPort port(dir.path() / "config.ini", defaultPump());
    NullSerialHost host;
    Serial serial(port, defaultPump(), host, [&](int) { return address; });
    TransferSink sink;
    Figure f;
    if (!serial.openPort(1, kBaud))
        return f;
    Serial::Exchange ex(serial);
    if (!succeeded(serial.sendCommandAck("get", kDevicePath)))
        return f;
    const std::string target = dir.str() + "/fetched.bin";
    QElapsedTimer clock;
    clock.start();
    const bool done = succeeded(serial.reception(target, sink));
    f.seconds = clock.nsecsElapsed() / 1e9;
    f.ok = done && simtest::readFile(target) == simtest::awkwardBytes(kFileSize);
    return f;
}

void report(const char* name, const Figure& f, double ptyRate) {
    const double rate = f.seconds > 0 ? kFileSize / f.seconds : 0;
    std::printf("%-10s %s  %7.3f s  %7.0f B/s", name, f.ok ? "ok  " : "FAIL", f.seconds, rate);
    if (ptyRate > 0)
        std::printf("  %.3f of the pty's rate (target %.2f)", rate / ptyRate, kTarget);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TempDir dir;
    dir.write("root/QX502/reports/BENCH001.BIN", simtest::awkwardBytes(kFileSize));
    simtest::SimProcess sim(
        {"--model", "QX502", "--root", dir.str() + "/root", "--baud", "19200", "--persist"});
    std::printf("64 KiB get from the simulator paced at %d baud\n", kBaud);

    const Figure pty = timedGet(sim.pty(), dir);
    const double ptyRate = pty.ok ? kFileSize / pty.seconds : 0;
    report("pty", pty, 0);
    for (const bool lowLatency : {true, false}) {
        std::printf("ser2net %s\n", lowLatency ? "with nodelay and chardelay: false"
                                               : "with its defaults (Nagle, chardelay)");
        for (const auto& [mode, name] : {std::pair{simtest::NetMode::Raw, "raw TCP"},
                                         std::pair{simtest::NetMode::Rfc2217, "RFC 2217"}}) {
            simtest::Ser2net server(sim.pty(), mode, lowLatency);
            if (!server.running()) {
                std::printf("%-10s ser2net did not start: %s\n", name, server.log().c_str());
                continue;
            }
            report(name, timedGet(server.address(), dir), ptyRate);
        }
    }
    return 0;
}
