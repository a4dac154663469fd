// The small figures of the session windows: the statistics after an exercise, the repetition
// overview by day, and the exercise kinds marked for a unit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"
#include "session/kind_marks.h"
#include "session/repetition_overview.h"
#include "session/statistics_figures.h"

namespace dyd {
namespace {

// ---- Statistics ----------------------------------------------------------------------------

TEST(StatisticsFiguresTest, LabelsPercentageAndGoBack) {
    struct Case {
        ExerciseScore score;
        const char* percentage;
        const char* progress;
        bool goBack;
    };
    const Case cases[] = {
        {{10, 0, 10, 10, 1}, " 100 %", " 10 / 10", false},
        {{20, 5, 10, 10, 2}, " 80 %", " 10 / 10", false},
        // Truncated: the history rounds the same score to 67.
        {{2, 1, 2, 2, 1}, " 66 %", " 2 / 2", false},
        // Whole-number arithmetic: 29 of 100 is 29, not 28.999... truncated.
        {{29, 0, 100, 100, 1}, " 29 %", " 100 / 100", false},
        {{4, 3, 10, 4, 1}, " 30 %", " 4 / 10", true},
        // Nothing planned and nothing answered: no division by zero.
        {{0, 0, 0, 0, 1}, " 0 %", " 0 / 0", false},
    };
    for (const Case& c : cases) {
        const StatisticsFigures f = ComputeStatisticsFigures(c.score);
        EXPECT_EQ(f.right, " " + std::to_string(c.score.right));
        EXPECT_EQ(f.wrong, " " + std::to_string(c.score.wrong));
        EXPECT_EQ(f.percentage, c.percentage) << c.progress;
        EXPECT_EQ(f.progress, c.progress);
        EXPECT_EQ(f.goBackVisible, c.goBack) << c.progress;
    }
}

// ---- Repetition overview -------------------------------------------------------------------

constexpr double kToday = 46000.0;

void Learnt(RepetitionStore& store, int unit, double first, double last, int interval) {
    RepetitionRecord& r = store.record(unit);
    r.unitId = unit;
    r.firstDate = first;
    r.lastDate = last;
    r.interval = interval;
    store.recordHighWater = std::max(store.recordHighWater, unit);
}

TEST(RepetitionOverviewTest, NoLearntUnits) {
    RepetitionStore store;
    const RepetitionOverview o = BuildRepetitionOverview(store, kToday);
    EXPECT_TRUE(o.lines.empty());
    EXPECT_EQ(o.earliestStart, kToday);
    EXPECT_EQ(o.startLabel, "Uczysz si\xEA od " + FormatDate(kToday) + ".");
}

TEST(RepetitionOverviewTest, CountsByDayFromTodayWithOverdueOnToday) {
    RepetitionStore store;
    Learnt(store, 1, kToday - 30, kToday - 10, 5);    // 5 days overdue
    Learnt(store, 2, kToday - 20, kToday - 10, 9);    // 1 day overdue
    Learnt(store, 3, kToday - 40, kToday - 10, 10);   // today
    Learnt(store, 4, kToday - 12, kToday - 2, 2);     // today
    Learnt(store, 5, kToday - 12, kToday - 12.5, 9);  // 3.5 days overdue, time of day included
    Learnt(store, 6, kToday - 5, kToday, 3);          // in 3 days
    Learnt(store, 7, kToday - 5, kToday, 800);        // the last day listed
    Learnt(store, 8, kToday - 5, kToday, 801);        // beyond the list
    Learnt(store, 9, kToday - 900, kToday, 3);        // in the trash: counted nowhere
    store.record(9).inTrash = 1;
    Learnt(store, 10, kToday - 800, kToday, 3);  // reset: unitId 0
    store.record(10).unitId = 0;

    const RepetitionOverview o = BuildRepetitionOverview(store, kToday);
    const std::vector<std::string> expected{FormatDate(kToday) + " - 5",
                                            FormatDate(kToday + 3) + " - 1",
                                            FormatDate(kToday + 800) + " - 1"};
    EXPECT_EQ(o.lines, expected);
    EXPECT_EQ(o.dayCounts[0], 5);
    EXPECT_EQ(o.earliestStart, kToday - 40);
    EXPECT_EQ(o.startLabel, "Uczysz si\xEA od " + FormatDate(kToday - 40) + ".");
}

TEST(RepetitionOverviewTest, RecordWithoutStartDateKeepsTheEarliestStart) {
    RepetitionStore store;
    Learnt(store, 1, 0, kToday - 3, 10);
    Learnt(store, 2, kToday - 7, kToday - 3, 10);
    EXPECT_EQ(BuildRepetitionOverview(store, kToday).earliestStart, kToday - 7);
}

// The chart's bars and the list's lines come from the same counters: every bar with units is
// the list's line of its date, and every line of the chart's 30 days is a bar.
TEST(RepetitionOverviewTest, ChartShowsTheListsFiguresForThirtyDaysFromToday) {
    RepetitionStore store;
    Learnt(store, 1, kToday - 30, kToday - 10, 5);  // 5 days overdue
    Learnt(store, 2, kToday - 20, kToday - 10, 9);  // 1 day overdue
    Learnt(store, 3, kToday - 9, kToday - 2, 2);    // today
    Learnt(store, 4, kToday - 9, kToday - 1, 2);    // tomorrow
    Learnt(store, 5, kToday - 9, kToday - 1, 2);    // tomorrow
    Learnt(store, 6, kToday - 9, kToday, 29);       // the chart's last day
    Learnt(store, 7, kToday - 9, kToday, 30);       // the list only
    Learnt(store, 8, kToday - 9, kToday, 1);        // in the trash
    store.record(8).inTrash = 1;

    const RepetitionOverview o = BuildRepetitionOverview(store, kToday);
    std::vector<std::string> fromChart;
    int total = 0;
    for (int d = 0; d < kForecastDays; ++d) {
        const ForecastDay& day = o.forecast[static_cast<std::size_t>(d)];
        EXPECT_EQ(day.date, kToday + d);
        total += day.count;
        if (day.count > 0) {
            fromChart.push_back(FormatDate(day.date) + " - " + std::to_string(day.count));
        }
    }
    EXPECT_EQ(fromChart, std::vector<std::string>(o.lines.begin(), o.lines.end() - 1));
    EXPECT_EQ(o.lines.back(), FormatDate(kToday + 30) + " - 1");
    EXPECT_EQ(total, 6);
    EXPECT_EQ(o.forecast[0].count, 3);
    EXPECT_EQ(o.forecast[0].overdue, 2);
    EXPECT_EQ(o.forecast[1].count, 2);
    EXPECT_EQ(o.forecast[1].overdue, 0);
    EXPECT_EQ(o.forecast[29].count, 1);
    EXPECT_EQ(o.forecastMax, 3);
}

TEST(RepetitionOverviewTest, BarCaptionsInPolish) {
    const double monday = DayNumber(2026, 12, 14);
    struct Case {
        int count;
        const char* text;
    };
    const Case counts[] = {{0, "0 jednostek"},    {1, "1 jednostka"},   {2, "2 jednostki"},
                           {4, "4 jednostki"},    {5, "5 jednostek"},   {12, "12 jednostek"},
                           {14, "14 jednostek"},  {22, "22 jednostki"}, {112, "112 jednostek"},
                           {104, "104 jednostki"}};
    for (const Case& c : counts) {
        EXPECT_EQ(UnitCountText(c.count), c.text);
    }
    const char* const days[] = {"pon 14.12", "wt 15.12",  "\x9Cr 16.12", "czw 17.12",
                                "pt 18.12",  "sob 19.12", "nie 20.12",   "pon 21.12"};
    for (int d = 0; d < 8; ++d) {
        EXPECT_EQ(ShortDayText(monday + d + 0.75), days[d]);
    }

    RepetitionStore store;
    Learnt(store, 1, monday - 30, monday - 10, 5);   // overdue
    Learnt(store, 2, monday - 30, monday - 10, 9);   // overdue
    Learnt(store, 3, monday - 30, monday - 10, 10);  // today
    for (int u = 4; u <= 15; ++u) {
        Learnt(store, u, monday - 30, monday - 1, 2);  // tomorrow
    }
    const RepetitionOverview o = BuildRepetitionOverview(store, monday);
    EXPECT_EQ(o.forecast[0].caption, "3 jednostki (pon 14.12, dzi\x9C), w tym 2 zaleg\xB3\x65");
    EXPECT_EQ(o.forecast[1].caption, "12 jednostek (wt 15.12)");
    EXPECT_EQ(o.forecast[1].axisLabel, "15.12");
    EXPECT_EQ(BuildRepetitionOverview(RepetitionStore(), monday).forecast[0].caption,
              "0 jednostek (pon 14.12, dzi\x9C)");
}

// ---- Exercise-kind marks -------------------------------------------------------------------

struct KindMarksFixture : ::testing::Test {
    void SetUp() override {
        for (std::int32_t kind : {1, 2, 3}) {
            Unit unit;
            unit.unitId = kind;
            unit.unitKind = kind;
            units.Append(unit);
        }
        for (auto& table : settings.learningKinds) {
            table.fill(false);
        }
        for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 16}) {
            settings.learningKinds[1][static_cast<std::size_t>(k)] = true;
        }
        for (int k : {10, 12, 18}) {
            settings.learningKinds[2][static_cast<std::size_t>(k)] = true;
        }
        settings.learningKinds[3][17] = true;
    }

