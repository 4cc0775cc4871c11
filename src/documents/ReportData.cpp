#include "documents/ReportData.h"

#include "core/Numbers.h"
#include "core/Text.h"
#include "documents/CsvCell.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace {

constexpr std::string_view kTempComp = "Temp.Comp.";
constexpr std::string_view kNoValue = "-----";
constexpr std::string_view kSeconds = "s";
constexpr std::array<std::string_view, 3> kNotAfterLabel{"Unid. ", "Ud.", "Del "};
constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kDateWords24 = 4; // "07:09 Mar 24, 2025"
constexpr std::size_t kDateWords12 = 5; // "01:42 PM Apr 09, 2025"
constexpr int kTimeColumn = 21;
constexpr int kMaxEndPoints = 99;
constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != npos;
}

// True when the match of `name` at `at` lies inside a longer column name.
bool insideLongerName(std::string_view line, std::string_view name, std::size_t at) {
    for (const auto& row : columnNames())
        for (std::string_view longer : row) {
            if (longer.size() <= name.size())
                continue;
            for (std::size_t o = longer.find(name); o != npos; o = longer.find(name, o + 1))
                if (at >= o && line.substr(at - o, longer.size()) == longer)
                    return true;
        }
    return false;
}

// The first position of a column name at or after `from` that is not part of a longer
// one ("mol/L" inside "mmol/L", "mV" inside "mV rel").
std::size_t findColumnName(std::string_view line, std::string_view name, std::size_t from) {
    std::size_t at = line.find(name, from);
    while (at != npos && insideLongerName(line, name, at))
        at = line.find(name, at + 1);
    return at;
}

bool isTimeName(std::string_view word) {
    const auto& names = columnNames()[kTimeColumn];
    return std::find(names.begin(), names.end(), word) != names.end();
}

// "Volume[mL]" is the quantity "Volume" in "mL".
ReportColumn columnOf(std::string_view cell) {
    ReportColumn c{std::string(cell), std::string(cell), ""};
    if (const std::size_t open = cell.find('['); open != npos && open > 0) {
        c.quantity = std::string(cell.substr(0, open));
        std::string_view unit = cell.substr(open + 1);
        if (!unit.empty() && unit.back() == ']')
            unit.remove_suffix(1);
        c.unit = std::string(unit);
    } else if (isTimeName(cell)) {
        c.unit = kSeconds;
    }
    return c;
}

// The number after an end-point label's number and suffix, or nothing.
std::optional<double> volumeAfter(std::string_view text) {
    const auto parts = csv::words(text);
    return parts.empty() ? std::nullopt : num::parseDouble(parts[0]);
}

class Reader {
public:
    Reader(const ReportKind& kind, ReportData& out)
        : kind_(kind), out_(out), isTray_(kind.type == ReportType::Tray) {}

    ExportFault run(std::string_view bytes);

private:
    void headerLine(std::string_view text);
    ExportFault columnHeader(std::string_view text);
    void dataRow(std::string_view text);
    void trayRow(std::string_view text);
    void searchLabels(std::string_view text);
    void searchEndPoints(std::string_view text);
    void trayDateLine(std::string_view text);

    const ReportKind& kind_;
    ReportData& out_;
    const bool isTray_;

    // Tray lines between the first dashes and the table: dropped once the table starts.
    std::vector<std::string_view> parked_;
    bool parking_ = false;
    bool afterBlank_ = false;
    bool inTable_ = false;
    bool tableDone_ = false;
    bool trayMarkerSeen_ = false;
    std::map<int, double> endPoints_;
};

ExportFault Reader::run(std::string_view bytes) {
    for (std::string_view line : csv::lines(bytes)) {
        const bool tab = !line.empty() && line.front() == '\t';
        const std::string_view text = tab ? line.substr(1) : line;
        const bool inside = inTable_ && !tableDone_;
        if (!tab) {
            tableDone_ = tableDone_ || inside;
            headerLine(line);
        } else if (inside) {
            isTray_ ? trayRow(text) : dataRow(text);
        } else if (afterBlank_ && !inTable_ && contains(text, kind_.marker)) {
            if (isTray_ && !trayMarkerSeen_) {
                trayMarkerSeen_ = true;
                parking_ = true;
                parked_.push_back(text);
            } else if (ExportFault fault = columnHeader(text)) {
                return fault;
            }
        } else {
            headerLine(text);
        }
        // A tray report looks for its table in every line after the first empty one.
        if (line.empty() && !(inTable_ && !tableDone_))
            afterBlank_ = true;
        else if (!line.empty() && !isTray_)
            afterBlank_ = false;
    }
    if (parking_) // dashes without a table: the lines stay header lines
        for (std::string_view text : parked_)
            out_.headerLines.emplace_back(text);
    for (const auto& [number, volume] : endPoints_)
        out_.endPoints.push_back({number, volume});
    return std::nullopt;
}

