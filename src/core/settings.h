#pragma once

// A learner's settings for one course database: the 149 lines of code + ".ustaw".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dyd {

inline constexpr int kSettingsLines = 149;
inline constexpr int kKindSlots = 20;    // per-kind tables are indexed 1..20
inline constexpr int kInterludePacks = 7;

struct Settings {
    int determiningKindWords = 6;                      // 1
    std::array<int, kKindSlots + 1> repetitionKindRule{};  // 2-21, [1..20]
    bool reservedFlag22 = true;                        // 22
    int intensity = 0;                                 // 23: 0 one, 1 two, 2 four
    std::array<bool, kInterludePacks + 1> interludeEnabled{false, true, true, true,
                                                            true,  true, true, true};  // 24..36
    std::array<int, kInterludePacks + 1> interludePosition{};  // 25..37, [1..7]
    int reservedNumber38 = 0;                          // 38
    int determiningKindSentences = 12;                 // 39
    bool showStatistics = true;                        // 40
    bool proposeSentenceExercises = false;             // 41
    int reservedNumber42 = 2;                          // 42, 43
    double frequencyFactor = 1.9;                      // 44, 45
    std::array<bool, 5> searchOptions{false, true, true, false, true};  // 46-49, [1..4]
    bool helpHintShown = false;                        // 50
    bool reservedFlag51 = false;                       // 51
    bool f5HintShown = false;                          // 52
    bool intensityOneInRepetitions = true;             // 53
    int masteredInterval = 6;                          // 54
    bool interludesAtEndOnly = false;                  // 55
    int startCounter = 1;                              // 56
    int savedRecordCount = 0;                          // 57
    int knownInterval = 100;                           // 58
    bool showSummary = false;                          // 59
    // 60-139: learningKinds[t][k], unit kind t = 1..4, exercise kind k = 1..20.
    std::array<std::array<bool, kKindSlots + 1>, 5> learningKinds{};
    int learningMode = 0;                              // 140
    int newUnitsCountIndex = 0;                        // 141
    int filterLevel = 0;                               // 142
    int filterWordClass = 0;                           // 143
    int filterUnitType = 0;                            // 144
    int filterLearned = 0;                             // 145
    int presentationNextDelay = 1;                     // 146
    int presentationTranslationDelay = 0;              // 147
    int presentationBackground = 0;                    // 148
    int groupIndex = 1;                                // 149

    // Derived at load, not stored.
    std::array<int, kInterludePacks + 1> interludeCountdown{};
    int interludeSlot = 1;
};

}  // namespace dyd
