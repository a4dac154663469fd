#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/database.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

// ---- Base lines ------------------------------------------------------------------------------

TEST(BaseLine, DogLineFillsEveryColumnAndField) {
    Unit u;
    ASSERT_EQ(ParseBaseLine("01 128656 21 dog = pies =dogs= hound= = 28656 = = = n = =",
                            BaseLineFormat::Current, u),
              BaseLineResult::Row);
    EXPECT_EQ(u.groupId, 1);
    EXPECT_EQ(u.recordingSource, 1);
    EXPECT_EQ(u.unitId, 28656);
    EXPECT_EQ(u.level, 2);
    EXPECT_EQ(u.partOfSpeech, 1);
    EXPECT_EQ(u.foreignText, "dog");
    EXPECT_EQ(u.nativeText, "pies");
    EXPECT_EQ(u.plural, "dogs");
    EXPECT_EQ(u.synonyms, "hound");
    EXPECT_EQ(u.comment, "");
    EXPECT_EQ(u.recording, "28656");
    EXPECT_EQ(u.unitKind, kWordUnit);
}

struct LineCase {
    const char* line;
    BaseLineResult result;
    const char* foreign;
    const char* native;
    int level;
    int part;
    int kind;
    const char* recording;
};

TEST(BaseLine, ColumnAndFieldRules) {
    const LineCase cases[] = {
        // The character before the first "=" is a separator, never text.
        {"01 128656 21 dog= pies =dogs= hound= = 28656 = = = n = =", BaseLineResult::Row, "do",
         "pies", 2, 1, kWordUnit, "28656"},
        // Four "=": the first four fields only.
        {"01 128656 21 dog = pies =dogs= hound= comment", BaseLineResult::Row, "dog", "pies", 2, 1,
         kWordUnit, ""},
        // Five zeros in the id columns: no row.
        {"01 100000 21 dog = pies = = = = = = = n = =", BaseLineResult::NoRow, "dog", "pies", 2, 1,
         kWordUnit, ""},
        // Source 0 and 2: recording 0 or blank is emptied, a number is kept as written.
        {"01 028656 21 dog = pies = = = = 0 = = = n = =", BaseLineResult::Row, "dog", "pies", 2, 1,
         kWordUnit, ""},
        {"01 228656 21 dog = pies = = = =  = = = n = =", BaseLineResult::Row, "dog", "pies", 2, 1,
         kWordUnit, ""},
        {"01 028656 21 dog = pies = = = = 00123 = = = n = =", BaseLineResult::Row, "dog", "pies", 2,
         1, kWordUnit, "00123"},
        // Source 1 keeps any recording text.
        {"01 128656 21 dog = pies = = = = dog.wav = = = n = =", BaseLineResult::Row, "dog", "pies",
         2, 1, kWordUnit, "dog.wav"},
        // Level blank or 0 reads as 2, part of speech 0 or blank as 4.
        {"01 128656  0 dog = pies = = = = = = = n = =", BaseLineResult::Row, "dog", "pies", 2, 4,
         kWordUnit, ""},
        {"01 128656 30 dog = pies = = = = = = = n = =", BaseLineResult::Row, "dog", "pies", 3, 4,
         kWordUnit, ""},
        // Kind markers.
        {"05 128656 35 I <go>. = idę =Idę.= = = = = wrong = z = =", BaseLineResult::Row, "I <go>.",
         "idę", 3, 5, kSentenceUnit, ""},
        {"05 128656 35 Q? = A =third= = = = = = q = =", BaseLineResult::Row, "Q?", "A", 3, 5,
         kQaUnit, ""},
        {"05 128656 35 Q? = A =third= = = = = = qs = =", BaseLineResult::Row, "Q?", "A", 3, 5,
         kQaUnit, ""},
        {"05 128656 35 Q? = A =third= = = = = = Z = =", BaseLineResult::Row, "Q?", "A", 3, 5,
         kWordUnit, ""},
        // Numeric columns that are not numbers skip the line.
        {"x1 128656 21 dog = pies = = = = = = = n = =", BaseLineResult::Skipped, "", "", 0, 0, 0,
         ""},
        {"01 x28656 21 dog = pies = = = = = = = n = =", BaseLineResult::Skipped, "", "", 0, 0, 0,
         ""},
        {"01 1286a6 21 dog = pies = = = = = = = n = =", BaseLineResult::Skipped, "", "", 0, 0, 0,
         ""},
        {"01 128656 2x dog = pies = = = = = = = n = =", BaseLineResult::Skipped, "", "", 0, 0, 0,
         ""},
        {"01 128656 x1 dog = pies = = = = = = = n = =", BaseLineResult::Skipped, "", "", 0, 0, 0,
         ""},
        {"01 028656 21 dog = pies = = = = 12a = = = n = =", BaseLineResult::Skipped, "", "", 0, 0,
         0, ""},
        // Short line: the missing columns are blanks.
        {"01 12865", BaseLineResult::Row, "", "", 2, 4, kWordUnit, ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        Unit u;
        ASSERT_EQ(ParseBaseLine(c.line, BaseLineFormat::Current, u), c.result);
        if (c.result == BaseLineResult::Skipped) {
            continue;
        }
        EXPECT_EQ(u.foreignText, c.foreign);
        EXPECT_EQ(u.nativeText, c.native);
        EXPECT_EQ(u.level, c.level);
        EXPECT_EQ(u.partOfSpeech, c.part);
        EXPECT_EQ(u.unitKind, c.kind);
        EXPECT_EQ(u.recording, c.recording);
    }
}

TEST(BaseLine, SentenceAndQaCopyTheirFields) {
    Unit s;
    ASSERT_EQ(ParseBaseLine("05 128700 35 I <like> dogs. = lubię =Lubię psy.= syn= kom = 1 = a.wav "
                            "=love#hate= z = extra = ignored = more",
                            BaseLineFormat::Current, s),
              BaseLineResult::Row);
    EXPECT_EQ(s.sentenceTranslation, "Lubię psy.");
    EXPECT_EQ(s.plural, "Lubię psy.");
    EXPECT_EQ(s.distractors, "love#hate");
    EXPECT_EQ(s.hint, "love#hate");
    EXPECT_EQ(s.synonyms, "syn");
    EXPECT_EQ(s.comment, "kom");
    EXPECT_EQ(s.answerRecording, "a.wav");
    EXPECT_EQ(s.extraTranslation, "extra");

    Unit q;
    ASSERT_EQ(ParseBaseLine("03 128660 25 Name? = Anna =Jak masz na imię?= = = = = tip = q = My "
                            "name =",
                            BaseLineFormat::Current, q),
              BaseLineResult::Row);
    EXPECT_EQ(q.sentenceTranslation, "Jak masz na imię?");
    EXPECT_EQ(q.distractors, "");
    EXPECT_EQ(q.hint, "tip");
    EXPECT_EQ(q.extraTranslation, "My name");

    // The tenth field needs its closing "=".
    Unit w;
    ParseBaseLine("01 128656 21 dog = pies = = = = = = = n = no end", BaseLineFormat::Current, w);
    EXPECT_EQ(w.extraTranslation, "");
}

TEST(BaseLine, OlderLearnerFormat) {
    Unit u;
    ASSERT_EQ(ParseBaseLine("99 181250 00 Q? = A =third= = = = = hint= s = extra =",
                            BaseLineFormat::OlderLearner, u),
              BaseLineResult::Row);
    EXPECT_EQ(u.unitKind, kQaUnit);
    EXPECT_EQ(u.level, 0);  // taken as written
    EXPECT_EQ(u.partOfSpeech, 0);
    EXPECT_EQ(u.sentenceTranslation, "");
    EXPECT_EQ(u.extraTranslation, "");
    EXPECT_EQ(u.hint, "hint");

    ASSERT_EQ(
        ParseBaseLine("99 181250 21 dog = pies = = = = = = = n =", BaseLineFormat::OlderLearner, u),
        BaseLineResult::Row);
    EXPECT_EQ(u.unitKind, kWordUnit);
    // A blank level is a conversion error in the older format.
    EXPECT_EQ(
        ParseBaseLine("99 181250  1 dog = pies = = = = = = = n =", BaseLineFormat::OlderLearner, u),
        BaseLineResult::Skipped);
}

// ---- Scrambling --------------------------------------------------------------------------

TEST(Scramble, RoundTripsEveryByteAndStaysOneLine) {
    std::string allBytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\n' && b != '\r') {
            allBytes.push_back(static_cast<char>(b));
        }
    }
    const std::string lines[] = {
        "01 428661 16 quickly = szybko = = fast = = 28661 = = = n = =",
        "  blanks at both ends  ",
        "x",
        allBytes,
        std::string("\x03\x06\xF9\xFA", 4),  // shift onto LF, CR, 0 and 1
    };
    for (const std::string& plain : lines) {
        const std::string stored = ScrambleLine(plain);
        EXPECT_EQ(stored.size(), plain.size() * 2 + 14);
        EXPECT_EQ(stored.find('\n'), std::string::npos);
        EXPECT_EQ(stored.find('\r'), std::string::npos);
        EXPECT_EQ(TrimView(stored), stored);
        EXPECT_EQ(UnscrambleLine(stored), plain);
        EXPECT_EQ(ScrambleLine(plain), stored);  // deterministic
    }
    EXPECT_EQ(ScrambleLine(""), "");
    EXPECT_EQ(UnscrambleLine(""), "");
}

