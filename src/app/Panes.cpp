#include "app/Panes.h"

#include "core/FileTypes.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "files/FileChecks.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTrayNameLength = 8; // TRAY0001
constexpr int kErrorShowMs = 10000;

int fileTypeOf(Category category) {
    switch (category) {
    case kStandardMethods:
        return ftype::kStandardMethods;
    case kUserMethods:
        return ftype::kUserMethods;
    case kAllMethods:
        return ftype::kAllMethods;
    case kSequences:
        return ftype::kSequences;
    case kReports:
        return ftype::kReports;
    case kTrayReports:
        return ftype::kTrayReports;
    }
    return ftype::kReports;
}

bool startsWithTray(const std::string& name) {
    return text::upper(name.substr(0, 4)) == "TRAY";
}

// The folder of that name on disk, found without regard to case (Linux names are
// case-sensitive, the titrator's are not).
fs::path existingFolder(const fs::path& parent, const std::string& name) {
    std::error_code ec;
    if (fs::is_directory(parent / name, ec))
        return parent / name;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec))
        if (text::upper(it->path().filename().string()) == text::upper(name) &&
            it->is_directory(ec))
            return it->path();
    return parent / name;
}

} // namespace

Panes::Panes(Settings& settings, DeviceSession& session, Host& host, PaneView& view)
    : settings_(settings), session_(session), host_(host), view_(view) {}

const std::string& Panes::pcPath() const {
    return settings_.pcPath;
}

bool Panes::pcInTray() const {
    return testFlag8(state_.paneFlags(), pane::kPcInTray);
}

bool Panes::titratorInTray() const {
    return testFlag8(state_.paneFlags(), pane::kTitratorInTray);
}

bool Panes::csvShown() const {
    return testFlag8(state_.paneFlags(), pane::kCsvFiles);
}

bool Panes::online() const {
    return session_.monitor().titratorOnline();
}

int Panes::titType() const {
    return online() ? session_.monitor().identity().titType : kTitratorTypeAtStart;
}

// ---------------------------------------------------------------- refreshing

void Panes::sync() {
    const CommandView view = state_.syncWithFlags(online());
    source_ = view.source;
    view_.applyCommands(view);
}

void Panes::showFiles() {
    PcListingRequest request;
    request.folder = settings_.pcPath;
    request.fileType = fileType_;
    request.paneFlags = state_.paneFlags();
    request.titrator = online() ? &session_.monitor().identity() : nullptr;
    PcListing listing = listPcPane(request);
    if (!listing.error.empty())
        view_.statusMessage(listing.error, colour::kRed, kErrorShowMs);
    pcLines_ = std::move(listing.lines);
    view_.showPcLines(pcLines_);
    // Until the model is known every report is hidden; that is no news.
    const std::string& model = session_.monitor().identity().currentModelName;
    std::string note;
    if (listing.hidden > 0 && online() && !model.empty())
        note = formatMsg(langText(listing.hidden == 1 ? kTextHiddenOne : kTextHiddenMany),
                         {std::to_string(listing.hidden), model});
    view_.showHiddenNote(note);
}

void Panes::listTitrator() {
    std::string listing;
    if (!online() || !succeeded(devfiles::listTitratorFiles(session_, host_, titratorFileType(),
                                                            titType(), listing)))
        listing.clear(); // a failed listing leaves an empty pane, never stale entries
    showListing(listing);
}

void Panes::showFreeSlots() {
    const int typeCode = fileTypeOf(static_cast<Category>(state_.category()));
    const auto free = devfiles::freeSlots(session_, host_, typeCode);
    view_.showFreeSlots(free ? formatMsg(langText(kTextFreeSlots), {std::to_string(*free)}) : "");
}

void Panes::refresh() {
    // Inside a wait of the link a listing would fail and empty the pane: keep it.
    if (online() && !session_.serial().canStartExchange()) {
        view_.statusMessage(langText(Serial::kTextWait), colour::kBlue, Serial::kWaitShowMs);
        return;
    }
    view_.setActive(false);
    showFiles();
    listTitrator();
    showFreeSlots();
    view_.setActive(true);
}

void Panes::showListing(const std::string& listing) {
    titLines_.clear();
    for (std::string& line : devfiles::listingLines(listing))
        titLines_.push_back(titratorPaneLine(std::move(line)));
    view_.showTitratorLines(titLines_);
}

int Panes::titratorFileType() const {
    return fileType_ == ftype::kTrayFolderReports && !titratorInTray() ? ftype::kTrayReports
                                                                       : fileType_;
}

bool Panes::copyEnabledFor(int source) const {
    CommandState probe = state_;
    probe.focusTitratorList(source == 1);
    return probe.syncWithFlags(online()).copyBtn;
}

void Panes::setFileType(int fileType) {
    fileType_ = fileType;
    showFiles();
    listTitrator();
}

void Panes::showPcPath() {
    view_.showPcPath(settings_.pcPath);
}

bool Panes::pcPathEndsInTray() const {
    return folderToStore(settings_.pcPath, true) != settings_.pcPath;
}

void Panes::trimTrayFromPcPath() {
    settings_.pcPath = folderToStore(settings_.pcPath, true);
}

// ---------------------------------------------------------------- categories

void Panes::chooseCategory(Category category) {
    view_.setActive(false);
    applyCategory(category);
    showFiles();
    listTitrator();
    showFreeSlots();
    view_.setActive(true);
}

void Panes::applyCategory(Category category) {
    if (state_.chooseCategory(category) && pcPathEndsInTray()) {
        trimTrayFromPcPath();
        showPcPath();
    }
    sync();
    // Tray Reports keeps an open tray folder open.
    fileType_ = category == kTrayReports && (pcInTray() || titratorInTray())
                    ? ftype::kTrayFolderReports
                    : fileTypeOf(category);
}

