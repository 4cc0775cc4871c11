// Report-to-CSV export: one report with 100,000 data rows (target under 1 s) and
// 500 small reports with a summary (target under 2 s). Prints figures; never fails on time.
#include "QuietExportHost.h"
#include "TempDir.h"
#include "documents/ExportRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

constexpr int kLargeRows = 100000;
constexpr int kSmallReports = 500;
constexpr int kSmallRows = 35;
constexpr int kRuns = 3;

std::string titrationReport(int id, int rows) {
    char line[128];
    std::string text = "\tQX502 Potentiometric Titrator\r\n\tTitration Report\r\n";
    std::snprintf(line, sizeof line, "\tReport ID: %05d\r\n\tMethod Name: Total acidity wine\r\n",
                  id);
    text += line;
    std::snprintf(line, sizeof line, "\tTime & Date: %02d:%02d Mar 17, 2025\r\n", id / 60 % 24,
                  id % 60);
    text += line;
    text += "\tSample Name: Red wine\r\n\tSample Size: 10.000 mL\r\n"
            "\tEnd Point Volume: 9.695 mL\r\n\tResult: 7.29 g/L\r\n\r\n"
            "\t Nr  Volume[mL]      pH      mV\r\n";
    for (int i = 1; i <= rows; ++i) {
        std::snprintf(line, sizeof line, "\t%6d  %10.3f  %6.3f  %6.1f\r\n", i, i * 0.013,
                      2.2 + (i % 900) * 0.01, 284.0 - (i % 900) * 0.5);
        text += line;
    }
    return text + "\r\n\tTotal Volume: 9.699 mL\r\n";
}

void writeFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, std::vector<double> times, double rows, double target) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-34s median %7.3f s  best %7.3f s  %10.0f rows/s  target < %.0f s: %s\n", what,
                median, times.front(), rows / median, target, median < target ? "met" : "MISSED");
}

void smallReports(const fs::path& folder, QuietExportHost& host, const char* what) {
    fs::create_directories(folder);
    ExportRequest request;
    request.destination = folder;
    for (int i = 0; i < kSmallReports; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "TI_%05d.RPT", i + 2);
        writeFile(folder / name, titrationReport(i + 2, kSmallRows));
        request.entries.push_back({name, {}});
    }
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        request.summaryName = "summary_" + std::to_string(run) + ".csv";
        times.push_back(secondsOf([&] { exportSelectedReports(request, host); }));
    }
    report(what, times, kSmallReports * kSmallRows, 2.0);
}

} // namespace

int main() {
    TempDir dir;
    QuietExportHost host;

    // One large report, through the whole command (read, convert, atomic write).
    writeFile(dir.path() / "TI_00001.RPT", titrationReport(1, kLargeRows));
    std::vector<double> large;
    for (int run = 0; run < kRuns; ++run) {
        ExportRequest request;
        request.destination = dir.path();
        request.entries = {{"TI_00001.RPT", {}}};
        large.push_back(secondsOf([&] { exportSelectedReports(request, host); }));
    }
    report("1 report x 100000 rows", large, kLargeRows, 1.0);

    // 500 small reports and their summary, on the temporary folder's disk and, when
    // there is one, in memory: the difference is the disk's cost of making each
    // replaced file durable before it is renamed into place.
    smallReports(dir.path() / "small", host, "500 reports x 35 rows + summary");
    const fs::path shm = "/dev/shm/veltran-bench-export";
    std::error_code ec;
    if (fs::create_directory(shm, ec)) {
        smallReports(shm, host, "the same in memory (/dev/shm)");
        fs::remove_all(shm, ec);
    }
    if (!host.errors.empty())
        std::printf("errors: %zu\n", host.errors.size());
    return host.errors.empty() ? 0 : 1;
}
