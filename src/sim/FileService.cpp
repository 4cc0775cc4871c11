#include "sim/FileService.h"

#include "core/AtomicFile.h"
#include "core/Dates.h"
#include "core/FileTypes.h"

#include <algorithm>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kMaxTypeDigits = 4;

std::string upperAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// The regular files of a folder in name order; our own temporary files stay hidden.
std::vector<fs::path> filesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(ec) && !isAtomicTempName(name))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        return upperAscii(a.filename().string()) < upperAscii(b.filename().string());
    });
    return files;
}

// "QX0102TA.MTD 4711 2025-03-17 09:30"
std::string listingLine(const fs::path& file) {
    struct stat st {};
    const bool known = ::stat(file.c_str(), &st) == 0;
    return file.filename().string() + " " + std::to_string(known ? st.st_size : 0) + " " +
           secondsToDate(known ? st.st_mtime : 0);
}

std::optional<int> parseTypeCode(std::string_view text) {
    if (text.empty() || text.size() > kMaxTypeDigits ||
        text.find_first_not_of("0123456789") != text.npos)
        return std::nullopt;
    int code = 0;
    for (char c : text)
        code = code * 10 + (c - '0');
    return code;
}

struct Query {
    int typeCode;
    std::string_view name;
};

// "TYPE NAME"; the name is the rest of the line and may be empty.
std::optional<Query> parseQuery(std::string_view argument) {
    const std::size_t blank = argument.find(' ');
    const auto code = parseTypeCode(argument.substr(0, blank));
    if (!code)
        return std::nullopt;
    return Query{*code, blank == argument.npos ? std::string_view() : argument.substr(blank + 1)};
}

// A plain file name: one acceptable part, no folder.
bool isPlainName(std::string_view name) {
    const auto parts = DeviceFs::splitPath(name);
    return parts && parts->size() == 1 && parts->front() == name;
}

std::string yesNo(bool yes) {
    return yes ? "1" : "0";
}

} // namespace

FileService::FileService(const DeviceFs& files, DeviceFolders folders, SlotLimits limits)
    : files_(files), folders_(std::move(folders)), limits_(limits) {}

std::optional<std::string> FileService::listing(std::string_view folderAndMask,
                                                bool details) const {
    const std::size_t cut = folderAndMask.rfind('\\');
    if (cut == folderAndMask.npos)
        return std::nullopt;
    const std::string_view mask = folderAndMask.substr(cut + 1);
    const auto dir =
        isPlainName(mask) ? files_.existingFolder(folderAndMask.substr(0, cut + 1)) : std::nullopt;
    if (!dir)
        return std::nullopt;
    std::string text;
    for (const fs::path& file : filesIn(*dir)) {
        const std::string name = file.filename().string();
        if (maskMatches(mask, name))
            text += (details ? listingLine(file) : name) + std::string(kLineEnd);
    }
    return text;
}

bool FileService::deleteFile(std::string_view devicePath) const {
    const auto file = files_.existingFile(devicePath);
    std::error_code ec;
    return file && fs::remove(*file, ec);
}

bool FileService::deleteTraySet(std::string_view setName) const {
    const std::string set(setName);
    const auto dir = folders_.trayReportsPath.empty()
                         ? std::nullopt
                         : files_.existingFolder(folders_.trayReportsPath);
    if (!dir || !nameFitsType(11, set + ".RPT"))
        return false;
    bool deleted = false;
    std::error_code ec;
    for (const fs::path& file : filesIn(*dir)) {
        const std::string name = file.filename().string();
        if (DeviceFs::sameName(name.substr(0, name.find('.')), set))
            deleted = fs::remove(file, ec) || deleted;
    }
    // The set's own folder holds only what the titrator wrote for this set.
    if (const auto reports = files_.existingFolder(folders_.trayReportsPath + set))
        deleted = fs::remove_all(*reports, ec) != static_cast<std::uintmax_t>(-1) || deleted;
    return deleted;
}

bool FileService::isUserMethod(std::string_view devicePath) const {
    const auto file = files_.existingFile(devicePath);
    return file && nameFitsType(3, file->filename().string()) &&
           file->parent_path() == folderOf(SlotKind::UserMethods);
}

std::optional<std::string> FileService::checkFileName(std::string_view argument) const {
    const auto query = parseQuery(argument);
    if (!query)
        return std::nullopt;
    const auto kinds = kindsOfType(query->typeCode);
    const bool hasFolder = !kinds.empty() && !folderOfKind(kinds.front(), folders_).empty();
    return yesNo(hasFolder && nameFitsType(query->typeCode, query->name));
}

std::optional<std::string> FileService::existFile(std::string_view argument) const {
    const auto query = parseQuery(argument);
    if (!query)
        return std::nullopt;
    return yesNo(fileOfType(query->typeCode, query->name).has_value());
}

std::optional<std::string> FileService::freeFiles(std::string_view argument) const {
    const auto code = parseTypeCode(argument);
    if (!code)
        return std::nullopt;
    uint32_t free = 0;
    for (SlotKind kind : kindsOfType(*code))
        free += freeSlots(kind);
    return std::to_string(free);
}

std::optional<std::string> FileService::sameMethod(std::string_view name) const {
    const auto file = nameFitsType(1, name) ? fileOfType(1, name) : std::nullopt;
    if (!file)
        return std::nullopt;
    return listingLine(*file);
}

bool FileService::hasRoomFor(const fs::path& target) const {
    std::error_code ec;
    if (fs::exists(target, ec))
        return true; // replacing takes no new slot
    const std::string name = target.filename().string();
    for (std::size_t i = 0; i < kSlotKinds; ++i) {
        const auto kind = static_cast<SlotKind>(i);
        if (nameFitsKind(kind, name) && folderOf(kind) == target.parent_path() &&
            freeSlots(kind) == 0)
            return false;
    }
    return true;
}

std::optional<fs::path> FileService::folderOf(SlotKind kind) const {
    const std::string folder = folderOfKind(kind, folders_);
    if (folder.empty())
        return std::nullopt;
    return files_.existingFolder(folder);
}

std::optional<fs::path> FileService::fileOfType(int typeCode, std::string_view name) const {
    const auto kinds = kindsOfType(typeCode);
    if (kinds.empty() || !isPlainName(name))
        return std::nullopt;
    const std::string folder = folderOfKind(kinds.front(), folders_);
    if (folder.empty())
        return std::nullopt;
    return files_.existingFile(folder + std::string(name));
}

uint32_t FileService::usedSlots(SlotKind kind) const {
    const auto dir = folderOf(kind);
    if (!dir)
        return 0;
    const auto files = filesIn(*dir);
    return static_cast<uint32_t>(
        std::count_if(files.begin(), files.end(), [kind](const fs::path& f) {
            return nameFitsKind(kind, f.filename().string());
        }));
}

uint32_t FileService::freeSlots(SlotKind kind) const {
    if (!folderOf(kind))
        return 0;
    const uint32_t used = usedSlots(kind);
    return limits_.of(kind) > used ? limits_.of(kind) - used : 0;
}

} // namespace sim
