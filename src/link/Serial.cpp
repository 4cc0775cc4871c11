#include "link/Serial.h"

#include "core/Language.h"
#include "core/Pump.h"
#include "core/Text.h"
#include "link/Frame.h"
#include "core/AtomicFile.h"
#include "link/SerialHost.h"
#include "link/Trace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>

namespace {

int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isFatal(PortError e) {
    return e == PortError::ClosedUnderUs || e == PortError::DeviceVanished;
}

bool isUpgradePath(const std::string& path) {
    return path.find(".upg") != std::string::npos || path.find(".UPG") != std::string::npos;
}

} // namespace

// Marks a wait for port input: anything that talks to the port meanwhile
// comes from an event handler nested inside it.
class Serial::IoWait {
public:
    explicit IoWait(Serial& s) : s_(s) { ++s_.ioWaitDepth_; }
    ~IoWait() { --s_.ioWaitDepth_; }
    IoWait(const IoWait&) = delete;
    IoWait& operator=(const IoWait&) = delete;

private:
    Serial& s_;
};

// What one block reception appends to, and where it stands.
struct Serial::Receiver {
    std::function<void(const std::string&)> sink;
    uint32_t count = 0;
    uint32_t expected = 0;
    bool done = false;
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
    const PortError error = port_.open(device, speed);
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
        host_.portError("This user account may not use " + device +
                        ": add it to the serial port group (dialout on Debian) and log in again.");
        break;
    default:
        host_.portError(
            formatMsg(langText(kTextCommError), {std::to_string(static_cast<int>(error))}) + " - " +
            port_.errorText());
        break;
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

// ---------------------------------------------------------------- raw traffic

bool Serial::refused() {
    if (ioWaitDepth_ == 0)
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
    IoWait wait(*this);
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

Serial::FrameStatus Serial::waitEcho(const std::string& frame) {
    std::string echo;
    if (!readPort(echo, frame::kHeaderLength)) {
        traceReceived(takePartialInput());
        return FrameTimeout;
    }
    traceReceived(echo);
    return echo == frame::header(frame) ? FrameGood : FrameBad;
}

bool Serial::waitAcknowledge() {
    if (refused())
        return false;
    {
        IoWait wait(*this);
        pump_.sleep(kAckDelayMs);
    }
    std::string answer;
    const bool ok = readPort(answer, frame::kAck.size());
    traceReceived(ok ? answer : takePartialInput());
    return ok && answer == frame::kAck;
}

bool Serial::sendFrameHeader(const std::string& frame) {
    return frame.size() < frame::kHeaderLength || sendString(frame::header(frame));
}

bool Serial::sendRepeatRequest() {
    return sendString(std::string(frame::kRepeatRequest));
}

// Sends a frame until its echo matches; a missing echo ends at once.
bool Serial::sendWithEcho(const std::string& frame, int maxSends) {
    for (int send = 0; send < maxSends; ++send) {
        if (!sendString(frame))
            return false;
        const FrameStatus status = waitEcho(frame);
        if (status == FrameGood)
            return true;
        if (status == FrameTimeout)
            return false;
    }
    return false;
}

// ---------------------------------------------------------------- sending a file

bool Serial::transmission(const std::filesystem::path& path) {
    if (refused())
        return false;
    const bool upgrade = isUpgradePath(path.string());
    host_.transferStarted(path.string(), upgrade);
    beginTransfer();
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        // Announcing a transfer we cannot make would leave the titrator waiting.
        const int err = ec ? ec.value() : errno;
        host_.runtimeError(err, std::strerror(err), "serial.transmission");
        endTransfer();
        return false;
    }
    const uint32_t blocks = frame::blockCount(size);
    const bool ok = sendWithEcho(frame::buildFrame(frame::kTypeHeader, blocks, ""), kHeaderSends) &&
                    sendBlocks(in, size, blocks, upgrade);
    endTransfer();
    return ok;
}

bool Serial::sendBlocks(std::istream& in, uint64_t size, uint32_t blocks, bool upgrade) {
    std::string data;
    for (uint32_t i = 0; i < blocks; ++i) {
        if (stopRequested_)
            return true;
        host_.transferProgress(static_cast<double>(i) / blocks, upgrade);
        const uint64_t n =
            i + 1 < blocks ? frame::kBlockSize : size - uint64_t(i) * frame::kBlockSize;
        data.resize(n);
        if (!in.read(data.data(), static_cast<std::streamsize>(n))) {
            host_.runtimeError(EIO, "the file could not be read to its end", "serial.transmission");
            return false;
        }
        if (!sendWithEcho(frame::buildFrame(frame::kTypeData, i, data), kBlockSends))
            return false;
    }
    host_.transferProgress(1.0, upgrade);
    return true;
}

// ---------------------------------------------------------------- receiving

// The block loop shared by both receptions. True when the transfer ended
// well or was aborted.
bool Serial::receiveLoop(Receiver& receiver) {
    int badFrames = 0;
    while (!stopRequested_) {
        std::string frame;
        const FrameStatus status = receiveFrame(frame);
        if (status == FrameTimeout)
            return false;
        if (status == FrameBad) {
            if (++badFrames > kMaxBadFrames)
                return false;
            sendRepeatRequest();
            continue;
        }
        badFrames = 0;
        sendFrameHeader(frame);
        if (handleFrame(frame, receiver))
            return true;
    }
    return true;
}

// True when the frame completes the transfer.
bool Serial::handleFrame(const std::string& frame, Receiver& r) {
    const std::string type = frame::getType(frame);
    if (type == std::string(1, frame::kTypeHeader)) {
        r.count = frame::getFrameField(frame);
        return r.count == 0;
    }
    if (type != std::string(1, frame::kTypeData))
        return false;
    const uint32_t index = frame::getFrameField(frame);
    if (index != r.expected)
        return false; // a block repeated because its echo was lost
    r.expected = index + 1;
    host_.transferProgress(r.count ? static_cast<double>(index) / r.count : 0.0, false);
    r.sink(frame::getMsg(frame));
    return r.expected == r.count;
}

bool Serial::stringReception(std::string& text) {
    text.clear();
    if (refused())
        return false;
    beginTransfer();
    Receiver receiver;
    receiver.sink = [&text](const std::string& data) { text += data; };
    const bool ok = receiveLoop(receiver);
    if (stopRequested_)
        text.clear();
    if (ok)
        host_.transferProgress(1.0, false);
    endTransfer();
    return ok;
}

bool Serial::reception(const std::filesystem::path& path) {
    if (refused())
        return false;
    host_.transferStarted(path.string(), false);
    beginTransfer();
    AtomicFile part(path);
    bool reported = false;
    const auto reportFileFault = [&] {
        if (part.failed() && !reported) {
            reported = true;
            host_.runtimeError(part.error(), part.errorText(), "serial.reception");
        }
    };
    reportFileFault();
    Receiver receiver;
    receiver.sink = [&](const std::string& data) {
        part.append(data);
        reportFileFault();
    };
    // Even with a broken file the frames are taken and echoed, so the titrator
    // ends its side of the transfer in order.
    bool ok = receiveLoop(receiver);
    if (ok)
        host_.transferProgress(1.0, false);
    if (ok && !stopRequested_)
        part.commit(); // an abort leaves the part to be removed
    reportFileFault();
    endTransfer();
    return ok && !part.failed();
}

// ---------------------------------------------------------------- commands

bool Serial::commandAcknowledged(const std::string& line) {
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        readAllInput();
        sendString(line);
        if (waitAcknowledge())
            return true;
    }
    return false;
}

