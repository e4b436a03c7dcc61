#include "platform/memory/memory_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <type_traits>

namespace qm {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The Platform it lends refers to its own members; a copy would refer to
// the original's.
static_assert(!std::is_copy_constructible_v<MemoryPlatform>);
static_assert(!std::is_move_constructible_v<MemoryPlatform>);

MemoryCacheEntry Entry(std::string name, uint64_t accessed = 0) {
    MemoryCacheEntry entry;
    entry.name = std::move(name);
    entry.lastAccessTime = FileTime{accessed};
    return entry;
}

std::vector<std::string> Enumerated(MemoryUrlCache& cache, std::string_view pattern) {
    std::vector<std::string> names;
    cache.Enumerate(pattern,
                    [&](const RawCacheEntry& raw) { names.emplace_back(raw.sourceUrlName.value_or("?")); });
    return names;
}

StatUrl Url(std::u16string url) {
    StatUrl stat;
    stat.url = std::move(url);
    return stat;
}

// ---- URL cache ----

TEST(MemoryUrlCacheTest, PatternSelectsEntriesInInsertionOrder) {
    MemoryUrlCache cache;
    cache.Add(Entry("http://b.example/"));
    cache.Add(Entry("Cookie:user@a.example/"));
    cache.Add(Entry("Visited: user@http://a.example/"));
    cache.Add(Entry("cookie:user@c.example/"));
    cache.Add(Entry("http://d.example/?Cookie:1"));

    // The null pattern yields the content entries only, as on Windows.
    EXPECT_THAT(Enumerated(cache, "*.*"), ElementsAre("http://b.example/", "http://d.example/?Cookie:1"));
    EXPECT_THAT(Enumerated(cache, "cookie:"),
                ElementsAre("Cookie:user@a.example/", "cookie:user@c.example/"));
    EXPECT_THAT(Enumerated(cache, "VISITED:"), ElementsAre("Visited: user@http://a.example/"));
    EXPECT_THAT(Enumerated(cache, "*"), IsEmpty());
    EXPECT_THAT(Enumerated(cache, "cookie"), IsEmpty());
    EXPECT_THAT(Enumerated(cache, ""), IsEmpty());
}

TEST(MemoryUrlCacheTest, EntryFieldsReachTheVisitor) {
    MemoryUrlCache cache;
    MemoryCacheEntry withFile = Entry("http://a.example/logo.png", 11);
    withFile.localFile = "C:\\Cache\\logo[1].png";
    withFile.lastModifiedTime = FileTime{22};
    withFile.expireTime = FileTime{33};
    withFile.sizeLow = 4096;
    withFile.sizeHigh = 1;
    withFile.hitRate = 7;
    cache.Add(withFile);
    cache.Add(Entry("http://a.example/nofile"));

    std::vector<RawCacheEntry> seen;
    std::vector<std::optional<std::string>> files;
    cache.Enumerate("*.*", [&](const RawCacheEntry& raw) {
        seen.push_back(raw);
        files.emplace_back(raw.localFileName);
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(files[0], "C:\\Cache\\logo[1].png");
    EXPECT_EQ(seen[0].lastAccessTime, FileTime{11});
    EXPECT_EQ(seen[0].lastModifiedTime, FileTime{22});
    EXPECT_EQ(seen[0].expireTime, FileTime{33});
    EXPECT_EQ(seen[0].sizeLow, 4096u);
    EXPECT_EQ(seen[0].sizeHigh, 1u);
    EXPECT_EQ(seen[0].hitRate, 7u);
    EXPECT_FALSE(files[1]);
}

TEST(MemoryUrlCacheTest, DeleteEntryMatchesExactlyAndRecordsEveryCall) {
    MemoryUrlCache cache;
    cache.Add(Entry("http://a.example/"));
    cache.Add(Entry("HTTP://A.EXAMPLE/"));
    cache.Add(Entry("http://a.example/"));

    EXPECT_FALSE(cache.DeleteEntry("http://a.example"));
    EXPECT_FALSE(cache.DeleteEntry("Http://a.example/"));
    EXPECT_TRUE(cache.DeleteEntry("http://a.example/"));
    EXPECT_THAT(cache.Names(), ElementsAre("HTTP://A.EXAMPLE/", "http://a.example/"));
    EXPECT_THAT(cache.deleteCalls(),
                ElementsAre("http://a.example", "Http://a.example/", "http://a.example/"));

    // The earliest remaining copy goes first, also after the list was looked
    // at and another copy added.
    cache.Add(Entry("http://a.example/", 4));
    EXPECT_TRUE(cache.DeleteEntry("http://a.example/"));
    ASSERT_EQ(cache.entries().size(), 2u);
    EXPECT_EQ(cache.entries()[1].lastAccessTime, FileTime{4});
    EXPECT_TRUE(cache.DeleteEntry("http://a.example/"));
    EXPECT_FALSE(cache.DeleteEntry("http://a.example/"));
    EXPECT_THAT(cache.Names(), ElementsAre("HTTP://A.EXAMPLE/"));
}

TEST(MemoryUrlCacheTest, DeletingDuringEnumerationVisitsEveryEntryOnce) {
    MemoryUrlCache cache;
    for (const char* name : {"a", "b", "c", "d"}) cache.Add(Entry(name));
    std::vector<std::string> visited;
    cache.Enumerate("*.*", [&](const RawCacheEntry& raw) {
        const std::string name(*raw.sourceUrlName);
        EXPECT_TRUE(cache.DeleteEntry(name));
        visited.push_back(std::string(*raw.sourceUrlName));  // still readable after the delete
    });
    EXPECT_THAT(visited, ElementsAre("a", "b", "c", "d"));
    EXPECT_THAT(cache.Names(), IsEmpty());
}

// ---- URL history ----

TEST(MemoryUrlHistoryTest, AbsentServiceDoesNotOpen) {
    MemoryUrlHistory history;
    history.SetAbsent(true);
    EXPECT_EQ(history.Open(true), nullptr);
    EXPECT_EQ(history.threadInitializations(), 0);
    history.SetAbsent(false);
    EXPECT_NE(history.Open(false), nullptr);
    EXPECT_NE(history.Open(true), nullptr);
    EXPECT_EQ(history.threadInitializations(), 1);
}

TEST(MemoryUrlHistoryTest, EnumerationFollowsOrderAndStopsWhenAsked) {
    MemoryUrlHistory history;
    StatUrl titled = Url(u"http://a.example/");
    titled.title = u"A";
    titled.lastVisited = FileTime{5};
    history.Add(titled);
    history.Add(Url(u"http://b.example/"));
    history.Add(Url(u"http://c.example/"));
    auto session = history.Open(false);
    ASSERT_TRUE(session);

    std::vector<StatUrl> seen;
    EXPECT_TRUE(session->Enumerate([&](const StatUrl& url) {
        seen.push_back(url);
        return seen.size() < 2;
    }));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, u"A");
    EXPECT_EQ(seen[0].lastVisited, FileTime{5});
    EXPECT_FALSE(seen[1].title);
    EXPECT_EQ(seen[1].url, u"http://b.example/");

    history.SetEnumerationFails(true);
    int calls = 0;
    EXPECT_FALSE(session->Enumerate([&](const StatUrl&) { return ++calls > 0; }));
    EXPECT_EQ(calls, 0);
}

TEST(MemoryUrlHistoryTest, DeleteRemovesOneStoredUrlPerCall) {
    MemoryUrlHistory history;
    history.Add(Url(u"http://a.example/"));
    history.Add(Url(u"http://b.example/"));
    history.Add(Url(u"http://a.example/"));
    auto session = history.Open(false);
    ASSERT_TRUE(session);

    EXPECT_EQ(session->DeleteUrl(u"HTTP://A.EXAMPLE/"), kE_FAIL);
    EXPECT_EQ(session->DeleteUrl(u"http://a.example/"), kS_OK);
    ASSERT_EQ(history.urls().size(), 2u);
    EXPECT_EQ(history.urls()[0].url, u"http://b.example/");
    EXPECT_EQ(session->DeleteUrl(u"http://a.example/"), kS_OK);
    EXPECT_EQ(session->DeleteUrl(u"http://a.example/"), kE_FAIL);
    EXPECT_EQ(history.urls().size(), 1u);
}

TEST(MemoryUrlHistoryTest, DeletingDuringEnumerationIsSafe) {
    MemoryUrlHistory history;
    for (const char16_t* url : {u"x", u"y", u"x", u"z"}) history.Add(Url(url));
    auto session = history.Open(false);
    ASSERT_TRUE(session);
    std::u16string visited;
    EXPECT_TRUE(session->Enumerate([&](const StatUrl& url) {
        if (url.url == u"x") {
            EXPECT_EQ(session->DeleteUrl(url.url), kS_OK);
        }
        visited += url.url;
        return true;
    }));
    EXPECT_EQ(visited, u"xyxz");
    ASSERT_EQ(history.urls().size(), 2u);
    EXPECT_EQ(history.urls()[0].url, u"y");
    EXPECT_EQ(history.urls()[1].url, u"z");
}

// ---- Shell ----

TEST(MemoryShellTest, ExpandsKnownVariablesWithoutCaseAndLeavesTheRest) {
    MemoryShell shell;
    shell.SetEnvironment("UserProfile", "C:\\Users\\Ann");
    shell.SetEnvironment("TEMP", "C:\\Temp");
    EXPECT_EQ(shell.ExpandVariables("%userprofile%\\Favorites"), "C:\\Users\\Ann\\Favorites");
    EXPECT_EQ(shell.ExpandVariables("%TEMP%%temp%"), "C:\\TempC:\\Temp");
    EXPECT_EQ(shell.ExpandVariables("%NOPE%\\x"), "%NOPE%\\x");
    EXPECT_EQ(shell.ExpandVariables("%NOPE%TEMP%"), "%NOPEC:\\Temp");
    EXPECT_EQ(shell.ExpandVariables("100% sure"), "100% sure");
    EXPECT_EQ(shell.ExpandVariables("%%"), "%%");
    EXPECT_EQ(shell.ExpandVariables(""), "");
}

TEST(InternetShortcutTextTest, HoldsTheAddressTheIconOnlyWhenGivenAndTheDescription) {
    EXPECT_EQ(InternetShortcutText({"http://a.example/", "", "A"}),
              "[InternetShortcut]\nURL=http://a.example/\nDescription=A\n");
    EXPECT_EQ(InternetShortcutText({"http://a.example/", "C:\\a.ico", "A"}),
              "[InternetShortcut]\nURL=http://a.example/\nIconFile=C:\\a.ico\nIconIndex=0\nDescription=A\n");
    // A line break inside a value cannot add a line of its own.
    EXPECT_EQ(InternetShortcutText({"http://a/\r\nIconFile=evil.ico", "", "two\nlines"}),
              "[InternetShortcut]\nURL=http://a/  IconFile=evil.ico\nDescription=two lines\n");
}

// ---- Clock ----

TEST(MemoryClockTest, SystemTimesFollowTheSetMoment) {
    MemoryClock clock;
    clock.SetNow(FileTime{134'171'424'000'000'000ull + 36'000'000'000ull});  // 2026-03-05 01:00 UTC
    const SystemTime utc = clock.NowUtcSystemTime();
    EXPECT_EQ(utc.year, 2026);
    EXPECT_EQ(utc.day, 5);
    EXPECT_EQ(utc.hour, 1);
    EXPECT_EQ(utc.dayOfWeek, 4);

    clock.SetLocalOffsetMinutes(-90);  // back over midnight, to Wednesday
    SystemTime local = clock.LocalNow();
    EXPECT_EQ(local.day, 4);
    EXPECT_EQ(local.hour, 23);
    EXPECT_EQ(local.minute, 30);
    EXPECT_EQ(local.dayOfWeek, 3);

    clock.SetLocalOffsetMinutes(60);
    EXPECT_EQ(clock.LocalNow().hour, 2);
    EXPECT_EQ(clock.NowUtcSystemTime(), utc);  // the offset leaves UTC alone
}

TEST(MemoryClockTest, LocalTimeNearTheEdgesStaysInRange) {
    MemoryClock clock;
    clock.SetNow(FileTime{0});
    clock.SetLocalOffsetMinutes(-60);
    EXPECT_EQ(clock.LocalNow().year, 1601);
    clock.SetNow(FileTime{UINT64_MAX});  // cannot be shown at all
    clock.SetLocalOffsetMinutes(0);
    EXPECT_EQ(clock.NowUtcSystemTime(), SystemTime{});
    EXPECT_EQ(clock.LocalNow(), SystemTime{});
}

TEST(MemoryClockTest, AdvanceMovesTickAndTimeTogether) {
    MemoryClock clock;
    clock.SetNow(FileTime{1'000'000});
    clock.SetTick(UINT32_MAX - 5);
    clock.Advance(10);
    EXPECT_EQ(clock.TickMs(), 4u);  // wrapped
    EXPECT_EQ(clock.NowUtc(), FileTime{1'100'000});
}

// ---- Text codec ----

TEST(MemoryTextCodecTest, Windows1252RoundTripsEveryByte) {
    MemoryTextCodec codec;
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    const std::u16string wide = codec.FromAnsi(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0x41], u'A');
    EXPECT_EQ(wide[0x80], u'\u20AC');
    EXPECT_EQ(wide[0x8A], u'\u0160');
    EXPECT_EQ(wide[0x81], u'\u0081');  // undefined in the code page
    EXPECT_EQ(wide[0x9F], u'\u0178');
    EXPECT_EQ(wide[0xE9], u'\u00E9');
    EXPECT_EQ(codec.ToAnsi(wide), all);
}

TEST(MemoryTextCodecTest, UnmappedCharactersBecomeQuestionMarks) {
    MemoryTextCodec codec;
    EXPECT_EQ(codec.ToAnsi(u"caf\u00E9 \u2014 \u20AC5"), std::string("caf\xE9 \x97 \x80") + "5");
    EXPECT_EQ(codec.ToAnsi(u"\u0100\u4E2D\u0080"), "???");
    // A character beyond the basic plane is one substitute; lone halves are
    // one each.
    EXPECT_EQ(codec.ToAnsi(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(codec.ToAnsi(std::u16string{u'\xD83D', u'x', u'\xDE00'}), "?x?");
    EXPECT_EQ(codec.ToAnsi(std::u16string(1, u'\xD83D')), "?");
    EXPECT_EQ(codec.ToAnsi(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(MemoryTextCodecTest, LowerCaseFollowsTheCodePagesLetters) {
    MemoryTextCodec codec;
    EXPECT_EQ(codec.LowerAnsi("HTTP://Example.COM/Path_@[]"), "http://example.com/path_@[]");
    EXPECT_EQ(codec.LowerAnsi("\xC0\xC9\xD6\xDE"), "\xE0\xE9\xF6\xFE");
    EXPECT_EQ(codec.LowerAnsi("\xD7\xDF\xBF"), "\xD7\xDF\xBF");  // the multiplication sign, sharp s
    EXPECT_EQ(codec.LowerAnsi("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    EXPECT_EQ(codec.LowerAnsi("\x9A\xE0\xFF"), "\x9A\xE0\xFF");
    EXPECT_EQ(codec.LowerAnsi(std::string("A\0B", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace qm
