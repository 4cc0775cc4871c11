#include "documents/ReportDatabase.h"

#include "core/Encoding.h"
#include "core/Numbers.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> connectionCount{0};

QSqlDatabase database(const std::string& connection) {
    return QSqlDatabase::database(QString::fromStdString(connection), false);
}

// SQLite's own result code when there is one (14 cannot open, 26 not a database).
int errorNumber(const QSqlError& e) {
    const auto code = num::parseInteger(e.nativeErrorCode().toStdString());
    return code && *code > 0 && *code < 100000 ? static_cast<int>(*code) : EIO;
}

} // namespace

ReportDatabase::ReportDatabase(const std::filesystem::path& file)
    : connection_("veltran-report-" + std::to_string(++connectionCount)), file_(file) {
    if (!QSqlDatabase::isDriverAvailable("QSQLITE")) {
        error_.set(ENOSYS, "the SQLite database driver of Qt is not installed");
        return;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", QString::fromStdString(connection_));
    db.setDatabaseName(QString::fromStdString(file.string()));
    if (!db.open()) {
        fail("cannot open");
        return;
    }
    // Reading the schema is the first access that tells a foreign file from a database.
    QSqlQuery q(db);
    if (!q.exec("CREATE TABLE IF NOT EXISTS Report(line INTEGER, text TEXT)"))
        fail("cannot prepare the table Report in", q.lastError());
}

ReportDatabase::~ReportDatabase() {
    {
        QSqlDatabase db = database(connection_);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromStdString(connection_));
}

bool ReportDatabase::fail(const std::string& what) {
    return fail(what, database(connection_).lastError());
}

// A query's own error: the connection knows nothing of it ("file is not a database").
bool ReportDatabase::fail(const std::string& what, const QSqlError& e) {
    error_.set(errorNumber(e),
               what + " the report database " + file_.string() + ": " + e.text().toStdString());
    return false;
}

bool ReportDatabase::EmptySettingsMDB() {
    if (!isOpen())
        return false;
    QSqlQuery q(database(connection_));
    if (!q.exec("DELETE FROM Report")) {
        error_.set(errorNumber(q.lastError()), "cannot empty the table Report of " +
                                                   file_.string() + ": " +
                                                   q.lastError().text().toStdString());
        return false;
    }
    return true;
}

bool ReportDatabase::PutSettingsIntoMDB(const std::vector<std::string>& lines, std::size_t count) {
    if (!isOpen())
        return false;
    QSqlDatabase db = database(connection_);
    // One transaction: thousands of rows in one write, and no half-filled table.
    if (!db.transaction())
        return fail("cannot write");
    QSqlQuery q(db);
    q.prepare("INSERT INTO Report VALUES (?, ?)");
    for (std::size_t i = 1; i <= count && i <= lines.size(); ++i) {
        q.bindValue(0, static_cast<qlonglong>(i));
        q.bindValue(1, toQt(lines[i - 1]));
        if (!q.exec()) {
            const QSqlError e = q.lastError();
            db.rollback();
            error_.set(errorNumber(e), "cannot add line " + std::to_string(i) + " to " +
                                           file_.string() + ": " + e.text().toStdString());
            return false;
        }
    }
    return db.commit() || fail("cannot write");
}

bool ReportDatabase::readLines(std::vector<std::string>& lines) {
    lines.clear();
    if (!isOpen())
        return false;
    QSqlQuery q(database(connection_));
    q.setForwardOnly(true);
    if (!q.exec("SELECT * FROM Report ORDER BY 1"))
        return fail("cannot read", q.lastError());
    while (q.next())
        lines.push_back(fromQt(q.value(1).toString()));
    return true;
}

std::size_t ReportDatabase::rowCount() {
    if (!isOpen())
        return 0;
    QSqlQuery q(database(connection_));
    if (!q.exec("SELECT COUNT(*) FROM Report") || !q.next())
        return 0;
    return static_cast<std::size_t>(q.value(0).toLongLong());
}

bool MainEmptySettingsMDB(const std::filesystem::path& database, PrintError& error) {
    ReportDatabase db(database);
    const bool ok = db.EmptySettingsMDB();
    error = db.error();
    return ok;
}

bool MainPutSettingsIntoMDB(const std::filesystem::path& database,
                            const std::vector<std::string>& lines, std::size_t count,
                            PrintError& error) {
    ReportDatabase db(database);
    const bool ok = db.PutSettingsIntoMDB(lines, count);
    error = db.error();
    return ok;
}
