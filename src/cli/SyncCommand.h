#pragma once
// veltran-cli sync: collects the titrator's reports into a folder, each once,
// through the same copy (and, with --move, move) logic as the window, and
// remembers what it took in the folder's state file (SyncState).
#include <iosfwd>
#include <string>

struct LinkOptions;

struct SyncOptions {
    std::string to;         // --to DIR
    bool tray = false;      // --tray: tray report sets too
    bool exportCsv = false; // --export-csv: each new report's CSV beside it
    bool move = false;      // --move: off the titrator once its fetch is verified
    int every = 0;          // --every SECONDS: keep going; 0 is one pass
    bool json = false;      // --json: the events as JSON Lines on stdout
};

// One pass exits 0 when every new report was collected, 1 when one failed or
// was kept out (a different file of its name in DIR, a state file that cannot
// be written), 2 a setup error (DIR, a state file that cannot be read), 3 no
// link or the link was lost, 4 a titrator not identified or refused; 130/143
// after Ctrl-C/SIGTERM, which end it between files. With --every it keeps
// going: a lost link is tried again after 1, 2, 4 ... at most 60 seconds.
int cmdSync(const SyncOptions& options, const LinkOptions& link, std::ostream& out,
            std::ostream& err);
