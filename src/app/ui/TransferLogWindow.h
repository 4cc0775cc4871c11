#pragma once
// The transfer log: every file of every copy, move, delete and export since
// the program started, with Retry Failed for the last operation and Save as CSV.
#include <QDialog>
#include <functional>

class Host;
class QPushButton;
class QTableView;
class TransferLog;

class TransferLogWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTextMenu = 1177;
    static constexpr int kTextCaption = 1178;
    static constexpr int kTextRetry = 1182;
    static constexpr int kTextSave = 1183;
    static constexpr int kTextClose = 1184;

    TransferLogWindow(TransferLog& log, Host& host, QWidget* parent = nullptr);

    // What Retry Failed runs; the button is usable while this is set and the
    // last operation has failed or aborted files.
    void setRetry(std::function<void()> retry);
    // The log changed: its rows and the button again.
    void refresh();
    // Writes the log to the file the chooser names ("" cancels).
    void saveCsv();
    using FileChooser = std::function<QString()>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    QTableView* table() const { return view_; }
    QPushButton* retryButton() const { return retryBtn_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    class Model;

    TransferLog& log_;
    Host& host_;
    Model* model_;
    QTableView* view_;
    QPushButton* retryBtn_;
    std::function<void()> retry_;
    FileChooser chooseFile_;
};
