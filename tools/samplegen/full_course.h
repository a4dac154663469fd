#pragma once

// A course filled up to the capacity of the program: the units a course already has, then as
// many more words and sentences as the tables hold, the relations between them, and exercise
// sets over the new units. The new words repeat the course's own words (or a small built-in
// list of English words when the course has none), numbered from their second occurrence on
// ("mother 2" / "matka 2") and recorded as the word itself; the new sentences are put together from
// built-in pieces, 40 to 120 characters long, with a gap around the verb. The same content
// serves the full installation of the generator and the benchmarks.

#include <map>
#include <utility>
#include <vector>

#include "core/history.h"
#include "core/unit_table.h"
#include "sources.h"

namespace dyd::samplegen {

struct FullCourseSize {
    int units = kMaxUnits;  // every unit of the course, its own ones included
    int sentences = 5000;   // of them sentences; the rest are words (and QA items)
    int relations = kMaxRelations;
    int setSize = 20;  // units in each new exercise set
};

// The size a full installation of size units takes: the proportions of the full course.
FullCourseSize FullCourseSizeOf(int units);

// The learner's part of a full installation at that size: 20000 repetition records and 7000
// history records for the full course, proportionally fewer for a smaller one.
int FullLearnerRecordsOf(int units);
int FullHistoryRecordsOf(int units);

struct FullCourseFill {
    // New word id -> id of the course's own word it repeats (not for the built-in words).
    std::map<int, int> repeats;
    std::vector<int> newWordIds;
    std::vector<int> newSentenceIds;
};

// Fills course up to size. Its relations become explicit: the links of its own words to its
// own sentences, then each new word takes the links of the word it repeats, then pairs of new
// words and new sentences until there are size.relations. New ids follow the highest id of the
// course (from the next thousand on), or start at 1 in an empty course. When withRecordings is
// set, every second new word that repeats a word of the course asks for the recording format
// of that word (the recording of the same text), the other new units name no recording.
FullCourseFill FillCourse(SourceCourse& course, const FullCourseSize& size, bool withRecordings);

}  // namespace dyd::samplegen
