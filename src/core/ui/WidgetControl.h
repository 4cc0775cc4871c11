#pragma once
// A widget as a layout sees it: its geometry in twips. The widget must not sit
// in a Qt layout of its own, or the two would fight over it.
#include "core/Layout.h"

#include <initializer_list>

class QPushButton;
class QString;
class QWidget;

class WidgetControl : public LayoutControl {
public:
    WidgetControl(QWidget& widget, TwipsScale scale) : widget_(widget), scale_(scale) {}

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void setLeft(int twips) override;
    void setTop(int twips) override;
    void setWidth(int twips) override;
    void setHeight(int twips) override;

    QWidget& widget() { return widget_; }

private:
    QWidget& widget_;
    TwipsScale scale_;
};

// The twips-per-pixel factors of the screen the widget is shown on.
TwipsScale screenTwipsScale(const QWidget& widget);

// Pixels a button needs to show each of the captions it takes in turn whole.
int widestCaption(QPushButton& button, std::initializer_list<QString> captions);
