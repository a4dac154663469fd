#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/repetition_import.h"
#include "core/repetitions.h"
#include "core/text.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Units 1..count with ids 1000 + unit number.
UnitTable Units(int count) {
    UnitTable units;
    for (int u = 1; u <= count; ++u) {
        Unit unit;
        unit.unitId = 1000 + u;
        units.Append(unit);
    }
    return units;
}

template <typename T>
void Put(std::string& out, std::size_t offset, T value) {
    std::memcpy(out.data() + offset, &value, sizeof value);  // the tests run little-endian
}

// A 60-byte record of the 2001 and 4.0 editions.
std::string Earlier(std::int32_t id, int interval, std::initializer_list<std::uint8_t> marks,
                    std::uint8_t known = 0, std::uint8_t trash = 0) {
    std::string r(60, '\0');
    Put<std::int32_t>(r, 0, id);
    Put<double>(r, 4, 44000);
    Put<double>(r, 12, 44100);
    Put<std::int32_t>(r, 20, 4);
    Put<std::int32_t>(r, 24, interval);
    Put<std::int32_t>(r, 28, 7);
    Put<double>(r, 32, 2.25);
    std::size_t at = 40;
    for (const std::uint8_t mark : marks) {
        r[at++] = static_cast<char>(mark);
    }
    r[55] = static_cast<char>(known);
    r[56] = static_cast<char>(trash);
    r[57] = r[58] = r[59] = '\xEE';  // not read
    return r;
}

struct Account {
    TempDir dir;
    AppPaths paths;
    RepetitionStore store;

    Account() {
        paths.programDir = dir.path();
        paths.userDir = dir.path() + "1/";
        paths.databaseCode = "ang";
        paths.databaseDir = dir.path() + "db/ang/";
        std::filesystem::create_directories(paths.userDir);
        std::filesystem::create_directories(paths.databaseDir);
    }
};

TEST(RecordImport, EarlierEditionRecordsReplaceTheLearnersRecords) {
    Account a;
    UnitTable units = Units(10);
    RepetitionRecord& two = a.store.record(2);
    two.kindMarks[15] = 1;  // kinds 16-18 have no mark in the earlier record: kept
    two.kindMarks[16] = 2;
    two.reserved = {7, 8, 9, 10};
    a.store.chosenKinds[2][16] = true;
    a.store.chosenKinds[2][1] = true;
    a.store.record(5).unitId = 1005;  // learnt, not in the file
    a.store.record(5).interval = 12;
    a.store.recordHighWater = 10;

    const std::string file =
        Earlier(1002, 30, {1, 0, 101, 2, 0, 102, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 1, 0) +
        Earlier(7777, 5, {}) + Earlier(0, 5, {}) + Earlier(1004, 3, {}) +
        Earlier(1004, 9, {}, 0, 1) + Earlier(1006, 0, {});
    WriteBytes(a.dir.path() + "old/3/P.B", file + "cut");
    const std::string path = AccountRepetitionFile(Edition::E40, a.dir.path() + "old/", 3, "ang");
    EXPECT_EQ(path, a.dir.path() + "old/3/P.B");

    const ImportResult r = ImportRepetitionFile(path, Edition::E40, false, a.paths, units, a.store);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.counts.imported, 3);  // interval above 0: 1002 and both records of 1004
    EXPECT_EQ(r.counts.kept, 0);
    EXPECT_EQ(r.counts.missing, 1);
    EXPECT_EQ(r.counts.missingList, " - 7777");
    EXPECT_EQ(r.counts.notLearnt, 1);
    EXPECT_EQ(r.counts.cutBytes, 3u);
    EXPECT_EQ(r.counts.damaged, 1);  // the cut record
    EXPECT_EQ(a.store.recordHighWater, 6);

    const RepetitionRecord& got = a.store.record(2);
    EXPECT_EQ(got.unitId, 1002);
    EXPECT_EQ(got.firstDate, 44000);
    EXPECT_EQ(got.lastDate, 44100);
    EXPECT_EQ(got.repetitionNo, 4);
    EXPECT_EQ(got.interval, 30);
    EXPECT_EQ(got.previousInterval, 7);
    EXPECT_EQ(got.factor, 2.25);
    const std::array<std::uint8_t, 18> marks = {1, 0, 1, 2, 0, 2, 0, 0, 0,
                                                0, 0, 0, 0, 0, 1, 1, 2, 0};
    EXPECT_EQ(got.kindMarks, marks);
    EXPECT_EQ(got.knownFlag, 1);
    EXPECT_EQ(got.inTrash, 0);
    EXPECT_EQ(got.reserved, (std::array<std::uint8_t, 4>{0, 8, 9, 10}));
    KindFlags chosen{};
    chosen[3] = chosen[6] = true;
    chosen[16] = true;  // beyond the earlier kinds: as it was
    EXPECT_EQ(a.store.chosenKinds[2], chosen);

    EXPECT_EQ(a.store.record(4).interval, 9);  // the later record wins
    EXPECT_EQ(a.store.record(4).inTrash, 1);
    EXPECT_EQ(a.store.record(5).unitId, 0);  // not in the file: no longer learnt
    EXPECT_EQ(a.store.record(6).unitId, 1006);

    EXPECT_EQ(r.message,
              "Zaimportowano powtórki: 3 jednostek, pozostawiono nienadpisanych: 0 jednostek. "
              "Pominięto uszkodzone rekordy pliku z powtórkami: 1. "
              "Indeksy (kody) nieodnalezionych jednostek (1) znajdują się w pliku, w katalogu: " +
                  a.paths.userDir);
    EXPECT_EQ(ReadBytes(a.paths.userDir + "import_powtorek_40_kody_brakujacych_ang.txt"),
              "Kody jednostek nie odnalezionych w bazie (podczas importu powt\xF3rek)\r\n"
              " - 7777\r\n");
}

