// From a verdict to the next step on screen, on a full database (25000 units and 25000
// relations): judging a choice, the result display with its example lookup, the next row, and
// the set-up of a choice step with its pool of wrong answers, the draw of four choices and the
// sentence box layout of a long prompt.

#include <benchmark/benchmark.h>

#include <string>

#include "core/login.h"
#include "full_course.h"
#include "runner/runner.h"

namespace {

using namespace dyd;

class QuietShows final : public InterludeShows {
  public:
    void ShowQuotation(int, int) override {}
    void ShowFact(int, int) override {}
    void ShowPicture(int, int) override {}
    bool OfferMatching() override { return false; }
};

class QuietHost final : public RunnerHost {
  public:
    void PlaySound(const std::string&, bool) override {}
    void Message(std::string_view) override {}
    bool Confirm(std::string_view) override { return true; }
    std::optional<std::string> EditComment(std::string_view, int) override { return {}; }
    void ShowKindMarks(int) override {}
    void OpenExamples(const std::string&, const std::string&) override {}
    bool ShowStatistics(const RunStatistics&) override { return false; }
    InterludeShows& interludes() override { return shows_; }

  private:
    QuietShows shows_;
};

class GlyphMeasure final : public TextMeasure {
  public:
    int Width(std::string_view bytes) const override { return 9 * static_cast<int>(bytes.size()); }
    int LineHeight() const override { return 22; }
};

void BM_RunnerVerdictToNextChoiceStep(benchmark::State& state) {
    static LearnerSession* session = [] {
        auto* s = new LearnerSession;
        bench::FillFullCourse(*s, {.longMeanings = true, .recordings = true});
        return s;
    }();
    LearnerSession& s = *session;
    const int kind = static_cast<int>(state.range(0));
    s.plan = SessionPlan{};
    s.plan.currentKind = kind;
    for (int r = 1; r <= kMaxPlanRows; ++r) {
        PlanRow row;
        row.unitNumber = r * 61 % 20000 + 1;
        row.cells[static_cast<std::size_t>(kind)].remaining = 1 << 30;
        s.plan.rows.push_back(row);
    }
    FixedClock clock(46000);
    SeededRandom random(11);
    InterludeScheduler scheduler;
    GlyphMeasure measure;
    QuietHost host;
    Runner runner(RunnerContext{s, clock, random, scheduler, &measure, 24}, host);
    runner.OpenRun();
    for (auto _ : state) {
        runner.JudgeChoice(1);
        runner.Ok();
        benchmark::DoNotOptimize(runner.view().choices);
    }
}
// Kind 4: Polish prompt in the sentence box, foreign choices; kind 2: Polish choices.
BENCHMARK(BM_RunnerVerdictToNextChoiceStep)
    ->Arg(kTranslationChoice)
    ->Arg(kTextComprehension)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
