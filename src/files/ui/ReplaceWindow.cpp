#include "files/ui/ReplaceWindow.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "files/CopyProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "Titrator: 1,295 bytes, 2026-12-07 17:47 (newer)"
QString factsLine(int textIndex, const FileFacts& f, bool newer) {
    const std::string size = fromQt(QLocale().toString(static_cast<qlonglong>(f.size)));
    std::string line = formatMsg(langText(textIndex), {size, formatDateTime(*f.date)});
    if (newer)
        line += " " + langText(ReplaceWindow::kTextNewer);
    return uiText(line);
}

bool knows(const FileFacts& f) {
    return f.size >= 0 && f.date;
}

} // namespace

ReplaceWindow::ReplaceWindow(QWidget* parent, CopyProgress* progress)
    : QDialog(parent), progress_(progress), questionLabel_(new QLabel(this)) {
    setWindowTitle(uiText(langText(kTextCaption)));
    setModal(true);
    questionLabel_->setTextFormat(Qt::PlainText);
    questionLabel_->setWordWrap(true);
    questionLabel_->setMinimumWidth(360);
    titratorFacts_ = new QLabel(this);
    pcFacts_ = new QLabel(this);
    for (QLabel* l : {titratorFacts_, pcFacts_})
        l->setTextFormat(Qt::PlainText);
    auto* row = new QHBoxLayout;
    row->addStretch();
    const std::pair<int, int> captions[] = {{ReplacePrompt::Replace, kTextReplace},
                                            {ReplacePrompt::ReplaceAll, kTextReplaceAll},
                                            {ReplacePrompt::Skip, kTextSkip},
                                            {ReplacePrompt::Cancel, kTextCancel}};
    for (const auto& [index, text] : captions) {
        auto* b = new QPushButton(uiText(langText(text)), this);
        b->setAutoDefault(false);
        buttons_[index] = b;
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, i = index] { pressed(i); });
    }
    // Enter keeps the existing file: an overwrite always takes a deliberate choice.
    buttons_[ReplacePrompt::Skip]->setDefault(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(questionLabel_);
    column->addWidget(titratorFacts_);
    column->addWidget(pcFacts_);
    column->addLayout(row);
}

int ReplaceWindow::askReplace(const ReplaceQuestion& question) {
    questionLabel_->setText(uiText(question.text));
    showFacts(question.facts);
    status_ = ReplacePrompt::None;
    buttons_[ReplacePrompt::Skip]->setFocus();
    exec();
    return status_;
}

void ReplaceWindow::closeWith(int code) {
    status_ = code;
    if (isVisible())
        done(QDialog::Rejected);
}

void ReplaceWindow::pressed(int index) {
    status_ = index;
    if (progress_)
        progress_->setFileName("");
    accept();
}

QString ReplaceWindow::question() const {
    return questionLabel_->text();
}

QString ReplaceWindow::titratorFacts() const {
    return titratorFacts_->isHidden() ? QString() : titratorFacts_->text();
}

QString ReplaceWindow::pcFacts() const {
    return pcFacts_->isHidden() ? QString() : pcFacts_->text();
}

// The newer copy is marked and set in bold, so that Replace is an informed
// choice. A copy the listing says nothing of gets no line.
void ReplaceWindow::showFacts(const CopyFacts& facts) {
    const NewerCopy newer = newerCopy(facts);
    const std::pair<QLabel*, std::pair<const FileFacts*, NewerCopy>> lines[] = {
        {titratorFacts_, {&facts.titrator, NewerCopy::Titrator}},
        {pcFacts_, {&facts.pc, NewerCopy::Pc}}};
    for (const auto& [label, copy] : lines) {
        const bool shown = facts.known && knows(*copy.first);
        label->setVisible(shown);
        if (!shown)
            continue;
        const int text = label == titratorFacts_ ? kTextTitratorCopy : kTextPcCopy;
        label->setText(factsLine(text, *copy.first, newer == copy.second));
        QFont f = font();
        f.setBold(newer == copy.second);
        label->setFont(f);
    }
    adjustSize();
}

QPushButton* ReplaceWindow::button(int index) const {
    return index >= 0 && index < kButtons ? buttons_[index] : nullptr;
}