TEST(Scramble, UnscramblesByTheStoredRules) {
    // 10 filler characters, pairs, 4 filler characters; "0" keeps the next byte as it is.
    const std::string stored = std::string("ABCDEFGHIJ") + "0a" + "1" + char('b' + 7) + "0c" + "9" +
                               char('d' + 7) + "X" + "WXYZ";
    EXPECT_EQ(UnscrambleLine(stored), "abcd");
    // Shorter than 30 characters: fewer than 8 plain characters, so the loader skips it.
    EXPECT_LT(UnscrambleLine(std::string(29, 'A')).size(), 8u);
    EXPECT_EQ(UnscrambleLine("0123456789ABCD"), "");
}

// ---- Parameters ----------------------------------------------------------------------------

TEST(Parameters, ReadsEveryLineAndWritesTheSameBytes) {
    const std::string bytes = test::ReadBytes(test::Fixture("mini/db/angtest/dyda_s.txt"));
    LoadLog log;
    const DatabaseParameters p = ParseDatabaseParameters(bytes, &log);
    EXPECT_TRUE(log.problems.empty());
    EXPECT_EQ(ToUtf8(p.title, CodePage::Cp1250), "Angielski próbny");
    EXPECT_EQ(p.language, 1);
    EXPECT_EQ(ToUtf8(p.subtitle, CodePage::Cp1250), "Słówka i zdania");
    EXPECT_EQ(p.recordingsPath, "db\\angtest\\nagrania\\");
    EXPECT_EQ(ToUtf8(p.author, CodePage::Cp1250), "Zespół Dydaktora");
    EXPECT_EQ(p.nativeLanguage, 7);
    EXPECT_EQ(p.userIdLow, 90000);
    EXPECT_EQ(p.userIdHigh, 99000);
    EXPECT_EQ(p.charset(), 238);
    EXPECT_EQ(FormatDatabaseParameters(p, "angtest"), bytes);
}

