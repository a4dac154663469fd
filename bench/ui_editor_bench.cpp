// Opening the unit editor for a new unit on a course of full capacity (25000 units): the editor
// prepared (the groups listed, the next free id found over every unit and every kept record)
// and the whole window painted. The window runs on Qt's offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <memory>

#include "core/clock.h"
#include "full_course.h"
#include "ui_app.h"
#include "ui/app_context.h"
#include "ui/content/unit_editor_window.h"

namespace {

using namespace dyd;

void BM_UnitEditorOpenPainted25000(benchmark::State& state) {
    bench::BenchApp();
    FixedClock clock(46000.0);
    auto context = std::make_unique<ui::AppContext>(clock);
    bench::FillFullCourse(context->session);
    LearnerSession& s = context->session;
    s.db.params.userIdLow = 80000;
    s.db.params.userIdHigh = 99000;
    s.db.params.learnerMade = true;
    for (int g = 0; g < kMaxGroups; ++g) {
        s.db.groups.push_back(Group{g + 1, 1, "", "Grupa " + std::to_string(g + 1), ""});
    }
    // Records kept for units that a damaged learner-units file did not bring back.
    for (int i = 0; i < 2000; ++i) {
        RepetitionRecord kept;
        kept.unitId = 81000 + i;
        s.repetitions.orphans.push_back(kept);
    }
    ui::UnitEditorWindow window(*context);
    for (auto _ : state) {
        window.Prepare(0);
        window.show();
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
        window.hide();
    }
    state.counters["units"] = s.db.units.unitCount();
    if (window.editor().preparedId() != 83001) {
        state.SkipWithError("the next id is not above the kept records");
    }
}
BENCHMARK(BM_UnitEditorOpenPainted25000)->Unit(benchmark::kMillisecond);

}  // namespace
