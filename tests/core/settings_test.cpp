#include "core/settings.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/database.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string FullFile() {
    return ReadBytes(test::Fixture("settings/full.ustaw"));
}

std::vector<std::string> FullLines() {
    const std::string file = FullFile();
    std::vector<std::string> lines;
    for (const std::string_view line : SplitLines(file)) {
        lines.emplace_back(line);
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

// The full fixture with line n (1-based) replaced.
std::string WithLines(std::initializer_list<std::pair<int, std::string>> changes) {
    std::vector<std::string> lines = FullLines();
    for (const auto& [n, text] : changes) {
        lines[static_cast<std::size_t>(n - 1)] = text;
    }
    return Join(lines);
}

// The full fixture cut after line count.
std::string CutAfter(int count) {
    std::vector<std::string> lines = FullLines();
    lines.resize(static_cast<std::size_t>(count));
    return Join(lines);
}

std::string LineOf(const std::string& file, int n) {
    return std::string(SplitLines(file).at(static_cast<std::size_t>(n - 1)));
}

// What the fixture full.ustaw holds, value by value.
Settings FullSettings() {
    Settings s;
    s.determiningKindWords = 16;
    for (int k = 1; k <= kKindSlots; ++k) {
        s.repetitionKindRule[k] = (k - 1) % 5;
    }
    s.reservedFlag22 = false;
    s.intensity = 2;
    for (int n = 1; n <= kInterludePacks; ++n) {
        s.interludeEnabled[n] = n % 2 == 1;
        s.interludePosition[n] = n * 10 + 1;
    }
    s.reservedNumber38 = 55;
    s.determiningKindSentences = 18;
    s.showStatistics = false;
    s.proposeSentenceExercises = true;
    s.reservedNumber42 = 7;
    s.frequencyFactor = 2.3;
    s.searchOptions = {false, false, true, true, false};
    s.helpHintShown = true;
    s.reservedFlag51 = true;
    s.f5HintShown = true;
    s.intensityOneInRepetitions = false;
    s.masteredInterval = 30;
    s.interludesAtEndOnly = true;
    s.startCounter = 41;
    s.savedRecordCount = 1234;
    s.knownInterval = 250;
    s.showSummary = true;
    s.learningKinds = {};
    for (const auto& [t, k] : {std::pair{1, 2},
                               {1, 4},
                               {1, 6},
                               {1, 16},
                               {2, 12},
                               {2, 14},
                               {2, 18},
                               {3, 17},
                               {4, 3},
                               {4, 20}}) {
        s.learningKinds[t][k] = true;
    }
    s.learningMode = 2;
    s.newUnitsCountIndex = 5;
    s.filterLevel = 3;
    s.filterWordClass = 4;
    s.filterUnitType = 2;
    s.filterLearned = 1;
    s.presentationNextDelay = 4;
    s.presentationTranslationDelay = 3;
    s.presentationBackground = 2;
    s.groupIndex = 7;
    return s;
}

TEST(SettingsFile, WellFormedFileReadsEveryLineIntoItsFieldAndWritesBackByteForByte) {
    std::vector<SettingsRepair> repairs;
    const Settings read = ParseSettings(FullFile(), &repairs);
    EXPECT_EQ(read, FullSettings());
    EXPECT_TRUE(repairs.empty());
    EXPECT_EQ(FormatSettings(read), FullFile());
}

TEST(SettingsFile, DefaultsWrite149CrLfLinesThatReadBackUnchanged) {
    const Settings defaults;
    const std::string file = FormatSettings(defaults);
    EXPECT_EQ(SplitLines(file).size(), 149u);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 149);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\r'), 149);
    EXPECT_TRUE(file.ends_with("1\r\n"));
    EXPECT_EQ(LineOf(file, 1), "6");
    EXPECT_EQ(LineOf(file, 22), "1");
    EXPECT_EQ(LineOf(file, 42), "2");
    EXPECT_EQ(LineOf(file, 43), "2");
    EXPECT_EQ(LineOf(file, 44), "1.90");
    EXPECT_EQ(LineOf(file, 45), "1.90");
    EXPECT_EQ(LineOf(file, 58), "100");
    // Word kinds 1-6, sentence kinds 10-15 and QA kind 17 are offered.
    std::string kinds;
    for (int n = 60; n <= 139; ++n) {
        kinds += LineOf(file, n);
    }
    EXPECT_EQ(kinds,
              "11111100000000000000"
              "00000000011111100000"
              "00000000000000001000"
              "00000000000000000000");
    EXPECT_EQ(ParseSettings(file), defaults);
    EXPECT_EQ(ParseSettings(""), defaults);
}

TEST(SettingsFile, FrequencyIsWrittenWithTwoDecimalsAndAPoint) {
    const struct {
        double value;
        const char* line;
    } cases[] = {{1.9, "1.90"}, {1.0, "1.00"}, {4.0, "4.00"}, {2.345678, "2.35"}, {1.05, "1.05"}};
    for (const auto& c : cases) {
        Settings s;
        s.frequencyFactor = c.value;
        const std::string file = FormatSettings(s);
        EXPECT_EQ(LineOf(file, 44), c.line) << c.value;
        EXPECT_EQ(LineOf(file, 45), c.line) << c.value;
    }
}

TEST(SettingsFile, RangeRulesCorrectValuesSilently) {
    const struct {
        int line;
        const char* text;
        int Settings::*field;
        int expected;
    } cases[] = {
        {1, "5", &Settings::determiningKindWords, 6},
        {1, "18", &Settings::determiningKindWords, 6},
        {1, "17", &Settings::determiningKindWords, 17},
        {23, "3", &Settings::intensity, 0},
        {23, "-1", &Settings::intensity, 0},
        {38, "101", &Settings::reservedNumber38, 1},
        {38, "100", &Settings::reservedNumber38, 100},
        {39, "11", &Settings::determiningKindSentences, 18},
        {39, "19", &Settings::determiningKindSentences, 18},
        {39, "12", &Settings::determiningKindSentences, 12},
        {43, "1001", &Settings::reservedNumber42, 1},
        {54, "3", &Settings::masteredInterval, 6},
        {54, "4", &Settings::masteredInterval, 4},
        {54, "201", &Settings::masteredInterval, 200},
        {58, "2", &Settings::knownInterval, 100},
        {58, "3", &Settings::knownInterval, 3},
        {58, "401", &Settings::knownInterval, 100},
        {140, "3", &Settings::learningMode, 0},
        {141, "99", &Settings::newUnitsCountIndex, 99},  // no range rule
        {149, " 12 ", &Settings::groupIndex, 12},
    };
    for (const auto& c : cases) {
        std::vector<SettingsRepair> repairs;
        const Settings s = ParseSettings(WithLines({{c.line, c.text}}), &repairs);
        EXPECT_EQ(s.*c.field, c.expected) << "line " << c.line << " \"" << c.text << "\"";
        EXPECT_TRUE(repairs.empty()) << c.line;
    }
}

TEST(SettingsFile, RepetitionRulesAboveFourBecomeZeroAndEmptyLinesKeepTheDefault) {
    const Settings s = ParseSettings(WithLines({{2, "5"}, {3, "4"}, {4, ""}, {5, " "}}));
    EXPECT_EQ(s.repetitionKindRule[1], 0);
    EXPECT_EQ(s.repetitionKindRule[2], 4);
    EXPECT_EQ(s.repetitionKindRule[3], 0);
    EXPECT_EQ(s.repetitionKindRule[4], 0);
    EXPECT_EQ(s.repetitionKindRule[5], 4);  // untouched fixture line
}

TEST(SettingsFile, InterludeFlagIsTrueOnlyForExactlyOneAndEmptyLinesKeepTheValue) {
    // Line 24 is pack 1 (fixture "1"), line 26 pack 2 (fixture "0"), 25 and 27 their positions.
    const struct {
        const char* text;
        bool expected;
    } flags[] = {{"1", true},  {" 1", false}, {"1 ", false}, {"2", false},
                 {"x", false}, {"", true},    {"   ", true}};
    for (const auto& c : flags) {
        EXPECT_EQ(ParseSettings(WithLines({{26, c.text}})).interludeEnabled[2], c.expected)
            << "\"" << c.text << "\"";
    }
    const Settings s = ParseSettings(WithLines({{25, "  "}, {27, " 9 "}}));
    EXPECT_EQ(s.interludePosition[1], 0);
    EXPECT_EQ(s.interludePosition[2], 9);
}

TEST(SettingsFile, FlagsAreTrueOnlyWhenTheLineReadsAsOne) {
    EXPECT_TRUE(ParseSettings(WithLines({{40, " 1 "}})).showStatistics);
    EXPECT_TRUE(ParseSettings(WithLines({{40, "01"}})).showStatistics);
    EXPECT_FALSE(ParseSettings(WithLines({{41, "2"}})).proposeSentenceExercises);
    EXPECT_FALSE(ParseSettings(WithLines({{41, ""}})).proposeSentenceExercises);
}

TEST(SettingsFile, TheSecondOfTwinLinesWins) {
    const Settings s = ParseSettings(WithLines({{42, "3"}, {43, "4"}, {44, "1.5"}, {45, "2.5"}}));
    EXPECT_EQ(s.reservedNumber42, 4);
    EXPECT_DOUBLE_EQ(s.frequencyFactor, 2.5);
}

TEST(SettingsFile, FrequencyLinesThatAreNoNumberAreRepairedOneByOne) {
    const struct {
        const char* line44;
        const char* line45;
        double expected;
        std::vector<SettingsRepair> repairs;
    } cases[] = {
        {"1,5", "2.50", 2.5, {{44, "1,5"}}},
        {"2.50", "1,5", 1.9, {{45, "1,5"}}},
        {"1,5", "", 1.9, {{44, "1,5"}, {45, ""}}},
        {"0.5", "0.5", 1.0, {}},
        {"4.5", "4.5", 4.0, {}},
        {" 3.25 ", "3.25", 3.25, {}},
    };
    for (const auto& c : cases) {
        std::vector<SettingsRepair> repairs;
        const Settings s = ParseSettings(WithLines({{44, c.line44}, {45, c.line45}}), &repairs);
        EXPECT_DOUBLE_EQ(s.frequencyFactor, c.expected) << c.line44 << " / " << c.line45;
        ASSERT_EQ(repairs.size(), c.repairs.size()) << c.line44 << " / " << c.line45;
        for (std::size_t i = 0; i < repairs.size(); ++i) {
            EXPECT_EQ(repairs[i].line, c.repairs[i].line);
            EXPECT_EQ(repairs[i].text, c.repairs[i].text);
        }
    }
}

TEST(SettingsFile, AFileOfGarbageGivesOneMessageListingTheFirstTenRepairs) {
    std::string garbage;
    for (int line = 0; line < 149; ++line) {
        garbage += "abc\r\n";
    }
    std::vector<SettingsRepair> repairs;
    ParseSettings(garbage, &repairs);
    ASSERT_GT(repairs.size(), 10u);
    const std::string message = RepairsMessage(repairs);
    EXPECT_EQ(message.rfind("Naprawiono błędy w pliku ustawień, w " +
                                std::to_string(repairs.size()) + " liniach:\nlinia ",
                            0),
              0u)
        << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 11);
    EXPECT_TRUE(message.ends_with("\ni " + std::to_string(repairs.size() - 10) + " innych"));

    // Bytes that are no text are shown escaped; a long line is cut.
    EXPECT_EQ(RepairsMessage({{2, std::string("a\x01\x81\xB3", 4)}, {7, std::string(70, 'x')}}),
              "Naprawiono błędy w pliku ustawień, w 2 liniach:\nlinia 2: a\\x01\\x81ł\nlinia 7: " +
                  std::string(60, 'x') + "…");
    EXPECT_EQ(RepairsMessage({{44, "1,5"}}), "Naprawiono błąd w linii:1,5.");
    EXPECT_EQ(RepairsMessage({}), "");
}

