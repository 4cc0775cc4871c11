#pragma once
// The progress of a copy as the file service drives it: the file bar and the
// abort request come with the TransferSink every transfer reports to; the
// total bar, the file name and showing the window are added here. The abort
// request is the copy's `copyAborted`: it stays set until the next copy clears it.
#include "link/Transfer.h"

#include <string>

class CopyProgress : public TransferSink {
public:
    void started(const std::string& name) override { setFileName(name); }
    void progress(double fraction) override { setFileStatus(fraction); }

    virtual void setFileStatus(double fraction) { (void)fraction; }
    virtual void setTotalStatus(double fraction) { (void)fraction; }
    virtual void setFileName(const std::string& name) { (void)name; }
    virtual void showProgress(bool visible) { (void)visible; }
    // A selected entry is taken up, and how it ended (went: sent, fetched or deleted);
    // the command-line tool names the files that did not go.
    virtual void entryStarted(const std::string& name) { (void)name; }
    virtual void entryEnded(bool went) { (void)went; }
    void clear() {
        setFileStatus(0);
        setTotalStatus(0);
        setFileName("");
    }
};
