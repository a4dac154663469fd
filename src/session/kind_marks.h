#pragma once

// The exercise kinds a learner marks for one unit to get in repetition sessions: the list of the
// kinds its type is learnt in, ticked by the unit's chosenKinds, and storing the ticks back.

#include <string>
#include <vector>

#include "core/database.h"
#include "core/repetitions.h"
#include "core/settings.h"

namespace dyd {

struct KindMarkItem {
    int kind = 0;
    std::string text;  // kind + " - " + its name, UTF-8
    bool checked = false;
};

// Every kind 1..20 that learningKinds offers for the unit's type (words and sentences only;
// other types get no items), without kinds 7 and 8 unless the database is German.
std::vector<KindMarkItem> BuildKindMarkItems(const UnitTable& units, const Settings& settings,
                                             int language, const RepetitionStore& store,
                                             int unitNumber);

// Stores each item's tick into the unit's chosenKinds; kinds not listed keep their marks.
void ApplyKindMarks(const std::vector<KindMarkItem>& items, RepetitionStore& store, int unitNumber);

}  // namespace dyd
