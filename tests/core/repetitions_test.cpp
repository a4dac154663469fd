#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>

#include "core/datetime.h"
#include "core/files.h"
#include "core/repetitions.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string FromHex(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

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

// A learnt record of unit u (id 1000 + u), its fields derived from u.
RepetitionRecord Learnt(int u) {
    RepetitionRecord r;
    r.unitId = 1000 + u;
    r.firstDate = 45000 + u;
    r.lastDate = 45100 + u;
    r.repetitionNo = u % 7 + 1;
    r.interval = u % 40 + 1;
    r.previousInterval = u % 20;
    r.factor = 1.0 + (u % 20) / 10.0;
    r.kindMarks[static_cast<std::size_t>(u % 18)] = static_cast<std::uint8_t>(u % 3);
    return r;
}

struct Learner {
    TempDir dir;
    AppPaths paths;
    Settings settings;
    RepetitionStore store;
    FixedClock clock{DayNumber(2024, 5, 1) + (14 * 3600 + 3 * 60 + 9) / 86400.0};

    Learner() {
        paths.programDir = dir.path();
        paths.userDir = dir.path() + "1/";
        paths.databaseCode = "ang";
        std::filesystem::create_directories(paths.userDir);
    }
    std::string File(std::string_view suffix) const {
        return paths.userDir + "ang" + std::string(suffix);
    }
    SaveRepetitionsResult SaveLive(const UnitTable& units) {
        return SaveLiveRepetitions(paths, units, store, settings, clock);
    }
    LoadRepetitionsResult LoadLive(const UnitTable& units) {
        return LoadRepetitions(paths, "ang.p", false, units, store, settings);
    }
};

// ---- Records and the repetition file ---------------------------------------------------------

TEST(RepetitionFile, RecordIsWrittenFieldByFieldLittleEndian) {
    RepetitionRecord r;
    r.unitId = 1003;
    r.firstDate = 45000;
    r.lastDate = 45002;
    r.repetitionNo = 2;
    r.interval = 3;
    r.previousInterval = 2;
    r.factor = 1.8;
    r.kindMarks[0] = 1;
    r.kindMarks[5] = 2;
    r.kindMarks[15] = 1;
    r.knownFlag = 1;
    const std::string expected = FromHex(
        "eb0300000000000000f9e5400000000040f9e540020000000300000002000000cdccccccccccfc3f"
        "010000000002000000000000000000010000010000000000");
    std::string bytes;
    EncodeRecord(r, bytes);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(DecodeRecord(expected.data()), r);
}

TEST(RepetitionFile, OnlyLearntUnitsAreWrittenInUnitOrderAndPlacedByIdOnLoad) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(7) = Learnt(7);
    l.store.record(3) = Learnt(3);
    l.store.chosenKinds[3][1] = true;
    l.store.record(3).kindMarks[0] = 2;
    const SaveRepetitionsResult saved = l.SaveLive(units);
    ASSERT_TRUE(saved.written) << saved.error;
    EXPECT_EQ(saved.count, 2);
    EXPECT_EQ(l.settings.savedRecordCount, 2);
    EXPECT_EQ(l.store.recordHighWater, 10);

    const std::string file = ReadBytes(l.File(".p"));
    ASSERT_EQ(file.size(), 128u);
    EXPECT_EQ(file.substr(0, 4), FromHex("eb030000"));     // 1003
    EXPECT_EQ(file.substr(64, 4), FromHex("ef030000"));    // 1007
    EXPECT_EQ(static_cast<unsigned char>(file[40]), 102);  // mark 2 of a chosen kind

    // Unit 7's id is gone from the database: unit 3 comes back, both records count.
    UnitTable without7 = Units(10);
    without7.SetUnitId(7, 5007);
    Learner other;
    WriteBytes(other.File(".p"), file);
    other.store.chosenKinds[3][2] = true;  // cleared by the load: the file does not choose it
    const LoadRepetitionsResult loaded = other.LoadLive(without7);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.counts.read, 2);
    EXPECT_EQ(loaded.counts.orphaned, 1);
    EXPECT_EQ(other.store.recordHighWater, 3);
    RepetitionRecord expected3 = Learnt(3);
    expected3.kindMarks[0] = 2;
    EXPECT_EQ(other.store.record(3), expected3);
    EXPECT_TRUE(other.store.chosenKinds[3][1]);
    EXPECT_FALSE(other.store.chosenKinds[3][2]);
    EXPECT_EQ(other.store.record(7).unitId, 0);

    // The record of the missing unit is not lost: it is written back and returns with its unit.
    ASSERT_TRUE(other.SaveLive(without7).written);
    EXPECT_EQ(ReadBytes(other.File(".p")), file);
    Learner again;
    WriteBytes(again.File(".p"), file);
    again.LoadLive(units);
    EXPECT_EQ(again.store.record(7), Learnt(7));
}

