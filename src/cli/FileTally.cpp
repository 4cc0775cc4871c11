#include "cli/FileTally.h"

#include "cli/CliLink.h"
#include "core/Text.h"
#include "files/ReplacePrompt.h"

#include <ostream>

FileTally::FileTally(std::ostream& err, std::string verb, std::size_t files)
    : err_(err), verb_(std::move(verb)), files_(files) {}

void FileTally::start(const std::string& name) {
    current_ = name;
    reason_.clear();
    inFile_ = true;
}

bool FileTally::takeReason(const std::string& text) {
    if (!inFile_)
        return false;
    if (reason_.empty())
        reason_ = oneLine(text);
    return true;
}

void FileTally::end(bool went) {
    inFile_ = false;
    if (!went && !reason_.empty())
        failed(current_, reason_);
    else if (!reason_.empty())
        err_ << current_ << ": " << reason_ << "\n"; // shown, though the file went
    went_ += went ? 1 : 0;
}

void FileTally::failed(const std::string& name, const std::string& reason) {
    err_ << name << ": " << reason << "\n";
    ++failed_;
}

void FileTally::record(const TransferRecord& r) {
    if (r.result == TransferOutcome::Skipped && r.answer != ReplacePrompt::Cancel) {
        const char* side = r.direction == TransferDirection::ToPc ? "PC" : "titrator";
        err_ << r.entry << ": skipped, it exists on the " << side
             << " (--replace all replaces it)\n";
    } else if (r.result == TransferOutcome::Failed && !inFile_) {
        failed(r.entry, oneLine(cliText(r.reason)));
    }
}

void FileTally::close() {
    if (files_ < 2)
        return;
    const int skipped = static_cast<int>(files_) - went_ - failed_;
    err_ << went_ << " " << verb_ << ", " << (skipped > 0 ? skipped : 0) << " skipped, " << failed_
         << " failed\n";
}

std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (!lineBreak)
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return text::trim(line);
}
