// The flat tab window in the shared test parent: a press reaching the
// model and the parent's notifications and veto, the tooltip, and what the
// strip paints. Hit-testing, borders and when the parent is asked are
// decided by the TabModel and tested natively.
#include "widgets/win32/flat_tab.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/win32/message_log.h"
#include "tests/widgets/win32/widget_window_test.h"

namespace qm {
namespace {

constexpr UINT kTabId = 778;
constexpr DWORD kTooltipsStyle = 0x4000;

// Three tabs, 70 pixels each, in a 400 x 22 window; the parent logs each
// WM_NOTIFY with the tab current at that moment and answers
// TCN_SELCHANGING with `veto_`.
class FlatTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestParent::Shared().SetHandler([this](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message != WM_NOTIFY) return std::nullopt;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            EXPECT_EQ(header->hwndFrom, tabs_.window());
            log_.Add(LoggedMessage{message, 0, lParam, static_cast<int>(header->code), tabs_.CurrentTab(),
                                   static_cast<int>(header->idFrom)});
            return header->code == static_cast<UINT>(TCN_SELCHANGING) ? veto_ : 0;
        });
        ASSERT_TRUE(tabs_.Create(GetModuleHandleA(nullptr), TestParent::Shared().window(), RECT{10, 10, 410, 32},
                                 WS_CHILD | WS_VISIBLE | kTooltipsStyle, kTabId));
        ASSERT_EQ(tabs_.AddTab(" History ", 0), 1);
        ASSERT_EQ(tabs_.AddTab(" Cookies ", 1), 1);
        ASSERT_EQ(tabs_.AddTab(" Cache ", 2), 1);
        log_.Clear();
    }
    void TearDown() override {
        tabs_.Destroy();
        TestParent::Shared().SetHandler({});
    }

    void Click(int x) {
        SendMessageA(tabs_.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        SendMessageA(tabs_.window(), WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    }

    MessageLog log_;
    LRESULT veto_ = 0;
    FlatTabCtrl tabs_;
};

TEST_F(FlatTabTest, ClickOnAnotherTabAsksThenTellsTheParentWhoMayVeto) {
    char className[32] = {};
    GetClassNameA(tabs_.window(), className, sizeof(className));
    EXPECT_STREQ(className, "QMFlatTabCtrl");

    veto_ = 1;
    Click(150);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(TCN_SELCHANGING, 0, kTabId)}, "vetoed click"));
    EXPECT_EQ(tabs_.CurrentTab(), 0);

    // The change is asked for while tab 0 is current, told once tab 1 is.
    veto_ = 0;
    Click(100);
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(TCN_SELCHANGING, 0, kTabId), Notification(TCN_SELCHANGE, 1, kTabId)},
                               "click on the second tab"));
    EXPECT_EQ(tabs_.CurrentTab(), 1);
}

TEST_F(FlatTabTest, TooltipStyleMakesTheTooltipThatGoesWithTheWindow) {
    ASSERT_TRUE(tabs_.tooltip());
    EXPECT_EQ(SendMessageA(tabs_.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tabs_.tooltip(), TTM_GETMAXTIPWIDTH, 0, 0), 32767);
    const HWND tooltip = tabs_.tooltip();
    tabs_.Destroy();
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_FALSE(tabs_.window());

    // Style 0: a visible child clipping its siblings and children, no tooltip.
    FlatTabCtrl plain;
    ASSERT_TRUE(plain.Create(GetModuleHandleA(nullptr), TestParent::Shared().window(), RECT{0, 40, 300, 62}, 0, 5));
    EXPECT_FALSE(plain.tooltip());
    const LONG style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(GetWindowLongA(plain.window(), GWL_STYLE) & style, style);
}

TEST_F(FlatTabTest, CurrentTabIsFilledAndOpenAtTheBottom) {
    const FlatTabColors colors = FlatTabColorsFor(ColorRef{static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE))});
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    {
        const Picture picture(tabs_.window());
        EXPECT_EQ(picture.At(35, 21), ToColorref(colors.currentFill));  // its bottom row is fill, not outline
        EXPECT_EQ(picture.At(0, 10), shadow);                            // its left side
        EXPECT_EQ(picture.At(68, 10), shadow);                           // its right side, 2 pixels in
        EXPECT_EQ(picture.At(100, 19), shadow);  // the others' outline, 3 pixels above the edge
        EXPECT_NE(picture.At(100, 21), ToColorref(colors.currentFill));
        EXPECT_EQ(picture.At(300, 0), ToColorref(colors.gradientTop));  // right of the strip
    }
    Click(150);
    const Picture after(tabs_.window());
    EXPECT_EQ(after.At(175, 21), ToColorref(colors.currentFill));
    EXPECT_NE(after.At(35, 21), ToColorref(colors.currentFill));
}

}  // namespace
}  // namespace qm