TEST(RepetitionFile, LoadAndSaveRoundTripByteForByte) {
    Learner l;
    UnitTable units = Units(3000);
    std::mt19937 random(7);
    std::string file;
    for (int u = 1; u <= 3000; ++u) {
        if (random() % 3 == 0) {
            continue;
        }
        RepetitionRecord r = Learnt(u);
        for (std::uint8_t& mark : r.kindMarks) {
            mark = static_cast<std::uint8_t>(random() % 3 + (random() % 2 ? 100 : 0));
        }
        r.knownFlag = static_cast<std::uint8_t>(random() % 2);
        r.inTrash = static_cast<std::uint8_t>(random() % 2);
        r.reserved = {static_cast<std::uint8_t>(random() % 2), 0, 0, 9};
        EncodeRecord(r, file);
    }
    WriteBytes(l.File(".p"), file);
    const LoadRepetitionsResult loaded = l.LoadLive(units);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(static_cast<std::size_t>(loaded.counts.read) * 64, file.size());
    ASSERT_TRUE(l.SaveLive(units).written);
    EXPECT_EQ(ReadBytes(l.File(".p")), file);
}

TEST(RepetitionFile, LoadKeepsTheOtherFieldsOfRecordsNotInTheFile) {
    Learner l;
    UnitTable units = Units(5);
    l.store.record(2) = Learnt(2);
    l.store.record(2).knownFlag = 1;
    l.LoadLive(units);  // no file
    const RepetitionRecord& r = l.store.record(2);
    EXPECT_EQ(r.unitId, 0);
    EXPECT_EQ(r.lastDate, 0);
    EXPECT_EQ(r.repetitionNo, 0);
    EXPECT_EQ(r.interval, 0);
    EXPECT_EQ(r.firstDate, Learnt(2).firstDate);
    EXPECT_EQ(r.factor, Learnt(2).factor);
    EXPECT_EQ(r.knownFlag, 1);
}

