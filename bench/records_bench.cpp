// How the record operations scale with the size of the stores: one cache
// enumeration into records, a contains-deletion that matches nothing (the
// cost of a criterion on a large cache), and date cell rendering.
#include <benchmark/benchmark.h>

#include "platform/memory/memory_platform.h"
#include "records/cache_entry.h"
#include "records/deletion.h"
#include "settings/date_formatter.h"

namespace qm {
namespace {

void FillCache(MemoryUrlCache& cache, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        MemoryCacheEntry entry;
        entry.name = "http://www.example" + std::to_string(i % 97) + ".com/images/picture" + std::to_string(i) + ".png";
        entry.localFile = "C:\\Cache\\Content.IE5\\ABCDEFGH\\picture" + std::to_string(i) + "[1].png";
        entry.sizeLow = 1000 + static_cast<uint32_t>(i);
        entry.lastAccessTime = FileTime{132'000'000'000'000'000ull + static_cast<uint64_t>(i)};
        cache.Add(std::move(entry));
    }
}

void EnumerateCache(benchmark::State& state) {
    MemoryPlatform memory;
    FillCache(memory.urlCache, state.range(0));
    for (auto _ : state) {
        std::vector<CacheEntry> entries;
        EnumerateCacheEntries(memory.urlCache, kAllEntriesPattern, entries);
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(EnumerateCache)->Arg(1000)->Arg(10000)->Arg(50000);

void ContainsDeletionMatchingNothing(benchmark::State& state) {
    MemoryPlatform memory;
    FillCache(memory.urlCache, state.range(0));
    for (auto _ : state) DeleteCacheEntriesContaining(memory, "no-such-text");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ContainsDeletionMatchingNothing)->Arg(1000)->Arg(10000);

void DateCells(benchmark::State& state) {
    const DateFormatter formatter("dd/MM/yyyy");
    uint64_t ticks = 132'000'000'000'000'000ull;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DateCellText(FileTime{ticks}, formatter));
        ticks += 864'000'000'000ull;
    }
}
BENCHMARK(DateCells);

}  // namespace
}  // namespace qm
