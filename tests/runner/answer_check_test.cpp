#include "runner/answer_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dyd {
namespace {

const std::vector<Substitution> kNoPairs;
const std::vector<Substitution> kSharpS{{"ss", "\xDF"}};  // ß in Windows-1250

Unit Verb(std::string foreign) {
    Unit u;
    u.foreignText = std::move(foreign);
    u.partOfSpeech = 3;
    return u;
}

TEST(TypedAnswer, NormalisedTextsCompareExactly) {
    struct Case {
        std::string typed;
        std::string expected;
        bool correct;
        std::string learnerAnswer;
    };
    const std::vector<Case> cases{
        {" Good morning ,John ", "Good morning, John", true, "Good morning, John"},
        {"good morning, John", "Good morning, John", false, "good morning, John"},
        {"Good  morning,John!", "Good morning, John !", true, "Good morning, John!"},
        {"house\\", "house", true, "house"},
        {"\\", "\\", true, "\\"},
        {"\\", "", false, "\\"},
        {"", "", true, ""},
        {"", "house", false, ""},
        {"well-known", "well - known", true, "well- known"},
    };
    for (const Case& c : cases) {
        const TypedVerdict v = JudgeTypedText(c.typed, c.expected, {}, 6, kNoPairs);
        EXPECT_EQ(v.correct, c.correct) << "'" << c.typed << "' for '" << c.expected << "'";
        EXPECT_EQ(v.learnerAnswer, c.learnerAnswer) << c.typed;
        EXPECT_FALSE(v.acceptedByAlternative);
    }
}

TEST(TypedAnswer, SubstitutionsGoFromKeyToValueOnly) {
    EXPECT_TRUE(JudgeTypedText("Stra\xDF"
                               "e",
                               "Strasse", {}, 5, kSharpS)
                    .correct);
    EXPECT_FALSE(JudgeTypedText("Strasse",
                                "Stra\xDF"
                                "e",
                                {}, 5, kSharpS)
                     .correct);
    EXPECT_FALSE(JudgeTypedText("Strasse", "Strasse", {}, 5, kSharpS).acceptedByAlternative);
}

TEST(Variants, OneAndTwoReplacementsInFileOrder) {
    EXPECT_EQ(BuildVariants("Fussballstrasse", kSharpS),
              (std::vector<std::string>{"Fu\xDF"
                                        "ballstrasse",
                                        "Fussballstra\xDF"
                                        "e",
                                        "Fu\xDF"
                                        "ballstra\xDF"
                                        "e"}));
    EXPECT_TRUE(BuildVariants("Stra\xDF"
                              "e",
                              kSharpS)
                    .empty());
    EXPECT_TRUE(BuildVariants("Haus", kSharpS).empty());

    // Two pairs whose values differ in length from their keys: the second replacement lands on
    // the right characters in the text where the first one was already made.
    const std::vector<Substitution> pairs{{"ae", "\xE4"}, {"oe", "\xF6"}, {"x", "yy"}};
    EXPECT_EQ(BuildVariants("Maedchen moegen", pairs), (std::vector<std::string>{"M\xE4"
                                                                                 "dchen moegen",
                                                                                 "Maedchen m\xF6"
                                                                                 "gen",
                                                                                 "M\xE4"
                                                                                 "dchen m\xF6"
                                                                                 "gen",
                                                                                 "Maedchen m\xF6"
                                                                                 "gen"}));
    EXPECT_EQ(BuildVariants("xaxbx", pairs),
              (std::vector<std::string>{"yyaxbx", "xayybx", "yyayybx"}));
}

TEST(Variants, OnceFullEachFurtherVariantOverwritesTheLast) {
    // Ten pairs "a"->"A" .. "j"->"J": each key gives one variant alone and two with every later
    // key, 100 in all.
    std::vector<Substitution> pairs;
    std::string expected;
    for (char c = 'a'; c <= 'j'; ++c) {
        pairs.push_back({std::string(1, c), std::string(1, static_cast<char>(c - 32))});
        expected += std::string(1, c) + "-";
    }
    const std::vector<std::string> variants = BuildVariants(expected, pairs);
    ASSERT_EQ(variants.size(), 40u);
    EXPECT_EQ(variants[0], "A-b-c-d-e-f-g-h-i-j-");
    EXPECT_EQ(variants[38], "a-b-C-D-e-f-g-h-i-j-");  // the 39th: "c" and "d" both replaced
    // The last addition of the walk, "j" alone, stands in the fortieth slot.
    EXPECT_EQ(variants[39], "a-b-c-d-e-f-g-h-i-J-");
}

TEST(Alternatives, EnglishVerbsGainTheirInfinitiveWithTo) {
    const Unit go = Verb("go");
    EXPECT_EQ(BuildAlternatives("walk", 6, 1, go),
              (std::vector<std::string>{"walk", "go", "to walk", "to go"}));
    EXPECT_EQ(BuildAlternatives(" To leave / depart //", 6, 1, go),
              (std::vector<std::string>{"To leave", "depart", "go", "to depart", "to go"}));
    // Not for other kinds, languages or parts of speech.
    EXPECT_EQ(BuildAlternatives("walk", 5, 1, go), (std::vector<std::string>{"walk"}));
    EXPECT_EQ(BuildAlternatives("walk", 6, 2, go), (std::vector<std::string>{"walk"}));
    Unit noun = go;
    noun.partOfSpeech = 1;
    EXPECT_EQ(BuildAlternatives("", 6, 1, noun), (std::vector<std::string>{}));

    const std::vector<std::string> list = BuildAlternatives("walk", 6, 1, go);
    const TypedVerdict toGo = JudgeTypedText("to go", "go", list, 6, kNoPairs);
    EXPECT_TRUE(toGo.correct);
    EXPECT_TRUE(toGo.acceptedByAlternative);
    const TypedVerdict plain = JudgeTypedText("go", "go", list, 6, kNoPairs);
    EXPECT_TRUE(plain.correct);
    EXPECT_FALSE(plain.acceptedByAlternative);
}

TEST(Alternatives, GermanPluralWithArticleAndTheCapOfNinety) {
    Unit haus;
    haus.foreignText = "das Haus";
    haus.plural = "H\xE4user";
    const std::vector<std::string> list = BuildAlternatives("", 8, 2, haus);
    EXPECT_EQ(list, (std::vector<std::string>{"die H\xE4user"}));
    EXPECT_TRUE(
        JudgeTypedText("die H\xE4user", haus.plural, list, 8, kNoPairs).acceptedByAlternative);
    EXPECT_FALSE(JudgeTypedText("H\xE4user", haus.plural, list, 8, kNoPairs).acceptedByAlternative);
    EXPECT_TRUE(JudgeTypedText("H\xE4user", haus.plural, list, 8, kNoPairs).correct);

    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "w" + std::to_string(i) + "/";
    }
    EXPECT_EQ(BuildAlternatives(many, 6, 1, Verb("go")).size(), 90u);
}