TEST(RepetitionFile, RecordCountAgainstTheSettings) {
    struct Case {
        const char* what;
        int records;     // whole records in the file; -1: no file
        int cutBytes;    // bytes of a last, incomplete record
        int savedCount;  // in the settings before loading
        LoadStatus status;
        int countAfter;
    };
    const Case cases[] = {
        {"no file, nothing saved yet", -1, 0, 0, LoadStatus::Loaded, 0},
        {"no file although records were saved", -1, 0, 4, LoadStatus::Damaged, 4},
        {"as many as saved", 4, 0, 4, LoadStatus::Loaded, 4},
        {"more than saved raises the count", 6, 0, 4, LoadStatus::Loaded, 6},
        {"fewer than saved keeps the count", 3, 0, 4, LoadStatus::Damaged, 4},
        {"a cut last record", 4, 10, 4, LoadStatus::Damaged, 4},
        {"a cut record even without a saved count", 2, 63, 0, LoadStatus::Damaged, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Learner l;
        UnitTable units = Units(10);
        if (c.records >= 0) {
            std::string file;
            for (int u = 1; u <= c.records; ++u) {
                EncodeRecord(Learnt(u), file);
            }
            file.append(static_cast<std::size_t>(c.cutBytes), '\x07');
            WriteBytes(l.File(".p"), file);
        }
        l.settings.savedRecordCount = c.savedCount;
        const LoadRepetitionsResult r = l.LoadLive(units);
        const int n = std::max(c.records, 0);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.counts.read, n);
        EXPECT_EQ(l.settings.savedRecordCount, c.countAfter);
        EXPECT_EQ(l.store.recordHighWater, n);
        if (c.status == LoadStatus::Damaged) {
            EXPECT_EQ(r.message, "Wczytano informacje o " + std::to_string(n) +
                                     " powtórkach. Uszkodzone pliki można odtworzyć funkcją "
                                     "Ustawienia/Wczytaj powtórki z kopii.");
        } else {
            EXPECT_EQ(r.message, "");
        }
    }
}

TEST(RepetitionFile, DuplicateAndUnlearntRecordsInAFile) {
    Learner l;
    UnitTable units = Units(5);
    std::string file;
    RepetitionRecord first = Learnt(2);
    RepetitionRecord second = Learnt(2);
    second.interval = 99;
    RepetitionRecord empty;
    EncodeRecord(first, file);
    EncodeRecord(empty, file);
    EncodeRecord(second, file);
    WriteBytes(l.File(".p"), file);
    const LoadRepetitionsResult r = l.LoadLive(units);
    EXPECT_EQ(r.counts.read, 3);
    EXPECT_EQ(r.counts.replaced, 1);
    EXPECT_EQ(r.counts.notLearnt, 1);
    EXPECT_EQ(l.store.record(2).interval, 99);  // the later record wins
}

TEST(RepetitionFile, AnyBytesLoadAndSaveToAStoreThatLoadsTheSame) {
    UnitTable units = Units(50);
    std::mt19937 random(3);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        // Records with ids around those of the units (some unknown, some not learnt) and any
        // other bytes, then possibly a cut record.
        std::string bytes;
        const int records = static_cast<int>(random() % 12);
        for (int i = 0; i < records; ++i) {
            std::string record(64, '\0');
            for (char& c : record) {
                c = static_cast<char>(random());
            }
            const std::int32_t id = static_cast<std::int32_t>(random() % 80) + 990;
            std::memcpy(record.data(), &id, 4);  // the test runs on a little-endian machine
            bytes += record;
        }
        bytes.append(random() % 64, '\x55');

        RepetitionStore first;
        const RepetitionParseCounts counts = ParseRepetitionFile(bytes, units, first);
        EXPECT_EQ(counts.read, records);
        EXPECT_EQ(counts.cutBytes, bytes.size() % 64);
        EXPECT_LE(first.recordHighWater, 50);
        int written = 0;
        const std::string saved = FormatRepetitionFile(first, units.unitCount(), &written);
        RepetitionStore second;
        ParseRepetitionFile(saved, units, second);
        for (int u = 1; u <= 50; ++u) {
            EXPECT_EQ(second.record(u), first.record(u)) << u;
            if (first.record(u).unitId > 0) {
                EXPECT_EQ(second.chosenKinds[u], first.chosenKinds[u]) << u;
            }
        }
        EXPECT_EQ(second.orphans, first.orphans);
    }
}

// ---- Copies ----------------------------------------------------------------------------------

