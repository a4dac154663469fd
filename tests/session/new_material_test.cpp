#include "session/new_material.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "core/datetime.h"

namespace dyd {
namespace {

constexpr double kToday = 45400;

struct U {
    int kind = kWordUnit;
    int level = 1;
    int group = 1;
    int partOfSpeech = 1;
};

UnitTable Units(const std::vector<U>& list) {
    UnitTable units;
    int id = 100;
    for (const U& u : list) {
        Unit unit;
        unit.unitId = ++id;
        unit.unitKind = u.kind;
        unit.level = u.level;
        unit.groupId = u.group;
        unit.partOfSpeech = u.partOfSpeech;
        units.Append(unit);
    }
    return units;
}

UnitTable Words(int count) {
    return Units(std::vector<U>(static_cast<std::size_t>(count)));
}

void Learn(RepetitionStore& store, const UnitTable& units, int u, bool trash = false,
           double lastDate = kToday, int interval = 10) {
    RepetitionRecord& r = store.record(u);
    r.unitId = units.unit(u).unitId;
    r.repetitionNo = 1;
    r.lastDate = lastDate;
    r.interval = interval;
    r.inTrash = trash ? 1 : 0;
    store.recordHighWater = std::max(store.recordHighWater, u);
}

// Draws from a script, recording every range asked for; fails the test when the script runs out.
class ScriptedRandom final : public Random {
  public:
    explicit ScriptedRandom(std::deque<int> picks, int repeatLast = -1)
        : picks_(std::move(picks)), repeat_(repeatLast) {}
    int Below(int n) override {
        ranges.push_back(n);
        if (picks_.empty()) {
            if (repeat_ < 0) {
                ADD_FAILURE() << "random draw not expected";
                return 0;
            }
            return repeat_;
        }
        const int pick = picks_.front();
        picks_.pop_front();
        return pick;
    }
    std::vector<int> ranges;

