#pragma once

// A learner's settings for one course database: the 149 lines of code + ".ustaw".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"

namespace dyd {

struct CourseDatabase;

inline constexpr int kSettingsLines = 149;
inline constexpr int kKindSlots = 20;  // per-kind tables are indexed 1..20
inline constexpr int kInterludePacks = 7;
inline constexpr int kLearningKindTables = 4;  // unit kinds 1 word, 2 sentence, 3 QA, 4 kept

using LearningKindTables = std::array<std::array<bool, kKindSlots + 1>, kLearningKindTables + 1>;

// The learningKinds of a learner without a settings file: word kinds 1-6, sentence kinds 10-15,
// QA kind 17.
constexpr LearningKindTables DefaultLearningKinds() {
    LearningKindTables tables{};
    for (int k = 1; k <= 6; ++k) {
        tables[1][k] = true;
    }
    for (int k = 10; k <= 15; ++k) {
        tables[2][k] = true;
    }
    tables[3][17] = true;
    return tables;
}

struct Settings {
    int determiningKindWords = 6;                          // 1
    std::array<int, kKindSlots + 1> repetitionKindRule{};  // 2-21, [1..20]
    bool reservedFlag22 = true;                            // 22
    int intensity = 0;                                     // 23: 0 one, 1 two, 2 four
    std::array<bool, kInterludePacks + 1> interludeEnabled{false, true, true, true,
                                                           true,  true, true, true};  // 24..36
    std::array<int, kInterludePacks + 1> interludePosition{};           // 25..37, [1..7]
    int reservedNumber38 = 0;                                           // 38
    int determiningKindSentences = 12;                                  // 39
    bool showStatistics = true;                                         // 40
    bool proposeSentenceExercises = false;                              // 41
    int reservedNumber42 = 2;                                           // 42, 43
    double frequencyFactor = 1.9;                                       // 44, 45
    std::array<bool, 5> searchOptions{false, true, true, false, true};  // 46-49, [1..4]
    bool helpHintShown = false;                                         // 50
    bool reservedFlag51 = false;                                        // 51
    bool f5HintShown = false;                                           // 52
    bool intensityOneInRepetitions = true;                              // 53
    int masteredInterval = 6;                                           // 54
    bool interludesAtEndOnly = false;                                   // 55
    int startCounter = 1;                                               // 56
    int savedRecordCount = 0;                                           // 57
    int knownInterval = 100;                                            // 58
    bool showSummary = false;                                           // 59
    // 60-139: learningKinds[t][k], unit kind t = 1..4, exercise kind k = 1..20.
    LearningKindTables learningKinds = DefaultLearningKinds();
    int learningMode = 0;                  // 140
    int newUnitsCountIndex = 0;            // 141
    int filterLevel = 0;                   // 142
    int filterWordClass = 0;               // 143
    int filterUnitType = 0;                // 144
    int filterLearned = 0;                 // 145
    int presentationNextDelay = 1;         // 146
    int presentationTranslationDelay = 0;  // 147
    int presentationBackground = 0;        // 148
    int groupIndex = 1;                    // 149

    // Derived at load, not stored.
    std::array<int, kInterludePacks + 1> interludeCountdown{};
    int interludeSlot = 1;

    bool operator==(const Settings&) const = default;
};

inline constexpr std::string_view kSettingsExtension = ".ustaw";
inline constexpr double kDefaultFrequencyFactor = 1.9;
inline constexpr std::string_view kRepairedLineMessage = "Naprawiono błąd w linii:";

// A line that held no number where one was expected; it was given its value without a file.
struct SettingsRepair {
    int line = 0;      // 1-based
    std::string text;  // the line as read (file bytes)
};

// "Naprawiono błąd w linii:" + the line (as Windows-1250 text) + "." (UTF-8).
std::string RepairMessage(const SettingsRepair& repair);

// All repairs of one file in one message: a single repair as RepairMessage; more as a heading
// with their count, the first 10 lines (numbered, cut to 60 characters, bytes that are no text
// shown as \xNN) and "i N innych" for the rest. Empty when there is nothing to say.
std::string RepairsMessage(const std::vector<SettingsRepair>& repairs);

// code + ".ustaw"
std::string SettingsFileName(std::string_view databaseCode);

// The settings held by a file's bytes, line by line by the read and range rules, then the
// learningKinds made consistent. A file that ends early repeats its last line (line 58 reads
// "100" instead). Every frequency line that is not a decimal and every present number or flag
// line that holds text is taken at its value without a file and reported in repairs. A file with
// no lines at all gives the defaults. startCounter is left as read.
Settings ParseSettings(std::string_view bytes, std::vector<SettingsRepair>* repairs = nullptr);

// The 149 lines, each ended by CR LF.
std::string FormatSettings(const Settings& settings);

// Makes the learningKinds tables consistent with the determining kinds and the unit kinds.
void RepairLearningKinds(Settings& settings);

struct LoadedSettings {
    Settings settings;
    std::vector<SettingsRepair> repairs;
    std::string file;  // the file read; empty when the defaults were taken
    // The learner's file exists but could not be read: what was taken instead must not be
    // written over it until the learner confirms the settings screen.
    std::string unreadableFile;
};

// Said at the login when the learner's settings file could not be read (UTF-8).
std::string SettingsUnreadableMessage(std::string_view file);

// Reads userDir + code + ".ustaw", or databaseDir + code + ".ustaw" when the learner has none,
// and raises startCounter by one; without either file, the defaults. A learner's file that
// exists but cannot be read is named in unreadableFile, and the database's file or the defaults
// are taken.
LoadedSettings LoadSettings(const AppPaths& paths);

inline constexpr std::string_view kSettingsNotSavedMessage = "Nie udało się zapisać ustawień.";
inline constexpr std::string_view kCorrectionsNotSavedMessage =
    "Nie udało się zapisać pliku korekt.";

struct SaveSettingsResult {
    bool settingsWritten = false;
    bool correctionsWritten = true;  // false only when correction mode is on and they failed
    std::string error;               // UTF-8 message and the reason, when anything failed
    bool ok() const { return settingsWritten && correctionsWritten; }
};

// In correction mode (db.correctionMode) first writes the corrections of db.units, then the
// settings to userDir + code + ".ustaw". A failure of the one does not keep the other from
// being written.
SaveSettingsResult SaveSettings(const AppPaths& paths, const Settings& settings,
                                const CourseDatabase& db);

}  // namespace dyd
