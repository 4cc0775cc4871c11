#include "files/ReplacePrompt.h"

#include "core/FileTypes.h"
#include "core/Language.h"
#include "core/Text.h"

ReplacePrompt::ReplacePrompt(ReplaceAsker& asker, int fileType, int initialStatus)
    : asker_(asker), fileType_(fileType), status_(initialStatus) {}

int ReplacePrompt::ask(const std::string& question) {
    const int pressed = asker_.askReplace(question);
    const bool button =
        pressed == Replace || pressed == ReplaceAll || pressed == Skip || pressed == Cancel;
    // Only the buttons store an answer; the close box skips this file.
    status_ = button ? pressed : Skip;
    return status_;
}

int ReplacePrompt::checkReplaceForm(const std::string& name) {
    if (status_ == ReplaceAll || status_ == SkipAll)
        return status_;
    return ask(formatMsg(langText(kTextFileExists), {name}));
}

int ReplacePrompt::checkReplaceOnPC(const std::string& name, const std::string& titratorRevision,
                                    const std::string& pcRevision) {
    if (status_ == ReplaceAll || status_ == SkipAll || status_ == Cancel)
        return status_;
    if (ftype::isMethod(fileType_))
        return ask(formatMsg(langText(kTextMethodOnPc), {name, titratorRevision, pcRevision}));
    return ask(formatMsg(langText(kTextFileExists), {name}));
}

int ReplacePrompt::checkReplaceOnTitr(const std::string& name, const std::string& titratorRevision,
                                      const std::string& pcRevision) {
    if (status_ == ReplaceAll || status_ == SkipAll)
        return status_;
    if (ftype::isMethod(fileType_))
        return ask(
            formatMsg(langText(kTextMethodOnTitrator), {name, titratorRevision, pcRevision}));
    return ask(formatMsg(langText(kTextFileExists), {name}));
}
