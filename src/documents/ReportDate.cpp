#include "documents/ReportDate.h"

#include "core/Numbers.h"
#include "core/Text.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr std::size_t k24HourLength = 18; // "hh:mm Mmm dd, yyyy"
constexpr std::size_t k12HourLength = 21; // "hh:mm AM Mmm dd, yyyy"

std::optional<int> number(std::string_view digits) {
    for (char c : digits)
        if (c != ' ' && (c < '0' || c > '9'))
            return std::nullopt;
    const auto v = num::parseInteger(digits);
    return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
}

// The parts as a checked calendar date and time, or nothing.
std::optional<DateTime> validDate(int year, int month, int day, int hour, int minute) {
    char iso[64];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
    if (year < 0 || hour < 0 || minute < 0)
        return std::nullopt;
    return parseDateText(iso);
}

} // namespace

std::optional<int> tt224hr(int hour, std::string_view designator, ExportError* error) {
    if (designator == "AM")
        return hour == 12 ? 0 : hour;
    if (designator == "PM")
        return hour < 12 ? hour + 12 : hour;
    if (error)
        *error = exporterr::invalidTime();
    return std::nullopt;
}

std::optional<int> month2byte(std::string_view month, ExportError* error) {
    struct Name {
        std::string_view text;
        int month;
    };
    static constexpr std::array<Name, 21> names{{
        {"Jan", 1}, {"Ene", 1},  {"Feb", 2},  {"Fev", 2},  {"Mar", 3},  {"Apr", 4},  {"Abr", 4},
        {"May", 5}, {"Mai", 5},  {"Jun", 6},  {"Jul", 7},  {"Aug", 8},  {"Ago", 8},  {"Sep", 9},
        {"Set", 9}, {"Oct", 10}, {"Out", 10}, {"Nov", 11}, {"Dec", 12}, {"Dez", 12}, {"Dic", 12},
    }};
    for (const Name& n : names)
        if (n.text == month)
            return n.month;
    if (error)
        *error = exporterr::invalidMonth();
    return std::nullopt;
}

DateKey reportDateKey(std::string_view text, const DateTime& fallback) {
    std::string t = text::trim(std::string(text));
    t = t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string();
    if (t.size() != k24HourLength && t.size() != k12HourLength)
        return {fallback, std::nullopt};
    const std::size_t o = t.size() == k12HourLength ? 3 : 0;
    const std::string_view s = t;
    ExportError error;
    auto hour = number(s.substr(0, 2));
    if (hour && o)
        hour = tt224hr(*hour, s.substr(6, 2), &error);
    else if (!hour)
        error = exporterr::invalidDate();
    std::optional<int> month;
    if (hour)
        month = month2byte(s.substr(6 + o, 3), &error);
    if (hour && month) {
        const auto minute = number(s.substr(3, 2));
        const auto day = number(s.substr(10 + o, 2));
        const auto year = number(s.substr(14 + o, 4));
        if (minute && day && year)
            if (const auto d = validDate(*year, *month, *day, *hour, *minute))
                return {*d, std::nullopt};
        error = exporterr::invalidDate();
    }
    return {fallback, error};
}
