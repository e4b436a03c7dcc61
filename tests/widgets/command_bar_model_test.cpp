#include "widgets/command_bar_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace qm {
namespace {

constexpr BarAction Open(int button) {
    return {BarAction::OpenPopup, button};
}
constexpr BarAction Redraw(int button) {
    return {BarAction::Redraw, button};
}
constexpr BarAction kNothing{};
constexpr BarAction kClose{BarAction::ClosePopup, -1};
constexpr BarAction kPass{BarAction::PassToSystem, -1};

class CommandBarTest : public ::testing::Test {
protected:
    CommandBarTest() { bar.SetButtonCount(5); }  // File, Clean, Edit, Settings, Help
    CommandBarModel bar;
};

TEST(CommandBar, ImagesBelongToTheirCommands) {
    EXPECT_EQ(CommandImageIndex(32768), 0);   // Refresh
    EXPECT_EQ(CommandImageIndex(32805), 16);  // Select All Items
    EXPECT_EQ(CommandImageIndex(32789), 19);  // loaded, on no menu item
    EXPECT_EQ(CommandImageIndex(32787), 20);
    EXPECT_EQ(CommandImageIndex(32769), 22);  // About
    EXPECT_EQ(CommandImageIndex(32791), -1);  // Delete Selected Items has no image
    EXPECT_EQ(CommandImageIndex(0), -1);
}

TEST_F(CommandBarTest, ClickOpensAPopupAndASecondClickClosesIt) {
    EXPECT_EQ(bar.ButtonPressed(1), Open(1));
    EXPECT_EQ(bar.openPopup(), 1);
    EXPECT_EQ(bar.ButtonPressed(1), (BarAction{BarAction::ClosePopup, 1}));
    EXPECT_EQ(bar.openPopup(), -1);
    EXPECT_EQ(bar.ButtonPressed(7), kNothing);
}

TEST_F(CommandBarTest, PointerMovesBetweenPopupsWhileOneIsOpen) {
    EXPECT_EQ(bar.MouseOver(2), Redraw(2));
    EXPECT_EQ(bar.MouseOver(2), kNothing);
    bar.ButtonPressed(2);
    EXPECT_EQ(bar.MouseOver(3), Open(3));
    EXPECT_EQ(bar.PopupClosed(PopupEnd::Switching), kNothing);
    EXPECT_EQ(bar.openPopup(), 3);
    EXPECT_EQ(bar.MouseOver(-1), kNothing);  // off the bar: the popup stays
    EXPECT_EQ(bar.openPopup(), 3);
}

TEST_F(CommandBarTest, LeftAndRightInAPopupWrapAroundTheBar) {
    bar.ButtonPressed(4);
    EXPECT_EQ(bar.KeyInPopup(kBarKeyRight), Open(0));
    EXPECT_EQ(bar.KeyInPopup(kBarKeyLeft), Open(4));
    EXPECT_EQ(bar.KeyInPopup(kBarKeyLeft), Open(3));
    EXPECT_EQ(bar.KeyInPopup(kBarKeyDown), kPass);  // the menu moves its own items

    CommandBarModel single;
    single.SetButtonCount(1);
    single.ButtonPressed(0);
    EXPECT_EQ(single.KeyInPopup(kBarKeyRight), kNothing);
}

TEST(CommandBar, MenuLoopKeysGoToTheSubmenuOrSwitchPopups) {
    // Popup 2 of 5 open; `depth` menus open, `submenu`: the selected item has one.
    const struct {
        const char* name;
        int key;
        int depth;
        bool submenu;
        BarAction action;
        PopupEnd end;  // how the popup then ends without a command
    } kRows[] = {
        {"Esc in the popup", kBarKeyEscape, 1, false, kPass, PopupEnd::Escape},
        {"Esc in a submenu", kBarKeyEscape, 2, false, kPass, PopupEnd::Dismissed},
        {"Left in a submenu", kBarKeyLeft, 2, false, kPass, PopupEnd::Dismissed},
        {"Left in the popup", kBarKeyLeft, 1, true, Open(1), PopupEnd::Dismissed},
        {"Right on a submenu item", kBarKeyRight, 1, true, kPass, PopupEnd::Dismissed},
        {"Right in a submenu on a plain item", kBarKeyRight, 2, false, Open(3), PopupEnd::Dismissed},
        {"Down", kBarKeyDown, 1, false, kPass, PopupEnd::Dismissed},
    };
    for (const auto& row : kRows) {
        CommandBarModel bar;
        bar.SetButtonCount(5);
        bar.ButtonPressed(2);
        bar.PopupTracking();
        EXPECT_EQ(bar.KeyInMenuLoop(row.key, row.depth, row.submenu), row.action) << row.name;
        EXPECT_EQ(bar.HowPopupEnded(0, -1), row.end) << row.name;
    }
}

TEST(CommandBar, ACommandWinsThenTheWantedSwitchThenEscape) {
    const struct {
        const char* name;
        uint32_t command;
        int switchingTo;
        bool escaped;
        PopupEnd end;
    } kRows[] = {
        {"command", 32768, 3, true, PopupEnd::CommandChosen},
        {"switch to the open popup", 0, 3, true, PopupEnd::Switching},
        {"switch overtaken by a later close", 0, 1, true, PopupEnd::Escape},
        {"Esc", 0, -1, true, PopupEnd::Escape},
        {"click elsewhere", 0, -1, false, PopupEnd::Dismissed},
    };
    for (const auto& row : kRows) {
        CommandBarModel bar;
        bar.SetButtonCount(5);
        bar.ButtonPressed(2);
        bar.PopupTracking();
        bar.KeyInMenuLoop(row.escaped ? kBarKeyEscape : kBarKeyDown, 1, false);
        bar.KeyInMenuLoop(kBarKeyRight, 1, false);  // popup 3 is the one wanted
        EXPECT_EQ(bar.HowPopupEnded(row.command, row.switchingTo), row.end) << row.name;
    }
    // A new popup forgets the Esc of the last one.
    CommandBarModel bar;
    bar.SetButtonCount(5);
    bar.KeyInMenuLoop(kBarKeyEscape, 1, false);
    bar.PopupTracking();
    EXPECT_EQ(bar.HowPopupEnded(0, -1), PopupEnd::Dismissed);
}

TEST_F(CommandBarTest, AltOrF10EntersMenuModeAndArrowsMoveTheHotButton) {
    EXPECT_EQ(bar.MenuKey(), Redraw(0));
    EXPECT_TRUE(bar.menuMode());
    EXPECT_TRUE(bar.accessKeysShown());
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyLeft), Redraw(4));  // wraps
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyRight), Redraw(0));
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyRight), Redraw(1));
    EXPECT_EQ(bar.KeyInMenuMode('q'), kNothing);  // swallowed
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeySpace), kPass);
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyDown), Open(1));
}

