// The counters a run ends with, over runs of one kind left and taken up again: the rows planned
// when each run started, the rows it finished, whether the statistics offer the way back, and
// the result recorded for a named set.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files.h"
#include "core/history.h"
#include "runner/runner.h"
#include "runner/runner_fixture.h"
#include "support.h"

namespace dyd::test {
namespace {

constexpr const char* kSetKey = "1abc1";

// One run: the verdicts given in turn ('+' knew it, '-' did not, 'k' "Już umiem!" confirmed),
// then the run is left with Escape unless it ended by itself.
struct RunSteps {
    std::string steps;
};

struct Expected {
    int planned;
    int finished;
    bool canGoBack;
};

struct Recorded {
    int count;  // results recorded in the set's entry, 0 when none
    int percent;
    int complete;
};

struct Case {
    const char* name;
    int rows;
    int intensity;  // 0: one right answer per row, 1: two
    std::vector<RunSteps> runs;
    std::vector<Expected> expected;  // per run, as the statistics window got it
    Recorded recorded;               // the set's entry after the last run
};

class RunnerCounters : public RunnerFixture {
  protected:
    // Runs the case; returns the statistics of each run.
    std::vector<RunStatistics> Play(const Case& c) {
        s.settings.showStatistics = true;
        s.settings.intensity = c.intensity;
        s.paths.userDir = dir.path();
        s.history.records.push_back(MakeCatalogueEntry(kSetKey, "Zestaw", kWordSetCategory, 45000));
        s.currentSet.setKey = kSetKey;
        std::vector<int> units;
        for (int i = 0; i < c.rows; ++i) {
            units.push_back(Add({"word" + std::to_string(i), "słowo" + std::to_string(i)}));
        }
        Plan(kSelfAssessment, units, c.intensity == 1 ? 2 : 1);
        MakeRunner();
        for (const RunSteps& run : c.runs) {
            runner->OpenRun();
            for (const char step : run.steps) {
                EXPECT_FALSE(runner->closed()) << c.name;
                if (runner->closed()) {
                    break;
                }
                if (step == 'k') {
                    runner->MarkKnown();
                } else {
                    runner->RevealAnswer();
                    runner->JudgeSelf(step == '+');
                }
            }
            if (!runner->closed()) {
                EXPECT_TRUE(runner->CloseRun()) << c.name;
            }
        }
        return host.statistics;
    }

    TempDir dir;
};

TEST_F(RunnerCounters, FinishedCountsOnlyTheRowsOfTheRunAndNeverExceedsThePlanned) {
    const std::vector<Case> cases = {
        {"fresh run left after two of four", 4, 0, {{"++"}}, {{4, 2, true}}, {1, 50, 0}},
        {"fresh run to the end with a wrong answer", 3, 0, {{"+-++"}}, {{3, 3, false}}, {1, 75, 1}},
        {"resumed run left again",
         4,
         0,
         {{"++"}, {"+"}},
         {{4, 2, true}, {2, 1, true}},
         {1, 50, 0}},  // the second run's one right answer of two: not a result, kept the first
        {"resumed run finishes the set",
         4,
         0,
         {{"++"}, {"++"}},
         {{4, 2, true}, {2, 2, false}},
         {2, 100, 1}},
        {"third run left after one step",
         5,
         0,
         {{"++"}, {"+"}, {"-"}},
         {{5, 2, true}, {3, 1, true}, {2, 0, true}},
         {1, 40, 0}},
        {"a run left at once after a resume records nothing",
         3,
         0,
         {{"++"}, {""}},
         {{3, 2, true}, {1, 0, true}},
         {1, 67, 0}},
        {"two answers per row: each row answered once is not finished",
         3,
         1,
         {{"+++"}, {"+++"}},
         {{3, 0, true}, {3, 3, false}},
         {2, 50, 1}},
        {"a unit taken out by a command counts as finished",
         3,
         0,
         {{"+"}, {"k+"}},
         {{3, 1, true}, {2, 2, false}},
         {1, 50, 1}},  // the first run, one row of three, is no result
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s = LearnerSession{};
        s.paths.programDir = "/nonexistent-dyd/";
        s.paths.databaseDir = "/nonexistent-dyd/db/angtest/";
        s.paths.databaseCode = "angtest";
        s.db.params.language = 1;
        host.statistics.clear();
        const std::vector<RunStatistics> stats = Play(c);
        ASSERT_EQ(stats.size(), c.expected.size());
        for (std::size_t i = 0; i < stats.size(); ++i) {
            EXPECT_EQ(stats[i].planned, c.expected[i].planned) << "run " << i + 1;
            EXPECT_EQ(stats[i].finished, c.expected[i].finished) << "run " << i + 1;
            EXPECT_EQ(stats[i].canGoBack, c.expected[i].canGoBack) << "run " << i + 1;
            EXPECT_LE(stats[i].finished, stats[i].planned) << "run " << i + 1;
            EXPECT_EQ(FormatStatistics(stats[i]).progress,
                      " " + std::to_string(c.expected[i].finished) + " / " +
                          std::to_string(c.expected[i].planned));
        }
        // The way back is there exactly while the kind still has rows to answer.
        bool pending = false;
        for (const PlanRow& row : s.plan.rows) {
            pending = pending || row.cells[kSelfAssessment].remaining > 0;
        }
        EXPECT_EQ(stats.back().canGoBack, pending);

        const HistoryRecord& entry = s.history.records.back();
        EXPECT_EQ(entry.count, c.recorded.count);
        if (c.recorded.count > 0) {
            EXPECT_EQ(entry.kind, kSelfAssessment);
            EXPECT_EQ(entry.percent, c.recorded.percent);
            EXPECT_EQ(entry.complete, c.recorded.complete);
            const ExerciseHistory saved = ParseHistory(ReadBytes(HistoryFilePath(s.paths)));
            ASSERT_EQ(saved.count(), 1);
            EXPECT_EQ(saved.records[0].complete, c.recorded.complete);
        }
    }
}

TEST_F(RunnerCounters, GoingBackKeepsThePlannedRowsOfTheRun) {
    s.settings.showStatistics = true;
    std::vector<int> units;
    for (int i = 0; i < 4; ++i) {
        units.push_back(Add({"word" + std::to_string(i), "słowo" + std::to_string(i)}));
    }
    Open(kSelfAssessment, units);
    runner->RevealAnswer();
    runner->JudgeSelf(true);
    runner->CloseRun();  // left after one: 1 of 4
    runner->OpenRun();   // taken up again: 3 planned
    runner->RevealAnswer();
    runner->JudgeSelf(true);
    host.goBack = true;
    EXPECT_FALSE(runner->CloseRun());
    host.goBack = false;
    for (int i = 0; i < 2; ++i) {
        runner->RevealAnswer();
        runner->JudgeSelf(true);
    }
    ASSERT_TRUE(runner->closed());
    ASSERT_EQ(host.statistics.size(), 3u);
    EXPECT_EQ(FormatStatistics(host.statistics[1]).progress, " 1 / 3");
    EXPECT_EQ(FormatStatistics(host.statistics[2]).progress, " 3 / 3");
    EXPECT_FALSE(host.statistics[2].canGoBack);
    // The counters on the last step agree with the score: every answer of the run is in them.
    EXPECT_EQ(runner->view().stat1, " 3");
    EXPECT_EQ(runner->view().stat3, " 100 %");
    EXPECT_EQ(FormatStatistics(host.statistics[2]).percent, " 100 %");
}

}  // namespace
}  // namespace dyd::test
