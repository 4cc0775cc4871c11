#include "files/TitratorFiles.h"

#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

namespace devfiles {

std::string deviceFolder(const DeviceFolders& f, int fileType) {
    switch (fileType) {
    case ftype::kAllMethods:
    case ftype::kStandardMethods:
    case ftype::kUserMethods:
        return f.methodsPath;
    case ftype::kReports:
    case ftype::kTrp:
    case ftype::kCrp:
        return f.reportsPath;
    case ftype::kSequences:
        return f.sequencePath;
    case ftype::kTrayReports:
        return f.trayReportsPath;
    case ftype::kTrayFolderReports:
        return f.trayReportsPath + f.trayFolder;
    default:
        return {};
    }
}

std::string devicePath(const DeviceFolders& folders, int fileType, const std::string& name) {
    return deviceFolder(folders, fileType) + name;
}

bool restrictedMethodMasks(const TitratorIdentity& titrator) {
    return titrator.seriesCode == SeriesCode::QX50x && titrator.firmwareVersion < 1.6f;
}

TransferResult listTitratorFiles(DeviceSession& session, Host& host, int fileType, int titType,
                                 std::string& listing) {
    listing.clear();
    LinkMonitor& monitor = session.monitor();
    if (!monitor.titratorOnline())
        return TransferResult::Refused;
    Serial& serial = session.serial();
    serial.waitRecovery();
    Serial::Exchange exchange(serial);
    if (!exchange)
        return TransferResult::Refused;
    const std::string mask = fileMask(fileType, titType, restrictedMethodMasks(monitor.identity()));
    const TransferResult ack =
        serial.sendCommandAck("extdir", deviceFolder(monitor.folders(), fileType) + mask);
    if (!succeeded(ack)) {
        host.message(formatMsg(langText(kTextListingRefused), {}), "", Host::Icon::Warning);
        monitor.setStatusBarProp();
        return ack;
    }
    TransferSink quiet;
    const TransferResult received = serial.stringReception(listing, quiet);
    if (!succeeded(received))
        serial.showCommError(kErrListingLost);
    return received;
}

std::vector<std::string> listingLines(const std::string& listing) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t cr = listing.find('\r'); cr != std::string::npos;
         cr = listing.find('\r', start)) {
        std::string line = listing.substr(start, cr - start);
        start = cr + 2;
        if (!entryName(line).empty())
            lines.push_back(std::move(line));
        if (start > listing.size())
            break;
    }
    return lines;
}

std::string entryName(const std::string& entry) {
    std::string rest = entry;
    return takeToken(rest, " ");
}

ListedFile listedFile(const std::string& line) {
    ListedFile f;
    std::string rest = text::trim(line);
    f.name = takeToken(rest, " ");
    rest = text::trim(rest);
    const std::string sizeText = takeToken(rest, " ");
    const auto size = num::parseInteger(sizeText);
    if (!size || *size < 0 || sizeText.find_first_not_of("0123456789") != std::string::npos)
        return f;
    f.size = *size;
    f.date = parseDateText(text::trim(rest));
    return f;
}

} // namespace devfiles
