// The information pane after a judged step, the example sentences of a word and the text of the
// example-sentences window.

#include <gtest/gtest.h>

#include "core/markup.h"
#include "runner/runner.h"
#include "runner/runner_fixture.h"

namespace dyd::test {
namespace {

TEST(RunnerPaneText, ExtraTextCommentAndExample) {
    Unit example;
    example.foreignText = "I <went> home";
    example.sentenceTranslation = "Poszedlem";
    struct Case {
        std::string info, comment;
        const Unit* example;
        bool translation;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"", "", nullptr, false, ""},
        {"note", "", nullptr, false, "<CHARSET>note<BR><i><POLSKI></i>"},
        {"", "mine", nullptr, false, "<i><POLSKI>mine</i>"},
        {"note", "mine", nullptr, false, "<CHARSET>note<BR><i><POLSKI>mine</i>"},
        {"note", "mine", &example, false,
         "<CHARSET>I went home<br><CHARSET>note<i><POLSKI>mine</i>"},
        {"note", "", &example, true,
         "<CHARSET>I went home<br><POLSKI>Poszedlem<br><CHARSET>note<i><POLSKI></i>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildInfoPaneText(c.info, c.comment, c.example, c.translation), c.text);
    }
}

class RunnerExamples : public RunnerFixture {
  protected:
    int word = 0;
    // A word with sentences related to it (related ids that no unit has are skipped, and a
    // sentence related twice is listed once).
    void Build(int sentences) {
        word = Add({"go", "iść", kWordUnit, kVerb, ""});
        for (int i = 0; i < sentences; ++i) {
            const int n = Add({"I <go> " + std::to_string(i), "idę", kSentenceUnit});
            if (i == 0) {
                U(n).sentenceTranslation = Cp("Idę");
                U(n).recordingSource = 1;
                U(n).recording = "ex.wav";
            }
            s.db.relations.push_back({U(word).unitId, U(n).unitId, 0});
            if (i == 0) {
                s.db.relations.push_back({U(word).unitId, 999999, 0});
                s.db.relations.push_back({U(word).unitId, U(n).unitId, 0});
            }
        }
    }
};

TEST_F(RunnerExamples, FirstHundredInTableOrder) {
    Build(150);
    const std::vector<int> list = FindExamples(s.db.units, s.db.relations, word);
    ASSERT_EQ(list.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(list[static_cast<std::size_t>(i)], word + 1 + i);
    }
    EXPECT_TRUE(FindExamples(s.db.units, s.db.relations, word + 1).empty());
}

TEST_F(RunnerExamples, PaneShowsTheFirstExampleAfterTheResult) {
    Build(2);
    U(word).comment = Cp("idź");
    U(word).userComment = "mine";
    Open(kTypingTranslation, {word});
    EXPECT_FALSE(runner->view().pane.visible);  // nothing before the answer
    runner->JudgeTyped("go");
    const PaneView& pane = runner->view().pane;
    EXPECT_TRUE(pane.visible);
    EXPECT_EQ(pane.bytes, "<CHARSET>I go 0<br><CHARSET>" + Cp("idź") + "<i><POLSKI>mine</i>");
    EXPECT_TRUE(pane.exampleTranslationVisible);
    EXPECT_TRUE(pane.examplePlayVisible);
    EXPECT_TRUE(pane.nextVisible);
    EXPECT_EQ(runner->examples().size(), 2u);

    EXPECT_EQ(runner->ActionForKey({RunnerKey::Space}), KeyAction::ExampleTranslation);
    runner->Perform(KeyAction::ExampleTranslation);
    EXPECT_EQ(runner->view().pane.bytes, "<CHARSET>I go 0<br><POLSKI>" + Cp("Idę") +
                                             "<br><CHARSET>" + Cp("idź") + "<i><POLSKI>mine</i>");
    EXPECT_EQ(runner->ActionForKey({RunnerKey::X, true}), KeyAction::PlayExample);
    host.sounds.clear();
    runner->Perform(KeyAction::PlayExample);
    ASSERT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(host.sounds[0].path, Wav("ex.wav"));

    runner->OpenExamples();
    EXPECT_EQ(host.examplesText, "#S=00002# #N=00002# I go 0 @I go 1 @");
    EXPECT_EQ(host.examplesSearch, "go");
}

TEST_F(RunnerExamples, ExamplesBeforeAnsweringShowOnlyTheSearchWord) {
    Build(2);
    Open(kSelfAssessment, {word});
    runner->OpenExamples();
    EXPECT_EQ(host.examplesOpened, 1);
    EXPECT_EQ(host.examplesText, "");
    EXPECT_EQ(host.examplesSearch, "go");

    // A foreign text of 30 characters gives no search word.
    U(word).foreignText = std::string(30, 'a');
    runner->OpenExamples();
    EXPECT_EQ(host.examplesSearch, "");
}

TEST_F(RunnerExamples, AcceptedAlternativeAndDictationTextsGoIntoThePane) {
    const int go = Add({"go", "iść", kWordUnit, kVerb, ""});
    U(go).synonyms = "walk";
    U(go).comment = "c";
    Open(kTypingTranslation, {go});
    runner->JudgeTyped("to go");
    EXPECT_TRUE(runner->state().acceptedByAlternative);
    EXPECT_EQ(runner->state().infoText, "go<br>c");
    EXPECT_EQ(runner->view().instruction.text,
              "Odpowiedź zaakceptowana! Nagranie odtworzysz po kliknięciu na ikonkę.");
    EXPECT_EQ(runner->view().expected.text, "to go");  // the learner's own spelling

    // Dictation shows the Polish meaning under the answer.
    Open(kDictation, {go});
    runner->JudgeTyped("walk");
    EXPECT_FALSE(runner->state().answerCorrect);  // dictation takes no alternatives
    EXPECT_EQ(runner->view().hint.text, "iść");
    EXPECT_TRUE(runner->view().hint.visible);
    EXPECT_EQ(runner->view().hintPlacement, HintPlacement::BelowExpected);
}

}  // namespace
}  // namespace dyd::test
