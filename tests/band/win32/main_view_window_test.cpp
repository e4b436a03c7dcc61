// The main view's window in a test parent: its children, one message of
// each family reaching the controller, the private messages of the
// dialogs, the dialogs and context menus opened for real, the clipboard and
// the GDI objects. What the controller decides is tested natively under
// tests/band/main_view/.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "band/command_ids.h"
#include "band/main_view_layout.h"
#include "band/win32/module.h"
#include "cleaning/cleanup_criteria.h"
#include "platform/win32/gdi.h"
#include "resources/cleaning_ids.h"
#include "resources/resource.h"
#include "resources/settings_ids.h"
#include "settings/find_on_tab.h"
#include "tests/band/win32/view_fixture.h"
#include "widgets/win32/dialog_support.h"

namespace qm::test {
namespace {

FileTime Days(int days) {
    // Some day in 2020, plus the given number of days.
    return FileTime{132223104000000000ull + static_cast<uint64_t>(days) * 864000000000ull};
}

// Sends `command` to the view and, once the dialog it opens is up, runs
// `script` on it and closes it. Returns whether the dialog was seen.
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

// What a context menu looked like while it was open.
struct SeenMenu {
    bool open = false;
    bool flagSet = false;
    bool firstItemOwnerDrawn = false;
};

class ContextMenuTest : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        MakeView();
    }

    // Right-clicks `row` of the list (through the list, as the user does)
    // and picks the item at `position` with Down and Enter, or dismisses
    // the menu with Escape when position is negative.
    SeenMenu RightClickAndChoose(RecordKind kind, int row, int position) {
        SeenMenu seen;
        const ListCtrl& list = view().list(kind);
        const ListMetrics& metrics = list.metrics();
        const LPARAM point = MAKELPARAM(20, metrics.headerHeight + metrics.rowHeight * row + metrics.rowHeight / 2);
        const bool scripted = RunDuringModalLoop(
            [&] {
                SendMessageW(list.window(), WM_RBUTTONDOWN, MK_RBUTTON, point);
                SendMessageW(list.window(), WM_RBUTTONUP, 0, point);
            },
            [&] {
                const HWND menuWindow = OpenPopupMenu();
                if (!menuWindow) return false;
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
        seen.open = scripted;
        return seen;
    }
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

TEST_F(ViewFixture, StartupTimersFillHistoryThenTheCacheLists) {
    history_->Add({u"http://startup.example/one", u"One", Days(1), Days(1), Days(9)});
    MakeView(/*keepStartupFills=*/true);
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 0) << "the view shows at once and fills later";
    for (int waited = 0; waited < 150 && rows(RecordKind::History).RowCount() == 0; ++waited) PumpMessages(20);
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 1);
    // Timer 2 follows with the progress window, which is gone again after.
    PumpMessages(600);
    EXPECT_FALSE(view().busy());
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
        PumpMessages(300);
        EXPECT_EQ(GetFocus(), server) << "after Show(" << show << ")";
    }
    DestroyWindow(documentView);
}

TEST_F(ViewFixture, SaveHistoryWritesTheFileTheSaveAsBoxChoseInTheModulesContext) {
    MakeView();
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string path =
        std::string(temp) + "qm-report-" + std::to_string(GetCurrentProcessId()) + ".html";
    platform_.prompts.QueueFile(path);
    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, ID_QM_SAVE_HISTORY, 0), 0);
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>{ModuleActivation().handle()});
    const std::optional<std::string> page = platform_.adapters.fileSystem.ReadFile(path, 1 << 20);
    DeleteFileA(path.c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->find("</html>"), std::string::npos) << *page;
}

TEST_F(ViewFixture, EachMessageFamilyReachesTheController) {
    MakeView();
    AddRow(RecordKind::History, "Site", "  http://link.example/page  ");
    AddRow(RecordKind::History, "Other", "http://other.example/");
    AddRow(RecordKind::Cookies, "C:\\cookies\\a.txt", "user@site.example/");

    // A command, with a notification code in the high word.
    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, MAKEWPARAM(command::kSelectAll, 1), 0), 0);
    EXPECT_EQ(rows(RecordKind::History).SelectedRows(), (std::vector<int>{0, 1}));

    // A list's link click navigates the hosting browser.
    rows(RecordKind::History).Select(0, 1, 0);
    NMHDR link = {view().list(RecordKind::History).window(), 0, static_cast<UINT>(LISTNOTE_LINKCLICK)};
    SendMessageW(viewWindow(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(chrome_->addresses, std::vector<std::wstring>{L"http://link.example/page"});

    // A press on the tab strip.
    SendMessageW(view().tabControl().window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kFlatTabWidth + 20, 8));
    EXPECT_EQ(view().controller().currentTab(), RecordKind::Cookies);
    EXPECT_FALSE(IsWindowVisible(view().list(RecordKind::History).window()));
    EXPECT_TRUE(IsWindowVisible(view().list(RecordKind::Cookies).window()));
    EXPECT_EQ(LastStatusText(), "Internet Explorer Cookies contain: 1 items");

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
    PumpMessages(100);
    EXPECT_EQ(SendMessageW(view, WM_FINDONTAB, 0, reinterpret_cast<LPARAM>(&request)), 0);
    EXPECT_EQ(SendMessageW(view, WM_PERFORMCLEANUP, 0, reinterpret_cast<LPARAM>(&criteria)), 0);
    // A record sent with the other message's number is not taken either.
    EXPECT_EQ(SendRecord(view, WM_PERFORMCLEANUP, &request), 0);
    ASSERT_TRUE(IsWindow(view));
    const ListModel& history = rows(RecordKind::History);
    ASSERT_EQ(history.RowCount(), 3);
    EXPECT_EQ(history.GetCell(0, 0)->background, kDefaultColor);
    EXPECT_TRUE(history_->deleteCalls().empty());

    EXPECT_EQ(SendRecord(view, WM_FINDONTAB, &request), 0);
    EXPECT_EQ(history.GetCell(0, 0)->background, kNameMatchColor);
    EXPECT_EQ(history.GetCell(1, 0)->background, kDefaultColor);
}

