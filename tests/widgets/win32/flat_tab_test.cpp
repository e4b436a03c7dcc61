// The flat tab window in a test parent: real mouse presses, the parent's
// notifications and veto, and what the strip paints.
#include "widgets/win32/flat_tab.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/win32/message_log.h"

namespace qm {
namespace {

constexpr UINT kTabId = 778;

// The parent: logs every WM_NOTIFY with the tab current at that moment and
// answers TCN_SELCHANGING with `vetoAnswer`.
struct TabParent {
    MessageLog log;
    FlatTabCtrl* tabs = nullptr;
    LRESULT vetoAnswer = 0;
    HWND window = nullptr;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TabParent*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            LoggedMessage entry{message, wParam, lParam, static_cast<int>(header->code)};
            entry.item = self->tabs ? self->tabs->CurrentTab() : -1;
            entry.subItem = static_cast<int>(header->idFrom);
            self->log.Add(entry);
            EXPECT_EQ(header->hwndFrom, self->tabs->window());
            return header->code == static_cast<UINT>(TCN_SELCHANGING) ? self->vetoAnswer : 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    TabParent() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &TabParent::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QmTabTestParent";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "QmTabTestParent", "tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 120,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TabParent() { DestroyWindow(window); }
};

class FlatTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent_.window);
        const RECT rect{10, 10, 410, 32};
        ASSERT_TRUE(tabs_.Create(GetModuleHandleA(nullptr), parent_.window, rect, WS_CHILD | WS_VISIBLE | 0x4000,
                                 kTabId));
        parent_.tabs = &tabs_;
        ASSERT_EQ(tabs_.AddTab(" History ", 0), 1);
        ASSERT_EQ(tabs_.AddTab(" Cookies ", 1), 1);
        ASSERT_EQ(tabs_.AddTab(" Cache ", 2), 1);
        parent_.log.Clear();
    }

    void Press(int x, UINT message = WM_LBUTTONDOWN) {
        SendMessageA(tabs_.window(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, 8));
        SendMessageA(tabs_.window(), message == WM_LBUTTONDOWN ? WM_LBUTTONUP : message + 1, 0, MAKELPARAM(x, 8));
    }

    TabParent parent_;
    FlatTabCtrl tabs_;
};

TEST_F(FlatTabTest, ClickOnAnotherTabAsksThenTellsTheParent) {
    char className[32] = {};
    GetClassNameA(tabs_.window(), className, sizeof(className));
    EXPECT_STREQ(className, "QMFlatTabCtrl");
    EXPECT_EQ(tabs_.CurrentTab(), 0);

    Press(100);
    // The change is asked for while tab 0 is current, told once tab 1 is.
    EXPECT_TRUE(ExpectSequence(parent_.log,
                               {Notification(TCN_SELCHANGING, 0, kTabId), Notification(TCN_SELCHANGE, 1, kTabId)},
                               "click on the second tab"));
    EXPECT_EQ(tabs_.CurrentTab(), 1);
}

