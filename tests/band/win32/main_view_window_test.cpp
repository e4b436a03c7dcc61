// The main view's window in a test parent: its children, the tab switch,
// the command and notification routing to the controller, the private
// messages of the dialogs, the context menus with their owner drawing, the
// clipboard and the browser's status text.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <wininet.h>

#include <atomic>
#include <cstring>
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

std::string WindowClass(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The text of the item at `position` of a menu.
std::string MenuItemText(HMENU menu, int position) {
    char text[128] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof(text);
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return {};
    return text;
}

// Sends what a list sends when the right button is released over it.
void SendListNotification(HWND view, const ListCtrl& list, int code) {
    NMHDR header = {};
    header.hwndFrom = list.window();
    header.code = static_cast<UINT>(code);
    SendMessageW(view, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

// What a context menu looked like while it was open.
struct SeenMenu {
    bool open = false;
    bool flagSet = false;
    std::vector<std::string> items;
    bool firstItemOwnerDrawn = false;
};

// Right-clicks the view's current list (through the list, as the user does)
// and, while the menu is tracked, records it and presses the keys.
class ContextMenuTest : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        MakeView();
    }

    // Picks the item at `position` with Down and Enter, or dismisses the
    // menu with Escape when position is negative.
    SeenMenu RightClickAndChoose(RecordKind kind, int row, int position) {
        SeenMenu seen;
        const ListCtrl& list = view().list(kind);
        const int y =
            list.metrics().headerHeight + list.metrics().rowHeight * row + list.metrics().rowHeight / 2;
        const LPARAM point = MAKELPARAM(20, y);
        const bool scripted = RunDuringModalLoop(
            [&] {
                SendMessageW(list.window(), WM_RBUTTONDOWN, MK_RBUTTON, point);
                SendMessageW(list.window(), WM_RBUTTONUP, 0, point);
            },
            [&] {
                const HWND menuWindow = OpenPopupMenu();
                if (!menuWindow) return false;
                seen.open = true;
                seen.flagSet = view().contextMenuOpen();
                const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
                for (int at = 0; menu && at < GetMenuItemCount(menu); ++at)
                    seen.items.push_back(MenuItemText(menu, at));
                MENUITEMINFOA info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_FTYPE;
                if (menu && GetMenuItemInfoA(menu, 0, TRUE, &info))
                    seen.firstItemOwnerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
                if (position < 0) {
                    PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
                } else {
                    for (int step = 0; step <= position; ++step)
                        PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
                    PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
                }
                return true;
            },
            [] { EndMenu(); }, 25);
        if (!scripted) seen.open = false;
        return seen;
    }
};

// ---- creation and layout --------------------------------------------------

TEST_F(ViewFixture, CreationMakesTheMenuBarTabsAndThreeListsInPlace) {
    MakeView();
    const HWND view = viewWindow();

    const CommandBar& bar = this->view().menuBar();
    ASSERT_NE(bar.window(), nullptr);
    EXPECT_EQ(GetParent(bar.window()), view);
    EXPECT_NE(bar.ImageIndexOf(command::kRefresh), -1) << "the bar's images come from toolbar 203";
    EXPECT_EQ(bar.commandBarExtendedStyle(), CommandBar::kAllExtendedStyles);

    const FlatTabCtrl& tabs = this->view().tabControl();
    ASSERT_NE(tabs.window(), nullptr);
    EXPECT_EQ(GetDlgItem(view, kTabControlId), tabs.window());
    EXPECT_EQ(tabs.CurrentTab(), 0);

    // Each list is a ListCtrl child with its columns; only History shows.
    const RecordKind kinds[] = {RecordKind::History, RecordKind::Cookies, RecordKind::Cache};
    for (RecordKind kind : kinds) {
        const ListCtrl& list = this->view().list(kind);
        ASSERT_NE(list.window(), nullptr);
        EXPECT_EQ(GetParent(list.window()), view);
        EXPECT_EQ(WindowClass(list.window()), "ListCtrl");
        EXPECT_EQ(IsWindowVisible(list.window()) != FALSE, kind == RecordKind::History);
    }

    ASSERT_NE(this->view().rowImages(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(this->view().rowImages()), 9);
    ASSERT_NE(this->view().menuImages(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(this->view().menuImages()), 7);

    // The layout, with the right inset from the browser frame (the test
    // parent) and the view's left edges.
    RECT client = {};
    GetClientRect(view, &client);
    SendMessageW(view, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    const RECT barRect = ChildRect(view, bar.window());
    EXPECT_EQ(barRect.left, 0);
    EXPECT_EQ(barRect.top, 0);
    EXPECT_EQ(barRect.bottom, kMenuBarHeight);
    const RECT tabRect = ChildRect(view, tabs.window());
    RECT frameRect = {};
    RECT viewRect = {};
    GetWindowRect(parent_, &frameRect);
    GetWindowRect(view, &viewRect);
    const int inset = RightInset(frameRect.left, viewRect.left);
    EXPECT_EQ(tabRect.left, client.right - inset - kTabControlWidth);
    EXPECT_EQ(barRect.right, tabRect.left);
    const RECT listRect = ChildRect(view, this->view().list(RecordKind::Cache).window());
    EXPECT_EQ(listRect.top, kListsTop);
    EXPECT_EQ(listRect.bottom, client.bottom);
}

TEST_F(ViewFixture, StartupTimersFillHistoryThenTheCacheLists) {
    history_->Add({u"http://startup.example/one", u"One", Days(1), Days(1), Days(9)});
    history_->Add({u"http://startup.example/two", std::nullopt, Days(2), Days(2), Days(9)});
    MakeView(/*keepStartupFills=*/true);
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 0) << "the view shows at once and fills later";

    const DWORD start = GetTickCount();
    while (rows(RecordKind::History).RowCount() < 2 && GetTickCount() - start < 3000) Pump(20);
    ASSERT_EQ(rows(RecordKind::History).RowCount(), 2);
    EXPECT_EQ(rows(RecordKind::History).GetCellText(1, 0), "Untitled");
    EXPECT_EQ(LastStatusText(), "Internet Explorer History contains: 2 items");

    // Timer 2 follows with the progress window, which is gone again after.
    Pump(600);
    EXPECT_FALSE(view().busy());
    EXPECT_EQ(LastStatusText(), "Internet Explorer History contains: 2 items")
        << "the start-up fill of the cache lists writes no status text";
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
        Pump(300);
        EXPECT_EQ(GetFocus(), server) << "after Show(" << show << ")";
    }
    DestroyWindow(documentView);
}

TEST_F(ViewFixture, SaveHistoryWritesTheReportWhereTheSaveAsBoxSaid) {
    history_->Add({u"http://report.example/<b>", u"Fish & Chips", Days(1), Days(1), Days(9)});
    MakeView();
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string path =
        std::string(temp) + "qm-report-" + std::to_string(GetCurrentProcessId()) + ".html";
    platform_.prompts.QueueFile(path);

    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, ID_QM_SAVE_HISTORY, 0), 0);
    ASSERT_EQ(platform_.prompts.fileChoices.size(), 1u);
    EXPECT_EQ(platform_.prompts.fileChoices[0].defaultExtension, "html");
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>{ModuleActivation().handle()})
        << "the Save As box opens inside the module's activation context";

    // Read back from the disk: the page in text mode, the record escaped.
    const std::optional<std::string> page = platform_.adapters.fileSystem.ReadFile(path, 1 << 20);
    DeleteFileA(path.c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(
        page->find("Fish &amp; Chips</td></tr>\r\n<tr><td class=\"stable3\">http://report.example/&lt;b&gt;"),
        std::string::npos)
        << *page;
}

