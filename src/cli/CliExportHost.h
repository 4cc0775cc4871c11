#pragma once
// The export's dealings for the command-line tool: messages and each failed
// report on stderr, existing CSV files replaced (or kept with --no-replace),
// each file written on stdout or, for scripts, each report's record.
#include "cli/CliLink.h"
#include "documents/ExportRun.h"

#include <iosfwd>

class CliInterrupt;
namespace devfiles {
struct FileLink;
}

class CliExportHost : public ExportHost {
public:
    // records: where each report's record goes (then no path is printed); may be null.
    CliExportHost(std::ostream& out, std::ostream& err, bool replace, CliInterrupt& interrupt,
                  TransferObserver* records = nullptr);

    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    int checkFileName(const std::string&) override { return 1; }
    void initReplace() override {}
    int checkReplaceOnPc(const std::string& fileName) override;
    bool cancelRequested() override;
    // The titrator side, once connected (link_ set): reports fetched into memory.
    bool fetchReport(const TitratorReport& report, std::string& bytes, ExportError& error) override;
    bool listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                        ExportError& error) override;
    void showExportError(const ExportError& e) override;
    void fileWritten(const std::filesystem::path& file) override;
    void record(const TransferRecord& r) override;

    devfiles::FileLink* link_ = nullptr;

private:
    std::ostream& out_;
    std::ostream& err_;
    CliHost terminal_;
    bool replace_;
    CliInterrupt& interrupt_;
    TransferObserver* records_;
};
