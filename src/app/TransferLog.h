#pragma once
// The transfer log without widgets: every file of every copy, move, delete and
// export since the program started, kept in memory up to a cap; which
// operation each belongs to; what "Retry failed" runs again; and the log as CSV.
#include "core/TransferRecord.h"
#include "documents/ExportRun.h"
#include "files/CopyFiles.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class TransferLog : public TransferObserver {
public:
    static constexpr std::size_t kCapacity = 10000; // the oldest rows go first

    struct Row {
        TransferRecord record;
        int operation = 0;
    };

    // A copy, move, delete or export starts: the records that follow are its own.
    void beginOperation();
    void record(const TransferRecord& r) override;

    const std::deque<Row>& rows() const { return rows_; }

    // The files of the last operation, and how many of them went.
    struct Tally {
        int done = 0, files = 0;
    };
    Tally lastTally() const;

    // The entries of the last operation with a failed or aborted file, in
    // order and each once, with the answer given to its question.
    struct Retry {
        std::string entry;
        int answer = 0;
    };
    std::vector<Retry> retryEntries() const;

    std::function<void()> changed; // a row came (the window shows it)

private:
    std::deque<Row> rows_;
    int operation_ = 0;
};

// The last operation as it was asked for, so that Retry asks for it again.
struct LastTransfer {
    enum class Kind { None, Copy, Delete, Export };
    Kind kind = Kind::None;
    devfiles::CopyRequest copy;  // Copy (and Move), Delete
    ExportRequest exportRequest; // Export
};

// The last copy, move or delete again for the retry entries only, with their
// answers; a delete is not confirmed a second time.
devfiles::CopyRequest retryCopyRequest(const devfiles::CopyRequest& last,
                                       const std::vector<TransferLog::Retry>& entries);
ExportRequest retryExportRequest(const ExportRequest& last,
                                 const std::vector<TransferLog::Retry>& entries);

constexpr int kTransferLogColumns = 6; // time, direction, file, size, result, reason
int transferLogColumnTitle(int column);
// A cell as the window shows it: 8-bit text, the time on the PC's clock.
std::string transferLogCell(const TransferRecord& r, int column);
// UTF-8 CSV: the column titles, then one row per record.
std::string transferLogCsv(const TransferLog& log);
