// The set-up of each exercise kind: caption, layout, prompt, instruction and hint, answer
// labels, how the step is answered, the expected answer and the recordings.

#include <algorithm>

#include "core/markup.h"
#include "core/recording_path.h"
#include "core/text.h"
#include "runner/runner.h"
#include "runner/runner_text.h"

namespace dyd {

using runner_text::PosName;

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace

void Runner::SetUpKind() {
    const int kind = state_.stepKind;
    if (kind >= 1 && kind <= 9) {
        SetUpWordKind();
    } else if (kind >= 10 && kind <= 18) {
        SetUpSentenceKind();
    }
}

void Runner::SetInstruction(std::string utf8) {
    view_.instruction.text = std::move(utf8);
    view_.instruction.foreign = false;
    view_.instruction.visible = true;
}

void Runner::SetHint(std::string utf8) {
    view_.hint.text = std::move(utf8);
    view_.hint.foreign = false;
    view_.hint.visible = true;
    view_.hintPlacement =
        view_.answerFieldVisible ? HintPlacement::BelowInstruction : HintPlacement::BelowExpected;
}

void Runner::StartChoiceStep(PoolMode mode) {
    BuildDistractorPool(pool_, ctx_.session.db.units, state_.stepUnit, mode);
    SetChoices(DrawChoices(pool_, state_.expectedAnswer, ctx_.random));
}

void Runner::SetUpWordKind() {
    const Unit& u = unit();
    const int kind = state_.stepKind;
    const std::string recording = RecordingPath(ctx_.session.paths, u);
    state_.resultRecording = recording;

    switch (kind) {
        case kRecognitionByEar:
            view_.caption = "Dydaktor - Rozpoznawanie ze słuchu";
            SetLayout(PromptLayout::A);
            SetInstruction("Co usłyszałeś?");
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = u.foreignText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            StartChoiceStep(PoolMode::Foreign);
            break;
        case kTextComprehension:
            view_.caption = "Dydaktor 5.0 - Rozumienie tekstu";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText, true, true);
            SetInstruction("Co oznacza?");
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.nativeText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            StartChoiceStep(PoolMode::Polish);
            break;
        case kListeningComprehension: {
            view_.caption = "Dydaktor 5.0 - Rozumienie ze słuchu";
            SetLayout(PromptLayout::A);
            SetInstruction("Co oznacza? ");
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.nativeText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            view_.checkVisible = true;
            const std::string hintText = language() == 1 ? Trim(u.hint) : std::string();
            const std::string pos = PosName(u.partOfSpeech);
            if (!hintText.empty()) {
                SetHint(PolishUtf8("Podpowied\x9F: " + hintText + "," + pos));
            } else if (!pos.empty()) {
                SetHint(PolishUtf8("Podpowied\x9F: " + pos));
            }
            break;
        }
        case kTranslationChoice:
            view_.caption = "Dydaktor 5.0 - Wybór tłumaczenia";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.nativeText, true, false);
            SetInstruction("Wybierz tłumaczenie:");
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = u.foreignText;
            StartChoiceStep(PoolMode::Foreign);
            break;
        case kDictation:
            view_.caption = "Dydaktor 5.0 - Dyktando";
            SetLayout(PromptLayout::A);
            view_.answerFieldVisible = true;
            view_.okVisible = true;
            SetInstruction("Wpisz usłyszane słowa:");
            if (!u.hint.empty()) {
                SetHint(PolishUtf8("Podpowied\x9F: " + u.hint));
            }
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = u.foreignText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            break;
        case kTypingTranslation:
            view_.caption = "Dydaktor 5.0 - Wpisywanie tłumaczenia";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.nativeText, true, false);
            view_.answerFieldVisible = true;
            view_.okVisible = true;
            SetInstruction("Wpisz tłumaczenie:");
            if (language() == 2 && !u.hint.empty()) {
                SetHint(PolishUtf8("Podpowied\x9F: " + u.hint));
            }
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = u.foreignText;
            break;
        case kArticleChoice: {
            view_.caption = "Dydaktor 5.0 - Wybór rodzajnika";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText.size() > 3 ? std::string_view(u.foreignText).substr(3)
                                                : std::string_view(),
                       false, true);
            SetInstruction("Jaki rodzajnik?");
            view_.labelPage = LabelPage::Unchanged;
            state_.expectedAnswer =
                LowerAZ(std::string_view(u.foreignText)
                            .substr(0, std::min<std::size_t>(3, u.foreignText.size())));
            ChoiceSet set;
            set.texts = {"", "der", "die", "das", ""};
            set.correct = state_.expectedAnswer == "der"   ? 1
                          : state_.expectedAnswer == "die" ? 2
                                                           : 3;
            set.shown = 3;
            SetChoices(set);
            state_.infoText.clear();
            break;
        }
        case kTypingPlural:
            view_.caption = "Dydaktor 5.0 - Wpisywanie liczby mnogiej";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText, false, true);
            view_.answerFieldVisible = true;
            view_.okVisible = true;
            SetInstruction("Wpisz liczbę mnogą rzeczownika:");
            view_.labelPage = LabelPage::Unchanged;
            state_.expectedAnswer = u.plural;
            state_.promptRecording = recording;
            state_.infoText.clear();
            break;
        case kPronunciation: {
            view_.caption = "Dydaktor 5.0 - Nauka wymowy";
            SetLayout(PromptLayout::B);
            const std::string prompt = StripGapMarkers(u.foreignText);
            ShowPrompt(prompt, false, true);
            if (!Contains(u.foreignText, " ")) {
                SetInstruction("Nagraj usłyszane słowo.");
            } else if (u.partOfSpeech == kSentencePart) {
                SetInstruction("Nagraj usłyszane zdanie.");
            } else {
                SetInstruction("Nagraj usłyszane słowa.");
            }
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = prompt;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            view_.checkVisible = false;
            view_.knewVisible = true;
            view_.didNotKnowVisible = true;
            state_.infoText.clear();
            break;
        }
        default:
            break;
    }
}

