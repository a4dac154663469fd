#include "core/scheduling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace dyd {

namespace {

constexpr double kFirstFactor = 1.5;
constexpr long double kSuccessGrowth = 1.2L;
constexpr long double kFailureShrink = 1.1L;
constexpr double kMaxFactor = 3.0;
constexpr double kMinFactor = 1.0;
constexpr int kFirstUpdateInterval = 100;  // set by "Już umiem!" before the session ends

constexpr int kWordFallback[] = {6, 16, 3, 4, 2, 5, 1, 7, 8, 9};
constexpr int kSentenceFallback[] = {12, 18, 17, 10, 11, 13, 14, 15};

const PlanEntry* Cell(const PlanRow& row, int kind) {
    if (kind < 1 || kind > kKindSlots) {
        return nullptr;
    }
    return &row.cells[static_cast<std::size_t>(kind)];
}

int Attempts(const PlanRow& row, int kind) {
    const PlanEntry* cell = Cell(row, kind);
    return cell == nullptr ? 0 : cell->attempts;
}

bool ValidUnit(const UnitTable& units, int unit) {
    return unit >= 1 && unit <= units.unitCount() && unit <= kMaxUnits;
}

template <std::size_t N>
int FirstAnswered(const PlanRow& row, int preferred, const int (&fallback)[N]) {
    if (Attempts(row, preferred) > 0) {
        return preferred;
    }
    for (const int kind : fallback) {
        if (Attempts(row, kind) > 0) {
            return kind;
        }
    }
    return 0;
}

// The kinds 1..20 offered in learning sessions for the unit's type.
template <typename Apply>
void ForLearningKinds(const UnitTable& units, int unit, const Settings& settings, Apply apply) {
    const int type = units.unit(unit).unitKind;
    if (type < 1 || type >= static_cast<int>(settings.learningKinds.size())) {
        return;
    }
    const auto& kinds = settings.learningKinds[static_cast<std::size_t>(type)];
    for (int k = 1; k <= kKindSlots; ++k) {
        if (kinds[static_cast<std::size_t>(k)]) {
            apply(k);
        }
    }
}

void MergeMarks(const PlanRow& row, RepetitionRecord& record) {
    for (int k = 1; k <= kKindSlots; ++k) {
        const PlanEntry& cell = row.cells[static_cast<std::size_t>(k)];
        const std::uint8_t old = record.mark(k);
        std::uint8_t m = old;
        if (cell.attempts > 0) {
            m = 1;
        }
        if (old == 0 && cell.done != 0 && cell.attempts == 1) {
            m = 2;
        }
        record.mark(k) = m;
    }
}

void SetMarks(const PlanRow& row, RepetitionRecord& record) {
    for (int k = 1; k <= kKindSlots; ++k) {
        const PlanEntry& cell = row.cells[static_cast<std::size_t>(k)];
        std::uint8_t m = cell.attempts == 0 ? 0 : 1;
        if (cell.done != 0 && cell.attempts == 1) {
            m = 2;
        }
        record.mark(k) = m;
    }
}

// Makes a unit learnt from today, as the first answer of a session would.
void StartLearnt(RepetitionStore& store, int unit, std::int32_t code, double today,
                 std::int32_t interval) {
    RepetitionRecord& r = store.record(unit);
    r.unitId = code;
    r.firstDate = today;
    r.factor = kFirstFactor;
    r.repetitionNo = 1;
    r.interval = interval;
    store.recordHighWater = std::max(store.recordHighWater, unit);
}

// Every learning kind of the row counts as done.
void CompleteLearningKinds(PlanRow& row, const UnitTable& units, const Settings& settings,
                           bool keepAttempts) {
    ForLearningKinds(units, row.unitNumber, settings, [&](int k) {
        PlanEntry& cell = row.cells[static_cast<std::size_t>(k)];
        cell.remaining = 0;
        if (!keepAttempts) {
            cell.attempts = 1;
        }
        cell.done = 1;
    });
}

}  // namespace

double RoundHalfEven(double value) {
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5) {
        return down;
    }
    if (diff > 0.5) {
        return down + 1;
    }
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

bool IsDue(const RepetitionRecord& record, double today) {
    return record.unitId > 0 && record.inTrash == 0 &&
           record.lastDate + static_cast<double>(record.interval) <= today;
}

DueUnits CollectDueUnits(const RepetitionStore& store, double today) {
    DueUnits due;
    due.units.reserve(kMaxDueUnits);
    const int last = std::min(store.recordHighWater, kMaxUnits);
    for (int u = 1; u <= last; ++u) {
        if (IsDue(store.record(u), today)) {
            ++due.total;
            if (due.total <= kMaxDueUnits) {
                due.units.push_back(u);
            }
        }
    }
    return due;
}

int StepCount(SessionMode mode, const Settings& settings) {
    if (mode == SessionMode::Repetition && settings.intensityOneInRepetitions) {
        return 1;
    }
    switch (settings.intensity) {
        case 1:
            return 2;
        case 2:
            return 4;
        default:
            return 1;
    }
}

DueHistogram BuildDueHistogram(const RepetitionStore& store, double today) {
    DueHistogram histogram{};
    const int last = std::min(store.recordHighWater, kMaxUnits);
    for (int u = 1; u <= last; ++u) {
        const RepetitionRecord& r = store.record(u);
        if (r.unitId <= 0 || r.inTrash == 1) {
            continue;
        }
        double d = RoundHalfEven(r.lastDate + static_cast<double>(r.interval) - today);
        if (d < 0) {
            d = 0;
        }
        if (d < kHistogramDays) {  // false for a date that is no number as well
            ++histogram[static_cast<std::size_t>(d)];
        }
    }
    return histogram;
}

