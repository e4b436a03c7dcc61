// Browser stores of a given size for the benchmarks, on the memory
// platform: a cache of which every fifth entry is a cookie and the rest are
// pages, pictures, scripts, styles and other files of a hundred sites, and
// a history of articles on the same sites.
#pragma once

#include <cstdint>
#include <string>

#include "platform/memory/memory_platform.h"

namespace qm {

inline constexpr uint64_t kSomeDay = 132'000'000'000'000'000ull;

inline void StockCache(MemoryUrlCache& cache, int64_t count) {
    static const char* const kFiles[] = {"page.htm", "picture.png", "app.js", "style.css", "data.bin"};
    for (int64_t i = 0; i < count; ++i) {
        MemoryCacheEntry entry;
        if (i % 5 == 0) {
            entry.name = "Cookie:user@site" + std::to_string(i) + ".example/";
            entry.localFile = "C:\\Users\\user\\Cookies\\user@site" + std::to_string(i) + "[1].txt";
        } else {
            entry.name = "http://www.example" + std::to_string(i % 97) + ".com/content/" + std::to_string(i) +
                         "/" + kFiles[i % 5];
            entry.localFile = "C:\\Users\\user\\Temporary Internet Files\\Content.IE5\\ABCDEFGH\\" +
                              std::to_string(i) + kFiles[i % 5];
        }
        entry.sizeLow = 1000 + static_cast<uint32_t>(i);
        entry.hitRate = static_cast<uint32_t>(i % 17);
        entry.lastAccessTime = FileTime{kSomeDay + static_cast<uint64_t>(i) * 10'000'000ull};
        entry.lastModifiedTime = FileTime{kSomeDay - static_cast<uint64_t>(i) * 10'000'000ull};
        cache.Add(std::move(entry));
    }
}

inline void StockHistory(MemoryUrlHistory& history, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        const std::string url =
            "http://www.example" + std::to_string(i % 97) + ".com/article/" + std::to_string(i);
        const std::string title = "Article number " + std::to_string(i) + " of the daily news";
        StatUrl stat;
        stat.url = std::u16string(url.begin(), url.end());
        stat.title = std::u16string(title.begin(), title.end());
        stat.lastVisited = FileTime{kSomeDay + static_cast<uint64_t>(i) * 10'000'000ull};
        stat.lastUpdated = stat.lastVisited;
        history.Add(std::move(stat));
    }
}

}  // namespace qm
