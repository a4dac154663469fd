#pragma once

// The full installation: beside the sample courses a course filled to capacity, whose
// recordings are those the sample already has for the same texts, and a learner who has used
// it for a long time: repetition records of most units (some of them due on the day given)
// and a full exercise history, all written by the program's own writers.

#include <string>
#include <vector>

#include "course_files.h"
#include "output.h"

namespace dyd::samplegen {

inline constexpr std::string_view kFullCourseCode = "pelny";
inline constexpr std::string_view kFullCourseTitle = "Angielski - kurs pełny";
inline constexpr std::string_view kFullLearnerName = "Pełny";  // UTF-8

// The recordings of wanted made by linking the files of made that hold the same text in the
// same voice and format. Returns how many were linked; a recording without such a file is an
// error.
int LinkRecordings(Output& output, const std::vector<RecordingJob>& wanted,
                   const std::vector<RecordingJob>& made, std::vector<std::string>& errors);

struct FullLearnerReport {
    int number = 0;   // the learner's folder
    int records = 0;  // repetition records written
    int due = 0;      // of them due on the day given
    int history = 0;  // history records written
};

// Adds the learner to the installation's list (or finds him there), opens the course for him
// as the login does and writes his settings, repetitions and history anew: records learnt
// units (every fifth unit stays new) over the past two years, due from some days before today
// on; history results over the past year until the history holds historyRecords.
FullLearnerReport WriteFullLearner(const std::string& installDir, std::string_view code,
                                   int records, int historyRecords, double today,
                                   std::vector<std::string>& errors);

}  // namespace dyd::samplegen
