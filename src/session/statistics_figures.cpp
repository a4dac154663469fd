#include "session/statistics_figures.h"

#include <algorithm>
#include <cstdint>

namespace dyd {

int ExercisePercentage(const ExerciseScore& score) {
    const std::int64_t divisor = std::max<std::int64_t>(
        1, static_cast<std::int64_t>(score.stepCount) * score.planned + score.wrong);
    return static_cast<int>(static_cast<std::int64_t>(score.right) * 100 / divisor);
}

StatisticsFigures ComputeStatisticsFigures(const ExerciseScore& score) {
    StatisticsFigures figures;
    figures.right = " " + std::to_string(score.right);
    figures.wrong = " " + std::to_string(score.wrong);
    figures.percentage = " " + std::to_string(ExercisePercentage(score)) + " %";
    figures.progress = " " + std::to_string(score.finished) + " / " + std::to_string(score.planned);
    figures.goBackVisible = score.finished < score.planned && score.rowsPending;
    return figures;
}

}  // namespace dyd
