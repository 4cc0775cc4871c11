#pragma once
// What config.ini remembers of a pane's table: the column widths and the sort.
#include "app/PaneLine.h"

#include <array>
#include <filesystem>
#include <string>

class Host;

struct PaneColumns {
    std::array<int, kPaneColumns> widths{100, 60, 115, 120}; // pixels
    int sortColumn = -1;                                     // -1: the pane's own order
    bool descending = false;
    bool operator==(const PaneColumns&) const = default;
};

// Section `section` ("PcPane", "TitratorPane"); what is missing or unusable
// keeps its default.
PaneColumns loadPaneColumns(const std::filesystem::path& configPath, const std::string& section);
void storePaneColumns(const std::filesystem::path& configPath, const std::string& section,
                      const PaneColumns& columns, Host& host);