void Reader::headerLine(std::string_view text) {
    if (isTray_) {
        trayDateLine(text);
    } else if (!text.empty()) {
        searchLabels(text);
        searchEndPoints(text);
    }
    if (parking_)
        parked_.push_back(text);
    else
        out_.headerLines.emplace_back(text);
}

void Reader::searchLabels(std::string_view text) {
    const auto& labels = summaryLabels();
    for (int v = 0; v < kLabelVariants; ++v)
        for (int f = 0; f < kSummaryFields; ++f) {
            const std::string_view label = labels[f][v];
            const std::size_t at = text.find(label);
            if (label == kNoLabel || at == npos)
                continue;
            bool excluded = false;
            for (std::string_view after : kNotAfterLabel)
                excluded = excluded || contains(text, std::string(label) + std::string(after));
            if (excluded)
                continue;
            // The value starts at the second character after the label (after its ":").
            const std::size_t start = at + label.size() + 1;
            std::string value =
                start < text.size() ? text::trim(std::string(text.substr(start))) : std::string();
            if (!value.empty())
                out_.labels.push_back({f, std::move(value)});
        }
}

// "End Point Volume: 0.979 mL", "End Point 2 Volume: 4.011 mL", and the same in the
// other report languages.
void Reader::searchEndPoints(std::string_view text) {
    for (const EndPointLabel& label : endPointLabels())
        for (std::size_t at = text.find(label.before); at != npos;
             at = text.find(label.before, at + 1)) {
            std::string_view rest = text.substr(at + label.before.size());
            int number = 1;
            if (rest.size() > 1 && rest[0] == ' ' && rest[1] >= '0' && rest[1] <= '9') {
                const std::size_t digits = rest.find_first_not_of("0123456789", 1);
                number =
                    static_cast<int>(num::parseInteger(rest.substr(1, digits - 1)).value_or(0));
                rest = rest.substr(std::min(digits, rest.size()));
            }
            if (number < 1 || number > kMaxEndPoints ||
                rest.substr(0, label.after.size()) != label.after)
                continue;
            if (const auto volume = volumeAfter(rest.substr(label.after.size())))
                endPoints_[number] = *volume;
        }
}

void Reader::trayDateLine(std::string_view text) {
    const auto& vocabulary = trayVocabulary();
    for (int lang = 0; lang < kTrayLanguages; ++lang)
        if (contains(text, vocabulary[lang].dateLabel)) {
            out_.trayLanguage = lang;
            out_.twelveHour = contains(text, "AM") || contains(text, "PM");
        }
}

ExportFault Reader::columnHeader(std::string_view text) {
    inTable_ = true;
    out_.tableFound = true;
    parking_ = false;
    parked_.clear();
    if (isTray_)
        return std::nullopt;
    const ColumnNames& names = columnNames();
    std::array<std::size_t, kColumnNames> pos;
    pos.fill(npos);
    for (int lang = 0; lang < kReportLanguages; ++lang)
        for (int k = 1; k < kColumnNames; ++k) {
            if (pos[k] != npos)
                continue;
            const std::size_t from =
                k == kMvColumn && pos[kMvRelColumn] != npos ? pos[kMvRelColumn] + 1 : 0;
            pos[k] = findColumnName(text, names[k][lang], from);
        }
    for (int k = 1; k + 1 < kColumnNames; ++k)
        if (pos[k] != npos && pos[k + 1] != npos && pos[k] > pos[k + 1])
            return exporterr::column();

    const auto parts = csv::words(text);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string_view cell = parts[i];
        if (cell == "mV" && i + 1 < parts.size() && parts[i + 1] == "rel") {
            cell = "mV rel";
            ++i;
        }
        out_.columns.push_back(columnOf(cell));
        if (pos[kTempColumn] != npos && out_.tempCompColumn == npos && contains(cell, "Temp.[")) {
            out_.columns.push_back({std::string(kTempComp), std::string(kTempComp), ""});
            out_.tempCompColumn = out_.columns.size() - 1;
        }
    }
    return std::nullopt;
}

