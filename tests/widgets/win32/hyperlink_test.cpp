// The hyperlink over a real static in a test dialog-like parent: attaching,
// the browser's link colour from the registry, hover underline, hand
// cursor, clicks inside and outside the text, Enter and Space, and the
// tooltip.
#include "widgets/win32/hyperlink.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"

namespace qm {
namespace {

constexpr char kSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

// Records what the link asks the shell to open; answers with `succeeds`.
class RecordingShell final : public Shell {
public:
    std::optional<std::string> SpecialFolderPath(SpecialFolder) override { return std::nullopt; }
    bool Open(std::string_view target) override {
        opened.emplace_back(target);
        return succeeds;
    }
    void ClearRecentDocuments() override {}
    bool ShowProperties(std::string_view) override { return false; }
    bool SaveInternetShortcut(std::string_view, const InternetShortcut&) override { return false; }
    std::string ExpandVariables(std::string_view text) override { return std::string(text); }
    bool SetClipboardText(std::string_view) override { return false; }

    std::vector<std::string> opened;
    bool succeeds = true;
};

// The parent answers WM_CTLCOLORSTATIC with a white brush.
struct LinkParent {
    HWND window = nullptr;
    HWND label = nullptr;
    HWND other = nullptr;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        return DefWindowProcA(window, message, wParam, lParam);
    }

