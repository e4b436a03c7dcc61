#include "cleaning/cleanup.h"

#include <gtest/gtest.h>

#include "tests/cleaning/cleaning_test_support.h"

namespace qm {
namespace {

using test::Entry;
using test::EntryAt;
using test::TempFolder;
using test::UpdatedAt;
using test::Url;
using test::Wide;

CleanupCriteria Criteria(RecordKind kind, uint32_t code, std::string_view text = "") {
    CleanupCriteria criteria;
    criteria.kind = CleanupKindCode(kind);
    criteria.criterion = code;
    criteria.text = text;
    return criteria;
}

CleanupCriteria Between(RecordKind kind, FileTime from, FileTime to) {
    CleanupCriteria criteria = Criteria(kind, criterion::kBetweenDates);
    criteria.from = from;
    criteria.to = to;
    return criteria;
}

std::vector<std::string> HistoryUrls(MemoryPlatform& memory) {
    std::vector<std::string> urls;
    for (const StatUrl& url : memory.urlHistory.urls()) urls.push_back(memory.textCodec.ToAnsi(url.url));
    return urls;
}

// Fills the history with the addresses, each also in the cache under its own name.
void AddHistory(MemoryPlatform& memory, std::initializer_list<std::string_view> urls) {
    for (std::string_view url : urls) {
        memory.urlHistory.Add(Url(Wide(url)));
        memory.urlCache.Add(Entry(std::string(url)));
    }
}

// Cache names, for a cleanup of one kind run on a cache that holds all kinds.
std::vector<std::string> CacheAfter(const CleanupCriteria& criteria,
                                    std::initializer_list<std::string> names) {
    MemoryPlatform memory;
    for (const std::string& name : names) memory.urlCache.Add(Entry(name));
    RunCleanup(memory, criteria);
    return memory.urlCache.Names();
}

using Names = std::vector<std::string>;

// ---- History ----

TEST(HistoryCleanup, AllSparesAddressesWithoutADotAndEmptiesTheStoreSubfolders) {
    MemoryPlatform memory;
    TempFolder home;
    memory.shell.SetSpecialFolder(SpecialFolder::History, home.path());
    const std::string index = home.MakeFile("History.IE5\\index.dat");
    home.MakeFile("History.IE5\\MSHist012019041520190422\\index.dat");
    home.MakeFile("History.IE4\\MSHist01\\index.dat");  // a later store folder is not the store
    AddHistory(memory, {"http://www.example.com/", "http://intranet/", "file:///c:/notes.txt"});

    EXPECT_EQ(RunCleanup(memory, Criteria(RecordKind::History, criterion::kAll)), RecordKind::History);
    EXPECT_EQ(HistoryUrls(memory), Names{"http://intranet/"});
    EXPECT_EQ(memory.urlCache.Names(), Names{"http://intranet/"});
    EXPECT_TRUE(TempFolder::Exists(index));
    EXPECT_FALSE(TempFolder::Exists(home / "History.IE5\\MSHist012019041520190422"));
    EXPECT_TRUE(TempFolder::Exists(home / "History.IE4\\MSHist01\\index.dat"));
    EXPECT_GE(memory.urlHistory.threadInitializations(), 1);  // the service needs the thread prepared

    // Without a history service the store folders are still cleared.
    home.MakeFile("History.IE5\\MSHist02\\index.dat");
    memory.urlHistory.SetAbsent(true);
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kAll));
    EXPECT_FALSE(TempFolder::Exists(home / "History.IE5\\MSHist02"));
}

TEST(HistoryCleanup, LocalLinksAreFoundAnywhereInTheAddressWithTheirCase) {
    MemoryPlatform memory;
    AddHistory(memory,
               {"file:///c:/a.htm", "http://web.example/?next=file://c/x",
                "res://ieframe.dll/tabswelcome.htm", "mk:@MSITStore:c:\\help.chm::/a.htm", "ms-its:c:\\x.chm",
                "ms-itss://x", "wmk:x", "hcp://services/", "FILE:///C:/CAPS.HTM", "http://web.example/"});
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kLocalLinks));
    // "ms-its:" without "//" is none of the texts; capitals are not the texts either.
    EXPECT_EQ(HistoryUrls(memory), (Names{"ms-its:c:\\x.chm", "FILE:///C:/CAPS.HTM", "http://web.example/"}));
    EXPECT_EQ(memory.urlCache.Names(), HistoryUrls(memory));
}