// ---- tabs -------------------------------------------------------------------

TEST_F(ViewFixture, ChoosingATabShowsItsListAloneAndCountsItsRows) {
    MakeView();
    AddRow(RecordKind::Cookies, "C:\\cookies\\a.txt", "user@site.example/");
    const HWND tabStrip = view().tabControl().window();

    // A press on the second tab, as the user gives it.
    SendMessageW(tabStrip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kFlatTabWidth + 20, 8));
    EXPECT_EQ(view().tabControl().CurrentTab(), 1);
    EXPECT_EQ(view().controller().currentTab(), RecordKind::Cookies);
    EXPECT_FALSE(IsWindowVisible(view().list(RecordKind::History).window()));
    EXPECT_TRUE(IsWindowVisible(view().list(RecordKind::Cookies).window()));
    EXPECT_FALSE(IsWindowVisible(view().list(RecordKind::Cache).window()));
    EXPECT_EQ(LastStatusText(), "Internet Explorer Cookies contain: 1 items");

    // The tab already in view, announced again, refreshes the status text.
    chrome_->statusTexts.clear();
    NMHDR header = {tabStrip, static_cast<UINT_PTR>(kTabControlId), static_cast<UINT>(kTcnSelChange)};
    EXPECT_EQ(SendMessageW(viewWindow(), WM_NOTIFY, kTabControlId, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(StatusTexts(), std::vector<std::string>{"Internet Explorer Cookies contain: 1 items"});

    // A notification without its header is left alone.
    EXPECT_EQ(SendMessageW(viewWindow(), WM_NOTIFY, 0, 0), 0);
}

// ---- commands ---------------------------------------------------------------

TEST_F(ViewFixture, CommandsGoToTheControllerByTheirIdAlone) {
    MakeView();
    for (int row = 0; row < 3; ++row)
        AddRow(RecordKind::History, "page", "http://select.example/" + std::to_string(row));
    rows(RecordKind::History).Select(1, 0, 0);

    // Select All, with a notification code in the high word.
    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, MAKEWPARAM(command::kSelectAll, 1), 0), 0);
    EXPECT_EQ(rows(RecordKind::History).SelectedRows(), (std::vector<int>{0, 1, 2}));

    // An id outside the table does nothing.
    EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, 12345, 0), 0);
    EXPECT_EQ(rows(RecordKind::History).RowCount(), 3);
}

