#include "session/plan_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/scheduling.h"

namespace dyd {
namespace {

constexpr double kToday = 45400;

Unit Word(std::string foreign = "house") {
    Unit unit;
    unit.unitKind = kWordUnit;
    unit.foreignText = std::move(foreign);
    return unit;
}

Unit Sentence() {
    Unit unit;
    unit.unitKind = kSentenceUnit;
    unit.foreignText = "It is <my> house.";
    unit.sentenceTranslation = "To mój dom.";
    unit.distractors = "a|b";
    unit.recording = "z1";
    return unit;
}

Unit Qa() {
    Unit unit;
    unit.unitKind = kQaUnit;
    unit.foreignText = "Why?";
    return unit;
}

UnitTable Table(std::vector<Unit> list) {
    UnitTable units;
    int id = 500;
    for (Unit& unit : list) {
        unit.unitId = ++id;
        units.Append(std::move(unit));
    }
    return units;
}

std::vector<std::int32_t> AllUnits(const UnitTable& units) {
    std::vector<std::int32_t> out;
    for (int u = 1; u <= units.unitCount(); ++u) {
        out.push_back(u);
    }
    return out;
}

// The kinds of a row with remaining > 0, and their common count (-1 when they differ).
std::vector<int> Planned(const PlanRow& row, int* steps = nullptr) {
    std::vector<int> kinds;
    int common = 0;
    for (int k = 1; k <= kKindSlots; ++k) {
        const int r = row.cells[static_cast<std::size_t>(k)].remaining;
        if (r > 0) {
            kinds.push_back(k);
            common = common == 0 || common == r ? r : -1;
        }
    }
    if (steps != nullptr) {
        *steps = common;
    }
    return kinds;
}

std::vector<int> Kinds(int from, int to, std::initializer_list<int> more = {}) {
    std::vector<int> out;
    for (int k = from; k <= to; ++k) {
        out.push_back(k);
    }
    out.insert(out.end(), more);
    std::sort(out.begin(), out.end());
    return out;
}

Settings OnlyKinds(int type, std::initializer_list<int> kinds) {
    Settings settings;
    settings.learningKinds[static_cast<std::size_t>(type)].fill(false);
    for (const int k : kinds) {
        settings.learningKinds[static_cast<std::size_t>(type)][static_cast<std::size_t>(k)] = true;
    }
    return settings;
}

std::vector<int> ListKinds(const SessionPlan& plan) {
    std::vector<int> kinds;
    for (const PlanListItem& item : plan.list) {
        kinds.push_back(item.kind);
    }
    return kinds;
}

TEST(BuildPlan, InformationTextCountsEachType) {
    const UnitTable units = Table({Word(), Sentence(), Qa(), Word()});
    SessionPlan plan;
    const std::vector<std::int32_t> all = AllUnits(units);
    EXPECT_EQ(BuildPlan(all, SessionMode::Learning, units, {}, {}, {}, plan),
              "Wybrano 4 w tym:\n\rsłówka: 2\n\rtryb QA: 1\n\rzdania: 1");
    const std::vector<std::int32_t> one = {2};
    EXPECT_EQ(BuildPlan(one, SessionMode::Learning, units, {}, {}, {}, plan),
              "Wybrano 1 w tym:\n\rzdania: 1");
    EXPECT_EQ(plan.rowCount(), 1);
}

TEST(BuildPlan, GermanNounGetsEveryEnabledKindItCanTake) {
    Unit noun = Word("der Hund");
    noun.partOfSpeech = kNoun;
    noun.plural = "die Hunde";
    noun.recording = "d1";
    Unit silent = noun;
    silent.recording.clear();
    Unit english = noun;
    english.partOfSpeech = kVerb;  // no article choice for a verb
    const UnitTable units = Table({noun, silent, english});
    DatabaseParameters params;
    params.language = 2;
    params.pluralExercises = true;
    const Settings settings = OnlyKinds(kWordUnit, {1, 2, 3, 4, 5, 6, 7, 8, 9, 16});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Learning, units, params, settings, {}, plan);
    int steps = 0;
    EXPECT_EQ(Planned(plan.row(1), &steps), Kinds(1, 9, {16}));
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Planned(plan.row(2)), (std::vector<int>{2, 4, 6, 7, 8, 16}));
    EXPECT_EQ(Planned(plan.row(3)), (std::vector<int>{1, 2, 3, 4, 5, 6, 8, 9, 16}));

