#include "core/AuditEvent.h"

#include "core/Sha256.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <climits>

namespace {

struct TextField {
    const char* key;
    std::string AuditEvent::*member;
};

constexpr TextField kTextFields[] = {
    {"time", &AuditEvent::time},         {"user", &AuditEvent::user},
    {"host", &AuditEvent::host},         {"program", &AuditEvent::program},
    {"version", &AuditEvent::version},   {"port", &AuditEvent::port},
    {"titrator", &AuditEvent::titrator}, {"serial", &AuditEvent::serial},
    {"firmware", &AuditEvent::firmware}, {"operation", &AuditEvent::operation},
    {"source", &AuditEvent::source},     {"target", &AuditEvent::target},
    {"sha256", &AuditEvent::sha256},     {"result", &AuditEvent::result},
    {"reason", &AuditEvent::reason},
};
constexpr char kSize[] = "size";
constexpr char kPrev[] = "prev";
constexpr char kHash[] = "hash";

// The content a line's own hash covers: every key but "hash" with its value,
// each length-prefixed. Built from the values, not the bytes, so that it does
// not depend on how a JSON library spaces or escapes them.
bool canonicalContent(const QJsonObject& object, QByteArray& out) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QLatin1String(kHash))
            continue;
        QByteArray value;
        const QJsonValue v = it.value();
        if (v.isString())
            value = 's' + v.toString().toUtf8();
        else if (v.isNull())
            value = "z";
        else if (v.isDouble() && v.toInteger(LLONG_MIN) != LLONG_MIN)
            value = 'n' + QByteArray::number(v.toInteger());
        else
            return false;
        const QByteArray key = it.key().toUtf8();
        out += QByteArray::number(key.size()) + ':' + key + QByteArray::number(value.size()) + ':' +
               value;
    }
    return true;
}

std::string contentHash(const QJsonObject& object, bool& ok) {
    QByteArray content;
    ok = canonicalContent(object, content);
    return ok ? sha256Hex(std::string_view(content.constData(), std::size_t(content.size())))
              : std::string();
}

bool isSha256Text(const QJsonValue& v) {
    const QString s = v.toString();
    if (!v.isString() || s.size() != 64)
        return false;
    for (QChar c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

std::string auditLineText(const AuditEvent& event, const std::string& prevSha) {
    QJsonObject object;
    for (const TextField& f : kTextFields)
        object.insert(QLatin1String(f.key), QString::fromStdString(event.*f.member));
    object.insert(QLatin1String(kSize),
                  event.size < 0 ? QJsonValue() : QJsonValue(qint64(event.size)));
    object.insert(QLatin1String(kPrev), QString::fromStdString(prevSha));
    bool ok = false;
    object.insert(QLatin1String(kHash), QString::fromStdString(contentHash(object, ok)));
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

bool parseAuditLine(std::string_view text, AuditLine& line, std::string& reason,
                    bool checkOwnHash) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(text.data(), qsizetype(text.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        reason =
            doc.isNull() ? "not JSON: " + error.errorString().toStdString() : "not a JSON object";
        return false;
    }
    const QJsonObject object = doc.object();
    for (const TextField& f : kTextFields) {
        const QJsonValue v = object.value(QLatin1String(f.key));
        if (!v.isString()) {
            reason = std::string("\"") + f.key + "\" is missing or not a text";
            return false;
        }
        line.event.*f.member = v.toString().toStdString();
    }
    const QJsonValue size = object.value(QLatin1String(kSize));
    if (!size.isNull() && size.toInteger(-1) < 0) {
        reason = "\"size\" is missing or not a byte count";
        return false;
    }
    line.event.size = size.isNull() ? -1 : size.toInteger();
    for (const char* key : {kPrev, kHash})
        if (!isSha256Text(object.value(QLatin1String(key)))) {
            reason = std::string("\"") + key + "\" is missing or not a SHA-256";
            return false;
        }
    line.prev = object.value(QLatin1String(kPrev)).toString().toStdString();
    line.hash = object.value(QLatin1String(kHash)).toString().toStdString();
    bool ok = false;
    if (checkOwnHash && contentHash(object, ok) != line.hash) {
        reason = ok ? "its content does not match its hash (edited)"
                    : "a field holds a list or an object";
        return false;
    }
    return true;
}

AuditEvent configChangeEvent(const std::string& section, const std::string& key,
                             const std::string& before, const std::string& after, bool written) {
    AuditEvent e;
    e.operation = audit::kConfig;
    const std::string name = "[" + section + "] " + key + "=";
    e.source = name + before;
    e.target = name + after;
    e.result = written ? audit::kOk : audit::kFailed;
    return e;
}