void Runner::SetUpSentenceKind() {
    const Unit& u = unit();
    const int kind = state_.stepKind;
    const std::string recording = RecordingPath(ctx_.session.paths, u);
    state_.resultRecording = recording;
    // All but 10 and 12 are self-assessment steps.
    view_.checkVisible = kind != kSentenceChoice && kind != kGapFilling;

    switch (kind) {
        case kSentenceChoice: {
            view_.caption = "Dydaktor 5.0 - Zdanie - wybór";
            SetLayout(PromptLayout::B);
            const MarkedSentence marked = SplitMarkedSentence(u.foreignText);
            view_.labelPage = LabelPage::Database;
            if (marked.expected.empty()) {
                // A sentence without a marked part has nothing to choose: the step becomes a
                // self-assessment of the sentence's meaning, so that the run can go on.
                ShowPrompt(u.foreignText, false, true);
                SetInstruction("Przetłumacz...");
                view_.labelPage = LabelPage::Polish;
                state_.expectedAnswer =
                    u.sentenceTranslation.empty() ? u.nativeText : u.sentenceTranslation;
                state_.promptRecording = recording;
                playAtOnce_ = true;
                view_.checkVisible = true;
                noChoiceSentence_ = true;
                break;
            }
            ShowPrompt(marked.prompt, false, true);
            SetInstruction("Wybierz:");
            state_.expectedAnswer = marked.expected;
            SetChoices(BuildSentenceChoices(u.distractors, marked.expected, ctx_.random));
            break;
        }
        case kPhraseTranslation:
            view_.caption = "Dydaktor 5.0 - Zdania - rozumienie";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText, true, true);
            SetInstruction("Co oznacza wyróżnione wyrażenie?");
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.nativeText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            break;
        case kGapFilling: {
            view_.caption = "Dydaktor 5.0 - Zdania - wpisywanie";
            SetLayout(PromptLayout::A);
            view_.labelPage = LabelPage::Database;
            view_.okVisible = true;
            std::string gapBytes = u.foreignText;
            std::string gapUtf8 = ForeignUtf8(u.foreignText);
            if (language() == 1 || language() == 2) {
                SetInstruction("Uzupełnij zdanie: ");
                gapBytes += " (" + u.nativeText + ")";
                gapUtf8 += " (" + PolishUtf8(u.nativeText) + ")";
                state_.infoText.clear();
            } else {
                SetInstruction("Uzupełnij zdanie, podpowiedź: " + PolishUtf8(u.nativeText));
                state_.infoText = u.nativeText;
            }
            state_.expectedAnswer = u.foreignText;
            GapBoxView& box = view_.gapBox;
            box.visible = true;
            box.gaps = GapAnswers(gapBytes);
            for (std::size_t i = 0; i < 3; ++i) {
                box.fieldVisible[i] = !box.gaps[i].empty();
            }
            if (ctx_.measure != nullptr) {
                box.layout =
                    LayOutGapBox(gapUtf8, kSentenceBoxWidth, ctx_.gapLineHeight, *ctx_.measure);
            }
            box.text = std::move(gapUtf8);
            break;
        }
        case kTranslationToPolish:
            view_.caption = "Dydaktor 5.0 - Zdania - tłumaczenie";
            SetLayout(PromptLayout::B);
            ShowPrompt(StripGapMarkers(u.foreignText), false, true);
            SetInstruction("Przetłumacz...");
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.sentenceTranslation;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            break;
        case kTranslationFromPolish:
            view_.caption = "Dydaktor 5.0 - Zdania - tłumaczenie pl->en";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.sentenceTranslation, false, false);
            SetInstruction("Przetłumacz...");
            view_.labelPage = LabelPage::Database;
            state_.expectedAnswer = StripGapMarkers(u.foreignText);
            break;
        case kSentenceListening:
            view_.caption = "Dydaktor 5.0 - Zdania - rozumienie ze słuchu";
            SetLayout(PromptLayout::A);
            SetInstruction("Posłuchaj i przetłumacz...");
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.sentenceTranslation;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            break;
        case kSelfAssessment:
        case kQaMode: {
            view_.caption = "Dydaktor 5.0 - Ćwiczenie samoocena";
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText, true, true);
            const std::string pos = Trim(PosName(u.partOfSpeech));
            const std::string tail = pos.empty() ? "." : " (" + PolishUtf8(pos) + ").";
            SetInstruction("Podaj tłumaczenie" + tail);
            view_.labelPage = LabelPage::Polish;
            state_.expectedAnswer = u.nativeText;
            state_.promptRecording = recording;
            playAtOnce_ = true;
            break;
        }
        case kSentenceSelfAssessment:
            view_.caption = "Dydaktor 5.0 - Ćwiczenie Pytanie-Odpowiedź";
            SetLayout(PromptLayout::B);
            view_.labelPage = LabelPage::Polish;
            if (!Contains(u.foreignText, "<")) {
                ShowPrompt(StripGapMarkers(u.foreignText), true, true);
                SetInstruction("Przetłumacz...");
                state_.expectedAnswer = u.sentenceTranslation;
                state_.promptRecording = recording;
                playAtOnce_ = true;
            } else {
                const std::string hidden = HideGaps(u.foreignText);
                if (language() > 2) {
                    ShowPrompt(hidden, true, true);
                    SetInstruction("Uzupełnij, podpowiedź: " + PolishUtf8(u.nativeText));
                } else {
                    ShowPromptText(ForeignUtf8(hidden) + " (" + PolishUtf8(u.nativeText) + ")",
                                   hidden.size() + u.nativeText.size() + 3, true, true);
                    SetInstruction("Uzupełnij.");
                }
                state_.expectedAnswer = u.foreignText;
            }
            break;
        default:
            break;
    }
}

}  // namespace dyd