TEST(SettingsFile, RepairMessageQuotesTheLineAsRead) {
    EXPECT_EQ(RepairMessage({44, "1,5"}), "Naprawiono błąd w linii:1,5.");
    // The line's bytes are Windows-1250 ("ł" is 0xB3); the message is UTF-8.
    EXPECT_EQ(RepairMessage({23, "\xB3"}), "Naprawiono błąd w linii:ł.");
}

TEST(SettingsFile, ANumberLineHoldingTextTakesItsDefaultAndIsReported) {
    std::vector<SettingsRepair> repairs;
    const Settings s = ParseSettings(
        WithLines({{23, "dwa"}, {40, "tak"}, {57, "12x"}, {64, "?"}, {3, "1.0"}}), &repairs);
    const Settings defaults;
    EXPECT_EQ(s.intensity, defaults.intensity);
    EXPECT_EQ(s.showStatistics, defaults.showStatistics);
    EXPECT_EQ(s.savedRecordCount, defaults.savedRecordCount);
    EXPECT_EQ(s.learningKinds[1][5], defaults.learningKinds[1][5]);
    EXPECT_EQ(s.repetitionKindRule[2], defaults.repetitionKindRule[2]);
    // The lines after each bad one are read as usual.
    EXPECT_EQ(s.repetitionKindRule[3], 2);
    EXPECT_EQ(s.reservedFlag22, false);
    EXPECT_EQ(s.groupIndex, 7);
    ASSERT_EQ(repairs.size(), 5u);
    const int lines[] = {3, 23, 40, 57, 64};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(repairs[i].line, lines[i]);
    }
    EXPECT_EQ(repairs[1].text, "dwa");
}

