#include "band/main_view_controller.h"

#include <gtest/gtest.h>

#include "band/command_ids.h"
#include "cleaning/cleanup_criteria.h"
#include "tests/band/main_view/view_fixture.h"
#include "tests/records/index/index_file_builder.h"
#include "tests/records/index/temp_folder.h"
#include "widgets/tab_model.h"

namespace qm::test {
namespace {

class MainViewTest : public ViewTest {
protected:
    void Stock() {
        memory.urlHistory.Add(HistoryUrl("http://one.example/", "One"));
        memory.urlHistory.Add(HistoryUrl("http://two.example/", "Two"));
        memory.urlCache.Add(CacheItem("Cookie:joe@b.example/", "C:\\Cookies\\joe@b[1].txt"));
        memory.urlCache.Add(CacheItem("Cookie:joe@a.example/", "C:\\Cookies\\joe@a[1].txt"));
        memory.urlCache.Add(CacheItem("http://a.example/page.htm", "C:\\cache\\page.htm"));
        memory.urlCache.Add(CacheItem("Visited: joe@http://one.example/"));
    }
};

TEST_F(MainViewTest, CreationGivesEachListItsColumnsAndShowsHistory) {
    EXPECT_EQ(history.ColumnCount(), 5);
    EXPECT_EQ(cookies.ColumnCount(), 7);
    EXPECT_EQ(cache.ColumnCount(), 7);
    EXPECT_EQ(window.shownTabs, (std::vector<RecordKind>{RecordKind::History}));
    EXPECT_EQ(view.currentTab(), RecordKind::History);
    EXPECT_TRUE(view.settings().confirm());
}

TEST_F(MainViewTest, StartupFillsEveryListAndCountsHistoryOnly) {
    Stock();
    view.FillHistoryAtStartup();
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 2 items");
    view.FillCacheAndCookiesAtStartup();
    EXPECT_EQ(ColumnTexts(history, 0), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(ColumnTexts(cookies, 1), (std::vector<std::string>{"joe@b.example/", "joe@a.example/"}));
    EXPECT_EQ(ColumnTexts(cache, 1), (std::vector<std::string>{"http://a.example/page.htm"}));
    // The second fill writes no status text and runs with the progress window.
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 2 items");
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"redraw off", "redraw on", "progress", "progress end"}));
}

TEST_F(MainViewTest, RefreshRebuildsOnlyTheCurrentTabAndFlipsItsSortDirection) {
    Stock();
    FillAll();
    memory.urlHistory.Add(HistoryUrl("http://three.example/", "Three"));
    memory.urlCache.Add(CacheItem("Cookie:ann@c.example/"));
    memory.urlCache.Add(CacheItem("http://new.example/"));
    ShowTab(RecordKind::Cookies);
    window.events.clear();

    view.HandleCommand(command::kRefresh);
    // Rows come in the store's order; the header click acted on the empty list.
    EXPECT_EQ(ColumnTexts(cookies, 1),
              (std::vector<std::string>{"joe@b.example/", "joe@a.example/", "ann@c.example/"}));
    EXPECT_EQ(cookies.sortColumn(), 0);
    EXPECT_TRUE(cookies.ascending());
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cookies contain: 3 items");
    EXPECT_EQ(history.RowCount(), 2);
    EXPECT_EQ(cache.RowCount(), 1);
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"progress", "redraw off", "redraw on", "progress end"}));

    view.HandleCommand(command::kRefresh);
    EXPECT_FALSE(cookies.ascending());
    EXPECT_EQ(cookies.RowCount(), 3);
    EXPECT_EQ(history.RowCount(), 2);
    EXPECT_EQ(cache.RowCount(), 1);
}

TEST_F(MainViewTest, EmptyStoreCountsZeroAndNoBrowserGetsNoText) {
    view.HandleCommand(command::kRefresh);
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 0 items");

    view.SetBrowser(nullptr);
    Stock();
    view.HandleCommand(command::kRefresh);
    EXPECT_EQ(history.RowCount(), 2);
    ShowTab(RecordKind::Cache);
    EXPECT_EQ(browser.statusText(), "Internet Explorer History contains: 0 items");
}

TEST_F(MainViewTest, HistoryRefreshWithoutServiceKeepsTheStatusText) {
    browser.SetStatusText("before");
    memory.urlHistory.SetAbsent(true);
    view.HandleCommand(command::kRefresh);
    EXPECT_EQ(history.RowCount(), 0);
    EXPECT_EQ(history.ColumnCount(), 5);
    EXPECT_EQ(browser.statusText(), "before");
}

