#include "documents/PageLayout.h"

#include <algorithm>

namespace {

constexpr std::size_t kTabStop = 8;

std::vector<std::string> wrap(const std::string& row, std::size_t columns) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < row.size(); at += columns)
        parts.push_back(row.substr(at, columns));
    if (parts.empty())
        parts.emplace_back();
    return parts;
}

} // namespace

std::string printableRow(const std::string& row) {
    std::string out;
    out.reserve(row.size());
    for (const char c : row) {
        if (c == '\t')
            out.append(kTabStop - out.size() % kTabStop, ' ');
        else
            out += static_cast<unsigned char>(c) < 0x20 || c == '\x7F' ? ' ' : c;
    }
    out.erase(out.find_last_not_of(' ') + 1);
    return out;
}

std::vector<PrintedPage> paginate(const std::vector<std::string>& rows, int columns,
                                  int linesPerPage) {
    const std::size_t width = static_cast<std::size_t>(std::max(1, columns));
    const std::size_t height = static_cast<std::size_t>(std::max(1, linesPerPage));
    std::vector<PrintedPage> pages(1);
    for (const std::string& row : rows) {
        const std::vector<std::string> parts = wrap(printableRow(row), width);
        const std::size_t room = height - pages.back().size();
        if (parts.size() > room && parts.size() <= height && !pages.back().empty())
            pages.emplace_back();
        for (const std::string& part : parts) {
            if (pages.back().size() == height)
                pages.emplace_back();
            pages.back().push_back(part);
        }
    }
    return pages;
}
