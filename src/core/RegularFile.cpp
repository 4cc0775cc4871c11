#include "core/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool readRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                     std::string& content, std::string& error, bool* missing) {
    content.clear();
    if (missing)
        *missing = false;
    // Non-blocking, so that opening a FIFO without a writer returns at once.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (missing)
            *missing = errno == ENOENT;
        error = file.string() + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok)
        error = file.string() + ": " + std::strerror(errno);
    else if (!S_ISREG(st.st_mode)) {
        error = file.string() + " is not a regular file";
        ok = false;
    } else if (static_cast<std::size_t>(st.st_size) > maxBytes) {
        error = file.string() + " is larger than " + std::to_string(maxBytes >> 20) + " MiB";
        ok = false;
    }
    if (ok) {
        content.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < content.size()) {
            const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = file.string() + ": " + std::strerror(errno);
                ok = false;
                break;
            }
            if (n == 0)
                break; // the file shrank meanwhile
            got += static_cast<std::size_t>(n);
        }
        content.resize(got);
    }
    ::close(fd);
    if (!ok)
        content.clear();
    return ok;
}
