#include "sim/DeviceFs.h"

#include "core/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sim {
namespace {

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// ":" would let a name reach another drive or, on the PC, an alternate stream.
bool acceptablePart(std::string_view part) {
    if (part == "." || part == ".." || part.find_first_of("/:") != part.npos)
        return false;
    for (unsigned char c : part) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

// The entry of dir called name: the exact spelling first, else any case variant.
std::optional<fs::path> findEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / name, ec)))
        return dir / name;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (DeviceFs::sameName(it->path().filename().string(), name))
            return it->path();
    }
    return std::nullopt;
}

} // namespace

DeviceFs::DeviceFs(fs::path root) : root_(std::move(root)) {}

bool DeviceFs::sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    }
    return true;
}

std::optional<std::vector<std::string>> DeviceFs::splitPath(std::string_view devicePath) {
    std::vector<std::string> parts;
    if (sameName(devicePath.substr(0, kDrive.size() + 1), std::string(kDrive) + "\\"))
        devicePath.remove_prefix(kDrive.size());
    std::size_t start = 0;
    while (start <= devicePath.size()) {
        std::size_t end = devicePath.find('\\', start);
        if (end == devicePath.npos)
            end = devicePath.size();
        const std::string_view part = devicePath.substr(start, end - start);
        if (!acceptablePart(part))
            return std::nullopt;
        if (!part.empty())
            parts.emplace_back(part);
        start = end + 1;
    }
    if (parts.empty())
        return std::nullopt;
    return parts;
}

std::optional<fs::path> DeviceFs::folderOf(const std::vector<std::string>& parts) const {
    fs::path dir = root_;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const auto next = findEntry(dir, parts[i]);
        std::error_code ec;
        if (!next || !fs::is_directory(*next, ec))
            return std::nullopt;
        dir = *next;
    }
    return dir;
}

std::optional<fs::path> DeviceFs::existingFile(std::string_view devicePath) const {
    const auto parts = splitPath(devicePath);
    const auto dir = parts ? folderOf(*parts) : std::nullopt;
    const auto file = dir ? findEntry(*dir, parts->back()) : std::nullopt;
    std::error_code ec;
    if (!file || !fs::is_regular_file(*file, ec))
        return std::nullopt;
    return file;
}

std::optional<fs::path> DeviceFs::existingFolder(std::string_view devicePath) const {
    if (devicePath.find_first_not_of('\\') == devicePath.npos)
        return root_;
    auto parts = splitPath(devicePath);
    if (!parts)
        return std::nullopt;
    parts->emplace_back(); // folderOf takes every part but the last
    return folderOf(*parts);
}

std::optional<fs::path> DeviceFs::targetFile(std::string_view devicePath) const {
    const auto parts = splitPath(devicePath);
    const auto dir = parts ? folderOf(*parts) : std::nullopt;
    if (!dir || isAtomicTempName(parts->back()))
        return std::nullopt;
    const fs::path file = findEntry(*dir, parts->back()).value_or(*dir / parts->back());
    std::error_code ec;
    if (fs::exists(file, ec) && !fs::is_regular_file(file, ec))
        return std::nullopt;
    return file;
}

bool DeviceFs::createFolders(std::string_view relative) const {
    fs::path dir = root_;
    std::error_code ec;
    std::size_t start = 0;
    while (start < relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string part(relative.substr(start, end - start));
        start = end + 1;
        if (part.empty())
            continue;
        dir = findEntry(dir, part).value_or(dir / part);
        fs::create_directory(dir, ec);
        if (!fs::is_directory(dir, ec))
            return false;
    }
    return true;
}

std::optional<std::string> DeviceFs::readFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    return bytes;
}

} // namespace sim
