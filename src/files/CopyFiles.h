#pragma once
// Copy, move and delete between the two panes: the whole action of the Copy,
// Move and Delete commands, widget-free. The main window (or the command-line
// tool) captures the panes once in a CopyRequest, passes its views in CopyUi
// and applies the CopyResult to the panes afterwards.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

class CopyProgress;
class DeviceSession;
class Host;
class ReplaceAsker;
class TransferObserver;

namespace devfiles {

// One selected line of a pane: the real file name and the line as shown.
struct PaneEntry {
    std::string name;
    std::string line;
};

struct CopyRequest {
    int source = 0;                           // 0: the PC pane, 1: the titrator pane
    std::vector<PaneEntry> selected;          // in pane order
    int fileType = 4;                         // the panes' file type (getFileType)
    std::filesystem::path pcFolder;           // the PC folder shown
    std::vector<std::string> titratorEntries; // every line of the titrator pane
    bool move = false;
    int initialReplaceStatus = 0; // 2: replace all, 4: skip all (command line)
    // Answers given before, by entry name (a retry asks nothing it was told):
    // replace question codes, a yes/no as 1 (yes) or 3 (no).
    std::map<std::string, int> answers;
    // A fetched report (and any entry whose line gives a size) must arrive
    // with the listed number of bytes, or it is not kept and not moved.
    bool verifyListedSize = false;
    // Deleting and the name check.
    bool pcInTrayFolder = false;       // pane flag 0x40
    bool titratorInTrayFolder = false; // pane flag 0x80
    bool csvShown = false;             // ShowCSVPcFilesCb ticked
    std::string currentName;           // the pane's current entry ("" = the first selected)
    bool deleteConfirmed = false;      // the delete question was answered yes before (a retry)
};

struct CopyUi {
    Host& host;
    CopyProgress& progress; // the progress window; its abort request is copyAborted
    ReplaceAsker& replace;
    TransferObserver* observer = nullptr; // gets one record per file
};

struct CopyResult {
    int handled = 0;                     // entries the loop reached
    int done = 0;                        // entries that went (sent, fetched, deleted)
    bool aborted = false;                // the user stopped it, or the link went away
    bool cancelled = false;              // replace answer 5
    bool linkLost = false;               // the port failed or the titrator went offline
    std::vector<std::string> namesAdded; // device names the titrator pane gained
    std::vector<std::string> failed;     // entries tried that did not go (no user's skip)
    bool refreshPc = false;              // showFiles
    bool refreshTitrator = false;        // showDir(titratorListing); "" clears the pane
    std::string titratorListing;
    bool everyFileWent(std::size_t selected) const {
        return !aborted && !cancelled && done == static_cast<int>(selected);
    }
};

// copyFile: copies (or moves) the selected entries from the source pane to the
// other side. Holds the link for the whole copy.
CopyResult copyFile(DeviceSession& session, const CopyRequest& request, CopyUi& ui);

// deleteFiles: deletes the selected entries of the source pane after the name
// check and the confirmation.
CopyResult deleteFiles(DeviceSession& session, const CopyRequest& request, CopyUi& ui);

} // namespace devfiles
