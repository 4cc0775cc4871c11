// The typed reading of a report: every sample's table and end points as the file
// shows them, columns and units in the four languages, cells, tray beakers.
#include "documents/ReportData.h"

#include "ReportText.h"
#include "core/RegularFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& p) {
    std::string bytes, error;
    EXPECT_TRUE(readRegularFile(p, kMaxDocumentBytes, bytes, error)) << error;
    return bytes;
}

// CR LF, LF or CR end a line.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            out.back() += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        out.emplace_back();
    }
    return out;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// A cell as a person reads it: a time of day in seconds, "-----" as nothing.
double number(const std::string& w) {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(w.c_str(), "%d:%d:%d", &h, &m, &s) == 3)
        return h * 3600 + m * 60 + s;
    return w == "-----" ? NAN : std::stod(w);
}

// The table as it stands in the file: the TAB lines after the first line that opens
// with "Nr" or "Nº" behind an empty line, up to the next empty line.
std::vector<std::vector<std::string>> fileTable(const std::string& bytes) {
    const auto ls = lines(bytes);
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; i < ls.size(); ++i) {
        const auto head = words(ls[i]);
        if (!ls[i - 1].empty() || head.empty() || (head[0] != "Nr" && head[0] != "N\xBA"))
            continue;
        for (std::size_t j = i + 1; j < ls.size() && !ls[j].empty(); ++j)
            rows.push_back(words(ls[j]));
        break;
    }
    return rows;
}

std::vector<double> finiteValues(const ReportData& r, std::size_t row) {
    std::vector<double> out;
    for (std::size_t c = 0; c < r.columns.size(); ++c)
        if (std::isfinite(r.value(row, c)))
            out.push_back(r.value(row, c));
    return out;
}

std::vector<double> finiteNumbers(const std::vector<std::string>& cells) {
    std::vector<double> out;
    for (const std::string& w : cells)
        if (std::isfinite(number(w)))
            out.push_back(number(w));
    return out;
}

// The end-point lines of the header, in any of the four languages.
std::vector<EndPoint> fileEndPoints(const std::string& bytes) {
    static const std::regex label("(?:End Point(?: ([0-9]+))? Volume|Volume de End-point(?: "
                                  "([0-9]+))?|Volumen de Punto Final(?: ([0-9]+))?|Volume "
                                  "Point Final(?: ([0-9]+))?): *([0-9.]+)");
    std::map<int, double> found;
    for (const std::string& l : lines(bytes)) {
        std::smatch m;
        if (!std::regex_search(l, m, label))
            continue;
        int n = 1;
        for (int g = 1; g <= 4; ++g)
            if (m[g].matched)
                n = std::stoi(m[g]);
        found[n] = std::stod(m[5]);
    }
    std::vector<EndPoint> out;
    for (auto [n, v] : found)
        out.push_back({n, v});
    return out;
}

void expectSameEndPoints(const std::vector<EndPoint>& got, const std::vector<EndPoint>& want,
                         const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].number, want[i].number) << what;
        EXPECT_DOUBLE_EQ(got[i].volume, want[i].volume) << what;
    }
}

void expectTableAsInFile(const ReportData& r, const std::string& bytes, const std::string& what) {
    const auto table = fileTable(bytes);
    ASSERT_EQ(r.rowCount(), table.size()) << what;
    ASSERT_FALSE(table.empty()) << what;
    EXPECT_EQ(finiteValues(r, 0), finiteNumbers(table.front())) << what;
    EXPECT_EQ(finiteValues(r, r.rowCount() - 1), finiteNumbers(table.back())) << what;
}

} // namespace

TEST(ReportData, EverySampleReadsAsItsFileShowsIt) {
    int tables = 0, trays = 0;
    for (const auto& e : fs::recursive_directory_iterator(VT_SOURCE_DIR "/data/samples")) {
        if (e.path().extension() != ".RPT")
            continue;
        const std::string name = e.path().filename().string();
        const std::string bytes = fileBytes(e.path());
        ReportData r;
        const ExportFault fault = parseReport(bytes, name, r);
        if (name == "KF_00209.RPT") { // its columns are out of order
            EXPECT_EQ(fault, exporterr::column());
            continue;
        }
        ASSERT_FALSE(fault) << name;
        expectSameEndPoints(r.endPoints, fileEndPoints(bytes), name);
        if (r.type == ReportType::Tray) {
            EXPECT_TRUE(r.tableFound) << name;
            EXPECT_FALSE(r.hasCurve()) << name;
            EXPECT_FALSE(r.trayRows.empty()) << name;
            ++trays;
            continue;
        }
        EXPECT_TRUE(r.hasCurve()) << name;
        expectTableAsInFile(r, bytes, name);
        ++tables;
    }
    EXPECT_GE(tables, 40);
    EXPECT_GE(trays, 4);
}

