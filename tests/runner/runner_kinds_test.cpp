// The set-up of every exercise kind, the reveal of the self-assessment kinds, the choice and
// gap judging, and the key table, each as a table over representative units.

#include <gtest/gtest.h>

#include <functional>

#include "runner/runner.h"
#include "runner/runner_fixture.h"

namespace dyd::test {
namespace {

struct KindCase {
    int kind;
    UnitSpec unit;
    std::function<void(Unit&, LearnerSession&)> extra;
    std::string caption;
    std::string instruction;
    std::string expected;  // UTF-8 of the expected answer's bytes
    std::string prompt;    // UTF-8, "" when none
    PromptLayout layout;
    bool playedAtOnce;
    bool promptRecording;
    int choices;
    bool typed;  // E_Wpisana and B_OK
    bool check;  // B_Sprawdz
    bool self;   // B_Umiesz / B_Nie_umiesz at once
    std::string hint = {};
};

class RunnerKinds : public RunnerFixture {
  protected:
    // Filler words so that the pools of the choice kinds hold enough texts.
    void Fillers() {
        const char* words[] = {"hat", "horse", "hill", "hand", "head", "hole", "home"};
        const char* natives[] = {"kapelusz", "koń", "wzgórze", "ręka", "głowa", "dziura", "dom2"};
        for (int i = 0; i < 7; ++i) {
            Add({words[i], natives[i], kWordUnit, kNoun, ""});
        }
    }
    Runner& OpenCase(int kind, const UnitSpec& unit,
                     const std::function<void(Unit&, LearnerSession&)>& extra = {}) {
        s.db.units.Clear();
        Fillers();
        const int n = Add(unit);
        if (extra) {
            extra(U(n), s);
        }
        host.sounds.clear();
        return Open(kind, {n});
    }
    std::string Utf8(const std::string& bytes) const { return ToUtf8(bytes, CodePage::Cp1250); }
};

const UnitSpec kHouse{"house", "dom", kWordUnit, kNoun, "h.wav"};
const UnitSpec kWent{"I <went> home", "poszedłem", kSentenceUnit, kSentencePart, "s.wav"};

void Translation(Unit& u, LearnerSession&) {
    u.sentenceTranslation = Cp("Poszedłem do domu");
}

std::vector<KindCase> Cases() {
    auto hint = [](Unit& u, LearnerSession&) { u.hint = "building"; };
    using L = PromptLayout;
    return {
        {1,
         kHouse,
         {},
         "Dydaktor - Rozpoznawanie ze słuchu",
         "Co usłyszałeś?",
         "house",
         "",
         L::A,
         true,
         true,
         4,
         false,
         false,
         false},
        {2,
         kHouse,
         {},
         "Dydaktor 5.0 - Rozumienie tekstu",
         "Co oznacza?",
         "dom",
         "house",
         L::B,
         true,
         true,
         4,
         false,
         false,
         false},
        {3, kHouse, hint, "Dydaktor 5.0 - Rozumienie ze słuchu", "Co oznacza? ", "dom", "", L::A,
         true, true, 0, false, true, false, "Podpowiedź: building, rzeczownik "},
        {4,
         kHouse,
         {},
         "Dydaktor 5.0 - Wybór tłumaczenia",
         "Wybierz tłumaczenie:",
         "house",
         "dom",
         L::B,
         false,
         false,
         4,
         false,
         false,
         false},
        {5, kHouse, hint, "Dydaktor 5.0 - Dyktando", "Wpisz usłyszane słowa:", "house", "", L::A,
         true, true, 0, true, false, false, "Podpowiedź: building"},
        // The hint of kind 6 is for German databases only.
        {6, kHouse, hint, "Dydaktor 5.0 - Wpisywanie tłumaczenia", "Wpisz tłumaczenie:", "house",
         "dom", L::B, false, false, 0, true, false, false},
        {7,
         {"Der Hund", "pies", kWordUnit, kNoun, "d.wav"},
         {},
         "Dydaktor 5.0 - Wybór rodzajnika",
         "Jaki rodzajnik?",
         "der",
         " Hund",
         L::B,
         false,
         false,
         3,
         false,
         false,
         false},
        {8,
         {"Haus", "dom", kWordUnit, kNoun, "d.wav"},
         [](Unit& u, LearnerSession&) { u.plural = Cp("Häuser"); },
         "Dydaktor 5.0 - Wpisywanie liczby mnogiej",
         "Wpisz liczbę mnogą rzeczownika:",
         "Häuser",
         "Haus",
         L::B,
         false,
         true,
         0,
         true,
         false,
         false},
        {9,
         {"go away", "odejdź", kWordUnit, kVerb, "g.wav"},
         {},
         "Dydaktor 5.0 - Nauka wymowy",
         "Nagraj usłyszane słowa.",
         "go away",
         "go away",
         L::B,
         true,
         true,
         0,
         false,
         false,
         true},
        {10, kWent, [](Unit& u, LearnerSession&) { u.distractors = "go/goes/gone"; },
         "Dydaktor 5.0 - Zdanie - wybór", "Wybierz:", "went", "I ... home", L::B, false, false, 4,
         false, false, false},
        {11,
         kWent,
         {},
         "Dydaktor 5.0 - Zdania - rozumienie",
         "Co oznacza wyróżnione wyrażenie?",
         "poszedłem",
         "I <went> home",
         L::B,
         true,
         true,
         0,
         false,
         true,
         false},
        {13, kWent, Translation, "Dydaktor 5.0 - Zdania - tłumaczenie", "Przetłumacz...",
         "Poszedłem do domu", "I went home", L::B, true, true, 0, false, true, false},
        {14, kWent, Translation, "Dydaktor 5.0 - Zdania - tłumaczenie pl->en", "Przetłumacz...",
         "I went home", "Poszedłem do domu", L::B, false, false, 0, false, true, false},
        {15, kWent, Translation, "Dydaktor 5.0 - Zdania - rozumienie ze słuchu",
         "Posłuchaj i przetłumacz...", "Poszedłem do domu", "", L::A, true, true, 0, false, true,
         false},
        {16,
         {"go", "iść", kWordUnit, kVerb, "g.wav"},
         {},
         "Dydaktor 5.0 - Ćwiczenie samoocena",
         "Podaj tłumaczenie (czasownik).",
         "iść",
         "go",
         L::B,
         true,
         true,
         0,
         false,
         true,
         false},
        {17,
         {"What?", "Co?", kQaUnit, kOtherPart, "q.wav"},
         {},
         "Dydaktor 5.0 - Ćwiczenie samoocena",
         "Podaj tłumaczenie.",
         "Co?",
         "What?",
         L::B,
         true,
         true,
         0,
         false,
         true,
         false},
        {18,
         {"I went home", "poszedłem", kSentenceUnit, kSentencePart, "s.wav"},
         Translation,
         "Dydaktor 5.0 - Ćwiczenie Pytanie-Odpowiedź",
         "Przetłumacz...",
         "Poszedłem do domu",
         "I went home",
         L::B,
         true,
         true,
         0,
         false,
         true,
         false},
        // A marked sentence: the recording waits for the reveal.
        {18, kWent, Translation, "Dydaktor 5.0 - Ćwiczenie Pytanie-Odpowiedź", "Uzupełnij.",
         "I <went> home", "I  <...>  home (poszedłem)", L::B, false, false, 0, false, true, false},
    };
}

TEST_F(RunnerKinds, EveryKindSetsUpItsStep) {
    for (const KindCase& c : Cases()) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " " + c.unit.foreign);
        Runner& r = OpenCase(c.kind, c.unit, c.extra);
        const StepView& v = r.view();
        const RunnerState& st = r.state();
        ASSERT_FALSE(r.closed());
        EXPECT_EQ(v.caption, c.caption);
        EXPECT_EQ(v.instruction.text, c.instruction);
        EXPECT_TRUE(v.instruction.visible);
        EXPECT_EQ(Utf8(st.expectedAnswer), c.expected);
        EXPECT_EQ(v.prompt.text, c.prompt);
        if (!c.prompt.empty()) {
            // Kinds above 9 draw every prompt in the sentence box.
            EXPECT_EQ(v.prompt.inSentenceBox, c.kind > 9);
            EXPECT_EQ(v.sentenceBox.visible, c.kind > 9);
            EXPECT_EQ(v.word.text, c.kind > 9 ? "" : c.prompt);
        }
        EXPECT_EQ(v.layout, c.layout);
        EXPECT_EQ(v.instructionTop, c.layout == PromptLayout::A ? 123 : 139);
        EXPECT_EQ(!st.promptRecording.empty(), c.promptRecording);
        EXPECT_EQ(v.playVisible, c.promptRecording);
        EXPECT_FALSE(st.resultRecording.empty());
        EXPECT_EQ(host.sounds.size(), c.playedAtOnce ? 1u : 0u);
        if (c.playedAtOnce && !host.sounds.empty()) {
            EXPECT_EQ(host.sounds[0].path, Wav(c.unit.recording));
            EXPECT_FALSE(host.sounds[0].wait);
        }
        EXPECT_EQ(v.choicesShown, c.choices);
        if (c.choices > 0) {
            EXPECT_EQ(st.choices[static_cast<std::size_t>(st.correctChoice)],
                      c.kind == 2 ? Cp(c.expected) : c.expected);
        }
        EXPECT_EQ(v.answerFieldVisible, c.typed);
        EXPECT_EQ(v.okVisible, c.typed);
        EXPECT_EQ(v.checkVisible, c.check);
        EXPECT_EQ(v.knewVisible, c.self);
        EXPECT_EQ(v.didNotKnowVisible, c.self);
        EXPECT_EQ(v.hint.visible, !c.hint.empty());
        EXPECT_EQ(v.hint.text, c.hint);
    }
}

