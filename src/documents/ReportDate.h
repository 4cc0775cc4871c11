#pragma once
// The sort key of a summary line: the report's "Time & Date" text read as the
// titrator writes it, "hh:mm Mmm dd, yyyy" or "hh:mm AM Mmm dd, yyyy".
#include "core/Dates.h"
#include "documents/ExportError.h"

#include <optional>
#include <string_view>

// The hour on a 24-hour clock; "Invalid time" for a designator other than "AM" or "PM".
std::optional<int> tt224hr(int hour, std::string_view designator, ExportError* error = nullptr);

// The month of a three-letter abbreviation (English, Portuguese, Spanish; exact case);
// "Invalid month string" for any other text.
std::optional<int> month2byte(std::string_view month, ExportError* error = nullptr);

struct DateKey {
    DateTime key;
    ExportFault error; // to be shown; the key is then the fallback
};

// The key of a date text enclosed in quotes (the summary's field 8). A text of another
// length, or one that does not read, gives `fallback` (the current date); only the
// latter carries an error.
DateKey reportDateKey(std::string_view text, const DateTime& fallback);
