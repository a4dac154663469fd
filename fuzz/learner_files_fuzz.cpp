// Groups, a learner's comments and the testers' corrections: any bytes read; what is written
// reads back the same.

#include "core/database.h"
#include "core/learner_files.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    LoadLog log;
    const std::vector<Group> groups = ParseGroups(bytes, &log, "gt_s.txt");
    fuzz::Require(groups.size() <= static_cast<std::size_t>(kMaxGroups), "at most 100 groups");
    const std::string groupsWritten = FormatGroups(groups);
    fuzz::Require(FormatGroups(ParseGroups(groupsWritten, nullptr, "gt_s.txt")) == groupsWritten,
                  "groups written and read back are the same");

    CourseDatabase db;
    for (int id = 1; id <= 40; ++id) {
        Unit unit;
        unit.unitId = id;
        db.units.Append(unit);
    }
    ParseComments(bytes, db, &log, "kom.txt");
    ParseCorrections(bytes, db.units, &log, "korekta_dane.txt");
    const std::string comments = FormatComments(db.units, db.keptCommentLines);
    const std::string corrections = FormatCorrections(db.units);
    CourseDatabase again;
    for (int id = 1; id <= 40; ++id) {
        Unit unit;
        unit.unitId = id;
        again.units.Append(unit);
    }
    ParseComments(comments, again, nullptr, "kom.txt");
    ParseCorrections(corrections, again.units, nullptr, "korekta_dane.txt");
    fuzz::Require(FormatComments(again.units, again.keptCommentLines) == comments,
                  "comments read back the same");
    fuzz::Require(FormatCorrections(again.units) == corrections, "corrections read back the same");
    return 0;
}