int DeterminingKind(const PlanRow& row, const UnitTable& units, const Settings& settings) {
    if (!ValidUnit(units, row.unitNumber)) {
        return 0;
    }
    switch (units.unit(row.unitNumber).unitKind) {
        case kWordUnit:
            return FirstAnswered(row, settings.determiningKindWords, kWordFallback);
        case kSentenceUnit:
            return FirstAnswered(row, settings.determiningKindSentences, kSentenceFallback);
        case kQaUnit:
            return Attempts(row, kQaMode) > 0 ? kQaMode : 0;
        default:
            return 0;
    }
}

std::int32_t GrowInterval(std::int32_t interval, double factor, double frequencyFactor) {
    const long double product = static_cast<long double>(interval) *
                                static_cast<long double>(factor) *
                                static_cast<long double>(frequencyFactor);
    if (std::isnan(product)) {
        return 1;
    }
    constexpr long double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr long double kMin = std::numeric_limits<std::int32_t>::min();
    if (product >= kMax + 1.0L) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (product <= kMin - 1.0L) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(product);  // truncation toward zero
}

int SpreadLoad(const DueHistogram& h, int interval) {
    const int i = interval;
    if (i <= 5 || i >= 597) {
        return 0;
    }
    const auto at = [&](int d) { return h[static_cast<std::size_t>(d)]; };
    if (at(i) <= 20) {
        return 0;
    }
    if (std::abs(at(i) - at(i + 1)) > 10) {
        return 1;
    }
    if (std::abs(at(i) - at(i + 2)) > 5) {
        return 2;
    }
    if (std::abs(at(i) - at(i + 3)) > 5 && i > 10) {
        return 3;
    }
    if (std::abs(at(i) - at(i - 1)) > 5) {
        return -1;
    }
    if (std::abs(at(i) - at(i - 2)) > 5 && i > 10) {
        return -2;
    }
    return 0;
}

void UpdateRow(const PlanRow& row, SessionMode mode, const UnitTable& units, RepetitionStore& store,
               const Settings& settings, double today, DueHistogram& histogram) {
    const int a = DeterminingKind(row, units, settings);
    if (a == 0) {
        return;
    }
    const int u = row.unitNumber;
    RepetitionRecord& r = store.record(u);
    if (r.lastDate == today) {
        MergeMarks(row, r);
        return;
    }

    r.unitId = units.unit(u).unitId;
    store.recordHighWater = std::max(store.recordHighWater, u);
    if (r.repetitionNo == 0) {
        r.firstDate = today;
    }
    r.lastDate = today;
    if (r.repetitionNo < std::numeric_limits<std::int32_t>::max()) {
        ++r.repetitionNo;
    }
    r.previousInterval = r.interval;

    const PlanEntry& decisive = row.cells[static_cast<std::size_t>(a)];
    const bool success = decisive.done != 0 && decisive.attempts == StepCount(mode, settings);

    if (!success) {
        r.interval = r.repetitionNo < 2 ? 1 : 2;
    } else if (r.repetitionNo == 1) {
        r.interval = 2;
    } else {
        r.interval = GrowInterval(r.interval, r.factor, settings.frequencyFactor);
    }
    if (r.interval < 1) {
        r.interval = 1;
    }

    r.interval += SpreadLoad(histogram, r.interval);
    if (r.interval < kHistogramDays) {
        ++histogram[static_cast<std::size_t>(r.interval)];
    }

    if (r.knownFlag == 1) {
        r.interval = settings.knownInterval;
        r.knownFlag = 0;
    }

    if (r.repetitionNo == 1) {
        r.factor = kFirstFactor;
    } else {
        const long double grown = success ? static_cast<long double>(r.factor) * kSuccessGrowth
                                          : static_cast<long double>(r.factor) / kFailureShrink;
        r.factor = static_cast<double>(grown);
    }
    if (r.factor > kMaxFactor) {
        r.factor = kMaxFactor;
    }
    if (!(r.factor >= kMinFactor)) {
        r.factor = kMinFactor;
    }

    SetMarks(row, r);
}

void SessionEndUpdate(const SessionPlan& plan, const UnitTable& units, RepetitionStore& store,
                      const Settings& settings, double today) {
    DueHistogram histogram = BuildDueHistogram(store, today);
    for (const PlanRow& row : plan.rows) {
        UpdateRow(row, plan.mode, units, store, settings, today, histogram);
    }
}

void MarkKnownInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                        const Settings& settings, double today) {
    if (!ValidUnit(units, row.unitNumber)) {
        return;
    }
    CompleteLearningKinds(row, units, settings, false);
    const int u = row.unitNumber;
    if (store.record(u).repetitionNo < 2) {
        StartLearnt(store, u, units.unit(u).unitId, today, kFirstUpdateInterval);
    }
    store.record(u).knownFlag = 1;
}

void MoveToTrashInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                          const Settings& settings, double today) {
    if (!ValidUnit(units, row.unitNumber)) {
        return;
    }
    CompleteLearningKinds(row, units, settings, false);
    const int u = row.unitNumber;
    RepetitionRecord& r = store.record(u);
    r.lastDate = today;
    r.inTrash = 1;
    if (r.repetitionNo < 2) {
        StartLearnt(store, u, units.unit(u).unitId, today, 1);
    }
}

void ResetInSession(PlanRow& row, const UnitTable& units, RepetitionStore& store,
                    const Settings& settings) {
    if (!ValidUnit(units, row.unitNumber)) {
        return;
    }
    CompleteLearningKinds(row, units, settings, true);
    ResetRepetitions(store, row.unitNumber);
}

}  // namespace dyd
