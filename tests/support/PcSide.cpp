#include "PcSide.h"

#include "link/Frame.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace simtest {
namespace {

std::string readLine(int fd, int timeoutMs) {
    std::string line;
    char c;
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, timeoutMs) == 1 && ::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

[[noreturn]] void execSim(const std::vector<std::string>& args, const std::vector<std::string>& env,
                          int out) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL); // no orphan when a test crashes
    ::dup2(out, STDOUT_FILENO);
    for (const std::string& e : env)
        ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    const std::string bin = VT_BIN_DIR "/veltran-sim";
    argv.push_back(const_cast<char*>(bin.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(bin.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

SimProcess::SimProcess(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0)
        execSim(args, env, out[1]);
    ::close(out[1]);
    const std::string line = readLine(out[0], kAnswerWaitMs);
    ::close(out[0]);
    if (line.rfind("PTY ", 0) == 0)
        pty_ = line.substr(4);
}

SimProcess::~SimProcess() {
    terminate();
}

std::optional<int> SimProcess::wait(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!exitCode_ && pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_)
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        else if (std::chrono::steady_clock::now() > deadline)
            break;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitCode_;
}

std::optional<int> SimProcess::terminate() {
    if (pid_ <= 0 || exitCode_)
        return exitCode_;
    ::kill(pid_, SIGTERM);
    if (!wait(kAnswerWaitMs)) {
        ::kill(pid_, SIGKILL);
        wait(kAnswerWaitMs);
    }
    return exitCode_;
}

PcPort::PcPort(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("cannot open " + path);
    termios t{};
    ::tcgetattr(fd_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd_, TCSANOW, &t);
}

PcPort::~PcPort() {
    close();
}

void PcPort::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void PcPort::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n <= 0)
            throw std::runtime_error("write to the simulator failed");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string PcPort::read(std::size_t n, int timeoutMs) {
    std::string out;
    char buf[1024];
    pollfd p{fd_, POLLIN, 0};
    while (out.size() < n && !ended_ && ::poll(&p, 1, timeoutMs) == 1) {
        const ssize_t got = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0)
            ended_ = !(got < 0 && errno == EINTR);
        else
            out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
}

bool PcPort::command(std::string_view text, int timeoutMs) {
    write(frame::commandLine(text));
    return read(3, timeoutMs) == frame::kAck;
}

std::string PcPort::readFrame(int timeoutMs) {
    std::string f;
    while (!frame::isComplete(f)) {
        const std::string c = read(1, timeoutMs);
        if (c.empty())
            return {};
        f += c;
    }
    return f;
}

std::optional<std::string> PcPort::receive() {
    std::string data;
    uint32_t count = 0, expected = 0;
    for (int bad = 0;;) {
        const std::string f = readFrame();
        if (f.empty())
            return std::nullopt;
        if (!frame::hasValidChecksum(f)) {
            if (++bad > 3)
                return std::nullopt;
            write(frame::kRepeatRequest);
            continue;
        }
        bad = 0;
        write(frame::header(f));
        if (frame::getType(f) == "t") {
            count = frame::getFrameField(f);
        } else if (frame::getFrameField(f) == expected) {
            data += frame::getMsg(f);
            ++expected;
        }
        if (expected == count)
            return data;
    }
}

bool PcPort::sendFrame(const std::string& f, int maxSends) {
    for (int i = 0; i < maxSends; ++i) {
        write(f);
        const std::string echo = read(frame::kHeaderLength);
        if (echo.size() < frame::kHeaderLength)
            return false;
        if (echo == frame::header(f))
            return true;
    }
    return false;
}

bool PcPort::send(std::string_view data) {
    const uint32_t blocks = frame::blockCount(data.size());
    if (!sendFrame(frame::buildFrame('t', blocks, ""), 3))
        return false;
    for (uint32_t i = 0; i < blocks; ++i) {
        if (!sendFrame(frame::buildFrame('p', i, data.substr(i * 256, 256)), 4))
            return false;
    }
    return true;
}

std::optional<std::string> PcPort::query(std::string_view text) {
    if (!command(text))
        return std::nullopt;
    return receive();
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string awkwardBytes(std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i)
        out += (i % 7 == 0) ? '\\' : (i % 7 == 1) ? 'c' : static_cast<char>(i * 31 % 256);
    return out;
}

} // namespace simtest
