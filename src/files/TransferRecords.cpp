#include "files/TransferRecords.h"

#include "core/Language.h"
#include "core/Text.h"

#include <chrono>

namespace devfiles {

std::string reasonText(int n, const std::vector<std::string>& args) {
    return formatMsg(langText(n), args);
}

std::string transferReason(TransferResult r) {
    switch (r) {
    case TransferResult::Done:
        return {};
    case TransferResult::Aborted:
        return reasonText(kTextReasonStopped);
    case TransferResult::TimedOut:
        return reasonText(kTextReasonNoAnswer);
    case TransferResult::BadAnswer:
        return reasonText(kTextReasonGarbled);
    case TransferResult::PortFailed:
        return reasonText(kTextReasonLinkFailed);
    case TransferResult::Refused:
        return reasonText(kTextReasonBusy);
    case TransferResult::FileFailed:
        return reasonText(kTextReasonPcFile);
    }
    return reasonText(kTextReasonLinkFailed);
}

TransferOutcome outcomeOf(TransferResult r) {
    return r == TransferResult::Done      ? TransferOutcome::Done
           : r == TransferResult::Aborted ? TransferOutcome::Aborted
                                          : TransferOutcome::Failed;
}

std::string recordDate(const std::optional<DateTime>& date) {
    if (!date)
        return {};
    std::string text = formatDateTime(*date);
    text[10] = 'T';
    return text;
}

std::int64_t recordTimeNow() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace devfiles
