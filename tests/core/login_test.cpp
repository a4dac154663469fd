#include "core/login.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/codepage.h"
#include "core/datetime.h"
#include "core/files.h"
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

struct Step {
    std::string title;
    int position;
    bool operator==(const Step&) const = default;
};

TEST(Login, NewLearnerGetsFolderProfileAndShippedCatalogue) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    const FixedClock clock(DayNumber(2026, 12, 10) + 0.5);
    LearnerSession session;
    std::vector<Step> steps;
    const LoginResult result = Login(ProgramPaths(dir), "angtest", 3, "  Ewa ", clock, session,
                                     [&steps](std::string_view title, int position) {
                                         steps.push_back({std::string(title), position});
                                     });
    ASSERT_EQ(result.status, LoginStatus::Opened);
    EXPECT_TRUE(result.messages.empty()) << result.messages.front();
    EXPECT_EQ(session.userName, "Ewa");
    EXPECT_EQ(session.paths.userDir, dir.path() + "3/");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "3"));
    EXPECT_EQ(steps, (std::vector<Step>{{"Czytam...", 5},
                                        {"Czytam...", 7},
                                        {"Tworzę profil użytkownika ...", 9},
                                        {"Tworzę profil użytkownika ...", 11},
                                        {"Czytam...", 15}}));
    // The shipped sets are in the new learner's catalogue, and the file holds them.
    ASSERT_EQ(session.history.count(), 2);
    EXPECT_EQ(session.history.records[0].id, "101-1");
    EXPECT_EQ(session.history.records[1].kind, kSentenceSetCategory);
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "3/angtest"));
    // Units, search texts, packs and settings are in place; no repetitions yet.
    EXPECT_EQ(session.db.units.unitCount(), 15);
    EXPECT_EQ(session.db.units.unit(13).searchText, "the cat is black.");
    EXPECT_EQ(session.db.units.unit(1).userComment, "");  // learner 1's comments are not Ewa's
    EXPECT_FALSE(result.menuPicture);
    EXPECT_EQ(ToUtf8(result.menuLabel, CodePage::Cp1250), "Angielski próbny\n\rZespół Dydaktora");
    EXPECT_EQ(CollectDueUnits(session.repetitions, clock.Today()).total, 0);
}

// A disk that takes no file: the new learner is told once that his folder cannot be written and
// where, in Polish, instead of a message about a catalogue that was never saved.
TEST(Login, AFolderThatTakesNoFileIsSaidOnceWithWhereAndWhy) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    const FixedClock clock(DayNumber(2026, 12, 10) + 0.5);
    LearnerSession session;
    SetWriteFaultForTesting({WriteFault::Kind::Fail, 0});
    const LoginResult result = Login(ProgramPaths(dir), "angtest", 3, "Ewa", clock, session, {});
    SetWriteFaultForTesting({});
    ASSERT_EQ(result.status, LoginStatus::Opened);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0],
              "Nie można zapisać plików ucznia w folderze " + dir.path() +
                  "3/. Wyniki tej sesji nie zostaną zachowane. (" + dir.path() +
                  "3/angtest: brak miejsca na dysku (No space left on device))");
}

TEST(Login, DamagedCourseLinesAreSaidOnceWithTheCommandThatListsThem) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    const std::string base = dir.path() + "db/angtest/b_sba_50.txt";
    WriteBytes(base, test::ReadBytes(base) + "01 11xx01 21 zepsuty = zly = = = = = = = n = =\r\n" +
                         "01 11yy02 21 drugi = zly = = = = = = = n = =\r\n");
    const FixedClock clock(DayNumber(2026, 12, 10) + 0.5);
    LearnerSession session;
    const LoginResult result = Login(ProgramPaths(dir), "angtest", 3, "Ewa", clock, session, {});
    ASSERT_EQ(result.status, LoginStatus::Opened);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].rfind("Pominięto uszkodzone wiersze plików kursu: 2. Pierwszy: "
                                       "db/angtest/b_sba_50.txt:",
                                       0),
              0u)
        << result.messages[0];
    EXPECT_TRUE(result.messages[0].ends_with("\nWszystkie pokaże polecenie: dydaktor-db check " +
                                             dir.path() + " angtest"))
        << result.messages[0];
}

TEST(Login, SecondLoginReadsWhatTheFirstLeft) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    FixedClock clock(DayNumber(2026, 12, 10));
    {
        LearnerSession first;
        ASSERT_EQ(Login(ProgramPaths(dir), "angtest", 1, "Anna", clock, first).status,
                  LoginStatus::Opened);
        EXPECT_EQ(ToUtf8(first.db.units.unit(1).userComment, CodePage::Cp1250), "Mój komentarz =1");
        RepetitionRecord& dog = first.repetitions.record(1);
        dog.unitId = 28656;
        dog.firstDate = clock.Today() - 3;
        dog.lastDate = clock.Today() - 3;
        dog.interval = 2;
        dog.factor = 2.5;
        ASSERT_TRUE(SaveLiveRepetitions(first.paths, first.db.units, first.repetitions,
                                        first.settings, clock)
                        .written);
        ASSERT_TRUE(SaveSettings(first.paths, first.settings, first.db).ok());
    }
    LearnerSession second;
    std::vector<int> positions;
    const LoginResult result =
        Login(ProgramPaths(dir), "ANGTEST", 1, "Anna", clock, second,
              [&positions](std::string_view, int position) { positions.push_back(position); });
    ASSERT_EQ(result.status, LoginStatus::Opened);
    EXPECT_EQ(positions, (std::vector<int>{5, 7, 15}));
    EXPECT_EQ(second.paths.databaseCode, "ANGTEST");
    const DueUnits due = CollectDueUnits(second.repetitions, clock.Today());
    ASSERT_EQ(due.total, 1);
    EXPECT_EQ(due.units[0], 1);
    EXPECT_EQ(second.settings.savedRecordCount, 1);
}

TEST(Login, StopsWithoutDatabaseOrParameters) {
    TempDir dir;
    test::CopyFixture("mini", dir.path());
    const FixedClock clock(DayNumber(2026, 12, 10));
    LearnerSession session;
    EXPECT_EQ(Login(ProgramPaths(dir), "  ", 1, "Anna", clock, session).status,
              LoginStatus::NoDatabase);
    std::filesystem::remove(dir.path() + "db/rostest/dyda_s.txt");
    const LoginResult result = Login(ProgramPaths(dir), "rostest", 1, "Anna", clock, session);
    EXPECT_EQ(result.status, LoginStatus::ParametersMissing);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0], "Brak plików systemowych programu (parametry bazy) !");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "1/rostest"));
}

}  // namespace
}  // namespace dyd
