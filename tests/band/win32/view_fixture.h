// What the main view's window tests stand on: the program's own module in
// the place of the DLL's (it carries the resources), the Windows adapters
// with prompts that answer from a queue, a browser stand-in that records
// what the view asks of it, and a MainView made in a plain top-level
// parent. Everything that waits is bounded.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "band/win32/main_view.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "tests/band/win32/band_dll.h"
#include "tests/support/win32/dialog_driver.h"
#include "desktop/win32/local_history_service.h"
#include "desktop/win32/host_browser.h"

namespace qm::test {

struct ViewTestPlatform {
    Win32Platform adapters;
    RecordingPrompts prompts;
    Platform platform{adapters.urlCache,     adapters.urlHistory, adapters.registry, adapters.fileSystem,
                      adapters.fileSecurity, adapters.shell,      prompts,           adapters.clock,
                      adapters.textCodec,    adapters.osVersion};
};

// The browser's side of the stand-in: the frame is the test's parent.
class RecordingChrome final : public HostChrome {
public:
    explicit RecordingChrome(HWND frame) : frame_(frame) {}
    HWND browserWindow() const override { return frame_; }
    void OpenAddress(const std::wstring& address) override { addresses.push_back(address); }
    void ShowStatus(const std::wstring& text) override { statusTexts.push_back(text); }

    std::vector<std::wstring> addresses;
    std::vector<std::wstring> statusTexts;

private:
    HWND frame_;
};

// The view in a 640 x 400 top-level parent (one for the whole program), with a history service of the
// test's own. Timer 1 (the first fill) is stopped unless the test asks for
// the start-up fills.
class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the view; the history service should be filled first when the
    // start-up fills are kept.
    void MakeView(bool keepStartupFills = false);

    MainView& view() { return *view_; }
    HWND viewWindow() const { return view_->window(); }
    ListModel& rows(RecordKind kind) { return view_->list(kind).model(); }
    // The last status text the browser was given, as ANSI.
    std::string LastStatusText() const;

    // Adds a row to the kind's list as the fills do: the first cell, then
    // the URL cell (column 1 of every store list).
    int AddRow(RecordKind kind, const std::string& first, const std::string& url);

    ViewTestPlatform platform_;
    std::unique_ptr<LocalHistoryService> history_;
    HWND parent_ = nullptr;
    std::unique_ptr<RecordingChrome> chrome_;
    std::unique_ptr<HostBrowser> browser_;
    std::unique_ptr<MainView> view_;
};

// Runs `action` (which opens something modal: a context menu or a
// dialog) while `script` runs from a timer inside the modal loop, at most
// `attempts` times 40 ms apart, until it returns true. Returns whether the
// script succeeded; when it never did, `giveUp` runs to end the modal loop.
bool RunDuringModalLoop(const std::function<void()>& action, const std::function<bool()>& script,
                        const std::function<void()>& giveUp, int attempts = 50);

// The popup menu window that is open now, or null.
HWND OpenPopupMenu();

std::string ClipboardText();

}  // namespace qm::test
