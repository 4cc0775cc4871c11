#pragma once
// One file of a copy, move, delete or export, as it ended. The file service and
// the export hand one record per file to the observer their caller passes in;
// the transfer log window, the command-line tool's JSON lines and report
// collection all read their results from these records, never on their own.
#include <cstdint>
#include <string>

enum class TransferOperation { Copy, Move, Delete, Export };
// Delete and an export of PC reports happen on one side.
enum class TransferDirection { ToPc, ToTitrator, OnPc, OnTitrator };
enum class TransferOutcome { Done, Skipped, Refused, Failed, Aborted };

struct TransferRecord {
    std::int64_t timeMs = 0; // when it ended: milliseconds since 1970-01-01 UTC
    TransferOperation operation = TransferOperation::Copy;
    TransferDirection direction = TransferDirection::ToPc;
    std::string entry;        // the selected entry it belongs to (a report for its companions)
    std::string pcName;       // the PC file (a path; the CSV for an export); "" when none
    std::string titratorName; // the titrator's file name; "" when none
    std::int64_t size = -1;   // bytes moved, written or deleted; -1 unknown
    std::string date; // the file's, as its listing line or the PC gives it: "2026-12-07T17:47"
    std::string sha256;       // of the bytes that went over the link or were written
    TransferOutcome result = TransferOutcome::Done;
    std::string reason; // a language text (8-bit, as the table holds it); "" when done
    int answer = 0;     // the replace answer given for the entry (0: none asked)
};

// Stable words for scripts and files.
constexpr const char* outcomeWord(TransferOutcome r) {
    switch (r) {
    case TransferOutcome::Done:
        return "done";
    case TransferOutcome::Skipped:
        return "skipped";
    case TransferOutcome::Refused:
        return "refused";
    case TransferOutcome::Failed:
        return "failed";
    case TransferOutcome::Aborted:
        return "aborted";
    }
    return "failed";
}

constexpr const char* operationWord(TransferOperation o) {
    switch (o) {
    case TransferOperation::Copy:
        return "copy";
    case TransferOperation::Move:
        return "move";
    case TransferOperation::Delete:
        return "delete";
    case TransferOperation::Export:
        return "export";
    }
    return "copy";
}

// Reasons of records that every producer gives (language texts).
inline constexpr int kTextReasonKept = 1196;    // the user kept the existing file
inline constexpr int kTextReasonStopped = 1197; // the user stopped the operation

class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void record(const TransferRecord& r) = 0;
};
