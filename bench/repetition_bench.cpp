// The repetition records of a full database: loading and saving 25000 records (with and
// without the disk), the session-end update of 300 rows against them, and the due list.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "core/clock.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"

namespace {

using namespace dyd;

constexpr double kToday = 45400;

// A learner of a full database: 25000 units, every one learnt, due over the coming year, with
// the live file on disk in a folder of its own.
struct FullLearner {
    std::string folder;
    AppPaths paths;
    UnitTable units;
    RepetitionStore store;
    Settings settings;
    FixedClock clock{kToday + 0.5};

    FullLearner() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dyd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        folder = pattern + "/";
        paths.userDir = folder;
        paths.databaseCode = "ang";
        std::mt19937 random(11);
        units.Reserve(kMaxUnits);
        for (int u = 1; u <= kMaxUnits; ++u) {
            Unit unit;
            unit.unitId = 100000 + u * 3;
            unit.unitKind = u % 5 == 0 ? kSentenceUnit : kWordUnit;
            units.Append(unit);
            RepetitionRecord& r = store.record(u);
            r.unitId = unit.unitId;
            r.repetitionNo = static_cast<int>(random() % 8) + 1;
            r.interval = static_cast<int>(random() % 200) + 1;
            r.lastDate = kToday - static_cast<double>(random() % 200);
            r.firstDate = r.lastDate - 300;
            r.factor = 1.0 + static_cast<double>(random() % 200) / 100.0;
            r.kindMarks[random() % 18] = static_cast<std::uint8_t>(random() % 3);
            store.chosenKinds[static_cast<std::size_t>(u)][random() % 18 + 1] = random() % 4 == 0;
        }
        store.recordHighWater = kMaxUnits;
        settings.frequencyFactor = 1.9;
        settings.determiningKindWords = 6;
        settings.determiningKindSentences = 12;
        if (!SaveLiveRepetitions(paths, units, store, settings, clock).written) {
            std::abort();
        }
    }
    ~FullLearner() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void BM_LoadRepetitions(benchmark::State& state) {
    FullLearner l;
    for (auto _ : state) {
        const LoadRepetitionsResult r =
            LoadRepetitions(l.paths, "ang.p", false, l.units, l.store, l.settings);
        benchmark::DoNotOptimize(r.counts.read);
    }
    state.SetItemsProcessed(state.iterations() * kMaxUnits);
}
BENCHMARK(BM_LoadRepetitions)->Unit(benchmark::kMillisecond);

void BM_SaveRepetitions(benchmark::State& state) {
    FullLearner l;
    for (auto _ : state) {
        const SaveRepetitionsResult r =
            SaveLiveRepetitions(l.paths, l.units, l.store, l.settings, l.clock);
        benchmark::DoNotOptimize(r.count);
    }
    state.SetItemsProcessed(state.iterations() * kMaxUnits);
}
BENCHMARK(BM_SaveRepetitions)->Unit(benchmark::kMillisecond);

// What a login and a session end cost together, as the learner waits for them.
void BM_LoadAndSaveRepetitions(benchmark::State& state) {
    FullLearner l;
    for (auto _ : state) {
        LoadRepetitions(l.paths, "ang.p", false, l.units, l.store, l.settings);
        const SaveRepetitionsResult r =
            SaveLiveRepetitions(l.paths, l.units, l.store, l.settings, l.clock);
        benchmark::DoNotOptimize(r.count);
    }
}
BENCHMARK(BM_LoadAndSaveRepetitions)->Unit(benchmark::kMillisecond);

// The same work without the disk: the bytes in, the bytes out.
void BM_ParseAndFormatRepetitions(benchmark::State& state) {
    FullLearner l;
    int written = 0;
    const std::string bytes = FormatRepetitionFile(l.store, kMaxUnits, &written);
    for (auto _ : state) {
        ParseRepetitionFile(bytes, l.units, l.store);
        const std::string out = FormatRepetitionFile(l.store, kMaxUnits, &written);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ParseAndFormatRepetitions)->Unit(benchmark::kMillisecond);

// 300 rows answered in their deciding kind, against 25000 records. Each round is a later day,
// so that every row gets a full update rather than a same-day merge.
void BM_SessionEndUpdate(benchmark::State& state) {
    FullLearner l;
    SessionPlan plan;
    plan.mode = SessionMode::Repetition;
    for (int i = 1; i <= kMaxPlanRows; ++i) {
        PlanRow row;
        row.unitNumber = i * 83;
        const int kind = l.units.unit(row.unitNumber).unitKind == kWordUnit ? 6 : 12;
        row.cells[static_cast<std::size_t>(kind)] = {0, i % 4 == 0 ? 2 : 1, 1};
        row.cells[4] = {0, 1, 1};
        plan.rows.push_back(row);
    }
    double today = kToday;
    for (auto _ : state) {
        today += 1;
        SessionEndUpdate(plan, l.units, l.store, l.settings, today);
    }
    benchmark::DoNotOptimize(l.store.record(83).interval);
}
BENCHMARK(BM_SessionEndUpdate)->Unit(benchmark::kMicrosecond);

void BM_CollectDueUnits(benchmark::State& state) {
    FullLearner l;
    for (auto _ : state) {
        const DueUnits due = CollectDueUnits(l.store, kToday + 30);
        benchmark::DoNotOptimize(due.total);
    }
}
BENCHMARK(BM_CollectDueUnits)->Unit(benchmark::kMicrosecond);

}  // namespace
