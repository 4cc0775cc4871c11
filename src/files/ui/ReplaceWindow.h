#pragma once
// The replace question: a modal window with the question, the size and date of
// both copies (the newer one marked) and the buttons Replace (1), Replace All
// (2), Skip (3) and Cancel (5). The close box and Escape answer 0, which the
// copy takes as Skip for that file.
#include "files/ReplacePrompt.h"

#include <QDialog>
#include <array>

class CopyProgress;
class QLabel;
class QPushButton;

class ReplaceWindow : public QDialog, public ReplaceAsker {
    Q_OBJECT
public:
    static constexpr int kTextCaption = 223;
    static constexpr int kTextReplace = 220;
    static constexpr int kTextReplaceAll = 221;
    static constexpr int kTextSkip = 222;
    static constexpr int kTextCancel = 224;
    static constexpr int kButtons = 6; // replaceBtn indices 1, 2, 3 and 5 are used
    static constexpr int kTextTitratorCopy = 1171;
    static constexpr int kTextPcCopy = 1172;
    static constexpr int kTextNewer = 1173;

    // progress: its file name is emptied when a button is pressed.
    explicit ReplaceWindow(QWidget* parent = nullptr, CopyProgress* progress = nullptr);

    int askReplace(const ReplaceQuestion& question) override;
    // Closes an open question with an answer (5 when the link is lost).
    void closeWith(int code);

    int replaceStatus() const { return status_; }
    QString question() const;
    // The lines on both copies; empty for a copy whose size and date are not known.
    QString titratorFacts() const;
    QString pcFacts() const;
    // replaceBtn(index); null for 0 and 4.
    QPushButton* button(int index) const;

private:
    void pressed(int index);
    void showFacts(const CopyFacts& facts);

    CopyProgress* progress_;
    QLabel* questionLabel_;
    QLabel* titratorFacts_;
    QLabel* pcFacts_;
    std::array<QPushButton*, kButtons> buttons_{};
    int status_ = 0;
};