TEST_F(RunnerKinds, ArticleChoiceAndLanguageRules) {
    struct Case {
        std::string foreign;
        int correct;
    };
    for (const Case& c :
         {Case{"Der Hund", 1}, Case{"die Katze", 2}, Case{"das Haus", 3}, Case{"Hund", 3}}) {
        Runner& r = OpenCase(7, {c.foreign, "x", kWordUnit, kNoun, ""});
        EXPECT_EQ(r.state().correctChoice, c.correct) << c.foreign;
        EXPECT_EQ(r.view().choices[0], "der");
        EXPECT_EQ(r.view().choices[2], "das");
    }

    // Kind 3 in a French database ignores the hint; a part of speech without a name shows none.
    s.db.params.language = 3;
    auto hint = [](Unit& u, LearnerSession&) { u.hint = "building"; };
    EXPECT_EQ(OpenCase(3, kHouse, hint).view().hint.text, "Podpowiedź:  rzeczownik ");
    EXPECT_FALSE(
        OpenCase(3, {"chose", "rzecz", kWordUnit, kOtherPart, "c.wav"}, hint).view().hint.visible);
    // Kind 6 shows the hint in a German database, under the answer field.
    s.db.params.language = 2;
    const StepView& v = OpenCase(6, kHouse, hint).view();
    EXPECT_EQ(v.hint.text, "Podpowiedź: building");
    EXPECT_EQ(v.hintPlacement, HintPlacement::BelowInstruction);
    // Kind 9: one word or a sentence.
    EXPECT_EQ(OpenCase(9, {"go", "iść", kWordUnit, kVerb, "g.wav"}).view().instruction.text,
              "Nagraj usłyszane słowo.");
    // Kind 12 outside English and German: the Polish text moves into the instruction.
    s.db.params.language = 3;
    Runner& r = OpenCase(12, kWent);
    EXPECT_EQ(r.view().instruction.text, "Uzupełnij zdanie, podpowiedź: poszedłem");
    EXPECT_EQ(r.state().infoText, Cp("poszedłem"));
    EXPECT_EQ(r.view().gapBox.text, "I <went> home");
}

