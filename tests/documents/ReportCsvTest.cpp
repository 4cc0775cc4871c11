// One report into CSV text: kinds, cells, columns, summary fields, tray tables.
#include "documents/ReportCsv.h"

#include "CsvReader.h"

#include <gtest/gtest.h>

namespace {

const ExportOptions kDefault = exportOptionsFor(0, 0, 0);
const ExportOptions kSemicolonComma = exportOptionsFor(1, 1, 0);

std::string report(const std::vector<std::string>& head, const std::string& table,
                   const std::vector<std::string>& rows,
                   const std::vector<std::string>& foot = {}) {
    std::string text;
    for (const auto& h : head)
        text += "\t" + h + "\r\n";
    text += "\r\n\t" + table + "\r\n";
    for (const auto& r : rows)
        text += "\t" + r + "\r\n";
    if (!foot.empty())
        text += "\r\n";
    for (const auto& f : foot)
        text += "\t" + f + "\r\n";
    return text;
}

struct Converted {
    ExportFault fault;
    ConvertedReport out;
    TrayTable tray;
};

Converted convert(const std::string& bytes, const std::string& name,
                  const ExportOptions& options = kDefault, bool summaryOn = true) {
    Converted c;
    c.fault = convertReport(bytes, name, options, summaryOn, c.tray, c.out);
    return c;
}

std::vector<CsvRecord> records(const Converted& c, char sep = ',') {
    std::string error;
    auto r = readCsv(c.out.csv, sep, &error);
    EXPECT_TRUE(r) << error << "\n" << c.out.csv;
    return r.value_or(std::vector<CsvRecord>{});
}

const std::string kTitration =
    report({"QX502 Potentiometric Titrator", "Report ID: 00031", "Sample Name: Red wine",
            "Result: 7.29 g/L"},
           " Nr  Volume[mL]      pH      mV",
           {"  1       0.000   2.201   284.0", "  2      12.345   2.354   -----"},
           {"Total Volume: 12.345 mL"});

} // namespace

TEST(ReportKind, ComesFromTheFileNameAsWritten) {
    struct Case {
        const char* name;
        ReportType type;
        std::optional<int> error;
    };
    const Case cases[] = {
        {"TI_00031.RPT", ReportType::Titration, {}},
        {"PH_00014.RPT", ReportType::Ph, {}},
        {"MV_00019.RPT", ReportType::Mv, {}},
        {"MVR00082.RPT", ReportType::MvRel, {}},
        {"KF_00045.RPT", ReportType::KarlFischer, {}},
        {"DR_00044.RPT", ReportType::Drift, {}},
        {"ISE00207.RPT", ReportType::Ise, {}},
        {"TRAY0005.RPT", ReportType::Tray, {}},
        {"ti_00001.rpt", ReportType::Unknown, exporterr::kNotReport},
        {"TI_00001.Rpt", ReportType::Unknown, exporterr::kNotReport},
        {"/data/TRAY0001/TI_1.RPT", ReportType::Titration, {}},
        {"C:\\reports\\TRAY0001\\KF_1.RPT", ReportType::KarlFischer, {}},
        {"XY_00001.RPT", ReportType::Unknown, exporterr::kUnknownType},
        {"TI_00031.LOG", ReportType::Unknown, exporterr::kNotReport},
        {"TI", ReportType::Unknown, exporterr::kNotReport},
    };
    for (const Case& c : cases) {
        ReportKind kind;
        const ExportFault fault = reportKindOf(c.name, kind);
        EXPECT_EQ(kind.type, c.type) << c.name;
        EXPECT_EQ(fault ? std::optional(fault->number) : std::nullopt, c.error) << c.name;
    }
    ReportKind kind;
    EXPECT_EQ(*reportKindOf("x.txt", kind), exporterr::notReport());
    EXPECT_EQ(reportKindOf("x.txt", kind)->source, "Export.toCsv");
}

