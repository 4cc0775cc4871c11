#include "files/DeviceFiles.h"

#include "core/AtomicFile.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"
#include "files/CopyProgress.h"
#include "files/FileNames.h"
#include "files/PcFiles.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace fs = std::filesystem;

namespace devfiles {
namespace {

constexpr const char* kTrayReportsMask = "*.rpt";

// An abort starts the titrator's settling pause and shows nothing; a refusal
// because the link is held, and a PC file that could not be written, were
// shown by the serial layer (the titrator finished its side in order);
// anything else is communication error `code`.
bool finished(Serial& serial, TransferResult result, int code) {
    if (succeeded(result))
        return true;
    if (result == TransferResult::Aborted)
        serial.settleAfter(result);
    else if (result != TransferResult::Refused && result != TransferResult::FileFailed)
        serial.showCommError(code);
    return false;
}

// The plain names of a listing's lines; false (told to the user) for a name
// the PC cannot use.
bool namesOf(Host& host, const std::string& listing, std::vector<std::string>& names) {
    for (const std::string& line : listingLines(listing)) {
        const std::string name = filenames::firstToken(line);
        if (!filenames::isSafeName(name)) {
            refuseUnsafeName(host, name);
            return false;
        }
        names.push_back(name);
    }
    return true;
}

// "dir" with the folder and a report's base pattern: the report and its companions.
bool companionNames(FileLink& link, const std::string& folder, const std::string& base,
                    std::vector<std::string>& names) {
    std::string answer;
    if (!succeeded(askForText(link.session.serial(), link.progress, "dir", folder + base + "*",
                              answer, kErrDirRefused, kErrDirLost)))
        return false;
    return namesOf(link.host, answer, names);
}

// "extdir" of a folder and mask; a refusal is language text 308 and the lost-link status.
bool extendedListing(FileLink& link, const std::string& argument, std::string& listing) {
    Serial& serial = link.session.serial();
    const TransferResult ack = serial.sendCommandAck("extdir", argument);
    if (!succeeded(ack)) {
        if (ack != TransferResult::Refused) {
            link.host.message(formatMsg(langText(kTextListingRefused), {}), "",
                              Host::Icon::Warning);
            link.session.monitor().setStatusBarProp();
        }
        return false;
    }
    return finished(serial, serial.stringReception(listing, link.progress), kErrListingLost);
}

std::string uploadPath(const DeviceFolders& f, int fileType, const std::string& entry,
                       const std::string& deviceName) {
    switch (fileType) {
    case ftype::kReports:
    case ftype::kTrp:
    case ftype::kCrp:
        return f.reportsPath + entry;
    case ftype::kSequences:
        return f.sequencePath + entry;
    case ftype::kAllMethods:
    case ftype::kStandardMethods:
    case ftype::kUserMethods:
        return f.methodsPath + deviceName;
    case ftype::kTrayReports:
    case ftype::kTrayFolderReports:
        return devicePath(f, fileType, entry);
    default:
        return deviceName;
    }
}

// The open tray folder for the length of one operation.
class TrayFolderScope {
public:
    TrayFolderScope(DeviceFolders& folders, const std::string& folder)
        : folders_(folders), previous_(folders.trayFolder) {
        folders_.trayFolder = folder;
    }
    ~TrayFolderScope() { folders_.trayFolder = previous_; }
    TrayFolderScope(const TrayFolderScope&) = delete;
    TrayFolderScope& operator=(const TrayFolderScope&) = delete;

private:
    DeviceFolders& folders_;
    std::string previous_;
};

// The entry's file name, or "" (the user told) when the PC cannot use it.
std::string usableName(FileLink& link, const std::string& entry) {
    const std::string name = filenames::firstToken(entry);
    if (filenames::isSafeName(name))
        return name;
    refuseUnsafeName(link.host, name);
    return {};
}

// The files an entry stands for: a report with the companions the titrator's
// "dir" names in its folder, anything else alone. Called with the link held.
bool filesOfEntry(FileLink& link, const std::string& name, bool report, const std::string& folder,
                  std::vector<std::string>& work) {
    const std::string base = filenames::baseOf(name, ".rpt");
    if (!report || base.empty()) {
        work = {name};
        return true;
    }
    work.clear();
    return companionNames(link, folder, base, work);
}

void noteFailure(std::string* failed, const std::string& name) {
    if (failed && failed->empty())
        *failed = name;
}

// "get" of one file into its part; the link is held.
bool fetchInto(FileLink& link, int fileType, const std::string& file, AtomicFile& part) {
    Serial& serial = link.session.serial();
    return finished(serial,
                    serial.sendCommandAck(
                        "get", devicePath(link.session.monitor().folders(), fileType, file)),
                    kErrGetRefused) &&
           finished(serial, serial.reception(part, link.progress), kErrGetFailed);
}

// The received set replaces the PC's files.
bool commitAll(FileLink& link, std::vector<std::unique_ptr<AtomicFile>>& parts,
               std::string* failed) {
    for (const auto& part : parts) {
        if (!part->commit()) {
            const std::string name = part->target().filename().string();
            showErrorInfo(link.host, part->error(), name + ": " + part->errorText(),
                          "downloadFile");
            noteFailure(failed, name);
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::string> filesToSend(int fileType, const std::string& pcName,
                                     const fs::path& folder) {
    std::vector<std::string> list{pcName};
    const std::string base = fileType == ftype::kReports ? filenames::baseOf(pcName, ".rpt") : "";
    if (base.empty())
        return list;
    // Matched without regard to case, as the titrator will take them; a case
    // twin of pcName is another file.
    std::vector<std::string> companions;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!filenames::sameName(name, pcName) && it->is_regular_file(ec) &&
            filenames::isCompanion(base, name))
            companions.push_back(name);
    }
    std::sort(companions.begin(), companions.end(), [](const std::string& a, const std::string& b) {
        return text::upper(a) < text::upper(b);
    });
    list.insert(list.end(), companions.begin(), companions.end());
    return list;
}

void refuseUnsafeName(Host& host, const std::string& name) {
    host.message(formatMsg(langText(kTextUnsafeName), {text::printable(name)}), "",
                 Host::Icon::Warning);
}

TransferResult askForText(Serial& serial, TransferSink& sink, const std::string& word,
                          const std::string& argument, std::string& text, int refusedCode,
                          int lostCode) {
    const TransferResult ack = serial.sendCommandAck(word, argument);
    if (!finished(serial, ack, refusedCode))
        return ack;
    const TransferResult received = serial.stringReception(text, sink);
    finished(serial, received, lostCode);
    return received;
}

TransferResult fetchReportText(FileLink& link, int fileType, const std::string& trayFolder,
                               const std::string& name, std::string& text) {
    DeviceFolders& folders = link.session.monitor().folders();
    const std::string previous = folders.trayFolder;
    if (fileType == ftype::kTrayFolderReports)
        folders.trayFolder = trayFolder;
    const TransferResult result = fetchFileText(link, name, text, fileType);
    folders.trayFolder = previous;
    return result;
}

TransferResult trayFolderReportNames(FileLink& link, std::string trayFolder,
                                     std::vector<std::string>& names) {
    if (!trayFolder.empty() && trayFolder.back() == '\\')
        trayFolder.pop_back();
    std::vector<std::string> lines;
    const TransferResult result = listTrayFolder(link, trayFolder, lines);
    for (const std::string& line : lines)
        names.push_back(entryName(line));
    return result;
}

TransferResult listTrayFolder(FileLink& link, const std::string& folderName,
                              std::vector<std::string>& names) {
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return TransferResult::Refused;
    std::string listing;
    if (!extendedListing(link,
                         link.session.monitor().folders().trayReportsPath + folderName + "\\" +
                             kTrayReportsMask,
                         listing))
        return TransferResult::BadAnswer;
    const auto lines = listingLines(listing);
    names.insert(names.end(), lines.begin(), lines.end());
    return TransferResult::Done;
}

TransferResult fetchFileText(FileLink& link, const std::string& entry, std::string& text,
                             int fileType) {
    text.clear();
    const std::string name = filenames::firstToken(entry);
    if (!filenames::isSafeName(name)) {
        refuseUnsafeName(link.host, name);
        return TransferResult::BadAnswer;
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return TransferResult::Refused;
    return askForText(serial, link.progress, "get",
                      devicePath(link.session.monitor().folders(), fileType, name), text,
                      kErrTextNotAcknowledged, kErrTextLost);
}

bool downloadFile(FileLink& link, int fileType, const std::string& entry, const fs::path& pcFolder,
                  std::string* failed) {
    const std::string name = usableName(link, entry);
    if (name.empty())
        return false;
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return false;
    const DeviceFolders& folders = link.session.monitor().folders();
    std::vector<std::string> work;
    const bool set = fileType == ftype::kReports || fileType == ftype::kTrayFolderReports ||
                     fileType == ftype::kTrayReports;
    if (!filesOfEntry(link, name, set, deviceFolder(folders, fileType), work) ||
        !filenames::isOnList(work, name)) {
        noteFailure(failed, name);
        return false;
    }
    std::vector<std::unique_ptr<AtomicFile>> parts;
    for (const std::string& file : work) {
        if (link.progress.abortRequested())
            return false;
        parts.push_back(std::make_unique<AtomicFile>(pcfiles::pcFilePath(pcFolder, file)));
        if (!fetchInto(link, fileType, file, *parts.back())) {
            noteFailure(failed, file);
            return false; // the parts go: the PC keeps what it had
        }
    }
    return commitAll(link, parts, failed);
}

double trayFolderProgress(int done, int n, int index, int count) {
    n = std::max(n, 1);
    count = std::max(count, 1);
    const double p =
        count == 1 ? double(done) / n : double(done) / (double(n) * count) + double(index) / count;
    return std::clamp(p, 0.0, 1.0);
}

bool downloadTrayFolder(FileLink& link, const std::string& folderEntry, int index, int count,
                        const fs::path& pcFolder, std::string* failed) {
    LinkMonitor& monitor = link.session.monitor();
    if (!monitor.titratorOnline() || link.progress.abortRequested())
        return false;
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return false;
    TrayFolderScope scope(monitor.folders(), folderEntry);
    std::string listing;
    if (!extendedListing(link, monitor.folders().trayReportsPath + folderEntry + kTrayReportsMask,
                         listing)) {
        noteFailure(failed, folderEntry.substr(0, kTraySetNameLength));
        return false;
    }
    const auto lines = listingLines(listing);
    const int n = static_cast<int>(lines.size());
    for (int done = 0; done < n; ++done) {
        if (link.progress.abortRequested())
            return false;
        if (!downloadFile(link, ftype::kTrayFolderReports, lines[done], pcFolder, failed))
            return false;
        link.progress.setFileStatus(0);
        link.progress.setTotalStatus(trayFolderProgress(done + 1, n, index, count));
    }
    return true;
}

TransferResult uploadFile(FileLink& link, int fileType, const std::string& pcName,
                          const fs::path& pcFolder, const std::string& deviceName) {
    if (pcName.empty() || deviceName.empty())
        return TransferResult::FileFailed;
    // Every file is read before the first "put": a titrator that has
    // acknowledged one waits for its frames.
    const std::vector<std::string> files = filesToSend(fileType, pcName, pcFolder);
    std::vector<std::string> contents(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string error;
        if (!readFileToSend(pcFolder / files[i], contents[i], error)) {
            showErrorInfo(link.host, EIO, error, "uploadFile");
            return TransferResult::FileFailed;
        }
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return TransferResult::Refused;
    const DeviceFolders& folders = link.session.monitor().folders();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (link.progress.abortRequested())
            return TransferResult::Aborted;
        const TransferResult ack =
            serial.sendCommandAck("put", uploadPath(folders, fileType, files[i], deviceName));
        if (!finished(serial, ack, kErrPutRefused))
            return ack;
        const TransferResult sent =
            serial.transmission(pcFolder / files[i], contents[i], link.progress);
        if (!finished(serial, sent, kErrPutFailed))
            return sent;
    }
    if (fileType == ftype::kUserMethods) {
        // The titrator files a new user method under its own identifier.
        if (finished(serial, serial.sendCommandAck("changeId", folders.methodsPath + deviceName),
                     kErrChangeIdRefused))
            serial.startRecoveryWaitMs(kMethodTablePauseMs);
    }
    return TransferResult::Done;
}

bool deleteTitratorFile(FileLink& link, const std::string& entry, int fileType) {
    const std::string name = usableName(link, entry);
    if (name.empty())
        return false;
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return false;
    const DeviceFolders& folders = link.session.monitor().folders();
    std::vector<std::string> work;
    if (!filesOfEntry(link, name, fileType == ftype::kReports, folders.reportsPath, work))
        return false;
    const bool traySet = fileType == ftype::kTrayReports;
    for (const std::string& file : work) {
        const TransferResult ack =
            traySet ? serial.sendCommandAck("delSeqRpt", file.substr(0, kTraySetNameLength))
                    : serial.sendCommandAck("del", devicePath(folders, fileType, file));
        if (!finished(serial, ack, kErrDeleteRefused))
            return false;
        std::string answer;
        if (!serial.readPort(answer, kDeleteAnswerLength)) {
            serial.showCommError(kErrDeleteUnanswered);
            return false;
        }
    }
    return true;
}

bool reloadTitratorMethods(FileLink& link) {
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return false;
    if (!finished(serial, serial.sendCommandAck("reloadMethods", ""), kErrDeleteUnanswered))
        return false;
    serial.startRecoveryWaitMs(kMethodTablePauseMs);
    return true;
}

} // namespace devfiles
