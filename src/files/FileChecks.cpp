#include "files/FileChecks.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/MethodRevision.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "core/Text.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "files/FileNames.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace devfiles {
namespace {

constexpr int kTextNameTooLong = 980;
constexpr int kTextNameInvalid = 981;
constexpr int kTextNameTitle = 358;
constexpr int kTextReportNotValid = 142;      // %v = the model
constexpr int kTextReportNotValidBlank = 198; // the same, a blank before its point
constexpr std::size_t kMaxDotPosition = 9;    // 0-based: a "." at the 10th character or later
constexpr std::size_t kCheckedChars = 8;

// One query with a framed answer, trimmed. Not acknowledged: error 3; lost: 4.
bool query(FileLink& link, const std::string& word, const std::string& argument,
           std::string& answer) {
    if (!succeeded(askForText(link.session.serial(), link.progress, word, argument, answer,
                              kErrTextNotAcknowledged, kErrTextLost)))
        return false;
    answer = text::trim(answer);
    return true;
}

// A scratch folder of its own under the data folder's tmp/, removed with its content.
class ScratchFolder {
public:
    ScratchFolder() {
        const fs::path tmp = appPaths().dataDir / "tmp";
        std::error_code ec;
        fs::create_directories(tmp, ec);
        std::string pattern = (tmp / "slot-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty())
            fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string slotCodeOf(std::int32_t verification) {
    switch (verification) {
    case sumval::kBadName:
        return "16";
    case sumval::kBadChecksum:
        return "8";
    case 6:
        return "32";
    case 7:
        return "7";
    default:
        return {};
    }
}

std::string slotName(int n) {
    std::string digits = std::to_string(n);
    return "USER" + std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits + ".MTD";
}

bool fileContains(const fs::path& file, const std::string& needle) {
    std::string content, error;
    return readRegularFile(file, kMaxDocumentBytes, content, error) &&
           content.find(needle) != std::string::npos;
}

// The QX503 family's wording has a blank before the point.
std::string notValidFor(const std::string& model, bool blankBeforePoint) {
    return formatMsg(langText(blankBeforePoint ? kTextReportNotValidBlank : kTextReportNotValid),
                     {model});
}

} // namespace

bool checkFileSending(FileLink& link, int typeCode, const std::string& name, int& status) {
    status = 0;
    const std::string type = std::to_string(typeCode);
    std::string answer;
    if (!query(link, "checkFileName", type + " " + name, answer))
        return false;
    if (answer == "0")
        status = kBadName;
    if (!query(link, "existFile", type + " " + name, answer))
        return false;
    if (answer == "1")
        status += kExists;
    std::int64_t free = 0;
    if (!queryFreeFiles(link, typeCode, free))
        return false;
    if (free < 1)
        status += kNoFreeSlot;
    return true;
}

bool queryFreeFiles(FileLink& link, int typeCode, std::int64_t& free) {
    std::string answer;
    if (!query(link, "getFreeFiles", std::to_string(typeCode), answer))
        return false;
    const auto number = num::parseInteger(answer);
    if (!number) {
        link.session.serial().showCommError(kErrTextLost);
        return false;
    }
    free = *number;
    return true;
}

std::optional<std::int64_t> freeSlots(DeviceSession& session, Host& host, int typeCode) {
    LinkMonitor& monitor = session.monitor();
    if (!monitor.titratorOnline() || deviceFolder(monitor.folders(), typeCode).empty())
        return std::nullopt;
    Serial& serial = session.serial();
    serial.waitRecovery();
    Serial::Exchange hold(serial);
    CopyProgress quiet;
    FileLink link{session, host, quiet};
    std::int64_t free = 0;
    if (!hold || !queryFreeFiles(link, typeCode, free))
        return std::nullopt;
    return free;
}

std::string firstFreeUserSlot(const std::vector<std::string>& entries) {
    for (int n = 1; n <= kMaxUserSlot; ++n) {
        const std::string candidate = slotName(n);
        if (!filenames::isOnList(entries, candidate))
            return candidate;
    }
    return {};
}

UserSlot findUserSlot(FileLink& link, const std::vector<std::string>& entries,
                      const std::string& name, int titType) {
    UserSlot slot;
    if (entries.size() >= kUserSlotsFull) {
        slot.code = "2";
        return slot;
    }
    std::string text;
    if (!succeeded(fetchFileText(link, name, text, 3))) {
        slot.failed = true;
        return slot;
    }
    slot.titratorRevision = methodRevision(text);
    ScratchFolder scratch;
    const fs::path copy = scratch.path() / filenames::firstToken(name);
    std::string error;
    std::int32_t code = sumval::kValid;
    if (scratch.path().empty() || !writeFileAtomically(copy, text, &error) ||
        !sumval::verifyMethodFile(copy, titType, code, error)) {
        showErrorInfo(link.host, EIO, error.empty() ? "no scratch folder" : error, "findUserSlot");
        slot.failed = true;
        return slot;
    }
    slot.code = slotCodeOf(code);
    if (slot.code.empty())
        slot.code = firstFreeUserSlot(entries);
    return slot;
}

int checkFileName(Host& host, const std::string& name, bool csvShown) {
    const std::size_t dot = name.find('.');
    if (!csvShown && dot != std::string::npos && dot >= kMaxDotPosition) {
        host.message(formatMsg(langText(kTextNameTooLong), {}),
                     formatMsg(langText(kTextNameTitle), {}), Host::Icon::Warning);
        return kNameTooLong;
    }
    for (std::size_t i = 0; i < std::min(kCheckedChars, name.size()); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                        (c >= 'a' && c <= 'z') || c == '.' || c == '_';
        if (!ok) {
            host.message(formatMsg(langText(kTextNameInvalid), {}),
                         formatMsg(langText(kTextNameTitle), {}), Host::Icon::Warning);
            return kNameInvalidChar;
        }
    }
    return kNameValid;
}

ReportCheck checkReportForModel(Host& host, const TitratorIdentity& titrator,
                                const fs::path& report, const std::string& name) {
    const std::string& model = titrator.currentModelName;
    const ModelCode code = titrator.modelCode;
    const bool kf = code == ModelCode::QX503 || code == ModelCode::QX533 ||
                    code == ModelCode::QX504 || code == ModelCode::QX534;
    if (code != ModelCode::QX502B && !kf)
        return ReportCheck::Pass;
    if (!fileContains(report, model)) {
        const bool blank = code == ModelCode::QX503 || code == ModelCode::QX533;
        host.message(notValidFor(model, blank), "", Host::Icon::None);
        return ReportCheck::Skip;
    }
    if (!kf)
        return ReportCheck::Pass;
    const bool series3 = code == ModelCode::QX503 || code == ModelCode::QX533;
    const int below = series3 ? 1 : 2;
    const std::string upperName = text::upper(name);
    const bool kfName =
        upperName.find("KF") != std::string::npos || upperName.find("DR") != std::string::npos;
    if (titrator.titType < below && !kfName) {
        host.message(notValidFor(model, false), "", Host::Icon::None);
        return ReportCheck::Abort;
    }
    return ReportCheck::Pass;
}

} // namespace devfiles
