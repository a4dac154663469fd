#pragma once

// The browser's search: the units whose foreign or Polish text matches a query, under the four
// options the learner sets in the search options window. Everything is bytes: foreign texts in
// the database's code page, Polish texts in Windows-1250, and the query in the code page of the
// texts it is compared with. Case folding changes only the letters A-Z.

#include <array>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "core/unit_table.h"

namespace dyd {

struct SearchFlags {
    bool wholeText = true;   // the text must equal the query, not merely contain it
    bool foreign = true;     // search the foreign texts (foreignText)
    bool polish = false;     // search the Polish texts (nativeText)
    bool ignoreCase = true;  // A-Z match their small letters; letters with diacritics never fold
};

// The flags kept in the settings (searchOptions[1..4]: whole text, foreign, Polish, ignore
// case). A search that would look at neither kind of text looks at both.
SearchFlags SearchFlagsFromSettings(const Settings& settings);

// Stores the flags as they are into searchOptions[1..4].
void StoreSearchFlags(const SearchFlags& flags, Settings& settings);

// The unit numbers, in order, whose foreignText (when flags.foreign) or nativeText (when
// flags.polish) matches the query, trimmed: with wholeText the text equals the query, otherwise
// it contains it; with ignoreCase the letters A-Z are compared without regard to case. An empty
// query finds nothing.
std::vector<int> SearchUnits(const UnitTable& units, std::string_view query,
                             const SearchFlags& flags);

// The same with the query in each text's own code page: foreignQuery is compared with the
// foreign texts and polishQuery with the Polish ones. An empty query finds nothing on its side
// (a query that the code page of that side cannot hold).
std::vector<int> SearchUnits(const UnitTable& units, std::string_view foreignQuery,
                             std::string_view polishQuery, const SearchFlags& flags);

}  // namespace dyd
