#include "core/exercise_sets.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>

#include "core/files.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr int kGerman = 2;  // cwn_s.txt, cwn_su.txt

AppPaths PathsIn(const TempDir& dir) {
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseCode = "niem";
    paths.databaseDir = dir.path() + "db/niem/";
    std::filesystem::create_directories(paths.databaseDir);
    return paths;
}

CurrentSet SetOf(const std::vector<std::int32_t>& codes) {
    CurrentSet set;
    for (const std::int32_t code : codes) {
        set.codes[static_cast<std::size_t>(set.count++)] = code;
    }
    return set;
}

std::vector<std::int32_t> Codes(const CurrentSet& set) {
    return {set.codes.begin(), set.codes.begin() + set.count};
}

std::vector<std::int32_t> UnitNumbers(const CurrentSet& set) {
    return {set.unitNumbers.begin(), set.unitNumbers.begin() + set.count};
}

class UserSets : public ::testing::Test {
  protected:
    std::string File() const { return paths.databaseDir + "cwn_su.txt"; }
    SaveSetResult Save(const CurrentSet& set, std::string_view name, std::string_view key,
                       SaveSetMode mode) {
        return SaveSet(paths, kGerman, set, name, key, mode);
    }

    TempDir dir;
    AppPaths paths = PathsIn(dir);
};

TEST_F(UserSets, FirstSaveCreatesTheFileAndTheNextSerialFollowsTheHighest) {
    EXPECT_EQ(Save(SetOf({5, 12345}), "Zwierzeta", "207-2", SaveSetMode::Save).status,
              SaveSetStatus::Written);
    EXPECT_EQ(ReadBytes(File()), CrLf({"9=207-2-0001=Zwierzeta=00005=12345"}));

    WriteBytes(File(),
               CrLf({"9=201-1-0001=A=00001", "9=203-1-0007=B=00002", "9=202-4-0003=C=00003"}));
    Save(SetOf({9}), "Nowy", "211-3", SaveSetMode::Save);
    EXPECT_EQ(ReadBytes(File()), CrLf({"9=201-1-0001=A=00001", "9=203-1-0007=B=00002",
                                       "9=202-4-0003=C=00003", "9=211-3-0008=Nowy=00009"}));
}

TEST_F(UserSets, SerialsPastFourDigitsStayUnique) {
    WriteBytes(File(), CrLf({"9=201-1-9999=A=00001", "9=201-1-10000=B=00002"}));
    Save(SetOf({3}), "C", "201-1", SaveSetMode::Save);
    EXPECT_EQ(ReadBytes(File()),
              CrLf({"9=201-1-9999=A=00001", "9=201-1-10000=B=00002", "9=201-1-10001=C=00003"}));
}

TEST_F(UserSets, OverwriteByNameKeepsThePlaceWithANewIdentifier) {
    WriteBytes(File(), CrLf({"9=201-1-0001=Dom=00001", "9=203-2-0002=Praca=00002",
                             "9=201-1-0003=Dom=00004"}));
    EXPECT_EQ(Save(SetOf({7, 8}), "Dom", "205-3", SaveSetMode::Overwrite).status,
              SaveSetStatus::Written);
    EXPECT_EQ(ReadBytes(File()), CrLf({"9=205-3-0004=Dom=00007=00008", "9=203-2-0002=Praca=00002",
                                       "9=205-3-0005=Dom=00007=00008"}));
}

TEST_F(UserSets, DeleteDropsExactlyTheLinesOfTheIdentifier) {
    const std::string kept = "# notatka bez pol";
    WriteBytes(File(), CrLf({"9=201-1-0001=A=00001", kept, "9= 201-1-0002 =B=00002", "",
                             "9=201-1-00010=C=00003", "9=201-1-0002=B2=00004"}));
    EXPECT_EQ(Save(CurrentSet{}, "", "201-1-0002", SaveSetMode::Delete).status,
              SaveSetStatus::Written);
    EXPECT_EQ(ReadBytes(File()), CrLf({"9=201-1-0001=A=00001", kept, "", "9=201-1-00010=C=00003"}));
}

