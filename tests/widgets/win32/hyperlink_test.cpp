// The hyperlink over a real static in the shared test parent: attaching
// and the tooltip, mouse and key messages reaching the model, the hand
// cursor, what it paints, and the browser's link colour read from the
// real registry. When a press or key opens, and where the text lies, are
// decided by the HyperLinkModel and tested natively.
#include "widgets/win32/hyperlink.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "tests/widgets/win32/widget_window_test.h"

namespace qm {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kParentFill = RGB(250, 240, 200);

// Records what the link asks the shell to open.
class RecordingShell final : public Shell {
public:
    std::optional<std::string> SpecialFolderPath(SpecialFolder) override { return std::nullopt; }
    bool Open(std::string_view target) override {
        opened.emplace_back(target);
        return true;
    }
    void ClearRecentDocuments() override {}
    bool ShowProperties(std::string_view) override { return false; }
    bool SaveInternetShortcut(std::string_view, const InternetShortcut&) override { return false; }
    std::string ExpandVariables(std::string_view text) override { return std::string(text); }
    bool SetClipboardText(std::string_view) override { return false; }

    std::vector<std::string> opened;
};

// A 300 x 20 static in the shared parent, which colours statics with its
// own brush.
class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestParent::Shared().SetHandler([this](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(brush_);
            return std::nullopt;
        });
    }
    void TearDown() override {
        for (HWND window : windows_) DestroyWindow(window);
        TestParent::Shared().SetHandler({});
        DeleteObject(brush_);
        SetAnchorColor(nullptr);
    }

    void SetAnchorColor(const char* value) {
        const auto key = registry_.Create(RegistryRoot::CurrentUser, kBrowserSettingsKey);
        ASSERT_TRUE(key);
        if (value) {
            key->WriteString("Anchor Color", value);
        } else {
            key->DeleteValue("Anchor Color");
        }
    }

    HWND MakeStatic(DWORD style, const char* className = "Static") {
        HWND window = CreateWindowExA(0, className, "www.quillmere.example", WS_CHILD | WS_VISIBLE | style, 10,
                                      10 + 30 * static_cast<int>(windows_.size()), 300, 20,
                                      TestParent::Shared().window(), nullptr, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        return window;
    }
    // Attaches `link_` to a new static of `style`.
    HWND Attach(DWORD style = SS_LEFT) {
        link_.SetTarget("http://www.quillmere.example/");
        HWND label = MakeStatic(style);
        EXPECT_TRUE(link_.Attach(label));
        Pump();
        return label;
    }
    LPARAM InText(int dx = 5) const {
        const PixelRect& text = link_.model().textRect();
        return MAKELPARAM(text.left + dx, (text.top + text.bottom) / 2);
    }

    HBRUSH brush_ = CreateSolidBrush(kParentFill);
    std::vector<HWND> windows_;
    RecordingShell shell_;
    Win32Registry registry_;
    HyperLink link_{shell_, &registry_};
};

