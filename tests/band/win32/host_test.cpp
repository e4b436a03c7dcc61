#include "tools/win32/qm-host/host.h"

#include <gtest/gtest.h>

#include "tests/band/win32/band_dll.h"
#include "tests/support/win32/test_history_service.h"

namespace qm::test {
namespace {

TEST(HostTest, StartsTheBandDockedInsideTheSite) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message)) << std::string(message.begin(), message.end());
    PumpMessages(50);
    const HWND view = host.bandWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetAncestor(view, GA_PARENT), host.siteWindow());
    EXPECT_TRUE(IsWindowVisible(view));

    RECT site = {};
    RECT band = {};
    GetWindowRect(host.siteWindow(), &site);
    GetWindowRect(view, &band);
    EXPECT_EQ(band.left, site.left);
    EXPECT_EQ(band.top, site.top);
    EXPECT_EQ(band.right, site.right);
    EXPECT_EQ(band.bottom, site.bottom);

    // The site sits along the bottom of the frame, the full width.
    RECT frameClient = {};
    GetClientRect(host.frameWindow(), &frameClient);
    MapWindowPoints(host.frameWindow(), nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
    EXPECT_EQ(site.left, frameClient.left);
    EXPECT_EQ(site.right, frameClient.right);
    EXPECT_GT(site.top, frameClient.top + (frameClient.bottom - frameClient.top) / 3);
    EXPECT_GE(site.bottom - site.top, 200);

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

TEST(HostTest, BandHandsTheFocusToThePageAfterShowDW) {
    Host host;
    std::wstring message;
    ASSERT_TRUE(host.Start(DllPath(), message));
    // The start-up fills run first, their progress window among them.
    PumpMessages(1500);
    SetForegroundWindow(host.frameWindow());
    SetFocus(host.frameWindow());
    ASSERT_EQ(host.band()->ShowDW(TRUE), S_OK);
    PumpMessages(400);
    EXPECT_EQ(GetFocus(), host.pageWindow());

    // Again after hiding and showing: every ShowDW starts the timer.
    SetFocus(host.frameWindow());
    ASSERT_EQ(host.band()->ShowDW(FALSE), S_OK);
    PumpMessages(400);
    EXPECT_EQ(GetFocus(), host.pageWindow());
}

BOOL CALLBACK CountListWindows(HWND window, LPARAM count) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "ListCtrl") ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(HostTest, BandFillsItsHistoryAndWritesTheCountOnTheStatusBar) {
    // The history service of this process, which the band's CoCreateInstance
    // finds before the platform's.
    TestHistoryService history;
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
    int lists = 0;
    EnumChildWindows(view, &CountListWindows, reinterpret_cast<LPARAM>(&lists));
    EXPECT_EQ(lists, 3);
    EXPECT_NE(FindWindowExA(view, nullptr, "WTL_CommandBarXP", nullptr), nullptr);

    const DWORD start = GetTickCount();
    while (host.browser().statusText().empty() && GetTickCount() - start < 3000) PumpMessages(20);
    EXPECT_EQ(host.browser().statusText(), L"Internet Explorer History contains: 2 items");
    PumpMessages(400);  // the second fill, so that closing meets no running one
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

TEST(HostTest, ReportsADllThatCannotBeLoaded) {
    Host host;
    std::wstring message;
    EXPECT_FALSE(host.Start(L"C:\\nowhere\\Quillmere.dll", message));
    EXPECT_NE(message.find(L"cannot load"), std::wstring::npos);
}

}  // namespace
}  // namespace qm::test
