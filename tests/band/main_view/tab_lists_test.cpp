#include "records/tab_lists.h"

#include <gtest/gtest.h>

#include "tests/band/main_view/view_fixture.h"

namespace qm::test {
namespace {

constexpr FileTime kMay2020{132'340'000'000'000'000ull};  // 2020-05-15

class TabListsTest : public ::testing::Test {
protected:
    MemoryPlatform memory;
    ListModel list{memory.clock};
    const DateFormatter dates{"dd.MM.yyyy"};
};

TEST_F(TabListsTest, HistoryListShowsTitlesLinksAndDatesWithTheirKeys) {
    StatUrl dated = HistoryUrl("http://dated.example/", "Dated");
    dated.lastVisited = kMay2020;
    memory.urlHistory.Add(dated);
    memory.urlHistory.Add(HistoryUrl("http://untitled.example/", ""));
    memory.urlHistory.Add(HistoryUrl("http://no-title.example/", std::nullopt));

    AddTabListColumns(list, RecordKind::History);
    ASSERT_TRUE(FillHistoryList(list, memory, dates));

    EXPECT_EQ(ColumnTitles(list),
              (std::vector<std::string>{"Title", "URL", "Last Visited", "Last Updated", "Expires"}));
    const std::vector<int> widths = {250, 330, 100, 100, 100};
    const std::vector<int> formats = {0, 0, 4, 4, 4};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list.GetColumn(column)->width, widths[static_cast<std::size_t>(column)]);
        EXPECT_EQ(list.GetColumn(column)->format, formats[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(ColumnTexts(list, 0), (std::vector<std::string>{"Dated", "Untitled", "Untitled"}));
    EXPECT_EQ(list.GetCellText(1, 1), "http://untitled.example/");
    EXPECT_EQ(list.GetCell(0, 1)->format, kListCellHyperlink);
    EXPECT_EQ(list.GetCell(0, 0)->image, row_image::kHistory);
    EXPECT_EQ(list.GetCellText(0, 2), "15.05.2020");
    EXPECT_EQ(list.GetCell(0, 2)->date, kMay2020);
    // An unset time shows "unknown" and keeps its value as the key.
    EXPECT_EQ(list.GetCellText(0, 3), "unknown");
    EXPECT_EQ(list.GetCell(0, 3)->date, FileTime{});
}

TEST_F(TabListsTest, HistoryFillWithoutServiceAddsNothingAndSaysSo) {
    memory.urlHistory.Add(HistoryUrl("http://a.example/"));
    memory.urlHistory.SetAbsent(true);
    AddTabListColumns(list, RecordKind::History);
    EXPECT_FALSE(FillHistoryList(list, memory, dates));
    EXPECT_EQ(list.RowCount(), 0);
}

TEST_F(TabListsTest, CookieListDropsThePrefixAndShowsOtherNamesWhole) {
    memory.urlCache.Add(CacheItem("Cookie:joe@example.com/", "C:\\Cookies\\joe@example[1].txt"));
    // Found by the store's pattern, which ignores case, but without the prefix as the list spells it.
    memory.urlCache.Add(CacheItem("cookie:ann@other.example/", "C:\\Cookies\\ann@other[1].txt"));

    AddTabListColumns(list, RecordKind::Cookies);
    FillCookieList(list, memory, dates);

    EXPECT_EQ(ColumnTitles(list), (std::vector<std::string>{"File", "URL", "Size", "Hits", "Last Visited",
                                                            "Last Updated", "Expires"}));
    EXPECT_EQ(list.GetColumn(2)->format, kSizeColumnFormat);
    EXPECT_EQ(list.GetColumn(0)->width, 300);
    EXPECT_EQ(list.GetColumn(1)->width, 250);
    EXPECT_EQ(ColumnTexts(list, 1),
              (std::vector<std::string>{"joe@example.com/", "cookie:ann@other.example/"}));
    EXPECT_EQ(list.GetCellText(0, 0), "C:\\Cookies\\joe@example[1].txt");
    EXPECT_EQ(list.GetCell(0, 0)->image, row_image::kCookie);
    EXPECT_EQ(list.GetCell(1, 1)->format, kListCellHyperlink);
}

TEST_F(TabListsTest, CacheListNeverHoldsVisitedOrCookieEntries) {
    memory.urlCache.Add(CacheItem("Visited: joe@http://page.example/"));
    memory.urlCache.Add(CacheItem("Cookie:joe@example.com/"));
    memory.urlCache.Add(CacheItem("http://content.example/a.css", "C:\\cache\\a.css"));
    memory.urlCache.Add(CacheItem("http://x.example/?q=Cookie:1"));

    AddTabListColumns(list, RecordKind::Cache);
    FillCacheList(list, memory, dates);
    EXPECT_EQ(ColumnTexts(list, 1), (std::vector<std::string>{"http://content.example/a.css"}));

    // At start-up too, on a cache whose null pattern yields content only
    // (as on Windows): the cookies come from their own store.
    ListModel cookies(memory.clock);
    ListModel cache(memory.clock);
    AddTabListColumns(cookies, RecordKind::Cookies);
    AddTabListColumns(cache, RecordKind::Cache);
    FillCacheAndCookieLists(cookies, cache, memory, dates);
    EXPECT_EQ(ColumnTexts(cookies, 1), (std::vector<std::string>{"joe@example.com/"}));
    EXPECT_EQ(ColumnTexts(cache, 1), (std::vector<std::string>{"http://content.example/a.css"}));
}

TEST_F(TabListsTest, CacheIconIsTheFirstTestThatMatches) {
    struct Case {
        std::string_view file;
        std::string_view url;
        int image;
    };
    const Case cases[] = {
        {"C:\\cache\\foo.json", "http://a/", row_image::kScript},
        {"C:\\cache\\a.gif.htm", "http://a/", row_image::kPage},
        {"C:\\x.aux\\file.bin", "http://a/", row_image::kMedia},
        {"C:\\cache\\page.html", "HTTPS://a/", row_image::kPage},
        {"C:\\cache\\photo.png", "HTTPS://a/", row_image::kSecure},
        {"C:\\cache\\PHOTO.JPEG", "http://a/", row_image::kPicture},
        {"C:\\cache\\site.css", "http://a/", row_image::kStyle},
        {"C:\\cache\\tune.mid", "http://a/", row_image::kMedia},
        {"C:\\cache\\data.bin", "http://a/", row_image::kOther},
        {"", "", row_image::kOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CacheRowImage(c.file, c.url, memory.textCodec), c.image) << c.file << " " << c.url;

    memory.urlCache.Add(CacheItem("http://a/foo.json", "C:\\cache\\foo.json"));
    AddTabListColumns(list, RecordKind::Cache);
    FillCacheList(list, memory, dates);
    EXPECT_EQ(list.GetCell(0, 0)->image, row_image::kScript);
}

TEST_F(TabListsTest, SizesAndHitsFrom2GiBUpShowAsUnsignedNumbers) {
    MemoryCacheEntry big = CacheItem("http://big.example/disk.iso", "C:\\cache\\disk.iso", 2147483648u);
    big.hitRate = 4294967295u;
    memory.urlCache.Add(big);
    AddTabListColumns(list, RecordKind::Cache);
    FillCacheList(list, memory, dates);
    ASSERT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.GetCellText(0, 2), "2147483648");
    EXPECT_EQ(list.GetCellText(0, 3), "4294967295");
}

TEST(TabListTextsTest, StatusTextsNameEachKindAndCount) {
    EXPECT_EQ(StatusText(RecordKind::History, 0), "Internet Explorer History contains: 0 items");
    EXPECT_EQ(StatusText(RecordKind::Cookies, 12), "Internet Explorer Cookies contain: 12 items");
    EXPECT_EQ(StatusText(RecordKind::Cache, 4000000000u),
              "Internet Explorer Cache contains: 4000000000 items");
    EXPECT_EQ(CookieUrlText("Cookie:a@b/"), "a@b/");
    EXPECT_EQ(CookieUrlText("x Cookie:a@b/ Cookie:c"), "a@b/ Cookie:c");
    EXPECT_EQ(CookieUrlText("a@b/"), "a@b/");
}

}  // namespace
}  // namespace qm::test
