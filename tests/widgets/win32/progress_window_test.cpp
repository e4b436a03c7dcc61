// The progress window on its own thread: it comes while the busy flag is
// set, steps its strip, and goes within a step once the flag clears,
// leaving no window behind.
#include "widgets/win32/progress_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "resources/resource.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

HWND WaitForWindow(const ProgressWindow& progress, int milliseconds = 5000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
        if (HWND window = progress.window()) return window;
        Sleep(5);
    }
    return nullptr;
}

bool AnyProgressWindowLeft() {
    return FindWindowA("#32770", "Retrieving the data...") != nullptr;
}

// The lit blocks in a picture of the strip: a block whose middle pixel has
// the lit fill.
std::set<int> LitBlocks(HWND strip) {
    RECT client;
    GetClientRect(strip, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    // Answered by the progress thread between two steps.
    SendMessageA(strip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::set<int> lit;
    const auto blocks = ProgressBlocks(client.right);
    for (int index = 0; index < kProgressBlockCount; ++index) {
        const int x = (blocks[index].left + blocks[index].right) / 2;
        if (GetPixel(dc, x, client.bottom / 2) == kProgressLitBlockFill.value) lit.insert(index);
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return lit;
}

TEST(ProgressWindowTest, ShowsWhileBusyAndGoesWithinOneStep) {
    ProgressWindow progress(GetModuleHandleA(nullptr));
    ASSERT_TRUE(progress.Start(nullptr));
    EXPECT_TRUE(progress.busy());
    HWND window = WaitForWindow(progress);
    ASSERT_TRUE(window);
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(window, nullptr));

    char text[64] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "Retrieving the data...");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION & ~WS_BORDER);
    HWND strip = GetDlgItem(window, IDC_QM_PROGRESS_STRIP);
    ASSERT_TRUE(strip);

    // One lit block, and it moves.
    std::set<int> first = LitBlocks(strip);
    ASSERT_EQ(first.size(), 1u);
    Sleep(3 * kProgressStepMs);
    std::set<int> later = LitBlocks(strip);
    ASSERT_EQ(later.size(), 1u);
    EXPECT_NE(*first.begin(), *later.begin());

    const auto stopped = Clock::now();
    progress.Stop();
    EXPECT_FALSE(progress.busy());
    while (IsWindow(window) && Clock::now() - stopped < std::chrono::seconds(5)) {
        MSG message;  // what the closing window's thread sends this one
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(1);
    }
    const auto closeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped).count();
    ASSERT_TRUE(progress.WaitForEnd(5000));
    const auto endMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped).count();
    // One step is 50 ms of sleep plus the step itself; Wine without a
    // window manager then spends about two seconds taking a top-level
    // window off the X display (destroying any top-level window does).
    EXPECT_LT(closeMs, 2 * kProgressStepMs + 2500) << "closed after " << closeMs << " ms";
    std::printf("window gone %lld ms after the flag cleared, thread ended after %lld ms\n",
                static_cast<long long>(closeMs), static_cast<long long>(endMs));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(AnyProgressWindowLeft());
    EXPECT_FALSE(progress.threadRecorded());
    EXPECT_EQ(progress.window(), nullptr);
}

TEST(ProgressWindowTest, TheWindowStaysAboveTheBrowserOnlyAndLeavesItActive) {
    // The fill runs while the user works in the browser: the window shows
    // above the browser's window, which owns it, without taking the
    // keyboard from the page, and not above other applications.
    HWND user = CreateWindowExA(0, "STATIC", "user", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(user);
    SetForegroundWindow(user);
    SetActiveWindow(user);
    ASSERT_EQ(GetActiveWindow(), user);

    ProgressWindow progress(GetModuleHandleA(nullptr));
    ASSERT_TRUE(progress.Start(user));
    HWND window = WaitForWindow(progress);
    ASSERT_TRUE(window);
    EXPECT_EQ(GetWindow(window, GW_OWNER), user);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (int pumped = 0; pumped < 20; ++pumped) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(10);
    }
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), user);
    EXPECT_EQ(GetActiveWindow(), user);
    progress.Stop();
    ASSERT_TRUE(progress.WaitForEnd(5000));
    DestroyWindow(user);
}

TEST(ProgressWindowTest, FillFinishedBeforeTheWindowCameLeavesNoWindow) {
    for (int round = 0; round < 2; ++round) {
        ProgressWindow progress(GetModuleHandleA(nullptr));
        ASSERT_TRUE(progress.Start(nullptr));
        progress.Stop();
        ASSERT_TRUE(progress.WaitForEnd(5000));
        EXPECT_FALSE(AnyProgressWindowLeft()) << "round " << round;
    }
}

TEST(ProgressWindowTest, TwoFillsInARowShowTwoWindowsOneAfterTheOther) {
    ProgressWindow progress(GetModuleHandleA(nullptr));
    ASSERT_TRUE(progress.Start(nullptr));
    HWND first = WaitForWindow(progress);
    ASSERT_TRUE(first);
    const DWORD firstThread = GetWindowThreadProcessId(first, nullptr);
    progress.Stop();

    // The second start waits for the first window to go.
    ASSERT_TRUE(progress.Start(nullptr));
    EXPECT_FALSE(IsWindow(first));
    HWND second = WaitForWindow(progress);
    ASSERT_TRUE(second);
    EXPECT_NE(GetWindowThreadProcessId(second, nullptr), firstThread);
    progress.Stop();
    ASSERT_TRUE(progress.WaitForEnd(5000));
    EXPECT_FALSE(AnyProgressWindowLeft());
}

TEST(ProgressWindowTest, DestroyingTheOwnerWhileBusyClosesTheWindow) {
    HWND window = nullptr;
    {
        ProgressWindow progress(GetModuleHandleA(nullptr));
        ASSERT_TRUE(progress.Start(nullptr));
        window = WaitForWindow(progress);
        ASSERT_TRUE(window);
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(AnyProgressWindowLeft());
}

TEST(ProgressWindowTest, MissingDialogEndsTheThreadQuietly) {
    // A module without dialog 301: the thread skips its loop and ends even
    // while the flag is still set.
    ProgressWindow progress(GetModuleHandleA("kernel32.dll"));
    ASSERT_TRUE(progress.Start(nullptr));
    EXPECT_TRUE(progress.WaitForEnd(5000));
    EXPECT_EQ(progress.window(), nullptr);
    EXPECT_FALSE(AnyProgressWindowLeft());
}

}  // namespace
}  // namespace qm
