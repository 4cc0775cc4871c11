#pragma once
// Dates as files carry them. They are wall-clock texts with no time zone, so
// nothing here converts through the PC's zone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct DateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const DateTime&) const = default;
};

// The calendar date and time the given number of seconds after 1970-01-01 00:00.
DateTime dateFromSeconds(std::int64_t seconds);

// "yyyy-MM-dd HH:mm"
std::string formatDateTime(const DateTime& t);

// "yyyy-MM-dd HH:mm" of the moment the given seconds after 1970-01-01 00:00;
// 0 is "1970-01-01 00:00" whatever TZ says.
std::string secondsToDate(std::int64_t seconds);

// Reads the date forms of instrument files: ISO "2024-01-31 14:30[:00]", day-first
// "31.01.2024", "31/01/2024" and month-first "01/31/2024" (with an optional time), and
// the report forms "14:30 Jan 31, 2024" and "02:30 PM Jan 31, 2024" with English,
// Portuguese, Spanish or French month abbreviations.
std::optional<DateTime> parseDateText(std::string_view text);

// True when the text reads as a date (with or without a time).
bool isDateText(std::string_view text);
