#include "core/users.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "core/files.h"
#include "support.h"

namespace dyd {
namespace {

using test::CrLf;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Names(const UserList& list) {
    std::string out;
    for (const UserEntry& user : list.users) {
        out += std::to_string(user.number) + ":" + user.name + ";";
    }
    return out;
}

TEST(UserListFile, ReadsNumberAndTrimmedNameAndWritesThemBackByteForByte) {
    const std::string file = CrLf({"1=Anna", "5=Jan Kowalski", "2=\xA3ukasz", "7=a=b"});
    const UserList list = ParseUserList(file);
    EXPECT_EQ(Names(list), "1:Anna;5:Jan Kowalski;2:\xA3ukasz;7:a=b;");
    EXPECT_TRUE(list.keptLines.empty());
    EXPECT_EQ(FormatUserList(list), file);
}

TEST(UserListFile, LinesAreTrimmedAndLinesWithoutAnEqualsSignGiveNoEntry) {
    const UserList list = ParseUserList("  3 =  Ewa \t\r\n\r\n   \nbez numeru\n4=\n");
    EXPECT_EQ(Names(list), "3:Ewa;4:;");
    EXPECT_EQ(FormatUserList(list), CrLf({"3=Ewa", "4=", "bez numeru"}));
}

TEST(UserListFile, BadLinesAreSkippedButKeptForTheRewrite) {
    const UserList list = ParseUserList(CrLf(
        {"=Bez", "x=Iks", "0=Zero", "-2=Minus", "3=Ola", "3=Druga", "4=Ala", "99999999999=Duzy"}));
    EXPECT_EQ(Names(list), "3:Ola;4:Ala;");
    EXPECT_EQ(list.keptLines, (std::vector<std::string>{"=Bez", "x=Iks", "0=Zero", "-2=Minus",
                                                        "3=Druga", "99999999999=Duzy"}));
}

TEST(UserListFile, AtMostFiftyEntriesAreListedAndTheRestIsKept) {
    std::string file;
    for (int n = 1; n <= 53; ++n) {
        file += std::to_string(n) + "=Osoba" + std::to_string(n) + "\r\n";
    }
    const UserList list = ParseUserList(file);
    ASSERT_EQ(list.users.size(), 50u);
    EXPECT_EQ(list.users.back().name, "Osoba50");
    EXPECT_TRUE(list.full());
    EXPECT_EQ(FormatUserList(list), file);
}

TEST(UserListLoad, AMissingFileGivesAnEmptyListAndTheFileIsFoundInAnyCase) {
    TempDir dir;
    EXPECT_TRUE(LoadUserList(dir.path()).users.empty());
    EXPECT_FALSE(LoadUserList(dir.path()).unreadable);
    WriteBytes(dir.path() + "USR.T", CrLf({"1=Anna"}));
    EXPECT_EQ(Names(LoadUserList(dir.path())), "1:Anna;");
}

TEST(AddUser, NumbersFollowTheHighestAndTheFileIsRewrittenInListOrder) {
    TempDir dir;
    UserList list = LoadUserList(dir.path());
    AddUserResult result = AddUser(dir.path(), list, "  Anna ");
    ASSERT_TRUE(result.added());
    EXPECT_EQ(result.number, 1);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), CrLf({"1=Anna"}));

    WriteBytes(dir.path() + "usr.t", CrLf({"5=Jan", "1=Anna", "zepsuta linia"}));
    list = LoadUserList(dir.path());
    result = AddUser(dir.path(), list, "Ewa");
    ASSERT_TRUE(result.added());
    EXPECT_EQ(result.number, 6);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), CrLf({"5=Jan", "1=Anna", "6=Ewa", "zepsuta linia"}));
    EXPECT_EQ(Names(list), "5:Jan;1:Anna;6:Ewa;");
}

