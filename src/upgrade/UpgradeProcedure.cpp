#include "upgrade/UpgradeProcedure.h"

#include "core/AuditLog.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Sha256.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "link/Serial.h"
#include "upgrade/UpgradeName.h"
#include "upgrade/UpgradeRules.h"

#include <cerrno>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

constexpr const char* kSource = "upgrade";

constexpr UpgradeControls kIdle{};
constexpr UpgradeControls kTransferring{false, false, false, true, true};
// Aborted, but the procedure has not unwound yet: nothing may start meanwhile.
constexpr UpgradeControls kStopping{false, false, false, true, false};

// A fault the procedure cannot go on after: reported with language text 350.
class UpgradeFault : public std::runtime_error {
public:
    UpgradeFault(int number, const std::string& description)
        : std::runtime_error(description), number(number) {}
    int number;
};

class ActiveFlag {
public:
    explicit ActiveFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~ActiveFlag() { flag_ = false; }
    ActiveFlag(const ActiveFlag&) = delete;
    ActiveFlag& operator=(const ActiveFlag&) = delete;

private:
    bool& flag_;
};

bool hasUpgradeExtension(const std::filesystem::path& file) {
    const std::string text = file.string();
    return text.find(".upg") != std::string::npos || text.find(".UPG") != std::string::npos;
}

} // namespace

// The transfer's progress goes to the window's bar; the abort request is the procedure's.
class UpgradeProcedure::ProgressSink : public TransferSink {
public:
    explicit ProgressSink(UpgradeProcedure& procedure) : procedure_(procedure) {}
    void progress(double fraction) override {
        if (procedure_.running_)
            procedure_.setUpgFileStatus(fraction);
    }

private:
    UpgradeProcedure& procedure_;
};

UpgradeProcedure::UpgradeProcedure(Serial& serial, Host& host, UpgradeView& view)
    : serial_(serial), host_(host), view_(view), transfer_(std::make_unique<ProgressSink>(*this)) {}

UpgradeProcedure::~UpgradeProcedure() = default;

void UpgradeProcedure::open() {
    running_ = false;
    if (!hasUpgradeExtension(file_))
        file_.clear();
    view_.showFile(file_);
    toIdle();
}

void UpgradeProcedure::chooseFile(const std::filesystem::path& file) {
    file_ = file;
    view_.showFile(file_);
}

void UpgradeProcedure::getSoftwareVersion() {
    if (active_)
        return;
    ActiveFlag active(active_);
    try {
        serial_.waitRecovery();
        Serial::Exchange hold(serial_);
        if (!hold)
            return;
        answers_.clearAbort();
        if (serial_.sendCommandAck("info", "") != TransferResult::Done) {
            serial_.showCommError(kErrNoAck);
            return;
        }
        controls_.getSoftwareVersion = false;
        setControls(controls_);
        std::string answer;
        if (serial_.stringReception(answer, answers_) == TransferResult::Done)
            view_.showDevice(text::trim(answer));
        else
            serial_.showCommError(kErrNoAnswer);
        controls_.getSoftwareVersion = true;
        setControls(controls_);
    } catch (const std::exception& e) {
        unexpectedError(EIO, e.what());
    }
}

std::optional<UpgradeProcedure::Outcome> UpgradeProcedure::checkChosenFile() {
    try {
        return checkFile(file_);
    } catch (const UpgradeFault& f) {
        return unexpectedError(f.number, f.what());
    }
}

// The upgrade's event: the file, its bytes and how it ended.
void UpgradeProcedure::record(Outcome outcome, const std::string& reason) {
    if (outcome == Outcome::Ignored || file_.empty())
        return;
    AuditEvent e;
    e.operation = audit::kUpgrade;
    e.source = file_.string();
    e.target = kUpgradeDestination;
    std::string unread;
    sha256OfFile(file_, e.sha256, unread, &e.size);
    e.result = outcome == Outcome::Accepted  ? audit::kOk
               : outcome == Outcome::Refused ? audit::kRefused
               : outcome == Outcome::Aborted ? audit::kAborted
                                             : audit::kFailed;
    e.reason = outcome == Outcome::Rejected ? "the titrator answered \"" + verdict_ + "\"" : reason;
    fillAuditLink(e);
    recordAudit(e);
}

