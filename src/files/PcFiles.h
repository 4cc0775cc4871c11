#pragma once
// The PC side of the file service: whether the PC folder holds a file, and
// deleting a file with its report companions and a tray report's folder.
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

// deletePcFile: the file; for a report (4), log (7) or picture (8) also the
// .rpt/.log/.bmp files of its base name (never its .csv export, nor a file
// whose name differs from it only in case); for a tray
// report TRAY????.rpt also those files inside the folder of that name, and
// the folder when it is then empty. Only plain names inside the folder are
// touched. A file that cannot be deleted is reported; false then.
bool deletePcFile(Host& host, const std::string& name, int fileType,
                  const std::filesystem::path& folder);

} // namespace pcfiles
