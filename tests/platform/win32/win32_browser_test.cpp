// The browser adapter against the frame's browser object, which keeps
// what it was told.
#include "platform/win32/win32_browser.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "desktop/win32/host_browser.h"

namespace qm {
namespace {

class RecordingChrome final : public HostChrome {
public:
    HWND browserWindow() const override { return nullptr; }
    void OpenAddress(const std::wstring& address) override { addresses.push_back(address); }
    void ShowStatus(const std::wstring& text) override { statuses.push_back(text); }

    std::vector<std::wstring> addresses;
    std::vector<std::wstring> statuses;
};

TEST(Win32BrowserTest, NavigateAndStatusTextArriveAsWideText) {
    RecordingChrome chrome;
    HostBrowser host(chrome);
    {
        Win32Browser browser(&host);
        browser.Navigate("http://a.test/page?q=1");
        browser.SetStatusText("Internet Explorer History contains: 12 items");
        browser.SetStatusText("");
        browser.Navigate(std::string("http://a.test/\0tail", 19));
    }
    ASSERT_EQ(chrome.addresses.size(), 2u);
    EXPECT_EQ(chrome.addresses[0], L"http://a.test/page?q=1");
    // A BSTR carries its length: nothing is cut on the way.
    EXPECT_EQ(chrome.addresses[1], std::wstring(L"http://a.test/\0tail", 19));
    ASSERT_EQ(chrome.statuses.size(), 2u);
    EXPECT_EQ(chrome.statuses[0], L"Internet Explorer History contains: 12 items");
    EXPECT_EQ(chrome.statuses[1], L"");

    // The adapter gave back the reference it took: one more Release from the
    // host's own count reaches zero.
    EXPECT_EQ(host.Release(), 0u);
    host.AddRef();
}

TEST(Win32BrowserTest, WesternCharactersConvertWithTheCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    RecordingChrome chrome;
    HostBrowser host(chrome);
    Win32Browser browser(&host);
    browser.SetStatusText("Caf\xE9 \x80");
    ASSERT_EQ(chrome.statuses.size(), 1u);
    EXPECT_EQ(chrome.statuses[0], L"Caf\u00e9 \u20ac");
}

}  // namespace
}  // namespace qm
