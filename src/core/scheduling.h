#pragma once

// The spaced-repetition rules: when a learnt unit is due, how the end of a session changes the
// record of every unit it exercised, how a new interval is moved off crowded days, and what the
// unit actions of the runner write into a record. Pure functions over the repetition store and
// the session plan; the caller saves the records afterwards.

#include <array>
#include <cstdint>
#include <vector>

#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxDueUnits = 300;
inline constexpr int kHistogramDays = 1500;

// Rounds to the nearest integer, halves to even.
double RoundHalfEven(double value);

// unitId > 0, not in the trash, and lastDate + interval <= today.
bool IsDue(const RepetitionRecord& record, double today);

struct DueUnits {
    std::vector<int> units;  // the lowest-numbered due units, ascending, at most kMaxDueUnits
    int total = 0;           // every due unit of 1..recordHighWater
};
DueUnits CollectDueUnits(const RepetitionStore& store, double today);

// Correct answers required per unit and kind: intensity 0 -> 1, 1 -> 2, 2 -> 4, else 1; 1 in a
// repetition session when intensityOneInRepetitions is set.
int StepCount(SessionMode mode, const Settings& settings);

// H[d]: learnt units outside the trash due d days from today (overdue ones at 0).
using DueHistogram = std::array<int, kHistogramDays>;
DueHistogram BuildDueHistogram(const RepetitionStore& store, double today);

// The kind whose answers decide the row's new interval, or 0 when none does.
int DeterminingKind(const PlanRow& row, const UnitTable& units, const Settings& settings);

// interval x factor x frequencyFactor in extended precision, truncated toward zero. A product
// beyond the 32-bit range saturates at its end; a product that is no number gives 1.
std::int32_t GrowInterval(std::int32_t interval, double factor, double frequencyFactor);

// The move of a new interval off a crowded day: +1, +2, +3, -1, -2 or 0.
int SpreadLoad(const DueHistogram& histogram, int interval);

// The end-of-session update of one row (merge or full update, or nothing when no kind decides).
void UpdateRow(const PlanRow& row, SessionMode mode, const UnitTable& units, RepetitionStore& store,
               const Settings& settings, double today, DueHistogram& histogram);

// Builds the histogram, then updates every row in row order.
void SessionEndUpdate(const SessionPlan& plan, const UnitTable& units, RepetitionStore& store,
                      const Settings& settings, double today);

// ---- Unit actions during an exercise (after the learner confirmed) ----------------------------

// "Już umiem!": every learning kind of the row is done; the unit counts as known at session end.
void MarkKnownInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                        const Settings& settings, double today);
// "Do kosza": every learning kind of the row is done; the unit goes to the trash.
void MoveToTrashInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                          const Settings& settings, double today);
// "Zeruj (zapomnij)": every learning kind of the row is done, its answers kept; the unit is
// reset and starts again if it was answered in a kind that decides.
void ResetInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                    const Settings& settings);

}  // namespace dyd
