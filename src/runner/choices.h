#pragma once

// The choices of the multiple-choice steps: the pool of wrong answers for the word kinds, the
// draw of four distinct choices from it, the choice list of the sentence choice (kind 10) and the
// prompt and expected answer that kind 10 makes of a sentence with marked parts.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMaxPoolEntries = 3999;

enum class PoolMode {
    Foreign,  // foreignText of units (kinds 1 and 4)
    Polish,   // nativeText of units (kind 2)
};

// The table behind the pool keeps its slots between steps: a slot beyond the fill holds what an
// earlier pool left there, or the empty text.
struct DistractorPool {
    std::vector<std::string> table;  // grows up to kMaxPoolEntries, never shrinks
    int fill = 0;                    // entries of the current pool, [0, fill)
};

// Rebuilds the pool for unit number unit (the current unit is part of it).
void BuildDistractorPool(DistractorPool& pool, const UnitTable& units, int unit, PoolMode mode);

struct ChoiceSet {
    std::array<std::string, 5> texts;  // [1..4] shown; [0] unused
    int correct = 0;                   // slot of the right text, 1..4
    int shown = 4;                     // how many of slots 1..4 show (never an empty one)
};

// Four distinct choices, the right text in a random slot. A pool that holds fewer than three
// texts distinct from the right one gives fewer choices (the shown ones are slots 1..shown, all
// distinct and none empty); the draw always ends.
ChoiceSet DrawChoices(const DistractorPool& pool, std::string_view right, Random& random);

// The list of kind 10 from the wrong answers (separated by "/") and the right text; the right
// text is never the fourth choice; an empty choice moves to the end; "..." gets blanks around.
// shown is 3, or 4 when slot 4 is not empty; with a single wrong answer the empty choices all go
// behind the filled ones and shown is 2 (the right choice counts as filled even when its text is
// empty).
ChoiceSet BuildSentenceChoices(std::string_view options, std::string_view right, Random& random);

struct MarkedSentence {
    std::string prompt;    // the sentence with each of the first two marked parts as " ... "
    std::string expected;  // the marked part(s), two joined with " ... "; empty when none
};
MarkedSentence SplitMarkedSentence(std::string_view foreignText);

}  // namespace dyd