// The dialogs themselves, owned by the view, reach it with their records.
TEST_F(ViewFixture, TheCleanupAndFindDialogsReachTheView) {
    history_->Add({u"http://stay.example/", u"Stay", Days(1), Days(1), Days(2)});
    history_->Add({u"http://away.example/x", u"Away", Days(1), Days(1), Days(2)});
    MakeView();
    AddRow(RecordKind::History, "Stay", "http://stay.example/");
    AddRow(RecordKind::History, "Away", "http://away.example/x");
    platform_.prompts.QueueAnswer(true);
    ASSERT_TRUE(WithDialog(viewWindow(), command::kCleanHistory, [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_QM_HISTORY_CONTAINING, BM_CLICK, 0, 0);
        SetDlgItemTextA(dialog, IDC_QM_HISTORY_TEXT, "away.example");
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);  // Clean Up: the dialog stays open
    }));
    EXPECT_EQ(history_->deleteCalls(), std::vector<std::u16string>{u"http://away.example/x"});
    ASSERT_EQ(rows(RecordKind::History).RowCount(), 1);

    ASSERT_TRUE(WithDialog(viewWindow(), command::kFindOnTab, [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_QM_FIND_TEXT, "stay");
        CheckDlgButton(dialog, IDC_QM_FIND_VALUES, BST_CHECKED);
        SendDlgItemMessageW(dialog, IDC_QM_FIND_ALL, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(rows(RecordKind::History).GetCell(0, 1)->background, kUrlMatchColor);
    EXPECT_EQ(DialogOwnedBy(viewWindow()), nullptr);
}

TEST_F(ContextMenuTest, GdiObjectsDoNotGrowOverFillsMenusAboutBoxesAndTitleTips) {
    // Wine counts no GDI objects for a process; the band's own owners do.
    history_->Add({u"http://gdi.example/" + std::u16string(300, u'a'), u"Title " + std::u16string(200, u'w'),
                   Days(1), Days(1), Days(3)});
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
    for (int waited = 0; waited < 200 && LiveGdiObjects() != held; ++waited) PumpMessages(10);
    EXPECT_EQ(LiveGdiObjects(), held);
}

TEST_F(ContextMenuTest, CopyUrlPutsTheSelectedAddressOnTheClipboard) {
    AddRow(RecordKind::History, "First", "http://first.example/");
    AddRow(RecordKind::History, "Second", "http://second.example/");
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    const SeenMenu seen = RightClickAndChoose(RecordKind::History, 1, 1);  // "Copy URL"
    ASSERT_TRUE(seen.open);
    EXPECT_TRUE(seen.flagSet) << "the flag is set while the menu is tracked";
    EXPECT_FALSE(view().contextMenuOpen()) << "and cleared after";
    EXPECT_TRUE(seen.firstItemOwnerDrawn) << "the menu bar draws the context menu's items";
    EXPECT_EQ(ClipboardText(), "http://second.example/");
}

TEST_F(ContextMenuTest, DeleteUrlAsksInsideTheModulesActivationContextAndDeletes) {
    history_->Add({u"http://gone.example/", u"Gone", Days(1), Days(1), Days(2)});
    AddRow(RecordKind::History, "Gone", "http://gone.example/");
    AddRow(RecordKind::History, "Other", "http://other.example/");
    platform_.prompts.QueueAnswer(true);
    ASSERT_TRUE(RightClickAndChoose(RecordKind::History, 0, 2).open);  // "Delete URL"
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 1);
    EXPECT_EQ(history_->deleteCalls(), std::vector<std::u16string>{u"http://gone.example/"});
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>(1, ModuleActivation().handle()));
}

}  // namespace
}  // namespace qm::test
