#include "documents/ReportCsv.h"

#include "core/Text.h"
#include "documents/CsvCell.h"

#include <optional>

namespace {

constexpr std::string_view kTempComp = "Temp.Comp.";
constexpr std::string_view kNoValue = "-----"; // copied as it is, never quoted
constexpr std::array<std::string_view, 3> kNotAfterLabel{"Unid. ", "Ud.", "Del "};
constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kDateWords24 = 4; // "07:09 Mar 24, 2025"
constexpr std::size_t kDateWords12 = 5; // "01:42 PM Apr 09, 2025"

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

class Converter {
public:
    Converter(const ReportKind& kind, const ExportOptions& o, bool summaryOn, TrayTable& tray,
              ConvertedReport& out)
        : kind_(kind), o_(o), summaryOn_(summaryOn), tray_(tray), out_(out),
          isTray_(kind.type == ReportType::Tray) {}

    ExportFault run(std::string_view bytes);

private:
    void headerLine(std::string_view text);
    ExportFault columnHeader(std::string_view text);
    void trayColumnHeader();
    void dataRow(std::string_view text);
    void trayRow(std::string_view text);
    void searchSummary(std::string_view text);
    void trayDateLine(std::string_view text);
    void valueCell(std::string& row, std::string_view part) const;
    void textCell(std::string& row, std::string_view part) const;
    void assemble();

    const ReportKind& kind_;
    const ExportOptions& o_;
    const bool summaryOn_;
    TrayTable& tray_;
    ConvertedReport& out_;
    const bool isTray_;

    std::vector<std::string> header_;
    std::vector<std::string> data_;
    // Tray lines between the first dashes and the table: dropped once the table starts.
    std::vector<std::string_view> parked_;
    bool parking_ = false;
    bool afterBlank_ = false;
    bool inTable_ = false;
    bool tableDone_ = false;
    bool trayMarkerSeen_ = false;
    std::size_t columns_ = 0;
    std::size_t tempCompCell_ = npos;
    int trayLanguage_ = 0;
    bool twelveHour_ = false;
};

ExportFault Converter::run(std::string_view bytes) {
    out_.fields = emptySummaryFields();
    if (isTray_)
        tray_.clear();
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
    if (parking_) // dashes without a table: keep the lines as header lines
        for (std::string_view text : parked_) {
            header_.emplace_back();
            csv::appendCell(header_.back(), text, "\"", o_.listSeparator);
        }
    assemble();
    return std::nullopt;
}

void Converter::headerLine(std::string_view text) {
    if (isTray_)
        trayDateLine(text);
    else if (summaryOn_ && !text.empty())
        searchSummary(text);
    if (parking_) {
        parked_.push_back(text);
        return;
    }
    header_.emplace_back();
    csv::appendCell(header_.back(), text, "\"", o_.listSeparator);
}

void Converter::searchSummary(std::string_view text) {
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
            if (value.empty())
                continue;
            if (f == 2 || f == 4 || f == 6) {
                value = csv::withDecimalSeparator(value, o_.decimalSeparator);
                const auto parts = csv::words(value);
                if (parts.size() >= 2) {
                    out_.fields[f + 1] = {csv::joinWords(parts, 1, parts.size()), o_.quoteChar};
                    value = std::string(parts[0]);
                }
            }
            if (f == kMethodField && kind_.type != ReportType::Titration &&
                kind_.type != ReportType::KarlFischer && kind_.type != ReportType::Drift)
                out_.logging = value == kLoggingMethod;
            out_.fields[f] = {std::move(value), o_.quoteChar};
        }
}

void Converter::trayDateLine(std::string_view text) {
    const auto& vocabulary = trayVocabulary();
    for (int lang = 0; lang < kTrayLanguages; ++lang)
        if (contains(text, vocabulary[lang].dateLabel)) {
            trayLanguage_ = lang;
            twelveHour_ = contains(text, "AM") || contains(text, "PM");
        }
}

ExportFault Converter::columnHeader(std::string_view text) {
    inTable_ = true;
    parking_ = false;
    parked_.clear();
    if (isTray_) {
        trayColumnHeader();
        return std::nullopt;
    }
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
    std::string row;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string_view cell = parts[i];
        if (cell == "mV" && i + 1 < parts.size() && parts[i + 1] == "rel") {
            cell = "mV rel";
            ++i;
        }
        if (columns_ > 0)
            row += o_.listSeparator;
        textCell(row, cell);
        ++columns_;
        if (pos[kTempColumn] != npos && tempCompCell_ == npos && contains(cell, "Temp.[")) {
            row += o_.listSeparator;
            textCell(row, kTempComp);
            tempCompCell_ = columns_++;
        }
    }
    data_.push_back(std::move(row));
    return std::nullopt;
}

