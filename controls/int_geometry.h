#pragma once
// Plain integer geometry shared by the controls' display-free rules. Rectangles
// follow the usual screen convention: right and bottom lie just outside.

struct IntPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const IntPoint&, const IntPoint&) = default;
};

struct IntSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const IntSize&, const IntSize&) = default;
};

struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(IntPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const IntRect&, const IntRect&) = default;
};
