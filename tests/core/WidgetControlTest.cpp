#include "core/ui/WidgetControl.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(WidgetControl, LayoutMovesWidgetsInPixelsAndReadsThemInTwips) {
    const TwipsScale scale{15, 15};
    QWidget window;
    QWidget left(&window), right(&window);
    WidgetControl a(left, scale), b(right, scale);

    Layout row(Layout::Row, scale);
    row.setWidth(300);
    row.setHeight(40);
    row.setPadding(5);
    row.setSpacing(10);
    row.appendItem(a, 1, 1);
    row.appendItem(b, 2, 1);
    row.show();
    EXPECT_EQ(left.geometry(), QRect(5, 5, 93, 25));
    EXPECT_EQ(right.geometry(), QRect(108, 5, 187, 25));

    right.setGeometry(7, 9, 20, 30);
    EXPECT_EQ(b.Left(), 105);
    EXPECT_EQ(b.Top(), 135);
    EXPECT_EQ(b.Width(), 300);
    EXPECT_EQ(b.Height(), 450);
}