TEST_F(RunnerKinds, PromptOfFiftyCharactersStaysInTheWordLabel) {
    const std::string fifty(50, 'a');
    EXPECT_FALSE(OpenCase(2, {fifty, "x", kWordUnit, kNoun, ""}).view().prompt.inSentenceBox);
    Runner& r = OpenCase(2, {fifty + "b", "x", kWordUnit, kNoun, ""});
    EXPECT_TRUE(r.view().prompt.inSentenceBox);
    EXPECT_TRUE(r.view().sentenceBox.visible);
    EXPECT_EQ(r.view().sentenceBox.top, 93);  // one line in layout B
}

TEST_F(RunnerKinds, ChoiceJudgingAndResultDisplay) {
    Runner& r = OpenCase(4, kHouse);
    const int right = r.state().correctChoice;
    const int wrong = right == 1 ? 2 : 1;
    EXPECT_EQ(r.ActionForKey({static_cast<RunnerKey>(wrong - 1)}),
              static_cast<KeyAction>(static_cast<int>(KeyAction::Choose1) + wrong - 1));
    r.Perform(r.ActionForKey({static_cast<RunnerKey>(wrong - 1)}));
    EXPECT_TRUE(r.state().answered);
    EXPECT_FALSE(r.state().answerCorrect);
    EXPECT_EQ(r.view().choicesShown, 0);
    EXPECT_EQ(r.view().instruction.text, "Poprawnie:");
    EXPECT_TRUE(r.view().instructionRed);
    EXPECT_EQ(r.view().expected.text, "house");
    EXPECT_TRUE(r.view().expected.visible);
    EXPECT_TRUE(r.view().okVisible);
    EXPECT_FALSE(r.view().learnerAnswer.empty());
    // The wrong sound waits, then the unit's recording plays with the result (kind 4 played
    // nothing at the start).
    ASSERT_EQ(host.sounds.size(), 2u);
    EXPECT_TRUE(host.sounds[0].wait);
    EXPECT_EQ(host.sounds[1].path, Wav("h.wav"));
    EXPECT_TRUE(r.view().playVisible);
    // Judged: the digit keys choose nothing more.
    EXPECT_EQ(r.ActionForKey({RunnerKey::Digit1}), KeyAction::None);
    r.JudgeChoice(right);
    EXPECT_EQ(r.state().wrongCount, 1);
    EXPECT_EQ(r.state().rightCount, 0);

    // Kind 7 shows three choices; the fourth does nothing.
    Runner& article = OpenCase(7, {"Der Hund", "pies", kWordUnit, kNoun, ""});
    article.JudgeChoice(4);
    EXPECT_FALSE(article.state().answered);
    article.JudgeChoice(1);
    EXPECT_TRUE(article.state().answerCorrect);
    EXPECT_EQ(article.view().instruction.text, "Bardzo dobrze!");
    EXPECT_TRUE(article.state().learnerAnswer.empty());
    // Kind 7's information text starts with the Polish meaning.
    EXPECT_EQ(article.view().pane.bytes, "<CHARSET>" + Cp("pies") + "<BR><BR><i><POLSKI></i>");
}

