#pragma once
// Remembers everything the serial layer tells the user.
#include "link/SerialHost.h"

#include <vector>

struct RecordingSerialHost : SerialHost {
    struct Status {
        std::string text;
        uint32_t colour;
        int ms;
    };
    std::vector<Status> statuses;
    std::vector<std::string> portErrors;
    std::vector<bool> busy;
    std::vector<std::string> runtimeErrors;
    std::vector<bool> cursor;

    void statusMessage(const std::string& text, uint32_t colour, int ms) override {
        statuses.push_back({text, colour, ms});
    }
    void portError(const std::string& text) override { portErrors.push_back(text); }
    void busyChanged(bool b) override { busy.push_back(b); }
    void runtimeError(int, const std::string& description, const std::string& source) override {
        runtimeErrors.push_back(source + ": " + description);
    }
    void waitCursor(bool on) override { cursor.push_back(on); }
};
