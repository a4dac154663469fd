#pragma once

// The settings screen without its window: what its controls show of the learner's Settings and
// how their values go back when the screen is confirmed. The lists of the screen are positions
// (0 for the first item); a position that the stored settings cannot give (a short or damaged
// file) is -1, and a control left there keeps the stored value.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"

namespace dyd {

// ---- Repetition frequency: items "1" .. "20" --------------------------------------------------

inline constexpr int kFrequencyItems = 20;

// The item of a factor: (factor - 1) × 10 rounded (halves to even) above 1, else 0; at most the
// last item.
int FrequencyPosition(double factor);
// The factor of an item: 1.0 for "1" up to 2.9 for "20".
double FrequencyFactorAt(int position);

// ---- The kinds that decide a unit's interval --------------------------------------------------

// Words: items kind 6 and kind 16; sentences: kind 12 and kind 18. -1 for a kind not offered.
int WordsDeterminingPosition(int kind);
int SentencesDeterminingPosition(int kind);
// The kind of an item; 0 for a position that names none. Words take 17 at position 2 as well.
int WordsDeterminingKind(int position);
int SentencesDeterminingKind(int position);
inline constexpr std::array<int, 2> kWordsDeterminingKinds{6, 16};
inline constexpr std::array<int, 2> kSentencesDeterminingKinds{12, 18};

// ---- Exercise kinds of learning mode ----------------------------------------------------------

// The tables of learningKinds the screen offers: words, sentences, question/answer items.
inline constexpr std::array<const char*, 3> kLearningKindTableNames{"słówka", "zdania",
                                                                    "tryb QA"};

// The kinds listed for a table (1 words, 2 sentences, 3 QA) in a database of that language:
// words 1-6, 7 and 8 only in a German database, 9 and 16; sentences 10-15 and 18; QA 17.
std::vector<int> ListedLearningKinds(int table, int language);
// kind + " " + its name (UTF-8).
std::string LearningKindItem(int kind);

// ---- Repetition rules per kind ----------------------------------------------------------------

inline constexpr int kRepetitionRules = 5;
inline constexpr int kRuleListKinds = 17;  // the rule list names kinds 1..17

// "nie zaakceptowane", "wszystkie", "żadne", "oznaczone", "oznaczone lub nie zaakceptowane";
// empty for any other rule.
std::string_view RepetitionRuleText(int rule);
// The rule's item in the list of rules; -1 for a rule that is none of the five.
int RepetitionRulePosition(int rule);
// The kind's name, " - " and the text of its rule (UTF-8).
std::string RepetitionRuleItem(int kind, int rule);

// ---- The interval fields ----------------------------------------------------------------------

inline constexpr int kMasteredMin = 4;
inline constexpr int kMasteredMax = 200;
inline constexpr int kKnownMin = 3;
inline constexpr int kKnownMax = 400;

// The field's value when its text, trimmed, is digits only and lies in min..max.
std::optional<int> ParseIntervalField(std::string_view text, int min, int max);
// "W pole "słówko umiesz gdy interwał..." należy wpisać wartość od 4 do 200."
std::string MasteredIntervalMessage();
// "W pole "Przycisk Już umiem! zmienia interwał..." należy wpisać wartość od 3 do 400."
std::string KnownIntervalMessage();

// ---- The whole screen -------------------------------------------------------------------------

// What the controls hold: list positions, check marks, field texts (UTF-8) and the working copy
// of the learning kinds.
struct SettingsScreenValues {
    int intensity = 0;  // the hidden CB_Tryb_Nauki
    bool intensityOneInRepetitions = true;
    int wordsPosition = 0;
    int sentencesPosition = 0;
    int frequencyPosition = 0;
    bool showStatistics = true;
    bool proposeSentenceExercises = false;
    bool interludesAtEndOnly = false;
    bool showSummary = false;
    std::string masteredInterval;
    std::string knownInterval;
    LearningKindTables learningKinds{};
    std::array<bool, kInterludePacks + 1> interludeEnabled{};

    bool operator==(const SettingsScreenValues&) const = default;
};

// The controls as the screen shows the settings.
SettingsScreenValues ScreenValuesFrom(const Settings& settings);

// Confirming: the interval fields are checked first, and a refused field changes nothing
// (its message is returned). Otherwise every value is taken into settings, the interlude
// packs only for the packs listed (packs 1..7). A list the learner left where it was shown
// keeps the stored value when the list cannot show it (a determining kind not offered, a
// frequency between or beyond the items). Returns an empty text when taken.
std::string ApplyScreenValues(const SettingsScreenValues& values,
                              const SettingsScreenValues& shown, const std::vector<int>& listedPacks,
                              Settings& settings);

// ---- Deleting all repetitions ----------------------------------------------------------------

// The copy kept of the records just before all of them are deleted; the copy list names it, so
// the deletion can be undone by restoring it.
inline constexpr std::string_view kDeletionBackupSuffix = ".pkas";

struct DeleteAllResult {
    bool deleted = false;
    bool backupWritten = false;
    std::string message;  // (UTF-8) what went wrong; empty when everything was written
};

// Writes the learnt records to code + ".pkas" (when there are any), and only when that copy is
// on disk deletes every record and saves the live file. A copy that cannot be written leaves the
// records as they are.
DeleteAllResult DeleteAllRepetitionsKeepingCopy(const AppPaths& paths, const UnitTable& units,
                                                RepetitionStore& store, Settings& settings,
                                                const Clock& clock);

}  // namespace dyd
