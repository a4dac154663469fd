// The full installation of the generator (--full): a course filled to capacity beside the sample
// courses and a learner with repetitions and a full history, read back by the program's readers.
// The sources are the small course of the generator's tests, so that few recordings are spoken.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/codepage.h"
#include "core/database.h"
#include "core/datetime.h"
#include "core/history.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/settings.h"
#include "core/users.h"
#include "support.h"

namespace dyd {
namespace {

namespace fs = std::filesystem;
using test::Fixture;
using test::ReadBytes;
using test::RunProgram;
using test::TempDir;

constexpr const char* kToday = "2026-03-02";

test::ProgramRun GenerateFull(const std::string& install, const std::string& units = {}) {
    std::vector<std::string> command = {DYD_SAMPLEGEN, "--full", "--today", kToday};
    if (!units.empty()) {
        command.insert(command.end(), {"--units", units});
    }
    command.insert(command.end(), {Fixture("samplegen/src"), install});
    return RunProgram(command);
}

AppPaths PathsOf(const std::string& install, int learner) {
    AppPaths paths;
    paths.programDir = install;
    paths.languageDir = std::string(kLanguageDir);
    paths.databaseCode = "pelny";
    paths.databaseDir = install + "db/pelny/";
    paths.userDir = UserDirOf(install, learner);
    return paths;
}

// Units per file the database read them from.
std::map<std::string, int> UnitsPerFile(const LoadLog& log) {
    std::map<std::string, int> counts;
    for (const UnitOrigin& origin : log.origins) {
        ++counts[fs::path(log.files[static_cast<std::size_t>(origin.file)]).filename().string()];
    }
    return counts;
}

int RecordingFiles(const std::string& databaseDir) {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(databaseDir + "nagrania")) {
        count += entry.is_regular_file() && entry.path().filename() != "p.txt" ? 1 : 0;
    }
    return count;
}

struct Installation {
    TempDir dir;
    test::ProgramRun run;
    Installation() { run = GenerateFull(dir.path()); }
};

const Installation& Full() {
    static const Installation* made = new Installation;
    return *made;
}

TEST(FullInstallation, CourseHoldsTheFullCapacityOverEveryBaseFile) {
    const Installation& full = Full();
    ASSERT_EQ(full.run.status, 0) << full.run.out << full.run.err;
    AppPaths paths = PathsOf(full.dir.path(), 1);
    CourseDatabase db;
    LoadLog log;
    ASSERT_TRUE(LoadDatabaseParameters(paths, db, log));
    LoadDatabase(paths, db, log);
    EXPECT_TRUE(log.problems.empty()) << log.problems.front().message;
    EXPECT_TRUE(log.notices.empty());
    EXPECT_EQ(db.units.unitCount(), kMaxUnits);
    EXPECT_EQ(db.units.wordUnitCount, kMaxUnits - 5000);
    EXPECT_EQ(db.relations.size(), static_cast<std::size_t>(kMaxRelations));
    const std::map<std::string, int> files = UnitsPerFile(log);
    for (const char* name : {"b_sba_50.txt", "b_sb_50s.txt", "b_sb_50ss.txt", "b_zda_50.txt",
                             "b_sb_50z.txt", "b_sb_50zz.txt"}) {
        EXPECT_GT(files.contains(name) ? files.at(name) : 0, 500) << name;
    }
    // A new word that repeats a word of the sample has the very recording file of that word
    // (31001 repeats 10001); half of the new words have one.
    EXPECT_TRUE(fs::equivalent(paths.databaseDir + "nagrania/D_10/dd_100/10001.ogg",
                               paths.databaseDir + "nagrania/D_31/dd_310/31001.ogg"));
    EXPECT_GT(RecordingFiles(paths.databaseDir), 9000);

    const test::ProgramRun check = RunProgram({DYD_DBTOOL, "check", full.dir.path(), "pelny"});
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("Błędów: 0, ostrzeżeń: 0"), std::string::npos) << check.out;
}