TEST_F(ViewFixture, DialogCommandsOpenTheirDialogsOwnedByTheView) {
    MakeView();
    struct Case {
        int command;
        const char* title;
    };
    const Case cases[] = {
        {command::kAbout, nullptr},
        {command::kCleanHistory, "Clean up History"},
        {command::kCleanIndexFiles, "Clean up Index files"},
        {command::kFindOnTab, "Find"},
    };
    for (const Case& each : cases) {
        std::string seenTitle;
        const bool seen = RunDuringModalLoop([&] { SendMessageW(viewWindow(), WM_COMMAND, each.command, 0); },
                                             [&] {
                                                 const HWND dialog = DialogOwnedBy(viewWindow());
                                                 if (!dialog) return false;
                                                 char title[128] = {};
                                                 GetWindowTextA(dialog, title, sizeof title);
                                                 seenTitle = title;
                                                 PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                                 return true;
                                             },
                                             [&] {
                                                 if (const HWND dialog = DialogOwnedBy(viewWindow()))
                                                     EndDialog(dialog, IDCANCEL);
                                             });
        EXPECT_TRUE(seen) << "command " << each.command;
        if (each.title) {
            EXPECT_EQ(seenTitle, each.title) << "command " << each.command;
        }
        EXPECT_EQ(DialogOwnedBy(viewWindow()), nullptr) << "command " << each.command;
    }
    // The Find dialog saved its options on Close: nothing else was asked.
    EXPECT_TRUE(platform_.prompts.questions.empty());
}

// ---- the dialogs' private messages ------------------------------------------

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
    Pump(100);
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
    EXPECT_EQ(history.GetCell(2, 0)->background, kNameMatchColor);
    EXPECT_EQ(history.SelectedRows(), std::vector<int>{2});
}

// Puts a content entry into the system's URL cache, as the browser does.
bool CommitCacheEntry(const std::string& url, const char* extension) {
    char path[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 1, extension, path, 0)) return false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    return CommitUrlCacheEntryA(url.c_str(), path, FILETIME{}, FILETIME{}, NORMAL_CACHE_ENTRY, nullptr, 0,
                                extension, nullptr) != FALSE;
}

