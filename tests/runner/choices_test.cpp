#include "runner/choices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "runner/scripted_random.h"

namespace dyd {
namespace {

using test::ScriptedRandom;

Unit Word(std::string foreign, int partOfSpeech, std::string native = {}, int group = 1) {
    Unit u;
    u.foreignText = std::move(foreign);
    u.partOfSpeech = partOfSpeech;
    u.nativeText = std::move(native);
    u.groupId = group;
    return u;
}

std::vector<std::string> PoolTexts(const DistractorPool& pool) {
    return {pool.table.begin(), pool.table.begin() + pool.fill};
}

DistractorPool PoolOf(std::vector<std::string> texts) {
    DistractorPool pool;
    pool.fill = static_cast<int>(texts.size());
    pool.table = std::move(texts);
    return pool;
}

// Checks what every draw must give: the right text in the correct slot, the shown slots
// distinct and not empty, the slots after them empty.
void ExpectSound(const ChoiceSet& set, const std::string& right) {
    ASSERT_GE(set.correct, 1);
    ASSERT_LE(set.correct, set.shown);
    EXPECT_EQ(set.texts[static_cast<std::size_t>(set.correct)], right);
    std::set<std::string> seen;
    for (int s = 1; s <= set.shown; ++s) {
        const std::string& text = set.texts[static_cast<std::size_t>(s)];
        EXPECT_FALSE(text.empty()) << "slot " << s;
        EXPECT_TRUE(seen.insert(text).second) << "repeated " << text;
    }
    for (int s = set.shown + 1; s <= 4; ++s) {
        EXPECT_TRUE(set.texts[static_cast<std::size_t>(s)].empty());
    }
}

TEST(DistractorPool, ForeignPoolOfFiveNounsTakesThemTwiceAndDrawsOnlyFromThem) {
    UnitTable units;
    const std::vector<std::string> nouns{"bag", "bed", "box", "bus", "bird"};
    for (const auto& n : nouns) {
        units.Append(Word(n, 1));
    }
    for (int i = 0; i < 40; ++i) {
        units.Append(Word("word" + std::to_string(i), 1 + i % 4));
    }
    units.Append(Word("be quick", 5));  // same first letter, a phrase: kept out of step b

    DistractorPool pool;
    BuildDistractorPool(pool, units, 3, PoolMode::Foreign);
    std::vector<std::string> twice = nouns;
    twice.insert(twice.end(), nouns.begin(), nouns.end());
    EXPECT_EQ(PoolTexts(pool), twice);

    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        SeededRandom random(seed);
        const ChoiceSet set = DrawChoices(pool, "box", random);
        ExpectSound(set, "box");
        EXPECT_EQ(set.shown, 4);
        for (int s = 1; s <= 4; ++s) {
            EXPECT_NE(std::find(nouns.begin(), nouns.end(), set.texts[static_cast<std::size_t>(s)]),
                      nouns.end());
        }
    }
}

TEST(DistractorPool, ForeignPoolStartsAgainWithAllButPhrasesWhenFewerThanTen) {
    UnitTable units;
    units.Append(Word("zebra", 1));
    units.Append(Word("zoo", 2));
    units.Append(Word("apple", 1));
    units.Append(Word("by the way", 5));
    units.Append(Word("cat", 1));
    DistractorPool pool;
    BuildDistractorPool(pool, units, 1, PoolMode::Foreign);
    EXPECT_EQ(PoolTexts(pool), (std::vector<std::string>{"zebra", "zoo", "apple", "cat"}));
}

TEST(DistractorPool, PolishPoolUsesGroupPartOfSpeechAndShortTexts) {
    UnitTable units;
    const std::string longText(50, 'x');
    units.Append(Word("a", 1, "dom", 7));
    units.Append(Word("b", 1, longText, 7));  // too long for step a, fine for step b
    units.Append(Word("c", 2, "duzy", 7));
    units.Append(Word("d", 1, "kot", 8));
    units.Append(Word("e", 5, "w ogole", 7));
    for (int i = 0; i < 8; ++i) {
        units.Append(Word("f", 3, "robic" + std::to_string(i), 7));
    }
    DistractorPool pool;
    BuildDistractorPool(pool, units, 1, PoolMode::Polish);
    std::vector<std::string> expected{"dom", "dom", longText, "duzy"};
    for (int i = 0; i < 8; ++i) {
        expected.push_back("robic" + std::to_string(i));
    }
    EXPECT_EQ(PoolTexts(pool), expected);

    // Under ten entries: everything but phrases, in unit order.
    UnitTable few;
    few.Append(Word("a", 1, "dom", 7));
    few.Append(Word("d", 1, "kot", 8));
    few.Append(Word("e", 5, "w ogole", 7));
    BuildDistractorPool(pool, few, 1, PoolMode::Polish);
    EXPECT_EQ(PoolTexts(pool), (std::vector<std::string>{"dom", "kot"}));
}

TEST(DistractorPool, TableKeepsEarlierSlotsBeyondTheFillAndTheyAreNeverOffered) {
    UnitTable many;
    for (int i = 0; i < 12; ++i) {
        many.Append(Word("old" + std::to_string(i), 1));
    }
    DistractorPool pool;
    BuildDistractorPool(pool, many, 1, PoolMode::Foreign);
    ASSERT_EQ(pool.fill, 12);

    UnitTable few;
    few.Append(Word("new", 1));
    few.Append(Word("two", 1));
    BuildDistractorPool(pool, few, 1, PoolMode::Foreign);
    EXPECT_EQ(pool.fill, 2);
    EXPECT_EQ(pool.table.size(), 12u);
    EXPECT_EQ(pool.table[2], "old2");

    ScriptedRandom zeros;  // every draw hits the first slot
    const ChoiceSet set = DrawChoices(pool, "new", zeros);
    ExpectSound(set, "new");
    EXPECT_EQ(set.shown, 2);
    EXPECT_EQ(set.texts[2], "two");
}

TEST(DrawChoices, SameTextAsTheRightOneIsNeverOfferedTwice) {
    // Two units share the translation "dom"; the pool holds it four times.
    const DistractorPool pool =
        PoolOf({"dom", "dom", "kot", "dom", "pies", "dom", "las", "rzeka", "kot", "pies"});
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        SeededRandom random(seed);
        const ChoiceSet set = DrawChoices(pool, "dom", random);
        ExpectSound(set, "dom");
        EXPECT_EQ(set.shown, 4);
    }
}