TEST(Parameters, ShortFileRepeatsItsLastLineButLineTenIsEmpty) {
    // Nine lines: line 10 reads empty and lines 11-18 repeat it.
    DatabaseParameters p = ParseDatabaseParameters(
        CrLf({"Tytuł", "2", "1", " Pod ", "1", "0", "Słownik", "kod", " nagr\\ "}));
    EXPECT_EQ(p.language, 2);
    EXPECT_TRUE(p.pluralExercises);
    EXPECT_EQ(p.subtitle, "Pod");
    EXPECT_TRUE(p.caseSensitive);
    EXPECT_EQ(p.recordingsPath, "nagr\\");
    EXPECT_EQ(p.author, "");
    EXPECT_EQ(p.nativeLanguage, 6);
    EXPECT_FALSE(p.learningMode2);
    EXPECT_EQ(p.userIdLow, 0);
    EXPECT_EQ(p.userIdHigh, 0);
    EXPECT_FALSE(p.discRootPrefix);

    // Five lines: lines 6 to 9 repeat line 5.
    p = ParseDatabaseParameters(CrLf({"T", "0", "0", "", "1"}));
    EXPECT_EQ(p.language, 1);
    EXPECT_TRUE(p.learnerMade);
    EXPECT_EQ(p.recordingsPath, "1");

    // A title keeps its blanks; flags are true only for the number 1.
    p = ParseDatabaseParameters(CrLf({" Tytuł ", "1", "2", "", "01", "x"}));
    EXPECT_EQ(p.title, " Tytuł ");
    EXPECT_FALSE(p.pluralExercises);
    EXPECT_TRUE(p.caseSensitive);
    EXPECT_FALSE(p.learnerMade);
}

