#include "files/ui/PercentBar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarHeightLines = 2;
} // namespace

PercentBar::PercentBar(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PercentBar::setFraction(double fraction) {
    fraction = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    if (fraction == fraction_)
        return;
    fraction_ = fraction;
    setAccessibleDescription(QString::number(percent()) + " %");
    update();
}

int PercentBar::percent() const {
    return static_cast<int>(fraction_ * 100.0);
}

QSize PercentBar::sizeHint() const {
    return {240, fontMetrics().height() * kBarHeightLines};
}

void PercentBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(frame, palette().base());
    QRect filled = frame;
    filled.setWidth(static_cast<int>(frame.width() * fraction_));
    p.fillRect(filled, palette().highlight());
    p.setPen(palette().mid().color());
    p.drawRect(frame);
    // The part of the figure over the fill takes the contrasting colour, so no
    // digit vanishes when the edge runs through it.
    const QString figure = QString::number(percent()) + " %";
    p.setClipRect(filled);
    p.setPen(palette().highlightedText().color());
    p.drawText(frame, Qt::AlignCenter, figure);
    p.setClipRect(frame.adjusted(filled.width(), 0, 0, 0));
    p.setPen(palette().text().color());
    p.drawText(frame, Qt::AlignCenter, figure);
}
