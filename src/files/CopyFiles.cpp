#include "files/CopyFiles.h"

#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/MethodRevision.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "files/FileChecks.h"
#include "files/FileNames.h"
#include "files/PcFiles.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
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
    Step stopOrSkip() const { return ui_.progress.abortRequested() ? Step::Abort : Step::Skip; }
    // The entry could not be checked against the other side's copy.
    Step failedOrStop(const PaneEntry& entry) {
        if (ui_.progress.abortRequested())
            return Step::Abort;
        result_.failed.push_back(entry.name);
        return Step::Skip;
    }
    void message(int textIndex, const std::vector<std::string>& args, int title) {
        ui_.host.message(formatMsg(langText(textIndex), args), text(title), Host::Icon::Warning);
    }
    std::string pcRevision(const std::string& name) const;
    bool askOnTitrator(const PaneEntry& entry, int& answer);

    Step sendEntry(const PaneEntry& entry);
    Send fileRules(int fileType, const std::string& name);
    Send methodBranch(int fileType, const std::string& name, int status);
    Send userSlotDecision(const std::string& name);
    bool sameMethod(const std::string& name, std::string& titratorFile);
    Step upload(const PaneEntry& entry, const Send& send);

    Step fetchEntry(const PaneEntry& entry, int index, int count);
    bool askOnPc(const PaneEntry& entry, int& answer);
    bool fetch(const PaneEntry& entry, int index, int count);
    bool fetchTraySet(const PaneEntry& entry, int index, int count);

    bool caseTwinsRefused();
    void finish();

    DeviceSession& session_;
    const CopyRequest& req_;
    CopyUi& ui_;
    FileLink link_;
    ReplacePrompt replace_;
    std::vector<std::string> titratorEntries_;
    bool pcToTrash_; // a move's PC files go to the trash
    CopyResult result_;
};

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
            return check == ReportCheck::Skip ? Step::Skip : Step::Abort;
    }
    if (ftype::isMethod(type)) {
        std::int32_t code = sumval::kValid;
        std::string error;
        if (!sumval::verifyMethodFile(path, titrator().titType, code, error)) {
            showErrorInfo(ui_.host, EIO, error, "copyFile");
            return Step::Abort;
        }
        if (code != sumval::kValid) {
            ui_.host.message(
                formatMsg(langText(kTextMethodNotValid), {titrator().currentModelName}), "",
                Host::Icon::None);
            return Step::Abort;
        }
    }
    if (type != req_.fileType) {
        ui_.host.message(text(kTextOtherFileType), "", Host::Icon::None);
        return Step::Abort;
    }
    int answer = ReplacePrompt::Replace;
    if (!askOnTitrator(entry, answer))
        return failedOrStop(entry);
    if (ReplacePrompt::cancels(answer))
        return Step::Cancel;
    if (!ReplacePrompt::replaces(answer))
        return Step::Skip;
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
    answer = replace_.checkReplaceOnTitr(entry.name, methodRevision(titratorText),
                                         pcRevision(entry.name));
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
        return {Step::Skip};
    }
    if (!(status & kExists) && (status & kNoFreeSlot)) {
        message(sequence ? kTextNoSequenceSlot : kTextNoReportSlot, {}, kTextMemoryTitle);
        return {Step::Abort};
    }
    return {Step::Went, type};
}

