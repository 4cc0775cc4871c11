#pragma once
// The progress of a copy as the file service drives it: the file bar and the
// abort request come with the TransferSink every transfer reports to; the
// total bar, the file name and showing the window are added here. The abort
// request is the copy's `copyAborted`: it stays set until the next copy clears it.
#include "link/Transfer.h"

#include <cstdint>
#include <string>

// The line's pace over an operation so far, and the time the rest will take at it.
struct TransferPace {
    double bytesPerSecond = 0;     // 0 while nothing has moved
    std::int64_t secondsLeft = -1; // -1 while the pace or the total is not known
};
TransferPace transferPace(std::int64_t done, std::int64_t total, std::int64_t elapsedMs);

class CopyProgress : public TransferSink {
public:
    void started(const std::string& name) override { setFileName(name); }
    void progress(double fraction) override { setFileStatus(fraction); }

    virtual void setFileStatus(double fraction) { (void)fraction; }
    virtual void setTotalStatus(double fraction) { (void)fraction; }
    virtual void setFileName(const std::string& name) { (void)name; }
    virtual void showProgress(bool visible) { (void)visible; }
    // The bytes the whole operation is expected to move (-1: not known); the
    // count of bytes moved (TransferSink::moved) starts again.
    virtual void setTotalBytes(std::int64_t total) { (void)total; }
    // An entry starts: the bytes it is expected to move, and those of the entries
    // after it. Files the expectation did not know of add what they announce.
    virtual void setBytesAhead(std::int64_t entry, std::int64_t later) {
        (void)entry;
        (void)later;
    }
    // A selected entry is taken up, and how it ended (went: sent, fetched or deleted);
    // the command-line tool names the files that did not go.
    virtual void entryStarted(const std::string& name) { (void)name; }
    virtual void entryEnded(bool went) { (void)went; }
    void clear() {
        setFileStatus(0);
        setTotalStatus(0);
        setFileName("");
        setTotalBytes(-1);
    }
};
