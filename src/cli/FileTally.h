#pragma once
// The account of a multi-file command on stderr: one line for each file that
// was refused or failed, naming it with the first reason the window showed
// while it was handled, and the closing count ("3 copied, 1 skipped, 1 failed").
#include "core/TransferRecord.h"

#include <cstddef>
#include <iosfwd>
#include <string>

class FileTally {
public:
    // verb: what a file that went was ("copied", "moved", "deleted"); files: how many were named.
    FileTally(std::ostream& err, std::string verb, std::size_t files);

    void start(const std::string& name);
    // A message shown while a file is handled: the first becomes its reason. False
    // outside a file, where the caller says it itself.
    bool takeReason(const std::string& text);
    void end(bool went);
    // What the file service recorded: a file kept because it exists gets its line;
    // a file that failed outside a file's handling (not on the titrator, or never
    // reached because the link was lost) counts as failed.
    void record(const TransferRecord& r);
    // The closing count, when several files were named.
    void close();

    int failures() const { return failed_; }

private:
    void failed(const std::string& name, const std::string& reason);

    std::ostream& err_;
    std::string verb_;
    std::size_t files_;
    std::string current_;
    std::string reason_;
    bool inFile_ = false;
    int went_ = 0;
    int failed_ = 0;
};

// A message as one line of a terminal: its line breaks become blanks.
std::string oneLine(const std::string& text);
