// The settings screen's rules without its window: list positions and the settings they stand
// for, the kinds listed per table and language, the rule texts, the interval fields and what
// confirming takes.

#include "session/settings_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <filesystem>

#include "core/datetime.h"
#include "core/files.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "support.h"

namespace dyd {
namespace {

// Line n (1-based) of the settings file the settings would give.
std::string Line(const Settings& settings, int n) {
    const std::string text = FormatSettings(settings);
    std::size_t from = 0;
    for (int i = 1; i < n; ++i) {
        from = text.find("\r\n", from) + 2;
    }
    return text.substr(from, text.find("\r\n", from) - from);
}

TEST(SettingsScreenFrequency, FactorsShowTheirItem) {
    struct Case {
        double factor;
        int position;
    };
    const Case cases[] = {
        {1.0, 0},  {0.5, 0},   {1.9, 9},   {1.1, 1},  {2.9, 19},
        {3.0, 19},  // beyond the last item: the last item, never a position past the list
        {4.0, 19}, {1.25, 2},  // a half goes to the even item
        {1.75, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrequencyPosition(c.factor), c.position) << c.factor;
    }
}

TEST(SettingsScreenFrequency, EveryItemWritesItsOwnDecimal) {
    for (int position = 0; position < kFrequencyItems; ++position) {
        Settings settings;
        settings.frequencyFactor = FrequencyFactorAt(position);
        EXPECT_EQ(FrequencyPosition(settings.frequencyFactor), position);
        const std::string expected = std::to_string(1 + position / 10) + "." +
                                     std::to_string(position % 10) + "0";
        EXPECT_EQ(Line(settings, 44), expected);
        EXPECT_EQ(Line(settings, 45), expected);
    }
}

TEST(SettingsScreenDeterminingKinds, PositionsAndKinds) {
    EXPECT_EQ(WordsDeterminingPosition(6), 0);
    EXPECT_EQ(WordsDeterminingPosition(16), 1);
    EXPECT_EQ(WordsDeterminingPosition(9), -1);
    EXPECT_EQ(WordsDeterminingPosition(17), -1);
    EXPECT_EQ(WordsDeterminingKind(0), 6);
    EXPECT_EQ(WordsDeterminingKind(1), 16);
    EXPECT_EQ(WordsDeterminingKind(2), 17);
    EXPECT_EQ(WordsDeterminingKind(-1), 0);
    EXPECT_EQ(WordsDeterminingKind(3), 0);
    EXPECT_EQ(SentencesDeterminingPosition(12), 0);
    EXPECT_EQ(SentencesDeterminingPosition(18), 1);
    EXPECT_EQ(SentencesDeterminingPosition(13), -1);
    EXPECT_EQ(SentencesDeterminingKind(0), 12);
    EXPECT_EQ(SentencesDeterminingKind(1), 18);
    EXPECT_EQ(SentencesDeterminingKind(2), 0);
}

TEST(SettingsScreenKinds, ListedPerTableAndLanguage) {
    const std::vector<int> english{1, 2, 3, 4, 5, 6, 9, 16};
    const std::vector<int> german{1, 2, 3, 4, 5, 6, 7, 8, 9, 16};
    EXPECT_EQ(ListedLearningKinds(1, 1), english);
    EXPECT_EQ(ListedLearningKinds(1, 3), english);
    EXPECT_EQ(ListedLearningKinds(1, 2), german);
    EXPECT_EQ(ListedLearningKinds(2, 2), (std::vector<int>{10, 11, 12, 13, 14, 15, 18}));
    EXPECT_EQ(ListedLearningKinds(3, 1), std::vector<int>{17});
    EXPECT_TRUE(ListedLearningKinds(4, 1).empty());
    EXPECT_EQ(LearningKindItem(16), "16 Samoocena");
}

TEST(SettingsScreenRules, ItemsNameTheKindAndItsRule) {
    EXPECT_EQ(RepetitionRuleItem(1, 0), "Rozpoznawanie ze słuchu - nie zaakceptowane");
    EXPECT_EQ(RepetitionRuleItem(6, 1), "Wpisywanie tłumaczenia - wszystkie");
    EXPECT_EQ(RepetitionRuleItem(12, 2), "Uzupełnianie luk - żadne");
    EXPECT_EQ(RepetitionRuleItem(16, 3), "Samoocena - oznaczone");
    EXPECT_EQ(RepetitionRuleItem(17, 4), "Tryb QA - oznaczone lub nie zaakceptowane");
    // A rule that no item names (a damaged line) shows none and selects none.
    EXPECT_EQ(RepetitionRuleItem(2, -3), "Rozumienie tekstu - ");
    EXPECT_EQ(RepetitionRulePosition(-3), -1);
    EXPECT_EQ(RepetitionRulePosition(5), -1);
    EXPECT_EQ(RepetitionRulePosition(4), 4);
}

TEST(SettingsScreenIntervals, FieldsTakeDigitsInRange) {
    struct Case {
        const char* text;
        int min;
        int max;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"3", kMasteredMin, kMasteredMax, std::nullopt},
        {"4", kMasteredMin, kMasteredMax, 4},
        {" 200\t", kMasteredMin, kMasteredMax, 200},
        {"201", kMasteredMin, kMasteredMax, std::nullopt},
        {"3", kKnownMin, kKnownMax, 3},
        {"400", kKnownMin, kKnownMax, 400},
        {"401", kKnownMin, kKnownMax, std::nullopt},
        {"0012", kKnownMin, kKnownMax, 12},
        {"", kKnownMin, kKnownMax, std::nullopt},
        {"   ", kKnownMin, kKnownMax, std::nullopt},
        {"-5", kKnownMin, kKnownMax, std::nullopt},
        {"+5", kKnownMin, kKnownMax, std::nullopt},
        {"1 2", kKnownMin, kKnownMax, std::nullopt},
        {"12a", kKnownMin, kKnownMax, std::nullopt},
        {"99999999999999999999", kKnownMin, kKnownMax, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIntervalField(c.text, c.min, c.max), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(MasteredIntervalMessage(),
              "W pole \"słówko umiesz gdy interwał...\" należy wpisać wartość od 4 do 200.");
    EXPECT_EQ(KnownIntervalMessage(),
              "W pole \"Przycisk Już umiem! zmienia interwał...\" należy wpisać wartość od 3 do "
              "400.");
}

TEST(SettingsScreenConfirm, UnchangedControlsKeepEveryLine) {
    // Stored values the lists cannot show: kept as they are when the learner leaves the lists.
    Settings odd;
    odd.frequencyFactor = 4.0;
    odd.determiningKindWords = 9;
    odd.determiningKindSentences = 15;
    Settings rounded;
    rounded.frequencyFactor = 1.95;
    for (const Settings& stored : {Settings{}, odd, rounded}) {
        Settings settings = stored;
        const SettingsScreenValues shown = ScreenValuesFrom(settings);
        EXPECT_EQ(ApplyScreenValues(shown, shown, {1, 2, 3, 4, 5, 6, 7}, settings), "");
        EXPECT_EQ(FormatSettings(settings), FormatSettings(stored));
    }
}

TEST(SettingsScreenConfirm, TakesWhatTheLearnerChanged) {
    Settings settings;
    settings.determiningKindWords = 9;
    const SettingsScreenValues shown = ScreenValuesFrom(settings);
    EXPECT_EQ(shown.wordsPosition, -1);
    EXPECT_EQ(shown.frequencyPosition, 9);
    SettingsScreenValues values = shown;
    values.wordsPosition = 1;
    values.sentencesPosition = 1;
    values.frequencyPosition = 0;
    values.showSummary = true;
    values.showStatistics = false;
    values.proposeSentenceExercises = true;
    values.interludesAtEndOnly = true;
    values.masteredInterval = " 12 ";
    values.knownInterval = "3";
    values.learningKinds[1][2] = false;
    values.learningKinds[2][18] = true;
    values.interludeEnabled[2] = false;
    values.interludeEnabled[5] = false;  // pack 5 is not listed: its flag stays

    EXPECT_EQ(ApplyScreenValues(values, shown, {1, 2}, settings), "");
    EXPECT_EQ(settings.determiningKindWords, 16);
    EXPECT_EQ(settings.determiningKindSentences, 18);
    EXPECT_EQ(settings.frequencyFactor, 1.0);
    EXPECT_TRUE(settings.showSummary);
    EXPECT_FALSE(settings.showStatistics);
    EXPECT_TRUE(settings.proposeSentenceExercises);
    EXPECT_TRUE(settings.interludesAtEndOnly);
    EXPECT_EQ(settings.masteredInterval, 12);
    EXPECT_EQ(settings.knownInterval, 3);
    EXPECT_FALSE(settings.learningKinds[1][2]);
    EXPECT_TRUE(settings.learningKinds[2][18]);
    EXPECT_FALSE(settings.interludeEnabled[2]);
    EXPECT_TRUE(settings.interludeEnabled[5]);
}

TEST(SettingsScreenConfirm, ARefusedFieldTakesNothing) {
    Settings settings;
    const Settings before = settings;
    const SettingsScreenValues shown = ScreenValuesFrom(settings);
    SettingsScreenValues values = shown;
    values.showSummary = true;
    values.frequencyPosition = 15;
    values.masteredInterval = "3";
    EXPECT_EQ(ApplyScreenValues(values, shown, {}, settings), MasteredIntervalMessage());
    EXPECT_EQ(settings, before);
    values.masteredInterval = "10";
    values.knownInterval = "2";
    EXPECT_EQ(ApplyScreenValues(values, shown, {}, settings), KnownIntervalMessage());
    EXPECT_EQ(settings, before);
    // Both wrong: the first field is named.
    values.masteredInterval = "x";
    EXPECT_EQ(ApplyScreenValues(values, shown, {}, settings), MasteredIntervalMessage());
}

// ---- Deleting all repetitions ----------------------------------------------------------------

struct Learner {
    test::TempDir dir;
    AppPaths paths;
    Settings settings;
    UnitTable units;
    RepetitionStore store{10};
    FixedClock clock{DayNumber(2026, 12, 10) + 0.5};

    Learner() {
        paths.programDir = dir.path();
        paths.userDir = dir.path() + "1/";
        paths.databaseCode = "ang";
        std::filesystem::create_directories(paths.userDir);
        for (int u = 1; u <= 10; ++u) {
            Unit unit;
            unit.unitId = 500 + u;
            units.Append(unit);
        }
        for (const int u : {2, 5, 9}) {
            RepetitionRecord& r = store.record(u);
            r.unitId = 500 + u;
            r.firstDate = r.lastDate = 46000 - u;
            r.interval = u;
            r.factor = 1.5;
        }
        store.chosenKinds[5][3] = true;
    }
    std::string File(std::string_view suffix) const {
        return paths.userDir + "ang" + std::string(suffix);
    }
};

TEST(DeleteAllRepetitions, KeepsACopyThatRestoresEveryRecord) {
    Learner l;
    ASSERT_TRUE(SaveLiveRepetitions(l.paths, l.units, l.store, l.settings, l.clock).written);
    const std::string before = test::ReadBytes(l.File(".p"));
    const RepetitionStore learnt = l.store;

    const DeleteAllResult result =
        DeleteAllRepetitionsKeepingCopy(l.paths, l.units, l.store, l.settings, l.clock);
    EXPECT_TRUE(result.deleted);
    EXPECT_TRUE(result.backupWritten);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(test::ReadBytes(l.File(".pkas")), before);
    EXPECT_EQ(test::ReadBytes(l.File(".p")), "");
    EXPECT_EQ(l.store.record(5).unitId, 0);
    EXPECT_EQ(l.settings.savedRecordCount, 0);
    const auto copies = ListRepetitionCopies(l.paths);
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].first, "ang.p");
    EXPECT_EQ(copies[1].first, "ang.pkas");
    EXPECT_EQ(copies[1].second, "2026-12-10 12:00:00  (3:1)");

