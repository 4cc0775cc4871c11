#include "link/Serial.h"

#include "core/AtomicFile.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/RegularFile.h"
#include "core/Text.h"
#include "link/Frame.h"
#include "link/PortNames.h"
#include "link/SerialHost.h"
#include "link/Trace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isFatal(PortError e) {
    return e == PortError::ClosedUnderUs || e == PortError::DeviceVanished;
}

double fraction(uint64_t part, uint64_t whole) {
    return whole == 0 ? 0.0 : std::clamp(static_cast<double>(part) / whole, 0.0, 1.0);
}

} // namespace

const char* describe(TransferResult r) {
    switch (r) {
    case TransferResult::Done:
        return "done";
    case TransferResult::Aborted:
        return "aborted by the user";
    case TransferResult::TimedOut:
        return "the titrator did not answer";
    case TransferResult::BadAnswer:
        return "the titrator's answer was garbled";
    case TransferResult::PortFailed:
        return "the serial port failed";
    case TransferResult::Refused:
        return "the link is busy with another exchange";
    case TransferResult::FileFailed:
        return "the PC file could not be read or written";
    }
    return "unknown";
}

int resultText(TransferResult r) {
    switch (r) {
    case TransferResult::Done:
        return 0;
    case TransferResult::Aborted:
        return 183;
    case TransferResult::TimedOut:
        return 184;
    case TransferResult::BadAnswer:
        return 185;
    case TransferResult::PortFailed:
        return 186;
    case TransferResult::Refused:
        return 187;
    case TransferResult::FileFailed:
        return 188;
    }
    return 0;
}

// Marks a wait that runs pending events: anything that talks to the port or
// begins an exchange meanwhile comes from an event handler nested inside it.
class Serial::Wait {
public:
    explicit Wait(Serial& s) : s_(s) { ++s_.waitDepth_; }
    ~Wait() { --s_.waitDepth_; }
    Wait(const Wait&) = delete;
    Wait& operator=(const Wait&) = delete;

private:
    Serial& s_;
};

// The sink of the transfer under way, for abortRunningTransfer().
class Serial::ActiveTransfer {
public:
    ActiveTransfer(Serial& s, TransferSink& sink) : s_(s), previous_(s.activeSink_) {
        s_.activeSink_ = &sink;
    }
    ~ActiveTransfer() { s_.activeSink_ = previous_; }
    ActiveTransfer(const ActiveTransfer&) = delete;
    ActiveTransfer& operator=(const ActiveTransfer&) = delete;

private:
    Serial& s_;
    TransferSink* previous_;
};

// What one block reception appends to, and where it stands.
struct Serial::Receiver {
    std::function<void(const std::string&)> append;
    std::function<void(uint32_t blocks)> onCount; // a file's header arrived
    bool counted = false;                         // the "t" frame has arrived
    uint32_t count = 0;
    uint32_t expected = 0;
};

Serial::Serial(Port& port, Pump& pump, SerialHost& host, DeviceResolver resolver, Trace* trace)
    : port_(port), pump_(pump), host_(host), resolver_(std::move(resolver)), trace_(trace),
      clock_(steadyMs) {}

Serial::~Serial() {
    closePort();
}

// ---------------------------------------------------------------- port

bool Serial::openPort(int portNumber, int speed) {
    if (refused())
        return false;
    closePort();
    const std::string device = resolver_ ? resolver_(portNumber) : std::string();
    PortError error = PortError::None;
    const auto open = [&] { error = port_.open(device, speed); };
    // A network port connects while events run; a serial device opens at once.
    if (isNetworkAddress(device)) {
        if (!holdLinkWhile(open))
            return false;
    } else {
        open();
    }
    if (error == PortError::None || error == PortError::NotOpen)
        return port_.isOpen();
    reportOpenError(error, device);
    return false;
}

void Serial::reportOpenError(PortError error, const std::string& device) {
    switch (error) {
    case PortError::NotFound:
    case PortError::Busy:
        host_.portError(langText(kTextInvalidPort));
        break;
    case PortError::Permission:
        host_.portError(formatMsg(langText(kTextNoPermission), {device}));
        break;
    default: {
        // The system's number where the port knows it, as the text beside it is the system's.
        const int number = port_.systemError() ? port_.systemError() : static_cast<int>(error);
        host_.portError(formatMsg(langText(kTextCommError), {std::to_string(number)}) + " - " +
                        port_.errorText());
        break;
    }
    }
}

void Serial::closePort() {
    if (port_.isOpen())
        port_.close();
}

bool Serial::isPortOpen() const {
    return port_.isOpen();
}

