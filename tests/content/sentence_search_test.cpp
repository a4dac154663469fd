// The sentence search of the example-sentences window and the texts behind its icons.

#include "content/sentence_search.h"

#include <gtest/gtest.h>

#include <string>

#include "core/markup.h"
#include "core/unit_table.h"

namespace dyd {
namespace {

Unit Word(std::string foreign) {
    Unit unit;
    unit.unitKind = kWordUnit;
    unit.foreignText = std::move(foreign);
    unit.nativeText = "s\xB3owo";
    return unit;
}

Unit Sentence(std::string foreign, std::string recording = {}, std::string translation = {}) {
    Unit unit;
    unit.unitKind = kSentenceUnit;
    unit.foreignText = std::move(foreign);
    unit.nativeText = "zdanie";
    unit.recording = std::move(recording);
    unit.sentenceTranslation = std::move(translation);
    return unit;
}

// Two words, then the sentences; the search texts are built as at login.
UnitTable Table(std::initializer_list<Unit> sentences) {
    UnitTable units;
    units.Append(Word("cat"));
    units.Append(Word("the cat"));
    units.wordUnitCount = 2;
    for (const Unit& unit : sentences) {
        units.Append(unit);
    }
    BuildSearchTexts(units);
    return units;
}

TEST(SentenceSearch, IconsFollowRecordingAndTranslation) {
    const UnitTable units = Table({
        Sentence("The <cat> sleeps.", "28656", "Kot \x9Cpi."),  // 3: both icons
        Sentence("A cat runs.", "run.wav"),                     // 4: sound only
        Sentence("My  cat eats.", "", "M\xF3j kot je."),        // 5: translation only
        Sentence("Your cat <is> here."),                        // 6: neither
        Sentence("No cat here.", "0"),                          // 7: "0" is no recording
        Sentence("A dog barks.", "12", "Pies szczeka."),        // 8: no match
    });
    // The typed pattern is trimmed and lowered; words never take part.
    const std::optional<std::string> text = SearchSentences(units, "  CAT ");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text,
              "#S=00003# #N=00003# The cat sleeps.@"
              "#S=00004# A cat runs.@"
              " #N=00005# My cat eats.@"
              " Your cat is here.@"
              " No cat here.@");
}

TEST(SentenceSearch, FirstSentenceWithoutIconsLosesItsLeadingSpace) {
    const UnitTable units = Table({Sentence("I <am> here.")});
    EXPECT_EQ(SearchSentences(units, "am"), "I am here.@");
}

TEST(SentenceSearch, StopsAtFiftySentencesInUnitOrder) {
    UnitTable units = Table({});
    for (int i = 0; i < 60; ++i) {
        units.Append(Sentence("Line " + std::to_string(i) + " of the text."));
    }
    BuildSearchTexts(units);
    const std::string text = SearchSentences(units, "the text").value();
    std::string expected;
    for (int i = 0; i < kMaxFoundSentences; ++i) {
        expected += " Line " + std::to_string(i) + " of the text.@";
    }
    EXPECT_EQ(text, expected.substr(1));
}

TEST(SentenceSearch, NothingFoundAndEmptyPattern) {
    const UnitTable units = Table({Sentence("The cat sleeps.", "1", "Kot \x9Cpi.")});
    EXPECT_EQ(SearchSentences(units, "horse"), std::string(kNothingFound));
    // A pattern that lies only across a gap marker of the stored text is not found either.
    EXPECT_EQ(SearchSentences(units, "<cat>"), std::string(kNothingFound));
    EXPECT_EQ(SearchSentences(units, ""), std::nullopt);
    EXPECT_EQ(SearchSentences(units, " \t "), std::nullopt);
}

TEST(SentenceSearch, IconUnitReadsTheFiveDigitsOfAMarker) {
    const UnitTable units = Table({Sentence("One."), Sentence("Two.")});
    struct Case {
        const char* token;
        std::optional<int> unit;
    };
    const Case cases[] = {
        {"#S=00003#", 3},
        {"#N=00004#", 4},
        {"#s=00004#", 4},
        {"#S=00005#", std::nullopt},
        {"#S=00000#", std::nullopt},
        {"#S=0x003#", std::nullopt},
        {"#S=0003", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IconUnit(c.token, units), c.unit) << c.token;
    }
}

TEST(SentenceSearch, TranslationLineFallsBackToTheMeaning) {
    const Unit translated = Sentence("The cat sleeps.", "", "Kot \x9Cpi.");
    EXPECT_EQ(TranslationLine(translated), "Kot \x9Cpi.");
    Unit untranslated = Sentence("The cat sleeps.");
    untranslated.nativeText = "kot";
    EXPECT_EQ(TranslationLine(untranslated),
              "kot ->>> bedzie t\xB3umaczenie ca\xB3"
              "ego zdania");
}

}  // namespace
}  // namespace dyd
