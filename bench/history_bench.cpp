// The exercise history at its full size of 7000 records: loading the working file at login and
// when the set chooser opens, and storing the result of an exercise, which the runner does when
// it closes (target: well under a millisecond).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/datetime.h"
#include "core/files.h"
#include "core/history.h"
#include "core/paths.h"
#include "core/text.h"

namespace {

using namespace dyd;

const double kNow = DayNumber(2024, 5, 1) + 0.5;

// A full store: shipped catalogue entries and user sets, each with a few results, and the set
// "201-1-0001" at the very front, so that finding it scans the whole store.
ExerciseHistory FullHistory() {
    ExerciseHistory h;
    h.records.reserve(kMaxHistoryRecords);
    HistoryRecord front = MakeCatalogueEntry("201-1-0001", "Pierwsze", kUserSetCategory, kNow);
    front.kind = 6;
    front.count = 3;
    h.records.push_back(front);
    for (int i = 1; h.count() < kMaxHistoryRecords - 1; ++i) {
        const bool user = i % 3 == 0;
        const std::string id = (user ? "2" : "1") + ZeroPad(2, i % 60) + "-" +
                               std::to_string(1 + i % 4) + "-" + ZeroPad(4, i);
        HistoryRecord r = MakeCatalogueEntry(id, "Zestaw " + std::to_string(i),
                                             user ? kUserSetCategory : kWordSetCategory, kNow - i);
        for (int kind = 1; kind <= 3 && h.count() < kMaxHistoryRecords - 1; ++kind) {
            r.kind = static_cast<std::uint8_t>(kind);
            r.count = kind;
            h.records.push_back(r);
        }
    }
    return h;
}

class HistoryFolder {
  public:
    HistoryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dyd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            paths.userDir = pattern + "/";
        }
        paths.databaseCode = "bench";
    }
    ~HistoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(paths.userDir, ignored);
    }
    AppPaths paths;
};

void BM_LoadHistory7000(benchmark::State& state) {
    HistoryFolder folder;
    if (!SaveHistory(HistoryFilePath(folder.paths), FullHistory())) {
        state.SkipWithError("cannot write the history file");
        return;
    }
    ExerciseHistory h;
    for (auto _ : state) {
        LoadHistory(folder.paths, h);
        benchmark::DoNotOptimize(h.records.data());
    }
    state.counters["records"] = h.count();
}
BENCHMARK(BM_LoadHistory7000)->Unit(benchmark::kMicrosecond);

void BM_ParseHistory7000(benchmark::State& state) {
    const std::string bytes = FormatHistory(FullHistory());
    for (auto _ : state) {
        ExerciseHistory h = ParseHistory(bytes);
        benchmark::DoNotOptimize(h.records.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseHistory7000)->Unit(benchmark::kMicrosecond);

// A repeated kind: the whole store is searched from the end and the front record updated.
void BM_StoreSetResultUpdate7000(benchmark::State& state) {
    ExerciseHistory h = FullHistory();
    for (auto _ : state) {
        benchmark::DoNotOptimize(StoreSetResult(h, kNow, 80, "201-1-0001", 6, 0, true));
    }
}
BENCHMARK(BM_StoreSetResultUpdate7000)->Unit(benchmark::kMicrosecond);

// A new kind for the set at the front: its run moves to the end and a record is appended, in a
// store one record short of full.
void BM_StoreSetResultMoveAndAppend7000(benchmark::State& state) {
    const ExerciseHistory full = FullHistory();
    ExerciseHistory h;
    for (auto _ : state) {
        state.PauseTiming();
        h = full;
        state.ResumeTiming();
        benchmark::DoNotOptimize(StoreSetResult(h, kNow, 80, "201-1-0001", 9, 0, false));
    }
}
BENCHMARK(BM_StoreSetResultMoveAndAppend7000)->Unit(benchmark::kMicrosecond);

// The bytes written after each stored result.
void BM_FormatHistory7000(benchmark::State& state) {
    const ExerciseHistory h = FullHistory();
    for (auto _ : state) {
        std::string bytes = FormatHistory(h);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_FormatHistory7000)->Unit(benchmark::kMicrosecond);

}  // namespace
