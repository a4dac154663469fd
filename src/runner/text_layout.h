#pragma once

// Where the words of a prompt go: the sentence box that draws long or marked-up prompts and the
// gap box of gap filling (kind 12). Both are laid out over a text-measuring interface, so that
// the window measures with its font and the tests with fixed widths.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace dyd {

class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    // Width in pixels of bytes drawn in the box's font.
    virtual int Width(std::string_view bytes) const = 0;
    // Height of a line of text ("Wy").
    virtual int LineHeight() const = 0;
};

inline constexpr int kMaxSentenceTokens = 70;
inline constexpr int kSentenceBoxWidth = 532;
inline constexpr int kSentenceBoxHeight = 69;
inline constexpr int kGapFieldWidth = 95;

// Blanks separate; each of "%", ",", "<", ">", "@" and "^" is a token of its own; at most 70.
std::vector<std::string> SentenceTokens(std::string_view text);

struct DrawnText {
    std::string text;  // the token and its blank, bytes
    int x = 0;
    int y = 0;
    bool blue = false;  // inside a highlighted marked part
};

struct SentenceLayout {
    int lines = 1;                 // from the measuring pass
    std::vector<DrawnText> items;  // from the drawing pass
};

// The measuring pass (line count) and the drawing pass of the sentence box.
SentenceLayout LayOutSentence(const std::vector<std::string>& tokens, int boxWidth, bool highlight,
                              const TextMeasure& measure);

// The top of the sentence box: layout B 93, 85, 68 for 1, 2, 3 lines and 55 for more; layout A 145.
int SentenceBoxTop(int lines, bool layoutA);

// The texts the three gap fields expect: the words between "<" and ">", each followed by its
// separator; empty for missing gaps. Needs no measuring.
std::array<std::string, 3> GapAnswers(std::string_view gapText);

struct GapLayout {
    std::vector<DrawnText> items;        // the words drawn (not those inside gaps)
    std::array<std::string, 3> gaps;     // as GapAnswers
    std::array<int, 3> fieldX{};         // position of gap field n inside the box
    std::array<int, 3> fieldY{};         // (y already 3 pixels above the line)
    std::array<bool, 3> fieldVisible{};  // the field's gap text is not empty
};

// The gap box: lineHeight is the gap field's height + 1.
GapLayout LayOutGapBox(std::string_view gapText, int boxWidth, int lineHeight,
                       const TextMeasure& measure);

}  // namespace dyd
