// The context menus and what their items do to the records and the rows.
#include <gtest/gtest.h>

#include "band/command_ids.h"
#include "band/main_view_controller.h"
#include "records/tab_lists.h"
#include "tests/band/main_view/view_fixture.h"

namespace qm::test {
namespace {

class ItemsTest : public ViewTest {
protected:
    ItemsTest() {
        memory.urlHistory.Add(HistoryUrl("http://one.example/", "One"));
        memory.urlHistory.Add(HistoryUrl("http://two.example/", "Two: news"));
        memory.urlCache.Add(CacheItem("Cookie:joe@site.example/", "C:\\Cookies\\joe@site[1].txt"));
        memory.urlCache.Add(CacheItem("Cookie:nouser.example/", "C:\\Cookies\\nouser[1].txt"));
        memory.urlCache.Add(CacheItem("http://a.example/a.htm", "C:\\cache\\a.htm"));
        memory.urlCache.Add(CacheItem("http://b.example/b.gif", "C:\\cache\\b.gif"));
        memory.urlCache.Add(CacheItem("http://c.example/c.css", "C:\\cache\\c.css"));
        memory.urlCache.Add(CacheItem("http://d.example/d.js", "C:\\cache\\d.js"));
        FillAll();
    }

    // A right click on the tab's list with the given rows selected, the
    // menu answered with `choice`.
    void ContextMenu(RecordKind tab, std::initializer_list<int> rows, int choice) {
        ShowTab(tab);
        ListModel& list = view.list(tab);
        list.Select(-1, -1, 0);
        for (int row : rows) list.Select(row, 0, kModifierControl);
        dialogs.menuChoice = choice;
        view.HandleNotify(LISTNOTE_CONTEXT);
    }
};

TEST_F(ItemsTest, ContextMenuFollowsTabColumnsRowsAndSelection) {
    ContextMenu(RecordKind::History, {0}, 0);
    ContextMenu(RecordKind::Cookies, {1}, 0);
    ContextMenu(RecordKind::Cache, {}, 0);
    ContextMenu(RecordKind::Cache, {0, 2}, 0);
    ContextMenu(RecordKind::History, {0, 1}, 0);
    EXPECT_EQ(dialogs.trackedMenus,
              (std::vector<int>{menu_id::kHistoryItem, menu_id::kCookieItem, menu_id::kCacheItem,
                                menu_id::kSelection, menu_id::kSelection}));

    ListModel empty(memory.clock);
    AddTabListColumns(empty, RecordKind::Cache);
    EXPECT_FALSE(ContextMenuFor(RecordKind::Cache, empty));

    ListModel narrow(memory.clock);
    for (std::string_view title : {"File", "URL", "Size", "Hits"}) narrow.AddColumn(title, 50);
    narrow.AddRow("x");
    EXPECT_FALSE(ContextMenuFor(RecordKind::Cookies, narrow));
    EXPECT_FALSE(ContextMenuFor(RecordKind::Cache, narrow));
    // The History rule looks at the second title only.
    EXPECT_EQ(ContextMenuFor(RecordKind::History, narrow), menu_id::kHistoryItem);

    ListModel indexView(memory.clock);
    for (std::string_view title : {"Title", "User", "URL", "Last Visited", "Last Updated"})
        indexView.AddColumn(title, 50);
    indexView.AddRow("x");
    indexView.AddRow("y");
    indexView.Select(0, 0, 0);
    indexView.Select(1, 0, kModifierControl);
    EXPECT_FALSE(ContextMenuFor(RecordKind::History, indexView));
}

TEST_F(ItemsTest, EmptyListOffersNoMenu) {
    history.DeleteAllRows();
    ContextMenu(RecordKind::History, {}, item::kDeleteHistoryUrl);
    EXPECT_TRUE(dialogs.trackedMenus.empty());
    EXPECT_TRUE(memory.prompts.questions().empty());
}

TEST_F(ItemsTest, CookieUserAndSiteIsOpenedAndCopiedAsTheSite) {
    ContextMenu(RecordKind::Cookies, {0}, item::kOpenCookieUrl);
    ContextMenu(RecordKind::Cookies, {0}, item::kCopyCookieUrl);
    EXPECT_EQ(browser.navigations(), (std::vector<std::string>{"site.example/"}));
    EXPECT_EQ(memory.shell.clipboard(), "site.example/");

    // A cell without "@" is used whole; so is the link click's.
    ContextMenu(RecordKind::Cookies, {1}, item::kCopyCookieUrl);
    EXPECT_EQ(memory.shell.clipboard(), "nouser.example/");
    cookies.Select(0, 1, 0);
    view.HandleNotify(LISTNOTE_LINKCLICK);
    EXPECT_EQ(browser.navigations(), (std::vector<std::string>{"site.example/", "site.example/"}));
}

TEST_F(ItemsTest, OpenAndCopyOnHistoryAndCacheUseTheWholeCell) {
    ContextMenu(RecordKind::History, {1}, item::kOpenHistoryUrl);
    ContextMenu(RecordKind::Cache, {2}, item::kCopyCacheUrl);
    ContextMenu(RecordKind::Cache, {3}, item::kOpenCacheFile);
    EXPECT_EQ(browser.navigations(), (std::vector<std::string>{"http://two.example/", "C:\\cache\\d.js"}));
    EXPECT_EQ(memory.shell.clipboard(), "http://c.example/c.css");

    // Without a browser nothing is opened, but copying still works.
    view.SetBrowser(nullptr);
    ContextMenu(RecordKind::History, {0}, item::kOpenHistoryUrl);
    ContextMenu(RecordKind::History, {0}, item::kCopyHistoryUrl);
    history.Select(0, 1, 0);
    view.HandleNotify(LISTNOTE_LINKCLICK);
    EXPECT_EQ(browser.navigations().size(), 2u);
    EXPECT_EQ(memory.shell.clipboard(), "http://one.example/");
}

TEST_F(ItemsTest, PropertiesDetailsAndFavoritesGetTheSelectedRowsTexts) {
    ContextMenu(RecordKind::Cookies, {0}, item::kCookieProperties);
    ContextMenu(RecordKind::Cache, {1}, item::kCacheProperties);
    EXPECT_EQ(memory.shell.propertiesShown(),
              (std::vector<std::string>{"C:\\Cookies\\joe@site[1].txt", "C:\\cache\\b.gif"}));

    ContextMenu(RecordKind::Cookies, {1}, item::kViewCookieDetails);
    EXPECT_EQ(dialogs.cookieDetails, (std::vector<std::string>{"C:\\Cookies\\nouser[1].txt"}));

    ContextMenu(RecordKind::History, {1}, item::kAddToFavorites);
    ASSERT_EQ(dialogs.favorites.size(), 1u);
    EXPECT_EQ(dialogs.favorites[0].url, "http://two.example/");
    EXPECT_EQ(dialogs.favorites[0].description, "Two_ news");

    // An empty address proposes nothing; an empty file shows nothing.
    history.SetCellText(0, 1, "   ");
    ContextMenu(RecordKind::History, {0}, item::kAddToFavorites);
    cache.SetCellText(0, 0, "");
    ContextMenu(RecordKind::Cache, {0}, item::kCacheProperties);
    EXPECT_EQ(dialogs.favorites.size(), 1u);
    EXPECT_EQ(memory.shell.propertiesShown().size(), 2u);
}

TEST_F(ItemsTest, SelectedCellTextIsTrimmedAndEmptyWithoutColumnOrSelection) {
    ShowTab(RecordKind::Cache);
    EXPECT_EQ(view.SelectedCellText("URL"), "");
    cache.SetCellText(2, 1, "  \thttp://spaced.example/ \r\n");
    cache.Select(2, 0, 0);
    EXPECT_EQ(view.SelectedCellText("URL"), "http://spaced.example/");
    EXPECT_EQ(view.SelectedCellText("url"), "");
    EXPECT_EQ(view.SelectedCellText("Title"), "");
}

TEST_F(ItemsTest, SingleDeletionRemovesItsRowEvenWhenTheStoreRefuses) {
    // The entry went from the store after the list was filled.
    memory.urlCache.DeleteEntry("http://b.example/b.gif");
    ContextMenu(RecordKind::Cache, {1}, item::kDeleteCacheEntry);
    memory.prompts.QueueAnswer(true);
    view.RunItemCommand(item::kDeleteCacheEntry);

    EXPECT_EQ(memory.prompts.questions().back(),
              "Are you sure you want to delete Internet Explorer Cache item?");
    EXPECT_EQ(ColumnTexts(cache, 1),
              (std::vector<std::string>{"http://a.example/a.htm", "http://c.example/c.css",
                                        "http://d.example/d.js"}));
    EXPECT_EQ(memory.urlCache.deleteCalls().back(), "http://b.example/b.gif");
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 3 items");
}

TEST_F(ItemsTest, HistoryAndCookieDeletionsNameTheirRecordsExactly) {
    DisableConfirmation();
    ContextMenu(RecordKind::Cookies, {0}, item::kDeleteCookie);
    EXPECT_EQ(memory.urlCache.deleteCalls(), (std::vector<std::string>{"Cookie:joe@site.example/"}));
    EXPECT_EQ(ColumnTexts(cookies, 1), (std::vector<std::string>{"nouser.example/"}));
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cookies contain: 1 items");

    ContextMenu(RecordKind::History, {0}, item::kDeleteHistoryUrl);
    ASSERT_EQ(memory.urlHistory.urls().size(), 1u);
    EXPECT_EQ(memory.urlHistory.urls()[0].url, u"http://two.example/");
    EXPECT_EQ(ColumnTexts(history, 0), (std::vector<std::string>{"Two: news"}));
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 1 items");
    EXPECT_TRUE(memory.prompts.questions().empty());

    // Without the history service the row goes all the same.
    memory.urlHistory.SetAbsent(true);
    ContextMenu(RecordKind::History, {0}, item::kDeleteHistoryUrl);
    EXPECT_EQ(history.RowCount(), 0);
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 0 items");
}

TEST_F(ItemsTest, ARowDeletesItsRecordByTheFullNameThoughItShowsItCut) {
    DisableConfirmation();
    const std::string longName = "http://long.example/" + std::string(1100, 'q');
    memory.urlCache.Add(CacheItem(longName));
    memory.urlCache.Add(CacheItem("Cookie:joe@long.example/" + std::string(1100, 'c')));
    for (RecordKind tab : {RecordKind::Cache, RecordKind::Cookies}) {
        ShowTab(tab);
        view.HandleCommand(command::kRefresh);
    }
    ASSERT_EQ(cache.GetCellText(4, 1).size(), 1023u);

    ContextMenu(RecordKind::Cache, {4}, item::kDeleteCacheEntry);
    ContextMenu(RecordKind::Cookies, {2}, item::kDeleteSelectedItems);
    EXPECT_EQ(memory.urlCache.deleteCalls(),
              (std::vector<std::string>{longName, "Cookie:joe@long.example/" + std::string(1100, 'c')}));
    EXPECT_EQ(memory.urlCache.entries().size(), 6u);
}

TEST_F(ItemsTest, NoToADeleteQuestionChangesNothing) {
    browser.SetStatusText("before");
    ContextMenu(RecordKind::Cookies, {0}, item::kDeleteCookie);
    ContextMenu(RecordKind::Cache, {0, 1}, item::kDeleteSelectedItems);
    EXPECT_EQ(memory.prompts.questions(),
              (std::vector<std::string>{"Are you sure you want to delete Internet Explorer Cookie item?",
                                        "Are you sure you want to delete selected items?"}));
    EXPECT_EQ(cookies.RowCount(), 2);
    EXPECT_EQ(cache.RowCount(), 4);
    EXPECT_TRUE(memory.urlCache.deleteCalls().empty());
    EXPECT_EQ(cache.selection().rows(), (std::vector<int>{0, 1}));
    // The tab change wrote its text; the refused deletions wrote none.
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 4 items");
}

TEST_F(ItemsTest, SelectionDeletionKeepsRowsThatNameNoRecord) {
    DisableConfirmation();
    // A row without the name from its fill (as an index file's) and with
    // an empty URL cell names no record.
    cache.SetRowText(1, "");
    cache.SetCellText(1, 1, "  ");
    ContextMenu(RecordKind::Cache, {0, 1, 3}, item::kDeleteSelectedItems);

    EXPECT_EQ(dialogs.trackedMenus.back(), menu_id::kSelection);
    EXPECT_EQ(ColumnTexts(cache, 1), (std::vector<std::string>{"  ", "http://c.example/c.css"}));
    EXPECT_EQ(memory.urlCache.deleteCalls(),
              (std::vector<std::string>{"http://a.example/a.htm", "http://d.example/d.js"}));
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 2 items");
    EXPECT_TRUE(cache.selection().empty());

    // On the other tabs the kept rows stay selected.
    ContextMenu(RecordKind::History, {0, 1}, item::kDeleteSelectedItems);
    EXPECT_EQ(history.RowCount(), 0);
    EXPECT_TRUE(memory.urlHistory.urls().empty());
    cookies.SetRowText(0, "");
    cookies.SetCellText(0, 1, "");
    ContextMenu(RecordKind::Cookies, {0, 1}, item::kDeleteSelectedItems);
    EXPECT_EQ(ColumnTexts(cookies, 0), (std::vector<std::string>{"C:\\Cookies\\joe@site[1].txt"}));
    EXPECT_EQ(cookies.selection().rows(), (std::vector<int>{0}));
    EXPECT_EQ(memory.urlCache.deleteCalls().back(), "Cookie:nouser.example/");
}

TEST_F(ItemsTest, SelectAllSelectsEveryRowAndChangesNothingTheSecondTime) {
    struct CountingSink : ListSink {
        void Notify(const ListNotify&) override { ++count; }
        int count = 0;
    } sink;
    ShowTab(RecordKind::Cache);
    cache.Select(1, 0, 0);
    cache.SetSink(&sink);

    view.HandleCommand(command::kSelectAll);
    EXPECT_EQ(cache.selection().rows(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(history.selection().empty());

    const ListSelection before = cache.selection();
    const std::size_t changes = window.changed.size();
    const int notifications = sink.count;
    view.HandleCommand(command::kSelectAll);
    EXPECT_EQ(cache.selection(), before);
    EXPECT_EQ(window.changed.size(), changes);
    EXPECT_EQ(sink.count, notifications);
    cache.SetSink(nullptr);
}

TEST_F(ItemsTest, ItemIdsOutsideTheMenusAreLeftAlone) {
    EXPECT_FALSE(view.RunItemCommand(command::kRefresh));
    EXPECT_FALSE(view.RunItemCommand(0));
    ContextMenu(RecordKind::Cache, {0}, 12345);
    EXPECT_EQ(cache.RowCount(), 4);
    EXPECT_TRUE(browser.navigations().empty());
}

}  // namespace
}  // namespace qm::test
