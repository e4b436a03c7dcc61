// The main view's work at the size of a large browser: the start-up fill of
// the Cookies and Cache lists from one enumeration of 50,000 entries, the
// History fill from 50,000 URLs, and Find All over 100,000 rows.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_stores.h"
#include "platform/memory/memory_platform.h"
#include "records/tab_lists.h"
#include "settings/find_on_tab.h"
#include "widgets/list_model.h"

namespace qm {
namespace {

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
