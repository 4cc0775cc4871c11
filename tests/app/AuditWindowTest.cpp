// The audit window: opened from the File menu, filtered, exported, and the chain's verdict.
#include "app/ui/AuditWindow.h"

#include "SampleWindow.h"
#include "core/AuditLog.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

using panestest::Window;

namespace {

struct AuditFixture {
    Window win{false};
    std::filesystem::path log = win.dir.path() / AuditLog::kFileName;

    AuditFixture() {
        setAuditLog(std::make_unique<AuditLog>(log, "veltran"));
        struct Row {
            const char *time, *operation, *result, *name, *reason;
        };
        for (const Row& r :
             {Row{"2024-05-01T08:00:00.000Z", "get", "ok", "A.MTD", ""},
              Row{"2024-05-02T08:00:00.000Z", "put", "failed", "B.MTD", "disk full, \"quota\""},
              Row{"2024-05-03T08:00:00.000Z", "delete", "ok", "a.mtd", ""}}) {
            AuditEvent e;
            e.time = r.time;
            e.operation = r.operation;
            e.result = r.result;
            e.source = std::string("/lab/") + r.name;
            e.target = std::string("\\METHODS\\") + r.name;
            e.reason = r.reason;
            EXPECT_TRUE(recordAudit(e));
        }
    }
    ~AuditFixture() { setAuditLog(nullptr); }

    AuditWindow* open() {
        win.w->findChild<QAction*>("mnuFileAudit")->trigger();
        return win.w->findChild<AuditWindow*>("auditWindow");
    }
};

int rows(AuditWindow* a) {
    return a->findChild<QTableView*>("auditTable")->model()->rowCount();
}

std::string verdict(AuditWindow* a) {
    return a->findChild<QLabel*>("auditVerdict")->text().toStdString();
}

} // namespace

TEST(AuditWindow, TheFileMenuOpensTheLogFilteredAndExportedToCsv) {
    AuditFixture f;
    AuditWindow* a = f.open();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(rows(a), 4); // with the creation line
    EXPECT_EQ(verdict(a), "4 of 4 events shown. The chain is intact.");

    auto* file = a->findChild<QLineEdit*>("auditFile");
    auto* operation = a->findChild<QComboBox*>("auditOperation");
    auto* result = a->findChild<QComboBox*>("auditResult");
    auto choose = [](QComboBox* box, const QString& text) {
        box->setCurrentIndex(std::max(0, box->findText(text)));
    };
    file->setText("A.mtd");
    EXPECT_EQ(rows(a), 2);
    choose(operation, "delete");
    EXPECT_EQ(rows(a), 1);
    file->clear();
    choose(operation, "");
    choose(result, "failed");
    EXPECT_EQ(rows(a), 1);
    choose(result, "");
    a->findChild<QDateEdit*>("auditFrom")->setDate(QDate(2024, 5, 2));
    a->findChild<QDateEdit*>("auditTo")->setDate(QDate(2024, 5, 2));
    EXPECT_EQ(rows(a), 1);
    EXPECT_EQ(verdict(a), "1 of 4 events shown. The chain is intact.");

    const std::string csv = (f.win.dir.path() / "out.csv").string();
    a->setFileChooser([&] { return QString::fromStdString(csv); });
    a->exportCsv();
    const std::string out = f.win.dir.read("out.csv");
    const std::string header =
        "Time (UTC),Operation,Result,Source,Target,Size,SHA-256,Reason,User,Host,Program,Port,"
        "Titrator,Serial Number,Firmware\r\n";
    EXPECT_EQ(out.substr(0, header.size()), header);
    EXPECT_EQ(out.find("\r\n", header.size()), out.size() - 2) << out; // one row
    EXPECT_EQ(out.substr(header.size())
                  .rfind("2024-05-02T08:00:00.000Z,put,failed,/lab/B.MTD,\\METHODS\\B.MTD,,,"
                         "\"disk full, \"\"quota\"\"\",",
                         0),
              0u)
        << out;
    const std::size_t shown = f.win.host.messages.size();
    a->setFileChooser([&] { return QString::fromStdString(csv + "/none/x.csv"); });
    a->exportCsv();
    ASSERT_EQ(f.win.host.messages.size(), shown + 1);
    EXPECT_EQ(f.win.host.messages.back().text.rfind("The CSV file could not be written:", 0), 0u);
}

TEST(AuditWindow, TheVerdictNamesTheFirstBrokenLine) {
    AuditFixture f;
    std::string text = f.win.dir.read(AuditLog::kFileName);
    text.replace(text.find("B.MTD"), 5, "C.MTD");
    f.win.dir.write(AuditLog::kFileName, text);
    AuditWindow* a = f.open();
    EXPECT_EQ(verdict(a), "4 of 4 events shown. Line 3 breaks the chain: the log was changed or "
                          "damaged.");
    std::filesystem::remove(f.log);
    a->reload();
    EXPECT_EQ(verdict(a), "No events have been recorded yet.");
    EXPECT_EQ(rows(a), 0);
}