TEST(SettingsFile, LearningKindsAreMadeConsistentAfterReading) {
    std::vector<std::string> lines = FullLines();
    for (int n = 60; n <= 139; ++n) {
        lines[static_cast<std::size_t>(n - 1)] = "1";  // every kind of every table offered
    }
    Settings s = ParseSettings(Join(lines));
    std::string tables;
    for (int t = 1; t <= 4; ++t) {
        for (int k = 1; k <= kKindSlots; ++k) {
            tables += s.learningKinds[t][k] ? '1' : '0';
        }
    }
    EXPECT_EQ(tables,
              "11111111100000010000"    // words: no sentence kinds, no 17-20
              "00000000111111111111"    // sentences: no kinds 1-8
              "00000000000000001000"    // QA: only 17
              "11111111111111111111");  // table 4 is kept as read

    // Nothing offered: the determining kinds and QA kind 17 come back.
    for (int n = 60; n <= 139; ++n) {
        lines[static_cast<std::size_t>(n - 1)] = "0";
    }
    s = ParseSettings(Join(lines));
    for (int t = 1; t <= 4; ++t) {
        for (int k = 1; k <= kKindSlots; ++k) {
            const bool expected = (t == 1 && k == 16) || (t == 2 && k == 18) || (t == 3 && k == 17);
            EXPECT_EQ(s.learningKinds[t][k], expected) << t << "/" << k;
        }
    }
}