TEST(ReportCsv, DefaultOptionsQuoteHeaderLinesOnlyAndGiveEveryRowNPlusTwoFields) {
    const Converted c = convert(kTitration, "TI_00031.RPT");
    ASSERT_FALSE(c.fault);
    EXPECT_EQ(c.out.csv, "\"QX502 Potentiometric Titrator\",,Nr,Volume[mL],pH,mV\r\n"
                         "\"Report ID: 00031\",,1,0.000,2.201,284.0\r\n"
                         "\"Sample Name: Red wine\",,2,12.345,2.354,-----\r\n"
                         "\"Result: 7.29 g/L\",,,,,\r\n"
                         "\"\",,,,,\r\n"
                         "\"\",,,,,\r\n"
                         "\"Total Volume: 12.345 mL\",,,,,\r\n");
    EXPECT_EQ(c.out.dataColumns, 4u);
}

TEST(ReportCsv, SemicolonAndDecimalCommaQuoteEveryConvertedValue) {
    const Converted c = convert(kTitration, "TI_00031.RPT", kSemicolonComma);
    const auto r = records(c, ';');
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(r[2], (CsvRecord{"Sample Name: Red wine", "", "2", "12,345", "2,354", "-----"}));
    EXPECT_NE(c.out.csv.find(";;\"2\";\"12,345\";\"2,354\";-----\r\n"), std::string::npos)
        << c.out.csv;
    EXPECT_NE(c.out.csv.find("\"QX502 Potentiometric Titrator\";;\"Nr\";\"Volume[mL]\""),
              std::string::npos);
}

TEST(ReportCsv, RowsBeyondTheHeaderLinesAndReportsWithoutTable) {
    const Converted more = convert(
        report({"Report ID: 1"}, " Nr  Volume[mL]      mV", {"1 0.1 5", "2 0.2 6", "3 0.3 7"}),
        "TI_1.RPT");
    EXPECT_EQ(more.out.csv, "\"Report ID: 1\",,Nr,Volume[mL],mV\r\n\"\",,1,0.1,5\r\n"
                            ",,2,0.2,6\r\n,,3,0.3,7\r\n");
    // No empty line before the table: no table at all, two fields a row.
    const Converted none = convert("\tReport ID: 1\r\n\t Nr  Volume[mL]\r\n", "TI_1.RPT");
    EXPECT_EQ(none.out.csv, "\"Report ID: 1\",\r\n\" Nr  Volume[mL]\",\r\n");
    EXPECT_EQ(none.out.dataColumns, 0u);
}

TEST(ReportCsv, CellsHoldingSeparatorQuoteOrBreakStayOneCell) {
    const std::string bytes = report({"Sample Name: HCl, 0.1 N", "Sample Name: Well \"B\" water"},
                                     " Nr  Volume[mL]      mV", {"1 0.100 5;6"});
    const auto comma = records(convert(bytes, "TI_1.RPT"));
    ASSERT_EQ(comma.size(), 3u);
    EXPECT_EQ(comma[0][0], "Sample Name: HCl, 0.1 N");
    EXPECT_EQ(comma[1][0], "Sample Name: Well \"B\" water");
    EXPECT_EQ(comma[1][4], "5;6");
    const auto semi = records(convert(bytes, "TI_1.RPT", kSemicolonComma), ';');
    ASSERT_EQ(semi.size(), 3u);
    EXPECT_EQ(semi[1], (CsvRecord{"Sample Name: Well \"B\" water", "", "1", "0,100", "5;6"}));
}

