#include "core/AuditLog.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Sha256.h"
#include "core/Text.h"
#include "core/TransferRecord.h"
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
#include <vector>

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
// ends with one (a crash can leave the last line torn). Read in blocks from the
// end, each searched once, so that a long last line costs its length only.
bool readLastLine(int fd, off_t size, std::string& line, bool& ended) {
    constexpr off_t kBlock = 64 * 1024;
    std::vector<std::string> blocks; // the last one first
    std::size_t total = 0;
    for (off_t from = size; from > 0;) {
        const off_t start = std::max<off_t>(0, from - kBlock);
        std::string block(std::size_t(from - start), '\0');
        if (::pread(fd, block.data(), block.size(), start) != ssize_t(block.size()))
            return false;
        if (from == size) {
            ended = block.back() == '\n';
            if (ended)
                block.pop_back();
        }
        from = start;
        const std::size_t cut = block.rfind('\n');
        if (cut != std::string::npos)
            block.erase(0, cut + 1);
        total += block.size();
        blocks.push_back(std::move(block));
        if (cut != std::string::npos)
            break;
    }
    line.clear();
    line.reserve(total);
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        line += *it;
    return true;
}

std::unique_ptr<AuditLog>& processLog() {
    static std::unique_ptr<AuditLog> log;
    return log;
}

AuditEvent& linkFacts() {
    static AuditEvent facts;
    return facts;
}

void copyLinkFacts(const AuditEvent& from, AuditEvent& to) {
    to.port = from.port;
    to.titrator = from.titrator;
    to.serial = from.serial;
    to.firmware = from.firmware;
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
    bool torn = false;
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
        if (!ended) {
            // A line torn by a crash stays as evidence, ended; the next line records it.
            torn = true;
            AuditEvent found;
            found.operation = audit::kTornLine;
            found.target = file_.string();
            found.size = std::int64_t(last.size());
            found.sha256 = prev;
            found.result = audit::kFailed;
            found.reason = "the line before was cut short by an interrupted write; kept as found";
            const std::string line = auditLineText(stamped(found), prev);
            prev = sha256Hex(line);
            out = "\n" + line + "\n";
        }
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
    if (torn && onTornLine)
        onTornLine();
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

void setAuditLink(const AuditEvent& facts) {
    copyLinkFacts(facts, linkFacts());
}

void fillAuditLink(AuditEvent& e) {
    copyLinkFacts(linkFacts(), e);
}

bool recordTransfer(const TransferRecord& r) {
    AuditEvent e = transferAuditEvent(r);
    if (r.direction != TransferDirection::OnPc)
        fillAuditLink(e);
    return recordAudit(e);
}

std::string auditText(int n) {
    const AuditLog* log = auditLog();
    const std::string what = !log                  ? std::string()
                             : n == kTextAuditTorn ? log->file().string()
                                                   : log->lastError();
    return formatMsg(langText(n), {fromQt(QString::fromStdString(what))});
}

bool auditWritable() {
    AuditLog* log = auditLog();
    return !log || log->check();
}
