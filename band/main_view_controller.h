// The main view's controller: everything the band's one window decides.
// It holds the current tab, the loaded Settings and the browser, and works
// on the three lists' models; it runs the command table, the tab and list
// notifications, the fills and Refresh, the item commands of the context
// menus, the selection deletion, Select All, Find on this Tab, the cleanup
// rebuild and the loading of index files. The window (band/win32) turns
// messages into the calls below and paints; it answers the controller
// through the ViewWindow and ViewDialogs ports.
//
// Borrowed: the platform, the three list models (the list windows own
// them), the window and dialog ports, and the browser, which may be null
// for the view's whole life and is guarded at every use. Owned: the tab
// index and the Settings copy.
//
// Every call runs on the browser's user-interface thread. The dialogs run
// nested message loops, so a cleanup or a search re-enters the controller
// while the command that opened the dialog is still on the stack; nothing
// here holds a row or cell across a port call.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "band/view_dialogs.h"
#include "band/view_window.h"
#include "cleaning/cleanup_criteria.h"
#include "platform/browser.h"
#include "platform/platform.h"
#include "platform/types.h"
#include "settings/date_formatter.h"
#include "settings/find_on_tab.h"
#include "settings/settings.h"
#include "widgets/list_model.h"

namespace qm {

// The models of the three lists, by RecordKind.
struct ViewLists {
    ListModel& history;
    ListModel& cookies;
    ListModel& cache;
};

// The context menu a right click brings up over the kind's list, or
// nothing: none on a list without rows, on a Cookies or Cache list of
// fewer than 5 columns, or on a History list whose second column is
// "User" (an index file's view); the selection menu whenever two or more
// rows are selected.
std::optional<int> ContextMenuFor(RecordKind tab, const ListModel& list);

// The trimmed text of the first column titled exactly `title` in the
// selected row (the focus row if selected, else the lowest selected row);
// empty when there is no such column or no selected row.
std::string SelectedCellText(const ListModel& list, std::string_view title);

class MainViewController {
public:
    MainViewController(Platform& platform, ViewLists lists, ViewWindow& window, ViewDialogs& dialogs);
    MainViewController(const MainViewController&) = delete;
    MainViewController& operator=(const MainViewController&) = delete;

    // The hosting browser, once the site gives it; null for none.
    void SetBrowser(Browser* browser) { browser_ = browser; }
    Browser* browser() const { return browser_; }

    // The window was created: each list gets its columns (History shown),
    // then the settings are loaded.
    void Create();
    // Timer 1: the History list, without the progress window.
    void FillHistoryAtStartup();
    // Timer 2: the Cookies and Cache lists from one enumeration, with the
    // progress window and without a status text.
    void FillCacheAndCookiesAtStartup();

    // WM_COMMAND: true when the id is a command of the main menu (handled,
    // result 0); false for any other id, which the window leaves to the
    // default processing.
    bool HandleCommand(int id);
    // WM_NOTIFY by its code. selectedTab is the tab control's current index,
    // read by the window for TCN_SELCHANGE. Codes other than TCN_SELCHANGE,
    // LISTNOTE_LINKCLICK and LISTNOTE_CONTEXT are ignored.
    void HandleNotify(int code, int selectedTab = -1);
    // WM_FINDONTAB.
    void FindOnTab(const FindRequest& request);
    // WM_PERFORMCLEANUP: the deletions of the record, then the kind's tab
    // shown and its list rebuilt. A record of an unknown kind is ignored.
    void PerformCleanup(const CleanupCriteria& criteria);

    // Replaces the list of the file's kind with the file's records and
    // shows it; nothing for an empty path or a file that gives no records.
    void LoadIndexFile(std::string_view path);
    // Refresh: rebuilds the current tab's list only, from the store.
    void RefreshCurrentTab();
    // Every row of the current list selected.
    void SelectAllItems();
    // A context menu item's id, as tracking returned it; false for an id no
    // context menu has.
    bool RunItemCommand(int id);

    // SelectedCellText on the current tab's list.
    std::string SelectedCellText(std::string_view title) const;
    // The kind's record count on the browser's status bar; nothing without
    // a browser.
    void UpdateStatusText(RecordKind kind);

    RecordKind currentTab() const { return currentTab_; }
    ListModel& list(RecordKind kind);
    const ListModel& list(RecordKind kind) const;
    const Settings& settings() const { return settings_; }
    DateFormatter formatter() const { return DateFormatter(settings_.dateTemplate()); }

private:
    struct CommandEntry {
        int id;
        void (MainViewController::*handler)();
    };
    static const CommandEntry kCommands[];
    static const CommandEntry kItemCommands[];

    void ShowTab(RecordKind kind);
    // Empties the kind's list, gives it its columns again and fills it
    // (with its status text); headerClick sets the sort column while empty.
    void RebuildList(RecordKind kind, bool headerClick);
    void OpenChosenIndexFile(const std::optional<std::string>& path);

    void OnLinkClick();
    void OnContextMenu();

    // The main menu.
    void Refresh() { RefreshCurrentTab(); }
    void SaveHistory();
    void SaveCookieList();
    void SaveCacheList();
    void OpenIndexFile();
    void SearchIndexFiles();
    void OpenHistoryIndex();
    void OpenCookiesIndex();
    void OpenCacheIndex();
    void CleanHistory();
    void CleanCookies();
    void CleanCache();
    void CleanIndexFiles();
    void ClearTypedUrlList();
    void ClearRecentDocumentList();
    void ClearRunHistoryList();
    void SelectAll() { SelectAllItems(); }
    void ShowFind();
    void ShowOptions();
    void OpenWebPage();
    void ShowAbout();

    // The context menus' items.
    void OpenUrl();
    void OpenCookieUrl();
    void CopyUrl();
    void CopyCookieUrl();
    void DeleteHistoryUrl();
    void DeleteCookie();
    void DeleteCacheEntry();
    void DeleteSelectedItems();
    void AddToFavorites();
    void ViewCookieDetails();
    void ShowFileProperties();
    void OpenFile();

    // The single deletions: the question, then the kind's selected row's
    // record and row, whatever the store answers.
    void DeleteSelectedRow(RecordKind kind, std::string_view question);
    // Deletes one record by its full name in its store; nothing for an empty name.
    void DeleteRecord(RecordKind kind, std::string_view name);
    void Navigate(std::string_view address);

    Platform& platform_;
    ViewLists lists_;
    ViewWindow& window_;
    ViewDialogs& dialogs_;
    Browser* browser_ = nullptr;
    RecordKind currentTab_ = RecordKind::History;
    Settings settings_;
};

}  // namespace qm