TEST(Parameters, CharsetIndexAndBadNumbers) {
    const std::pair<int, int> charsets[] = {{0, 238}, {1, 0}, {2, 204}, {3, 238}, {-1, 238}};
    for (const auto& [index, charset] : charsets) {
        EXPECT_EQ(CharsetOfIndex(index), charset);
    }
    LoadLog log;
    const DatabaseParameters p = ParseDatabaseParameters(
        CrLf({"T", "angielski", "0", "", "0", "0", "", "", "", "", "", "6", "0", "1", "zzz", "2"}),
        &log, "db/x/dyda_s.txt");
    EXPECT_EQ(p.language, 1);
    EXPECT_EQ(p.userIdHigh, 0);
    EXPECT_EQ(p.charset(), 204);
    ASSERT_EQ(log.problems.size(), 2u);
    EXPECT_EQ(log.problems[0].line, 2);
    EXPECT_EQ(log.problems[1].line, 15);
}

TEST(Parameters, RecordingsFolder) {
    struct Case {
        const char* disc;
        const char* path;
        bool prefix;
        const char* expected;
    };
    const Case cases[] = {
        {"D:\\", "db\\ang\\nagr", false, "/inst/db/ang/nagr/"},
        {"D:\\", "db\\ang\\nagr\\", true, "/inst/db/ang/nagr/"},
        {"E:", "nagr", true, "/inst/nagr/"},
        {"", "/media/cd/nagr", false, "/media/cd/nagr/"},
        {"", "", false, "/"},
    };
    for (const Case& c : cases) {
        AppPaths paths;
        paths.programDir = "/inst/";
        paths.discRoot = c.disc;
        DatabaseParameters p;
        p.recordingsPath = c.path;
        p.discRootPrefix = c.prefix;
        EXPECT_EQ(FormRecordingsDir(paths, p), c.expected) << c.disc << " " << c.path;
    }
}

// ---- Loading ---------------------------------------------------------------------------------

struct Opened {
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
};

Opened Open(const std::string& programDir, const std::string& code, const std::string& user = "") {
    Opened o;
    o.paths.programDir = programDir;
    o.paths.databaseCode = code;
    o.paths.databaseDir = programDir + "db/" + code + "/";
    if (!user.empty()) {
        o.paths.userDir = programDir + user + "/";
    }
    EXPECT_TRUE(LoadDatabaseParameters(o.paths, o.db, o.log));
    LoadDatabase(o.paths, o.db, o.log);
    BuildSearchTexts(o.db.units);
    return o;
}

