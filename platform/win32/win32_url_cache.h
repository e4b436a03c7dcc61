// UrlCache on WinINet's URL cache. The platform's search hands out one entry
// at a time in a buffer the caller sizes; this adapter owns that buffer and
// its growth, and gives the core each entry's fields with the texts checked
// to lie inside the buffer.
//
// "*.*" goes to the platform as the null pattern, which yields the content
// entries on Windows and every container's entries on Wine; a container
// prefix in another spelling than the platform's own ("cookie:" for
// "Cookie:") is asked again in that spelling when the platform finds
// nothing for it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string_view>

#include "platform/url_cache.h"

namespace qm {

// The WinINet calls the adapter makes. Tests put their own in place to play
// answers a real cache seldom gives, or a broken one would.
struct UrlCacheFunctions {
    decltype(&::FindFirstUrlCacheEntryA) findFirst = &::FindFirstUrlCacheEntryA;
    decltype(&::FindNextUrlCacheEntryA) findNext = &::FindNextUrlCacheEntryA;
    decltype(&::FindCloseUrlCache) findClose = &::FindCloseUrlCache;
    decltype(&::DeleteUrlCacheEntryA) deleteEntry = &::DeleteUrlCacheEntryA;
};

// An entry asking for more room than this is not believed: the search stops.
inline constexpr DWORD kLargestCacheEntryBuffer = 16u << 20;

class Win32UrlCache final : public UrlCache {
public:
    Win32UrlCache() = default;
    explicit Win32UrlCache(const UrlCacheFunctions& functions) : functions_(functions) {}

    void Enumerate(std::string_view pattern, const std::function<void(const RawCacheEntry&)>& visit) override;
    // A name holding a NUL is refused: the platform would delete the entry
    // named by the text before the NUL.
    bool DeleteEntry(std::string_view name) override;

private:
    // One search with the pattern as the platform takes it (null for every
    // entry). False when the platform found no first entry.
    bool Search(const char* pattern, const std::function<void(const RawCacheEntry&)>& visit);

    UrlCacheFunctions functions_;
};

}  // namespace qm
