#pragma once

// What the exercise-set chooser shows, without a window: the sections (thematic groups that hold
// sets), the sets of a section with their average result, whether a set can be loaded at all,
// and the results of the learner by group, level, part of speech and unit type, with the lines
// and bars of the statistics panel.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/history.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxChooserSections = 100;
inline constexpr int kMaxChooserSets = 300;
// Rows each list shows at once, and their height in pixels.
inline constexpr int kChooserVisibleRows = 18;
inline constexpr int kChooserRowHeight = 18;
// Full width of the bars of the results, in pixels.
inline constexpr int kResultBarWidth = 75;

// The group field of history records that belong to a group: its number as decimal text, padded
// with a leading "0" to two characters.
std::string GroupKey(int groupId);

// ---- Sets ---------------------------------------------------------------------------------------

struct ChooserSection {
    int groupId = 0;
    std::string name;  // the group's name (Windows-1250)
};

// The groups of the group list (in its order, group 0 aside) that at least one history record
// belongs to; at most kMaxChooserSections.
std::vector<ChooserSection> SetSections(const ExerciseHistory& history,
                                        const std::vector<Group>& groups);

struct ChooserSet {
    int record = 0;          // 1-based index of the last record of the set's run
    int averagePercent = 0;  // of the run's records, in whole numbers
};

// The sets of a section in store order: each run of consecutive records of one set whose group
// field is groupKey becomes one entry; at most kMaxChooserSets.
std::vector<ChooserSet> SetsOfSection(const ExerciseHistory& history, std::string_view groupKey);

// Whether the set of the chooser shows the done picture: its last record holds a result.
bool SetDone(const HistoryRecord& last);
// Whether the learner may delete the set: his own sets have ids that start with "2".
bool UserSetId(std::string_view id);

enum class SetProblem {
    None,
    NotInFile,  // no line of its set file has this id (or there is no such file)
    NoUnits,    // its line names no unit that the database holds
};

// Whether a set can be practised: its line in the set file its id selects, and at least one of
// its units in the table.
SetProblem ProbeSet(const AppPaths& paths, int language, std::string_view id,
                    const UnitTable& units);

// What the chooser says of a set that cannot be loaded (UTF-8; name in Windows-1250 is converted),
// empty for SetProblem::None.
std::string SetProblemText(SetProblem problem, std::string_view name1250);

// "Czy chcesz usunąć Ćwiczenie: " + name + " ?" (UTF-8).
std::string DeleteSetQuestion(std::string_view name1250);

// ---- Results ------------------------------------------------------------------------------------

enum class ResultsView { Learnt, Mastered };

// counted of units as a whole percentage, rounded half to even, in whole numbers; 0 for no units,
// never above 100.
int WholePercent(int counted, int units);
// The filled part of a bar of width full for counted of units, rounded half to even; within
// 0..full.
int BarFill(int counted, int units, int full = kResultBarWidth);

struct CountPair {
    int units = 0;
    int counted = 0;
};

struct GroupResult {
    int groupId = 0;
    std::string name;  // Windows-1250
    CountPair count;
    int percent = 0;
    int barWidth = 0;  // percent * 0.75, rounded
    // Kept for the row: "Umiesz " + counted + " z " + units + " jednostek." (UTF-8)
    std::string text;
};

// Parts of speech and unit types of the statistics panel, in the order of its lines.
inline constexpr std::array<int, 4> kPanelPartsOfSpeech = {1, 2, 6, 3};
inline constexpr std::array<int, 3> kPanelUnitKinds = {1, 3, 2};

struct ResultsCounters {
    CountPair all;
    std::array<CountPair, 4> levels;         // levels 1..4
    std::array<CountPair, 4> partsOfSpeech;  // in kPanelPartsOfSpeech order
    std::array<CountPair, 3> unitKinds;      // in kPanelUnitKinds order
};

struct Results {
    std::vector<GroupResult> groups;  // every group of the group list, in its order
    ResultsCounters counters;
};

// Whether a unit counts in the view: learnt means a repetition record that is not in the trash;
// mastered means learnt with an interval above masteredInterval.
bool UnitCounts(const RepetitionRecord& record, ResultsView view, int masteredInterval);

// The results of every group (groups without units show 0%) and the counters over all units.
Results ComputeResults(const UnitTable& units, const std::vector<Group>& groups,
                       const RepetitionStore& store, int masteredInterval, ResultsView view);

struct PanelLine {
    int y = 0;         // top of the line in the panel
    std::string text;  // UTF-8
    int barWidth = 0;  // filled part of its bar (of kResultBarWidth)
};

inline constexpr int kPanelLineStep = 16;
inline constexpr int kPanelGap = 10;
inline constexpr int kPanelBarX = 190;

// The lines of the statistics panel: the total, the levels that have units, then after a gap the
// parts of speech that have units, then after another gap the unit types that have units.
std::vector<PanelLine> PanelLines(const ResultsCounters& counters);

}  // namespace dyd
