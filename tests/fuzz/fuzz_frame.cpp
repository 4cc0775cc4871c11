// The frame decoder: the wire-format helpers on the raw bytes, and the receiver
// taking the bytes as a titrator's framed answer (virtual clock, so its time-outs
// cost nothing). A frame built from the bytes decodes to them again.
#include "FuzzCheck.h"
#include "VirtualPump.h"
#include "link/Frame.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// Serves the input once; takes whatever the PC sends.
class StreamPort : public Port {
public:
    explicit StreamPort(std::string input) : input_(std::move(input)) {}
    PortError open(const std::string&, int) override {
        open_ = true;
        return PortError::None;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    std::size_t bytesWaiting() override { return input_.size() - at_; }
    std::string read(std::size_t n) override {
        const std::string out = input_.substr(at_, n);
        at_ += out.size();
        return out;
    }
    bool write(const std::string&) override { return open_; }
    PortError error() const override { return PortError::None; }
    std::string errorText() const override { return {}; }

private:
    std::string input_;
    std::size_t at_ = 0;
    bool open_ = false;
};

void decodeHelpers(std::string_view bytes) {
    frame::getType(bytes);
    frame::getFrameField(bytes);
    frame::header(bytes);
    frame::isComplete(bytes);
    frame::hasValidChecksum(bytes);
    std::string command;
    frame::parseCommandLine(bytes, command);
    fuzzCheck(frame::getMsg(frame::buildFrame(frame::kTypeData, 1, bytes)) == bytes,
              "a built frame decodes to its payload");
}

void receive(const std::string& bytes) {
    VirtualPump pump;
    StreamPort port(bytes);
    NullSerialHost host;
    Serial serial(port, pump, host, [](int) { return std::string("fuzz"); });
    serial.setClock([&pump] { return pump.now; });
    if (!serial.openPort(1, 19200))
        return;
    TransferSink sink;
    std::string text;
    if (serial.stringReception(text, sink) != TransferResult::Done)
        fuzzCheck(text.empty(), "a failed reception leaves the text empty");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    decodeHelpers(bytes);
    receive(bytes);
    return 0;
}
