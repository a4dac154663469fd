// The slide show over the session plan, run over a fixed clock: each pause lets the clock run
// to the timer's end, each recording takes its length; what the learner sees and hears is noted
// with the moment it happens, in milliseconds from the opening.

#include "content/presentation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/clock.h"

namespace dyd {
namespace {

constexpr double kStart = 45000.25;
constexpr double kMsPerDay = 86400000.0;

struct Stage : PresentationTimer, PresentationView {
    explicit Stage(std::vector<int> units) {
        for (int unit : units) {
            PlanRow row;
            row.unitNumber = unit;
            plan.rows.push_back(row);
        }
    }

    long long Ms() const { return std::llround((clock.Now() - kStart) * kMsPerDay); }
    void Pass(long long ms) { clock.Set(clock.Now() + static_cast<double>(ms) / kMsPerDay); }
    void Note(const std::string& what) { events.push_back(std::to_string(Ms()) + " " + what); }

    void Start(int ms) override {
        armed = true;
        dueMs = Ms() + ms;
    }
    void Stop() override { armed = false; }

    void ShowUnit(int unit) override { Note("show " + std::to_string(unit)); }
    void PlayAndWait(int unit) override {
        const auto found = recordingMs.find(unit);
        if (found == recordingMs.end()) {
            return;
        }
        Note("play " + std::to_string(unit));
        Pass(found->second);
        if (onPlayed) {
            onPlayed();
        }
    }
    void ShowTranslation(int unit) override { Note("translation " + std::to_string(unit)); }
    void Finished() override { Note("end"); }

    // Lets the clock run to the end of each pause until the timer is left stopped.
    void RunOut(PresentationShow& show, int limit = 100) {
        while (armed && limit-- > 0) {
            Pass(dueMs - Ms());
            armed = false;
            show.TimerFired();
        }
    }

    FixedClock clock{kStart};
    SessionPlan plan;
    std::map<int, long long> recordingMs;
    std::function<void()> onPlayed;
    bool armed = false;
    long long dueMs = 0;
    std::vector<std::string> events;
};

struct ShowCase {
    const char* name;
    std::vector<int> units;
    std::map<int, long long> recordingMs;
    int nextDelay;
    int translationDelay;
    std::vector<std::string> events;
};

TEST(Presentation, ShowsPlaysAndTranslatesEveryRowWithThePausesOfTheSettings) {
    const std::vector<ShowCase> cases = {
        {"three rows, one without a recording, the shortest pauses",
         {7, 3, 9},
         {{7, 1000}, {9, 500}},
         0,
         0,
         {"600 show 7", "600 play 7", "1700 translation 7", "2700 show 3", "2800 translation 3",
          "3800 show 9", "3800 play 9", "4400 translation 9", "5400 end"}},
        {"the longest pauses",
         {4},
         {{4, 2000}},
         4,
         4,
         {"600 show 4", "600 play 4", "6600 translation 4", "11600 end"}},
        {"two seconds each",
         {1, 2},
         {},
         1,
         2,
         {"600 show 1", "2600 translation 1", "4600 show 2", "6600 translation 2", "8600 end"}},
        {"list positions out of range count as the nearest",
         {5},
         {},
         9,
         -3,
         {"600 show 5", "700 translation 5", "5700 end"}},
        {"an empty plan ends at the first tick", {}, {}, 0, 0, {"600 end"}},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.name);
        Stage stage(c.units);
        stage.recordingMs = c.recordingMs;
        PresentationShow show(stage.plan, stage, stage);
        show.Open(c.nextDelay, c.translationDelay);
        EXPECT_EQ(show.position(), 0);
        stage.RunOut(show);
        EXPECT_EQ(stage.events, c.events);
        EXPECT_FALSE(show.running());
        EXPECT_FALSE(stage.armed);
    }
}

TEST(Presentation, TheLearnerSkipsThePauseOrHoldsTheShowWhileTheOptionsAreOpen) {
    Stage stage({1, 2, 3});
    PresentationShow show(stage.plan, stage, stage);
    show.Open(4, 4);
    stage.Pass(200);
    show.NextNow();  // before the first tick: the first unit at once
    EXPECT_EQ(show.position(), 1);
    EXPECT_TRUE(show.translationPending());

    show.Pause();
    EXPECT_FALSE(stage.armed);
    stage.Pass(30000);
    show.TimerFired();  // a tick already queued changes nothing
    EXPECT_EQ(stage.events, (std::vector<std::string>{"200 show 1"}));
    // New pauses apply from the next pause on; the one held goes on whole.
    show.SetDelays(0, 0);
    show.Resume();
    EXPECT_EQ(stage.dueMs - stage.Ms(), 4000);
    stage.Pass(4000);
    stage.armed = false;
    show.TimerFired();
    EXPECT_EQ(stage.events.back(), "34200 translation 1");
    EXPECT_EQ(stage.dueMs - stage.Ms(), 1000);

    // Skipping while the options are open shows the next unit and still waits for them.
    show.Pause();
    show.NextNow();
    EXPECT_EQ(stage.events.back(), "34200 show 2");
    EXPECT_FALSE(stage.armed);
    show.Resume();
    EXPECT_EQ(stage.dueMs - stage.Ms(), 100);
    stage.RunOut(show);
    EXPECT_EQ(stage.events.back(), "36400 end");
}

TEST(Presentation, ClosingStopsTheShowEvenWhileARecordingPlays) {
    Stage stage({1, 2});
    stage.recordingMs = {{1, 800}};
    PresentationShow show(stage.plan, stage, stage);
    stage.onPlayed = [&] { show.Close(); };
    show.Open(0, 0);
    stage.RunOut(show);
    EXPECT_EQ(stage.events, (std::vector<std::string>{"600 show 1", "600 play 1"}));
    EXPECT_FALSE(stage.armed);
    EXPECT_FALSE(show.translationPending());
    show.NextNow();
    show.Resume();
    show.TimerFired();
    EXPECT_EQ(stage.events.size(), 2u);
    EXPECT_FALSE(stage.armed);

    // Opened again, it starts from before the first row.
    stage.onPlayed = nullptr;
    show.Open(0, 0);
    EXPECT_EQ(show.position(), 0);
    stage.RunOut(show);
    EXPECT_EQ(stage.events.back(), "5000 end");
}

}  // namespace
}  // namespace dyd