TEST(HistoryCleanup, SelectedProtocolIsALiteralCaseSensitiveText) {
    MemoryPlatform memory;
    AddHistory(memory,
               {"http://a.example/", "https://b.example/", "gopher://c.example/", "ftp://d.example/"});
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kSelectedProtocol, "HTTP:"));
    EXPECT_EQ(HistoryUrls(memory).size(), 4u);
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kSelectedProtocol, "http:"));
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kSelectedProtocol,
                                "gopher:"));  // not offered, used as typed
    EXPECT_EQ(HistoryUrls(memory), (Names{"https://b.example/", "ftp://d.example/"}));
    // An empty text or an empty protocol deletes nothing.
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kContainingText, ""));
    EXPECT_EQ(HistoryUrls(memory).size(), 2u);
    RunCleanup(memory, Criteria(RecordKind::History, criterion::kContainingText, "d.ex"));
    EXPECT_EQ(HistoryUrls(memory), Names{"https://b.example/"});
}

TEST(HistoryCleanup, BetweenTheDatesTakesTheLastUpdatedTimeWithBothBounds) {
    MemoryPlatform memory;
    const FileTime from{1000}, to{2000};
    memory.urlHistory.Add(UpdatedAt(u"http://before/", FileTime{999}));
    memory.urlHistory.Add(UpdatedAt(u"http://from/", from));
    memory.urlHistory.Add(UpdatedAt(u"http://to/", to));
    memory.urlHistory.Add(UpdatedAt(u"http://after/", FileTime{2001}));
    StatUrl visitedInRange = UpdatedAt(u"http://visited/", FileTime{5000});
    visitedInRange.lastVisited = FileTime{1500};
    visitedInRange.expires = FileTime{1500};
    memory.urlHistory.Add(visitedInRange);
    memory.urlCache.Add(Entry("http://from/"));

    RunCleanup(memory, Between(RecordKind::History, from, to));
    EXPECT_EQ(HistoryUrls(memory), (Names{"http://before/", "http://after/", "http://visited/"}));
    EXPECT_TRUE(memory.urlCache.entries().empty());
}

// ---- Cookies ----

TEST(CookieCleanup, AllDeletesCookiesWithADotAndTheCookieFolderFilesButKeepsTheFolder) {
    MemoryPlatform memory;
    TempFolder cookies;
    memory.shell.SetSpecialFolder(SpecialFolder::Cookies, cookies.path());
    cookies.MakeFile("me@example[1].txt");
    cookies.MakeFile("Low\\me@other[1].txt");
    memory.urlCache.Add(Entry("Cookie:me@example.com/"));
    memory.urlCache.Add(Entry("Cookie:me@localhost/"));
    memory.urlCache.Add(Entry("Cookie:me@zero.example/", 0));  // never listed, never deleted
    memory.urlCache.Add(Entry("http://content.example/"));

    RunCleanup(memory, Criteria(RecordKind::Cookies, criterion::kAll));
    EXPECT_EQ(memory.urlCache.Names(),
              (Names{"Cookie:me@localhost/", "Cookie:me@zero.example/", "http://content.example/"}));
    EXPECT_FALSE(TempFolder::Exists(cookies / "me@example[1].txt"));
    EXPECT_TRUE(TempFolder::Exists(cookies / "Low\\me@other[1].txt"));
    EXPECT_TRUE(TempFolder::Exists(cookies.path()));
}

TEST(CookieCleanup, TextMatchIgnoresCaseAndTouchesOnlyCookies) {
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cookies, criterion::kContainingText, "EXAMPLE"),
                         {"Cookie:me@www.example.com/", "Cookie:me@other.org/", "http://example.com/"}),
              (Names{"Cookie:me@other.org/", "http://example.com/"}));
    // The text travels in every cookie record but counts only for its own criterion.
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cookies, criterion::kExpiredCookies, "other"),
                         {"Cookie:me@other.org/"}),
              Names{});
}