    static std::vector<int> Kinds(const std::vector<KindMarkItem>& items) {
        std::vector<int> kinds;
        for (const KindMarkItem& item : items) {
            kinds.push_back(item.kind);
        }
        return kinds;
    }

    UnitTable units;
    Settings settings;
    RepetitionStore store;
};

TEST_F(KindMarksFixture, ListsOfferedKindsByTypeAndLanguage) {
    const std::vector<int> english{1, 2, 3, 4, 5, 6, 9, 16};
    const std::vector<int> german{1, 2, 3, 4, 5, 6, 7, 8, 9, 16};
    EXPECT_EQ(Kinds(BuildKindMarkItems(units, settings, 1, store, 1)), english);
    EXPECT_EQ(Kinds(BuildKindMarkItems(units, settings, 3, store, 1)), english);
    EXPECT_EQ(Kinds(BuildKindMarkItems(units, settings, 2, store, 1)), german);
    EXPECT_EQ(Kinds(BuildKindMarkItems(units, settings, 1, store, 2)),
              (std::vector<int>{10, 12, 18}));
    // Question items and unit numbers outside the table get no list.
    EXPECT_TRUE(BuildKindMarkItems(units, settings, 1, store, 3).empty());
    EXPECT_TRUE(BuildKindMarkItems(units, settings, 1, store, 0).empty());
    EXPECT_TRUE(BuildKindMarkItems(units, settings, 1, store, 4).empty());
}

