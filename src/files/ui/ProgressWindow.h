#pragma once
// The progress window of a copy: the current file's bar, the whole copy's bar,
// the file name and the abort button. It is the sink the transfers report to:
// the abort button and the close box set its abort request (`copyAborted`,
// which also stops the running block transfer and ends an export).
#include "files/CopyProgress.h"

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

    explicit ProgressWindow(QWidget* parent = nullptr);

    void setFileStatus(double fraction) override;
    void setTotalStatus(double fraction) override;
    void setFileName(const std::string& name) override;
    void showProgress(bool visible) override;

    // For tests and the accessibility tree.
    int filePercent() const;
    int totalPercent() const;
    QString fileName() const;
    QPushButton* abortButton() const { return abortBtn_; }

signals:
    // The user asked to stop (abort button or close box).
    void abortPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void abort();
    void centreOverOwner();

    PercentBar* fileBar_;
    PercentBar* totalBar_;
    QLabel* fileNameLabel_;
    QPushButton* abortBtn_;
};
