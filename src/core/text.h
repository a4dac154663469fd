#pragma once

// Byte-string helpers shared by every file reader and writer. Texts are kept as the single-byte
// strings read from the files; trimming removes characters with codes 32 and below, and case
// folding changes only the letters A-Z.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dyd {

inline bool IsBlankByte(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// Changes only A-Z / a-z; every other byte stays as it is.
std::string LowerAZ(std::string_view text);
std::string UpperAZ(std::string_view text);
bool EqualsIgnoreCaseAZ(std::string_view a, std::string_view b);
bool StartsWithIgnoreCaseAZ(std::string_view text, std::string_view prefix);

// 1-based position of the first occurrence of pattern in text at or after start;
// -1 when pattern or text is empty, start < 1, start > length or there is no occurrence.
int PosFrom(int start, std::string_view text, std::string_view pattern);

// The decimal number with "0" put in front until it is at least width characters long.
std::string ZeroPad(int width, std::int64_t number);

// Strict decimal integer: optional sign and digits, nothing else, within 32 bits.
std::optional<std::int32_t> ParseInt(std::string_view text);

// The trimmed text as a decimal integer, 0 when the trimmed text is empty, nothing when it is
// not a number.
std::optional<std::int32_t> IntOrZero(std::string_view text);

// Mode 1 replaces every "=" by "#", any other mode every "#" by "=".
std::string EscapeEquals(std::string_view text, int mode);

// Splits a file's bytes into lines ended by LF or CR LF (the line end is not part of the line).
// A last line without a line end counts; an empty file has no lines.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// Splits text at its "=" signs. Field k (0-based) is present only when the "=" that ends it is
// present; text after the last "=" is not a field.
class EqualsFields {
  public:
    explicit EqualsFields(std::string_view text, int maxFields = 64);
    int count() const { return count_; }
    // The field as it stands (empty when absent).
    std::string_view raw(int index) const;
    // The field trimmed (empty when absent).
    std::string_view trimmed(int index) const { return TrimView(raw(index)); }
    bool has(int index) const { return index >= 0 && index < count(); }
    // Whatever follows the last "=" that ended a field.
    std::string_view rest() const { return rest_; }

  private:
    // Base lines carry ten fields: they are kept inline, more go to the vector.
    static constexpr int kInline = 12;
    std::array<std::string_view, kInline> inline_{};
    std::vector<std::string_view> more_;
    int count_ = 0;
    std::string_view rest_;
};

// Splits a text into words and markup characters: a run of blanks gives one " " token, each of
// the characters % , < > @ ^ is a token of its own, anything else runs until a blank or one of
// those characters. An empty token means the end.
class Tokenizer {
  public:
    void SetTokenText(std::string_view text);
    std::string NextToken();

  private:
    std::string text_;
    std::size_t position_ = 0;
};

}  // namespace dyd