    params.pluralExercises = false;
    params.language = 1;
    BuildPlan(AllUnits(units), SessionMode::Learning, units, params, settings, {}, plan);
    EXPECT_EQ(Planned(plan.row(1)), (std::vector<int>{1, 2, 3, 4, 5, 6, 9, 16}));
    EXPECT_EQ(plan.currentKind, 0);
    EXPECT_EQ(plan.mode, SessionMode::Learning);
}

TEST(BuildPlan, AvailabilityFilters) {
    DatabaseParameters german;
    german.language = 2;
    german.pluralExercises = true;
    struct Case {
        const char* name;
        int kind;
        std::function<void(Unit&)> change;
        bool available;
    };
    const Case cases[] = {
        {"article with capital", 7, [](Unit& u) { u.foreignText = "Das Haus"; }, true},
        {"article of a non-noun", 7, [](Unit& u) { u.partOfSpeech = kVerb; }, false},
        {"noun without article", 7, [](Unit& u) { u.foreignText = "Haus"; }, false},
        {"plural missing", 8, [](Unit& u) { u.plural.clear(); }, false},
        {"no wrong answers", 10, [](Unit& u) { u.distractors.clear(); }, false},
        {"no marked phrase", 11, [](Unit& u) { u.foreignText = "Haus"; }, false},
        {"no gap", 12, [](Unit& u) { u.foreignText = "Haus"; }, false},
        {"no translation", 13, [](Unit& u) { u.sentenceTranslation.clear(); }, false},
        {"no translation", 14, [](Unit& u) { u.sentenceTranslation.clear(); }, false},
        {"blank recording", 15, [](Unit& u) { u.recording = "  "; }, false},
        {"blank recording", 1, [](Unit& u) { u.recording = "  "; }, true},
        {"no recording", 9, [](Unit& u) { u.recording.clear(); }, false},
        {"dictation of a sentence", 5, [](Unit& u) { u.unitKind = kSentenceUnit; }, false},
        {"self-assessment of a sentence", 16, [](Unit& u) { u.unitKind = kSentenceUnit; }, false},
    };
    for (const Case& c : cases) {
        Unit unit = Word("das <Haus>");
        unit.partOfSpeech = kNoun;
        unit.plural = "Häuser";
        unit.distractors = "x";
        unit.sentenceTranslation = "dom";
        unit.recording = "h1";
        ASSERT_TRUE(KindAvailable(c.kind, unit, german)) << c.name;
        c.change(unit);
        EXPECT_EQ(KindAvailable(c.kind, unit, german), c.available) << c.name;
    }
    EXPECT_FALSE(KindAvailable(17, Word(), german));
    EXPECT_TRUE(KindAvailable(17, Qa(), german));
}

TEST(BuildPlan, SentenceRowsNeverDictationNorTyping) {
    Settings settings;
    settings.learningKinds[2].fill(true);
    settings.repetitionKindRule.fill(1);
    const UnitTable units = Table({Sentence()});
    for (const SessionMode mode : {SessionMode::Learning, SessionMode::Repetition}) {
        SessionPlan plan;
        BuildPlan(AllUnits(units), mode, units, {}, settings, {}, plan);
        const std::vector<int> kinds = Planned(plan.row(1));
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 5), 0);
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 6), 0);
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 12), 1);
    }
}

