#include "files/CopyFiles.h"

#include "core/AuditLog.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/MethodRevision.h"
#include "core/RegularFile.h"
#include "core/Sha256.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "core/TransferRecord.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "files/FileChecks.h"
#include "files/FileNames.h"
#include "files/PcFiles.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "files/TransferRecords.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <cerrno>
#include <map>

namespace fs = std::filesystem;

namespace devfiles {
namespace {

constexpr std::size_t kMaxSelection = 1001;
constexpr int kTextNothingSelected = 306;
constexpr int kTextSelectionTitle = 334;
constexpr int kTextDeleteToTrash = 70;
constexpr int kTextDeleteForGood = 71;
constexpr int kTextDeleteOnTitrator = 72;
constexpr int kTextMoreFiles = 73;
constexpr std::size_t kNamesAsked = 10; // the delete question names this many
constexpr int kTextDeleteTitle = 345;
constexpr int kTextReportName = 356;
constexpr int kTextFileName = 357;
constexpr int kTextNameTitle = 358;
constexpr int kTextNoReportSlot = 360;
constexpr int kTextMemoryTitle = 362;
constexpr int kTextReplaceMethod = 364;
constexpr int kTextReplaceMethodTitle = 366;
constexpr int kTextNoStandardSlot = 368;
constexpr int kTextNoUserSlot = 370;
constexpr int kTextReplaceRevisions = 385;
constexpr int kTextUserMemoryFull = 388;
constexpr int kTextNoSequenceSlot = 401;
constexpr int kTextCaseTwins = 1119;
constexpr int kTextSetKept = 1123;
constexpr int kTextMethodNotValid = 141; // %v = the model
constexpr int kTextOtherFileType = 143;
constexpr int kErrSameMethodRefused = 23;
constexpr int kErrSameMethodLost = 24;
constexpr float kFirmwareRevisions = 1.6f;   // revisions shown from this firmware on
constexpr float kFirmwareSameMethod = 1.61f; // "sumvalhod" answers above this firmware
constexpr int kKarlFischerFamily = 2;

std::string text(int n) {
    return formatMsg(langText(n), {});
}

// What one entry came to.
enum class Step {
    Went,   // sent or fetched
    Skip,   // skipped or failed: on with the next entry
    Abort,  // this was the last entry
    Cancel, // replace answer 5
};

// Where a method goes when the method branch decides to send it.
struct Send {
    Step step = Step::Skip;
    int uploadType = 0;
};

// How the entry in hand ended, for its records.
struct EntryEnd {
    FileFacts own; // the entry's own file as the source side gave it before the copy
    TransferOutcome outcome = TransferOutcome::Done;
    std::string reason;
    FileSetResult set;
    int answer = 0;
};

TransferOperation operationOf(const CopyRequest& r) {
    return r.move ? TransferOperation::Move : TransferOperation::Copy;
}

// Every file's record goes to the audit log. One that cannot be recorded stops the
// operation before its next file: nothing more happens unrecorded.
void emitRecord(CopyUi& ui, TransferRecord r) {
    r.timeMs = recordTimeNow();
    if (!recordTransfer(r) && !ui.progress.abortRequested()) {
        ui.progress.requestAbort();
        ui.host.message(auditText(kTextAuditStopped), "", Host::Icon::Critical);
    }
    if (ui.observer)
        ui.observer->record(r);
}

class Copy {
public:
    Copy(DeviceSession& session, const CopyRequest& request, CopyUi& ui)
        : session_(session), req_(request), ui_(ui), link_{session, ui.host, ui.progress},
          replace_(ui.replace, request.fileType, request.initialReplaceStatus),
          titratorEntries_(request.titratorEntries),
          pcToTrash_(request.move && request.source == 0 && pcfiles::hasTrash(request.pcFolder)) {}

