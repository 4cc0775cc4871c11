// Throughput, CPU share and responsiveness of file transfers through the
// simulated titrator. Prints figures; never fails on time.
#include "PcSide.h"
#include "ScriptedPeer.h"
#include "VirtualPump.h"
#include "core/Pump.h"
#include "link/Frame.h"
#include "link/QtSerialPort.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

namespace {

constexpr std::size_t kFileSize = 64 * 1024;
constexpr double kBaudBytesPerSecond = 1920.0; // 19200 baud, 10 bits a byte
// 256 payload bytes per 268-byte frame plus its 6-byte echo.
constexpr double kCeiling = 256.0 / (268.0 + 6.0) * kBaudBytesPerSecond;
const char* const kDevicePath = "\\QX502\\reports\\BENCH001.BIN";

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every byte value but the backslash, which the frames would double: the ceiling
// counts 268 bytes a frame.
std::string payload() {
    std::string bytes(kFileSize, '\0');
    uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>((x >> 16) & 0xFF);
        if (c == '\\')
            c = '/';
    }
    return bytes;
}

struct Measure {
    double seconds = 0, cpu = 0, worstLateMs = 0;
    bool ok = false;
};

// Runs one transfer while a 10 ms timer notes how late it fires.
template <typename Transfer> Measure timed(Transfer transfer) {
    Measure m;
    QElapsedTimer clock, tick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    tick.start();
    QObject::connect(&probe, &QTimer::timeout, [&] {
        m.worstLateMs = std::max(m.worstLateMs, tick.nsecsElapsed() / 1e6 - 10.0);
        tick.restart();
    });
    probe.start();
    const double cpu0 = cpuSeconds();
    clock.start();
    m.ok = succeeded(transfer());
    m.seconds = clock.nsecsElapsed() / 1e9;
    m.cpu = cpuSeconds() - cpu0;
    probe.stop();
    return m;
}

void report(const char* name, const Measure& m, bool paced, bool eventLoop = true) {
    const double rate = kFileSize / m.seconds;
    std::printf("%-12s %s  %7.3f s  %10.0f B/s", name, m.ok ? "ok  " : "FAIL", m.seconds, rate);
    if (paced)
        std::printf("  ratio %.3f of %.0f B/s", rate / kCeiling, kCeiling);
    std::printf("  cpu %.1f %%", 100.0 * m.cpu / m.seconds);
    if (eventLoop)
        std::printf("  worst 10 ms timer lateness %.1f ms", m.worstLateMs);
    std::printf("\n");
}

// The application's own cost: the titrator answers in-process at once, on a
// virtual clock, so neither a pseudo-terminal nor a second process is timed.
void runInProcess() {
    VirtualPump pump;
    ScriptedPeer peer(pump);
    NullSerialHost host;
    Serial serial(peer, pump, host, [](int) { return std::string("memory"); });
    TransferSink sink;
    serial.openPort(1, 19200);
    TempDir dir;
    const std::string source = dir.str() + "/source.bin", fetched = dir.str() + "/fetched.bin";
    const std::string data = payload();
    simtest::writeFile(source, data);

    Serial::Exchange ex(serial);
    serial.sendCommandAck("put", kDevicePath);
    const Measure put = timed([&] { return serial.transmission(source, sink); });
    const bool putSame = peer.receivedFile() == data;
    peer.answer.clear();
    peer.answer.push_back(
        frame::buildFrame(frame::kTypeHeader, frame::blockCount(data.size()), ""));
    for (std::size_t i = 0; i * frame::kBlockSize < data.size(); ++i)
        peer.answer.push_back(
            frame::buildFrame(frame::kTypeData, static_cast<uint32_t>(i),
                              data.substr(i * frame::kBlockSize, frame::kBlockSize)));
    serial.sendCommandAck("get", kDevicePath);
    const Measure get = timed([&] { return serial.reception(fetched, sink); });
    const bool getSame = readAll(fetched) == data;
    std::printf("in-process titrator (the application alone), %zu bytes, %s\n", kFileSize,
                putSame && getSame ? "both directions byte-exact" : "DATA DIFFERS");
    report("put blocks", put, false, false);
    report("get blocks", get, false, false);
}

void run(bool paced) {
    TempDir root;
    std::vector<std::string> args{"--model", "QX502", "--root", root.str()};
    if (paced) {
        args.push_back("--baud");
        args.push_back("19200");
    }
    simtest::SimProcess sim(args);
    QtSerialPort port;
    NullSerialHost host;
    Serial serial(port, defaultPump(), host, [&](int) { return sim.pty(); });
    TransferSink sink;
    if (!serial.openPort(1, 19200)) {
        std::printf("cannot open %s\n", sim.pty().c_str());
        return;
    }
    const std::string source = root.str() + "/source.bin";
    const std::string fetched = root.str() + "/fetched.bin";
    simtest::writeFile(source, payload());

    // The command line and its acknowledgement (the protocol's fixed 100 ms wait
    // before "ACK" is read) are timed apart from the block transfer itself.
    Serial::Exchange ex(serial);
    const Measure putCommand = timed([&] { return serial.sendCommandAck("put", kDevicePath); });
    const Measure put = timed([&] { return serial.transmission(source, sink); });
    std::string answer;
    serial.sendCommand("ver 4", answer); // the titrator has stored the file once it answers again
    const Measure getCommand = timed([&] { return serial.sendCommandAck("get", kDevicePath); });
    const Measure get = timed([&] { return serial.reception(fetched, sink); });
    const bool same = readAll(source) == readAll(fetched);
    std::printf("%s, %zu bytes, %s; command and acknowledgement %.0f ms (put), %.0f ms (get)\n",
                paced ? "paced at 19200 baud" : "unpaced", kFileSize,
                same ? "round trip byte-exact" : "ROUND TRIP DIFFERS", putCommand.seconds * 1000,
                getCommand.seconds * 1000);
    report("put blocks", put, paced);
    report("get blocks", get, paced);
}

} // namespace

int main(int argc, char** argv) {
    // A widget application, so the timer figures are those of the window's event loop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    run(true);
    run(false);
    runInProcess();
    return 0;
}
