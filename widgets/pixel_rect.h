// A point and a rectangle in a window's pixels, the rectangle [left, right)
// by [top, bottom) as the platform's RECT. Geometry functions of the
// widgets answer in these.
#pragma once

namespace qm {

struct PixelPoint {
    int x = 0;
    int y = 0;

    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace qm
