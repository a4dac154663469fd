// The runner's step cycle, statistics, judging counters, unit commands and the history record of
// a named set, driven through the model as the window would drive it.

#include "runner/runner.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/history.h"
#include "core/learner_files.h"
#include "runner/runner_fixture.h"
#include "support.h"

namespace dyd::test {
namespace {

class RunnerCycle : public RunnerFixture {
  protected:
    // Three words, self-assessed in kind 16.
    std::vector<int> Words(int count) {
        std::vector<int> units;
        for (int i = 0; i < count; ++i) {
            units.push_back(Add({"word" + std::to_string(i), "słowo" + std::to_string(i)}));
        }
        return units;
    }
    // The unit numbers shown as the learner answers `answers` steps with the given verdicts.
    std::vector<int> Answer(const std::vector<bool>& verdicts) {
        std::vector<int> shown;
        for (const bool knew : verdicts) {
            if (runner->closed()) {
                break;
            }
            shown.push_back(runner->state().stepUnit);
            runner->RevealAnswer();
            runner->JudgeSelf(knew);
        }
        return shown;
    }
};

TEST_F(RunnerCycle, VisitsPendingRowsRoundRobinAndClosesWhenNothingIsLeft) {
    const auto units = Words(3);
    Open(kSelfAssessment, units);
    ASSERT_FALSE(runner->closed());
    // A wrong answer keeps a row pending; it comes back after the other rows.
    EXPECT_EQ(Answer({true, false, true, true}), (std::vector<int>{1, 2, 3, 2}));
    EXPECT_TRUE(runner->closed());
    EXPECT_EQ(Cell(2).attempts, 2);
    EXPECT_EQ(Cell(2).remaining, 0);
    EXPECT_EQ(Cell(2).done, 1);
    EXPECT_EQ(host.planRefreshes, 1);
    EXPECT_EQ(runner->lastStatistics().finished, 3);
}

TEST_F(RunnerCycle, SingleRowNeedingTwoAnswersComesBackAtOnce) {
    s.settings.intensity = 1;  // StepCount 2
    const auto units = Words(1);
    Open(kSelfAssessment, units, 2);
    EXPECT_EQ(Answer({true}), std::vector<int>{1});
    EXPECT_FALSE(runner->closed());
    EXPECT_EQ(runner->state().stepUnit, 1);
    EXPECT_EQ(Cell(1).remaining, 1);
    Answer({true});
    EXPECT_TRUE(runner->closed());
    EXPECT_EQ(Cell(1).done, 1);
}

TEST_F(RunnerCycle, LeavingMidRunKeepsCellsAndGoingBackContinues) {
    TempDir dir;
    s.paths.userDir = dir.path();
    s.history.records.push_back(MakeCatalogueEntry("1abc1", "Zestaw", kWordSetCategory, 45000));
    s.currentSet.setKey = "1abc1";
    s.settings.showStatistics = true;
    const auto units = Words(3);
    Open(kSelfAssessment, units);
    Answer({true, true});
    host.goBack = true;
    EXPECT_FALSE(runner->CloseRun());  // the statistics window sent the learner back
    EXPECT_FALSE(runner->closed());
    EXPECT_FALSE(FileExists(HistoryFilePath(s.paths)));  // not finished: nothing recorded yet
    ASSERT_EQ(host.statistics.size(), 1u);
    EXPECT_TRUE(host.statistics[0].canGoBack);
    EXPECT_EQ(host.statistics[0].finished, 2);
    EXPECT_EQ(host.statistics[0].planned, 3);

    host.goBack = false;
    EXPECT_TRUE(runner->CloseRun());
    EXPECT_TRUE(runner->closed());
    EXPECT_EQ(Cell(1).remaining, 0);
    EXPECT_EQ(Cell(2).remaining, 0);
    EXPECT_EQ(Cell(3).remaining, 1);
    EXPECT_EQ(Cell(3).attempts, 0);
    // One result, not complete: 2 of 3 rows, 2 / 3 = 67 %.
    const ExerciseHistory saved = ParseHistory(ReadBytes(HistoryFilePath(s.paths)));
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.records[0].count, 1);
    EXPECT_EQ(saved.records[0].percent, 67);
    EXPECT_EQ(saved.records[0].complete, 0);
}

TEST_F(RunnerCycle, EmptyPlanClosesAtOnce) {
    Words(2);
    Open(kSelfAssessment, {1, 2}, 0);
    EXPECT_TRUE(runner->closed());
    EXPECT_EQ(host.sounds.size(), 0u);
}

TEST_F(RunnerCycle, InterludesEveryThirtyOneStepsOrAtTheEnd) {
    // One pack of facts, shown whenever the scheduler is asked.
    InterludePack& pack = s.packs[1];
    pack.loaded = true;
    pack.kind = kFacts;
    pack.facts = {"fakt"};
    pack.itemCount = 1;
    s.settings.interludeEnabled[1] = true;

    const auto units = Words(3);
    Open(kSelfAssessment, units, 40);  // opening counts as the first step
    Answer(std::vector<bool>(29, true));
    EXPECT_EQ(host.shows.shown, 0);
    Answer({true});
    EXPECT_EQ(host.shows.shown, 1);
    EXPECT_EQ(runner->state().stepsSinceInterlude, 0);

    // At the end only: a run of more than ten steps ends with one.
    s.settings.interludesAtEndOnly = true;
    Answer(std::vector<bool>(40, true));
    EXPECT_EQ(host.shows.shown, 1);
    runner->CloseRun();
    EXPECT_EQ(host.shows.shown, 2);

    for (const auto& [answers, shows] : {std::pair{9, 2}, std::pair{10, 3}}) {
        Open(kSelfAssessment, Words(answers));
        Answer(std::vector<bool>(static_cast<std::size_t>(answers), true));
        EXPECT_TRUE(runner->closed());
        EXPECT_EQ(host.shows.shown, shows) << answers << " steps";
    }
}

TEST_F(RunnerCycle, CorrectionFieldsAreLoadedAndStoredPerStep) {
    s.db.correctionMode = true;
    const auto units = Words(2);
    U(1).correctionFlags = {0, 1, 0, 0};
    U(1).correctionNote = Cp("zła");
    U(1).synonyms = "syn";
    Open(kSelfAssessment, units);
    const CorrectionView& c = runner->view().correction;
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.flags, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(c.note, "zła");
    EXPECT_EQ(c.synonyms, "syn");
    runner->SetCorrectionFields({true, false, false, true}, "nagranie złe", "podp");
    Answer({true});
    EXPECT_EQ(U(1).correctionFlags, (std::array<std::uint8_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(U(1).correctionNote, Cp("nagranie złe"));
    EXPECT_EQ(U(1).correctionHint, "podp");
    EXPECT_EQ(U(1).corrected, 1);
    EXPECT_EQ(U(2).corrected, 0);

    // Leaving the run keeps the notes of the step on screen.
    runner->SetCorrectionFields({false, false, true, false}, "", "");
    runner->CloseRun();
    EXPECT_EQ(U(2).correctionFlags, (std::array<std::uint8_t, 4>{0, 0, 1, 0}));
    EXPECT_EQ(U(2).corrected, 1);
}

TEST(RunnerMixing, SwapCountsAndDrawRules) {
    struct Case {
        int rows;
        std::size_t swaps;
    };
    for (const Case c : {Case{3, 0}, Case{4, 0}, Case{5, 5}, Case{10, 6}, Case{11, 7}}) {
        SessionPlan plan;
        for (int i = 1; i <= c.rows; ++i) {
            PlanRow row;
            row.unitNumber = i;
            plan.rows.push_back(row);
        }
        SeededRandom random(c.rows);
        const auto swaps = MixRows(plan, random);
        EXPECT_EQ(swaps.size(), c.swaps) << c.rows << " rows";
        int previous = 1;
        for (const auto& [i, r] : swaps) {
            EXPECT_NE(i, r);
            EXPECT_NE(r, previous);
            EXPECT_GE(r, 1);
            EXPECT_LE(r, c.rows);
            previous = r;
        }
    }
}

TEST(RunnerStatistics, PercentTruncatedOnScreenRoundedForTheScore) {
    EXPECT_EQ(TruncatedPercent(3, 1, 1, 10), 27);
    EXPECT_EQ(RoundedPercent(3, 1, 1, 10), 27);
    EXPECT_EQ(TruncatedPercent(2, 1, 1, 2), 66);
    EXPECT_EQ(RoundedPercent(2, 1, 1, 2), 67);
    EXPECT_EQ(RoundedPercent(1, 0, 1, 8), 12);   // 12.5 rounds to even
    EXPECT_EQ(TruncatedPercent(0, 0, 1, 0), 0);  // no planned rows: no division by zero

    RunStatistics stats;
    stats.right = 20;
    stats.wrong = 5;
    stats.planned = 10;
    stats.finished = 4;
    stats.stepCount = 2;
    const StatisticsTexts texts = FormatStatistics(stats);
    EXPECT_EQ(texts.right, " 20");
    EXPECT_EQ(texts.wrong, " 5");
    EXPECT_EQ(texts.percent, " 80 %");
    EXPECT_EQ(texts.progress, " 4 / 10");
}

TEST_F(RunnerCycle, StatisticsLabelsAndScoreOfARun) {
    const auto units = Words(10);
    Open(kSelfAssessment, units);
    Answer({true, true, false, true});
    EXPECT_EQ(runner->view().stat1, " 3");
    EXPECT_EQ(runner->view().stat2, " 1");
    EXPECT_EQ(runner->view().stat3, " 27 %");
    runner->CloseRun();
    EXPECT_EQ(runner->lastStatistics().score, 27);
    EXPECT_EQ(runner->lastStatistics().finished, 3);  // the row answered wrong still needs one
}

// ---- Judging counters ---------------------------------------------------------------------------

TEST_F(RunnerCycle, WrongTypedAnswerAcceptedCountsOnce) {
    const int house = Add({"house", "dom"});
    Add({"tree", "drzewo"});
    Open(kTypingTranslation, {house, 2});
    ASSERT_EQ(runner->state().stepUnit, house);
    EXPECT_TRUE(runner->view().answerFieldVisible);
    EXPECT_TRUE(runner->JudgeTyped("hose"));
    EXPECT_FALSE(runner->state().answerCorrect);
    EXPECT_EQ(runner->state().wrongCount, 1);
    EXPECT_TRUE(runner->view().acceptVisible);
    EXPECT_TRUE(runner->view().instructionRed);
    EXPECT_EQ(runner->view().instruction.text, "Poprawnie:");
    EXPECT_EQ(runner->view().learnerAnswer, "hose");
    // The F5 hint is shown once per learner, then the wrong sound waits for its end.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], kF5HintMessage);
    EXPECT_TRUE(s.settings.f5HintShown);
    ASSERT_FALSE(host.sounds.empty());
    EXPECT_TRUE(host.sounds.back().path.ends_with("zla.wav"));
    EXPECT_TRUE(host.sounds.back().wait);

    EXPECT_EQ(runner->ActionForKey({RunnerKey::Digit1}), KeyAction::Accept);
    runner->Perform(KeyAction::Accept);
    EXPECT_EQ(runner->state().rightCount, 1);
    EXPECT_EQ(runner->state().wrongCount, 0);
    EXPECT_EQ(Cell(1).attempts, 1);
    EXPECT_EQ(Cell(1).remaining, 0);
    EXPECT_EQ(Cell(1).done, 1);
    EXPECT_EQ(runner->view().instruction.text, "Odpowiedź zaakceptowano! ");
    EXPECT_FALSE(runner->view().instructionRed);
    EXPECT_FALSE(runner->view().acceptVisible);
    runner->AcceptAnswer();  // a second accept does nothing
    EXPECT_EQ(runner->state().rightCount, 1);

    runner->Ok();  // next step
    EXPECT_EQ(runner->state().stepUnit, 2);
    EXPECT_TRUE(runner->JudgeTyped("tre"));
    EXPECT_EQ(host.messages.size(), 1u);  // no second F5 hint
}

TEST_F(RunnerCycle, TypedAnswerWithCharacterOutsideTheCodePageIsRefused) {
    const int house = Add({"house", "dom"});
    Open(kTypingTranslation, {house});
    EXPECT_FALSE(runner->JudgeTyped("hous\u0436"));
    EXPECT_FALSE(runner->state().answered);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], std::string(kCharacterRefusedMessage) + "\u0436");
    EXPECT_TRUE(runner->JudgeTyped("house"));
    EXPECT_TRUE(runner->state().answerCorrect);
    EXPECT_EQ(runner->view().instruction.text, "Bardzo dobrze!");
}

// ---- Unit commands ------------------------------------------------------------------------------

TEST_F(RunnerCycle, KnownTrashAndResetAskFirstAndMoveOn) {
    s.db.units.Reserve(4);
    const auto units = Words(3);
    s.settings.knownInterval = 120;
    Open(kSelfAssessment, units);
    host.confirmAnswers = {false};
    runner->MarkKnown();
    EXPECT_EQ(host.confirmations.back(), "Już umiesz? (Następna powtórka po 120 dniach.)");
    EXPECT_EQ(runner->state().stepUnit, 1);  // "no" changes nothing
    EXPECT_EQ(Cell(1).remaining, 1);

    runner->MarkKnown();
    EXPECT_EQ(Cell(1).remaining, 0);
    EXPECT_EQ(runner->state().stepUnit, 2);
    EXPECT_EQ(runner->state().rightCount, 0);  // not judged

    EXPECT_FALSE(runner->view().menu.reset.enabled);  // never learnt
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Z, true}), KeyAction::None);
    runner->MoveToTrash();
    EXPECT_EQ(host.confirmations.back(), "Czy chcesz przenieść aktualną jednostkę do kosza?");
    EXPECT_EQ(s.repetitions.record(2).inTrash, 1);
    EXPECT_EQ(runner->state().stepUnit, 3);

    s.repetitions.record(3).repetitionNo = 2;  // learnt: reset becomes possible at set-up
    runner->SetUpStep();
    EXPECT_TRUE(runner->view().menu.reset.enabled);
    runner->ResetUnit();
    EXPECT_EQ(host.confirmations.back(),
              "Czy chcesz wyzerować (usunąć) historię i parametry powtórek bieżącej jednostki?");
    EXPECT_TRUE(runner->closed());  // the last pending unit left the run
}

