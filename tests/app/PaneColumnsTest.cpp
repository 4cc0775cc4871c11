// What config.ini keeps of a pane's table: anything unusable there keeps the default.
#include "app/PaneColumns.h"

#include "TempDir.h"

#include <gtest/gtest.h>

TEST(PaneColumns, UnusableValuesKeepTheDefaults) {
    const PaneColumns defaults;
    const struct {
        const char* widths;
        const char* column;
        std::array<int, kPaneColumns> expectWidths;
        int expectColumn;
    } cases[] = {
        {"120,60,110,200", "2", {120, 60, 110, 200}, 2},
        {" 120 , 60 ,110,200", "-1", {120, 60, 110, 200}, -1},
        {"12a,60,110,200", "4", defaults.widths, -1},
        {"120,60,110", "x", defaults.widths, -1},
        {"120,60,110,200,9", "", defaults.widths, -1},
        {"120,60,0,200", "1.5", defaults.widths, -1},
        {"120,60,99999,200", "3", defaults.widths, 3},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto config =
            dir.write("config.ini", std::string("[PcPane]\nWidths=") + c.widths +
                                        "\nSortColumn=" + c.column + "\nSortOrder=1\n");
        const PaneColumns read = loadPaneColumns(config, "PcPane");
        EXPECT_EQ(read.widths, c.expectWidths) << c.widths;
        EXPECT_EQ(read.sortColumn, c.expectColumn) << c.column;
        EXPECT_TRUE(read.descending);
        EXPECT_EQ(loadPaneColumns(config, "TitratorPane"), defaults);
    }
}
