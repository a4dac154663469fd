// The chooser's figures: sections and the sets of a section from the exercise history, whether a
// set can be loaded, and the learner's results by group with the statistics panel.

#include "session/set_chooser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/repetitions.h"
#include "core/unit_table.h"
#include "support.h"

namespace dyd {
namespace {

using test::TempDir;
using test::WriteBytes;

HistoryRecord Record(const std::string& id, int kind, int percent, int count) {
    HistoryRecord r = MakeCatalogueEntry(id, "set " + id, kUserSetCategory, 46000.0);
    r.kind = static_cast<std::uint8_t>(kind);
    r.percent = static_cast<std::uint8_t>(percent);
    r.count = count;
    return r;
}

HistoryRecord Blank() {
    HistoryRecord r = Record("101-1", 4, 50, 1);
    r.id.clear();
    r.group.clear();
    return r;
}

std::vector<Group> Groups(std::initializer_list<std::pair<int, const char*>> list) {
    std::vector<Group> groups;
    for (const auto& [id, name] : list) {
        Group g;
        g.groupId = id;
        g.name = name;
        groups.push_back(g);
    }
    return groups;
}

TEST(SetChooserTest, GroupKeyPadsToTwoDigits) {
    EXPECT_EQ(GroupKey(3), "03");
    EXPECT_EQ(GroupKey(12), "12");
    EXPECT_EQ(GroupKey(100), "100");
}

TEST(SetChooserTest, SectionsAreTheGroupsThatHoldSetsInGroupListOrder) {
    ExerciseHistory history;
    history.records = {Record("207-2-0001", 82, 0, 0), Record("103-1", 80, 0, 0), Blank(),
                       Record("203-2-0004", 82, 0, 0)};
    // Group 1 only has a blank record; group 5 none; 7 and 3 hold sets, listed as the group
    // list orders them.
    const auto sections =
        SetSections(history, Groups({{7, "Pogoda"}, {1, "Rodzina"}, {5, "Praca"}, {3, "Jedzenie"}}));
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].groupId, 7);
    EXPECT_EQ(sections[0].name, "Pogoda");
    EXPECT_EQ(sections[1].groupId, 3);
    EXPECT_TRUE(SetSections(ExerciseHistory{}, Groups({{1, "a"}})).empty());
}

TEST(SetChooserTest, RunsOfASetAreOneEntryWithTheirAveragePercent) {
    ExerciseHistory history;
    history.records = {
        Record("103-1", 80, 0, 0),          // 1: never exercised
        Record("105-1", 80, 0, 0),          // 2: another group
        Record("103-2", 4, 90, 1),          // 3: run of two kinds ...
        Record("103-2", 6, 75, 2),          // 4: ... average 165 / 2 = 82
        Blank(),                            // 5
        Record("203-1-0001", 3, 100, 1),    // 6: a user set of the same group
    };
    const auto sets = SetsOfSection(history, "03");
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].record, 1);
    EXPECT_EQ(sets[0].averagePercent, 0);
    EXPECT_FALSE(SetDone(history.records[0]));
    EXPECT_EQ(sets[1].record, 4);
    EXPECT_EQ(sets[1].averagePercent, 82);
    EXPECT_TRUE(SetDone(history.records[3]));
    EXPECT_EQ(sets[2].record, 6);
    EXPECT_EQ(sets[2].averagePercent, 100);
    EXPECT_TRUE(SetsOfSection(history, "04").empty());
    EXPECT_TRUE(UserSetId("203-1-0001"));
    EXPECT_FALSE(UserSetId("103-2"));
    EXPECT_FALSE(UserSetId(""));
}

TEST(SetChooserTest, ASectionListsAtMostThreeHundredSets) {
    ExerciseHistory history;
    for (int i = 0; i < 320; ++i) {
        history.records.push_back(Record("201-1-" + std::to_string(1000 + i), 82, 0, 0));
    }
    const auto sets = SetsOfSection(history, "01");
    ASSERT_EQ(sets.size(), static_cast<std::size_t>(kMaxChooserSets));
    EXPECT_EQ(sets.back().record, kMaxChooserSets);
}

TEST(SetChooserTest, ProbeSaysWhyASetCannotBeLoaded) {
    TempDir dir;
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseDir = dir.path() + "db/ang/";
    UnitTable units;
    Unit word;
    word.unitId = 10101;
    units.Append(word);
    WriteBytes(paths.databaseDir + "cwa_s.txt",
               test::CrLf({"7=101-1=Rodzina=10101=10102", "7=102-1=Dom=55555"}));

    struct Case {
        const char* id;
        SetProblem problem;
    };
    const Case cases[] = {
        {"101-1", SetProblem::None},
        {"102-1", SetProblem::NoUnits},    // its unit is gone from the database
        {"103-1", SetProblem::NotInFile},  // no line
        {"201-1-0001", SetProblem::NotInFile},  // no user set file at all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProbeSet(paths, 1, c.id, units), c.problem) << c.id;
    }
    // A language without a shipped set file.
    EXPECT_EQ(ProbeSet(paths, 8, "101-1", units), SetProblem::NotInFile);
    EXPECT_EQ(SetProblemText(SetProblem::NoUnits, "Dom"),
              "Nie można wczytać ćwiczenia \"Dom\": baza nie zawiera żadnej z jego jednostek.");
    EXPECT_TRUE(SetProblemText(SetProblem::None, "Dom").empty());
    EXPECT_EQ(DeleteSetQuestion("Moje"), "Czy chcesz usunąć Ćwiczenie: Moje ?");
}

