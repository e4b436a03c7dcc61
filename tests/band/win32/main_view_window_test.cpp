// The main view's window in a test parent: its children, one message of
// each family reaching the controller, the private messages of the
// dialogs, the dialogs and a context menu opened for real, and the GDI
// objects. What the controller decides is tested natively under
// tests/band/main_view/.
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlwapi.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "band/command_ids.h"
#include "band/main_view_layout.h"
#include "band/win32/main_view.h"
#include "band/win32/module.h"
#include "cleaning/cleanup_criteria.h"
#include "desktop/win32/host_browser.h"
#include "desktop/win32/local_history_service.h"
#include "platform/platform.h"
#include "platform/win32/gdi.h"
#include "platform/win32/win32_platform.h"
#include "resources/cleaning_ids.h"
#include "resources/resource.h"
#include "resources/settings_ids.h"
#include "settings/find_on_tab.h"
#include "tests/band/win32/band_dll.h"
#include "tests/support/win32/dialog_driver.h"
#include "widgets/win32/dialog_support.h"

namespace qm::test {
namespace {

// The program stands in for the DLL: its module carries the resources, the
// manifest and the window classes. Its thread has OLE, as the browser's has.
class ModuleEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        AttachModule(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        DetachModule(/*processExiting=*/false);
        OleUninitialize();
    }
};

[[maybe_unused]] const ::testing::Environment* const kModuleEnvironment =
    ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

FileTime Days(int days) {
    // Some day in 2020, plus the given number of days.
    return FileTime{132223104000000000ull + static_cast<uint64_t>(days) * 864000000000ull};
}

// The Windows adapters, with prompts that answer from a queue.
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
    void ShowStatus(const std::wstring&) override {}

    std::vector<std::wstring> addresses;

private:
    HWND frame_;
};

// Runs `action` (which opens something modal: a context menu or a dialog)
// while `script` runs from a thread timer inside the modal loop, at most
// `attempts` times 40 ms apart, until it answers true. Answers whether it
// did; when it never did, `giveUp` ends the modal loop. Modal loops are not
// re-entered by the tests: one script at a time.
struct ModalScript {
    std::function<bool()> script;
    std::function<void()> giveUp;
    int attemptsLeft;
    bool succeeded = false;
};
ModalScript* g_modal = nullptr;

void CALLBACK RunModalScript(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_modal || g_modal->succeeded || g_modal->attemptsLeft <= 0) return;
    g_modal->succeeded = g_modal->script();
    if (!g_modal->succeeded && --g_modal->attemptsLeft == 0) g_modal->giveUp();
}

bool RunDuringModalLoop(const std::function<void()>& action, const std::function<bool()>& script,
                        const std::function<void()>& giveUp, int attempts = 50) {
    ModalScript modal{script, giveUp, attempts};
    g_modal = &modal;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, &RunModalScript);
    action();
    KillTimer(nullptr, timer);
    g_modal = nullptr;
    return modal.succeeded;
}

// Sends `command` to the view and, once the dialog it opens is up, runs
// `script` on it and closes it. Answers whether the dialog was seen.
bool WithDialog(HWND view, int command, const std::function<void(HWND)>& script) {
    return RunDuringModalLoop([&] { SendMessageW(view, WM_COMMAND, command, 0); },
                              [&] {
                                  const HWND dialog = DialogOwnedBy(view);
                                  if (!dialog) return false;
                                  script(dialog);
                                  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                  return true;
                              },
                              [&] {
                                  if (const HWND dialog = DialogOwnedBy(view)) EndDialog(dialog, IDCANCEL);
                              });
}

// Both places the settings may live, by the system's version.
void ForgetSettings() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QMPlugins");
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\AppDataLow\\Software\\QMPlugins");
}

// What a context menu looked like while it was open.
struct SeenMenu {
    bool open = false;
    bool flagSet = false;
    bool firstItemOwnerDrawn = false;
};