TEST_F(RunnerKinds, WrongSentenceChoiceMovesTheVerdictAboveTheSentence) {
    Runner& r = OpenCase(10, kWent, [](Unit& u, LearnerSession&) { u.distractors = "go"; });
    EXPECT_EQ(r.view().choicesShown, 2);  // one wrong answer and the right one, no empty choice
    const int wrong = r.state().correctChoice == 1 ? 2 : 1;
    r.JudgeChoice(wrong);
    EXPECT_EQ(r.view().sentenceBox.text, "I <went> home (poszedłem)");
    EXPECT_TRUE(r.view().sentenceBox.highlight);
    EXPECT_EQ(r.view().instructionTop, r.view().sentenceBox.top - 24);
    EXPECT_EQ(r.view().expected.text, "");
}

TEST_F(RunnerKinds, SentenceChoiceWithoutMarkedPartBecomesSelfAssessment) {
    Runner& r = OpenCase(10, {"I went home", "poszedłem", kSentenceUnit, kSentencePart, "s.wav"},
                         Translation);
    EXPECT_EQ(r.view().choicesShown, 0);
    EXPECT_TRUE(r.view().checkVisible);
    r.RevealAnswer();
    EXPECT_EQ(r.view().expected.text, "Poszedłem do domu");
    r.JudgeSelf(true);
    EXPECT_TRUE(r.closed());
    EXPECT_EQ(Cell(1).done, 1);
}

