// The exercise runner window from the learner's key to the next step on screen: the digit key
// that judges a choice step, the result drawn, Enter, the next choice step set up and the whole
// window painted (grab). A course of 25000 units built in memory; the window runs on Qt's
// offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <cstdint>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/session_plan.h"
#include "full_course.h"
#include "ui_app.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"

namespace {

using namespace dyd;

void FillCourse(LearnerSession& s) {
    bench::FillFullCourse(s);
    s.settings.showStatistics = false;
    s.settings.f5HintShown = true;
    const int words = s.db.units.wordUnitCount;
    // 300 rows of translation choice that never run out.
    s.plan.rows.clear();
    for (int r = 1; r <= kMaxPlanRows; ++r) {
        PlanRow row;
        row.unitNumber = 1 + (r * 61) % words;
        row.cells[kTranslationChoice].remaining = 1000000;
        s.plan.rows.push_back(row);
    }
}

void Key(QWidget* window, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
}

void BM_RunnerWindowVerdictToNextStepPainted(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(45000.0);
    auto context = std::make_unique<ui::AppContext>(clock);
    FillCourse(context->session);
    SeededRandom random(11);
    ui::RunnerWindow window(*context);
    window.SetRandom(random);
    if (!window.Open(kTranslationChoice)) {
        state.SkipWithError("no step");
        return;
    }
    window.show();
    std::int64_t steps = 0;
    for (auto _ : state) {
        Key(&window, Qt::Key_0 + window.runner().state().correctChoice);
        Key(&window, Qt::Key_Return);
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
        ++steps;
    }
    // Every key judged its step right.
    if (window.runner().state().rightCount != steps) {
        state.SkipWithError("a key press did not judge its step");
    }
}
BENCHMARK(BM_RunnerWindowVerdictToNextStepPainted)->Unit(benchmark::kMillisecond);

}  // namespace
