#include "files/DeviceFiles.h"

#include "core/AtomicFile.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Sha256.h"
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
TransferResult companionNames(FileLink& link, const std::string& folder, const std::string& base,
                              std::vector<std::string>& names) {
    std::string answer;
    const TransferResult asked =
        askForText(link.session.serial(), link.progress, "dir", folder + base + "*", answer,
                   kErrDirRefused, kErrDirLost);
    if (!succeeded(asked))
        return asked;
    return namesOf(link.host, answer, names) ? TransferResult::Done : TransferResult::BadAnswer;
}

// "extdir" of a folder and mask; a refusal is language text 308 and the lost-link status.
TransferResult extendedListing(FileLink& link, const std::string& argument, std::string& listing) {
    Serial& serial = link.session.serial();
    const TransferResult ack = serial.sendCommandAck("extdir", argument);
    if (!succeeded(ack)) {
        if (ack != TransferResult::Refused) {
            link.host.message(formatMsg(langText(kTextListingRefused), {}), "",
                              Host::Icon::Warning);
            link.session.monitor().setStatusBarProp();
        }
        return ack;
    }
    const TransferResult received = serial.stringReception(listing, link.progress);
    finished(serial, received, kErrListingLost);
    return received;
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
TransferResult filesOfEntry(FileLink& link, const std::string& name, bool report,
                            const std::string& folder, std::vector<std::string>& work) {
    const std::string base = filenames::baseOf(name, ".rpt");
    if (!report || base.empty()) {
        work = {name};
        return TransferResult::Done;
    }
    work.clear();
    return companionNames(link, folder, base, work);
}

// "get" of one file into its part; the link is held.
TransferResult fetchInto(FileLink& link, int fileType, const std::string& file, AtomicFile& part) {
    Serial& serial = link.session.serial();
    const TransferResult ack =
        serial.sendCommandAck("get", devicePath(link.session.monitor().folders(), fileType, file));
    if (!finished(serial, ack, kErrGetRefused))
        return ack;
    const TransferResult received = serial.reception(part, link.progress);
    finished(serial, received, kErrGetFailed);
    return received;
}

// A received file as it will replace the PC's: its bytes and their digest.
// False when the part could not be written out.
bool describePart(AtomicFile& part, MovedFile& file) {
    file.pcPath = part.target().string();
    if (!part.finish())
        return false;
    std::string error;
    if (!sha256OfFile(part.tempPath(), file.sha256, error, &file.size))
        file.size = -1;
    return true;
}

// The received set replaces the PC's files.
bool commitAll(FileLink& link, std::vector<std::unique_ptr<AtomicFile>>& parts,
               FileSetResult& set) {
    for (const auto& part : parts) {
        if (!part->commit()) {
            const std::string name = part->target().filename().string();
            showErrorInfo(link.host, part->error(), name + ": " + part->errorText(),
                          "downloadFile");
            set.fail(name, TransferResult::FileFailed);
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
    const TransferResult listed = extendedListing(link,
                                                  link.session.monitor().folders().trayReportsPath +
                                                      folderName + "\\" + kTrayReportsMask,
                                                  listing);
    if (!succeeded(listed))
        return listed;
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
                  FileSetResult* result, std::int64_t listedSize) {
    FileSetResult own;
    FileSetResult& set = result ? *result : own;
    const std::string name = usableName(link, entry);
    if (name.empty()) {
        set.fail(filenames::firstToken(entry), TransferResult::BadAnswer);
        return false;
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange) {
        set.fail(name, TransferResult::Refused);
        return false;
    }
    const DeviceFolders& folders = link.session.monitor().folders();
    std::vector<std::string> work;
    const bool withCompanions = fileType == ftype::kReports ||
                                fileType == ftype::kTrayFolderReports ||
                                fileType == ftype::kTrayReports;
    const TransferResult named =
        filesOfEntry(link, name, withCompanions, deviceFolder(folders, fileType), work);
    if (!succeeded(named) || !filenames::isOnList(work, name)) {
        set.fail(name, succeeded(named) ? TransferResult::BadAnswer : named);
        return false;
    }
    std::vector<std::unique_ptr<AtomicFile>> parts;
    std::vector<MovedFile> arrived;
    for (const std::string& file : work) {
        if (link.progress.abortRequested()) {
            set.fail(file, TransferResult::Aborted);
            return false;
        }
        parts.push_back(std::make_unique<AtomicFile>(pcfiles::pcFilePath(pcFolder, file)));
        const TransferResult got = fetchInto(link, fileType, file, *parts.back());
        if (!succeeded(got)) {
            set.fail(file, got);
            return false; // the parts go: the PC keeps what it had
        }
        arrived.emplace_back();
        if (!describePart(*parts.back(), arrived.back())) {
            showErrorInfo(link.host, parts.back()->error(), file + ": " + parts.back()->errorText(),
                          "downloadFile");
            set.fail(file, TransferResult::FileFailed);
            return false;
        }
        arrived.back().name = file;
        // A file shorter or longer than the titrator listed it is no complete copy.
        if (listedSize >= 0 && filenames::sameName(file, name) &&
            arrived.back().size != listedSize) {
            set.listedSize = listedSize;
            set.receivedSize = arrived.back().size;
            set.fail(file, TransferResult::BadAnswer);
            return false;
        }
    }
    if (!commitAll(link, parts, set))
        return false;
    set.files.insert(set.files.end(), arrived.begin(), arrived.end());
    return true;
}

double trayFolderProgress(int done, int n, int index, int count) {
    n = std::max(n, 1);
    count = std::max(count, 1);
    const double p =
        count == 1 ? double(done) / n : double(done) / (double(n) * count) + double(index) / count;
    return std::clamp(p, 0.0, 1.0);
}

bool downloadTrayFolder(FileLink& link, const std::string& folderEntry, int index, int count,
                        const fs::path& pcFolder, FileSetResult* result) {
    FileSetResult own;
    FileSetResult& set = result ? *result : own;
    const std::string folderName = folderEntry.substr(0, kTraySetNameLength);
    LinkMonitor& monitor = link.session.monitor();
    if (!monitor.titratorOnline() || link.progress.abortRequested()) {
        set.fail(folderName, link.progress.abortRequested() ? TransferResult::Aborted
                                                            : TransferResult::PortFailed);
        return false;
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange) {
        set.fail(folderName, TransferResult::Refused);
        return false;
    }
    TrayFolderScope scope(monitor.folders(), folderEntry);
    std::string listing;
    const TransferResult listed = extendedListing(
        link, monitor.folders().trayReportsPath + folderEntry + kTrayReportsMask, listing);
    if (!succeeded(listed)) {
        set.fail(folderName, listed);
        return false;
    }
    const auto lines = listingLines(listing);
    const int n = static_cast<int>(lines.size());
    for (int done = 0; done < n; ++done) {
        if (link.progress.abortRequested()) {
            set.fail(entryName(lines[done]), TransferResult::Aborted);
            return false;
        }
        if (!downloadFile(link, ftype::kTrayFolderReports, lines[done], pcFolder, &set))
            return false;
        link.progress.setFileStatus(0);
        link.progress.setTotalStatus(trayFolderProgress(done + 1, n, index, count));
    }
    return true;
}

TransferResult uploadFile(FileLink& link, int fileType, const std::string& pcName,
                          const fs::path& pcFolder, const std::string& deviceName,
                          FileSetResult* result) {
    FileSetResult own;
    FileSetResult& set = result ? *result : own;
    // The first failure is the result, and the set names it.
    const auto failed = [&set](const std::string& file, TransferResult why) {
        set.fail(file, why);
        return why;
    };
    if (pcName.empty() || deviceName.empty())
        return failed(pcName, TransferResult::FileFailed);
    // Every file is read before the first "put": a titrator that has
    // acknowledged one waits for its frames.
    const std::vector<std::string> files = filesToSend(fileType, pcName, pcFolder);
    std::vector<std::string> contents(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string error;
        if (!readFileToSend(pcFolder / files[i], contents[i], error)) {
            showErrorInfo(link.host, EIO, error, "uploadFile");
            return failed(files[i], TransferResult::FileFailed);
        }
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return failed(pcName, TransferResult::Refused);
    const DeviceFolders& folders = link.session.monitor().folders();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (link.progress.abortRequested())
            return failed(files[i], TransferResult::Aborted);
        const TransferResult ack =
            serial.sendCommandAck("put", uploadPath(folders, fileType, files[i], deviceName));
        if (!finished(serial, ack, kErrPutRefused))
            return failed(files[i], ack);
        const TransferResult sent =
            serial.transmission(pcFolder / files[i], contents[i], link.progress);
        if (!finished(serial, sent, kErrPutFailed))
            return failed(files[i], sent);
        set.files.push_back({i == 0 ? deviceName : files[i],
                             static_cast<std::int64_t>(contents[i].size()), sha256Hex(contents[i]),
                             (pcFolder / files[i]).string()});
    }
    if (fileType == ftype::kUserMethods) {
        // The titrator files a new user method under its own identifier.
        if (finished(serial, serial.sendCommandAck("changeId", folders.methodsPath + deviceName),
                     kErrChangeIdRefused))
            serial.startRecoveryWaitMs(kMethodTablePauseMs);
    }
    return TransferResult::Done;
}

bool deleteTitratorFile(FileLink& link, const std::string& entry, int fileType,
                        FileSetResult* result) {
    FileSetResult own;
    FileSetResult& set = result ? *result : own;
    const std::string name = usableName(link, entry);
    if (name.empty()) {
        set.fail(filenames::firstToken(entry), TransferResult::BadAnswer);
        return false;
    }
    Serial& serial = link.session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange) {
        set.fail(name, TransferResult::Refused);
        return false;
    }
    const DeviceFolders& folders = link.session.monitor().folders();
    std::vector<std::string> work;
    const TransferResult named =
        filesOfEntry(link, name, fileType == ftype::kReports, folders.reportsPath, work);
    if (!succeeded(named)) {
        set.fail(name, named);
        return false;
    }
    const bool traySet = fileType == ftype::kTrayReports;
    for (const std::string& file : work) {
        const TransferResult ack =
            traySet ? serial.sendCommandAck("delSeqRpt", file.substr(0, kTraySetNameLength))
                    : serial.sendCommandAck("del", devicePath(folders, fileType, file));
        if (!finished(serial, ack, kErrDeleteRefused)) {
            set.fail(file, ack);
            return false;
        }
        std::string answer;
        if (!serial.readPort(answer, kDeleteAnswerLength)) {
            serial.showCommError(kErrDeleteUnanswered);
            set.fail(file, TransferResult::TimedOut);
            return false;
        }
        set.files.push_back({file, -1, {}, {}});
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
