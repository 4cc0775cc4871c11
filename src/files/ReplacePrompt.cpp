#include "files/ReplacePrompt.h"

#include "core/FileTypes.h"
#include "core/Language.h"
#include "core/Text.h"

#include <chrono>
#include <ctime>
#include <tuple>

namespace fs = std::filesystem;

FileFacts pcFileFacts(const fs::path& file) {
    FileFacts facts;
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec)
        return facts;
    facts.size = static_cast<std::int64_t>(size);
    const auto written = fs::last_write_time(file, ec);
    if (ec)
        return facts;
    const std::time_t t =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
    std::tm local{};
    if (!::localtime_r(&t, &local))
        return facts;
    facts.date = DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     local.tm_sec};
    return facts;
}

NewerCopy newerCopy(const CopyFacts& facts) {
    if (!facts.known || !facts.titrator.date || !facts.pc.date)
        return NewerCopy::Unknown;
    // Listings give minutes: seconds would make the PC's copy newer by chance.
    const auto key = [](const DateTime& d) {
        return std::tuple(d.year, d.month, d.day, d.hour, d.minute);
    };
    const auto t = key(*facts.titrator.date), p = key(*facts.pc.date);
    return t == p ? NewerCopy::Unknown : (t > p ? NewerCopy::Titrator : NewerCopy::Pc);
}

ReplacePrompt::ReplacePrompt(ReplaceAsker& asker, int fileType, int initialStatus)
    : asker_(asker), fileType_(fileType), status_(initialStatus) {}

int ReplacePrompt::ask(const std::string& question, const CopyFacts& facts) {
    const int pressed = asker_.askReplace({question, facts});
    const bool button =
        pressed == Replace || pressed == ReplaceAll || pressed == Skip || pressed == Cancel;
    // Only the buttons store an answer; the close box skips this file.
    status_ = button ? pressed : Skip;
    return status_;
}

int ReplacePrompt::checkReplaceForm(const std::string& name, const CopyFacts& facts) {
    if (status_ == ReplaceAll || status_ == SkipAll)
        return status_;
    return ask(formatMsg(langText(kTextFileExists), {name}), facts);
}

int ReplacePrompt::checkReplaceOnPC(const std::string& name, const std::string& titratorRevision,
                                    const std::string& pcRevision, const CopyFacts& facts) {
    if (status_ == ReplaceAll || status_ == SkipAll || status_ == Cancel)
        return status_;
    if (ftype::isMethod(fileType_))
        return ask(formatMsg(langText(kTextMethodOnPc), {name, titratorRevision, pcRevision}),
                   facts);
    return ask(formatMsg(langText(kTextFileExists), {name}), facts);
}

int ReplacePrompt::checkReplaceOnTitr(const std::string& name, const std::string& titratorRevision,
                                      const std::string& pcRevision, const CopyFacts& facts) {
    if (status_ == ReplaceAll || status_ == SkipAll)
        return status_;
    if (ftype::isMethod(fileType_))
        return ask(formatMsg(langText(kTextMethodOnTitrator), {name, titratorRevision, pcRevision}),
                   facts);
    return ask(formatMsg(langText(kTextFileExists), {name}), facts);
}