TEST_F(RunnerCycle, CommentIsKeptAsShownAndWithoutMarkers) {
    const int house = Add({"house", "dom"});
    U(house).userComment = "a=b";
    Open(kSelfAssessment, {house});
    host.commentReply = "see <this> x=y";
    runner->EditComment();
    EXPECT_EQ(host.commentShown, "a=b");
    EXPECT_EQ(U(house).userComment, "see this x=y");
    EXPECT_TRUE(s.db.commentsDirty);

    // Unchanged text leaves the flag as it was; a cancelled dialog changes nothing.
    s.db.commentsDirty = false;
    host.commentReply = "see this x=y";
    runner->EditComment();
    EXPECT_FALSE(s.db.commentsDirty);
    host.commentReply.reset();
    runner->EditComment();
    EXPECT_EQ(U(house).userComment, "see this x=y");

    // In a judged step the pane shows the comment at once, with its "=".
    runner->RevealAnswer();
    EXPECT_TRUE(runner->view().pane.visible);
    EXPECT_EQ(runner->view().pane.bytes, "<i><POLSKI>see this x=y</i>");
}

TEST_F(RunnerCycle, SwitchToQaModeForWordsOnly) {
    const int sentence = Add({"I <went> home", "poszedłem", kSentenceUnit});
    const int word = Add({"house", "dom"});
    Open(kSelfAssessment, {sentence, word});
    ASSERT_EQ(runner->state().stepUnit, sentence);
    EXPECT_FALSE(runner->view().menu.switchQa.enabled);
    runner->SwitchQaMode();
    EXPECT_EQ(host.messages, std::vector<std::string>{"Dla zdań - opcja niedostępna."});
    EXPECT_TRUE(host.confirmations.empty());
    EXPECT_EQ(U(sentence).unitKind, kSentenceUnit);

    runner->RevealAnswer();
    runner->JudgeSelf(true);
    ASSERT_EQ(runner->state().stepUnit, word);
    EXPECT_EQ(runner->view().menu.switchQa.caption, "Zmień na QA");
    host.confirmAnswers = {true};
    runner->SwitchQaMode();
    EXPECT_EQ(host.confirmations.back(),
              "Słówko standardowe. Czy zmienić na tryb QA (tylko ćwiczenia samooceny)?");
    EXPECT_EQ(U(word).unitKind, kQaUnit);
    EXPECT_EQ(U(word).userKindOverride, kQaUnit);
    EXPECT_EQ(U(word).fileKind, kWordUnit);
    EXPECT_TRUE(s.db.commentsDirty);
    EXPECT_FALSE(runner->view().menu.switchQa.enabled);
}

