#pragma once

// Exercise sets: named lists of units kept one per line in two files of a course database, the
// shipped set file (only read) and the user set file (the learner's own sets). A line is
//   category "=" identifier "=" name ("=" five-digit unit id)...
// This module loads a set into the CurrentSet, saves, overwrites and deletes user sets, prepares
// the CurrentSet for a session, reads a plain code list, and lists the exercise backgrounds.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxSetUnits = 300;
// The user set file holds at most this many sets; saving one more is refused.
inline constexpr int kMaxUserSets = 3000;
inline constexpr int kMaxBackgrounds = 200;

// The set files of a database language (1..8): empty for a language without a shipped file.
std::string_view ShippedSetFileName(int language);
std::string_view UserSetFileName(int language);
// databaseDir + the name, letter case aside; empty when the language has no such file.
std::string ShippedSetFilePath(const AppPaths& paths, int language);
std::string UserSetFilePath(const AppPaths& paths, int language);

// Category names shown for set categories 80, 81 and 82 (UTF-8); empty for other numbers.
std::string_view SetCategoryName(int category);

// The fields of one set line, for whoever lists sets: present only when the line holds at least
// three "=".
struct SetLine {
    std::string_view category;    // field 1, trimmed
    std::string_view identifier;  // field 2, trimmed (not lower-cased)
    std::string_view name;        // field 3, trimmed
    std::string_view codes;       // everything from the third "=" on, that "=" included
};
bool ParseSetLine(std::string_view line, SetLine& out);

struct CurrentSet {
    int count = 0;                                         // entries 0..kMaxSetUnits
    std::array<std::int32_t, kMaxSetUnits> codes{};        // unit ids, [0..count)
    std::array<std::int32_t, kMaxSetUnits> unitNumbers{};  // filled by PrepareSetForSession
    std::string name;    // of the set last loaded or saved; empty when none
    std::string setKey;  // identifier (or save-as prefix) of that set; empty when none
    bool ready = false;  // set by PrepareSetForSession
};

// ---- Loading ------------------------------------------------------------------------------------

// Fills the codes and count of set from the first line of a set file's bytes whose identifier,
// trimmed and lower-cased, equals key (trimmed and lower-cased). The codes are read in steps of
// six characters, "=" and five digits; a step that is not a number is skipped; at most
// kMaxSetUnits codes are taken. False (count 0) when no line matches.
bool FindSetCodes(std::string_view fileBytes, std::string_view key, CurrentSet& set);

// Fills the codes and count from the set file that the identifier's first character selects
// ("2": the user set file, otherwise the shipped one), and sets plan.currentKind to 0. A missing
// file or an identifier no line holds gives an empty set.
void LoadSet(const AppPaths& paths, int language, std::string_view identifier, CurrentSet& set,
             SessionPlan& plan);

// True when a line of the user set file has exactly this name (field 3 trimmed, letter case
// counts). A missing file gives false.
bool SetNameExistsIn(std::string_view fileBytes, std::string_view name);
bool SetNameExists(const AppPaths& paths, int language, std::string_view name);

// ---- Saving -------------------------------------------------------------------------------------

enum class SaveSetMode { Save, Overwrite, Delete };

enum class SaveSetStatus {
    Written,
    Unchanged,    // overwrite or delete without a user set file: nothing to do
    EmptySet,     // kEmptySetMessage; the file is as it was
    BadName,      // kBadSetNameMessage
    BadCode,      // a code does not fit five digits: kBadSetCodeMessage
    TooManySets,  // kTooManySetsMessage
    WriteFailed,  // kSetNotWrittenMessage + path; the file is as it was
};

struct SaveSetResult {
    SaveSetStatus status = SaveSetStatus::Written;
    std::string message;  // for the learner (UTF-8), empty when written
};

inline constexpr std::string_view kEmptySetMessage = "Brak słówek do zapisu ćwiczenia!";
inline constexpr std::string_view kBadSetNameMessage =
    "Nazwa ćwiczenia nie może zawierać znaku \"=\" ani znaków sterujących!";
inline constexpr std::string_view kBadSetCodeMessage =
    "Ćwiczenie zawiera kod jednostki spoza zakresu 0-99999 i nie zostało zapisane!";
inline constexpr std::string_view kTooManySetsMessage =
    "Nie można zapisać ćwiczenia: osiągnięto limit 3000 ćwiczeń użytkownika.";
inline constexpr std::string_view kSetNotWrittenMessage = "Nie zapisałem pliku: ";

// The name a set line gets when it is saved again under its own identifier (Windows-1250 bytes,
// as the file holds them): "Ćwiczenie usera [" + name + "]".
std::string SavedAgainName(std::string_view name);

// The serial of an identifier: the value of the digits that end it; 0 when it does not end in a
// digit.
std::int64_t SetSerial(std::string_view identifier);

// The new content of the user set file (existing: its bytes; missing: empty); see SaveSet.
// result.status says whether the content is to be written.
std::string RewriteUserSets(std::string_view fileBytes, bool fileExists, const CurrentSet& set,
                            std::string_view name, std::string_view key, SaveSetMode mode,
                            SaveSetResult& result);

// Writes the codes and count of set to the user set file: Save puts the set under key (its own
// line when a line has that identifier, otherwise the line of the same name or a new line, with
// a new serial after key); Overwrite gives every line of that name a new identifier after key;
// Delete drops every line whose identifier is key. The file is replaced atomically.
SaveSetResult SaveSet(const AppPaths& paths, int language, const CurrentSet& set,
                      std::string_view name, std::string_view key, SaveSetMode mode);

// ---- Session ------------------------------------------------------------------------------------

// Whether a prepared set gains the example sentences related to its words: in learning modes 0
// and 1 when attachExampleSentences is set, in mode 2 when proposeSentenceExercises is set.
bool WantsRelatedSentences(const Settings& settings, bool attachExampleSentences);

// Adds the related sentences when asked, turns the codes into unit numbers and drops the codes
// that no unit holds (the last entries fill the holes), sets ready and plan.mode = Learning.
void PrepareSetForSession(CurrentSet& set, const UnitTable& units,
                          const std::vector<Relation>& relations, bool addRelatedSentences,
                          SessionPlan& plan);

// Replaces the codes with those of a code-list file's bytes: ten header lines, then one integer
// per line; values above 0 are taken once each, at most kMaxSetUnits; lines that are not numbers
// are skipped.
void ParseCodeList(std::string_view bytes, CurrentSet& set);
// The same from a file (a missing file gives an empty set); plan.currentKind becomes 0.
void ReadCodeList(const std::string& path, CurrentSet& set, SessionPlan& plan);

// ---- Backgrounds --------------------------------------------------------------------------------

struct Background {
    std::string path;
    bool used = false;
};

struct BackgroundList {
    std::vector<Background> entries;  // at most kMaxBackgrounds
    int current = 0;                  // 1-based; 0 when the list is empty
};

// The .jpg files of programDir + "cw_tla_s/", then its .bmp files, then the .bmp files of the
// disc's cw_tla_s folder (when that is another folder), each folder in name order, hidden files
// left out; at most kMaxBackgrounds. The current index is drawn from 1..entries.
void BuildBackgroundList(const AppPaths& paths, Random& random, BackgroundList& list);

}  // namespace dyd
