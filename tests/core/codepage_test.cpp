#include "core/codepage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace dyd {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct RoundTrip {
    CodePage page;
    std::string bytes;
    std::string utf8;
};

TEST(CodePage, ConvertsLettersOfEachPageBothWays) {
    const RoundTrip cases[] = {
        // Every Polish letter, small then capital.
        {CodePage::Cp1250, "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF",
         "\xC4\x85\xC4\x87\xC4\x99\xC5\x82\xC5\x84\xC3\xB3\xC5\x9B\xC5\xBA\xC5\xBC"},
        {CodePage::Cp1250, "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF",
         "\xC4\x84\xC4\x86\xC4\x98\xC5\x81\xC5\x83\xC3\x93\xC5\x9A\xC5\xB9\xC5\xBB"},
        // German and Czech letters of the Central European page.
        {CodePage::Cp1250, "\xDF\xFC\xE8\xF8", "\xC3\x9F\xC3\xBC\xC4\x8D\xC5\x99"},
        // Russian "Привет, ёж!".
        {CodePage::Cp1251, "\xCF\xF0\xE8\xE2\xE5\xF2, \xB8\xE6!",
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD1\x91\xD0\xB6!"},
        {CodePage::Cp1251, "\xC0\xDF\xE0\xFF\xA8", "\xD0\x90\xD0\xAF\xD0\xB0\xD1\x8F\xD0\x81"},
        // Western: "é ü ß ñ €" and curly quotes.
        {CodePage::Cp1252, "\xE9 \xFC \xDF \xF1 \x80 \x93x\x94",
         "\xC3\xA9 \xC3\xBC \xC3\x9F \xC3\xB1 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
        // ASCII and control bytes pass unchanged.
        {CodePage::Cp1250, "Abc 1=2\r\n\t", "Abc 1=2\r\n\t"},
        {CodePage::Cp1251, "", ""},
    };
    for (const RoundTrip& c : cases) {
        const char* name = CodePageName(c.page);
        EXPECT_EQ(ToUtf8(c.bytes, c.page), c.utf8) << name;
        std::string bad = "unchanged";
        EXPECT_EQ(FromUtf8(c.utf8, c.page, &bad), c.bytes) << name;
    }
}

TEST(CodePage, EveryDefinedByteComesBackUnchanged) {
    for (const CodePage page : {CodePage::Cp1250, CodePage::Cp1251, CodePage::Cp1252}) {
        int defined = 0;
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            if (!IsDefinedByte(page, static_cast<unsigned char>(b))) {
                EXPECT_EQ(ToUtf8(byte, page), kReplacement) << CodePageName(page) << " " << b;
                continue;
            }
            ++defined;
            EXPECT_EQ(FromUtf8(ToUtf8(byte, page), page), byte) << CodePageName(page) << " " << b;
        }
        // Each page leaves at most a handful of bytes undefined.
        EXPECT_GE(defined, 250) << CodePageName(page);
    }
}

TEST(CodePage, UndefinedBytesBecomeTheReplacementCharacter) {
    EXPECT_FALSE(IsDefinedByte(CodePage::Cp1250, 0x81));
    EXPECT_FALSE(IsDefinedByte(CodePage::Cp1250, 0x98));
    EXPECT_FALSE(IsDefinedByte(CodePage::Cp1251, 0x98));
    EXPECT_FALSE(IsDefinedByte(CodePage::Cp1252, 0x81));
    EXPECT_TRUE(IsDefinedByte(CodePage::Cp1250, 0xB9));
    EXPECT_EQ(ToUtf8("a\x81"
                     "b\x98",
                     CodePage::Cp1250),
              std::string("a") + kReplacement + "b" + kReplacement);
    // The replacement character cannot be written back.
    EXPECT_EQ(FromUtf8(kReplacement, CodePage::Cp1250), std::nullopt);
}

TEST(CodePage, RefusesACharacterThePageCannotHoldAndNamesIt) {
    struct Case {
        std::string utf8;
        CodePage page;
        std::string bad;
    };
    const Case cases[] = {
        // Cyrillic into the Central European page.
        {"ok \xD0\x9F\xD1\x80", CodePage::Cp1250, "\xD0\x9F"},
        // Polish into the Western and the Cyrillic pages (o-acute is Western, a-ogonek is not).
        {"\xC3\xB3\xC4\x85", CodePage::Cp1252, "\xC4\x85"},
        {"za\xC5\xBC", CodePage::Cp1251, "\xC5\xBC"},
        // Characters outside every single-byte page.
        {"smile \xF0\x9F\x98\x80", CodePage::Cp1250, "\xF0\x9F\x98\x80"},
        {"\xE4\xB8\xAD", CodePage::Cp1252, "\xE4\xB8\xAD"},
        // C1 control of an undefined byte.
        {"\xC2\x81", CodePage::Cp1250, "\xC2\x81"},
    };
    for (const Case& c : cases) {
        std::string bad;
        EXPECT_EQ(FromUtf8(c.utf8, c.page, &bad), std::nullopt) << CodePageName(c.page);
        EXPECT_EQ(bad, c.bad) << CodePageName(c.page);
    }
    EXPECT_EQ(FromUtf8("\xD0\x9F", CodePage::Cp1250), std::nullopt);  // no report asked for
}

TEST(CodePage, RefusesTextThatIsNotValidUtf8) {
    for (const char* text : {"\xB9", "a\xC4", "\xC0\x80", "\xED\xA0\x80", "\xE2\x82", "\xFF"}) {
        std::string bad;
        EXPECT_EQ(FromUtf8(text, CodePage::Cp1250, &bad), std::nullopt) << text;
        EXPECT_FALSE(bad.empty());
    }
}

TEST(CodePage, CharsetNumbersChooseThePage) {
    EXPECT_EQ(CodePageOfCharset(238), CodePage::Cp1250);
    EXPECT_EQ(CodePageOfCharset(0), CodePage::Cp1252);
    EXPECT_EQ(CodePageOfCharset(204), CodePage::Cp1251);
    EXPECT_EQ(CodePageOfCharset(1), CodePage::Cp1250);
    EXPECT_EQ(CodePageOfCharset(161), CodePage::Cp1250);
    EXPECT_EQ(CodePageOfCharset(-1), CodePage::Cp1250);
}

TEST(LooksLikeUtf8, SpotsUtf8AmongCodePageBytes) {
    EXPECT_TRUE(LooksLikeUtf8("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"));
    EXPECT_TRUE(LooksLikeUtf8("\xD0\x9F\xD1\x80"));
    EXPECT_TRUE(
        LooksLikeUtf8("\xEF\xBB\xBF"
                      "abc"));
    // Plain ASCII is valid in every page and says nothing.
    EXPECT_FALSE(LooksLikeUtf8("plain ASCII=text\r\n"));
    EXPECT_FALSE(LooksLikeUtf8(""));
    // Windows-1250 and Windows-1251 texts.
    EXPECT_FALSE(LooksLikeUtf8("za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"));
    EXPECT_FALSE(LooksLikeUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"));
    // Broken sequences: overlong, surrogate, cut at the end, stray continuation byte.
    EXPECT_FALSE(LooksLikeUtf8("\xC0\xAF"));
    EXPECT_FALSE(LooksLikeUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(LooksLikeUtf8("za\xC5"));
    EXPECT_FALSE(LooksLikeUtf8("\xC5\xBC\x80"));
}

}  // namespace
}  // namespace dyd