TEST(RepetitionCopies, CopyListLinesAreWrittenAndReadAsTheProgramWritesThem) {
    Learner l;
    UnitTable units = Units(10);
    WriteBytes(l.File(".pi"), CrLf({"ang.pk=2024-04-20 08:00:01=5= 3= ", " hand made line ",
                                    "ang.p=2024-04-19 10:00:00=1= 2= "}));
    l.store.record(1) = Learnt(1);
    l.store.record(4) = Learnt(4);
    l.settings.startCounter = 12;
    ASSERT_TRUE(l.SaveLive(units).listWritten);
    // The line of the file saved is brought up to date; the other lines stay as they were.
    EXPECT_EQ(ReadBytes(l.File(".pi")),
              CrLf({"ang.pk=2024-04-20 08:00:01=5= 3= ", " hand made line ",
                    "ang.p=2024-05-01 14:03:09=2= 12= "}));
    ASSERT_TRUE(SaveRepetitions(l.paths, "ang.p5", units, l.store, l.settings, l.clock).written);
    EXPECT_EQ(ReadBytes(l.File(".pi")),
              CrLf({"ang.pk=2024-04-20 08:00:01=5= 3= ", " hand made line ",
                    "ang.p=2024-05-01 14:03:09=2= 12= ", "ang.p5=2024-05-01 14:03:09=2= 12= "}));

    const auto list = ListRepetitionCopies(l.paths);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0],
              std::make_pair(std::string("ang.pk"), std::string("2024-04-20 08:00:01  (5:3)")));
    EXPECT_EQ(list[1].first, "hand made line");
    EXPECT_EQ(list[3].second, "2024-05-01 14:03:09  (2:12)");
}

TEST(RepetitionCopies, CopyListFieldsAreCutAtTheFirstFourEqualSigns) {
    struct Case {
        std::string_view line;
        std::string_view name, dateTime;
        std::int32_t count, counter;
    };
    const Case cases[] = {
        {"a.p=2024-01-02 03:04:05=17= 4= ", "a.p", "2024-01-02 03:04:05", 17, 4},
        {"a.p=d=17= 4", "a.p", "d", 17, 4},  // three "=": the fourth field runs to the end
        {" a.p = d = 17 = 4 = extra = more", "a.p", "d", 17, 4},
        {"a.p=d=x= 4= ", "a.p", "d", 0, 4},  // not a number reads as 0
        {"a.p=d", "a.p", "d", 0, 0},
        {"", "", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<CopyListEntry> entries = ParseCopyList(std::string(c.line) + "\r\n");
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].name, c.name);
        EXPECT_EQ(entries[0].dateTime, c.dateTime);
        EXPECT_EQ(entries[0].recordCount, c.count);
        EXPECT_EQ(entries[0].loginCounter, c.counter);
    }
}

TEST(RepetitionCopies, EveryFifthLoginRotatesTheBackups) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(2) = Learnt(2);
    l.store.recordHighWater = 10;
    WriteBytes(l.File(".p5"), "five");
    WriteBytes(l.File(".p10"), "ten");
    WriteBytes(l.File(".p15"), "fifteen");
    WriteBytes(l.File(".pi"),
               CrLf({"ang.p=2024-04-01 10:00:00=1= 9= ", "ang.pk=2024-04-01 10:00:00=1= 9= ",
                     "ang.p15=2024-03-01 10:00:00=1= 0= ", "ang.p10=2024-03-11 10:00:00=1= 5= ",
                     "ang.p5=2024-03-21 10:00:00=1= 5= "}));
    l.settings.startCounter = 10;
    const SaveRepetitionsResult r =
        MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock);
    ASSERT_TRUE(r.written && r.listWritten) << r.error;
    EXPECT_EQ(ReadBytes(l.File(".p15")), "ten");
    EXPECT_EQ(ReadBytes(l.File(".p10")), "five");
    std::string expected;
    EncodeRecord(Learnt(2), expected);
    EXPECT_EQ(ReadBytes(l.File(".p5")), expected);
    EXPECT_FALSE(std::filesystem::exists(l.File(".pk")));
    EXPECT_EQ(ReadBytes(l.File(".pi")),
              CrLf({"ang.p=2024-04-01 10:00:00=1= 9= ", "ang.pk=2024-04-01 10:00:00=1= 9= ",
                    "ang.p15=2024-03-11 10:00:00=1= 5= ", "ang.p10=2024-03-21 10:00:00=1= 5= ",
                    "ang.p5=2024-05-01 14:03:09=1= 10= "}));

    // Any other login writes the end backup only.
    l.settings.startCounter = 11;
    ASSERT_TRUE(MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock).written);
    EXPECT_EQ(ReadBytes(l.File(".pk")), expected);
    EXPECT_EQ(ReadBytes(l.File(".p15")), "ten");
    EXPECT_EQ(ReadBytes(l.File(".p10")), "five");

    // Nothing learnt yet: no backup at all.
    Learner empty;
    empty.settings.startCounter = 3;
    EXPECT_FALSE(
        MakeRepetitionBackup(empty.paths, units, empty.store, empty.settings, empty.clock).written);
    EXPECT_FALSE(std::filesystem::exists(empty.File(".pk")));
}

