#include "platform/win32/win32_url_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm {
namespace {

// ---------------------------------------------------------------------------
// Against Wine's real URL cache. Entries of earlier runs stay in the prefix:
// only names with kSite are looked at, and every test starts and ends
// without any of ours.

constexpr char kSite[] = "quillmere.test";

struct Found {
    std::string name;
    std::string localFile;
    RawCacheEntry raw;  // its texts cleared: they live only during the visit
};

std::vector<Found> Search(UrlCache& cache, std::string_view pattern) {
    std::vector<Found> found;
    cache.Enumerate(pattern, [&](const RawCacheEntry& raw) {
        const std::string name(raw.sourceUrlName.value_or(""));
        if (name.find(kSite) == std::string::npos) return;
        found.push_back({name, std::string(raw.localFileName.value_or("")), raw});
        found.back().raw.sourceUrlName.reset();
        found.back().raw.localFileName.reset();
    });
    return found;
}

std::vector<std::string> Names(const std::vector<Found>& found) {
    std::vector<std::string> names;
    for (const auto& entry : found) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

FILETIME ToFiletime(FileTime time) {
    return FILETIME{static_cast<DWORD>(time.ticks & 0xFFFFFFFFu), static_cast<DWORD>(time.ticks >> 32)};
}

class Win32UrlCacheTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveOurEntries(); }
    void TearDown() override { RemoveOurEntries(); }

    // Puts an entry into the cache as the browser does: a local file made
    // by the cache, then the commit.
    static void Commit(const std::string& name, const std::string& contents, DWORD type = NORMAL_CACHE_ENTRY,
                       FileTime expire = {}, FileTime modified = {}) {
        char path[MAX_PATH] = {};
        ASSERT_TRUE(CreateUrlCacheEntryA(name.c_str(), static_cast<DWORD>(contents.size()), "txt", path, 0))
            << name.substr(0, 80) << " error " << GetLastError();
        std::ofstream(path, std::ios::binary) << contents;
        ASSERT_TRUE(CommitUrlCacheEntryA(name.c_str(), path, ToFiletime(expire), ToFiletime(modified), type,
                                         nullptr, 0, "txt", nullptr))
            << name.substr(0, 80) << " error " << GetLastError();
    }

    void RemoveOurEntries() {
        for (const char* pattern : {"*.*", "Cookie:", "Visited:"}) {
            for (const auto& entry : Search(cache_, pattern)) cache_.DeleteEntry(entry.name);
        }
    }

    Win32UrlCache cache_;
};

TEST_F(Win32UrlCacheTest, CommittedEntryComesBackWithItsFields) {
    const std::string name = "http://quillmere.test/page.html";
    // Whole seconds: the cache keeps the expiry with two-second precision.
    const FileTime expire{*ToFileTime(SystemTime{2031, 5, 0, 6, 7, 8, 10, 0})};
    const FileTime modified{*ToFileTime(SystemTime{2020, 1, 0, 2, 3, 4, 5, 0})};
    Commit(name, "hello", NORMAL_CACHE_ENTRY, expire, modified);

    const auto found = Search(cache_, "*.*");
    ASSERT_EQ(Names(found), std::vector<std::string>{name});
    const RawCacheEntry& raw = found[0].raw;
    EXPECT_EQ(raw.sizeLow, 5u);
    EXPECT_EQ(raw.sizeHigh, 0u);
    EXPECT_EQ(raw.lastModifiedTime, modified);
    EXPECT_EQ(raw.expireTime, expire);
    EXPECT_NE(raw.lastAccessTime, FileTime{});
    EXPECT_EQ(ReadWholeFile(found[0].localFile), "hello");
}

TEST_F(Win32UrlCacheTest, EachPatternFindsItsOwnStore) {
    const std::string content = "http://quillmere.test/style.css";
    const std::string cookie = "Cookie:tester@quillmere.test/";
    const std::string visited = "Visited:tester@http://quillmere.test/";
    const std::string cookieText = "session\nabc123\nquillmere.test/\n1024\n0\n0\n0\n0\n*\n";
    Commit(content, "body{}");
    Commit(cookie, cookieText, COOKIE_CACHE_ENTRY);
    Commit(visited, "v", URLHISTORY_CACHE_ENTRY);

    // "*.*" is every entry: Windows lists content only, Wine every store, so
    // the content entry is what both must give.
    const auto all = Names(Search(cache_, "*.*"));
    EXPECT_NE(std::find(all.begin(), all.end(), content), all.end());

    // Wine knows only the platform's spelling of a store ("Cookie:"); the
    // lower-case one the core uses finds it too.
    const struct {
        std::string_view pattern;
        std::vector<std::string> names;
    } cases[] = {
        {"cookie:", {cookie}},
        {"Cookie:", {cookie}},
        {"visited:", {visited}},
        {"nosuchstore:", {}},
        {std::string_view("Cookie:\0*.*", 11), {}},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Names(Search(cache_, row.pattern)), row.names) << "pattern " << row.pattern;
    }

    const auto cookies = Search(cache_, "cookie:");
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(ReadWholeFile(cookies[0].localFile), cookieText);
    EXPECT_EQ(cookies[0].raw.sizeLow, cookieText.size());
}