TEST_F(UserSets, SavingAgainUnderItsOwnIdentifierRewritesTheLineInPlace) {
    WriteBytes(File(), CrLf({"9=201-1-0001=A=00001", "9=202-1-0002=B=00002"}));
    Save(SetOf({3, 4}), "A", "201-1-0001", SaveSetMode::Save);
    const std::string wrapped = "9=201-1-0001= \xC6wiczenie usera [A]=00003=00004";
    EXPECT_EQ(ReadBytes(File()), CrLf({wrapped, "9=202-1-0002=B=00002"}));

    // The name read back already carries the wrapping: it is not wrapped again.
    CurrentSet loaded;
    SessionPlan plan;
    LoadSet(paths, kGerman, "201-1-0001", loaded, plan);
    std::string name;
    const std::string saved = ReadBytes(File());
    for (const std::string_view line : SplitLines(saved)) {
        SetLine fields;
        if (ParseSetLine(line, fields) && fields.identifier == "201-1-0001") {
            name = fields.name;
        }
    }
    Save(loaded, name, "201-1-0001", SaveSetMode::Save);
    EXPECT_EQ(ReadBytes(File()), CrLf({wrapped, "9=202-1-0002=B=00002"}));
}

TEST_F(UserSets, RefusedSavesLeaveTheFileAsItWas) {
    const std::string before = CrLf({"9=201-1-0001=A=00001"});
    WriteBytes(File(), before);
    struct Case {
        CurrentSet set;
        std::string name;
        SaveSetMode mode;
        SaveSetStatus status;
    };
    const Case cases[] = {
        {CurrentSet{}, "Pusty", SaveSetMode::Save, SaveSetStatus::EmptySet},
        {CurrentSet{}, "A", SaveSetMode::Overwrite, SaveSetStatus::EmptySet},
        {SetOf({1}), "a=b", SaveSetMode::Save, SaveSetStatus::BadName},
        {SetOf({1, 100000}), "Duzy", SaveSetMode::Save, SaveSetStatus::BadCode},
    };
    for (const Case& c : cases) {
        const SaveSetResult result = Save(c.set, c.name, "201-1", c.mode);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(ReadBytes(File()), before) << c.name;
    }
    EXPECT_EQ(Save(CurrentSet{}, "Pusty", "201-1", SaveSetMode::Save).message, kEmptySetMessage);

    std::filesystem::remove(File());
    EXPECT_EQ(Save(CurrentSet{}, "", "201-1-0001", SaveSetMode::Delete).status,
              SaveSetStatus::Unchanged);
    EXPECT_FALSE(FileExists(File()));
}

TEST_F(UserSets, TheFileHoldsAtMostTheUserSetLimit) {
    std::string many;
    for (int i = 1; i <= kMaxUserSets; ++i) {
        many += "9=201-1-" + ZeroPad(4, i) + "=S" + std::to_string(i) + "=00001\r\n";
    }
    WriteBytes(File(), many);
    EXPECT_EQ(Save(SetOf({2}), "Nowy", "201-1", SaveSetMode::Save).status,
              SaveSetStatus::TooManySets);
    EXPECT_EQ(ReadBytes(File()), many);
    // Replacing a set of the same name adds no line and is still allowed.
    EXPECT_EQ(Save(SetOf({2}), "S5", "201-1", SaveSetMode::Save).status, SaveSetStatus::Written);
}

TEST_F(UserSets, LoadFindsTheSetWhateverTheCaseAndSpacesAndReadsAllCodes) {
    CurrentSet big;
    for (int i = 0; i < kMaxSetUnits; ++i) {
        big.codes[static_cast<std::size_t>(i)] = 10000 + i * 7;
    }
    big.count = kMaxSetUnits;
    Save(big, "Duzy", "201-1", SaveSetMode::Save);
    CurrentSet set;
    SessionPlan plan;
    plan.currentKind = 6;
    LoadSet(paths, kGerman, " 201-1-0001 ", set, plan);
    EXPECT_EQ(Codes(set), Codes(big));
    EXPECT_EQ(plan.currentKind, 0);

    WriteBytes(paths.databaseDir + "cwn_s.txt",
               CrLf({"7=A01-1-01=Farben=00001=00002", "7=a01-1-01=Drugi=00009",
                     "8=B02-2-02=Zdania=00003=xx   =00004=1"}));
    LoadSet(paths, kGerman, "a01-1-01", set, plan);
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{1, 2}));
    // Steps that hold no number are passed over; a short last step still counts.
    LoadSet(paths, kGerman, "b02-2-02", set, plan);
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{3, 4, 1}));
    LoadSet(paths, kGerman, "c99", set, plan);
    EXPECT_EQ(set.count, 0);
    LoadSet(paths, 7, "a01-1-01", set, plan);  // no shipped file for this language
    EXPECT_EQ(set.count, 0);

    // More than 300 codes on a line: the first 300 are taken.
    std::string line = "9=201-1-0002=X";
    for (int i = 1; i <= 310; ++i) {
        line += "=" + ZeroPad(5, i);
    }
    FindSetCodes(line, "201-1-0002", set);
    EXPECT_EQ(set.count, kMaxSetUnits);
    EXPECT_EQ(set.codes[kMaxSetUnits - 1], 300);
}