  private:
    std::deque<int> picks_;
    int repeat_;
};

std::vector<int> DrawnUnits(const CurrentSet& set, const UnitTable& units) {
    std::vector<int> out;
    for (int i = 0; i < set.count; ++i) {
        out.push_back(units.IndexOfUnitId(set.codes[static_cast<std::size_t>(i)]));
    }
    return out;
}

TEST(CountNewMaterial, SortsNewUnitsByLevelAndKeepsTrashApart) {
    // 1 word L2, 2 sentence L1, 3 QA L5 (counts as 1), 4 word L1 learnt, 5 word L1 in trash,
    // 6 word other group, 7 unit of type 4 L3, 8 word L1 with a record that was reset.
    const UnitTable units = Units({{kWordUnit, 2},
                                   {kSentenceUnit, 1},
                                   {kQaUnit, 5},
                                   {kWordUnit, 1},
                                   {kWordUnit, 1},
                                   {kWordUnit, 1, 2},
                                   {4, 3},
                                   {kWordUnit, 1}});
    RepetitionStore store;
    Learn(store, units, 4);
    Learn(store, units, 5, true);
    store.record(8).unitId = units.unit(8).unitId;  // a record without repetitions is still new

    const NewMaterialCounts group1 = CountNewMaterial(units, store, 1);
    EXPECT_EQ(group1.totalInGroup, 7);
    EXPECT_EQ(group1.learnt, 1);
    EXPECT_EQ(group1.inTrash, 1);
    EXPECT_EQ(group1.newByType[1], 2);
    EXPECT_EQ(group1.newByType[2], 1);
    EXPECT_EQ(group1.newByType[3], 1);
    EXPECT_EQ(group1.newOtherType, 1);
    EXPECT_EQ(group1.newTotal(), 4);
    EXPECT_EQ(group1.levelOrdered, (std::vector<int>{2, 3, 8, 1, 7}));

    const NewMaterialCounts all = CountNewMaterial(units, store, 0);
    EXPECT_EQ(all.totalInGroup, 8);
    EXPECT_EQ(all.levelOrdered, (std::vector<int>{2, 3, 6, 8, 1, 7}));
}

TEST(CountNewMaterial, StatisticsText) {
    NewMaterialCounts counts;
    counts.learnt = 3;
    counts.totalInGroup = 20;
    counts.newByType = {0, 10, 4, 2};
    EXPECT_EQ(StatisticsText(counts, true),
              "Uczysz się: 3 z 20 w tym dziale\n\rDo nauki: 16 (słówka: 12, zdania: 4)");
    counts.inTrash = 2;
    EXPECT_EQ(StatisticsText(counts, false),
              "Uczysz się: 3 z 20\n\rDo nauki: 16 (słówka: 12, zdania: 4)\n\rW koszu: 2");
    counts.newByType = {};
    EXPECT_EQ(StatisticsText(counts, true), "\n\rBrak nowego materiału do nauki!");
}

TEST(CountFilterMatches, EachFilterNarrowsAndLearntUnitsNeverMatch) {
    const UnitTable units = Units({{kWordUnit, 1, 1, kNoun},
                                   {kWordUnit, 2, 1, kVerb},
                                   {kSentenceUnit, 2, 1, kSentencePart},
                                   {kQaUnit, 3, 1, kOtherPart},
                                   {kWordUnit, 2, 1, kNoun},
                                   {kWordUnit, 2, 2, kNoun}});
    RepetitionStore store;
    store.record(5).unitId = units.unit(5).unitId;  // any record excludes it

    struct Case {
        UnitFilter filter;
        int group;
        std::vector<int> expected;
        int total;
    };
    const Case cases[] = {
        {{0, 0, 0}, 1, {1, 2, 3, 4}, 5},    {{2, 0, 0}, 1, {2, 3}, 5},
        {{0, kNoun, 0}, 1, {1}, 5},         {{0, 0, kSentenceUnit}, 1, {3}, 5},
        {{2, kVerb, kWordUnit}, 1, {2}, 5}, {{4, 0, 0}, 1, {}, 5},
        {{2, kNoun, 0}, 0, {6}, 6},
    };
    for (const Case& c : cases) {
        std::vector<int> candidates{99};
        const FilterMatches m = CountFilterMatches(units, store, c.group, c.filter, &candidates);
        EXPECT_EQ(candidates, c.expected) << c.filter.level << c.filter.wordClass;
        EXPECT_EQ(m.matches, static_cast<int>(c.expected.size()));
        EXPECT_EQ(m.totalInGroup, c.total);
    }
    EXPECT_EQ(FilterMatchesText({3, 8}), "Wybrano: 3 z 8");
}

TEST(CountFilterMatches, AFullListKeepsOverwritingItsLastEntry) {
    const UnitTable units = Words(kMaxCandidates + 5);
    const RepetitionStore store;
    std::vector<int> candidates;
    const FilterMatches m = CountFilterMatches(units, store, 0, {}, &candidates);
    EXPECT_EQ(m.matches, kMaxCandidates + 5);
    ASSERT_EQ(candidates.size(), static_cast<std::size_t>(kMaxCandidates));
    EXPECT_EQ(candidates[kMaxCandidates - 2], kMaxCandidates - 1);
    EXPECT_EQ(candidates.back(), kMaxCandidates + 5);
}

TEST(BuildCandidates, ByLearningMode) {
    // 1 sentence L1, 2 word L2, 3 word L1, 4 QA L1, 5 sentence L2; unit 2 is a noun.
    const UnitTable units = Units({{kSentenceUnit, 1, 1, 5},
                                   {kWordUnit, 2, 1, kNoun},
                                   {kWordUnit, 1, 1, kVerb},
                                   {kQaUnit, 1, 1, 4},
                                   {kSentenceUnit, 2, 1, 5}});
    const RepetitionStore store;
    const NewMaterialCounts counts = CountNewMaterial(units, store, 0);
    struct Case {
        int mode;
        bool sentencesOnly;
        std::vector<int> expected;
        std::string modeText;
        bool attachAfter;
    };
    const Case cases[] = {
        {0, false, {3, 4, 2}, "", false},
        {0, true, {1, 5}, "", false},
        {7, true, {1, 5}, "", false},  // any other mode counts as 0
        {2, false, {3, 4, 2}, "Tryb: słówka i przykładowe zdania\n\r", true},
        {1, false, {2}, "Tryb nauki: filtr\n\r", true},  // mode 1 keeps the flag as it was
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.learningMode = c.mode;
        settings.filterWordClass = kNoun;
        bool attach = true;
        const Candidates result =
            BuildCandidates(units, store, settings, counts, 0, c.sentencesOnly, attach);
        EXPECT_EQ(result.units, c.expected) << c.mode;
        EXPECT_EQ(result.modeText, c.modeText);
        EXPECT_EQ(attach, c.attachAfter);
    }
}

TEST(BuildCandidates, ModeTwoFallsBackToSentences) {
    const UnitTable units = Units({{kSentenceUnit, 2}, {kWordUnit, 1}, {kSentenceUnit, 1}});
    RepetitionStore store;
    Learn(store, units, 2);
    Settings settings;
    settings.learningMode = 2;
    bool attach = false;
    const Candidates result = BuildCandidates(units, store, settings,
                                              CountNewMaterial(units, store, 0), 0, false, attach);
    EXPECT_EQ(result.units, (std::vector<int>{3, 1}));
}

TEST(DrawBatch, ModeZeroDrawsOnlyFromTheFirstThreeTimesTheBatch) {
    const UnitTable units = Words(500);
    const RepetitionStore store;
    Settings settings;
    bool attach = false;
    const Candidates candidates = BuildCandidates(
        units, store, settings, CountNewMaterial(units, store, 0), 0, false, attach);
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SeededRandom random(seed);
        CurrentSet set;
        set.name = "stary";
        set.setKey = "2abc";
        const DrawResult result = DrawBatch(candidates.units, 10, units, settings, random, set);
        EXPECT_TRUE(set.name.empty());
        EXPECT_TRUE(set.setKey.empty());
        const std::vector<int> drawn = DrawnUnits(set, units);
        ASSERT_EQ(drawn.size(), 10U);
        EXPECT_EQ(std::set<int>(drawn.begin(), drawn.end()).size(), 10U);
        for (const int u : drawn) {
            EXPECT_LE(u, 30);
        }
        EXPECT_EQ(result.status, "Wybrano do nauki: 10");
        EXPECT_TRUE(result.startVisible);
    }
}

TEST(DrawBatch, FilterModeDrawsFromEveryCandidate) {
    const UnitTable units = Words(40);
    std::vector<int> candidates;
    for (int u = 1; u <= 40; ++u) {
        candidates.push_back(u);
    }
    Settings settings;
    settings.learningMode = 1;
    ScriptedRandom random({39, 39, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    CurrentSet set;
    const DrawResult result = DrawBatch(candidates, 10, units, settings, random, set);
    EXPECT_EQ(random.ranges.front(), 40);
    EXPECT_EQ(DrawnUnits(set, units), (std::vector<int>{40, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(result.status, "Wybrano do nauki: 10\n\rTryb: filtr");
}

TEST(DrawBatch, FewCandidatesAreTakenInOrderWithoutDrawing) {
    const UnitTable units = Words(10);
    Settings settings;
    settings.learningMode = 2;
    ScriptedRandom random({});
    CurrentSet set;
    const DrawResult result = DrawBatch({7, 3, 5, 1, 2, 9, 4}, 10, units, settings, random, set);
    EXPECT_TRUE(random.ranges.empty());
    EXPECT_EQ(DrawnUnits(set, units), (std::vector<int>{7, 3, 5, 1, 2, 9, 4}));
    EXPECT_TRUE(settings.proposeSentenceExercises);
    EXPECT_EQ(result.count, 7);
}

TEST(DrawBatch, APickThatKeepsHittingTakenPositionsIsReportedAndDropped) {
    const UnitTable units = Words(100);
    std::vector<int> candidates;
    for (int u = 1; u <= 100; ++u) {
        candidates.push_back(u);
    }
    Settings settings;
    ScriptedRandom random({}, 4);  // always position 4
    CurrentSet set;
    const DrawResult result = DrawBatch(candidates, 3, units, settings, random, set);
    EXPECT_EQ(DrawnUnits(set, units), (std::vector<int>{5}));
    EXPECT_EQ(result.failedPicks, 2);
    EXPECT_EQ(result.messages, (std::vector<std::string>(2, std::string(kDrawProblemMessage))));
    EXPECT_EQ(random.ranges.size(), 1U + 2U * kMaxPicks);
}

TEST(DrawBatch, NothingToDrawHidesTheStartButton) {
    const UnitTable units = Words(3);
    for (const int mode : {0, 1, 2}) {
        Settings settings;
        settings.learningMode = mode;
        SeededRandom random(1);
        CurrentSet set;
        const DrawResult result = DrawBatch({}, 10, units, settings, random, set);
        EXPECT_EQ(result.count, 0);
        EXPECT_FALSE(result.startVisible);
        EXPECT_EQ(result.status, mode == 1 ? kNoMaterialFilterMessage : kNoMaterialMessage);
    }
}

TEST(DrawButtons, FollowTheModeAndWhatIsNew) {
    struct Case {
        int mode;
        std::array<int, 4> newByType;
        bool draw, wordsPicture, sentenceDraw, filterOff;
        std::string status;
    };
    const Case cases[] = {
        {0, {0, 0, 5, 0}, false, true, true, false, ""},
        {0, {0, 0, 0, 2}, true, true, false, false, ""},
        {0, {0, 0, 0, 0}, false, true, false, false, ""},
        {1, {0, 0, 5, 0}, true, false, false, true, "Tryb: filtr"},
        {1, {0, 0, 0, 0}, false, false, false, true, "Tryb: filtr"},
        {2, {0, 0, 5, 0}, true, false, false, false, "Tryb: słówka i przykładowe zdania"},
    };
    for (const Case& c : cases) {
        NewMaterialCounts counts;
        counts.newByType = c.newByType;
        const DrawButtons b = DrawButtonsFor(c.mode, counts);
        EXPECT_EQ(b.drawVisible, c.draw) << c.mode;
        EXPECT_EQ(b.drawWordsPicture, c.wordsPicture) << c.mode;
        EXPECT_EQ(b.sentenceDrawVisible, c.sentenceDraw) << c.mode;
        EXPECT_EQ(b.filterOffVisible, c.filterOff) << c.mode;
        EXPECT_EQ(b.status, c.status);
    }
}

TEST(RepetitionPanel, ChooserAndTextsByDueCount) {
    struct Case {
        int due;
        std::string dueText;
        std::vector<int> entries;  // empty: no chooser
        int chosen;
        int amount;
    };
    const Case cases[] = {
        {1, "Do powtórzenia: 1 jednostka.", {}, 0, 1},
        {3, "Do powtórzenia: 3 jednostek.", {}, 0, 3},
        {40, "Do powtórzenia: 40 jednostek.", {}, 0, 40},
        {41, "Do powtórzenia: 41 jednostek.", {10, 20, 40, 41}, 41, 41},
        {60, "Do powtórzenia: 60 jednostek.", {10, 20, 40, 60}, 20, 20},
        {320,
         "Do powtórzenia: 320 jednostek.",
         {10, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 260, 280, 300},
         300,
         300},
    };
    for (const Case& c : cases) {
        const UnitTable units = Words(400);
        RepetitionStore store;
        for (int u = 1; u <= c.due; ++u) {
            Learn(store, units, u, false, kToday - 5, 3);
        }
        Learn(store, units, 390);  // learnt, not due
        const RepetitionPanel panel = RepetitionPanelFigures(store, kToday);
        EXPECT_TRUE(panel.panelVisible);
        EXPECT_EQ(panel.title, "Powtórki na dzień: " + FormatDate(kToday));
        EXPECT_EQ(panel.dueText, c.dueText);
        EXPECT_EQ(panel.dueTotal, c.due);
        EXPECT_TRUE(panel.startVisible);
        EXPECT_EQ(panel.chooserVisible, !c.entries.empty());
        EXPECT_EQ(panel.chooserEntries, c.entries);
        EXPECT_EQ(RepetitionAmount(panel, c.chosen), c.amount) << c.due;
    }
}

TEST(RepetitionPanel, WithoutRecordsThePanelHides) {
    const RepetitionStore store;
    const RepetitionPanel panel = RepetitionPanelFigures(store, kToday);
    EXPECT_FALSE(panel.panelVisible);
    EXPECT_FALSE(panel.startVisible);
    EXPECT_EQ(panel.dueText, "Do powtórzenia: 0 jednostek.");
}

}  // namespace
}  // namespace dyd