TEST(SettingsFile, AShortFileRepeatsItsLastLineExceptTheKnownInterval) {
    // Cut after line 57 ("1234"): line 58 reads "100", and so do the lines after it.
    Settings s = ParseSettings(CutAfter(57));
    EXPECT_EQ(s.savedRecordCount, 1234);
    EXPECT_EQ(s.knownInterval, 100);
    EXPECT_FALSE(s.showSummary);
    EXPECT_EQ(s.learningMode, 0);
    EXPECT_EQ(s.groupIndex, 100);

    // Cut after line 53 ("0"): 54-57 repeat it, 58 reads "100".
    s = ParseSettings(CutAfter(53));
    EXPECT_EQ(s.masteredInterval, 6);
    EXPECT_EQ(s.startCounter, 0);
    EXPECT_EQ(s.knownInterval, 100);

    // Cut after line 1 ("16"): every number line reads 16.
    std::vector<SettingsRepair> repairs;
    s = ParseSettings("16\r\n", &repairs);
    EXPECT_EQ(s.repetitionKindRule[1], 0);  // 16 is above 4
    EXPECT_EQ(s.interludePosition[3], 16);
    EXPECT_EQ(s.determiningKindSentences, 16);
    EXPECT_DOUBLE_EQ(s.frequencyFactor, 4.0);
    EXPECT_EQ(s.knownInterval, 100);
    EXPECT_TRUE(repairs.empty());

    // A last line of text is reported once where it stands; the frequency lines that repeat it
    // are reported as the frequency rule says.
    repairs.clear();
    s = ParseSettings(CutAfter(40) + "abc\r\n", &repairs);
    ASSERT_EQ(repairs.size(), 3u);
    EXPECT_EQ(repairs[0].line, 41);
    EXPECT_EQ(repairs[1].line, 44);
    EXPECT_EQ(repairs[2].line, 45);
    EXPECT_EQ(repairs[2].text, "abc");
    EXPECT_EQ(s.masteredInterval, 6);
    EXPECT_EQ(s.knownInterval, 100);
    EXPECT_EQ(s.groupIndex, 100);
}

