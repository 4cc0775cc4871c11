// The PC pane's listing of a large folder: each method verified by the checksum
// library and summarised, each report filtered for the model and summarised.
// Prints figures; never fails on time.
#include "TempDir.h"
#include "app/CommandFlags.h"
#include "app/PcListing.h"
#include "link/LinkMonitor.h"
#include "seal.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFiles = 5000;
constexpr double kTargetSeconds = 1.0;

std::string name(const char* prefix, int i, const char* ext) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%04d%s", prefix, i % 10000, ext);
    return buf;
}

void measure(const char* what, const PcListingRequest& request) {
    listPcPane(request); // warm the file cache and the library binding
    QElapsedTimer clock;
    clock.start();
    const PcListing listing = listPcPane(request);
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("%-8s %5zu of %d listed  %.3f s  %.1f us a file  (target < %.1f s)%s\n", what,
                listing.lines.size(), kFiles, seconds, seconds * 1e6 / kFiles, kTargetSeconds,
                listing.error.empty() ? "" : ("  error: " + listing.error).c_str());
}

} // namespace

int main() {
    ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 0);
    TempDir methods, reports;
    const std::string body =
        "Rev 1.2\r\nMethType 32\r\nDosingType 1\r\nLinearVol 0.100\r\nEP_pH 7.000\r\n";
    for (int i = 0; i < kFiles; ++i) {
        methods.write(name("QX", i + 1, "AV.MTD"),
                      sumval::sealed("Name Method " + std::to_string(i) +
                                     "\r\nTimeStamp 1707730200\r\n" + body));
        reports.write(name("TI_0", i, ".RPT"), "QX502 S/N 0412\r\n\tMethod Name: Total acidity\r\n"
                                               "\tTime & Date: 14:30 Jan 31, 2024\r\n" +
                                                   std::string(2000, 'r') + "\r\n");
    }
    TitratorIdentity t;
    t.typeCode = 2;
    t.titType = 1;
    t.firmwareVersion = 3.0f;
    t.seriesCode = SeriesCode::QX50x;
    measure("methods", {methods.path(), 2, kStandardMethods, &t});
    measure("reports", {reports.path(), 4, kReports, &t});
}
