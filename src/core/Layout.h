#pragma once
// A row or a column of items that shares its length out by weights. Items are
// controls (placed in twips, the window's unit) or nested layouts (placed in
// pixels); a layout does not own its items.
#include "core/Twips.h"

#include <cstdint>
#include <vector>

// What a layout moves: a control's position and size in twips.
class LayoutControl {
public:
    virtual ~LayoutControl() = default;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void setLeft(int twips) = 0;
    virtual void setTop(int twips) = 0;
    virtual void setWidth(int twips) = 0;
    virtual void setHeight(int twips) = 0;
};

class Layout {
public:
    enum Type { Row = 0, Column = 1 };
    static constexpr int kDefaultMaxSize = 4000;
    static constexpr int kMaxWeight = 255;

    explicit Layout(int lType = Row, TwipsScale scale = {});

    // Lengths are pixels, kept in 16 bits (saturating).
    int lType() const { return lType_; }
    void setLType(int value) { lType_ = value; }
    int count() const { return static_cast<int>(items_.size()); }
    int Top() const { return top_; }
    void setTop(int value);
    int Left() const { return left_; }
    void setLeft(int value);
    // Width and Height stay within [min, max]; both bounds are inclusive.
    int Width() const { return width_; }
    void setWidth(int value);
    int Height() const { return height_; }
    void setHeight(int value);
    int Spacing() const { return spacing_; }
    void setSpacing(int value);
    int topPadding() const { return topPadding_; }
    void setTopPadding(int value);
    int leftPadding() const { return leftPadding_; }
    void setLeftPadding(int value);
    int rightPadding() const { return rightPadding_; }
    void setRightPadding(int value);
    int bottomPadding() const { return bottomPadding_; }
    void setBottomPadding(int value);
    void setPadding(int value); // all four
    int minWidth() const { return minWidth_; }
    void setMinWidth(int value);
    int minHeight() const { return minHeight_; }
    void setMinHeight(int value);
    int maxWidth() const { return maxWidth_; }
    void setMaxWidth(int value);
    int maxHeight() const { return maxHeight_; }
    void setMaxHeight(int value);
    // Stored only; laying out ignores them.
    bool Visible() const { return visible_; }
    void setVisible(bool value) { visible_ = value; }
    bool ENABLED() const { return enabled_; }
    void setENABLED(bool value) { enabled_ = value; }

    // Weights 0..255: a row shares its free width by the width weights, a
    // column its free height by the height weights; weight 0 keeps the item's size.
    void appendItem(LayoutControl& control, int widthWeight, int heightWeight);
    void appendItem(Layout& layout, int widthWeight, int heightWeight);

    // Places the items inside this layout's rectangle, nested layouts recursively.
    void show();

private:
    struct Item {
        LayoutControl* control = nullptr;
        Layout* layout = nullptr;
        std::uint8_t widthWeight = 0;
        std::uint8_t heightWeight = 0;
    };
    void showRow();
    void showColumn();
    int leftPx(const Item& item) const;
    int topPx(const Item& item) const;
    int widthPx(const Item& item) const;
    int heightPx(const Item& item) const;
    int rightPx(const Item& item) const;
    int bottomPx(const Item& item) const;
    int leftTwips(const Item& item) const;
    int topTwips(const Item& item) const;

    int lType_;
    TwipsScale scale_;
    std::int16_t top_ = 0, left_ = 0, width_ = 0, height_ = 0, spacing_ = 0;
    std::int16_t topPadding_ = 0, leftPadding_ = 0, rightPadding_ = 0, bottomPadding_ = 0;
    std::int16_t minWidth_ = 0, minHeight_ = 0;
    std::int16_t maxWidth_ = kDefaultMaxSize, maxHeight_ = kDefaultMaxSize;
    bool visible_ = true;
    bool enabled_ = true;
    std::vector<Item> items_;
};
