#include "sim/Link.h"

#include "sim/Signals.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace sim {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr int kBitsPerByte = 10; // start, 8 data, stop

timespec toTimespec(std::chrono::nanoseconds left) {
    left = std::max(left, std::chrono::nanoseconds(0));
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(left);
    return timespec{static_cast<time_t>(secs.count()), static_cast<long>((left - secs).count())};
}

} // namespace

Link::Link(int fd, uint32_t baud) : fd_(fd), baud_(baud) {}

Status Link::waitFor(short events, Clock::time_point deadline, bool forever) const {
    for (;;) {
        if (stopRequested())
            return Status::Stopped;
        pollfd p{fd_, events, 0};
        timespec left = toTimespec(deadline - Clock::now());
        // No events: a plain sleep that a stop signal still interrupts.
        const int r = ppoll(events ? &p : nullptr, events ? 1 : 0, forever ? nullptr : &left,
                            waitSignalMask());
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return Status::Closed;
        if (r == 0)
            return Status::Timeout;
        if (p.revents & events)
            return Status::Ok;
        return Status::Closed; // POLLHUP, POLLERR or POLLNVAL without data
    }
}

Status Link::fill(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (Status s = waitFor(POLLIN, deadline, timeoutMs < 0); s != Status::Ok)
            return s;
        char buf[kReadChunk];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n > 0) {
            input_.assign(buf, static_cast<std::size_t>(n));
            inputPos_ = 0;
            return awaitArrival(static_cast<std::size_t>(n));
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        return Status::Closed; // EOF, or EIO from a master whose slave was closed
    }
}

Status Link::readByte(char& c, int timeoutMs) {
    if (inputPos_ >= input_.size()) {
        if (Status s = fill(timeoutMs); s != Status::Ok)
            return s;
    }
    c = input_[inputPos_++];
    return Status::Ok;
}

Status Link::readExactly(std::string& out, std::size_t n, int timeoutMs) {
    out.clear();
    while (out.size() < n) {
        char c;
        if (Status s = readByte(c, timeoutMs); s != Status::Ok)
            return s;
        out += c;
    }
    return Status::Ok;
}

Status Link::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return Status::Closed;
        const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
        if (Status s = waitFor(POLLOUT, deadline, false); s != Status::Ok)
            return s == Status::Timeout ? Status::Closed : s;
    }
    return Status::Ok;
}

// A pseudo-terminal hands over the PC's bytes at once; on a real line they take
// their time, so a paced titrator acts on them only once they would have arrived.
Status Link::awaitArrival(std::size_t count) {
    if (baud_ == 0)
        return Status::Ok;
    const auto byteTime = std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / baud_);
    inputArrived_ = std::max(Clock::now(), inputArrived_) + byteTime * static_cast<long>(count);
    if (Status s = waitFor(0, inputArrived_, false); s != Status::Timeout)
        return s == Status::Ok ? Status::Closed : s;
    return Status::Ok;
}

// Each part goes out when its last bit would have crossed the line. The times
// follow from the start of the whole write, so a late wake-up does not delay
// the parts after it.
Status Link::write(std::string_view bytes) {
    if (baud_ == 0)
        return writeAll(bytes);
    const auto byteTime = std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / baud_);
    // About 10 ms of line time per part keeps the flow smooth without many wake-ups.
    const std::size_t partSize = std::max<std::size_t>(1, baud_ / 1000);
    const auto start = std::max(Clock::now(), lineFree_);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto part = bytes.substr(sent, partSize);
        sent += part.size();
        lineFree_ = start + byteTime * static_cast<long>(sent);
        if (Status s = waitFor(0, lineFree_, false); s != Status::Timeout)
            return s == Status::Ok ? Status::Closed : s;
        if (Status s = writeAll(part); s != Status::Ok)
            return s;
    }
    return Status::Ok;
}

Status Link::pause(int ms) {
    const Status s = waitFor(0, Clock::now() + std::chrono::milliseconds(ms), false);
    return s == Status::Timeout ? Status::Ok : s;
}

bool Link::peerPresent() const {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) >= 0 && !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

void Link::reset() {
    input_.clear();
    inputPos_ = 0;
}

} // namespace sim