TEST_F(RunnerCycle, KindMarksOnlyForWords) {
    const int word = Add({"house", "dom"});
    Open(kSelfAssessment, {word});
    EXPECT_EQ(runner->ActionForKey({RunnerKey::F8}), KeyAction::MarkKinds);
    runner->Perform(KeyAction::MarkKinds);
    EXPECT_EQ(host.kindMarks, std::vector<int>{word});
}

// ---- The end of a run ---------------------------------------------------------------------------

TEST_F(RunnerCycle, NamedSetResultGoesIntoTheHistoryFile) {
    TempDir dir;
    s.paths.userDir = dir.path();
    s.history.records.push_back(MakeCatalogueEntry("1abc1", "Zestaw", kWordSetCategory, 45000));
    s.currentSet.setKey = "1abc1";
    const auto units = Words(2);
    Open(kSelfAssessment, units);
    Answer({true, false, true});
    ASSERT_TRUE(runner->closed());

    ExerciseHistory expected;
    expected.records.push_back(MakeCatalogueEntry("1abc1", "Zestaw", kWordSetCategory, 45000));
    // 2 right, 1 wrong, 2 planned: 66.67 -> 67, both rows finished.
    ASSERT_EQ(StoreSetResult(expected, clock.Now(), 67, "1abc1", kSelfAssessment, 0, true),
              StoreResultStatus::Added);
    EXPECT_EQ(ReadBytes(HistoryFilePath(s.paths)), FormatHistory(expected));
    EXPECT_EQ(runner->lastStatistics().score, 67);
}