TEST(RecordImport, KeepingLeavesLearntUnitsAsTheyAre) {
    Account a;
    UnitTable units = Units(10);
    RepetitionRecord mine;
    mine.unitId = 1001;
    mine.interval = 11;
    a.store.record(1) = mine;
    a.store.recordHighWater = 1;

    RepetitionRecord theirs;
    theirs.unitId = 1001;
    theirs.interval = 40;
    std::string file;
    EncodeRecord(theirs, file);
    theirs.unitId = 1003;
    theirs.kindMarks[17] = 102;
    theirs.knownFlag = 1;
    theirs.inTrash = 1;
    theirs.reserved = {5, 6, 6, 6};
    EncodeRecord(theirs, file);
    WriteBytes(a.dir.path() + "9/ang.p", file);

    const ImportResult r =
        ImportRepetitionFile(AccountRepetitionFile(Edition::E50, a.dir.path(), 9, "ang"),
                             Edition::E50, true, a.paths, units, a.store);
    EXPECT_EQ(r.message,
              "Zaimportowano powtórki: 1 jednostek, pozostawiono nienadpisanych: 1 jednostek.");
    EXPECT_EQ(a.store.record(1), mine);
    RepetitionRecord expected = theirs;
    expected.kindMarks[17] = 2;
    expected.reserved = {5, 0, 0, 0};  // byte 60 is taken over, the rest is not
    EXPECT_EQ(a.store.record(3), expected);
    EXPECT_TRUE(a.store.chosenKinds[3][18]);
    EXPECT_EQ(a.store.recordHighWater, 3);
    EXPECT_FALSE(
        std::filesystem::exists(a.paths.userDir + "import_powtorek_50_kody_brakujacych_ang.txt"));
}

TEST(RecordImport, TheLastUnitOfAFullDatabaseIsImportedToo) {
    Account a;
    UnitTable units = Units(kMaxUnits);
    const std::string file =
        Earlier(1000 + kMaxUnits, 6, {}) + Earlier(1000 + kMaxUnits - 1, 6, {});
    const ImportCounts c = ImportRepetitionRecords(file, Edition::E2001, false, units, a.store);
    EXPECT_EQ(c.imported, 2);
    EXPECT_EQ(c.missing, 0);
    EXPECT_EQ(a.store.record(kMaxUnits).interval, 6);
    EXPECT_EQ(a.store.recordHighWater, kMaxUnits);
}