TEST(LoadDatabase, FillsTablesInFileOrder) {
    const Opened o = Open(test::Fixture("mini/"), "angtest", "1");
    const UnitTable& units = o.db.units;
    EXPECT_TRUE(o.log.notices.empty());
    EXPECT_TRUE(o.log.problems.empty());
    ASSERT_EQ(units.unitCount(), 15);
    EXPECT_EQ(units.wordUnitCount, 11);
    // Word file, scrambled companion, plain companion, learner units, then the sentences.
    const std::int32_t order[] = {28656, 28657, 28658, 28659, 28660, 28661, 28662, 90001,
                                  90002, 90003, 90004, 28700, 28701, 28702, 28703};
    for (int n = 1; n <= units.unitCount(); ++n) {
        EXPECT_EQ(units.unit(n).unitId, order[n - 1]) << n;
        EXPECT_EQ(units.IndexOfUnitId(order[n - 1]), n);
    }
    EXPECT_EQ(units.unit(6).foreignText, "quickly");
    EXPECT_EQ(units.unit(14).foreignText, "We <run>   every   day.");
    EXPECT_EQ(units.unit(14).searchText, "we run every day.");
    EXPECT_EQ(units.unit(1).searchText, "");  // word rows have none
    ASSERT_EQ(o.db.relations.size(), 3u);
    EXPECT_EQ(o.db.relations[0].relatedId, 28700);
    EXPECT_EQ(o.db.relations[0].flag, 1);
    EXPECT_EQ(o.db.relations[2].unitId, 28662);
    ASSERT_EQ(o.db.substitutions.size(), 2u);
    EXPECT_EQ(o.db.substitutions[1].key, "grey");
    EXPECT_EQ(o.db.groups.size(), 7u);
    EXPECT_FALSE(o.db.correctionMode);
    EXPECT_EQ(o.paths.recordingsDir, test::Fixture("mini/db/angtest/nagrania/"));

    // The learner's comments and kind switches.
    // "#" in the comments file stands for the "=" the learner typed.
    EXPECT_EQ(ToUtf8(units.unit(1).userComment, CodePage::Cp1250), "Mój komentarz =1");
    EXPECT_EQ(units.unit(5).userKindOverride, 1);
    EXPECT_EQ(units.unit(5).unitKind, kWordUnit);
    EXPECT_EQ(units.unit(8).userKindOverride, 3);
    EXPECT_EQ(units.unit(8).unitKind, kQaUnit);
}

TEST(LoadDatabase, RussianForeignTextsAndPolishTranslations) {
    const Opened o = Open(test::Fixture("mini/"), "rostest");
    const UnitTable& units = o.db.units;
    ASSERT_EQ(units.unitCount(), 4);
    const CodePage foreign = o.db.params.foreignCodePage();
    EXPECT_EQ(foreign, CodePage::Cp1251);
    EXPECT_EQ(ToUtf8(units.unit(1).foreignText, foreign), "собака");
    EXPECT_EQ(ToUtf8(units.unit(1).synonyms, foreign), "пёс");
    EXPECT_EQ(ToUtf8(units.unit(3).nativeText, CodePage::Cp1250), "czytać");
    EXPECT_EQ(ToUtf8(units.unit(4).foreignText, foreign), "Я <читаю> книгу.");
    EXPECT_EQ(ToUtf8(units.unit(4).searchText, foreign), "Я читаю книгу.");
    // A learner-made database is not checked for its recordings folder.
    EXPECT_TRUE(o.log.notices.empty());
}

TEST(LoadDatabase, DamagedLinesAreSkippedAndTheLoadGoesOn) {
    TempDir dir;
    WriteBytes(dir.path() + "ds50.ini", "");
    const std::string db = dir.path() + "db/abcd/";
    WriteBytes(db + "DYDA_S.TXT",
               CrLf({"T", "1", "0", "", "0", "1", "", "", "", "", "", "", "0", "90000", "90005"}));
    WriteBytes(db + "b_sba_50.txt", CrLf({"01 110001 21 one = jeden = = = = = = = n = =",
                                          "01 1100x2 21 two = dwa = = = = = = = n = =", "short",
                                          "01 110003 21 three = trzy = = = = = = = n = =",
                                          "01 000004 21 four = cztery = = = = x = = = n = ="}));
    WriteBytes(db + "con_a.txt", CrLf({"10001=10003=1", "abc=10003=0", "10003=10001"}));
    Opened o = Open(dir.path(), "abcd");
    ASSERT_EQ(o.db.units.unitCount(), 2);
    EXPECT_EQ(o.db.units.unit(2).foreignText, "three");
    ASSERT_EQ(o.db.relations.size(), 2u);
    EXPECT_EQ(o.db.relations[1].unitId, 10003);
    EXPECT_EQ(o.db.relations[1].relatedId, 10001);
    EXPECT_EQ(o.db.relations[1].flag, 0);
    int errors = 0;
    for (const LoadProblem& p : o.log.problems) {
        errors += p.severity == Severity::Error ? 1 : 0;
    }
    EXPECT_EQ(errors, 3);
    EXPECT_EQ(o.log.problems.front().file, "db/abcd/b_sba_50.txt");
    EXPECT_EQ(o.log.problems.front().line, 2);
    // The range 90000..90005 is narrower than 11; no group file gives the default group.
    ASSERT_EQ(o.log.notices.size(), 1u);
    EXPECT_EQ(o.log.notices[0], LoadNotice::UserIdRangeNarrow);
    ASSERT_EQ(o.db.groups.size(), 1u);
    EXPECT_EQ(o.db.groups[0].groupId, 99);
    EXPECT_EQ(ToUtf8(o.db.groups[0].name, CodePage::Cp1250), "Własne...");
}

