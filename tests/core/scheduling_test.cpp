#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"

namespace dyd {
namespace {

constexpr double kToday = 45400;

// Unit 1 a word, 2 a sentence, 3 a QA item, 4 of no known kind, 5.. words; ids 1000 + number.
UnitTable Units(int count = 40) {
    UnitTable units;
    for (int u = 1; u <= count; ++u) {
        Unit unit;
        unit.unitId = 1000 + u;
        unit.unitKind = u == 2 ? kSentenceUnit : u == 3 ? kQaUnit : u == 4 ? 4 : kWordUnit;
        units.Append(unit);
    }
    return units;
}

struct Answer {
    int kind;
    int attempts;
    bool done;
};

PlanRow Row(int unit, std::initializer_list<Answer> answers) {
    PlanRow row;
    row.unitNumber = unit;
    for (const Answer& a : answers) {
        row.cells[static_cast<std::size_t>(a.kind)].attempts = a.attempts;
        row.cells[static_cast<std::size_t>(a.kind)].done = a.done ? 1 : 0;
    }
    return row;
}

SessionPlan Plan(std::initializer_list<PlanRow> rows, SessionMode mode = SessionMode::Learning) {
    SessionPlan plan;
    plan.rows = rows;
    plan.mode = mode;
    return plan;
}

RepetitionRecord Record(int u, double lastDate, int interval) {
    RepetitionRecord r;
    r.unitId = 1000 + u;
    r.firstDate = lastDate;
    r.lastDate = lastDate;
    r.repetitionNo = 3;
    r.interval = interval;
    r.factor = 2.0;
    return r;
}

// ---- Due units -------------------------------------------------------------------------------

TEST(Due, IsDueWhenLearntOutsideTheTrashAndTheIntervalHasRunOut) {
    struct Case {
        const char* what;
        std::int32_t unitId;
        double lastDate;
        int interval;
        std::uint8_t inTrash;
        bool due;
    };
    const Case cases[] = {
        {"due today", 1001, kToday - 3, 3, 0, true},
        {"overdue", 1001, kToday - 30, 3, 0, true},
        {"due tomorrow", 1001, kToday - 2, 3, 0, false},
        {"in the trash", 1001, kToday - 30, 3, 1, false},
        {"not learnt", 0, kToday - 30, 3, 0, false},
        {"never updated, id only", 1001, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RepetitionRecord r;
        r.unitId = c.unitId;
        r.lastDate = c.lastDate;
        r.interval = c.interval;
        r.inTrash = c.inTrash;
        EXPECT_EQ(IsDue(r, kToday), c.due);
    }
}

TEST(Due, TheDueListHoldsTheLowest300UnitNumbersAndTheTotalCountsAll) {
    RepetitionStore store;
    std::vector<int> expected;
    int total = 0;
    for (int u = 1; u <= 500; ++u) {
        // Every third unit is not due; of the others, 301 are due in all.
        const bool due = u % 3 != 0 && total < 301;
        store.record(u) = Record(u, kToday - 10, due ? 10 : 11);
        if (due) {
            ++total;
            if (expected.size() < 300) {
                expected.push_back(u);
            }
        }
    }
    store.record(600) = Record(600, kToday - 10, 1);  // beyond recordHighWater: not looked at
    store.recordHighWater = 500;
    const DueUnits due = CollectDueUnits(store, kToday);
    EXPECT_EQ(due.total, 301);
    EXPECT_EQ(due.units, expected);
}

TEST(Due, StepCountFollowsIntensityAndTheRepetitionSwitch) {
    struct Case {
        int intensity;
        bool oneInRepetitions;
        SessionMode mode;
        int steps;
    };
    const Case cases[] = {
        {0, false, SessionMode::Learning, 1},   {1, false, SessionMode::Learning, 2},
        {2, false, SessionMode::Learning, 4},   {3, false, SessionMode::Learning, 1},
        {-1, false, SessionMode::Learning, 1},  {2, true, SessionMode::Learning, 4},
        {2, false, SessionMode::Repetition, 4}, {2, true, SessionMode::Repetition, 1},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.intensity = c.intensity;
        settings.intensityOneInRepetitions = c.oneInRepetitions;
        EXPECT_EQ(StepCount(c.mode, settings), c.steps) << c.intensity << c.oneInRepetitions;
    }
}

TEST(Due, HistogramCountsUnitsByDaysUntilDue) {
    RepetitionStore store;
    const auto put = [&](int u, double lastDate, int interval, std::uint8_t trash = 0) {
        store.record(u) = Record(u, lastDate, interval);
        store.record(u).inTrash = trash;
    };
    put(1, kToday - 10, 5);    // overdue: today
    put(2, kToday, 0);         // today
    put(3, kToday - 1, 4);     // in 3 days
    put(4, kToday - 1, 4, 1);  // in the trash: nowhere
    put(5, kToday, 1499);      // the last day counted
    put(6, kToday, 1500);      // beyond
    put(7, kToday - 0.5, 3);   // 2.5 rounds to 2
    put(8, kToday + 0.5, 3);   // 3.5 rounds to 4
    put(9, std::nan(""), 3);   // no date: nowhere
    put(10, kToday, 3);
    store.record(10).unitId = 0;  // not learnt
    put(12, kToday, 3);           // beyond recordHighWater
    store.recordHighWater = 11;
    DueHistogram expected{};
    expected[0] = 2;
    expected[2] = 1;
    expected[3] = 1;
    expected[4] = 1;
    expected[1499] = 1;
    EXPECT_EQ(BuildDueHistogram(store, kToday), expected);
}

TEST(Due, RoundingTakesHalvesToEven) {
    const double cases[][2] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {-0.5, 0},
                               {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
    }
}

// ---- Determining kind ------------------------------------------------------------------------

TEST(Determining, TheSettingFirstThenTheFirstAnsweredKindOfTheUnitsList) {
    struct Case {
        const char* what;
        int unit;
        int wordSetting;
        int sentenceSetting;
        std::initializer_list<Answer> answers;
        int kind;
    };
    const Case cases[] = {
        {"word, setting answered", 1, 16, 12, {{16, 1, true}, {6, 1, true}}, 16},
        {"word, setting not answered", 1, 16, 12, {{4, 1, true}, {3, 2, false}}, 3},
        {"word, 6 before 16", 1, 9, 12, {{16, 1, true}, {6, 1, true}}, 6},
        {"word, only a sentence kind", 1, 6, 12, {{12, 1, true}}, 0},
        {"word, setting out of range", 1, 25, 12, {{2, 1, true}, {9, 1, true}}, 2},
        {"sentence, setting answered", 2, 6, 18, {{18, 1, true}, {12, 1, true}}, 18},
        {"sentence, order 12 18 17 10", 2, 6, 12, {{10, 1, true}, {17, 1, false}}, 17},
        {"sentence, only a word kind", 2, 6, 12, {{6, 1, true}}, 0},
        {"QA item", 3, 6, 12, {{17, 1, true}}, 17},
        {"QA item, only a word kind", 3, 6, 12, {{6, 1, true}}, 0},
        {"unknown unit kind", 4, 6, 12, {{6, 1, true}}, 0},
        {"unit number outside the table", 99, 6, 12, {{6, 1, true}}, 0},
        {"nothing answered", 1, 6, 12, {}, 0},
    };
    const UnitTable units = Units();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Settings settings;
        settings.determiningKindWords = c.wordSetting;
        settings.determiningKindSentences = c.sentenceSetting;
        EXPECT_EQ(DeterminingKind(Row(c.unit, c.answers), units, settings), c.kind);
    }
}

// ---- Full update -----------------------------------------------------------------------------

// One word unit through a series of sessions, each on the day the unit falls due; success is one
// right answer in kind 6, failure a wrong and then a right one. The expected values are worked
// out by hand.
TEST(FullUpdate, IntervalAndFactorSequences) {
    struct Case {
        const char* what;
        double frequencyFactor;
        std::vector<bool> success;
        std::vector<int> intervals;
        std::vector<double> factors;
    };
    const Case cases[] = {
        {"success every time",
         1.0,
         {true, true, true, true, true, true, true, true},
         {2, 3, 5, 10, 25, 75, 225, 675},
         {1.5, 1.8, 2.16, 2.592, 3.0, 3.0, 3.0, 3.0}},
        {"success every time, frequency 1.5",
         1.5,
         {true, true, true, true, true, true},
         {2, 4, 10, 32, 124, 558},
         {1.5, 1.8, 2.16, 2.592, 3.0, 3.0}},
        {"a failure drops to 2 days and divides the factor",
         1.0,
         {true, true, true, false, true, true},
         {2, 3, 5, 2, 3, 7},
         {1.5, 1.8, 2.16, 2.16 / 1.1, 2.16 / 1.1 * 1.2, 2.16 / 1.1 * 1.44}},
        {"a failed first session",
         1.0,
         {false, true, true, true},
         {1, 1, 1, 2},
         {1.5, 1.8, 2.16, 2.592}},
        {"failures only: never below 1.0",
         1.0,
         {false, false, false, false, false, false},
         {1, 2, 2, 2, 2, 2},
         {1.5, 1.5 / 1.1, 1.5 / 1.21, 1.5 / 1.331, 1.5 / 1.4641, 1.0}},
    };
    const UnitTable units = Units();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RepetitionStore store;
        Settings settings;
        settings.frequencyFactor = c.frequencyFactor;
        double day = kToday;
        for (std::size_t i = 0; i < c.success.size(); ++i) {
            SCOPED_TRACE(i);
            const PlanRow row = c.success[i] ? Row(1, {{6, 1, true}}) : Row(1, {{6, 2, true}});
            SessionEndUpdate(Plan({row}), units, store, settings, day);
            const RepetitionRecord& r = store.record(1);
            EXPECT_EQ(r.interval, c.intervals[i]);
            EXPECT_NEAR(r.factor, c.factors[i], 1e-12);
            EXPECT_EQ(r.repetitionNo, static_cast<int>(i) + 1);
            EXPECT_EQ(r.lastDate, day);
            EXPECT_EQ(r.firstDate, kToday);
            EXPECT_EQ(r.previousInterval, i == 0 ? 0 : c.intervals[i - 1]);
            EXPECT_EQ(r.unitId, 1001);
            day += r.interval;
        }
    }
}

TEST(FullUpdate, TheFirstSessionMakesTheUnitLearnt) {
    const UnitTable units = Units();
    Settings settings;
    for (const bool right : {true, false}) {
        SCOPED_TRACE(right);
        RepetitionStore store;
        store.record(5).factor = 2.7;  // a reset unit keeps its old factor: replaced by 1.5
        SessionEndUpdate(Plan({right ? Row(5, {{6, 1, true}}) : Row(5, {{6, 2, true}})}), units,
                         store, settings, kToday);
        const RepetitionRecord& r = store.record(5);
        EXPECT_EQ(r.unitId, 1005);
        EXPECT_EQ(r.repetitionNo, 1);
        EXPECT_EQ(r.interval, right ? 2 : 1);
        EXPECT_EQ(r.factor, 1.5);
        EXPECT_EQ(r.firstDate, kToday);
        EXPECT_EQ(r.lastDate, kToday);
        EXPECT_EQ(store.recordHighWater, 5);
        EXPECT_FALSE(IsDue(r, kToday + (right ? 1 : 0)));
        EXPECT_TRUE(IsDue(r, kToday + (right ? 2 : 1)));
        EXPECT_EQ(CollectDueUnits(store, kToday + 2).units, std::vector<int>{5});
    }
}

TEST(FullUpdate, GrowthIsTruncatedInExtendedPrecisionAndSaturates) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        std::int32_t interval;
        double factor;
        double frequency;
        std::int32_t grown;
    };
    const Case cases[] = {
        {10, 1.5, 1.2, 17},  // just below 18 in extended precision (18 in double)
        {5, 2.16, 1.0, 10},
        {3, 1.8, 1.0, 5},
        {1000000000, 3.0, 1.0, kMax},
        {kMax, 3.0, 4.0, kMax},
        {715827882, 3.0, 1.0, 2147483646},
        {-5, 1.5, 1.0, -7},
        {10, std::nan(""), 1.0, 1},
        {10, std::numeric_limits<double>::infinity(), 1.0, kMax},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GrowInterval(c.interval, c.factor, c.frequency), c.grown)
            << c.interval << " " << c.factor << " " << c.frequency;
    }

    // Through the update: a huge interval stays at the top of the range and out of the
    // histogram; a damaged record from a file starts again at one day.
    const UnitTable units = Units();
    RepetitionStore store;
    Settings settings;
    settings.frequencyFactor = 1.2;
    store.record(5) = Record(5, kToday - 10, 10);
    store.record(5).factor = 1.5;
    store.record(6) = Record(6, kToday - 10, 1000000000);
    store.record(6).factor = 3.0;
    store.record(7) = Record(7, kToday - 10, -40);
    store.record(7).factor = std::nan("");
    store.recordHighWater = 7;
    SessionEndUpdate(Plan({Row(5, {{6, 1, true}}), Row(6, {{6, 1, true}}), Row(7, {{6, 1, true}})}),
                     units, store, settings, kToday);
    EXPECT_EQ(store.record(5).interval, 17);
    EXPECT_EQ(store.record(6).interval, kMax);
    EXPECT_EQ(store.record(6).factor, 3.0);
    EXPECT_FALSE(IsDue(store.record(6), kToday + 1e9));
    EXPECT_EQ(store.record(7).interval, 1);
    EXPECT_EQ(store.record(7).factor, 1.0);
}