TEST_F(CommandBarTest, EscapeOrASecondAltLeavesMenuMode) {
    bar.MenuKey();
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyEscape), Redraw(-1));
    EXPECT_FALSE(bar.menuMode());
    EXPECT_EQ(bar.hotButton(), -1);
    bar.MenuKey();
    EXPECT_EQ(bar.MenuKey(), Redraw(-1));
    EXPECT_FALSE(bar.menuMode());
    EXPECT_EQ(bar.KeyInMenuMode(kBarKeyLeft), kPass);  // not in menu mode any more
}

TEST_F(CommandBarTest, EscapeInAPopupReturnsToMenuModeOnItsButton) {
    bar.MenuKey();
    bar.KeyInMenuMode(kBarKeyRight);
    bar.KeyInMenuMode(kBarKeyRight);
    bar.KeyInMenuMode(kBarKeyReturn);
    EXPECT_EQ(bar.PopupClosed(PopupEnd::Escape), Redraw(2));
    EXPECT_TRUE(bar.menuMode());
    EXPECT_EQ(bar.openPopup(), -1);
    // A click on a popup from the mouse, ended with Esc, also lands in menu mode.
    CommandBarModel mouse;
    mouse.SetButtonCount(5);
    mouse.ButtonPressed(3);
    mouse.PopupClosed(PopupEnd::Escape);
    EXPECT_TRUE(mouse.menuMode());
    EXPECT_EQ(mouse.hotButton(), 3);
}

TEST_F(CommandBarTest, ChoosingACommandOrDeactivatingEndsEverything) {
    bar.MenuKey();
    bar.KeyInMenuMode(kBarKeyDown);
    EXPECT_EQ(bar.PopupClosed(PopupEnd::CommandChosen), Redraw(-1));
    EXPECT_FALSE(bar.menuMode());
    EXPECT_EQ(bar.hotButton(), -1);

    bar.MenuKey();
    EXPECT_EQ(bar.ParentDeactivated(), Redraw(-1));
    EXPECT_FALSE(bar.menuMode());
    bar.ButtonPressed(1);
    EXPECT_EQ(bar.ParentDeactivated(), kClose);
    EXPECT_EQ(bar.ParentDeactivated(), kNothing);
}

