#include "core/Layout.h"

#include <algorithm>

namespace {

std::int16_t toShort(int value) {
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

std::uint8_t toWeight(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, Layout::kMaxWeight));
}

// A size computed from a window smaller than its paddings must not go negative.
int nonNegative(double value) {
    return std::max(0, roundHalfEven(value));
}

std::int16_t bounded(int value, std::int16_t low, std::int16_t high) {
    if (value <= low)
        return low;
    if (value >= high)
        return high;
    return toShort(value);
}

} // namespace

Layout::Layout(int lType, TwipsScale scale) : lType_(lType), scale_(scale) {}

void Layout::setTop(int value) {
    top_ = toShort(value);
}
void Layout::setLeft(int value) {
    left_ = toShort(value);
}
void Layout::setWidth(int value) {
    width_ = bounded(value, minWidth_, maxWidth_);
}
void Layout::setHeight(int value) {
    height_ = bounded(value, minHeight_, maxHeight_);
}
void Layout::setSpacing(int value) {
    spacing_ = toShort(value);
}
void Layout::setTopPadding(int value) {
    topPadding_ = toShort(value);
}
void Layout::setLeftPadding(int value) {
    leftPadding_ = toShort(value);
}
void Layout::setRightPadding(int value) {
    rightPadding_ = toShort(value);
}
void Layout::setBottomPadding(int value) {
    bottomPadding_ = toShort(value);
}
void Layout::setPadding(int value) {
    topPadding_ = leftPadding_ = rightPadding_ = bottomPadding_ = toShort(value);
}
void Layout::setMinWidth(int value) {
    minWidth_ = toShort(value);
}
void Layout::setMinHeight(int value) {
    minHeight_ = toShort(value);
}
void Layout::setMaxWidth(int value) {
    maxWidth_ = toShort(value);
}
void Layout::setMaxHeight(int value) {
    maxHeight_ = toShort(value);
}

void Layout::appendItem(LayoutControl& control, int widthWeight, int heightWeight) {
    items_.push_back({&control, nullptr, toWeight(widthWeight), toWeight(heightWeight)});
}

void Layout::appendItem(Layout& layout, int widthWeight, int heightWeight) {
    items_.push_back({nullptr, &layout, toWeight(widthWeight), toWeight(heightWeight)});
}

// Controls answer in twips, layouts in pixels; the chain of positions needs
// both in one unit, or a control after a nested layout lands at 15 times its place.
int Layout::leftPx(const Item& item) const {
    return item.layout ? item.layout->Left() : scale_.twipsToPixelsX(item.control->Left());
}
int Layout::topPx(const Item& item) const {
    return item.layout ? item.layout->Top() : scale_.twipsToPixelsY(item.control->Top());
}
int Layout::widthPx(const Item& item) const {
    return item.layout ? item.layout->Width() : scale_.twipsToPixelsX(item.control->Width());
}
int Layout::heightPx(const Item& item) const {
    return item.layout ? item.layout->Height() : scale_.twipsToPixelsY(item.control->Height());
}
int Layout::rightPx(const Item& item) const {
    if (item.layout)
        return item.layout->Left() + item.layout->Width();
    return scale_.twipsToPixelsX(item.control->Left() + item.control->Width());
}
int Layout::bottomPx(const Item& item) const {
    if (item.layout)
        return item.layout->Top() + item.layout->Height();
    return scale_.twipsToPixelsY(item.control->Top() + item.control->Height());
}
int Layout::leftTwips(const Item& item) const {
    return item.control ? item.control->Left() : scale_.pixelsToTwipsX(item.layout->Left());
}
int Layout::topTwips(const Item& item) const {
    return item.control ? item.control->Top() : scale_.pixelsToTwipsY(item.layout->Top());
}

void Layout::show() {
    if (lType_ == Row)
        showRow();
    else if (lType_ == Column)
        showColumn();
}

void Layout::showRow() {
    const int x0 = left_ + leftPadding_;
    const int y0 = top_ + topPadding_;
    const double H = height_ - topPadding_ - bottomPadding_;
    double W = width_ - leftPadding_ - rightPadding_ - (count() - 1) * spacing_;
    int sum = 0;
    for (const Item& item : items_) {
        if (item.widthWeight != 0)
            sum += item.widthWeight;
        else
            W -= widthPx(item);
    }
    const double U = sum != 0 ? W / sum : W;
    // Tested on W, not U: a small negative W divided by the weights would pass.
    if (x0 < 0 || y0 < 0 || W < 0 || H < 0 || count() < 1)
        return;

    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        const Item* prev = i > 0 ? &items_[i - 1] : nullptr;
        if (item.control) {
            LayoutControl& c = *item.control;
            if (!prev) {
                c.setLeft(scale_.pixelsToTwipsX(x0));
                c.setTop(scale_.pixelsToTwipsY(y0));
            } else {
                c.setLeft(scale_.pixelsToTwipsX(rightPx(*prev) + spacing_));
                c.setTop(topTwips(*prev));
            }
            if (item.widthWeight != 0)
                c.setWidth(scale_.pixelsToTwipsX(nonNegative(item.widthWeight * U)));
            c.setHeight(scale_.pixelsToTwipsY(nonNegative(H - bottomPadding_)));
        } else {
            Layout& l = *item.layout;
            if (!prev) {
                l.setLeft(x0);
                l.setTop(y0);
                l.setHeight(nonNegative(H - bottomPadding_));
            } else {
                l.setLeft(rightPx(*prev) + spacing_);
                l.setTop(topPx(*prev));
                l.setHeight(nonNegative(H));
            }
            if (item.widthWeight != 0)
                l.setWidth(nonNegative(item.widthWeight * U));
            l.show();
        }
    }
}

void Layout::showColumn() {
    const int x0 = left_ + leftPadding_;
    const int y0 = top_ + topPadding_;
    const double W = width_ - leftPadding_ - rightPadding_;
    double H = height_ - topPadding_ - bottomPadding_ - count() * spacing_;
    int sum = 0;
    for (const Item& item : items_) {
        if (item.heightWeight != 0)
            sum += item.heightWeight;
        else
            H -= heightPx(item);
    }
    const double U = sum != 0 ? H / sum : H;
    if (x0 < 0 || y0 < 0 || W < 0 || H < 0 || count() < 1)
        return;

    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        const Item* prev = i > 0 ? &items_[i - 1] : nullptr;
        if (item.control) {
            LayoutControl& c = *item.control;
            if (!prev) {
                c.setLeft(scale_.pixelsToTwipsX(x0));
                c.setTop(scale_.pixelsToTwipsY(y0));
            } else {
                c.setTop(scale_.pixelsToTwipsY(bottomPx(*prev) + spacing_));
                c.setLeft(leftTwips(*prev));
            }
            if (item.heightWeight != 0)
                c.setHeight(scale_.pixelsToTwipsY(nonNegative(item.heightWeight * U)));
            c.setWidth(scale_.pixelsToTwipsX(nonNegative(W)));
        } else {
            Layout& l = *item.layout;
            if (!prev) {
                l.setLeft(x0);
                l.setTop(y0);
                l.setWidth(nonNegative(W - rightPadding_));
            } else {
                l.setTop(bottomPx(*prev) + spacing_);
                l.setLeft(leftPx(*prev));
                l.setWidth(nonNegative(W));
            }
            if (item.heightWeight != 0)
                l.setHeight(nonNegative(item.heightWeight * U));
            l.show();
        }
    }
}
