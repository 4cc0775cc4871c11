#pragma once
// The per-file records of the file service: the reason texts a record carries,
// and the time stamp it gets.
#include "core/Dates.h"
#include "core/TransferRecord.h"
#include "link/Transfer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace devfiles {

// Reasons (language texts) of records.
constexpr int kTextReasonNoAnswer = 1198;
constexpr int kTextReasonGarbled = 1199;
constexpr int kTextReasonLinkFailed = 1200;
constexpr int kTextReasonBusy = 1202;
constexpr int kTextReasonPcFile = 1203;
constexpr int kTextReasonName = 1204;
constexpr int kTextReasonNoMemory = 1205;
constexpr int kTextReasonUnsuited = 1206;
constexpr int kTextReasonType = 1207;
constexpr int kTextReasonSize = 1208;       // %v received, %v listed
constexpr int kTextReasonNotDeleted = 1209; // a move whose source stayed

// The language text of reason n, filled with args.
std::string reasonText(int n, const std::vector<std::string>& args = {});
// Why a transfer that ended with r did not go.
std::string transferReason(TransferResult r);
// What a record says of a transfer that ended with r.
TransferOutcome outcomeOf(TransferResult r);

// A record's date: "2026-12-07T17:47", or "" when not known.
std::string recordDate(const std::optional<DateTime>& date);

// Milliseconds since 1970-01-01 UTC now.
std::int64_t recordTimeNow();

} // namespace devfiles
