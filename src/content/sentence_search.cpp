#include "content/sentence_search.h"

#include "core/markup.h"
#include "core/text.h"

namespace dyd {

bool HasPlayableRecording(const Unit& unit) {
    const std::string_view recording = TrimView(unit.recording);
    return !recording.empty() && recording != "0";
}

std::optional<std::string> SearchSentences(const UnitTable& units, std::string_view typed) {
    const std::string pattern = LowerAZ(TrimView(typed));
    if (pattern.empty()) {
        return std::nullopt;
    }
    std::string text;
    int found = 0;
    for (int u = units.wordUnitCount + 1; u <= units.unitCount() && found < kMaxFoundSentences;
         ++u) {
        const Unit& unit = units.unit(u);
        if (unit.searchText.find(pattern) == std::string::npos) {
            continue;
        }
        ++found;
        const std::string number = ZeroPad(5, u);
        if (HasPlayableRecording(unit)) {
            text += "#S=" + number + "#";
        }
        text += " ";
        if (!TrimView(unit.sentenceTranslation).empty()) {
            text += "#N=" + number + "# ";
        }
        text += StripGapMarkers(unit.foreignText);
        text += "@";
    }
    if (found == 0) {
        text = kNothingFound;
    }
    return GapsToItalics(text);
}

std::optional<int> IconUnit(std::string_view token, const UnitTable& units) {
    if (token.size() < 8) {
        return std::nullopt;
    }
    const std::string_view digits = token.substr(3, 5);
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    const std::optional<std::int32_t> number = ParseInt(digits);
    if (!number || *number < 1 || *number > units.unitCount()) {
        return std::nullopt;
    }
    return *number;
}

std::string TranslationLine(const Unit& unit) {
    if (!TrimView(unit.sentenceTranslation).empty()) {
        return unit.sentenceTranslation;
    }
    // " ->>> bedzie tłumaczenie całego zdania" in Windows-1250.
    return unit.nativeText +
           " ->>> bedzie t\xB3umaczenie ca\xB3"
           "ego zdania";
}

}  // namespace dyd