TEST_F(HyperLinkTest, AttachTakesTheStaticsTextAddsNotifyAndATooltipThatGoesWithIt) {
    EXPECT_FALSE(link_.Attach(MakeStatic(0, "BUTTON")));
    EXPECT_FALSE(link_.Attach(nullptr));
    const HWND label = Attach();
    EXPECT_FALSE(link_.Attach(label));
    EXPECT_EQ(link_.model().label(), "www.quillmere.example");
    EXPECT_TRUE(GetWindowLongPtrA(label, GWL_STYLE) & SS_NOTIFY);
    const PixelRect text = link_.model().textRect();
    EXPECT_GT(text.width(), 40);
    EXPECT_LT(text.width(), 300);

    ASSERT_TRUE(link_.tooltip());
    char tip[128] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = label;
    tool.uId = 1;
    tool.lpszText = tip;
    ASSERT_TRUE(SendMessageA(link_.tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(tip, "http://www.quillmere.example/");
    EXPECT_EQ(tool.rect.right - tool.rect.left, text.width());

    // A new label is the window text, measured again.
    link_.SetLabel("Mail");
    EXPECT_LT(link_.model().textRect().width(), text.width());
    char shown[32] = {};
    GetWindowTextA(label, shown, sizeof(shown));
    EXPECT_STREQ(shown, "Mail");

    const HWND tooltip = link_.tooltip();
    DestroyWindow(label);
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(link_.window(), nullptr);
}

TEST_F(HyperLinkTest, ClicksAndKeysReachTheModel) {
    const HWND label = Attach();
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, InText(5));
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(GetFocus(), label);
    SendMessageA(label, WM_LBUTTONUP, 0, InText(8));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(shell_.opened, (std::vector<std::string>{"http://www.quillmere.example/"}));
    SendMessageA(label, WM_CHAR, VK_RETURN, 1);
    EXPECT_EQ(shell_.opened.size(), 2u);
    // Characters and Enter belong to the link, not to a default button.
    EXPECT_TRUE(SendMessageA(label, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS);
    MSG enter = {label, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    EXPECT_TRUE(SendMessageA(label, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
                DLGC_WANTMESSAGE);
}

TEST_F(HyperLinkTest, HandCursorOnlyOverTheText) {
    const HWND label = Attach();
    const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    const PixelRect& text = link_.model().textRect();
    for (const int x : {text.left + 5, text.right + 30}) {
        POINT point{x, 10};
        ClientToScreen(label, &point);
        SetCursorPos(point.x, point.y);
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == hand, x < text.right) << "x " << x;
    }
}

TEST_F(HyperLinkTest, PaintsOnTheParentsBrushUnderlinedOnlyWhileHovered) {
    const HWND label = Attach();
    const int width = link_.model().textRect().width();
    const int right = link_.model().textRect().right;
    const Picture plain(label);
    const int plainBlue = plain.Count(RECT{0, 0, 300, 20}, kBlue);
    EXPECT_GT(plainBlue, 30);
    EXPECT_EQ(plain.Count(RECT{right + 2, 0, 300, 20}, kBlue), 0);
    EXPECT_EQ(plain.At(299, 1), kParentFill);
    EXPECT_LT(plain.LongestRun(kBlue), width / 2);

    SendMessageA(label, WM_MOUSEMOVE, 0, InText());
    SendMessageA(label, WM_MOUSEHOVER, 0, InText());
    EXPECT_GE(Picture(label).LongestRun(kBlue), width - 2);
    SendMessageA(label, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Picture(label).Count(RECT{0, 0, 300, 20}, kBlue), plainBlue);
}

TEST_F(HyperLinkTest, CentredTextIsActiveWhereItIsDrawnAndImageStaticsKeepTheirLook) {
    const HWND centred = Attach(SS_CENTER);
    const PixelRect text = link_.model().textRect();
    EXPECT_GT(text.left, 50);
    const Picture picture(centred);
    EXPECT_EQ(picture.Count(RECT{0, 0, text.left, 20}, kBlue), 0);
    EXPECT_GT(picture.Count(RECT{text.left, 0, text.right + 1, 20}, kBlue), 30);

    HyperLink frame(shell_);
    const HWND black = MakeStatic(SS_BLACKRECT);
    ASSERT_TRUE(frame.Attach(black));
    EXPECT_EQ(Picture(black).At(150, 10), GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(HyperLinkTest, BrowserAnchorColourFromTheRegistryColoursTheText) {
    SetAnchorColor("0,0,128");
    const HWND label = Attach();
    EXPECT_EQ(link_.linkColor(), Rgb(0, 0, 128));
    const Picture picture(label);
    EXPECT_GT(picture.Count(RECT{0, 0, 300, 20}, RGB(0, 0, 128)), 30);
    EXPECT_EQ(picture.Count(RECT{0, 0, 300, 20}, kBlue), 0);
}

}  // namespace
}  // namespace qm
