#pragma once
// The titrator's file system as the file commands address it: device folders
// and paths by file type, and the listing of a folder ("extdir").
#include "core/Dates.h"
#include "link/Transfer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class DeviceSession;
class Host;
struct DeviceFolders;
struct TitratorIdentity;

namespace devfiles {

constexpr int kTextListingRefused = 308;
constexpr int kErrListingLost = 2;

// The folder that holds files of a type; type 12 is the open tray folder.
std::string deviceFolder(const DeviceFolders& folders, int fileType);
std::string devicePath(const DeviceFolders& folders, int fileType, const std::string& name);

// QX50x titrators below firmware 1.6 (compared in single precision, as the
// titrator reports it) carry the model number in their method names.
bool restrictedMethodMasks(const TitratorIdentity& titrator);

// listTitratorFiles: "extdir" with the folder and mask of the type. A refused
// command shows language text 308 and the lost-link status; a listing that does
// not arrive is communication error 2. Only while the titrator is online.
TransferResult listTitratorFiles(DeviceSession& session, Host& host, int fileType, int titType,
                                 std::string& listing);

// One entry per CR LF ended line of a listing; text after the last CR LF is
// not a line. Blank lines are no entries.
std::vector<std::string> listingLines(const std::string& listing);

// The file name of an entry: its text before the first blank.
std::string entryName(const std::string& entry);

// What a listing line says of its file beyond the name, where it reads as a
// size in bytes followed by a date ("TI_00031.RPT 1295 2026-12-07 17:47"). The
// rest of a line is the titrator's own: what does not read stays unknown.
struct ListedFile {
    std::string name;
    std::int64_t size = -1;
    std::optional<DateTime> date;
};
ListedFile listedFile(const std::string& line);

} // namespace devfiles