TEST(FullInstallation, LearnerHasRepetitionsSomeDueTodayAndAFullHistory) {
    const Installation& full = Full();
    ASSERT_EQ(full.run.status, 0) << full.run.out << full.run.err;
    const UserList users = LoadUserList(full.dir.path());
    ASSERT_EQ(users.users.size(), 1u);
    EXPECT_EQ(ToUtf8(users.users[0].name, CodePage::Cp1250), "Pełny");
    AppPaths paths = PathsOf(full.dir.path(), users.users[0].number);

    CourseDatabase db;
    LoadLog log;
    ASSERT_TRUE(LoadDatabaseParameters(paths, db, log));
    LoadDatabase(paths, db, log);
    LoadedSettings settings = LoadSettings(paths);
    EXPECT_EQ(settings.file, paths.userDir + "pelny.ustaw");
    EXPECT_EQ(settings.settings.savedRecordCount, 20000);
    RepetitionStore store;
    const LoadRepetitionsResult loaded =
        LoadRepetitions(paths, "pelny.p", false, db.units, store, settings.settings);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.counts.read, 20000);
    EXPECT_EQ(loaded.counts.placed, 20000);
    const double today = *ParseDate(kToday);
    const DueUnits due = CollectDueUnits(store, today);
    EXPECT_GT(due.total, 100);
    EXPECT_LT(due.total, 2000);
    for (int n = 1; n <= db.units.unitCount(); ++n) {
        const RepetitionRecord& r = store.record(n);
        if (r.unitId != 0) {
            ASSERT_LE(r.firstDate, r.lastDate) << n;
            ASSERT_LE(r.lastDate, today) << n;
            ASSERT_GE(r.interval, 1) << n;
        }
    }

    ExerciseHistory history;
    EXPECT_EQ(LoadHistory(paths, history).state, HistoryFileState::Loaded);
    EXPECT_EQ(history.count(), kMaxHistoryRecords);
    int results = 0;
    for (const HistoryRecord& record : history.records) {
        results += record.catalogueEntry() ? 0 : 1;
        EXPECT_LT(record.when, today);
    }
    EXPECT_GT(results, 5000);

    const test::ProgramRun tool =
        RunProgram({DYD_DBTOOL, "due", full.dir.path(), "pelny", "Pełny", "--today", kToday});
    EXPECT_EQ(tool.status, 0) << tool.err;
    EXPECT_NE(tool.out.find("\"total\":" + std::to_string(due.total)), std::string::npos)
        << tool.out.substr(0, 200);
}

// A second run makes the learner's files anew for the same learner; a smaller size keeps the
// proportions of the full one.
TEST(FullInstallation, RunsAgainAtASmallerSizeForTheSameLearner) {
    TempDir dir;
    fs::copy(Full().dir.path(), dir.path(), fs::copy_options::recursive);
    const test::ProgramRun run = GenerateFull(dir.path(), "2500");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const UserList users = LoadUserList(dir.path());
    ASSERT_EQ(users.users.size(), 1u);
    AppPaths paths = PathsOf(dir.path(), users.users[0].number);
    CourseDatabase db;
    LoadLog log;
    ASSERT_TRUE(LoadDatabaseParameters(paths, db, log));
    LoadDatabase(paths, db, log);
    EXPECT_EQ(db.units.unitCount(), 2500);
    EXPECT_EQ(db.units.wordUnitCount, 2000);
    EXPECT_EQ(db.relations.size(), 2500u);
    LoadedSettings settings = LoadSettings(paths);
    RepetitionStore store;
    EXPECT_EQ(
        LoadRepetitions(paths, "pelny.p", false, db.units, store, settings.settings).counts.read,
        2000);
    ExerciseHistory history;
    LoadHistory(paths, history);
    EXPECT_EQ(history.count(), 700);
    // The recordings of the units that are gone went with them.
    EXPECT_LT(RecordingFiles(paths.databaseDir), 1500);

    const test::ProgramRun check = RunProgram({DYD_DBTOOL, "check", dir.path(), "pelny"});
    EXPECT_NE(check.out.find("Błędów: 0, ostrzeżeń: 0"), std::string::npos) << check.out;
}

TEST(FullInstallation, RefusesASizeOutOfRange) {
    TempDir dir;
    for (const char* units : {"0", "25001", "dużo"}) {
        const test::ProgramRun run = GenerateFull(dir.path() + "inst", units);
        EXPECT_EQ(run.status, 2) << units;
        EXPECT_NE(run.err.find("Użycie"), std::string::npos) << units;
    }
    EXPECT_FALSE(fs::exists(dir.path() + "inst"));
}

}  // namespace
}  // namespace dyd