TEST_F(RunnerKinds, GapFillingJudgesEachGap) {
    auto synonyms = [](Unit& u, LearnerSession&) {
        u.foreignText = "I <went> <home>";
        u.synonyms = "go#house";
    };
    struct Case {
        std::string g1, g2;
        bool right, alternative;
    };
    for (const Case& c : {Case{"went", "home", true, false}, Case{"go", "home", true, true},
                          Case{"go", "flat", false, false}}) {
        SCOPED_TRACE(c.g1 + " " + c.g2);
        Runner& r = OpenCase(12, kWent, synonyms);
        EXPECT_EQ(r.view().instruction.text, "Uzupełnij zdanie: ");
        EXPECT_EQ(r.view().gapBox.fieldVisible, (std::array<bool, 3>{true, true, false}));
        EXPECT_TRUE(r.view().okVisible);
        EXPECT_EQ(r.ActionForKey({RunnerKey::Enter}), KeyAction::Ok);
        r.Ok({}, c.g1, c.g2, "");
        EXPECT_EQ(r.state().answerCorrect, c.right);
        EXPECT_EQ(r.state().acceptedByAlternative, c.alternative);
        EXPECT_EQ(r.state().learnerAnswer, c.g1 + "; " + c.g2);
        EXPECT_FALSE(r.view().gapBox.visible);
        EXPECT_EQ(r.view().sentenceBox.top, 198);
        EXPECT_EQ(r.view().acceptVisible, !c.right);
        if (c.alternative) {
            EXPECT_EQ(r.view().instruction.text,
                      "Odpowiedź zaakceptowana! Nagranie odtworzysz po kliknięciu na ikonkę.");
            EXPECT_EQ(r.state().infoText, "Wpisano: go; home<br>");
        }
    }
}

