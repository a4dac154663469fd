#include "core/unit_text.h"

#include "core/unit_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dyd {
namespace {

// Lengths around the change from text in place to text on the heap.
TEST(UnitText, KeepsEveryLengthAndEndsInANul) {
    for (std::size_t length : {0, 1, 14, 15, 16, 17, 200}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>('a' + i % 26));
        }
        const UnitText stored(text);
        EXPECT_EQ(stored.size(), length);
        EXPECT_EQ(stored.view(), text);
        EXPECT_EQ(stored.c_str()[length], '\0');
        UnitText copy = stored;
        UnitText moved = std::move(copy);
        EXPECT_EQ(moved, text);
        EXPECT_TRUE(copy.empty());
        copy = moved;
        EXPECT_EQ(copy, stored);
    }
}

TEST(UnitText, ChangesBuildTheWholeText) {
    UnitText text = "Kot";
    text += " i pies, które mieszkają razem";  // grows from in place to the heap
    EXPECT_EQ(text, "Kot i pies, które mieszkają razem");
    text = text.substr(0, 3);  // a part of itself, back in place
    EXPECT_EQ(text, "Kot");
    text = text.view();  // itself
    EXPECT_EQ(text, std::string("Kot"));
    text.erase(1, 1);
    text.insert(1, "rr");
    text.push_back('!');
    EXPECT_EQ(text, "Krrt!");
    EXPECT_EQ("<" + text + ">", "<Krrt!>");
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.c_str()[0], '\0');
}

TEST(UnitText, OrdersAsItsBytes) {
    std::vector<UnitText> texts = {"pies", "kot", "ąb", "kot2"};
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts[0], "kot");
    EXPECT_EQ(texts[1], "kot2");
    EXPECT_EQ(texts[2], "pies");
    EXPECT_EQ(texts[3], "ąb");
}

// A text kept in an arena reads like any other; taken out of its place (moved, copied) it
// owns its bytes, so that it outlives the arena; only ShareKept points into the arena again.
TEST(UnitText, KeptTextsNeverOutliveTheirArena) {
    const std::string longText = "Przysłowia są mądrością narodów";
    auto arena = std::make_unique<TextArena>();
    UnitText shortOne;
    UnitText longOne;
    shortOne.AssignKept("kot", *arena);
    longOne.AssignKept(longText, *arena);
    EXPECT_EQ(shortOne, "kot");
    EXPECT_EQ(longOne, longText);
    EXPECT_EQ(longOne.c_str()[longText.size()], '\0');
    EXPECT_GT(arena->capacity(), 0U);

    UnitText shared;
    shared.ShareKept(longOne);
    EXPECT_EQ(shared.data(), longOne.data());

    UnitText moved = std::move(longOne);
    EXPECT_NE(moved.data(), shared.data());
    UnitText assigned;
    assigned = std::move(shared);
    UnitText copied = moved;
    longOne.AssignKept(longText, *arena);
    std::vector<UnitText> grown;
    grown.push_back(std::move(longOne));
    arena.reset();  // the arena's bytes are gone; nothing below may read them
    for (const UnitText* text : {&moved, &assigned, &copied, &grown[0]}) {
        EXPECT_EQ(*text, longText);
    }
    EXPECT_TRUE(longOne.empty());
}

// A table's rows may point into its arena: a copy of the table, a unit taken out and a table
// moved elsewhere keep every text after the original table is gone.
TEST(UnitText, TablesKeepTheirTextsThroughCopiesAndMoves) {
    const std::string longText = "Nie chwal dnia przed zachodem słońca";
    auto table = std::make_unique<UnitTable>();
    for (int i = 0; i < 3; ++i) {
        Unit* row = table->BeginAppend();
        row->unitId = i + 1;
        row->foreignText.AssignKept(longText + std::to_string(i), table->keptTexts());
        row->plural.ShareKept(row->foreignText);
        table->CommitAppend();
    }
    UnitTable copy = *table;
    Unit taken = std::move(table->unit(2));
    UnitTable moved = std::move(*table);
    table.reset();
    EXPECT_EQ(taken.foreignText, longText + "1");
    for (int n = 1; n <= 3; ++n) {
        const std::string expected = longText + std::to_string(n - 1);
        EXPECT_EQ(copy.unit(n).foreignText, expected);
        EXPECT_EQ(copy.unit(n).plural, expected);
        if (n != 2) {
            EXPECT_EQ(moved.unit(n).foreignText, expected);
            EXPECT_EQ(moved.unit(n).plural, expected);
        }
    }
    moved.Clear();
    EXPECT_EQ(moved.keptTextBytes(), 0U);
}

// The rows of a large table freed are mapped again for the next table of their size, and
// the last of them go back to the system on request.
TEST(UnitText, FreedRowsServeTheNextTableOfTheirSize) {
    ReleaseFreeMemory();
    const Unit* first = nullptr;
    {
        UnitTable table;
        table.Reserve(kMaxUnits);
        table.Append(Unit{});
        first = &table.unit(1);
    }
    UnitTable again;
    again.Reserve(kMaxUnits - 100);
    again.Append(Unit{});
    EXPECT_EQ(&again.unit(1), first);
    EXPECT_EQ(again.unit(1).unitId, 0);
    UnitTable larger;
    larger.Reserve(kMaxUnits);  // no spare to take: its own rows
    larger.Append(Unit{});
    EXPECT_NE(&larger.unit(1), first);
    ReleaseFreeMemory();
}

}  // namespace
}  // namespace dyd