TEST_F(Win32UrlCacheTest, LongNameGrowsTheBufferAndTheEntriesAfterItAreRead) {
    const std::string before = "http://quillmere.test/before";
    const std::string prefix = "http://quillmere.test/long/";
    const std::string longName = prefix + std::string(3000 - prefix.size(), 'a');
    const std::string after = "http://quillmere.test/after";
    Commit(before, "1");
    Commit(longName, "22");
    Commit(after, "333");

    // Every entry whole, whatever order the cache keeps them in.
    EXPECT_EQ(Names(Search(cache_, "*.*")), (std::vector<std::string>{after, before, longName}));
}

TEST_F(Win32UrlCacheTest, DeleteEntryRemovesExactlyTheNamedEntry) {
    const std::string shorter = "http://quillmere.test/a";
    const std::string longer = "http://quillmere.test/ab";
    Commit(shorter, "a");
    Commit(longer, "ab");

    EXPECT_FALSE(cache_.DeleteEntry("http://quillmere.test/"));
    // A NUL inside the name would make the platform delete the shorter entry.
    EXPECT_FALSE(cache_.DeleteEntry(std::string_view("http://quillmere.test/a\0b", 25)));
    EXPECT_TRUE(cache_.DeleteEntry(shorter));
    EXPECT_FALSE(cache_.DeleteEntry(shorter));

    EXPECT_EQ(Names(Search(cache_, "*.*")), std::vector<std::string>{longer});
}

// ---------------------------------------------------------------------------
// Against a scripted cache, for answers a real one seldom gives or a broken
// one would.

struct Call {
    std::optional<std::string> pattern;  // FindFirst only; nothing for the null pattern
    bool first = false;
    bool withBuffer = false;
    DWORD size = 0;
    bool zeroed = true;  // the buffer held only zeros when the call came
};

// Answers one call; the size is in and out, as the platform's.
using Answer = std::function<BOOL(const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size)>;

Answer gAnswer;
std::vector<Call> gCalls;
int gClosed = 0;
HANDLE const kFindHandle = reinterpret_cast<HANDLE>(0x5151);

BOOL Scripted(const char* pattern, bool first, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
    Call call{pattern ? std::optional<std::string>(pattern) : std::nullopt, first, buffer != nullptr, *size};
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
    call.zeroed = !buffer || std::all_of(bytes, bytes + *size, [](unsigned char b) { return b == 0; });
    gCalls.push_back(call);
    return gAnswer(call, buffer, size);
}

HANDLE WINAPI ScriptedFindFirst(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size) {
    return Scripted(pattern, true, buffer, size) ? kFindHandle : nullptr;
}
BOOL WINAPI ScriptedFindNext(HANDLE, LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size) {
    return Scripted(nullptr, false, buffer, size);
}
BOOL WINAPI ScriptedFindClose(HANDLE handle) {
    gClosed += handle == kFindHandle;
    return TRUE;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Writes an entry as the platform does: the header, then its name, with the
// needed size written back; too small a buffer fails with that size.
BOOL WriteEntry(INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size, std::string_view name, DWORD sizeLow) {
    const DWORD needed = static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + name.size() + 1);
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    char* text = reinterpret_cast<char*>(buffer + 1);
    std::memcpy(text, name.data(), name.size());
    text[name.size()] = '\0';
    buffer->dwStructSize = sizeof *buffer;
    buffer->lpszSourceUrlName = text;
    buffer->dwSizeLow = sizeLow;
    *size = needed;
    return TRUE;
}

// Serves the names in turn, then the end of the store.
Answer Serving(std::vector<std::string> names) {
    return [names, next = std::size_t{0}](const Call&, INTERNET_CACHE_ENTRY_INFOA* buffer,
                                          DWORD* size) mutable {
        if (next == names.size()) return Fail(ERROR_NO_MORE_ITEMS);
        const BOOL written = WriteEntry(buffer, size, names[next], 10);
        next += written;
        return written;
    };
}

class ScriptedUrlCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        gClosed = 0;
    }
    void TearDown() override { gAnswer = nullptr; }

    int Visits(std::string_view pattern) {
        int visits = 0;
        cache_.Enumerate(pattern, [&](const RawCacheEntry&) { ++visits; });
        return visits;
    }

    Win32UrlCache cache_{UrlCacheFunctions{&ScriptedFindFirst, &ScriptedFindNext, &ScriptedFindClose}};
};

