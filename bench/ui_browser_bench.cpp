// The browser over a full-capacity course (25000 units, 20000 repetition records) on Qt's
// offscreen platform: opening to the grid painted, a filter applied (in the logic alone and to
// the grid painted), a page of the grid scrolled and painted. Beside them the floors: the window
// only painted, and a plain loop over the same units and records that tests one field.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <memory>

#include "content/browser.h"
#include "core/clock.h"
#include "full_course.h"
#include "ui/app_context.h"
#include "ui/content/browser_window.h"
#include "ui_app.h"

namespace {

using namespace dyd;

constexpr int kLearnt = 20000;

// The bytes the heap holds now: small blocks in the arenas and large blocks mapped apart.
std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::unique_ptr<ui::AppContext> FullContext(const Clock& clock) {
    auto context = std::make_unique<ui::AppContext>(clock);
    LearnerSession& s = context->session;
    bench::FillFullCourse(s, {.recordings = true});
    for (int u = 1; u <= kLearnt; ++u) {
        RepetitionRecord& r = s.repetitions.record(u);
        r.unitId = s.db.units.unit(u).unitId;
        r.repetitionNo = u % 14;
        r.interval = u % 30;
        r.inTrash = u % 97 == 0 ? 1 : 0;
    }
    return context;
}

void BM_BrowserOpenedAndPainted(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    std::size_t listed = 0;
    std::size_t added = 0;
    for (auto _ : state) {
        // A window of its own each time: its grid goes from nothing to every unit.
        const std::size_t before = HeapInUse();
        ui::BrowserWindow window(*context);
        window.Prepare();
        window.show();
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
        listed = window.listed().size();
        added = HeapInUse() - before;
    }
    // The heap the open window holds (its picture included).
    state.counters["memory_MB"] = static_cast<double>(added) / 1e6;
    if (static_cast<int>(listed) != context->session.db.units.unitCount()) {
        state.SkipWithError("not every unit listed");
    }
}
BENCHMARK(BM_BrowserOpenedAndPainted)->Unit(benchmark::kMillisecond);

void BM_BrowserPaintOnly(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    ui::BrowserWindow window(*context);
    window.Prepare();
    window.show();
    for (auto _ : state) {
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_BrowserPaintOnly)->Unit(benchmark::kMillisecond);

// Units learnt with more than 10 repetitions, then those not learnt, in turn: every run changes
// the list.
void BM_BrowserFilterAppliedAndPainted(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    ui::BrowserWindow window(*context);
    window.Prepare();
    window.show();
    window.findChild<QAbstractButton*>(QStringLiteral("K_filtr"))->click();
    auto* learnt = window.findChild<QComboBox*>(QStringLiteral("CB_Uczone"));
    auto* other = window.findChild<QComboBox*>(QStringLiteral("CB_Filtr_2"));
    auto* apply = window.findChild<QAbstractButton*>(QStringLiteral("K_Pokaz_slowka"));
    bool turn = false;
    for (auto _ : state) {
        turn = !turn;
        learnt->setCurrentIndex(turn ? 0 : 2);
        other->setCurrentIndex(turn ? 4 : 0);
        apply->click();
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
    }
    if (window.listed().empty()) {
        state.SkipWithError("nothing listed");
    }
}
BENCHMARK(BM_BrowserFilterAppliedAndPainted)->Unit(benchmark::kMillisecond);

void BM_BrowserFilterLogic(benchmark::State& state) {
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    const LearnerSession& s = context->session;
    const BrowserFilter filter{.other = OtherFilter::MoreThan10};
    for (auto _ : state) {
        std::vector<int> found = FilterUnits(s.db.units, s.repetitions, filter);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BrowserFilterLogic)->Unit(benchmark::kMillisecond);

// The floor of the filter: the same units and records, one field tested in a plain loop.
void BM_BrowserFilterFloorPlainLoop(benchmark::State& state) {
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    const LearnerSession& s = context->session;
    const int count = s.db.units.unitCount();
    for (auto _ : state) {
        std::vector<int> found;
        found.reserve(static_cast<std::size_t>(count));
        for (int u = 1; u <= count; ++u) {
            const RepetitionRecord& r = s.repetitions.record(u);
            if (r.unitId > 0 && r.repetitionNo > 10) {
                found.push_back(u);
            }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_BrowserFilterFloorPlainLoop)->Unit(benchmark::kMillisecond);

// A page down the grid and its paint.
void BM_BrowserPageScrollPainted(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(45000.5);
    const auto context = FullContext(clock);
    ui::BrowserWindow window(*context);
    window.Prepare();
    window.show();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("Grid1"));
    QScrollBar* bar = grid->verticalScrollBar();
    for (auto _ : state) {
        if (bar->value() >= bar->maximum()) {
            bar->setValue(0);
        }
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QPixmap picture = grid->viewport()->grab();
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_BrowserPageScrollPainted)->Unit(benchmark::kMillisecond);

}  // namespace
