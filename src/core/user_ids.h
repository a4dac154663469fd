#pragma once

// The ids that units of the learner's own receive. An id is never given to a new unit while a
// kept repetition record (or a kept comment) still names it: those belong to units that a
// damaged or missing learner-units file could not bring back, and a new unit with such an id
// would inherit their learning state at the next login.

#include <cstdint>
#include <vector>

#include "core/database.h"
#include "core/repetitions.h"

namespace dyd {

// Learner units are written with five-digit ids.
inline constexpr std::int32_t kLearnerIdEnd = 100000;

// The ids named by the records kept aside in the store and by the kept comment lines, sorted,
// without repeats.
std::vector<std::int32_t> KeptUnitIds(const CourseDatabase& db, const RepetitionStore& store);

// ComputeNextUserId over the database's user id range, raised above every kept id inside the
// range, so that counting up from it never meets a kept id.
std::int32_t NextUserId(const CourseDatabase& db, const RepetitionStore& store);

// Whether a new learner unit may take the id: inside the database's user id range (above its
// lower end, below its upper end) and of at most five digits. An id at or above the upper end
// would be invisible to the next ComputeNextUserId and be given out twice.
bool UserIdFits(const DatabaseParameters& params, std::int32_t id);

}  // namespace dyd
