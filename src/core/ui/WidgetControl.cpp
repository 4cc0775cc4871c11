#include "core/ui/WidgetControl.h"

#include <QPushButton>
#include <QWidget>
#include <algorithm>

int WidgetControl::Left() const {
    return scale_.pixelsToTwipsX(widget_.x());
}
int WidgetControl::Top() const {
    return scale_.pixelsToTwipsY(widget_.y());
}
int WidgetControl::Width() const {
    return scale_.pixelsToTwipsX(widget_.width());
}
int WidgetControl::Height() const {
    return scale_.pixelsToTwipsY(widget_.height());
}
void WidgetControl::setLeft(int twips) {
    widget_.move(scale_.twipsToPixelsX(twips), widget_.y());
}
void WidgetControl::setTop(int twips) {
    widget_.move(widget_.x(), scale_.twipsToPixelsY(twips));
}
void WidgetControl::setWidth(int twips) {
    widget_.resize(scale_.twipsToPixelsX(twips), widget_.height());
}
void WidgetControl::setHeight(int twips) {
    widget_.resize(widget_.width(), scale_.twipsToPixelsY(twips));
}

TwipsScale screenTwipsScale(const QWidget& widget) {
    return TwipsScale::fromDpi(widget.logicalDpiX(), widget.logicalDpiY());
}

int widestCaption(QPushButton& button, std::initializer_list<QString> captions) {
    const QString shown = button.text();
    int widest = 0;
    for (const QString& caption : captions) {
        button.setText(caption);
        widest = std::max(widest, button.sizeHint().width());
    }
    button.setText(shown);
    return widest;
}
