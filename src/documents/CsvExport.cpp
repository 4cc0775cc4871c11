#include "documents/CsvExport.h"

#include "core/AtomicFile.h"
#include "core/Host.h"
#include "core/RegularFile.h"
#include "core/Text.h"
#include "documents/CsvCell.h"
#include "documents/ReportDate.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNotFound = "----";

bool before(const DateTime& a, const DateTime& b) {
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) <
           std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

} // namespace

CsvExport::CsvExport(const ExportOptions& options, Host& host) : options_(options), host_(host) {
    const DateTime now = localNow();
    today_ = {now.year, now.month, now.day, 0, 0, 0};
}

void CsvExport::startSummary(int language) {
    summaryOn_ = true;
    header_.clear();
    const auto labels = summaryHeader(language);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (i > 0)
            header_ += options_.listSeparator;
        csv::appendCell(header_, labels[i], "", options_.listSeparator);
    }
}

ExportFault CsvExport::toCsv(const fs::path& reportPath, const fs::path& csvPath) {
    ReportKind kind;
    if (ExportFault fault = reportKindOf(reportPath.filename().string(), kind))
        return fault;
    std::string bytes, error;
    if (!readRegularFile(reportPath, kMaxDocumentBytes, bytes, error))
        return exporterr::fileAccess(error);
    return toCsv(bytes, reportPath.filename().string(), csvPath);
}

ExportFault CsvExport::toCsv(std::string_view bytes, std::string_view reportName,
                             const fs::path& csvPath) {
    ConvertedReport report;
    // The tray table changes only when the whole report converted.
    TrayTable tray = tray_;
    if (ExportFault fault = convertReport(bytes, reportName, options_, summaryOn_, tray, report))
        return fault;
    std::string error;
    if (!writeFileAtomically(csvPath, report.csv, &error, AtomicFile::Durability::Regenerable))
        return exporterr::fileAccess(csvPath.string() + ": " + error);
    if (report.type == ReportType::Tray) {
        tray_ = std::move(tray);
        trayFlag_ = summaryOn_;
    }
    if (summaryOn_ && report.addsSummaryLine())
        addSummaryLine(report.fields);
    else if (summaryOn_)
        leftOut_.push_back({std::string(reportName), report.type, report.logging});
    return std::nullopt;
}

void CsvExport::addSummaryLine(const SummaryFields& given) {
    SummaryFields f = given;
    if (options_.quoteChar.empty())
        f[kDateField].quote = "\"";
    if (trayFlag_ && f[kSampleField].text == kNotFound && f[kReportIdField].text != kNotFound)
        for (TrayEntry& e : tray_)
            if (!e.used && e.reportId == f[kReportIdField].text) {
                f[kSampleField] = {e.sampleName, options_.quoteChar};
                e.used = true;
                break;
            }
    Line line;
    for (const SummaryCell& cell : f) {
        if (&cell != &f[0])
            line.text += options_.listSeparator;
        csv::appendCell(line.text, cell.text, cell.quote, options_.listSeparator);
    }
    const DateKey key = f[kDateField].text == kNotFound
                            ? DateKey{today_, std::nullopt}
                            : reportDateKey("\"" + f[kDateField].text + "\"", today_);
    if (key.error)
        showErrorInfo(host_, key.error->number, key.error->description, key.error->source);
    line.key = key.key;
    lines_.push_back(std::move(line));
}

std::string CsvExport::summaryText() const {
    std::vector<const Line*> order;
    for (const Line& l : lines_)
        order.push_back(&l);
    if (options_.orderBy == 0)
        std::stable_sort(order.begin(), order.end(),
                         [](const Line* a, const Line* b) { return before(a->key, b->key); });
    else if (options_.orderBy == 1)
        std::stable_sort(order.begin(), order.end(),
                         [](const Line* a, const Line* b) { return before(b->key, a->key); });
    std::string out = header_ + "\r\n";
    int n = 0;
    for (const Line* l : order) {
        csv::appendCell(out, std::to_string(++n), options_.quoteChar, options_.listSeparator);
        out += l->text;
        out += "\r\n";
    }
    return out;
}

ExportFault CsvExport::writeSummary(const fs::path& path) const {
    std::string error;
    if (!writeFileAtomically(path, summaryText(), &error, AtomicFile::Durability::Regenerable))
        return exporterr::fileAccess(path.string() + ": " + error);
    return std::nullopt;
}

DateTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string summaryFileName(const DateTime& t) {
    char name[64];
    std::snprintf(name, sizeof name, "summary_%04d%02d%02d%02d%02d%02d.csv", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return name;
}

fs::path findInFolder(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec))
        return folder / name;
    const std::string wanted = text::upper(name);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (text::upper(it->path().filename().string()) == wanted)
            return it->path();
    return folder / name;
}

fs::path freeFileName(const fs::path& folder, const std::string& name) {
    const fs::path first = findInFolder(folder, name);
    std::error_code ec;
    if (!fs::exists(first, ec))
        return folder / name;
    const std::string stem = fs::path(name).stem().string();
    const std::string ext = fs::path(name).extension().string();
    for (int n = 2;; ++n) {
        const std::string candidate = stem + "_" + std::to_string(n) + ext;
        if (!fs::exists(findInFolder(folder, candidate), ec))
            return folder / candidate;
    }
}