bool InCache(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

TEST_F(ViewFixture, CleaningCachePicturesRemovesThemFromTheSystemCacheAndTheList) {
    const std::string picture = "http://pictures.quillmere.test/photo.jpg";
    const std::string icon = "http://pictures.quillmere.test/spacer.gif";
    const std::string page = "http://pictures.quillmere.test/index.html";
    ASSERT_TRUE(CommitCacheEntry(picture, "jpg"));
    ASSERT_TRUE(CommitCacheEntry(icon, "gif"));
    ASSERT_TRUE(CommitCacheEntry(page, "html"));
    MakeView();

    CleanupCriteria criteria = NewCleanupCriteria(platform_.adapters.clock);
    criteria.criterion = criterion::kPictures;
    criteria.kind = 3;  // Cache
    EXPECT_EQ(SendRecord(viewWindow(), WM_PERFORMCLEANUP, &criteria), 0);

    EXPECT_FALSE(InCache(picture));
    EXPECT_FALSE(InCache(icon));
    EXPECT_TRUE(InCache(page));
    EXPECT_EQ(view().tabControl().CurrentTab(), 2) << "the tab strip follows the view";
    const ListModel& cache = rows(RecordKind::Cache);
    std::vector<std::string> ours;
    for (int row = 0; row < cache.RowCount(); ++row) {
        const std::string url(cache.GetCellText(row, 1));
        if (url.find("pictures.quillmere.test") != std::string::npos) ours.push_back(url);
    }
    EXPECT_EQ(ours, std::vector<std::string>{page});
    DeleteUrlCacheEntryA(page.c_str());
}

// The dialogs themselves, owned by the view, reach it with their records.
TEST_F(ViewFixture, TheCleanupDialogCleansThroughTheView) {
    history_->Add({u"http://stay.example/", u"Stay", Days(1), Days(1), Days(2)});
    history_->Add({u"http://away.example/x", u"Away", Days(1), Days(1), Days(2)});
    MakeView();
    AddRow(RecordKind::History, "Stay", "http://stay.example/");
    AddRow(RecordKind::History, "Away", "http://away.example/x");
    platform_.prompts.QueueAnswer(true);

    const bool cleaned = RunDuringModalLoop(
        [&] { SendMessageW(viewWindow(), WM_COMMAND, command::kCleanHistory, 0); },
        [&] {
            const HWND dialog = DialogOwnedBy(viewWindow());
            if (!dialog) return false;
            SendDlgItemMessageW(dialog, IDC_QM_HISTORY_CONTAINING, BM_CLICK, 0, 0);
            SetDlgItemTextA(dialog, IDC_QM_HISTORY_TEXT, "away.example");
            SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);  // Clean Up: the dialog stays open
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        },
        [&] {
            if (const HWND dialog = DialogOwnedBy(viewWindow())) EndDialog(dialog, IDCANCEL);
        });
    ASSERT_TRUE(cleaned);
    EXPECT_EQ(history_->deleteCalls(), std::vector<std::u16string>{u"http://away.example/x"});
    ASSERT_EQ(rows(RecordKind::History).RowCount(), 1);
    EXPECT_EQ(rows(RecordKind::History).GetCellText(0, 1), "http://stay.example/");
    EXPECT_EQ(LastStatusText(), "Internet Explorer History contains: 1 items");
}

