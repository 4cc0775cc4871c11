#pragma once
// veltran-cli render: a method, Karl Fischer method, sequence or report file as
// the viewer shows it.
#include <iosfwd>
#include <string>
#include <vector>

// render FILE [--type N] [--kind K] [--firmware F] [--series QX50x|QX53x]
//             [--device-type T] [--out PATH]
// Prints the rendered text as UTF-8 (LF line ends) on `out`; with --out writes the
// exact bytes (Windows-1252, CR LF) to PATH instead. Exit 0, or 2 for a usage
// error or a file that cannot be read or written.
int cmdRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
