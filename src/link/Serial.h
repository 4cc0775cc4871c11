#pragma once
// The serial exchange with the titrator: the port, the read time-out, the
// settling pause and the busy and error flags, and the two kinds of traffic on
// top (command lines answered by "ACK", framed block transfers).
//
// The busy flag is a counted hold. An exchange begins with beginExchange()
// (or setSerialBusy(true), or Serial::Exchange) and ends with the matching
// release; an operation that holds the link (a copy of many files, the
// upgrade) may call commands that take and release it again inside its hold,
// and the link check stays off until the outermost release. Every wait runs
// pending events, so a click can start a second operation while an exchange
// waits: such an exchange, begun from inside one of this object's waits, is
// refused with the wait message (language text 348), and every port
// operation called from inside a wait sends and reads nothing. A release from
// inside a wait is ignored, so an intruder cannot end the exchange it
// interrupted.
//
// Transfers return a TransferResult and report progress to, and take the
// abort request from, the TransferSink their caller passes.
#include "link/Port.h"
#include "link/Transfer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

class AtomicFile;
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
    static constexpr uint32_t kMaxBlocks = 0xFFFF;   // what the four-digit block count can say
    // Far above any real frame; stops a garbled stream that never closes a frame.
    static constexpr std::size_t kMaxFrameLength = 4096;
    // Communication error codes and texts.
    static constexpr int kErrAnswerFailed = 13;
    static constexpr int kCommErrorShowMs = 10000;
    static constexpr int kWaitShowMs = 5000;
    static constexpr int kTextCommError = 330;
    static constexpr int kTextWait = 348;
    static constexpr int kTextInvalidPort = 979;
    static constexpr int kTextNoPermission = 1201;

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

    // --- transfers
    TransferResult transmission(const std::filesystem::path& path, TransferSink& sink);
    // The content of `path`, read before anything was announced (readFileToSend).
    TransferResult transmission(const std::filesystem::path& path, const std::string& data,
                                TransferSink& sink);
    // Replaces the file only when the whole file has arrived; any other end
    // leaves the old file as it was.
    TransferResult reception(const std::filesystem::path& path, TransferSink& sink);
    // Receives into `part` and writes it out, leaving the commit to the caller,
    // so that the files of one set replace their targets together.
    TransferResult reception(AtomicFile& part, TransferSink& sink);
    // An aborted or failed reception leaves the text empty.
    TransferResult stringReception(std::string& text, TransferSink& sink);
    // A command with a framed answer; a failed answer is reported as error 13.
    TransferResult sendCommand(const std::string& command, std::string& answer);
    TransferResult sendCommand(const std::string& command, std::string& answer, TransferSink& sink);
    // A command that is only acknowledged: word + " " + argument.
    TransferResult sendCommandAck(const std::string& word, const std::string& argument);
    // Stops the running transfer the way its sink's abort would.
    void abortRunningTransfer();
    bool transferRunning() const { return activeSink_ != nullptr; }

    // --- busy flag (a counted hold)
    [[nodiscard]] bool beginExchange();
    void endExchange();
    // true: beginExchange(); false: endExchange(). Returns whether the link was
    // taken (always true for false).
    bool setSerialBusy(bool busy);
    bool isSerialBusy() const { return holds_ > 0; }
    int holdDepth() const { return holds_; }
    // False while an exchange holds the link or a wait is under way; the link
    // check skips its run then.
    bool canStartExchange() const { return holds_ == 0 && waitDepth_ == 0; }
    // Runs work that waits through the pump for ports (a network port's connect,
    // a probe) with the link held and marked as waiting, so that no link check
    // or command starts on a half-open port meanwhile (they get the wait
    // message). False, with work not run, when called from inside a wait.
    bool holdLinkWhile(const std::function<void()>& work);

    // Holds the link for one scope: Serial::Exchange ex(serial); if (!ex) give up.
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
    // Runs after each communication error, once its settling pause has started.
    void setAfterCommError(std::function<void()> followUp) {
        afterCommError_ = std::move(followUp);
    }
    void showCommError(int code) { commError(code); }

    // --- settling pause
    void startRecoveryWait() { startRecoveryWaitMs(kRecoveryMs); }
    void startRecoveryWaitMs(int ms);
    // The pause a titrator needs after a transfer it did not finish (an abort):
    // it must time out its side before the next command.
    void settleAfter(TransferResult result);
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
    class Wait;
    class ActiveTransfer;
    struct Receiver;

    bool refused();
    PortError currentFault() const;
    TransferResult failureOfLastRead() const;
    std::string takePartialInput();
    bool waitForInput(std::size_t& seen, std::size_t count);
    bool sendFrameHeader(const std::string& frame);
    bool sendRepeatRequest();
    TransferResult sendWithEcho(const std::string& frame, int maxSends);
    TransferResult sendBlocks(const std::string& data, uint32_t blocks, TransferSink& sink);
    TransferResult receiveLoop(Receiver& receiver, TransferSink& sink);
    bool acceptsFrame(const std::string& frame, const Receiver& receiver) const;
    bool handleFrame(const std::string& frame, Receiver& receiver, TransferSink& sink);
    TransferResult commandAcknowledged(const std::string& line);
    void reportOpenError(PortError error, const std::string& device);
    void reportFileFault(const AtomicFile& part);

    Port& port_;
    Pump& pump_;
    SerialHost& host_;
    DeviceResolver resolver_;
    Trace* trace_;
    Clock clock_;

    bool timedOut_ = true;
    int portStatus_ = 0;
    int readTimeoutMs_ = kReadTimeoutMs;
    bool serialError_ = false;
    int holds_ = 0;
    int64_t recoveryEnd_ = 0;
    int waitDepth_ = 0;
    TransferSink* activeSink_ = nullptr;
    std::function<void()> afterCommError_;
    PortError lastPortError_ = PortError::None;
};

// A PC file as a transmission sends it: a regular file of at most the blocks
// one "t" frame can count. False with the reason (naming the file) otherwise.
bool readFileToSend(const std::filesystem::path& path, std::string& data, std::string& error);
