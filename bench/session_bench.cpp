// New material on a full database: counting a group, building the candidates, drawing a batch of
// 50 and building its plan, the way the learning window does it for each draw.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/clock.h"
#include "core/database.h"
#include "core/exercise_sets.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"
#include "session/new_material.h"
#include "session/plan_builder.h"

namespace {

using namespace dyd;

constexpr double kToday = 45400;

// 25000 units in 40 groups: words, then sentences and question/answer items, a third of them
// learnt.
struct FullCourse {
    UnitTable units;
    std::vector<Relation> relations;
    RepetitionStore store;
    Settings settings;
    DatabaseParameters params;

    FullCourse() {
        std::mt19937 random(7);
        units.Reserve(kMaxUnits);
        for (int u = 1; u <= kMaxUnits; ++u) {
            Unit unit;
            unit.unitId = u < 20000 ? u : 60000 + u;
            unit.unitKind = u < 20000 ? (u % 9 == 0 ? kQaUnit : kWordUnit) : kSentenceUnit;
            unit.level = static_cast<int>(random() % 4) + 1;
            unit.groupId = static_cast<int>(random() % 40) + 1;
            unit.partOfSpeech = static_cast<int>(random() % 6) + 1;
            unit.foreignText = u % 3 == 0 ? "der <Hund>" : "house";
            unit.recording = u % 2 == 0 ? "r" : "";
            unit.sentenceTranslation = unit.unitKind == kSentenceUnit ? "zdanie" : "";
            units.Append(unit);
            if (random() % 3 == 0) {
                RepetitionRecord& r = store.record(u);
                r.unitId = unit.unitId;
                r.repetitionNo = 1;
                r.lastDate = kToday;
                r.interval = 5;
            }
            if (u >= 20000) {
                relations.push_back({(u - 20000) * 3 + 1, 60000 + u, 0});
            }
        }
        store.recordHighWater = kMaxUnits;
        units.wordUnitCount = 19999;
        params.language = 2;
        params.pluralExercises = true;
    }
};

const FullCourse& Course() {
    static const FullCourse course;
    return course;
}

void BM_DrawBatchAndBuildPlan(benchmark::State& state) {
    const FullCourse& course = Course();
    Settings settings = course.settings;
    settings.learningMode = static_cast<int>(state.range(0));
    SeededRandom random(3);
    CurrentSet set;
    SessionPlan plan;
    for (auto _ : state) {
        bool attach = false;
        const NewMaterialCounts counts = CountNewMaterial(course.units, course.store, 0);
        const Candidates candidates =
            BuildCandidates(course.units, course.store, settings, counts, 0, false, attach);
        DrawBatch(candidates.units, 50, course.units, settings, random, set);
        PrepareSetForSession(set, course.units, course.relations,
                             WantsRelatedSentences(settings, attach), plan);
        BuildPlan(SelectedUnits(set), SessionMode::Learning, course.units, course.params, settings,
                  course.store, plan);
        RefreshPlanList(plan);
        benchmark::DoNotOptimize(plan.rows.data());
    }
    state.SetLabel(std::to_string(plan.rowCount()) + " rows");
}
BENCHMARK(BM_DrawBatchAndBuildPlan)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RepetitionPlan(benchmark::State& state) {
    const FullCourse& course = Course();
    Settings settings = course.settings;
    settings.repetitionKindRule.fill(1);
    std::vector<std::int32_t> units;
    for (int u = 1; u <= kMaxPlanRows; ++u) {
        units.push_back(u * 80);
    }
    SessionPlan plan;
    for (auto _ : state) {
        BuildPlan(units, SessionMode::Repetition, course.units, course.params, settings,
                  course.store, plan);
        benchmark::DoNotOptimize(plan.rows.data());
    }
}
BENCHMARK(BM_RepetitionPlan)->Unit(benchmark::kMicrosecond);

}  // namespace