// Cases beyond the samples: other languages, both clocks, CR line ends, missing cells.
TEST(ReportData, HeldBackReportsReadAsTheyStand) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::pair<std::string, std::string>> columns; // quantity, unit
        std::vector<EndPoint> endPoints;
        const char* sample;
    };
    const Case cases[] = {
        {"MVR00301.RPT",
         report({"ID Relat\xF3rio: 00301", "Hora & Data: 02:15 PM Out 14, 2024",
                 "Nome Amostra: Min\xE9rio 8", "Volume de End-point: 5.120 mL",
                 "Volume de End-point 2: 9.875 mL"},
                " Nr  Volume[mL]   mV rel       mV",
                {"  1       0.000      0.0    420.6", "  2       5.100     80.2    500.8",
                 "  3       9.900    400.1    820.7"},
                {"Signature:"}, "\r"),
         {{"Nr", ""}, {"Volume", "mL"}, {"mV rel", ""}, {"mV", ""}},
         {{1, 5.12}, {2, 9.875}},
         "Min\xE9rio 8"},
        {"KF_00302.RPT",
         report({"ID de Titrage: 00302", "Date et Heure: 14:05 Nov 18, 2024",
                 "Nom de l'\xC9"
                 "chantillon: Huile",
                 "Volume Point Final: 1.234 mL"},
                " Nr  Volume[mL]      mV       Time",
                {"  1   0.000   521.4   00:00:00", "  2   1.234   100.2   00:02:30"},
                {"Signature:"}, "\n"),
         {{"Nr", ""}, {"Volume", "mL"}, {"mV", ""}, {"Time", "s"}},
         {{1, 1.234}},
         "Huile"},
        {"ISE00303.RPT",
         report({"ID Informe: 00303", "Nombre Muestra: Agua"},
                " N\xBA    mmol/L      mV   Temp.[\xB0"
                "C]       Hora",
                {"  1     0.100   -17.6      24.9   00:00:30",
                 "  2     -----    12.0      24.9   00:01:00"}),
         {{"N\xBA", ""},
          {"mmol/L", ""},
          {"mV", ""},
          {"Temp.", "\xB0"
                    "C"},
          {"Temp.Comp.", ""},
          {"Hora", "s"}},
         {},
         "Agua"},
    };
    for (const Case& c : cases) {
        ReportData r;
        ASSERT_FALSE(parseReport(c.bytes, c.name, r)) << c.name;
        std::vector<std::pair<std::string, std::string>> columns;
        for (const ReportColumn& col : r.columns)
            columns.push_back({col.quantity, col.unit});
        EXPECT_EQ(columns, c.columns) << c.name;
        expectSameEndPoints(r.endPoints, c.endPoints, c.name);
        expectTableAsInFile(r, c.bytes, c.name);
        EXPECT_EQ(r.sampleName(), c.sample) << c.name;
    }
    // The empty cell of the compensation column and the missing value stay NaN.
    ReportData ise;
    ASSERT_FALSE(parseReport(cases[2].bytes, "ISE00303.RPT", ise));
    EXPECT_TRUE(std::isnan(ise.value(0, 4)));
    EXPECT_TRUE(std::isnan(ise.value(1, 1)));
    EXPECT_EQ(ise.value(1, 5), 60);

    // No empty line before the column names: no table, nothing to draw.
    ReportData none;
    ASSERT_FALSE(
        parseReport("\tReport ID: 1\r\n\t Nr  Volume[mL]\r\n\t 1 0.5\r\n", "TI_1.RPT", none));
    EXPECT_FALSE(none.tableFound);
    EXPECT_FALSE(none.hasCurve());
}

TEST(ReportData, CellsReadAsNumbersOrSeconds) {
    struct Case {
        const char* cell;
        double value; // NAN: no number
    };
    const Case cases[] = {{"1.5", 1.5},     {"-17.6", -17.6}, {"00:02:30", 150}, {"01:30", 90},
                          {"-----", NAN},   {"", NAN},        {"12,5", NAN},     {"1:x:3", NAN},
                          {"Stopped", NAN}, {"1e3", 1000}};
    for (const Case& c : cases) {
        const double v = cellValue(c.cell);
        if (std::isnan(c.value))
            EXPECT_TRUE(std::isnan(v)) << c.cell;
        else
            EXPECT_DOUBLE_EQ(v, c.value) << c.cell;
    }
}

TEST(ReportData, ColumnsAreFoundByNameOrQuantityInAnyCase) {
    ReportData r;
    ASSERT_FALSE(parseReport(
        report({"Report ID: 7"}, " Nr  Drift[\xB5g/min]       Time", {"1 5.8 00:00:20"}),
        "DR_00007.RPT", r));
    EXPECT_EQ(r.column("Drift[\xB5g/min]"), 1u);
    EXPECT_EQ(r.column("drift"), 1u);
    EXPECT_EQ(r.column("TIME"), 2u);
    EXPECT_FALSE(r.column("pH"));
    EXPECT_EQ(r.reportId(), "7");
}

TEST(ReportData, TrayBeakersWithTheirFailures) {
    ReportData r;
    ASSERT_FALSE(parseReport(fileBytes(VT_SOURCE_DIR "/data/samples/export/TRAY0008.RPT"),
                             "TRAY0008.RPT", r));
    ASSERT_EQ(r.trayRows.size(), 4u);
    EXPECT_EQ(r.trayLanguage, 2);
    EXPECT_EQ(r.trayRows[0].cells, (std::vector<std::string>{"1", "LECHE-A", "1.55", "g/L", "00301",
                                                             "09:08 Abr 22, 2025"}));
    EXPECT_FALSE(r.trayRows[0].failed);
    EXPECT_TRUE(r.trayRows[1].failed); // "Parade"
    EXPECT_TRUE(r.trayRows[3].failed); // "Error"
    EXPECT_EQ(r.trayRows[3].cells[4], "-----");
}
