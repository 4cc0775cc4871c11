#include "cli/JsonLines.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "files/TitratorFiles.h"
#include "files/TransferRecords.h"
#include "link/LinkMonitor.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <filesystem>
#include <ostream>

namespace {

// Titrator names and language texts are 8-bit; "" and -1 say "not known".
QJsonValue text(const std::string& bytes) {
    return bytes.empty() ? QJsonValue() : QJsonValue(toQt(bytes));
}

QJsonValue number(std::int64_t n) {
    return n < 0 ? QJsonValue() : QJsonValue(static_cast<qint64>(n));
}

const char* directionWord(TransferDirection d) {
    switch (d) {
    case TransferDirection::ToPc:
        return "to-pc";
    case TransferDirection::ToTitrator:
        return "to-titrator";
    case TransferDirection::OnPc:
        return "on-pc";
    case TransferDirection::OnTitrator:
        return "on-titrator";
    }
    return "to-pc";
}

} // namespace

void writeJsonLine(std::ostream& out, const QJsonObject& object) {
    out << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << "\n" << std::flush;
}

QJsonObject listedFileJson(const std::string& line) {
    const devfiles::ListedFile f = devfiles::listedFile(line);
    return {{"file", text(f.name)},
            {"size", number(f.size)},
            {"date", text(devfiles::recordDate(f.date))},
            {"line", toQt(line)}};
}

QJsonObject identityJson(const TitratorIdentity& id) {
    return {{"model", toQt(id.idText)},
            {"typeCode", id.typeCode},
            {"titType", id.titType},
            {"modelCode", QString::fromStdString(std::string(modelCodeName(id.modelCode)))},
            {"series", QString::fromStdString(std::string(seriesName(id.seriesCode)))},
            {"firmware",
             QString::fromStdString(num::fixed(static_cast<double>(id.firmwareVersion), 2))}};
}

QJsonObject recordJson(const TransferRecord& r) {
    // An export's file is its report; the CSV it wrote is the path.
    const std::string file = r.operation == TransferOperation::Export ? r.entry
                             : !r.titratorName.empty()
                                 ? r.titratorName
                                 : std::filesystem::path(r.pcName).filename().string();
    return {
        {"time", QDateTime::fromMSecsSinceEpoch(r.timeMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {"operation", operationWord(r.operation)},
        {"direction", directionWord(r.direction)},
        {"file", text(file)},
        {"entry", text(r.entry)},
        {"path", r.pcName.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(r.pcName))},
        {"size", number(r.size)},
        {"date", text(r.date)},
        {"sha256", text(r.sha256)},
        {"result", outcomeWord(r.result)},
        {"reason", text(r.reason)}};
}

void JsonRecords::record(const TransferRecord& r) {
    writeJsonLine(out_, recordJson(r));
}
