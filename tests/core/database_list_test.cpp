#include <gtest/gtest.h>

#include "core/database_list.h"
#include "core/files.h"
#include "support.h"

#include <filesystem>

namespace dyd {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

TEST(DatabaseList, ListsFoldersWithATitleThenNewDatabase) {
    TempDir dir;
    const std::string db = dir.path() + "db/";
    WriteBytes(db + "zeta/dyda_s.txt", CrLf({"Zeta", "1"}));
    WriteBytes(db + "Alfa/DYDA_S.TXT", CrLf({" Alfa ", "2"}));
    WriteBytes(db + "abc/dyda_s.txt", CrLf({"Trzy znaki"}));
    WriteBytes(db + "ab/dyda_s.txt", CrLf({"Za krótka"}));
    WriteBytes(db + "pusta/dyda_s.txt", CrLf({"", "1"}));
    WriteBytes(db + "brak/b_sba_50.txt", "");
    WriteBytes(db + "plik.txt", "not a folder");
    const DatabaseList list = BuildDatabaseList(dir.path());
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries[0].code, "abc");
    EXPECT_EQ(list.entries[1].code, "Alfa");
    EXPECT_EQ(list.entries[1].title, " Alfa ");  // the first line as it stands
    EXPECT_EQ(list.entries[2].code, "zeta");
    EXPECT_EQ(list.entries[3].title, "Nowa baza");
    EXPECT_EQ(list.entries[3].code, "");
    EXPECT_EQ(list.skipped, 0);
}

TEST(DatabaseList, HoldsFiftyDatabases) {
    TempDir dir;
    for (int i = 0; i < 53; ++i) {
        WriteBytes(dir.path() + "db/base" + std::to_string(100 + i) + "/dyda_s.txt", CrLf({"T"}));
    }
    const DatabaseList list = BuildDatabaseList(dir.path());
    EXPECT_EQ(list.entries.size(), 51u);
    EXPECT_EQ(list.skipped, 3);
    EXPECT_EQ(BuildDatabaseList(dir.path() + "nowhere/").entries.size(), 1u);
}

TEST(DatabaseList, NewDatabaseChecksInTheirOrder) {
    TempDir dir;
    WriteBytes(dir.path() + "db/Istnieje/dyda_s.txt", CrLf({"T"}));
    struct Case {
        const char* title;
        const char* code;
        CodeCheck expected;
    };
    const Case cases[] = {
        {"", "abcd", CodeCheck::TitleEmpty},
        {"   ", "abcd", CodeCheck::TitleEmpty},
        {"Tytuł", "ab", CodeCheck::BadLength},
        {"Tytuł", "abcdefghijklmnop", CodeCheck::BadLength},
        {"Tytuł", "  ab  ", CodeCheck::BadLength},
        {"Tytuł", "istnieje", CodeCheck::Exists},
        {"Tytuł", "ISTNIEJE", CodeCheck::Exists},
        {"Tytuł", "a b c", CodeCheck::HasBlank},
        {"Tytuł", "ab.cd", CodeCheck::BadCharacter},
        {"Tytuł", "ab-cd", CodeCheck::BadCharacter},
        {"Tytuł", "ab_cd", CodeCheck::BadCharacter},
        {"Tytuł", "ab/cd", CodeCheck::BadCharacter},
        {"Tytuł", "..\\x", CodeCheck::BadCharacter},
        {"Tytuł", "Ab12", CodeCheck::Ok},
        {"Tytuł", "abc", CodeCheck::Ok},
        {"Tytuł", "abcdefghijklmno", CodeCheck::Ok},
        {"Tytuł", "żółw", CodeCheck::Ok},  // four letters, eight bytes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckNewDatabase(dir.path(), c.title, c.code), c.expected) << c.code;
    }
    EXPECT_EQ(CodeCheckMessage(CodeCheck::Exists), "Baza o podanym kodzie już istnieje.");
    EXPECT_EQ(CodeCheckMessage(CodeCheck::BadCharacter),
              "Kod bazy może składa się tylko z liter i cyfr.");
}

TEST(DatabaseList, CreatedDatabaseIsListedWithItsParameters) {
    TempDir dir;
    ASSERT_TRUE(CreateDatabaseFolder(dir.path(), "Ab12"));
    EXPECT_FALSE(CreateDatabaseFolder(dir.path(), "Ab12"));
    AppPaths paths;
    paths.programDir = dir.path();
    paths.databaseCode = "Ab12";
    DatabaseParameters p;
    p.title = "Moja baza";
    p.learnerMade = true;
    p.userIdLow = 1;
    p.userIdHigh = 99000;
    ASSERT_TRUE(SaveDatabaseParameters(paths, p));
    const std::string bytes = test::ReadBytes(dir.path() + "db/Ab12/dyda_s.txt");
    EXPECT_EQ(bytes, CrLf({"Moja baza", "1", "0", "", "0", "1", "", "Ab12", "", "", "", "6", "0",
                           "1", "99000", "0", "0", "0"}));
    const DatabaseList list = BuildDatabaseList(dir.path());
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].code, "Ab12");
    EXPECT_EQ(CheckNewDatabase(dir.path(), "T", "ab12"), CodeCheck::Exists);
}

TEST(DatabaseList, CreateDatabaseLeavesNothingBehindWhenRefused) {
    TempDir dir;
    DatabaseParameters p = NewDatabaseParameters();
    CodeCheck check = CodeCheck::Ok;
    EXPECT_EQ(CreateDatabase(dir.path(), "nowa", p, &check), CreateResult::Refused);
    EXPECT_EQ(check, CodeCheck::TitleEmpty);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "db/nowa"));

    p.title = "Nowa";
    EXPECT_EQ(CreateDatabase(dir.path(), "no-wa", p, &check), CreateResult::Refused);
    EXPECT_EQ(check, CodeCheck::BadCharacter);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "db/no-wa"));

    ASSERT_EQ(CreateDatabase(dir.path(), " nowa ", p, &check), CreateResult::Created);
    EXPECT_EQ(check, CodeCheck::Ok);
    const DatabaseParameters back =
        ParseDatabaseParameters(test::ReadBytes(dir.path() + "db/nowa/dyda_s.txt"));
    EXPECT_EQ(back.title, "Nowa");
    EXPECT_TRUE(back.learnerMade);
    EXPECT_EQ(back.userIdLow, 1);
    EXPECT_EQ(back.userIdHigh, 99000);
    EXPECT_EQ(back.databaseCode, "nowa");
}

}  // namespace
}  // namespace dyd