TEST(AddUser, RefusalsLeaveTheListAndTheFileAsTheyWere) {
    TempDir dir;
    const std::string file = CrLf({"1=Ewa", "2=\xA3ukasz"});
    WriteBytes(dir.path() + "usr.t", file);
    const struct {
        std::string name;
        AddUserStatus status;
        std::string_view message;
    } cases[] = {
        {"ewa", AddUserStatus::Duplicate, kDuplicateUserMessage},
        {" EWA  ", AddUserStatus::Duplicate, kDuplicateUserMessage},
        {"\xA3UKASZ", AddUserStatus::Duplicate, kDuplicateUserMessage},
        {" E ", AddUserStatus::TooShort, kUserNameTooShortMessage},
        {"", AddUserStatus::TooShort, kUserNameTooShortMessage},
        {std::string(31, 'x'), AddUserStatus::TooLong, kUserNameTooLongMessage},
        {"Jan\r\nKowalski", AddUserStatus::BadCharacter, kUserNameControlMessage},
    };
    for (const auto& c : cases) {
        UserList list = LoadUserList(dir.path());
        const AddUserResult result = AddUser(dir.path(), list, c.name);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.message, c.message) << c.name;
        EXPECT_EQ(Names(list), "1:Ewa;2:\xA3ukasz;") << c.name;
    }
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), file);

    // Lowering touches only A-Z: "łukasz" (0xB3) is another learner than "Łukasz" (0xA3).
    UserList list = LoadUserList(dir.path());
    EXPECT_TRUE(AddUser(dir.path(), list, "\xB3ukasz").added());
    EXPECT_TRUE(AddUser(dir.path(), list, std::string(30, 'x') + "  ").added());
}

TEST(AddUser, AFiftyFirstLearnerIsRefused) {
    TempDir dir;
    UserList list;
    for (int n = 1; n < kMaxUsers; ++n) {
        ASSERT_TRUE(AddUser(dir.path(), list, "Osoba" + std::to_string(n)).added());
    }
    ASSERT_TRUE(AddUser(dir.path(), list, "Ostatnia").added());
    const std::string file = ReadBytes(dir.path() + "usr.t");
    const AddUserResult result = AddUser(dir.path(), list, "Nadmiarowa");
    EXPECT_EQ(result.status, AddUserStatus::ListFull);
    EXPECT_EQ(result.message, kUserListFullMessage);
    EXPECT_EQ(list.users.size(), 50u);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), file);
}

TEST(AddUser, NoNumberIsLeftAfterTheHighestPossible) {
    TempDir dir;
    const std::string file = CrLf({"2147483647=Ostatni"});
    WriteBytes(dir.path() + "usr.t", file);
    UserList list = LoadUserList(dir.path());
    EXPECT_EQ(AddUser(dir.path(), list, "Nowy").status, AddUserStatus::NoNumber);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), file);
}

// Two copies of the program on one installation: A read the list when its login opened, B added
// a learner since. A's learner must neither drop B's entry nor take B's number.
TEST(AddUser, AListChangedByAnotherCopyIsReadAgainBeforeItIsRewritten) {
    TempDir dir;
    WriteBytes(dir.path() + "usr.t", CrLf({"1=Anna"}));
    UserList copyA = LoadUserList(dir.path());
    UserList copyB = LoadUserList(dir.path());
    ASSERT_EQ(AddUser(dir.path(), copyB, "Ola").number, 2);

    const AddUserResult result = AddUser(dir.path(), copyA, "Piotr");
    ASSERT_TRUE(result.added());
    EXPECT_EQ(result.number, 3);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), CrLf({"1=Anna", "2=Ola", "3=Piotr"}));
    EXPECT_EQ(Names(copyA), "1:Anna;2:Ola;3:Piotr;");

    // B's name is now taken for A as well.
    EXPECT_EQ(AddUser(dir.path(), copyA, "ola").status, AddUserStatus::Duplicate);
}

TEST(AddUser, ANewNumberIsAboveEveryLearnerFolderOnDisk) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "1");
    WriteBytes(dir.path() + "1/angielski.p", std::string(64, '\1'));
    std::filesystem::create_directories(dir.path() + "db");
    std::filesystem::create_directories(dir.path() + "12a");
    WriteBytes(dir.path() + "40", "a file, not a folder");

    // usr.t deleted: Ewa must not inherit the records in folder 1.
    UserList list = LoadUserList(dir.path());
    AddUserResult result = AddUser(dir.path(), list, "Ewa");
    ASSERT_TRUE(result.added());
    EXPECT_EQ(result.number, 2);

    std::filesystem::create_directories(dir.path() + "7");
    result = AddUser(dir.path(), list, "Jan");
    EXPECT_EQ(result.number, 8);
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), CrLf({"2=Ewa", "8=Jan"}));
    EXPECT_EQ(HighestUserFolder(dir.path()), 7);
}

// Copies adding learners at the same moment, each in its own process: every learner is listed
// once, under a number of his own. A lock file left behind by a copy that died does not block.
TEST(AddUser, CopiesAddingAtOnceLoseNoLearnerAndShareNoNumber) {
    TempDir dir;
    WriteBytes(dir.path() + std::string(kUserListLockFile), "");
    constexpr int kCopies = 3;
    constexpr int kEach = 12;
    std::vector<pid_t> children;
    for (int copy = 0; copy < kCopies; ++copy) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            UserList list = LoadUserList(dir.path());  // read once, as a login window does
            bool ok = true;
            for (int n = 0; n < kEach; ++n) {
                const std::string name = "K" + std::to_string(copy) + "_" + std::to_string(n);
                ok = AddUser(dir.path(), list, name).added() && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const UserList list = LoadUserList(dir.path());
    ASSERT_EQ(list.users.size(), static_cast<std::size_t>(kCopies * kEach));
    std::set<std::int32_t> numbers;
    std::set<std::string> names;
    for (const UserEntry& user : list.users) {
        numbers.insert(user.number);
        names.insert(user.name);
    }
    EXPECT_EQ(numbers.size(), list.users.size());
    EXPECT_EQ(names.size(), list.users.size());
    EXPECT_EQ(*numbers.rbegin(), kCopies * kEach);
}

TEST(AddUser, AFailedWriteKeepsTheOldFileAndList) {
    TempDir dir;
    const std::string file = CrLf({"1=Anna"});
    WriteBytes(dir.path() + "usr.t", file);
    UserList list = LoadUserList(dir.path());
    SetWriteFaultForTesting({WriteFault::Kind::Fail, 3});
    const AddUserResult result = AddUser(dir.path(), list, "Ewa");
    SetWriteFaultForTesting({});
    EXPECT_EQ(result.status, AddUserStatus::WriteFailed);
    EXPECT_EQ(result.message.rfind(kUserListNotSavedMessage, 0), 0u);
    EXPECT_EQ(Names(list), "1:Anna;");
    EXPECT_EQ(ReadBytes(dir.path() + "usr.t"), file);
}

TEST(AddUser, AnUnreadableListIsNeverOverwritten) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    TempDir dir;
    const std::string path = dir.path() + "usr.t";
    WriteBytes(path, CrLf({"1=Anna"}));
    std::filesystem::permissions(path, std::filesystem::perms::none);
    UserList list = LoadUserList(dir.path());
    EXPECT_TRUE(list.unreadable);
    EXPECT_EQ(AddUser(dir.path(), list, "Ewa").status, AddUserStatus::Unreadable);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), CrLf({"1=Anna"}));
}

TEST(UserListFile, SkippedLinesAreSaidWithTheFirstAndTheFile) {
    EXPECT_EQ(SkippedUserLinesMessage(ParseUserList(CrLf({"1=Anna"})), "/inst/"), "");
    const UserList list = ParseUserList(CrLf({"1=Anna", "zepsuta\x01 \xB3inia", "x=Iks"}));
    EXPECT_EQ(SkippedUserLinesMessage(list, "/inst/"),
              "Pominięto wiersze listy uczniów, które nie opisują ucznia (2), pierwszy: "
              "„zepsuta? łinia”. Plik: /inst/usr.t (wiersze zostają w pliku).");
}

TEST(UserName, TypedNamesAreConvertedToWindows1250OrRefused) {
    std::string message;
    EXPECT_EQ(UserNameFromUtf8("Łukasz Żółć", &message), "\xA3ukasz \xAF\xF3\xB3\xE6");
    EXPECT_TRUE(message.empty());

    EXPECT_FALSE(UserNameFromUtf8("Анна", &message));
    EXPECT_EQ(message, "Znak „А” nie może być użyty w identyfikatorze. Proszę wprowadzić inny.");
    EXPECT_FALSE(UserNameFromUtf8("Ann\xFF", &message));
    EXPECT_EQ(message, "Identyfikator zawiera niepoprawne znaki. Proszę wprowadzić inny.");
}

TEST(UserDir, TheLearnersFolderIsCreatedOnceAndAFailureIsReported) {
    TempDir dir;
    EXPECT_EQ(UserDirOf(dir.path(), 12), dir.path() + "12/");
    const std::string programDir = dir.path().substr(0, dir.path().size() - 1);  // no "/"
    EXPECT_EQ(UserDirOf(programDir, 12), dir.path() + "12/");

    EnsureUserDirResult result = EnsureUserDir(dir.path(), 1);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.userDir, dir.path() + "1/");
    EXPECT_TRUE(DirectoryExists(result.userDir));
    WriteBytes(result.userDir + "angtest.ustaw", "6\r\n");
    result = EnsureUserDir(dir.path(), 1);  // exists already: kept with its files
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(ReadBytes(result.userDir + "angtest.ustaw"), "6\r\n");

    WriteBytes(dir.path() + "2", "a file in the way");
    result = EnsureUserDir(dir.path(), 2);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.error.rfind("Nie można utworzyć katalogu użytkownika ", 0), 0u);
}

}  // namespace
}  // namespace dyd
