#include "app/PaneColumns.h"

#include "core/Ini.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace {

constexpr int kMinWidth = 8; // narrower and the user could not find the column to widen it
constexpr int kMaxWidth = 4000;

std::optional<int> numberIn(const std::string& text, int low, int high) {
    const auto n = num::parseInteger(text);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return static_cast<int>(*n);
}

} // namespace

PaneColumns loadPaneColumns(const std::filesystem::path& configPath, const std::string& section) {
    PaneColumns c;
    // All four widths or none: a half-read list would mix two layouts.
    std::string widths = getIniString(configPath, section, "Widths");
    std::array<int, kPaneColumns> read{};
    bool complete = true;
    for (int& width : read) {
        const auto w = numberIn(takeToken(widths, ","), kMinWidth, kMaxWidth);
        complete = complete && w.has_value();
        width = w.value_or(0);
    }
    if (complete && text::trim(widths).empty())
        c.widths = read;
    if (const auto column =
            numberIn(getIniString(configPath, section, "SortColumn"), -1, kPaneColumns - 1))
        c.sortColumn = *column;
    c.descending = getIniString(configPath, section, "SortOrder") == "1";
    return c;
}

void storePaneColumns(const std::filesystem::path& configPath, const std::string& section,
                      const PaneColumns& c, Host& host) {
    std::string widths;
    for (int w : c.widths)
        widths += (widths.empty() ? "" : ",") + std::to_string(w);
    setIniString(configPath, section, "Widths", widths, host);
    setIniString(configPath, section, "SortColumn", std::to_string(c.sortColumn), host);
    setIniString(configPath, section, "SortOrder", c.descending ? "1" : "0", host);
}
