// The main view's work at the size of a large browser: the start-up fill of
// the Cookies and Cache lists from one enumeration of 50,000 entries, the
// History fill from 50,000 URLs, and Find All over 100,000 rows.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/memory/memory_platform.h"
#include "records/tab_lists.h"
#include "settings/find_on_tab.h"
#include "widgets/list_model.h"

namespace qm {
namespace {

constexpr uint64_t kSomeDay = 132'000'000'000'000'000ull;

void StockCache(MemoryUrlCache& cache, int64_t count) {
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

void StockHistory(MemoryUrlHistory& history, int64_t count) {
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

void FillCacheAndCookies(benchmark::State& state) {
    MemoryPlatform memory;
    StockCache(memory.urlCache, state.range(0));
    const DateFormatter dates;
    for (auto _ : state) {
        ListModel cookies(memory.clock);
        ListModel cache(memory.clock);
        AddTabListColumns(cookies, RecordKind::Cookies);
        AddTabListColumns(cache, RecordKind::Cache);
        FillCacheAndCookieLists(cookies, cache, memory, dates);
        benchmark::DoNotOptimize(cache.RowCount());
        state.PauseTiming();  // freeing the rows is not part of the fill
        { ListModel gone = std::move(cache); }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FillCacheAndCookies)->Arg(50000)->Unit(benchmark::kMillisecond);

void FillHistory(benchmark::State& state) {
    MemoryPlatform memory;
    StockHistory(memory.urlHistory, state.range(0));
    const DateFormatter dates;
    for (auto _ : state) {
        ListModel history(memory.clock);
        AddTabListColumns(history, RecordKind::History);
        FillHistoryList(history, memory, dates);
        benchmark::DoNotOptimize(history.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(FillHistory)->Arg(50000)->Unit(benchmark::kMillisecond);

// Find All of a word in every tenth title and every seventh address, with
// names and values searched and case ignored: the marks are cleared between
// runs, so every run marks the same cells.
void FindAll(benchmark::State& state) {
    MemoryPlatform memory;
    ListModel list(memory.clock);
    AddTabListColumns(list, RecordKind::History);
    const int64_t rows = state.range(0);
    for (int64_t i = 0; i < rows; ++i) {
        const int row = list.AddRow((i % 10 == 0 ? "Daily News " : "Article ") + std::to_string(i));
        list.SetCellText(
            row, 1,
            "http://www.example.com/" + std::string(i % 7 == 0 ? "news/" : "item/") + std::to_string(i));
    }
    FindRequest request;
    request.text = "news";
    request.names = 1;
    request.values = 1;
    request.findAll = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindInList(list, request, memory.textCodec));
        state.PauseTiming();
        for (int row = 0; row < list.RowCount(); ++row) {
            list.SetCellColors(row, 0, kDefaultColor, kDefaultColor);
            list.SetCellColors(row, 1, kDefaultColor, kDefaultColor);
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(FindAll)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm
