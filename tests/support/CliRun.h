#pragma once
// Runs veltran-cli as a script would: its own data folder, its output and exit code.
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err; // with Stderr::Apart
};

enum class Stderr { Merged, Apart, Dropped };

// A shell command line; its standard output is collected.
inline CliResult runCommand(const std::string& commandLine) {
    CliResult r;
    FILE* p = ::popen(commandLine.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), p))
        r.out += buf.data();
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// veltran-cli ARGS with VELTRAN_HOME=home; `env` is put before the command. Standard
// input is empty, so a question is never answered by a terminal.
inline CliResult runCli(const std::string& home, const std::string& args,
                        const std::string& env = "", Stderr stderrTo = Stderr::Merged) {
    const std::string errFile = home + "/.cli-stderr-" + std::to_string(::getpid());
    const std::string redirect = stderrTo == Stderr::Merged  ? " 2>&1"
                                 : stderrTo == Stderr::Apart ? " 2>'" + errFile + "'"
                                                             : " 2>/dev/null";
    CliResult r = runCommand(env + " VELTRAN_HOME='" + home + "' " VT_BIN_DIR "/veltran-cli " +
                             args + redirect + " </dev/null");
    if (stderrTo == Stderr::Apart) {
        std::ifstream in(errFile, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        r.err = s.str();
        std::remove(errFile.c_str());
    }
    return r;
}

// veltran-cli ARGS in the background, in `folder`, with VELTRAN_HOME=home; its
// standard error goes to home/stderr, its output to `out` (a file). Its process
// id (the shell execs it).
inline pid_t startCli(const std::string& home, const std::string& folder, const std::string& args,
                      const std::string& out = "/dev/null") {
    const std::string line = "cd '" + folder + "' && exec env VELTRAN_HOME='" + home +
                             "' " VT_BIN_DIR "/veltran-cli " + args + " 2>'" + home +
                             "/stderr' >'" + out + "' </dev/null";
    const char* argv[] = {"sh", "-c", line.c_str(), nullptr};
    pid_t pid = -1;
    ::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ);
    return pid;
}

// The exit code; minus the signal for a process the signal killed; -1 (after
// SIGKILL) when it did not end within the limit.
inline int exitCodeWithin(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
