#include "core/ui/GuiHost.h"

#include "core/Encoding.h"
#include "core/Language.h"

#include <QColor>
#include <QMessageBox>

QString uiText(const std::string& text) {
    QString t = toQt(text);
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    return t;
}

QString languageUiText(int index) {
    return uiText(langText(index));
}

QColor fromBgr(unsigned colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

namespace {

QMessageBox::Icon boxIcon(Host::Icon icon) {
    switch (icon) {
    case Host::Icon::Information:
        return QMessageBox::Information;
    case Host::Icon::Warning:
        return QMessageBox::Warning;
    case Host::Icon::Critical:
        return QMessageBox::Critical;
    case Host::Icon::Question:
        return QMessageBox::Question;
    case Host::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const std::string& title) {
    return title.empty() ? QStringLiteral("VELTRAN") : uiText(title);
}

} // namespace

void GuiHost::message(const std::string& text, const std::string& title, Icon icon) {
    QMessageBox box(boxIcon(icon), titleOr(title), uiText(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool GuiHost::askYesNo(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, titleOr(title), uiText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
