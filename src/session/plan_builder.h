#pragma once

// Building the session plan from a list of units, the plan list the plan window shows, starting
// one kind, and what closing the plan window does to the learner's records. The window is a thin
// view over these.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"
#include "core/exercise_sets.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {

// The units of a prepared CurrentSet, in order.
std::span<const std::int32_t> SelectedUnits(const CurrentSet& set);

// "Wybrano " + N + " w tym:" and the counts of words, question/answer units and sentences, the
// lines broken by LF CR.
std::string PlanInfoText(std::span<const std::int32_t> selection, const UnitTable& units);

// Fills the plan for the selection (at most kMaxPlanRows units) in the given mode: the cells of
// every row, the kind order, the availability filters, the guaranteed step and currentKind 0.
// Returns the information text of the plan window.
std::string BuildPlan(std::span<const std::int32_t> selection, SessionMode mode,
                      const UnitTable& units, const DatabaseParameters& params,
                      const Settings& settings, const RepetitionStore& store, SessionPlan& plan);

// Whether the kind's cell of the row survives the availability filter of that kind.
bool KindAvailable(int kind, const Unit& unit, const DatabaseParameters& params);

// The slots of kindOrder in the order the plan list shows them: 1..9, 16, 17, 10..15, 18..20.
const std::array<int, kKindSlots>& ListSlotOrder();

// " - " + kind name + " (" + count + ")" (UTF-8).
std::string PlanItemText(const PlanListItem& item);

struct PlanListView {
    int selected = -1;  // index into plan.list of the first item with a count above 0
    bool startVisible = false;
    bool presentationVisible = false;
    bool finished = false;  // no item: the title reads "Koniec!" and the window closes
    // Items listed, none with a count above 0: every kind is done and closing the window (Enter
    // as well) ends the session.
    bool allDone = false;
    std::string title;  // "Rodzaje ćwiczeń" or "Koniec!"
};

// What the plan window says once every kind is done: closing saves the results, or, with "Nie
// wyznaczaj powtórek" ticked, only ends the session (UTF-8, lines broken by LF CR).
inline constexpr std::string_view kAllKindsDoneText =
    "Wszystkie ćwiczenia wykonane —\n\rzamknij plan, aby zapisać wyniki.";
inline constexpr std::string_view kAllKindsDoneUnsavedText =
    "Wszystkie ćwiczenia wykonane —\n\rzamknij plan (bez zapisu wyników).";

// Rebuilds plan.list from the cells: one item per active slot (rows still to do, or answers
// given in this session), in list order.
PlanListView RefreshPlanList(SessionPlan& plan);

// Whether the start button shows for a selected item.
bool CanStart(const SessionPlan& plan, int itemIndex);

// Starting the selected item: false (nothing happens) unless its count is above 0, its kind is
// set and the plan has rows; otherwise currentKind and stepId become the item's kind.
bool StartKind(SessionPlan& plan, int itemIndex, int& stepId);
// The presentation: stepId 50; false when the plan has no rows.
bool StartPresentation(const SessionPlan& plan, int& stepId);

// True when any cell of the plan still needs a correct answer.
bool PlanHasWorkLeft(const SessionPlan& plan);
// True when any cell of the plan was answered in this session.
bool PlanHasAttempts(const SessionPlan& plan);

struct SessionEndResult {
    bool updated = false;      // the scheduling update ran: the records are to be saved
    bool showSummary = false;  // the summary window is to open before the save
};

// The end of a session when the plan window closes: nothing in a learning session the learner
// asked not to schedule; otherwise the scheduling update over every row. The caller then opens
// the summary when asked and saves the repetition records.
SessionEndResult EndSession(const SessionPlan& plan, bool noRepetitions, const UnitTable& units,
                            RepetitionStore& store, const Settings& settings, double today);

}  // namespace dyd
