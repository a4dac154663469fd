#include "runner/matching.h"

#include <algorithm>
#include <utility>

#include "core/recording_path.h"

namespace dyd {
namespace {

constexpr std::int32_t kPhrase = 5;

int ScanEnd(const UnitTable& units, const RepetitionStore& repetitions) {
    const int records = static_cast<int>(repetitions.records.size()) - 1;
    return std::max(0, std::min({repetitions.recordHighWater, units.unitCount(), records}));
}

// Learnt, not a phrase and unused; the trash is the eligibility count's concern only.
bool Scannable(const UnitTable& units, const RepetitionStore& repetitions, int u) {
    const Unit& unit = units.unit(u);
    return repetitions.record(u).unitId != 0 && unit.partOfSpeech != kPhrase &&
           unit.matchingUsed == 0;
}

}  // namespace

int CountMatchingEligible(const UnitTable& units, const RepetitionStore& repetitions) {
    const int end = ScanEnd(units, repetitions);
    int count = 0;
    for (int u = 1; u <= end; ++u) {
        if (Scannable(units, repetitions, u) && repetitions.record(u).inTrash == 0) {
            ++count;
        }
    }
    return count;
}

bool MatchingPossible(const UnitTable& units, const RepetitionStore& repetitions) {
    return CountMatchingEligible(units, repetitions) > kMatchingMinEligible;
}

std::optional<MatchingRound> ChooseMatchingPairs(UnitTable& units,
                                                 const RepetitionStore& repetitions,
                                                 const AppPaths& paths, Random& random) {
    const int n = ScanEnd(units, repetitions);
    if (n < 1) {
        return std::nullopt;
    }
    MatchingRound round;
    int held = 0;
    int position = random.Below(n);
    if (position % 2 == 1) {
        ++position;
    }
    position = std::max(position, 1);
    while (held < kMatchingPairs) {
        // Skip forward to the next scannable unit; every examined unit is marked, so each turn
        // leaves one fewer and a full circle without one ends the scan.
        int found = 0;
        for (int step = 0; step < n; ++step) {
            const int u = (position - 1 + step) % n + 1;
            if (Scannable(units, repetitions, u)) {
                found = u;
                break;
            }
        }
        if (found == 0) {
            return std::nullopt;
        }
        Unit& unit = units.unit(found);
        unit.matchingUsed = 1;
        position = found;
        if (unit.foreignText.size() > kMatchingMaxLength ||
            unit.nativeText.size() > kMatchingMaxLength) {
            position += 1;
        } else {
            const auto heldEnd = round.foreignWords.begin() + held;
            if (std::find(round.foreignWords.begin(), heldEnd, unit.foreignText) == heldEnd) {
                const auto i = static_cast<std::size_t>(held++);
                round.foreignWords[i] = unit.foreignText;
                round.meanings[i] = unit.nativeText;
                round.recordings[i] = RecordingPath(paths, unit);
            }
            position += 2;
        }
        position += random.Below(3);
        if (position > n) {
            position = 1;
        }
    }
    return round;
}

void ShuffleMeanings(MatchingRound& round, Random& random) {
    std::array<bool, kMatchingPairs> taken{};
    for (std::size_t i = 0; i < round.meanings.size(); ++i) {
        // Random draws find an empty slot at once or soon; a generator that keeps missing
        // (never the case with a fair one) takes the first empty slot after many draws.
        std::size_t slot = kMatchingPairs;
        for (int draw = 0; draw < 1000; ++draw) {
            const auto s = static_cast<std::size_t>(random.Below(kMatchingPairs));
            if (!taken[s]) {
                slot = s;
                break;
            }
        }
        if (slot == kMatchingPairs) {
            slot = static_cast<std::size_t>(std::find(taken.begin(), taken.end(), false) -
                                            taken.begin());
        }
        taken[slot] = true;
        round.shuffled[slot] = round.meanings[i];
    }
}

std::optional<MatchingRound> PrepareMatchingRound(UnitTable& units,
                                                  const RepetitionStore& repetitions,
                                                  const AppPaths& paths, Random& random) {
    if (!MatchingPossible(units, repetitions)) {
        return std::nullopt;
    }
    std::optional<MatchingRound> round = ChooseMatchingPairs(units, repetitions, paths, random);
    if (round) {
        ShuffleMeanings(*round, random);
    }
    return round;
}

MatchingBoard::MatchingBoard(const MatchingRound& round) : round_(round), right_(round.shuffled) {}

const std::string& MatchingBoard::foreign(int row) const {
    return round_.foreignWords[static_cast<std::size_t>(row)];
}

void MatchingBoard::Exchange(int a, int b) {
    std::swap(right_[static_cast<std::size_t>(a)], right_[static_cast<std::size_t>(b)]);
}

MatchingBoard::Effect MatchingBoard::ClickLeft(int row) {
    Effect effect;
    if (row < 0 || row >= kMatchingPairs) {
        return effect;
    }
    if (solved_) {
        effect.playRow = row;
        return effect;
    }
    if (selectedRight_ < 0) {
        selectedLeft_ = row;
        return effect;
    }
    Exchange(row, selectedRight_);
    selectedRight_ = -1;
    selectedLeft_ = -1;
    effect.flashRow = row;
    return effect;
}

MatchingBoard::Effect MatchingBoard::ClickRight(int row) {
    Effect effect;
    if (solved_ || row < 0 || row >= kMatchingPairs) {
        return effect;
    }
    if (selectedLeft_ >= 0) {
        Exchange(selectedLeft_, row);
        effect.flashRow = selectedLeft_;
        selectedLeft_ = -1;
        selectedRight_ = -1;
    } else if (selectedRight_ >= 0) {
        Exchange(selectedRight_, row);
        selectedRight_ = -1;
    } else {
        selectedRight_ = row;
    }
    return effect;
}

int MatchingBoard::Check() {
    int count = 0;
    for (std::size_t i = 0; i < right_.size(); ++i) {
        rowRight_[i] = right_[i] == round_.meanings[i];
        count += rowRight_[i] ? 1 : 0;
    }
    solved_ = count == kMatchingPairs;
    return count;
}

std::string MatchingScoreText(int rightCount) {
    return std::to_string(rightCount * 10) + " %";
}

}  // namespace dyd
