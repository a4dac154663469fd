#pragma once

// How many learnt units fall due on each of the coming 801 days, and since when the learner has
// been learning.

#include <array>
#include <string>
#include <vector>

#include "core/repetitions.h"

namespace dyd {

inline constexpr int kOverviewDays = 801;  // offsets 0..800 from today
// The chart over the list: today and the 29 days after it.
inline constexpr int kForecastDays = 30;

// One bar of the chart, read from the same day counters as the list.
struct ForecastDay {
    double date = 0;
    int count = 0;    // the list's figure for this date (0 when the list has no line)
    int overdue = 0;  // of count, units whose day has passed (today's bar only)
    // "12 jednostek (pon 14.12)", today's "5 jednostek (pt 11.12, dziś), w tym 3 zaległe";
    // Windows-1250.
    std::string caption;
    std::string axisLabel;  // "14.12"
};

struct RepetitionOverview {
    // Units outside the trash due d days from today; overdue ones count at 0.
    std::array<int, kOverviewDays> dayCounts{};
    double earliestStart = 0;  // never later than today
    // "yyyy-mm-dd - n" for each day with a unit due, ascending.
    std::vector<std::string> lines;
    // "Uczysz się od " + date + ".", Windows-1250.
    std::string startLabel;
    // Units due on each day of the chart; overdue units count into today, as on the list.
    std::array<ForecastDay, kForecastDays> forecast{};
    int forecastMax = 0;  // the highest bar
};

// A record without a start date (firstDate 0 or below, as some imported records have) does not
// move the earliest start to the year 1899.
RepetitionOverview BuildRepetitionOverview(const RepetitionStore& store, double today);

// "1 jednostka", "3 jednostki", "12 jednostek", "22 jednostki".
std::string UnitCountText(int count);
// "pon 14.12": the Polish weekday's short name and the day and month; Windows-1250.
std::string ShortDayText(double date);

}  // namespace dyd
