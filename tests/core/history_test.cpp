#include "core/history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/datetime.h"
#include "core/files.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr int kEnglish = 1;  // set files cwa_s.txt and cwa_su.txt

AppPaths PathsIn(const TempDir& dir) {
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseCode = "testdb";
    paths.databaseDir = dir.path() + "db/testdb/";
    paths.userDir = dir.path() + "1/";
    std::filesystem::create_directories(paths.databaseDir);
    std::filesystem::create_directories(paths.userDir);
    return paths;
}

HistoryRecord Entry(std::string_view id, std::uint8_t kind, int count = 0, double when = 0) {
    HistoryRecord r =
        MakeCatalogueEntry(id, std::string("set ") + std::string(id), kUserSetCategory, when);
    r.kind = kind;
    r.count = count;
    return r;
}

std::vector<std::string> Ids(const ExerciseHistory& h) {
    std::vector<std::string> ids;
    for (const HistoryRecord& r : h.records) {
        ids.push_back(r.id + "/" + std::to_string(r.kind));
    }
    return ids;
}

const double kDay = DayNumber(2024, 3, 15);

TEST(HistoryFile, RecordFieldsLieAtTheirOffsetsLittleEndian) {
    HistoryRecord r = MakeCatalogueEntry("  207-3-0012 ", "Moje", kUserSetCategory, 0);
    r.kind = 6;
    r.key = 0;
    r.when = 45000.5;
    r.percent = 85;
    r.count = 0x01020304;
    r.complete = 1;
    const auto bytes = EncodeHistoryRecord(r);
    EXPECT_EQ(bytes[0], 10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[1]), 10), "207-3-0012");
    EXPECT_EQ(bytes[26], 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[27]), 4), "Moje");
    EXPECT_EQ(bytes[92], 6);
    EXPECT_EQ(bytes[94], 3);  // level from the fifth character
    double when = 0;
    std::uint64_t raw = 0;
    for (int i = 7; i >= 0; --i) {
        raw = (raw << 8) | bytes[96 + static_cast<std::size_t>(i)];
    }
    std::memcpy(&when, &raw, 8);
    EXPECT_EQ(when, 45000.5);
    EXPECT_EQ(bytes[104], 85);
    EXPECT_EQ((std::array<std::uint8_t, 4>{bytes[108], bytes[109], bytes[110], bytes[111]}),
              (std::array<std::uint8_t, 4>{4, 3, 2, 1}));
    EXPECT_EQ(bytes[112], 1);
    EXPECT_EQ(bytes[113], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[114]), 2), "07");
}

TEST(HistoryFile, ReadAndWrittenBackByteForByteWithUnwrittenBytesKept) {
    // Three records as another writer left them: filler bytes in every gap, a shorter id over
    // the remains of a longer one.
    std::string file;
    std::mt19937 fill(7);
    for (const std::string_view id : {"105-1-a", "106-2-b", "207-1-0003"}) {
        std::string rec(kHistoryRecordSize, '\0');
        for (char& c : rec) {
            c = static_cast<char>(fill());
        }
        rec[0] = static_cast<char>(id.size());
        std::memcpy(&rec[1], id.data(), id.size());
        rec[26] = 3;
        rec[113] = 2;
        file += rec;
    }
    const ExerciseHistory h = ParseHistory(file);
    ASSERT_EQ(h.count(), 3);
    EXPECT_EQ(h.records[2].id, "207-1-0003");
    EXPECT_EQ(FormatHistory(h), file);

    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(HistoryFilePath(paths), file);
    ExerciseHistory loaded;
    EXPECT_EQ(LoadHistory(paths, loaded).state, HistoryFileState::Loaded);
    ASSERT_TRUE(SaveHistory(HistoryCopyFilePath(paths), loaded));
    EXPECT_EQ(ReadBytes(paths.userDir + "testdb.cwinfok"), file);
}

