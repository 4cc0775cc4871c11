#include "app/CommandState.h"

#include "link/ModelTable.h"

using namespace cmd;

namespace {

constexpr std::uint32_t kOptionsWhileConnected =
    kReportsOption | kStandardOption | kUserOption | kAllMethodsOption | kTitratorList;
constexpr std::uint32_t kOfflineOff = kStandardOption | kUserOption | kAllMethodsOption |
                                      kSequencesOption | kTitratorList | kPcOpenDir |
                                      kTitratorOpenDir;
constexpr std::uint32_t kViewing = kOpen | kExport | kPrint;
// Category numbers as bits: 0x04 is shared by reports (4) and tray reports (5),
// 0x05 is tray reports.
constexpr std::uint8_t kReportLikeBits = 0x04;
constexpr std::uint8_t kTrayReportBits = 0x05;

ControlState option(std::uint32_t commands, std::uint32_t bit, int category, int chosen) {
    return {testFlag32(commands, bit), category == chosen};
}

} // namespace

CommandView commandView(std::uint8_t paneFlags, std::uint32_t commands, bool connected) {
    const int category = paneFlags & pane::kCategory;
    auto on = [commands](std::uint32_t bit) { return testFlag32(commands, bit); };
    CommandView v;
    v.RptCheckbox = option(commands, kReportsOption, kReports, category);
    v.StdMtdCheckbox = option(commands, kStandardOption, kStandardMethods, category);
    v.UsrMtdCheckBox = option(commands, kUserOption, kUserMethods, category);
    v.AllMtdCheckBox = option(commands, kAllMethodsOption, kAllMethods, category);
    v.SeqCheckBox = option(commands, kSequencesOption, kSequences, category);
    v.SeqRptCheckBox = option(commands, kTrayReportsOption, kTrayReports, category);
    // Outside reports and tray reports both boxes are unticked.
    const bool reportLike = category == kReports || category == kTrayReports;
    v.ShowAllPcFilesCb = {on(kShowAllFiles), reportLike && testFlag8(paneFlags, pane::kAllFiles)};
    v.ShowCSVPcFilesCb = {on(kShowCsvFiles), reportLike && testFlag8(paneFlags, pane::kCsvFiles)};
    v.pcList = on(kPcList);
    v.titList = on(kTitratorList);
    v.pcOpenDirBtn = on(kPcOpenDir);
    v.titOpenDirBtn = on(kTitratorOpenDir);
    v.connectBtn = on(kConnect);
    v.ViewBtn = v.mnuFileView = v.popOpen = on(kOpen);
    v.ExportBtn = v.mnuFileExport = v.popExport = on(kExport);
    v.printBtn = v.mnuFilePrint = v.popPrint = on(kPrint);
    v.copyBtn = v.mnuFileCopy = v.popCopy = on(kCopy);
    v.moveBtn = v.mnuFileMove = v.popMove = on(kMove);
    v.deleteBtn = v.mnuFileDelete = v.popDelete = on(kDelete);
    v.pcOpenDirCaption = testFlag8(paneFlags, pane::kPcInTray) ? kBackText : kOpenDirectoryText;
    v.titOpenDirCaption =
        testFlag8(paneFlags, pane::kTitratorInTray) ? kBackText : kOpenDirectoryText;
    v.source = testFlag8(paneFlags, pane::kTitratorFocus) ? 1 : 0;
    v.connectCaption = connected ? kDisconnectText : kConnectText;
    return v;
}

CommandState::CommandState() : pane_(kReports), commands_(kPcList | kConnect) {}

void CommandState::processFlagLogic(bool connected) {
    if (testFlag8(pane_, kReportLikeBits)) {
        setFlag32(commands_, kShowAllFiles | kShowCsvFiles);
    } else {
        clearFlag32(commands_, kShowAllFiles | kShowCsvFiles);
        clearFlag8(pane_, pane::kAllFiles | pane::kCsvFiles);
    }
    if (testFlag8(pane_, kTrayReportBits)) {
        setFlag32(commands_, kPcOpenDir);
        if (connected)
            setFlag32(commands_, kTitratorOpenDir);
    } else {
        clearFlag32(commands_, kPcOpenDir | kTitratorOpenDir);
    }
    if (connected)
        processConnected();
    else
        processOffline();
}

