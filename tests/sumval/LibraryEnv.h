#pragma once
// Points the binding at a chosen library file for one test and restores the
// environment afterwards.
#include <cstdlib>
#include <optional>
#include <string>

class LibraryEnv {
public:
    static constexpr const char* kVariable = "VELTRAN_SUMVAL";
    static constexpr const char* kBuilt = VT_BIN_DIR "/libsumval.so";

    explicit LibraryEnv(const std::optional<std::string>& path = std::string(kBuilt)) {
        if (const char* old = std::getenv(kVariable)) {
            saved_ = old;
        }
        set(path);
    }
    ~LibraryEnv() { set(saved_); }
    LibraryEnv(const LibraryEnv&) = delete;
    LibraryEnv& operator=(const LibraryEnv&) = delete;

    static void set(const std::optional<std::string>& path) {
        if (path) {
            ::setenv(kVariable, path->c_str(), 1);
        } else {
            ::unsetenv(kVariable);
        }
    }

private:
    std::optional<std::string> saved_;
};
