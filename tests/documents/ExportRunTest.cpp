// The Export command over both panes, with a host that records what the user saw.
#include "documents/ExportRun.h"

#include "CsvReader.h"
#include "TempDir.h"
#include "core/Ini.h"
#include "core/Language.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

const fs::path kSamples = fs::path(VT_SOURCE_DIR) / "data/samples";

struct RecordingExportHost : ExportHost {
    std::vector<std::string> messages; // title: text
    std::vector<ExportError> errors;
    std::vector<std::string> asked;   // replace questions
    std::vector<std::string> written; // file names
    std::vector<std::string> fetched; // "type|folder|name"
    std::vector<std::string> listed;
    int answer = kReplaceThis;
    int cancelAfterFiles = -1; // the abort button, pressed once this many files were started
    int started = 0;
    int nameCheck = 1;
    std::optional<bool> finishedCancelled;
    fs::path titratorRoot; // the titrator's files: <root>/<tray folder>/<name>
    std::string failFetch;

    void message(const std::string& text, const std::string& title, Icon) override {
        messages.push_back(title + ": " + text);
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    int checkFileName(const std::string&) override { return nameCheck; }
    void initReplace() override { asked.clear(); }
    int checkReplaceOnPc(const std::string& name) override {
        asked.push_back(name);
        return answer;
    }
    void setFileName(const std::string&) override { ++started; }
    bool cancelRequested() override { return cancelAfterFiles >= 0 && started >= cancelAfterFiles; }
    void showExportError(const ExportError& e) override { errors.push_back(e); }
    void fileWritten(const fs::path& p) override { written.push_back(p.filename().string()); }
    void exportFinished(bool cancelled) override { finishedCancelled = cancelled; }

    bool fetchReport(const TitratorReport& r, std::string& bytes, ExportError& error) override {
        fetched.push_back(std::to_string(r.fileType) + "|" + r.trayFolder + "|" + r.name);
        std::string folder = r.trayFolder.substr(0, r.trayFolder.find('\\'));
        std::ifstream in(titratorRoot / folder / r.name, std::ios::binary);
        if (r.name == failFetch || !in) {
            error = {330, "no answer", "serial"};
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return true;
    }
    bool listTrayFolder(const std::string& folder, std::vector<std::string>& names,
                        ExportError&) override {
        listed.push_back(folder);
        for (const auto& e : fs::directory_iterator(titratorRoot / folder.substr(0, 8)))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        names.push_back("../EVIL.RPT");
        return true;
    }
};

ExportError about(ExportError e, const std::string& report) {
    e.report = report;
    return e;
}

// A copy of sample files in a fresh folder.
void copySamples(const TempDir& dir, const std::string& from,
                 const std::vector<std::string>& names) {
    for (const auto& n : names)
        fs::copy(kSamples / from / n, dir.path() / n, fs::copy_options::recursive);
}

ExportRequest pcRequest(const TempDir& dir, const std::vector<std::string>& names) {
    ExportRequest r;
    for (const auto& n : names)
        r.entries.push_back({n + "  1234  2025-03-17", {}});
    r.destination = dir.path();
    return r;
}

std::vector<fs::path> summaries(const fs::path& dir) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("summary_", 0) == 0)
            found.push_back(e.path());
    return found;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<CsvRecord> csvOf(const fs::path& p, char sep = ',') {
    std::string error;
    auto r = readCsv(readFile(p), sep, &error);
    EXPECT_TRUE(r) << p << ": " << error;
    return r.value_or(std::vector<CsvRecord>{});
}

class ExportRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setLanguageTable(readLanguageTable(IniFile::load(VT_RESOURCE_DIR "/lang/english.lng")));
    }
    TempDir dir;
    RecordingExportHost host;
};

} // namespace

