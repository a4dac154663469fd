// The end-of-session summary: which rows it lists, how an item reads by the database language,
// the detail of a record, and the clipboard and printed texts.

#include "session/summary.h"

#include <gtest/gtest.h>

#include <string>

#include "core/database.h"
#include "core/repetitions.h"
#include "core/session_plan.h"

namespace dyd {
namespace {

Unit Word(std::int32_t id, std::string foreign, std::string native) {
    Unit unit;
    unit.unitId = id;
    unit.foreignText = std::move(foreign);
    unit.nativeText = std::move(native);
    return unit;
}

// Four units; "kot" carries a Windows-1250 letter ("ł" in "łóżko").
struct SummaryFixture : ::testing::Test {
    void SetUp() override {
        db.params.language = 1;
        db.units.Append(Word(10, "cat", "kot"));
        db.units.Append(Word(11, "bed", "\xB3\xF3\xBFko"));  // "łóżko"
        db.units.Append(Word(12, "dog", "pies"));
        db.units.Append(Word(13, "house", "dom"));
        for (int u : {3, 1, 4, 2}) {  // rows out of unit order
            PlanRow row;
            row.unitNumber = u;
            row.cells[4].remaining = 1;
            plan.rows.push_back(row);
        }
    }

    CourseDatabase db;
    SessionPlan plan;
    RepetitionStore store;
};

TEST_F(SummaryFixture, ListsOnlyAnsweredRowsInRowOrder) {
    plan.row(1).cells[4].attempts = 2;   // dog
    plan.row(3).cells[17].attempts = 1;  // house, in another kind
    // A row reset after answers: nothing remains to do, but the answers were given.
    plan.row(3).cells[4] = PlanEntry{0, 3, 0};
    store.record(3).inTrash = 1;

    const auto items = BuildSummaryItems(plan, db, store);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].unitNumber, 3);
    EXPECT_EQ(items[0].foreignText, "dog");
    EXPECT_EQ(items[0].nativeText, "pies");
    EXPECT_EQ(items[0].tag, " (kosz) ");
    EXPECT_TRUE(items[0].inTrash);
    EXPECT_EQ(items[1].unitNumber, 4);
    EXPECT_EQ(items[1].tag, " ");
}

TEST_F(SummaryFixture, NoAnswersNoItems) {
    EXPECT_TRUE(BuildSummaryItems(plan, db, store).empty());
}

TEST_F(SummaryFixture, MeaningAndTagOnlyForEnglishAndGerman) {
    plan.row(2).cells[1].attempts = 1;
    store.record(1).inTrash = 1;
    struct Case {
        int language;
        bool meaning;
    };
    for (const Case c : {Case{1, true}, Case{2, true}, Case{3, false}, Case{4, false},
                         Case{5, false}, Case{6, false}, Case{7, false}}) {
        db.params.language = c.language;
        EXPECT_EQ(SummaryShowsMeaning(c.language), c.meaning) << c.language;
        const auto items = BuildSummaryItems(plan, db, store);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].foreignText, "cat");
        EXPECT_EQ(items[0].nativeText, c.meaning ? "kot" : "") << c.language;
        EXPECT_EQ(items[0].tag, c.meaning ? " (kosz) " : "") << c.language;
        EXPECT_TRUE(items[0].inTrash);
    }
}

TEST(SummaryDetailTest, ReadsRepetitionNumberAndIntervalInWindows1250) {
    RepetitionRecord record;
    record.repetitionNo = 1;
    record.interval = 2;
    EXPECT_EQ(SummaryDetail(record), "Powt\xF3rka nr: 1, interwa\xB3: 2");
}

TEST_F(SummaryFixture, ClipboardTextConvertsBothCodePagesAndEndsLinesWithCrLf) {
    plan.row(4).cells[6].attempts = 1;  // bed
    plan.row(2).cells[6].attempts = 1;  // cat
    EXPECT_EQ(SummaryClipboardText(plan, db),
              "Dydaktor 5.0 - Słownictwo\r\ncat = kot\r\nbed = łóżko\r\n");

    // A Russian word in the database's own code page (1251).
    db.params.charsetIndex = 2;
    db.units.unit(1).foreignText = "\xEA\xEE\xF2";  // "кот"
    ASSERT_EQ(db.params.foreignCodePage(), CodePage::Cp1251);
    EXPECT_EQ(SummaryClipboardText(plan, db),
              "Dydaktor 5.0 - Słownictwo\r\nкот = kot\r\nbed = łóżko\r\n");
}

TEST_F(SummaryFixture, ClipboardTextOfAFullSessionIsNotCut) {
    plan.rows.clear();
    db.units.Clear();
    const std::string longText(60, 'x');
    for (int u = 1; u <= kMaxPlanRows; ++u) {
        db.units.Append(Word(u, longText, "y"));
        PlanRow row;
        row.unitNumber = u;
        row.cells[1].attempts = 1;
        plan.rows.push_back(row);
    }
    const std::string text = SummaryClipboardText(plan, db);
    const std::string line = longText + " = y\r\n";
    EXPECT_GT(text.size(), 5000u);
    EXPECT_EQ(text.size(),
              std::string("Dydaktor 5.0 - Słownictwo\r\n").size() + kMaxPlanRows * line.size());
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
}

TEST_F(SummaryFixture, PrintLinesHaveTheHeadingThenIndentedPairs) {
    plan.row(1).cells[4].attempts = 1;
    plan.row(4).cells[4].attempts = 1;
    const std::vector<std::string> expected{
        "", "", "   Dydaktor 5.0 - Słownictwo", "", "   dog = pies", "   bed = łóżko"};
    EXPECT_EQ(SummaryPrintLines(plan, db), expected);
}

}  // namespace
}  // namespace dyd