TEST(ReportCsvColumns, HeaderCellsAndTheOrderCheck) {
    struct Case {
        const char* name;
        const char* table;
        const char* row;
        std::optional<CsvRecord> cells; // header then the row; nothing: "column" error
    };
    const Case cases[] = {
        {"MVR00082.RPT", " Nr  Volume[mL]   mV rel       mV", "1 0.5 -3.2 250.1",
         CsvRecord{"Nr", "Volume[mL]", "mV rel", "mV", "1", "0.5", "-3.2", "250.1"}},
        // The temperature compensation column: a row without its cell keeps Time in place.
        {"MV_00019.RPT", " Nr     mV   Temp.[C]       Time", "1 227.6 24.6 00:00:10",
         CsvRecord{"Nr", "mV", "Temp.[C]", "Temp.Comp.", "Time", "1", "227.6", "24.6", "",
                   "00:00:10"}},
        {"ISE00001.RPT", " Nr    mmol/L      mV   Temp.[C]  Time", "1 2.5 23.7 24.9 A 00:01",
         CsvRecord{"Nr", "mmol/L", "mV", "Temp.[C]", "Temp.Comp.", "Time", "1", "2.5", "23.7",
                   "24.9", "A", "00:01"}},
        {"KF_00209.RPT", " Nr  Volume[mL]      mV       Time   Temp.[C]", "1 0.1 300 00:01 24",
         std::nullopt},
        {"DR_00001.RPT", " Nr  Graphic  Drift[ug/min]  Time", "1 x 5.0 00:01", std::nullopt},
        {"DR_00002.RPT", " Nr  Deriva[ug/min]       Hora", "1 5.0 00:01",
         CsvRecord{"Nr", "Deriva[ug/min]", "Hora", "1", "5.0", "00:01"}},
    };
    for (const Case& c : cases) {
        const Converted r = convert(report({"Head"}, c.table, {c.row}), c.name);
        if (!c.cells) {
            ASSERT_TRUE(r.fault) << c.name;
            EXPECT_EQ(*r.fault, exporterr::column()) << c.name;
            EXPECT_EQ(r.fault->source, "Export.inlineSearch");
            continue;
        }
        ASSERT_FALSE(r.fault) << c.name;
        const auto rec = records(r);
        ASSERT_EQ(rec.size(), 2u) << c.name;
        CsvRecord got(rec[0].begin() + 2, rec[0].end());
        got.insert(got.end(), rec[1].begin() + 2, rec[1].end());
        EXPECT_EQ(got, *c.cells) << c.name;
    }
}

TEST(ReportCsvSummary, LabelsFillTheFields) {
    struct Case {
        std::string line;
        ExportOptions options;
        int field;
        std::string text, next; // the field and the one after it (its unit)
    };
    const std::string q = "\"";
    const Case cases[] = {
        {"Result: 12.34 mg/L", kDefault, 2, "12.34", "mg/L"},
        {"Result: 12.34", kDefault, 2, "12.34", "----"},
        {"Result:", kDefault, 2, "----", "----"},
        {"Result: 1.5 mg / L", kSemicolonComma, 2, "1,5", "mg / L"},
        {"Sample Size: 10.000 mL", kSemicolonComma, 4, "10,000", "mL"},
        {"Resultado:Ud. mg/L", kDefault, 2, "----", "----"},
        {"Tama\xF1o Analito:Del 3", kDefault, 4, "----", "----"},
        {"End Point Volume: 9.695 mL", kDefault, 6, "9.695", "mL"},
        {"Nom de l'\xC9"
         "chantillon: Huile 5W-30",
         kDefault, 1, "Huile 5W-30", "----"},
        {"Hora & Data: 10:15 Out 14, 2024", kDefault, 8, "10:15 Out 14, 2024", "----"},
        {"ID Relat\xF3rio: 00204", kDefault, 9, "00204", "----"},
        {"Logging ID: 00019", kDefault, 9, "00019", "----"},
        {"Nom de M\xE9thode: Eau", kDefault, 10, "Eau", ""},
    };
    for (const Case& c : cases) {
        const Converted r =
            convert(report({c.line}, " Nr  Volume[mL]", {"1 0.1"}), "TI_1.RPT", c.options);
        ASSERT_FALSE(r.fault);
        const SummaryCell& cell = r.out.fields[c.field];
        EXPECT_EQ(cell.text, c.text) << c.line;
        EXPECT_EQ(cell.quote, c.text == "----" ? "" : c.options.quoteChar) << c.line;
        if (c.field < kMethodField) {
            EXPECT_EQ(r.out.fields[c.field + 1].text, c.next) << c.line;
        }
    }
    // Without the summary nothing is searched.
    EXPECT_EQ(convert(report({"Result: 1 g"}, " Nr  Volume[mL]", {}), "TI_1.RPT", kDefault, false)
                  .out.fields[2]
                  .text,
              "----");
}