PortError Serial::currentFault() const {
    const PortError e = port_.error();
    if (isFatal(e))
        return e;
    return port_.isOpen() ? PortError::None : PortError::NotOpen;
}

TransferResult Serial::failureOfLastRead() const {
    return lastPortError_ != PortError::None ? TransferResult::PortFailed
                                             : TransferResult::TimedOut;
}

// ---------------------------------------------------------------- raw traffic

bool Serial::refused() {
    if (waitDepth_ == 0)
        return false;
    host_.statusMessage(langText(kTextWait), colour::kBlue, kWaitShowMs);
    return true;
}

bool Serial::sendString(const std::string& text) {
    if (refused())
        return false;
    lastPortError_ = PortError::None;
    const bool ok = port_.write(text);
    if (trace_)
        trace_->traceSent(text);
    if (!ok)
        lastPortError_ = currentFault();
    return ok;
}

std::string Serial::readAllInput() {
    if (refused())
        return {};
    const std::size_t n = port_.bytesWaiting();
    std::string text = n ? port_.read(n) : std::string();
    traceReceived(text);
    return text;
}

void Serial::traceReceived(const std::string& text) {
    if (trace_)
        trace_->traceReceived(text);
}

std::string Serial::takePartialInput() {
    const std::size_t n = currentFault() == PortError::None ? port_.bytesWaiting() : 0;
    return n ? port_.read(n) : std::string();
}

bool Serial::readPort(std::string& text, std::size_t count) {
    text.clear();
    if (refused())
        return false;
    lastPortError_ = PortError::None;
    startTimer();
    std::size_t seen = currentFault() == PortError::None ? port_.bytesWaiting() : 0;
    while (seen < count || currentFault() != PortError::None) {
        if (!waitForInput(seen, count))
            return false;
    }
    text = port_.read(count);
    return text.size() == count;
}

// One inactivity period: true when more input arrived within the limit.
bool Serial::waitForInput(std::size_t& seen, std::size_t count) {
    Wait wait(*this);
    std::size_t now = seen;
    const bool moved = pump_.waitUntil(
        [&] {
            if (currentFault() != PortError::None)
                return true;
            now = port_.bytesWaiting();
            return now != seen || now >= count;
        },
        readTimeoutMs_);
    lastPortError_ = currentFault();
    if (lastPortError_ != PortError::None)
        return false;
    if (!moved) {
        timedOut_ = true;
        return false;
    }
    seen = now;
    return true;
}

// ---------------------------------------------------------------- frames

Serial::FrameStatus Serial::receiveFrame(std::string& frame) {
    frame.clear();
    std::string c;
    do {
        if (!readPort(c, 1))
            return FrameTimeout;
        frame += c;
    } while (!frame::isComplete(frame) && frame.size() < kMaxFrameLength);
    traceReceived(frame);
    return frame::isComplete(frame) && frame::hasValidChecksum(frame) ? FrameGood : FrameBad;
}

// Only a failure is traced here, with what arrived: a good echo is the header
// just traced as sent.
Serial::FrameStatus Serial::waitEcho(const std::string& frame) {
    std::string echo;
    if (!readPort(echo, frame::kHeaderLength)) {
        traceReceived(takePartialInput());
        return FrameTimeout;
    }
    if (echo == frame::header(frame))
        return FrameGood;
    traceReceived(echo);
    return FrameBad;
}

bool Serial::waitAcknowledge() {
    if (refused())
        return false;
    {
        Wait wait(*this);
        pump_.sleep(kAckDelayMs);
    }
    std::string answer;
    const bool read = readPort(answer, frame::kAck.size());
    if (read && answer == frame::kAck)
        return true;
    traceReceived(read ? answer : takePartialInput());
    return false;
}

bool Serial::sendFrameHeader(const std::string& frame) {
    return frame.size() < frame::kHeaderLength || sendString(frame::header(frame));
}

bool Serial::sendRepeatRequest() {
    return sendString(std::string(frame::kRepeatRequest));
}

// Sends a frame until its echo matches; a missing echo ends at once.
TransferResult Serial::sendWithEcho(const std::string& frame, int maxSends) {
    for (int send = 0; send < maxSends; ++send) {
        if (!sendString(frame))
            return TransferResult::PortFailed;
        const FrameStatus status = waitEcho(frame);
        if (status == FrameGood)
            return TransferResult::Done;
        if (status == FrameTimeout)
            return failureOfLastRead();
    }
    return TransferResult::BadAnswer;
}

// ---------------------------------------------------------------- sending a file

bool readFileToSend(const std::filesystem::path& path, std::string& data, std::string& error) {
    return readRegularFile(path, std::size_t(Serial::kMaxBlocks) * frame::kBlockSize, data, error);
}

