#pragma once

// How many learnt units fall due on each of the coming 801 days, and since when the learner has
// been learning.

#include <array>
#include <string>
#include <vector>

#include "core/repetitions.h"

namespace dyd {

inline constexpr int kOverviewDays = 801;  // offsets 0..800 from today

struct RepetitionOverview {
    // Units outside the trash due d days from today; overdue ones count at 0.
    std::array<int, kOverviewDays> dayCounts{};
    double earliestStart = 0;  // never later than today
    // "yyyy-mm-dd - n" for each day with a unit due, ascending.
    std::vector<std::string> lines;
    // "Uczysz się od " + date + ".", Windows-1250.
    std::string startLabel;
};

// A record without a start date (firstDate 0 or below, as some imported records have) does not
// move the earliest start to the year 1899.
RepetitionOverview BuildRepetitionOverview(const RepetitionStore& store, double today);

}  // namespace dyd
