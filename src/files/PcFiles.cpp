#include "files/PcFiles.h"

#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"
#include "files/FileNames.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace pcfiles {
namespace {

constexpr const char* kTraySetMask = "TRAY????.rpt";
constexpr int kTextNotTrashed = 74;

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

QString qtPath(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// A trash folder is usable when it is a writable folder, or can be made in
// one (Qt makes only the trash folder itself), on the same file system as the
// files: the move into it is a rename. Qt moves the files into the current
// folder when it finds no trash, so it is never asked then.
bool usableTrash(const QString& trash, const QStorageInfo& volume) {
    const QFileInfo dir(trash);
    const QFileInfo at = dir.exists() ? dir : QFileInfo(dir.absolutePath());
    return at.isDir() && at.isWritable() && QStorageInfo(at.absoluteFilePath()) == volume;
}

// The companions of name's base in folder (regular files only); a case twin
// of name is another file, not a companion.
bool removeCompanions(Host& host, const fs::path& folder, const std::string& name,
                      const std::string& base, bool toTrash) {
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
        ok = removePcFile(host, f, toTrash) && ok;
    return ok;
}

} // namespace

// The XDG rules QFile::moveToTrash follows: a volume other than the home
// folder's has its own $topdir/.Trash-$uid, made when missing; the home
// folder's volume has $XDG_DATA_HOME/Trash. A trash on another volume is none.
bool hasTrash(const fs::path& folder) {
    const QStorageInfo volume(qtPath(folder));
    if (!volume.isValid() || !volume.isReady() || volume.isReadOnly())
        return false;
    if (volume != QStorageInfo(QDir::home()) &&
        usableTrash(QDir(volume.rootPath()).filePath(QString(".Trash-%1").arg(::getuid())), volume))
        return true;
    return usableTrash(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash", volume);
}

bool removePcFile(Host& host, const fs::path& file, bool toTrash) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec)))
        return true;
    if (toTrash) {
        QFile f(qtPath(file));
        if (f.moveToTrash())
            return true;
        host.message(formatMsg(langText(kTextNotTrashed),
                               {file.filename().string(), f.errorString().toStdString()}),
                     "", Host::Icon::Warning);
        return false;
    }
    fs::remove(file, ec);
    if (ec)
        showErrorInfo(host, ec.value(), ec.message() + ": " + file.string(), "deletePcFile");
    return !ec;
}

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

bool deletePcFile(Host& host, const std::string& name, int fileType, const fs::path& folder,
                  bool toTrash) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return false;
    bool ok = removePcFile(host, folder / name, toTrash);
    const char* ext = companionExtension(fileType);
    const std::string base = ext ? filenames::baseOf(name, ext) : "";
    if (base.empty())
        return ok;
    ok = removeCompanions(host, folder, name, base, toTrash) && ok;
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
                ok = removePcFile(host, r, toTrash) && ok;
            if (fs::is_empty(sets, ec))
                fs::remove(sets, ec);
        }
    }
    return ok;
}

} // namespace pcfiles
