// What the runner tells the learner beyond the verdict: a wrong typed answer compared letter by
// letter, the mark of a right answer.

#include <gtest/gtest.h>

#include "runner_fixture.h"

namespace dyd::test {
namespace {

class RunnerFeedback : public RunnerFixture {};

// The marks as one line: [x] wrong, {x} extra, (x) missing.
std::string Marks(const LetterComparison& c) {
    std::string out;
    for (const MarkedLetter& l : c.letters) {
        const char* open = l.mark == LetterMark::Wrong     ? "["
                           : l.mark == LetterMark::Extra   ? "{"
                           : l.mark == LetterMark::Missing ? "("
                                                           : "";
        const char* close = l.mark == LetterMark::Wrong     ? "]"
                            : l.mark == LetterMark::Extra   ? "}"
                            : l.mark == LetterMark::Missing ? ")"
                                                            : "";
        out += open + l.text + close;
    }
    return out;
}

TEST_F(RunnerFeedback, WrongTypedAnswerIsComparedAsTheLearnerSeesIt) {
    s.settings.f5HintShown = true;
    // The expected text is compared normalised and in the database's code page (ß here); so is
    // the answer, whose spaces do not count. Letter case counts.
    const int street = Add({Cp("Straße am  Bach"), "ulica"});
    const int tree = Add({"tree", "drzewo"});
    Open(kTypingTranslation, {street, tree});
    ASSERT_EQ(runner->state().stepUnit, street);
    EXPECT_FALSE(runner->view().comparisonVisible);
    EXPECT_FALSE(runner->view().rightMark);
    ASSERT_TRUE(runner->JudgeTyped(" strae am  Bach "));
    EXPECT_FALSE(runner->state().answerCorrect);
    EXPECT_TRUE(runner->view().comparisonVisible);
    EXPECT_EQ(Marks(runner->view().comparison), "[s]tra(ß)e am Bach");
    EXPECT_EQ(runner->view().comparison.distance, 2);
    EXPECT_FALSE(runner->view().rightMark);

    // Accepting the answer marks it right; the comparison stays to be read.
    runner->AcceptAnswer();
    EXPECT_TRUE(runner->view().rightMark);
    EXPECT_TRUE(runner->view().comparisonVisible);

    // The next step starts clean, and a right answer shows only the mark.
    runner->Ok();
    ASSERT_EQ(runner->state().stepUnit, tree);
    EXPECT_FALSE(runner->view().comparisonVisible);
    EXPECT_TRUE(runner->view().comparison.letters.empty());
    EXPECT_FALSE(runner->view().rightMark);
    ASSERT_TRUE(runner->JudgeTyped("tree"));
    EXPECT_TRUE(runner->view().rightMark);
    EXPECT_FALSE(runner->view().comparisonVisible);
}

TEST_F(RunnerFeedback, WrongGapsAreComparedGapByGap) {
    s.settings.f5HintShown = true;
    const int went = Add({"I <went> <home>", "Poszedłem do domu", kSentenceUnit});
    Open(kGapFilling, {went});
    runner->Ok({}, "wnet", "home", "");
    EXPECT_FALSE(runner->state().answerCorrect);
    EXPECT_TRUE(runner->view().comparisonVisible);
    EXPECT_EQ(Marks(runner->view().comparison), "w(e)n{e}t; home");
}

TEST_F(RunnerFeedback, ChoicesAndSelfAssessmentShowNoComparison) {
    const std::vector<int> units{Add({"house", "dom"}),  Add({"tree", "drzewo"}),
                                 Add({"cat", "kot"}),    Add({"dog", "pies"}),
                                 Add({"sun", "słońce"}), Add({"moon", "księżyc"})};
    Open(kTranslationChoice, units);
    const int wrong = runner->state().correctChoice % 4 + 1;
    runner->JudgeChoice(wrong);
    EXPECT_FALSE(runner->state().answerCorrect);
    EXPECT_FALSE(runner->view().comparisonVisible);
    EXPECT_FALSE(runner->view().rightMark);
    runner->Ok();
    runner->JudgeChoice(runner->state().correctChoice);
    EXPECT_TRUE(runner->view().rightMark);
}

}  // namespace
}  // namespace dyd::test
