#include <gtest/gtest.h>

#include <random>

#include "core/codepage.h"
#include "core/database.h"
#include "core/learner_files.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct Opened {
    AppPaths paths;
    CourseDatabase db;
    LoadLog log;
};

// A copy of the small installation, opened with learner 1.
Opened OpenCopy(const TempDir& dir, bool copy = true, const std::string& code = "angtest") {
    if (copy) {
        test::CopyFixture("mini", dir.path());
    }
    Opened o;
    o.paths.programDir = dir.path();
    o.paths.databaseCode = code;
    o.paths.databaseDir = dir.path() + "db/" + code + "/";
    o.paths.userDir = dir.path() + "1/";
    EXPECT_TRUE(LoadDatabaseParameters(o.paths, o.db, o.log));
    LoadDatabase(o.paths, o.db, o.log);
    return o;
}

TEST(LearnerFiles, EveryFileIsWrittenBackByteForByte) {
    TempDir dir;
    WriteBytes(dir.path() + "korekta_panel.cfg", "");
    Opened o = OpenCopy(dir);
    ASSERT_TRUE(o.db.correctionMode);
    const std::string db = o.paths.databaseDir;
    const std::string original[] = {ReadBytes(db + "sbusr.txt"), ReadBytes(db + "gt_s.txt"),
                                    ReadBytes(dir.path() + "1/angtestkom.txt"),
                                    ReadBytes(db + "korekta_dane.txt")};
    for (const std::string& file : {db + "sbusr.txt", db + "gt_s.txt",
                                    dir.path() + "1/angtestkom.txt", db + "korekta_dane.txt"}) {
        std::filesystem::remove(file);
    }
    const SaveLearnerUnitsResult units = SaveLearnerUnits(o.paths, o.db.units);
    EXPECT_TRUE(units.written) << units.error;
    EXPECT_TRUE(units.refused.empty());
    EXPECT_TRUE(SaveGroups(o.paths, o.db.groups));
    o.db.commentsDirty = true;
    EXPECT_TRUE(SaveComments(o.paths, o.db));
    EXPECT_FALSE(o.db.commentsDirty);
    EXPECT_TRUE(SaveCorrections(o.paths, o.db.units));
    EXPECT_EQ(ReadBytes(db + "sbusr.txt"), original[0]);
    EXPECT_EQ(ReadBytes(db + "gt_s.txt"), original[1]);
    // The comment line of unit 90001 comes after the units of the word file: unit-number order.
    EXPECT_EQ(ReadBytes(dir.path() + "1/angtestkom.txt"), original[2]);
    EXPECT_EQ(ReadBytes(db + "korekta_dane.txt"), original[3]);

    const Unit& cat = o.db.units.unit(2);
    EXPECT_EQ(ToUtf8(cat.correctionNote, CodePage::Cp1250), "zła wymowa");
    EXPECT_EQ(ToUtf8(cat.correctionHint, CodePage::Cp1250), "miauczy głośno");
    EXPECT_EQ(cat.correctionFlags, (std::array<std::uint8_t, 4>{1, 0, 1, 0}));
}

TEST(LearnerFiles, LearnerWordLineHasTheExactColumns) {
    Unit u;
    u.unitId = 81250;
    u.groupId = 99;
    u.level = 2;
    u.partOfSpeech = 1;
    u.recordingSource = 1;
    u.foreignText = "dog";
    u.nativeText = "pies";
    LearnerLineProblem problem = LearnerLineProblem::IdTooLarge;
    const std::optional<std::string> line = FormatLearnerUnitLine(u, &problem);
    ASSERT_TRUE(line);
    EXPECT_EQ(problem, LearnerLineProblem::None);
    EXPECT_EQ(*line, "99 181250 21 dog = pies == =  = = == n = =");
    Unit back;
    ASSERT_EQ(ParseBaseLine(*line, BaseLineFormat::Current, back), BaseLineResult::Row);
    EXPECT_EQ(back.unitId, 81250);
    EXPECT_EQ(back.groupId, 99);
    EXPECT_EQ(back.recordingSource, 1);
    EXPECT_EQ(back.foreignText, "dog");
    EXPECT_EQ(back.nativeText, "pies");
    EXPECT_EQ(back.unitKind, kWordUnit);
}

TEST(LearnerFiles, SentenceKeepsTranslationAndWrongAnswers) {
    Unit u;
    u.unitId = 90100;
    u.groupId = 5;
    u.level = 3;
    u.partOfSpeech = 5;
    u.recordingSource = 1;
    u.unitKind = kSentenceUnit;
    u.foreignText = "I <see> it.";
    u.nativeText = "widzę";
    u.sentenceTranslation = "Widzę to.";
    u.distractors = "hear#feel";
    u.extraTranslation = "dostrzegam";
    const std::optional<std::string> line = FormatLearnerUnitLine(u, nullptr);
    ASSERT_TRUE(line);
    Unit back;
    ASSERT_EQ(ParseBaseLine(*line, BaseLineFormat::Current, back), BaseLineResult::Row);
    EXPECT_EQ(back.unitKind, kSentenceUnit);
    EXPECT_EQ(back.sentenceTranslation, "Widzę to.");
    EXPECT_EQ(back.plural, "Widzę to.");
    EXPECT_EQ(back.distractors, "hear#feel");
    EXPECT_EQ(back.hint, "hear#feel");
    EXPECT_EQ(back.extraTranslation, "dostrzegam");
}

