#pragma once
// The replace question of one copy: which text it asks, and the answer that
// holds for the rest of the copy (2 replace all, 4 skip all). The window only
// shows a question and returns the button pressed.
#include <string>

// The replace window as the logic sees it.
class ReplaceAsker {
public:
    virtual ~ReplaceAsker() = default;
    // Shows the question modally; returns the button's code (1, 2, 3 or 5),
    // or 0 when the window was closed without one.
    virtual int askReplace(const std::string& question) = 0;
};

class ReplacePrompt {
public:
    enum Code { None = 0, Replace = 1, ReplaceAll = 2, Skip = 3, SkipAll = 4, Cancel = 5 };
    static constexpr int kTextFileExists = 398;
    static constexpr int kTextMethodOnTitrator = 399;
    static constexpr int kTextMethodOnPc = 400;

    // InitReplaceForm with a status to start from (0; the CLI's "all" or "none").
    ReplacePrompt(ReplaceAsker& asker, int fileType, int initialStatus = None);

    void setReplaceStatus(int code) { status_ = code; }
    int getReplaceStatus() const { return status_; }

    // Ask unless an "all" answer holds. The answer is never 0: a window closed
    // without a button counts as Skip for that file, never as an overwrite.
    int checkReplaceForm(const std::string& name);
    int checkReplaceOnPC(const std::string& name, const std::string& titratorRevision,
                         const std::string& pcRevision);
    int checkReplaceOnTitr(const std::string& name, const std::string& titratorRevision,
                           const std::string& pcRevision);

    // The answer allows the overwrite / ends the copy.
    static bool replaces(int code) { return code == Replace || code == ReplaceAll; }
    static bool cancels(int code) { return code == Cancel; }

private:
    int ask(const std::string& question);

    ReplaceAsker& asker_;
    int fileType_;
    int status_;
};