TEST_F(RunnerCycle, NoHistoryRecordForOneOfSeveralRowsOrWithoutASet) {
    TempDir dir;
    s.paths.userDir = dir.path();
    s.history.records.push_back(MakeCatalogueEntry("1abc1", "Zestaw", kWordSetCategory, 45000));
    s.currentSet.setKey = "1abc1";
    const auto units = Words(3);
    Open(kSelfAssessment, units);
    Answer({true});
    runner->CloseRun();
    EXPECT_FALSE(FileExists(HistoryFilePath(s.paths)));

    s.currentSet.setKey.clear();
    Open(kSelfAssessment, units);
    Answer({true, true, true});
    EXPECT_TRUE(runner->closed());
    EXPECT_FALSE(FileExists(HistoryFilePath(s.paths)));
}

TEST_F(RunnerCycle, DirtyCommentsAreSavedWhenTheRunCloses) {
    TempDir dir;
    s.paths.userDir = dir.path();
    const int house = Add({"house", "dom"});
    Open(kSelfAssessment, {house});
    host.commentReply = "mine: a=b";
    runner->EditComment();
    runner->CloseRun();
    EXPECT_FALSE(s.db.commentsDirty);
    // "=" separates the fields of the file: the comment's own is written as "#".
    EXPECT_EQ(ReadBytes(dir.path() + CommentsFileName("angtest")),
              std::to_string(U(house).unitId) + "=mine: a#b=0=\r\n");
}

}  // namespace
}  // namespace dyd::test