TEST(RecordImport, AMissingFileChangesNothing) {
    Account a;
    UnitTable units = Units(3);
    a.store.record(2).unitId = 1002;
    a.store.recordHighWater = 2;
    const std::string path = AccountRepetitionFile(Edition::E2001, a.dir.path(), 4, "ang");
    const ImportResult r =
        ImportRepetitionFile(path, Edition::E2001, false, a.paths, units, a.store);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.message, "Brak pliku z powtórkami [" + a.dir.path() + "4/p.b].");
    EXPECT_EQ(a.store.record(2).unitId, 1002);
    EXPECT_EQ(a.store.recordHighWater, 2);
}

// Records that no edition writes are left out and counted with a cut end; a file without a
// single record to take over changes nothing, even without keep.
TEST(RecordImport, DamagedRecordsAreSkippedAndAFileWithoutRecordsChangesNothing) {
    Account a;
    UnitTable units = Units(5);
    RepetitionRecord mine;
    mine.unitId = 1001;
    mine.interval = 11;
    a.store.record(1) = mine;
    a.store.recordHighWater = 1;
    a.store.damaged = true;

    std::string badDate = Earlier(1003, 8, {});
    Put<double>(badDate, 12, 1e300);
    const std::string badFlag = Earlier(1004, 8, {}, 7);
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;  // after the path
    };
    const Case refused[] = {
        {"empty", "", "] nie zawiera żadnych powtórek. Powtórki nie zostały zmienione."},
        {"only unlearnt", Earlier(0, 4, {}) + Earlier(-3, 4, {}),
         "] nie zawiera żadnych powtórek. Powtórki nie zostały zmienione."},
        {"cut", Earlier(1002, 4, {}).substr(0, 59),
         "] jest uszkodzony i nie zawiera żadnej powtórki do zaimportowania. Powtórki nie "
         "zostały zmienione."},
        {"garbage", badDate + badFlag,
         "] jest uszkodzony i nie zawiera żadnej powtórki do zaimportowania. Powtórki nie "
         "zostały zmienione."},
    };
    const std::string path = a.dir.path() + "old/1/p.b";
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.bytes);
        const ImportResult r = ImportRepetitionFile(path, Edition::E40, false, a.paths, units,
                                                    a.store);
        EXPECT_FALSE(r.done);
        EXPECT_EQ(r.message, "Plik z powtórkami [" + path + c.message);
        EXPECT_EQ(a.store.record(1), mine);
        EXPECT_EQ(a.store.recordHighWater, 1);
        EXPECT_TRUE(a.store.damaged);
    }

    WriteBytes(path, badDate + Earlier(1002, 4, {}) + badFlag + "xyz");
    const ImportResult r =
        ImportRepetitionFile(path, Edition::E40, false, a.paths, units, a.store);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.counts.damaged, 3);
    EXPECT_EQ(r.message,
              "Zaimportowano powtórki: 1 jednostek, pozostawiono nienadpisanych: 0 jednostek. "
              "Pominięto uszkodzone rekordy pliku z powtórkami: 3.");
    EXPECT_EQ(a.store.record(1).unitId, 0);  // replaced by the import: no longer learnt
    EXPECT_EQ(a.store.record(2).interval, 4);
    EXPECT_EQ(a.store.record(3).unitId, 0);
    EXPECT_EQ(a.store.record(4).unitId, 0);
    EXPECT_FALSE(a.store.damaged);  // every record is the import's now
}

// The progress reports the share of the records after every 500th and at the end.
TEST(RecordImport, ProgressFollowsTheRecords) {
    const struct {
        int records;
        std::vector<int> positions;
    } cases[] = {
        {499, {100}},
        {500, {100}},
        {501, {100, 100}},  // 500 of 501 rounds to 100
        {1250, {40, 80, 100}},
        {2000, {25, 50, 75, 100}},
    };
    for (const auto& c : cases) {
        UnitTable units = Units(c.records);
        RepetitionStore store;
        std::string file;
        for (int u = 1; u <= c.records; ++u) {
            file += Earlier(1000 + u, 3, {});
        }
        std::vector<int> positions;
        const ImportCounts counts =
            ApplyImportSource(ReadImportSource(file, Edition::E2001), false, units, store,
                              [&](int position) { positions.push_back(position); });
        EXPECT_EQ(counts.imported, c.records);
        EXPECT_EQ(positions, c.positions) << c.records;
    }
}

