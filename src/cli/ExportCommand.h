#pragma once
// veltran-cli export: reports into CSV files, as the Export command does from
// the PC pane or (--from-titrator) from the titrator pane.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct LinkOptions;

struct ExportCommandOptions {
    int titratorType = 0; // --from-titrator: the category's file type; 0 for PC reports
    std::vector<std::string> reports;
    std::string to;
    std::optional<int> csvSep, decSep, order; // unset: from config.ini
    std::string summaryName;
    bool replace = true; // false with --no-replace
    bool json = false;   // JSON Lines: one a report, then {"summary": PATH}
};

// export REPORT... [--to DIR] [--csv-sep 0|1] [--dec-sep 0|1] [--order 0|1|2]
//        [--summary-name NAME] [--no-replace]
// [link options] export --from-titrator reports|tray-reports NAME... --to DIR [...]
// Prints each file written; names on stderr each report that failed or that the
// summary leaves out, and why. --to is made when missing; a --summary-name without
// an extension gets ".csv". Exit 0; 1 when a report or the command failed; 2 a
// folder that cannot be made or a setup error; 3 the link did not come up or
// was lost; 4 a titrator not identified or refused; 130/143 after Ctrl-C/SIGTERM.
int cmdExport(const ExportCommandOptions& options, const LinkOptions& link, std::ostream& out,
              std::ostream& err);