TEST(CommandBar, EmptyBarHasNoMenuMode) {
    CommandBarModel bar;
    EXPECT_EQ(bar.MenuKey(), kNothing);
    EXPECT_FALSE(bar.menuMode());
    EXPECT_EQ(bar.Neighbour(0, 1), -1);
    bar.SetButtonCount(3);
    bar.ButtonPressed(2);
    bar.SetButtonCount(2);  // a smaller menu attached
    EXPECT_EQ(bar.openPopup(), -1);
    EXPECT_EQ(bar.hotButton(), -1);
}

TEST(CommandBar, ButtonTextStaysDarkOnThePaleHotFace) {
    EXPECT_EQ(CommandBarButtonTextColor(true), Rgb(0, 0, 0));
    EXPECT_EQ(CommandBarButtonTextColor(false), Rgb(18, 0, 0));
}

TEST(CommandBar, LookIsBuiltFromTheSystemColours) {
    const CommandBarColors colors = CommandBarColorsFor(Rgb(192, 192, 192), Rgb(49, 106, 197));
    EXPECT_EQ(colors.hotFill, Rgb(239, 239, 239));
    EXPECT_EQ(colors.itemBackground, colors.hotFill);
    EXPECT_EQ(colors.barTop, Rgb(211, 211, 211));
    EXPECT_EQ(colors.barBottom, Rgb(172, 172, 172));
    EXPECT_EQ(colors.separator, Rgb(157, 157, 157));  // 192 * 82 / 100
    EXPECT_EQ(colors.checkedSelected, Rgb(169, 185, 208));
    EXPECT_EQ(colors.checkFrame, Rgb(49, 106, 197));
}

TEST(CommandBar, MenuItemsAreMeasuredSoTextAndAcceleratorNeverMeet) {
    MenuItemMetrics metrics;
    metrics.imageWidth = 16;
    metrics.fontHeight = 13;
    metrics.buttonHeight = 22;
    metrics.menuBarHeight = 19;
    metrics.checkMarkWidth = 13;
    EXPECT_EQ(MeasureMenuItem(metrics, true, 500), (MenuItemSize{0, 9}));
    const MenuItemSize item = MeasureMenuItem(metrics, false, 100);
    EXPECT_EQ(item.height, 22);
    metrics.fontHeight = 20;
    EXPECT_EQ(MeasureMenuItem(metrics, false, 100).height, 28);

    // Drawn, the item is what was reported plus the system's check-mark
    // width less one. Its text before the tab starts at the image width
    // plus 14 and the accelerator ends 12 from the right: whatever the text
    // width, at least the gap less its fixed parts stays between them.
    const int drawnWidth = item.width + metrics.checkMarkWidth - 1;
    const MenuItemLayout layout = LayoutMenuItem(PixelRect{0, 0, drawnWidth, 22}, 16);
    EXPECT_GE(layout.acceleratorRight - layout.textLeft - 100, 8);
    EXPECT_EQ(layout.imageColumn, (PixelRect{0, 0, 22, 22}));
    EXPECT_EQ(layout.separatorLeft, 24);
    EXPECT_EQ(layout.separatorRight, drawnWidth - 2);
    EXPECT_EQ(layout.separatorY, 11);
}

TEST(CommandBar, AnItemsStateDecidesHowItsImageAndCheckAreDrawn) {
    const CommandBarColors colors = CommandBarColorsFor(Rgb(192, 192, 192), Rgb(49, 106, 197));
    const MenuItemLayout layout = LayoutMenuItem(PixelRect{10, 20, 200, 42}, 16);
    const PixelPoint plain{13, 24}, raised{12, 23}, raisedShadow{14, 25}, grayedShadow{13, 24};
    const auto drawing = [](bool hotFrame, std::optional<ColorRef> checkBox, bool checkMark,
                            std::optional<PixelPoint> shadow, ColorRef shadowColor,
                            std::optional<PixelPoint> image) {
        return MenuItemDrawing{hotFrame, checkBox, checkMark, shadow, shadowColor, image};
    };
    const struct {
        const char* name;
        MenuItemState state;  // separator, selected, grayed, checked
        int image;
        MenuItemDrawing expected;
    } kRows[] = {
        {"plain", {}, 4, drawing(false, {}, false, {}, {}, plain)},
        {"no image", {}, -1, drawing(false, {}, false, {}, {}, {})},
        {"selected",
         {false, true, false, false},
         4,
         drawing(true, {}, false, raisedShadow, colors.selectedImageShadow, raised)},
        {"grayed",
         {false, false, true, false},
         4,
         drawing(false, {}, false, grayedShadow, colors.grayedImageShadow, {})},
        {"grayed and selected",
         {false, true, true, false},
         4,
         drawing(true, {}, false, grayedShadow, colors.grayedImageShadow, {})},
        {"checked",
         {false, false, false, true},
         4,
         drawing(false, colors.checkedNormal, false, {}, {}, plain)},
        {"checked and selected",
         {false, true, false, true},
         4,
         drawing(true, colors.checkedSelected, false, {}, {}, plain)},
        {"checked without image",
         {false, false, false, true},
         -1,
         drawing(false, colors.checkedNormal, true, {}, {}, {})},
        {"checked and grayed",
         {false, true, true, true},
         -1,
         drawing(true, colors.checkedGrayed, true, {}, {}, {})},
        {"separator", {true, true, false, true}, 4, drawing(false, {}, false, {}, {}, {})},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(DrawMenuItem(layout, colors, row.state, row.image), row.expected) << row.name;
    }
}

