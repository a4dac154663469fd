#include "runner/text_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dyd {
namespace {

// Every byte 10 pixels wide, lines 20 pixels high.
class FixedWidth final : public TextMeasure {
  public:
    int Width(std::string_view bytes) const override { return 10 * static_cast<int>(bytes.size()); }
    int LineHeight() const override { return 20; }
};

std::vector<DrawnText> Drawn(std::string_view text, int boxWidth, bool highlight,
                             int* lines = nullptr) {
    const SentenceLayout layout =
        LayOutSentence(SentenceTokens(text), boxWidth, highlight, FixedWidth());
    if (lines != nullptr) {
        *lines = layout.lines;
    }
    return layout.items;
}

void ExpectItems(const std::vector<DrawnText>& got, const std::vector<DrawnText>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_EQ(got[i].x, want[i].x);
        EXPECT_EQ(got[i].y, want[i].y);
        EXPECT_EQ(got[i].blue, want[i].blue);
    }
}

TEST(SentenceTokens, BlanksSeparateAndMarksStandAlone) {
    EXPECT_EQ(SentenceTokens("  Hi,you<are>here@%x^y  "),
              (std::vector<std::string>{"Hi", ",", "you", "<", "are", ">", "here", "@", "%", "x",
                                        "^", "y"}));
    EXPECT_EQ(SentenceTokens("Well... done! (ok)"),
              (std::vector<std::string>{"Well...", "done!", "(ok)"}));
    std::string many;
    for (int i = 0; i < 80; ++i) {
        many += "w ";
    }
    EXPECT_EQ(SentenceTokens(many).size(), 70u);
}

TEST(SentenceBox, WrapsAtTheBoxWidthLessFour) {
    int lines = 0;
    // "aaaa " and "bbbb " fill exactly the 100 pixels; "cccc " goes to the next line.
    ExpectItems(Drawn("aaaa bbbb cccc", 104, false, &lines),
                {{"aaaa ", 0, 0}, {"bbbb ", 50, 0}, {"cccc ", 0, 20}});
    EXPECT_EQ(lines, 2);
    // "@" starts a line and is not drawn.
    ExpectItems(Drawn("aa @ bb", 532, false, &lines), {{"aa ", 0, 0}, {"bb ", 0, 20}});
    EXPECT_EQ(lines, 2);
    // A word wider than the box does not leave an empty first line.
    ExpectItems(Drawn("aaaaaaaaaaaa b", 54, false, &lines),
                {{"aaaaaaaaaaaa ", 0, 0}, {"b ", 0, 20}});
    EXPECT_EQ(lines, 2);
}

TEST(SentenceBox, NoBlankBeforePunctuationWhichNeverStartsALine) {
    ExpectItems(Drawn("Hello , world .", 532, false),
                {{"Hello", 0, 0}, {", ", 50, 0}, {"world", 70, 0}, {". ", 120, 0}});
    // "..." keeps its blank; ":" and ";" and "!" take none before them.
    ExpectItems(Drawn("wait ... , yes : no ; go !", 532, false), {{"wait ", 0, 0},
                                                                  {"... ", 50, 0},
                                                                  {", ", 90, 0},
                                                                  {"yes", 110, 0},
                                                                  {": ", 140, 0},
                                                                  {"no", 160, 0},
                                                                  {"; ", 180, 0},
                                                                  {"go", 200, 0},
                                                                  {"! ", 220, 0}});
    int lines = 0;
    // "," overflows the line yet stays on it.
    ExpectItems(Drawn("Hello , world", 54, false, &lines),
                {{"Hello", 0, 0}, {", ", 50, 0}, {"world ", 0, 20}});
    EXPECT_EQ(lines, 2);
}

