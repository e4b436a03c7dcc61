#include "band/main_view_layout.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(RightInsetTest, FollowsTheBrowserFrameDistance) {
    // Frame left edge 40, 60 and 10 pixels from the view's.
    EXPECT_EQ(RightInset(100, 140), 10);
    EXPECT_EQ(RightInset(100, 160), 0);
    EXPECT_EQ(RightInset(100, 110), -20);
    // The distance counts either way round.
    EXPECT_EQ(RightInset(140, 100), 10);
}

TEST(RightInsetTest, IsZeroAboveTwentyAndKeptUpToIt) {
    EXPECT_EQ(RightInset(0, 50), 20);
    EXPECT_EQ(RightInset(0, 51), 0);
    EXPECT_EQ(RightInset(0, 0), -30);
}

TEST(RightInsetTest, IsZeroWithoutABrowser) {
    EXPECT_EQ(RightInset(std::nullopt, 110), 0);
}

TEST(RightInsetTest, FarApartScreenEdgesDoNotWrapIntoAnInset) {
    EXPECT_EQ(RightInset(-2147483647 - 1, 2147483647), 0);
}

TEST(MainViewLayoutTest, PlacesMenuBarTabsAndListsInsideTheInset) {
    const MainViewLayout layout = LayOutMainView(800, 300, 10);
    EXPECT_EQ(layout.menuBar, (ViewRect{0, 0, 580, 21}));
    EXPECT_EQ(layout.tabControl, (ViewRect{580, 0, 210, 22}));
    EXPECT_EQ(layout.lists, (ViewRect{0, 25, 790, 275}));
}

TEST(MainViewLayoutTest, NegativeInsetWidensEveryChild) {
    const MainViewLayout layout = LayOutMainView(800, 300, -20);
    EXPECT_EQ(layout.lists.width, 820);
    EXPECT_EQ(layout.menuBar.width, 610);
    EXPECT_EQ(layout.tabControl.left, 610);
    // The tab control ends past the client area, by the inset.
    EXPECT_EQ(layout.tabControl.left + layout.tabControl.width, 820);
}

TEST(BackgroundColourTest, LightensEachChannelBySevenPercentTruncated) {
    EXPECT_EQ(BackgroundColour({236, 233, 216}), (ChannelColour{252, 249, 231}));
    EXPECT_EQ(BackgroundColour({212, 208, 200}), (ChannelColour{226, 222, 214}));
    EXPECT_EQ(BackgroundColour({0, 1, 100}), (ChannelColour{0, 1, 107}));
}

TEST(BackgroundColourTest, CapsAtFullIntensity) {
    EXPECT_EQ(BackgroundColour({238, 239, 255}), (ChannelColour{254, 255, 255}));
    EXPECT_EQ(BackgroundColour({240, 250, 254}), (ChannelColour{255, 255, 255}));
}

TEST(BackgroundLinesTest, DrawsLeftEdgeRightShadowAndMenuBarRule) {
    const auto lines = BackgroundLines(0, 0, 800, 300, 206);
    EXPECT_EQ(lines[0], (ViewLine{{0, 0}, {0, 300}}));
    EXPECT_EQ(lines[1], (ViewLine{{798, 0}, {798, 300}}));
    EXPECT_EQ(lines[2], (ViewLine{{0, 21}, {594, 21}}));
}

}  // namespace
}  // namespace qm
