#pragma once
// JSON Lines on stdout for scripts: one compact object a line, written through
// QJsonDocument. The field names are a contract (README, "JSON output").
#include "core/TransferRecord.h"

#include <QJsonObject>
#include <iosfwd>
#include <string>

struct TitratorIdentity;

void writeJsonLine(std::ostream& out, const QJsonObject& object);

// {"file", "size", "date", "line"} of a titrator listing line.
QJsonObject listedFileJson(const std::string& line);
// {"model", "typeCode", "titType", "modelCode", "series", "firmware"}.
QJsonObject identityJson(const TitratorIdentity& id);
// {"time", "operation", "direction", "file", "entry", "path", "size", "date",
//  "sha256", "result", "reason"}.
QJsonObject recordJson(const TransferRecord& r);

// Each record as a line on `out`.
class JsonRecords : public TransferObserver {
public:
    explicit JsonRecords(std::ostream& out) : out_(out) {}
    void record(const TransferRecord& r) override;

private:
    std::ostream& out_;
};
