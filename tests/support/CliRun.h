#pragma once
// Runs veltran-cli as a script would: its own data folder, its output and exit code.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct CliResult {
    int exitCode = -1;
    std::string out;
};

// stdout, and stderr too unless `stderrToo` is false; `env` is put before the command.
inline CliResult runCli(const std::string& home, const std::string& args,
                        const std::string& env = "", bool stderrToo = true) {
    const std::string command = env + " VELTRAN_HOME='" + home + "' " VT_BIN_DIR "/veltran-cli " +
                                args + (stderrToo ? " 2>&1" : " 2>/dev/null");
    CliResult r;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), p))
        r.out += buf.data();
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}
