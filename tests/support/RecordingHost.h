#pragma once
#include "core/Host.h"

#include <string>
#include <vector>

// Records what the user would have been shown.
struct RecordingHost : Host {
    struct Shown {
        std::string text, title;
        Icon icon;
    };
    std::vector<Shown> messages;
    bool answer = true;
    void message(const std::string& text, const std::string& title, Icon icon) override {
        messages.push_back({text, title, icon});
    }
    bool askYesNo(const std::string& text, const std::string& title) override {
        messages.push_back({text, title, Icon::Question});
        return answer;
    }
};