void CommandState::processConnected() {
    // Sequences and Tray Reports stay as the online set-up left them.
    setFlag32(commands_, kOptionsWhileConnected);
    const bool titratorFocus = testFlag8(pane_, pane::kTitratorFocus);
    const bool csv = testFlag8(pane_, pane::kCsvFiles);
    const bool all = testFlag8(pane_, pane::kAllFiles);
    switch (category()) {
    case kStandardMethods:
    case kUserMethods:
    case kAllMethods:
    case kSequences:
        setFlag32(commands_, kOpen | kPrint | kCopy | kMove | kDelete);
        clearFlag32(commands_, kExport);
        break;
    case kReports:
        setFlag32(commands_, kFileCommands);
        if (titratorFocus)
            break;
        clearFlag32(commands_, kCopy | kMove);
        if (csv) {
            clearFlag32(commands_, kViewing);
            setFlag32(commands_, kDelete);
        }
        if (all)
            clearFlag32(commands_, kViewing | kDelete);
        break;
    case kTrayReports:
        if (titratorFocus) {
            setFlag32(commands_, kFileCommands);
            if (testFlag8(pane_, pane::kPcInTray))
                clearFlag32(commands_, kExport | kCopy | kMove);
            if (all)
                clearFlag32(commands_, kPcOpenDir);
        } else {
            setFlag32(commands_, kViewing | kDelete);
            clearFlag32(commands_, kCopy | kMove);
            if (csv)
                clearFlag32(commands_, kViewing | kCopy | kMove);
            if (all)
                clearFlag32(commands_, kFileCommands | kPcOpenDir);
        }
        break;
    default:
        break;
    }
}

void CommandState::processOffline() {
    setFlag32(commands_, kReportsOption | kTrayReportsOption);
    clearFlag32(commands_, kOfflineOff);
    switch (category()) {
    case kStandardMethods:
    case kUserMethods:
    case kAllMethods:
    case kSequences:
        clearFlag32(commands_, kFileCommands);
        return;
    case kReports:
    case kTrayReports:
        setFlag32(commands_, kViewing | kDelete);
        clearFlag32(commands_, kCopy | kMove);
        if (testFlag8(pane_, pane::kCsvFiles))
            clearFlag32(commands_, kViewing);
        if (category() == kTrayReports)
            setFlag32(commands_, kPcOpenDir);
        if (testFlag8(pane_, pane::kAllFiles))
            clearFlag32(commands_, kViewing | kDelete | kPcOpenDir);
        return;
    default:
        return;
    }
}

CommandView CommandState::syncWithFlags(bool connected) {
    processFlagLogic(connected);
    return commandView(pane_, commands_, connected);
}

bool CommandState::chooseCategory(Category category) {
    pane_ = static_cast<std::uint8_t>((pane_ & ~pane::kCategory) | category);
    if (category == kTrayReports)
        return false;
    const bool pcWasInTray = testFlag8(pane_, pane::kPcInTray);
    clearFlag8(pane_, pane::kPcInTray | pane::kTitratorInTray);
    return pcWasInTray;
}

void CommandState::focusTitratorList(bool titratorList) {
    if (titratorList)
        setFlag8(pane_, pane::kTitratorFocus);
    else
        clearFlag8(pane_, pane::kTitratorFocus);
}

// A tick set from code emits no click, so one handler must keep both bits right.
void CommandState::clickShowAllFiles(bool ticked) {
    if (ticked) {
        setFlag8(pane_, pane::kAllFiles);
        clearFlag8(pane_, pane::kCsvFiles);
    } else {
        clearFlag8(pane_, pane::kAllFiles);
    }
}

void CommandState::clickShowCsvFiles(bool ticked) {
    if (ticked) {
        setFlag8(pane_, pane::kCsvFiles);
        clearFlag8(pane_, pane::kAllFiles);
    } else {
        clearFlag8(pane_, pane::kCsvFiles);
    }
}

void CommandState::setPcInTray(bool inside) {
    if (inside)
        setFlag8(pane_, pane::kPcInTray);
    else
        clearFlag8(pane_, pane::kPcInTray);
}

void CommandState::setTitratorInTray(bool inside) {
    if (inside)
        setFlag8(pane_, pane::kTitratorInTray);
    else
        clearFlag8(pane_, pane::kTitratorInTray);
}

bool CommandState::goOnline(int titType, ModelCode model) {
    if (titType == 1 && model == ModelCode::QX502C) {
        setFlag32(commands_, kSequencesOption | kTrayReportsOption);
        return false;
    }
    clearFlag32(commands_, kSequencesOption | kTrayReportsOption);
    return category() != kReports;
}

CommandState::Offline CommandState::goOffline() {
    Offline change;
    change.chooseReports = category() <= kSequences;
    change.leftTitratorTray = testFlag8(pane_, pane::kTitratorInTray);
    // The titrator list is empty and disabled now: the commands act on the PC pane.
    clearFlag8(pane_, pane::kTitratorInTray | pane::kTitratorFocus);
    setFlag32(commands_, kTrayReportsOption);
    return change;
}