Send Copy::methodBranch(int type, const std::string& name, int status) {
    const float firmware = titrator().firmwareVersion;
    const bool kfFamily = titrator().titType == kKarlFischerFamily;
    const bool standard = text::upper(name.substr(0, 2)) == "QX";
    if (status & kBadName) {
        message(kTextFileName, {name}, kTextNameTitle);
        return {Step::Skip};
    }
    if (standard) {
        if (status & kExists) {
            bool yes = false;
            if (kfFamily || firmware >= kFirmwareRevisions) {
                std::string titratorText;
                if (!succeeded(fetchFileText(link_, name, titratorText, type)))
                    return {stopOrSkip()};
                yes = ui_.host.askYesNo(
                    formatMsg(langText(kTextReplaceRevisions),
                              {name, methodRevision(titratorText), pcRevision(name)}),
                    text(kTextReplaceMethodTitle));
            } else {
                yes = ui_.host.askYesNo(text(kTextReplaceMethod), text(kTextReplaceMethodTitle));
            }
            return {yes ? Step::Went : Step::Skip, type};
        }
        if (status & kNoFreeSlot) {
            message(kTextNoStandardSlot, {}, kTextMemoryTitle);
            return {Step::Abort};
        }
        return {Step::Went, type};
    }
    // User methods go as type 3, so that "changeId" follows them from every method category.
    if (status & kNoFreeSlot) {
        message(kTextNoUserSlot, {}, kTextMemoryTitle);
        return {Step::Abort};
    }
    if (!(status & kExists))
        return {Step::Went, ftype::kUserMethods};
    if (kfFamily || (firmware >= kFirmwareRevisions && firmware <= kFirmwareSameMethod))
        return userSlotDecision(name);
    std::string titratorFile;
    if (!sameMethod(name, titratorFile))
        return {Step::Abort};
    if (firmware < kFirmwareRevisions)
        return userSlotDecision(name);
    std::string titratorText;
    if (!succeeded(fetchFileText(link_, titratorFile, titratorText, ftype::kUserMethods)))
        return {stopOrSkip()};
    const int answer =
        replace_.checkReplaceOnTitr(name, methodRevision(titratorText), pcRevision(name));
    if (ReplacePrompt::cancels(answer))
        return {Step::Cancel};
    return {ReplacePrompt::replaces(answer) ? Step::Went : Step::Skip, ftype::kUserMethods};
}

