// The browser's search: the four options, the folding of A-Z only, and the options as the
// settings keep them.

#include "content/browser_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {
namespace {

// Windows-1250 bytes: Ł, ł, Ó/ó, ź; Ä and ä are the same bytes in 1250 and 1252.
const std::string kLodzUpper =
    "\xA3\xF3"
    "d\x9F";  // "Łódź"
const std::string kLodzLower =
    "\xB3\xF3"
    "d\x9F";                                 // "łódź"
const std::string kApfelUpper = "\xC4pfel";  // "Äpfel"
const std::string kApfelLower = "\xE4pfel";  // "äpfel"

UnitTable Course() {
    UnitTable units;
    const auto add = [&](std::string foreign, std::string polish) {
        Unit u;
        u.foreignText = std::move(foreign);
        u.nativeText = std::move(polish);
        units.Append(std::move(u));
    };
    add("House", "dom");                     // 1
    add("house", "domek");                   // 2
    add("the house next door", "dom obok");  // 3
    add("dom", "katedra");                   // 4: a foreign text that is also a Polish word
    add(kApfelUpper, kLodzUpper);            // 5
    add(kApfelLower, kLodzLower);            // 6
    add("-house-", "HOUSE");                 // 7
    units.wordUnitCount = 7;
    return units;
}

SearchFlags Flags(bool whole, bool foreign, bool polish, bool ignoreCase) {
    return SearchFlags{whole, foreign, polish, ignoreCase};
}

struct Case {
    const char* what;
    std::string query;
    SearchFlags flags;
    std::vector<int> found;
};

TEST(BrowserSearch, MatchesByTheFourOptions) {
    const UnitTable units = Course();
    const Case cases[] = {
        {"whole text, any case", "house", Flags(true, true, false, true), {1, 2}},
        {"whole text, exact case", "house", Flags(true, true, false, false), {2}},
        {"whole text, exact case, capital query", "House", Flags(true, true, false, false), {1}},
        {"contains, any case (query lowered)",
         "HOUSE",
         Flags(false, true, false, true),
         {1, 2, 3, 7}},
        {"contains, exact case", "house", Flags(false, true, false, false), {2, 3, 7}},
        {"whole Polish text only, not the ones that contain it",
         "dom",
         Flags(true, false, true, true),
         {1}},
        {"contained in Polish texts", "dom", Flags(false, false, true, false), {1, 2, 3}},
        {"both kinds of text", "dom", Flags(true, true, true, true), {1, 4}},
        {"Polish capitals fold with any case", "house", Flags(true, false, true, true), {7}},
        {"query is trimmed", "  house \t", Flags(true, true, false, true), {1, 2}},
        {"a query starting with no letter", "-HOUSE", Flags(false, true, false, true), {7}},
        {"a query longer than every text",
         "house next door and more",
         Flags(false, true, true, true),
         {}},
        {"an empty query finds nothing", "   ", Flags(false, true, true, true), {}},
        {"nothing found", "zebra", Flags(false, true, true, true), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SearchUnits(units, c.query, c.flags), c.found) << c.what;
    }
}

TEST(BrowserSearch, IgnoringCaseNeverFoldsLettersWithDiacritics) {
    const UnitTable units = Course();
    const SearchFlags anyCaseWhole = Flags(true, true, true, true);
    const SearchFlags anyCasePart = Flags(false, true, true, true);
    // "łódź" finds only itself, not "Łódź"; the same for "äpfel" and "Äpfel".
    EXPECT_EQ(SearchUnits(units, kLodzLower, anyCaseWhole), std::vector<int>{6});
    EXPECT_EQ(SearchUnits(units, kLodzUpper, anyCaseWhole), std::vector<int>{5});
    EXPECT_EQ(SearchUnits(units, kApfelLower, anyCasePart), std::vector<int>{6});
    EXPECT_EQ(SearchUnits(units, kApfelUpper, anyCasePart), std::vector<int>{5});
    // The letters A-Z beside them still fold.
    EXPECT_EQ(SearchUnits(units, "\xC4PFEL", anyCaseWhole), std::vector<int>{5});
    EXPECT_EQ(SearchUnits(units,
                          "\xA3\xF3"
                          "D",
                          anyCasePart),
              std::vector<int>{5});
}

TEST(BrowserSearch, EachSideTakesTheQueryInItsOwnCodePage) {
    const UnitTable units = Course();
    const SearchFlags both = Flags(true, true, true, true);
    EXPECT_EQ(SearchUnits(units, "house", "dom", both), (std::vector<int>{1, 2}));
    EXPECT_EQ(SearchUnits(units, "zebra", "dom", both), (std::vector<int>{1}));
    // A query one side cannot hold is given as empty there and finds nothing on that side.
    EXPECT_EQ(SearchUnits(units, "", "katedra", both), (std::vector<int>{4}));
    EXPECT_EQ(SearchUnits(units, "dom", "", both), (std::vector<int>{4}));
}

TEST(BrowserSearch, FlagsComeFromAndGoToTheSettings) {
    Settings settings;
    settings.searchOptions = {false, true, true, false, true};
    SearchFlags flags = SearchFlagsFromSettings(settings);
    EXPECT_TRUE(flags.wholeText);
    EXPECT_TRUE(flags.foreign);
    EXPECT_FALSE(flags.polish);
    EXPECT_TRUE(flags.ignoreCase);

    // Neither kind of text switched on: both are searched.
    settings.searchOptions = {false, false, false, false, false};
    flags = SearchFlagsFromSettings(settings);
    EXPECT_FALSE(flags.wholeText);
    EXPECT_TRUE(flags.foreign);
    EXPECT_TRUE(flags.polish);
    EXPECT_FALSE(flags.ignoreCase);
    EXPECT_EQ(SearchUnits(Course(), "dom", flags), (std::vector<int>{1, 2, 3, 4}));

    StoreSearchFlags(Flags(false, false, true, true), settings);
    EXPECT_EQ(settings.searchOptions, (std::array<bool, 5>{false, false, false, true, true}));
}

}  // namespace
}  // namespace dyd