TEST(BuildPlan, EveryRowGetsAtLeastItsSelfAssessment) {
    // Words may only do dictation, sentences only gap filling, neither of which they can take.
    Settings settings = OnlyKinds(kWordUnit, {5});
    settings.learningKinds[2].fill(false);
    settings.learningKinds[2][12] = true;
    settings.learningKinds[3].fill(false);
    Unit sentence = Sentence();
    sentence.foreignText = "No gap here.";
    const UnitTable units = Table({Word(), sentence, Qa()});
    for (const SessionMode mode : {SessionMode::Learning, SessionMode::Repetition}) {
        settings.repetitionKindRule.fill(2);
        settings.determiningKindWords = 5;
        settings.determiningKindSentences = 12;
        SessionPlan plan;
        BuildPlan(AllUnits(units), mode, units, {}, settings, {}, plan);
        EXPECT_EQ(Planned(plan.row(1)), (std::vector<int>{16}));
        EXPECT_EQ(Planned(plan.row(2)), (std::vector<int>{18}));
        EXPECT_EQ(Planned(plan.row(3)), (std::vector<int>{17}));
    }
}

TEST(BuildPlan, StepCountFollowsIntensityAndMode) {
    struct Case {
        SessionMode mode;
        int intensity;
        bool oneInRepetitions;
        int steps;
    };
    const Case cases[] = {
        {SessionMode::Learning, 0, true, 1},    {SessionMode::Learning, 1, true, 2},
        {SessionMode::Learning, 2, true, 4},    {SessionMode::Learning, 7, false, 1},
        {SessionMode::Repetition, 2, true, 1},  {SessionMode::Repetition, 2, false, 4},
        {SessionMode::Repetition, 1, false, 2},
    };
    const UnitTable units = Table({Word(), Sentence(), Qa()});
    for (const Case& c : cases) {
        Settings settings;
        settings.intensity = c.intensity;
        settings.intensityOneInRepetitions = c.oneInRepetitions;
        settings.repetitionKindRule.fill(1);
        SessionPlan plan;
        BuildPlan(AllUnits(units), c.mode, units, {}, settings, {}, plan);
        for (int row = 1; row <= 3; ++row) {
            int steps = 0;
            EXPECT_FALSE(Planned(plan.row(row), &steps).empty());
            EXPECT_EQ(steps, c.steps) << c.intensity << " row " << row;
        }
    }
}

TEST(BuildPlan, RepetitionRulesChooseTheKindsOfEachUnit) {
    // Words 1..4 with the marks and chosen kinds below; word kinds 2 and 4 follow rules, kind 6
    // decides. Unit 5 is a QA unit.
    const UnitTable units = Table({Word(), Word(), Word(), Word(), Qa()});
    RepetitionStore store;
    store.record(1).mark(2) = 1;
    store.record(2).mark(2) = 2;  // completed in one answer: not "unaccepted"
    store.chosenKinds[3][2] = true;
    store.record(4).mark(4) = 1;
    store.chosenKinds[4][4] = true;
    struct Case {
        int rule;
        std::vector<std::vector<int>> expected;  // kinds of rows 1..4
    };
    const Case cases[] = {
        {0, {{2, 6}, {6}, {6}, {4, 6}}},    {1, {{2, 4, 6}, {2, 4, 6}, {2, 4, 6}, {2, 4, 6}}},
        {2, {{6}, {6}, {6}, {6}}},          {3, {{6}, {6}, {2, 6}, {4, 6}}},
        {4, {{2, 6}, {6}, {2, 6}, {4, 6}}},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.repetitionKindRule.fill(2);
        settings.repetitionKindRule[2] = c.rule;
        settings.repetitionKindRule[4] = c.rule;
        settings.determiningKindWords = 6;
        SessionPlan plan;
        BuildPlan(AllUnits(units), SessionMode::Repetition, units, {}, settings, store, plan);
        for (int row = 1; row <= 4; ++row) {
            EXPECT_EQ(Planned(plan.row(row)), c.expected[static_cast<std::size_t>(row - 1)])
                << "rule " << c.rule << " row " << row;
        }
        EXPECT_EQ(Planned(plan.row(5)), (std::vector<int>{17}));
    }
}

