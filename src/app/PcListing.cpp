#include "app/PcListing.h"

#include "app/CommandFlags.h"
#include "core/Dates.h"
#include "core/FileTypes.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "documents/ReportVocabulary.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "link/LinkMonitor.h"

#include <algorithm>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kCsvMasks = {"*_*.csv", "ISE*.csv", "MVR*.csv"};
const std::vector<std::string> kReportMasks = {"*_*.rpt", "ISE*.rpt", "MVR*.rpt"};
constexpr std::size_t kSummaryNameWidth = 12; // an 8.3 name; summaries line up after it
constexpr float kReportFilterFirmware = 2.0f;
constexpr int kTextSequenceName = 1099; // a tray report's name line

std::string upperAscii(std::string s) {
    return text::upper(std::move(s));
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string ua = upperAscii(a), ub = upperAscii(b);
    return ua != ub ? ua < ub : a < b;
}

PaneLine byName(const std::string& name) {
    PaneLine line;
    line.name = line.text = name;
    return line;
}

// ---------------------------------------------------------------- summaries

struct Tags {
    std::string name;
    std::vector<std::string> dates; // any of them marks the date
    enum class Date { Seconds, Text, AsIs } kind = Date::Text;
};

// A tray report's date line in any of the languages titrators write them in.
std::vector<std::string> trayDateTags() {
    std::vector<std::string> tags;
    for (const TrayWords& words : trayVocabulary())
        tags.push_back("\t" + std::string(words.dateLabel));
    return tags;
}

std::optional<Tags> tagsFor(int fileType) {
    switch (fileType) {
    case ftype::kAllMethods:
    case ftype::kStandardMethods:
    case ftype::kUserMethods:
    case ftype::kLogs:
    case ftype::kPictures:
    case 9:
        return Tags{"Name", {"TimeStamp"}, Tags::Date::Seconds};
    case ftype::kReports:
    case ftype::kTrayFolderReports:
        return Tags{"\tMethod Name:", {"\tTime & Date:"}, Tags::Date::Text};
    case ftype::kTrp:
    case ftype::kCrp:
        return Tags{"\tMethod Name:", {"\tTime & Date:"}, Tags::Date::AsIs};
    case ftype::kSequences:
        return Tags{"NAM", {"TSP"}, Tags::Date::Seconds};
    case ftype::kTrayReports: {
        // Without text 1099 a bare TAB would take any line for the name.
        const std::string& sequence = langText(kTextSequenceName);
        return Tags{sequence.empty() ? "" : "\t" + sequence, trayDateTags(), Tags::Date::Text};
    }
    default:
        return std::nullopt;
    }
}

// The date as the pane shows it, or nothing when the text is no date.
bool readDate(const std::string& raw, Tags::Date kind, PaneLine& line) {
    std::optional<DateTime> date;
    switch (kind) {
    case Tags::Date::Seconds:
        if (const auto s = num::parseInteger(raw))
            date = dateFromSeconds(*s);
        break;
    case Tags::Date::Text:
    case Tags::Date::AsIs:
        date = parseDateText(raw);
        break;
    }
    if (!date)
        return false;
    line.date = kind == Tags::Date::AsIs ? raw : formatDateTime(*date);
    line.dateKey = dateSortKey(*date);
    return true;
}

// Where the first of the tags stands in the line, and which it is.
std::optional<std::pair<std::size_t, std::string>> findTag(const std::string& line,
                                                           const std::vector<std::string>& tags) {
    for (const std::string& tag : tags)
        if (const std::size_t at = line.find(tag); at != std::string::npos)
            return std::pair{at, tag};
    return std::nullopt;
}

std::string afterTag(const std::string& line, std::size_t at, const std::string& tag) {
    return text::trim(line.substr(at + tag.size()));
}

// A report's sample: a header line that starts with its label, in any of the
// report languages (a table's column named so is no sample).
std::optional<std::string> sampleOf(const std::string& fileLine) {
    const std::size_t start = fileLine.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::nullopt;
    for (std::string_view label : summaryLabels()[kSampleField]) {
        if (label == kNoLabel || fileLine.compare(start, label.size(), label) != 0)
            continue;
        const std::string rest = text::trim(fileLine.substr(start + label.size()));
        return text::trim(rest.substr(rest.rfind(':', 0) == 0 ? 1 : 0));
    }
    return std::nullopt;
}

