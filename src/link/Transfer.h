#pragma once
// What every exchange with the titrator ends with, and the sink through which
// its caller follows the progress and asks for an abort.
#include <cstddef>
#include <string>

enum class TransferResult {
    Done,
    Aborted,    // the user stopped it; never a success, whatever came before
    TimedOut,   // the titrator went quiet (or never said "ACK")
    BadAnswer,  // frames kept arriving broken, or out of order
    PortFailed, // the port closed under us or its device vanished
    Refused,    // another exchange holds the link: nothing was sent
    FileFailed, // the PC file could not be read or written
};

inline bool succeeded(TransferResult r) {
    return r == TransferResult::Done;
}

// A short English description, for logs and the command-line tool.
const char* describe(TransferResult r);
// The same for the windows: a language text (0 for Done).
int resultText(TransferResult r);

// The caller's view of a running transfer: the progress window, the upgrade
// window, stderr in the command-line tool. The abort request stays set until
// its owner clears it, so a multi-file operation that polls it between files
// stops too.
class TransferSink {
public:
    virtual ~TransferSink() = default;
    // A file transfer starts; the name is the PC file (empty for a text answer).
    virtual void started(const std::string& name) { (void)name; }
    // 0..1 before each block and 1 at the end.
    virtual void progress(double fraction) { (void)fraction; }
    // A file's transfer starts with this many data bytes (a received file's
    // header gives whole blocks), then each block that went over the line.
    virtual void announced(std::size_t bytes) { (void)bytes; }
    virtual void moved(std::size_t bytes) { (void)bytes; }

    void requestAbort() { abort_ = true; }
    void clearAbort() { abort_ = false; }
    bool abortRequested() const { return abort_; }

private:
    bool abort_ = false;
};