TEST(SettingsFile, LineFeedOnlyAndExtraLinesReadTheSame) {
    std::string lf = FullFile();
    std::string out;
    for (const char c : lf) {
        if (c != '\r') {
            out += c;
        }
    }
    EXPECT_EQ(ParseSettings(out), FullSettings());
    EXPECT_EQ(ParseSettings(FullFile() + "7\r\nrest\r\n"), FullSettings());
}

// ---- Loading and saving ------------------------------------------------------------------

struct Installation {
    TempDir dir;
    AppPaths paths;
    Installation() {
        paths.programDir = dir.path();
        paths.databaseCode = "angtest";
        paths.databaseDir = dir.path() + "db/angtest/";
        paths.userDir = dir.path() + "1/";
        std::filesystem::create_directories(paths.databaseDir);
        std::filesystem::create_directories(paths.userDir);
    }
    std::string userFile() const { return paths.userDir + "angtest.ustaw"; }
    std::string databaseFile() const { return paths.databaseDir + "angtest.ustaw"; }
};

TEST(SettingsLoad, WithoutAFileTheDefaultsAreTakenWithoutRepairs) {
    Installation inst;
    const LoadedSettings loaded = LoadSettings(inst.paths);
    EXPECT_EQ(loaded.settings, Settings{});
    EXPECT_EQ(loaded.settings.startCounter, 1);
    EXPECT_TRUE(loaded.repairs.empty());
    EXPECT_TRUE(loaded.file.empty());
}

TEST(SettingsLoad, TheLearnersFileWinsOverTheDatabasesAndSavingGoesToTheLearner) {
    Installation inst;
    WriteBytes(inst.databaseFile(), WithLines({{149, "3"}}));
    LoadedSettings loaded = LoadSettings(inst.paths);
    EXPECT_EQ(loaded.file, inst.databaseFile());
    EXPECT_EQ(loaded.settings.groupIndex, 3);

    WriteBytes(inst.userFile(), FullFile());
    loaded = LoadSettings(inst.paths);
    EXPECT_EQ(loaded.file, inst.userFile());
    EXPECT_EQ(loaded.settings.groupIndex, 7);

    // The file name is found whatever the letter case.
    std::filesystem::rename(inst.userFile(), inst.paths.userDir + "ANGTEST.USTAW");
    EXPECT_EQ(LoadSettings(inst.paths).settings.groupIndex, 7);
}

TEST(SettingsLoad, EachLoginAndSaveRaisesTheStartCounterByOne) {
    Installation inst;
    WriteBytes(inst.userFile(), FullFile());
    CourseDatabase db;
    for (int run = 1; run <= 2; ++run) {
        const LoadedSettings loaded = LoadSettings(inst.paths);
        EXPECT_EQ(loaded.settings.startCounter, 41 + run);
        ASSERT_TRUE(SaveSettings(inst.paths, loaded.settings, db).ok());
    }
    // Apart from the counter the file is written back as it was.
    EXPECT_EQ(ReadBytes(inst.userFile()), WithLines({{56, "43"}}));
}