// A live file found damaged leaves every backup as it is at the end of the program, and the
// newest backup that loads whole is offered for restoring.
TEST(RepetitionCopies, ADamagedLiveFileNeverOverwritesAGoodBackup) {
    UnitTable units = Units(10);
    std::string good;
    for (int u = 1; u <= 5; ++u) {
        EncodeRecord(Learnt(u), good);
    }
    std::string blankRecord;
    EncodeRecord(RepetitionRecord{}, blankRecord);
    std::string nanDates;
    RepetitionRecord odd = Learnt(3);
    odd.lastDate = std::nan("");
    EncodeRecord(Learnt(1), nanDates);
    EncodeRecord(odd, nanDates);
    std::string overCapacity;
    for (int i = 0; i <= kMaxUnits; ++i) {
        EncodeRecord(Learnt(1 + i % 10), overCapacity);
    }
    std::mt19937 random(7);
    std::string garbage(64 * 40, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    const struct {
        const char* what;
        std::string live;
        int placed;  // records kept in the store
    } cases[] = {
        {"cut by 40 bytes", good.substr(0, good.size() - 40), 4},
        {"all zero bytes of the right size", std::string(good.size(), '\0'), 0},
        {"a blank record between learnt ones", good.substr(0, 128) + blankRecord, 2},
        {"dates that are no day numbers", nanDates, 2},
        {"random bytes", garbage, -1},
        {"more records than units can be", overCapacity, kMaxUnits},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Learner l;
        l.settings.savedRecordCount = 5;
        l.settings.startCounter = 11;
        WriteBytes(l.File(".p"), c.live);
        WriteBytes(l.File(".pk"), good);
        WriteBytes(l.File(".pi"), CrLf({"ang.pk=2024-04-30 18:00:00=5= 10= "}));
        const LoadRepetitionsResult r = l.LoadLive(units);
        EXPECT_EQ(r.status, LoadStatus::Damaged);
        EXPECT_TRUE(l.store.damaged);
        if (c.placed >= 0) {
            EXPECT_EQ(r.counts.placed, c.placed);
        }
        EXPECT_LE(r.counts.read, kMaxUnits);

        const std::optional<RepetitionCopyOffer> offer = NewestGoodRepetitionCopy(l.paths, units);
        ASSERT_TRUE(offer.has_value());
        EXPECT_EQ(offer->name, "ang.pk");
        EXPECT_EQ(offer->dateTime, "2024-04-30 18:00:00");
        EXPECT_EQ(RestoreOfferQuestion(offer->dateTime),
                  "Wczytać powtórki z kopii z 2024-04-30 18:00:00?");

        // The close of the program: no backup written, moved or listed.
        l.store.recordHighWater = 10;
        EXPECT_FALSE(MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock).written);
        l.settings.startCounter = 15;
        WriteBytes(l.File(".p5"), good);
        EXPECT_FALSE(MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock).written);
        EXPECT_EQ(ReadBytes(l.File(".pk")), good);
        EXPECT_EQ(ReadBytes(l.File(".p5")), good);
        EXPECT_FALSE(std::filesystem::exists(l.File(".p10")));
        EXPECT_EQ(ReadBytes(l.File(".pi")), CrLf({"ang.pk=2024-04-30 18:00:00=5= 10= "}));

        // Restoring the copy ends the damage: the next close writes its backup again.
        const RestoreCopyResult restored =
            RestoreRepetitionCopy(l.paths, offer->name, units, l.store, l.settings, l.clock);
        EXPECT_EQ(restored.load.message, "Wczytano informacje o 5 powtórkach.");
        EXPECT_FALSE(l.store.damaged);
        EXPECT_EQ(ReadBytes(l.File(".p")), good);
        EXPECT_TRUE(MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock).written);
    }
}

