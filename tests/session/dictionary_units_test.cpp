// The units handed over by the dictionary: the list file read into the CurrentSet and resolved
// against the unit table, entries removed from the shown list, the list taken for a session and
// the file removed afterwards.

#include "session/dictionary_units.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/files.h"
#include "support.h"

namespace dyd {
namespace {

Unit Word(std::int32_t id) {
    Unit unit;
    unit.unitId = id;
    unit.foreignText = "w" + std::to_string(id);
    return unit;
}

std::string Header() {
    std::string text;
    for (int i = 1; i <= 10; ++i) {
        text += "naglowek " + std::to_string(i) + "\r\n";
    }
    return text;
}

struct DictionaryFixture : ::testing::Test {
    void SetUp() override {
        for (std::int32_t id : {500, 120, 300, 120}) {  // unit 4 repeats the id of unit 2
            units.Append(Word(id));
        }
        paths.userDir = dir.path();
        paths.databaseCode = "ang";
        path = DictionaryListPath(paths);
        set.name = "Stare";
        set.setKey = "201-1";
    }
    test::TempDir dir;
    AppPaths paths;
    std::string path;
    UnitTable units;
    CurrentSet set;
    SessionPlan plan;
};

TEST_F(DictionaryFixture, CodesTheDatabaseLacksAreLeftOutAndCounted) {
    // Header lines are never codes; blanks, zero, negatives, text and repeats are not taken.
    test::WriteBytes(path,
                     Header() + "300\r\n777\r\n\r\n 120 \r\n0\r\n-5\r\nabc\r\n300\r\n500\r\n");
    plan.currentKind = 7;
    const DictionaryRead read = ReadDictionaryList(path, units, set, plan);
    ASSERT_EQ(read.status, DictionaryReadStatus::Read);
    EXPECT_EQ(read.message, "");
    EXPECT_EQ(read.units.codes, (std::vector<std::int32_t>{300, 120, 500}));
    EXPECT_EQ(read.units.unitNumbers, (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(read.units.leftOut, 1);
    EXPECT_EQ(DictionaryLeftOutText(read.units.leftOut), "Pominięto kody spoza bazy: 1.");
    EXPECT_EQ(DictionaryLeftOutText(0), "");
    EXPECT_EQ(plan.currentKind, 0);
    EXPECT_EQ(set.count, 4);
}

TEST_F(DictionaryFixture, AMissingOrUnreadableFileLeavesTheSetAsItWas) {
    set.count = 1;
    set.codes[0] = 42;
    DictionaryRead read = ReadDictionaryList(path, units, set, plan);
    EXPECT_EQ(read.status, DictionaryReadStatus::Missing);
    EXPECT_EQ(read.message, "");

    // A file that exists and gives an error on reading.
    ASSERT_EQ(::symlink("/proc/self/mem", path.c_str()), 0);
    read = ReadDictionaryList(path, units, set, plan);
    EXPECT_EQ(read.status, DictionaryReadStatus::Unreadable);
    EXPECT_EQ(read.message.rfind(std::string(kDictionaryUnreadableMessage) + path, 0), 0u)
        << read.message;
    EXPECT_EQ(read.units.count(), 0);
    EXPECT_EQ(set.count, 1);
    EXPECT_EQ(set.codes[0], 42);
}

TEST_F(DictionaryFixture, RemovingAnEntryKeepsTheSelectionWhereItWas) {
    struct Case {
        int size;
        int index;
        int selected;
        std::vector<std::int32_t> left;
    };
    const std::vector<Case> cases = {
        {3, 0, 0, {2, 3}}, {3, 1, 1, {1, 3}},    {3, 2, 1, {1, 2}},
        {1, 0, -1, {}},    {3, 5, 2, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " remove " << c.index);
        DictionaryUnits list;
        for (int i = 1; i <= c.size; ++i) {
            list.codes.push_back(100 + i);
            list.unitNumbers.push_back(i);
        }
        EXPECT_EQ(RemoveDictionaryUnit(list, c.index), c.selected);
        EXPECT_EQ(list.unitNumbers, c.left);
        ASSERT_EQ(list.codes.size(), list.unitNumbers.size());
        for (std::size_t i = 0; i < list.codes.size(); ++i) {
            EXPECT_EQ(list.codes[i], 100 + list.unitNumbers[i]);
        }
    }
}

TEST_F(DictionaryFixture, TheListTakenForASessionReplacesTheWholeSet) {
    set.count = 5;
    set.codes.fill(9);
    set.ready = true;
    DictionaryUnits list;
    list.codes = {300, 500};
    list.unitNumbers = {3, 1};
    TakeDictionaryUnits(list, set);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(set.codes[0], 300);
    EXPECT_EQ(set.codes[1], 500);
    EXPECT_EQ(set.codes[2], 0);
    EXPECT_EQ(set.unitNumbers[0], 3);
    EXPECT_EQ(set.unitNumbers[1], 1);
    EXPECT_FALSE(set.ready);
    EXPECT_EQ(set.name, "");
    EXPECT_EQ(set.setKey, "");
}

TEST_F(DictionaryFixture, TheFileIsRemovedFoundWithoutRegardToLetterCase) {
    const std::string upper = dir.path() + "ANGSLOW.TXT";
    test::WriteBytes(upper, Header() + "120\r\n");
    EXPECT_EQ(DictionaryListPath(paths), upper);
    std::string message;
    EXPECT_TRUE(DeleteDictionaryList(DictionaryListPath(paths), message));
    EXPECT_EQ(message, "");
    EXPECT_FALSE(FileExists(upper));
    // Gone already: nothing to say.
    EXPECT_TRUE(DeleteDictionaryList(upper, message));
}

}  // namespace
}  // namespace dyd
