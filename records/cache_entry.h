// The two record types every list, report and cleanup works on, and their
// enumeration from the platform's stores. Records are plain fixed-size
// values; the enumerations append to the caller's array in the order the
// platform delivers them, and never sort, merge or drop duplicates.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/types.h"

namespace qm {

// One entry of the URL cache. For a cookie the url is "Cookie:" + user +
// "@" + site path; for a history entry of the cache "Visited:" + user + "@"
// + URL; for content a plain URL.
struct CacheEntry {
    FixedText<1024> url;
    FixedText<260> localFile;  // empty when the platform gives none
    FileTime lastAccessTime;
    FileTime lastModifiedTime;
    FileTime expireTime;
    uint32_t size = 0;  // low 32 bits of the stored copy's size
    uint32_t hitRate = 0;
};

// One URL of the history service, or one URL record of an index file.
struct HistoryRecord {
    FixedText<1024> url;
    FixedText<256> title;  // empty when the service gives none
    FileTime lastUpdated;
    FileTime lastVisited;
    FileTime expires;
};

// The search patterns of the two cache stores.
inline constexpr std::string_view kAllEntriesPattern = "*.*";
inline constexpr std::string_view kCookiePattern = "cookie:";

// Kind tests on a cache name: case-sensitive, anywhere in the name.
bool IsCookieName(std::string_view name);
bool IsVisitedName(std::string_view name);
// A content entry: neither a cookie nor a history entry of the cache.
bool IsContentName(std::string_view name);

// Appends the entries that the cache yields for the pattern. Entries whose
// size is 0 are passed over: the cache reports that size for entries it has
// not finished writing. Always returns true.
bool EnumerateCacheEntries(UrlCache& cache, std::string_view pattern, std::vector<CacheEntry>& entries);

// Appends the URLs of the history service, converted to ANSI. Returns false
// when the service cannot be opened. Prepares the thread for the service for
// its own duration.
bool EnumerateHistory(UrlHistory& history, TextCodec& codec, std::vector<HistoryRecord>& records);

// The same two, handing each record to visit in the same order instead of
// keeping them all, for callers that only pass records on (the list fills):
// a record is 1.3 KB, so the array for a large cache runs to tens of
// megabytes. The record is valid only during the call. A cache entry comes
// with its name as the platform gave it: the record's url is cut to 1023
// characters for display, and only the full name finds the entry again.
void ForEachCacheEntry(UrlCache& cache, std::string_view pattern,
                       const std::function<void(const CacheEntry& entry, std::string_view name)>& visit);
bool ForEachHistoryRecord(UrlHistory& history, TextCodec& codec,
                          const std::function<void(const HistoryRecord& record)>& visit);

CacheEntry MakeCacheEntry(const RawCacheEntry& raw);
HistoryRecord MakeHistoryRecord(const StatUrl& url, TextCodec& codec);

}  // namespace qm
