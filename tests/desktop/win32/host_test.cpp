#include "desktop/win32/host.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "desktop/win32/local_history_service.h"
#include "tests/band/win32/band_dll.h"

namespace qm::test {
namespace {

std::wstring StatusBarText(const Host& host) {
    wchar_t text[256] = {};
    SendMessageW(host.statusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK CollectLists(HWND window, LPARAM lists) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "ListCtrl") reinterpret_cast<std::vector<HWND>*>(lists)->push_back(window);
    return TRUE;
}

std::vector<HWND> Lists(HWND view) {
    std::vector<HWND> lists;
    EnumChildWindows(view, &CollectLists, reinterpret_cast<LPARAM>(&lists));
    return lists;
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// One frame for the whole run: under Xvfb, without a window manager, Wine
// takes seconds to take each top-level window off the screen.
TEST(HostTest, TheBandFillsTheFrameWhereItOpensItsHistoryAndTheStatusBarAndClosesClean) {
    // The history service of this process, which the band's CoCreateInstance
    // finds before the platform's.
    LocalHistoryService history;
    ASSERT_EQ(history.registration(), S_OK);
    for (const char16_t* url : {u"http://host.example/one", u"http://host.example/two"})
        history.Add({url, u"Page", FileTime{132223104000000000ull}, FileTime{132223104000000000ull}, FileTime{}});
    Host host(FramePlacement{PixelRect{50, 60, 750, 560}, false});
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message)) << std::string(message.begin(), message.end());
    wchar_t title[64] = {};
    GetWindowTextW(host.frameWindow(), title, 64);
    EXPECT_STREQ(title, L"Quillmere");
    EXPECT_EQ(host.bandInfo().dwMask, 63u);
    const RECT opened = ScreenRect(host.frameWindow());
    EXPECT_EQ(opened.left, 50);
    EXPECT_EQ(opened.top, 60);
    EXPECT_EQ(opened.right, 750);
    EXPECT_EQ(opened.bottom, 560);

    const HWND view = host.bandWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetAncestor(view, GA_PARENT), host.siteWindow());
    EXPECT_TRUE(IsWindowVisible(view));
    PumpUntil([&] { return !StatusBarText(host).empty(); });
    EXPECT_EQ(StatusBarText(host), L"Internet Explorer History contains: 2 items");

    // The site fills the frame above the status bar, the band the site; the
    // placement follows the frame.
    SetWindowPos(host.frameWindow(), nullptr, 80, 90, 700, 560, SWP_NOZORDER);
    PumpUntil([] { return true; });
    EXPECT_EQ(host.placement(), (FramePlacement{PixelRect{80, 90, 780, 650}, false}));
    const RECT site = ScreenRect(host.siteWindow());
    const RECT band = ScreenRect(view);
    EXPECT_TRUE(EqualRect(&site, &band));
    RECT frameClient = {};
    GetClientRect(host.frameWindow(), &frameClient);
    MapWindowPoints(host.frameWindow(), nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
    const RECT status = ScreenRect(host.statusBar());
    EXPECT_EQ(site.left, frameClient.left);
    EXPECT_EQ(site.top, frameClient.top);
    EXPECT_EQ(site.right, frameClient.right);
    EXPECT_EQ(site.bottom, status.top);
    EXPECT_EQ(status.bottom, frameClient.bottom);

    // The frame is no browser: its browser object names no browser window,
    // so the band keeps no browser edge clear and its lists end at its own
    // right edge, scroll bar in view.
    RECT viewClient = {};
    GetClientRect(view, &viewClient);
    const std::vector<HWND> lists = Lists(view);
    ASSERT_EQ(lists.size(), 3u);
    for (HWND list : lists) {
        const RECT rect = ScreenRect(list);
        EXPECT_EQ(rect.right - rect.left, viewClient.right);
    }

    // The frame hands its focus to the band's visible list.
    SetFocus(nullptr);
    SetFocus(host.frameWindow());
    EXPECT_TRUE(PumpUntil([&] {
        const HWND focus = GetFocus();
        return focus && IsWindowVisible(focus) && std::find(lists.begin(), lists.end(), focus) != lists.end();
    }));

    // Maximized, the normal rectangle is what comes back on restore.
    ShowWindow(host.frameWindow(), SW_MAXIMIZE);
    PumpUntil([] { return true; });
    EXPECT_EQ(host.placement(), (FramePlacement{PixelRect{80, 90, 780, 650}, true}));

    host.Stop();
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(host.band(), nullptr);
}

}  // namespace
}  // namespace qm::test
