#include "cli/SyncState.h"

#include "core/AtomicFile.h"
#include "core/RegularFile.h"
#include "core/Text.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace fs = std::filesystem;

namespace {

constexpr char kFormat[] = "veltran-sync 1";
constexpr std::size_t kMaxStateBytes = 64 * 1024 * 1024;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The entry of one report, or false when the object is not one.
bool reportOf(const QJsonValue& value, CollectedReport& r) {
    const QJsonObject o = value.toObject();
    const QJsonValue size = o.value("size");
    if (!value.isObject() || !o.value("titrator").isString() || !o.value("file").isString() ||
        !size.isDouble() || size.toDouble() != double(size.toInteger()) ||
        !o.value("date").isString())
        return false;
    r.titrator = o.value("titrator").toString().toStdString();
    r.file = o.value("file").toString().toStdString();
    r.size = size.toInteger();
    r.date = o.value("date").toString().toStdString();
    r.sha256 = o.value("sha256").toString().toStdString();
    r.collected = o.value("collected").toString().toStdString();
    return !r.titrator.empty() && !r.file.empty();
}

// "" when the text is a state file (its reports in `reports`), else what is wrong.
std::string parseState(const std::string& text, std::vector<CollectedReport>& reports) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (doc.isNull())
        return error.errorString().toStdString() + " at byte " + std::to_string(error.offset);
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("format").toString() != kFormat ||
        !root.value("reports").isArray())
        return "not a state file of this program";
    for (const QJsonValue& v : root.value("reports").toArray()) {
        CollectedReport r;
        if (!reportOf(v, r))
            return "a report entry is incomplete";
        reports.push_back(r);
    }
    return {};
}

std::string stateText(const std::vector<CollectedReport>& reports) {
    QJsonArray list;
    for (const CollectedReport& r : reports)
        list.append(QJsonObject{{"titrator", q(r.titrator)},
                                {"file", q(r.file)},
                                {"size", static_cast<qint64>(r.size)},
                                {"date", q(r.date)},
                                {"sha256", q(r.sha256)},
                                {"collected", q(r.collected)}});
    return QJsonDocument(QJsonObject{{"format", kFormat}, {"reports", list}})
        .toJson(QJsonDocument::Indented)
        .toStdString();
}

// Beside the damaged file, under a name no other file has.
fs::path asideName(const fs::path& file) {
    const std::string stamp =
        QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
    fs::path aside = file.string() + ".damaged-" + stamp;
    std::error_code ec;
    for (int n = 2; fs::exists(fs::symlink_status(aside, ec)); ++n)
        aside = file.string() + ".damaged-" + stamp + "-" + std::to_string(n);
    return aside;
}

} // namespace

SyncState::SyncState(fs::path folder) : file_(std::move(folder) / kFileName) {}

bool SyncState::load(std::string& note, std::string& error) {
    reports_.clear();
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file_, ec)))
        return true;
    std::string text;
    if (!readRegularFile(file_, kMaxStateBytes, text, error))
        return false;
    const std::string wrong = parseState(text, reports_);
    if (wrong.empty())
        return true;
    reports_.clear();
    const fs::path aside = asideName(file_);
    fs::rename(file_, aside, ec);
    if (ec) {
        error = file_.string() + " cannot be read (" + wrong + ") nor kept aside: " + ec.message();
        return false;
    }
    note = file_.string() + " cannot be read (" + wrong + "): kept as " +
           aside.filename().string() + "; collecting starts afresh";
    return true;
}

bool SyncState::has(const CollectedReport& r) const {
    for (const CollectedReport& c : reports_)
        if (c.titrator == r.titrator && text::upper(c.file) == text::upper(r.file) &&
            c.size == r.size && c.date == r.date)
            return true;
    return false;
}

bool SyncState::add(const CollectedReport& report, std::string& error) {
    if (!has(report))
        reports_.push_back(report);
    return writeFileAtomically(file_, stateText(reports_), &error);
}
