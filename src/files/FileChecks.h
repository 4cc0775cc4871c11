#pragma once
// The checks a file passes before it is sent or deleted: the titrator's file
// rules ("checkFileName", "existFile", "getFreeFiles"), the free user slot,
// the PC-side name rule, and the report checks of some models.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class DeviceSession;
class Host;
struct TitratorIdentity;

namespace devfiles {

struct FileLink;

// Status bits of checkFileSending.
constexpr int kBadName = 1;
constexpr int kNoFreeSlot = 2;
constexpr int kExists = 4;

// checkFileSending: the three queries. False when one of them failed (its
// communication error was shown): the file is then skipped, never taken as
// "valid, absent, slots free".
bool checkFileSending(FileLink& link, int typeCode, const std::string& name, int& status);

// "getFreeFiles" on a link already held: the titrator's free slots for a type
// code. False when the query failed or the answer is no number (shown as
// communication error 3 or 4).
bool queryFreeFiles(FileLink& link, int typeCode, std::int64_t& free);

// The free slots for the label under the titrator pane; holds the link itself.
// Nothing while offline, where the model keeps no files of the type, or when
// the query failed.
std::optional<std::int64_t> freeSlots(DeviceSession& session, Host& host, int typeCode);

// What findUserSlot found.
struct UserSlot {
    std::string code;             // "2", "16", "8", "32", "7", or the first free slot name
    std::string titratorRevision; // of the titrator's copy, when it was fetched
    bool failed = false;          // the titrator's copy could not be fetched (error shown)
};
constexpr std::size_t kUserSlotsFull = 100;
constexpr int kMaxUserSlot = 9999;

// findUserSlot: "2" when the titrator list holds 100 or more entries; else the
// verification code of the titrator's copy of the method ("16" bad name, "8"
// bad checksum, "32", "7"); else the first USER????.MTD that no entry names.
// The copy is verified in a scratch folder of its own under the data folder,
// removed before returning.
UserSlot findUserSlot(FileLink& link, const std::vector<std::string>& titratorEntries,
                      const std::string& entry, int titType);

// The first user slot name that no line of the list names (first token,
// without regard to case); "" when all are taken.
std::string firstFreeUserSlot(const std::vector<std::string>& titratorEntries);

// checkFileName of the panes: 1 valid, 2 too long (text 980), 3 an invalid
// character among the first 8 (text 981); 2 and 3 are shown to the user.
constexpr int kNameValid = 1;
constexpr int kNameTooLong = 2;
constexpr int kNameInvalidChar = 3;
int checkFileName(Host& host, const std::string& name, bool csvShown);

// The report checks of the QX502B, QX503/533 and QX504/534 before a PC report
// is sent. Skip: the file is skipped; Abort: the copy ends.
enum class ReportCheck { Pass, Skip, Abort };
ReportCheck checkReportForModel(Host& host, const TitratorIdentity& titrator,
                                const std::filesystem::path& report, const std::string& name);

} // namespace devfiles
