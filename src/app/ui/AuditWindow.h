#pragma once
// The audit log as a table, filtered by dates, file name, operation and result,
// with an export of the rows shown to CSV.
#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>

class Host;
class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
struct AuditTable;

class AuditWindow : public QDialog {
    Q_OBJECT
public:
    AuditWindow(std::filesystem::path log, Host& host, QWidget* parent = nullptr);
    ~AuditWindow() override;

    // Reads the log again; the dates span its events.
    void reload();
    void applyFilter();
    // Writes the rows shown to a file the chooser names ("" cancels).
    void exportCsv();
    using FileChooser = std::function<QString()>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

private:
    class Model;
    void fillChoices(QComboBox* box, int column);

    std::filesystem::path log_;
    Host& host_;
    std::unique_ptr<AuditTable> table_;
    Model* model_;
    QDateEdit* from_;
    QDateEdit* to_;
    QLineEdit* file_;
    QComboBox* operation_;
    QComboBox* result_;
    QLabel* verdict_;
    QTableView* view_;
    FileChooser chooseFile_;
};

// The menu entry that opens the window on the process's audit log.
QAction* addAuditMenuEntry(QMenu* menu, Host& host, QWidget* parent);