    CopyResult run();

private:
    const TitratorIdentity& titrator() const { return session_.monitor().identity(); }
    // A query to the titrator failed (its error was shown), or the user stopped it.
    Step stopOrSkip() {
        if (ui_.progress.abortRequested())
            return ended(Step::Abort, TransferOutcome::Aborted, reasonText(kTextReasonStopped));
        return ended(Step::Skip, TransferOutcome::Failed, linkReason());
    }
    // The entry could not be checked against the other side's copy.
    Step failedOrStop(const PaneEntry& entry) {
        const Step step = stopOrSkip();
        if (step == Step::Skip)
            result_.failed.push_back(entry.name);
        return step;
    }
    Step ended(Step step, TransferOutcome outcome, std::string reason) {
        end_.outcome = outcome;
        end_.reason = std::move(reason);
        return step;
    }
    Step refused(Step step, int reason) {
        return ended(step, TransferOutcome::Refused, reasonText(reason));
    }
    Step kept() { return ended(Step::Skip, TransferOutcome::Skipped, reasonText(kTextReasonKept)); }
    std::string linkReason() const {
        return transferReason(session_.serial().lastPortError() != PortError::None
                                  ? TransferResult::PortFailed
                                  : TransferResult::TimedOut);
    }
    // An answer given before for this entry (a retry), else the question's.
    int answerFor(const std::string& name, const std::function<int()>& ask) {
        const auto given = req_.answers.find(name);
        end_.answer = given != req_.answers.end() ? given->second : ask();
        return end_.answer;
    }
    bool yesFor(const std::string& name, const std::string& question, const std::string& title) {
        return answerFor(name, [&] {
                   return ui_.host.askYesNo(question, title) ? ReplacePrompt::Replace
                                                             : ReplacePrompt::Skip;
               }) == ReplacePrompt::Replace;
    }
    CopyFacts factsOf(const std::string& titratorLine, const std::filesystem::path& pcFile) const {
        const ListedFile listed = listedFile(titratorLine);
        return {true, {listed.size, listed.date}, pcFileFacts(pcFile)};
    }
    std::string titratorLineOf(const std::string& name) const;
    void message(int textIndex, const std::vector<std::string>& args, int title) {
        ui_.host.message(formatMsg(langText(textIndex), args), text(title), Host::Icon::Warning);
    }
    std::string pcRevision(const std::string& name) const;
    bool askOnTitrator(const PaneEntry& entry, int& answer);

    Step sendEntry(const PaneEntry& entry);
    Send fileRules(int fileType, const std::string& name);
    Send methodBranch(int fileType, const std::string& name, int status);
    Send userSlotDecision(const std::string& name);
    Send replaceDecision(const std::string& name, const std::string& titratorRevision,
                         const std::string& titratorLine);
    bool sameMethod(const std::string& name, std::string& titratorFile);
    Step upload(const PaneEntry& entry, const Send& send);

    Step fetchEntry(const PaneEntry& entry, int index, int count);
    bool askOnPc(const PaneEntry& entry, int& answer);
    bool fetch(const PaneEntry& entry, int index, int count);
    bool fetchTraySet(const PaneEntry& entry, int index, int count);

    bool caseTwinsRefused(std::string& reason);
    void finish();

    std::vector<std::int64_t> expectedBytes(std::size_t n) const;
    FileFacts sourceFacts(const PaneEntry& entry) const {
        if (req_.source == 0)
            return pcFileFacts(req_.pcFolder / entry.name);
        const ListedFile listed = listedFile(entry.line);
        return {listed.size, listed.date};
    }
    TransferRecord recordOf(const PaneEntry& entry, const std::string& file,
                            const std::string& pcPath) const;
    void recordEntry(const PaneEntry& entry, Step step);
    void recordUnreached(std::size_t from, std::size_t n, TransferOutcome outcome,
                         const std::string& reason);

