#include "records/deletion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/records/test_records.h"

namespace qm {
namespace {

using test::Entry;
using test::Url;
using ::testing::ElementsAre;

std::vector<std::string> HistoryUrls(const MemoryUrlHistory& history, TextCodec& codec) {
    std::vector<std::string> urls;
    for (const StatUrl& url : history.urls()) urls.push_back(codec.ToAnsi(url.url));
    return urls;
}

TEST(ExactDeletion, RemovesEveryDuplicateOfAHistoryUrlAndItsCacheEntry) {
    MemoryPlatform memory;
    memory.urlHistory.Add(Url(u"http://a.example/"));
    memory.urlHistory.Add(Url(u"http://b.example/"));
    memory.urlHistory.Add(Url(u"http://a.example/"));
    memory.urlCache.Add(Entry("http://a.example/"));
    memory.urlCache.Add(Entry("http://b.example/"));

    EXPECT_EQ(DeleteHistoryEntries(memory, "http://a.example/", true), 1);
    EXPECT_EQ(HistoryUrls(memory.urlHistory, memory.textCodec),
              std::vector<std::string>{"http://b.example/"});
    EXPECT_EQ(memory.urlCache.Names(), std::vector<std::string>{"http://b.example/"});
}

TEST(ExactDeletion, IgnoresTrailingWhiteSpaceOfHistoryUrlsButNotCase) {
    MemoryPlatform memory;
    memory.urlHistory.Add(Url(u"http://a.example/ \t"));
    memory.urlHistory.Add(Url(u"http://A.example/"));
    memory.urlHistory.Add(Url(u" http://a.example/"));

    DeleteHistoryEntries(memory, "http://a.example/", true);
    EXPECT_EQ(HistoryUrls(memory.urlHistory, memory.textCodec),
              (std::vector<std::string>{"http://A.example/", " http://a.example/"}));
    // The cache entry is deleted under the trimmed address.
    EXPECT_EQ(memory.urlCache.deleteCalls(), std::vector<std::string>{"http://a.example/"});
}

TEST(ExactDeletion, HistoryWithoutAServiceReturnsZeroAndAFailingEnumerationOne) {
    MemoryPlatform memory;
    memory.urlHistory.SetEnumerationFails(true);
    EXPECT_EQ(DeleteHistoryEntries(memory, "http://a/", true), 1);
    memory.urlHistory.SetAbsent(true);
    EXPECT_EQ(DeleteHistoryEntries(memory, "http://a/", true), 0);
    EXPECT_EQ(DeleteHistoryEntries(memory, "http://a/", false), 0);
}

TEST(ExactDeletion, CookieAndCacheReturnWhatTheCacheAnswers) {
    MemoryPlatform memory;
    memory.urlCache.Add(Entry("Cookie:me@site/"));
    memory.urlCache.Add(Entry("http://site/page.htm"));
    EXPECT_EQ(DeleteCookieEntries(memory, "Cookie:me@site/", true), 1);
    EXPECT_EQ(DeleteCookieEntries(memory, "Cookie:me@site/", true), 0);
    EXPECT_EQ(DeleteCacheEntries(memory, "http://site/PAGE.htm", true), 0);
    EXPECT_EQ(DeleteCacheEntries(memory, "http://site/page.htm", true), 1);
    EXPECT_TRUE(memory.urlCache.entries().empty());
}

TEST(Deletion, EmptyTextDeletesNothingForEveryKindAndForm) {
    MemoryPlatform memory;
    memory.urlHistory.Add(Url(u"http://a/"));
    memory.urlCache.Add(Entry("http://a/"));
    memory.urlCache.Add(Entry("Cookie:me@a/"));
    for (bool exact : {true, false}) {
        EXPECT_EQ(DeleteHistoryEntries(memory, "", exact), 0);
        EXPECT_EQ(DeleteCookieEntries(memory, "", exact), 0);
        EXPECT_EQ(DeleteCacheEntries(memory, "", exact), 0);
    }
    DeleteHistoryUrlsContaining(memory, "");
    DeleteCookiesContaining(memory, "");
    DeleteCacheEntriesContaining(memory, "");
    EXPECT_EQ(memory.urlHistory.urls().size(), 1u);
    EXPECT_EQ(memory.urlCache.entries().size(), 2u);
    EXPECT_TRUE(memory.urlCache.deleteCalls().empty());
}

// The text is sought without the address's trailing white space.
TEST(ContainsDeletion, HistoryMatchesCaseSensitiveSubstringsAnywhere) {
    MemoryPlatform memory;
    memory.urlHistory.Add(Url(u"http://a.example/"));
    memory.urlHistory.Add(Url(u"https://b.example/"));
    memory.urlHistory.Add(Url(u"http://c.example/?next=file://x"));
    memory.urlHistory.Add(Url(u"HTTP://D.EXAMPLE/"));
    memory.urlHistory.Add(Url(u"https://e/ "));

    EXPECT_EQ(DeleteHistoryEntries(memory, "http:", false), 1);
    DeleteHistoryUrlsContaining(memory, "file://");
    DeleteHistoryUrlsContaining(memory, "/ ");
    EXPECT_EQ(HistoryUrls(memory.urlHistory, memory.textCodec),
              (std::vector<std::string>{"https://b.example/", "HTTP://D.EXAMPLE/", "https://e/ "}));
    DeleteHistoryUrlsContaining(memory, "/e/");
    EXPECT_EQ(HistoryUrls(memory.urlHistory, memory.textCodec),
              (std::vector<std::string>{"https://b.example/", "HTTP://D.EXAMPLE/"}));
}

TEST(ContainsDeletion, CookieTextMatchIgnoresCaseAndDeletesByTheStoredName) {
    MemoryPlatform memory;
    memory.urlCache.Add(Entry("Cookie:me@shop.example/"));
    memory.urlCache.Add(Entry("Cookie:me@other.test/"));
    memory.urlCache.Add(Entry("http://shop.example/index.htm"));
    memory.urlCache.Add(Entry("Cookie:me@writing.shop.example/", 0));

    EXPECT_EQ(DeleteCookieEntries(memory, "SHOP.Example", false), 1);
    EXPECT_EQ(memory.urlCache.deleteCalls(), std::vector<std::string>{"Cookie:me@shop.example/"});
    EXPECT_EQ(memory.urlCache.Names(),
              (std::vector<std::string>{"Cookie:me@other.test/", "http://shop.example/index.htm",
                                        "Cookie:me@writing.shop.example/"}));

    // Accented letters of the code page fold too.
    memory.urlCache.Add(Entry("Cookie:me@caf\xe9.example/"));
    DeleteCookiesContaining(memory, "CAF\xc9");
    EXPECT_EQ(memory.urlCache.Names().size(), 3u);
}

TEST(ContainsDeletion, CacheIgnoresCaseAndNeverTouchesCookieOrHistoryEntries) {
    MemoryPlatform memory;
    memory.urlCache.Add(Entry("http://site/Logo.PNG"));
    memory.urlCache.Add(Entry("Cookie:me@site/logo.png"));
    memory.urlCache.Add(Entry("Visited:me@http://site/logo.png"));
    memory.urlCache.Add(Entry("http://other/page.htm"));

    EXPECT_EQ(DeleteCacheEntries(memory, "logo.png", false), 1);
    EXPECT_EQ(memory.urlCache.Names(),
              (std::vector<std::string>{"Cookie:me@site/logo.png", "Visited:me@http://site/logo.png",
                                        "http://other/page.htm"}));
    DeleteCacheEntriesContaining(memory, ".");
    EXPECT_EQ(memory.urlCache.Names(),
              (std::vector<std::string>{"Cookie:me@site/logo.png", "Visited:me@http://site/logo.png"}));
}

TEST(ContainsDeletion, PredicateEngineSeesEveryEntryOnceEvenWhileDeleting) {
    MemoryPlatform memory;
    for (int i = 0; i < 5; ++i) memory.urlCache.Add(Entry("http://e/" + std::to_string(i)));
    std::vector<std::string> seen;
    DeleteCacheEntriesWhere(memory.urlCache, kAllEntriesPattern,
                            [&](const CacheEntry& entry, std::string_view) {
                                seen.push_back(entry.url.str());
                                return seen.size() % 2 == 1;
                            });
    EXPECT_THAT(seen, ElementsAre("http://e/0", "http://e/1", "http://e/2", "http://e/3", "http://e/4"));
    EXPECT_THAT(memory.urlCache.Names(), ElementsAre("http://e/1", "http://e/3"));
}

}  // namespace
}  // namespace qm
