// The list model with 100,000 rows of seven cells, the Cache list of a
// heavily used browser: filling it, sorting it by a text column and by a
// date column, and the second header click that turns it round.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/memory/memory_platform.h"
#include "widgets/list_model.h"

namespace qm {
namespace {

constexpr int kRows = 100'000;

// A deterministic scatter, so that enumeration order is not sorted order.
uint64_t Scatter(uint64_t value) {
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdull;
    value ^= value >> 33;
    return value;
}

void Fill(ListModel& list, int rows) {
    list.DeleteAllRows();
    list.DeleteAllColumns();
    for (const char* title : {"File", "URL", "Size", "Hits", "Last Visited", "Last Updated", "Expires"}) {
        list.AddColumn(title, 100);
    }
    char text[160];
    for (int index = 0; index < rows; ++index) {
        const uint64_t key = Scatter(static_cast<uint64_t>(index));
        std::snprintf(text, sizeof text, "C:\\Cache\\Content.IE5\\%08X\\page%u[1].htm",
                      static_cast<unsigned>(key >> 40), static_cast<unsigned>(key % 100'000));
        const int row = list.AddRow(text, 2);
        std::snprintf(text, sizeof text, "http://www.example%u.com/articles/%016llx.html",
                      static_cast<unsigned>(key % 97), static_cast<unsigned long long>(key));
        list.SetCellText(row, 1, text);
        list.SetCellFormat(row, 1, kListCellHyperlink, 0);
        list.SetCellText(row, 2, std::to_string(key % 200'000));
        list.SetCellText(row, 3, std::to_string(key % 50));
        for (int column = 4; column < 7; ++column) {
            const FileTime date{132'000'000'000'000'000ull + Scatter(key + static_cast<uint64_t>(column)) %
                                                                 (3'000ull * 864'000'000'000ull)};
            list.SetCellText(row, column, "19.04.2019");
            list.SetCellDate(row, column, date);
        }
    }
}

void FillList(benchmark::State& state) {
    MemoryClock clock;
    ListModel list(clock);
    for (auto _ : state) {
        Fill(list, kRows);
        benchmark::DoNotOptimize(list.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(FillList)->Unit(benchmark::kMillisecond);

// Each iteration sorts a freshly filled list in enumeration order, as a
// first click on a header does; the filling is not timed.
void SortColumn(benchmark::State& state, int column) {
    MemoryClock clock;
    for (auto _ : state) {
        state.PauseTiming();
        // A new list each time: a list that was sorted before would turn
        // round instead, since its sort column outlives a refill.
        auto list = std::make_unique<ListModel>(clock);
        Fill(*list, kRows);
        list->Select(kRows / 2, 0, 0);
        state.ResumeTiming();
        list->HeaderClick(column);
        benchmark::DoNotOptimize(list->SelectedRow());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(SortColumn, ByUrlText, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortColumn, ByFileText, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortColumn, ByLastVisitedDate, 4)->Unit(benchmark::kMillisecond);

// The second click on the sorted column.
void ReverseSorted(benchmark::State& state) {
    MemoryClock clock;
    ListModel list(clock);
    Fill(list, kRows);
    list.Select(kRows / 2, 0, 0);
    list.HeaderClick(1);
    for (auto _ : state) {
        list.HeaderClick(1);
        benchmark::DoNotOptimize(list.SelectedRow());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(ReverseSorted)->Unit(benchmark::kMillisecond);

// Type-ahead over the whole sorted list (a letter that no row starts with).
void TypeAheadMiss(benchmark::State& state) {
    MemoryClock clock;
    ListModel list(clock);
    Fill(list, kRows);
    list.HeaderClick(1);
    for (auto _ : state) {
        clock.Advance(1000);
        list.KeyDown('Q', 0, 20);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(TypeAheadMiss)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qm