TEST(HistoryFile, OverlongLengthsAreCutAndAnyBytesParse) {
    std::string rec(kHistoryRecordSize, 'x');
    rec[0] = static_cast<char>(200);
    rec[26] = static_cast<char>(255);
    rec[113] = static_cast<char>(90);
    const ExerciseHistory h = ParseHistory(rec + "tail");
    ASSERT_EQ(h.count(), 1);
    EXPECT_EQ(h.records[0].id.size(), kHistoryIdMax);
    EXPECT_EQ(h.records[0].name.size(), kHistoryNameMax);
    EXPECT_EQ(h.records[0].group.size(), kHistoryGroupMax);

    std::mt19937 random(1);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 1000, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        ExerciseHistory any = ParseHistory(bytes);
        for (const HistoryRecord& r : any.records) {
            LatestResultText(any, r.id);
        }
        StoreSetResult(any, kDay, 50, any.count() > 0 ? any.records[0].id : "x", 3, 0, true);
        MergeUserSets(bytes, kDay, any);
        FormatHistory(any);
        CatalogueFromShippedSets(bytes, kDay, any);
    }
}

TEST(HistoryFile, BeyondCapacityEachFurtherRecordReplacesTheLast) {
    ExerciseHistory big;
    for (int i = 1; i <= kMaxHistoryRecords + 2; ++i) {
        big.records.push_back(Entry("1" + std::to_string(i), kWordSetCategory));
    }
    HistoryParseReport report;
    const ExerciseHistory h = ParseHistory(FormatHistory(big) + "12345", &report);
    EXPECT_EQ(h.count(), kMaxHistoryRecords);
    EXPECT_EQ(h.records[kMaxHistoryRecords - 2].id, "16999");
    EXPECT_EQ(h.records.back().id, "17002");
    EXPECT_EQ(report.overflowRecords, 2);
    EXPECT_EQ(report.partialTailBytes, 5u);
}

TEST(HistoryFile, SavePutsShippedSetsFirstAndDropsBlankRecords) {
    ExerciseHistory h;
    h.records = {Entry("201-1-0001", 4), Entry("105-1-x", kWordSetCategory), HistoryRecord{},
                 Entry("202-2-0002", kUserSetCategory), Entry("106-2-y", 12)};
    const ExerciseHistory back = ParseHistory(FormatHistory(h));
    EXPECT_EQ(Ids(back), (std::vector<std::string>{"105-1-x/80", "106-2-y/12", "201-1-0001/4",
                                                   "202-2-0002/82"}));
}

TEST(HistoryResults, FirstSecondAndRepeatedResultsOfASet) {
    ExerciseHistory h;
    h.records = {Entry("201-1-0001", kUserSetCategory), Entry("105-1-x", kWordSetCategory)};
    // The first result turns the catalogue entry into the result entry; the store does not grow
    // but the set moves to the end.
    EXPECT_EQ(StoreSetResult(h, kDay, 70, "201-1-0001", 6, 0, true), StoreResultStatus::Added);
    EXPECT_EQ(Ids(h), (std::vector<std::string>{"105-1-x/80", "201-1-0001/6"}));
    EXPECT_EQ(h.records[1].count, 1);
    EXPECT_EQ(h.records[1].percent, 70);
    EXPECT_EQ(h.records[1].when, kDay);
    // Another kind: a new record after the run, copying the set's fields.
    EXPECT_EQ(StoreSetResult(h, kDay + 1, -5, "201-1-0001", 4, 0, false), StoreResultStatus::Added);
    EXPECT_EQ(Ids(h), (std::vector<std::string>{"105-1-x/80", "201-1-0001/6", "201-1-0001/4"}));
    EXPECT_EQ(h.records[2].percent, 0);
    EXPECT_EQ(h.records[2].name, "set 201-1-0001");
    EXPECT_EQ(h.records[2].group, "01");
    EXPECT_EQ(h.records[2].level, 1);
    // The first kind again, with the id in other letter case: updated in place.
    EXPECT_EQ(StoreSetResult(h, kDay + 2, 130, "201-1-0001", 6, 0, true),
              StoreResultStatus::Updated);
    EXPECT_EQ(h.count(), 3);
    EXPECT_EQ(h.records[1].count, 2);
    EXPECT_EQ(h.records[1].percent, 100);
    EXPECT_EQ(h.records[1].when, kDay + 2);

    EXPECT_EQ(StoreSetResult(h, kDay, 50, "299-9-9999", 6, 0, true), StoreResultStatus::NoSuchSet);
    EXPECT_EQ(h.count(), 3);
}