TEST(SentenceBox, HighlightDrawsTheMarkedPartBlueWithoutItsMarkers) {
    ExpectItems(Drawn("I <went> home .", 532, true), {{"I ", 0, 0, false},
                                                      {"went ", 20, 0, true},
                                                      {"home", 70, 0, false},
                                                      {". ", 110, 0, false}});
    // Before a closing marker followed by "." or "," the drawing drops the blank.
    ExpectItems(Drawn("I <went> .", 532, true),
                {{"I ", 0, 0, false}, {"went", 20, 0, true}, {". ", 60, 0, false}});
    // Without highlighting the markers are words like any other.
    ExpectItems(Drawn("I <went> home", 532, false),
                {{"I ", 0, 0}, {"< ", 20, 0}, {"went ", 40, 0}, {"> ", 90, 0}, {"home ", 110, 0}});
}

TEST(SentenceBox, MarkersTakeNoRoomWhenCountingLines) {
    int withMarkers = 0;
    int without = 0;
    Drawn("aaaa <bbbb> cccc", 154, true, &withMarkers);
    Drawn("aaaa bbbb cccc", 154, true, &without);
    EXPECT_EQ(withMarkers, 1);
    EXPECT_EQ(without, 1);
    Drawn("aaaa <bbbb> cccc", 154, false, &withMarkers);
    EXPECT_EQ(withMarkers, 2);
}

TEST(SentenceBox, TopByLineCountAndLayout) {
    const std::vector<std::pair<int, int>> layoutB{{1, 93}, {2, 85}, {3, 68}, {4, 55}, {9, 55}};
    for (const auto& [lines, top] : layoutB) {
        EXPECT_EQ(SentenceBoxTop(lines, false), top) << lines;
        EXPECT_EQ(SentenceBoxTop(lines, true), 145) << lines;
    }
}

TEST(GapBox, FieldsStandInTheGapsAndTheWordsBetweenMarkersAreExpected) {
    const GapLayout layout = LayOutGapBox("I <went> <home> .", 532, 25, FixedWidth());
    EXPECT_EQ(layout.gaps, (std::array<std::string, 3>{"went ", "home ", ""}));
    EXPECT_EQ(layout.fieldX, (std::array<int, 3>{20, 121, 0}));
    EXPECT_EQ(layout.fieldY, (std::array<int, 3>{-3, -3, 0}));
    EXPECT_EQ(layout.fieldVisible, (std::array<bool, 3>{true, true, false}));
    ExpectItems(layout.items, {{"I ", 0, 0}, {". ", 222, 0}});
    EXPECT_EQ(GapAnswers("I <went> <home> ."), layout.gaps);

    EXPECT_EQ(GapAnswers("He <has been> here, <didn't> he ?"),
              (std::array<std::string, 3>{"has been ", "didn't ", ""}));
    EXPECT_EQ(GapAnswers("No gaps at all"), (std::array<std::string, 3>{}));
}

TEST(GapBox, LinesBreakBeforeAFieldThatWouldNotFit) {
    // The box takes 100 pixels: "aaaa " (50) fits, a gap field (95) goes to the next line, and
    // "cc " no longer fits after it.
    const GapLayout layout = LayOutGapBox("aaaa <bb> cc", 108, 30, FixedWidth());
    EXPECT_EQ(layout.fieldX[0], 0);
    EXPECT_EQ(layout.fieldY[0], 27);
    ExpectItems(layout.items, {{"aaaa ", 0, 0}, {"cc ", 0, 60}});
    // No break just before the final full stop, nor for "@" at the start of a line.
    const GapLayout end = LayOutGapBox("@ aaaa bbbbbb .", 108, 30, FixedWidth());
    ExpectItems(end.items, {{"aaaa ", 0, 0}, {"bbbbbb", 50, 0}, {". ", 110, 0}});
}

TEST(GapBox, AFourthGapKeepsItsWordsInTheSentence) {
    const GapLayout layout = LayOutGapBox("<a> <b> <c> <d> e", 532, 25, FixedWidth());
    EXPECT_EQ(layout.gaps, (std::array<std::string, 3>{"a ", "b ", "c "}));
    ExpectItems(layout.items, {{"d ", 303, 0}, {"e ", 323, 0}});
}

}  // namespace
}  // namespace dyd
