#include "runner/matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runner/scripted_random.h"

namespace dyd {
namespace {

using test::ScriptedRandom;

// Units 1..count, all learnt, with short distinct words "w<n>" meaning "z<n>".
struct Course {
    explicit Course(int count) {
        for (int n = 1; n <= count; ++n) {
            Unit unit;
            unit.unitId = n;
            unit.foreignText = "w" + std::to_string(n);
            unit.nativeText = "z" + std::to_string(n);
            units.Append(unit);
            repetitions.record(n).unitId = n;
        }
        repetitions.recordHighWater = count;
    }
    Unit& unit(int n) { return units.unit(n); }
    std::vector<int> Used() const {
        std::vector<int> used;
        for (int n = 1; n <= units.unitCount(); ++n) {
            if (units.unit(n).matchingUsed != 0) {
                used.push_back(n);
            }
        }
        return used;
    }
    UnitTable units;
    RepetitionStore repetitions;
    AppPaths paths;
};

std::vector<std::string> Words(std::initializer_list<int> numbers) {
    std::vector<std::string> words;
    for (int n : numbers) {
        words.push_back("w" + std::to_string(n));
    }
    return words;
}

std::vector<std::string> Left(const MatchingRound& round) {
    return {round.foreignWords.begin(), round.foreignWords.end()};
}

TEST(MatchingEligibility, MoreThanHundredUsableLearntWordsOfferARound) {
    struct Case {
        int eligible;
        bool offered;
    };
    for (const Case c : {Case{100, false}, Case{101, true}}) {
        // Units that never count: one not learnt, a phrase, one in the trash, one already used.
        Course course(c.eligible + 4);
        course.repetitions.record(c.eligible + 1).unitId = 0;
        course.unit(c.eligible + 2).partOfSpeech = 5;
        course.repetitions.record(c.eligible + 3).inTrash = 1;
        course.unit(c.eligible + 4).matchingUsed = 1;
        EXPECT_EQ(CountMatchingEligible(course.units, course.repetitions), c.eligible);
        ScriptedRandom random;
        const auto round =
            PrepareMatchingRound(course.units, course.repetitions, course.paths, random);
        EXPECT_EQ(round.has_value(), c.offered) << c.eligible;
        if (!c.offered) {
            EXPECT_TRUE(course.Used().size() == 1) << "no unit is marked when no round is offered";
        }
    }
}

TEST(MatchingChoice, ScanStartsEvenStepsByTwoPlusRandomAndWrapsToTheFirstUnit) {
    Course course(20);
    // Start 3 is odd and becomes 4; the extra steps are 2, 1, then 0.
    ScriptedRandom random({3, 2, 1});
    const auto round = ChooseMatchingPairs(course.units, course.repetitions, course.paths, random);
    ASSERT_TRUE(round);
    EXPECT_EQ(Left(*round), Words({4, 8, 11, 13, 15, 17, 19, 1, 3, 5}));
    EXPECT_EQ(round->meanings[1], "z8");
    EXPECT_EQ(course.Used(), (std::vector<int>{1, 3, 4, 5, 8, 11, 13, 15, 17, 19}));
}

TEST(MatchingChoice, LongTextsAndRepeatedWordsAreMarkedButNeverPaired) {
    Course course(20);
    course.unit(4).nativeText = std::string(23, 'a');  // too long: marked, scan moves on by 1
    course.unit(7).foreignText = "w5";                 // the word of unit 5 again: moves on by 2
    course.unit(9).nativeText = std::string(22, 'b');  // the longest that fits
    course.unit(6).partOfSpeech = 5;                   // phrases are skipped, not marked
    ScriptedRandom random({3});
    const auto round = ChooseMatchingPairs(course.units, course.repetitions, course.paths, random);
    ASSERT_TRUE(round);
    EXPECT_EQ(Left(*round), Words({5, 9, 11, 13, 15, 17, 19, 1, 3, 8}));
    EXPECT_EQ(round->meanings[1], std::string(22, 'b'));
    EXPECT_EQ(course.Used(), (std::vector<int>{1, 3, 4, 5, 7, 8, 9, 11, 13, 15, 17, 19}));
}

TEST(MatchingChoice, TooFewShortWordsEndTheScanWithoutARound) {
    Course course(150);
    for (int n = 1; n <= 150; ++n) {
        if (n % 30 != 0) {
            course.unit(n).foreignText = std::string(30, 'x');
        }
    }
    ScriptedRandom random({7, 1, 2});
    ASSERT_TRUE(MatchingPossible(course.units, course.repetitions));
    EXPECT_FALSE(PrepareMatchingRound(course.units, course.repetitions, course.paths, random));
    EXPECT_EQ(course.Used().size(), 150u) << "every examined unit stays marked";
    EXPECT_EQ(CountMatchingEligible(course.units, course.repetitions), 0);
}

TEST(MatchingShuffle, EveryMeaningGetsItsOwnSlot) {
    MatchingRound round;
    for (int i = 0; i < kMatchingPairs; ++i) {
        round.meanings[static_cast<std::size_t>(i)] = "z" + std::to_string(i);
    }
    // Draws 3, then 3 (taken) and 0; afterwards the script answers 0 for ever, which a fair
    // generator never does: the meanings then take the free slots in order.
    ScriptedRandom scripted({3, 3, 0});
    ShuffleMeanings(round, scripted);
    EXPECT_EQ(round.shuffled[3], "z0");
    EXPECT_EQ(round.shuffled[0], "z1");
    EXPECT_EQ(round.shuffled[1], "z2");
    for (Random* random : std::initializer_list<Random*>{&scripted, nullptr}) {
        SeededRandom seeded(42);
        if (random == nullptr) {
            round.shuffled = {};
            ShuffleMeanings(round, seeded);
        }
        auto sorted = round.shuffled;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, round.meanings);
    }
}

MatchingRound RoundInOrder() {
    MatchingRound round;
    for (int i = 0; i < kMatchingPairs; ++i) {
        const auto s = static_cast<std::size_t>(i);
        round.foreignWords[s] = "w" + std::to_string(i + 1);
        round.meanings[s] = "z" + std::to_string(i + 1);
        round.recordings[s] = "r" + std::to_string(i + 1);
    }
    round.shuffled = round.meanings;
    return round;
}

TEST(MatchingBoard, ClicksExchangeTheMeaningsOfTheRows) {
    // Left word 3 with right word 7 (rows 2 and 6), in either order, flashes row 3.
    for (const bool leftFirst : {true, false}) {
        MatchingBoard board(RoundInOrder());
        const auto effect = leftFirst ? (board.ClickLeft(2), board.ClickRight(6))
                                      : (board.ClickRight(6), board.ClickLeft(2));
        EXPECT_EQ(board.right(2), "z7");
        EXPECT_EQ(board.right(6), "z3");
        EXPECT_EQ(effect.flashRow, 2);
        EXPECT_EQ(board.selectedLeft(), -1);
        EXPECT_EQ(board.selectedRight(), -1);
    }
    MatchingBoard board(RoundInOrder());
    board.ClickLeft(0);
    board.ClickLeft(4);  // another left word takes the selection over
    EXPECT_EQ(board.selectedLeft(), 4);
    board.ClickRight(1);
    EXPECT_EQ(board.right(4), "z2");
    EXPECT_EQ(board.right(1), "z5");

    board.ClickRight(8);
    EXPECT_EQ(board.selectedRight(), 8);
    const auto effect = board.ClickRight(9);  // two right words exchange without a flash
    EXPECT_EQ(board.right(8), "z10");
    EXPECT_EQ(board.right(9), "z9");
    EXPECT_EQ(effect.flashRow, -1);
    EXPECT_EQ(board.selectedRight(), -1);
}

TEST(MatchingBoard, CheckCountsTheRightRowsUntilAllTenAreRight) {
    MatchingRound round = RoundInOrder();
    std::rotate(round.shuffled.begin(), round.shuffled.begin() + 1, round.shuffled.begin() + 3);
    MatchingBoard board(round);
    const int right = board.Check();
    EXPECT_EQ(right, 7);
    EXPECT_EQ(MatchingScoreText(right), "70 %");
    EXPECT_FALSE(board.solved());
    EXPECT_FALSE(board.rowRight(0));
    EXPECT_TRUE(board.rowRight(3));

    board.ClickLeft(0);
    board.ClickRight(2);  // the first row gets "z1"
    board.ClickRight(1);
    board.ClickRight(2);  // the second and third rows exchange
    EXPECT_EQ(board.Check(), 10);
    EXPECT_EQ(MatchingScoreText(10), "100 %");
    EXPECT_TRUE(board.solved());

    // Solved: a left word plays its row's recording, right words no longer move.
    EXPECT_EQ(board.ClickLeft(5).playRow, 5);
    board.ClickRight(0);
    board.ClickRight(1);
    EXPECT_EQ(board.right(0), "z1");
    EXPECT_EQ(board.selectedRight(), -1);
}

}  // namespace
}  // namespace dyd