void Reader::dataRow(std::string_view text) {
    out_.rowText.emplace_back(text);
    const auto cells = rowCells(out_, text);
    for (std::size_t c = 0; c < out_.columns.size(); ++c)
        out_.values.push_back(c < cells.size() ? cellValue(cells[c]) : kNoNumber);
}

void Reader::trayRow(std::string_view text) {
    const auto t = csv::words(text);
    const std::size_t n = t.size();
    const std::size_t dateWords = out_.twelveHour ? kDateWords12 : kDateWords24;
    // A beaker that did not finish shows a failure word as its result and may lack
    // the cells after it; the sample name runs up to that word.
    std::size_t result = npos;
    const auto& failures = trayVocabulary()[out_.trayLanguage].failures;
    for (std::size_t i = 2; i < n && result == npos; ++i)
        if (t[i] == failures[0] || t[i] == failures[1])
            result = i;
    const bool failed = result != npos;
    if (result == npos && n >= 5 + dateWords)
        result = n - dateWords - 3;
    TrayRow row;
    if (result == npos) {
        row.cells.assign(t.begin(), t.end());
        out_.trayRows.push_back(std::move(row));
        return;
    }
    const std::size_t dateStart = std::max(result + 1, n >= dateWords ? n - dateWords : 0);
    const std::string_view unit = result + 1 < dateStart ? t[result + 1] : std::string_view();
    const std::string_view id = result + 2 < dateStart ? t[result + 2] : std::string_view();
    row.cells = {std::string(t[0]),      csv::joinWords(t, 1, result),
                 std::string(t[result]), std::string(unit),
                 std::string(id),        csv::joinWords(t, dateStart, n)};
    row.beaker = true;
    row.failed = failed;
    out_.trayRows.push_back(std::move(row));
}

} // namespace

std::optional<std::size_t> ReportData::column(std::string_view name) const {
    const std::string wanted = text::lower(std::string(name));
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (text::lower(columns[c].name) == wanted || text::lower(columns[c].quantity) == wanted)
            return c;
    return std::nullopt;
}

std::string ReportData::label(int field) const {
    for (auto it = labels.rbegin(); it != labels.rend(); ++it)
        if (it->field == field)
            return it->value;
    return {};
}

std::string ReportData::sampleName() const {
    return label(kSampleField);
}
std::string ReportData::methodName() const {
    return label(kMethodField);
}
std::string ReportData::reportId() const {
    return label(kReportIdField);
}
std::string ReportData::dateText() const {
    return label(kDateField);
}

bool ReportData::logging() const {
    return type != ReportType::Titration && type != ReportType::KarlFischer &&
           type != ReportType::Drift && methodName() == kLoggingMethod;
}

std::vector<std::string_view> rowCells(const ReportData& report, std::string_view row) {
    std::vector<std::string_view> cells = csv::words(row);
    const std::size_t gapAt = report.tempCompColumn;
    if (gapAt != npos && cells.size() + 1 == report.columns.size() && gapAt < cells.size())
        cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(gapAt), std::string_view());
    return cells;
}

double cellValue(std::string_view cell) {
    if (cell.empty() || cell == kNoValue)
        return kNoNumber;
    if (!contains(cell, ":"))
        return num::parseDouble(cell).value_or(kNoNumber);
    double seconds = 0;
    for (std::size_t start = 0; start <= cell.size();) {
        const std::size_t colon = std::min(cell.find(':', start), cell.size());
        const std::string_view part = cell.substr(start, colon - start);
        const auto v =
            part.find_first_not_of("0123456789") == npos ? num::parseInteger(part) : std::nullopt;
        if (!v)
            return kNoNumber;
        seconds = seconds * 60 + static_cast<double>(*v);
        start = colon + 1;
    }
    return seconds;
}

ExportFault parseReport(std::string_view bytes, std::string_view fileName, ReportData& out) {
    out = ReportData{};
    ReportKind kind;
    if (ExportFault fault = reportKindOf(fileName, kind))
        return fault;
    out.type = kind.type;
    return Reader(kind, out).run(bytes);
}
