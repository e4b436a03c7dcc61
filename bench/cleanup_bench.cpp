// Cleaning a large browser cache of 50,000 entries: a category, whose
// passes each enumerate the cache afresh, and "All". Each run starts from
// a full cache; refilling it is not timed.
#include <benchmark/benchmark.h>

#include "bench/bench_stores.h"
#include "cleaning/cleanup.h"
#include "cleaning/cleanup_criteria.h"
#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

void CleanCache(benchmark::State& state, uint32_t criterionCode) {
    const int64_t entries = state.range(0);
    std::size_t left = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MemoryPlatform memory;
        StockCache(memory.urlCache, entries);
        CleanupCriteria criteria = NewCleanupCriteria(memory.clock);
        criteria.kind = 3;
        criteria.criterion = criterionCode;
        state.ResumeTiming();

        benchmark::DoNotOptimize(RunCleanup(memory, criteria));

        state.PauseTiming();
        left = memory.urlCache.entries().size();
        state.ResumeTiming();
    }
    state.counters["entries left"] = static_cast<double>(left);
}

BENCHMARK_CAPTURE(CleanCache, StylesAndScripts, criterion::kStylesAndScripts)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CleanCache, All, criterion::kAll)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qm
