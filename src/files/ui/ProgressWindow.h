#pragma once
// The progress window of a copy: the current file's bar, the whole copy's bar,
// the file name, the bytes done of the total with the line's rate and the time
// left, and the abort button. It is the sink the transfers report to:
// the abort button and the close box set its abort request (`copyAborted`,
// which also stops the running block transfer and ends an export).
#include "files/CopyProgress.h"

#include <QElapsedTimer>
#include <QWidget>

class PercentBar;
class QLabel;
class QPushButton;

class ProgressWindow : public QWidget, public CopyProgress {
    Q_OBJECT
public:
    static constexpr int kTextCaption = 209;
    static constexpr int kTextFileBar = 210;
    static constexpr int kTextTotalBar = 211;
    static constexpr int kTextAbort = 208;
    static constexpr int kTextBytesRate = 1174;
    static constexpr int kTextBytes = 1175;
    static constexpr int kTextTimeLeft = 1176;

    explicit ProgressWindow(QWidget* parent = nullptr);

    void setFileStatus(double fraction) override;
    void setTotalStatus(double fraction) override;
    void setFileName(const std::string& name) override;
    void showProgress(bool visible) override;
    void setTotalBytes(std::int64_t total) override;
    void setBytesAhead(std::int64_t entry, std::int64_t later) override;
    void announced(std::size_t bytes) override;
    void moved(std::size_t bytes) override;

    // For tests and the accessibility tree.
    int filePercent() const;
    int totalPercent() const;
    QString fileName() const;
    QString bytesText() const;
    QString timeLeftText() const;
    QPushButton* abortButton() const { return abortBtn_; }

signals:
    // The user asked to stop (abort button or close box).
    void abortPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void abort();
    void centreOverOwner();
    void showPace();

    PercentBar* fileBar_;
    PercentBar* totalBar_;
    QLabel* fileNameLabel_;
    QLabel* bytesLabel_;
    QLabel* timeLeftLabel_;
    QPushButton* abortBtn_;
    // What is left is the file in hand's rest, the rest of what its entry was
    // expected to move, and the entries after it.
    bool known_ = false;
    std::int64_t doneBytes_ = 0;
    std::int64_t fileLeft_ = 0, entryLeft_ = 0, laterBytes_ = 0;
    QElapsedTimer clock_; // since the operation began
};