TEST(CommandBar, MenuTextSplitsAtItsTab) {
    EXPECT_EQ(SplitMenuText("Select All Items\tCtrl+A"),
              (std::pair<std::string_view, std::string_view>{"Select All Items", "Ctrl+A"}));
    EXPECT_EQ(SplitMenuText("Options..."), (std::pair<std::string_view, std::string_view>{"Options...", ""}));
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values, std::size_t bytes) {
    std::vector<uint8_t> data;
    for (uint32_t value : values) {
        for (std::size_t byte = 0; byte < bytes; ++byte)
            data.push_back(static_cast<uint8_t>(value >> (8 * byte)));
    }
    return data;
}

TEST(ToolbarResourceTest, ReadsBothCompilersLayoutsAndSkipsSeparators) {
    // The Microsoft resource compiler: 16-bit words with version 1.
    const auto microsoft = ParseToolbarResource(Words({1, 16, 15, 4, 32768, 0, 32779, 40013}, 2));
    ASSERT_TRUE(microsoft);
    EXPECT_EQ(microsoft->imageWidth, 16);
    EXPECT_EQ(microsoft->imageHeight, 15);
    EXPECT_EQ(microsoft->commands, (std::vector<uint32_t>{32768, 32779, 40013}));

    // GNU windres: 32-bit words, no version.
    const auto windres = ParseToolbarResource(Words({16, 16, 3, 32768, 32779, 32769}, 4));
    ASSERT_TRUE(windres);
    EXPECT_EQ(windres->imageWidth, 16);
    EXPECT_EQ(windres->imageHeight, 16);
    EXPECT_EQ(windres->commands, (std::vector<uint32_t>{32768, 32779, 32769}));

    // A windres image width of 1 reads as version 1 with width 0 in the
    // other layout, and is still understood.
    const auto narrow = ParseToolbarResource(Words({1, 8, 1, 32768}, 4));
    ASSERT_TRUE(narrow);
    EXPECT_EQ(narrow->imageWidth, 1);
    EXPECT_EQ(narrow->commands, (std::vector<uint32_t>{32768}));
}

TEST(ToolbarResourceTest, RefusesTruncatedOrImplausibleData) {
    EXPECT_FALSE(ParseToolbarResource({}));
    EXPECT_FALSE(ParseToolbarResource(Words({1, 16, 16}, 2)));
    // A count larger than the items present, in either layout.
    EXPECT_FALSE(ParseToolbarResource(Words({1, 16, 16, 5, 32768, 32779}, 2)));
    EXPECT_FALSE(ParseToolbarResource(Words({16, 16, 0xFFFFFFFFu, 32768}, 4)));
    // Image sizes of 0 or beyond 256.
    EXPECT_FALSE(ParseToolbarResource(Words({16, 0, 1, 32768}, 4)));
    EXPECT_FALSE(ParseToolbarResource(Words({4096, 16, 1, 32768}, 4)));
    // No items at all is a valid, empty strip.
    const auto empty = ParseToolbarResource(Words({1, 16, 16, 0}, 2));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->commands.empty());
}

TEST(ContextMenuImagesTest, EachItemKindHasItsImageAndSelectionDeleteHasNone) {
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32788, 7), 0);   // Open URL (History)
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32798, 7), 1);   // Copy URL (Cache)
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32794, 7), 2);   // Delete Cookie
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32782, 7), 3);   // Add to Favorites
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32801, 7), 6);   // Properties (Cache)
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32791, 7), -1);  // Delete Selected Items
    // An image the list does not hold is no image.
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32796, 6), -1);
    EXPECT_EQ(MenuImageIndex(kContextMenuImages, 32788, 0), -1);
}

}  // namespace
}  // namespace qm