    DeviceSession& session_;
    const CopyRequest& req_;
    CopyUi& ui_;
    FileLink link_;
    ReplacePrompt replace_;
    std::vector<std::string> titratorEntries_;
    bool pcToTrash_; // a move's PC files go to the trash
    CopyResult result_;
    EntryEnd end_;
};

std::string Copy::titratorLineOf(const std::string& name) const {
    for (const std::string& line : titratorEntries_)
        if (filenames::sameName(filenames::firstToken(line), name))
            return line;
    return name;
}

std::string Copy::pcRevision(const std::string& name) const {
    std::string content, error;
    if (!readRegularFile(req_.pcFolder / name, kMaxDocumentBytes, content, error))
        return {};
    return methodRevision(textFromFileLines(content));
}

// --------------------------------------------------------------- PC to titrator

Step Copy::sendEntry(const PaneEntry& entry) {
    const std::string& name = entry.name;
    const fs::path path = req_.pcFolder / name;
    int type = selectedFileType(name);
    if (req_.fileType == ftype::kAllMethods && ftype::isMethod(type))
        type = ftype::kAllMethods;
    if (type == ftype::kReports) {
        const ReportCheck check = checkReportForModel(ui_.host, titrator(), path, name);
        if (check != ReportCheck::Pass)
            return refused(check == ReportCheck::Skip ? Step::Skip : Step::Abort,
                           kTextReasonUnsuited);
    }
    if (ftype::isMethod(type)) {
        std::int32_t code = sumval::kValid;
        std::string error;
        if (!sumval::verifyMethodFile(path, titrator().titType, code, error)) {
            showErrorInfo(ui_.host, EIO, error, "copyFile");
            return ended(Step::Abort, TransferOutcome::Failed, error);
        }
        if (code != sumval::kValid) {
            ui_.host.message(
                formatMsg(langText(kTextMethodNotValid), {titrator().currentModelName}), "",
                Host::Icon::None);
            return refused(Step::Abort, kTextReasonUnsuited);
        }
    }
    if (type != req_.fileType) {
        ui_.host.message(text(kTextOtherFileType), "", Host::Icon::None);
        return refused(Step::Abort, kTextReasonType);
    }
    int answer = ReplacePrompt::Replace;
    if (!askOnTitrator(entry, answer))
        return failedOrStop(entry);
    if (ReplacePrompt::cancels(answer))
        return ended(Step::Cancel, TransferOutcome::Skipped, reasonText(kTextReasonStopped));
    if (!ReplacePrompt::replaces(answer))
        return kept();
    const Send send = fileRules(type, name);
    return send.step == Step::Went ? upload(entry, send) : send.step;
}

// The replace question when the titrator lists the name; false when its copy
// could not be read.
bool Copy::askOnTitrator(const PaneEntry& entry, int& answer) {
    if (!filenames::isOnList(titratorEntries_, entry.name))
        return true;
    std::string titratorText;
    if (!succeeded(fetchFileText(link_, entry.name, titratorText, req_.fileType)))
        return false;
    answer = answerFor(entry.name, [&] {
        return replace_.checkReplaceOnTitr(
            entry.name, methodRevision(titratorText), pcRevision(entry.name),
            factsOf(titratorLineOf(entry.name), req_.pcFolder / entry.name));
    });
    return true;
}

Send Copy::fileRules(int type, const std::string& name) {
    const bool method = ftype::isMethod(type);
    const int typeCode = !method                                  ? type
                         : text::upper(name.substr(0, 2)) == "QX" ? ftype::kStandardMethods
                                                                  : ftype::kUserMethods;
    int status = 0;
    if (!checkFileSending(link_, typeCode, name, status))
        return {stopOrSkip()};
    if (method)
        return methodBranch(type, name, status);
    const bool sequence = type == ftype::kSequences;
    if (status & kBadName) {
        message(sequence ? kTextFileName : kTextReportName, {name}, kTextNameTitle);
        return {refused(Step::Skip, kTextReasonName)};
    }
    if (!(status & kExists) && (status & kNoFreeSlot)) {
        message(sequence ? kTextNoSequenceSlot : kTextNoReportSlot, {}, kTextMemoryTitle);
        return {refused(Step::Abort, kTextReasonNoMemory)};
    }
    return {Step::Went, type};
}

Send Copy::methodBranch(int type, const std::string& name, int status) {
    const float firmware = titrator().firmwareVersion;
    const bool kfFamily = titrator().titType == kKarlFischerFamily;
    const bool standard = text::upper(name.substr(0, 2)) == "QX";
    if (status & kBadName) {
        message(kTextFileName, {name}, kTextNameTitle);
        return {refused(Step::Skip, kTextReasonName)};
    }
    if (standard) {
        if (status & kExists) {
            bool yes = false;
            if (kfFamily || firmware >= kFirmwareRevisions) {
                std::string titratorText;
                if (!succeeded(fetchFileText(link_, name, titratorText, type)))
                    return {stopOrSkip()};
                yes = yesFor(name,
                             formatMsg(langText(kTextReplaceRevisions),
                                       {name, methodRevision(titratorText), pcRevision(name)}),
                             text(kTextReplaceMethodTitle));
            } else {
                yes = yesFor(name, text(kTextReplaceMethod), text(kTextReplaceMethodTitle));
            }
            return {yes ? Step::Went : kept(), type};
        }
        if (status & kNoFreeSlot) {
            message(kTextNoStandardSlot, {}, kTextMemoryTitle);
            return {refused(Step::Abort, kTextReasonNoMemory)};
        }
        return {Step::Went, type};
    }
    // User methods go as type 3, so that "changeId" follows them from every method category.
    if (status & kNoFreeSlot) {
        message(kTextNoUserSlot, {}, kTextMemoryTitle);
        return {refused(Step::Abort, kTextReasonNoMemory)};
    }
    if (!(status & kExists))
        return {Step::Went, ftype::kUserMethods};
    if (kfFamily || (firmware >= kFirmwareRevisions && firmware <= kFirmwareSameMethod))
        return userSlotDecision(name);
    std::string titratorFile;
    if (!sameMethod(name, titratorFile)) {
        stopOrSkip();
        return {Step::Abort};
    }
    if (firmware < kFirmwareRevisions)
        return userSlotDecision(name);
    std::string titratorText;
    if (!succeeded(fetchFileText(link_, titratorFile, titratorText, ftype::kUserMethods)))
        return {stopOrSkip()};
    return replaceDecision(name, methodRevision(titratorText), titratorLineOf(titratorFile));
}

Send Copy::replaceDecision(const std::string& name, const std::string& titratorRevision,
                           const std::string& titratorLine) {
    const int answer = answerFor(name, [&] {
        return replace_.checkReplaceOnTitr(name, titratorRevision, pcRevision(name),
                                           factsOf(titratorLine, req_.pcFolder / name));
    });
    if (ReplacePrompt::cancels(answer))
        return {ended(Step::Cancel, TransferOutcome::Skipped, reasonText(kTextReasonStopped))};
    return {ReplacePrompt::replaces(answer) ? Step::Went : kept(), ftype::kUserMethods};
}

Send Copy::userSlotDecision(const std::string& name) {
    const UserSlot slot = findUserSlot(link_, titratorEntries_, name, titrator().titType);
    if (slot.failed)
        return {stopOrSkip()};
    if (slot.code == "2") {
        const bool yes = yesFor(name, text(kTextUserMemoryFull), text(kTextMemoryTitle));
        return {yes ? Step::Went : kept(), ftype::kUserMethods};
    }
    // The titrator's copy of the method does not verify: it is left alone.
    if (slot.code == "16" || slot.code == "32" || slot.code == "8" || slot.code == "7")
        return {refused(Step::Skip, kTextReasonUnsuited)};
    return replaceDecision(name, slot.titratorRevision, titratorLineOf(name));
}

// "sumvalhod": the titrator's file that holds the same method.
bool Copy::sameMethod(const std::string& name, std::string& titratorFile) {
    Serial& serial = session_.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    std::string answer;
    if (!succeeded(askForText(serial, ui_.progress, "sumvalhod", name, answer,
                              kErrSameMethodRefused, kErrSameMethodLost)))
        return false;
    titratorFile = filenames::firstToken(answer);
    if (!filenames::isSafeName(titratorFile)) {
        refuseUnsafeName(ui_.host, titratorFile);
        return false;
    }
    return true;
}

Step Copy::upload(const PaneEntry& entry, const Send& send) {
    const TransferResult sent =
        uploadFile(link_, send.uploadType, entry.name, req_.pcFolder, entry.name, &end_.set);
    if (!succeeded(sent)) {
        ended(Step::Skip, outcomeOf(sent), transferReason(sent));
        if (sent != TransferResult::Aborted)
            result_.failed.push_back(entry.name);
        if (sent == TransferResult::PortFailed)
            result_.linkLost = true;
        if (sent == TransferResult::Aborted || sent == TransferResult::PortFailed) {
            result_.refreshPc = true;
            return Step::Abort;
        }
        return Step::Skip;
    }
    if (!filenames::isOnList(titratorEntries_, entry.name)) {
        titratorEntries_.push_back(entry.name);
        result_.namesAdded.push_back(entry.name);
    }
    // Only the file itself: its companions stay on the PC.
    if (req_.move && !pcfiles::removePcFile(ui_.host, req_.pcFolder / entry.name, pcToTrash_)) {
        result_.failed.push_back(entry.name);
        return ended(Step::Skip, TransferOutcome::Failed, reasonText(kTextReasonNotDeleted));
    }
    return Step::Went;
}

// --------------------------------------------------------------- titrator to PC

// The question names the PC's file, which may spell the name in another case.
bool Copy::askOnPc(const PaneEntry& entry, int& answer) {
    answer = ReplacePrompt::Replace;
    std::error_code ec;
    const fs::path existing = pcfiles::pcFilePath(req_.pcFolder, entry.name);
    if (!fs::exists(fs::symlink_status(existing, ec)))
        return true;
    const std::string pcName = existing.filename().string();
    const int typeCode = titrator().typeCode;
    const bool series3 = typeCode >= 31 && typeCode <= 34;
    const CopyFacts facts = factsOf(entry.line, existing);
    if (ftype::isMethod(req_.fileType) && (titrator().titType == kKarlFischerFamily || series3)) {
        std::string titratorText;
        if (!succeeded(fetchFileText(link_, entry.line, titratorText, req_.fileType)))
            return false;
        answer = answerFor(entry.name, [&] {
            return replace_.checkReplaceOnPC(pcName, methodRevision(titratorText),
                                             pcRevision(pcName), facts);
        });
    } else {
        answer = answerFor(entry.name, [&] { return replace_.checkReplaceForm(pcName, facts); });
    }
    return true;
}

// A companion comes with its report from the "dir" listing, so one the
// titrator does not have is never asked for.
bool Copy::fetch(const PaneEntry& entry, int index, int count) {
    if (req_.fileType == ftype::kTrayReports)
        return fetchTraySet(entry, index, count);
    const std::int64_t listed = req_.verifyListedSize ? listedFile(entry.line).size : -1;
    return downloadFile(link_, req_.fileType, entry.line, req_.pcFolder, &end_.set, listed);
}

// The set's report with its companions, then the reports of its folder. A move
// keeps a set whose file did not arrive on the titrator, and says so.
bool Copy::fetchTraySet(const PaneEntry& entry, int index, int count) {
    const std::string set = entry.name.substr(0, kTraySetNameLength);
    const std::int64_t listed = req_.verifyListedSize ? listedFile(entry.line).size : -1;
    bool ok =
        downloadFile(link_, ftype::kTrayReports, entry.line, req_.pcFolder, &end_.set, listed);
    if (ui_.progress.abortRequested())
        return false;
    const fs::path folder = pcfiles::pcFilePath(req_.pcFolder, set);
    std::error_code ec;
    fs::create_directories(folder, ec);
    ok = downloadTrayFolder(link_, set + "\\", index, count, folder, &end_.set) && ok;
    if (!ok && req_.move && !ui_.progress.abortRequested())
        ui_.host.message(formatMsg(langText(kTextSetKept), {entry.name, end_.set.failedFile}), "",
                         Host::Icon::Warning);
    return ok;
}

Step Copy::fetchEntry(const PaneEntry& entry, int index, int count) {
    if (!filenames::isSafeName(entry.name) || filenames::firstToken(entry.line) != entry.name) {
        refuseUnsafeName(ui_.host, entry.name);
        return ended(Step::Skip, TransferOutcome::Refused,
                     formatMsg(langText(kTextUnsafeName), {text::printable(entry.name)}));
    }
    int answer = ReplacePrompt::Replace;
    if (!askOnPc(entry, answer))
        return failedOrStop(entry);
    if (ReplacePrompt::cancels(answer))
        return ended(Step::Cancel, TransferOutcome::Skipped, reasonText(kTextReasonStopped));
    if (answer == ReplacePrompt::Skip || answer == ReplacePrompt::SkipAll)
        return kept();
    const bool fetched = fetch(entry, index, count);
    if (ui_.progress.abortRequested()) {
        result_.refreshPc = true;
        return ended(Step::Abort, TransferOutcome::Aborted,
                     transferReason(fetched ? TransferResult::Aborted : end_.set.failure));
    }
    if (!fetched) {
        result_.failed.push_back(entry.name);
        const FileSetResult& set = end_.set;
        ended(Step::Skip, outcomeOf(set.failure),
              set.receivedSize >= 0 ? reasonText(kTextReasonSize, {std::to_string(set.receivedSize),
                                                                   std::to_string(set.listedSize)})
              : filenames::isSafeName(set.failedFile)
                  ? transferReason(set.failure)
                  : formatMsg(langText(kTextUnsafeName), {text::printable(set.failedFile)}));
        return req_.fileType == ftype::kTrayReports ? Step::Abort : Step::Skip;
    }
    // Only a complete PC copy lets the titrator's file go.
    FileSetResult deleted;
    if (req_.move && !deleteTitratorFile(link_, entry.line, req_.fileType, &deleted)) {
        result_.failed.push_back(entry.name);
        return ended(Step::Skip, TransferOutcome::Failed, reasonText(kTextReasonNotDeleted));
    }
    return Step::Went;
}

// --------------------------------------------------------------- the loop

CopyResult Copy::run() {
    Serial& serial = session_.serial();
    LinkMonitor& monitor = session_.monitor();
    const std::size_t selected = std::min(req_.selected.size(), kMaxSelection);
    std::size_t n = selected;
    std::size_t loopIndex = 0; // where the loop stopped: n when it ran through
    std::string stopReason;    // why the entries after the last one handled were not
    TransferOutcome unreached = TransferOutcome::Aborted;
    ui_.progress.clear();
    const std::vector<std::int64_t> expected = expectedBytes(n);
    std::int64_t later = 0;
    for (std::int64_t bytes : expected)
        later += bytes;
    ui_.progress.setTotalBytes(later);
    ui_.progress.showProgress(true);
    {
        serial.waitRecovery();
        Serial::Exchange hold(serial);
        if (req_.source == 0 && caseTwinsRefused(stopReason)) {
            n = 0;
            unreached = TransferOutcome::Refused;
        }
        for (std::size_t i = 0; hold && i < n; ++i) {
            if (!monitor.titratorOnline() || !serial.isPortOpen()) {
                // Later entries must never reach the other side through a stale pane.
                ui_.progress.requestAbort();
                result_.linkLost = true;
            }
            loopIndex = i;
            if (ui_.progress.abortRequested()) {
                result_.aborted = true;
                break;
            }
            ui_.progress.setTotalStatus(double(i) / double(n));
            result_.handled = static_cast<int>(i) + 1;
            const PaneEntry& entry = req_.selected[i];
            later -= expected[i];
            ui_.progress.setBytesAhead(expected[i], later);
            end_ = {};
            end_.own = sourceFacts(entry);
            ui_.progress.entryStarted(entry.name);
            const Step step = req_.source == 0
                                  ? sendEntry(entry)
                                  : fetchEntry(entry, static_cast<int>(i), static_cast<int>(n));
            recordEntry(entry, step);
            ui_.progress.entryEnded(step == Step::Went);
            if (step == Step::Went)
                ++result_.done;
            if (step == Step::Cancel)
                result_.cancelled = true;
            if (step == Step::Abort || step == Step::Cancel) {
                // A refusal that ends the copy is why the rest did not go.
                if (end_.outcome == TransferOutcome::Refused)
                    stopReason = end_.reason;
                break;
            }
            loopIndex = i + 1;
        }
    }
    // Entries a lost link left were not skipped by anyone's choice: they failed.
    if (result_.linkLost || (stopReason.empty() && serial.lastPortError() != PortError::None)) {
        stopReason = reasonText(kTextReasonLinkFailed);
        unreached = TransferOutcome::Failed;
    }
    recordUnreached(static_cast<std::size_t>(result_.handled), selected, unreached,
                    stopReason.empty() ? reasonText(kTextReasonStopped) : stopReason);
    ui_.progress.setTotalStatus(1.0);
    ui_.progress.showProgress(false);
    result_.aborted = result_.aborted || ui_.progress.abortRequested();
    // A copy that stopped on its first entry changed nothing to reload or list.
    if (loopIndex > 0)
        finish();
    return result_;
}

// Two PC files that the titrator, which ignores case, would take for one: the
// second would overwrite the first there. Refused before anything is sent.
bool Copy::caseTwinsRefused(std::string& reason) {
    std::map<std::string, std::string> byTitratorName;
    for (std::size_t i = 0; i < req_.selected.size() && i < kMaxSelection; ++i) {
        const std::string& name = req_.selected[i].name;
        for (const std::string& file : filesToSend(selectedFileType(name), name, req_.pcFolder)) {
            const auto [it, fresh] = byTitratorName.emplace(text::upper(file), file);
            if (!fresh && it->second != file) {
                reason = formatMsg(langText(kTextCaseTwins), {it->second, file});
                ui_.host.message(reason, "", Host::Icon::Warning);
                return true;
            }
        }
    }
    return false;
}

// What each entry will move, as far as the PC's files and the titrator's
// listing lines tell; the progress window estimates the time left from it.
std::vector<std::int64_t> Copy::expectedBytes(std::size_t n) const {
    std::vector<std::int64_t> bytes(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const PaneEntry& entry = req_.selected[i];
        if (req_.source == 1) {
            bytes[i] = std::max<std::int64_t>(listedFile(entry.line).size, 0);
            continue;
        }
        for (const std::string& file :
             filesToSend(selectedFileType(entry.name), entry.name, req_.pcFolder))
            bytes[i] += std::max<std::int64_t>(pcFileFacts(req_.pcFolder / file).size, 0);
    }
    return bytes;
}

// --------------------------------------------------------------- records

TransferRecord Copy::recordOf(const PaneEntry& entry, const std::string& file,
                              const std::string& pcPath) const {
    TransferRecord r;
    r.operation = operationOf(req_);
    r.direction = req_.source == 0 ? TransferDirection::ToTitrator : TransferDirection::ToPc;
    r.entry = entry.name;
    r.titratorName = file;
    r.pcName = pcPath.empty() ? (req_.pcFolder / file).string() : pcPath;
    r.answer = end_.answer;
    return r;
}

// One record per file that went, and one for the file (or the entry) that did not.
void Copy::recordEntry(const PaneEntry& entry, Step step) {
    for (const MovedFile& f : end_.set.files) {
        TransferRecord r = recordOf(entry, f.name, f.pcPath);
        r.size = f.size;
        r.sha256 = f.sha256;
        // A companion's date is the PC file's where it came from the PC; the
        // titrator's "dir" gives none.
        r.date = recordDate(filenames::sameName(f.name, entry.name) ? end_.own.date
                            : req_.source == 0                      ? pcFileFacts(f.pcPath).date
                                                                    : std::nullopt);
        emitRecord(ui_, r);
    }
    if (step == Step::Went) {
        if (end_.set.files.empty()) {
            TransferRecord r = recordOf(entry, entry.name, {});
            r.size = end_.own.size;
            r.date = recordDate(end_.own.date);
            emitRecord(ui_, r);
        }
        return;
    }
    const bool own =
        end_.set.failedFile.empty() || filenames::sameName(end_.set.failedFile, entry.name);
    if (end_.outcome == TransferOutcome::Done)
        ended(step,
              ui_.progress.abortRequested() ? TransferOutcome::Aborted : TransferOutcome::Failed,
              transferReason(end_.set.failure == TransferResult::Done ? TransferResult::TimedOut
                                                                      : end_.set.failure));
    const std::string& file = end_.set.failedFile.empty() ? entry.name : end_.set.failedFile;
    TransferRecord r = recordOf(entry, file, {});
    if (own) {
        r.size = end_.own.size;
        r.date = recordDate(end_.own.date);
    }
    r.result = end_.outcome;
    r.reason = end_.reason;
    emitRecord(ui_, r);
}

void Copy::recordUnreached(std::size_t from, std::size_t n, TransferOutcome outcome,
                           const std::string& reason) {
    for (std::size_t i = from; i < n; ++i) {
        end_ = {};
        const FileFacts facts = sourceFacts(req_.selected[i]);
        TransferRecord r = recordOf(req_.selected[i], req_.selected[i].name, {});
        r.size = facts.size;
        r.date = recordDate(facts.date);
        r.result = outcome;
        r.reason = reason;
        emitRecord(ui_, r);
    }
}

void Copy::finish() {
    const bool reports = req_.fileType >= ftype::kReports && req_.fileType <= ftype::kCrp;
    if (!reports && (req_.source == 0 || req_.move))
        reloadTitratorMethods(link_);
    result_.refreshPc = true;
    result_.refreshTitrator = true;
    const TransferResult listed = listTitratorFiles(session_, ui_.host, req_.fileType,
                                                    titrator().titType, result_.titratorListing);
    if (!succeeded(listed))
        result_.titratorListing.clear();
    result_.linkLost = result_.linkLost || !session_.monitor().titratorOnline() ||
                       session_.serial().lastPortError() != PortError::None;
}

// The delete question says where the files go (the trash, or for good) and
// names them: the first ten, then how many more.
std::string deleteQuestion(const CopyRequest& req, std::size_t n, bool toTrash) {
    std::string names;
    for (std::size_t i = 0; i < std::min(n, kNamesAsked); ++i)
        names += (i > 0 ? "\r" : "") + req.selected[i].name;
    if (n > kNamesAsked)
        names += "\r" + formatMsg(langText(kTextMoreFiles), {std::to_string(n - kNamesAsked)});
    const int question = req.source == 1 ? kTextDeleteOnTitrator
                         : toTrash       ? kTextDeleteToTrash
                                         : kTextDeleteForGood;
    return formatMsg(langText(question), {names});
}

bool nothingSelected(const CopyRequest& req, Host& host) {
    if (!req.selected.empty())
        return false;
    host.message(text(kTextNothingSelected), text(kTextSelectionTitle), Host::Icon::Warning);
    return true;
}

} // namespace

CopyResult copyFile(DeviceSession& session, const CopyRequest& request, CopyUi& ui) {
    ui.progress.clearAbort();
    if (nothingSelected(request, ui.host))
        return {};
    return Copy(session, request, ui).run();
}

namespace {

TransferRecord deleteRecord(const CopyRequest& req, const PaneEntry& entry,
                            const std::string& file) {
    TransferRecord r;
    r.operation = TransferOperation::Delete;
    r.direction = req.source == 0 ? TransferDirection::OnPc : TransferDirection::OnTitrator;
    r.entry = entry.name;
    if (req.source == 0)
        r.pcName = (req.pcFolder / file).string();
    else
        r.titratorName = file;
    if (filenames::sameName(file, entry.name)) {
        const ListedFile listed = listedFile(entry.line);
        const FileFacts facts = req.source == 0 ? pcFileFacts(req.pcFolder / file)
                                                : FileFacts{listed.size, listed.date};
        r.size = facts.size;
        r.date = recordDate(facts.date);
        std::string error;
        if (req.source == 0 && !sha256OfFile(req.pcFolder / file, r.sha256, error))
            r.sha256.clear(); // the bytes deleted, as far as they could be read
    }
    return r;
}

void recordDeleted(CopyUi& ui, TransferRecord r, const FileSetResult& set, bool went) {
    if (went) {
        emitRecord(ui, r);
        return;
    }
    r.result =
        outcomeOf(set.failure == TransferResult::Done ? TransferResult::FileFailed : set.failure);
    r.reason = set.failure == TransferResult::Done ? reasonText(kTextReasonPcFile)
                                                   : transferReason(set.failure);
    emitRecord(ui, r);
}

// The entries an abort or a lost link left: they are still where they were.
void recordUndeleted(CopyUi& ui, const CopyRequest& req, std::size_t from, std::size_t n,
                     bool linkLost = false) {
    for (std::size_t i = from; i < n; ++i) {
        TransferRecord r = deleteRecord(req, req.selected[i], req.selected[i].name);
        r.result = linkLost ? TransferOutcome::Failed : TransferOutcome::Aborted;
        r.reason = reasonText(linkLost ? kTextReasonLinkFailed : kTextReasonStopped);
        emitRecord(ui, r);
    }
}

} // namespace

CopyResult deleteFiles(DeviceSession& session, const CopyRequest& req, CopyUi& ui) {
    CopyResult result;
    ui.progress.clearAbort();
    if (nothingSelected(req, ui.host))
        return result;
    const std::string current =
        req.currentName.empty() ? req.selected.front().name : req.currentName;
    if (checkFileName(ui.host, current, req.csvShown) != kNameValid)
        return result;
    const std::size_t n = std::min(req.selected.size(), kMaxSelection);
    const bool toTrash = req.source == 0 && pcfiles::hasTrash(req.pcFolder);
    if (!req.deleteConfirmed &&
        !ui.host.askYesNo(deleteQuestion(req, n, toTrash), text(kTextDeleteTitle)))
        return result;
    result.handled = static_cast<int>(n);
    if (req.source == 0) {
        std::size_t i = 0;
        for (; i < n && !ui.progress.abortRequested(); ++i) {
            const PaneEntry& entry = req.selected[i];
            const TransferRecord r = deleteRecord(req, entry, entry.name);
            ui.progress.entryStarted(entry.name);
            const bool went = pcfiles::deletePcFile(
                ui.host, entry.name, selectedFileType(entry.name), req.pcFolder, toTrash);
            recordDeleted(ui, r, {}, went);
            result.done += went ? 1 : 0;
            if (!went)
                result.failed.push_back(entry.name);
            ui.progress.entryEnded(went);
        }
        recordUndeleted(ui, req, i, n);
        result.refreshPc = true;
        return result;
    }
    if (!session.monitor().titratorOnline()) {
        result.linkLost = true;
        return result;
    }
    // The titrator pane lists tray report sets while only the PC pane is inside a tray folder.
    const int type =
        req.pcInTrayFolder && !req.titratorInTrayFolder && req.fileType == ftype::kTrayFolderReports
            ? ftype::kTrayReports
            : req.fileType;
    FileLink link{session, ui.host, ui.progress};
    Serial& serial = session.serial();
    {
        serial.waitRecovery();
        Serial::Exchange hold(serial);
        std::size_t i = 0;
        for (; hold && i < n && !ui.progress.abortRequested(); ++i) {
            const PaneEntry& entry = req.selected[i];
            ui.progress.entryStarted(entry.name);
            FileSetResult set;
            const bool went = deleteTitratorFile(link, entry.line, type, &set);
            for (const MovedFile& f : set.files)
                emitRecord(ui, deleteRecord(req, entry, f.name));
            if (!went)
                recordDeleted(
                    ui,
                    deleteRecord(req, entry, set.failedFile.empty() ? entry.name : set.failedFile),
                    set, false);
            result.done += went ? 1 : 0;
            if (!went)
                result.failed.push_back(entry.name);
            ui.progress.entryEnded(went);
        }
        recordUndeleted(ui, req, i, n,
                        !session.monitor().titratorOnline() ||
                            serial.lastPortError() != PortError::None);
        if (hold && (type < ftype::kReports || type >= ftype::kLogs))
            reloadTitratorMethods(link);
    }
    result.refreshTitrator = true;
    const TransferResult listed = listTitratorFiles(
        session, ui.host, type, session.monitor().identity().titType, result.titratorListing);
    if (!succeeded(listed))
        result.titratorListing.clear();
    result.linkLost =
        !session.monitor().titratorOnline() || serial.lastPortError() != PortError::None;
    return result;
}

} // namespace devfiles