// The view in one 640 x 400 top-level parent for the whole program (under
// Xvfb, without a window manager, Wine takes seconds to take a top-level
// window off the screen), with a history service of the test's own and the
// settings started from nothing.
class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetSettings();
        ASSERT_EQ(history_.registration(), S_OK);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override {
        // No command of these tests has anything to tell the user.
        EXPECT_TRUE(platform_.prompts.messages.empty())
            << "unexpected message: " << platform_.prompts.messages.front();
        view_.reset();
        ForgetSettings();
    }

    // The start-up fills are left to the host's run: timer 1 is stopped.
    void MakeView() {
        view_ = std::make_unique<MainView>(platform_.platform);
        RECT client = {};
        GetClientRect(parent_, &client);
        ASSERT_TRUE(view_->Create(parent_, client));
        // As the band object does: the view owns the clipboard and the sheets.
        platform_.adapters.shell.SetOwnerWindow(view_->window());
        view_->SetBrowser(&browser_);
        KillTimer(view_->window(), MainView::kHistoryTimer);
    }

    MainView& view() { return *view_; }
    HWND viewWindow() const { return view_->window(); }
    ListModel& rows(RecordKind kind) { return view_->list(kind).model(); }

    // Adds a row as the fills do: the first cell, then the URL cell.
    void AddRow(RecordKind kind, const std::string& first, const std::string& url) {
        ListModel& list = rows(kind);
        const int row = list.AddRow(first);
        if (row >= 0) list.SetCellText(row, 1, url);
        view_->ListChanged(kind);
    }

    // Right-clicks `row` of the list as the user does and picks the item at
    // `position` with Down and Enter, or dismisses the menu with Escape when
    // the position is negative.
    SeenMenu RightClickAndChoose(RecordKind kind, int row, int position) {
        SeenMenu seen;
        const ListCtrl& list = view().list(kind);
        const ListMetrics& metrics = list.metrics();
        const LPARAM point = MAKELPARAM(20, metrics.headerHeight + metrics.rowHeight * row + metrics.rowHeight / 2);
        seen.open = RunDuringModalLoop(
            [&] {
                SendMessageW(list.window(), WM_RBUTTONDOWN, MK_RBUTTON, point);
                SendMessageW(list.window(), WM_RBUTTONUP, 0, point);
            },
            [&] {
                const HWND menuWindow = FindWindowA("#32768", nullptr);
                if (!menuWindow || !IsWindowVisible(menuWindow)) return false;
                seen.flagSet = view().contextMenuOpen();
                const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
                MENUITEMINFOA info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_FTYPE;
                seen.firstItemOwnerDrawn =
                    menu && GetMenuItemInfoA(menu, 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
                for (int step = 0; step <= position; ++step) PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageW(menuWindow, WM_KEYDOWN, position < 0 ? VK_ESCAPE : VK_RETURN, 0);
                return true;
            },
            [] { EndMenu(); }, 25);
        return seen;
    }

    static HWND Parent() {
        static const HWND parent = CreateWindowExW(0, L"STATIC", L"view test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                   20, 20, 640, 400, nullptr, nullptr, nullptr, nullptr);
        return parent;
    }

    const HWND parent_ = Parent();
    ViewTestPlatform platform_;
    LocalHistoryService history_;
    RecordingChrome chrome_{parent_};
    HostBrowser browser_{chrome_};
    std::unique_ptr<MainView> view_;
};

RECT ChildRect(HWND parent, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(ViewFixture, CreationMakesTheChildrenAndKeepsTheBrowsersEdgeClear) {
    MakeView();
    const HWND view = viewWindow();
    const CommandBar& bar = this->view().menuBar();
    ASSERT_NE(bar.window(), nullptr);
    EXPECT_EQ(GetParent(bar.window()), view);
    EXPECT_NE(bar.ImageIndexOf(command::kRefresh), -1) << "the bar's images come from toolbar 203";
    const HWND tabs = this->view().tabControl().window();
    EXPECT_EQ(GetDlgItem(view, kTabControlId), tabs);
    for (RecordKind kind : {RecordKind::History, RecordKind::Cookies, RecordKind::Cache}) {
        const HWND list = this->view().list(kind).window();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(GetParent(list), view);
        EXPECT_EQ(IsWindowVisible(list) != FALSE, kind == RecordKind::History);
    }
    ASSERT_NE(this->view().rowImages(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(this->view().rowImages()), 9);
    ASSERT_NE(this->view().menuImages(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(this->view().menuImages()), 7);

    // The inset comes from the real frame's and view's screen places.
    RECT client = {};
    GetClientRect(view, &client);
    SendMessageW(view, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    RECT frameRect = {};
    RECT viewRect = {};
    GetWindowRect(parent_, &frameRect);
    GetWindowRect(view, &viewRect);
    EXPECT_EQ(ChildRect(view, tabs).left,
              client.right - RightInset(frameRect.left, viewRect.left) - kTabControlWidth);
}

// The browser's page, as the view looks for it: a "Shell DocObject View"
// directly in the browser's frame holding an "Internet Explorer_Server",
// which takes the focus when pressed.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN) SetFocus(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(ViewFixture, EveryShowHandsTheFocusToTheBrowsersPage) {
    MakeView();
    WNDCLASSW page = {};
    page.lpfnWndProc = &PageProc;
    page.hInstance = GetModuleHandleW(nullptr);
    page.lpszClassName = L"Shell DocObject View";
    RegisterClassW(&page);
    page.lpszClassName = L"Internet Explorer_Server";
    RegisterClassW(&page);
    const HWND documentView = CreateWindowExW(0, L"Shell DocObject View", L"", WS_CHILD | WS_VISIBLE, 0, 0,
                                              10, 10, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND server = CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                        10, documentView, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(server, nullptr);
    for (bool show : {true, false}) {
        SetFocus(parent_);
        view().Show(show);
        EXPECT_TRUE(PumpUntil([&] { return GetFocus() == server; })) << "after Show(" << show << ")";
    }
    DestroyWindow(documentView);
}

TEST_F(ViewFixture, EachMessageFamilyReachesTheController) {
    MakeView();
    AddRow(RecordKind::History, "Site", "  http://link.example/page  ");
    AddRow(RecordKind::History, "Other", "http://other.example/");
    AddRow(RecordKind::Cookies, "C:\\cookies\\a.txt", "user@site.example/");

    // A command, with a notification code in the high word: its Save As box
    // is asked inside the module's activation context.
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string path = std::string(temp) + "qm-report-" + std::to_string(GetCurrentProcessId()) + ".html";
    platform_.prompts.QueueFile(path);
    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, MAKEWPARAM(ID_QM_SAVE_HISTORY, 1), 0), 0);
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>{ModuleActivation().handle()});
    const std::optional<std::string> page = platform_.adapters.fileSystem.ReadFile(path, 1 << 20);
    DeleteFileA(path.c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->find("</html>"), std::string::npos) << *page;

    // A list's link click navigates the hosting browser.
    rows(RecordKind::History).Select(0, 1, 0);
    NMHDR link = {view().list(RecordKind::History).window(), 0, static_cast<UINT>(LISTNOTE_LINKCLICK)};
    SendMessageW(viewWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(chrome_.addresses, std::vector<std::wstring>{L"http://link.example/page"});

    // A press on the tab strip.
    SendMessageW(view().tabControl().window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kFlatTabWidth + 20, 8));
    EXPECT_EQ(view().controller().currentTab(), RecordKind::Cookies);
    EXPECT_FALSE(IsWindowVisible(view().list(RecordKind::History).window()));
    EXPECT_TRUE(IsWindowVisible(view().list(RecordKind::Cookies).window()));
    EXPECT_EQ(browser_.statusText(), L"Internet Explorer Cookies contain: 1 items");

    // A notification without its header is left alone.
    EXPECT_EQ(SendMessageW(viewWindow(), WM_NOTIFY, 0, 0), 0);
}

TEST_F(ViewFixture, PrivateMessagesActOnlyOnTheRecordTheirDialogIsSending) {
    MakeView();
    AddRow(RecordKind::History, "Daily news", "http://news.example/");
    AddRow(RecordKind::History, "Weather", "http://weather.example/");
    AddRow(RecordKind::History, "news today", "http://today.example/");

    FindRequest request;
    request.text = "news";
    request.names = 1;
    request.findAll = 1;
    CleanupCriteria criteria = NewCleanupCriteria(platform_.adapters.clock);
    criteria.criterion = criterion::kAll;
    criteria.kind = 1;  // History

    // Another program posts both messages with a stray address, or with the
    // address of a real record; this thread sends them without the dialog.
    const HWND view = viewWindow();
    std::thread stranger([&] {
        for (const UINT message : {UINT{WM_FINDONTAB}, UINT{WM_PERFORMCLEANUP}}) {
            PostMessageW(view, message, 0, 0x1000);
            PostMessageW(view, message, 0, 0);
        }
        PostMessageW(view, WM_FINDONTAB, 0, reinterpret_cast<LPARAM>(&request));
        PostMessageW(view, WM_PERFORMCLEANUP, 0, reinterpret_cast<LPARAM>(&criteria));
    });
    stranger.join();
    PumpUntil([] { return true; });
    EXPECT_EQ(SendMessageW(view, WM_FINDONTAB, 0, reinterpret_cast<LPARAM>(&request)), 0);
    EXPECT_EQ(SendMessageW(view, WM_PERFORMCLEANUP, 0, reinterpret_cast<LPARAM>(&criteria)), 0);
    // A record sent with the other message's number is not taken either.
    EXPECT_EQ(SendRecord(view, WM_PERFORMCLEANUP, &request), 0);
    ASSERT_TRUE(IsWindow(view));
    const ListModel& history = rows(RecordKind::History);
    ASSERT_EQ(history.RowCount(), 3);
    EXPECT_EQ(history.GetCell(0, 0)->background, kDefaultColor);
    EXPECT_TRUE(history_.deleteCalls().empty());

    EXPECT_EQ(SendRecord(view, WM_FINDONTAB, &request), 0);
    EXPECT_EQ(history.GetCell(0, 0)->background, kNameMatchColor);
    EXPECT_EQ(history.GetCell(1, 0)->background, kDefaultColor);
}

// The dialogs themselves, owned by the view, send it records it takes.
TEST_F(ViewFixture, TheCleanupAndFindDialogsReachTheView) {
    history_.Add({u"http://stay.example/", u"Stay", Days(1), Days(1), Days(2)});
    history_.Add({u"http://away.example/x", u"Away", Days(1), Days(1), Days(2)});
    MakeView();
    AddRow(RecordKind::History, "Stay", "http://stay.example/");
    AddRow(RecordKind::History, "Away", "http://away.example/x");
    platform_.prompts.QueueAnswer(true);
    ASSERT_TRUE(WithDialog(viewWindow(), command::kCleanHistory, [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_QM_HISTORY_CONTAINING, BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, IDC_QM_HISTORY_TEXT, "away.example");
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);  // Clean Up: the dialog stays open
    }));
    EXPECT_EQ(history_.deleteCalls(), std::vector<std::u16string>{u"http://away.example/x"});
    ASSERT_EQ(rows(RecordKind::History).RowCount(), 1);

    ASSERT_TRUE(WithDialog(viewWindow(), command::kFindOnTab, [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_QM_FIND_TEXT, "stay");
        CheckDlgButton(dialog, IDC_QM_FIND_VALUES, BST_CHECKED);
        SendDlgItemMessageW(dialog, IDC_QM_FIND_ALL, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(rows(RecordKind::History).GetCell(0, 1)->background, kUrlMatchColor);
    EXPECT_EQ(DialogOwnedBy(viewWindow()), nullptr);
}

TEST_F(ViewFixture, GdiObjectsDoNotGrowOverFillsMenusAboutBoxesAndTitleTips) {
    // Wine counts no GDI objects for a process; the band's own owners do.
    history_.Add({u"http://gdi.example/" + std::u16string(300, u'a'), u"Title " + std::u16string(200, u'w'),
                  Days(1), Days(1), Days(3)});
    MakeView();
    const HWND list = view().list(RecordKind::History).window();
    const auto round = [&] {
        EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, command::kRefresh, 0), 0);
        EXPECT_TRUE(RightClickAndChoose(RecordKind::History, 0, -1).open);
        EXPECT_TRUE(WithDialog(viewWindow(), command::kAbout, [](HWND) {}));
        const ListMetrics& metrics = view().list(RecordKind::History).metrics();
        SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(80, metrics.headerHeight + metrics.rowHeight / 2));
        EXPECT_TRUE(view().list(RecordKind::History).titleTip().visible());
        SendMessageW(list, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);  // the list's fonts made anew
        EXPECT_FALSE(view().list(RecordKind::History).titleTip().visible());
    };
    round();  // what is made once and kept is made here
    const long held = LiveGdiObjects();
    round();
    // The progress window's thread gives its objects back as it ends.
    EXPECT_TRUE(PumpUntil([&] { return LiveGdiObjects() == held; })) << LiveGdiObjects() << " against " << held;
}

// The menu comes from the list's own window; what it offers and what each
// item does is decided natively.
TEST_F(ViewFixture, AContextMenuItemAsksInsideTheModulesActivationContextAndActs) {
    history_.Add({u"http://gone.example/", u"Gone", Days(1), Days(1), Days(2)});
    MakeView();
    AddRow(RecordKind::History, "Gone", "http://gone.example/");
    AddRow(RecordKind::History, "Other", "http://other.example/");
    platform_.prompts.QueueAnswer(true);
    const SeenMenu seen = RightClickAndChoose(RecordKind::History, 0, 2);  // "Delete URL"
    ASSERT_TRUE(seen.open);
    EXPECT_TRUE(seen.flagSet) << "the flag is set while the menu is tracked";
    EXPECT_FALSE(view().contextMenuOpen()) << "and cleared after";
    EXPECT_TRUE(seen.firstItemOwnerDrawn) << "the menu bar draws the context menu's items";
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 1);
    EXPECT_EQ(history_.deleteCalls(), std::vector<std::u16string>{u"http://gone.example/"});
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>(1, ModuleActivation().handle()));
}

}  // namespace
}  // namespace qm::test
