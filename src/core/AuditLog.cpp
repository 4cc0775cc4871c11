#include "core/AuditLog.h"

#include "core/Sha256.h"
#include "core/Version.h"

#include <QDateTime>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

std::string osUser() {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
        return found->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return "uid " + std::to_string(::geteuid());
}

// Closing the descriptor also drops its lock.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// The last line of the file without its line end; `ended` tells whether the file
// ends with one (a crash can leave the last line torn).
bool readLastLine(int fd, off_t size, std::string& line, bool& ended) {
    constexpr off_t kChunk = 4096;
    std::string tail;
    off_t from = size;
    for (;;) {
        const off_t start = std::max<off_t>(0, from - kChunk);
        std::string chunk(std::size_t(from - start), '\0');
        if (::pread(fd, chunk.data(), chunk.size(), start) != ssize_t(chunk.size()))
            return false;
        tail.insert(0, chunk);
        from = start;
        ended = tail.back() == '\n';
        const std::size_t end = tail.size() - (ended ? 1 : 0);
        const std::size_t cut = end == 0 ? std::string::npos : tail.rfind('\n', end - 1);
        if (cut != std::string::npos || from == 0) {
            const std::size_t begin = cut == std::string::npos ? 0 : cut + 1;
            line = tail.substr(begin, end - begin);
            return true;
        }
    }
}

std::unique_ptr<AuditLog>& processLog() {
    static std::unique_ptr<AuditLog> log;
    return log;
}

} // namespace

AuditLog::AuditLog(std::filesystem::path file, std::string program)
    : file_(std::move(file)), program_(std::move(program)), user_(osUser()),
      host_(QSysInfo::machineHostName().toStdString()) {}

bool AuditLog::fail(const std::string& what, int error) {
    error_ = file_.string() + ": " + what + ": " + std::generic_category().message(error);
    return false;
}

AuditEvent AuditLog::stamped(AuditEvent event) const {
    if (event.time.empty())
        event.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
    for (auto [field, value] :
         {std::pair{&event.user, &user_}, {&event.host, &host_}, {&event.program, &program_}})
        if (field->empty())
            *field = *value;
    if (event.version.empty())
        event.version = appVersionText();
    return event;
}

bool AuditLog::appendLocked(int fd, const AuditEvent* event) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail("cannot read", errno);
    if (!S_ISREG(st.st_mode))
        return fail("cannot write", EINVAL);
    std::string out;
    std::string prev = audit::kNoPrevious;
    if (st.st_size == 0) {
        AuditEvent created;
        created.operation = audit::kCreate;
        created.target = file_.string();
        out = auditLineText(stamped(created), prev);
        prev = sha256Hex(out);
        out += '\n';
    } else {
        std::string last;
        bool ended = true;
        if (!readLastLine(fd, st.st_size, last, ended))
            return fail("cannot read", errno ? errno : EIO);
        prev = sha256Hex(last);
        if (!ended)
            out = "\n"; // a line torn by a crash stays as evidence; the chain goes on from it
    }
    if (event)
        out += auditLineText(stamped(*event), prev) + '\n';
    if (out.empty())
        return true;
    const ssize_t written = ::write(fd, out.data(), out.size()); // one write: one whole line
    if (written != ssize_t(out.size()))
        return fail("cannot write", written < 0 ? errno : ENOSPC);
    if (::fsync(fd) != 0)
        return fail("cannot write", errno);
    return true;
}

bool AuditLog::check() {
    return write(nullptr);
}

bool AuditLog::append(AuditEvent event) {
    if (event.operation.empty()) {
        error_ = file_.string() + ": an event without an operation";
        return false;
    }
    return write(&event);
}

bool AuditLog::write(const AuditEvent* event) {
    error_.clear();
    const Descriptor d{::open(file_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644)};
    if (d.fd < 0)
        return fail("cannot open", errno);
    int locked;
    while ((locked = ::flock(d.fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0)
        return fail("cannot lock", errno);
    return appendLocked(d.fd, event);
}

void setAuditLog(std::unique_ptr<AuditLog> log) {
    processLog() = std::move(log);
}

AuditLog* auditLog() {
    return processLog().get();
}

bool recordAudit(const AuditEvent& event) {
    AuditLog* log = auditLog();
    return !log || log->append(event);
}
