// Reading a login ahead: what was read is taken only while every file it looked at is as it was,
// so a login never opens a course or a learner's records older than the files.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/codepage.h"
#include "core/datetime.h"
#include "core/file_stamps.h"
#include "core/files.h"
#include "core/login.h"
#include "core/scheduling.h"
#include "support.h"

namespace dyd {
namespace {

using test::TempDir;
using test::WriteBytes;

AppPaths ProgramPaths(const TempDir& dir) {
    AppPaths paths;
    paths.programDir = dir.path();
    paths.languageDir = std::string(kLanguageDir);
    return paths;
}

// Learner 1 of the small course after a first session: his history, settings and one record.
void FirstSession(const TempDir& dir, const Clock& clock) {
    test::CopyFixture("mini", dir.path());
    LearnerSession first;
    ASSERT_EQ(Login(ProgramPaths(dir), "angtest", 1, "Anna", clock, first).status,
              LoginStatus::Opened);
    RepetitionRecord& dog = first.repetitions.record(1);
    dog.unitId = 28656;
    dog.firstDate = clock.Today() - 3;
    dog.lastDate = clock.Today() - 3;
    dog.interval = 2;
    dog.factor = 2.5;
    ASSERT_TRUE(
        SaveLiveRepetitions(first.paths, first.db.units, first.repetitions, first.settings, clock)
            .written);
    ASSERT_TRUE(SaveSettings(first.paths, first.settings, first.db).ok());
}

struct Opened {
    LoginResult result;
    int units = 0;
    int due = 0;
    int history = 0;
    int savedRecords = 0;
    std::string comment;
};

Opened Open(const TempDir& dir, const Clock& clock, LoginReadAhead* ahead) {
    LearnerSession session;
    Opened opened;
    opened.result = Login(ProgramPaths(dir), "angtest", 1, "Anna", clock, session, {}, ahead);
    opened.units = session.db.units.unitCount();
    opened.due = CollectDueUnits(session.repetitions, clock.Today()).total;
    opened.history = session.history.count();
    opened.savedRecords = session.settings.savedRecordCount;
    opened.comment = ToUtf8(session.db.units.unit(1).userComment, CodePage::Cp1250);
    return opened;
}

class LoginReadAheadTest : public ::testing::Test {
  protected:
    // Files written by the test are seconds old at most: the racy rule would refuse every
    // reading, which one test below checks on its own.
    void SetUp() override { SetRacyWindowsForTesting(0, 0); }
    void TearDown() override { ResetRacyWindowsForTesting(); }
};

TEST_F(LoginReadAheadTest, AReadingIsTakenOnlyWhileItsFilesAreAsTheyWere) {
    const FixedClock clock(DayNumber(2026, 12, 10));
    struct Case {
        const char* what;
        std::function<void(const std::string& dir)> change;
        bool taken;
        std::function<void(const Opened&)> check;
    };
    const std::vector<Case> cases = {
        {"nothing changes", [](const std::string&) {}, true,
         [](const Opened& o) {
             EXPECT_EQ(o.units, 15);
             EXPECT_EQ(o.due, 1);
             EXPECT_EQ(o.savedRecords, 1);
             EXPECT_EQ(o.comment, "Mój komentarz =1");
         }},
        {"a course line is added",
         [](const std::string& dir) {
             const std::string base = dir + "db/angtest/b_sba_50.txt";
             WriteBytes(base, test::ReadBytes(base) +
                                  "01 499001 21 owl = sowa = = = = 99001 = = = n = =\r\n");
         },
         false, [](const Opened& o) { EXPECT_EQ(o.units, 16); }},
        {"the learner's records are emptied",
         [](const std::string& dir) { WriteBytes(dir + "1/angtest.p", ""); }, false,
         [](const Opened& o) {
             EXPECT_EQ(o.due, 0);
             EXPECT_FALSE(o.result.messages.empty());
         }},
        {"his comments change",
         [](const std::string& dir) {
             WriteBytes(dir + "1/angtestkom.txt",
                        *FromUtf8("28656=Nowy, dłuższy komentarz=0=\r\n", CodePage::Cp1250));
         },
         false, [](const Opened& o) { EXPECT_EQ(o.comment, "Nowy, dłuższy komentarz"); }},
        {"the course's own menu picture appears",
         [](const std::string& dir) { WriteBytes(dir + "db/angtest/menu_slow.bmp", "BM"); }, false,
         [](const Opened& o) { EXPECT_TRUE(o.result.menuPicture); }},
        {"his settings are removed",
         [](const std::string& dir) {
             for (const auto& entry : std::filesystem::directory_iterator(dir + "1")) {
                 if (entry.path().extension() == ".ustaw") {
                     std::filesystem::remove(entry.path());
                 }
             }
         },
         false, [](const Opened& o) { EXPECT_EQ(o.savedRecords, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        FirstSession(dir, clock);
        LoginReadAhead forTake;
        LoginReadAhead ahead;
        forTake.Start(ProgramPaths(dir), " angtest ", 1);
        ahead.Start(ProgramPaths(dir), "angtest", 1);
        forTake.Wait();
        ahead.Wait();
        c.change(dir.path());
        EXPECT_EQ(forTake.Take(ProgramPaths(dir), "angtest", 1) != nullptr, c.taken);
        const Opened opened = Open(dir, clock, &ahead);
        ASSERT_EQ(opened.result.status, LoginStatus::Opened);
        c.check(opened);
        // The same login without reading ahead opens the same.
        const Opened plain = Open(dir, clock, nullptr);
        EXPECT_EQ(opened.units, plain.units);
        EXPECT_EQ(opened.due, plain.due);
        EXPECT_EQ(opened.history, plain.history);
        EXPECT_EQ(opened.comment, plain.comment);
        EXPECT_EQ(opened.result.messages, plain.result.messages);
        EXPECT_EQ(opened.result.menuPicture, plain.result.menuPicture);
    }
}

TEST_F(LoginReadAheadTest, AReadingForAnotherChoiceIsNeverTaken) {
    const FixedClock clock(DayNumber(2026, 12, 10));
    TempDir dir;
    FirstSession(dir, clock);
    LoginReadAhead ahead;
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    EXPECT_EQ(ahead.Take(ProgramPaths(dir), "angtest", 2), nullptr);
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    EXPECT_EQ(ahead.Take(ProgramPaths(dir), "rostest", 1), nullptr);
    // A new choice drops the reading for the one before.
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    ahead.Start(ProgramPaths(dir), "angtest", 2);
    EXPECT_EQ(ahead.Take(ProgramPaths(dir), "angtest", 1), nullptr);
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    const std::unique_ptr<LoginReading> reading = ahead.Take(ProgramPaths(dir), "angtest", 1);
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->db.units.unitCount(), 15);
    // Taken once: a second login reads for itself.
    EXPECT_EQ(ahead.Take(ProgramPaths(dir), "angtest", 1), nullptr);
}

// Files written moments ago may change again within one tick of the file times: such a reading
// is refused. (The windows are widened here so that a slow machine still reads within them.)
TEST(LoginReadAhead, FilesChangedMomentsAgoAreNotTrusted) {
    const FixedClock clock(DayNumber(2026, 12, 10));
    TempDir dir;
    FirstSession(dir, clock);
    SetRacyWindowsForTesting(600'000'000'000, 600'000'000'000);
    LoginReadAhead ahead;
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    EXPECT_EQ(ahead.Take(ProgramPaths(dir), "angtest", 1), nullptr);
    // Past the windows the same files are trusted.
    SetRacyWindowsForTesting(0, 0);
    ahead.Start(ProgramPaths(dir), "angtest", 1);
    EXPECT_NE(ahead.Take(ProgramPaths(dir), "angtest", 1), nullptr);
    ResetRacyWindowsForTesting();
}

}  // namespace
}  // namespace dyd
