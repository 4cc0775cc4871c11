#include "documents/ReportCsv.h"

#include "documents/CsvCell.h"

namespace {

constexpr std::string_view kNoValue = "-----"; // copied as it is, never quoted
constexpr std::size_t kTrayColumns = 6;

class CsvWriter {
public:
    CsvWriter(const ReportData& report, const ExportOptions& options)
        : r_(report), o_(options), isTray_(report.type == ReportType::Tray) {}

    std::size_t columns() const {
        return isTray_ ? (r_.tableFound ? kTrayColumns : 0) : r_.columns.size();
    }
    std::vector<std::string> dataLines() const;
    void fillSummary(ConvertedReport& out) const;
    std::string assemble(const std::vector<std::string>& data) const;

private:
    std::string columnHeader() const;
    std::string dataRow(std::string_view text) const;
    std::string trayRow(const TrayRow& row) const;
    void valueCell(std::string& row, std::string_view part) const;
    void textCell(std::string& row, std::string_view part) const;

    const ReportData& r_;
    const ExportOptions& o_;
    const bool isTray_;
};

void CsvWriter::textCell(std::string& row, std::string_view part) const {
    if (part == kNoValue)
        row += part;
    else
        csv::appendCell(row, part, o_.quoteChar, o_.listSeparator);
}

void CsvWriter::valueCell(std::string& row, std::string_view part) const {
    if (part == kNoValue)
        row += part;
    else
        csv::appendCell(row, csv::withDecimalSeparator(part, o_.decimalSeparator), o_.quoteChar,
                        o_.listSeparator);
}

std::string CsvWriter::columnHeader() const {
    std::string row;
    bool first = true;
    auto cell = [&](std::string_view name) {
        if (!first)
            row += o_.listSeparator;
        first = false;
        textCell(row, name);
    };
    if (isTray_)
        for (std::string_view word : trayVocabulary()[r_.trayLanguage].columns)
            cell(word);
    else
        for (const ReportColumn& c : r_.columns)
            cell(c.name);
    return row;
}

// An empty cell is the temperature compensation's gap: nothing between its separators.
std::string CsvWriter::dataRow(std::string_view text) const {
    std::string row;
    bool first = true;
    for (std::string_view cell : rowCells(r_, text)) {
        if (!first)
            row += o_.listSeparator;
        first = false;
        if (!cell.empty())
            valueCell(row, cell);
    }
    return row;
}

std::string CsvWriter::trayRow(const TrayRow& row) const {
    std::string out;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
        if (i > 0)
            out += o_.listSeparator;
        // A beaker's number and result are values, its other cells texts.
        if (!row.beaker || i == 0 || i == 2)
            valueCell(out, row.cells[i]);
        else
            textCell(out, row.cells[i]);
    }
    return out;
}

std::vector<std::string> CsvWriter::dataLines() const {
    std::vector<std::string> data;
    if (!r_.tableFound)
        return data;
    data.reserve(1 + (isTray_ ? r_.trayRows.size() : r_.rowCount()));
    data.push_back(columnHeader());
    if (isTray_)
        for (const TrayRow& row : r_.trayRows)
            data.push_back(trayRow(row));
    else
        for (const std::string& row : r_.rowText)
            data.push_back(dataRow(row));
    return data;
}

// The labels in the order they were met: a later one overwrites an earlier one, and a
// value with a unit fills the field after it too.
void CsvWriter::fillSummary(ConvertedReport& out) const {
    for (const LabelMatch& m : r_.labels) {
        std::string value = m.value;
        const int f = m.field;
        if (f == kResultField || f == kSampleSizeField || f == kEndPointField) {
            value = csv::withDecimalSeparator(value, o_.decimalSeparator);
            const auto parts = csv::words(value);
            if (parts.size() >= 2) {
                out.fields[f + 1] = {csv::joinWords(parts, 1, parts.size()), o_.quoteChar};
                value = std::string(parts[0]);
            }
        }
        out.fields[f] = {std::move(value), o_.quoteChar};
    }
    out.logging = r_.logging();
}

std::string CsvWriter::assemble(const std::vector<std::string>& data) const {
    const std::string& sep = o_.listSeparator;
    const std::vector<std::string>& header = r_.headerLines;
    const std::size_t n = columns();
    const std::size_t rows = std::max(header.size(), data.size());
    std::size_t size = rows * (2 * sep.size() + 4 + n * sep.size());
    for (const std::string& h : header)
        size += h.size();
    for (const std::string& d : data)
        size += d.size();
    std::string csv;
    csv.reserve(size);
    for (std::size_t i = 0; i < rows; ++i) {
        if (i < header.size())
            csv::appendCell(csv, header[i], "\"", sep);
        csv += sep;
        if (i < data.size()) {
            csv += sep;
            csv += data[i];
        } else {
            for (std::size_t c = 0; c < n; ++c)
                csv += sep;
        }
        csv += "\r\n";
    }
    return csv;
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

void convertReport(const ReportData& report, const ExportOptions& options, bool summaryOn,
                   TrayTable& tray, ConvertedReport& out) {
    out = ConvertedReport{};
    out.type = report.type;
    const CsvWriter writer(report, options);
    if (report.type == ReportType::Tray) {
        tray.clear();
        for (const TrayRow& row : report.trayRows)
            if (row.beaker && !row.cells[4].empty())
                tray.push_back({row.cells[1], row.cells[4], false});
    } else if (summaryOn) {
        writer.fillSummary(out);
    }
    out.csv = writer.assemble(writer.dataLines());
    out.dataColumns = writer.columns();
}

ExportFault convertReport(std::string_view bytes, std::string_view fileName,
                          const ExportOptions& options, bool summaryOn, TrayTable& tray,
                          ConvertedReport& out) {
    out = ConvertedReport{};
    ReportData report;
    if (ExportFault fault = parseReport(bytes, fileName, report))
        return fault;
    convertReport(report, options, summaryOn, tray, out);
    return std::nullopt;
}