TEST_F(RunnerKinds, RevealShowsTheAnswerAndWaitsForTheVerdict) {
    struct Case {
        int kind;
        UnitSpec unit;
        std::string prompt;    // after the reveal
        std::string expected;  // L_Poprawna
        bool soundAtReveal;
    };
    const std::vector<Case> cases = {
        {3, kHouse, "house", "dom", false},
        {11, kWent, "I <went> home", "poszedłem", false},
        {14, kWent, "Poszedłem do domu", "I went home", true},
        {15, kWent, "I went home", "Poszedłem do domu", false},
        {16, kWent, "I <went> home", "poszedłem", false},
        {17, {"What?", "Co?", kQaUnit, kOtherPart, "q.wav"}, "What?", "Co?", false},
        {18, kWent, "I <went> home", "poszedłem", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        Runner& r = OpenCase(c.kind, c.unit, Translation);
        host.sounds.clear();
        EXPECT_EQ(r.ActionForKey({RunnerKey::Enter}), KeyAction::Reveal);
        r.Perform(KeyAction::Reveal);
        const StepView& v = r.view();
        EXPECT_TRUE(r.state().answered);
        EXPECT_EQ(v.prompt.text, c.prompt);
        EXPECT_EQ(v.expected.text, c.expected);
        EXPECT_TRUE(v.expected.visible);
        EXPECT_FALSE(v.checkVisible);
        EXPECT_TRUE(v.knewVisible);
        EXPECT_TRUE(v.didNotKnowVisible);
        EXPECT_TRUE(v.playVisible);
        EXPECT_EQ(host.sounds.size(), c.soundAtReveal ? 1u : 0u);
        // Sentences with a translation offer it, except in the translation kinds.
        EXPECT_EQ(v.pane.sentenceTranslationVisible,
                  c.unit.kind == kSentenceUnit && c.kind != 14 && c.kind != 15);
        EXPECT_EQ(r.ActionForKey({RunnerKey::Digit2}), KeyAction::DidNotKnow);
        r.Perform(KeyAction::DidNotKnow);
        // The one row is still pending: it comes back at once, unjudged.
        EXPECT_FALSE(r.closed());
        EXPECT_FALSE(r.state().answered);
        EXPECT_EQ(r.state().wrongCount, 1);
        EXPECT_EQ(Cell(1).remaining, 1);
        EXPECT_EQ(Cell(1).attempts, 1);
    }
}

TEST_F(RunnerKinds, PronunciationKeyJudgesOneStepOnly) {
    s.db.units.Clear();
    const int a = Add({"go", "iść", kWordUnit, kVerb, "g.wav"});
    const int b = Add({"come", "przyjść", kWordUnit, kVerb, "c.wav"});
    Open(kPronunciation, {a, b});
    EXPECT_EQ(runner->ActionForKey({RunnerKey::Digit1}), KeyAction::Knew);
    runner->Perform(KeyAction::Knew);
    EXPECT_EQ(runner->state().stepUnit, b);
    EXPECT_FALSE(runner->state().answered);
    EXPECT_EQ(runner->state().rightCount, 1);
    EXPECT_TRUE(runner->view().knewVisible);  // kind 9 shows the verdict buttons at once
    runner->JudgeSelf(true);
    EXPECT_TRUE(runner->closed());
}

TEST_F(RunnerKinds, KeyTable) {
    Runner& r = OpenCase(16, kHouse);
    struct Case {
        KeyPress press;
        KeyAction action;
    };
    const std::vector<Case> before = {
        {{RunnerKey::Escape}, KeyAction::Close},
        {{RunnerKey::G, true, false, true}, KeyAction::Play},  // Ctrl with other modifiers
        {{RunnerKey::W, true}, KeyAction::Play},               // English database
        {{RunnerKey::X, true}, KeyAction::None},               // no example shown
        {{RunnerKey::F1}, KeyAction::Help},
        {{RunnerKey::F2}, KeyAction::ShowGroup},
        {{RunnerKey::F3}, KeyAction::None},
        {{RunnerKey::F4}, KeyAction::PickBackground},
        {{RunnerKey::F5}, KeyAction::None},  // nothing answered yet
        {{RunnerKey::F6}, KeyAction::ToggleId},
        {{RunnerKey::F8}, KeyAction::MarkKinds},
        {{RunnerKey::Space}, KeyAction::None},
        {{RunnerKey::K, true}, KeyAction::AddComment},
        {{RunnerKey::K, true, false, true}, KeyAction::None},  // not Ctrl alone
        {{RunnerKey::T, true}, KeyAction::Trash},
        {{RunnerKey::Z, true}, KeyAction::None},  // never learnt
        {{RunnerKey::J, true}, KeyAction::Known},
        {{RunnerKey::J, true, true}, KeyAction::None},
        {{RunnerKey::Digit1}, KeyAction::None},
        {{RunnerKey::Enter}, KeyAction::Reveal},
    };
    for (const Case& c : before) {
        EXPECT_EQ(r.ActionForKey(c.press), c.action) << static_cast<int>(c.press.key);
    }
    s.db.params.language = 3;
    EXPECT_EQ(r.ActionForKey({RunnerKey::W, true}), KeyAction::None);
    r.Perform(KeyAction::ToggleId);
    EXPECT_TRUE(r.view().unitIdVisible);
    EXPECT_EQ(r.view().unitIdText, "Id: " + std::to_string(U(s.plan.row(1).unitNumber).unitId));
}

}  // namespace
}  // namespace dyd::test
