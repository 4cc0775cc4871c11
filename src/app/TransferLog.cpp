#include "app/TransferLog.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "documents/CsvCell.h"
#include "files/FileNames.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <iterator>

namespace {

constexpr char kSeparator[] = ",";
constexpr int kTitles[kTransferLogColumns] = {1179, 1180, 1181, 88, 85, 90};
constexpr int kTextToPc = 1185;
constexpr int kTextToTitrator = 1186;
constexpr int kTextDeletedOnTitrator = 1187;
constexpr int kTextDeletedOnPc = 1188;
constexpr int kTextExported = 1189;
constexpr int kTextFirstResult = 1190; // done, skipped, refused, failed, aborted

bool retried(TransferOutcome r) {
    return r == TransferOutcome::Failed || r == TransferOutcome::Aborted;
}

int directionText(const TransferRecord& r) {
    if (r.operation == TransferOperation::Export)
        return kTextExported;
    switch (r.direction) {
    case TransferDirection::ToPc:
        return kTextToPc;
    case TransferDirection::ToTitrator:
        return kTextToTitrator;
    case TransferDirection::OnTitrator:
        return kTextDeletedOnTitrator;
    case TransferDirection::OnPc:
        return kTextDeletedOnPc;
    }
    return kTextToPc;
}

std::string fileOf(const TransferRecord& r) {
    if (r.operation == TransferOperation::Export || (r.titratorName.empty() && r.pcName.empty()))
        return r.entry;
    return !r.titratorName.empty() ? r.titratorName
                                   : std::filesystem::path(r.pcName).filename().string();
}

} // namespace

void TransferLog::beginOperation() {
    ++operation_;
}

void TransferLog::record(const TransferRecord& r) {
    rows_.push_back({r, operation_});
    while (rows_.size() > kCapacity)
        rows_.pop_front();
    if (changed)
        changed();
}

TransferLog::Tally TransferLog::lastTally() const {
    Tally t;
    for (auto it = rows_.rbegin(); it != rows_.rend() && it->operation == operation_; ++it) {
        ++t.files;
        t.done += it->record.result == TransferOutcome::Done ? 1 : 0;
    }
    return t;
}

std::vector<TransferLog::Retry> TransferLog::retryEntries() const {
    auto first = rows_.end();
    while (first != rows_.begin() && std::prev(first)->operation == operation_)
        --first;
    std::vector<Retry> out;
    for (auto it = first; it != rows_.end(); ++it) {
        const TransferRecord& r = it->record;
        if (!retried(r.result))
            continue;
        auto known = std::find_if(out.begin(), out.end(),
                                  [&](const Retry& e) { return e.entry == r.entry; });
        if (known == out.end())
            out.push_back({r.entry, r.answer});
        else if (known->answer == 0)
            known->answer = r.answer;
    }
    // An answer may have come with a file of the entry that went.
    for (Retry& e : out)
        for (auto it = first; it != rows_.end() && e.answer == 0; ++it)
            if (it->record.entry == e.entry)
                e.answer = it->record.answer;
    return out;
}

devfiles::CopyRequest retryCopyRequest(const devfiles::CopyRequest& last,
                                       const std::vector<TransferLog::Retry>& entries) {
    devfiles::CopyRequest r = last;
    r.selected.clear();
    for (const devfiles::PaneEntry& e : last.selected)
        for (const TransferLog::Retry& retry : entries)
            if (retry.entry == e.name) {
                r.selected.push_back(e);
                if (retry.answer != 0)
                    r.answers[e.name] = retry.answer;
                break;
            }
    r.deleteConfirmed = true;
    return r;
}

ExportRequest retryExportRequest(const ExportRequest& last,
                                 const std::vector<TransferLog::Retry>& entries) {
    ExportRequest r = last;
    r.entries.clear();
    for (const ExportEntry& e : last.entries)
        for (const TransferLog::Retry& retry : entries)
            if (retry.entry == filenames::firstToken(e.text)) {
                r.entries.push_back(e);
                if (retry.answer != 0)
                    r.answers[retry.entry] = retry.answer;
                break;
            }
    return r;
}

int transferLogColumnTitle(int column) {
    return column >= 0 && column < kTransferLogColumns ? kTitles[column] : 0;
}

std::string transferLogCell(const TransferRecord& r, int column) {
    switch (column) {
    case 0:
        return QDateTime::fromMSecsSinceEpoch(r.timeMs)
            .toString("yyyy-MM-dd HH:mm:ss")
            .toStdString();
    case 1:
        return langText(directionText(r));
    case 2:
        return fileOf(r);
    case 3:
        return r.size < 0 ? std::string() : std::to_string(r.size);
    case 4:
        return langText(kTextFirstResult + static_cast<int>(r.result));
    case 5:
        return r.reason;
    default:
        return {};
    }
}

std::string transferLogCsv(const TransferLog& log) {
    std::string out;
    // The cells are the window's 8-bit texts; the file is UTF-8.
    auto utf8 = [](const std::string& text) { return toQt(text).toStdString(); };
    csv::appendRow(
        out, kTransferLogColumns, [&](int c) { return utf8(langText(transferLogColumnTitle(c))); },
        kSeparator);
    for (const TransferLog::Row& row : log.rows())
        csv::appendRow(
            out, kTransferLogColumns, [&](int c) { return utf8(transferLogCell(row.record, c)); },
            kSeparator);
    return out;
}