TEST(ReportCsvSummary, OnlyLoggingKindsWithTheLoggingMethodLeaveTheSummary) {
    struct Case {
        const char* name;
        const char* table;
        const char* method;
        bool addsLine;
    };
    const Case cases[] = {
        {"PH_00014.RPT", " Nr      pH      mV       Time", "pH/mV/ISE logging", false},
        {"MV_00019.RPT", " Nr     mV   Temp.[C]       Time", "pH/mV/ISE logging", false},
        {"PH_00015.RPT", " Nr      pH      mV       Time", "Buffer check", true},
        {"TI_00016.RPT", " Nr  Volume[mL]      pH      mV", "pH/mV/ISE logging", true},
        {"DR_00044.RPT", " Nr  Drift[ug/min]       Time", "Water in oil", false},
    };
    for (const Case& c : cases) {
        const Converted r =
            convert(report({std::string("Method Name: ") + c.method}, c.table, {}), c.name);
        ASSERT_FALSE(r.fault) << c.name;
        EXPECT_EQ(r.out.addsSummaryLine(), c.addsLine) << c.name;
    }
}

TEST(ReportCsvTray, TrayTableRowsAndFailedBeakers) {
    const std::string dashes(40, '-');
    const std::string bytes =
        report({"Sample Changer Report", "Date & Time: 01:30 PM Apr 09, 2025"}, dashes,
               {"  #  Sample Name   Result:      Unit   Report Id   Date & Time", dashes,
                "  1  ORE A         12.44       %      00088       01:42 PM Apr 09, 2025",
                "  2  ORE-B         Stopped     -----  00089       01:53 PM Apr 09, 2025",
                "  3  ORE-C         Error       02:05 PM Apr 09, 2025"},
               {"Finished: 1 of 3"});
    const Converted r = convert(bytes, "TRAY0002.RPT", kSemicolonComma);
    ASSERT_FALSE(r.fault);
    EXPECT_FALSE(r.out.addsSummaryLine());
    const auto rec = records(r, ';');
    ASSERT_EQ(rec.size(), 5u);
    EXPECT_EQ(rec[0], (CsvRecord{"Sample Changer Report", "", "#", "Sample Name", "Result:", "Unit",
                                 "Report Id", "Date & Time"}));
    EXPECT_EQ(rec[1], (CsvRecord{"Date & Time: 01:30 PM Apr 09, 2025", "", "1", "ORE A", "12,44",
                                 "%", "00088", "01:42 PM Apr 09, 2025"}));
    EXPECT_EQ(rec[2], (CsvRecord{"", "", "2", "ORE-B", "Stopped", "-----", "00089",
                                 "01:53 PM Apr 09, 2025"}));
    EXPECT_EQ(rec[3], (CsvRecord{"", "", "3", "ORE-C", "Error", "", "", "02:05 PM Apr 09, 2025"}));
    EXPECT_EQ(rec[4][0], "Finished: 1 of 3");
    ASSERT_EQ(r.tray.size(), 2u);
    EXPECT_EQ(r.tray[0].sampleName, "ORE A");
    EXPECT_EQ(r.tray[1].reportId, "00089");

    // Dashes without a table keep their lines.
    const Converted loose = convert("\tA\r\n\r\n\t" + dashes + "\r\n\tB\r\n", "TRAY0003.RPT");
    EXPECT_EQ(loose.out.csv, "\"A\",\r\n\"\",\r\n\"" + dashes + "\",\r\n\"B\",\r\n");
}

TEST(ReportCsv, LongReportsKeepEveryLine) {
    std::vector<std::string> head, rows;
    for (int i = 1; i <= 250; ++i)
        head.push_back("Line " + std::to_string(i));
    for (int i = 1; i <= 100005; ++i)
        rows.push_back(std::to_string(i) + " 0.5");
    const Converted c = convert(report(head, " Nr  Volume[mL]", rows), "TI_1.RPT");
    ASSERT_FALSE(c.fault);
    std::size_t lines = 0;
    for (std::size_t at = c.out.csv.find("\r\n"); at != std::string::npos;
         at = c.out.csv.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 100006u);
    EXPECT_NE(c.out.csv.find("\"Line 250\",,249,0.5\r\n"), std::string::npos);
    EXPECT_EQ(c.out.csv.substr(c.out.csv.size() - 14), ",,100005,0.5\r\n");
}
