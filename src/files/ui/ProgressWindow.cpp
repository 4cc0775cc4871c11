#include "files/ui/ProgressWindow.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "core/ui/GuiHost.h"
#include "files/ui/PercentBar.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog), fileBar_(new PercentBar(this)), totalBar_(new PercentBar(this)),
      fileNameLabel_(new QLabel(this)), abortBtn_(new QPushButton(this)) {
    setWindowTitle(uiText(langText(kTextCaption)));
    auto* fileCaption = new QLabel(uiText(langText(kTextFileBar)), this);
    auto* totalCaption = new QLabel(uiText(langText(kTextTotalBar)), this);
    fileCaption->setBuddy(fileBar_);
    totalCaption->setBuddy(totalBar_);
    fileBar_->setAccessibleName(fileCaption->text());
    totalBar_->setAccessibleName(totalCaption->text());
    fileNameLabel_->setTextFormat(Qt::PlainText);
    fileNameLabel_->setMinimumWidth(fileBar_->sizeHint().width());
    abortBtn_->setText(uiText(langText(kTextAbort)));
    abortBtn_->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(fileNameLabel_, 0, 0, 1, 2);
    grid->addWidget(fileCaption, 1, 0);
    grid->addWidget(fileBar_, 1, 1);
    grid->addWidget(totalCaption, 2, 0);
    grid->addWidget(totalBar_, 2, 1);
    grid->addWidget(abortBtn_, 3, 1, Qt::AlignRight);

    connect(abortBtn_, &QPushButton::clicked, this, [this] { abort(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { abort(); });
}

void ProgressWindow::abort() {
    requestAbort();
    emit abortPressed();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    abort();
    event->accept();
}

void ProgressWindow::setFileStatus(double fraction) {
    fileBar_->setFraction(fraction);
}

void ProgressWindow::setTotalStatus(double fraction) {
    totalBar_->setFraction(fraction);
}

void ProgressWindow::setFileName(const std::string& name) {
    fileNameLabel_->setText(toQt(name));
}

void ProgressWindow::showProgress(bool visible) {
    if (visible) {
        if (!isVisible())
            centreOverOwner();
        show();
        raise();
        abortBtn_->setFocus();
    } else {
        hide();
    }
}

// Without this a window manager (or none) may put it in a corner, far from the copy.
void ProgressWindow::centreOverOwner() {
    if (!parentWidget())
        return;
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    move(parentWidget()->window()->geometry().center() - rect().center());
}

int ProgressWindow::filePercent() const {
    return fileBar_->percent();
}

int ProgressWindow::totalPercent() const {
    return totalBar_->percent();
}

QString ProgressWindow::fileName() const {
    return fileNameLabel_->text();
}
