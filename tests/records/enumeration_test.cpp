#include <gtest/gtest.h>

#include "records/cache_entry.h"
#include "tests/records/test_records.h"

namespace qm {
namespace {

using test::Entry;
using test::Url;

TEST(CacheEnumeration, AppendsEveryFinishedEntryInThePlatformOrderWithItsTextsCut) {
    MemoryPlatform memory;
    MemoryCacheEntry full = Entry("http://example.com/a.png", 1234);
    full.localFile = "C:\\Cache\\a[1].png";
    full.lastAccessTime = FileTime{30};
    full.lastModifiedTime = FileTime{20};
    full.expireTime = FileTime{40};
    full.sizeHigh = 7;  // dropped: only the low 32 bits are kept
    full.hitRate = 9;
    memory.urlCache.Add(full);
    memory.urlCache.Add(Entry("http://writing/", 0));  // the cache is still writing it
    MemoryCacheEntry longTexts = Entry("http://x/" + std::string(2000, 'a'));
    longTexts.localFile = "C:\\" + std::string(400, 'f');
    memory.urlCache.Add(longTexts);
    memory.urlCache.Add(Entry("http://example.com/b.css", 60));

    std::vector<CacheEntry> entries(1);
    ASSERT_TRUE(EnumerateCacheEntries(memory.urlCache, kAllEntriesPattern, entries));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].url, "");
    EXPECT_EQ(entries[1].url, "http://example.com/a.png");
    EXPECT_EQ(entries[1].localFile, "C:\\Cache\\a[1].png");
    EXPECT_EQ(entries[1].lastAccessTime, FileTime{30});
    EXPECT_EQ(entries[1].lastModifiedTime, FileTime{20});
    EXPECT_EQ(entries[1].expireTime, FileTime{40});
    EXPECT_EQ(entries[1].size, 1234u);
    EXPECT_EQ(entries[1].hitRate, 9u);
    EXPECT_EQ(entries[2].url.view(), longTexts.name.substr(0, 1023));
    EXPECT_EQ(entries[2].localFile.view(), longTexts.localFile->substr(0, 259));
    EXPECT_EQ(entries[3].url, "http://example.com/b.css");
    EXPECT_TRUE(entries[3].localFile.empty());
}

TEST(CacheEnumeration, CookiePatternFindsOnlyCookiesAndARejectedPatternNothing) {
    MemoryPlatform memory;
    memory.urlCache.Add(Entry("http://content/"));
    memory.urlCache.Add(Entry("Cookie:me@site/"));
    memory.urlCache.Add(Entry("Visited:me@http://site/"));
    std::vector<CacheEntry> cookies;
    EXPECT_TRUE(EnumerateCacheEntries(memory.urlCache, kCookiePattern, cookies));
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0].url, "Cookie:me@site/");

    std::vector<CacheEntry> none;
    EXPECT_TRUE(EnumerateCacheEntries(memory.urlCache, "no such pattern", none));
    EXPECT_TRUE(none.empty());
}

TEST(CacheKinds, AreCaseSensitiveSubstringTestsAnywhereInTheName) {
    EXPECT_TRUE(IsCookieName("Cookie:me@site/"));
    EXPECT_TRUE(IsCookieName("http://x/?q=Cookie:"));
    EXPECT_FALSE(IsCookieName("cookie:me@site/"));
    EXPECT_TRUE(IsVisitedName("Visited:me@http://a/"));
    EXPECT_FALSE(IsVisitedName("visited:me@http://a/"));
    EXPECT_TRUE(IsContentName("http://a/cookie:"));
    EXPECT_FALSE(IsContentName("http://a/?Visited:"));
    EXPECT_FALSE(IsContentName("Cookie:me@site/"));
}

TEST(HistoryEnumeration, ConvertsAndCutsTextsAndKeepsDuplicatesInOrder) {
    MemoryPlatform memory;
    StatUrl first = Url(u"http://caf\u00e9.example/", u"Caf\u00e9 \u20ac");
    first.lastUpdated = FileTime{1};
    first.lastVisited = FileTime{2};
    first.expires = FileTime{3};
    memory.urlHistory.Add(first);
    memory.urlHistory.Add(Url(u"http://untitled/", std::nullopt));
    memory.urlHistory.Add(Url(u"http://caf\u00e9.example/"));
    memory.urlHistory.Add(Url(u"http://x/" + std::u16string(1500, u'a'), std::u16string(300, u'\u4e2d')));

    std::vector<HistoryRecord> records;
    ASSERT_TRUE(EnumerateHistory(memory.urlHistory, memory.textCodec, records));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].url, "http://caf\xe9.example/");
    EXPECT_EQ(records[0].title, "Caf\xe9 \x80");
    EXPECT_EQ(records[0].lastUpdated, FileTime{1});
    EXPECT_EQ(records[0].lastVisited, FileTime{2});
    EXPECT_EQ(records[0].expires, FileTime{3});
    EXPECT_TRUE(records[1].title.empty());
    EXPECT_EQ(records[2].url, "http://caf\xe9.example/");
    EXPECT_EQ(records[3].url.view(), "http://x/" + std::string(1014, 'a'));
    EXPECT_EQ(records[3].title.view(), std::string(255, '?'));
    EXPECT_EQ(memory.urlHistory.threadInitializations(), 1);
}

TEST(HistoryEnumeration, FailsOnlyWhenTheServiceIsAbsent) {
    MemoryPlatform memory;
    memory.urlHistory.Add(Url(u"http://a/"));
    std::vector<HistoryRecord> records;
    memory.urlHistory.SetEnumerationFails(true);
    EXPECT_TRUE(EnumerateHistory(memory.urlHistory, memory.textCodec, records));
    EXPECT_TRUE(records.empty());

    memory.urlHistory.SetAbsent(true);
    EXPECT_FALSE(EnumerateHistory(memory.urlHistory, memory.textCodec, records));
    EXPECT_TRUE(records.empty());
}

}  // namespace
}  // namespace qm