TEST(FullUpdate, SuccessNeedsExactlyStepCountAnswersAndMarkTwoExactlyOne) {
    const UnitTable units = Units();
    struct Case {
        const char* what;
        int intensity;
        SessionMode mode;
        Answer answer;
        int interval;
        std::uint8_t mark;
    };
    const Case cases[] = {
        {"step count 2: right, wrong, right, right", 1, SessionMode::Learning, {6, 4, true}, 2, 1},
        {"step count 2, flawless", 1, SessionMode::Learning, {6, 2, true}, 10, 1},
        {"step count 2, left unfinished", 1, SessionMode::Learning, {6, 2, false}, 2, 1},
        {"step count 1", 0, SessionMode::Learning, {6, 1, true}, 10, 2},
        {"repetition session with one step", 2, SessionMode::Repetition, {6, 1, true}, 10, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RepetitionStore store;
        store.record(5) = Record(5, kToday - 5, 5);  // factor 2.0
        store.recordHighWater = 5;
        Settings settings;
        settings.intensity = c.intensity;
        settings.frequencyFactor = 1.0;
        SessionEndUpdate(Plan({Row(5, {c.answer})}, c.mode), units, store, settings, kToday);
        EXPECT_EQ(store.record(5).interval, c.interval);
        EXPECT_EQ(store.record(5).kindMarks[5], c.mark);
    }
}

TEST(FullUpdate, MarksAreRewrittenAndBothFlagsCleared) {
    const UnitTable units = Units();
    RepetitionStore store;
    Settings settings;
    settings.knownInterval = 45;
    RepetitionRecord& r = store.record(5);
    r = Record(5, kToday - 5, 5);
    r.kindMarks = {2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1};
    r.knownFlag = 1;
    r.inTrash = 1;
    SessionEndUpdate(Plan({Row(5, {{6, 1, true}, {4, 3, true}, {2, 1, false}})}), units, store,
                     settings, kToday);
    const std::array<std::uint8_t, 18> marks = {0, 1, 0, 1, 0, 2, 0, 0, 0,
                                                0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(r.kindMarks, marks);
    EXPECT_EQ(r.knownFlag, 0);
    EXPECT_EQ(r.inTrash, 0);
    EXPECT_EQ(r.interval, 45);  // known: the interval of the setting
    EXPECT_EQ(r.previousInterval, 5);
}

TEST(SameDay, ASecondSessionOnTheSameDayOnlyMergesMarks) {
    const UnitTable units = Units();
    RepetitionStore store;
    Settings settings;
    RepetitionRecord& r = store.record(5);
    r = Record(5, kToday, 7);
    r.previousInterval = 3;
    r.kindMarks[5] = 1;  // kind 6
    r.kindMarks[2] = 2;  // kind 3
    r.knownFlag = 1;
    r.inTrash = 1;
    RepetitionRecord expected = r;
    expected.kindMarks[1] = 2;  // kind 2: was 0, one answer, done
    expected.kindMarks[3] = 1;  // kind 4: was 0, three answers
    expected.kindMarks[6] = 1;  // kind 7: was 0, one answer, not done
    SessionEndUpdate(Plan({Row(5, {{6, 1, true}, {2, 1, true}, {4, 3, true}, {7, 1, false}})}),
                     units, store, settings, kToday);
    EXPECT_EQ(r, expected);

    // One unit in two rows: the second row finds it updated today.
    RepetitionStore twice;
    SessionEndUpdate(Plan({Row(5, {{6, 1, true}}), Row(5, {{6, 2, true}, {16, 1, true}})}), units,
                     twice, settings, kToday);
    EXPECT_EQ(twice.record(5).interval, 2);
    EXPECT_EQ(twice.record(5).repetitionNo, 1);
    EXPECT_EQ(twice.record(5).kindMarks[5], 1);  // answered again: no longer at the first try
    EXPECT_EQ(twice.record(5).kindMarks[15], 2);
}

TEST(FullUpdate, RowsWithoutADecidingAnswerAreLeftAlone) {
    const UnitTable units = Units();
    RepetitionStore store;
    Settings settings;
    store.record(5) = Record(5, kToday - 10, 3);
    const RepetitionRecord before = store.record(5);
    SessionEndUpdate(Plan({Row(5, {{12, 1, true}}), Row(3, {{6, 1, true}}), Row(0, {})}), units,
                     store, settings, kToday);
    EXPECT_EQ(store.record(5), before);
    EXPECT_EQ(store.record(3).unitId, 0);
}

// ---- Load spreading --------------------------------------------------------------------------

TEST(LoadSpreading, MovesOffACrowdedDayByTheFirstRuleThatHolds) {
    struct Case {
        const char* what;
        int interval;
        std::vector<std::pair<int, int>> counts;  // day, units due
        int move;
    };
    const Case cases[] = {
        {"crowded, next day emptier by 11", 20, {{20, 21}, {21, 10}}, 1},
        {"next day emptier by 10 only, day after by 6", 20, {{20, 21}, {21, 11}, {22, 15}}, 2},
        {"20 units are not a crowd", 20, {{20, 20}}, 0},
        {"third day after", 11, {{11, 21}, {12, 21}, {13, 21}, {14, 15}}, 3},
        {"third day after needs more than 10 days",
         10,
         {{10, 21}, {11, 21}, {12, 21}, {13, 15}, {9, 21}, {8, 15}},
         0},
        {"day before", 10, {{10, 21}, {11, 21}, {12, 21}, {9, 15}}, -1},
        {"two days before", 12, {{12, 21}, {13, 21}, {14, 21}, {15, 21}, {11, 21}, {10, 15}}, -2},
        {"no neighbour differs enough",
         30,
         {{30, 21}, {31, 21}, {32, 21}, {33, 21}, {29, 21}, {28, 21}},
         0},
        {"5 days never move", 5, {{5, 100}}, 0},
        {"6 days move", 6, {{6, 100}}, 1},
        {"596 days move", 596, {{596, 100}}, 1},
        {"597 days never move", 597, {{597, 100}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DueHistogram h{};
        for (const auto& [day, count] : c.counts) {
            h[static_cast<std::size_t>(day)] = count;
        }
        EXPECT_EQ(SpreadLoad(h, c.interval), c.move);
    }
}

TEST(LoadSpreading, LaterRowsOfAPassSeeTheUnitsMovedBeforeThem) {
    // 20 units due in 10 days; two units of the session land on day 10 as well (interval 5,
    // factor 2.0): the first makes it 21, so the second is moved to day 11.
    const UnitTable units = Units();
    RepetitionStore store;
    Settings settings;
    settings.frequencyFactor = 1.0;
    for (int u = 10; u <= 29; ++u) {
        store.record(u) = Record(u, kToday - 1, 11);
    }
    store.record(5) = Record(5, kToday - 5, 5);
    store.record(6) = Record(6, kToday - 5, 5);
    store.record(7) = Record(7, kToday - 5, 5);
    store.record(7).inTrash = 1;  // not counted on day 0 or anywhere
    store.recordHighWater = 29;
    SessionEndUpdate(Plan({Row(5, {{6, 1, true}}), Row(6, {{6, 1, true}})}), units, store, settings,
                     kToday);
    EXPECT_EQ(store.record(5).interval, 10);
    EXPECT_EQ(store.record(6).interval, 11);
}

// ---- Unit actions ----------------------------------------------------------------------------

Settings ActionSettings() {
    Settings settings;
    settings.knownInterval = 30;
    for (const int k : {2, 4, 6}) {
        settings.learningKinds[kWordUnit][static_cast<std::size_t>(k)] = true;
    }
    settings.learningKinds[kSentenceUnit][12] = true;
    return settings;
}

PlanRow PlannedRow(int unit) {
    PlanRow row;
    row.unitNumber = unit;
    for (const int k : {2, 4, 6, 9}) {
        row.cells[static_cast<std::size_t>(k)].remaining = 2;
    }
    return row;
}

TEST(UnitActions, KnownInSessionGivesTheKnownIntervalAtSessionEnd) {
    const UnitTable units = Units();
    const Settings settings = ActionSettings();
    RepetitionStore store;
    SessionPlan plan = Plan({PlannedRow(5)});
    MarkKnownInSession(plan.row(1), units, store, settings, kToday);
    for (const int k : {2, 4, 6}) {
        const PlanEntry& cell = plan.row(1).cells[static_cast<std::size_t>(k)];
        EXPECT_EQ(cell.remaining, 0);
        EXPECT_EQ(cell.attempts, 1);
        EXPECT_EQ(cell.done, 1);
    }
    EXPECT_EQ(plan.row(1).cells[9].remaining, 2);  // not a learning kind of words here
    const RepetitionRecord& r = store.record(5);
    EXPECT_EQ(r.unitId, 1005);
    EXPECT_EQ(r.repetitionNo, 1);
    EXPECT_EQ(r.interval, 100);
    EXPECT_EQ(r.factor, 1.5);
    EXPECT_EQ(r.firstDate, kToday);
    EXPECT_EQ(r.knownFlag, 1);

    SessionEndUpdate(plan, units, store, settings, kToday);
    EXPECT_EQ(r.interval, 30);
    EXPECT_EQ(r.repetitionNo, 2);
    EXPECT_EQ(r.knownFlag, 0);
    EXPECT_EQ(r.kindMarks[5], 2);
}

TEST(UnitActions, KnownOnAUnitUpdatedTodayWaitsForTheNextFullUpdate) {
    const UnitTable units = Units();
    const Settings settings = ActionSettings();
    RepetitionStore store;
    store.record(5) = Record(5, kToday, 8);
    SessionPlan plan = Plan({PlannedRow(5)});
    MarkKnownInSession(plan.row(1), units, store, settings, kToday);
    EXPECT_EQ(store.record(5).repetitionNo, 3);  // learnt already: only the flag
    SessionEndUpdate(plan, units, store, settings, kToday);
    EXPECT_EQ(store.record(5).interval, 8);
    EXPECT_EQ(store.record(5).knownFlag, 1);
    SessionEndUpdate(Plan({Row(5, {{6, 2, true}})}), units, store, settings, kToday + 8);
    EXPECT_EQ(store.record(5).interval, 30);
    EXPECT_EQ(store.record(5).knownFlag, 0);
}

TEST(UnitActions, TrashDuringASessionStaysInTheTrash) {
    const UnitTable units = Units();
    const Settings settings = ActionSettings();
    RepetitionStore store;
    SessionPlan plan = Plan({PlannedRow(5)});
    MoveToTrashInSession(plan.row(1), units, store, settings, kToday);
    SessionEndUpdate(plan, units, store, settings, kToday);
    const RepetitionRecord& r = store.record(5);
    EXPECT_EQ(r.inTrash, 1);
    EXPECT_EQ(r.interval, 1);
    EXPECT_EQ(r.repetitionNo, 1);
    EXPECT_EQ(r.unitId, 1005);
    EXPECT_EQ(r.lastDate, kToday);
    EXPECT_FALSE(IsDue(r, kToday + 100));
    EXPECT_EQ(CollectDueUnits(store, kToday + 100).total, 0);
    EXPECT_EQ(BuildDueHistogram(store, kToday)[1], 0);

    // A learnt unit keeps its schedule in the trash; restoring it makes it due again.
    store.record(6) = Record(6, kToday - 20, 10);
    SessionPlan second = Plan({PlannedRow(6)});
    MoveToTrashInSession(second.row(1), units, store, settings, kToday);
    SessionEndUpdate(second, units, store, settings, kToday);
    EXPECT_EQ(store.record(6).interval, 10);
    EXPECT_EQ(store.record(6).repetitionNo, 3);
    RestoreFromTrash(store, 6);
    EXPECT_TRUE(IsDue(store.record(6), kToday + 10));
}

TEST(UnitActions, ResetStartsAgainOnlyWithADecidingAnswer) {
    const UnitTable units = Units();
    const Settings settings = ActionSettings();
    for (const bool answered : {true, false}) {
        SCOPED_TRACE(answered);
        RepetitionStore store;
        store.record(5) = Record(5, kToday - 30, 20);
        SessionPlan plan = Plan({PlannedRow(5)});
        if (answered) {
            plan.row(1).cells[6].attempts = 1;
            plan.row(1).cells[4].attempts = 3;
        }
        ResetInSession(plan.row(1), units, store, settings);
        for (const int k : {2, 4, 6}) {
            EXPECT_EQ(plan.row(1).cells[static_cast<std::size_t>(k)].remaining, 0);
            EXPECT_EQ(plan.row(1).cells[static_cast<std::size_t>(k)].done, 1);
        }
        EXPECT_EQ(plan.row(1).cells[4].attempts, answered ? 3 : 0);  // answers kept
        EXPECT_EQ(store.record(5).unitId, 0);
        SessionEndUpdate(plan, units, store, settings, kToday);
        const RepetitionRecord& r = store.record(5);
        if (answered) {
            EXPECT_EQ(r.unitId, 1005);
            EXPECT_EQ(r.repetitionNo, 1);
            EXPECT_EQ(r.interval, 2);
            EXPECT_EQ(r.factor, 1.5);
            EXPECT_EQ(r.firstDate, kToday);
        } else {
            EXPECT_EQ(r.unitId, 0);
            EXPECT_EQ(r.repetitionNo, 0);
            EXPECT_EQ(r.factor, 2.0);
        }
    }
}

}  // namespace
}  // namespace dyd
