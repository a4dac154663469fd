#include "runner/text_layout.h"

#include "core/text.h"

namespace dyd {

namespace {

constexpr int kSentenceMargin = 4;
constexpr int kGapBoxMargin = 8;
constexpr int kGapCloseWidth = 6;
constexpr int kGapFieldRaise = 3;

bool IsOneOf(std::string_view token, std::initializer_list<std::string_view> set) {
    for (const std::string_view s : set) {
        if (token == s) {
            return true;
        }
    }
    return false;
}

bool IsTokenOfItsOwn(char c) {
    return c == '%' || c == ',' || c == '<' || c == '>' || c == '@' || c == '^';
}

std::string_view TokenAt(const std::vector<std::string>& tokens, std::size_t i) {
    return i < tokens.size() ? std::string_view(tokens[i]) : std::string_view();
}

// The separator after token i of the sentence box; the drawing pass drops it in more places.
std::string_view SentenceSeparator(const std::vector<std::string>& tokens, std::size_t i,
                                   bool drawing) {
    const std::string_view next = TokenAt(tokens, i + 1);
    if (IsOneOf(next, {",", ";", "!", ".", ":"}) && tokens[i] != "...") {
        return {};
    }
    if (drawing && next == ">" && IsOneOf(TokenAt(tokens, i + 2), {",", "."})) {
        return {};
    }
    return " ";
}

struct SentencePass {
    int lines = 1;
    std::vector<DrawnText> items;
};

SentencePass WalkSentence(const std::vector<std::string>& tokens, int boxWidth, bool highlight,
                          const TextMeasure& measure, bool drawing) {
    SentencePass pass;
    const int lineHeight = drawing ? measure.LineHeight() : 0;
    int x = 0;
    bool blue = false;
    const auto newLine = [&] {
        x = 0;
        ++pass.lines;
    };
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "@") {
            newLine();
            continue;
        }
        if (highlight && (token == "<" || token == ">")) {
            blue = token == "<";
            continue;
        }
        const std::string text = token + std::string(SentenceSeparator(tokens, i, drawing));
        const int w = measure.Width(text);
        const bool mayBreak = drawing ? !IsOneOf(token, {",", ";", "!", ".", ":", ">"})
                                      : !IsOneOf(token, {",", ";", ".", ":"});
        if (x + w > boxWidth - kSentenceMargin && mayBreak && x > 0) {
            newLine();
        }
        if (drawing) {
            pass.items.push_back({text, x, (pass.lines - 1) * lineHeight, blue});
        }
        x += w;
    }
    return pass;
}

// The gap box walk; without a measure it only collects the gap texts.
GapLayout WalkGapBox(std::string_view gapText, int boxWidth, int lineHeight,
                     const TextMeasure* measure) {
    GapLayout layout;
    const std::vector<std::string> tokens = SentenceTokens(gapText);
    const auto width = [&](std::string_view text) {
        return measure != nullptr ? measure->Width(text) : 0;
    };
    int x = 0;
    int y = 0;
    bool inside = false;
    int gap = 0;
    std::string collected;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        const std::string_view next = TokenAt(tokens, i + 1);
        const std::string_view afterNext = TokenAt(tokens, i + 2);
        const std::string_view sep =
            IsOneOf(next, {"'", ",", ";", "."}) && next.size() < 2 ? "" : " ";
        const std::string text = t + std::string(sep);
        // A fourth and later gap is not one: its words stay in the sentence, its markers go.
        const bool opensGap = t == "<" && !inside && gap < 3;
        const bool closesGap = t == ">" && inside;
        if (!inside && (t == "<" || t == ">") && !opensGap) {
            continue;
        }
        int w = inside ? 0 : (opensGap ? kGapFieldWidth : width(text));
        if (!inside && x + w > boxWidth - kGapBoxMargin && t != "." && !IsOneOf(next, {".", "?"}) &&
            !IsOneOf(afterNext, {".", "?"}) && x > 0) {
            y += lineHeight;
            x = 0;
        }
        if (t == "@") {
            if (x > 0) {
                y += lineHeight;
                x = 0;
            }
            continue;
        }
        if (opensGap) {
            ++gap;
            const auto n = static_cast<std::size_t>(gap - 1);
            layout.fieldX[n] = x;
            layout.fieldY[n] = y - kGapFieldRaise;
            inside = true;
            collected.clear();
            x += w;
            continue;
        }
        if (closesGap) {
            layout.gaps[static_cast<std::size_t>(gap - 1)] = collected;
            inside = false;
            x += kGapCloseWidth;
            continue;
        }
        if (inside) {
            collected += text;
            continue;
        }
        layout.items.push_back({text, x, y, false});
        x += w;
    }
    for (std::size_t n = 0; n < layout.gaps.size(); ++n) {
        layout.fieldVisible[n] = !layout.gaps[n].empty();
    }
    return layout;
}

}  // namespace

std::vector<std::string> SentenceTokens(std::string_view text) {
    std::vector<std::string> tokens;
    std::string word;
    const auto push = [&](std::string token) {
        if (tokens.size() < static_cast<std::size_t>(kMaxSentenceTokens)) {
            tokens.push_back(std::move(token));
        }
    };
    for (const char c : text) {
        if (IsBlankByte(c) || IsTokenOfItsOwn(c)) {
            if (!word.empty()) {
                push(std::move(word));
                word.clear();
            }
            if (!IsBlankByte(c)) {
                push(std::string(1, c));
            }
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) {
        push(std::move(word));
    }
    return tokens;
}

SentenceLayout LayOutSentence(const std::vector<std::string>& tokens, int boxWidth, bool highlight,
                              const TextMeasure& measure) {
    SentenceLayout layout;
    layout.lines = WalkSentence(tokens, boxWidth, highlight, measure, false).lines;
    layout.items = WalkSentence(tokens, boxWidth, highlight, measure, true).items;
    return layout;
}

int SentenceBoxTop(int lines, bool layoutA) {
    if (layoutA) {
        return 145;
    }
    switch (lines) {
        case 1:
            return 93;
        case 2:
            return 85;
        case 3:
            return 68;
        default:
            return 55;
    }
}

std::array<std::string, 3> GapAnswers(std::string_view gapText) {
    return WalkGapBox(gapText, kSentenceBoxWidth, 0, nullptr).gaps;
}

GapLayout LayOutGapBox(std::string_view gapText, int boxWidth, int lineHeight,
                       const TextMeasure& measure) {
    return WalkGapBox(gapText, boxWidth, lineHeight, &measure);
}

}  // namespace dyd