TransferResult Serial::transmission(const std::filesystem::path& path, TransferSink& sink) {
    if (refused())
        return TransferResult::Refused;
    std::string data, error;
    if (!readFileToSend(path, data, error)) {
        sink.started(path.string());
        // Announcing a transfer we cannot make would leave the titrator waiting.
        host_.runtimeError(EIO, error, "serial.transmission");
        return TransferResult::FileFailed;
    }
    return transmission(path, data, sink);
}

TransferResult Serial::transmission(const std::filesystem::path& path, const std::string& data,
                                    TransferSink& sink) {
    if (refused())
        return TransferResult::Refused;
    sink.started(path.string());
    if (sink.abortRequested())
        return TransferResult::Aborted;
    ActiveTransfer active(*this, sink);
    sink.announced(data.size());
    const uint32_t blocks = frame::blockCount(data.size());
    const TransferResult header =
        sendWithEcho(frame::buildFrame(frame::kTypeHeader, blocks, ""), kHeaderSends);
    return header != TransferResult::Done ? header : sendBlocks(data, blocks, sink);
}

TransferResult Serial::sendBlocks(const std::string& data, uint32_t blocks, TransferSink& sink) {
    for (uint32_t i = 0; i < blocks; ++i) {
        if (sink.abortRequested())
            return TransferResult::Aborted;
        sink.progress(fraction(i, blocks));
        const std::string block =
            data.substr(std::size_t(i) * frame::kBlockSize, frame::kBlockSize);
        const TransferResult sent =
            sendWithEcho(frame::buildFrame(frame::kTypeData, i, block), kBlockSends);
        if (sent != TransferResult::Done)
            return sent;
        sink.moved(block.size());
    }
    sink.progress(1.0);
    return TransferResult::Done;
}

// ---------------------------------------------------------------- receiving

// The block loop shared by both receptions.
TransferResult Serial::receiveLoop(Receiver& receiver, TransferSink& sink) {
    ActiveTransfer active(*this, sink);
    int badFrames = 0;
    while (!sink.abortRequested()) {
        std::string frame;
        const FrameStatus status = receiveFrame(frame);
        if (status == FrameTimeout)
            return failureOfLastRead();
        if (status == FrameBad || !acceptsFrame(frame, receiver)) {
            if (++badFrames > kMaxBadFrames)
                return TransferResult::BadAnswer;
            sendRepeatRequest();
            continue;
        }
        badFrames = 0;
        sendFrameHeader(frame);
        if (handleFrame(frame, receiver, sink)) {
            sink.progress(1.0);
            return TransferResult::Done;
        }
    }
    return TransferResult::Aborted;
}

// A data block before the header that counts the blocks is as good as garbled.
bool Serial::acceptsFrame(const std::string& frame, const Receiver& r) const {
    return r.counted || frame::getType(frame) != std::string(1, frame::kTypeData);
}

// True when the frame completes the transfer.
bool Serial::handleFrame(const std::string& frame, Receiver& r, TransferSink& sink) {
    const std::string type = frame::getType(frame);
    if (type == std::string(1, frame::kTypeHeader)) {
        r.counted = true;
        r.count = frame::getFrameField(frame);
        if (r.onCount)
            r.onCount(r.count);
        return r.count == 0;
    }
    if (type != std::string(1, frame::kTypeData))
        return false;
    const uint32_t index = frame::getFrameField(frame);
    if (index != r.expected)
        return false; // a block repeated because its echo was lost
    r.expected = index + 1;
    sink.progress(fraction(index, r.count));
    r.append(frame::getMsg(frame));
    return r.expected >= r.count;
}

TransferResult Serial::stringReception(std::string& text, TransferSink& sink) {
    text.clear();
    if (refused())
        return TransferResult::Refused;
    Receiver receiver;
    receiver.append = [&text](const std::string& data) { text += data; };
    const TransferResult result = receiveLoop(receiver, sink);
    if (result != TransferResult::Done)
        text.clear();
    return result;
}

TransferResult Serial::reception(const std::filesystem::path& path, TransferSink& sink) {
    AtomicFile part(path);
    const TransferResult result = reception(part, sink);
    if (result != TransferResult::Done)
        return result; // the part is removed, the old file stays
    if (part.commit())
        return TransferResult::Done;
    reportFileFault(part);
    return TransferResult::FileFailed;
}

