#include "platform/win32/win32_url_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/cache_entry.h"

namespace qm {
namespace {

// ---------------------------------------------------------------------------
// Against Wine's real URL cache.

constexpr char kSite[] = "quillmere.test";

struct Found {
    std::string name;
    std::optional<std::string> localFile;
    RawCacheEntry raw;
};

std::vector<Found> Search(UrlCache& cache, std::string_view pattern) {
    std::vector<Found> found;
    cache.Enumerate(pattern, [&](const RawCacheEntry& raw) {
        Found entry{std::string(raw.sourceUrlName.value_or("")), std::nullopt, raw};
        if (raw.localFileName) entry.localFile = std::string(*raw.localFileName);
        entry.raw.sourceUrlName.reset();  // the texts live only during the callback
        entry.raw.localFileName.reset();
        found.push_back(std::move(entry));
    });
    return found;
}

std::vector<std::string> OurNames(const std::vector<Found>& found) {
    std::vector<std::string> names;
    for (const auto& entry : found) {
        if (entry.name.find(kSite) != std::string::npos) names.push_back(entry.name);
    }
    return names;
}

const Found* Named(const std::vector<Found>& found, std::string_view name) {
    auto it =
        std::find_if(found.begin(), found.end(), [&](const Found& entry) { return entry.name == name; });
    return it == found.end() ? nullptr : &*it;
}

FILETIME ToFiletime(FileTime time) {
    return FILETIME{static_cast<DWORD>(time.ticks & 0xFFFFFFFFu), static_cast<DWORD>(time.ticks >> 32)};
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
        {
            std::ofstream out(path, std::ios::binary);
            out << contents;
        }
        ASSERT_TRUE(CommitUrlCacheEntryA(name.c_str(), path, ToFiletime(expire), ToFiletime(modified), type,
                                         nullptr, 0, "txt", nullptr))
            << name.substr(0, 80) << " error " << GetLastError();
    }

    // Entries of earlier runs stay in the prefix; every test starts and ends
    // without any of ours.
    void RemoveOurEntries() {
        for (const char* pattern : {"*.*", "Cookie:", "Visited:"}) {
            for (const auto& name : OurNames(Search(cache_, pattern))) cache_.DeleteEntry(name);
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
    const Found* entry = Named(found, name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->raw.sizeLow, 5u);
    EXPECT_EQ(entry->raw.sizeHigh, 0u);
    EXPECT_EQ(entry->raw.lastModifiedTime, modified);
    EXPECT_EQ(entry->raw.expireTime, expire);
    EXPECT_NE(entry->raw.lastAccessTime, FileTime{});
    ASSERT_TRUE(entry->localFile.has_value());
    EXPECT_EQ(ReadWholeFile(*entry->localFile), "hello");
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
    const auto all = OurNames(Search(cache_, "*.*"));
    EXPECT_NE(std::find(all.begin(), all.end(), content), all.end());

    // The lower-case spelling the core uses finds the cookie store on Wine
    // too, which itself knows only "Cookie:".
    const auto cookies = Search(cache_, "cookie:");
    EXPECT_EQ(OurNames(cookies), (std::vector<std::string>{cookie}));
    const Found* found = Named(cookies, cookie);
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(found->localFile.has_value());
    EXPECT_EQ(ReadWholeFile(*found->localFile), cookieText);
    EXPECT_EQ(found->raw.sizeLow, cookieText.size());

    EXPECT_EQ(OurNames(Search(cache_, "Cookie:")), (std::vector<std::string>{cookie}));
    EXPECT_EQ(OurNames(Search(cache_, "visited:")), (std::vector<std::string>{visited}));

    // The records the core makes from the cookie store.
    std::vector<CacheEntry> entries;
    EXPECT_TRUE(EnumerateCacheEntries(cache_, kCookiePattern, entries));
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(), [&](const CacheEntry& e) { return e.url == cookie; }),
        1);
}

TEST_F(Win32UrlCacheTest, PatternThePlatformDoesNotKnowFindsNothing) {
    Commit("http://quillmere.test/x", "x");
    EXPECT_TRUE(Search(cache_, "nosuchstore:").empty());
    EXPECT_TRUE(Search(cache_, std::string_view("Cookie:\0*.*", 11)).empty());

    std::vector<CacheEntry> entries;
    EXPECT_TRUE(EnumerateCacheEntries(cache_, "nosuchstore:", entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(Win32UrlCacheTest, LongNameGrowsTheBufferAndTheRecordCutsIt) {
    const std::string before = "http://quillmere.test/before";
    const std::string prefix = "http://quillmere.test/long/";
    const std::string longName = prefix + std::string(3000 - prefix.size(), 'a');
    const std::string after = "http://quillmere.test/after";
    Commit(before, "1");
    Commit(longName, "22");
    Commit(after, "333");

    // Every entry whole, whatever order the cache keeps them in: the buffer
    // grew for the long one and the short ones after it were read too.
    auto names = OurNames(Search(cache_, "*.*"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{after, before, longName}));

    std::vector<CacheEntry> entries;
    EnumerateCacheEntries(cache_, kAllEntriesPattern, entries);
    const auto cut = std::find_if(entries.begin(), entries.end(),
                                  [&](const CacheEntry& e) { return e.url.view().starts_with(prefix); });
    ASSERT_NE(cut, entries.end());
    EXPECT_EQ(cut->url.view(), std::string_view(longName).substr(0, 1023));
    EXPECT_EQ(cut->size, 2u);

    // The cut name names no entry: deleting by it fails quietly.
    EXPECT_FALSE(cache_.DeleteEntry(cut->url.view()));
    EXPECT_NE(Named(Search(cache_, "*.*"), longName), nullptr);
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

    EXPECT_EQ(OurNames(Search(cache_, "*.*")), (std::vector<std::string>{longer}));
}

TEST_F(Win32UrlCacheTest, EntryWithoutDataIsReportedButNotListed) {
    const std::string empty = "http://quillmere.test/empty";
    const std::string full = "http://quillmere.test/full";
    Commit(empty, "");
    Commit(full, "data");

    const auto found = Search(cache_, "*.*");
    const Found* raw = Named(found, empty);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->raw.sizeLow, 0u);

    std::vector<CacheEntry> entries;
    EnumerateCacheEntries(cache_, kAllEntriesPattern, entries);
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(), [&](const CacheEntry& e) { return e.url == empty; }),
        0);
    EXPECT_EQ(
        std::count_if(entries.begin(), entries.end(), [&](const CacheEntry& e) { return e.url == full; }), 1);
}

// ---------------------------------------------------------------------------
// Against a scripted cache, for answers a real one seldom gives.

struct Call {
    std::optional<std::string> pattern;  // FindFirst only; nothing for the null pattern
    bool first = false;
    bool withBuffer = false;
    DWORD size = 0;
    bool zeroed = true;  // the buffer held only zeros when the call came
};

struct Script {
    // Answers one call; the size is in and out, as the platform's.
    std::function<BOOL(const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size)> answer;
    std::vector<Call> calls;
    std::vector<HANDLE> closed;
    std::vector<std::string> deleted;
};

Script* gScript = nullptr;
HANDLE const kFindHandle = reinterpret_cast<HANDLE>(0x5151);

Call Record(const char* pattern, bool first, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD size) {
    Call call;
    if (pattern != nullptr) call.pattern = pattern;
    call.first = first;
    call.withBuffer = buffer != nullptr;
    call.size = size;
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer);
    call.zeroed =
        buffer == nullptr || std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
    return call;
}

