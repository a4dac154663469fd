// What the runner tells the learner beyond the verdict: a wrong typed answer compared letter by
// letter, the mark of a right answer, where the run stands, and an answer taken back.

#include <gtest/gtest.h>

#include "core/scheduling.h"
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

// ---- Where the run stands -----------------------------------------------------------------------

TEST_F(RunnerFeedback, PositionCountsTheRightAnswersTheRunNeeds) {
    const std::vector<int> units{Add({"house", "dom"}), Add({"tree", "drzewo"})};
    s.settings.intensity = 1;  // two right answers per unit
    ASSERT_EQ(StepCount(s.plan.mode, s.settings), 2);
    Open(kSelfAssessment, units, 2);
    EXPECT_EQ(runner->view().position, "1 / 4");
    runner->RevealAnswer();
    runner->JudgeSelf(false);  // a wrong answer does not move on
    EXPECT_EQ(runner->view().position, "1 / 4");
    runner->RevealAnswer();
    runner->JudgeSelf(true);
    EXPECT_EQ(runner->view().position, "2 / 4");

    // A run resumed later counts only what is left.
    runner->CloseRun();
    runner->OpenRun();
    EXPECT_EQ(runner->view().position, "1 / 3");
}

// ---- Taking an answer back ----------------------------------------------------------------------

TEST_F(RunnerFeedback, WrongTypedAnswerTakenBackBringsTheStepBack) {
    s.settings.f5HintShown = true;
    const int house = Add({"house", "dom"});
    const int tree = Add({"tree", "drzewo"});
    Open(kTypingTranslation, {house, tree});
    EXPECT_FALSE(runner->CanUndo());
    EXPECT_FALSE(runner->view().menu.undo.enabled);
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Backspace, false, true}), KeyAction::None);
    const int serial = runner->view().serial;

    ASSERT_TRUE(runner->JudgeTyped("hose"));
    EXPECT_TRUE(runner->view().menu.undo.enabled);
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Backspace, false, true}), KeyAction::Undo);
    // Only Alt alone: Ctrl+Z stays the reset of the unit, Ctrl+Backspace edits the field.
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Backspace, true, false}), KeyAction::None);
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Z, true}), KeyAction::None);  // never learnt
    runner->Perform(KeyAction::Undo);

    EXPECT_EQ(runner->state().stepUnit, house);
    EXPECT_FALSE(runner->state().answered);
    EXPECT_EQ(runner->state().wrongCount, 0);
    EXPECT_EQ(runner->view().stat2, " 0");
    EXPECT_EQ(Cell(1).attempts, 0);
    EXPECT_EQ(Cell(1).remaining, 1);
    EXPECT_TRUE(runner->view().answerFieldVisible);
    EXPECT_TRUE(runner->view().okVisible);
    EXPECT_FALSE(runner->view().acceptVisible);
    EXPECT_FALSE(runner->view().comparisonVisible);
    EXPECT_EQ(runner->view().instruction.text, "Wpisz tłumaczenie:");
    EXPECT_NE(runner->view().serial, serial);  // the window empties and focuses the field
    EXPECT_FALSE(runner->CanUndo());           // one answer only

    ASSERT_TRUE(runner->JudgeTyped("house"));
    EXPECT_EQ(Cell(1).attempts, 1);
    EXPECT_EQ(Cell(1).done, 1);
    EXPECT_EQ(runner->state().rightCount, 1);
}

TEST_F(RunnerFeedback, AnswerTakenBackAfterTheNextStepShowedUp) {
    const std::vector<int> units{Add({"house", "dom"}),  Add({"tree", "drzewo"}),
                                 Add({"cat", "kot"}),    Add({"dog", "pies"}),
                                 Add({"sun", "słońce"}), Add({"moon", "księżyc"})};
    Open(kTranslationChoice, units);
    const int first = runner->state().stepUnit;
    const int row = runner->state().stepRow;
    const std::array<std::string, 4> choices = runner->view().choices;
    const int right = runner->state().correctChoice;
    runner->JudgeChoice(right);
    runner->Ok();
    ASSERT_NE(runner->state().stepUnit, first);
    EXPECT_NE(runner->view().position, "1 / 6");

    runner->UndoAnswer();
    EXPECT_EQ(runner->state().stepUnit, first);
    EXPECT_EQ(runner->state().stepRow, row);
    EXPECT_EQ(runner->view().choices, choices);  // the same step, not a new draw
    EXPECT_EQ(runner->state().correctChoice, right);
    EXPECT_EQ(runner->view().choicesShown, 4);
    EXPECT_FALSE(runner->view().okVisible);
    EXPECT_EQ(runner->state().rightCount, 0);
    EXPECT_EQ(Cell(row).remaining, 1);
    EXPECT_EQ(Cell(row).done, 0);
    EXPECT_EQ(runner->view().position, "1 / 6");

    // Answered wrong this time; the run goes on from there.
    runner->JudgeChoice(right % 4 + 1);
    EXPECT_EQ(runner->state().wrongCount, 1);
    EXPECT_EQ(Cell(row).attempts, 1);
    runner->Ok();
    EXPECT_NE(runner->state().stepUnit, first);
}

TEST_F(RunnerFeedback, SelfAssessmentVerdictTakenBackShowsTheRevealedStep) {
    const int house = Add({"house", "dom"});
    const int tree = Add({"tree", "drzewo"});
    Open(kSelfAssessment, {house, tree});
    runner->RevealAnswer();
    const std::string expected = runner->view().expected.text;
    runner->JudgeSelf(true);
    ASSERT_EQ(runner->state().stepUnit, tree);
    EXPECT_EQ(Cell(1).done, 1);

    runner->UndoAnswer();
    EXPECT_EQ(runner->state().stepUnit, house);
    EXPECT_TRUE(runner->view().knewVisible && runner->view().didNotKnowVisible);
    EXPECT_FALSE(runner->view().checkVisible);
    EXPECT_EQ(runner->view().expected.text, expected);
    EXPECT_EQ(Cell(1).attempts, 0);
    EXPECT_EQ(Cell(1).done, 0);
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Digit2}), KeyAction::DidNotKnow);
    runner->Perform(KeyAction::DidNotKnow);
    EXPECT_EQ(runner->state().wrongCount, 1);
    EXPECT_EQ(Cell(1).remaining, 1);
}

TEST_F(RunnerFeedback, AcceptedAnswerTakenBackAndUnitCommandsLeaveNothingToTakeBack) {
    s.settings.f5HintShown = true;
    const int house = Add({"house", "dom"});
    const int tree = Add({"tree", "drzewo"});
    const int cat = Add({"cat", "kot"});
    Open(kTypingTranslation, {house, tree, cat});
    runner->JudgeTyped("hose");
    runner->AcceptAnswer();
    EXPECT_EQ(Cell(1).done, 1);
    runner->UndoAnswer();
    EXPECT_EQ(Cell(1).done, 0);
    EXPECT_EQ(Cell(1).attempts, 0);
    EXPECT_EQ(runner->state().rightCount, 0);
    EXPECT_EQ(runner->state().wrongCount, 0);

    // "Już umiem!" changes the unit's record at once: the answer before it stays.
    runner->JudgeTyped("house");
    runner->Ok();
    runner->MarkKnown();
    EXPECT_FALSE(runner->CanUndo());
    EXPECT_FALSE(runner->view().menu.undo.enabled);
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Backspace, false, true}), KeyAction::None);
    runner->UndoAnswer();
    EXPECT_EQ(Cell(1).done, 1);
}

}  // namespace
}  // namespace dyd::test
