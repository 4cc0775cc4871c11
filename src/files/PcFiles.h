#pragma once
// The PC side of the file service: whether the PC folder holds a file, and
// deleting a file with its report companions and a tray report's folder,
// into the desktop trash where there is one.
#include <filesystem>
#include <string>

class Host;

namespace pcfiles {

// pcFileExists: a file of that name in the folder, compared without regard to case.
bool pcFileExists(const std::string& name, const std::filesystem::path& folder);

// The PC file of that name as the folder already spells it (the name itself
// first), or folder / name when there is none: PC folders take names without
// regard to case, as the titrator does, so no second spelling is made.
std::filesystem::path pcFilePath(const std::filesystem::path& folder, const std::string& name);

// Whether files of the folder can go to the desktop trash (the XDG trash that
// QFile::moveToTrash uses, on the folder's own file system), so that a
// mistaken delete can be undone; otherwise a delete is for good.
bool hasTrash(const std::filesystem::path& folder);

// One file away: into the trash with `toTrash`, else deleted. A file that is
// not there is no failure; one that cannot be removed is reported, false then.
bool removePcFile(Host& host, const std::filesystem::path& file, bool toTrash);

// deletePcFile: the file; for a report (4), log (7) or picture (8) also the
// .rpt/.log/.bmp files of its base name (never its .csv export, nor a file
// whose name differs from it only in case); for a tray
// report TRAY????.rpt also those files inside the folder of that name, and
// the folder when it is then empty. Only plain names inside the folder are
// touched, each with removePcFile. A file that cannot be deleted is
// reported; false then.
bool deletePcFile(Host& host, const std::string& name, int fileType,
                  const std::filesystem::path& folder, bool toTrash);

} // namespace pcfiles
