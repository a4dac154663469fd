#include "session/repetition_overview.h"

#include <algorithm>

#include "core/datetime.h"
#include "core/scheduling.h"

namespace dyd {

RepetitionOverview BuildRepetitionOverview(const RepetitionStore& store, double today) {
    RepetitionOverview overview;
    const DueHistogram histogram = BuildDueHistogram(store, today);
    std::copy_n(histogram.begin(), kOverviewDays, overview.dayCounts.begin());

    overview.earliestStart = today;
    const int last = std::min(store.recordHighWater, kMaxUnits);
    for (int u = 1; u <= last; ++u) {
        const RepetitionRecord& r = store.record(u);
        if (r.unitId > 0 && r.inTrash != 1 && r.firstDate > 0 &&
            r.firstDate < overview.earliestStart) {
            overview.earliestStart = r.firstDate;
        }
    }

    for (int d = 0; d < kOverviewDays; ++d) {
        const int count = overview.dayCounts[static_cast<std::size_t>(d)];
        if (count > 0) {
            overview.lines.push_back(FormatDate(today + d) + " - " + std::to_string(count));
        }
    }
    // "Uczysz się od " in Windows-1250.
    overview.startLabel = "Uczysz si\xEA od " + FormatDate(overview.earliestStart) + ".";
    return overview;
}

}  // namespace dyd
