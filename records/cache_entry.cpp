#include "records/cache_entry.h"

namespace qm {

bool IsCookieName(std::string_view name) {
    return name.find("Cookie:") != std::string_view::npos;
}
bool IsVisitedName(std::string_view name) {
    return name.find("Visited:") != std::string_view::npos;
}
bool IsContentName(std::string_view name) {
    return !IsCookieName(name) && !IsVisitedName(name);
}

CacheEntry MakeCacheEntry(const RawCacheEntry& raw) {
    CacheEntry entry;
    if (raw.sourceUrlName) entry.url = *raw.sourceUrlName;
    if (raw.localFileName) entry.localFile = *raw.localFileName;
    entry.lastAccessTime = raw.lastAccessTime;
    entry.lastModifiedTime = raw.lastModifiedTime;
    entry.expireTime = raw.expireTime;
    entry.size = raw.sizeLow;
    entry.hitRate = raw.hitRate;
    return entry;
}

HistoryRecord MakeHistoryRecord(const StatUrl& url, TextCodec& codec) {
    HistoryRecord record;
    record.url = codec.ToAnsi(url.url);
    if (url.title) record.title = codec.ToAnsi(*url.title);
    record.lastUpdated = url.lastUpdated;
    record.lastVisited = url.lastVisited;
    record.expires = url.expires;
    return record;
}

void ForEachCacheEntry(UrlCache& cache, std::string_view pattern,
                       const std::function<void(const CacheEntry& entry, std::string_view name)>& visit) {
    cache.Enumerate(pattern, [&](const RawCacheEntry& raw) {
        // The cache reports a size of 0 for entries it has not finished
        // writing; they are neither listed nor deleted.
        if (raw.sizeLow == 0) return;
        visit(MakeCacheEntry(raw), raw.sourceUrlName.value_or(std::string_view()));
    });
}

bool EnumerateCacheEntries(UrlCache& cache, std::string_view pattern, std::vector<CacheEntry>& entries) {
    ForEachCacheEntry(cache, pattern,
                      [&](const CacheEntry& entry, std::string_view) { entries.push_back(entry); });
    return true;
}

bool ForEachHistoryRecord(UrlHistory& history, TextCodec& codec,
                          const std::function<void(const HistoryRecord& record)>& visit) {
    auto session = history.Open(/*initializeThread=*/true);
    if (!session) return false;
    session->Enumerate([&](const StatUrl& url) {
        visit(MakeHistoryRecord(url, codec));
        return true;
    });
    return true;
}

bool EnumerateHistory(UrlHistory& history, TextCodec& codec, std::vector<HistoryRecord>& records) {
    return ForEachHistoryRecord(history, codec,
                                [&](const HistoryRecord& record) { records.push_back(record); });
}

}  // namespace qm