TEST(CookieCleanup, ExpiredIncludesExactlyNowAndAZeroExpiry) {
    MemoryPlatform memory;
    const FileTime now = memory.clock.NowUtc();
    memory.urlCache.Add(EntryAt("Cookie:me@past/", FileTime{}, FileTime{now.ticks - 1}));
    memory.urlCache.Add(EntryAt("Cookie:me@now/", FileTime{}, now));
    memory.urlCache.Add(EntryAt("Cookie:me@zero/", FileTime{}, FileTime{0}));
    memory.urlCache.Add(EntryAt("Cookie:me@future/", FileTime{}, FileTime{now.ticks + 1}));
    memory.urlCache.Add(EntryAt("http://expired.content/", FileTime{}, FileTime{0}));
    RunCleanup(memory, Criteria(RecordKind::Cookies, criterion::kExpiredCookies));
    EXPECT_EQ(memory.urlCache.Names(), (Names{"Cookie:me@future/", "http://expired.content/"}));
}

TEST(CookieCleanup, BetweenTheDatesTakesTheLastAccessTimeWithBothBounds) {
    MemoryPlatform memory;
    memory.urlCache.Add(EntryAt("Cookie:me@before/", FileTime{99}));
    memory.urlCache.Add(EntryAt("Cookie:me@from/", FileTime{100}));
    memory.urlCache.Add(EntryAt("Cookie:me@to/", FileTime{200}));
    memory.urlCache.Add(EntryAt("Cookie:me@after/", FileTime{201}));
    MemoryCacheEntry modifiedInRange = EntryAt("Cookie:me@modified/", FileTime{500});
    modifiedInRange.lastModifiedTime = FileTime{150};
    memory.urlCache.Add(modifiedInRange);
    memory.urlCache.Add(EntryAt("http://content/", FileTime{150}));
    RunCleanup(memory, Between(RecordKind::Cookies, FileTime{100}, FileTime{200}));
    EXPECT_EQ(memory.urlCache.Names(),
              (Names{"Cookie:me@before/", "Cookie:me@after/", "Cookie:me@modified/", "http://content/"}));
}

// ---- Cache ----

TEST(CacheCleanup, CategoriesMatchTheirEndingsExactly) {
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, criterion::kPictures),
                         {"http://s/a.jpg", "http://s/b.JPG", "http://s/c.png?v=2", "http://s/d.tmp",
                          "http://s/e.jpeg", "http://s/f.tiff", "http://s/g.tif", "http://s/h.gif",
                          "http://s/i.bmp", "http://s/j.webp"}),
              (Names{"http://s/b.JPG", "http://s/c.png?v=2", "http://s/j.webp"}));
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, criterion::kArchives),
                         {"http://s/a.zip", "http://s/b.arj", "http://s/c.7z", "http://s/d.rar",
                          "http://s/e.cab", "http://s/f.tar"}),
              (Names{"http://s/b.arj", "http://s/f.tar"}));
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, criterion::kPagesAndOtherFiles),
                         {"http://s/a.htm", "http://s/b.html", "http://s/c.pdf", "http://s/d.swf",
                          "http://s/e.txt", "http://s/f.HTM", "http://s/g.shtml", "http://s/"}),
              (Names{"http://s/f.HTM", "http://s/g.shtml", "http://s/"}));
}

TEST(CacheCleanup, StylesAndScriptsCatchAspOnlyWithAQuery) {
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, criterion::kStylesAndScripts),
                         {"http://s/page.asp?id=1", "http://s/page.asp", "http://s/app.js", "http://s/APP.JS",
                          "http://s/cgi-bin/run", "http://s/INDEX.PHP?a=1", "javascript:void(0).x",
                          "http://s/a.css", "http://s/feed.xml", "http://s/run.pl", "http://s/x.jsp",
                          "http://s/x.vbs", "http://s/x.json"}),
              (Names{"http://s/page.asp", "http://s/APP.JS", "http://s/x.json"}));
}

TEST(CacheCleanup, TextIgnoresCaseAndDatesIncludeBothBounds) {
    EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, criterion::kContainingText, "IMAGES"),
                         {"http://s/images/a.gif", "http://s/pages/b.htm"}),
              Names{"http://s/pages/b.htm"});

    MemoryPlatform memory;
    memory.urlCache.Add(EntryAt("http://s/before", FileTime{99}));
    memory.urlCache.Add(EntryAt("http://s/from", FileTime{100}));
    memory.urlCache.Add(EntryAt("http://s/to", FileTime{200}));
    memory.urlCache.Add(EntryAt("http://s/after", FileTime{201}));
    RunCleanup(memory, Between(RecordKind::Cache, FileTime{100}, FileTime{200}));
    EXPECT_EQ(memory.urlCache.Names(), (Names{"http://s/before", "http://s/after"}));
}

