#include "sim/Transfer.h"

#include "link/Frame.h"

namespace sim {
namespace {

// Header, every payload byte escaped, "\c" and the checksum.
constexpr std::size_t kMaxFrameLength = frame::kHeaderLength + 2 * frame::kBlockSize + 2 + 4;

std::string withWrongChecksum(const std::string& f) {
    const std::size_t sumAt = f.size() - 4;
    return f.substr(0, sumAt) + frame::hex4(frame::hexToNumber(f.substr(sumAt)) + 1);
}

std::string garbledHeader(const std::string& f) {
    return "\\" + frame::getType(f) + frame::hex4(frame::getFrameField(f) + 1);
}

// What a reception has taken so far.
struct Reception {
    uint32_t count = 0;
    uint32_t expected = 0;
    bool announced = false;

    void take(const std::string& f, std::string& data) {
        if (f[1] == frame::kTypeHeader) {
            // A header sent again (its echo went wrong) starts the data afresh.
            count = frame::getFrameField(f);
            expected = 0;
            announced = true;
            data.clear();
        } else if (f[1] == frame::kTypeData && announced && frame::getFrameField(f) == expected) {
            data += frame::getMsg(f);
            ++expected;
        } // anything else, a repeated block too, was echoed and is ignored
    }
    bool done() const { return announced && expected == count; }
};

Status giveUpOnTimeout(Status s) {
    return s == Status::Timeout ? Status::Failed : s;
}

} // namespace

Transfer::Transfer(Link& link, const FaultPlan& faults, FaultCounters& counters)
    : link_(link), faults_(faults), counters_(counters) {}

Status Transfer::send(std::string_view data) {
    const uint32_t blocks = frame::blockCount(data.size());
    if (blocks > kMaxBlocks)
        return Status::Failed;
    if (Status s = sendFrame(frame::buildFrame(frame::kTypeHeader, blocks, ""), kHeaderSends);
        s != Status::Ok)
        return s;
    for (uint32_t i = 0; i < blocks; ++i) {
        const auto block = data.substr(std::size_t{i} * frame::kBlockSize, frame::kBlockSize);
        if (Status s = sendFrame(frame::buildFrame(frame::kTypeData, i, block), kBlockSends);
            s != Status::Ok)
            return s;
    }
    return Status::Ok;
}

// A repeat request is just another echo that does not match: the frame goes again.
Status Transfer::sendFrame(const std::string& f, int maxSends) {
    const bool corrupt = ++counters_.framesSent == faults_.corruptFrame;
    const std::string expected = frame::header(f);
    for (int sends = 0; sends < maxSends; ++sends) {
        if (Status s = link_.write(corrupt && sends == 0 ? withWrongChecksum(f) : f);
            s != Status::Ok)
            return s;
        std::string answer;
        if (Status s = link_.readExactly(answer, frame::kHeaderLength, kReadTimeoutMs);
            s != Status::Ok)
            return giveUpOnTimeout(s);
        if (answer == expected)
            return Status::Ok;
    }
    return Status::Failed;
}

Status Transfer::readFrame(std::string& f) {
    f.clear();
    for (;;) {
        char c;
        if (Status s = link_.readByte(c, kReadTimeoutMs); s != Status::Ok)
            return giveUpOnTimeout(s);
        if (f.empty() && c != '\\')
            continue; // noise between frames
        f += c;
        if (frame::isComplete(f) || f.size() > kMaxFrameLength)
            return Status::Ok;
    }
}

Status Transfer::echo(const std::string& f) {
    const uint32_t ordinal = ++counters_.framesReceived;
    if (ordinal == faults_.dropEcho)
        return Status::Ok;
    return link_.write(ordinal == faults_.garbleEcho ? garbledHeader(f) : frame::header(f));
}

Status Transfer::receive(std::string& data) {
    data.clear();
    Reception reception;
    int badFrames = 0;
    while (!reception.done()) {
        std::string f;
        if (Status s = readFrame(f); s != Status::Ok)
            return s;
        if (f.size() > kMaxFrameLength || !frame::hasValidChecksum(f)) {
            if (++badFrames > kBadFramesAllowed)
                return Status::Failed;
            if (Status s = link_.write(frame::kRepeatRequest); s != Status::Ok)
                return s;
            continue;
        }
        badFrames = 0;
        if (Status s = echo(f); s != Status::Ok)
            return s;
        reception.take(f, data);
    }
    return Status::Ok;
}

} // namespace sim
