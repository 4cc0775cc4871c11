#include "files/ui/ProgressWindow.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "files/ui/PercentBar.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>

namespace {

std::string grouped(std::int64_t n) {
    return fromQt(QLocale().toString(static_cast<qlonglong>(n)));
}

// "h:mm:ss", or "m:ss" under an hour.
std::string duration(std::int64_t seconds) {
    const QString text = QString("%1:%2")
                             .arg(seconds / 60 % 60, seconds >= 3600 ? 2 : 1, 10, QChar('0'))
                             .arg(seconds % 60, 2, 10, QChar('0'));
    return fromQt(seconds >= 3600 ? QString::number(seconds / 3600) + ":" + text : text);
}

} // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog), fileBar_(new PercentBar(this)), totalBar_(new PercentBar(this)),
      fileNameLabel_(new QLabel(this)), bytesLabel_(new QLabel(this)),
      timeLeftLabel_(new QLabel(this)), abortBtn_(new QPushButton(this)) {
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
    grid->addWidget(bytesLabel_, 3, 0, 1, 2);
    grid->addWidget(timeLeftLabel_, 4, 0, 1, 2);
    grid->addWidget(abortBtn_, 5, 1, Qt::AlignRight);
    for (QLabel* l : {bytesLabel_, timeLeftLabel_})
        l->setTextFormat(Qt::PlainText);

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

void ProgressWindow::setTotalBytes(std::int64_t total) {
    known_ = total >= 0;
    doneBytes_ = fileLeft_ = entryLeft_ = 0;
    laterBytes_ = std::max<std::int64_t>(total, 0);
    clock_.start();
    showPace();
}

void ProgressWindow::setBytesAhead(std::int64_t entry, std::int64_t later) {
    fileLeft_ = 0;
    entryLeft_ = std::max<std::int64_t>(entry, 0);
    laterBytes_ = std::max<std::int64_t>(later, 0);
    showPace();
}

// A file the entry was not expected to hold (a report's companions, which the
// listing does not show) adds what its transfer announces.
void ProgressWindow::announced(std::size_t bytes) {
    fileLeft_ = static_cast<std::int64_t>(bytes);
    entryLeft_ = std::max<std::int64_t>(entryLeft_ - fileLeft_, 0);
    showPace();
}

void ProgressWindow::moved(std::size_t bytes) {
    doneBytes_ += static_cast<std::int64_t>(bytes);
    fileLeft_ = std::max<std::int64_t>(fileLeft_ - static_cast<std::int64_t>(bytes), 0);
    showPace();
}

void ProgressWindow::showPace() {
    if (!known_) {
        bytesLabel_->clear();
        timeLeftLabel_->clear();
        return;
    }
    const std::int64_t total = doneBytes_ + fileLeft_ + entryLeft_ + laterBytes_;
    const TransferPace pace = transferPace(doneBytes_, total, clock_.elapsed());
    bytesLabel_->setText(
        uiText(pace.bytesPerSecond > 0
                   ? formatMsg(langText(kTextBytesRate),
                               {grouped(doneBytes_), grouped(total),
                                grouped(static_cast<std::int64_t>(pace.bytesPerSecond + 0.5))})
                   : formatMsg(langText(kTextBytes), {grouped(doneBytes_), grouped(total)})));
    timeLeftLabel_->setText(pace.secondsLeft >= 0 ? uiText(formatMsg(langText(kTextTimeLeft),
                                                                     {duration(pace.secondsLeft)}))
                                                  : QString());
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

QString ProgressWindow::bytesText() const {
    return bytesLabel_->text();
}

QString ProgressWindow::timeLeftText() const {
    return timeLeftLabel_->text();
}