TEST(RecordImport, AnyBytesImportWithoutHarm) {
    UnitTable units = Units(20);
    RepetitionStore store;
    for (const Edition edition : {Edition::E40, Edition::E50}) {
        for (std::size_t size = 0; size < 200; size += 7) {
            std::string bytes(size, '\0');
            for (std::size_t i = 0; i < size; ++i) {
                bytes[i] = static_cast<char>(i * 37 + size);
            }
            if (size >= 4) {
                Put<std::int32_t>(bytes, 0, 1005);
            }
            const ImportCounts c =
                ImportRepetitionRecords(bytes, edition, size % 2 == 0, units, store);
            const std::size_t record = edition == Edition::E50 ? 64 : 60;
            EXPECT_EQ(c.cutBytes, size % record);
            EXPECT_LE(store.recordHighWater, 20);
        }
    }
}

TEST(Accounts, NumberedLinesOfTheUserListAreAccounts) {
    const std::string bytes = CrLf({"1=Anna", " 2 = Jan Kowalski ", "=nobody", "abc=Zed", "3",
                                    "../4=evil", "-2=negative", "5=", "6=a=b"});
    const std::vector<ImportAccount> accounts = ParseImportAccounts(bytes);
    ASSERT_EQ(accounts.size(), 4u);
    EXPECT_EQ(accounts[0].number, 1);
    EXPECT_EQ(accounts[0].name, "Anna");
    EXPECT_EQ(accounts[1].number, 2);
    EXPECT_EQ(accounts[1].name, "Jan Kowalski");
    EXPECT_EQ(accounts[2].number, 5);
    EXPECT_EQ(accounts[2].name, "");
    EXPECT_EQ(accounts[3].name, "a=b");

    TempDir dir;
    WriteBytes(dir.path() + "Old/USR.T", bytes);
    EXPECT_EQ(ReadImportAccounts(NormalizeSourceFolder(" " + dir.path() + "Old ")).size(), 4u);
    EXPECT_TRUE(ReadImportAccounts(dir.path() + "none/").empty());
    EXPECT_EQ(NoAccountsMessage(Edition::E40),
              "Nie wykryto kont użytkownika w programie Dydaktor 4.0!");
    EXPECT_EQ(NormalizeSourceFolder("c:\\old\\"), "c:/old/");
}

TEST(LearnerUnitsImport, EarlierUnitsAreAppendedOnceAndWrittenToTheDatabase) {
    Account a;
    UnitTable units = Units(10);
    const std::string file = CrLf({
        "99 181250 21 dog = pies = = = = = = = n =",
        "99 181251 24 what? = co? = = = = = = = s =",
        "99 181252 00 cat = kot = = = = = = = n =",
        "99 101001 21 dup = dup = = = = = = = n =",  // the id of unit 1
        "x",
        "zz zzzzzzz zz = = =",
    });
    WriteBytes(a.dir.path() + "old/sbusr.txt", file);
    const LearnerUnitsImport r =
        ImportLearnerUnits(a.dir.path() + "old/", Edition::E40, a.paths, units);
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.alreadyPresent, 1);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_TRUE(r.saved);
    EXPECT_EQ(r.error, "");
    ASSERT_EQ(units.unitCount(), 13);
    EXPECT_EQ(units.unit(11).unitId, 81250);
    EXPECT_EQ(units.unit(11).foreignText, "dog");
    EXPECT_EQ(units.unit(12).unitKind, kQaUnit);
    EXPECT_EQ(units.unit(13).level, 2);  // 0 cannot be written: read as the current format would
    EXPECT_EQ(units.unit(13).partOfSpeech, kOtherPart);
    const std::string written = ReadBytes(a.paths.databaseDir + "sbusr.txt");
    EXPECT_EQ(SplitLines(written).size(), 3u);

    // Taking them over again adds nothing.
    const LearnerUnitsImport again =
        ImportLearnerUnits(a.dir.path() + "old/", Edition::E40, a.paths, units);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.alreadyPresent, 4);
    EXPECT_EQ(units.unitCount(), 13);
}

}  // namespace
}  // namespace dyd
