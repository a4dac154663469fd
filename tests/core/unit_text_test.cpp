#include "core/unit_text.h"

#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
}  // namespace dyd