// The date and the name the file carries (the first two tag finds) and, for a
// report, its sample, into the line's columns. Returns the name.
std::string readSummary(PaneLine& line, const std::vector<std::string>& fileLines, const Tags& tags,
                        bool report) {
    std::string method;
    std::optional<std::string> sample;
    int finds = 0;
    for (const std::string& fileLine : fileLines) {
        if (finds >= 2 && (!report || sample))
            break;
        if (finds < 2) {
            if (const auto date = findTag(fileLine, tags.dates)) {
                if (!readDate(afterTag(fileLine, date->first, date->second), tags.kind, line)) {
                    line.date.clear();
                    line.dateKey = PaneLine::kNoDate;
                }
                ++finds;
            }
            const std::size_t at = tags.name.empty() ? std::string::npos : fileLine.find(tags.name);
            if (at != std::string::npos) {
                method = afterTag(fileLine, at, tags.name);
                ++finds;
            }
        }
        if (report && !sample)
            sample = sampleOf(fileLine);
    }
    const std::string sampleName = sample.value_or("");
    line.description =
        sampleName.empty() || method.empty() ? sampleName + method : sampleName + " / " + method;
    return method;
}

// The one-line summary: the name alone when the file carries no date.
std::string summaryText(const PaneLine& line, const std::string& method) {
    if (line.date.empty())
        return line.name;
    std::string shown = line.name;
    if (shown.size() < kSummaryNameWidth)
        shown.resize(kSummaryNameWidth, ' ');
    return shown + " " + line.date + " " + method;
}

// The file's lines; its size is the content's. False when it cannot be read.
bool readLines(const fs::path& path, PaneLine& line, std::vector<std::string>& fileLines) {
    std::string content, unreadable;
    if (!readRegularFile(path, kMaxDocumentBytes, content, unreadable))
        return false;
    line.size = static_cast<std::int64_t>(content.size());
    fileLines = text::splitLines(content);
    return true;
}

// What the file system says: the size where the content was not read, the
// modification time (the PC's wall clock) where the file carries no date.
void addFileFacts(PaneLine& line, const fs::path& path) {
    const FileFacts facts = pcFileFacts(path);
    if (line.size == PaneLine::kNoSize && facts.size != -1)
        line.size = facts.size;
    if (line.dateKey != PaneLine::kNoDate || !facts.date)
        return;
    line.date = formatDateTime(*facts.date);
    line.dateKey = dateSortKey(*facts.date);
}

// ---------------------------------------------------------------- filters

bool anyLineContains(const std::vector<std::string>& fileLines, const std::string& what) {
    return std::any_of(fileLines.begin(), fileLines.end(),
                       [&](const std::string& l) { return l.find(what) != std::string::npos; });
}

// Reports are listed for the model that wrote them.
bool reportSuitsTitrator(const std::string& name, const std::vector<std::string>& fileLines,
                         const TitratorIdentity& t) {
    const std::string& current = modelName(t.typeCode);
    if (t.firmwareVersion < kReportFilterFirmware && t.titType != 1) {
        // Early firmware of the first two models: their reports are another model's,
        // except those of the current model itself.
        for (int code : {2, 1})
            if (modelName(code) != current && anyLineContains(fileLines, modelName(code)))
                return false;
    } else if (t.firmwareVersion < kReportFilterFirmware && t.seriesCode == SeriesCode::QX50x) {
        const std::string upper = upperAscii(name);
        if (upper.find("DR") == std::string::npos && upper.find("KF") == std::string::npos)
            return false;
    }
    return anyLineContains(fileLines, current);
}

// ---------------------------------------------------------------- listings

// ShowOtherFilesOnPc: names only, unfiltered; a kind with a summary shows it
// in its columns.
PcListing otherFiles(const fs::path& folder, const std::vector<std::string>& masks,
                     const std::optional<Tags>& tags = std::nullopt, bool report = false) {
    PcListing out;
    for (const std::string& name : matchingFiles(folder, masks, out.error)) {
        PaneLine line = byName(name);
        std::vector<std::string> fileLines;
        if (tags && readLines(folder / name, line, fileLines))
            readSummary(line, fileLines, *tags, report);
        addFileFacts(line, folder / name);
        out.lines.push_back(std::move(line));
    }
    return out;
}

