#pragma once
// veltran-cli export: reports into CSV files, as the Export command does from
// the PC pane or (--from-titrator) from the titrator pane.
#include <iosfwd>

struct CliOptions;

// export REPORT... [--to DIR] [--csv-sep 0|1] [--dec-sep 0|1] [--order 0|1|2]
//        [--summary-name NAME] [--no-replace]
// [link options] export --from-titrator reports|tray-reports NAME... --to DIR [...]
// Prints each file written. Exit 0; 1 when a report or the command failed; 2 usage;
// 3 the link did not come up.
int cmdExport(const CliOptions& options, std::ostream& out, std::ostream& err);
