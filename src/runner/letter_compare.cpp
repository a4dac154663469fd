#include "runner/letter_compare.h"

#include <algorithm>
#include <cstdint>

namespace dyd {

namespace {

// Above this many cells the middle of two long texts is compared place by place.
constexpr std::size_t kMaxCells = 4'000'000;

std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 1;
    }
    if (at + length > text.size()) {
        return 1;
    }
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0) != 0x80) {
            return 1;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 1;
    }
    return length;
}

// A step's cost: changes first, then (negated) letters kept, so that among alignments with as
// few changes the one keeping the most letters wins.
struct Cost {
    int changes = 0;
    int kept = 0;
    bool operator<(const Cost& other) const {
        return changes != other.changes ? changes < other.changes : kept > other.kept;
    }
    bool operator==(const Cost&) const = default;
};

void Append(LetterComparison& out, const std::string& text, LetterMark mark,
            const std::string& expected = {}) {
    out.letters.push_back({text, mark, mark == LetterMark::Wrong ? expected : std::string()});
    if (mark != LetterMark::Same) {
        ++out.distance;
    }
}

}  // namespace

std::vector<std::string> SplitLetters(std::string_view utf8) {
    std::vector<std::string> letters;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t length = SequenceLength(utf8, at);
        letters.emplace_back(utf8.substr(at, length));
        at += length;
    }
    return letters;
}

LetterComparison CompareLetters(std::string_view expectedText, std::string_view answerText) {
    const std::vector<std::string> e = SplitLetters(expectedText);
    const std::vector<std::string> a = SplitLetters(answerText);
    LetterComparison out;

    // The common beginning and end need no table.
    std::size_t head = 0;
    while (head < e.size() && head < a.size() && e[head] == a[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < e.size() - head && tail < a.size() - head &&
           e[e.size() - 1 - tail] == a[a.size() - 1 - tail]) {
        ++tail;
    }
    for (std::size_t k = 0; k < head; ++k) {
        Append(out, a[k], LetterMark::Same);
    }

    const std::size_t n = e.size() - head - tail;  // expected letters in the middle
    const std::size_t m = a.size() - head - tail;  // typed letters in the middle
    auto E = [&](std::size_t i) -> const std::string& { return e[head + i]; };
    auto A = [&](std::size_t j) -> const std::string& { return a[head + j]; };

    if ((n + 1) * (m + 1) > kMaxCells) {
        const std::size_t both = std::min(n, m);
        for (std::size_t k = 0; k < both; ++k) {
            Append(out, A(k), E(k) == A(k) ? LetterMark::Same : LetterMark::Wrong, E(k));
        }
        for (std::size_t k = both; k < m; ++k) {
            Append(out, A(k), LetterMark::Extra);
        }
        for (std::size_t k = both; k < n; ++k) {
            Append(out, E(k), LetterMark::Missing);
        }
    } else {
        // cost[i][j]: the best alignment of the expected letters from i on with the typed
        // letters from j on. Walking it from the start keeps letters as early as it can, so the
        // changes go towards the end.
        const std::size_t w = m + 1;
        std::vector<Cost> cost((n + 1) * w);
        auto at = [&](std::size_t i, std::size_t j) -> Cost& { return cost[i * w + j]; };
        for (std::size_t i = n + 1; i-- > 0;) {
            for (std::size_t j = m + 1; j-- > 0;) {
                if (i == n && j == m) {
                    continue;
                }
                Cost best{1 << 30, 0};
                if (i < n && j < m) {
                    Cost diagonal = at(i + 1, j + 1);
                    if (E(i) == A(j)) {
                        ++diagonal.kept;
                    } else {
                        ++diagonal.changes;
                    }
                    best = std::min(best, diagonal);
                }
                if (i < n) {
                    Cost missing = at(i + 1, j);
                    ++missing.changes;
                    best = std::min(best, missing);
                }
                if (j < m) {
                    Cost extra = at(i, j + 1);
                    ++extra.changes;
                    best = std::min(best, extra);
                }
                at(i, j) = best;
            }
        }
        std::size_t i = 0;
        std::size_t j = 0;
        while (i < n || j < m) {
            const Cost here = at(i, j);
            if (i < n && j < m) {
                Cost diagonal = at(i + 1, j + 1);
                const bool same = E(i) == A(j);
                if (same) {
                    ++diagonal.kept;
                } else {
                    ++diagonal.changes;
                }
                if (diagonal == here) {
                    Append(out, A(j), same ? LetterMark::Same : LetterMark::Wrong, E(i));
                    ++i;
                    ++j;
                    continue;
                }
            }
            if (i < n) {
                Cost missing = at(i + 1, j);
                ++missing.changes;
                if (missing == here) {
                    Append(out, E(i), LetterMark::Missing);
                    ++i;
                    continue;
                }
            }
            Append(out, A(j), LetterMark::Extra);
            ++j;
        }
    }

    for (std::size_t k = a.size() - tail; k < a.size(); ++k) {
        Append(out, a[k], LetterMark::Same);
    }
    return out;
}

LetterComparison CompareGapLetters(const std::vector<std::string>& expected,
                                   const std::vector<std::string>& answers) {
    LetterComparison out;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        if (expected[k].empty()) {
            continue;
        }
        if (!out.letters.empty()) {
            Append(out, ";", LetterMark::Same);
            Append(out, " ", LetterMark::Same);
        }
        const LetterComparison gap =
            CompareLetters(expected[k], k < answers.size() ? answers[k] : std::string());
        out.letters.insert(out.letters.end(), gap.letters.begin(), gap.letters.end());
        out.distance += gap.distance;
    }
    return out;
}

}  // namespace dyd