void Converter::trayColumnHeader() {
    std::string row;
    for (std::string_view word : trayVocabulary()[trayLanguage_].columns) {
        if (columns_++ > 0)
            row += o_.listSeparator;
        textCell(row, word);
    }
    data_.push_back(std::move(row));
}

void Converter::textCell(std::string& row, std::string_view part) const {
    if (part == kNoValue)
        row += part;
    else
        csv::appendCell(row, part, o_.quoteChar, o_.listSeparator);
}

void Converter::valueCell(std::string& row, std::string_view part) const {
    if (part == kNoValue)
        row += part;
    else
        csv::appendCell(row, csv::withDecimalSeparator(part, o_.decimalSeparator), o_.quoteChar,
                        o_.listSeparator);
}

void Converter::dataRow(std::string_view text) {
    const auto parts = csv::words(text);
    // A row without a cell of its own for the temperature compensation keeps its
    // later values under their headers.
    const bool gap = tempCompCell_ != npos && parts.size() + 1 == columns_;
    std::string row;
    std::size_t cell = 0;
    for (std::string_view part : parts) {
        if (cell > 0)
            row += o_.listSeparator;
        if (gap && cell == tempCompCell_) {
            row += o_.listSeparator;
            ++cell;
        }
        valueCell(row, part);
        ++cell;
    }
    data_.push_back(std::move(row));
}

void Converter::trayRow(std::string_view text) {
    const auto t = csv::words(text);
    const std::size_t n = t.size();
    const std::size_t dateWords = twelveHour_ ? kDateWords12 : kDateWords24;
    // A beaker that did not finish shows a failure word as its result and may lack
    // the cells after it; the sample name runs up to that word.
    std::size_t result = npos;
    const auto& failures = trayVocabulary()[trayLanguage_].failures;
    for (std::size_t i = 2; i < n && result == npos; ++i)
        if (t[i] == failures[0] || t[i] == failures[1])
            result = i;
    if (result == npos && n >= 5 + dateWords)
        result = n - dateWords - 3;
    if (result == npos) {
        dataRow(text);
        return;
    }
    const std::size_t dateStart = std::max(result + 1, n >= dateWords ? n - dateWords : 0);
    const std::string_view unit = result + 1 < dateStart ? t[result + 1] : std::string_view();
    const std::string_view id = result + 2 < dateStart ? t[result + 2] : std::string_view();
    const std::string name = csv::joinWords(t, 1, result);
    std::string row;
    valueCell(row, t[0]);
    row += o_.listSeparator;
    textCell(row, name);
    row += o_.listSeparator;
    valueCell(row, t[result]);
    row += o_.listSeparator;
    textCell(row, unit);
    row += o_.listSeparator;
    textCell(row, id);
    row += o_.listSeparator;
    textCell(row, csv::joinWords(t, dateStart, n));
    data_.push_back(std::move(row));
    if (!id.empty())
        tray_.push_back({name, std::string(id), false});
}

void Converter::assemble() {
    const std::string& sep = o_.listSeparator;
    std::string& csv = out_.csv;
    const std::size_t rows = std::max(header_.size(), data_.size());
    std::size_t size = rows * (2 * sep.size() + 2 + columns_ * sep.size());
    for (const std::string& h : header_)
        size += h.size();
    for (const std::string& d : data_)
        size += d.size();
    csv.clear();
    csv.reserve(size);
    for (std::size_t i = 0; i < rows; ++i) {
        if (i < header_.size())
            csv += header_[i];
        csv += sep;
        if (i < data_.size()) {
            csv += sep;
            csv += data_[i];
        } else {
            for (std::size_t c = 0; c < columns_; ++c)
                csv += sep;
        }
        csv += "\r\n";
    }
    out_.dataColumns = columns_;
}

} // namespace

SummaryFields emptySummaryFields() {
    SummaryFields fields;
    fields[0].text.clear();
    return fields;
}

bool ConvertedReport::addsSummaryLine() const {
    return type != ReportType::Drift && type != ReportType::Tray && !logging;
}

ExportFault convertReport(std::string_view bytes, std::string_view fileName,
                          const ExportOptions& options, bool summaryOn, TrayTable& tray,
                          ConvertedReport& out) {
    out = ConvertedReport{};
    ReportKind kind;
    if (ExportFault fault = reportKindOf(fileName, kind))
        return fault;
    out.type = kind.type;
    return Converter(kind, options, summaryOn, tray, out).run(bytes);
}
