#include "widgets/tab_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

// A parent that logs the codes it hears and answers TCN_SELCHANGING as told.
class RecordingTabSink final : public TabSink {
public:
    intptr_t Notify(int code) override {
        codes.push_back(code);
        return code == kTcnSelChanging ? answer : 0;
    }
    std::vector<int> codes;
    intptr_t answer = 0;
};

class TabModelTest : public ::testing::Test {
protected:
    TabModelTest() {
        tabs.AddTab(" History ", 0);
        tabs.AddTab(" Cookies ", 1);
        tabs.AddTab(" Cache ", 2);
        tabs.SetClientSize(500, 24);
    }
    TabModel tabs;
    RecordingTabSink parent;
};

TEST(TabModel, FirstTabBecomesCurrentAndPositionsAreChecked) {
    TabModel tabs;
    EXPECT_EQ(tabs.current(), -1);
    EXPECT_EQ(tabs.AddTab("one", 1), -1);  // past the count
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_EQ(tabs.AddTab("one", 0), 1);
    EXPECT_EQ(tabs.current(), 0);
    EXPECT_EQ(tabs.AddTab("two", 0), 1);  // accepted, but appended
    EXPECT_EQ(tabs.AddTab("three", -1), -1);
    EXPECT_EQ(tabs.Title(0), "one");
    EXPECT_EQ(tabs.Title(1), "two");
    EXPECT_EQ(tabs.Title(2), "");
    EXPECT_EQ(tabs.current(), 0);
}

TEST_F(TabModelTest, StripIsSeventyPixelsPerTabWhateverTheWidth) {
    EXPECT_EQ(tabs.stripWidth(), 210);
    tabs.SetClientSize(1000, 30);
    EXPECT_EQ(tabs.stripWidth(), 210);
    EXPECT_EQ(tabs.TabRect(1), (PixelRect{70, 0, 140, 30}));
    EXPECT_EQ(tabs.StripRect(), (PixelRect{0, 0, 210, 30}));
    EXPECT_EQ(tabs.SpaceRightOfStrip(), (PixelRect{210, 0, 1000, 30}));
    tabs.SetClientSize(150, 30);
    EXPECT_FALSE(tabs.SpaceRightOfStrip());
}

TEST_F(TabModelTest, HitTestGivesBordersToTheLeftTab) {
    EXPECT_EQ(tabs.HitTest(0), 0);
    EXPECT_EQ(tabs.HitTest(69), 0);
    EXPECT_EQ(tabs.HitTest(70), 0);
    EXPECT_EQ(tabs.HitTest(71), 1);
    EXPECT_EQ(tabs.HitTest(140), 1);
    EXPECT_EQ(tabs.HitTest(141), 2);
    EXPECT_EQ(tabs.HitTest(210), 2);
    EXPECT_EQ(tabs.HitTest(211), -1);
    EXPECT_EQ(tabs.HitTest(-1), -1);
    EXPECT_EQ(TabModel().HitTest(0), -1);
}

TEST_F(TabModelTest, PickingATabAsksThenTells) {
    EXPECT_TRUE(tabs.LeftButtonDown(100, parent));
    EXPECT_EQ(tabs.current(), 1);
    EXPECT_EQ(parent.codes, (std::vector<int>{kTcnSelChanging, kTcnSelChange}));
}

TEST_F(TabModelTest, ParentCanVetoTheChange) {
    parent.answer = 1;
    EXPECT_FALSE(tabs.LeftButtonDown(150, parent));
    EXPECT_EQ(tabs.current(), 0);
    EXPECT_EQ(parent.codes, (std::vector<int>{kTcnSelChanging}));
}

TEST_F(TabModelTest, CurrentTabAndEmptySpaceSendNothing) {
    EXPECT_FALSE(tabs.LeftButtonDown(10, parent));
    EXPECT_FALSE(tabs.LeftButtonDown(70, parent));  // the border of the current tab
    EXPECT_FALSE(tabs.LeftButtonDown(400, parent));
    EXPECT_TRUE(parent.codes.empty());
    EXPECT_EQ(tabs.current(), 0);
}

TEST(TabModel, OutlinesShowTheCurrentTabInFront) {
    const PixelRect tab{70, 0, 140, 24};
    // Behind, left: bottom 3 above the edge, left side, top.
    EXPECT_EQ(TabOutline(tab, TabPlace::LeftOfCurrent),
              (std::vector<TabLine>{{70, 21, 139, 21}, {70, 0, 70, 21}, {70, 0, 139, 0}}));
    // Behind, right: top, right side 2 in, bottom.
    EXPECT_EQ(TabOutline(tab, TabPlace::RightOfCurrent),
              (std::vector<TabLine>{{70, 0, 139, 0}, {138, 0, 138, 21}, {70, 21, 139, 21}}));
    // In front: open at the bottom, its sides reaching the edge.
    EXPECT_EQ(TabOutline(tab, TabPlace::Current),
              (std::vector<TabLine>{{70, 0, 70, 23}, {70, 0, 138, 0}, {138, 0, 138, 23}}));
    EXPECT_EQ(PlaceOf(0, 1), TabPlace::LeftOfCurrent);
    EXPECT_EQ(PlaceOf(1, 1), TabPlace::Current);
    EXPECT_EQ(PlaceOf(2, 1), TabPlace::RightOfCurrent);
}

TEST(TabModel, ColoursScaleTheButtonFace) {
    const FlatTabColors colors = FlatTabColorsFor(Rgb(200, 100, 250));
    EXPECT_EQ(colors.gradientTop, Rgb(210, 105, 255));
    EXPECT_EQ(colors.gradientBottom, Rgb(190, 95, 237));
    EXPECT_EQ(colors.currentFill, Rgb(214, 107, 255));
}

}  // namespace
}  // namespace qm