TEST(DrawChoices, SmallPoolsGiveFewerChoicesAndAlwaysEnd) {
    struct Case {
        std::vector<std::string> pool;
        std::string right;
        int shown;
    };
    const std::vector<Case> cases{
        {{}, "dom", 1},
        {{"dom"}, "dom", 1},
        {{"dom", "dom", ""}, "dom", 1},
        {{"dom", "kot"}, "dom", 2},
        {{"dom", "kot", "kot", "kot", "kot", "kot", "kot"}, "dom", 2},
        {{"kot", "pies", "", "", "", ""}, "dom", 3},
        {{"dom", "kot", "pies", "las"}, "dom", 4},
        {{"a", "b", "c", "d", "e"}, "x", 4},
    };
    for (const Case& c : cases) {
        const DistractorPool pool = PoolOf(c.pool);
        for (const std::vector<int>& script :
             {std::vector<int>{}, std::vector<int>{3, 1, 1, 1, 1}, std::vector<int>{2, 5, 4}}) {
            ScriptedRandom random(script);
            const ChoiceSet set = DrawChoices(pool, c.right, random);
            SCOPED_TRACE(c.pool.size());
            ExpectSound(set, c.right);
            EXPECT_EQ(set.shown, c.shown);
            EXPECT_LT(random.calls(), 500);
        }
    }
}

TEST(DrawChoices, ManyRefusalsNarrowTheDrawAndStillFillEverySlot) {
    // A large pool made almost entirely of the right text: a draw that always answers the same
    // slot is refused again and again, yet the slots fill with the few other texts.
    std::vector<std::string> texts(200, "dom");
    texts[40] = "kot";
    texts[120] = "pies";
    texts[199] = "las";
    const DistractorPool pool = PoolOf(texts);
    ScriptedRandom zeros;
    const ChoiceSet set = DrawChoices(pool, "dom", zeros);
    ExpectSound(set, "dom");
    EXPECT_EQ(set.shown, 4);
    EXPECT_EQ(set.correct, 1);
}

TEST(SentenceChoices, RightTextDisplacesAnOptionAndEmptyChoicesGoLast) {
    struct Case {
        std::string options;
        int draw;  // Below(3) answer: the right text goes to slot draw + 1
        std::array<std::string, 4> texts;
        int correct;
        int shown;
    };
    const std::vector<Case> cases{
        {"go/goes/gone", 0, {"went", "goes", "gone", "go"}, 1, 4},
        {"go/goes/gone", 1, {"go", "went", "gone", "goes"}, 2, 4},
        {"go/goes/gone", 2, {"go", "goes", "went", "gone"}, 3, 4},
        {"a/b", 1, {"a", "went", "b", ""}, 2, 3},
        {"a/b", 2, {"a", "b", "went", ""}, 3, 3},
        {"a", 0, {"went", "a", "", ""}, 1, 2},
        {"a", 1, {"a", "went", "", ""}, 2, 2},
        {"a", 2, {"a", "went", "", ""}, 2, 2},
        {" a / b / c / d / e/f ", 2, {"a", "b", "went", "c"}, 3, 4},
        {"had...would have/ do ... did", 0, {"went", "do ... did", "had ... would have", ""}, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + " draw " + std::to_string(c.draw));
        ScriptedRandom random({c.draw});
        const ChoiceSet set = BuildSentenceChoices(c.options, "went", random);
        EXPECT_EQ(
            (std::array<std::string, 4>{set.texts[1], set.texts[2], set.texts[3], set.texts[4]}),
            c.texts);
        EXPECT_EQ(set.correct, c.correct);
        EXPECT_EQ(set.shown, c.shown);
    }
}

TEST(SentenceChoices, MarkedPartsMakeThePromptAndTheExpectedText) {
    struct Case {
        std::string text;
        std::string prompt;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"I <went> home", "I ... home", "went"},
        {"If I <had> known, I <would have> come", "If I ... known, I ... come",
         "had ... would have"},
        {"A <b> c <d> e <f> g", "A ... c ... e <f> g", "b ... d"},
        {"<Go> away !", " ... away !", "Go"},
        {"No marks here", "No marks here", ""},
        {"Open < but never closed", "Open < but never closed", ""},
        {"One <part> and < an open one", "One ... and < an open one", "part"},
    };
    for (const Case& c : cases) {
        const MarkedSentence m = SplitMarkedSentence(c.text);
        EXPECT_EQ(m.prompt, c.prompt) << c.text;
        EXPECT_EQ(m.expected, c.expected) << c.text;
    }
}

}  // namespace
}  // namespace dyd