TEST_F(FlatTabTest, BordersBelongToTheLeftTabAndClicksOffTheTabsDoNothing) {
    Press(70);  // the border between History and Cookies: still History, the current tab
    EXPECT_TRUE(ExpectSequence(parent_.log, {}, "click on the first border"));
    EXPECT_EQ(tabs_.CurrentTab(), 0);

    Press(141);
    EXPECT_TRUE(ExpectSequence(parent_.log, {Notification(TCN_SELCHANGING), Notification(TCN_SELCHANGE)},
                               "click just right of the second border"));
    EXPECT_EQ(tabs_.CurrentTab(), 2);

    SendMessageA(tabs_.window(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 8));
    SendMessageA(tabs_.window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageA(tabs_.window(), WM_KEYDOWN, VK_LEFT, 0);
    Press(211);  // right of the last tab, inside the 400-pixel window
    Press(350);
    EXPECT_TRUE(ExpectSequence(parent_.log, {}, "right button, double click, key and clicks right of the tabs"));
    EXPECT_EQ(tabs_.CurrentTab(), 2);
    EXPECT_EQ(tabs_.model().stripWidth(), 210);
}

TEST_F(FlatTabTest, ParentVetoKeepsTheCurrentTab) {
    parent_.vetoAnswer = 1;
    Press(150);
    EXPECT_TRUE(ExpectSequence(parent_.log, {Notification(TCN_SELCHANGING, 0, kTabId)}, "vetoed click"));
    EXPECT_EQ(tabs_.CurrentTab(), 0);

    parent_.vetoAnswer = 0;
    Press(0);  // the current tab: not even asked
    EXPECT_TRUE(ExpectSequence(parent_.log, {}, "click on the current tab"));
}

TEST_F(FlatTabTest, AddTabAcceptsOnlyPositionsUpToTheCount) {
    EXPECT_EQ(tabs_.AddTab("x", 5), -1);
    EXPECT_EQ(tabs_.AddTab("x", -1), -1);
    EXPECT_EQ(tabs_.AddTab(" Extra ", 0), 1);  // accepted, yet appended
    EXPECT_EQ(tabs_.model().Title(3), " Extra ");
    EXPECT_EQ(tabs_.model().stripWidth(), 280);
    EXPECT_EQ(tabs_.CurrentTab(), 0);
    EXPECT_TRUE(ExpectSequence(parent_.log, {}, "adding tabs notifies nothing"));
}

TEST_F(FlatTabTest, TooltipStyleMakesTheTooltipWithItsText) {
    ASSERT_TRUE(tabs_.tooltip());
    EXPECT_EQ(SendMessageA(tabs_.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tabs_.tooltip(), TTM_GETMAXTIPWIDTH, 0, 0), 32767);
    HWND tooltip = tabs_.tooltip();
    tabs_.Destroy();
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_FALSE(tabs_.window());

    FlatTabCtrl plain;
    ASSERT_TRUE(plain.Create(GetModuleHandleA(nullptr), parent_.window, RECT{0, 40, 300, 62}, 0, 5));
    EXPECT_FALSE(plain.tooltip());
    const LONG style = GetWindowLongA(plain.window(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    EXPECT_EQ(plain.CurrentTab(), -1);
}

// Paints the window into a bitmap the way a print request does, and reads
// pixels back.
class Capture {
public:
    Capture(HWND window, int width, int height) : width_(width) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(dc_, bitmap_);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~Capture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    int width() const { return width_; }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// Writes the window's client area as a 24-bit BMP in the working folder.
void SaveScreenshot(HWND window, const char* path) {
    RECT client;
    GetClientRect(window, &client);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(client.right) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(client.bottom);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&file, sizeof(file), 1, out);
        std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
        std::fwrite(bits, size, 1, out);
        std::fclose(out);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(FlatTabTest, ScreenshotOfTheStripWithCookiesCurrent) {
    Press(100);
    SaveScreenshot(tabs_.window(), "flat_tab_strip.bmp");
    FILE* saved = std::fopen("flat_tab_strip.bmp", "rb");
    ASSERT_TRUE(saved);
    std::fseek(saved, 0, SEEK_END);
    EXPECT_EQ(std::ftell(saved), 54 + 400 * 3 * 22);
    std::fclose(saved);
}

TEST_F(FlatTabTest, CurrentTabIsFilledAndOpenAtTheBottom) {
    const FlatTabColors colors = FlatTabColorsFor(ColorRef{static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE))});
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    {
        Capture capture(tabs_.window(), 400, 22);
        // The current tab's bottom row is its fill, not an outline.
        EXPECT_EQ(capture.At(35, 21), colors.currentFill.value);
        EXPECT_EQ(capture.At(0, 10), shadow);   // its left side
        EXPECT_EQ(capture.At(68, 10), shadow);  // its right side, 2 pixels in
        // The others carry the gradient and an outline 3 pixels above the edge.
        EXPECT_EQ(capture.At(100, 19), shadow);
        EXPECT_EQ(capture.At(100, 21), VerticalGradientBands(colors.gradientTop, colors.gradientBottom, 22).back().color.value);
        // Right of the strip: the background gradient.
        EXPECT_EQ(capture.At(300, 0), colors.gradientTop.value);
    }
    Press(150);
    Capture after(tabs_.window(), 400, 22);
    EXPECT_EQ(after.At(175, 21), colors.currentFill.value);
    EXPECT_NE(after.At(35, 21), colors.currentFill.value);
}

}  // namespace
}  // namespace qm