TEST(SetChooserTest, PercentsAndBarsRoundHalfToEvenWithinTheirFrame) {
    struct Case {
        int counted, units, percent, bar;
    };
    const Case cases[] = {
        {8, 40, 20, 15},   {10, 40, 25, 19},  // 18.75 -> 19
        {1, 8, 12, 9},     // 12.5 -> 12; 9.375 -> 9
        {3, 8, 38, 28},    // 37.5 -> 38; 28.125 -> 28
        {1, 6, 17, 12},    // 16.67; 12.5 -> 12
        {0, 0, 0, 0},      {5, 0, 0, 0},  // no units: no division
        {7, 5, 100, 75},   // more counted than units never passes the frame
        {-1, 5, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WholePercent(c.counted, c.units), c.percent) << c.counted << "/" << c.units;
        EXPECT_EQ(BarFill(c.counted, c.units), c.bar) << c.counted << "/" << c.units;
    }
}

// A table of units and their records: 40 units in group 2 (10 learnt, 2 of them in the trash,
// 4 with a long interval), 3 units of other kinds, levels and parts of speech, and a group
// without units.
struct ResultsFixture {
    UnitTable units;
    RepetitionStore store{60};
    std::vector<Group> groups = Groups({{1, "Pusta"}, {2, "Dom"}, {4, "Inne"}});

    ResultsFixture() {
        for (int i = 0; i < 40; ++i) {
            Unit u;
            u.unitId = 10000 + i;
            u.groupId = 2;
            u.level = 1 + i % 2;        // levels 1 and 2
            u.partOfSpeech = i < 20 ? 1 : 3;
            units.Append(u);
            if (i < 10) {
                RepetitionRecord& r = store.record(i + 1);
                r.unitId = u.unitId;
                r.inTrash = i < 2 ? 1 : 0;
                r.interval = i < 6 ? 30 : 2;  // 4 mastered outside the trash (2..5)
            }
        }
        Unit sentence;
        sentence.unitId = 30000;
        sentence.unitKind = kSentenceUnit;
        sentence.groupId = 4;
        sentence.level = 0;         // outside 1..4
        sentence.partOfSpeech = 9;  // outside the panel's parts
        units.Append(sentence);
        Unit qa = sentence;
        qa.unitId = 30001;
        qa.unitKind = kQaUnit;
        qa.level = 4;
        qa.partOfSpeech = 6;
        units.Append(qa);
        store.record(42).unitId = 30001;
        store.record(42).interval = 100;
        Unit stray = qa;  // a group the group list does not hold counts only in the totals
        stray.unitId = 30002;
        stray.groupId = 77;
        stray.partOfSpeech = 2;
        units.Append(stray);
    }
};

TEST(SetChooserTest, LearntAndMasteredResultsByGroup) {
    ResultsFixture f;
    const Results learnt = ComputeResults(f.units, f.groups, f.store, 6, ResultsView::Learnt);
    ASSERT_EQ(learnt.groups.size(), 3u);
    EXPECT_EQ(learnt.groups[0].percent, 0);  // the empty group is listed, at 0%
    EXPECT_EQ(learnt.groups[0].count.units, 0);
    EXPECT_EQ(learnt.groups[1].count.units, 40);
    EXPECT_EQ(learnt.groups[1].count.counted, 8);  // the trash does not count
    EXPECT_EQ(learnt.groups[1].percent, 20);
    EXPECT_EQ(learnt.groups[1].barWidth, 15);
    EXPECT_EQ(learnt.groups[2].percent, 50);  // 1 of 2

    const Results mastered = ComputeResults(f.units, f.groups, f.store, 6, ResultsView::Mastered);
    EXPECT_EQ(mastered.groups[1].count.counted, 4);
    EXPECT_EQ(mastered.groups[1].percent, 10);
    EXPECT_EQ(mastered.groups[1].text, "Umiesz 4 z 40 jednostek.");
    // With a higher threshold the long intervals are no longer above it.
    EXPECT_EQ(ComputeResults(f.units, f.groups, f.store, 30, ResultsView::Mastered)
                  .groups[1]
                  .count.counted,
              0);
}

TEST(SetChooserTest, PanelLinesCountLevelsPartsOfSpeechAndTypes) {
    ResultsFixture f;
    const Results learnt = ComputeResults(f.units, f.groups, f.store, 6, ResultsView::Learnt);
    const std::vector<PanelLine> lines = PanelLines(learnt.counters);
    struct Expected {
        int y;
        const char* text;
        int bar;
    };
    // Levels 3 (no units) and the sentence's level 0 are left out; part of speech 9 too.
    const Expected expected[] = {
        {0, "Wszystkich 9 z 43", 16},
        {16, "Poziom 1: 4 z 20", 15},
        {32, "Poziom 2: 4 z 20", 15},
        {48, "Poziom 4: 1 z 2", 38},  // 37.5 -> 38
        {74, "Rzeczowniki: 8 z 20", 30},
        {90, "Przymiotniki: 0 z 1", 0},
        {106, "Przysłówki: 1 z 1", 75},
        {122, "Czasowniki: 0 z 20", 0},
        {148, "Słówka: 8 z 40", 15},
        {164, "Tryb QA: 1 z 2", 38},
        {180, "Zdania: 0 z 1", 0},
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].y, expected[i].y) << i;
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
        EXPECT_EQ(lines[i].barWidth, expected[i].bar) << i;
    }
    // A database without units: the total alone, at 0.
    const std::vector<PanelLine> empty = PanelLines(ResultsCounters{});
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].text, "Wszystkich 0 z 0");
    EXPECT_EQ(empty[0].barWidth, 0);
}

}  // namespace
}  // namespace dyd