Send Copy::userSlotDecision(const std::string& name) {
    const UserSlot slot = findUserSlot(link_, titratorEntries_, name, titrator().titType);
    if (slot.failed)
        return {stopOrSkip()};
    if (slot.code == "2") {
        const bool yes = ui_.host.askYesNo(text(kTextUserMemoryFull), text(kTextMemoryTitle));
        return {yes ? Step::Went : Step::Skip, ftype::kUserMethods};
    }
    if (slot.code == "16" || slot.code == "32" || slot.code == "8" || slot.code == "7")
        return {Step::Skip};
    const int answer = replace_.checkReplaceOnTitr(name, slot.titratorRevision, pcRevision(name));
    if (ReplacePrompt::cancels(answer))
        return {Step::Cancel};
    return {ReplacePrompt::replaces(answer) ? Step::Went : Step::Skip, ftype::kUserMethods};
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
        uploadFile(link_, send.uploadType, entry.name, req_.pcFolder, entry.name);
    if (!succeeded(sent)) {
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
        return Step::Skip;
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
    if (ftype::isMethod(req_.fileType) && (titrator().titType == kKarlFischerFamily || series3)) {
        std::string titratorText;
        if (!succeeded(fetchFileText(link_, entry.line, titratorText, req_.fileType)))
            return false;
        answer =
            replace_.checkReplaceOnPC(pcName, methodRevision(titratorText), pcRevision(pcName));
    } else {
        answer = replace_.checkReplaceForm(pcName);
    }
    return true;
}

// A companion comes with its report from the "dir" listing, so one the
// titrator does not have is never asked for.
bool Copy::fetch(const PaneEntry& entry, int index, int count) {
    if (req_.fileType == ftype::kTrayReports)
        return fetchTraySet(entry, index, count);
    return downloadFile(link_, req_.fileType, entry.line, req_.pcFolder);
}

// The set's report with its companions, then the reports of its folder. A move
// keeps a set whose file did not arrive on the titrator, and says so.
bool Copy::fetchTraySet(const PaneEntry& entry, int index, int count) {
    const std::string set = entry.name.substr(0, kTraySetNameLength);
    std::string failed;
    bool ok = downloadFile(link_, ftype::kTrayReports, entry.line, req_.pcFolder, &failed);
    if (ui_.progress.abortRequested())
        return false;
    const fs::path folder = pcfiles::pcFilePath(req_.pcFolder, set);
    std::error_code ec;
    fs::create_directories(folder, ec);
    ok = downloadTrayFolder(link_, set + "\\", index, count, folder, &failed) && ok;
    if (!ok && req_.move && !ui_.progress.abortRequested())
        ui_.host.message(formatMsg(langText(kTextSetKept), {entry.name, failed}), "",
                         Host::Icon::Warning);
    return ok;
}

Step Copy::fetchEntry(const PaneEntry& entry, int index, int count) {
    if (!filenames::isSafeName(entry.name) || filenames::firstToken(entry.line) != entry.name) {
        refuseUnsafeName(ui_.host, entry.name);
        return Step::Skip;
    }
    int answer = ReplacePrompt::Replace;
    if (!askOnPc(entry, answer))
        return failedOrStop(entry);
    if (ReplacePrompt::cancels(answer))
        return Step::Cancel;
    if (answer == ReplacePrompt::Skip || answer == ReplacePrompt::SkipAll)
        return Step::Skip;
    const bool fetched = fetch(entry, index, count);
    if (ui_.progress.abortRequested()) {
        result_.refreshPc = true;
        return Step::Abort;
    }
    if (!fetched) {
        result_.failed.push_back(entry.name);
        return req_.fileType == ftype::kTrayReports ? Step::Abort : Step::Skip;
    }
    // Only a complete PC copy lets the titrator's file go.
    if (req_.move && !deleteTitratorFile(link_, entry.line, req_.fileType)) {
        result_.failed.push_back(entry.name);
        return Step::Skip;
    }
    return Step::Went;
}

// --------------------------------------------------------------- the loop

CopyResult Copy::run() {
    Serial& serial = session_.serial();
    LinkMonitor& monitor = session_.monitor();
    std::size_t n = std::min(req_.selected.size(), kMaxSelection);
    std::size_t loopIndex = 0; // where the loop stopped: n when it ran through
    ui_.progress.clear();
    ui_.progress.showProgress(true);
    {
        serial.waitRecovery();
        Serial::Exchange hold(serial);
        if (req_.source == 0 && caseTwinsRefused())
            n = 0;
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
            ui_.progress.entryStarted(entry.name);
            const Step step = req_.source == 0
                                  ? sendEntry(entry)
                                  : fetchEntry(entry, static_cast<int>(i), static_cast<int>(n));
            ui_.progress.entryEnded(step == Step::Went);
            if (step == Step::Went)
                ++result_.done;
            if (step == Step::Cancel)
                result_.cancelled = true;
            if (step == Step::Abort || step == Step::Cancel)
                break;
            loopIndex = i + 1;
        }
    }
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
bool Copy::caseTwinsRefused() {
    std::map<std::string, std::string> byTitratorName;
    for (std::size_t i = 0; i < req_.selected.size() && i < kMaxSelection; ++i) {
        const std::string& name = req_.selected[i].name;
        for (const std::string& file : filesToSend(selectedFileType(name), name, req_.pcFolder)) {
            const auto [it, fresh] = byTitratorName.emplace(text::upper(file), file);
            if (!fresh && it->second != file) {
                ui_.host.message(formatMsg(langText(kTextCaseTwins), {it->second, file}), "",
                                 Host::Icon::Warning);
                return true;
            }
        }
    }
    return false;
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
    if (!ui.host.askYesNo(deleteQuestion(req, n, toTrash), text(kTextDeleteTitle)))
        return result;
    result.handled = static_cast<int>(n);
    if (req.source == 0) {
        for (std::size_t i = 0; i < n && !ui.progress.abortRequested(); ++i) {
            const std::string& name = req.selected[i].name;
            ui.progress.entryStarted(name);
            const bool went =
                pcfiles::deletePcFile(ui.host, name, selectedFileType(name), req.pcFolder, toTrash);
            result.done += went ? 1 : 0;
            if (!went)
                result.failed.push_back(name);
            ui.progress.entryEnded(went);
        }
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
        for (std::size_t i = 0; hold && i < n && !ui.progress.abortRequested(); ++i) {
            ui.progress.entryStarted(req.selected[i].name);
            const bool went = deleteTitratorFile(link, req.selected[i].line, type);
            result.done += went ? 1 : 0;
            if (!went)
                result.failed.push_back(req.selected[i].name);
            ui.progress.entryEnded(went);
        }
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
