#pragma once

// Judging typed answers: the answer and the expected text are compared after normalising both;
// an answer that does not match the expected text itself may match a spelling variant made with
// the database's substitution pairs or an entry of the unit's list of accepted alternatives. Gap
// answers are judged gap by gap. Also the keys that type national characters into answer fields.
// Every text is bytes in the code page it was read in.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxAlternatives = 90;
inline constexpr int kMaxVariants = 40;

// The texts accepted in place of the expected answer: the pieces of text split at "/" (trimmed);
// in kind 6 of an English database (language 1) for a verb (partOfSpeech 3) also the unit's
// foreignText and "to " + every entry not starting with "to " (case-insensitive A-Z); in kind 8 of
// a German database (language 2) also "die " + plural. At most kMaxAlternatives.
std::vector<std::string> BuildAlternatives(std::string_view text, int kind, int language,
                                           const Unit& unit);

// The spellings derived from expected with the substitution pairs (key -> value only), at most
// kMaxVariants; once full, each further one overwrites the last.
std::vector<std::string> BuildVariants(std::string_view expected,
                                       const std::vector<Substitution>& substitutions);

struct TypedVerdict {
    bool correct = false;
    bool acceptedByAlternative = false;
    std::string learnerAnswer;  // normalised typed text, a trailing "\" dropped
};

// A typed answer of kind 5, 6 or 8. Dictation (kind 5) ignores the alternatives.
TypedVerdict JudgeTypedText(std::string_view typed, std::string_view expected,
                            const std::vector<std::string>& alternatives, int kind,
                            const std::vector<Substitution>& substitutions);

struct GapVerdict {
    bool correct = false;                // every gap right
    bool acceptedByAlternative = false;  // some gap matched only through its alternatives
    std::string learnerAnswer;           // t1, then "; " + t2 and "; " + t3 when not empty
    std::array<bool, 3> gapRight{};
};

// The gap answers of kind 12: typed[i] against gaps[i] (the texts between the markers, see
// GapAnswers in text_layout.h); the unit's synonyms split at "#" give each gap its alternatives
// (BuildAlternatives of that part). A gap whose expected text is empty counts as right.
GapVerdict JudgeGapTexts(const std::array<std::string, 3>& typed,
                         const std::array<std::string, 3>& gaps, const Unit& unit, int language,
                         const std::vector<Substitution>& substitutions);

// The character that Ctrl + a letter key (letter 'A'..'Z') types in an answer field, as a byte of
// the database's code page; none unless ctrl is held without alt, or when the language has no
// mapping for the letter.
std::optional<unsigned char> NationalKey(int language, char letter, bool ctrl, bool alt,
                                         bool shift);

}  // namespace dyd
