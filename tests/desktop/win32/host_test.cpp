#include "desktop/win32/host.h"

#include <commctrl.h>
#include <gtest/gtest.h>

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

TEST(HostTest, TheBandFillsTheFrameAboveTheStatusBar) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message)) << std::string(message.begin(), message.end());
    PumpMessages(50);
    wchar_t title[64] = {};
    GetWindowTextW(host.frameWindow(), title, 64);
    EXPECT_STREQ(title, L"Quillmere");

    const HWND view = host.bandWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetAncestor(view, GA_PARENT), host.siteWindow());
    EXPECT_TRUE(IsWindowVisible(view));
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
        RECT rect = {};
        GetWindowRect(list, &rect);
        EXPECT_EQ(rect.right - rect.left, viewClient.right);
    }
    EXPECT_EQ(host.bandInfo().dwMask, 63u);
}

TEST(HostTest, BandFollowsTheSiteWhenTheFrameResizes) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    SetWindowPos(host.frameWindow(), nullptr, 0, 0, 700, 560, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(50);
    RECT site = {};
    RECT band = {};
    GetClientRect(host.siteWindow(), &site);
    GetClientRect(host.bandWindow(), &band);
    EXPECT_EQ(band.right, site.right);
    EXPECT_EQ(band.bottom, site.bottom);
}

TEST(HostTest, TheFrameHandsItsFocusToTheBandsVisibleList) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    PumpMessages(1500);  // the start-up fills, their progress window among them
    SetFocus(nullptr);
    SetFocus(host.frameWindow());
    PumpMessages(50);
    const HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    char name[32] = {};
    GetClassNameA(focus, name, sizeof name);
    EXPECT_STREQ(name, "ListCtrl");
    EXPECT_TRUE(IsWindowVisible(focus));
    EXPECT_EQ(GetAncestor(focus, GA_PARENT), host.bandWindow());
}

TEST(HostTest, BandFillsItsHistoryAndTheStatusBarShowsTheCount) {
    // The history service of this process, which the band's CoCreateInstance
    // finds before the platform's.
    LocalHistoryService history;
    ASSERT_EQ(history.registration(), S_OK);
    history.Add({u"http://host.example/one", u"One", FileTime{132223104000000000ull},
                 FileTime{132223104000000000ull}, FileTime{}});
    history.Add({u"http://host.example/two", u"Two", FileTime{132223104000000000ull},
                 FileTime{132223104000000000ull}, FileTime{}});
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    const HWND view = host.bandWindow();
    ASSERT_NE(view, nullptr);

    // The menu bar, the tab strip and the three lists are the view's.
    EXPECT_NE(GetDlgItem(view, 778), nullptr);
    EXPECT_NE(FindWindowExA(view, nullptr, "WTL_CommandBarXP", nullptr), nullptr);

    const DWORD start = GetTickCount();
    while (StatusBarText(host).empty() && GetTickCount() - start < 3000) PumpMessages(20);
    EXPECT_EQ(StatusBarText(host), L"Internet Explorer History contains: 2 items");
    PumpMessages(400);  // the second fill, so that closing meets no running one
}

TEST(HostTest, PlacementIsWhereTheFrameOpensAndFollowsIt) {
    Host host(FramePlacement{PixelRect{50, 60, 750, 560}, false});
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    PumpMessages(50);
    const RECT opened = ScreenRect(host.frameWindow());
    EXPECT_EQ(opened.left, 50);
    EXPECT_EQ(opened.top, 60);
    EXPECT_EQ(opened.right, 750);
    EXPECT_EQ(opened.bottom, 560);

    SetWindowPos(host.frameWindow(), nullptr, 80, 90, 640, 480, SWP_NOZORDER);
    PumpMessages(50);
    EXPECT_EQ(host.placement(), (FramePlacement{PixelRect{80, 90, 720, 570}, false}));

    // Maximized, the normal rectangle is what comes back on restore.
    ShowWindow(host.frameWindow(), SW_MAXIMIZE);
    PumpMessages(50);
    EXPECT_EQ(host.placement(), (FramePlacement{PixelRect{80, 90, 720, 570}, true}));
}

TEST(HostTest, ClosingGivesBackEverythingTheBandTook) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    const HWND view = host.bandWindow();
    host.Stop();
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(host.band(), nullptr);
}

TEST(HostTest, ADllThatCannotBeLoadedIsReportedBeforeAnyWindowOpens) {
    Host host;
    std::wstring message;
    EXPECT_FALSE(host.Start(L"C:\\nowhere\\Quillmere.dll", message));
    EXPECT_NE(message.find(L"cannot load C:\\nowhere\\Quillmere.dll (error "), std::wstring::npos);
    EXPECT_EQ(host.frameWindow(), nullptr);
}

}  // namespace
}  // namespace qm::test
