#include "files/PcFiles.h"

#include "core/FileTypes.h"
#include "core/Host.h"
#include "files/FileNames.h"

#include <vector>

namespace fs = std::filesystem;

namespace pcfiles {
namespace {

constexpr const char* kTraySetMask = "TRAY????.rpt";

const char* companionExtension(int fileType) {
    switch (fileType) {
    case ftype::kReports:
        return ".rpt";
    case ftype::kLogs:
        return ".log";
    case ftype::kPictures:
        return ".bmp";
    default:
        return nullptr;
    }
}

bool removeFile(Host& host, const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
    if (ec)
        showErrorInfo(host, ec.value(), ec.message() + ": " + file.string(), "deletePcFile");
    return !ec;
}

// The companions of name's base in folder (regular files only); a case twin
// of name is another file, not a companion.
bool removeCompanions(Host& host, const fs::path& folder, const std::string& name,
                      const std::string& base) {
    std::vector<fs::path> doomed;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (it->is_regular_file(ec) && filenames::isCompanion(base, file) &&
            !filenames::sameName(file, name))
            doomed.push_back(it->path());
    }
    bool ok = true;
    for (const fs::path& f : doomed)
        ok = removeFile(host, f) && ok;
    return ok;
}

} // namespace

bool pcFileExists(const std::string& name, const fs::path& folder) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(pcFilePath(folder, name), ec));
}

fs::path pcFilePath(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder / name, ec)))
        return folder / name;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (filenames::sameName(it->path().filename().string(), name))
            return it->path();
    }
    return folder / name;
}

bool deletePcFile(Host& host, const std::string& name, int fileType, const fs::path& folder) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return false;
    bool ok = removeFile(host, folder / name);
    const char* ext = companionExtension(fileType);
    const std::string base = ext ? filenames::baseOf(name, ext) : "";
    if (base.empty())
        return ok;
    ok = removeCompanions(host, folder, name, base) && ok;
    if (fileType == ftype::kReports && maskMatches(kTraySetMask, name)) {
        // The folder of the set's downloaded reports; anything else in it stays.
        const fs::path sets = pcFilePath(folder, base.substr(0, base.size() - 1));
        std::error_code ec;
        if (fs::is_directory(fs::symlink_status(sets, ec))) {
            std::vector<fs::path> reports;
            for (fs::directory_iterator it(sets, ec), end; !ec && it != end; it.increment(ec)) {
                const std::string file = it->path().filename().string();
                const std::string reportBase = filenames::baseOf(file, ".");
                if (it->is_regular_file(ec) && filenames::isCompanion(reportBase, file))
                    reports.push_back(it->path());
            }
            for (const fs::path& r : reports)
                ok = removeFile(host, r) && ok;
            if (fs::is_empty(sets, ec))
                fs::remove(sets, ec);
        }
    }
    return ok;
}

} // namespace pcfiles
