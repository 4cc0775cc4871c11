#pragma once
// What the logic tells the user: message boxes and questions. The main window
// implements it with dialogs, the command-line tool with stderr, tests with a recorder.
#include <string>

class Host {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    virtual ~Host() = default;
    virtual void message(const std::string& text, const std::string& title, Icon icon) = 0;
    // True when the user answered Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title) = 0;
};

// Reports an unexpected run-time fault: language text 350 with its number and
// description, titled with where it happened.
void showErrorInfo(Host& host, int number, const std::string& description,
                   const std::string& source);
