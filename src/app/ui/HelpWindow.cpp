#include "app/ui/HelpWindow.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kTextCaption = 122;
constexpr int kTextNoHelp = 123;
constexpr int kTextCannotOpen = 124;
constexpr int kTextNoHelpFile = 314;

QString messageHtml(int index, const std::vector<std::string>& args = {}) {
    return uiText(formatMsg(langText(index), args)).toHtmlEscaped().replace('\n', "<br>");
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName("helpWindow");
    setWindowTitle(languageUiText(kTextCaption));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 620);
}

bool HelpWindow::openFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isReadable()) {
        const QString why = path.isEmpty() ? messageHtml(kTextNoHelpFile)
                                           : messageHtml(kTextCannotOpen, {fromQt(path)});
        browser_->setHtml("<h2>" + messageHtml(kTextNoHelp) + "</h2><p>" + why + "</p>");
        return false;
    }
    browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

void HelpWindow::showTopic(int topic) {
    browser_->scrollToAnchor(QString::number(topic));
}