TEST(LearnerFiles, UnitsThatWouldReadBackDifferentlyAreRefusedAndReported) {
    TempDir dir;
    Opened o = OpenCopy(dir);
    Unit good = o.db.units.unit(o.db.units.IndexOfUnitId(90001));
    struct Case {
        void (*change)(Unit&);
        LearnerLineProblem problem;
    };
    const Case cases[] = {
        {[](Unit& u) { u.unitId = 100000; }, LearnerLineProblem::IdTooLarge},
        {[](Unit& u) { u.groupId = 100; }, LearnerLineProblem::GroupOutOfRange},
        {[](Unit& u) { u.groupId = -1; }, LearnerLineProblem::GroupOutOfRange},
        {[](Unit& u) { u.level = 0; }, LearnerLineProblem::LevelOutOfRange},
        {[](Unit& u) { u.level = 10; }, LearnerLineProblem::LevelOutOfRange},
        {[](Unit& u) { u.partOfSpeech = 0; }, LearnerLineProblem::PartOutOfRange},
        {[](Unit& u) { u.nativeText = "a=b"; }, LearnerLineProblem::TextBreaksLine},
        {[](Unit& u) { u.foreignText = "two\r\nlines"; }, LearnerLineProblem::TextBreaksLine},
        {[](Unit& u) { u.comment = " padded "; }, LearnerLineProblem::TextBreaksLine},
        {[](Unit& u) { u.hint = "x= n"; }, LearnerLineProblem::TextBreaksLine},
    };
    const int firstNew = o.db.units.unitCount() + 1;
    for (const Case& c : cases) {
        Unit bad = good;
        bad.unitId = 91000 + o.db.units.unitCount();
        c.change(bad);
        LearnerLineProblem problem = LearnerLineProblem::None;
        EXPECT_FALSE(FormatLearnerUnitLine(bad, &problem));
        EXPECT_EQ(problem, c.problem) << LearnerLineProblemText(c.problem);
        ASSERT_TRUE(o.db.units.Append(bad));
    }
    const std::string before = ReadBytes(o.paths.databaseDir + "sbusr.txt");
    const SaveLearnerUnitsResult result = SaveLearnerUnits(o.paths, o.db.units);
    EXPECT_TRUE(result.written);
    ASSERT_EQ(result.refused.size(), std::size(cases));
    EXPECT_EQ(result.refused[0].unitNumber, firstNew);
    EXPECT_EQ(result.refused[0].problem, LearnerLineProblem::IdTooLarge);
    // The units that fit are written as before.
    EXPECT_EQ(ReadBytes(o.paths.databaseDir + "sbusr.txt"), before);
}

TEST(LearnerFiles, AnyWrittenLineReadsBackAsTheSameUnit) {
    // Random units built from awkward pieces: whatever is written must read back the same.
    const std::string pieces[] = {"",  "a", " ", "x y",    "=",       "#", "<b>", "\xB9\xEA",
                                  "q", "z", "n", "  lead", "trail  ", "1", "0"};
    std::mt19937 random(12345);
    const auto pick = [&]() { return pieces[random() % std::size(pieces)]; };
    int written = 0;
    for (int i = 0; i < 5000; ++i) {
        Unit u;
        u.unitId = static_cast<std::int32_t>(random() % 120000);
        u.groupId = static_cast<std::int32_t>(random() % 110) - 5;
        u.level = static_cast<std::int32_t>(random() % 11);
        u.partOfSpeech = static_cast<std::int32_t>(random() % 11);
        u.unitKind = static_cast<std::int32_t>(random() % 4);
        u.recordingSource = 1;
        u.foreignText = pick() + pick();
        u.nativeText = pick();
        u.plural = pick();
        u.synonyms = pick();
        u.comment = pick();
        u.recording = pick();
        u.answerRecording = pick();
        u.hint = pick();
        u.sentenceTranslation = pick();
        u.distractors = pick();
        u.extraTranslation = pick();
        const std::optional<std::string> line = FormatLearnerUnitLine(u, nullptr);
        if (!line) {
            continue;
        }
        ++written;
        Unit back;
        ASSERT_EQ(ParseBaseLine(TrimView(*line), BaseLineFormat::Current, back),
                  BaseLineResult::Row)
            << *line;
        EXPECT_EQ(FormatLearnerUnitLine(back, nullptr).value_or("?"), *line);
        EXPECT_EQ(back.unitId, u.unitId);
        EXPECT_EQ(back.foreignText, u.foreignText);
        EXPECT_EQ(back.nativeText, u.nativeText);
        EXPECT_EQ(back.comment, u.comment);
    }
    EXPECT_GT(written, 100);
}

