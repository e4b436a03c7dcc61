#include "widgets/colors.h"

#include <algorithm>

namespace qm {
namespace {

uint8_t ToByte(double value) {
    // Truncation toward zero, kept inside a byte whatever rounding did.
    return static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

double HueChannel(double m1, double m2, double hue) {
    if (hue > 360) hue -= 360;
    if (hue < 0) hue += 360;
    if (hue < 60) return m1 + (m2 - m1) * hue / 60;
    if (hue < 180) return m2;
    if (hue < 240) return m1 + (m2 - m1) * (240 - hue) / 60;
    return m1;
}

// Moves one HLS byte by a percentage: up towards 255, or down towards 0.
uint8_t Shift(uint8_t byte, int percent) {
    percent = std::clamp(percent, -100, 100);
    if (percent >= 1) return static_cast<uint8_t>(byte + (255 - byte) * percent / 100);
    if (percent < 0) return static_cast<uint8_t>((percent + 100) * byte / 100);
    return byte;
}

uint8_t Scale(uint8_t channel, double factor) {
    return static_cast<uint8_t>(std::min(255.0, static_cast<double>(channel) * factor));
}

}  // namespace

HlsBytes ToHls(ColorRef color) {
    const double r = color.red();
    const double g = color.green();
    const double b = color.blue();
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    const double lightness = (mx + mn) / 510;
    if (mx == mn) return HlsBytes{0, ToByte(lightness * 255), 0};

    const double d = mx - mn;
    const double saturation = lightness <= 0.5 ? d / (mx + mn) : d / (510 - mx - mn);
    const double rc = (mx - r) / d;
    const double gc = (mx - g) / d;
    const double bc = (mx - b) / d;
    // The cases are tested in this order and a later match wins, so a colour
    // whose two largest channels tie takes the later formula.
    double hue = 0;
    if (r == mx) hue = 60 * (bc + 6 - gc);
    if (g == mx) hue = 60 * (rc + 2 - bc);
    if (b == mx) hue = 60 * (gc + 4 - rc);
    if (hue > 360) hue -= 360;
    return HlsBytes{ToByte(hue * 255 / 360), ToByte(lightness * 255), ToByte(saturation * 255)};
}

ColorRef FromHls(HlsBytes hls) {
    const double hue = hls.hue * 360.0 / 255;
    const double lightness = hls.lightness / 255.0;
    const double saturation = hls.saturation / 255.0;
    if (hls.saturation == 0) return Rgb(hls.lightness, hls.lightness, hls.lightness);

    const double m2 =
        lightness <= 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double m1 = 2 * lightness - m2;
    return Rgb(ToByte(HueChannel(m1, m2, hue + 120) * 255), ToByte(HueChannel(m1, m2, hue) * 255),
               ToByte(HueChannel(m1, m2, hue - 120) * 255));
}

ColorRef Adjust(ColorRef color, int lightnessPercent, int saturationPercent) {
    HlsBytes hls = ToHls(color);
    hls.lightness = Shift(hls.lightness, lightnessPercent);
    // A grey has no hue: raising its saturation would tint it with hue 0
    // (red), so it stays grey.
    if (hls.saturation != 0) hls.saturation = Shift(hls.saturation, saturationPercent);
    return FromHls(hls);
}

ColorRef Lighten(ColorRef color, double factor) {
    if (!(factor >= 1)) factor = 1;  // also catches NaN
    return Rgb(Scale(color.red(), factor), Scale(color.green(), factor), Scale(color.blue(), factor));
}

ColorRef Darken(ColorRef color, double factor) {
    if (!(factor > 0)) return Rgb(0, 0, 0);
    if (factor > 1) factor = 1;
    return Rgb(Scale(color.red(), factor), Scale(color.green(), factor), Scale(color.blue(), factor));
}

std::vector<GradientBand> VerticalGradientBands(ColorRef top, ColorRef bottom, int height, int bandHeight) {
    std::vector<GradientBand> bands;
    if (height <= 0) return bands;
    bandHeight = std::max(bandHeight, 1);
    const int count = (height + bandHeight - 1) / bandHeight;
    bands.reserve(static_cast<std::size_t>(count));
    const int steps = std::max(count - 1, 1);
    auto mix = [&](int from, int to, int band) {
        return static_cast<uint8_t>(from + (to - from) * band / steps);
    };
    for (int band = 0; band < count; ++band) {
        const int y = band * bandHeight;
        bands.push_back(
            GradientBand{y, std::min(y + bandHeight, height),
                         Rgb(mix(top.red(), bottom.red(), band), mix(top.green(), bottom.green(), band),
                             mix(top.blue(), bottom.blue(), band))});
    }
    return bands;
}

}  // namespace qm
