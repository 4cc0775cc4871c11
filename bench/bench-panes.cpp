// The PC pane's listing of a large folder into its table: each method verified
// by the checksum library and summarised, each report filtered for the model
// and summarised, then the lines shown in the pane's table. Prints figures
// (wall clock and this process's CPU time, which a loaded machine does not
// inflate); never fails on time.
#include "TempDir.h"
#include "app/CommandFlags.h"
#include "app/PcListing.h"
#include "app/ui/PaneTree.h"
#include "link/LinkMonitor.h"
#include "seal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kFiles = 5000;
constexpr double kTargetSeconds = 0.2;

std::string name(const char* prefix, int i, const char* ext) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%04d%s", prefix, i % 10000, ext);
    return buf;
}

double cpuSeconds() {
    std::timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Clock {
    QElapsedTimer wall;
    double cpu = cpuSeconds();
    Clock() { wall.start(); }
    std::pair<double, double> lap() const {
        return {wall.nsecsElapsed() / 1e9, cpuSeconds() - cpu};
    }
};

void measure(const char* what, const PcListingRequest& request, PaneTree& table) {
    table.showLines(listPcPane(request).lines); // warm the file cache and the library binding
    table.showLines({});
    QApplication::processEvents();
    const Clock clock;
    PcListing listing = listPcPane(request);
    const auto [listWall, listCpu] = clock.lap();
    const std::size_t listed = listing.lines.size();
    table.showLines(std::move(listing.lines));
    QApplication::processEvents(); // laid out and painted
    const auto [wall, cpu] = clock.lap();
    std::printf("%-8s %5zu of %d  listing %.3f s (cpu %.3f)  into the table %.3f s (cpu %.3f)"
                "  %.1f us a file  (target < %.1f s)%s\n",
                what, listed, kFiles, listWall, listCpu, wall, cpu, wall * 1e6 / kFiles,
                kTargetSeconds, listing.error.empty() ? "" : ("  error: " + listing.error).c_str());
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 0);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    TempDir methods, reports;
    const std::string body =
        "Rev 1.2\r\nMethType 32\r\nDosingType 1\r\nLinearVol 0.100\r\nEP_pH 7.000\r\n";
    for (int i = 0; i < kFiles; ++i) {
        methods.write(name("QX", i + 1, "AV.MTD"),
                      sumval::sealed("Name Method " + std::to_string(i) +
                                     "\r\nTimeStamp 1707730200\r\n" + body));
        reports.write(name("TI_0", i, ".RPT"), "QX502 S/N 0412\r\n\tMethod Name: Total acidity\r\n"
                                               "\tTime & Date: 14:30 Jan 31, 2024\r\n"
                                               "\tSample Name: Lot " +
                                                   std::to_string(i) + "\r\n" +
                                                   std::string(2000, 'r') + "\r\n");
    }
    TitratorIdentity t;
    t.typeCode = 2;
    t.titType = 1;
    t.firmwareVersion = 3.0f;
    t.seriesCode = SeriesCode::QX50x;
    PaneTree table(nullptr);
    table.resize(400, 500);
    table.show();
    measure("methods", {methods.path(), 2, kStandardMethods, &t}, table);
    measure("reports", {reports.path(), 4, kReports, &t}, table);
}
