#pragma once

// What is added to a course database after installation: the learner units (sbusr.txt), the
// thematic groups (gt_s.txt), a learner's comments and kind switches (code + "kom.txt") and the
// testers' corrections (korekta_dane.txt).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/database.h"

namespace dyd {

inline constexpr std::string_view kLearnerUnitsFile = "sbusr.txt";
inline constexpr std::string_view kGroupsFile = "gt_s.txt";
inline constexpr std::string_view kCorrectionsFile = "korekta_dane.txt";
inline constexpr std::string_view kCorrectionModeFile = "korekta_panel.cfg";
inline constexpr std::string_view kSavingTitle = "Zapisuje...";

// Splits text into count fields at its "=" signs: each field ends at the next "=" or at the end
// of the text, the fields past the end are empty.
std::vector<std::string_view> CutFields(std::string_view text, int count);

// ---- Learner units -------------------------------------------------------------------------

enum class LearnerLineProblem {
    None,
    IdTooLarge,       // 100000 or more: the id columns hold five digits
    GroupOutOfRange,  // below 0 or 100 or more: the group columns hold two digits
    LevelOutOfRange,  // the level column holds one digit
    PartOutOfRange,   // the part-of-speech column holds one digit
    TextBreaksLine,   // a text holds "=", a line break or blanks that reading would trim
};

// The Polish description of a problem, for the learner (UTF-8).
std::string LearnerLineProblemText(LearnerLineProblem problem);

// The sbusr.txt line of a unit (without the line end). Nothing, and the reason, when the line
// would not read back as the same unit.
std::optional<std::string> FormatLearnerUnitLine(const Unit& unit, LearnerLineProblem* problem);

struct RefusedUnit {
    int unitNumber = 0;
    std::int32_t unitId = 0;
    LearnerLineProblem problem = LearnerLineProblem::None;
};

struct SaveLearnerUnitsResult {
    bool written = false;
    std::string error;                 // when not written
    std::vector<RefusedUnit> refused;  // units that could not be written; the rest were
};

// The file content: one line per unit whose recordingSource is 1, whose id is above 0 and whose
// foreign text is not empty, in unit-number order.
std::string FormatLearnerUnits(const UnitTable& units, std::vector<RefusedUnit>* refused);

// Rewrites databaseDir + "sbusr.txt".
SaveLearnerUnitsResult SaveLearnerUnits(const AppPaths& paths, const UnitTable& units);

// ---- Groups ----------------------------------------------------------------------------------

// The groups of gt_s.txt (at most kMaxGroups); problems go to log.
std::vector<Group> ParseGroups(std::string_view bytes, LoadLog* log, std::string_view fileName);
std::string FormatGroups(const std::vector<Group>& groups);
// Reads databaseDir + "gt_s.txt"; without it the table holds the default group.
void LoadGroups(const AppPaths& paths, CourseDatabase& db, LoadLog& log);
bool SaveGroups(const AppPaths& paths, const std::vector<Group>& groups,
                std::string* error = nullptr);

// ---- Comments --------------------------------------------------------------------------------

std::string CommentsFileName(std::string_view databaseCode);
void ParseComments(std::string_view bytes, CourseDatabase& db, LoadLog* log,
                   std::string_view fileName);
// The comments of the units, then the kept lines of units the database does not hold.
std::string FormatComments(const UnitTable& units, const std::vector<std::string>& keptLines = {});
void LoadComments(const AppPaths& paths, CourseDatabase& db, LoadLog& log);
bool SaveComments(const AppPaths& paths, CourseDatabase& db, std::string* error = nullptr);

// ---- Corrections -----------------------------------------------------------------------------

void ParseCorrections(std::string_view bytes, UnitTable& units, LoadLog* log,
                      std::string_view fileName);
std::string FormatCorrections(const UnitTable& units);
void LoadCorrections(const AppPaths& paths, CourseDatabase& db, LoadLog& log);
bool SaveCorrections(const AppPaths& paths, const UnitTable& units, std::string* error = nullptr);

}  // namespace dyd
