#pragma once
// The replace question of one copy: which text it asks, and the answer that
// holds for the rest of the copy (2 replace all, 4 skip all). The window only
// shows a question and returns the button pressed.
#include "core/Dates.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// What is known of one copy of a file; unknown parts stay unset.
struct FileFacts {
    std::int64_t size = -1;
    std::optional<DateTime> date;
};

// Both copies of the file the question is about: the titrator's from its
// listing line, the PC's from the file.
struct CopyFacts {
    bool known = false; // false: the question is not about a titrator copy and a PC copy
    FileFacts titrator, pc;
};

// The PC file's size and modification time, as the PC's clock shows it.
FileFacts pcFileFacts(const std::filesystem::path& file);

enum class NewerCopy { Unknown, Titrator, Pc };
// The copy with the later date; Unknown when a date is missing or both are the same.
NewerCopy newerCopy(const CopyFacts& facts);

struct ReplaceQuestion {
    std::string text;
    CopyFacts facts;
};

// The replace window as the logic sees it.
class ReplaceAsker {
public:
    virtual ~ReplaceAsker() = default;
    // Shows the question modally; returns the button's code (1, 2, 3 or 5),
    // or 0 when the window was closed without one.
    virtual int askReplace(const ReplaceQuestion& question) = 0;
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
    int checkReplaceForm(const std::string& name, const CopyFacts& facts = {});
    int checkReplaceOnPC(const std::string& name, const std::string& titratorRevision,
                         const std::string& pcRevision, const CopyFacts& facts = {});
    int checkReplaceOnTitr(const std::string& name, const std::string& titratorRevision,
                           const std::string& pcRevision, const CopyFacts& facts = {});

    // The answer allows the overwrite / ends the copy.
    static bool replaces(int code) { return code == Replace || code == ReplaceAll; }
    static bool cancels(int code) { return code == Cancel; }

private:
    int ask(const std::string& question, const CopyFacts& facts);

    ReplaceAsker& asker_;
    int fileType_;
    int status_;
};
