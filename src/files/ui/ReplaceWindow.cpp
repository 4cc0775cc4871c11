#include "files/ui/ReplaceWindow.h"

#include "core/Language.h"
#include "core/ui/GuiHost.h"
#include "files/CopyProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ReplaceWindow::ReplaceWindow(QWidget* parent, CopyProgress* progress)
    : QDialog(parent), progress_(progress), questionLabel_(new QLabel(this)) {
    setWindowTitle(uiText(langText(kTextCaption)));
    setModal(true);
    questionLabel_->setTextFormat(Qt::PlainText);
    questionLabel_->setWordWrap(true);
    questionLabel_->setMinimumWidth(360);
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
    column->addLayout(row);
}

int ReplaceWindow::askReplace(const std::string& question) {
    questionLabel_->setText(uiText(question));
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

QPushButton* ReplaceWindow::button(int index) const {
    return index >= 0 && index < kButtons ? buttons_[index] : nullptr;
}
