// The report parser and CSV export: one report through convertReport, then its
// summary line through the export's summary. The first byte chooses the report
// kind (by its file name) and the export options; the rest is the report.
#include "core/Host.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "documents/CsvExport.h"
#include "documents/ReportCsv.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

struct SilentHost : Host {
    void message(const std::string&, const std::string&, Icon) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
};

constexpr std::string_view kNames[] = {"TI_00001.RPT", "PH_00001.RPT", "MV_00001.RPT",
                                       "MVR00001.RPT", "KF_00001.RPT", "DR_00001.RPT",
                                       "ISE00001.RPT", "TRAY0001.RPT"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const ExportOptions options =
        exportOptionsFor((choice >> 3) & 1, (choice >> 4) & 1, (choice >> 5) % 3);
    SilentHost host;
    CsvExport run(options, host);
    run.startSummary(1);
    TrayTable tray;
    ConvertedReport report;
    if (!convertReport(bytes, kNames[choice & 7], options, true, tray, report) &&
        report.addsSummaryLine()) {
        run.addSummaryLine(report.fields);
        run.summaryText();
    }
    return 0;
}
