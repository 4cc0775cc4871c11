#pragma once
// A control that keeps its geometry in twips, as a window would.
#include "core/Layout.h"

struct FakeControl : LayoutControl {
    int left = 0, top = 0, width = 0, height = 0;
    int Left() const override { return left; }
    int Top() const override { return top; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    void setLeft(int v) override { left = v; }
    void setTop(int v) override { top = v; }
    void setWidth(int v) override { width = v; }
    void setHeight(int v) override { height = v; }
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};
