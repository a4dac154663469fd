#include "session/repetition_overview.h"

#include <algorithm>
#include <cmath>

#include "core/datetime.h"
#include "core/scheduling.h"

namespace dyd {
namespace {

// The Polish plural of a count: one, few (2-4, 22-24, ... but not 12-14) or many.
const char* PluralForm(int count, const char* one, const char* few, const char* many) {
    if (count == 1) {
        return one;
    }
    const int tens = count % 100;
    const int last = count % 10;
    if (last >= 2 && last <= 4 && (tens < 12 || tens > 14)) {
        return few;
    }
    return many;
}

// "14.12" of "yyyy-mm-dd".
std::string DayAndMonth(double date) {
    const std::string iso = FormatDate(date);
    return iso.substr(8, 2) + "." + iso.substr(5, 2);
}

// Whole days for a day count of the histogram, overdue ones as they fall there (below 0).
double DaysAhead(const RepetitionRecord& r, double today) {
    return RoundHalfEven(r.lastDate + static_cast<double>(r.interval) - today);
}

}  // namespace

std::string UnitCountText(int count) {
    return std::to_string(count) + " " + PluralForm(count, "jednostka", "jednostki", "jednostek");
}

std::string ShortDayText(double date) {
    // Day 2 (1900-01-01) was a Monday. Windows-1250: "\x9C" is "ś".
    static const char* const kDays[] = {"pon", "wt", "\x9Cr", "czw", "pt", "sob", "nie"};
    const long long day = static_cast<long long>(std::floor(date));
    return std::string(kDays[((day - 2) % 7 + 7) % 7]) + " " + DayAndMonth(date);
}

RepetitionOverview BuildRepetitionOverview(const RepetitionStore& store, double today) {
    RepetitionOverview overview;
    const DueHistogram histogram = BuildDueHistogram(store, today);
    std::copy_n(histogram.begin(), kOverviewDays, overview.dayCounts.begin());

    overview.earliestStart = today;
    int overdue = 0;
    const int last = std::min(store.recordHighWater, kMaxUnits);
    for (int u = 1; u <= last; ++u) {
        const RepetitionRecord& r = store.record(u);
        if (r.unitId <= 0 || r.inTrash == 1) {
            continue;
        }
        if (r.firstDate > 0 && r.firstDate < overview.earliestStart) {
            overview.earliestStart = r.firstDate;
        }
        if (DaysAhead(r, today) < 0) {
            ++overdue;
        }
    }

    for (int d = 0; d < kOverviewDays; ++d) {
        const int count = overview.dayCounts[static_cast<std::size_t>(d)];
        if (count > 0) {
            overview.lines.push_back(FormatDate(today + d) + " - " + std::to_string(count));
        }
    }
    // The chart reads the same counters as the list: its bars and the list's lines cannot
    // disagree. Overdue units stand in today's bar, as on today's line.
    for (int d = 0; d < kForecastDays; ++d) {
        ForecastDay& day = overview.forecast[static_cast<std::size_t>(d)];
        day.date = today + d;
        day.count = overview.dayCounts[static_cast<std::size_t>(d)];
        day.axisLabel = DayAndMonth(day.date);
        day.caption = UnitCountText(day.count) + " (" + ShortDayText(day.date);
        if (d == 0) {
            day.overdue = overdue;
            day.caption += ", dzi\x9C)";
            if (overdue > 0) {
                day.caption +=
                    ", w tym " + std::to_string(overdue) + " " +
                    PluralForm(overdue, "zaleg\xB3\x61", "zaleg\xB3\x65", "zaleg\xB3ych");
            }
        } else {
            day.caption += ")";
        }
        overview.forecastMax = std::max(overview.forecastMax, day.count);
    }
    // "Uczysz się od " in Windows-1250.
    overview.startLabel = "Uczysz si\xEA od " + FormatDate(overview.earliestStart) + ".";
    return overview;
}

}  // namespace dyd
