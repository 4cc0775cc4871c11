#include "link/Trace.h"

#include "core/Encoding.h"

#include <QLocale>
#include <cstdio>
#include <ctime>
#include <system_error>

namespace {
constexpr std::string_view kMarker = "---";
constexpr std::string_view kSeparator = " : ";
constexpr std::string_view kMarkerIndent = "  ";
} // namespace

Trace::Trace(std::filesystem::path logFile, Clock clock)
    : logFile_(std::move(logFile)), clock_(clock ? std::move(clock) : Clock(localClockText)) {}

void Trace::traceSent(const std::string& text) {
    add(Direction::Sent, text);
}

void Trace::traceReceived(const std::string& text) {
    if (!text.empty())
        add(Direction::Received, text);
}

void Trace::add(Direction direction, const std::string& text) {
    const std::string line = formatLine(direction, text, clock_());
    if (listener_)
        listener_(direction, line);
    appendToLog(line);
}

bool Trace::isMarker(std::string_view text) {
    return text.substr(0, kMarker.size()) == kMarker;
}

std::string Trace::formatLine(Direction direction, const std::string& text,
                              const std::string& time) {
    if (isMarker(text))
        return std::string(kMarkerIndent) + text;
    std::string line = direction == Direction::Sent ? " S " : " R ";
    line += time;
    line += " e(0) ";
    line += std::to_string(text.size());
    line += kSeparator;
    line += text;
    return line;
}

std::string Trace::logRecord(const std::string& line) {
    return "\"" + line + "\r\"\r\n";
}

void Trace::appendToLog(const std::string& line) const {
    // The trace must never disturb the exchange it records, so every failure is dropped.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(logFile_, ec);
    if (!ec && size > kMaxLogBytes)
        std::filesystem::remove(logFile_, ec);
    std::FILE* f = std::fopen(logFile_.c_str(), "ab");
    if (!f)
        return;
    const std::string record = logRecord(line);
    std::fwrite(record.data(), 1, record.size(), f);
    std::fclose(f);
}

std::string formatClock(int hour, int minute, int second, std::string_view am,
                        std::string_view pm) {
    int h12 = hour % 12;
    if (h12 == 0)
        h12 = 12;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d ", h12, minute, second);
    return std::string(buf) + std::string(hour < 12 ? am : pm);
}

std::string localClockText() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const QLocale locale = QLocale::system();
    const std::string am = fromQt(locale.amText());
    const std::string pm = fromQt(locale.pmText());
    return formatClock(tm.tm_hour, tm.tm_min, tm.tm_sec, am.empty() ? "AM" : am,
                       pm.empty() ? "PM" : pm);
}

std::string traceMessagePart(const std::string& line) {
    if (line.substr(0, kMarkerIndent.size()) == kMarkerIndent &&
        Trace::isMarker(std::string_view(line).substr(kMarkerIndent.size())))
        return line.substr(kMarkerIndent.size());
    const std::size_t at = line.find(kSeparator);
    return at == std::string::npos ? line : line.substr(at + kSeparator.size());
}

std::string characterCodes(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}
