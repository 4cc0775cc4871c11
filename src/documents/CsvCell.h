#pragma once
// Cells of the exported CSV text.
#include <string>
#include <string_view>
#include <vector>

namespace csv {

// Appends `text` enclosed in `quote` (the export's own quote rule: "" or "\""), except
// that a text holding the separator, a double quote or a line break is always enclosed
// in double quotes with its own quotes doubled, so that it stays one cell.
void appendCell(std::string& out, std::string_view text, std::string_view quote,
                std::string_view separator);

// Appends one line of `columns` cells, `cellText(column)` each, ended by CR LF.
template <typename CellText>
void appendRow(std::string& out, int columns, CellText cellText, std::string_view separator) {
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            out += separator;
        appendCell(out, cellText(c), "", separator);
    }
    out += "\r\n";
}

// The parts of a line between blanks, empty parts dropped.
std::vector<std::string_view> words(std::string_view line);

// The parts joined by single blanks.
std::string joinWords(const std::vector<std::string_view>& parts, std::size_t from, std::size_t to);

// The value with its first "." turned into `decimalSeparator` when that is ",".
std::string withDecimalSeparator(std::string_view value, std::string_view decimalSeparator);

// The lines of a text: CR LF, CR or LF end a line; a last line end adds no empty line.
std::vector<std::string_view> lines(std::string_view text);

} // namespace csv
