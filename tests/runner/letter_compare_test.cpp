#include "runner/letter_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dyd {
namespace {

// The marks in one line: a right letter as itself, [x] a wrong letter x, {x} an extra letter x,
// (x) a missing letter x.
std::string Marks(const LetterComparison& c) {
    std::string out;
    for (const MarkedLetter& l : c.letters) {
        switch (l.mark) {
            case LetterMark::Same:
                out += l.text;
                break;
            case LetterMark::Wrong:
                out += "[" + l.text + "]";
                break;
            case LetterMark::Extra:
                out += "{" + l.text + "}";
                break;
            case LetterMark::Missing:
                out += "(" + l.text + ")";
                break;
        }
    }
    return out;
}

TEST(LetterCompare, MarksTheFewestChangesAsTheLearnerSeesTheTexts) {
    struct Case {
        std::string expected;
        std::string answer;
        std::string marks;
        int distance;
    };
    const std::vector<Case> cases{
        {"house", "house", "house", 0},
        {"house", "hose", "ho(u)se", 1},
        {"house", "houses", "house{s}", 1},
        {"house", "hoUse", "ho[U]se", 1},         // letter case counts
        {"Haus", "haus", "[h]aus", 1},            //
        {"żółw", "zolw", "[z][o][l]w", 3},        // so do diacritics
        {"Straße", "Strasse", "Stra[s]{s}e", 2},  //
        {"Strasse", "Straße", "Stra[ß](s)e", 2},  //
        {"good morning", "goodmorning", "good( )morning", 1},
        {"", "abc", "{a}{b}{c}", 3},
        {"abc", "", "(a)(b)(c)", 3},
        {"", "", "", 0},
        {"aa", "a", "a(a)", 1},                    // a change goes as far to the end as it can
        {"banana", "banan", "banan(a)", 1},        //
        {"Haus", "Hasu", "Ha(u)s{u}", 2},          // keeping a letter beats two wrong ones
        {"xa", "ay", "(x)a{y}", 2},                //
        {"kot", "pies", "[p][i][e]{s}", 4},        // nothing in common: wrong, then extra
        {"déjà vu", "deja vu", "d[e]j[a] vu", 2},  //
        {"Ärger", "Aerger", "[A]{e}rger", 2},      //
    };
    for (const Case& c : cases) {
        const LetterComparison got = CompareLetters(c.expected, c.answer);
        EXPECT_EQ(Marks(got), c.marks) << "'" << c.answer << "' for '" << c.expected << "'";
        EXPECT_EQ(got.distance, c.distance) << "'" << c.answer << "' for '" << c.expected << "'";
    }
}

TEST(LetterCompare, AWrongLetterKnowsTheOneExpectedInItsPlace) {
    const LetterComparison c = CompareLetters("dom", "dóm");
    ASSERT_EQ(c.letters.size(), 3u);
    EXPECT_EQ(c.letters[1], (MarkedLetter{"ó", LetterMark::Wrong, "o"}));
    EXPECT_EQ(c.letters[0], (MarkedLetter{"d", LetterMark::Same, ""}));
}

TEST(LetterCompare, AnyBytesAreSplitWithoutLoss) {
    // A stray byte, a cut sequence and an overlong form are letters of their own.
    const std::string text =
        "a\xFF"
        "b\xC5"
        "c\xC0\xAF";
    std::string joined;
    for (const std::string& letter : SplitLetters(text)) {
        joined += letter;
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(SplitLetters(text).size(), 7u);
    EXPECT_EQ(SplitLetters("łódź").size(), 4u);
    EXPECT_EQ(SplitLetters("😀x").size(), 2u);
    EXPECT_EQ(Marks(CompareLetters("a\xFF", "a")), "a(\xFF)");
}

TEST(LetterCompare, LongTextsStillCompare) {
    // Far beyond a table of every pair of letters: the middle is compared place by place.
    const std::string expected = std::string(2500, 'a') + "x" + std::string(2500, 'b');
    const std::string answer =
        std::string(2500, 'a') + "yz" + std::string(1, 'q') + std::string(2500, 'c');
    const LetterComparison c = CompareLetters(expected, answer);
    EXPECT_EQ(c.letters.size(), 2500u + 2501u + 2u);
    EXPECT_EQ(c.letters[2500].mark, LetterMark::Wrong);
    EXPECT_EQ(c.letters.back().mark, LetterMark::Extra);
    EXPECT_EQ(c.distance, 2503);
}

TEST(LetterCompare, GapsAreComparedEachWithItsOwnAnswer) {
    EXPECT_EQ(Marks(CompareGapLetters({"went", "home"}, {"wnet", "home"})), "w(e)n{e}t; home");
    // An empty expected gap is left out; a gap left empty misses all its letters.
    EXPECT_EQ(Marks(CompareGapLetters({"went", "", "home"}, {"went", "", ""})),
              "went; (h)(o)(m)(e)");
    EXPECT_EQ(CompareGapLetters({"went", "", "home"}, {"went", "", ""}).distance, 4);
}

}  // namespace
}  // namespace dyd
