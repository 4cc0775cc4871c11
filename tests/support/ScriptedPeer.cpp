#include "ScriptedPeer.h"

#include "VirtualPump.h"
#include "link/Frame.h"

#include <set>

PortError ScriptedPeer::open(const std::string&, int) {
    open_ = openResult == PortError::None;
    error_ = openResult;
    errorText_ = open_ ? "" : openErrorText;
    return openResult;
}

std::string ScriptedPeer::read(std::size_t n) {
    n = std::min(n, toPc_.size());
    std::string out = toPc_.substr(0, n);
    toPc_.erase(0, n);
    return out;
}

bool ScriptedPeer::write(const std::string& bytes) {
    if (!open_)
        return false;
    written += bytes;
    in_ += bytes;
    feed();
    return true;
}

void ScriptedPeer::deliver(const std::string& bytes) {
    if (bytes.empty())
        return;
    if (replyDelayMs <= 0)
        toPc_ += bytes;
    else
        pump_.after(replyDelayMs, [this, bytes] { toPc_ += bytes; });
}

void ScriptedPeer::trickle(const std::string& bytes, int gapMs) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        pump_.after(static_cast<int64_t>(gapMs) * (i + 1), [this, c = bytes[i]] { toPc_ += c; });
}

void ScriptedPeer::vanish(PortError kind) {
    error_ = kind;
    errorText_ = "gone";
    open_ = false;
}

void ScriptedPeer::feed() {
    while (!in_.empty()) {
        bool progressed = false;
        if (sending_)
            progressed = takeReply();
        else if (in_[0] == frame::kCommandStart)
            progressed = takeCommand();
        else if (in_[0] == '\\')
            progressed = takeFrame();
        else {
            in_.erase(0, 1); // noise
            progressed = true;
        }
        if (!progressed)
            return;
    }
}

bool ScriptedPeer::takeCommand() {
    const std::size_t end = in_.find(frame::kCommandEnd);
    if (end == std::string::npos)
        return false;
    commandLines.push_back(in_.substr(0, end + 1));
    in_.erase(0, end + 1);
    if (ackDrops > 0) {
        --ackDrops;
        return true;
    }
    if (answerFor) {
        std::string text;
        const std::string& line = commandLines.back();
        if (!frame::parseCommandLine(std::string_view(line).substr(0, line.size() - 1), text))
            return true;
        const auto frames = answerFor(text);
        if (!frames)
            return true;
        answer = *frames;
    }
    deliver(std::string(frame::kAck));
    if (!answer.empty())
        startSending();
    return true;
}

bool ScriptedPeer::takeReply() {
    if (in_.size() < frame::kHeaderLength)
        return false;
    const std::string reply = in_.substr(0, frame::kHeaderLength);
    in_.erase(0, frame::kHeaderLength);
    if (reply == frame::kRepeatRequest) {
        ++repeatRequests;
    } else {
        echoesIn.push_back(reply);
        if (reply == frame::header(answer[current_])) {
            if (onEchoed)
                onEchoed(current_);
            if (++current_ == answer.size()) {
                sending_ = false;
                answer.clear();
                return true;
            }
        }
    }
    sendCurrent();
    return true;
}

bool ScriptedPeer::takeFrame() {
    std::size_t len = frame::kMinFrameLength;
    while (len <= in_.size() && !frame::isComplete(std::string_view(in_).substr(0, len)))
        ++len;
    if (len > in_.size())
        return false;
    const std::string f = in_.substr(0, len);
    in_.erase(0, len);
    framesIn.push_back(f);
    if (onFrame)
        onFrame(f);
    const int receipt = receipts_[frame::header(f)]++;
    deliver(echoFor ? echoFor(f, receipt) : frame::header(f));
    return true;
}

void ScriptedPeer::startSending() {
    sending_ = !answer.empty();
    current_ = 0;
    if (sending_)
        sendCurrent();
}

void ScriptedPeer::sendCurrent() {
    const std::string& f = answer[current_];
    const int send = frameSends++;
    deliver(mutateOut ? mutateOut(send, f) : f);
}

std::string ScriptedPeer::receivedFile() const {
    std::string file;
    std::set<uint32_t> seen;
    for (const std::string& f : framesIn) {
        if (frame::getType(f) == "p" && seen.insert(frame::getFrameField(f)).second)
            file += frame::getMsg(f);
    }
    return file;
}

std::string badChecksum(const std::string& f) {
    std::string out = f;
    out.back() = out.back() == '0' ? '1' : '0';
    return out;
}

std::vector<std::string> framesFor(const std::string& content) {
    const uint32_t blocks = frame::blockCount(content.size());
    std::vector<std::string> frames{frame::buildFrame('t', blocks, "")};
    for (uint32_t i = 0; i < blocks; ++i)
        frames.push_back(
            frame::buildFrame('p', i, content.substr(i * frame::kBlockSize, frame::kBlockSize)));
    return frames;
}
