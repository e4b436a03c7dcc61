#include "records/deletion.h"

#include <vector>

namespace qm {
namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view TrimTrailingWhiteSpace(std::string_view text) {
    const auto end = text.find_last_not_of(" \t\r\n\v\f");
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace

std::string HistoryUrlText(const StatUrl& url, TextCodec& codec) {
    std::string text = codec.ToAnsi(url.url);
    text.resize(TrimTrailingWhiteSpace(text).size());
    return text;
}

bool ContainsIgnoringCase(TextCodec& codec, std::string_view text, std::string_view part) {
    return Contains(codec.LowerAnsi(text), codec.LowerAnsi(part));
}

bool DeleteHistoryUrlsWhere(Platform& platform,
                            const std::function<bool(std::string_view urlText, const StatUrl& url)>& match) {
    auto session = platform.urlHistory.Open(/*initializeThread=*/false);
    if (!session) return false;
    session->Enumerate([&](const StatUrl& url) {
        const std::string urlText = HistoryUrlText(url, platform.textCodec);
        if (match(urlText, url)) {
            // Either deletion may fail on its own; the other still runs.
            session->DeleteUrl(url.url);
            platform.urlCache.DeleteEntry(urlText);
        }
        return true;
    });
    return true;
}

void DeleteCacheEntriesWhere(
    UrlCache& cache, std::string_view pattern,
    const std::function<bool(const CacheEntry& entry, std::string_view name)>& match) {
    // The whole store is read before anything goes, as the records are
    // matched; only the names of those that match are kept meanwhile.
    std::vector<std::string> matching;
    ForEachCacheEntry(cache, pattern, [&](const CacheEntry& entry, std::string_view name) {
        if (match(entry, name)) matching.emplace_back(name);
    });
    for (const std::string& name : matching) cache.DeleteEntry(name);
}

void DeleteHistoryUrlsContaining(Platform& platform, std::string_view text) {
    DeleteHistoryEntries(platform, text, /*exact=*/false);
}

void DeleteCookiesContaining(Platform& platform, std::string_view text) {
    if (text.empty()) return;
    const std::string lowerText = platform.textCodec.LowerAnsi(text);
    DeleteCacheEntriesWhere(platform.urlCache, kCookiePattern, [&](const CacheEntry&, std::string_view name) {
        return Contains(platform.textCodec.LowerAnsi(name), lowerText);
    });
}

void DeleteCacheEntriesContaining(Platform& platform, std::string_view text) {
    if (text.empty()) return;
    const std::string lowerText = platform.textCodec.LowerAnsi(text);
    DeleteCacheEntriesWhere(
        platform.urlCache, kAllEntriesPattern, [&](const CacheEntry&, std::string_view name) {
            return IsContentName(name) && Contains(platform.textCodec.LowerAnsi(name), lowerText);
        });
}

int DeleteHistoryEntries(Platform& platform, std::string_view text, bool exact) {
    if (text.empty()) return 0;
    // In the exact form every URL equal to the text goes, not only the
    // first: the service may list one address more than once.
    const bool opened = DeleteHistoryUrlsWhere(platform, [&](std::string_view urlText, const StatUrl&) {
        return exact ? urlText == text : Contains(urlText, text);
    });
    return opened ? 1 : 0;
}

int DeleteCookieEntries(Platform& platform, std::string_view text, bool exact) {
    if (text.empty()) return 0;
    if (exact) return platform.urlCache.DeleteEntry(text) ? 1 : 0;
    DeleteCookiesContaining(platform, text);
    return 1;
}

int DeleteCacheEntries(Platform& platform, std::string_view text, bool exact) {
    if (text.empty()) return 0;
    if (exact) return platform.urlCache.DeleteEntry(text) ? 1 : 0;
    DeleteCacheEntriesContaining(platform, text);
    return 1;
}

}  // namespace qm