TEST(RepetitionCopies, TheNewestBackupThatLoadsWholeIsOffered) {
    Learner l;
    UnitTable units = Units(10);
    std::string four;
    std::string five;
    for (int u = 1; u <= 5; ++u) {
        EncodeRecord(Learnt(u), five);
    }
    four = five.substr(0, 4 * 64);
    const auto age = [&](std::string_view suffix, int hours) {
        std::filesystem::last_write_time(
            l.File(suffix),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(hours));
    };
    WriteBytes(l.File(".p15"), five);
    WriteBytes(l.File(".p10"), four);                   // fewer than the list says were written
    WriteBytes(l.File(".p5"), five + "cut");            // a cut record
    WriteBytes(l.File(".pk"), std::string(128, '\0'));  // blank records
    age(".p15", 40);
    age(".p10", 30);
    age(".p5", 20);
    age(".pk", 10);
    WriteBytes(l.File(".pi"), CrLf({"ang.p10=2024-04-20 10:00:00=5= 10= "}));
    std::optional<RepetitionCopyOffer> offer = NewestGoodRepetitionCopy(l.paths, units);
    ASSERT_TRUE(offer.has_value());
    EXPECT_EQ(offer->name, "ang.p15");
    // Not in the copy list: the file's own time.
    EXPECT_EQ(offer->dateTime.size(), std::string("2024-04-20 10:00:00").size());

    std::filesystem::remove(l.File(".p15"));
    EXPECT_FALSE(NewestGoodRepetitionCopy(l.paths, units).has_value());
}

TEST(RepetitionCopies, RestoringACopyReportsItsCountAndSavesItAsTheLiveFile) {
    Learner l;
    UnitTable units = Units(10);
    std::string copy;
    EncodeRecord(Learnt(1), copy);
    EncodeRecord(Learnt(5), copy);
    WriteBytes(l.File(".pk"), copy);
    l.settings.savedRecordCount = 7;  // more than the copy holds: still no damage message
    const RestoreCopyResult r =
        RestoreRepetitionCopy(l.paths, "ang.pk", units, l.store, l.settings, l.clock);
    EXPECT_EQ(r.load.status, LoadStatus::Loaded);
    EXPECT_EQ(r.load.message, "Wczytano informacje o 2 powtórkach.");
    EXPECT_TRUE(r.save.written);
    EXPECT_EQ(ReadBytes(l.File(".p")), copy);
    EXPECT_EQ(l.settings.savedRecordCount, 2);
}

TEST(RepetitionCopies, ACopyThatIsNotThereChangesNothing) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(3) = Learnt(3);
    ASSERT_TRUE(l.SaveLive(units).written);
    const std::string live = ReadBytes(l.File(".p"));
    for (const std::string_view name : {"ang.p10", "../1/ang.p", "sub/ang.p", ""}) {
        SCOPED_TRACE(name);
        const RestoreCopyResult r =
            RestoreRepetitionCopy(l.paths, name, units, l.store, l.settings, l.clock);
        EXPECT_EQ(r.load.status, LoadStatus::CopyMissing);
        EXPECT_FALSE(r.save.written);
        EXPECT_EQ(l.store.record(3), Learnt(3));
        EXPECT_EQ(ReadBytes(l.File(".p")), live);
    }
}