TEST(HistoryResults, WholeRunOfASetMovesToTheEndBeforeItsNewResult) {
    ExerciseHistory h;
    h.records = {Entry("105-1-a", 6, 1), Entry("105-1-a", 4, 1), Entry("105-1-a", 2, 1),
                 Entry("106-1-b", kWordSetCategory)};
    EXPECT_EQ(StoreSetResult(h, kDay, 90, "105-1-A", 9, 0, true), StoreResultStatus::Added);
    // One run at the end, in its order, so that the chooser lists the set once.
    EXPECT_EQ(Ids(h), (std::vector<std::string>{"106-1-b/80", "105-1-a/6", "105-1-a/4", "105-1-a/2",
                                                "105-1-a/9"}));
    EXPECT_EQ(ParseHistory(FormatHistory(h)).count(), 5);
}

TEST(HistoryResults, FullStoreReusesBlankRecordsThenRefuses) {
    ExerciseHistory h;
    for (int i = 0; i < kMaxHistoryRecords - 1; ++i) {
        h.records.push_back(Entry("1" + std::to_string(i), kWordSetCategory));
    }
    h.records.push_back(Entry("201-1-0001", 6, 1));
    h.records[5] = HistoryRecord{};  // a deleted set's record
    EXPECT_EQ(StoreSetResult(h, kDay, 80, "201-1-0001", 4, 0, true), StoreResultStatus::Added);
    EXPECT_EQ(h.count(), kMaxHistoryRecords);
    EXPECT_EQ(Ids(h).back(), "201-1-0001/4");

    const std::vector<std::string> before = Ids(h);
    const StoreResultStatus full = StoreSetResult(h, kDay, 80, "201-1-0001", 9, 0, true);
    EXPECT_EQ(full, StoreResultStatus::Full);
    EXPECT_EQ(StoreResultMessage(full), kHistoryFullMessage);
    EXPECT_EQ(Ids(h), before);
    // An update needs no room.
    EXPECT_EQ(StoreSetResult(h, kDay, 60, "201-1-0001", 4, 0, true), StoreResultStatus::Updated);
}

TEST(HistoryResults, PercentOfAnExercise) {
    struct Case {
        int right, wrong, stepCount, planned, finished;
        std::optional<int> percent;
    };
    const Case cases[] = {
        {20, 0, 2, 10, 10, 100},       {20, 5, 2, 10, 10, 80}, {1, 0, 1, 10, 1, std::nullopt},
        {1, 1, 1, 1, 1, 50},           {1, 7, 1, 1, 1, 12},  // 12.5 rounds to even
        {3, 5, 1, 3, 2, 38},                                 // 37.5 rounds to even
        {0, 0, 0, 0, 2, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExerciseResultPercent(c.right, c.wrong, c.stepCount, c.planned, c.finished),
                  c.percent)
            << c.right << "/" << c.wrong;
    }
}

TEST(HistoryResults, LatestResultTextTakesTheLatestRecord) {
    ExerciseHistory h;
    h.records = {Entry("201-1-0001", kUserSetCategory)};
    EXPECT_EQ(LatestResultText(h, "201-1-0001"), "");
    StoreSetResult(h, DayNumber(2024, 3, 15) + 0.5, 80, "201-1-0001", 6, 0, true);
    StoreSetResult(h, DayNumber(2024, 3, 14), 40, "201-1-0001", 4, 0, false);
    EXPECT_EQ(LatestResultText(h, "201-1-0001"),
              "Ostatnio: 2024-03-15 Wpisywanie tłumaczenia 80 % ");
    // At the same moment the later record wins; an incomplete result is marked with "!".
    StoreSetResult(h, DayNumber(2024, 3, 15) + 0.5, 45, "201-1-0001", 15, 0, false);
    EXPECT_EQ(LatestResultText(h, "201-1-0001"),
              "Ostatnio: 2024-03-15 Rozumienie ze słuchu 45 %! ");
}

