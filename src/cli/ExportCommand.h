#pragma once
// veltran-cli export: PC reports into CSV files, as the Export command does from the PC pane.
#include <iosfwd>
#include <string>
#include <vector>

// export REPORT... [--to DIR] [--csv-sep 0|1] [--dec-sep 0|1] [--order 0|1|2]
//        [--summary-name NAME] [--no-replace]
// Prints each file written. Exit 0; 1 when a report or the command failed; 2 usage.
int cmdExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