TEST_F(UserSets, NameExistsComparesWithLetterCase) {
    EXPECT_FALSE(SetNameExists(paths, kGerman, "Dom"));
    WriteBytes(File(), CrLf({"9=201-1-0001=  Dom  =00001", "9=201-1-0002"}));
    EXPECT_TRUE(SetNameExists(paths, kGerman, "Dom"));
    EXPECT_FALSE(SetNameExists(paths, kGerman, "dom"));
    EXPECT_FALSE(SetNameExists(paths, kGerman, ""));
}

TEST_F(UserSets, SetLinesOfAnyBytesAreRead) {
    std::mt19937 random(3);
    CurrentSet set = SetOf({1});
    for (int round = 0; round < 300; ++round) {
        std::string bytes(random() % 200, '\0');
        for (char& c : bytes) {
            const char pick[] = {'=', '2', '0', '\r', '\n', ' ', 'a', static_cast<char>(random())};
            c = pick[random() % sizeof(pick)];
        }
        FindSetCodes(bytes, "2", set);
        SetNameExistsIn(bytes, "a");
        SaveSetResult result;
        RewriteUserSets(bytes, true, SetOf({1}), "a", "2", SaveSetMode::Save, result);
        ParseCodeList(bytes, set);
        EXPECT_LE(set.count, kMaxSetUnits);
    }
}

// ---- A save that fails or dies leaves the previous file whole ----------------------------------

TEST_F(UserSets, FailedOrKilledSaveKeepsThePreviousFile) {
    std::string before;
    for (int i = 1; i <= 30; ++i) {
        before += "9=201-1-" + ZeroPad(4, i) + "=S" + std::to_string(i) + "=00001=00002\r\n";
    }
    WriteBytes(File(), before);
    const CurrentSet set = SetOf({11, 12, 13});
    for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{100},
                                    before.size() - 1, before.size() + 20}) {
        SetWriteFaultForTesting({WriteFault::Kind::Fail, after});
        const SaveSetResult result = Save(set, "S7", "205-2", SaveSetMode::Overwrite);
        SetWriteFaultForTesting({});
        EXPECT_EQ(result.status, SaveSetStatus::WriteFailed) << after;
        EXPECT_EQ(result.message, std::string(kSetNotWrittenMessage) + File());
        EXPECT_EQ(ReadBytes(File()), before) << after;

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetWriteFaultForTesting({WriteFault::Kind::Kill, after});
            Save(set, "Nowy", "205-2", SaveSetMode::Save);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << after;
        EXPECT_EQ(ReadBytes(File()), before) << after;
        CurrentSet loaded;
        SessionPlan plan;
        LoadSet(paths, kGerman, "201-1-0030", loaded, plan);
        EXPECT_EQ(Codes(loaded), (std::vector<std::int32_t>{1, 2}));
    }
}

// ---- Preparing a set for a session -------------------------------------------------------------

UnitTable UnitsWithIds(std::initializer_list<std::int32_t> ids) {
    UnitTable units;
    for (const std::int32_t id : ids) {
        Unit u;
        u.unitId = id;
        units.Append(u);
    }
    return units;
}

TEST(PrepareSet, UnknownCodesAreDroppedByFillingHolesFromTheEnd) {
    const UnitTable units = UnitsWithIds({101, 102, 103, 104, 105});
    struct Case {
        std::vector<std::int32_t> codes;
        std::vector<std::int32_t> unitNumbers;
    };
    const Case cases[] = {
        {{101, 9, 103, 104, 9, 105}, {1, 5, 3, 4}},
        {{9, 9, 102}, {2}},
        {{9, 8, 7}, {}},
        {{}, {}},
        {{105, 104, 103}, {5, 4, 3}},
    };
    for (const Case& c : cases) {
        CurrentSet set = SetOf(c.codes);
        SessionPlan plan;
        plan.mode = SessionMode::Repetition;
        PrepareSetForSession(set, units, {}, false, plan);
        EXPECT_EQ(UnitNumbers(set), c.unitNumbers);
        EXPECT_TRUE(set.ready);
        EXPECT_EQ(plan.mode, SessionMode::Learning);
    }
}

