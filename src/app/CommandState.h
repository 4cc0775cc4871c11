#pragma once
// Which commands of the main window can be used: the pane flags and the link
// state turned into the enabled and ticked state of every control. The window
// calls the operation its handler stands for, then syncWithFlags, and applies
// the CommandView it gets back (ticks with signals blocked).
#include "app/CommandFlags.h"

#include <array>
#include <cstdint>
#include <string_view>

enum class ModelCode;

struct ControlState {
    bool enabled = false;
    bool checked = false;
};

// What every control shows after syncWithFlags. A file command's button, File
// menu entry and popup entry always agree.
struct CommandView {
    ControlState RptCheckbox, StdMtdCheckbox, UsrMtdCheckBox, AllMtdCheckBox, SeqCheckBox,
        SeqRptCheckBox;
    ControlState ShowAllPcFilesCb, ShowCSVPcFilesCb;
    bool pcList = false, titList = false;
    bool pcOpenDirBtn = false, titOpenDirBtn = false;
    bool connectBtn = false;
    bool ViewBtn = false, mnuFileView = false, popOpen = false;
    bool ExportBtn = false, mnuFileExport = false, popExport = false;
    bool printBtn = false, mnuFilePrint = false, popPrint = false;
    bool copyBtn = false, mnuFileCopy = false, popCopy = false;
    bool moveBtn = false, mnuFileMove = false, popMove = false;
    bool deleteBtn = false, mnuFileDelete = false, popDelete = false;
    int pcOpenDirCaption = 0, titOpenDirCaption = 0; // language texts
    int source = 0;                                  // 1: the titrator pane is the active one
    int connectCaption = 0;                          // language text of connectBtn and mnuConnect
};

constexpr int kOpenDirectoryText = 137;
constexpr int kBackText = 138;
constexpr int kConnectText = 982;
constexpr int kDisconnectText = 983;

struct TabStop {
    std::string_view control;
    int index;
};
// fixTabIndex: the keyboard order of the lists and the command buttons.
constexpr std::array<TabStop, 9> kTabOrder{{{"pcList", 70},
                                            {"titList", 80},
                                            {"connectBtn", 90},
                                            {"ViewBtn", 100},
                                            {"ExportBtn", 110},
                                            {"printBtn", 120},
                                            {"copyBtn", 130},
                                            {"moveBtn", 140},
                                            {"deleteBtn", 150}}};

// Steps 2 to 6 of syncWithFlags: the flags as the controls show them.
CommandView commandView(std::uint8_t paneFlags, std::uint32_t commandFlags, bool connected);

class CommandState {
public:
    // prepareInitialState: reports, PC pane, only the PC list and Connect usable.
    CommandState();

    std::uint8_t paneFlags() const { return pane_; }
    std::uint32_t commandFlags() const { return commands_; }
    int category() const { return pane_ & pane::kCategory; }

    // Recomputes the command flags; leaves the PC check boxes' bits only where
    // they mean something.
    void processFlagLogic(bool connected);
    // processFlagLogic, then the view of it.
    CommandView syncWithFlags(bool connected);

    // A category option was chosen. Any category but Tray Reports leaves both
    // tray folders; true when the PC pane was in one (its path goes up a level).
    bool chooseCategory(Category category);
    // A list got the focus or a mouse button.
    void focusTitratorList(bool titratorList);
    // The PC check boxes exclude each other: each click sets both bits.
    void clickShowAllFiles(bool ticked);
    void clickShowCsvFiles(bool ticked);
    void setPcInTray(bool inside);
    void setTitratorInTray(bool inside);

    // The titrator is online: only the QX502C at titType 1 keeps Sequences and
    // Tray Reports. True when the Reports option must be chosen (by its handler).
    bool goOnline(int titType, ModelCode model);
    struct Offline {
        bool chooseReports = false;    // a methods or sequences category was shown
        bool leftTitratorTray = false; // the titrator pane was inside a tray folder
    };
    // The link is lost: leave the titrator's tray folder, make the PC pane the active
    // one, keep Tray Reports usable.
    Offline goOffline();

private:
    void processConnected();
    void processOffline();

    std::uint8_t pane_ = 0;
    std::uint32_t commands_ = 0;
};