TEST(SettingsLoad, ADatabaseDefaultFileIsCopiedToTheLearnerOnSave) {
    Installation inst;
    WriteBytes(inst.databaseFile(), FullFile());
    CourseDatabase db;
    ASSERT_TRUE(SaveSettings(inst.paths, LoadSettings(inst.paths).settings, db).ok());
    EXPECT_EQ(ReadBytes(inst.userFile()), WithLines({{56, "42"}}));
    EXPECT_EQ(ReadBytes(inst.databaseFile()), FullFile());
}

TEST(SettingsLoad, AnUnreadableLearnersFileIsNamedAndTheDatabasesTaken) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads any file";
    }
    Installation inst;
    WriteBytes(inst.userFile(), FullFile());
    WriteBytes(inst.databaseFile(), WithLines({{149, "3"}}));
    std::filesystem::permissions(inst.userFile(), std::filesystem::perms::none);
    const LoadedSettings loaded = LoadSettings(inst.paths);
    std::filesystem::permissions(inst.userFile(), std::filesystem::perms::owner_all);
    EXPECT_EQ(loaded.unreadableFile, inst.userFile());
    EXPECT_EQ(loaded.file, inst.databaseFile());
    EXPECT_EQ(loaded.settings.groupIndex, 3);
    EXPECT_EQ(SettingsUnreadableMessage(loaded.unreadableFile),
              "Nie można odczytać pliku ustawień [" + inst.userFile() +
                  "]. Program działa na ustawieniach domyślnych i nie zapisze ich w miejsce tego "
                  "pliku, dopóki nie zatwierdzisz okna Ustawienia.");
    EXPECT_TRUE(LoadSettings(inst.paths).unreadableFile.empty());
}

TEST(SettingsSave, CorrectionModeWritesTheCorrectionsToo) {
    Installation inst;
    CourseDatabase db;
    Unit unit;
    unit.unitId = 501;
    unit.corrected = 1;
    unit.correctionNote = "literówka";
    db.units.Append(unit);
    const std::string corrections = inst.paths.databaseDir + "korekta_dane.txt";

    EXPECT_TRUE(SaveSettings(inst.paths, Settings{}, db).ok());
    EXPECT_FALSE(FileExists(corrections));

    db.correctionMode = true;
    const SaveSettingsResult result = SaveSettings(inst.paths, Settings{}, db);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(ReadBytes(corrections), FormatCorrections(db.units));
    EXPECT_EQ(ReadBytes(inst.userFile()), FormatSettings(Settings{}));
}

TEST(SettingsSave, AFailedCorrectionsSaveStillWritesTheSettingsAndIsReported) {
    Installation inst;
    CourseDatabase db;
    db.correctionMode = true;
    inst.paths.databaseDir = inst.dir.path() + "db/missing/";
    const SaveSettingsResult result = SaveSettings(inst.paths, Settings{}, db);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.correctionsWritten);
    EXPECT_TRUE(result.settingsWritten);
    EXPECT_EQ(result.error.rfind(kCorrectionsNotSavedMessage, 0), 0u);
    EXPECT_EQ(ReadBytes(inst.userFile()), FormatSettings(Settings{}));
}

TEST(SettingsSave, AFailedWriteKeepsTheOldFile) {
    Installation inst;
    WriteBytes(inst.userFile(), FullFile());
    SetWriteFaultForTesting({WriteFault::Kind::Fail, 100});
    const SaveSettingsResult result = SaveSettings(inst.paths, Settings{}, CourseDatabase{});
    SetWriteFaultForTesting({});
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error.rfind(kSettingsNotSavedMessage, 0), 0u);
    EXPECT_EQ(ReadBytes(inst.userFile()), FullFile());
}

}  // namespace
}  // namespace dyd