UpgradeProcedure::Outcome UpgradeProcedure::upgrade() {
    if (active_ || running_)
        return Outcome::Ignored;
    if (!auditWritable()) { // nothing is sent unrecorded
        host_.message(auditText(kTextAuditRefused), "", Host::Icon::Critical);
        return Outcome::Refused;
    }
    const Outcome outcome = attempt();
    record(outcome, outcome == Outcome::LinkFailed ? "the link failed" : failure_);
    return outcome;
}

UpgradeProcedure::Outcome UpgradeProcedure::attempt() {
    ActiveFlag active(active_);
    answers_.clearAbort();
    transfer_->clearAbort();
    verdict_.clear();
    failure_.clear();
    // Whatever goes wrong, the link's hold is released on the way out and the
    // window comes back to idle: nothing may stay busy.
    try {
        const Outcome outcome = run();
        finish(outcome);
        return outcome;
    } catch (const UpgradeFault& f) {
        return unexpectedError(f.number, f.what());
    } catch (const std::system_error& e) {
        return unexpectedError(e.code().value(), e.what());
    } catch (const std::bad_alloc& e) {
        return unexpectedError(ENOMEM, e.what());
    } catch (const std::exception& e) {
        return unexpectedError(EIO, e.what());
    }
}

UpgradeProcedure::Outcome UpgradeProcedure::run() {
    const std::filesystem::path file = file_; // a choice made while we wait changes nothing
    if (const Step refused = checkFile(file))
        return *refused;
    serial_.waitRecovery();
    Serial::Exchange hold(serial_);
    if (!hold)
        return Outcome::Ignored; // called from inside another exchange's wait
    if (const Step refused = checkModel(file))
        return *refused;
    return transferPhase(file);
}

UpgradeProcedure::Step UpgradeProcedure::checkFile(const std::filesystem::path& file) {
    if (file.empty()) {
        message(kTextNoFile);
        return Outcome::Refused;
    }
    bool matches = false;
    std::string error;
    if (!upgradeNameChecksumMatches(file, matches, error))
        throw UpgradeFault(ELIBACC, error);
    if (!matches) {
        message(kTextBadName);
        return Outcome::Refused;
    }
    // Announcing the library's "unreadable" value or an empty transfer would
    // leave the titrator with nothing to check.
    int number = 0;
    if (!upgradeFileUsable(file, number, error)) {
        showErrorInfo(host_, number, error, kSource);
        return Outcome::Refused;
    }
    return std::nullopt;
}

UpgradeProcedure::Step UpgradeProcedure::checkModel(const std::filesystem::path& file) {
    std::string info;
    if (const Step failed = query("info", "", info))
        return failed;
    const std::string model = file.filename().string().substr(0, kUpgradeModelLength);
    if (upgradeModelIdentification(info) != model) {
        message(kTextOtherModel);
        return Outcome::Refused;
    }
    return std::nullopt;
}

UpgradeProcedure::Outcome UpgradeProcedure::transferPhase(const std::filesystem::path& file) {
    running_ = true;
    setControls(kTransferring);
    if (const Step ended = announceChecksum(file))
        return *ended;
    if (const Step ended = sendFile(file))
        return *ended;
    return askVerdict();
}

UpgradeProcedure::Step UpgradeProcedure::announceChecksum(const std::filesystem::path& file) {
    std::uint32_t checksum = 0;
    std::string error;
    if (!sumval::fileChecksum(file, checksum, error))
        throw UpgradeFault(ELIBACC, error);
    int number = 0;
    if (checksum == sumval::kUnreadable && !upgradeFileUsable(file, number, error))
        throw UpgradeFault(number, error); // the file went away since it was checked
    if (abortRequested())
        return aborted();
    serial_.waitRecovery();
    std::string echo;
    if (const Step failed = query("upgcs", upgradeChecksumArgument(checksum), echo))
        return failed;
    if (abortRequested())
        return aborted();
    return std::nullopt;
}