TEST_F(ScriptedUrlCacheTest, BufferGrowsToWhatThePlatformAsksAndNextStartsFromTheSizeItLeft) {
    const std::vector<std::string> names = {std::string(300, 'a'), "short", std::string(1000, 'c')};
    gAnswer = Serving(names);

    std::vector<std::string> seen;
    cache_.Enumerate("cookie:", [&](const RawCacheEntry& raw) { seen.emplace_back(*raw.sourceUrlName); });
    EXPECT_EQ(seen, names);

    const DWORD header = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    const std::vector<std::pair<bool, DWORD>> expected = {
        {false, 0},             // first: no buffer at all
        {true, header + 301},   // first again, with what it asked for
        {true, header + 301},   // next: the size the success left
        {true, header + 6},     // ...which shrank to what "short" used
        {true, header + 1001},  // grown for the long one
        {true, header + 1001},  // the end of the store
    };
    ASSERT_EQ(gCalls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(gCalls[i].withBuffer, expected[i].first) << "call " << i;
        EXPECT_EQ(gCalls[i].size, expected[i].second) << "call " << i;
        EXPECT_TRUE(gCalls[i].zeroed) << "call " << i;
        EXPECT_EQ(gCalls[i].first, i < 2) << "call " << i;
    }
    EXPECT_EQ(gClosed, 1);
}

TEST_F(ScriptedUrlCacheTest, TextsOutsideTheBufferOrWithoutEndAreBounded) {
    static const char outside[] = "http://elsewhere/";
    constexpr DWORD kAsked = 400;
    bool answered = false;
    gAnswer = [&](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (answered) return Fail(ERROR_NO_MORE_ITEMS);
        if (call.size < kAsked) {
            *size = kAsked;
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        answered = true;
        // A source name pointing elsewhere, a local file name running to
        // the buffer's end without a NUL.
        buffer->lpszSourceUrlName = const_cast<char*>(outside);
        char* text = reinterpret_cast<char*>(buffer + 1);
        std::memset(text, 'f', kAsked - sizeof *buffer);
        buffer->lpszLocalFileName = text;
        buffer->dwSizeLow = 7;
        return TRUE;
    };

    std::vector<RawCacheEntry> seen;
    std::string localFile;
    cache_.Enumerate("*.*", [&](const RawCacheEntry& raw) {
        seen.push_back(raw);
        localFile = std::string(raw.localFileName.value_or("<none>"));
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0].sourceUrlName.has_value());
    EXPECT_EQ(localFile, std::string(kAsked - sizeof(INTERNET_CACHE_ENTRY_INFOA), 'f'));
    EXPECT_EQ(seen[0].sizeLow, 7u);
    EXPECT_FALSE(gCalls[0].pattern.has_value());  // "*.*" went as the null pattern
}

TEST_F(ScriptedUrlCacheTest, UnbelievableSizeRequestsEndTheSearch) {
    // A platform that asks for no more than it was given would be asked
    // forever; one that asks for gigabytes is not believed.
    for (DWORD asked : {DWORD{0}, kLargestCacheEntryBuffer + 1}) {
        gCalls.clear();
        gAnswer = [&](const Call&, INTERNET_CACHE_ENTRY_INFOA*, DWORD* size) {
            *size = asked;
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        };
        EXPECT_EQ(Visits("*.*"), 0) << asked;
        EXPECT_EQ(gCalls.size(), 1u) << asked;
    }

    // The same in the middle of a search: the entries read so far stay.
    gCalls.clear();
    gAnswer = [served = false](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) mutable {
        if (!served) return (served = WriteEntry(buffer, size, "one", 1)) ? TRUE : FALSE;
        *size = call.size;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    };
    EXPECT_EQ(Visits("*.*"), 1);
    EXPECT_EQ(gCalls.size(), 3u);
    EXPECT_EQ(gClosed, 1);
}

TEST_F(ScriptedUrlCacheTest, ContainerPrefixIsAskedAgainInThePlatformSpellingOnlyWhenNothingCame) {
    const Answer empty = [](const Call&, INTERNET_CACHE_ENTRY_INFOA*, DWORD*) {
        return Fail(ERROR_NO_MORE_ITEMS);
    };
    // A store that answers the first spelling is not asked in the other
    // (the first spelling twice: once for the size, once for the entry).
    const Answer answering = [](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (!call.first) return Fail(ERROR_NO_MORE_ITEMS);
        return WriteEntry(buffer, size, "Cookie:me@site/", 1);
    };
    const struct {
        std::string_view pattern;
        const Answer* answer;
        std::vector<std::string> asked;
    } cases[] = {
        {"cookie:", &empty, {"cookie:", "Cookie:"}},
        {"VISITED:", &empty, {"VISITED:", "Visited:"}},
        {"Cookie:", &empty, {"Cookie:"}},
        {"*.*", &empty, {"<null>"}},
        {"cookies:", &empty, {"cookies:"}},
        {std::string_view("cookie:\0", 8), &empty, {}},
        {"cookie:", &answering, {"cookie:", "cookie:"}},
    };
    for (const auto& row : cases) {
        gCalls.clear();
        gAnswer = *row.answer;
        Visits(row.pattern);
        std::vector<std::string> asked;
        for (const auto& call : gCalls) {
            if (call.first) asked.push_back(call.pattern.value_or("<null>"));
        }
        EXPECT_EQ(asked, row.asked) << "pattern " << row.pattern;
    }
}

}  // namespace
}  // namespace qm
