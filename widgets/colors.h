// Colours as the widgets hold them, and the arithmetic their looks rest on.
//
// `ColorRef` is a plain value with the platform's layout (0x00BBGGRR), so a
// window can hand `value` straight to GDI. Nothing here draws: the functions
// answer which colour a pixel band or a frame gets, and the windows paint.
#pragma once

#include <cstdint>
#include <vector>

namespace qm {

struct ColorRef {
    uint32_t value = 0;

    constexpr uint8_t red() const { return static_cast<uint8_t>(value & 0xFF); }
    constexpr uint8_t green() const { return static_cast<uint8_t>((value >> 8) & 0xFF); }
    constexpr uint8_t blue() const { return static_cast<uint8_t>((value >> 16) & 0xFF); }

    friend constexpr bool operator==(ColorRef, ColorRef) = default;
};

constexpr ColorRef Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return ColorRef{static_cast<uint32_t>(red) | (static_cast<uint32_t>(green) << 8) |
                    (static_cast<uint32_t>(blue) << 16)};
}

// Stands for "whatever the owner's default is" (a cell's colours follow the
// list's, which change with the system colours). Never a real colour: real
// colours have a zero top byte.
inline constexpr ColorRef kDefaultColor{0xFF000000u};

// Hue, lightness and saturation, each scaled to a byte (hue 0..255 spans
// 0..360 degrees).
struct HlsBytes {
    uint8_t hue = 0;
    uint8_t lightness = 0;
    uint8_t saturation = 0;

    friend constexpr bool operator==(const HlsBytes&, const HlsBytes&) = default;
};

HlsBytes ToHls(ColorRef color);
ColorRef FromHls(HlsBytes hls);

// Moves lightness and saturation by percentages (-100..100, values outside
// are clamped): a positive change goes that far towards full, a negative one
// scales down towards zero. Greys stay grey, whatever the saturation change.
ColorRef Adjust(ColorRef color, int lightnessPercent, int saturationPercent);

// Multiplies every channel by the factor, truncating. Lighten never darkens
// (factors below 1 count as 1) and caps at 255; Darken never lightens
// (factors above 1 count as 1) and gives black for factors of 0 or less.
ColorRef Lighten(ColorRef color, double factor);
ColorRef Darken(ColorRef color, double factor);

// One horizontal band of a vertical gradient, rows [top, bottom).
struct GradientBand {
    int top = 0;
    int bottom = 0;
    ColorRef color;

    friend constexpr bool operator==(const GradientBand&, const GradientBand&) = default;
};

// A vertical gradient over `height` pixels painted as bands of `bandHeight`
// pixels (the last may be shorter). Each channel is interpolated linearly
// with integer division, so the first band is exactly `top` and the last
// exactly `bottom`. No bands for a height of 0 or less.
std::vector<GradientBand> VerticalGradientBands(ColorRef top, ColorRef bottom, int height,
                                                int bandHeight = 2);

}  // namespace qm