TEST_F(ViewFixture, TheFindDialogMarksTheViewsCurrentList) {
    MakeView();
    SendMessageW(view().tabControl().window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(2 * kFlatTabWidth + 20, 8));
    AddRow(RecordKind::Cache, "C:\\cache\\logo.gif", "http://img.example/logo.gif");
    AddRow(RecordKind::Cache, "C:\\cache\\page.htm", "http://www.example/page.htm");
    AddRow(RecordKind::History, "logo", "http://img.example/logo.gif");

    const bool searched =
        RunDuringModalLoop([&] { SendMessageW(viewWindow(), WM_COMMAND, command::kFindOnTab, 0); },
                           [&] {
                               const HWND dialog = DialogOwnedBy(viewWindow());
                               if (!dialog) return false;
                               SetDlgItemTextA(dialog, IDC_QM_FIND_TEXT, "LOGO");
                               CheckDlgButton(dialog, IDC_QM_FIND_NAMES, BST_UNCHECKED);
                               CheckDlgButton(dialog, IDC_QM_FIND_CASE, BST_UNCHECKED);
                               CheckDlgButton(dialog, IDC_QM_FIND_VALUES, BST_CHECKED);
                               SendDlgItemMessageW(dialog, IDC_QM_FIND_ALL, BM_CLICK, 0, 0);
                               PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                               return true;
                           },
                           [&] {
                               if (const HWND dialog = DialogOwnedBy(viewWindow()))
                                   EndDialog(dialog, IDCANCEL);
                           });
    ASSERT_TRUE(searched);
    const ListModel& cache = rows(RecordKind::Cache);
    EXPECT_EQ(cache.GetCell(0, 1)->background, kUrlMatchColor) << "case is ignored unless asked";
    EXPECT_EQ(cache.GetCell(1, 1)->background, kDefaultColor);
    EXPECT_EQ(cache.SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(rows(RecordKind::History).GetCell(0, 1)->background, kDefaultColor) << "only the tab in view";
}

// ---- links and context menus --------------------------------------------------

TEST_F(ViewFixture, LinkClickNavigatesTheHostingBrowser) {
    MakeView();
    AddRow(RecordKind::History, "Site", "  http://link.example/page  ");
    rows(RecordKind::History).Select(0, 1, 0);
    SendListNotification(viewWindow(), view().list(RecordKind::History), LISTNOTE_LINKCLICK);
    ASSERT_EQ(chrome_->addresses.size(), 1u);
    EXPECT_EQ(chrome_->addresses[0], L"http://link.example/page");

    // A double click (activation) does nothing.
    SendListNotification(viewWindow(), view().list(RecordKind::History), LISTNOTE_ACTIVATE);
    EXPECT_EQ(chrome_->addresses.size(), 1u);
}

TEST_F(ContextMenuTest, GdiObjectsDoNotGrowOverFillsMenusAboutBoxesAndTitleTips) {
    // Wine counts no GDI objects for a process; the band's own owners do.
    history_->Add({u"http://gdi.example/" + std::u16string(300, u'a'), u"Title " + std::u16string(200, u'w'),
                   Days(1), Days(1), Days(3)});
    const HWND list = view().list(RecordKind::History).window();
    const auto round = [&] {
        EXPECT_EQ(SendMessageW(viewWindow(), WM_COMMAND, command::kRefresh, 0), 0);
        EXPECT_TRUE(RightClickAndChoose(RecordKind::History, 0, -1).open);
        EXPECT_TRUE(RunDuringModalLoop([&] { SendMessageW(viewWindow(), WM_COMMAND, command::kAbout, 0); },
                                       [&] {
                                           const HWND about = DialogOwnedBy(viewWindow());
                                           if (about) PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
                                           return about != nullptr;
                                       },
                                       [&] {
                                           if (const HWND about = DialogOwnedBy(viewWindow()))
                                               EndDialog(about, IDCANCEL);
                                       }));
        const ListMetrics& metrics = view().list(RecordKind::History).metrics();
        SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(80, metrics.headerHeight + metrics.rowHeight / 2));
        EXPECT_TRUE(view().list(RecordKind::History).titleTip().visible());
        SendMessageW(list, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);  // the list's fonts made anew
        EXPECT_FALSE(view().list(RecordKind::History).titleTip().visible());
    };
    round();  // what is made once and kept is made here
    const long held = LiveGdiObjects();
    for (int repeat = 0; repeat < 2; ++repeat) round();
    // The progress window's thread gives its objects back as it ends.
    for (int waited = 0; waited < 200 && LiveGdiObjects() != held; ++waited) Pump(10);
    EXPECT_EQ(LiveGdiObjects(), held);
}

