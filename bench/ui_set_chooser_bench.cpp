// The exercise-set chooser from its opening to the window painted (grab): in the results view
// over a full-capacity course (25000 units in 100 groups) with 20000 repetition records and a
// history of 7000 records; in the sets view with 3000 of the learner's own sets, its first
// section chosen. The floor beside them: the same window only painted. Qt's offscreen platform.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QPixmap>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/history.h"
#include "full_course.h"
#include "ui_app.h"
#include "session/set_chooser.h"
#include "ui/app_context.h"
#include "ui/session/set_chooser_window.h"

namespace {

using namespace dyd;

// 100 groups, every unit in one of them; 20000 units learnt, a third of them mastered.
void FillLearner(LearnerSession& s) {
    bench::FillFullCourse(s);
    s.db.groups.clear();
    for (int g = 1; g <= 100; ++g) {
        Group group;
        group.groupId = g;
        group.name = "Grupa " + std::to_string(g);
        s.db.groups.push_back(group);
    }
    const int units = s.db.units.unitCount();
    for (int u = 1; u <= units; ++u) {
        Unit& unit = s.db.units.unit(u);
        unit.groupId = 1 + u % 100;
        if (u <= 20000) {
            RepetitionRecord& r = s.repetitions.record(u);
            r.unitId = unit.unitId;
            r.interval = u % 3 == 0 ? 40 : 2;
            r.inTrash = u % 97 == 0 ? 1 : 0;
        }
    }
}

// count records: sets of every group, each with a run of results in two kinds.
void FillHistory(ExerciseHistory& history, int sets, bool userSets) {
    history.records.clear();
    for (int i = 0; i < sets; ++i) {
        const int group = 1 + i % 100;
        char id[32];
        if (userSets) {
            std::snprintf(id, sizeof id, "2%02d-%d-%04d", group, 1 + i % 4, i + 1);
        } else {
            std::snprintf(id, sizeof id, "1%02d-%d-%d", group, 1 + i % 4, i);
        }
        HistoryRecord record =
            MakeCatalogueEntry(id, "Zestaw " + std::to_string(i), kUserSetCategory, 45000.0);
        if (!userSets) {
            record.kind = static_cast<std::uint8_t>(1 + i % 18);
            record.count = 1;
            record.percent = static_cast<std::uint8_t>(i % 101);
        }
        history.records.push_back(record);
    }
}

void Open(benchmark::State& state, ui::SetChooserWindow::Mode mode, bool paintOnly) {
    bench::BenchApp();
    FixedClock clock(45000.5);
    auto context = std::make_unique<ui::AppContext>(clock);
    FillLearner(context->session);
    const bool sets = mode == ui::SetChooserWindow::Mode::Sets;
    FillHistory(context->session.history, sets ? 3000 : kMaxHistoryRecords, sets);
    ui::SetChooserWindow window(*context, nullptr);
    window.ShowChooser(mode);
    for (auto _ : state) {
        if (!paintOnly) {
            window.hide();
            window.ShowChooser(mode);
            if (sets) {
                QListView* sections = window.findChild<QListView*>(QStringLiteral("pb_dzialy2"));
                QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
                QApplication::sendEvent(sections, &down);
            }
        }
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
    }
    if (sets && !paintOnly && window.selectedSection() != 0) {
        state.SkipWithError("the first section was not chosen");
    }
    if (!sets && window.results().counters.all.counted == 0) {
        state.SkipWithError("no results counted");
    }
}

void BM_SetChooserResultsOpenedAndPainted(benchmark::State& state) {
    Open(state, ui::SetChooserWindow::Mode::Results, false);
}
BENCHMARK(BM_SetChooserResultsOpenedAndPainted)->Unit(benchmark::kMillisecond);

void BM_SetChooserResultsPaintOnly(benchmark::State& state) {
    Open(state, ui::SetChooserWindow::Mode::Results, true);
}
BENCHMARK(BM_SetChooserResultsPaintOnly)->Unit(benchmark::kMillisecond);

void BM_SetChooserSetsOpenedAndPainted(benchmark::State& state) {
    Open(state, ui::SetChooserWindow::Mode::Sets, false);
}
BENCHMARK(BM_SetChooserSetsOpenedAndPainted)->Unit(benchmark::kMillisecond);

void BM_SetChooserSetsPaintOnly(benchmark::State& state) {
    Open(state, ui::SetChooserWindow::Mode::Sets, true);
}
BENCHMARK(BM_SetChooserSetsPaintOnly)->Unit(benchmark::kMillisecond);

}  // namespace
