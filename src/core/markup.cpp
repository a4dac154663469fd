#include "core/markup.h"

#include "core/text.h"

namespace dyd {

namespace {

void TrimInPlace(std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && IsBlankByte(s[end - 1])) {
        --end;
    }
    std::size_t begin = 0;
    while (begin < end && IsBlankByte(s[begin])) {
        ++begin;
    }
    s.erase(end);
    s.erase(0, begin);
}

// True when the text has no blank at either end and every blank inside it is a single space
// between two other characters: then spacing it around " " leaves it as it is.
bool SpacedOnce(std::string_view text) {
    if (text.empty()) {
        return true;
    }
    if (IsBlankByte(text.front()) || IsBlankByte(text.back())) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (IsBlankByte(text[i]) && (text[i] != ' ' || IsBlankByte(text[i + 1]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string SpaceAroundMark(std::string_view text, std::string_view mark) {
    const bool spaceMark = mark == " ";
    if (spaceMark && SpacedOnce(text)) {
        return std::string(text);
    }
    std::string_view search = spaceMark ? std::string_view(" ") : mark;
    std::string result;
    result.reserve(text.size() + 8);
    std::size_t start = 0;  // 0-based start position
    if (!mark.empty()) {
        for (;;) {
            const std::size_t p = text.find(search, start);
            if (p == std::string_view::npos) {
                break;
            }
            result += TrimView(text.substr(start, p - start));
            if (!IsBlankByte(text[p])) {
                result += text[p];
            }
            TrimInPlace(result);
            result += ' ';
            start = p + 1;
            if (spaceMark) {
                search = "  ";
            }
        }
    }
    result += TrimView(text.substr(std::min(start, text.size())));
    TrimInPlace(result);
    return result;
}

std::string NormalizeAnswerText(std::string_view text) {
    std::string out = Trim(text);
    for (const std::string_view mark : {" ", ",", ";", ".", "!", ":", "-"}) {
        out = SpaceAroundMark(out, mark);
    }
    return out;
}

std::string StripGapMarkers(std::string_view text) {
    std::string bare;
    bare.reserve(text.size());
    for (const char c : text) {
        if (c != '<' && c != '>') {
            bare.push_back(c);
        }
    }
    return SpaceAroundMark(bare, " ");
}

std::string GapsToItalics(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    std::string out;
    out.reserve(trimmed.size() + 8);
    for (const char c : trimmed) {
        if (c == '<') {
            out.push_back('^');
        } else if (c == '>') {
            out += "</i>";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string HideGaps(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    bool copying = true;
    for (const char c : text) {
        if (c == '>') {
            if (copying) {
                out.push_back(c);
            }
            out += " <...> ";
            copying = true;
        } else if (c == '<') {
            copying = false;
        } else if (copying) {
            out.push_back(c);
        }
    }
    return out;
}

std::string SearchTextOf(std::string_view foreignText) {
    // StripGapMarkers (LowerAZ (text)) in one pass; the spacing pass runs only when the text has
    // a blank that is not a single space between two other characters.
    std::string bare(foreignText.size(), '\0');
    std::size_t used = 0;
    bool spacedOnce = true;
    bool previousBlank = true;  // the start counts as a blank: a leading blank needs the pass
    for (const char c : foreignText) {
        if (c == '<' || c == '>') {
            continue;
        }
        if (IsBlankByte(c)) {
            spacedOnce = spacedOnce && c == ' ' && !previousBlank;
            previousBlank = true;
        } else {
            previousBlank = false;
        }
        bare[used++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    bare.resize(used);
    if (spacedOnce && !(used > 0 && previousBlank)) {
        return bare;
    }
    return SpaceAroundMark(bare, " ");
}

void BuildSearchTexts(UnitTable& units) {
    for (int n = units.wordUnitCount + 1; n <= units.unitCount(); ++n) {
        Unit& unit = units.unit(n);
        unit.searchText = SearchTextOf(unit.foreignText);
    }
}

const MarkupStyleRules& RulesOf(MarkupStyle style) {
    static const MarkupStyleRules example{
        "<>@^", {"<br>", "@", "<i>", "</i>", "<b>", "</b>", "^"}, 59999, 2099, 20};
    static const MarkupStyleRules pane{
        "<>@",
        {"<br>", "@", "<i>", "</i>", "<b>", "</b>", "<charset>", "<polski>"},
        std::string::npos,
        300,
        19};
    return style == MarkupStyle::Example ? example : pane;
}

std::vector<std::string> MarkupTokenizer(std::string_view text, MarkupStyle style) {
    const MarkupStyleRules& rules = RulesOf(style);
    const std::string_view trimmed = TrimView(text);
    const std::size_t end = std::min(trimmed.size(), rules.charactersRead);
    std::vector<std::string> tokens;
    std::string word;
    const auto emit = [&tokens, &rules](std::string token) {
        if (tokens.size() < rules.tokensKept) {
            tokens.push_back(std::move(token));
        }
    };
    std::size_t pos = 0;
    while (pos < end) {
        const char c = trimmed[pos];
        bool tagFound = false;
        if (rules.tagStarts.find(c) != std::string_view::npos) {
            // A tag character ends the word before it, whether or not a tag follows.
            if (!word.empty()) {
                emit(std::move(word));
                word.clear();
            }
            const std::string_view rest = trimmed.substr(pos, end - pos);
            for (const std::string_view tag : rules.tags) {
                if (StartsWithIgnoreCaseAZ(rest, tag)) {
                    emit(std::string(tag));
                    pos += tag.size();
                    tagFound = true;
                    break;
                }
            }
        }
        if (!tagFound) {
            word.push_back(c);
            ++pos;
        }
        if (pos < end && trimmed[pos] == ' ') {
            emit(std::move(word));
            word.clear();
            ++pos;
        }
    }
    if (!word.empty()) {
        emit(std::move(word));
    }
    return tokens;
}

}  // namespace dyd