TEST(RepetitionCopies, DeletingAllLeavesNothingLearnt) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(3) = Learnt(3);
    l.store.orphans.push_back(Learnt(40));
    DeleteAllRepetitions(l.store);
    ASSERT_TRUE(l.SaveLive(units).written);
    EXPECT_EQ(ReadBytes(l.File(".p")), "");
    EXPECT_EQ(l.settings.savedRecordCount, 0);
}

// ---- Nothing is lost when a save fails -------------------------------------------------------

class FailedSave : public ::testing::Test {
  protected:
    void TearDown() override { SetWriteFault({}); }
    static void SetWriteFault(WriteFault fault) { SetWriteFaultForTesting(fault); }
};

TEST_F(FailedSave, AFullDiskLeavesThePreviousFilesWhole) {
    UnitTable units = Units(100);
    for (const std::size_t after :
         {std::size_t{0}, std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{1000},
          std::size_t{2559}, std::size_t{2560}, std::size_t{100000}}) {
        SCOPED_TRACE(after);
        Learner l;
        for (int u = 1; u <= 40; ++u) {
            l.store.record(u) = Learnt(u);
        }
        ASSERT_TRUE(l.SaveLive(units).written);
        const std::string live = ReadBytes(l.File(".p"));
        const std::string list = ReadBytes(l.File(".pi"));
        ASSERT_EQ(live.size(), 2560u);

        for (int u = 41; u <= 60; ++u) {
            l.store.record(u) = Learnt(u);
        }
        SetWriteFault({WriteFault::Kind::Fail, after});
        const SaveRepetitionsResult r = l.SaveLive(units);
        SetWriteFault({});
        EXPECT_FALSE(r.written);
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(l.settings.savedRecordCount, 40);
        EXPECT_EQ(ReadBytes(l.File(".p")), live);
        EXPECT_EQ(ReadBytes(l.File(".pi")), list);

        Learner next;
        WriteBytes(next.File(".p"), ReadBytes(l.File(".p")));
        next.settings.savedRecordCount = l.settings.savedRecordCount;
        const LoadRepetitionsResult loaded = next.LoadLive(units);
        EXPECT_EQ(loaded.status, LoadStatus::Loaded);
        EXPECT_EQ(loaded.counts.read, 40);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(l.paths.userDir),
                                std::filesystem::directory_iterator{}),
                  2);  // no temporary file left behind
    }
}

TEST_F(FailedSave, AProcessKilledWhileSavingLeavesThePreviousFilesWhole) {
    UnitTable units = Units(100);
    for (const std::size_t after : {std::size_t{0}, std::size_t{64}, std::size_t{1500},
                                    std::size_t{3839}, std::size_t{3840}}) {
        SCOPED_TRACE(after);
        Learner l;
        for (int u = 1; u <= 40; ++u) {
            l.store.record(u) = Learnt(u);
        }
        ASSERT_TRUE(l.SaveLive(units).written);
        const std::string live = ReadBytes(l.File(".p"));
        const std::string list = ReadBytes(l.File(".pi"));

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int u = 41; u <= 60; ++u) {
                l.store.record(u) = Learnt(u);
            }
            SetWriteFaultForTesting({WriteFault::Kind::Kill, after});
            l.SaveLive(units);
            ::_exit(0);  // not reached: the save kills the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_EQ(ReadBytes(l.File(".p")), live);
        EXPECT_EQ(ReadBytes(l.File(".pi")), list);

        Learner next;
        WriteBytes(next.File(".p"), live);
        next.settings.savedRecordCount = 40;
        EXPECT_EQ(next.LoadLive(units).status, LoadStatus::Loaded);
        EXPECT_EQ(next.store.record(40), Learnt(40));
    }
}

