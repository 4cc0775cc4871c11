#pragma once
// Test harness: runs the real veltran-sim and speaks the PC side over its pty,
// built from the shared frame functions.
#include "TempDir.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace simtest {

constexpr int kShortWaitMs = 400;   // for things that must NOT arrive
constexpr int kAnswerWaitMs = 5000; // for things that must arrive

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args,
                        const std::vector<std::string>& env = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& pty() const { return pty_; }
    // The exit code, or nothing when still running after timeoutMs.
    std::optional<int> wait(int timeoutMs);
    std::optional<int> terminate();

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    std::string pty_;
};

class PcPort {
public:
    explicit PcPort(const std::string& path);
    ~PcPort();
    void close();

    void write(std::string_view bytes);
    // Up to n bytes; fewer when nothing came for timeoutMs or the line ended.
    std::string read(std::size_t n, int timeoutMs = kAnswerWaitMs);
    // True once a read met the end of the line (EOF or EIO).
    bool ended() const { return ended_; }

    // Sends a command line and tells whether "ACK" came.
    bool command(std::string_view text, int timeoutMs = kAnswerWaitMs);
    // One frame, or "" on time-out.
    std::string readFrame(int timeoutMs = kAnswerWaitMs);
    // The PC side's reception: echoes each frame, asks again for bad ones.
    std::optional<std::string> receive();
    // The PC side's transmission: header up to 3 sends, blocks up to 4.
    bool send(std::string_view data);
    // Command with a framed answer.
    std::optional<std::string> query(std::string_view text);

private:
    bool sendFrame(const std::string& frame, int maxSends);

    int fd_ = -1;
    bool ended_ = false;
};

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);
// Bytes of every value, rich in backslashes and "\c".
std::string awkwardBytes(std::size_t size);

} // namespace simtest