TEST_F(MainViewTest, ChoosingATabShowsItsListAndCountsIt) {
    Stock();
    FillAll();
    ShowTab(RecordKind::Cache);
    EXPECT_EQ(view.currentTab(), RecordKind::Cache);
    EXPECT_EQ(window.shownTabs.back(), RecordKind::Cache);
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 1 items");

    // The same tab again shows it again and refreshes the text.
    browser.SetStatusText("");
    ShowTab(RecordKind::Cache);
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 1 items");

    // Indexes outside the three tabs and other codes change nothing.
    const std::size_t shown = window.shownTabs.size();
    view.HandleNotify(kTcnSelChange, 3);
    view.HandleNotify(kTcnSelChanging, 0);
    view.HandleNotify(LISTNOTE_ACTIVATE);
    view.HandleNotify(-710);
    EXPECT_EQ(window.shownTabs.size(), shown);
    EXPECT_EQ(view.currentTab(), RecordKind::Cache);
}

TEST_F(MainViewTest, CommandTableHandlesTheMainMenuAndLeavesOtherIdsAlone) {
    EXPECT_FALSE(view.HandleCommand(0));
    EXPECT_FALSE(view.HandleCommand(item::kDeleteCookie));  // context menu items never come as commands
    EXPECT_FALSE(view.HandleCommand(32770));

    EXPECT_TRUE(view.HandleCommand(command::kCleanHistory));
    EXPECT_TRUE(view.HandleCommand(command::kCleanCookies));
    EXPECT_TRUE(view.HandleCommand(command::kCleanCache));
    EXPECT_TRUE(view.HandleCommand(command::kCleanIndexFiles));
    EXPECT_TRUE(view.HandleCommand(command::kFindOnTab));
    EXPECT_TRUE(view.HandleCommand(command::kAbout));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"cleanup 0", "cleanup 1", "cleanup 2", "index removal",
                                                       "find", "about"}));

    EXPECT_TRUE(view.HandleCommand(command::kWebPage));
    EXPECT_EQ(window.launched, (std::vector<std::string>{"iexplore.exe https://quillmere.example/"}));

    // The list commands ask their question while confirmation is on.
    EXPECT_TRUE(view.HandleCommand(command::kClearTypedUrls));
    EXPECT_TRUE(view.HandleCommand(command::kClearRecentDocuments));
    EXPECT_TRUE(view.HandleCommand(command::kClearRunHistory));
    EXPECT_EQ(memory.prompts.questions().size(), 3u);
    EXPECT_EQ(memory.shell.recentDocumentsCleared(), 0);  // answered No

    // A report the user cancels writes nothing.
    EXPECT_TRUE(view.HandleCommand(command::kSaveCacheList));
    EXPECT_EQ(memory.prompts.fileChoices().size(), 1u);
}

TEST_F(MainViewTest, OptionsReloadTheSettingsOnlyAfterOk) {
    auto key = OpenOrCreateSettingsKey(memory.registry, UsesLowIntegrityKey(memory.osVersion));
    key->WriteDword(setting::kDisableConfirmation, 1);
    key->WriteString(setting::kDateTemplate, "yyyy.MM.dd");
    view.HandleCommand(command::kOptions);
    EXPECT_TRUE(view.settings().confirm());

    dialogs.optionsOk = true;
    view.HandleCommand(command::kOptions);
    EXPECT_FALSE(view.settings().confirm());
    EXPECT_EQ(view.formatter().effectiveTemplate(), "yyyy.MM.dd");

    // Without confirmation the list commands go ahead at once.
    view.HandleCommand(command::kClearRecentDocuments);
    EXPECT_EQ(memory.shell.recentDocumentsCleared(), 1);
    EXPECT_TRUE(memory.prompts.questions().empty());
}

TEST_F(MainViewTest, CleanupShowsItsKindAndRebuildsThatListAlone) {
    Stock();
    memory.urlCache.Add(CacheItem("http://ads.example/banner.gif", "C:\\cache\\banner.gif"));
    FillAll();
    ASSERT_EQ(cache.RowCount(), 2);
    cache.HeaderClick(1);  // a sorted list stays sorted by the rebuilt header

    CleanupCriteria criteria = NewCleanupCriteria(memory.clock);
    criteria.kind = CleanupKindCode(RecordKind::Cache);
    criteria.criterion = criterion::kContainingText;
    criteria.text = "ads.example";
    view.PerformCleanup(criteria);

    EXPECT_EQ(view.currentTab(), RecordKind::Cache);
    EXPECT_EQ(window.shownTabs.back(), RecordKind::Cache);
    EXPECT_EQ(ColumnTexts(cache, 1), (std::vector<std::string>{"http://a.example/page.htm"}));
    EXPECT_EQ(cache.ColumnCount(), 7);
    EXPECT_EQ(browser.statusText(), "Internet Explorer Cache contains: 1 items");
    EXPECT_EQ(cookies.RowCount(), 2);
    EXPECT_EQ(history.RowCount(), 2);

    // A record of no known kind is ignored.
    criteria.kind = 7;
    const std::size_t shown = window.shownTabs.size();
    view.PerformCleanup(criteria);
    EXPECT_EQ(window.shownTabs.size(), shown);
}

