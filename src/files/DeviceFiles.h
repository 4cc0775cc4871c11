#pragma once
// The titrator's file commands one entry or one file at a time: fetching a
// text or files with their companions, a tray folder, sending a file with its
// companions, deleting, and "reloadMethods". Each waits for a settling pause
// first, holds the link for its own exchange and lets it go on every path,
// and reports a communication failure once, by its code.
//
// A list entry is a line of the titrator list; its file name is the first token.
// Names that come from the titrator (entries, "dir" answers) and are not plain
// names are refused with language text kTextUnsafeName before anything is written.
#include "link/Transfer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CopyProgress;
class DeviceSession;
class Host;
class Serial;

namespace devfiles {

// Communication error codes.
constexpr int kErrTextNotAcknowledged = 3;
constexpr int kErrTextLost = 4;
constexpr int kErrDeleteRefused = 5;
constexpr int kErrDeleteUnanswered = 6; // also "reloadMethods" not acknowledged
constexpr int kErrGetRefused = 7;
constexpr int kErrGetFailed = 8;
constexpr int kErrPutRefused = 9;
constexpr int kErrPutFailed = 10;
constexpr int kErrChangeIdRefused = 16;
constexpr int kErrDirRefused = 17;
constexpr int kErrDirLost = 18;
// The titrator's pause after "reloadMethods" and "changeId".
constexpr int kMethodTablePauseMs = 800;
constexpr std::size_t kDeleteAnswerLength = 2;
constexpr std::size_t kTraySetNameLength = 8;
constexpr int kTextUnsafeName = 985;

// What the file commands work with: the link, the user, and the progress
// window (its abort request is `copyAborted`).
struct FileLink {
    DeviceSession& session;
    Host& host;
    CopyProgress& progress;
};

// Tells the user that the titrator sent a name the PC cannot use.
void refuseUnsafeName(Host& host, const std::string& name);

// A command and its framed answer, on a link already held. A failure is shown
// once, as refusedCode or lostCode; an abort only starts the settling pause.
TransferResult askForText(Serial& serial, TransferSink& sink, const std::string& word,
                          const std::string& argument, std::string& text, int refusedCode,
                          int lostCode);

// A report's text in memory for a command that needs no file of it (the
// export); a report of a tray folder ("TRAY0001\") is fetched with that folder open.
TransferResult fetchReportText(FileLink& link, int fileType, const std::string& trayFolder,
                               const std::string& name, std::string& text);
// The report names of a tray folder ("TRAY0001" or "TRAY0001\").
TransferResult trayFolderReportNames(FileLink& link, std::string trayFolder,
                                     std::vector<std::string>& names);

// listTrayFolder: appends the report lines of one tray folder ("TRAY0001").
TransferResult listTrayFolder(FileLink& link, const std::string& folderName,
                              std::vector<std::string>& names);

// fetchFileText: the file of an entry as text; empty on failure.
TransferResult fetchFileText(FileLink& link, const std::string& entry, std::string& text,
                             int fileType);

// A file that went: its name, its bytes and their SHA-256.
struct MovedFile {
    std::string name; // on the titrator
    std::int64_t size = -1;
    std::string sha256;
    std::string pcPath; // the PC file it came from or went to; "" for a titrator delete
};

// What became of the files of one entry: those that went, in order, and the
// first that did not with why. A fetched set lists only what the PC kept.
struct FileSetResult {
    std::vector<MovedFile> files;
    std::string failedFile;
    TransferResult failure = TransferResult::Done;
    // The entry's own file arrived with another size than its listing line gave.
    std::int64_t listedSize = -1, receivedSize = -1;
    void fail(const std::string& name, TransferResult why) {
        if (failedFile.empty()) {
            failedFile = name;
            failure = why;
        }
    }
};

// downloadFile: the entry's file into pcFolder; a report (4, 12) or a tray
// report set (11) with the companions a "dir" names, so that a companion the
// titrator does not have is never asked for. The files replace the PC's (or
// their case twins, under the twins' names) only when every one has arrived
// complete and the entry's own file was among them (an empty "dir" answer
// fetches nothing and is no error, but it is no success either); otherwise
// the PC keeps what it had. With listedSize set, the entry's own file must also
// have arrived with that many bytes.
bool downloadFile(FileLink& link, int fileType, const std::string& entry,
                  const std::filesystem::path& pcFolder, FileSetResult* set = nullptr,
                  std::int64_t listedSize = -1);

// downloadTrayFolder: the reports of the tray folder folderEntry ("TRAY0001\",
// also set as the open tray folder) into pcFolder; the total bar runs over
// folder index of count. False on any failure, on an abort and when offline.
bool downloadTrayFolder(FileLink& link, const std::string& folderEntry, int index, int count,
                        const std::filesystem::path& pcFolder, FileSetResult* set = nullptr);

// The PC files uploadFile sends for pcName: the file itself, then for a report
// (4) the .rpt/.log/.bmp files of its base name; never a file whose name
// differs from pcName only in case.
std::vector<std::string> filesToSend(int fileType, const std::string& pcName,
                                     const std::filesystem::path& folder);

// uploadFile: the files of filesToSend, each read whole before the first
// "put" (a file that is missing, unreadable or too large is told and nothing
// is sent); methods go under deviceName; a user method (3) is followed by
// "changeId" and the 800 ms pause. Done only when every file was sent.
TransferResult uploadFile(FileLink& link, int fileType, const std::string& pcName,
                          const std::filesystem::path& pcFolder, const std::string& deviceName,
                          FileSetResult* set = nullptr);

// deleteTitratorFile: "del" of the entry's file (a report with the companions
// "dir" names); tray report sets (11) with "delSeqRpt" and the set's 8 characters.
bool deleteTitratorFile(FileLink& link, const std::string& entry, int fileType,
                        FileSetResult* set = nullptr);

// reloadTitratorMethods: "reloadMethods", then the 800 ms pause.
bool reloadTitratorMethods(FileLink& link);

// The progress of downloadTrayFolder after `done` of n files of folder index of count.
double trayFolderProgress(int done, int n, int index, int count);

} // namespace devfiles