    const RestoreCopyResult restored =
        RestoreRepetitionCopy(l.paths, "ang.pkas", l.units, l.store, l.settings, l.clock);
    EXPECT_EQ(restored.load.message, "Wczytano informacje o 3 powtórkach.");
    EXPECT_EQ(test::ReadBytes(l.File(".p")), before);
    for (int u = 1; u <= 10; ++u) {
        EXPECT_EQ(l.store.record(u).unitId, learnt.record(u).unitId) << u;
        EXPECT_EQ(l.store.chosenKinds[static_cast<std::size_t>(u)],
                  learnt.chosenKinds[static_cast<std::size_t>(u)]);
    }
}

TEST(DeleteAllRepetitions, NothingIsDeletedWhenTheCopyCannotBeWritten) {
    Learner l;
    ASSERT_TRUE(SaveLiveRepetitions(l.paths, l.units, l.store, l.settings, l.clock).written);
    const std::string before = test::ReadBytes(l.File(".p"));
    SetWriteFaultForTesting({WriteFault::Kind::Fail, 0});
    const DeleteAllResult result =
        DeleteAllRepetitionsKeepingCopy(l.paths, l.units, l.store, l.settings, l.clock);
    SetWriteFaultForTesting({});
    EXPECT_FALSE(result.deleted);
    EXPECT_TRUE(result.message.starts_with(
        "Nie udało się zapisać kopii powtórek, więc nic nie skasowano. "))
        << result.message;
    EXPECT_EQ(l.store.record(9).unitId, 509);
    EXPECT_EQ(test::ReadBytes(l.File(".p")), before);
    EXPECT_FALSE(std::filesystem::exists(l.File(".pkas")));
}

TEST(DeleteAllRepetitions, AnEmptyStoreLeavesTheLastCopyAlone) {
    Learner l;
    ASSERT_TRUE(DeleteAllRepetitionsKeepingCopy(l.paths, l.units, l.store, l.settings, l.clock)
                    .backupWritten);
    const std::string copy = test::ReadBytes(l.File(".pkas"));
    ASSERT_EQ(copy.size(), 3 * kRecordSize);
    // Deleting again, with nothing learnt, must not replace the copy by an empty one.
    const DeleteAllResult again =
        DeleteAllRepetitionsKeepingCopy(l.paths, l.units, l.store, l.settings, l.clock);
    EXPECT_TRUE(again.deleted);
    EXPECT_FALSE(again.backupWritten);
    EXPECT_EQ(test::ReadBytes(l.File(".pkas")), copy);
}

}  // namespace
}  // namespace dyd