HANDLE WINAPI ScriptedFindFirst(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size) {
    gScript->calls.push_back(Record(pattern, true, buffer, *size));
    return gScript->answer(gScript->calls.back(), buffer, size) ? kFindHandle : nullptr;
}

BOOL WINAPI ScriptedFindNext(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA buffer, LPDWORD size) {
    EXPECT_EQ(handle, kFindHandle);
    gScript->calls.push_back(Record(nullptr, false, buffer, *size));
    return gScript->answer(gScript->calls.back(), buffer, size);
}

BOOL WINAPI ScriptedFindClose(HANDLE handle) {
    gScript->closed.push_back(handle);
    return TRUE;
}

BOOL WINAPI ScriptedDelete(LPCSTR name) {
    gScript->deleted.emplace_back(name);
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

class ScriptedUrlCacheTest : public ::testing::Test {
protected:
    void SetUp() override { gScript = &script_; }
    void TearDown() override { gScript = nullptr; }

    Win32UrlCache cache_{
        UrlCacheFunctions{&ScriptedFindFirst, &ScriptedFindNext, &ScriptedFindClose, &ScriptedDelete}};
    Script script_;
};

TEST_F(ScriptedUrlCacheTest, BufferGrowsToWhatThePlatformAsksAndNextStartsFromTheSizeItLeft) {
    const std::vector<std::string> names = {std::string(300, 'a'), "short", std::string(1000, 'c')};
    std::size_t next = 0;
    script_.answer = [&](const Call&, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (next == names.size()) return Fail(ERROR_NO_MORE_ITEMS);
        const BOOL written = WriteEntry(buffer, size, names[next], 10);
        if (written) ++next;
        return written;
    };

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
    ASSERT_EQ(script_.calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(script_.calls[i].withBuffer, expected[i].first) << "call " << i;
        EXPECT_EQ(script_.calls[i].size, expected[i].second) << "call " << i;
        EXPECT_TRUE(script_.calls[i].zeroed) << "call " << i;
        EXPECT_EQ(script_.calls[i].first, i < 2) << "call " << i;
    }
    EXPECT_EQ(script_.closed, (std::vector<HANDLE>{kFindHandle}));
}

TEST_F(ScriptedUrlCacheTest, TextsOutsideTheBufferOrWithoutEndAreBounded) {
    static const char outside[] = "http://elsewhere/";
    bool answered = false;
    script_.answer = [&](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (answered) return Fail(ERROR_NO_MORE_ITEMS);
        if (call.size < 400) {
            *size = 400;
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        }
        answered = true;
        // A source name pointing elsewhere, a local file name running to
        // the buffer's end without a NUL.
        buffer->lpszSourceUrlName = const_cast<char*>(outside);
        char* text = reinterpret_cast<char*>(buffer + 1);
        const std::size_t room = 400 - sizeof *buffer;
        std::memset(text, 'f', room);
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
    EXPECT_EQ(localFile, std::string(400 - sizeof(INTERNET_CACHE_ENTRY_INFOA), 'f'));
    EXPECT_EQ(seen[0].sizeLow, 7u);
    EXPECT_FALSE(script_.calls[0].pattern.has_value());  // "*.*" went as the null pattern
}

TEST_F(ScriptedUrlCacheTest, UnbelievableSizeRequestsEndTheSearch) {
    // A platform that asks for no more than it was given would be asked
    // forever; one that asks for gigabytes is not believed.
    for (DWORD asked : {DWORD{0}, kLargestCacheEntryBuffer + 1}) {
        script_.calls.clear();
        script_.answer = [&](const Call&, INTERNET_CACHE_ENTRY_INFOA*, DWORD* size) {
            *size = asked;
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        };
        int visits = 0;
        cache_.Enumerate("*.*", [&](const RawCacheEntry&) { ++visits; });
        EXPECT_EQ(visits, 0);
        EXPECT_EQ(script_.calls.size(), 1u) << asked;
    }

    // The same in the middle of a search: the entries read so far stay.
    int served = 0;
    script_.calls.clear();
    script_.answer = [&](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (served == 0) {
            const BOOL written = WriteEntry(buffer, size, "one", 1);
            served += written;
            return written;
        }
        *size = call.size;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    };
    int visits = 0;
    cache_.Enumerate("*.*", [&](const RawCacheEntry&) { ++visits; });
    EXPECT_EQ(visits, 1);
    EXPECT_EQ(script_.calls.size(), 3u);
    EXPECT_EQ(script_.closed.size(), 1u);
}

TEST_F(ScriptedUrlCacheTest, ContainerPrefixIsAskedAgainInThePlatformSpelling) {
    script_.answer = [&](const Call&, INTERNET_CACHE_ENTRY_INFOA*, DWORD*) {
        return Fail(ERROR_NO_MORE_ITEMS);
    };
    auto patterns = [&](std::string_view pattern) {
        script_.calls.clear();
        cache_.Enumerate(pattern, [](const RawCacheEntry&) {});
        std::vector<std::string> asked;
        for (const auto& call : script_.calls) {
            if (call.first) asked.push_back(call.pattern.value_or("<null>"));
        }
        return asked;
    };
    EXPECT_EQ(patterns("cookie:"), (std::vector<std::string>{"cookie:", "Cookie:"}));
    EXPECT_EQ(patterns("VISITED:"), (std::vector<std::string>{"VISITED:", "Visited:"}));
    EXPECT_EQ(patterns("Cookie:"), (std::vector<std::string>{"Cookie:"}));
    EXPECT_EQ(patterns("*.*"), (std::vector<std::string>{"<null>"}));
    EXPECT_EQ(patterns("cookies:"), (std::vector<std::string>{"cookies:"}));
    EXPECT_TRUE(patterns(std::string_view("cookie:\0", 8)).empty());
    EXPECT_TRUE(script_.closed.empty());  // no search ever started

    // A store that answers the first spelling is not asked in the other
    // (the first spelling twice: once for the size, once for the entry).
    script_.answer = [&](const Call& call, INTERNET_CACHE_ENTRY_INFOA* buffer, DWORD* size) {
        if (!call.first) return Fail(ERROR_NO_MORE_ITEMS);
        return WriteEntry(buffer, size, "Cookie:me@site/", 1);
    };
    EXPECT_EQ(patterns("cookie:"), (std::vector<std::string>{"cookie:", "cookie:"}));
}

TEST_F(ScriptedUrlCacheTest, DeleteEntryPassesTheNameUnchanged) {
    EXPECT_TRUE(cache_.DeleteEntry("Cookie:me@site/"));
    EXPECT_FALSE(cache_.DeleteEntry(std::string_view("Cookie:me@site/\0x", 17)));
    EXPECT_EQ(script_.deleted, (std::vector<std::string>{"Cookie:me@site/"}));
}

}  // namespace
}  // namespace qm