UpgradeProcedure::Step UpgradeProcedure::sendFile(const std::filesystem::path& file) {
    serial_.waitRecovery();
    Serial::Exchange step(serial_);
    if (serial_.sendCommandAck("put", kUpgradeDestination) != TransferResult::Done) {
        serial_.showCommError(kErrPutRefused);
        return Outcome::LinkFailed;
    }
    if (abortRequested())
        return aborted(); // the titrator waits for frames that never come: let it settle
    const TransferResult sent = serial_.transmission(file, *transfer_);
    if (sent == TransferResult::Aborted || abortRequested())
        return aborted();
    if (sent != TransferResult::Done) {
        serial_.showCommError(kErrTransferFailed);
        return Outcome::LinkFailed;
    }
    return std::nullopt;
}

UpgradeProcedure::Outcome UpgradeProcedure::askVerdict() {
    if (const Step failed = query("upgcheck", "", verdict_))
        return *failed;
    return verdict_ == kAccepted ? Outcome::Accepted : Outcome::Rejected;
}

UpgradeProcedure::Step UpgradeProcedure::query(const std::string& word, const std::string& argument,
                                               std::string& answer) {
    Serial::Exchange step(serial_); // on top of the procedure's hold
    if (serial_.sendCommandAck(word, argument) != TransferResult::Done) {
        serial_.showCommError(kErrNoAck);
        return Outcome::LinkFailed;
    }
    const TransferResult received = serial_.stringReception(answer, answers_);
    if (received == TransferResult::Aborted)
        return aborted();
    if (received != TransferResult::Done) {
        serial_.showCommError(kErrNoAnswer);
        return Outcome::LinkFailed;
    }
    return std::nullopt;
}

bool UpgradeProcedure::abortRequested() const {
    return transfer_->abortRequested();
}

UpgradeProcedure::Outcome UpgradeProcedure::aborted() {
    serial_.settleAfter(TransferResult::Aborted);
    return Outcome::Aborted;
}

void UpgradeProcedure::finish(Outcome outcome) {
    switch (outcome) {
    case Outcome::Accepted:
        running_ = false;
        setControls(kIdle);
        view_.closeWindow();
        break;
    case Outcome::Rejected:
        setUpgFileStatus(0);
        message(kTextRejected);
        break;
    case Outcome::Aborted:
        toIdle();
        break;
    default:
        break; // a failed step leaves the window as it is until Abort
    }
}

void UpgradeProcedure::abort() {
    if (!running_)
        return;
    running_ = false;
    setUpgFileStatus(0);
    if (!active_) {
        toIdle(); // a failed step left the window waiting for this
        return;
    }
    answers_.requestAbort();
    transfer_->requestAbort();
    setControls(kStopping);
}

UpgradeProcedure::Outcome UpgradeProcedure::unexpectedError(int number,
                                                            const std::string& description) {
    failure_ = description;
    showErrorInfo(host_, number, description, kSource);
    if (running_)
        serial_.settleAfter(TransferResult::Aborted); // the titrator may be inside a transfer
    toIdle();
    return Outcome::Failed;
}

void UpgradeProcedure::message(int text) {
    host_.message(formatMsg(langText(text), {}), "", Host::Icon::Warning);
}

void UpgradeProcedure::setUpgFileStatus(double fraction) {
    view_.showProgress(upgradeProgressPercent(fraction));
}

void UpgradeProcedure::setControls(const UpgradeControls& controls) {
    controls_ = controls;
    view_.setControls(controls_);
}

void UpgradeProcedure::toIdle() {
    running_ = false;
    setUpgFileStatus(0);
    setControls(kIdle);
}
