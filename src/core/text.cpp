#include "core/text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <charconv>
#include <limits>

namespace dyd {

std::string_view TrimView(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlankByte(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlankByte(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string Trim(std::string_view text) {
    return std::string(TrimView(text));
}

std::string LowerAZ(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string UpperAZ(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

namespace {
char FoldAZ(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool EqualsIgnoreCaseAZ(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAZ(a[i]) != FoldAZ(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoreCaseAZ(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoreCaseAZ(text.substr(0, prefix.size()), prefix);
}

int PosFrom(int start, std::string_view text, std::string_view pattern) {
    if (pattern.empty() || text.empty() || start < 1 || start > static_cast<int>(text.size())) {
        return -1;
    }
    const std::size_t found = text.find(pattern, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? -1 : static_cast<int>(found) + 1;
}

std::string ZeroPad(int width, std::int64_t number) {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> IntOrZero(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    if (trimmed.empty()) {
        return 0;
    }
    return ParseInt(trimmed);
}

std::string EscapeEquals(std::string_view text, int mode) {
    std::string out(text);
    const char from = mode == 1 ? '=' : '#';
    const char to = mode == 1 ? '#' : '=';
    for (char& c : out) {
        if (c == from) {
            c = to;
        }
    }
    return out;
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::size_t stop = end;
        if (stop > start && bytes[stop - 1] == '\r') {
            --stop;
        }
        lines.push_back(bytes.substr(start, stop - start));
        start = next;
    }
    return lines;
}

EqualsFields::EqualsFields(std::string_view text, int maxFields) {
    // Sixteen bytes are looked at a time: a base line is a hundred bytes or more in short fields,
    // for which a library search per field costs more than it finds.
    const char* const bytes = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    const auto take = [&](std::size_t eq) {
        const std::string_view field(bytes + start, eq - start);
        if (count_ < kInline) {
            inline_[static_cast<std::size_t>(count_)] = field;
        } else {
            more_.push_back(field);
        }
        ++count_;
        start = eq + 1;
    };
    std::size_t at = 0;
#if defined(__SSE2__)
    const __m128i equals = _mm_set1_epi8('=');
    for (; at + 16 <= size && count_ < maxFields; at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        auto marks = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, equals)));
        while (marks != 0 && count_ < maxFields) {
            take(at + static_cast<std::size_t>(__builtin_ctz(marks)));
            marks &= marks - 1;
        }
    }
#endif
    for (; at < size && count_ < maxFields; ++at) {
        if (bytes[at] == '=') {
            take(at);
        }
    }
    rest_ = text.substr(start);
}

std::string_view EqualsFields::raw(int index) const {
    if (!has(index)) {
        return {};
    }
    return index < kInline ? inline_[static_cast<std::size_t>(index)]
                           : more_[static_cast<std::size_t>(index - kInline)];
}

namespace {
bool IsTokenMark(char c) {
    return c == '%' || c == ',' || c == '<' || c == '>' || c == '@' || c == '^';
}
}  // namespace

void Tokenizer::SetTokenText(std::string_view text) {
    text_ = Trim(text);
    position_ = 0;
}

std::string Tokenizer::NextToken() {
    if (text_.empty() || position_ >= text_.size()) {
        return {};
    }
    const char c = text_[position_];
    if (c == ' ') {
        while (position_ < text_.size() && text_[position_] == ' ') {
            ++position_;
        }
        return " ";
    }
    if (IsTokenMark(c)) {
        ++position_;
        return std::string(1, c);
    }
    const std::size_t begin = position_;
    while (position_ < text_.size() && text_[position_] != ' ' && !IsTokenMark(text_[position_])) {
        ++position_;
    }
    return text_.substr(begin, position_ - begin);
}

}  // namespace dyd