TEST_F(ExportRunTest, OneReportWritesNoSummaryTwoWriteOne) {
    copySamples(dir, "pc", {"TI_00031.RPT", "KF_00045.RPT"});
    ExportOutcome one = exportSelectedReports(pcRequest(dir, {"TI_00031.RPT"}), host);
    EXPECT_EQ(one.written, 1);
    EXPECT_TRUE(summaries(dir.path()).empty());
    EXPECT_EQ(host.finishedCancelled, false);

    const ExportOutcome two =
        exportSelectedReports(pcRequest(dir, {"TI_00031.RPT", "KF_00045.RPT"}), host);
    const auto found = summaries(dir.path());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], two.summary);
    EXPECT_TRUE(
        std::regex_match(found[0].filename().string(), std::regex(R"(summary_\d{14}\.csv)")));
    EXPECT_EQ(csvOf(found[0]).size(), 3u);
    EXPECT_EQ(host.asked, (std::vector<std::string>{"TI_00031.csv"}));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(ExportRunTest, TheShippedPcExportsAreReproduced) {
    const std::vector<std::string> names{"TI_00031.RPT", "KF_00045.RPT", "TI_00090.RPT"};
    copySamples(dir, "pc", names);
    ExportRequest request = pcRequest(dir, names);
    request.summaryName = "summary.csv";
    const ExportOutcome out = exportSelectedReports(request, host);
    EXPECT_EQ(out.written, 3);
    for (const char* csv : {"TI_00031.csv", "KF_00045.csv", "TI_00090.csv"})
        EXPECT_EQ(readFile(dir.path() / csv), readFile(kSamples / "pc" / csv)) << csv;
    EXPECT_EQ(readFile(dir.path() / "summary.csv"),
              readFile(kSamples / "pc/summary_20250317093000.csv"));
}

TEST_F(ExportRunTest, SelectionProblemsEndTheCommandBeforeAnyExport) {
    copySamples(dir, "pc", {"TI_00031.RPT", "TI_00031.LOG"});
    struct Case {
        std::vector<std::string> names;
        bool noFolder;
        int nameCheck;
        std::optional<ExportError> error;
        bool cancelled;
    };
    const Case cases[] = {
        {{"TI_00031.RPT", "TI_00031.LOG"}, false, 1, exporterr::unexportable(), true},
        {{"TI_00031.RPT"}, true, 1, exporterr::noFolder(), true},
        {{"TI_00031.RPT"}, false, 2, std::nullopt, false},
    };
    for (const Case& c : cases) {
        RecordingExportHost h;
        h.nameCheck = c.nameCheck;
        ExportRequest r = pcRequest(dir, c.names);
        if (c.noFolder)
            r.destination.clear();
        const ExportOutcome out = exportSelectedReports(r, h);
        EXPECT_TRUE(out.commandFailed);
        EXPECT_EQ(out.written, 0);
        EXPECT_EQ(h.errors.empty() ? std::nullopt : std::optional(h.errors[0]), c.error);
        EXPECT_EQ(h.finishedCancelled, c.cancelled);
    }
    EXPECT_FALSE(fs::exists(dir.path() / "TI_00031.csv"));
    EXPECT_EQ(exporterr::unexportable().number, -2147221503);
    EXPECT_EQ(exporterr::noFolder().number, -2147221502);

    const ExportOutcome none = exportSelectedReports(pcRequest(dir, {}), host);
    EXPECT_TRUE(none.cancelled);
    EXPECT_EQ(host.messages, (std::vector<std::string>{
                                 "Selection: No file is selected.\rPlease select a file first."}));
}

TEST_F(ExportRunTest, ReplaceAnswersAndTheNameOnDisk) {
    struct Case {
        int answer;
        bool replaced, cancelled;
    };
    const Case cases[] = {{kReplaceThis, true, false},  {kReplaceAll, true, false},
                          {kReplaceNone, false, false}, {kSkipThis, false, false},
                          {kSkipAll, false, false},     {kReplaceCancel, false, true}};
    copySamples(dir, "pc", {"TI_00031.RPT", "KF_00045.RPT"});
    for (const Case& c : cases) {
        fs::remove(dir.path() / "KF_00045.csv");
        dir.write("ti_00031.CSV", "old");
        RecordingExportHost h;
        h.answer = c.answer;
        const ExportOutcome out =
            exportSelectedReports(pcRequest(dir, {"TI_00031.RPT", "KF_00045.RPT"}), h);
        EXPECT_EQ(readFile(dir.path() / "ti_00031.CSV") != "old", c.replaced) << c.answer;
        EXPECT_FALSE(fs::exists(dir.path() / "TI_00031.csv")) << c.answer;
        EXPECT_EQ(out.cancelled, c.cancelled) << c.answer;
        // Cancelling stops before the next report and writes no summary.
        EXPECT_EQ(fs::exists(dir.path() / "KF_00045.csv"), !c.cancelled) << c.answer;
        EXPECT_EQ(summaries(dir.path()).empty(), c.cancelled) << c.answer;
        for (const auto& s : summaries(dir.path()))
            fs::remove(s);
    }
}