TEST(HistorySync, UserSetsAreMergedAndDeletedSetsDropped) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(paths.databaseDir + "cwa_su.txt",
               CrLf({"9=207-2-0001=Zwierzeta=00010=00011", "9=203-1-0002= Dom =00012",
                     "9=207-2-0001=Zwierzeta=00010", "9=105-2-0003=obce=00013", "9=2=krotki=00014",
                     "9=bez kodow", ""}));
    ExerciseHistory h;
    h.records = {Entry("105-1-x", kWordSetCategory)};
    SyncUserSetsResult sync = SyncUserSets(paths, kEnglish, kDay, h);
    EXPECT_TRUE(sync.saved) << sync.error;
    EXPECT_EQ(sync.added, 3);
    ASSERT_EQ(h.count(), 4);
    const HistoryRecord& animals = h.records[1];
    EXPECT_EQ(animals.id, "207-2-0001");
    EXPECT_EQ(animals.name, "Zwierzeta");
    EXPECT_EQ(animals.kind, kUserSetCategory);
    EXPECT_EQ(animals.level, 2);
    EXPECT_EQ(animals.group, "07");
    EXPECT_EQ(animals.when, kDay);
    EXPECT_EQ(animals.count, 0);
    EXPECT_EQ(h.records[2].name, "Dom");
    EXPECT_EQ(h.records[3].id, "2");  // shorter than five characters: level 1
    EXPECT_EQ(h.records[3].level, 1);
    EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), FormatHistory(h));

    // A second merge adds nothing; deleting a set from the file drops it with its results.
    StoreSetResult(h, kDay, 90, "207-2-0001", 6, 0, true);
    StoreSetResult(h, kDay, 90, "207-2-0001", 4, 0, true);
    WriteBytes(paths.databaseDir + "cwa_su.txt", CrLf({"9=203-1-0002=Dom=00012", "9=2=k=1"}));
    sync = SyncUserSets(paths, kEnglish, kDay + 1, h);
    EXPECT_EQ(sync.added, 0);
    EXPECT_EQ(sync.removed, 2);
    ExerciseHistory saved = ParseHistory(ReadBytes(HistoryFilePath(paths)));
    EXPECT_EQ(Ids(saved), (std::vector<std::string>{"105-1-x/80", "203-1-0002/82", "2/82"}));
}

// A user set file overwritten with other bytes cannot tell which sets were deleted: the results
// stay, and the damage is said with the file's name.
TEST(HistorySync, ADamagedUserSetFileDropsNoResults) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(paths.databaseDir + "cwa_su.txt", CrLf({"9=207-2-0001=Zwierzeta=00010"}));
    ExerciseHistory h;
    SyncUserSets(paths, kEnglish, kDay, h);
    StoreSetResult(h, kDay, 90, "207-2-0001", 6, 0, true);
    const std::vector<std::string> before = Ids(h);

    WriteBytes(paths.databaseDir + "cwa_su.txt", std::string("\x01\xFFgarbage\r\nzzz\r\n", 15));
    const SyncUserSetsResult sync = SyncUserSets(paths, kEnglish, kDay + 1, h);
    EXPECT_EQ(sync.damagedLines, 2);
    EXPECT_EQ(sync.removed, 0);
    EXPECT_EQ(Ids(h), before);
    EXPECT_EQ(sync.message, "Pominięto uszkodzone wiersze pliku zestawów " + paths.databaseDir +
                                "cwa_su.txt: 2. Wyniki zestawów, których w nim nie ma, zostają.");
}

TEST(HistorySync, LoginCreatesAnEmptyProfileThenMergesUserSets) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    ExerciseHistory h;
    LoginHistoryResult login = OpenHistoryAtLogin(paths, kEnglish, kDay, h);
    EXPECT_TRUE(login.profileCreated);
    EXPECT_EQ(login.load.state, HistoryFileState::Missing);
    EXPECT_TRUE(login.saved);
    EXPECT_TRUE(FileExists(HistoryFilePath(paths)));
    EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), "");

    WriteBytes(paths.databaseDir + "cwa_su.txt", CrLf({"9=201-1-0001=A=00001"}));
    login = OpenHistoryAtLogin(paths, kEnglish, kDay, h);
    EXPECT_TRUE(login.profileCreated);
    EXPECT_EQ(h.count(), 1);
    login = OpenHistoryAtLogin(paths, kEnglish, kDay, h);
    EXPECT_FALSE(login.profileCreated);
    EXPECT_EQ(login.load.state, HistoryFileState::Loaded);
    EXPECT_EQ(h.count(), 1);
}