    explicit LinkParent(DWORD labelStyle = SS_LEFT) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &LinkParent::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QmHyperLinkTestParent";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "QmHyperLinkTestParent", "links", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                 40, 400, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        label = CreateWindowExA(0, "Static", "www.quillmere.example", WS_CHILD | WS_VISIBLE | labelStyle, 10,
                                10, 300, 20, window, nullptr, GetModuleHandleA(nullptr), nullptr);
        other = CreateWindowExA(0, "BUTTON", "ok", WS_CHILD | WS_VISIBLE, 10, 60, 60, 24, window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~LinkParent() { DestroyWindow(window); }
};

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Paints the link into a bitmap and counts pixels of a colour per row.
class LinkPicture {
public:
    explicit LinkPicture(HWND window) {
        GetClientRect(window, &client_);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client_.right, client_.bottom);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(dc_, bitmap_);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~LinkPicture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    int Count(COLORREF color, int x0, int x1) const {
        int count = 0;
        for (int y = 0; y < client_.bottom; ++y) {
            for (int x = x0; x < x1; ++x) count += GetPixel(dc_, x, y) == color ? 1 : 0;
        }
        return count;
    }
    // The longest horizontal run of the colour in one row.
    int LongestRun(COLORREF color) const {
        int longest = 0;
        for (int y = 0; y < client_.bottom; ++y) {
            int run = 0;
            for (int x = 0; x < client_.right; ++x) {
                run = GetPixel(dc_, x, y) == color ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        return longest;
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    RECT client_{};
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

void SetAnchorColor(const char* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    if (value) {
        RegSetValueExA(key, "Anchor Color", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(strlen(value) + 1));
    } else {
        RegDeleteValueA(key, "Anchor Color");
    }
    RegCloseKey(key);
}

LPARAM At(const PixelRect& rect, int dx, int dy) {
    return MAKELPARAM(rect.left + dx, (rect.top + rect.bottom) / 2 + dy);
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAnchorColor(nullptr);
        link_.SetTarget("http://www.quillmere.example/");
        ASSERT_TRUE(link_.Attach(parent_.label));
        Pump();
    }
    void TearDown() override { SetAnchorColor(nullptr); }

    const PixelRect& text() const { return link_.model().textRect(); }

    LinkParent parent_;
    RecordingShell shell_;
    Win32Registry registry_;
    HyperLink link_{shell_, &registry_};
};

TEST_F(HyperLinkTest, AttachTakesTheStaticsTextAddsNotifyAndATooltip) {
    EXPECT_EQ(link_.window(), parent_.label);
    EXPECT_EQ(link_.model().label(), "www.quillmere.example");
    EXPECT_TRUE(GetWindowLongPtrA(parent_.label, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(link_.linkColor(), Rgb(0, 0, 255));
    // The text rectangle is the text, at the left, not the whole static.
    EXPECT_EQ(text().left, 0);
    EXPECT_GT(text().width(), 40);
    EXPECT_LT(text().width(), 300);

    ASSERT_TRUE(link_.tooltip());
    char tip[128] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = parent_.label;
    tool.uId = 1;
    tool.lpszText = tip;
    ASSERT_TRUE(SendMessageA(link_.tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(tip, "http://www.quillmere.example/");
    EXPECT_EQ(tool.rect.right - tool.rect.left, text().width());

    // Once is enough; other classes are refused.
    EXPECT_FALSE(link_.Attach(parent_.label));
    HyperLink second(shell_);
    EXPECT_FALSE(second.Attach(parent_.other));
    EXPECT_FALSE(second.Attach(nullptr));

    // The tooltip goes with the static.
    const HWND tooltip = link_.tooltip();
    DestroyWindow(parent_.label);
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(link_.window(), nullptr);
}

TEST_F(HyperLinkTest, ClickInsideTheTextOpensTheTarget) {
    SendMessageA(parent_.label, WM_LBUTTONDOWN, MK_LBUTTON, At(text(), 5, 0));
    EXPECT_EQ(GetCapture(), parent_.label);
    EXPECT_EQ(GetFocus(), parent_.label);
    SendMessageA(parent_.label, WM_LBUTTONUP, 0, At(text(), 8, 0));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"http://www.quillmere.example/"}));

    // A failed open shows nothing and changes nothing.
    shell_.succeeds = false;
    SendMessageA(parent_.label, WM_LBUTTONDOWN, MK_LBUTTON, At(text(), 5, 0));
    SendMessageA(parent_.label, WM_LBUTTONUP, 0, At(text(), 5, 0));
    EXPECT_EQ(shell_.opened.size(), 2u);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HyperLinkTest, PressInsideReleaseOutsideOrClickBesideTheTextDoesNothing) {
    SendMessageA(parent_.label, WM_LBUTTONDOWN, MK_LBUTTON, At(text(), 5, 0));
    SendMessageA(parent_.label, WM_LBUTTONUP, 0, MAKELPARAM(text().right + 20, 10));
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_EQ(GetCapture(), nullptr);

    // Empty space right of the text: no capture, no open.
    SendMessageA(parent_.label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(text().right + 20, 10));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(parent_.label, WM_LBUTTONUP, 0, MAKELPARAM(text().right + 20, 10));
    // A release without a press inside.
    SendMessageA(parent_.label, WM_LBUTTONUP, 0, At(text(), 5, 0));
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(HyperLinkTest, EnterAndSpaceOpenOtherCharactersDoNot) {
    SendMessageA(parent_.label, WM_CHAR, 'a', 1);
    EXPECT_TRUE(shell_.opened.empty());
    SendMessageA(parent_.label, WM_CHAR, VK_RETURN, 1);
    SendMessageA(parent_.label, WM_CHAR, ' ', 1);
    EXPECT_EQ(shell_.opened.size(), 2u);
    EXPECT_TRUE(SendMessageA(parent_.label, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);
    MSG enter = {parent_.label, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    EXPECT_TRUE(SendMessageA(parent_.label, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
                DLGC_WANTMESSAGE);
}

TEST_F(HyperLinkTest, UnderlinedOnlyWhileHovered) {
    const COLORREF blue = RGB(0, 0, 255);
    LinkPicture plain(parent_.label);
    const int plainBlue = plain.Count(blue, 0, 300);
    EXPECT_GT(plainBlue, 30);
    EXPECT_EQ(plain.Count(blue, text().right + 2, 300), 0);  // nothing right of the text
    EXPECT_EQ(plain.At(299, 1), RGB(255, 255, 255));         // the parent's brush
    EXPECT_LT(plain.LongestRun(blue), text().width() / 2);

    SendMessageA(parent_.label, WM_MOUSEMOVE, 0, At(text(), 5, 0));
    SendMessageA(parent_.label, WM_MOUSEHOVER, 0, At(text(), 5, 0));
    EXPECT_TRUE(link_.model().hovered());
    LinkPicture hovered(parent_.label);
    // The underline: one row blue across (nearly) the whole text.
    EXPECT_GE(hovered.LongestRun(blue), text().width() - 2);

    SendMessageA(parent_.label, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(link_.model().hovered());
    LinkPicture after(parent_.label);
    EXPECT_EQ(after.Count(blue, 0, 300), plainBlue);
}

TEST_F(HyperLinkTest, HandCursorOnlyOverTheText) {
    const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    POINT inside{text().left + 5, (text().top + text().bottom) / 2};
    ClientToScreen(parent_.label, &inside);
    SetCursorPos(inside.x, inside.y);
    SetCursor(arrow);
    EXPECT_TRUE(SendMessageA(parent_.label, WM_SETCURSOR, reinterpret_cast<WPARAM>(parent_.label),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), hand);

    POINT beside{text().right + 30, 10};
    ClientToScreen(parent_.label, &beside);
    SetCursorPos(beside.x, beside.y);
    SendMessageA(parent_.label, WM_SETCURSOR, reinterpret_cast<WPARAM>(parent_.label),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), hand);
}

TEST_F(HyperLinkTest, LabelReplacesTheShownTextAndItsRectangle) {
    const int before = text().width();
    link_.SetLabel("Mail");
    EXPECT_LT(text().width(), before);
    char shown[32] = {};
    GetWindowTextA(parent_.label, shown, sizeof(shown));
    EXPECT_STREQ(shown, "Mail");
    SendMessageA(parent_.label, WM_CHAR, ' ', 1);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"http://www.quillmere.example/"}));
}

TEST(HyperLinkColor, BrowserAnchorColorReplacesTheDefaultWhenWellFormed) {
    RecordingShell shell;
    Win32Registry registry;
    {
        SetAnchorColor("0,0,128");
        LinkParent parent;
        HyperLink link(shell, &registry);
        link.SetTarget("mailto:support@quillmere.example");
        ASSERT_TRUE(link.Attach(parent.label));
        EXPECT_EQ(link.linkColor(), Rgb(0, 0, 128));
        LinkPicture picture(parent.label);
        EXPECT_GT(picture.Count(RGB(0, 0, 128), 0, 300), 30);
        EXPECT_EQ(picture.Count(RGB(0, 0, 255), 0, 300), 0);
    }
    for (const char* malformed : {"0,0", "red,green,blue", "0,0,256", "1,2,3,4"}) {
        SetAnchorColor(malformed);
        LinkParent parent;
        HyperLink link(shell, &registry);
        ASSERT_TRUE(link.Attach(parent.label));
        EXPECT_EQ(link.linkColor(), Rgb(0, 0, 255)) << malformed;
    }
    SetAnchorColor(nullptr);
}

TEST(HyperLinkStatics, CentredTextIsActiveWhereItIsDrawnAndImageStaticsKeepTheirLook) {
    RecordingShell shell;
    {
        LinkParent parent(SS_CENTER);
        HyperLink link(shell);
        link.SetTarget("http://www.quillmere.example/");
        ASSERT_TRUE(link.Attach(parent.label));
        const PixelRect& text = link.model().textRect();
        EXPECT_GT(text.left, 50);
        EXPECT_NEAR(text.left, 300 - text.right, 1);
        LinkPicture picture(parent.label);
        EXPECT_EQ(picture.Count(RGB(0, 0, 255), 0, text.left), 0);
        EXPECT_GT(picture.Count(RGB(0, 0, 255), text.left, text.right + 1), 30);
    }
    {
        LinkParent parent(SS_BLACKRECT);
        HyperLink link(shell);
        link.SetTarget("http://www.quillmere.example/");
        ASSERT_TRUE(link.Attach(parent.label));
        LinkPicture picture(parent.label);
        EXPECT_EQ(picture.At(150, 10), GetSysColor(COLOR_3DDKSHADOW));
    }
}

}  // namespace
}  // namespace qm