TEST(LoadDatabase, LanguagesWithoutBaseFilesReadOnlyTheCompanions) {
    for (const char* language : {"7", "8"}) {
        TempDir dir;
        const std::string db = dir.path() + "db/abcd/";
        WriteBytes(db + "dyda_s.txt", CrLf({"T", language, "0", "", "0", "1"}));
        for (const char* name :
             {"b_sba_50.txt", "b_zda_50.txt", "b_sb_50ss.txt", "b_sb_50zz.txt", "sbusr.txt"}) {
            WriteBytes(db + name, CrLf({"01 110001 21 x = y = = = = = = = n = ="}));
        }
        WriteBytes(db + "con_a.txt", CrLf({"10001=10001=1"}));
        WriteBytes(db + "con3.txt", CrLf({"10001=10001=0"}));
        const Opened o = Open(dir.path(), "abcd");
        EXPECT_EQ(o.db.units.unitCount(), 3);
        EXPECT_EQ(o.db.units.wordUnitCount, 2);
        EXPECT_EQ(o.db.relations.size(), 1u);
    }
}

TEST(LoadDatabase, StopsAtCapacityAndReportsIt) {
    TempDir dir;
    const std::string db = dir.path() + "db/full/";
    WriteBytes(db + "dyda_s.txt", CrLf({"T", "1", "0", "", "0", "1"}));
    std::string words;
    std::string relations;
    for (int i = 1; i <= kMaxUnits + 5; ++i) {
        words += "01 1" + ZeroPad(5, i) + " 21 w = s = = = = = = = n = =\r\n";
        relations += ZeroPad(5, i) + "=" + ZeroPad(5, i) + "=0\r\n";
    }
    WriteBytes(db + "b_sba_50.txt", words);
    WriteBytes(db + "b_zda_50.txt", CrLf({"05 199999 35 Not <loaded>. = nie = = = = = = = z = ="}));
    WriteBytes(db + "con_a.txt", relations);
    const Opened o = Open(dir.path(), "full");
    EXPECT_EQ(o.db.units.unitCount(), kMaxUnits);
    EXPECT_EQ(o.db.units.wordUnitCount, kMaxUnits);
    EXPECT_EQ(o.db.relations.size(), static_cast<std::size_t>(kMaxRelations));
    EXPECT_TRUE(o.log.unitCapacityReached);
    EXPECT_TRUE(o.log.relationCapacityReached);
    EXPECT_EQ(o.db.units.IndexOfUnitId(25000), 25000);
    EXPECT_EQ(o.db.units.IndexOfUnitId(25001), -1);
}

TEST(LoadDatabase, MissingParametersFileStopsTheLogin) {
    TempDir dir;
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseDir = dir.path() + "db/none/";
    CourseDatabase db;
    LoadLog log;
    EXPECT_FALSE(LoadDatabaseParameters(paths, db, log));
}

