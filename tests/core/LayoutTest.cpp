#include "core/Layout.h"

#include "FakeControl.h"

#include <gtest/gtest.h>

namespace {

constexpr TwipsScale kScale{15, 15};

struct Px {
    int left, top, width, height;
    bool operator==(const Px&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Px& p) {
    return os << "{" << p.left << "," << p.top << "," << p.width << "," << p.height << "}";
}
Px px(const FakeControl& c) {
    return {c.left / 15, c.top / 15, c.width / 15, c.height / 15};
}
Px px(const Layout& l) {
    return {l.Left(), l.Top(), l.Width(), l.Height()};
}

Layout sized(int type, int width, int height) {
    Layout l(type, kScale);
    l.setWidth(width);
    l.setHeight(height);
    return l;
}

} // namespace

TEST(Layout, SizeBoundsAreInclusive) {
    Layout l;
    l.setWidth(0);
    EXPECT_EQ(l.Width(), 0);
    l.setWidth(5000);
    EXPECT_EQ(l.Width(), 4000);
    l.setMinWidth(20);
    l.setMaxWidth(100);
    l.setMinHeight(5);
    l.setMaxHeight(50);
    // value, stored Width (20..100), stored Height (5..50)
    const int cases[][3] = {{-7, 20, 5},  {4, 20, 5},   {5, 20, 5},     {6, 20, 6},
                            {20, 20, 20}, {21, 21, 21}, {49, 49, 49},   {50, 50, 50},
                            {51, 51, 50}, {99, 99, 50}, {100, 100, 50}, {101, 100, 50}};
    for (auto [value, width, height] : cases) {
        l.setWidth(value);
        l.setHeight(value);
        EXPECT_EQ(l.Width(), width) << value;
        EXPECT_EQ(l.Height(), height) << value;
    }
    l.setPadding(3);
    EXPECT_EQ(l.topPadding() + l.leftPadding() + l.rightPadding() + l.bottomPadding(), 12);
}

TEST(Layout, RowSharesWidthByWeight) {
    Layout row = sized(Layout::Row, 400, 30);
    FakeControl a, b, c;
    row.appendItem(a, 1, 0);
    row.appendItem(b, 2, 0);
    row.appendItem(c, 1, 0);
    row.show();
    EXPECT_EQ(px(a), (Px{0, 0, 100, 30}));
    EXPECT_EQ(px(b), (Px{100, 0, 200, 30}));
    EXPECT_EQ(px(c), (Px{300, 0, 100, 30}));
}

TEST(Layout, RowKeepsFixedItemsAndChainsAfterThem) {
    Layout row = sized(Layout::Row, 320, 40);
    row.setLeft(10);
    row.setTop(20);
    row.setLeftPadding(4);
    row.setRightPadding(6);
    row.setTopPadding(3);
    row.setBottomPadding(5);
    row.setSpacing(2);
    FakeControl a, fixed, b;
    fixed.width = 50 * 15;
    row.appendItem(a, 1, 0);
    row.appendItem(fixed, 0, 0);
    row.appendItem(b, 1, 0);
    row.show();
    // W = 320 - 10 - 2 x 2 - 50 = 256; a control's height is H less the bottom padding once more.
    EXPECT_EQ(px(a), (Px{14, 23, 128, 27}));
    EXPECT_EQ(px(fixed), (Px{144, 23, 50, 27}));
    EXPECT_EQ(px(b), (Px{196, 23, 128, 27}));
}

TEST(Layout, ColumnSharesHeightAndSpacesEveryItem) {
    Layout col = sized(Layout::Column, 60, 100);
    col.setRightPadding(4);
    col.setSpacing(10);
    FakeControl a, b;
    col.appendItem(a, 0, 1);
    col.appendItem(b, 0, 3);
    col.show();
    // H = 100 - 2 x 10 = 80; a control's width is W, the right padding taken once.
    EXPECT_EQ(px(a), (Px{0, 0, 56, 20}));
    EXPECT_EQ(px(b), (Px{0, 30, 56, 60}));
}

TEST(Layout, HalvesRoundToEven) {
    const std::pair<double, int> cases[] = {{0.5, 0},   {1.5, 2},  {2.5, 2},  {3.5, 4},   {-0.5, 0},
                                            {-1.5, -2}, {2.49, 2}, {2.51, 3}, {-2.5, -2}, {7.0, 7}};
    for (auto [value, expected] : cases)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
    EXPECT_EQ(kScale.twipsToPixelsX(22.5), 2);
    EXPECT_EQ(kScale.twipsToPixelsY(37.5), 2);
    TwipsScale hiDpi = TwipsScale::fromDpi(120, 144);
    EXPECT_EQ(hiDpi.pixelsToTwipsX(10), 120);
    EXPECT_EQ(hiDpi.pixelsToTwipsY(10), 100);

    // 5 pixels between two equal weights: 2.5 each, rounded to 2.
    Layout row = sized(Layout::Row, 5, 10);
    FakeControl a, b;
    row.appendItem(a, 1, 0);
    row.appendItem(b, 1, 0);
    row.show();
    EXPECT_EQ(px(a), (Px{0, 0, 2, 10}));
    EXPECT_EQ(px(b), (Px{2, 0, 2, 10}));
}

TEST(Layout, NoRoomLeavesEveryItemWhereItWas) {
    struct Case {
        int type, width, height, padding, spacing;
    };
    const Case cases[] = {
        {Layout::Row, 10, 30, 5, 1},    // W = 10 - 10 - 1 = -1, unit -0.25
        {Layout::Row, 40, 9, 5, 0},     // H = -1
        {Layout::Column, 30, 10, 5, 0}, // H = 10 - 10 less a fixed item of 3 = -3, unit -0.75
        {Layout::Column, 9, 50, 5, 0},  // W = -1
    };
    for (const Case& c : cases) {
        Layout l = sized(c.type, c.width, c.height);
        l.setPadding(c.padding);
        l.setSpacing(c.spacing);
        FakeControl a, b, fixed;
        a.left = b.left = 77;
        a.width = b.width = 88;
        fixed.width = fixed.height = 3 * 15;
        l.appendItem(a, 2, 2);
        l.appendItem(b, 2, 2);
        if (c.type == Layout::Column)
            l.appendItem(fixed, 0, 0);
        l.show();
        for (const FakeControl* item : {&a, &b})
            EXPECT_TRUE(item->left == 77 && item->width == 88 && item->top == 0 &&
                        item->height == 0)
                << c.type << " " << c.width << "x" << c.height;
    }
    // Left or top of the rectangle before the window's edge.
    Layout off = sized(Layout::Row, 100, 20);
    off.setLeft(-1);
    FakeControl c;
    c.left = 77;
    off.appendItem(c, 1, 1);
    off.show();
    EXPECT_EQ(c.left, 77);
    // Neither a row nor a column.
    off.setLeft(0);
    off.setLType(2);
    off.show();
    EXPECT_EQ(c.left, 77);
}

TEST(Layout, RowsNestInAColumnAndControlsChainAfterLayouts) {
    Layout root = sized(Layout::Column, 300, 200);
    root.setTopPadding(1);
    root.setSpacing(1);
    Layout top = sized(Layout::Row, 0, 30);
    Layout middle = sized(Layout::Row, 0, 0);
    Layout side = sized(Layout::Column, 0, 0);
    Layout after = sized(Layout::Column, 0, 0);
    FakeControl t1, t2, m1, m2, m3, bottom;
    top.appendItem(t1, 1, 1);
    top.appendItem(t2, 1, 1);
    side.appendItem(m1, 1, 1);
    middle.setSpacing(4);
    middle.appendItem(side, 1, 1);
    middle.appendItem(m2, 2, 1); // a control after a nested layout
    after.appendItem(m3, 1, 1);
    middle.appendItem(after, 1, 1); // and a nested layout after a control
    root.appendItem(top, 1, 0);
    root.appendItem(middle, 1, 1);
    root.appendItem(bottom, 1, 0);
    bottom.height = 20 * 15;
    root.show();

    // The column's H = 200 - 1 - 3 x 1 - 30 - 20 = 146, all of it to the middle row.
    EXPECT_EQ(px(top), (Px{0, 1, 300, 30}));
    EXPECT_EQ(px(t1), (Px{0, 1, 150, 30}));
    EXPECT_EQ(px(t2), (Px{150, 1, 150, 30}));
    EXPECT_EQ(px(middle), (Px{0, 32, 300, 146}));
    EXPECT_EQ(px(side), (Px{0, 32, 73, 146}));
    EXPECT_EQ(px(m1), (Px{0, 32, 73, 146}));
    EXPECT_EQ(px(m2), (Px{77, 32, 146, 146}));
    EXPECT_EQ(px(after), (Px{227, 32, 73, 146}));
    EXPECT_EQ(px(m3), (Px{227, 32, 73, 146}));
    EXPECT_EQ(px(bottom), (Px{0, 179, 300, 20}));
}

TEST(Layout, NestedSizesStayWithinTheirBounds) {
    Layout row = sized(Layout::Row, 300, 40);
    Layout narrow = sized(Layout::Column, 0, 0);
    narrow.setMaxWidth(50);
    Layout tall = sized(Layout::Column, 0, 0);
    tall.setMinHeight(60);
    FakeControl inNarrow, inTall;
    narrow.appendItem(inNarrow, 1, 1);
    tall.appendItem(inTall, 1, 1);
    row.appendItem(narrow, 1, 1);
    row.appendItem(tall, 1, 1);
    row.show();
    EXPECT_EQ(px(narrow), (Px{0, 0, 50, 40}));
    EXPECT_EQ(px(tall), (Px{50, 0, 150, 60}));
    EXPECT_EQ(px(inNarrow), (Px{0, 0, 50, 40}));
    EXPECT_EQ(px(inTall), (Px{50, 0, 150, 60}));
}
