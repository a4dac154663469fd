#include "core/markup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/unit_table.h"

namespace dyd {
namespace {

using Strings = std::vector<std::string>;

struct TextCase {
    std::string input;
    std::string expected;
};

std::string Joined(const Strings& tokens) {
    std::string out;
    for (const std::string& token : tokens) {
        out += token;
    }
    return out;
}

TEST(SpaceAroundMark, PutsOneSpaceAfterTheMarkAndNoneBeforeIt) {
    struct Case {
        std::string text;
        std::string mark;
        std::string expected;
    };
    const Case cases[] = {
        {"a ,b, c", ",", "a, b, c"},   {"well-known", "-", "well- known"},
        {"a,,b", ",", "a, , b"},       {"ends with ,", ",", "ends with,"},
        {", starts", ",", ", starts"}, {"no mark here", ",", "no mark here"},
        {"  padded  ", ",", "padded"}, {"", ",", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpaceAroundMark(c.text, c.mark), c.expected)
            << "'" << c.text << "' with '" << c.mark << "'";
    }
}

TEST(SpaceAroundMark, WithASpaceCollapsesRunsOfSpaces) {
    const TextCase cases[] = {
        {"a   b  c", "a b c"},
        {"a b  c d", "a b c d"},
        {"a b c  d", "a b c d"},
        {"a b   c", "a b c"},
        {" a ", "a"},
        {"one", "one"},
        {"   lead", "lead"},
        {"x  ", "x"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(SpaceAroundMark(c.input, " "), c.expected) << "'" << c.input << "'";
    }
}

TEST(NormalizeAnswerText, GivesTypedAndExpectedAnswersOneForm) {
    const TextCase cases[] = {
        {" Yes ,  I do!", "Yes, I do!"},
        {"a... b", "a. . . b"},
        {"Hello ,world", "Hello, world"},
        {"one;two:three", "one; two: three"},
        {"Wait !", "Wait!"},
        {"well-known", "well- known"},
        {" \tYes\r\n", "Yes"},
        {"   ", ""},
        // Windows-1250 letters at the edges of the pieces are no blanks.
        {"Za\xBF\xF3\xB3\xE6 , g\xEA\x9Cl\xB9 !", "Za\xBF\xF3\xB3\xE6, g\xEA\x9Cl\xB9!"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(NormalizeAnswerText(c.input), c.expected) << "'" << c.input << "'";
    }
    EXPECT_EQ(NormalizeAnswerText("Yes,I  do !"), NormalizeAnswerText("Yes, I do!"));
}

TEST(StripGapMarkers, RemovesTheMarkersAndCollapsesSpaces) {
    const TextCase cases[] = {
        {"I <am> here", "I am here"},       {"<Go> <home>", "Go home"}, {"I<am>here", "Iamhere"},
        {"  no   markers  ", "no markers"}, {"5 > 3", "5 3"},           {"", ""},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(StripGapMarkers(c.input), c.expected) << "'" << c.input << "'";
    }
}

TEST(GapsToItalics, TurnsGapMarkersIntoItalicSwitches) {
    const TextCase cases[] = {
        {"I <am> here", "I ^am</i> here"},
        {" <Go> <home> ", "^Go</i> ^home</i>"},
        {"plain", "plain"},
        {" \t ", ""},
        {"", ""},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(GapsToItalics(c.input), c.expected) << "'" << c.input << "'";
    }
}

TEST(HideGaps, ReplacesEachGapByAMarker) {
    const TextCase cases[] = {
        {"I <am> here", "I  <...>  here"},
        {"I <am> <here> now", "I  <...>   <...>  now"},
        {"<Two words> end", " <...>  end"},
        {"no gap", "no gap"},
        // A ">" outside a gap is copied and followed by the marker.
        {"5 > 3", "5 > <...>  3"},
        // A gap that is never closed hides the rest of the text.
        {"a <b c", "a "},
        {"", ""},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(HideGaps(c.input), c.expected) << "'" << c.input << "'";
    }
}

TEST(BuildSearchTexts, FillsOnlySentenceRowsWithTheLoweredTextWithoutMarkers) {
    UnitTable units;
    const auto add = [&units](std::int32_t id, std::string foreign, std::int32_t kind) {
        Unit unit;
        unit.unitId = id;
        unit.unitKind = kind;
        unit.foreignText = std::move(foreign);
        ASSERT_TRUE(units.Append(std::move(unit)));
    };
    add(1, "House", kWordUnit);
    add(2, "Gro\xDF <QA>", kQaUnit);
    add(3, "I <AM>  Here", kSentenceUnit);
    // Windows-1250 capitals Z-dot and S-acute keep their case; only A-Z are lowered.
    add(4,
        "\xAF"
        "ABA <\x8C"
        "LIMAK>",
        kSentenceUnit);
    units.wordUnitCount = 2;

    BuildSearchTexts(units);

    EXPECT_EQ(units.unit(1).searchText, "");
    EXPECT_EQ(units.unit(2).searchText, "");
    EXPECT_EQ(units.unit(3).searchText, "i am here");
    EXPECT_EQ(units.unit(4).searchText,
              "\xAF"
              "aba \x8C"
              "limak");

    // A second load with all rows from the word files leaves no sentence rows to fill.
    units.unit(3).foreignText = "Changed";
    units.wordUnitCount = units.unitCount();
    BuildSearchTexts(units);
    EXPECT_EQ(units.unit(3).searchText, "i am here");
}

TEST(MarkupTokenizer, CutsWordsAtSpacesAndEmitsTagsAsSpelledInTheTable) {
    struct Case {
        std::string text;
        MarkupStyle style;
        Strings expected;
    };
    const Case cases[] = {
        {"I <br>am", MarkupStyle::Example, {"I", "<br>", "am"}},
        {"a <BR> b", MarkupStyle::Example, {"a", "<br>", "", "b"}},
        {"a<Br>b", MarkupStyle::Pane, {"a", "<br>", "b"}},
        {"<B>Bold</B> and <I>it</i>",
         MarkupStyle::Pane,
         {"<b>", "Bold", "</b>", "", "and", "<i>", "it", "</i>"}},
        {"one@two @ three", MarkupStyle::Example, {"one", "@", "two", "@", "", "three"}},
        {"  edge  ", MarkupStyle::Pane, {"edge"}},
        {"end<br>", MarkupStyle::Example, {"end", "<br>"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MarkupTokenizer(c.text, c.style), c.expected) << "'" << c.text << "'";
    }
    EXPECT_TRUE(MarkupTokenizer("", MarkupStyle::Example).empty());
    EXPECT_TRUE(MarkupTokenizer(" \r\n", MarkupStyle::Pane).empty());
}

TEST(MarkupTokenizer, ALoneAngleBracketIsText) {
    for (const MarkupStyle style : {MarkupStyle::Example, MarkupStyle::Pane}) {
        EXPECT_EQ(MarkupTokenizer("5 > 3 < 4", style), (Strings{"5", ">", "3", "<", "4"}));
        // Nothing is lost around a "<" that opens no tag.
        const Strings tokens = MarkupTokenizer("a<x>b<br>c", style);
        EXPECT_EQ(Joined(tokens), "a<x>b<br>c");
        ASSERT_FALSE(tokens.empty());
        EXPECT_EQ(tokens.back(), "c");
        EXPECT_EQ(std::count(tokens.begin(), tokens.end(), "<br>"), 1);
    }
}

TEST(MarkupTokenizer, KeepsAnIconMarkerAsOneWord) {
    EXPECT_EQ(MarkupTokenizer("Play #S=00012# or #N=00012#<br>next", MarkupStyle::Example),
              (Strings{"Play", "#S=00012#", "or", "#N=00012#", "<br>", "next"}));
    EXPECT_EQ(MarkupTokenizer("#S=00012#", MarkupStyle::Pane), (Strings{"#S=00012#"}));
}

TEST(MarkupTokenizer, CaretIsATagOnlyInTheExampleStyle) {
    const std::string text = GapsToItalics("I <am> here");
    EXPECT_EQ(MarkupTokenizer(text, MarkupStyle::Example),
              (Strings{"I", "^", "am", "</i>", "", "here"}));
    EXPECT_EQ(MarkupTokenizer(text, MarkupStyle::Pane), (Strings{"I", "^am", "</i>", "", "here"}));
}

TEST(MarkupTokenizer, CharsetSwitchesAreTagsOnlyInThePaneStyle) {
    EXPECT_EQ(MarkupTokenizer("<CHARSET>slovo<Polski> znaczenie", MarkupStyle::Pane),
              (Strings{"<charset>", "slovo", "<polski>", "", "znaczenie"}));

    const Strings tokens = MarkupTokenizer("<charset>slovo<polski>x", MarkupStyle::Example);
    EXPECT_EQ(std::count(tokens.begin(), tokens.end(), "<charset>"), 0);
    EXPECT_EQ(std::count(tokens.begin(), tokens.end(), "<polski>"), 0);
    EXPECT_EQ(Joined(tokens), "<charset>slovo<polski>x");
}

TEST(MarkupTokenizer, KeepsAtMost2099TokensInExampleStyleAnd300InPaneStyle) {
    std::string text;
    for (int i = 1; i <= 2500; ++i) {
        text += "w" + std::to_string(i) + " ";
    }
    const Strings example = MarkupTokenizer(text, MarkupStyle::Example);
    ASSERT_EQ(example.size(), 2099u);
    EXPECT_EQ(example.front(), "w1");
    EXPECT_EQ(example.back(), "w2099");

    const Strings pane = MarkupTokenizer(text, MarkupStyle::Pane);
    ASSERT_EQ(pane.size(), 300u);
    EXPECT_EQ(pane.back(), "w300");

    // Tags and the empty words after them count as tokens too.
    std::string tagged;
    for (int i = 0; i < 200; ++i) {
        tagged += "<b> x ";
    }
    const Strings taggedPane = MarkupTokenizer(tagged, MarkupStyle::Pane);
    ASSERT_EQ(taggedPane.size(), 300u);
    EXPECT_EQ(taggedPane[297], "<b>");
    EXPECT_EQ(taggedPane[298], "");
    EXPECT_EQ(taggedPane[299], "x");
}

TEST(MarkupTokenizer, ExampleStyleReadsOnlyThe59999CharactersAfterTrimming) {
    const std::string text = "  \t" + std::string(59998, 'a') + "bc";
    const Strings example = MarkupTokenizer(text, MarkupStyle::Example);
    ASSERT_EQ(example.size(), 1u);
    EXPECT_EQ(example[0], std::string(59998, 'a') + "b");

    const Strings pane = MarkupTokenizer(text, MarkupStyle::Pane);
    ASSERT_EQ(pane.size(), 1u);
    EXPECT_EQ(pane[0], std::string(59998, 'a') + "bc");
}

}  // namespace
}  // namespace dyd
