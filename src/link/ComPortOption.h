#pragma once
// RFC 2217's COM-PORT-OPTION as a client uses it: the line settings asked of
// the server, and the check of what the server answers.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rfc2217 {

constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kServerOffset = 100; // a server's answer carries the command + 100

constexpr uint32_t kDataBits8 = 8;
constexpr uint32_t kParityNone = 1;
constexpr uint32_t kStopBits1 = 1;
constexpr uint32_t kNoFlowControl = 1;

struct LineSetting {
    uint8_t command = 0;
    uint32_t value = 0;
    bool required = true; // flow control is asked for, but a server may leave it unanswered
};

// The COM-PORT-OPTION payload: the command, then the value (the baud rate in
// four bytes, most significant first; the others in one).
std::string request(const LineSetting& setting);
// "SET-BAUDRATE 19200", "SET-PARITY NONE": for messages and the serial trace.
std::string describe(const LineSetting& setting);

// The settings for `baud`, 8 data bits, no parity, 1 stop bit and no flow
// control, and the server's answers to them.
class LineCheck {
public:
    enum class Verdict { Pending, Accepted, Refused };

    explicit LineCheck(int baud);
    // The requests, each as a telnet subnegotiation.
    std::string requests() const;
    // A COM-PORT-OPTION message from the server; notifications are ignored.
    void answer(const std::string& payload);

    // Refused as soon as a required setting comes back with another value;
    // Accepted once all four required ones came back as asked.
    Verdict verdict() const;
    // The first required setting refused, or else the first not answered.
    LineSetting culprit() const;
    // The settings as the server answered them, in the order asked.
    std::vector<LineSetting> answered() const;
    // The flow-control request, when the server left it unanswered.
    std::optional<LineSetting> unansweredControl() const;

private:
    struct Entry {
        LineSetting setting;
        std::optional<uint32_t> answer;
    };
    std::vector<Entry> entries_;
};

} // namespace rfc2217
