// Deletion of browsing records from the platform's stores, one record by its
// exact name or every record whose address contains a text. Each call reads
// the store afresh; failures of single deletions are ignored and the work
// goes on with the next record.
#pragma once

#include <functional>
#include <string_view>

#include "platform/platform.h"
#include "records/cache_entry.h"

namespace qm {

// The three deletions by kind. With exact set the text is the full name of
// one record (for a cookie, "Cookie:" + the list's URL text); with exact
// clear every record containing the text goes. An empty text deletes
// nothing and returns 0. Exact cookie and cache deletion return 1 when the
// cache removed the entry, 0 otherwise; the history forms return 1 when the
// service could be opened (the calling thread must be prepared for it).
int DeleteHistoryEntries(Platform& platform, std::string_view text, bool exact);
int DeleteCookieEntries(Platform& platform, std::string_view text, bool exact);
int DeleteCacheEntries(Platform& platform, std::string_view text, bool exact);

// Every history URL containing the text, byte for byte; trailing white space
// of the URL is ignored. Each goes from the history and, under the same
// address, from the cache.
void DeleteHistoryUrlsContaining(Platform& platform, std::string_view text);
// Every cookie entry whose name contains the text, ignoring case.
void DeleteCookiesContaining(Platform& platform, std::string_view text);
// Every content entry whose name contains the text, ignoring case; cookie
// and history entries of the cache are never touched.
void DeleteCacheEntriesContaining(Platform& platform, std::string_view text);

// The history URL as the comparisons see it: converted to ANSI, trailing
// white space removed.
std::string HistoryUrlText(const StatUrl& url, TextCodec& codec);

// Deletes every history URL for which match returns true, from the history
// and from the cache. Returns false when the service cannot be opened.
bool DeleteHistoryUrlsWhere(Platform& platform,
                            const std::function<bool(std::string_view urlText, const StatUrl& url)>& match);
// Deletes every entry of the store (by its search pattern) for which match
// returns true. Match is given the entry's full name besides its record, and
// the entry is deleted by that name: a name longer than the record's url
// matches and goes like any other.
void DeleteCacheEntriesWhere(
    UrlCache& cache, std::string_view pattern,
    const std::function<bool(const CacheEntry& entry, std::string_view name)>& match);

// Case-insensitive containment in the ANSI code page.
bool ContainsIgnoringCase(TextCodec& codec, std::string_view text, std::string_view part);

}  // namespace qm
