#include "core/user_ids.h"

#include <algorithm>

#include "core/learner_files.h"
#include "core/text.h"

namespace dyd {

std::vector<std::int32_t> KeptUnitIds(const CourseDatabase& db, const RepetitionStore& store) {
    std::vector<std::int32_t> ids;
    for (const RepetitionRecord& record : store.orphans) {
        if (record.unitId > 0) {
            ids.push_back(record.unitId);
        }
    }
    for (const std::string& line : db.keptCommentLines) {
        const std::vector<std::string_view> fields = CutFields(line, 1);
        const std::optional<std::int32_t> id = ParseInt(TrimView(fields[0]));
        if (id && *id > 0) {
            ids.push_back(*id);
        }
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::int32_t NextUserId(const CourseDatabase& db, const RepetitionStore& store) {
    const std::int32_t low = db.params.userIdLow;
    const std::int32_t high = db.params.userIdHigh;
    std::int32_t next = ComputeNextUserId(db.units, low, high);
    for (const std::int32_t id : KeptUnitIds(db, store)) {
        if (id > low && id < high && id >= next) {
            next = id + 1;
        }
    }
    return next;
}

bool UserIdFits(const DatabaseParameters& params, std::int32_t id) {
    return id > params.userIdLow && id < params.userIdHigh && id > 0 && id < kLearnerIdEnd;
}

}  // namespace dyd
