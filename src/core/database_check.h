#pragma once

// The problems of a loaded course database that a course author must fix, beyond the lines the
// loaders skipped: repeated ids, relations to ids that no unit has, missing recordings, a user id
// range narrower than 11, bytes that the code page does not define, base files of another
// language.

#include <vector>

#include "core/database.h"

namespace dyd {

std::vector<LoadProblem> CheckDatabase(const AppPaths& paths, const CourseDatabase& db,
                                       const LoadLog& log);

// The loaders' problems and the checks' problems, ordered by file (in reading order) and line.
std::vector<LoadProblem> AllProblems(const AppPaths& paths, const CourseDatabase& db,
                                     const LoadLog& log);

}  // namespace dyd