// A login that merges nothing leaves the working file in place (a replaced file gets a new
// inode); one that changes the store replaces it with the new bytes.
TEST(HistorySync, OnlyALoginThatChangesTheStoreWritesTheFile) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(paths.databaseDir + "cwa_su.txt", CrLf({"9=201-1-0001=A=00001"}));
    ExerciseHistory h;
    OpenHistoryAtLogin(paths, kEnglish, kDay, h);
    const auto inode = [&] {
        struct stat st {};
        EXPECT_EQ(::stat(HistoryFilePath(paths).c_str(), &st), 0);
        return st.st_ino;
    };
    const ino_t first = inode();
    const std::string bytes = ReadBytes(HistoryFilePath(paths));

    LoginHistoryResult login = OpenHistoryAtLogin(paths, kEnglish, kDay + 1, h);
    EXPECT_TRUE(login.saved);
    EXPECT_EQ(inode(), first);
    EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), bytes);

    WriteBytes(paths.databaseDir + "cwa_su.txt",
               CrLf({"9=201-1-0001=A=00001", "9=201-1-0002=B=00001"}));
    login = OpenHistoryAtLogin(paths, kEnglish, kDay + 1, h);
    EXPECT_TRUE(login.saved);
    EXPECT_EQ(login.added, 1);
    EXPECT_NE(inode(), first);
    EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), FormatHistory(h));
    EXPECT_EQ(h.count(), 2);
}

TEST(HistorySync, SyncStopsAtCapacityAndSaysSo) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(paths.databaseDir + "cwa_su.txt",
               CrLf({"9=201-1-0001=A=00001", "9=201-1-0002=B=00001"}));
    ExerciseHistory h;
    for (int i = 0; i < kMaxHistoryRecords - 1; ++i) {
        h.records.push_back(Entry("1" + std::to_string(i), kWordSetCategory));
    }
    const SyncUserSetsResult sync = SyncUserSets(paths, kEnglish, kDay, h);
    EXPECT_EQ(sync.added, 1);
    EXPECT_EQ(sync.refused, 1);
    EXPECT_EQ(sync.message, kHistoryFullForSetsMessage);
    EXPECT_EQ(h.count(), kMaxHistoryRecords);
}

TEST(HistorySync, ShippedCatalogueIsBuiltFromTheShippedFile) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(paths.databaseDir + "cwa_s.txt",
               CrLf({"7=A03-2-01=Kolory=00001=00002", "5 = B12-4-07 = Zdania o pogodzie =00003",
                     "7=zle=", "", "7= =pusty="}));
    ExerciseHistory h;
    h.records = {Entry("201-1-0001", 6, 3)};
    const BuildCatalogueResult built = BuildShippedCatalogue(paths, kEnglish, kDay, h);
    EXPECT_EQ(built.message, "Zbudowano cw_info, jest 2 cwiczen.");
    EXPECT_TRUE(built.saved);
    ASSERT_EQ(h.count(), 2);
    EXPECT_EQ(h.records[0].id, "a03-2-01");
    EXPECT_EQ(h.records[0].kind, kWordSetCategory);
    EXPECT_EQ(h.records[0].level, 2);
    EXPECT_EQ(h.records[0].group, "03");
    EXPECT_EQ(h.records[1].kind, kSentenceSetCategory);
    EXPECT_EQ(h.records[1].name, "Zdania o pogodzie");
    EXPECT_EQ(h.records[1].level, 4);
    EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), FormatHistory(h));

    // A language without a shipped file gives an empty catalogue.
    EXPECT_EQ(BuildShippedCatalogue(paths, 7, kDay, h).count, 0);
}