std::string Serial::sendCommand(const std::string& command) {
    if (refused())
        return {};
    if (!commandAcknowledged(frame::commandLine(command)))
        return {};
    std::string answer;
    if (stringReception(answer))
        return answer;
    commError(kErrAnswerFailed);
    return {};
}

bool Serial::sendCommandAck(const std::string& word, const std::string& argument) {
    if (refused())
        return false;
    return commandAcknowledged(frame::commandLine(word + " " + argument));
}

// ---------------------------------------------------------------- flags

bool Serial::beginExchange() {
    if (!canStartExchange())
        return false;
    serialError_ = false;
    serialBusy_ = true;
    host_.busyChanged(true);
    return true;
}

void Serial::endExchange() {
    // A release from inside a port wait comes from an intruder, not the owner.
    if (!serialBusy_ || ioWaitDepth_ > 0)
        return;
    serialBusy_ = false;
    host_.busyChanged(false);
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
}

bool Serial::wasTransferStoped() {
    if (stopRequested_)
        startRecoveryWait();
    return stopRequested_;
}

// ---------------------------------------------------------------- waiting

void Serial::startRecoveryWaitMs(int ms) {
    recoveryEnd_ = clock_() + ms;
}

bool Serial::isRecovering() const {
    return clock_() < recoveryEnd_;
}

void Serial::waitRecovery() {
    while (isRecovering()) {
        const int64_t left = recoveryEnd_ - clock_();
        pump_.waitUntil([this] { return !isRecovering(); }, static_cast<int>(left));
    }
}

void Serial::delayMs(int ms, bool hourglass) {
    if (hourglass)
        host_.waitCursor(true);
    pump_.sleep(ms);
    if (hourglass)
        host_.waitCursor(false);
}
