#pragma once

// The matching interlude without its window: which learnt words may take part, the choice of
// ten pairs, the shuffled right column, and the pairing and checking the learner does with
// clicks. The round's result is kept nowhere; only the choice marks the units as used for the
// rest of the program run.

#include <array>
#include <optional>
#include <string>

#include "core/clock.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr int kMatchingPairs = 10;
// Longest foreign word or meaning (in characters of the database files) that fits its row.
inline constexpr std::size_t kMatchingMaxLength = 22;
// A round is offered only when more learnt words than this are still unused.
inline constexpr int kMatchingMinEligible = 100;

// Rows 0..9 stand for the window's rows 1..10.
struct MatchingRound {
    std::array<std::string, kMatchingPairs> foreignWords;  // left column, in choice order
    std::array<std::string, kMatchingPairs> meanings;      // the expected meaning of each row
    std::array<std::string, kMatchingPairs> shuffled;      // the meanings as first shown
    std::array<std::string, kMatchingPairs> recordings;    // recording path of each row's unit
};

// Learnt units (unitId set in their record) that are not phrases (part of speech 5), not in the
// trash and not yet used in this run, among units 1..recordHighWater.
int CountMatchingEligible(const UnitTable& units, const RepetitionStore& repetitions);

// Whether a round may be offered: more than kMatchingMinEligible eligible units.
bool MatchingPossible(const UnitTable& units, const RepetitionStore& repetitions);

// Scans the learnt units from a random even start with random steps and takes ten pairs of
// short texts with distinct foreign words; every unit examined is marked used. Nothing when the
// units run out before ten pairs are held (those examined stay marked). The meanings are not
// shuffled yet.
std::optional<MatchingRound> ChooseMatchingPairs(UnitTable& units,
                                                 const RepetitionStore& repetitions,
                                                 const AppPaths& paths, Random& random);

// Places the meanings in random slots of shuffled: each meaning in turn draws slots until it
// finds an empty one.
void ShuffleMeanings(MatchingRound& round, Random& random);

// Eligibility, choice and shuffle together; nothing when no round can be offered.
std::optional<MatchingRound> PrepareMatchingRound(UnitTable& units,
                                                  const RepetitionStore& repetitions,
                                                  const AppPaths& paths, Random& random);

// The learner's pairing on the board: clicks on left words (foreign) and right words
// (meanings) move the meanings between rows until a check finds all ten right.
class MatchingBoard {
  public:
    explicit MatchingBoard(const MatchingRound& round);

    // What a click did, for the window to show.
    struct Effect {
        int flashRow = -1;  // row whose labels flash (a meaning was placed there)
        int playRow = -1;   // after solving: row whose recording plays
    };

    Effect ClickLeft(int row);
    Effect ClickRight(int row);
    // Counts the rows holding their own meaning; ten solve the board.
    int Check();

    const std::string& right(int row) const { return right_[static_cast<std::size_t>(row)]; }
    const std::string& foreign(int row) const;
    // The rows the last check found right.
    bool rowRight(int row) const { return rowRight_[static_cast<std::size_t>(row)]; }
    int selectedLeft() const { return selectedLeft_; }    // -1 none
    int selectedRight() const { return selectedRight_; }  // -1 none
    bool solved() const { return solved_; }
    const MatchingRound& round() const { return round_; }

  private:
    void Exchange(int a, int b);

    MatchingRound round_;
    std::array<std::string, kMatchingPairs> right_;
    std::array<bool, kMatchingPairs> rowRight_{};
    int selectedLeft_ = -1;
    int selectedRight_ = -1;
    bool solved_ = false;
};

// The score line: "70 %".
std::string MatchingScoreText(int rightCount);

}  // namespace dyd
