#pragma once
// The serial trace: every text written to or read from the port, as lines in
// debug.log and, through a listener, in the Debug Window.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class Trace {
public:
    enum class Direction { Sent, Received };
    // The time of day as the trace prints it ("hh:mm:ss AM").
    using Clock = std::function<std::string()>;
    using Listener = std::function<void(Direction, const std::string& line)>;

    // The log restarts once it has grown past this size.
    static constexpr std::uintmax_t kMaxLogBytes = 1'000'000;

    explicit Trace(std::filesystem::path logFile, Clock clock = {});

    void traceSent(const std::string& text);
    // An empty text leaves no line.
    void traceReceived(const std::string& text);

    void setListener(Listener listener) { listener_ = std::move(listener); }
    const std::filesystem::path& logFile() const { return logFile_; }

    static std::string formatLine(Direction direction, const std::string& text,
                                  const std::string& time);
    // One debug.log record: the line quoted, with a CR inside the quotes.
    static std::string logRecord(const std::string& line);
    static bool isMarker(std::string_view text);

private:
    void add(Direction direction, const std::string& text);
    void appendToLog(const std::string& line) const;

    std::filesystem::path logFile_;
    Clock clock_;
    Listener listener_;
};

// "hh:mm:ss AM" on the 12-hour clock from a 24-hour time.
std::string formatClock(int hour, int minute, int second, std::string_view am = "AM",
                        std::string_view pm = "PM");
// The local time of day with the locale's AM/PM designators.
std::string localClockText();

// The part of a trace line after its " : " separator (a marker line's own text).
std::string traceMessagePart(const std::string& line);
// The byte values of a text as two-digit hex numbers separated by blanks.
std::string characterCodes(const std::string& text);
