#pragma once
// What the serial exchange tells the user interface. The main window implements
// it with widgets, the command-line tool with stderr, tests with a recorder.
#include <cstdint>
#include <string>

namespace colour {
// 24-bit values in the order blue, green, red, as stored in the configuration.
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kBlue = 0xFF0000;
} // namespace colour

class SerialHost {
public:
    virtual ~SerialHost() = default;
    // Status bar message in a colour for the given time (the link check stays quiet that long).
    virtual void statusMessage(const std::string& text, uint32_t colour, int ms) = 0;
    // A port that could not be opened: red status bar text that also survives start-up.
    virtual void portError(const std::string& text) = 0;
    // An exchange starts or ends: the waiting state of the window, the link check off or on.
    virtual void busyChanged(bool busy) = 0;
    // An unexpected fault inside a transfer (file layer); the transfer goes on.
    virtual void runtimeError(int number, const std::string& description,
                              const std::string& source) = 0;
    // The hourglass pointer on or back to what it was (delays that ask for it).
    virtual void waitCursor(bool on) { (void)on; }
};

// Ignores everything; for callers that have nobody to tell.
class NullSerialHost : public SerialHost {
public:
    void statusMessage(const std::string&, uint32_t, int) override {}
    void portError(const std::string&) override {}
    void busyChanged(bool) override {}
    void runtimeError(int, const std::string&, const std::string&) override {}
};
