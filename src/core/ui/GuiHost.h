#pragma once
#include "core/Host.h"

class QWidget;

// Message boxes over a parent window.
class GuiHost : public Host {
public:
    explicit GuiHost(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const std::string& text, const std::string& title, Icon icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;

private:
    QWidget* parent_;
};

class QColor;
class QString;
// A language or message text for a widget: 8-bit to Unicode, carriage returns as line breaks.
QString uiText(const std::string& text);
// Language text n for a widget.
QString languageUiText(int index);
// A 24-bit colour stored in the order blue, green, red.
QColor fromBgr(unsigned colour);