TEST_F(ExportRunTest, AFailedReportIsShownAndTheRunGoesOn) {
    copySamples(dir, "export", {"KF_00209.RPT", "TI_00201.RPT"});
    dir.write("KF_00209.csv", "old");
    fs::create_directory(dir.path() / "TI_00999.RPT");
    dir.write("TI_00999.csv", "kept");
    const ExportOutcome out = exportSelectedReports(
        pcRequest(dir, {"KF_00209.RPT", "TI_00999.RPT", "TI_00201.RPT"}), host);
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[0], about(exporterr::column(), "KF_00209.RPT"));
    EXPECT_EQ(host.errors[1].number, exporterr::kFileAccess);
    EXPECT_EQ(host.errors[1].report, "TI_00999.RPT");
    EXPECT_EQ(out.failed, 2);
    EXPECT_EQ(readFile(dir.path() / "KF_00209.csv"), "old");
    EXPECT_EQ(readFile(dir.path() / "TI_00999.csv"), "kept");
    ASSERT_FALSE(out.summary.empty());
    const auto summary = csvOf(out.summary);
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(summary[1][1], "HCl, 0.1 N");
}

// Two selected reports of one name from two folders: the first one's CSV stays,
// the second fails naming both, and the summary has the first one only.
TEST_F(ExportRunTest, ACsvWrittenByTheRunIsNeverWrittenOver) {
    dir.write("a/TI_00031.RPT", readFile(kSamples / "pc/TI_00031.RPT"));
    dir.write("b/TI_00031.RPT", readFile(kSamples / "pc/TI_00090.RPT"));
    ExportRequest r;
    r.entries = {{"TI_00031.RPT", dir.path() / "a"}, {"TI_00031.RPT", dir.path() / "b"}};
    r.destination = dir.path();
    const ExportOutcome out = exportSelectedReports(r, host);
    EXPECT_EQ(out.written, 1);
    EXPECT_EQ(out.failed, 1);
    EXPECT_TRUE(host.asked.empty()); // no replace question for the run's own file
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].report, "TI_00031.RPT");
    for (const char* source : {"a/TI_00031.RPT", "b/TI_00031.RPT"})
        EXPECT_NE(host.errors[0].description.find((dir.path() / source).string()),
                  std::string::npos)
            << host.errors[0].description;
    EXPECT_EQ(readFile(dir.path() / "TI_00031.csv"), readFile(kSamples / "pc/TI_00031.csv"));
    EXPECT_EQ(csvOf(out.summary).size(), 2u); // the header and the first report
}

TEST_F(ExportRunTest, EverySelectedEntryIsTriedBeyondAThousand) {
    const ExportOutcome out =
        exportSelectedReports(pcRequest(dir, std::vector<std::string>(1002, "TI_9.RPT")), host);
    EXPECT_EQ(out.failed, 1002);
    EXPECT_EQ(host.errors.size(), 1002u);
}

TEST_F(ExportRunTest, TheAbortButtonStopsBeforeTheNextReport) {
    copySamples(dir, "pc", {"TI_00031.RPT", "KF_00045.RPT", "TI_00090.RPT"});
    host.cancelAfterFiles = 1;
    const ExportOutcome out = exportSelectedReports(
        pcRequest(dir, {"TI_00031.RPT", "KF_00045.RPT", "TI_00090.RPT"}), host);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(host.written, (std::vector<std::string>{"TI_00031.csv"}));
    EXPECT_EQ(host.finishedCancelled, true);
    EXPECT_TRUE(summaries(dir.path()).empty());
}

