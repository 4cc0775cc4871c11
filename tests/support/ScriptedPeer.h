#pragma once
// An in-memory titrator behind the Port interface. It answers command lines
// with "ACK", echoes the frames it is sent and sends its own frames one by one
// on each correct echo, and can drop, garble or delay any of it.
#include "link/Port.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class VirtualPump;

class ScriptedPeer : public Port {
public:
    explicit ScriptedPeer(VirtualPump& pump) : pump_(pump) {}

    // Port
    PortError open(const std::string& device, int baud) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::size_t bytesWaiting() override { return toPc_.size(); }
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    PortError error() const override { return error_; }
    std::string errorText() const override { return errorText_; }

    // Behaviour
    PortError openResult = PortError::None;
    std::string openErrorText = "system says no";
    int replyDelayMs = 0; // answers are scheduled this long after the PC's bytes
    int ackDrops = 0;     // command lines that get no "ACK"
    // Frames sent after the next acknowledged command (or startSending()).
    std::vector<std::string> answer;
    // When set, decides per command (its text without "!" and checksum): nothing
    // means no "ACK"; otherwise "ACK" and the given frames, if any.
    std::function<std::optional<std::vector<std::string>>(const std::string& command)> answerFor;
    // What goes on the wire for the n-th frame send (from 0); "" sends nothing.
    std::function<std::string(int send, const std::string& frame)> mutateOut;
    // The reply to a frame from the PC, given how often that header came; "" is silence.
    std::function<std::string(const std::string& frame, int receipt)> echoFor;
    // Called when the PC echoes frame k of the answer.
    std::function<void(std::size_t k)> onEchoed;
    // Called with every frame the PC sends.
    std::function<void(const std::string& frame)> onFrame;

    // Record
    std::vector<std::string> commandLines;
    std::vector<std::string> framesIn;
    std::vector<std::string> echoesIn;
    int repeatRequests = 0;
    std::string written;
    int frameSends = 0;

    void startSending();
    void deliver(const std::string& bytes);
    void trickle(const std::string& bytes, int gapMs);
    void vanish(PortError kind);
    // The file the PC sent: the payloads of the "p" frames by index, each once.
    std::string receivedFile() const;

private:
    void feed();
    bool takeCommand();
    bool takeReply();
    bool takeFrame();
    void sendCurrent();

    VirtualPump& pump_;
    bool open_ = false;
    PortError error_ = PortError::None;
    std::string errorText_;
    std::string in_;
    std::string toPc_;
    bool sending_ = false;
    std::size_t current_ = 0;
    std::map<std::string, int> receipts_;
};

// A frame whose checksum no longer fits.
std::string badChecksum(const std::string& frame);

// How the titrator sends a text: a "t" frame and 256-byte "p" frames.
std::vector<std::string> framesFor(const std::string& content);
