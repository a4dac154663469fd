#pragma once

// The figures of the statistics window after an exercise: right and wrong answers, the success
// percentage and the finished rows of the planned ones.

#include <string>

namespace dyd {

struct ExerciseScore {
    int right = 0;
    int wrong = 0;
    int planned = 0;   // rows that had the kind to do when the exercise started
    int finished = 0;  // of those, the rows that need no more answers in the kind
    int stepCount = 1;
    // Whether a row still needs the kind (the exercise can be gone back to).
    bool rowsPending = true;
};

// The success percentage, truncated: right x 100 / (stepCount x planned + wrong), the divisor at
// least 1. Whole-number arithmetic, so that 29 of 100 reads 29 and not 28.
int ExercisePercentage(const ExerciseScore& score);

// The label texts, each starting with a blank, and whether the go-back button shows.
struct StatisticsFigures {
    std::string right;       // " " + right
    std::string wrong;       // " " + wrong
    std::string percentage;  // " " + percentage + " %"
    std::string progress;    // " " + finished + " / " + planned
    bool goBackVisible = false;
};

StatisticsFigures ComputeStatisticsFigures(const ExerciseScore& score);

}  // namespace dyd