TEST(Alternatives, DictationIgnoresThem) {
    const std::vector<std::string> list{"walk"};
    EXPECT_FALSE(JudgeTypedText("walk", "go", list, 5, kNoPairs).correct);
    EXPECT_TRUE(JudgeTypedText("walk", "go", list, 6, kNoPairs).correct);
}

TEST(GapAnswers, EachGapAgainstItsTextVariantsAndSynonyms) {
    Unit sentence;
    sentence.foreignText = "I <went> <home> .";
    sentence.synonyms = "go#house";
    const std::array<std::string, 3> gaps{"went ", "home ", ""};
    struct Case {
        std::array<std::string, 3> typed;
        bool correct;
        bool byAlternative;
        std::array<bool, 3> right;
        std::string learnerAnswer;
    };
    const std::vector<Case> cases{
        {{"went", "home", ""}, true, false, {true, true, true}, "went; home"},
        {{" go ", "home", "x"}, true, true, {true, true, true}, "go; home; x"},
        {{"go", "flat", ""}, false, true, {true, false, true}, "go; flat"},
        {{"went", "go", ""}, false, false, {true, false, true}, "went; go"},
        {{"", "home", ""}, false, false, {false, true, true}, "; home"},
    };
    for (const Case& c : cases) {
        const GapVerdict v = JudgeGapTexts(c.typed, gaps, sentence, 1, kNoPairs);
        SCOPED_TRACE(c.learnerAnswer);
        EXPECT_EQ(v.correct, c.correct);
        EXPECT_EQ(v.acceptedByAlternative, c.byAlternative);
        EXPECT_EQ(v.gapRight, c.right);
        EXPECT_EQ(v.learnerAnswer, c.learnerAnswer);
    }
    // Substitution variants count per gap too.
    const GapVerdict german = JudgeGapTexts({"Stra\xDF"
                                             "e",
                                             "", ""},
                                            {"Strasse ", "", ""}, Unit{}, 2, kSharpS);
    EXPECT_TRUE(german.correct);
    EXPECT_FALSE(german.acceptedByAlternative);
}

TEST(NationalKeys, CodesByLanguageLetterAndShift) {
    struct Case {
        int language;
        char letter;
        bool ctrl, alt, shift;
        int code;  // -1: none
    };
    const std::vector<Case> cases{
        {2, 'A', true, false, true, 196},  {2, 'A', true, false, false, 228},
        {2, 'a', true, false, false, 228}, {2, 'S', true, false, true, 223},
        {2, 'U', true, false, true, 220},  {2, 'B', true, false, false, -1},
        {2, 'A', false, false, false, -1}, {2, 'A', true, true, false, -1},
        {1, 'A', true, false, false, -1},  {3, 'R', true, false, false, 233},
        {3, 'R', true, false, true, 233},  {3, 'A', true, false, false, -1},
        {6, 'E', true, false, false, -1},  {7, 'E', true, false, true, 202},
        {8, 'O', true, false, false, 243},
    };
    for (const Case& c : cases) {
        const std::optional<unsigned char> key =
            NationalKey(c.language, c.letter, c.ctrl, c.alt, c.shift);
        EXPECT_EQ(key ? int{*key} : -1, c.code)
            << "language " << c.language << " key " << c.letter << " shift " << c.shift;
    }
}

}  // namespace
}  // namespace dyd
