// Small builders for the records tests.
#pragma once

#include <string>

#include "platform/memory/memory_platform.h"

namespace qm::test {

inline MemoryCacheEntry Entry(std::string name, uint32_t size = 100) {
    MemoryCacheEntry entry;
    entry.name = std::move(name);
    entry.sizeLow = size;
    return entry;
}

inline StatUrl Url(std::u16string url, std::optional<std::u16string> title = u"Title") {
    StatUrl stat;
    stat.url = std::move(url);
    stat.title = std::move(title);
    return stat;
}

inline std::u16string Wide(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace qm::test