TEST_F(MainViewTest, IndexFileReplacesTheListOfItsKindAndSwitchesToIt) {
    TempFolder folder;
    IndexFileBuilder file;
    file.Record({.url = "Cookie:joe@site.example/path", .visited = FileTime{132'340'000'000'000'000ull}});
    file.Record({.url = "Cookie:nouser.example/"});
    file.WriteTo(folder.Local("index.dat"));
    Stock();
    FillAll();
    browser.SetStatusText("kept");

    dialogs.chosenIndexFile = folder.Path("index.dat");
    view.HandleCommand(command::kOpenCookiesIndex);

    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"chooser 1"}));
    EXPECT_EQ(view.currentTab(), RecordKind::Cookies);
    EXPECT_EQ(ColumnTitles(cookies),
              (std::vector<std::string>{"User", "URL", "Last Visited", "Last Updated"}));
    EXPECT_EQ(ColumnTexts(cookies, 0), (std::vector<std::string>{"joe", ""}));
    EXPECT_EQ(ColumnTexts(cookies, 1), (std::vector<std::string>{"site.example/path", "nouser.example/"}));
    EXPECT_EQ(cookies.GetCell(0, 1)->format, kListCellHyperlink);
    EXPECT_EQ(cookies.GetCell(0, 0)->image, -1);
    EXPECT_EQ(cookies.GetCell(0, 2)->date, (FileTime{132'340'000'000'000'000ull}));
    EXPECT_EQ(cookies.GetCellText(1, 3), "unknown");
    EXPECT_EQ(browser.statusText(), "kept");
    EXPECT_EQ(history.RowCount(), 2);

    // No menu on an index view; Refresh brings the store back.
    cookies.Select(0, 0, 0);
    view.HandleNotify(LISTNOTE_CONTEXT);
    EXPECT_TRUE(dialogs.trackedMenus.empty());
    view.HandleCommand(command::kRefresh);
    EXPECT_EQ(cookies.ColumnCount(), 7);
    EXPECT_EQ(cookies.RowCount(), 2);
}

TEST_F(MainViewTest, IndexCommandsThatChooseNothingLeaveTheView) {
    TempFolder folder;
    folder.MakeFile("short.dat", "Client UrlCache MMF Ver 5.2");
    Stock();
    FillAll();
    const std::size_t shown = window.shownTabs.size();

    view.HandleCommand(command::kOpenIndexFile);  // the file dialog was cancelled
    dialogs.chosenIndexFile = "";                 // OK without a selected row
    view.HandleCommand(command::kSearchIndexFiles);
    dialogs.chosenIndexFile = folder.Path("short.dat");
    view.HandleCommand(command::kOpenHistoryIndex);
    dialogs.chosenIndexFile = folder.Path("missing.dat");
    view.HandleCommand(command::kOpenCacheIndex);

    EXPECT_EQ(window.shownTabs.size(), shown);
    EXPECT_EQ(history.ColumnCount(), 5);
    EXPECT_EQ(history.RowCount(), 2);
    EXPECT_EQ(memory.prompts.fileChoices().size(), 1u);
}

TEST_F(MainViewTest, OpenIndexFileLoadsTheChosenCacheFile) {
    TempFolder folder;
    IndexFileBuilder file;
    file.Record({.url = "http://cdn.example/app.js"});
    file.WriteTo(folder.Local("cache.dat"));
    memory.prompts.QueueFile(folder.Path("cache.dat"));

    view.HandleCommand(command::kOpenIndexFile);
    EXPECT_EQ(view.currentTab(), RecordKind::Cache);
    EXPECT_EQ(ColumnTitles(cache), (std::vector<std::string>{"URL", "Last Visited", "Last Updated"}));
    EXPECT_EQ(cache.GetColumn(0)->width, 500);
    EXPECT_EQ(ColumnTexts(cache, 0), (std::vector<std::string>{"http://cdn.example/app.js"}));
}

TEST_F(MainViewTest, FindOnTabSearchesTheListInView) {
    Stock();
    FillAll();
    ShowTab(RecordKind::Cookies);
    FindRequest request;
    request.text = "A.EXAMPLE";
    request.values = 1;
    request.findAll = 1;
    view.FindOnTab(request);
    EXPECT_EQ(cookies.GetCell(1, 1)->background, kUrlMatchColor);
    EXPECT_EQ(cookies.GetCell(0, 1)->background, kDefaultColor);
    EXPECT_EQ(cache.GetCell(0, 1)->background, kDefaultColor);
    EXPECT_EQ(window.changed.back(), RecordKind::Cookies);
}

}  // namespace
}  // namespace qm::test
