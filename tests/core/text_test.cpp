#include "core/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace dyd {
namespace {

using Strings = std::vector<std::string>;

Strings ToStrings(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

Strings AllTokens(std::string_view text) {
    Tokenizer tokenizer;
    tokenizer.SetTokenText(text);
    Strings tokens;
    for (std::string token = tokenizer.NextToken(); !token.empty(); token = tokenizer.NextToken()) {
        tokens.push_back(token);
        if (tokens.size() > 1000) {
            ADD_FAILURE() << "tokenizer does not stop on " << text;
            break;
        }
    }
    return tokens;
}

struct PosFromCase {
    int start;
    std::string text;
    std::string pattern;
    int expected;
};

TEST(PosFrom, FindsTheFirstOccurrenceAtOrAfterStart) {
    const PosFromCase cases[] = {
        {1, "a=b=c", "=", 2},    {2, "a=b=c", "=", 2},   {3, "a=b=c", "=", 4},
        {5, "a=b=c", "=", -1},   {5, "a=b=c", "c", 5},   {1, "a=b=c", "b=c", 3},
        {4, "a=b=c", "b=c", -1}, {1, "abc", "abcd", -1}, {1, "abc", "x", -1},
    };
    for (const PosFromCase& c : cases) {
        EXPECT_EQ(PosFrom(c.start, c.text, c.pattern), c.expected)
            << "start " << c.start << " in '" << c.text << "' for '" << c.pattern << "'";
    }
}

TEST(PosFrom, RefusesEmptyInputsAndStartsOutsideTheText) {
    EXPECT_EQ(PosFrom(1, "", "="), -1);
    EXPECT_EQ(PosFrom(1, "a=b", ""), -1);
    EXPECT_EQ(PosFrom(0, "a=b", "a"), -1);
    EXPECT_EQ(PosFrom(-3, "a=b", "a"), -1);
    EXPECT_EQ(PosFrom(4, "a=b", "b"), -1);
    EXPECT_EQ(PosFrom(3, "a=b", "b"), 3);
}

TEST(ZeroPad, PadsToTheWidthAndNeverCuts) {
    EXPECT_EQ(ZeroPad(3, 7), "007");
    EXPECT_EQ(ZeroPad(2, 123), "123");
    EXPECT_EQ(ZeroPad(5, 0), "00000");
    EXPECT_EQ(ZeroPad(5, 12345), "12345");
    EXPECT_EQ(ZeroPad(6, 12345), "012345");
    EXPECT_EQ(ZeroPad(0, 42), "42");
    EXPECT_EQ(ZeroPad(1, 4294967296LL), "4294967296");
}

TEST(ParseInt, AcceptsASignAndDigitsWithin32Bits) {
    EXPECT_EQ(ParseInt("0"), 0);
    EXPECT_EQ(ParseInt("007"), 7);
    EXPECT_EQ(ParseInt("+5"), 5);
    EXPECT_EQ(ParseInt("-5"), -5);
    EXPECT_EQ(ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(ParseInt, RefusesOverflowBlanksAndNonNumbers) {
    for (const char* text : {"", "+", "-", "2147483648", "-2147483649", "99999999999999999999",
                             "12a", "1 2", " 5", "5 ", "1.5", "0x10", "--5", "5-", "\t7"}) {
        EXPECT_EQ(ParseInt(text), std::nullopt) << "'" << text << "'";
    }
}

TEST(IntOrZero, TrimsAndReadsBlankAsZero) {
    EXPECT_EQ(IntOrZero(""), 0);
    EXPECT_EQ(IntOrZero(" \t\r\n"), 0);
    EXPECT_EQ(IntOrZero(" 42\r"), 42);
    EXPECT_EQ(IntOrZero("\t-7 "), -7);
    EXPECT_EQ(IntOrZero(" +12345 "), 12345);
}

TEST(IntOrZero, ReportsATextThatIsNoNumber) {
    for (const char* text : {"abc", "4 2", "1,5", "-", "3000000000", "12#"}) {
        EXPECT_EQ(IntOrZero(text), std::nullopt) << "'" << text << "'";
    }
}

TEST(EscapeEquals, ModeOneHidesEqualsSignsOtherModesBringThemBack) {
    EXPECT_EQ(EscapeEquals("a=b#c=", 1), "a#b#c#");
    EXPECT_EQ(EscapeEquals("a=b#c#", 0), "a=b=c=");
    EXPECT_EQ(EscapeEquals("a=b#c#", 2), "a=b=c=");
    EXPECT_EQ(EscapeEquals("", 1), "");

    const std::string comment = "x = y + z, \xB3\xB9ka";  // Windows-1250 letters pass through
    EXPECT_EQ(EscapeEquals(EscapeEquals(comment, 1), 0), comment);
    EXPECT_EQ(EscapeEquals(comment, 1).find('='), std::string::npos);
}

TEST(Trim, RemovesBytesUpTo32OnBothSidesOnly) {
    EXPECT_EQ(Trim(" \t\r\n abc \r\n"), "abc");
    EXPECT_EQ(Trim(std::string("\x01\x1F x y \x20", 7)), "x y");
    EXPECT_EQ(Trim("a \t b"), "a \t b");
    EXPECT_EQ(Trim(" \t\r "), "");
    EXPECT_EQ(Trim(""), "");
    // Bytes above 127 are letters or signs of the code page, never blanks.
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(Trim(" \xB9\x9C\xFF "), "\xB9\x9C\xFF");
    EXPECT_EQ(TrimView("  ab "), "ab");
}

TEST(CaseFolding, ChangesOnlyTheLettersAToZ) {
    EXPECT_EQ(LowerAZ("ABCxyz@[`{Z"), "abcxyz@[`{z");
    EXPECT_EQ(UpperAZ("abcXYZ@[`{a"), "ABCXYZ@[`{A");
    // Windows-1250: A-ogonek 0xA5 / a-ogonek 0xB9, L-stroke 0xA3 / 0xB3, S-acute 0x8C / 0x9C,
    // Z-dot 0xAF / 0xBF, C-acute 0xC6 / 0xE6.
    const std::string polishUpper = "\xA5\xA3\x8C\xAF\xC6";
    const std::string polishLower = "\xB9\xB3\x9C\xBF\xE6";
    EXPECT_EQ(LowerAZ(polishUpper), polishUpper);
    EXPECT_EQ(UpperAZ(polishLower), polishLower);
    EXPECT_EQ(LowerAZ("\xA5LA"), "\xA5la");

    EXPECT_TRUE(EqualsIgnoreCaseAZ("Gfx_S", "gFX_s"));
    EXPECT_FALSE(EqualsIgnoreCaseAZ("\xA5", "\xB9"));
    EXPECT_FALSE(EqualsIgnoreCaseAZ("ab", "abc"));
    EXPECT_TRUE(StartsWithIgnoreCaseAZ("<BR>rest", "<br>"));
    EXPECT_FALSE(StartsWithIgnoreCaseAZ("<B", "<br>"));
}

TEST(SplitLines, SplitsAtCrLfAndLfAndKeepsALastLineWithoutEnd) {
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(ToStrings(SplitLines("a\r\nb\r\n")), (Strings{"a", "b"}));
    EXPECT_EQ(ToStrings(SplitLines("a\nb\n")), (Strings{"a", "b"}));
    EXPECT_EQ(ToStrings(SplitLines("a\r\nb")), (Strings{"a", "b"}));
    EXPECT_EQ(ToStrings(SplitLines("a\r\n\r\nb\n")), (Strings{"a", "", "b"}));
    EXPECT_EQ(ToStrings(SplitLines("\r\n")), (Strings{""}));
    EXPECT_EQ(ToStrings(SplitLines("one line")), (Strings{"one line"}));
    EXPECT_EQ(ToStrings(SplitLines("x = y \r\n")), (Strings{"x = y "}));
}

TEST(EqualsFields, AFieldExistsOnlyWithItsClosingEqualsSign) {
    const EqualsFields fields("12= word \t=znaczenie=tail");
    EXPECT_EQ(fields.count(), 3);
    EXPECT_EQ(fields.raw(0), "12");
    EXPECT_EQ(fields.raw(1), " word \t");
    EXPECT_EQ(fields.trimmed(1), "word");
    EXPECT_EQ(fields.raw(2), "znaczenie");
    EXPECT_EQ(fields.rest(), "tail");
    EXPECT_FALSE(fields.has(3));
    EXPECT_EQ(fields.raw(3), "");
    EXPECT_FALSE(fields.has(-1));
    EXPECT_EQ(fields.raw(-1), "");

    EXPECT_EQ(EqualsFields("no fields").count(), 0);
    EXPECT_EQ(EqualsFields("no fields").rest(), "no fields");
    EXPECT_EQ(EqualsFields("").count(), 0);

    const EqualsFields empties("==x=");
    EXPECT_EQ(empties.count(), 3);
    EXPECT_EQ(empties.raw(0), "");
    EXPECT_EQ(empties.raw(2), "x");
    EXPECT_TRUE(empties.has(1));
    EXPECT_EQ(empties.rest(), "");
}

TEST(EqualsFields, StopsAtTheFieldLimitAndLeavesTheRest) {
    const EqualsFields fields("a=b=c=d=", 2);
    EXPECT_EQ(fields.count(), 2);
    EXPECT_EQ(fields.raw(1), "b");
    EXPECT_EQ(fields.rest(), "c=d=");
}

TEST(Tokenizer, SplitsAGapSentenceIntoSevenTokens) {
    EXPECT_EQ(AllTokens("I <do> it"), (Strings{"I", " ", "<", "do", ">", " ", "it"}));
}

TEST(Tokenizer, GivesOneBlankTokenForARunOfBlanksAndTrimsTheText) {
    EXPECT_EQ(AllTokens("  one   two \t\r\n"), (Strings{"one", " ", "two"}));
    EXPECT_TRUE(AllTokens(" \t ").empty());
    EXPECT_TRUE(AllTokens("").empty());
}

TEST(Tokenizer, EveryMarkupCharacterIsATokenOfItsOwn) {
    EXPECT_EQ(AllTokens("50%,x@y^z<<>>"),
              (Strings{"50", "%", ",", "x", "@", "y", "^", "z", "<", "<", ">", ">"}));
    EXPECT_EQ(AllTokens("Well, <I> do."), (Strings{"Well", ",", " ", "<", "I", ">", " ", "do."}));
    // Other signs are parts of words.
    EXPECT_EQ(AllTokens("a-b #S=1# (c)"), (Strings{"a-b", " ", "#S=1#", " ", "(c)"}));
}

TEST(Tokenizer, KeepsReturningEmptyAtTheEndAndStartsOverOnNewText) {
    Tokenizer tokenizer;
    EXPECT_EQ(tokenizer.NextToken(), "");
    tokenizer.SetTokenText("ab");
    EXPECT_EQ(tokenizer.NextToken(), "ab");
    EXPECT_EQ(tokenizer.NextToken(), "");
    EXPECT_EQ(tokenizer.NextToken(), "");
    tokenizer.SetTokenText("cd ef");
    EXPECT_EQ(tokenizer.NextToken(), "cd");
    tokenizer.SetTokenText("gh");
    EXPECT_EQ(tokenizer.NextToken(), "gh");
    EXPECT_EQ(tokenizer.NextToken(), "");
}

}  // namespace
}  // namespace dyd
