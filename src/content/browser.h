#pragma once

// The browser of the course database without its window: the filter of the six boxes, the
// description of a unit, composing an exercise of up to 300 units, the count line of the grid,
// the clipboard text, deleting a unit of the learner's own and what closing the browser saves.
// Unit texts are bytes (foreign texts in the course's code page, the others in Windows-1250);
// the texts made for the window are UTF-8.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/database.h"
#include "core/login.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxComposedUnits = 300;

// ---- Filter -------------------------------------------------------------------------------------

// The "Uczysz się" box.
enum class LearntFilter { Any = 0, Yes = 1, No = 2 };
// The "Inne" box.
enum class OtherFilter {
    Any = 0,
    Own = 1,          // "własne"
    InTrash = 2,      // "w koszu"
    MoreThan5 = 3,    // "nr powt >5"
    MoreThan10 = 4,   // "nr powt >10"
    LongInterval = 5  // "interwał>10"
};

// The six boxes; 0 (or Any) imposes nothing. The values are the item indexes of the boxes
// except the group, which is the chosen group's id (0: "Wszystkie").
struct BrowserFilter {
    std::int32_t groupId = 0;
    int level = 0;
    int partOfSpeech = 0;
    int unitKind = 0;
    LearntFilter learnt = LearntFilter::Any;
    OtherFilter other = OtherFilter::Any;

    bool operator==(const BrowserFilter&) const = default;
};

// The items of the boxes, UTF-8, in order.
inline constexpr std::string_view kAllGroupsItem = "Wszystkie";
inline constexpr std::string_view kLevelItems[] = {"---", "1", "2", "3", "4"};
inline constexpr std::string_view kPartItems[] = {"---",   "rzeczownik", "przymiotnik", "czasownik",
                                                  "inne",  "zdanie",     "przysłówek"};
inline constexpr std::string_view kKindItems[] = {"---", "słówko", "zdanie", "tryb QA"};
inline constexpr std::string_view kLearntItems[] = {"---", "tak", "nie"};
inline constexpr std::string_view kOtherItems[] = {"---",         "własne",      "w koszu",
                                                   "nr powt >5", "nr powt >10", "interwał>10"};

// Whether the unit with its repetition record passes every box.
bool FilterAccepts(const Unit& unit, const RepetitionRecord& record, const BrowserFilter& filter);

// The unit numbers that pass, in unit-number order.
std::vector<int> FilterUnits(const UnitTable& units, const RepetitionStore& store,
                             const BrowserFilter& filter);

// 1..unitCount.
std::vector<int> AllUnits(const UnitTable& units);

// ---- Texts --------------------------------------------------------------------------------------

// The count line of the grid: count + " jednostek" without a search; with one "Szukaj - słowo
// "query" wystąpiło " + count + " raz." (or " razy." for any other count), the quoted query left
// out for course languages above 2.
std::string GridCountText(int count, bool searched, std::string_view queryUtf8, int language);

// The description of unit number n: its translation, part of speech, kind, level, id and group,
// its repetitions when it has any, and the learner's comment. Lines end in LF.
std::string UnitDescription(const CourseDatabase& db, const RepetitionStore& store, int n);

// What the unit's repetition record lets the window offer.
struct RepetitionButtons {
    bool reset = false;    // K_Zeruj: the unit has repetitions
    bool restore = false;  // K_Przywroc: and it lies in the trash
};
RepetitionButtons RepetitionButtonsFor(const RepetitionRecord& record);

// The first line of the clipboard text.
inline constexpr std::string_view kClipboardNotice =
    "Słówka wybrane w przeglądarce programu Dydaktor";

// The clipboard text of the composed units: the notice, then foreignText + " = " + nativeText
// per unit, every line ended by CR LF. No length limit.
std::string ClipboardText(const UnitTable& units, std::span<const int> composed,
                          CodePage foreignPage);

// ---- Composing ----------------------------------------------------------------------------------

inline constexpr std::string_view kComposedLimitMessage =
    "Ćwiczenie może zawierać maksymalnie 300 słówek!";

struct ComposeResult {
    int added = 0;
    bool limitHit = false;  // some units were left out: the list was full
};

// Appends the selected units, in the order given, that the list does not hold yet; deleted units
// (unitId 0) are refused; the list never grows past kMaxComposedUnits.
ComposeResult AddToComposed(const UnitTable& units, std::span<const int> selected,
                            std::vector<int>& composed);

// ---- Saving the composed units -----------------------------------------------------------------

// Saves the composed units again under the current set's name and key (save mode), puts them
// into the current set and lets the catalogue take the user sets again. The message to show:
// the saved text or why nothing was saved.
struct SaveAgainResult {
    bool saved = false;
    std::string message;  // UTF-8
};
SaveAgainResult SaveComposedAgain(const AppPaths& paths, int language, const UnitTable& units,
                                  const std::vector<int>& composed, CurrentSet& set,
                                  ExerciseHistory& history, double now);

// Puts the composed units into the set (count, unit numbers and ids); name and key stay.
void PutComposedIntoSet(const UnitTable& units, const std::vector<int>& composed, CurrentSet& set);

// ---- The learner's own units --------------------------------------------------------------------

// Deletes unit number n, which the learner made: its id becomes 0 and its texts empty, and so
// that nothing of it comes back to another unit, its comment and repetition record are cleared.
struct DeleteResult {
    bool repetitionsChanged = false;
    bool commentsChanged = false;
};
DeleteResult DeleteOwnUnit(CourseDatabase& db, RepetitionStore& store, int n);

// ---- Closing ------------------------------------------------------------------------------------

// What the browser changed while it was open.
struct BrowserChanges {
    bool repetitions = false;
    bool userUnits = false;
};

// Writes what changed: the repetition file, the learner-units file, and the comments file when
// the database marks its comments as changed. The messages for the learner (UTF-8), empty when
// all was written.
std::vector<std::string> SaveBrowserChanges(LearnerSession& session, const BrowserChanges& changes,
                                            const Clock& clock);

}  // namespace dyd
