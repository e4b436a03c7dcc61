// Shell under the real desktop shell. Opening things and property sheets
// start other programs or show windows; the band's own tests cover them.
#include "platform/win32/win32_shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "platform/win32/win32_file_system.h"
#include "tests/platform/win32/win32_temp_folder.h"

namespace qm {
namespace {

std::optional<std::string> ClipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = std::string(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST(Win32ShellTest, SpecialFoldersAreFoldersThatExist) {
    Win32Shell shell;
    Win32FileSystem files;
    for (SpecialFolder folder :
         {SpecialFolder::Favorites, SpecialFolder::Recent, SpecialFolder::InternetCache,
          SpecialFolder::Cookies, SpecialFolder::History, SpecialFolder::LocalAppData, SpecialFolder::AppData,
          SpecialFolder::Personal, SpecialFolder::Profile}) {
        SCOPED_TRACE(static_cast<int>(folder));
        const auto path = shell.SpecialFolderPath(folder);
        ASSERT_TRUE(path);
        ASSERT_GE(path->size(), 3u);
        EXPECT_EQ(path->substr(1, 2), ":\\") << *path;
        EXPECT_NE(path->back(), '\\') << *path;
        EXPECT_TRUE(files.IsDirectory(*path)) << *path;
    }
    EXPECT_FALSE(shell.SpecialFolderPath(static_cast<SpecialFolder>(0x7F)));
}

TEST(Win32ShellTest, SaveInternetShortcutWritesAUrlFile) {
    TempFolder folder;
    ASSERT_TRUE(folder.valid());
    Win32Shell shell;
    ASSERT_TRUE(shell.SaveInternetShortcut(
        folder.Path("News_ today_.url"),
        {"http://news.test/today?x=1&y=2", "C:\\Icons\\news.ico", "News_ today_"}));
    const std::string content = folder.Contents("News_ today_.url");
    EXPECT_EQ(content.rfind("[InternetShortcut]\r\n", 0), 0u) << content;
    EXPECT_NE(content.find("URL=http://news.test/today?x=1&y=2\r\n"), std::string::npos) << content;
    EXPECT_NE(content.find("IconFile=C:\\Icons\\news.ico\r\n"), std::string::npos) << content;
    EXPECT_NE(content.find("IconIndex=0\r\n"), std::string::npos) << content;

    // Saving again replaces the address; no icon file means no icon.
    ASSERT_TRUE(
        shell.SaveInternetShortcut(folder.Path("News_ today_.url"), {"http://other.test/", "", "Other"}));
    const std::string replaced = folder.Contents("News_ today_.url");
    EXPECT_NE(replaced.find("URL=http://other.test/"), std::string::npos) << replaced;
    EXPECT_EQ(replaced.find("news.test"), std::string::npos) << replaced;
    EXPECT_EQ(replaced.find("IconFile="), std::string::npos) << replaced;

    const InternetShortcut any{"http://a.test/", "", "A"};
    EXPECT_FALSE(shell.SaveInternetShortcut(folder.Path("missing\\a.url"), any));
    EXPECT_FALSE(shell.SaveInternetShortcut(folder.Path("a.url") + std::string("\0b", 2), any));
    EXPECT_FALSE(shell.SaveInternetShortcut("", any));
    EXPECT_FALSE(Win32FileSystem().Exists(folder.Path("a.url")));
}

TEST(Win32ShellTest, ExpandEnvironmentStringsReplacesKnownVariablesOnly) {
    Win32Shell shell;
    ASSERT_TRUE(SetEnvironmentVariableA("QM_TEST_PROFILE", "C:\\users\\tester"));
    EXPECT_EQ(shell.ExpandVariables("%QM_TEST_PROFILE%\\Favorites"), "C:\\users\\tester\\Favorites");
    EXPECT_EQ(shell.ExpandVariables("%qm_test_profile%"), "C:\\users\\tester");
    EXPECT_EQ(shell.ExpandVariables("%QM_TEST_UNSET%\\x"), "%QM_TEST_UNSET%\\x");
    EXPECT_EQ(shell.ExpandVariables("no variables"), "no variables");
    EXPECT_EQ(shell.ExpandVariables(""), "");

    // Longer than any fixed buffer a caller might keep.
    const std::string longValue(3000, 'v');
    ASSERT_TRUE(SetEnvironmentVariableA("QM_TEST_LONG", longValue.c_str()));
    EXPECT_EQ(shell.ExpandVariables("<%QM_TEST_LONG%>"), "<" + longValue + ">");
    SetEnvironmentVariableA("QM_TEST_PROFILE", nullptr);
    SetEnvironmentVariableA("QM_TEST_LONG", nullptr);
}

TEST(Win32ShellTest, ClipboardTextRoundTrips) {
    // The band's view owns the data, whichever window is active: here none.
    const HWND owner =
        CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    Win32Shell shell;
    shell.SetOwnerWindow(owner);
    ASSERT_TRUE(shell.SetClipboardText("http://a.test/page?q=1"));
    EXPECT_EQ(ClipboardText(), "http://a.test/page?q=1");
    EXPECT_EQ(GetClipboardOwner(), owner);
    ASSERT_TRUE(shell.SetClipboardText("second"));
    EXPECT_EQ(ClipboardText(), "second");
    ASSERT_TRUE(shell.SetClipboardText(""));
    EXPECT_EQ(ClipboardText(), "");

    // A text that would arrive cut at its NUL is refused; the clipboard keeps
    // what it held.
    ASSERT_TRUE(shell.SetClipboardText("kept"));
    EXPECT_FALSE(shell.SetClipboardText(std::string("a\0b", 3)));
    EXPECT_EQ(ClipboardText(), "kept");

    // Another thread holding the clipboard open makes the copy fail.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool heldOpen = false;
    std::thread holder([&] {
        // A window of another thread, as another program's would be.
        HWND window =
            CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        heldOpen = OpenClipboard(window);
        SetEvent(opened);
        WaitForSingleObject(done, 10'000);
        if (heldOpen) CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(opened, 10'000);
    EXPECT_TRUE(heldOpen);
    EXPECT_FALSE(shell.SetClipboardText("blocked"));
    SetEvent(done);
    holder.join();
    CloseHandle(opened);
    CloseHandle(done);
    EXPECT_EQ(ClipboardText(), "kept");
    DestroyWindow(owner);
}

}  // namespace
}  // namespace qm