TEST_F(FailedSave, AFailedBackupLosesNoEarlierCopy) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(2) = Learnt(2);
    l.store.recordHighWater = 10;
    WriteBytes(l.File(".p5"), "five");
    WriteBytes(l.File(".p10"), "ten");
    l.settings.startCounter = 5;
    SetWriteFault({WriteFault::Kind::Fail, 10});
    const SaveRepetitionsResult r =
        MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock);
    SetWriteFault({});
    EXPECT_FALSE(r.written);
    EXPECT_EQ(ReadBytes(l.File(".p15")), "ten");
    EXPECT_EQ(ReadBytes(l.File(".p10")), "five");
}

TEST_F(FailedSave, ABackupThatCannotMoveIsNotWrittenOver) {
    Learner l;
    UnitTable units = Units(10);
    l.store.record(2) = Learnt(2);
    l.store.recordHighWater = 10;
    WriteBytes(l.File(".p5"), "five");
    WriteBytes(l.File(".p10"), "ten");
    WriteBytes(l.File(".p15/blocked"), "");  // a folder in the way: ".p10" cannot move
    l.settings.startCounter = 15;
    const SaveRepetitionsResult r =
        MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(ReadBytes(l.File(".p10")), "ten");
    EXPECT_EQ(ReadBytes(l.File(".p5")), "five");
    std::string expected;
    EncodeRecord(Learnt(2), expected);
    EXPECT_EQ(ReadBytes(l.File(".pk")), expected);
    EXPECT_EQ(ReadBytes(l.File(".pi")), CrLf({"ang.pk=2024-05-01 14:03:09=1= 15= "}));
}

TEST(RepetitionFile, AnUnreadableLiveFileIsNeverWrittenOver) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads any file";
    }
    Learner l;
    UnitTable units = Units(10);
    std::string file;
    EncodeRecord(Learnt(1), file);
    WriteBytes(l.File(".p"), file);
    ::chmod(l.File(".p").c_str(), 0);
    const LoadRepetitionsResult r = l.LoadLive(units);
    EXPECT_EQ(r.status, LoadStatus::Unreadable);
    EXPECT_FALSE(r.message.empty());
    l.store.record(2) = Learnt(2);
    EXPECT_FALSE(l.SaveLive(units).written);
    l.settings.startCounter = 4;
    EXPECT_FALSE(MakeRepetitionBackup(l.paths, units, l.store, l.settings, l.clock).written);
    ::chmod(l.File(".p").c_str(), 0644);
    EXPECT_EQ(ReadBytes(l.File(".p")), file);
}

// ---- Record operations -----------------------------------------------------------------------

TEST(RecordOperations, EachChangesOnlyItsFields) {
    RepetitionStore store;
    const RepetitionRecord before = Learnt(4);
    store.record(4) = before;

    TrashUnit(store, 4);
    RepetitionRecord expected = before;
    expected.inTrash = 1;
    EXPECT_EQ(store.record(4), expected);

    RestoreFromTrash(store, 4);
    EXPECT_EQ(store.record(4), before);

    ResetRepetitions(store, 4);
    expected = before;
    expected.unitId = 0;
    expected.lastDate = 0;
    expected.repetitionNo = 0;
    expected.interval = 0;
    EXPECT_EQ(store.record(4), expected);

    store.record(9) = Learnt(9);
    store.record(kMaxUnits) = Learnt(kMaxUnits);
    ResetAllRepetitions(store);
    EXPECT_EQ(store.record(9).unitId, 0);
    EXPECT_EQ(store.record(kMaxUnits).unitId, 0);
    EXPECT_EQ(store.record(9).factor, Learnt(9).factor);
}

}  // namespace
}  // namespace dyd
