#pragma once

// A wrong typed answer compared letter by letter with the expected one, as the learner sees both
// (UTF-8, one letter per code point, letter case and diacritics count): an edit-distance
// alignment that marks each letter of the answer as right, wrong (typed in place of another),
// extra (to be removed) or missing (to be added; the expected letter is shown in its place).

#include <string>
#include <string_view>
#include <vector>

namespace dyd {

enum class LetterMark { Same, Wrong, Extra, Missing };

struct MarkedLetter {
    std::string text;  // one letter, UTF-8: the learner's, or the expected one where it is missing
    LetterMark mark = LetterMark::Same;
    // For a wrong letter, the expected letter in its place (UTF-8); empty otherwise.
    std::string expected;

    bool operator==(const MarkedLetter&) const = default;
};

struct LetterComparison {
    std::vector<MarkedLetter> letters;  // the learner's answer with the missing letters put in
    int distance = 0;                   // wrong + extra + missing letters

    bool operator==(const LetterComparison&) const = default;
};

// The letters of a UTF-8 text (code points; a byte that starts no valid sequence is a letter of
// its own, so any input is split without loss).
std::vector<std::string> SplitLetters(std::string_view utf8);

// The alignment of answer against expected with the fewest changes. Among alignments with as
// few changes, a letter typed in place of another is preferred to an extra and a missing letter,
// and the changes go as far to the end of the text as they can.
LetterComparison CompareLetters(std::string_view expected, std::string_view answer);

// The comparison of gap answers: each non-empty expected gap against the learner's gap, joined by
// "; " (marked as right).
LetterComparison CompareGapLetters(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& answers);

}  // namespace dyd
