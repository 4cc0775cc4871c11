#pragma once
// The two file panes as logic: the file type, the PC folder, the lines of each
// list, the pane and command flags and what every handler of the panes does.
// The main window supplies a PaneView and passes in what only widgets know
// (the selected rows, the chosen folder); it keeps no pane state of its own.
#include "app/CommandState.h"
#include "app/PcListing.h"

#include <cstdint>
#include <string>
#include <vector>

class DeviceSession;
class Host;
struct Settings;

class PaneView {
public:
    virtual ~PaneView() = default;
    virtual void showPcLines(const std::vector<PaneLine>& lines) = 0;
    virtual void showTitratorLines(const std::vector<PaneLine>& lines) = 0;
    // PCPathLabel, and the window laid out again.
    virtual void showPcPath(const std::string& path) = 0;
    virtual void applyCommands(const CommandView& view) = 0;
    // Under the PC pane: how many files the model filter hides ("" none).
    virtual void showHiddenNote(const std::string& text) = 0;
    // Under the titrator pane: the free slots of the category ("" none).
    virtual void showFreeSlots(const std::string& text) = 0;
    virtual void setActive(bool enabled) = 0;
    virtual void statusMessage(const std::string& text, std::uint32_t colour, int ms) = 0;
};

class Panes {
public:
    static constexpr int kTextOneLine = 332;
    static constexpr int kTextSelectTitle = 334;
    static constexpr int kTitratorTypeAtStart = 3;
    static constexpr int kTextHiddenOne = 65;  // %v file hidden: not for %v
    static constexpr int kTextHiddenMany = 66; // %v files hidden: not for %v
    static constexpr int kTextFreeSlots = 67;  // Free slots: %v

    Panes(Settings& settings, DeviceSession& session, Host& host, PaneView& view);

    int fileType() const { return fileType_; }
    int source() const { return source_; }
    const std::string& pcPath() const;
    const std::vector<PaneLine>& pcLines() const { return pcLines_; }
    const std::vector<PaneLine>& titratorLines() const { return titLines_; }
    const CommandState& state() const { return state_; }
    bool pcInTray() const;
    bool titratorInTray() const;
    bool csvShown() const;
    bool online() const;
    int titType() const;

    // syncWithFlags: the flags to the controls.
    void sync();
    // showFiles: the PC pane refilled for the flags and file type.
    void showFiles();
    // The titrator pane listed again for the file type (an empty pane offline).
    void listTitrator();
    // "getFreeFiles" for the category, shown under the titrator pane.
    void showFreeSlots();
    // Refresh: both panes listed again.
    void refresh();
    // The titrator pane from a listing another command fetched ("" empties it).
    void showListing(const std::string& listing);
    // The type the titrator pane's entries have: 11 while it lists tray sets
    // (the PC pane alone is inside a tray folder), else the file type.
    int titratorFileType() const;
    // Copy would be enabled with that pane active (a drag from it).
    bool copyEnabledFor(int source) const;
    void setFileType(int fileType);

    // Handlers.
    void chooseCategory(Category category);
    void clickShowAllFiles(bool ticked);
    void clickShowCsvFiles(bool ticked);
    void focusList(bool titratorList);
    void titratorOpenDir(const std::vector<int>& selectedRows);
    void pcOpenDir(const std::vector<int>& selectedRows);
    // Esc or Backspace in a list: back out of its tray folder.
    void backKey(bool titratorList);
    // A double click or Enter: true when it entered a tray folder, so the file is not opened.
    bool doubleClick(bool titratorList, const std::vector<int>& selectedRows);
    void titratorListClick(const std::vector<int>& selectedRows);
    // The folder browser's answer; "" when it was cancelled.
    void changePcFolder(const std::string& chosen);

    // checkFileName: 1 valid, 2 name too long, 3 invalid character (with its message).
    int checkFileName(const std::string& entry);

    // Link events.
    void connectPressed();     // the Connect button picks a report type first
    void goOnline();           // SetOnlineTitratorControls' filters, then the PC pane
    void adjustForOffline();   // TitratorDisconnect's filter change
    void titratorIdentified(); // both panes listed for the model
    void titratorLost();       // the titrator pane emptied

private:
    // chooseCategory without listing and without the window's busy state.
    void applyCategory(Category category);
    void leaveTray(bool titratorSide);
    void enterTitratorTray(const std::string& entry);
    bool oneSelected(const std::vector<int>& rows, std::size_t count) const;
    void messageOneLine();
    void showPcPath();
    bool pcPathEndsInTray() const;
    void trimTrayFromPcPath();

    Settings& settings_;
    DeviceSession& session_;
    Host& host_;
    PaneView& view_;
    CommandState state_;
    int fileType_ = 4;
    int source_ = 0;
    std::vector<PaneLine> pcLines_, titLines_;
};
