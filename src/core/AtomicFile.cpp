#include "core/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The mode a new file would get, or the target's own when it exists.
mode_t modeFor(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

struct WriteFault {
    std::string fileName;
    int error = 0;
};

WriteFault& writeFault() {
    static WriteFault fault;
    return fault;
}

} // namespace

void AtomicFile::simulateWriteError(const std::string& fileName, int error) {
    writeFault() = {fileName, error};
}

AtomicFile::AtomicFile(fs::path target, Durability durability)
    : target_(std::move(target)), durability_(durability) {
    std::string pattern = (target_.parent_path() /
                           (std::string(kTempPrefix) + target_.filename().string() + ".XXXXXX"))
                              .string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        fail(errno, std::strerror(errno));
        return;
    }
    temp_ = pattern;
    ::fchmod(fd_, modeFor(target_));
}

AtomicFile::~AtomicFile() {
    finish();
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

void AtomicFile::append(std::string_view data) {
    const WriteFault& fault = writeFault();
    if (fault.error && !data.empty() && target_.filename() == fault.fileName)
        fail(fault.error, std::strerror(fault.error));
    while (!failed() && !data.empty()) {
        const ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : EIO, std::strerror(n < 0 ? errno : EIO));
            return;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

bool AtomicFile::finish() {
    if (fd_ < 0)
        return !failed();
    // A full disk often shows only when the data is flushed.
    if (!failed() && durability_ == Durability::Synced && ::fdatasync(fd_) != 0 && errno != EINVAL)
        fail(errno, std::strerror(errno));
    if (::close(fd_) != 0 && !failed())
        fail(errno, std::strerror(errno));
    fd_ = -1;
    return !failed();
}

bool AtomicFile::commit() {
    if (!finish())
        return false;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        fail(errno, std::strerror(errno));
        return false;
    }
    committed_ = true;
    return true;
}

void AtomicFile::fail(int error, std::string text) {
    if (failed())
        return;
    error_ = error ? error : EIO;
    errorText_ = std::move(text);
}

bool writeFileAtomically(const fs::path& target, std::string_view bytes, std::string* error,
                         AtomicFile::Durability durability) {
    AtomicFile file(target, durability);
    file.append(bytes);
    if (file.commit())
        return true;
    if (error)
        *error = target.string() + ": " + file.errorText();
    return false;
}

bool isAtomicTempName(std::string_view fileName) {
    return fileName.substr(0, AtomicFile::kTempPrefix.size()) == AtomicFile::kTempPrefix;
}