TEST(LearnerFiles, CommentsEscapeEqualsAndIgnoreOtherSwitches) {
    TempDir dir;
    Opened o = OpenCopy(dir);
    const int dog = o.db.units.IndexOfUnitId(28656);
    o.db.units.unit(dog).userComment = "2 + 2 = 4";
    ASSERT_TRUE(SaveComments(o.paths, o.db));
    const std::string bytes = ReadBytes(dir.path() + "1/angtestkom.txt");
    EXPECT_EQ(bytes.substr(0, bytes.find('\r')), "28656=2 + 2 # 4=0=");

    WriteBytes(dir.path() + "1/angtestkom.txt",
               CrLf({"28656=2 + 2 # 4=2=", "x=", "zzz=skipped=1=", "28657=only a comment",
                     "55555=unknown unit=1=", "28660==3="}));
    o = OpenCopy(dir, false);
    const UnitTable& units = o.db.units;
    EXPECT_EQ(units.unit(dog).userComment, "2 + 2 = 4");  // "#" is the file's, not the text's
    EXPECT_EQ(units.unit(dog).userKindOverride, 0);       // a switch of 2 is no switch
    EXPECT_EQ(units.unit(2).userComment, "only a comment");
    EXPECT_EQ(units.unit(5).userKindOverride, 3);
    EXPECT_EQ(units.unit(5).userComment, "");
    ASSERT_EQ(o.log.problems.size(), 1u);  // the line whose id is not a number
    EXPECT_EQ(o.log.problems[0].line, 3);
}

// A unit whose base line could not be read keeps its comment: the line is written back when
// another unit's comment is saved, and the comment is there again once the unit loads.
TEST(LearnerFiles, CommentsOfUnitsThatDidNotLoadAreKept) {
    TempDir dir;
    Opened o = OpenCopy(dir);
    const int dog = o.db.units.IndexOfUnitId(28656);
    WriteBytes(dir.path() + "1/angtestkom.txt",
               CrLf({"55555=ma s\xB3owo # sens=1=", "28657=only a comment=0="}));
    o = OpenCopy(dir, false);
    EXPECT_EQ(o.db.keptCommentLines, (std::vector<std::string>{"55555=ma s\xB3owo # sens=1="}));
    o.db.units.unit(dog).userComment = "new";
    ASSERT_TRUE(SaveComments(o.paths, o.db));
    EXPECT_EQ(ReadBytes(dir.path() + "1/angtestkom.txt"),
              CrLf({"28656=new=0=", "28657=only a comment=0=", "55555=ma s\xB3owo # sens=1="}));
    o = OpenCopy(dir, false);
    ASSERT_TRUE(SaveComments(o.paths, o.db));
    EXPECT_EQ(ReadBytes(dir.path() + "1/angtestkom.txt"),
              CrLf({"28656=new=0=", "28657=only a comment=0=", "55555=ma s\xB3owo # sens=1="}));
}

TEST(LearnerFiles, CommentsReadAtMostOneLineMoreThanUnits) {
    TempDir dir;
    const std::string db = dir.path() + "db/abcd/";
    WriteBytes(db + "dyda_s.txt", CrLf({"T", "1", "0", "", "0", "1"}));
    WriteBytes(db + "b_sba_50.txt", CrLf({"01 110001 21 one = jeden = = = = = = = n = =",
                                          "01 110002 21 two = dwa = = = = = = = n = ="}));
    WriteBytes(dir.path() + "7/abcdkom.txt",
               CrLf({"10001=a=0=", "10001=b=0=", "10001=c=0=", "10002=d=0="}));
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseCode = "abcd";
    paths.databaseDir = db;
    paths.userDir = dir.path() + "7/";
    CourseDatabase course;
    LoadLog log;
    ASSERT_TRUE(LoadDatabaseParameters(paths, course, log));
    LoadDatabase(paths, course, log);
    EXPECT_EQ(course.units.unit(1).userComment, "c");
    EXPECT_EQ(course.units.unit(2).userComment, "");
}

TEST(LearnerFiles, GroupsAreWrittenListedWithoutTheExtraText) {
    LoadLog log;
    std::vector<Group> groups = ParseGroups(
        CrLf({"12= 0 =Tag=Nazwa=Extra=", "13=1=T=N", "short", "x= 1 =a=b=", "14= y =a=b="}), &log,
        "gt_s.txt");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].groupId, 12);
    EXPECT_EQ(groups[0].listed, 0);
    EXPECT_EQ(groups[0].extra, "Extra");
    EXPECT_EQ(groups[1].name, "N");
    EXPECT_EQ(log.problems.size(), 3u);
    EXPECT_EQ(FormatGroups(groups), CrLf({"12= 1 =Tag=Nazwa=", "13= 1 =T=N="}));

    std::string many;
    for (int i = 1; i <= 105; ++i) {
        many += std::to_string(i) + "= 1 =t=Grupa=\r\n";
    }
    EXPECT_EQ(ParseGroups(many, nullptr, "gt_s.txt").size(), static_cast<std::size_t>(kMaxGroups));
}

}  // namespace
}  // namespace dyd
