#include "runner/answer_check.h"

#include <algorithm>

#include "core/markup.h"
#include "core/text.h"

namespace dyd {

namespace {

constexpr int kEnglish = 1;
constexpr int kGerman = 2;
constexpr int kFrench = 3;
constexpr int kDictation = 5;
constexpr int kTypedTranslation = 6;
constexpr int kTypedPlural = 8;

void AddAlternative(std::vector<std::string>& list, std::string text) {
    if (static_cast<int>(list.size()) < kMaxAlternatives) {
        list.push_back(std::move(text));
    }
}

void AddVariant(std::vector<std::string>& list, std::string text) {
    if (static_cast<int>(list.size()) < kMaxVariants) {
        list.push_back(std::move(text));
    } else {
        list.back() = std::move(text);
    }
}

std::string ReplaceAt(std::string text, std::size_t at, std::size_t length,
                      std::string_view value) {
    text.replace(at, length, value);
    return text;
}

// Whether normalised text equals the expected one or one of its spelling variants.
bool MatchesExpected(std::string_view answer, std::string_view expected,
                     const std::vector<Substitution>& substitutions) {
    if (NormalizeAnswerText(expected) == answer) {
        return true;
    }
    const std::vector<std::string> variants = BuildVariants(expected, substitutions);
    return std::any_of(variants.begin(), variants.end(), [&](const std::string& variant) {
        return NormalizeAnswerText(variant) == answer;
    });
}

bool MatchesAlternative(std::string_view answer, const std::vector<std::string>& alternatives) {
    return std::any_of(alternatives.begin(), alternatives.end(), [&](const std::string& entry) {
        return NormalizeAnswerText(entry) == answer;
    });
}

std::array<std::string, 3> SplitSynonymsPerGap(std::string_view synonyms) {
    std::array<std::string, 3> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t hash = synonyms.find('#', start);
        parts[i] = std::string(synonyms.substr(start, hash - start));
        if (hash == std::string_view::npos) {
            break;
        }
        start = hash + 1;
    }
    return parts;
}

struct KeyCodes {
    char letter;
    unsigned char plain;
    unsigned char shifted;  // 0: Shift gives the plain code
};

constexpr KeyCodes kGermanKeys[] = {
    {'A', 228, 196}, {'E', 235, 203}, {'O', 246, 214}, {'S', 223, 0}, {'U', 252, 220},
};
constexpr KeyCodes kFrenchKeys[] = {
    {'D', 232, 0}, {'E', 231, 0}, {'F', 235, 0}, {'I', 238, 0}, {'L', 251, 0}, {'O', 244, 0},
    {'P', 249, 0}, {'Q', 226, 0}, {'R', 233, 0}, {'U', 239, 0}, {'W', 224, 0}, {'Y', 234, 0},
};
constexpr KeyCodes kSeventhAndAboveKeys[] = {
    {'E', 234, 202},
    {'O', 243, 211},
};

template <std::size_t N>
std::optional<unsigned char> LookUp(const KeyCodes (&table)[N], char letter, bool shift) {
    for (const KeyCodes& entry : table) {
        if (entry.letter == letter) {
            return shift && entry.shifted != 0 ? entry.shifted : entry.plain;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> BuildAlternatives(std::string_view text, int kind, int language,
                                           const Unit& unit) {
    std::vector<std::string> list;
    const std::string_view trimmed = TrimView(text);
    if (!trimmed.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t bar = trimmed.find('/', start);
            std::string piece = Trim(trimmed.substr(start, bar - start));
            // An empty piece ("a//b") would accept an empty answer.
            if (!piece.empty()) {
                AddAlternative(list, std::move(piece));
            }
            if (bar == std::string_view::npos) {
                break;
            }
            start = bar + 1;
        }
    }
    if (kind == kTypedTranslation && language == kEnglish && unit.partOfSpeech == kVerb) {
        AddAlternative(list, unit.foreignText);
        const std::size_t standing = list.size();
        for (std::size_t i = 0; i < standing; ++i) {
            if (LowerAZ(std::string_view(list[i]).substr(0, 3)) != "to ") {
                AddAlternative(list, "to " + list[i]);
            }
        }
    }
    if (kind == kTypedPlural && language == kGerman && !Trim(unit.plural).empty()) {
        AddAlternative(list, "die " + unit.plural);
    }
    return list;
}

std::vector<std::string> BuildVariants(std::string_view expected,
                                       const std::vector<Substitution>& substitutions) {
    std::vector<std::string> variants;
    const std::string text(expected);
    for (const Substitution& first : substitutions) {
        if (first.key.empty()) {
            continue;
        }
        const std::size_t a = text.find(first.key);
        if (a == std::string::npos) {
            continue;
        }
        const std::string withFirst = ReplaceAt(text, a, first.key.size(), first.value);
        AddVariant(variants, withFirst);
        // A second key counts from one character past the end of the first occurrence.
        const std::size_t from = a + first.key.size() + 1;
        for (const Substitution& second : substitutions) {
            if (second.key.empty() || from >= text.size()) {
                continue;
            }
            const std::size_t b = text.find(second.key, from);
            if (b == std::string::npos) {
                continue;
            }
            AddVariant(variants, ReplaceAt(text, b, second.key.size(), second.value));
            // In withFirst the second occurrence moved by the change in length of the first.
            const std::size_t shifted = b - first.key.size() + first.value.size();
            AddVariant(variants, ReplaceAt(withFirst, shifted, second.key.size(), second.value));
        }
    }
    return variants;
}

TypedVerdict JudgeTypedText(std::string_view typed, std::string_view expected,
                            const std::vector<std::string>& alternatives, int kind,
                            const std::vector<Substitution>& substitutions) {
    TypedVerdict verdict;
    verdict.learnerAnswer = NormalizeAnswerText(typed);
    if (verdict.learnerAnswer.size() > 1 && verdict.learnerAnswer.back() == '\\') {
        verdict.learnerAnswer.pop_back();
    }
    if (MatchesExpected(verdict.learnerAnswer, expected, substitutions)) {
        verdict.correct = true;
    } else if (kind != kDictation && MatchesAlternative(verdict.learnerAnswer, alternatives)) {
        verdict.correct = true;
        verdict.acceptedByAlternative = true;
    }
    return verdict;
}

GapVerdict JudgeGapTexts(const std::array<std::string, 3>& typed,
                         const std::array<std::string, 3>& gaps, const Unit& unit, int language,
                         const std::vector<Substitution>& substitutions) {
    constexpr int kGapFilling = 12;
    GapVerdict verdict;
    const std::array<std::string, 3> parts = SplitSynonymsPerGap(unit.synonyms);
    std::array<std::string, 3> trimmed;
    for (std::size_t i = 0; i < gaps.size(); ++i) {
        trimmed[i] = Trim(typed[i]);
        if (gaps[i].empty()) {
            verdict.gapRight[i] = true;
            continue;
        }
        const std::string answer = NormalizeAnswerText(trimmed[i]);
        if (MatchesExpected(answer, gaps[i], substitutions)) {
            verdict.gapRight[i] = true;
        } else if (MatchesAlternative(answer,
                                      BuildAlternatives(parts[i], kGapFilling, language, unit))) {
            verdict.gapRight[i] = true;
            verdict.acceptedByAlternative = true;
        }
    }
    verdict.correct = std::all_of(verdict.gapRight.begin(), verdict.gapRight.end(),
                                  [](bool right) { return right; });
    verdict.learnerAnswer = trimmed[0];
    for (std::size_t i = 1; i < trimmed.size(); ++i) {
        if (!trimmed[i].empty()) {
            verdict.learnerAnswer += "; " + trimmed[i];
        }
    }
    return verdict;
}

std::optional<unsigned char> NationalKey(int language, char letter, bool ctrl, bool alt,
                                         bool shift) {
    if (!ctrl || alt) {
        return std::nullopt;
    }
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (language == kGerman) {
        return LookUp(kGermanKeys, letter, shift);
    }
    if (language == kFrench) {
        return LookUp(kFrenchKeys, letter, shift);
    }
    if (language >= 7) {
        return LookUp(kSeventhAndAboveKeys, letter, shift);
    }
    return std::nullopt;
}

}  // namespace dyd
