#pragma once

// New material for a learning session: counting what a thematic group holds (learnt, new, in
// the trash), the filter count, the candidate list of the learning mode, the random draw of a
// batch into the CurrentSet, and the figures of the learning window's repetition panel. The
// window shows what these functions return; messages come back as UTF-8 values.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/exercise_sets.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxCandidates = 4000;
// The batch sizes offered, by newUnitsCountIndex.
inline constexpr std::array<int, 9> kBatchSizes = {10, 15, 20, 25, 30, 35, 40, 45, 50};
inline constexpr int kDefaultBatchSize = 10;
inline constexpr int kMaxPicks = 2000;

// The line break of multi-line label texts: line feed, then carriage return.
inline constexpr std::string_view kLabelBreak = "\n\r";

inline constexpr std::string_view kDrawProblemMessage = "problem z losowaniem - jest >2000";
inline constexpr std::string_view kNoMaterialMessage = "Brak materiału do nauki!";
inline constexpr std::string_view kNoMaterialFilterMessage =
    "Brak materiału do nauki! Zmień ustawienia filtru lub grupę tematyczną.";
inline constexpr std::string_view kFilterModeStatus = "Tryb: filtr";
inline constexpr std::string_view kSessionOverStatus =
    "Koniec ćwiczeń. Wybierz nowe jednostki do nauki.";

// The learning mode of the settings: 0 basic, 1 filter, 2 words with example sentences; any other
// value counts as 0.
int EffectiveLearningMode(const Settings& settings);

// The batch size of newUnitsCountIndex; 10 when the index is outside the list.
int BatchSizeOfIndex(int index);

// ---- Counting --------------------------------------------------------------------------------

struct NewMaterialCounts {
    int learnt = 0;                  // learnt units outside the trash
    int totalInGroup = 0;            // every unit of the group
    std::array<int, 4> newByType{};  // [1] words, [2] sentences, [3] question/answer units
    int newOtherType = 0;            // new units of any other type, shown nowhere
    int inTrash = 0;                 // learnt units in the trash
    // New units, level 1 first, then 2, 3 and 4 (a level outside 1..4 counts as 1), each level in
    // unit-number order; at most kMaxCandidates.
    std::vector<int> levelOrdered;

    int newTotal() const { return newByType[1] + newByType[2] + newByType[3]; }
};

// Walks the units of the group (groupId 0: every group) in unit-number order.
NewMaterialCounts CountNewMaterial(const UnitTable& units, const RepetitionStore& store,
                                   int groupId);

struct UnitFilter {
    int level = 0;      // 0 any, 1..4
    int wordClass = 0;  // 0 any, else the part of speech
    int unitType = 0;   // 0 any, 1 word, 2 sentence, 3 question/answer
};
UnitFilter FilterOfSettings(const Settings& settings);

struct FilterMatches {
    int matches = 0;
    int totalInGroup = 0;
};

// Units of the group that pass the filter and were never learnt (record unitId 0). With
// candidates given, every match is appended; once kMaxCandidates are held a further match
// overwrites the last one.
FilterMatches CountFilterMatches(const UnitTable& units, const RepetitionStore& store, int groupId,
                                 const UnitFilter& filter, std::vector<int>* candidates = nullptr);

// "Wybrano: " + matches + " z " + total.
std::string FilterMatchesText(const FilterMatches& matches);

// ---- Candidates and the draw ------------------------------------------------------------------

struct Candidates {
    std::vector<int> units;  // unit numbers, at most kMaxCandidates
    std::string modeText;    // for the status label; empty in mode 0
};

// The pool of the current learning mode (sentencesOnly: the sentence draw button). Mode 0 and 2
// take from counts.levelOrdered, mode 1 runs the filter of the settings over the group. Sets
// attachExampleSentences as the mode asks (mode 0 clears it, mode 2 sets it).
Candidates BuildCandidates(const UnitTable& units, const RepetitionStore& store,
                           const Settings& settings, const NewMaterialCounts& counts, int groupId,
                           bool sentencesOnly, bool& attachExampleSentences);

struct DrawResult {
    int count = 0;                      // units in the batch
    int failedPicks = 0;                // picks that hit taken positions kMaxPicks times
    std::string status;                 // for the status label
    bool startVisible = false;          // the start button
    std::vector<std::string> messages;  // to show, in order
};

// Empties the CurrentSet (name and set key too) and fills its codes with a batch of at most
// batchSize (and kMaxSetUnits) candidates: all of them in list order when there are no more
// than batchSize, otherwise a random draw, from the first 3 x batchSize candidates only in
// modes 0 and 2. In mode 2 proposeSentenceExercises is set.
DrawResult DrawBatch(const std::vector<int>& candidates, int batchSize, const UnitTable& units,
                     Settings& settings, Random& random, CurrentSet& set);

// ---- Texts and buttons of the new-material area -------------------------------------------------

// "Uczysz się: ..." with the new units and the trash, or the line saying nothing new is left.
std::string StatisticsText(const NewMaterialCounts& counts, bool groupChosen);

struct DrawButtons {
    bool drawVisible = false;
    bool drawWordsPicture = false;  // the "words" picture (mode 0) instead of the plain one
    bool sentenceDrawVisible = false;
    bool filterOffVisible = false;
    std::string status;  // the status label after a group change
};
DrawButtons DrawButtonsFor(int learningMode, const NewMaterialCounts& counts);

// "Trwa nauka " + units + " jednostek."
std::string LearningGoesOnText(int units);

// ---- Repetition panel ---------------------------------------------------------------------------

inline constexpr int kChooserThreshold = 40;

struct RepetitionPanel {
    bool panelVisible = false;  // the learner has any repetition records
    std::string title;          // "Powtórki na dzień: " + yyyy-mm-dd
    std::string dueText;        // "Do powtórzenia: " + n + " jednostka." / " jednostek."
    int dueTotal = 0;
    bool startVisible = false;
    bool chooserVisible = false;
    std::vector<int> chooserEntries;  // 10, 20, 40, 60, ... the last cut to n and to 300
};
RepetitionPanel RepetitionPanelFigures(const RepetitionStore& store, double today);

// The amount a repetition session takes: the chosen entry when the chooser is shown, otherwise
// every due unit (at most 40); never more than the due total nor kMaxPlanRows.
int RepetitionAmount(const RepetitionPanel& panel, int chosenEntry);

}  // namespace dyd
