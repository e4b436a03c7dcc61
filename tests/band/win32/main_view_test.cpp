#include <gtest/gtest.h>

#include "band/main_view_layout.h"
#include "desktop/win32/band_site.h"
#include "tests/band/win32/band_dll.h"

using Microsoft::WRL::ComPtr;

namespace qm::test {
namespace {

// A band sited in a plain top-level window, closed and released at the end.
class SitedBand {
public:
    SitedBand() {
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 500, 320,
                                  nullptr, nullptr, nullptr, nullptr);
        site_ = std::make_unique<BandSite>(parent_, nullptr);
        band_ = NewBand();
        if (!band_ || FAILED(band_.As(&withSite_))) return;
        if (FAILED(withSite_->SetSite(static_cast<IOleWindow*>(site_.get())))) return;
        band_->GetWindow(&view_);
    }
    ~SitedBand() {
        if (band_) band_->CloseDW(0);
        if (withSite_) withSite_->SetSite(nullptr);
        withSite_.Reset();
        band_.Reset();
        DestroyWindow(parent_);
    }
    HWND parent() const { return parent_; }
    HWND view() const { return view_; }
    IDeskBand* band() const { return band_.Get(); }

private:
    HWND parent_ = nullptr;
    std::unique_ptr<BandSite> site_;
    ComPtr<IDeskBand> band_;
    ComPtr<IObjectWithSite> withSite_;
    HWND view_ = nullptr;
};

// One sited band for every case: under Xvfb, without a window manager, Wine
// takes seconds to take each top-level window off the screen.
TEST(MainViewTest, IsTitledPlainShowsHidesIgnoresCloseAndPaintsItsBackground) {
    SitedBand sited;
    ASSERT_NE(sited.view(), nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(sited.view(), title, 64);
    EXPECT_STREQ(title, L"QuillmereSuperClass");
    // WS_VISIBLE is left out: the system keeps it in step with the window's
    // real visibility whatever the style word says.
    const LONG_PTR style = GetWindowLongPtrW(sited.view(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_CLIPCHILDREN | WS_DISABLED | WS_CAPTION | WS_POPUP | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongPtrW(sited.view(), GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetAncestor(sited.view(), GA_PARENT), sited.parent()) << "it stays inside the site window";

    EXPECT_EQ(sited.band()->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(IsWindowVisible(sited.view()));
    EXPECT_EQ(sited.band()->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(IsWindowVisible(sited.view()));
    EXPECT_EQ(SendMessageW(sited.view(), WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(sited.view()));

    RECT client = {};
    GetClientRect(sited.view(), &client);
    ASSERT_GT(client.right, 40);
    ASSERT_GT(client.bottom, 40);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    EXPECT_EQ(SendMessageW(sited.view(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);

    // Which lines go where is decided natively; here they land in the
    // system's colours.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const ChannelColour expected = BackgroundColour({GetRValue(face), GetGValue(face), GetBValue(face)});
    const COLORREF background = RGB(expected.red, expected.green, expected.blue);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(GetPixel(dc, 20, 40), background);
    EXPECT_EQ(GetPixel(dc, 0, 40), shadow) << "left edge";
    EXPECT_EQ(GetPixel(dc, client.right - 2, 40), shadow) << "two pixels in from the right";
    EXPECT_EQ(GetPixel(dc, 20, kMenuBarHeight), shadow) << "under the menu bar";

    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace qm::test
