#include "runner/choices.h"

#include <algorithm>
#include <utility>

#include "core/text.h"

namespace dyd {

namespace {

constexpr int kPartOfSpeechPhrase = 5;

// Mode F stops widening at these fills (steps b and c), mode P at the others.
constexpr int kForeignWidenBelow = 12;
constexpr int kPolishWidenBelow = 20;
constexpr int kRestartBelow = 10;
constexpr std::size_t kPolishMaxLength = 50;

// The draw falls back to the first slots of the pool after this many refusals for one slot.
constexpr int kRefusalsBeforeNarrowing = 30;
constexpr int kNarrowedRange = 30;

std::string_view FirstCharacter(std::string_view text) {
    return text.substr(0, 1);
}

void Append(DistractorPool& pool, std::string_view text) {
    if (pool.fill >= kMaxPoolEntries) {
        return;
    }
    const auto slot = static_cast<std::size_t>(pool.fill);
    if (slot < pool.table.size()) {
        pool.table[slot] = text;
    } else {
        pool.table.emplace_back(text);
    }
    ++pool.fill;
}

template <typename Accept, typename TextOf>
void AppendWhere(DistractorPool& pool, const UnitTable& units, Accept accept, TextOf textOf) {
    for (int n = 1; n <= units.unitCount() && pool.fill < kMaxPoolEntries; ++n) {
        const Unit& candidate = units.unit(n);
        if (accept(candidate)) {
            Append(pool, textOf(candidate));
        }
    }
}

// The text of pool slot i; slots the table never reached read as the empty text.
const std::string& PoolText(const DistractorPool& pool, int i) {
    static const std::string empty;
    const auto slot = static_cast<std::size_t>(i);
    return slot < pool.table.size() ? pool.table[slot] : empty;
}

bool Taken(const ChoiceSet& set, std::string_view text) {
    for (int s = 1; s <= 4; ++s) {
        if (set.texts[static_cast<std::size_t>(s)] == text) {
            return true;
        }
    }
    return false;
}

// The pool entries in [0, range) that slot may take now.
std::vector<int> Acceptable(const DistractorPool& pool, const ChoiceSet& set, int range) {
    std::vector<int> found;
    for (int i = 0; i < range; ++i) {
        const std::string& text = PoolText(pool, i);
        if (!text.empty() && !Taken(set, text)) {
            found.push_back(i);
        }
    }
    return found;
}

int DistinctWrongTexts(const DistractorPool& pool, std::string_view right) {
    std::vector<std::string_view> seen;
    for (int i = 0; i < pool.fill; ++i) {
        const std::string& text = PoolText(pool, i);
        if (text.empty() || text == right ||
            std::find(seen.begin(), seen.end(), text) != seen.end()) {
            continue;
        }
        seen.push_back(text);
        if (seen.size() >= 3) {
            break;
        }
    }
    return static_cast<int>(seen.size());
}

// One wrong text for a slot: uniform draws over the pool, refusing texts already shown (and the
// empty text); after 30 refusals the draw keeps to the first 30 entries; after 30 more the
// slot takes one of the acceptable entries directly, so the draw always ends.
std::string DrawOne(const DistractorPool& pool, const ChoiceSet& set, int& range, Random& random) {
    int refusals = 0;
    while (refusals <= 2 * kRefusalsBeforeNarrowing) {
        const std::string& text = PoolText(pool, random.Below(range));
        if (!text.empty() && !Taken(set, text)) {
            return text;
        }
        ++refusals;
        if (refusals > kRefusalsBeforeNarrowing && range > kNarrowedRange) {
            range = kNarrowedRange;
        }
    }
    std::vector<int> candidates = Acceptable(pool, set, range);
    if (candidates.empty()) {
        candidates = Acceptable(pool, set, pool.fill);
    }
    if (candidates.empty()) {
        return {};
    }
    return PoolText(
        pool,
        candidates[static_cast<std::size_t>(random.Below(static_cast<int>(candidates.size())))]);
}

// Every "..." of a choice (at most two) as " ... " with the text around it trimmed.
std::string SpaceEllipses(std::string text) {
    std::size_t from = 0;
    for (int done = 0; done < 2; ++done) {
        const std::size_t p = text.find("...", from);
        if (p == std::string::npos) {
            break;
        }
        const std::string before = Trim(std::string_view(text).substr(0, p));
        const std::string after = Trim(std::string_view(text).substr(p + 3));
        text = before + " ... " + after;
        from = before.size() + 5;
    }
    return text;
}

}  // namespace

void BuildDistractorPool(DistractorPool& pool, const UnitTable& units, int unit, PoolMode mode) {
    pool.fill = 0;
    if (unit < 1 || unit > units.unitCount()) {
        return;
    }
    const Unit& u = units.unit(unit);
    if (mode == PoolMode::Foreign) {
        const std::string_view first = FirstCharacter(u.foreignText);
        const auto text = [](const Unit& c) -> std::string_view { return c.foreignText; };
        AppendWhere(
            pool, units,
            [&](const Unit& c) {
                return c.partOfSpeech == u.partOfSpeech && FirstCharacter(c.foreignText) == first;
            },
            text);
        if (pool.fill < kForeignWidenBelow) {
            AppendWhere(
                pool, units,
                [&](const Unit& c) {
                    return FirstCharacter(c.foreignText) == first &&
                           c.partOfSpeech != kPartOfSpeechPhrase;
                },
                text);
        }
        if (pool.fill < kRestartBelow) {
            pool.fill = 0;
            AppendWhere(
                pool, units, [](const Unit& c) { return c.partOfSpeech != kPartOfSpeechPhrase; },
                text);
        }
        return;
    }
    const auto text = [](const Unit& c) -> std::string_view { return c.nativeText; };
    AppendWhere(
        pool, units,
        [&](const Unit& c) {
            return c.nativeText.size() < kPolishMaxLength && c.groupId == u.groupId &&
                   c.partOfSpeech == u.partOfSpeech;
        },
        text);
    if (pool.fill < kPolishWidenBelow) {
        AppendWhere(
            pool, units,
            [&](const Unit& c) {
                return c.groupId == u.groupId && c.partOfSpeech != kPartOfSpeechPhrase;
            },
            text);
    }
    if (pool.fill < kRestartBelow) {
        pool.fill = 0;
        AppendWhere(
            pool, units, [](const Unit& c) { return c.partOfSpeech != kPartOfSpeechPhrase; }, text);
    }
}

ChoiceSet DrawChoices(const DistractorPool& pool, std::string_view right, Random& random) {
    ChoiceSet set;
    set.shown = 1 + DistinctWrongTexts(pool, right);
    set.correct = 1 + random.Below(set.shown);
    set.texts[static_cast<std::size_t>(set.correct)] = std::string(right);
    int range = std::max(pool.fill, 1);
    for (int s = 1; s <= set.shown; ++s) {
        if (s != set.correct) {
            set.texts[static_cast<std::size_t>(s)] = DrawOne(pool, set, range, random);
        }
    }
    return set;
}

ChoiceSet BuildSentenceChoices(std::string_view options, std::string_view right, Random& random) {
    ChoiceSet set;
    const std::string_view trimmed = TrimView(options);
    if (!trimmed.empty()) {
        std::size_t start = 0;
        // Pieces go to slots 1..4; what follows the fourth "/" would be slot 5, never shown.
        for (int s = 1; s <= 4; ++s) {
            const std::size_t bar = trimmed.find('/', start);
            set.texts[static_cast<std::size_t>(s)] = Trim(trimmed.substr(start, bar - start));
            if (bar == std::string_view::npos) {
                break;
            }
            start = bar + 1;
        }
    }
    set.texts[4] = std::string(right);
    const int r = 1 + random.Below(3);
    std::swap(set.texts[static_cast<std::size_t>(r)], set.texts[4]);
    set.correct = r;
    for (int s = 1; s <= 3; ++s) {
        if (set.texts[static_cast<std::size_t>(s)].empty()) {
            std::swap(set.texts[static_cast<std::size_t>(s)], set.texts[4]);
            if (set.correct == s) {
                set.correct = 4;
            } else if (set.correct == 4) {
                set.correct = s;
            }
            break;
        }
    }
    if (set.texts[4].empty()) {
        // Empty choices stay behind the filled ones, so that none shows between them; the right
        // choice keeps its place among them even when its text is empty.
        std::array<std::string, 5> packed;
        int next = 1;
        int correct = set.correct;
        for (int s = 1; s <= 4; ++s) {
            auto& text = set.texts[static_cast<std::size_t>(s)];
            if (!text.empty() || s == set.correct) {
                if (s == set.correct) {
                    correct = next;
                }
                packed[static_cast<std::size_t>(next++)] = std::move(text);
            }
        }
        set.texts = std::move(packed);
        set.correct = correct;
        set.shown = next - 1;
    }
    for (int s = 1; s <= 4; ++s) {
        auto& text = set.texts[static_cast<std::size_t>(s)];
        text = SpaceEllipses(std::move(text));
    }
    return set;
}

MarkedSentence SplitMarkedSentence(std::string_view foreignText) {
    MarkedSentence result;
    const std::size_t p1 = foreignText.find('<');
    const std::size_t q1 = p1 == std::string_view::npos ? p1 : foreignText.find('>', p1 + 1);
    if (q1 == std::string_view::npos) {
        result.prompt = std::string(foreignText);
        return result;
    }
    const auto piece = [&](std::size_t from, std::size_t to) {
        return Trim(foreignText.substr(from, to == std::string_view::npos ? to : to - from));
    };
    const std::size_t p2 = foreignText.find('<', q1 + 1);
    const std::size_t q2 = p2 == std::string_view::npos ? p2 : foreignText.find('>', p2 + 1);
    if (q2 == std::string_view::npos) {
        result.prompt = piece(0, p1) + " ... " + piece(q1 + 1, std::string_view::npos);
        result.expected = piece(p1 + 1, q1);
        return result;
    }
    result.prompt = piece(0, p1) + " ... " + piece(q1 + 1, p2) + " ... " +
                    piece(q2 + 1, std::string_view::npos);
    result.expected = piece(p1 + 1, q1) + " ... " + piece(p2 + 1, q2);
    return result;
}

}  // namespace dyd