TEST(CacheCleanup, CookieAndVisitedEntriesSurviveEveryCacheCriterion) {
    // Each name below matches every criterion tried, but only the content
    // entry may go: a content address that holds "Visited:" counts as none.
    const std::initializer_list<std::string> names = {"Cookie:me@site.com/cgi-bin/a.jpg",
                                                      "http://site.com/cgi-bin/Visited:me@b.jpg",
                                                      "http://site.com/cgi-bin/c.jpg"};
    const Names survivors = {"Cookie:me@site.com/cgi-bin/a.jpg", "http://site.com/cgi-bin/Visited:me@b.jpg"};
    for (uint32_t code :
         {criterion::kAll, criterion::kPictures, criterion::kStylesAndScripts, criterion::kContainingText}) {
        EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, code, "site"), names), survivors) << code;
    }
    EXPECT_EQ(CacheAfter(Between(RecordKind::Cache, FileTime{0}, FileTime{UINT64_MAX}), names), survivors);
}

TEST(CacheCleanup, ANameLongerThanARecordHoldsIsMatchedAndDeletedWhole) {
    // Its dot, its ending and the text all lie past the record's 1023 characters.
    const std::string longName = "http://localhost/" + std::string(1100, 'q') + "needle.jpg";
    for (const auto& [code, text] : {std::pair<uint32_t, std::string_view>{criterion::kAll, ""},
                                     {criterion::kPictures, ""},
                                     {criterion::kContainingText, "NEEDLE"}}) {
        EXPECT_EQ(CacheAfter(Criteria(RecordKind::Cache, code, text), {longName, "http://localhost/kept"}),
                  Names{"http://localhost/kept"})
            << code;
    }
}

TEST(CacheCleanup, AllEmptiesTheCacheSubfoldersButKeepsTheStoreAndItsIndex) {
    MemoryPlatform memory;
    TempFolder cache;
    memory.shell.SetSpecialFolder(SpecialFolder::InternetCache, cache.path());
    const std::string index = cache.MakeFile("Content.IE5\\index.dat");
    cache.MakeFile("Content.IE5\\Q1W2E3R4\\logo[1].gif");
    cache.MakeFile("Content.IE5\\ZXCVBNM0\\page[1].htm");
    cache.MakeFile("Content.IE5\\ZXCVBNM0\\deeper\\kept.txt");  // one level only: this folder stays
    memory.urlCache.Add(Entry("http://s/logo.gif"));
    memory.urlCache.Add(Entry("http://intranet/"));

    RunCleanup(memory, Criteria(RecordKind::Cache, criterion::kAll));
    EXPECT_EQ(memory.urlCache.Names(), Names{"http://intranet/"});
    EXPECT_TRUE(TempFolder::Exists(index));
    EXPECT_FALSE(TempFolder::Exists(cache / "Content.IE5\\Q1W2E3R4"));
    EXPECT_FALSE(TempFolder::Exists(cache / "Content.IE5\\ZXCVBNM0\\page[1].htm"));
    EXPECT_TRUE(TempFolder::Exists(cache / "Content.IE5\\ZXCVBNM0\\deeper\\kept.txt"));
}

TEST(Cleanup, UnknownKindsAndForeignCriteriaDeleteNothing) {
    MemoryPlatform memory;
    AddHistory(memory, {"http://a.example/x.jpg"});
    memory.urlCache.Add(Entry("Cookie:me@a.example/"));
    const std::size_t before = memory.urlCache.entries().size();

    EXPECT_EQ(RunCleanup(memory, Criteria(static_cast<RecordKind>(3), criterion::kAll)), std::nullopt);
    CleanupCriteria none = Criteria(RecordKind::History, criterion::kAll);
    none.kind = 0;
    EXPECT_EQ(RunCleanup(memory, none), std::nullopt);
    // Pictures is not a History or Cookies criterion; Expired is not a Cache one.
    EXPECT_EQ(RunCleanup(memory, Criteria(RecordKind::History, criterion::kPictures)), RecordKind::History);
    RunCleanup(memory, Criteria(RecordKind::Cookies, criterion::kPictures));
    RunCleanup(memory, Criteria(RecordKind::Cache, criterion::kExpiredCookies));
    RunCleanup(memory, Criteria(RecordKind::Cache, 11));
    EXPECT_EQ(memory.urlCache.entries().size(), before);
    EXPECT_EQ(memory.urlHistory.urls().size(), 1u);
}

}  // namespace
}  // namespace qm
