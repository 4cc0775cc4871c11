#pragma once
// A report's text as the titrator writes it: the header lines with their TAB, an
// empty line, the data table's column-header line and rows, then, when there is
// one, an empty line and the footer.
#include <string>
#include <vector>

inline std::string report(const std::vector<std::string>& head, const std::string& table,
                          const std::vector<std::string>& rows,
                          const std::vector<std::string>& foot = {},
                          const std::string& eol = "\r\n") {
    std::string text;
    for (const auto& h : head)
        text += "\t" + h + eol;
    text += eol + "\t" + table + eol;
    for (const auto& r : rows)
        text += "\t" + r + eol;
    if (!foot.empty())
        text += eol;
    for (const auto& f : foot)
        text += "\t" + f + eol;
    return text;
}