TEST(PrepareSet, RelatedSentencesFollowTheWordsOnceEachWhenAsked) {
    const UnitTable units = UnitsWithIds({101, 102, 60001, 60002, 60003, 70000});
    const std::vector<Relation> relations = {
        {102, 60002, 0}, {101, 60001, 0}, {101, 60002, 0}, {60001, 70000, 0}, {101, 60003, 1}};
    CurrentSet set = SetOf({101, 102, 60001});
    SessionPlan plan;
    PrepareSetForSession(set, units, relations, true, plan);
    // 101 gives 60001 (held), 60002, 60003; 102 gives 60002 again; sentences give nothing.
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{101, 102, 60001, 60002, 60003}));
    EXPECT_EQ(UnitNumbers(set), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));

    set = SetOf({101, 102});
    PrepareSetForSession(set, units, relations, false, plan);
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{101, 102}));

    Settings settings;
    settings.learningMode = 2;
    settings.proposeSentenceExercises = true;
    EXPECT_TRUE(WantsRelatedSentences(settings, false));
    settings.learningMode = 1;
    EXPECT_FALSE(WantsRelatedSentences(settings, false));
    EXPECT_TRUE(WantsRelatedSentences(settings, true));
}

TEST(PrepareSet, AFullSetReplacesItsLastEntryWithEachFurtherSentence) {
    UnitTable units;
    CurrentSet set;
    for (int i = 1; i <= kMaxSetUnits; ++i) {
        set.codes[static_cast<std::size_t>(set.count++)] = i;
    }
    const std::vector<Relation> relations = {{1, 60001, 0}, {1, 60002, 0}};
    SessionPlan plan;
    PrepareSetForSession(set, units, relations, true, plan);
    EXPECT_EQ(set.codes[kMaxSetUnits - 2], 299);
    EXPECT_EQ(set.codes[kMaxSetUnits - 1], 60002);
    EXPECT_EQ(set.count, 0);  // no unit holds these codes
}

TEST(CodeList, TenHeaderLinesThenEachPositiveCodeOnce) {
    std::string bytes;
    for (int i = 0; i < 10; ++i) {
        bytes += "naglowek 99\r\n";
    }
    bytes += CrLf({"5", "0", " 5 ", "", "abc", "-3", "7"});
    CurrentSet set = SetOf({1, 2});
    ParseCodeList(bytes, set);
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{5, 7}));

    TempDir dir;
    WriteBytes(dir.path() + "slow.txt", bytes);
    SessionPlan plan;
    plan.currentKind = 3;
    ReadCodeList(dir.path() + "slow.txt", set, plan);
    EXPECT_EQ(Codes(set), (std::vector<std::int32_t>{5, 7}));
    EXPECT_EQ(plan.currentKind, 0);
}

TEST(Backgrounds, ProgramPicturesJpegFirstThenTheDisc) {
    TempDir dir;
    AppPaths paths;
    paths.programDir = dir.path() + "prog/";
    paths.discRoot = dir.path() + "disc/";
    for (const std::string f :
         {"prog/Cw_Tla_S/b.bmp", "prog/Cw_Tla_S/a.JPG", "prog/Cw_Tla_S/.ukryty.jpg",
          "prog/Cw_Tla_S/opis.txt", "disc/cw_tla_s/c.bmp"}) {
        WriteBytes(dir.path() + f, "x");
    }
    std::filesystem::create_directories(dir.path() + "prog/Cw_Tla_S/folder.bmp");
    struct Fixed final : Random {
        int Below(int n) override { return n - 1; }
    } random;
    BackgroundList list;
    BuildBackgroundList(paths, random, list);
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].path, dir.path() + "prog/Cw_Tla_S/a.JPG");
    EXPECT_EQ(list.entries[1].path, dir.path() + "prog/Cw_Tla_S/b.bmp");
    EXPECT_EQ(list.entries[2].path, dir.path() + "disc/cw_tla_s/c.bmp");
    EXPECT_FALSE(list.entries[2].used);
    EXPECT_EQ(list.current, 3);

    // A disc root that names the program's own folder does not list it twice.
    paths.discRoot = paths.programDir;
    BuildBackgroundList(paths, random, list);
    EXPECT_EQ(list.entries.size(), 2u);
    paths.programDir = dir.path() + "pusty/";
    paths.discRoot.clear();
    BuildBackgroundList(paths, random, list);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.current, 0);
}

}  // namespace
}  // namespace dyd
