#include "app/PcListing.h"

#include "app/CommandFlags.h"
#include "core/Dates.h"
#include "core/FileTypes.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "files/TitratorFiles.h"
#include "link/LinkMonitor.h"

#include <algorithm>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kCsvMasks = {"*_*.csv", "ISE*.csv", "MVR*.csv"};
const std::vector<std::string> kReportMasks = {"*_*.rpt", "ISE*.rpt", "MVR*.rpt"};
constexpr std::size_t kNameColumn = 12; // an 8.3 name; summaries line up after it
constexpr float kReportFilterFirmware = 2.0f;

std::string upperAscii(std::string s) {
    return text::upper(std::move(s));
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const std::string ua = upperAscii(a), ub = upperAscii(b);
    return ua != ub ? ua < ub : a < b;
}

std::vector<PaneLine> namesOnly(const std::vector<std::string>& names) {
    std::vector<PaneLine> lines;
    for (const std::string& n : names)
        lines.push_back({n, n});
    return lines;
}

// ---------------------------------------------------------------- summaries

struct Tags {
    std::string name, date;
    enum class Date { Seconds, Text, AsIs } kind = Date::Text;
};

std::optional<Tags> tagsFor(int fileType) {
    switch (fileType) {
    case ftype::kAllMethods:
    case ftype::kStandardMethods:
    case ftype::kUserMethods:
    case ftype::kLogs:
    case ftype::kPictures:
    case 9:
        return Tags{"Name", "TimeStamp", Tags::Date::Seconds};
    case ftype::kReports:
    case ftype::kTrayFolderReports:
        return Tags{"\tMethod Name:", "\tTime & Date:", Tags::Date::Text};
    case ftype::kTrp:
    case ftype::kCrp:
        return Tags{"\tMethod Name:", "\tTime & Date:", Tags::Date::AsIs};
    case ftype::kSequences:
        return Tags{"NAM", "TSP", Tags::Date::Seconds};
    case ftype::kTrayReports:
        return Tags{"\t" + langText(1099), "\t" + langText(1100), Tags::Date::Text};
    default:
        return std::nullopt;
    }
}

// The date as the pane shows it, or nothing when the text is no date.
std::optional<std::string> shownDate(const std::string& raw, Tags::Date kind) {
    switch (kind) {
    case Tags::Date::Seconds:
        if (const auto s = num::parseInteger(raw))
            return secondsToDate(*s);
        return std::nullopt;
    case Tags::Date::Text:
        if (const auto d = parseDateText(raw))
            return formatDateTime(*d);
        return std::nullopt;
    case Tags::Date::AsIs:
        if (isDateText(raw))
            return raw;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string afterTag(const std::string& line, std::size_t at, const std::string& tag) {
    return text::trim(line.substr(at + tag.size()));
}

std::string summaryLine(const std::string& name, const std::vector<std::string>& fileLines,
                        const Tags& tags) {
    std::optional<std::string> date;
    std::string method;
    int finds = 0;
    for (const std::string& line : fileLines) {
        if (finds >= 2)
            break;
        if (const std::size_t at = line.find(tags.date); at != std::string::npos) {
            date = shownDate(afterTag(line, at, tags.date), tags.kind);
            ++finds;
        }
        if (const std::size_t at = line.find(tags.name); at != std::string::npos) {
            method = afterTag(line, at, tags.name);
            ++finds;
        }
    }
    if (!date)
        return name;
    std::string shown = name;
    if (shown.size() < kNameColumn)
        shown.resize(kNameColumn, ' ');
    return shown + " " + *date + " " + method;
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

PcListing otherFiles(const fs::path& folder, const std::vector<std::string>& masks) {
    PcListing out;
    out.lines = namesOnly(matchingFiles(folder, masks, out.error));
    return out;
}

PcListing offlineListing(const PcListingRequest& r) {
    const bool csv = testFlag8(r.paneFlags, pane::kCsvFiles);
    if (r.fileType == ftype::kReports || r.fileType == ftype::kTrayFolderReports)
        return otherFiles(r.folder, csv ? kCsvMasks : kReportMasks);
    if (r.fileType == ftype::kTrayReports)
        return otherFiles(r.folder, {csv ? "tray*.csv" : "tray*.rpt"});
    return {};
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
    for (const std::string& name : names) {
        const fs::path path = r.folder / name;
        if (ftype::isMethod(r.fileType) || r.fileType == ftype::kLogs ||
            r.fileType == ftype::kPictures || r.fileType == 9) {
            std::int32_t code = -1;
            std::string error;
            if (!sumval::verifyMethodFile(path, r.titrator->titType, code, error)) {
                out.error = error;
                break; // the library cannot be used: no method can be checked
            }
            if (code != sumval::kValid)
                continue;
        }
        const bool report = ftype::isReport(r.fileType);
        if (report && modelName(r.titrator->typeCode).empty())
            continue; // no model name to find in any report
        std::string content, unreadable;
        if (!readRegularFile(path, kMaxDocumentBytes, content, unreadable)) {
            out.lines.push_back({name, name}); // unreadable or too large: by its name, unfiltered
            continue;
        }
        const std::vector<std::string> fileLines = text::splitLines(content);
        if (report && !reportSuitsTitrator(name, fileLines, *r.titrator))
            continue;
        out.lines.push_back({name, tags ? summaryLine(name, fileLines, *tags) : name});
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