TEST_F(ContextMenuTest, CopyUrlPutsTheSelectedAddressOnTheClipboard) {
    AddRow(RecordKind::History, "First", "http://first.example/");
    AddRow(RecordKind::History, "Second", "http://second.example/");
    ASSERT_TRUE(PutOnClipboard("before"));

    const SeenMenu seen = RightClickAndChoose(RecordKind::History, 1, 1);  // "Copy URL"
    ASSERT_TRUE(seen.open);
    EXPECT_TRUE(seen.flagSet) << "the flag is set while the menu is tracked";
    EXPECT_FALSE(view().contextMenuOpen()) << "and cleared after";
    EXPECT_EQ(seen.items,
              (std::vector<std::string>{"Open URL", "Copy URL", "", "Delete URL", "", "Add to Favorites"}));
    EXPECT_TRUE(seen.firstItemOwnerDrawn) << "the menu bar draws the context menu's items";
    EXPECT_EQ(rows(RecordKind::History).SelectedRows(), std::vector<int>{1})
        << "the right press selected the row";
    EXPECT_EQ(ClipboardText(), "http://second.example/");
}

TEST_F(ContextMenuTest, DeleteUrlAsksInsideTheModulesActivationContextAndDeletes) {
    history_->Add({u"http://gone.example/", u"Gone", Days(1), Days(1), Days(2)});
    AddRow(RecordKind::History, "Gone", "http://gone.example/");
    AddRow(RecordKind::History, "Other", "http://other.example/");

    platform_.prompts.QueueAnswer(true);
    ASSERT_TRUE(RightClickAndChoose(RecordKind::History, 0, 2).open);  // "Delete URL"
    ASSERT_EQ(rows(RecordKind::History).RowCount(), 1);
    EXPECT_EQ(history_->deleteCalls(), std::vector<std::u16string>{u"http://gone.example/"});
    EXPECT_EQ(LastStatusText(), "Internet Explorer History contains: 1 items");
    ASSERT_NE(ModuleActivation().handle(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.prompts.contexts, std::vector<HANDLE>(1, ModuleActivation().handle()));
}

TEST_F(ContextMenuTest, DeleteEntryRemovesTheCacheEntryFromTheSystemCacheAndItsRow) {
    const std::string doomed = "http://menu.quillmere.test/gone.css";
    const std::string kept = "http://menu.quillmere.test/kept.css";
    ASSERT_TRUE(CommitCacheEntry(doomed, "css"));
    ASSERT_TRUE(CommitCacheEntry(kept, "css"));
    SendMessageW(view().tabControl().window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(2 * kFlatTabWidth + 20, 8));
    ASSERT_EQ(SendMessageW(viewWindow(), WM_COMMAND, command::kRefresh, 0), 0);

    // Only this test's two rows stay on show: the prefix's cache may hold
    // others.
    ListModel& cache = rows(RecordKind::Cache);
    for (int row = cache.RowCount() - 1; row >= 0; --row) {
        const std::string url(cache.GetCellText(row, 1));
        if (url != doomed && url != kept) cache.DeleteRow(row);
    }
    ASSERT_EQ(cache.RowCount(), 2);
    view().ListChanged(RecordKind::Cache);
    const int doomedRow = cache.GetCellText(0, 1) == doomed ? 0 : 1;

    platform_.prompts.QueueAnswer(true);
    ASSERT_TRUE(RightClickAndChoose(RecordKind::Cache, doomedRow, 2).open);  // "Delete Entry"
    EXPECT_EQ(platform_.prompts.questions.back(),
              "Are you sure you want to delete Internet Explorer Cache item?");
    EXPECT_FALSE(InCache(doomed));
    EXPECT_TRUE(InCache(kept));
    ASSERT_EQ(cache.RowCount(), 1);
    EXPECT_EQ(cache.GetCellText(0, 1), kept);
    DeleteUrlCacheEntryA(kept.c_str());
}

}  // namespace
}  // namespace qm::test
