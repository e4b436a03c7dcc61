// Port: the platform's URL cache (cookies, history entries and content).
// The adapter hides the platform's buffer handling; the core sees one entry
// at a time, in the order the platform delivers them.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "platform/types.h"

namespace qm {

// One entry as the platform reports it. The texts are absent when the
// platform gives no pointer for them; they live only during the callback.
struct RawCacheEntry {
    std::optional<std::string_view> sourceUrlName;
    std::optional<std::string_view> localFileName;
    FileTime lastAccessTime;
    FileTime lastModifiedTime;
    FileTime expireTime;
    uint32_t sizeLow = 0;
    uint32_t sizeHigh = 0;
    uint32_t hitRate = 0;
};

class UrlCache {
public:
    virtual ~UrlCache() = default;

    // Calls visit for every entry that the platform yields for the search
    // pattern ("*.*" for the content store, which on some platforms yields
    // the cookie and history entries too; "cookie:" for the cookie store).
    // A pattern the platform rejects yields nothing.
    virtual void Enumerate(std::string_view pattern,
                           const std::function<void(const RawCacheEntry&)>& visit) = 0;

    // Removes the entry with exactly this name; true on success.
    virtual bool DeleteEntry(std::string_view name) = 0;
};

}  // namespace qm