PcListing offlineListing(const PcListingRequest& r) {
    const bool csv = testFlag8(r.paneFlags, pane::kCsvFiles);
    const std::optional<Tags> tags = csv ? std::nullopt : tagsFor(r.fileType);
    if (r.fileType == ftype::kReports || r.fileType == ftype::kTrayFolderReports)
        return otherFiles(r.folder, csv ? kCsvMasks : kReportMasks, tags, true);
    if (r.fileType == ftype::kTrayReports)
        return otherFiles(r.folder, {csv ? "tray*.csv" : "tray*.rpt"}, tags);
    return {};
}

bool verifiedAsMethod(int fileType) {
    return ftype::isMethod(fileType) || fileType == ftype::kLogs || fileType == ftype::kPictures ||
           fileType == 9;
}

PcListing showPcFiles(const PcListingRequest& r, const std::string& mask) {
    if (!r.titrator)
        return offlineListing(r);
    if (testFlag8(r.paneFlags, pane::kCsvFiles)) {
        if (r.fileType == ftype::kTrayReports)
            return otherFiles(r.folder, {"tray*.csv"});
        if (r.fileType == ftype::kTrayFolderReports)
            return otherFiles(r.folder, kCsvMasks);
    }
    PcListing out;
    const std::vector<std::string> names = matchingFiles(r.folder, {mask}, out.error);
    const std::optional<Tags> tags = tagsFor(r.fileType);
    const bool report = ftype::isReport(r.fileType);
    for (const std::string& name : names) {
        const fs::path path = r.folder / name;
        if (verifiedAsMethod(r.fileType)) {
            std::int32_t code = -1;
            std::string error;
            if (!sumval::verifyMethodFile(path, r.titrator->titType, code, error)) {
                out.error = error;
                break; // the library cannot be used: no method can be checked
            }
            if (code != sumval::kValid) {
                ++out.hidden;
                continue;
            }
        }
        if (report && modelName(r.titrator->typeCode).empty()) {
            ++out.hidden; // no model name to find in any report
            continue;
        }
        PaneLine line = byName(name);
        std::vector<std::string> fileLines;
        if (readLines(path, line, fileLines)) {
            if (report && !reportSuitsTitrator(name, fileLines, *r.titrator)) {
                ++out.hidden;
                continue;
            }
            if (tags)
                line.text = summaryText(line, readSummary(line, fileLines, *tags, report));
        } // unreadable or too large: by its name, unfiltered
        addFileFacts(line, path);
        out.lines.push_back(std::move(line));
    }
    return out;
}

} // namespace

std::vector<std::string> matchingFiles(const fs::path& folder,
                                       const std::vector<std::string>& masks, std::string& error) {
    std::set<std::string> seen;
    std::vector<std::string> out;
    std::error_code ec;
    for (const std::string& mask : masks) {
        std::vector<std::string> found;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            std::error_code typeError;
            if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError))
                continue;
            if (maskMatches(mask, name) && seen.insert(name).second)
                found.push_back(name);
        }
        if (ec) {
            error = folder.string() + ": " + ec.message();
            return {};
        }
        std::sort(found.begin(), found.end(), lessIgnoringCase);
        out.insert(out.end(), found.begin(), found.end());
    }
    return out;
}

PcListing listPcPane(const PcListingRequest& r) {
    if (testFlag8(r.paneFlags, pane::kCsvFiles) && r.titrator &&
        (r.paneFlags & pane::kCategory) != kTrayReports)
        return otherFiles(r.folder, kCsvMasks);
    if (testFlag8(r.paneFlags, pane::kAllFiles))
        return otherFiles(r.folder, {"*.*"});
    int fileType = r.fileType;
    // Inside a titrator tray folder the PC pane shows the tray folders themselves.
    const bool titratorInTrayOnly =
        testFlag8(r.paneFlags, pane::kTitratorInTray) && !testFlag8(r.paneFlags, pane::kPcInTray);
    if (titratorInTrayOnly && fileType == ftype::kTrayFolderReports)
        fileType = ftype::kTrayReports;
    PcListingRequest adjusted = r;
    adjusted.fileType = fileType;
    const int titType = r.titrator ? r.titrator->titType : 3;
    const bool restricted = r.titrator && devfiles::restrictedMethodMasks(*r.titrator);
    return showPcFiles(adjusted, fileMask(fileType, titType, restricted));
}
