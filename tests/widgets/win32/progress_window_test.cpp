// The progress window on its own thread: it comes while the busy flag is
// set, steps its strip, and goes with its thread once the flag clears,
// leaving no window behind; which block is lit, and where the blocks lie,
// the ProgressStrip decides and is tested natively.
#include "widgets/win32/progress_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "resources/resource.h"
#include "tests/widgets/win32/widget_window_test.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

HWND WaitForWindow(const ProgressWindow& progress) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        if (HWND window = progress.window()) return window;
        Sleep(5);
    }
    return nullptr;
}

bool AnyProgressWindowLeft() {
    return FindWindowA("#32770", "Retrieving the data...") != nullptr;
}

// The lit blocks in a picture of the strip (painted by the progress thread
// between two steps): a block whose middle pixel has the lit fill.
std::set<int> LitBlocks(HWND strip) {
    const Picture picture(strip);
    RECT client;
    GetClientRect(strip, &client);
    std::set<int> lit;
    const auto blocks = ProgressBlocks(client.right);
    for (int index = 0; index < kProgressBlockCount; ++index) {
        const int x = (blocks[index].left + blocks[index].right) / 2;
        if (picture.At(x, client.bottom / 2) == ToColorref(kProgressLitBlockFill)) lit.insert(index);
    }
    return lit;
}

TEST(ProgressWindowTest, ShowsWhileBusyStepsAndGoesWithItsThread) {
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
    const std::set<int> first = LitBlocks(strip);
    ASSERT_EQ(first.size(), 1u);
    std::set<int> later = first;
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); later == first && Clock::now() < deadline;)
        later = LitBlocks(strip);
    ASSERT_EQ(later.size(), 1u);
    EXPECT_NE(*first.begin(), *later.begin());

    progress.Stop();
    EXPECT_FALSE(progress.busy());
    ASSERT_TRUE(progress.WaitForEnd(5000));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(AnyProgressWindowLeft());
    EXPECT_FALSE(progress.threadRecorded());
    EXPECT_EQ(progress.window(), nullptr);
}

TEST(ProgressWindowTest, TheWindowStaysAboveTheBrowserOnlyAndLeavesItActive) {
    // The fill runs while the user works in the browser: the window shows
    // above the browser's window, which owns it, without taking the
    // keyboard from the page, and not above other applications.
    const HWND user = TestParent::Shared().window();
    SetActiveWindow(user);
    ASSERT_EQ(GetActiveWindow(), user);

    ProgressWindow progress(GetModuleHandleA(nullptr));
    ASSERT_TRUE(progress.Start(user));
    HWND window = WaitForWindow(progress);
    ASSERT_TRUE(window);
    EXPECT_EQ(GetWindow(window, GW_OWNER), user);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (int pumped = 0; pumped < 20; ++pumped) {
        Pump();
        Sleep(10);
    }
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), user);
    EXPECT_EQ(GetActiveWindow(), user);
    progress.Stop();
    ASSERT_TRUE(progress.WaitForEnd(5000));
}

TEST(ProgressWindowTest, RunsThatShowNoWindowEndAndLeaveNone) {
    const struct {
        const char* name;
        HINSTANCE resources;
        bool stop;
    } kRuns[] = {
        {"fill finished before the window came", GetModuleHandleA(nullptr), true},
        {"the same, again", GetModuleHandleA(nullptr), true},
        {"a module without dialog 301, still busy", GetModuleHandleA("kernel32.dll"), false},
    };
    for (const auto& run : kRuns) {
        ProgressWindow progress(run.resources);
        ASSERT_TRUE(progress.Start(nullptr)) << run.name;
        if (run.stop) progress.Stop();
        EXPECT_TRUE(progress.WaitForEnd(5000)) << run.name;
        EXPECT_EQ(progress.window(), nullptr) << run.name;
        EXPECT_FALSE(AnyProgressWindowLeft()) << run.name;
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

}  // namespace
}  // namespace qm