TEST(LoadDatabase, RecordingNoticesForAShippedDatabase) {
    TempDir dir;
    const std::string db = dir.path() + "db/abcd/";
    WriteBytes(db + "dyda_s.txt", CrLf({"T", "1", "0", "", "0", "0", "", "", "db\\abcd\\nagr", "",
                                        "", "", "0", "90000", "99000"}));
    WriteBytes(db + "b_sba_50.txt", CrLf({"01 410001 21 one = jeden = = = = 10001 = = = n = =",
                                          "01 410002 21 two = dwa = = = = 10002 = = = n = ="}));
    Opened o = Open(dir.path(), "abcd");
    ASSERT_EQ(o.log.notices.size(), 2u);
    EXPECT_EQ(o.log.notices[0], LoadNotice::RecordingsFolderMissing);
    EXPECT_EQ(o.log.notices[1], LoadNotice::RecordingsDiscMissing);
    EXPECT_EQ(NoticeText(o.log.notices[0], o.paths.recordingsDir),
              "Nie mogę znaleźć katalogu z nagraniami dźwiękowymi (" + db +
                  "nagr/). Program może działać niepoprawnie.");

    // With the folder (spelled in another letter case) and the first recording present: silence.
    WriteBytes(db + "NAGR/P.TXT", "");
    WriteBytes(db + "NAGR/d_10/DD_100/10001.ogg", "OggS");
    o = Open(dir.path(), "abcd");
    EXPECT_TRUE(o.log.notices.empty());
}

// ---- Unit table ----------------------------------------------------------------------------

TEST(UnitTable, IdLookupLabelsAndUserIds) {
    UnitTable units;
    for (const std::int32_t id : {5, 7, 5, 90010, 99000}) {
        Unit u;
        u.unitId = id;
        u.groupId = 1;
        u.partOfSpeech = kNoun;
        ASSERT_TRUE(units.Append(u));
    }
    EXPECT_EQ(units.IndexOfUnitId(5), 1);
    EXPECT_EQ(units.IndexOfUnitId(7), 2);
    EXPECT_EQ(units.IndexOfUnitId(6), -1);
    units.SetUnitId(1, 6);
    EXPECT_EQ(units.IndexOfUnitId(5), 3);
    EXPECT_EQ(units.IndexOfUnitId(6), 1);

    const std::vector<Group> groups = {{1, 1, "t", "Zwierz\xEAta", ""}};
    EXPECT_EQ(UnitLabel(units, groups, 1, 1), "Gr. tem.: Zwierz\xEAta (rzeczownik)");
    EXPECT_EQ(UnitLabel(units, groups, 1, 2), "Gr. tem.: (rzeczownik)");
    EXPECT_EQ(UnitLabel(units, groups, 1, 3), "Gr. tem.: Zwierz\xEAta");
    EXPECT_EQ(UnitLabel(units, groups, 1, 30), "Zwierz\xEAta");
    EXPECT_EQ(UnitLabel(units, groups, 1, 4), "");
    EXPECT_EQ(UnitLabel(units, groups, 6, 1), "");
    EXPECT_EQ(UnitLabel(units, {}, 1, 1), "Gr. tem.:  (rzeczownik)");
    units.unit(2).partOfSpeech = kAdverb;
    EXPECT_EQ(ToUtf8(UnitLabel(units, groups, 2, 2), CodePage::Cp1250), "Gr. tem.: (przysłówek)");

    // Ids equal to the bounds do not count.
    EXPECT_EQ(ComputeNextUserId(units, 90000, 99000), 90011);
    EXPECT_EQ(ComputeNextUserId(units, 90010, 99000), 90011);
    EXPECT_EQ(ComputeNextUserId(units, 91000, 99000), 91001);
}

TEST(UnitTable, AppendRefusesBeyondCapacity) {
    UnitTable units;
    units.Reserve(kMaxUnits);
    Unit u;
    for (int i = 1; i <= kMaxUnits; ++i) {
        u.unitId = i;
        ASSERT_TRUE(units.Append(u));
    }
    u.unitId = kMaxUnits + 1;
    EXPECT_FALSE(units.Append(u));
    EXPECT_EQ(units.unitCount(), kMaxUnits);
    EXPECT_EQ(units.IndexOfUnitId(kMaxUnits + 1), -1);
}

}  // namespace
}  // namespace dyd