TEST(BuildPlan, RepetitionKindOrderAndList) {
    Settings settings;
    settings.determiningKindWords = 6;
    settings.determiningKindSentences = 12;
    settings.repetitionKindRule.fill(1);
    const UnitTable units = Table({Word()});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Repetition, units, {}, settings, {}, plan);
    const std::array<int, kKindSlots + 1> order = {0, 6, 12, 17, 16, 18, 1, 2,  3,  4, 5,
                                                   0, 7, 8,  9,  10, 11, 0, 13, 14, 15};
    EXPECT_EQ(plan.kindOrder, order);

    // With every kind to do, the list reads in slot order 1..9, 16, 17, 10..15, 18..20.
    for (int k = 1; k <= kKindSlots; ++k) {
        plan.row(1).cells[static_cast<std::size_t>(k)].remaining = 1;
    }
    RefreshPlanList(plan);
    EXPECT_EQ(ListKinds(plan),
              (std::vector<int>{6, 12, 17, 16, 18, 1, 2, 3, 4, 11, 5, 7, 8, 9, 10, 13, 14, 15}));
}

TEST(BuildPlan, RepetitionKindOrderWhenSelfAssessmentsDecide) {
    Settings settings;
    settings.determiningKindWords = 16;
    settings.determiningKindSentences = 18;
    settings.repetitionKindRule.fill(2);
    settings.repetitionKindRule[4] = 0;
    const UnitTable units = Table({Word()});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Repetition, units, {}, settings, {}, plan);
    const std::array<int, kKindSlots + 1> order = {0, 16, 18, 17, 4};
    EXPECT_EQ(plan.kindOrder, order);
}

TEST(RefreshPlanList, LearningListOrderAndTexts) {
    SessionPlan plan;
    plan.rows.resize(2);
    for (int k = 1; k <= kKindSlots; ++k) {
        plan.kindOrder[static_cast<std::size_t>(k)] = k;
        if (k <= 18) {
            plan.row(1).cells[static_cast<std::size_t>(k)].remaining = 1;
        }
    }
    plan.row(2).cells[3].remaining = 2;
    const PlanListView view = RefreshPlanList(plan);
    EXPECT_EQ(ListKinds(plan),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 10, 11, 12, 13, 14, 15, 18}));
    EXPECT_EQ(PlanItemText(plan.list[2]), " - Rozumienie ze słuchu (2)");
    EXPECT_EQ(PlanItemText(plan.list[9]), " - Samoocena (1)");
    EXPECT_EQ(view.selected, 0);
    EXPECT_TRUE(view.startVisible);
    EXPECT_TRUE(view.presentationVisible);
    EXPECT_EQ(view.title, "Rodzaje ćwiczeń");
    EXPECT_FALSE(view.finished);
}

TEST(RefreshPlanList, AFinishedKindStaysListedWithCountZero) {
    const UnitTable units = Table({Word(), Word()});
    Settings settings = OnlyKinds(kWordUnit, {2, 6});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Learning, units, {}, settings, {}, plan);
    RefreshPlanList(plan);
    ASSERT_EQ(ListKinds(plan), (std::vector<int>{2, 6}));
    // The runner finished kind 2 for both rows.
    for (PlanRow& row : plan.rows) {
        row.cells[2] = {0, 1, 1};
    }
    PlanListView view = RefreshPlanList(plan);
    ASSERT_EQ(plan.list.size(), 2U);
    EXPECT_FALSE(view.allDone);
    EXPECT_EQ(plan.list[0].rowsToDo, 0);
    EXPECT_EQ(PlanItemText(plan.list[0]), " - Rozumienie tekstu (0)");
    EXPECT_EQ(view.selected, 1);
    int stepId = 1;
    EXPECT_FALSE(CanStart(plan, 0));
    EXPECT_FALSE(StartKind(plan, 0, stepId));
    EXPECT_EQ(plan.currentKind, 0);
    EXPECT_TRUE(StartKind(plan, 1, stepId));
    EXPECT_EQ(plan.currentKind, 6);
    EXPECT_EQ(stepId, 6);

    for (PlanRow& row : plan.rows) {
        row.cells[6] = {0, 1, 1};
    }
    view = RefreshPlanList(plan);
    EXPECT_EQ(view.selected, -1);
    EXPECT_FALSE(view.startVisible);
    EXPECT_FALSE(view.finished);
    EXPECT_TRUE(view.allDone);
    EXPECT_FALSE(PlanHasWorkLeft(plan));
}

