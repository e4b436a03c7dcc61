#include "platform/win32/win32_url_cache.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/c_string.h"
#include "platform/win32/unique_handle.h"

namespace qm {
namespace {

struct CacheFindCloser {
    decltype(&::FindCloseUrlCache) close = &::FindCloseUrlCache;
    void operator()(HANDLE handle) const { close(handle); }
};
using UniqueCacheFind = UniqueHandle<HANDLE, CacheFindCloser>;

// The one entry buffer of a search. It only grows, and is zeroed before
// every call so that nothing of an earlier entry can be read as part of the
// next one.
class EntryBuffer {
public:
    // Room for at least size bytes, all zero; null while no room was asked for.
    INTERNET_CACHE_ENTRY_INFOA* Prepare(DWORD size) {
        if (size > capacity_) {
            bytes_ = std::make_unique<std::byte[]>(size);  // zeroed
            capacity_ = size;
        } else if (capacity_ > 0) {
            std::memset(bytes_.get(), 0, capacity_);
        }
        return capacity_ == 0 ? nullptr : reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(bytes_.get());
    }

    // The entry the platform left in the buffer, with its texts bounded by
    // the buffer's end. Nothing when the buffer cannot even hold the header.
    std::optional<RawCacheEntry> Entry() const {
        if (capacity_ < sizeof(INTERNET_CACHE_ENTRY_INFOA)) return std::nullopt;
        INTERNET_CACHE_ENTRY_INFOA info;
        std::memcpy(&info, bytes_.get(), sizeof info);

        RawCacheEntry entry;
        entry.sourceUrlName = Text(info.lpszSourceUrlName);
        entry.localFileName = Text(info.lpszLocalFileName);
        entry.lastAccessTime = ToFileTime(info.LastAccessTime);
        entry.lastModifiedTime = ToFileTime(info.LastModifiedTime);
        entry.expireTime = ToFileTime(info.ExpireTime);
        entry.sizeLow = info.dwSizeLow;
        entry.sizeHigh = info.dwSizeHigh;
        entry.hitRate = info.dwHitRate;
        return entry;
    }

private:
    static FileTime ToFileTime(const FILETIME& time) {
        return FileTime{uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime};
    }

    // A text of the entry, or nothing when its pointer is null or points
    // outside the buffer; a text without a NUL ends at the buffer's end.
    std::optional<std::string_view> Text(const char* text) const {
        if (text == nullptr) return std::nullopt;
        const auto begin = reinterpret_cast<std::uintptr_t>(bytes_.get());
        const auto at = reinterpret_cast<std::uintptr_t>(text);
        if (at < begin || at >= begin + capacity_) return std::nullopt;
        const char* inside = reinterpret_cast<const char*>(bytes_.get()) + (at - begin);
        return std::string_view(inside, strnlen(inside, capacity_ - (at - begin)));
    }

    std::unique_ptr<std::byte[]> bytes_;
    DWORD capacity_ = 0;
};

// Whether to call again after ERROR_INSUFFICIENT_BUFFER: only when the
// platform asked for more than it was given, and for a believable amount.
// Anything else would repeat the same call forever.
bool ShouldGrow(DWORD given, DWORD asked) {
    return asked > given && asked <= kLargestCacheEntryBuffer;
}

// The platform's own spelling of a container prefix given in another case.
std::optional<std::string_view> ContainerSpelling(std::string_view pattern) {
    for (std::string_view prefix : {std::string_view("Cookie:"), std::string_view("Visited:")}) {
        if (pattern.size() != prefix.size() || pattern == prefix) continue;
        bool same = true;
        for (std::size_t i = 0; i < prefix.size() && same; ++i) {
            auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
            same = lower(pattern[i]) == lower(prefix[i]);
        }
        if (same) return prefix;
    }
    return std::nullopt;
}

}  // namespace

void Win32UrlCache::Enumerate(std::string_view pattern,
                              const std::function<void(const RawCacheEntry&)>& visit) {
    // Wine finds nothing for "*.*" itself. For the null pattern Windows
    // yields the content entries and Wine every container's: callers take
    // cookies from "cookie:" and test each entry's kind themselves.
    if (pattern == "*.*") {
        Search(nullptr, visit);
        return;
    }
    const auto text = ToCString(pattern);
    if (!text) return;
    if (Search(text->c_str(), visit)) return;
    // Wine matches a container prefix only as it spells it; Windows takes
    // any case. Asking again costs nothing where both find nothing.
    if (const auto spelling = ContainerSpelling(*text)) Search(std::string(*spelling).c_str(), visit);
}

bool Win32UrlCache::Search(const char* pattern, const std::function<void(const RawCacheEntry&)>& visit) {
    EntryBuffer buffer;
    DWORD size = 0;
    UniqueCacheFind find(nullptr, CacheFindCloser{functions_.findClose});
    for (;;) {
        const DWORD given = size;
        if (HANDLE handle = functions_.findFirst(pattern, buffer.Prepare(size), &size)) {
            find.reset(handle);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || !ShouldGrow(given, size)) return false;
    }
    if (const auto entry = buffer.Entry()) visit(*entry);

    // After a success the platform leaves the size it used, which may be
    // less than the buffer holds; that is what the next call is given.
    for (;;) {
        const DWORD given = size;
        if (functions_.findNext(find.get(), buffer.Prepare(size), &size)) {
            if (const auto entry = buffer.Entry()) visit(*entry);
            continue;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || !ShouldGrow(given, size)) break;
    }
    return true;
}

bool Win32UrlCache::DeleteEntry(std::string_view name) {
    const auto text = ToCString(name);
    return text && functions_.deleteEntry(text->c_str()) != FALSE;
}

}  // namespace qm
