#pragma once
// How the rows of a printed document fall onto pages of a fixed-pitch grid:
// so many characters to a line, so many lines to a page. Kept apart from the
// painting so that the rules can be checked without a printer.
#include <string>
#include <vector>

using PrintedPage = std::vector<std::string>;

// A row as the grid shows it: TABs to the next multiple of 8 columns, other
// control characters as blanks, trailing blanks dropped.
std::string printableRow(const std::string& row);

// Lays the rows out: a row wider than `columns` goes on over the next lines,
// and a row is never split between two pages unless it alone is longer than a
// page. Always at least one page, so an empty document still prints its frame.
std::vector<PrintedPage> paginate(const std::vector<std::string>& rows, int columns,
                                  int linesPerPage);
