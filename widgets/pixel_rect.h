// A rectangle in a window's pixels: [left, right) by [top, bottom), as the
// platform's RECT. Geometry functions of the widgets answer in these.
#pragma once

namespace qm {

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
