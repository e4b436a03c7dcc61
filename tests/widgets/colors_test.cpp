#include "widgets/colors.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Expected values below were worked out by hand from the HLS formulas
// (and checked with an independent script), not read back from the code.

TEST(Colors, AdjustKeepsGreyGrey) {
    EXPECT_EQ(Adjust(Rgb(192, 192, 192), 75, 0), Rgb(239, 239, 239));  // 192 + 63 * 75 / 100
    EXPECT_EQ(Adjust(Rgb(192, 192, 192), -50, 0), Rgb(96, 96, 96));
    EXPECT_EQ(Adjust(Rgb(192, 192, 192), 0, 80), Rgb(192, 192, 192));  // no saturation to raise
    for (int level = 0; level < 256; level += 15) {
        const ColorRef grey = Rgb(level, level, level);
        const ColorRef adjusted = Adjust(grey, 33, 0);
        EXPECT_EQ(adjusted.red(), adjusted.green()) << level;
        EXPECT_EQ(adjusted.green(), adjusted.blue()) << level;
        EXPECT_GE(adjusted.red(), level) << level;
    }
}

TEST(Colors, AdjustReachesWhiteAndBlackAtTheEnds) {
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), 100, 0), Rgb(255, 255, 255));
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), -100, 0), Rgb(0, 0, 0));
    // Out-of-range percentages are held at the ends instead of wrapping bytes.
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), 250, 0), Rgb(255, 255, 255));
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), -250, 0), Rgb(0, 0, 0));
}

TEST(Colors, AdjustWorksInWholeHlsBytes) {
    // Pure red has lightness 127.5, kept as the byte 127, and hue 360,
    // which the red formula reaches exactly: it comes back one step darker.
    EXPECT_EQ(ToHls(Rgb(255, 0, 0)), (HlsBytes{255, 127, 255}));
    EXPECT_EQ(Adjust(Rgb(255, 0, 0), 0, 0), Rgb(254, 0, 0));
    // The classic button face and highlight colours of the menu look.
    EXPECT_EQ(Adjust(Rgb(236, 233, 216), 75, 0), Rgb(249, 248, 244));
    EXPECT_EQ(Adjust(Rgb(236, 233, 216), 20, 0), Rgb(239, 236, 222));
    EXPECT_EQ(Adjust(Rgb(236, 233, 216), -18, 0), Rgb(208, 201, 161));
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), 50, -50), Rgb(169, 185, 208));
    EXPECT_EQ(Adjust(Rgb(49, 106, 197), 70, -57), Rgb(204, 212, 225));
}

TEST(Colors, LightenScalesUpAndCaps) {
    EXPECT_EQ(Lighten(Rgb(200, 100, 50), 1.1), Rgb(220, 110, 55));
    EXPECT_EQ(Lighten(Rgb(250, 240, 10), 1.1), Rgb(255, 255, 11));
    EXPECT_EQ(Lighten(Rgb(200, 100, 50), 0.5), Rgb(200, 100, 50));  // never darkens
    EXPECT_EQ(Lighten(Rgb(200, 100, 50), 1e300), Rgb(255, 255, 255));
}

TEST(Colors, DarkenScalesDownAndNeverLightens) {
    EXPECT_EQ(Darken(Rgb(200, 100, 55), 0.9), Rgb(180, 90, 49));
    EXPECT_EQ(Darken(Rgb(200, 100, 55), 1.5), Rgb(200, 100, 55));
    EXPECT_EQ(Darken(Rgb(200, 100, 55), 0), Rgb(0, 0, 0));
    EXPECT_EQ(Darken(Rgb(200, 100, 55), -2), Rgb(0, 0, 0));
}

TEST(Colors, ColorRefHasThePlatformLayout) {
    EXPECT_EQ(Rgb(0x12, 0x34, 0x56).value, 0x00563412u);
    EXPECT_NE(kDefaultColor, Rgb(0, 0, 0));
    EXPECT_NE(kDefaultColor, Rgb(255, 255, 255));
}

TEST(Colors, GradientBandsRunFromTopToBottomExactly) {
    const auto bands = VerticalGradientBands(Rgb(100, 0, 10), Rgb(0, 100, 0), 10);
    ASSERT_EQ(bands.size(), 5u);
    EXPECT_EQ(bands.front(), (GradientBand{0, 2, Rgb(100, 0, 10)}));
    EXPECT_EQ(bands[1].color, Rgb(75, 25, 8));  // 10 - 10 / 4 truncates toward zero
    EXPECT_EQ(bands.back(), (GradientBand{8, 10, Rgb(0, 100, 0)}));
    for (std::size_t band = 1; band < bands.size(); ++band)
        EXPECT_EQ(bands[band].top, bands[band - 1].bottom);

    // An odd height ends in a short band; tiny and empty heights.
    const auto odd = VerticalGradientBands(Rgb(10, 10, 10), Rgb(0, 0, 0), 7);
    ASSERT_EQ(odd.size(), 4u);
    EXPECT_EQ(odd.back(), (GradientBand{6, 7, Rgb(0, 0, 0)}));
    EXPECT_EQ(odd[1].color, Rgb(7, 7, 7));
    EXPECT_EQ(VerticalGradientBands(Rgb(1, 2, 3), Rgb(9, 9, 9), 1),
              (std::vector<GradientBand>{{0, 1, Rgb(1, 2, 3)}}));
    EXPECT_TRUE(VerticalGradientBands(Rgb(1, 2, 3), Rgb(9, 9, 9), 0).empty());
    EXPECT_TRUE(VerticalGradientBands(Rgb(1, 2, 3), Rgb(9, 9, 9), -5).empty());
}

}  // namespace
}  // namespace qm
