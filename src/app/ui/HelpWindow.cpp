#include "app/ui/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName("helpWindow");
    setWindowTitle("VELTRAN Help");
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 620);
}

bool HelpWindow::openFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isReadable()) {
        browser_->setHtml(
            QStringLiteral("<h2>No help available</h2><p>The help file "
                           "<b>%1</b> could not be opened.</p>")
                .arg(path.isEmpty() ? QStringLiteral("(none configured)") : path.toHtmlEscaped()));
        return false;
    }
    browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

void HelpWindow::showTopic(int topic) {
    browser_->scrollToAnchor(QString::number(topic));
}