// Every kind of report, the four languages, a tray set with failed beakers.
TEST_F(ExportRunTest, TheExportSamplesFolder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kSamples / "export"))
        if (e.is_regular_file())
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 9u);
    copySamples(dir, "export", names);
    copySamples(dir, "export", {"TRAY0008"});
    const ExportOutcome out = exportSelectedReports(pcRequest(dir, names), host);

    ASSERT_EQ(host.errors, (std::vector<ExportError>{about(exporterr::column(), "KF_00209.RPT")}));
    EXPECT_TRUE(host.messages.empty()) << host.messages[0];
    EXPECT_EQ(out.written, 8 + 3);
    for (const char* tray : {"TI_00301.csv", "TI_00302.csv", "TI_00303.csv"})
        EXPECT_TRUE(fs::exists(dir.path() / "TRAY0008" / tray)) << tray;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
        if (e.path().extension() != ".csv")
            continue;
        const auto rows = csvOf(e.path());
        ASSERT_FALSE(rows.empty()) << e.path();
        for (const auto& row : rows)
            EXPECT_EQ(row.size(), rows[0].size()) << e.path();
    }

    const auto tray = csvOf(dir.path() / "TRAY0008.csv");
    EXPECT_EQ(tray[0], (CsvRecord{"QX502 Titulador Potenciom\xE9trico", "", "#", "Muestra Nombre",
                                  "Resultado", "Unit", "Informe Id", "Fecha y Hora"}));
    EXPECT_EQ(tray[2],
              (CsvRecord{"Nombre Secuencia: Leche ma\xF1"
                         "ana",
                         "", "2", "LECHE-B", "Parade", "-----", "00302", "09:16 Abr 22, 2025"}));

    const auto s = csvOf(out.summary);
    const std::vector<CsvRecord> expected{
        {"#", "Sample Name", "Result", "Unit", "Sample Size", "Unit", "Volume Dispensed", "Unit",
         "Date & Time", "Report ID", "Titration Method"},
        {"1", "Min\xE9rio lote 7", "55.12", "%", "0.2500", "g", "12.345", "mL",
         "10:15 Out 14, 2024", "00204", "Ferro por c\xE9rio(IV)"},
        {"2", "Huile moteur 5W-30", "985.3", "ppm", "2.5120", "g", "1.234", "mL",
         "14:05 Nov 18, 2024", "00205", "Eau dans l'huile"},
        {"3", "HCl, 0.1 N", "0.1012", "mol/L", "25.000", "mL", "25.304", "mL", "09:12 Apr 02, 2025",
         "00201", "Hydrochloric acid assay"},
        {"4", "LECHE-A", "1.55", "g/L", "20.000", "mL", "3.441", "mL", "09:08 Abr 22, 2025",
         "00301", "Acidez de leche"},
        {"5", "LECHE-B", "----", "----", "20.000", "mL", "----", "----", "09:16 Abr 22, 2025",
         "00302", "Acidez de leche"},
        {"6", "LECHE-C", "1.49", "g/L", "20.000", "mL", "3.308", "mL", "09:24 Abr 22, 2025",
         "00303", "Acidez de leche"},
        {"7", "Well \"B\" water", "2.48", "mmol/L", "50.000", "mL", "----", "----",
         "11:30 AM Jun 03, 2025", "00207", "Calcium ISE"},
    };
    EXPECT_EQ(s, expected);
}

TEST_F(ExportRunTest, TitratorReportsAndTraySetsFromMemory) {
    host.titratorRoot = kSamples / "export";
    host.failFetch = "TI_00302.RPT";
    dir.write("TRAY0008/TI_00302.csv", "kept");
    ExportRequest r;
    r.pane = ExportPane::Titrator;
    r.fileType = kTrayReportsType;
    r.trayFolder = "TRAY0001\\"; // what the pane showed before: not where this set lives
    r.entries = {{"TRAY0008.RPT  700  2025-04-22", {}}};
    r.destination = dir.path();
    const ExportOutcome out = exportSelectedReports(r, host);

    EXPECT_EQ(host.listed, (std::vector<std::string>{"TRAY0008\\"}));
    EXPECT_EQ(host.fetched, (std::vector<std::string>{
                                "11||TRAY0008.RPT", "12|TRAY0008\\|TI_00301.RPT",
                                "12|TRAY0008\\|TI_00302.RPT", "12|TRAY0008\\|TI_00303.RPT"}));
    EXPECT_EQ(out.written, 3);
    EXPECT_EQ(out.failed, 2); // the failed fetch and the unsafe name
    EXPECT_TRUE(fs::exists(dir.path() / "TRAY0008.csv"));
    EXPECT_TRUE(fs::exists(dir.path() / "TRAY0008/TI_00303.csv"));
    EXPECT_EQ(readFile(dir.path() / "TRAY0008/TI_00302.csv"), "kept");
    EXPECT_FALSE(fs::exists(dir.path() / "EVIL.csv"));
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "EVIL.csv"));
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[0].source, "serial");

    // Inside a tray folder the pane's folder is the one to fetch from.
    RecordingExportHost inside;
    inside.titratorRoot = host.titratorRoot;
    r.fileType = kTrayFolderType;
    r.trayFolder = "TRAY0008\\";
    r.entries = {{"TI_00301.RPT", {}}, {"TI_00303.RPT", {}}};
    EXPECT_EQ(exportSelectedReports(r, inside).written, 2);
    EXPECT_EQ(inside.fetched[0], "12|TRAY0008\\|TI_00301.RPT");
    EXPECT_TRUE(inside.listed.empty());
}