TransferResult Serial::reception(AtomicFile& part, TransferSink& sink) {
    if (refused())
        return TransferResult::Refused;
    sink.started(part.target().string());
    reportFileFault(part);
    Receiver receiver;
    receiver.append = [&](const std::string& data) {
        const bool wasFailed = part.failed();
        part.append(data);
        sink.moved(data.size());
        if (!wasFailed)
            reportFileFault(part);
    };
    receiver.onCount = [&sink](uint32_t blocks) {
        sink.announced(std::size_t(blocks) * frame::kBlockSize);
    };
    // Even with a broken file the frames are taken and echoed, so the titrator
    // ends its side of the transfer in order.
    const TransferResult result = receiveLoop(receiver, sink);
    if (result != TransferResult::Done)
        return result;
    const bool wasFailed = part.failed();
    if (part.finish())
        return TransferResult::Done;
    if (!wasFailed)
        reportFileFault(part);
    return TransferResult::FileFailed;
}

// Once per file: its name and the system's reason ("TI_00017.RPT: No space left on device").
void Serial::reportFileFault(const AtomicFile& part) {
    if (part.failed())
        host_.runtimeError(part.error(),
                           part.target().filename().string() + ": " + part.errorText(),
                           "serial.reception");
}

void Serial::abortRunningTransfer() {
    if (activeSink_)
        activeSink_->requestAbort();
}

// ---------------------------------------------------------------- commands

TransferResult Serial::commandAcknowledged(const std::string& line) {
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        readAllInput();
        if (!sendString(line))
            return TransferResult::PortFailed;
        if (waitAcknowledge())
            return TransferResult::Done;
        if (lastPortError_ != PortError::None)
            return TransferResult::PortFailed;
    }
    return TransferResult::TimedOut;
}

TransferResult Serial::sendCommand(const std::string& command, std::string& answer) {
    TransferSink quiet; // a caller that shows no progress; still abortable while it runs
    return sendCommand(command, answer, quiet);
}

TransferResult Serial::sendCommand(const std::string& command, std::string& answer,
                                   TransferSink& sink) {
    answer.clear();
    if (refused())
        return TransferResult::Refused;
    const TransferResult acknowledged = commandAcknowledged(frame::commandLine(command));
    if (acknowledged != TransferResult::Done)
        return acknowledged;
    const TransferResult received = stringReception(answer, sink);
    if (received != TransferResult::Done && received != TransferResult::Aborted)
        commError(kErrAnswerFailed);
    return received;
}

TransferResult Serial::sendCommandAck(const std::string& word, const std::string& argument) {
    if (refused())
        return TransferResult::Refused;
    return commandAcknowledged(frame::commandLine(word + " " + argument));
}

// ---------------------------------------------------------------- flags

bool Serial::beginExchange() {
    if (waitDepth_ > 0) {
        host_.statusMessage(langText(kTextWait), colour::kBlue, kWaitShowMs);
        return false;
    }
    serialError_ = false;
    if (holds_++ == 0)
        host_.busyChanged(true);
    return true;
}

void Serial::endExchange() {
    // A release from inside a wait comes from an intruder, not the owner.
    if (holds_ == 0 || waitDepth_ > 0)
        return;
    if (--holds_ == 0)
        host_.busyChanged(false);
}

bool Serial::holdLinkWhile(const std::function<void()>& work) {
    if (refused())
        return false;
    Exchange hold(*this);
    Wait wait(*this); // ends before the hold: a release from inside a wait is ignored
    work();
    return true;
}

bool Serial::setSerialBusy(bool busy) {
    if (busy)
        return beginExchange();
    endExchange();
    return true;
}

void Serial::commError(int code) {
    host_.statusMessage(formatMsg(langText(kTextCommError), {std::to_string(code)}), colour::kRed,
                        kCommErrorShowMs);
    setSerialError();
    startRecoveryWait();
    if (afterCommError_)
        afterCommError_();
}

// ---------------------------------------------------------------- waiting

void Serial::startRecoveryWaitMs(int ms) {
    recoveryEnd_ = clock_() + ms;
}

void Serial::settleAfter(TransferResult result) {
    if (result == TransferResult::Aborted)
        startRecoveryWait();
}

bool Serial::isRecovering() const {
    return clock_() < recoveryEnd_;
}

void Serial::waitRecovery() {
    Wait wait(*this);
    while (isRecovering()) {
        const int64_t left = recoveryEnd_ - clock_();
        pump_.waitUntil([this] { return !isRecovering(); }, static_cast<int>(left));
    }
}

void Serial::delayMs(int ms, bool hourglass) {
    if (hourglass)
        host_.waitCursor(true);
    {
        Wait wait(*this);
        pump_.sleep(ms);
    }
    if (hourglass)
        host_.waitCursor(false);
}
