// The browser's search over the full-capacity course (25000 units, foreign and Polish texts):
// a substring ignoring case, a whole text with case, and beside them the floor, a plain loop
// that looks for the same lowered pattern in the same texts with std::string_view::find. The
// search benchmarks report their time as a ratio to the floor measured in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string_view>
#include <vector>

#include "content/browser_search.h"
#include "full_course.h"

namespace {

using namespace dyd;

const LearnerSession& Course() {
    static const LearnerSession* session = [] {
        auto* s = new LearnerSession;
        bench::FillFullCourse(*s);
        return s;
    }();
    return *session;
}

std::vector<int> FloorSearch(const UnitTable& units, std::string_view pattern) {
    std::vector<int> found;
    const std::span<const Unit> rows = units.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (std::string_view(rows[i].foreignText).find(pattern) != std::string_view::npos ||
            std::string_view(rows[i].nativeText).find(pattern) != std::string_view::npos) {
            found.push_back(static_cast<int>(i) + 1);
        }
    }
    return found;
}

// Seconds per floor search, measured over enough rounds to be steady.
double FloorSeconds(const UnitTable& units, std::string_view pattern) {
    constexpr int kRounds = 200;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        benchmark::DoNotOptimize(FloorSearch(units, pattern));
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kRounds;
}

void RunSearch(benchmark::State& state, std::string_view query, const SearchFlags& flags) {
    const UnitTable& units = Course().db.units;
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<int> hits = SearchUnits(units, query, flags);
        found = hits.size();
        benchmark::DoNotOptimize(hits.data());
    }
    const auto start = std::chrono::steady_clock::now();
    constexpr int kRounds = 200;
    for (int i = 0; i < kRounds; ++i) {
        benchmark::DoNotOptimize(SearchUnits(units, query, flags));
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    state.counters["units"] = units.unitCount();
    state.counters["found"] = static_cast<double>(found);
    state.counters["ratio_to_floor"] =
        (spent.count() / kRounds) / FloorSeconds(units, LowerAZ(query));
}

void BM_BrowserSearchSubstringAnyCase(benchmark::State& state) {
    RunSearch(state, "ER", SearchFlags{false, true, true, true});
}
BENCHMARK(BM_BrowserSearchSubstringAnyCase)->Unit(benchmark::kMillisecond);

void BM_BrowserSearchSubstringNotFound(benchmark::State& state) {
    RunSearch(state, "Qxz", SearchFlags{false, true, true, true});
}
BENCHMARK(BM_BrowserSearchSubstringNotFound)->Unit(benchmark::kMillisecond);

void BM_BrowserSearchWholeTextWithCase(benchmark::State& state) {
    RunSearch(state, "house", SearchFlags{true, true, true, false});
}
BENCHMARK(BM_BrowserSearchWholeTextWithCase)->Unit(benchmark::kMillisecond);

// The floor: the same lowered pattern found in the same texts with the library's find.
void BM_BrowserSearchFloor(benchmark::State& state) {
    const UnitTable& units = Course().db.units;
    for (auto _ : state) {
        const std::vector<int> hits = FloorSearch(units, "er");
        benchmark::DoNotOptimize(hits.data());
    }
    state.counters["units"] = units.unitCount();
}
BENCHMARK(BM_BrowserSearchFloor)->Unit(benchmark::kMillisecond);

}  // namespace
