#pragma once
// What a printed document consists of: the heading, two blank lines and the
// rendered lines, and which file types the Print and Preview commands take.
#include <string>
#include <vector>

// Language texts by file type: the printed heading (652 reports, 655 sequences,
// 650 methods and the rest) and the title of the printed pages and the preview
// window (420, 431, 422 by the same grouping).
int printHeadingText(int fileType);
int printTitleText(int fileType);

// The rows of the report table, row k at index k - 1: ten blanks and the
// heading, " ", " ", then the print text split at CR LF (the last row is the
// text after the last CR LF). A lone CR or LF also ends a row, so no control
// character reaches the page. There is no cap on the count: a long report is
// printed whole.
std::vector<std::string> buildPrintLines(const std::string& printText, int fileType);

// The types a PC file may have for each command; a titrator file is printed
// with the pane's type unchecked.
bool printAccepts(int fileType);   // 2, 3, 4, 10, 11, 12
bool previewAccepts(int fileType); // 2, 3, 4

// The language texts that refuse a type.
inline constexpr int kTextCannotPrint = 145;
inline constexpr int kTextCannotPreview = 146;