// A working file found damaged at login marks the history: its copy is offered and kept.
TEST(HistorySafety, ADamagedWorkingFileKeepsItsCopyAndOffersIt) {
    ExerciseHistory good;
    for (int i = 0; i < 6; ++i) {
        good.records.push_back(
            Entry("201-1-" + ZeroPad(4, i), static_cast<std::uint8_t>(1 + i), i, kDay));
    }
    const std::string goodBytes = FormatHistory(good);
    std::mt19937 random(11);
    std::string garbage(128 * 9, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    const struct {
        const char* what;
        std::string working;
    } cases[] = {
        {"cut", goodBytes.substr(0, goodBytes.size() - 40)},
        {"random bytes", garbage},
        {"emptied", ""},
        {"zero bytes", std::string(goodBytes.size(), '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const AppPaths paths = PathsIn(dir);
        WriteBytes(HistoryFilePath(paths), c.working);
        WriteBytes(HistoryCopyFilePath(paths), goodBytes);
        ExerciseHistory h;
        const LoginHistoryResult login = OpenHistoryAtLogin(paths, kEnglish, kDay, h);
        EXPECT_TRUE(h.damaged);
        EXPECT_NE(login.message.find("Plik historii ćwiczeń jest uszkodzony: "), std::string::npos)
            << login.message;
        const std::optional<std::string> date = GoodHistoryCopyDate(paths);
        ASSERT_TRUE(date.has_value());
        EXPECT_EQ(HistoryRestoreQuestion("2024-03-15 10:00:00"),
                  "Wczytać historię ćwiczeń z kopii z 2024-03-15 10:00:00?");

        const RestoreHistoryResult restored = RestoreHistoryCopy(paths, h);
        EXPECT_TRUE(restored.restored);
        EXPECT_EQ(restored.message, "Wczytano historię ćwiczeń z kopii: 6 wpisów.");
        EXPECT_FALSE(h.damaged);
        EXPECT_EQ(ReadBytes(HistoryFilePath(paths)), goodBytes);
        EXPECT_EQ(ReadBytes(HistoryCopyFilePath(paths)), goodBytes);
    }

    // A whole working file is no damage, and a damaged copy is never offered.
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    WriteBytes(HistoryFilePath(paths), goodBytes);
    WriteBytes(HistoryCopyFilePath(paths), goodBytes.substr(0, 200));
    ExerciseHistory h;
    OpenHistoryAtLogin(paths, kEnglish, kDay, h);
    EXPECT_FALSE(h.damaged);
    EXPECT_FALSE(GoodHistoryCopyDate(paths).has_value());
    EXPECT_FALSE(RestoreHistoryCopy(paths, h).restored);
    EXPECT_EQ(h.count(), 6);
}

// ---- A save that fails or dies leaves the previous file whole ----------------------------------

ExerciseHistory SampleHistory(int records) {
    ExerciseHistory h;
    for (int i = 0; i < records; ++i) {
        h.records.push_back(
            Entry("201-1-" + ZeroPad(4, i), static_cast<std::uint8_t>(1 + i % 18), i, kDay));
    }
    return h;
}

TEST(HistorySafety, FailedSaveAtAnyPointKeepsThePreviousFile) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    const std::string path = HistoryFilePath(paths);
    ASSERT_TRUE(SaveHistory(path, SampleHistory(3)));
    const std::string before = ReadBytes(path);
    const ExerciseHistory next = SampleHistory(40);
    for (const std::size_t after : {std::size_t{0}, std::size_t{1}, std::size_t{127},
                                    std::size_t{128}, std::size_t{3000}, std::size_t{5119}}) {
        SetWriteFaultForTesting({WriteFault::Kind::Fail, after});
        std::string error;
        EXPECT_FALSE(SaveHistory(path, next, &error)) << after;
        SetWriteFaultForTesting({});
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadBytes(path), before) << after;
        ExerciseHistory loaded;
        EXPECT_EQ(LoadHistory(paths, loaded).state, HistoryFileState::Loaded);
        EXPECT_EQ(loaded.count(), 3);
    }
    EXPECT_TRUE(SaveHistory(path, next));
    EXPECT_EQ(ReadBytes(path).size(), 40 * kHistoryRecordSize);
}

TEST(HistorySafety, ProcessKilledWhileStoringAResultKeepsThePreviousFile) {
    TempDir dir;
    const AppPaths paths = PathsIn(dir);
    const std::string path = HistoryFilePath(paths);
    ASSERT_TRUE(SaveHistory(path, SampleHistory(20)));
    const std::string before = ReadBytes(path);
    for (const std::size_t after : {std::size_t{0}, std::size_t{64}, std::size_t{1280}}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ExerciseHistory h;
            LoadHistory(paths, h);
            StoreSetResult(h, kDay, 99, "201-1-0003", 17, 0, true);
            SetWriteFaultForTesting({WriteFault::Kind::Kill, after});
            SaveHistory(path, h);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << after;
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_EQ(ReadBytes(path), before) << after;
        ExerciseHistory loaded;
        LoadHistory(paths, loaded);
        EXPECT_EQ(loaded.count(), 20);
    }
}

}  // namespace
}  // namespace dyd
