#include <gtest/gtest.h>

#include <vector>

#include "core/datetime.h"
#include "core/history.h"
#include "core/login.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "core/single_instance.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::Fixture;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using ToolRun = test::ProgramRun;

// Runs the database tool with args.
ToolRun Tool(const std::vector<std::string>& args) {
    std::vector<std::string> command = {DYD_DBTOOL};
    command.insert(command.end(), args.begin(), args.end());
    return test::RunProgram(command);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST(DatabaseTool, DumpsUnitsInUnitNumberOrderAsUtf8) {
    const ToolRun run = Tool({"dump", Fixture("mini"), "angtest"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0],
              R"({"number":1,"unitId":28656,"unitKind":1,"partOfSpeech":1,"level":2,"groupId":1,)"
              R"("recordingSource":4,"recording":"28656","answerRecording":"","foreignText":"dog",)"
              R"("nativeText":"pies","plural":"dogs","synonyms":"hound","comment":"","hint":"",)"
              R"("extraTranslation":"","sentenceTranslation":"","distractors":"","searchText":"",)"
              R"("userKindOverride":0})");
    // The QA item of the word file, the scrambled word, a learner sentence and a sentence.
    EXPECT_NE(lines[4].find(R"("unitKind":3,)"), std::string::npos);
    EXPECT_NE(lines[4].find(R"("sentenceTranslation":"Jak masz na imię?")"), std::string::npos);
    EXPECT_NE(lines[5].find(R"("foreignText":"quickly","nativeText":"szybko")"), std::string::npos);
    EXPECT_NE(lines[8].find(R"("comment":"mój przykład","hint":"bush#flower")"), std::string::npos);
    EXPECT_NE(lines[13].find(R"("foreignText":"We <run>   every   day.")"), std::string::npos);
    EXPECT_NE(lines[13].find(R"("searchText":"we run every day.")"), std::string::npos);
    // Without a learner no kind switch applies.
    EXPECT_NE(lines[4].find(R"("userKindOverride":0})"), std::string::npos);
}

TEST(DatabaseTool, DumpsCyrillicForeignTextsAndPolishTranslations) {
    const ToolRun run = Tool({"dump", Fixture("mini"), "ROSTEST"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find(R"("foreignText":"собака","nativeText":"pies","plural":"",)"
                            R"("synonyms":"пёс")"),
              std::string::npos);
    EXPECT_NE(lines[2].find(R"("nativeText":"czytać")"), std::string::npos);
    EXPECT_NE(lines[3].find(R"("searchText":"Я читаю книгу.")"), std::string::npos);
}

TEST(DatabaseTool, TablesFollowTheUnits) {
    const ToolRun run = Tool({"dump", "--tables", Fixture("mini"), "angtest"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 15u + 7u + 3u + 2u + 1u);
    EXPECT_EQ(lines[15], R"({"table":"groups","groupId":1,"listed":1,"tag":"Zwierzęta",)"
                         R"("name":"Zwierzęta","extra":""})");
    EXPECT_EQ(lines[22], R"({"table":"relations","unitId":28656,"relatedId":28700,"flag":1})");
    EXPECT_EQ(lines[25], R"({"table":"substitutions","key":"colour","value":"color"})");
    EXPECT_EQ(
        lines[27].rfind(R"({"table":"parameters","title":"Angielski próbny","language":1,)", 0),
        0u);
    EXPECT_NE(lines[27].find(R"("userIdLow":90000,"userIdHigh":99000,"charsetIndex":0,)"
                             R"("charset":238)"),
              std::string::npos);
}

TEST(DatabaseTool, JsonEscapesQuotesBackslashesAndControlBytes) {
    TempDir dir;
    WriteBytes(dir.path() + "ds50.ini", "");
    WriteBytes(dir.path() + "db/abcd/dyda_s.txt", CrLf({"T", "1", "0", "", "0", "1"}));
    WriteBytes(dir.path() + "db/abcd/b_sba_50.txt", CrLf({"01 110001 21 say \"hi\" = a\x01"
                                                          "b\\c = = = = = = = n = ="}));
    const ToolRun run = Tool({"dump", dir.path(), "abcd"});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(R"("foreignText":"say \"hi\"","nativeText":"a\u0001b\\c")"),
              std::string::npos)
        << run.out;
}

TEST(DatabaseTool, CheckReportsEveryProblemWithItsLine) {
    const ToolRun run = Tool({"check", Fixture("damaged"), "zepsuta"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, ReadBytes(Fixture("damaged.check.txt")));
    EXPECT_EQ(run.err, "");

    const ToolRun clean = Tool({"check", Fixture("mini"), "angtest"});
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_EQ(clean.out, "Błędów: 0, ostrzeżeń: 0 (jednostek: 15, relacji: 3)\n");
}

TEST(DatabaseTool, WarningsAloneDoNotFailTheCheck) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    std::filesystem::remove(dir.path() + "db/angtest/nagrania/D_28/dd_287/28703.ogg");
    const ToolRun run = Tool({"check", dir.path(), "angtest"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "db/angtest/b_sb_50zz.txt:1: ostrzeżenie: jednostka 28703: brak nagrania "
              "db/angtest/nagrania/D_28/dd_287/28703.ogg\n"
              "Błędów: 0, ostrzeżeń: 1 (jednostek: 15, relacji: 3)\n");
}

TEST(DatabaseTool, ScrambleAndUnscrambleAreInverse) {
    TempDir dir;
    const std::string plain =
        CrLf({"04 428661 16 quickly = szybko = = fast = = 28661 = = = n = =",
              "05 428702 35 Zdanie \xB9\xEA <w> luce. = s = = = = = = = z = =", ""});
    WriteBytes(dir.path() + "plain.txt", plain);
    const ToolRun scrambled = Tool({"scramble", dir.path() + "plain.txt"});
    ASSERT_EQ(scrambled.status, 0);
    EXPECT_NE(scrambled.out, plain);
    EXPECT_EQ(scrambled.out.find("quickly"), std::string::npos);
    WriteBytes(dir.path() + "b_sb_50s.txt", scrambled.out);
    const ToolRun back = Tool({"unscramble", dir.path() + "b_sb_50s.txt"});
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(back.out, plain);

    // The fixture's scrambled file unscrambles to base lines.
    const ToolRun stored = Tool({"unscramble", Fixture("mini/db/angtest/b_sb_50s.txt")});
    EXPECT_EQ(stored.out, CrLf({"04 428661 16 quickly = szybko = = fast = = 28661 = = = n = ="}));
}

TEST(DatabaseTool, UnusableInputsGiveOneLineAndStatusTwo) {
    TempDir dir;
    WriteBytes(dir.path() + "ds50.ini", "");
    WriteBytes(dir.path() + "db/bez/b_sba_50.txt", "");
    const std::vector<std::vector<std::string>> cases = {
        {"dump", dir.path() + "nowhere", "angtest"},  // no installation
        {"check", Fixture("mini/db"), "angtest"},     // a folder without ds50.ini
        {"dump", Fixture("mini"), "brak"},            // no such database
        {"check", dir.path(), "bez"},                 // database without dyda_s.txt
        {"scramble", dir.path() + "missing.txt"},     // no such file
        {"unscramble"},                               // wrong use
        {"frobnicate", Fixture("mini"), "angtest"},
    };
    for (const std::vector<std::string>& args : cases) {
        const ToolRun run = Tool(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_TRUE(run.out.empty()) << args[0];
        EXPECT_FALSE(run.err.empty()) << args[0];
        if (args.size() > 1 && args[0] != "frobnicate") {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
    }
}

// A learner who has learnt two units and practised one set, made through the program's own
// functions; the tool must show what they wrote.
TEST(DatabaseTool, LearnerAndDueShowWhatTheLearnerHas) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    WriteBytes(dir.path() + "usr.t", CrLf({"1=Anna", "7=\xA3ukasz"}));
    const FixedClock clock(DayNumber(2026, 12, 1) + 0.25);
    {
        AppPaths programPaths;
        programPaths.programDir = dir.path();
        LearnerSession s;
        ASSERT_EQ(Login(programPaths, "angtest", 7, "\xA3ukasz", clock, s).status,
                  LoginStatus::Opened);
        RepetitionRecord& cat = s.repetitions.record(2);
        cat.unitId = 28657;
        cat.firstDate = DayNumber(2026, 11, 20);
        cat.lastDate = DayNumber(2026, 11, 30);
        cat.repetitionNo = 3;
        cat.interval = 4;
        cat.previousInterval = 2;
        cat.factor = 2.25;
        cat.kindMarks[5] = 2;
        s.repetitions.chosenKinds[2][6] = true;
        RepetitionRecord& sentence = s.repetitions.record(13);
        sentence.unitId = 28701;
        sentence.lastDate = DayNumber(2026, 11, 28);
        sentence.interval = 1;
        sentence.inTrash = 0;
        s.settings.intensity = 2;
        s.settings.frequencyFactor = 1.5;
        ASSERT_TRUE(
            SaveLiveRepetitions(s.paths, s.db.units, s.repetitions, s.settings, clock).written);
        ASSERT_TRUE(SaveSettings(s.paths, s.settings, s.db).ok());
        ASSERT_EQ(StoreSetResult(s.history, clock.Now(), 80, "101-1", 6, 0, true),
                  StoreResultStatus::Added);
        ASSERT_TRUE(SaveHistory(HistoryFilePath(s.paths), s.history));
    }
    const std::string before = ReadBytes(dir.path() + "7/angtest.ustaw");

    const ToolRun run = Tool({"learner", dir.path(), "angtest", "ŁUKASZ"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u + 2u + 2u);
    EXPECT_EQ(lines[0].rfind(R"({"table":"settings","determiningKindWords":6,)", 0), 0u);
    EXPECT_NE(lines[0].find(R"("intensity":2,)"), std::string::npos);
    EXPECT_NE(lines[0].find(R"("frequencyFactor":1.5,)"), std::string::npos);
    // The first login started from the defaults; 2 records were saved.
    EXPECT_NE(lines[0].find(R"("startCounter":1,"savedRecordCount":2,)"), std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[1], R"({"number":2,"unitId":28657,"firstDate":46346,"lastDate":46356,)"
                        R"("repetitionNo":3,"interval":4,"previousInterval":2,"factor":2.25,)"
                        R"("kindMarks":[0,0,0,0,0,2,0,0,0,0,0,0,0,0,0,0,0,0],)"
                        R"("chosenKinds":[false,false,false,false,false,true,false,false,false,)"
                        R"(false,false,false,false,false,false,false,false,false],)"
                        R"("knownFlag":0,"inTrash":0})");
    EXPECT_EQ(lines[2].rfind(R"({"number":13,"unitId":28701,)", 0), 0u);
    // The practised set's catalogue entry became its result entry, at the end of the store.
    EXPECT_EQ(lines[3].rfind(R"({"table":"history","number":1,"id":"505-3","name":"Zdania 3",)"
                             R"("kind":81,)",
                             0),
              0u)
        << lines[3];
    EXPECT_EQ(lines[4], R"({"table":"history","number":2,"id":"101-1","name":"Zwierzęta 1",)"
                        R"("kind":6,"key":0,"level":1,"when":46357.25,"percent":80,"count":1,)"
                        R"("complete":1,"group":"01"})");
    // The tool reads; it writes nothing.
    EXPECT_EQ(ReadBytes(dir.path() + "7/angtest.ustaw"), before);

    // On 2026-12-01 the sentence (due 11-29) is due; the cat comes on 12-04, three days later.
    const ToolRun due = Tool({"due", dir.path(), "angtest", "7", "--today", "2026-12-01"});
    ASSERT_EQ(due.status, 0) << due.err;
    EXPECT_EQ(due.out, R"({"today":"2026-12-01","due":[13],"total":1,"histogram":{"0":1,"3":1}})"
                       "\n");
    const ToolRun later = Tool({"due", dir.path(), "angtest", "7", "--today=2026-12-04"});
    EXPECT_EQ(later.out, R"({"today":"2026-12-04","due":[2,13],"total":2,"histogram":{"0":2}})"
                         "\n");
    EXPECT_EQ(Tool({"due", dir.path(), "angtest", "7", "--today", "12/04/2026"}).status, 2);
    EXPECT_EQ(Tool({"learner", dir.path(), "angtest", "Zenon"}).status, 2);
}

TEST(DatabaseTool, ListShowsTheDatabases) {
    const ToolRun run = Tool({"list", Fixture("mini")});
    ASSERT_EQ(run.status, 0);
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("angtest\tAngielski próbny\tjęzyk 1, jednostek 15", 0), 0u);
    EXPECT_EQ(lines[1].rfind("rostest\tRosyjski próbny\tjęzyk 6, jednostek 4", 0), 0u);
}

TEST(DatabaseTool, ExportsCoursesAndSetsAndImportsWholeFilesOrNothing) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    const std::string kvtml = dir.path() + "zwierzeta.kvtml";
    ToolRun run = Tool({"export", dir.path(), "angtest", kvtml, "--set", "101-1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Zapisano jednostek: 3 do " + kvtml + "\n");
    const std::string exported = ReadBytes(kvtml);
    EXPECT_NE(exported.find("<kvtml version=\"2.0\">"), std::string::npos);
    EXPECT_NE(exported.find("<title>Zwierzęta 1</title>"), std::string::npos);
    EXPECT_NE(exported.find("<text>dogs</text>"), std::string::npos);

    // The whole course to the standard output, one line per unit after the header.
    run = Tool({"export", dir.path(), "angtest", "-", "--format", "csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).size(), 16u);
    EXPECT_EQ(Lines(run.out)[1], "dog,pies,dogs,hound,,,,28656,,słówko,rzeczownik,2,Zwierzęta\r");

    // The set comes back as three units of the learner's own, after the highest own id.
    const std::string sbusr = dir.path() + "db/angtest/sbusr.txt";
    const std::string before = ReadBytes(sbusr);
    run = Tool({"import", dir.path(), "angtest", kvtml});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Zaimportowano: 3 jednostek! (kody 90005-90007, plik " + dir.path() +
                           "db/angtest/sbusr.txt)\n");
    const std::string after = ReadBytes(sbusr);
    ASSERT_EQ(after.rfind(before, 0), 0u);
    EXPECT_EQ(after.substr(before.size(), 41), "01 190005 21 dog = pies =dogs= hound=  =2");
    const std::string dump = Tool({"dump", dir.path(), "angtest"}).out;
    EXPECT_EQ(Lines(dump).size(), 18u);
    EXPECT_NE(dump.find(R"("unitId":90005,"unitKind":1,"partOfSpeech":1,"level":2,)"
                        R"("groupId":1,"recordingSource":1,"recording":"28656")"),
              std::string::npos);

    // A file with one bad entry adds nothing and says where it is.
    const std::string bad = dir.path() + "zle.tsv";
    WriteBytes(bad, "obcy\tpolski\ncat\tkot\nfish\tryba = ryby\n");
    run = Tool({"import", dir.path(), "angtest", bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, bad +
                           ":3: Niedozwolony znak \"=\" !\n"
                           "dydaktor-db: nic nie zaimportowano (błędów: 1)\n");
    EXPECT_EQ(ReadBytes(sbusr), after);

    // Not while the program runs on the installation.
    {
        bool alone = false;
        const std::unique_ptr<InstallationLock> running =
            InstallationLock::Take(dir.path(), &alone);
        ASSERT_TRUE(running && alone);
        run = Tool({"import", dir.path(), "angtest", kvtml});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("program działa na tej instalacji"), std::string::npos);
        EXPECT_EQ(ReadBytes(sbusr), after);
    }

    EXPECT_EQ(Tool({"import", dir.path(), "angtest", dir.path() + "a.doc"}).status, 2);
    EXPECT_EQ(Tool({"export", dir.path(), "angtest", "-", "--set", "nic"}).status, 2);
    EXPECT_EQ(Tool({"dump", dir.path(), "angtest", "--format", "csv"}).status, 2);
}

}  // namespace
}  // namespace dyd
