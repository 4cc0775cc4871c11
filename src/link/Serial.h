#pragma once
// The serial exchange with the titrator: the port, the read time-out, the
// settling pause and the busy, error and stop flags, and the two kinds of
// traffic on top (command lines answered by "ACK", framed block transfers).
//
// Exchanges and the busy flag. Every wait runs pending events, so a click can
// start a second operation while an exchange waits for the titrator. Callers
// therefore open an exchange with beginExchange() (or setSerialBusy(true)),
// which refuses while another exchange holds the link or a port wait is in
// progress; on refusal show the wait message (language text 348) and give up.
// As a second line of defence, every operation that talks to the port refuses
// when it is called from inside one of this object's own port waits: it sends
// and reads nothing, shows the wait message and reports failure. A release
// from inside such a wait is ignored, so an intruder cannot end the exchange
// it interrupted.
#include "link/Port.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

class Pump;
class SerialHost;
class Trace;

class Serial {
public:
    // Protocol figures.
    static constexpr int kReadTimeoutMs = 5000;      // inactivity limit of one read
    static constexpr int kLinkCheckTimeoutMs = 1000; // the link check's echo wait
    static constexpr int kAckDelayMs = 100;          // before reading "ACK"
    static constexpr int kRecoveryMs = 3000;         // settling pause after abort or error
    static constexpr int kHeaderSends = 3;           // "t" frame sends on a wrong echo
    static constexpr int kBlockSends = 4;            // "p" frame sends on a wrong echo
    static constexpr int kMaxBadFrames = 3;          // bad frames in a row that are asked again
    static constexpr int kCommandAttempts = 3;       // command line sends without "ACK"
    // Far above any real frame; stops a garbled stream that never closes a frame.
    static constexpr std::size_t kMaxFrameLength = 4096;
    // Communication error codes and texts.
    static constexpr int kErrAnswerFailed = 13;
    static constexpr int kCommErrorShowMs = 10000;
    static constexpr int kWaitShowMs = 5000;
    static constexpr int kTextCommError = 330;
    static constexpr int kTextWait = 348;
    static constexpr int kTextInvalidPort = 979;

    enum FrameStatus { FrameGood = 0, FrameTimeout = 1, FrameBad = 2 };

    using DeviceResolver = std::function<std::string(int portNumber)>;
    using Clock = std::function<int64_t()>; // monotonic milliseconds

    Serial(Port& port, Pump& pump, SerialHost& host, DeviceResolver resolver,
           Trace* trace = nullptr);
    ~Serial();
    Serial(const Serial&) = delete;
    Serial& operator=(const Serial&) = delete;

    // --- port
    bool openPort(int portNumber, int speed);
    void closePort();
    bool isPortOpen() const;
    // The port fault that ended the last failed read or write (None after a
    // plain time-out): NotOpen or ClosedUnderUs for a port that stopped
    // working, DeviceVanished for a device that went away.
    PortError lastPortError() const { return lastPortError_; }

    // --- raw traffic (traced)
    bool sendString(const std::string& text);
    std::string readAllInput();
    void traceReceived(const std::string& text);
    // Waits for and takes exactly count characters; the limit counts from the
    // last character that arrived. More input stays waiting.
    bool readPort(std::string& text, std::size_t count);
    void startTimer() { timedOut_ = false; }
    bool timedOut() const { return timedOut_; }
    int readTimeoutMs() const { return readTimeoutMs_; }
    void setReadTimeoutMs(int ms) { readTimeoutMs_ = ms; }

    // --- frames and acknowledgements
    FrameStatus receiveFrame(std::string& frame);
    FrameStatus waitEcho(const std::string& frame);
    bool waitAcknowledge();

    // --- exchanges
    bool transmission(const std::filesystem::path& path);
    // Replaces the file only when the whole file has arrived; an abort also
    // returns true (ask wasTransferStoped) and leaves the old file as it was.
    bool reception(const std::filesystem::path& path);
    bool stringReception(std::string& text);
    // The framed answer, "" on failure (a failed answer is reported as error 13).
    std::string sendCommand(const std::string& command);
    bool sendCommandAck(const std::string& word, const std::string& argument);

    // --- busy flag
    [[nodiscard]] bool beginExchange();
    void endExchange();
    // true: beginExchange(); false: endExchange(). Returns whether the link was
    // taken (always true for false).
    bool setSerialBusy(bool busy);
    bool isSerialBusy() const { return serialBusy_; }
    // False while another exchange holds the link or a port wait is under way;
    // the link check skips its run then.
    bool canStartExchange() const { return !serialBusy_ && ioWaitDepth_ == 0; }

    // Holds the link for one scope: Serial::Exchange ex(serial); if (!ex) refuse.
    class Exchange {
    public:
        explicit Exchange(Serial& serial) : serial_(serial), held_(serial.beginExchange()) {}
        ~Exchange() {
            if (held_)
                serial_.endExchange();
        }
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;
        explicit operator bool() const { return held_; }

    private:
        Serial& serial_;
        bool held_;
    };

    // --- error flag and the communication error report
    bool wasSerialError() const { return serialError_; }
    void setSerialError() { serialError_ = true; }
    // Status bar red for 10 s with text 330 and the code, error flag, settling pause.
    void commError(int code);
    void showCommError(int code) { commError(code); }

    // --- stop flag and transfers
    void stopTransfer() { stopRequested_ = true; }
    // The stop flag; when set it also starts the settling pause.
    bool wasTransferStoped();
    bool stopRequested() const { return stopRequested_; }
    void beginTransfer() { stopRequested_ = false; }
    void endTransfer() {}

    // --- settling pause
    void startRecoveryWait() { startRecoveryWaitMs(kRecoveryMs); }
    void startRecoveryWaitMs(int ms);
    bool isRecovering() const;
    bool recoveryDone() const { return !isRecovering(); }
    void waitRecovery();

    // --- misc
    int getPortStatus() const { return portStatus_; }
    void setPortStatus(int status) { portStatus_ = status; }
    void delayMs(int ms, bool hourglass = false);
    Trace* trace() const { return trace_; }
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    class IoWait;
    struct Receiver;

    bool refused();
    PortError currentFault() const;
    std::string takePartialInput();
    bool waitForInput(std::size_t& seen, std::size_t count);
    bool sendFrameHeader(const std::string& frame);
    bool sendRepeatRequest();
    bool sendWithEcho(const std::string& frame, int maxSends);
    bool sendBlocks(std::istream& in, uint64_t size, uint32_t blocks, bool upgrade);
    bool receiveLoop(Receiver& receiver);
    bool handleFrame(const std::string& frame, Receiver& receiver);
    bool commandAcknowledged(const std::string& line);
    void reportOpenError(PortError error, const std::string& device);

    Port& port_;
    Pump& pump_;
    SerialHost& host_;
    DeviceResolver resolver_;
    Trace* trace_;
    Clock clock_;

    bool timedOut_ = true;
    bool stopRequested_ = false;
    int portStatus_ = 0;
    int readTimeoutMs_ = kReadTimeoutMs;
    bool serialError_ = false;
    bool serialBusy_ = false;
    int64_t recoveryEnd_ = 0;
    int ioWaitDepth_ = 0;
    PortError lastPortError_ = PortError::None;
};