TEST_F(KindMarksFixture, ItemsReadKindAndNameTickedByChosenKinds) {
    store.chosenKinds[1][4] = true;
    store.chosenKinds[1][16] = true;
    const auto items = BuildKindMarkItems(units, settings, 1, store, 1);
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].text, "1 - " + std::string(KindName(1)));
    EXPECT_EQ(items[7].text, "16 - " + std::string(KindName(16)));
    for (const KindMarkItem& item : items) {
        EXPECT_EQ(item.checked, item.kind == 4 || item.kind == 16) << item.kind;
    }
}

TEST_F(KindMarksFixture, ApplyingStoresEveryTickAndLeavesUnlistedKinds) {
    store.chosenKinds[1][4] = true;
    store.chosenKinds[1][7] = true;  // not listed in an English database
    auto items = BuildKindMarkItems(units, settings, 1, store, 1);
    for (KindMarkItem& item : items) {
        item.checked = item.kind == 9;
    }
    ApplyKindMarks(items, store, 1);
    for (int k = 1; k <= kKindSlots; ++k) {
        EXPECT_EQ(store.chosenKinds[1][static_cast<std::size_t>(k)], k == 9 || k == 7) << k;
    }
    // Unchecking everything clears the listed kinds.
    for (KindMarkItem& item : items) {
        item.checked = false;
    }
    ApplyKindMarks(items, store, 1);
    EXPECT_FALSE(store.chosenKinds[1][9]);
}

}  // namespace
}  // namespace dyd
