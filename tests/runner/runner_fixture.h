#pragma once

// A runner over a small course built in memory, with a host that records what the window would
// have shown or played and answers dialogs from a script.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/codepage.h"
#include "core/login.h"
#include "runner/runner.h"

namespace dyd::test {

// Windows-1250 bytes of a UTF-8 literal.
inline std::string Cp(std::string_view utf8) {
    return *FromUtf8(utf8, CodePage::Cp1250);
}

// Draws from a script, then from a seeded generator.
class ScriptedRandom final : public Random {
  public:
    std::deque<int> script;
    int Below(int n) override {
        if (!script.empty()) {
            const int v = script.front();
            script.pop_front();
            return v % (n < 1 ? 1 : n);
        }
        return seeded_.Below(n);
    }

  private:
    SeededRandom seeded_{7};
};

class CountingShows final : public InterludeShows {
  public:
    int shown = 0;
    void ShowQuotation(int, int) override { ++shown; }
    void ShowFact(int, int) override { ++shown; }
    void ShowPicture(int, int) override { ++shown; }
    bool OfferMatching() override { return false; }
};

class TestHost final : public RunnerHost {
  public:
    struct Sound {
        std::string path;
        bool wait = false;
    };
    std::vector<Sound> sounds;
    std::vector<std::string> messages;
    std::vector<std::string> confirmations;
    std::deque<bool> confirmAnswers;  // default yes
    std::optional<std::string> commentReply;
    std::string commentShown;
    std::vector<int> kindMarks;
    std::string examplesText, examplesSearch;
    int examplesOpened = 0;
    std::vector<RunStatistics> statistics;
    bool goBack = false;
    int planRefreshes = 0;
    CountingShows shows;

    void PlaySound(const std::string& path, bool wait) override { sounds.push_back({path, wait}); }
    void Message(std::string_view text) override { messages.emplace_back(text); }
    bool Confirm(std::string_view text) override {
        confirmations.emplace_back(text);
        if (confirmAnswers.empty()) {
            return true;
        }
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> EditComment(std::string_view shown, int maxLength) override {
        commentShown = std::string(shown);
        EXPECT_EQ(maxLength, 80);
        return commentReply;
    }
    void ShowKindMarks(int unitNumber) override { kindMarks.push_back(unitNumber); }
    void OpenExamples(const std::string& text, const std::string& searchText) override {
        ++examplesOpened;
        examplesText = text;
        examplesSearch = searchText;
    }
    bool ShowStatistics(const RunStatistics& stats) override {
        statistics.push_back(stats);
        return goBack;
    }
    InterludeShows& interludes() override { return shows; }
    void RefreshPlanList() override { ++planRefreshes; }
};

// Every character one pixel wide, lines 20 high.
class FixedMeasure final : public TextMeasure {
  public:
    int Width(std::string_view bytes) const override { return static_cast<int>(bytes.size()); }
    int LineHeight() const override { return 20; }
};

struct UnitSpec {
    UnitSpec(std::string f, std::string n, int k = kWordUnit, int p = kNoun, std::string rec = {})
        : foreign(std::move(f)), native(std::move(n)), kind(k), pos(p), recording(std::move(rec)) {}
    std::string foreign;
    std::string native;  // UTF-8, stored as Windows-1250
    int kind = kWordUnit;
    int pos = kNoun;
    std::string recording;  // a file name under the database's wav folder
};

class RunnerFixture : public ::testing::Test {
  protected:
    RunnerFixture() {
        s.paths.programDir = "/nonexistent-dyd/";
        s.paths.databaseDir = "/nonexistent-dyd/db/angtest/";
        s.paths.databaseCode = "angtest";
        s.db.params.language = 1;
        s.settings.showStatistics = false;
        s.settings.intensity = 0;
    }

    int Add(const UnitSpec& spec) {
        Unit u;
        u.unitId = 1000 + s.db.units.unitCount() + 1;
        u.unitKind = spec.kind;
        u.partOfSpeech = spec.kind == kSentenceUnit ? kSentencePart : spec.pos;
        u.foreignText = spec.foreign;
        u.nativeText = Cp(spec.native);
        if (!spec.recording.empty()) {
            u.recordingSource = 1;
            u.recording = spec.recording;
        }
        s.db.units.Append(u);
        return s.db.units.unitCount();
    }
    Unit& U(int n) { return s.db.units.unit(n); }

    // A plan of the given units, each needing `remaining` answers in kind.
    void Plan(int kind, const std::vector<int>& units, int remaining = 1) {
        s.plan = SessionPlan{};
        s.plan.currentKind = kind;
        for (int n : units) {
            PlanRow row;
            row.unitNumber = n;
            row.cells[static_cast<std::size_t>(kind)].remaining = remaining;
            s.plan.rows.push_back(row);
        }
    }

    Runner& MakeRunner() {
        runner.emplace(RunnerContext{s, clock, random, scheduler, &measure, 24}, host);
        return *runner;
    }

    // Opens a run of kind over the units.
    Runner& Open(int kind, const std::vector<int>& units, int remaining = 1) {
        Plan(kind, units, remaining);
        MakeRunner().OpenRun();
        return *runner;
    }

    const PlanEntry& Cell(int row) const {
        return s.plan.row(row).cells[static_cast<std::size_t>(s.plan.currentKind)];
    }

    std::string Wav(std::string_view name) const {
        return s.paths.databaseDir + "wav/" + std::string(name);
    }

    LearnerSession s;
    FixedClock clock{46000.25};
    ScriptedRandom random;
    InterludeScheduler scheduler;
    FixedMeasure measure;
    TestHost host;
    std::optional<Runner> runner;
};

}  // namespace dyd::test
