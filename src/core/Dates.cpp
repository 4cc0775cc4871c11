#include "core/Dates.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil algorithm).
void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

bool valid(const DateTime& t) {
    return t.year >= 100 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// A small cursor over the text.
struct Scan {
    std::string_view s;
    std::size_t at = 0;

    bool end() const { return at == s.size(); }
    void blanks() {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
            ++at;
    }
    bool take(char c) {
        if (at < s.size() && s[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    // 1..maxDigits digits.
    bool number(int& out, std::size_t minDigits, std::size_t maxDigits) {
        std::size_t n = 0;
        int v = 0;
        while (at < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[at]))) {
            v = v * 10 + (s[at] - '0');
            ++at;
            ++n;
        }
        out = v;
        return n >= minDigits;
    }
    std::string_view word() {
        const std::size_t start = at;
        while (at < s.size() && s[at] != ' ' && s[at] != '\t' && s[at] != ',' &&
               !std::isdigit(static_cast<unsigned char>(s[at])))
            ++at;
        return s.substr(start, at - start);
    }
};

std::string folded(std::string_view w) {
    std::string out;
    for (unsigned char c : w) {
        if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
            c = static_cast<unsigned char>(c + 0x20); // Windows-1252 capitals to small letters
        out += static_cast<char>(std::tolower(c));
    }
    return out;
}

// Month abbreviations the report languages use (English, Portuguese, Spanish, French).
int monthNumber(std::string_view word) {
    struct Name {
        const char* text;
        int month;
    };
    static const std::vector<Name> names = {
        {"jan", 1},       {"ene", 1},       {"janv", 1},  {"feb", 2},       {"fev", 2},
        {"f\xE9v", 2},    {"f\xE9vr", 2},   {"mar", 3},   {"mars", 3},      {"apr", 4},
        {"abr", 4},       {"avr", 4},       {"may", 5},   {"mai", 5},       {"jun", 6},
        {"juin", 6},      {"jul", 7},       {"juil", 7},  {"aug", 8},       {"ago", 8},
        {"ao\xFB", 8},    {"ao\xFBt", 8},   {"aou", 8},   {"sep", 9},       {"set", 9},
        {"sept", 9},      {"oct", 10},      {"out", 10},  {"nov", 11},      {"dec", 12},
        {"dez", 12},      {"dic", 12},      {"d\xE9""c", 12}};
    std::string w = folded(word);
    if (!w.empty() && w.back() == '.')
        w.pop_back();
    for (const Name& n : names)
        if (w == n.text)
            return n.month;
    return 0;
}

// "hh:mm[:ss]" with the cursor on the first digit.
bool timeOfDay(Scan& sc, DateTime& t) {
    if (!sc.number(t.hour, 1, 2) || !sc.take(':') || !sc.number(t.minute, 2, 2))
        return false;
    if (sc.take(':') && !sc.number(t.second, 2, 2))
        return false;
    return true;
}

// An optional " AM"/" PM" after a time; false for a 12-hour time out of range.
bool designator(Scan& sc, DateTime& t) {
    const std::size_t keep = sc.at;
    sc.blanks();
    const std::string w = folded(sc.word());
    if (w != "am" && w != "pm") {
        sc.at = keep;
        return true;
    }
    if (t.hour < 1 || t.hour > 12)
        return false;
    if (w == "am" && t.hour == 12)
        t.hour = 0;
    else if (w == "pm" && t.hour < 12)
        t.hour += 12;
    return true;
}

// "14:30 Jan 31, 2024", "02:30 PM Jan 31, 2024"
std::optional<DateTime> reportForm(std::string_view text) {
    Scan sc{text};
    DateTime t;
    if (!timeOfDay(sc, t) || !designator(sc, t))
        return std::nullopt;
    sc.blanks();
    t.month = monthNumber(sc.word());
    sc.blanks();
    if (t.month == 0 || !sc.number(t.day, 1, 2))
        return std::nullopt;
    sc.take(',');
    sc.blanks();
    if (!sc.number(t.year, 4, 4))
        return std::nullopt;
    sc.blanks();
    return sc.end() && valid(t) ? std::optional(t) : std::nullopt;
}

// Numeric date, then an optional time: "2024-01-31", "31.01.2024", "31/01/2024", "01/31/2024".
std::optional<DateTime> numericForm(std::string_view text) {
    Scan sc{text};
    DateTime t;
    int a = 0, b = 0, c = 0;
    const std::size_t start = sc.at;
    if (!sc.number(a, 1, 4))
        return std::nullopt;
    const bool isoFirst = sc.at - start == 4;
    const char sep = sc.at < text.size() ? text[sc.at] : '\0';
    if (sep != '-' && sep != '.' && sep != '/')
        return std::nullopt;
    ++sc.at;
    if (!sc.number(b, 1, 2) || !sc.take(sep) || !sc.number(c, isoFirst ? 1 : 4, isoFirst ? 2 : 4))
        return std::nullopt;
    if (!sc.end()) {
        sc.blanks();
        if (!timeOfDay(sc, t) || !designator(sc, t))
            return std::nullopt;
        sc.blanks();
        if (!sc.end())
            return std::nullopt;
    }
    if (isoFirst) {
        t.year = a, t.month = b, t.day = c;
        return valid(t) ? std::optional(t) : std::nullopt;
    }
    t.year = c, t.day = a, t.month = b; // day first, the European reading
    if (valid(t))
        return t;
    if (sep != '/')
        return std::nullopt;
    t.day = b, t.month = a; // month first, the American reading
    return valid(t) ? std::optional(t) : std::nullopt;
}

} // namespace

DateTime dateFromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    DateTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::string formatDateTime(const DateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return buf;
}

std::string secondsToDate(std::int64_t seconds) {
    return formatDateTime(dateFromSeconds(seconds));
}

std::optional<DateTime> parseDateText(std::string_view text) {
    Scan sc{text};
    sc.blanks();
    std::string_view t = text.substr(sc.at);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
        t.remove_suffix(1);
    if (t.empty())
        return std::nullopt;
    if (auto d = numericForm(t))
        return d;
    return reportForm(t);
}

bool isDateText(std::string_view text) {
    return parseDateText(text).has_value();
}
