#pragma once

// The search over the sentence units of the example-sentences window and the texts behind its
// icons. Everything is bytes: the pattern and the sentences in the database's code page, the
// translation line in Windows-1250.

#include <optional>
#include <string>
#include <string_view>

#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxFoundSentences = 50;

// Shown in the box when no sentence contains the pattern.
inline constexpr std::string_view kNothingFound = "Nie znaleziono!";

// True when the unit has a recording to play: its recording reference, trimmed, is neither empty
// nor "0".
bool HasPlayableRecording(const Unit& unit);

// The example-style text of the first kMaxFoundSentences sentence units (unit numbers
// wordUnitCount + 1 .. unitCount, in order) whose searchText contains the typed pattern, trimmed
// and lowered (A-Z). Each sentence is "#S=nnnnn#" when it has a recording, " ", "#N=nnnnn# " when
// it has a whole-sentence translation, its foreign text without gap markers and "@"; the whole is
// passed through GapsToItalics. kNothingFound when nothing matches; nothing when the pattern is
// empty (the box keeps its text).
std::optional<std::string> SearchSentences(const UnitTable& units, std::string_view typed);

// The unit number an icon marker names ("#S=00012#" -> 12): the five characters after the first
// three; nothing when they are not a unit number of the table.
std::optional<int> IconUnit(std::string_view token, const UnitTable& units);

// The translation line of a translation icon, Windows-1250: the unit's sentenceTranslation or,
// when that is empty, its nativeText followed by a note that the translation is still to come.
std::string TranslationLine(const Unit& unit);

}  // namespace dyd
