// The audit log: one append with its fsync (median and worst), and checking a
// log of 100,000 events in process and as `veltran-cli audit verify`. Prints
// figures; never fails on time.
#include "TempDir.h"
#include "core/AuditLog.h"
#include "core/AuditTrail.h"
#include "core/Sha256.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

namespace {

constexpr int kAppends = 300;
constexpr int kEvents = 100000;
constexpr double kVerifyTarget = 1.0;

AuditEvent sampleEvent(int i) {
    AuditEvent e;
    e.time = "2025-03-17T10:15:30.123Z";
    e.user = "labuser";
    e.host = "lab-pc-07";
    e.program = "veltran";
    e.version = "1.00";
    e.port = "COM1 /dev/ttyUSB0";
    e.titrator = "QX502";
    e.serial = "0412";
    e.firmware = "3.00";
    e.operation = audit::kGet;
    e.source = "\\REPORTS\\TI_" + std::to_string(i) + ".RPT";
    e.target = "/home/labuser/reports/TI_" + std::to_string(i) + ".RPT";
    e.size = 4000 + i % 1000;
    e.sha256 = sha256Hex(e.source);
    return e;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void benchAppend(const std::filesystem::path& dir) {
    AuditLog log(dir / "append.jsonl", "veltran");
    log.check();
    std::vector<double> ms;
    for (int i = 0; i < kAppends; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!log.append(sampleEvent(i))) {
            std::printf("append failed: %s\n", log.lastError().c_str());
            return;
        }
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("append with fsync (%d)      median %7.2f ms  worst %7.2f ms\n", kAppends,
                median(ms), *std::max_element(ms.begin(), ms.end()));
}

// A chained log written without a sync per line: 100,000 fsyncs would take minutes.
std::filesystem::path bigLog(const std::filesystem::path& dir) {
    const auto file = dir / "big.jsonl";
    std::ofstream out(file, std::ios::binary);
    AuditEvent created;
    created.operation = audit::kCreate;
    std::string line = auditLineText(created, audit::kNoPrevious);
    out << line << '\n';
    for (int i = 0; i < kEvents; ++i) {
        line = auditLineText(sampleEvent(i), sha256Hex(line));
        out << line << '\n';
    }
    return file;
}

void benchVerify(const std::filesystem::path& file) {
    std::vector<double> seconds, cpu;
    AuditVerdict verdict;
    for (int run = 0; run < 3; ++run) {
        std::string error;
        QElapsedTimer clock;
        clock.start();
        const std::clock_t cpuStart = std::clock();
        scanAuditLog(file, verdict, error);
        cpu.push_back(double(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        seconds.push_back(clock.nsecsElapsed() / 1e9);
    }
    // CPU time too: on a shared machine the wall clock mostly measures the others.
    std::printf("verify %d events (%.0f MB)  median %7.3f s  best %7.3f s  CPU median %7.3f s"
                "  target < %.0f s (CPU): %s%s\n",
                kEvents, std::filesystem::file_size(file) / 1e6, median(seconds),
                *std::min_element(seconds.begin(), seconds.end()), median(cpu), kVerifyTarget,
                median(cpu) < kVerifyTarget ? "met" : "MISSED",
                verdict.intact() && verdict.events == kEvents ? "" : "  (the log did not verify)");

    const std::string cli = VT_BIN_DIR "/veltran-cli";
    if (!std::filesystem::exists(cli))
        return;
    QElapsedTimer clock;
    clock.start();
    const int status =
        std::system((cli + " audit verify " + file.string() + " >/dev/null").c_str());
    std::printf("veltran-cli audit verify               %7.3f s  (exit %d)\n",
                clock.nsecsElapsed() / 1e9, WEXITSTATUS(status));
}

} // namespace

int main() {
    TempDir dir;
    benchAppend(dir.path());
    benchVerify(bigLog(dir.path()));
    return 0;
}
