#pragma once
// One entry of a file pane and the order of a pane's entries by a column.
#include <cstdint>
#include <string>
#include <vector>

struct DateTime;

// One line of a pane: the real file name (what commands act on), the line as
// the commands receive it (the titrator's listing line, the PC's summary), and
// the columns shown.
struct PaneLine {
    static constexpr std::int64_t kNoDate = -1;
    static constexpr std::int64_t kNoSize = -1;

    std::string name;
    std::string text;
    std::int64_t size = kNoSize; // bytes
    std::string date;            // as shown; "" when the file has none
    std::int64_t dateKey = kNoDate;
    std::string description; // a method's name, a report's sample and method
};

// The pane's columns, in the order shown.
enum PaneColumn { kNameColumn, kSizeColumn, kDateColumn, kDescriptionColumn, kPaneColumns };

// Orders dates as dates: later is greater.
std::int64_t dateSortKey(const DateTime& t);

// A line of the titrator's listing: the name, then what the titrator reports.
// A number after the name is the size and a date after that the date; anything
// the table cannot place is shown as the description, unchanged.
PaneLine titratorPaneLine(std::string line);

// The positions of `lines` in the order of the column (names without regard to
// case, sizes as numbers, dates as dates); equal keys keep the pane's order.
// A column outside the table gives the pane's own order.
std::vector<int> sortedOrder(const std::vector<PaneLine>& lines, int column, bool descending);
