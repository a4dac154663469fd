#pragma once

// The inline markup of unit texts: gap markers "<" ">", line breaks "@" and "<br>", bold and
// italic switches, character-set switches and icon markers, and the string functions over them.

#include <string>
#include <string_view>
#include <vector>

#include "core/unit_table.h"

namespace dyd {

// Gives every occurrence of mark no space before it and exactly one space after it; with a space
// as the mark, runs of spaces become one. The result is trimmed.
std::string SpaceAroundMark(std::string_view text, std::string_view mark);

// The form in which a typed answer and the expected one are compared.
std::string NormalizeAnswerText(std::string_view text);

// Removes "<" and ">" (the enclosed text stays) and collapses spaces.
std::string StripGapMarkers(std::string_view text);

// "<" becomes "^" (italic on) and ">" becomes "</i>".
std::string GapsToItalics(std::string_view text);

// The text with each gap replaced by " <...> ".
std::string HideGaps(std::string_view text);

// The search copy of a sentence: lowered (A-Z), without gap markers, spaces collapsed.
std::string SearchTextOf(std::string_view foreignText);

// The searchText of every sentence row (unit numbers above wordUnitCount): the foreign text
// lowered (A-Z) without gap markers.
void BuildSearchTexts(UnitTable& units);

enum class MarkupStyle {
    Example,  // example-sentences window: "^" and icon markers, 2099 tokens, 59999 characters
    Pane,     // runner's example pane: "<charset>" and "<polski>", 300 tokens
};

struct MarkupStyleRules {
    std::string_view tagStarts;
    std::vector<std::string_view> tags;  // in matching order
    std::size_t charactersRead;
    std::size_t tokensKept;
    int lineHeight;
};

const MarkupStyleRules& RulesOf(MarkupStyle style);

// Splits a marked-up text into words and tags (tags spelled as in the style's table). Words are
// cut at single spaces; a space right after a tag gives an empty word, which paints as a space.
std::vector<std::string> MarkupTokenizer(std::string_view text, MarkupStyle style);

}  // namespace dyd