void Panes::clickShowAllFiles(bool ticked) {
    state_.clickShowAllFiles(ticked);
    sync();
    showFiles();
}

void Panes::clickShowCsvFiles(bool ticked) {
    state_.clickShowCsvFiles(ticked);
    sync();
    showFiles();
}

void Panes::focusList(bool titratorList) {
    state_.focusTitratorList(titratorList);
    sync();
}

// ---------------------------------------------------------------- tray folders

// One side left its tray folder: the type is the tray folders' own only when
// the other side is not still inside one.
void Panes::leaveTray(bool titratorSide) {
    if (titratorSide)
        state_.setTitratorInTray(false);
    else
        state_.setPcInTray(false);
    fileType_ = pcInTray() || titratorInTray() ? ftype::kTrayFolderReports : ftype::kTrayReports;
}

bool Panes::oneSelected(const std::vector<int>& rows, std::size_t count) const {
    return rows.size() == 1 && rows[0] >= 0 && static_cast<std::size_t>(rows[0]) < count;
}

void Panes::messageOneLine() {
    host_.message(formatMsg(langText(kTextOneLine), {}), formatMsg(langText(kTextSelectTitle), {}),
                  Host::Icon::Warning);
}

void Panes::enterTitratorTray(const std::string& entry) {
    state_.setTitratorInTray(true);
    fileType_ = ftype::kTrayFolderReports;
    session_.monitor().folders().trayFolder = entry.substr(0, kTrayNameLength) + "\\";
}

void Panes::titratorOpenDir(const std::vector<int>& rows) {
    if (titratorInTray()) {
        view_.setActive(false);
        leaveTray(true);
        listTitrator();
        view_.setActive(true);
    } else if (!oneSelected(rows, titLines_.size())) {
        messageOneLine();
    } else {
        view_.setActive(false);
        enterTitratorTray(titLines_[static_cast<std::size_t>(rows[0])].name);
        listTitrator();
        view_.setActive(true);
    }
    sync();
}

void Panes::pcOpenDir(const std::vector<int>& rows) {
    if (pcInTray()) {
        view_.setActive(false);
        leaveTray(false);
        if (pcPathEndsInTray())
            trimTrayFromPcPath();
    } else if (!oneSelected(rows, pcLines_.size())) {
        messageOneLine();
        sync();
        return;
    } else {
        view_.setActive(false);
        const std::string& name = pcLines_[static_cast<std::size_t>(rows[0])].name;
        if (startsWithTray(name)) {
            state_.setPcInTray(true);
            fileType_ = ftype::kTrayFolderReports;
            settings_.pcPath =
                existingFolder(settings_.pcPath, name.substr(0, kTrayNameLength)).string();
        } else {
            leaveTray(false);
        }
    }
    showPcPath();
    showFiles();
    sync();
    view_.setActive(true);
}

void Panes::backKey(bool titratorList) {
    if (fileType_ != ftype::kTrayFolderReports)
        return;
    if (titratorList && titratorInTray())
        titratorOpenDir({});
    else if (!titratorList && pcInTray())
        pcOpenDir({});
}

bool Panes::doubleClick(bool titratorList, const std::vector<int>& rows) {
    if (state_.category() != kTrayReports)
        return false;
    if (titratorList && !titratorInTray()) {
        titratorOpenDir(rows);
        return true;
    }
    if (!titratorList && !pcInTray() && !testFlag8(state_.paneFlags(), pane::kAllFiles)) {
        pcOpenDir(rows);
        return true;
    }
    return false;
}

void Panes::titratorListClick(const std::vector<int>& rows) {
    if (state_.category() == kSequences && oneSelected(rows, titLines_.size()))
        session_.monitor().folders().trayFolder =
            titLines_[static_cast<std::size_t>(rows[0])].name.substr(0, kTrayNameLength) + "\\";
}

void Panes::changePcFolder(const std::string& chosen) {
    view_.setActive(false);
    if (!chosen.empty())
        settings_.pcPath = chosen;
    showPcPath();
    if (pcInTray())
        leaveTray(false); // the new folder is no tray folder
    showFiles();
    sync();
    view_.setActive(true);
}

// ---------------------------------------------------------------- names

int Panes::checkFileName(const std::string& name) {
    return devfiles::checkFileName(host_, name, testFlag8(state_.paneFlags(), pane::kCsvFiles));
}

// ---------------------------------------------------------------- the link

// A PC pane inside a tray folder stays there: 11 only when neither pane is in one.
void Panes::connectPressed() {
    if (state_.category() != kTrayReports)
        fileType_ = ftype::kReports;
    else
        fileType_ = pcInTray() ? ftype::kTrayFolderReports : ftype::kTrayReports;
}

void Panes::goOnline() {
    const TitratorIdentity& id = session_.monitor().identity();
    if (state_.goOnline(id.titType, id.modelCode))
        chooseCategory(kReports);
    sync();
    showFiles();
}

void Panes::adjustForOffline() {
    const CommandState::Offline offline = state_.goOffline();
    if (offline.leftTitratorTray)
        fileType_ = pcInTray() ? ftype::kTrayFolderReports : ftype::kTrayReports;
    if (offline.chooseReports)
        chooseCategory(kReports);
}

// A category the model lacks gives way to Reports before anything is listed.
void Panes::titratorIdentified() {
    const TitratorIdentity& id = session_.monitor().identity();
    if (state_.goOnline(id.titType, id.modelCode))
        applyCategory(kReports);
    listTitrator();
    showFiles();
    showFreeSlots();
}

void Panes::titratorLost() {
    titLines_.clear();
    view_.showTitratorLines(titLines_);
    view_.showFreeSlots("");
}
