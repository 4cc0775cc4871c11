#pragma once
// Why printing stopped: a number and a description for the run-time error box
// (language text 350). Number 0 means nothing went wrong.
#include <string>
#include <utility>

struct PrintError {
    int number = 0;
    std::string description;

    bool failed() const { return number != 0; }
    void set(int n, std::string text) {
        number = n;
        description = std::move(text);
    }
};