TEST(RefreshPlanList, EmptyPlanEndsAtOnce) {
    SessionPlan plan;
    for (int k = 1; k <= kKindSlots; ++k) {
        plan.kindOrder[static_cast<std::size_t>(k)] = k;
    }
    const PlanListView view = RefreshPlanList(plan);
    EXPECT_TRUE(view.finished);
    EXPECT_FALSE(view.allDone);
    EXPECT_EQ(view.title, "Koniec!");
    EXPECT_FALSE(view.presentationVisible);
    int stepId = 0;
    EXPECT_FALSE(StartPresentation(plan, stepId));
    EXPECT_EQ(stepId, kPresentationStep);
}

TEST(RefreshPlanList, NoPresentationInARepetitionSession) {
    const UnitTable units = Table({Word()});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Repetition, units, {}, {}, {}, plan);
    const PlanListView view = RefreshPlanList(plan);
    EXPECT_FALSE(view.finished);
    EXPECT_FALSE(view.presentationVisible);
}

TEST(EndSession, NoRepetitionsTickKeepsRecordsOnlyInALearningSession) {
    const UnitTable units = Table({Word(), Word()});
    Settings settings;
    settings.showSummary = true;
    for (const SessionMode mode : {SessionMode::Learning, SessionMode::Repetition}) {
        SessionPlan plan;
        BuildPlan(AllUnits(units), mode, units, {}, settings, {}, plan);
        for (PlanRow& row : plan.rows) {
            for (PlanEntry& cell : row.cells) {
                cell = cell.remaining > 0 ? PlanEntry{0, 1, 1} : cell;
            }
        }
        RepetitionStore store;
        const SessionEndResult ticked = EndSession(plan, true, units, store, settings, kToday);
        if (mode == SessionMode::Learning) {
            EXPECT_FALSE(ticked.updated);
            EXPECT_FALSE(ticked.showSummary);
            EXPECT_EQ(store.record(1), RepetitionRecord{});
        } else {
            EXPECT_TRUE(ticked.updated);
            EXPECT_TRUE(ticked.showSummary);
        }
        RepetitionStore fresh;
        const SessionEndResult result = EndSession(plan, false, units, fresh, settings, kToday);
        EXPECT_TRUE(result.updated);
        EXPECT_TRUE(result.showSummary);
        EXPECT_EQ(fresh.record(1).unitId, units.unit(1).unitId);
        EXPECT_EQ(fresh.record(1).lastDate, kToday);
    }
}

TEST(EndSession, SummaryOnlyAfterAnswersAndWhenAsked) {
    const UnitTable units = Table({Word()});
    SessionPlan plan;
    BuildPlan(AllUnits(units), SessionMode::Learning, units, {}, {}, {}, plan);
    Settings settings;
    settings.showSummary = true;
    RepetitionStore store;
    EXPECT_FALSE(EndSession(plan, false, units, store, settings, kToday).showSummary);
    plan.row(1).cells[2].attempts = 1;
    EXPECT_TRUE(EndSession(plan, false, units, store, settings, kToday).showSummary);
    settings.showSummary = false;
    EXPECT_FALSE(EndSession(plan, false, units, store, settings, kToday).showSummary);
}

}  // namespace
}  // namespace dyd
