// The runner's step cycle: opening and closing a run, choosing the next row, the set-up that
// every kind shares, the prompt and sentence box, judging and the result display.

#include "runner/runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/datetime.h"
#include "core/history.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/recording_path.h"
#include "core/scheduling.h"
#include "core/text.h"
#include "runner/answer_check.h"
#include "runner/runner_text.h"

namespace dyd {

using runner_text::Cp1250;

// ---- Statistics ---------------------------------------------------------------------------------

namespace {

long double PercentOf(int right, int wrong, int stepCount, int planned) {
    long double total = static_cast<long double>(stepCount) * planned + wrong;
    if (total < 1) {
        total = 1;
    }
    return static_cast<long double>(right) / total * 100.0L;
}

}  // namespace

int TruncatedPercent(int right, int wrong, int stepCount, int planned) {
    return static_cast<int>(std::trunc(PercentOf(right, wrong, stepCount, planned)));
}

int RoundedPercent(int right, int wrong, int stepCount, int planned) {
    return static_cast<int>(std::nearbyint(PercentOf(right, wrong, stepCount, planned)));
}

StatisticsTexts FormatStatistics(const RunStatistics& stats) {
    StatisticsTexts texts;
    texts.right = " " + std::to_string(stats.right);
    texts.wrong = " " + std::to_string(stats.wrong);
    texts.percent =
        " " +
        std::to_string(TruncatedPercent(stats.right, stats.wrong, stats.stepCount, stats.planned)) +
        " %";
    texts.progress = " " + std::to_string(stats.finished) + " / " + std::to_string(stats.planned);
    return texts;
}

std::vector<std::pair<int, int>> MixRows(SessionPlan& plan, Random& random) {
    std::vector<std::pair<int, int>> swaps;
    const int n = plan.rowCount();
    if (n <= 4) {
        return swaps;
    }
    const int s = std::clamp(static_cast<int>(RoundHalfEven(0.6 * n)), 5, n);
    int previous = 1;
    for (int i = 1; i <= s; ++i) {
        int r = 0;
        do {
            r = random.Below(n) + 1;
        } while (r == previous || r == i);
        plan.SwapRows(i, r);
        swaps.emplace_back(i, r);
        previous = r;
    }
    return swaps;
}

// ---- Construction and small helpers -------------------------------------------------------------

Runner::Runner(RunnerContext context, RunnerHost& host) : ctx_(context), host_(host) {
    view_.playHint = "Odtwórz";
}

PlanEntry& Runner::cell() {
    return ctx_.session.plan.row(state_.stepRow)
        .cells[static_cast<std::size_t>(ctx_.session.plan.currentKind)];
}

const Unit& Runner::unit() const {
    return ctx_.session.db.units.unit(state_.stepUnit);
}

int Runner::language() const {
    return ctx_.session.db.params.language;
}

CodePage Runner::foreignPage() const {
    return ctx_.session.db.params.foreignCodePage();
}

std::string Runner::PolishUtf8(std::string_view bytes) const {
    return ToUtf8(bytes, CodePage::Cp1250);
}

std::string Runner::ForeignUtf8(std::string_view bytes) const {
    return ToUtf8(bytes, foreignPage());
}

std::string Runner::TextUtf8(std::string_view bytes, bool foreign) const {
    return foreign ? ForeignUtf8(bytes) : PolishUtf8(bytes);
}

bool Runner::stepOnScreen() const {
    return !closed_ && state_.stepRow >= 1 && state_.stepRow <= ctx_.session.plan.rowCount() &&
           state_.stepUnit >= 1 && state_.stepUnit <= ctx_.session.db.units.unitCount();
}

void Runner::PlayPath(const std::string& path, bool wait) {
    if (!path.empty()) {
        host_.PlaySound(path, wait);
    }
}

// ---- Opening and the next step ------------------------------------------------------------------

void Runner::OpenRun() {
    LearnerSession& s = ctx_.session;
    closed_ = false;
    view_.menuOpen = false;
    view_.correction.visible = s.db.correctionMode;
    state_.correctionLoaded = false;

    state_.rightCount = 0;
    state_.wrongCount = 0;
    state_.exercisedUnits = 0;
    state_.plannedUnits = 0;
    const auto kind = static_cast<std::size_t>(s.plan.currentKind);
    if (kind < kKindSlots + 1) {
        for (const PlanRow& row : s.plan.rows) {
            if (row.cells[kind].remaining > 0) {
                ++state_.plannedUnits;
            }
        }
    }

    view_.compareVisible = false;
    state_.stepKind = s.plan.currentKind;
    PickBackground();

    state_.stepRow = 0;
    state_.stepUnit = 0;
    MixRows(s.plan, ctx_.random);
    state_.finishedUnits = 0;
    runRows_.clear();
    runAnswers_ = 0;
    if (kind < kKindSlots + 1) {
        for (std::size_t i = 0; i < s.plan.rows.size(); ++i) {
            const PlanEntry& entry = s.plan.rows[i].cells[kind];
            if (entry.remaining > 0) {
                runRows_.push_back({i, s.plan.rows[i].unitNumber, entry.attempts, entry.remaining});
                runAnswers_ += entry.remaining;
            }
        }
    }
    DropUndo();

    view_.repetitionBanner = s.plan.mode == SessionMode::Repetition;
    view_.choices[3].clear();
    NextStep();
}

void Runner::NextStep() {
    LearnerSession& s = ctx_.session;
    view_.acceptVisible = false;
    if (s.db.correctionMode && state_.correctionLoaded) {
        StoreCorrection();
        state_.correctionLoaded = false;
    }

    ++state_.stepsSinceInterlude;
    if (state_.stepsSinceInterlude > 30 && !s.settings.interludesAtEndOnly) {
        state_.stepsSinceInterlude = 0;
        ctx_.interludes.Run(s.packs, s.settings, host_.interludes());
    }

    const int n = s.plan.rowCount();
    const int kind = s.plan.currentKind;
    if (n == 0 || kind < 1 || kind > kKindSlots) {
        state_.stepRow = 1;
        CloseRun();
        return;
    }
    auto pending = [&](int row) {
        return s.plan.row(row).cells[static_cast<std::size_t>(kind)].remaining >= 1;
    };
    auto advance = [&](int row) { return row >= n ? 1 : row + 1; };
    state_.stepRow = advance(state_.stepRow < 0 ? 0 : state_.stepRow);
    for (int i = 0; i < n && !pending(state_.stepRow); ++i) {
        state_.stepRow = advance(state_.stepRow);
    }
    if (pending(state_.stepRow)) {
        state_.stepKind = kind;
        state_.stepUnit = s.plan.row(state_.stepRow).unitNumber;
        SetUpStep();
    } else {
        state_.stepRow = 1;
        CloseRun();
    }
}

// ---- The common set-up --------------------------------------------------------------------------

void Runner::SetUpStep() {
    LearnerSession& s = ctx_.session;
    if (state_.stepUnit < 1 || state_.stepUnit > s.db.units.unitCount()) {
        return;
    }
    const Unit& u = unit();
    ++view_.serial;

    // 1. Read the first byte of the recording so that a slow medium is ready before playback.
    state_.answered = false;
    state_.answerCorrect = false;
    if (const std::string path = RecordingPath(s.paths, u); !path.empty()) {
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fgetc(f);
            std::fclose(f);
        }
    }

    // 2.
    view_.instruction = {};
    view_.instructionRed = false;
    view_.hint = {};
    view_.groupLine.clear();
    view_.caption = std::string(kRunnerTitle);
    view_.gapBox = {};
    view_.pane = PaneView{0, {}, view_.pane.scrollResetSerial};
    view_.menuOpen = false;

    // 3. Correction mode.
    if (s.db.correctionMode) {
        LoadCorrection();
    }

    // 4.
    view_.unitIdText = "Id: " + std::to_string(u.unitId);

    // 5. The command menu.
    const RepetitionRecord& record = s.repetitions.record(state_.stepUnit);
    view_.menu.reset.enabled = record.repetitionNo > 0;
    switch (u.unitKind) {
        case kWordUnit:
            view_.menu.switchQa = {"Zmień na QA", true};
            view_.menu.markKinds.enabled = true;
            break;
        case kQaUnit:
            view_.menu.switchQa = {"Zmień na ...", true};
            view_.menu.markKinds.enabled = false;
            break;
        default:
            view_.menu.switchQa.enabled = false;
            view_.menu.markKinds.enabled = false;
            break;
    }

    // 6.
    view_.expected = {};
    state_.acceptedByAlternative = false;
    view_.okVisible = false;
    view_.sentenceBox = SentenceBoxView{};
    view_.checkVisible = false;
    if (state_.stepKind != kPronunciation) {
        view_.compareVisible = false;
        view_.knewVisible = false;
        view_.didNotKnowVisible = false;
    }

    // 7.
    UpdateStatistics();
    if (runAnswers_ > 0) {
        const int step = std::clamp(runAnswers_ - AnswersLeftInRun() + 1, 1, runAnswers_);
        view_.position = std::to_string(step) + " / " + std::to_string(runAnswers_);
    } else {
        view_.position.clear();
    }

    // 8.
    alternatives_ = BuildAlternatives(u.synonyms, state_.stepKind, language(), u);

    // 9.
    state_.learnerAnswer.clear();
    view_.learnerAnswer.clear();
    view_.instruction.visible = true;
    state_.infoText.clear();
    view_.comparisonVisible = false;
    view_.comparison = {};
    view_.rightMark = false;

    // 10. The kind's own set-up; each starts from a step without prompt, choices or answer field.
    view_.prompt = {};
    view_.word = {};
    view_.choicesShown = 0;
    view_.answerFieldVisible = false;
    view_.acceptVisible = false;
    state_.promptRecording.clear();
    state_.resultRecording.clear();
    state_.expectedAnswer.clear();
    noChoiceSentence_ = false;
    playAtOnce_ = false;
    SetUpKind();

    // 11.
    view_.playVisible = !state_.promptRecording.empty();
    view_.playHint = "Odtwórz";

    // 12.
    if (record.repetitionNo > 0) {
        view_.repetitions =
            "P: " + std::to_string(record.repetitionNo) + " (" + FormatDate(record.lastDate) + ")";
    } else {
        // A unit never learnt has nothing to show; the previous unit's line must not stay.
        view_.repetitions.clear();
    }

    if (playAtOnce_) {
        PlayPath(state_.promptRecording, false);
    }
}

void Runner::UpdateStatistics() {
    const int stepCount = StepCount(ctx_.session.plan.mode, ctx_.session.settings);
    view_.stat1 = " " + std::to_string(state_.rightCount);
    view_.stat2 = " " + std::to_string(state_.wrongCount);
    view_.stat3 = " " +
                  std::to_string(TruncatedPercent(state_.rightCount, state_.wrongCount, stepCount,
                                                  state_.plannedUnits)) +
                  " %";
    if (ctx_.session.plan.mode == SessionMode::Learning) {
        view_.repetitions.clear();
    }
}

void Runner::RecordResult(bool correct) {
    if (!stepOnScreen()) {
        return;
    }
    PlanEntry& entry = cell();
    entry.attempts += 1;
    if (correct) {
        entry.remaining -= 1;
        if (entry.remaining < 1) {
            entry.remaining = 0;
            entry.done = 1;
        }
        state_.rightCount += 1;
    } else {
        state_.wrongCount += 1;
    }
    UpdateStatistics();
}

// ---- Prompt, layouts and the sentence box -------------------------------------------------------

void Runner::SetLayout(PromptLayout layout) {
    view_.layout = layout;
    if (layout == PromptLayout::A) {
        view_.word.visible = false;
        view_.instructionTop = 123;
        view_.choiceTops = {169, 209, 247, 289};
    } else {
        view_.word.visible = true;
        view_.instructionTop = 139;
        view_.choiceTops = {179, 217, 259, 301};
    }
}

void Runner::ShowPrompt(std::string_view bytes, bool highlight, bool foreign) {
    ShowPromptText(TextUtf8(bytes, foreign), bytes.size(), highlight, foreign);
}

void Runner::ShowPromptText(std::string utf8, std::size_t byteLength, bool highlight,
                            bool foreign) {
    view_.word.text.clear();
    view_.sentenceBox.visible = false;
    view_.sentenceBox.text.clear();
    view_.prompt = PromptView{utf8, highlight, foreign, false};
    if (byteLength > 50 || state_.stepKind > 9) {
        view_.prompt.inSentenceBox = true;
        ShowSentenceBox(std::move(utf8), highlight, foreign);
    } else {
        view_.word.text = std::move(utf8);
        view_.word.foreign = foreign;
        view_.word.visible = true;
    }
}

void Runner::ShowSentenceBox(std::string utf8, bool highlight, bool foreign) {
    SentenceBoxView& box = view_.sentenceBox;
    box.visible = true;
    box.text = std::move(utf8);
    box.highlight = highlight;
    box.foreign = foreign;
    box.layout = SentenceLayout{};
    if (ctx_.measure != nullptr) {
        box.layout =
            LayOutSentence(SentenceTokens(box.text), kSentenceBoxWidth, highlight, *ctx_.measure);
    }
    box.top = SentenceBoxTop(box.layout.lines, view_.layout == PromptLayout::A);
}

// ---- Judging ------------------------------------------------------------------------------------

void Runner::SetChoices(const ChoiceSet& set) {
    for (int i = 1; i <= 4; ++i) {
        state_.choices[static_cast<std::size_t>(i)] = set.texts[static_cast<std::size_t>(i)];
    }
    state_.correctChoice = set.correct;
    view_.choicesShown = std::clamp(set.shown, 0, 4);
    const bool foreign = view_.labelPage != LabelPage::Polish;
    for (int i = 0; i < 4; ++i) {
        view_.choices[static_cast<std::size_t>(i)] =
            TextUtf8(set.texts[static_cast<std::size_t>(i + 1)], foreign);
    }
}

void Runner::JudgeChoice(int n) {
    if (!stepOnScreen() || state_.answered || n < 1 || n > view_.choicesShown) {
        return;
    }
    KeepForUndo();
    state_.answered = true;
    view_.choicesShown = 0;
    state_.learnerAnswer = state_.choices[static_cast<std::size_t>(n)];
    state_.answerCorrect = n == state_.correctChoice;
    if (state_.answerCorrect) {
        state_.learnerAnswer.clear();
    }
    view_.learnerAnswer = TextUtf8(state_.learnerAnswer, view_.labelPage != LabelPage::Polish);
    ShowResult();
}

bool Runner::JudgeTyped(std::string_view typed) {
    const int kind = state_.stepKind;
    if (!stepOnScreen() || state_.answered ||
        !(kind == kDictation || kind == kTypingTranslation || kind == kTypingPlural)) {
        return false;
    }
    std::string bad;
    const auto bytes = FromUtf8(typed, foreignPage(), &bad);
    if (!bytes) {
        host_.Message(std::string(kCharacterRefusedMessage) + bad);
        return false;
    }
    KeepForUndo();
    state_.answerCorrect = false;
    state_.answered = true;
    view_.answerFieldVisible = false;

    const TypedVerdict verdict = JudgeTypedText(*bytes, state_.expectedAnswer, alternatives_, kind,
                                                ctx_.session.db.substitutions);
    state_.learnerAnswer = verdict.learnerAnswer;
    view_.learnerAnswer = ForeignUtf8(state_.learnerAnswer);
    state_.acceptedByAlternative = verdict.correct && verdict.acceptedByAlternative;
    if (verdict.correct) {
        state_.answerCorrect = true;
        state_.expectedAnswer = state_.learnerAnswer;
    } else {
        view_.comparison = CompareLetters(ForeignUtf8(NormalizeAnswerText(state_.expectedAnswer)),
                                          view_.learnerAnswer);
        view_.comparisonVisible = true;
    }
    AfterTypedVerdict();
    return true;
}

bool Runner::JudgeGaps(std::string_view t1, std::string_view t2, std::string_view t3) {
    if (!stepOnScreen() || state_.answered || state_.stepKind != kGapFilling) {
        return false;
    }
    std::array<std::string, 3> typed;
    const std::array<std::string_view, 3> texts{t1, t2, t3};
    for (std::size_t i = 0; i < 3; ++i) {
        std::string bad;
        const auto bytes = FromUtf8(texts[i], foreignPage(), &bad);
        if (!bytes) {
            host_.Message(std::string(kCharacterRefusedMessage) + bad);
            return false;
        }
        typed[i] = Trim(*bytes);
    }
    KeepForUndo();
    state_.answerCorrect = false;
    state_.answered = true;
    const GapVerdict verdict =
        JudgeGapTexts(typed, view_.gapBox.gaps, unit(), language(), ctx_.session.db.substitutions);
    view_.gapBox.visible = false;
    view_.gapBox.fieldVisible = {};
    state_.learnerAnswer = verdict.learnerAnswer;
    view_.learnerAnswer = ForeignUtf8(state_.learnerAnswer);
    state_.acceptedByAlternative = verdict.correct && verdict.acceptedByAlternative;
    state_.answerCorrect = verdict.correct;
    if (verdict.correct) {
        state_.expectedAnswer = state_.learnerAnswer;
    } else {
        std::vector<std::string> expected;
        std::vector<std::string> answers;
        for (std::size_t i = 0; i < 3; ++i) {
            expected.push_back(ForeignUtf8(NormalizeAnswerText(view_.gapBox.gaps[i])));
            answers.push_back(ForeignUtf8(NormalizeAnswerText(typed[i])));
        }
        view_.comparison = CompareGapLetters(expected, answers);
        view_.comparisonVisible = true;
    }
    AfterTypedVerdict();
    return true;
}

void Runner::AfterTypedVerdict() {
    Settings& settings = ctx_.session.settings;
    if (!state_.answerCorrect && !settings.f5HintShown) {
        host_.Message(kF5HintMessage);
        settings.f5HintShown = true;
    }
    view_.acceptVisible = !state_.answerCorrect;
    ShowResult();
}

void Runner::AcceptAnswer() {
    if (!stepOnScreen() || !view_.acceptVisible || !state_.answered) {
        return;
    }
    state_.answerCorrect = true;
    state_.wrongCount -= 1;
    view_.instructionRed = false;
    PlanEntry& entry = cell();
    entry.remaining -= 1;
    if (entry.remaining < 1) {
        entry.remaining = 0;
        entry.done = 1;
    }
    state_.rightCount += 1;
    view_.instruction.text = "Odpowiedź zaakceptowano! ";
    view_.instruction.foreign = false;
    view_.rightMark = true;
    UpdateStatistics();
    view_.acceptVisible = false;
}

void Runner::Ok(std::string_view typed, std::string_view gap1, std::string_view gap2,
                std::string_view gap3) {
    if (!stepOnScreen() || !view_.okVisible) {
        return;
    }
    if (state_.answered) {
        view_.sentenceBox.visible = false;
        NextStep();
        return;
    }
    if (state_.stepKind == kGapFilling) {
        JudgeGaps(gap1, gap2, gap3);
    } else {
        JudgeTyped(typed);
    }
}

// ---- Self-assessment ----------------------------------------------------------------------------

void Runner::ShowRevealAnswer() {
    const Unit& u = unit();
    const int kind = state_.stepKind;
    const bool foreignExpected = ExpectedIsForeign();
    view_.expected.text = TextUtf8(state_.expectedAnswer, foreignExpected);
    view_.expected.foreign = foreignExpected;
    switch (kind) {
        case kListeningComprehension:
        case kPronunciation:
            ShowPrompt(u.foreignText, false, true);
            break;
        case kPhraseTranslation:
            SetLayout(PromptLayout::B);
            ShowPrompt(u.foreignText, true, true);
            break;
        case kTranslationToPolish:
        case kTranslationFromPolish:
            SetLayout(PromptLayout::B);
            break;
        case kSentenceListening:
            SetLayout(PromptLayout::B);
            ShowPrompt(StripGapMarkers(u.foreignText), true, true);
            break;
        case kSelfAssessment:
        case kSentenceSelfAssessment:
            if (u.unitKind == kSentenceUnit && u.foreignText.find('<') != std::string::npos) {
                ShowPrompt(u.foreignText, true, true);
                view_.expected.text = PolishUtf8(u.nativeText);
                view_.expected.foreign = false;
            }
            break;
        default:
            break;
    }
}

void Runner::RevealAnswer() {
    if (!stepOnScreen() || state_.answered || !view_.checkVisible ||
        state_.stepKind == kPronunciation) {
        return;
    }
    const Unit& u = unit();
    state_.answered = true;
    view_.instruction.visible = false;
    view_.hint.visible = false;
    ShowRevealAnswer();
    BuildInfoText();
    view_.instruction = {};
    view_.instruction.visible = true;
    view_.expected.visible = true;
    view_.checkVisible = false;
    view_.knewVisible = true;
    view_.didNotKnowVisible = true;
    if (state_.promptRecording.empty()) {
        PlayPath(state_.resultRecording, false);
    }
    view_.playVisible = !state_.resultRecording.empty();
    const int kind = state_.stepKind;
    view_.pane.sentenceTranslationVisible =
        kind != kTranslationToPolish && kind != kTranslationFromPolish &&
        kind != kSentenceListening && u.unitKind == kSentenceUnit && !u.sentenceTranslation.empty();
}

void Runner::JudgeSelf(bool knew) {
    if (!stepOnScreen() || !view_.knewVisible) {
        return;
    }
    KeepForUndo();
    if (state_.stepKind != kPronunciation) {
        view_.knewVisible = false;
        view_.didNotKnowVisible = false;
    }
    state_.answered = true;
    state_.answerCorrect = knew;
    state_.learnerAnswer.clear();
    view_.learnerAnswer.clear();
    view_.instruction = {};
    view_.hint = {};
    ShowVerdict();
    NextStep();
}

// ---- The result display -------------------------------------------------------------------------

bool Runner::ExpectedIsForeign() const {
    switch (state_.stepKind) {
        case kRecognitionByEar:
        case kTranslationChoice:
        case kDictation:
        case kTypingTranslation:
        case kArticleChoice:
        case kTypingPlural:
        case kPronunciation:
        case kSentenceChoice:
            return !noChoiceSentence_;
        case kGapFilling:
        case kTranslationFromPolish:
            return true;
        case kSentenceSelfAssessment:
            return unit().foreignText.find('<') != std::string::npos;
        default:
            return false;
    }
}

void Runner::ShowVerdict() {
    const Unit& u = unit();
    const int kind = state_.stepKind;
    view_.instruction.visible = false;
    view_.compareVisible = false;

    const bool foreignExpected = ExpectedIsForeign();
    switch (kind) {
        case kListeningComprehension:
        case kPronunciation:
            ShowPrompt(u.foreignText, false, true);
            view_.expected.text = TextUtf8(state_.expectedAnswer, foreignExpected);
            view_.expected.foreign = foreignExpected;
            break;
        case kSentenceChoice:
        case kGapFilling: {
            view_.expected.text.clear();
            std::string text = ForeignUtf8(u.foreignText);
            if (language() == 1 || language() == 2) {
                text += " (" + PolishUtf8(u.nativeText) + ")";
            }
            ShowSentenceBox(std::move(text), true, true);
            if (kind == kGapFilling) {
                view_.sentenceBox.top = 198;
            }
            break;
        }
        case kSentenceListening:
            SetLayout(PromptLayout::B);
            ShowPrompt(StripGapMarkers(u.foreignText), true, true);
            view_.expected.text = TextUtf8(state_.expectedAnswer, foreignExpected);
            view_.expected.foreign = foreignExpected;
            break;
        case kSelfAssessment:
        case kSentenceSelfAssessment:
            ShowRevealAnswer();
            break;
        default:
            view_.expected.text = TextUtf8(state_.expectedAnswer, foreignExpected);
            view_.expected.foreign = foreignExpected;
            break;
    }

    RecordResult(state_.answerCorrect);
    view_.instruction.foreign = false;
    view_.rightMark = state_.answerCorrect;
    if (state_.answerCorrect) {
        view_.instructionRed = false;
        view_.instruction.text = state_.acceptedByAlternative
                                     ? "Odpowiedź zaakceptowana! Nagranie odtworzysz po "
                                       "kliknięciu na ikonkę."
                                     : "Bardzo dobrze!";
    } else {
        view_.instruction.text = "Poprawnie:";
        view_.instructionRed = true;
        if (kind == kSentenceChoice) {
            view_.instructionTop = view_.sentenceBox.top - 24;
        }
    }
    view_.pane.sentenceTranslationVisible =
        kind != kTranslationToPolish && kind != kTranslationFromPolish &&
        kind != kSentenceListening && u.unitKind == kSentenceUnit && !u.sentenceTranslation.empty();
}

void Runner::BuildInfoText() {
    const Unit& u = unit();
    const int kind = state_.stepKind;
    std::string prefix;
    if (state_.acceptedByAlternative) {
        prefix = kind == kGapFilling ? "Wpisano: " + state_.learnerAnswer + "<br>"
                                     : u.foreignText + "<br>";
    }
    std::string body;
    if (kind == kArticleChoice || kind == kTypingPlural || kind == kPronunciation) {
        body = u.nativeText + "<BR>" + u.comment;
    } else {
        body = u.comment;
    }
    if (kind == kRecognitionByEar || kind == kDictation) {
        view_.hint = TextView{PolishUtf8(u.nativeText), true, false};
        view_.hintPlacement = HintPlacement::BelowExpected;
    }
    state_.infoText += prefix + body;
    FindExamples();
    BuildInfoPane(false);
}

void Runner::ShowResult() {
    view_.hint = {};
    ShowVerdict();
    BuildInfoText();
    view_.instruction.visible = true;
    view_.expected.visible = true;
    view_.okVisible = true;
    view_.playHint = "Odtwórz";
    if (!state_.answerCorrect) {
        host_.PlaySound(ResolvePath(ctx_.session.paths.programDir, "zla.wav"), true);
    }
    if (state_.promptRecording.empty() && !state_.acceptedByAlternative) {
        PlayPath(state_.resultRecording, false);
    }
    view_.playVisible = !state_.resultRecording.empty();
}

// ---- Closing ------------------------------------------------------------------------------------

// Only the rows this run started with count: a resumed run does not count the rows finished
// before it, and a row counts as finished once it needs no more answers in the kind (answered
// often enough, or taken out by a unit command). So finished <= planned, finished < planned
// exactly while a row of the run still needs answers, and finished = planned when the run
// covered all its rows.
void Runner::CountRunRows() {
    const SessionPlan& plan = ctx_.session.plan;
    const int kind = plan.currentKind;
    state_.exercisedUnits = 0;
    state_.finishedUnits = 0;
    if (kind < 1 || kind > kKindSlots) {
        return;
    }
    for (const RunRow& start : runRows_) {
        // Rows keep their places during a run; look the unit up should they not.
        const PlanRow* row = nullptr;
        if (start.place < plan.rows.size() &&
            plan.rows[start.place].unitNumber == start.unitNumber) {
            row = &plan.rows[start.place];
        } else {
            const auto it = std::find_if(plan.rows.begin(), plan.rows.end(), [&](const PlanRow& r) {
                return r.unitNumber == start.unitNumber;
            });
            row = it == plan.rows.end() ? nullptr : &*it;
        }
        if (row == nullptr) {
            continue;
        }
        const PlanEntry& entry = row->cells[static_cast<std::size_t>(kind)];
        const bool finished = entry.remaining < 1;
        state_.finishedUnits += finished ? 1 : 0;
        state_.exercisedUnits += finished || entry.attempts > start.attempts ? 1 : 0;
    }
}

bool Runner::CloseRun() {
    LearnerSession& s = ctx_.session;
    if (closed_) {
        return true;
    }
    // A tester's notes on the step on screen are kept when the run is left in the middle.
    if (s.db.correctionMode && state_.correctionLoaded) {
        StoreCorrection();
        state_.correctionLoaded = false;
    }
    if (state_.stepsSinceInterlude > 10 && s.settings.interludesAtEndOnly) {
        state_.stepsSinceInterlude = 0;
        ctx_.interludes.Run(s.packs, s.settings, host_.interludes());
    }
    host_.RefreshPlanList();
    if (s.db.commentsDirty) {
        std::string error;
        if (!SaveComments(s.paths, s.db, &error)) {
            host_.Message(std::string(kCommentsNotSavedMessage) + error);
        }
    }

    const int kind = s.plan.currentKind;
    CountRunRows();
    RunStatistics stats;
    stats.right = state_.rightCount;
    stats.wrong = state_.wrongCount;
    stats.planned = state_.plannedUnits;
    stats.finished = state_.finishedUnits;
    stats.stepCount = StepCount(s.plan.mode, s.settings);
    stats.score = RoundedPercent(stats.right, stats.wrong, stats.stepCount, stats.planned);
    stats.canGoBack = stats.finished < stats.planned;
    lastStats_ = stats;

    // The statistics window comes first: a learner who goes back to the run has not finished it,
    // and the set's result is recorded once, when the run really ends.
    if (s.settings.showStatistics) {
        const bool goBack = host_.ShowStatistics(stats);
        if (goBack && stats.canGoBack) {
            return false;
        }
    }
    if (!s.currentSet.setKey.empty()) {
        // Whether the run is worth a result is judged by the rows answered in it; whether it
        // covered the set, by the rows finished.
        if (const auto percent = ExerciseResultPercent(stats.right, stats.wrong, stats.stepCount,
                                                       stats.planned, state_.exercisedUnits)) {
            const StoreResultStatus status =
                StoreSetResult(s.history, ctx_.clock.Now(), *percent, s.currentSet.setKey, kind, 0,
                               stats.planned == stats.finished);
            if (const std::string_view message = StoreResultMessage(status); !message.empty()) {
                host_.Message(message);
            }
            std::string error;
            if (!SaveHistory(HistoryFilePath(s.paths), s.history, &error)) {
                host_.Message(std::string(kHistoryNotSavedMessage) + error);
            }
        }
    }

    host_.RefreshSetChooser();
    DropUndo();
    closed_ = true;
    return true;
}

// ---- Taking an answer back ----------------------------------------------------------------------

const PlanRow* Runner::RunRowNow(std::size_t index) const {
    const SessionPlan& plan = ctx_.session.plan;
    const RunRow& start = runRows_[index];
    if (start.place < plan.rows.size() && plan.rows[start.place].unitNumber == start.unitNumber) {
        return &plan.rows[start.place];
    }
    const auto it = std::find_if(plan.rows.begin(), plan.rows.end(), [&](const PlanRow& r) {
        return r.unitNumber == start.unitNumber;
    });
    return it == plan.rows.end() ? nullptr : &*it;
}

int Runner::AnswersLeftInRun() const {
    const int kind = ctx_.session.plan.currentKind;
    if (kind < 1 || kind > kKindSlots) {
        return 0;
    }
    int left = 0;
    for (std::size_t i = 0; i < runRows_.size(); ++i) {
        if (const PlanRow* row = RunRowNow(i)) {
            left += std::max(0, row->cells[static_cast<std::size_t>(kind)].remaining);
        }
    }
    return left;
}

void Runner::KeepForUndo() {
    const SessionPlan& plan = ctx_.session.plan;
    AnswerSnapshot snapshot;
    snapshot.state = state_;
    snapshot.view = view_;
    snapshot.alternatives = alternatives_;
    snapshot.examples = examples_;
    snapshot.shownExample = shownExample_;
    snapshot.noChoiceSentence = noChoiceSentence_;
    snapshot.playAtOnce = playAtOnce_;
    snapshot.place = static_cast<std::size_t>(state_.stepRow - 1);
    snapshot.unitNumber = state_.stepUnit;
    snapshot.kind = plan.currentKind;
    snapshot.cell = plan.rows[snapshot.place].cells[static_cast<std::size_t>(plan.currentKind)];
    snapshot.unitKind = unit().unitKind;
    undo_ = std::move(snapshot);
    view_.menu.undo.enabled = true;
}

void Runner::DropUndo() {
    undo_.reset();
    view_.menu.undo.enabled = false;
}

void Runner::UndoAnswer() {
    if (!CanUndo()) {
        return;
    }
    LearnerSession& s = ctx_.session;
    AnswerSnapshot snapshot = std::move(*undo_);
    DropUndo();
    if (snapshot.kind != s.plan.currentKind || snapshot.place >= s.plan.rows.size() ||
        s.plan.rows[snapshot.place].unitNumber != snapshot.unitNumber) {
        return;
    }
    // A tester's notes on the step that goes away are kept, as when it is left.
    if (s.db.correctionMode && state_.correctionLoaded) {
        StoreCorrection();
    }
    s.plan.rows[snapshot.place].cells[static_cast<std::size_t>(snapshot.kind)] = snapshot.cell;

    // Steps since the last interlude keep counting: an interlude is not shown twice.
    const int stepsSinceInterlude = state_.stepsSinceInterlude;
    state_ = snapshot.state;
    state_.stepsSinceInterlude = stepsSinceInterlude;

    // The step's own view; what belongs to the window rather than to the step stays.
    StepView view = std::move(snapshot.view);
    view.serial = view_.serial + 1;
    view.background = view_.background;
    view.backgroundSerial = view_.backgroundSerial;
    view.unitIdVisible = view_.unitIdVisible;
    view.menuOpen = false;
    view.compareVisible = false;  // the learner's recording belongs to a later step now
    view.pane.scrollResetSerial = view_.pane.scrollResetSerial + 1;
    view.menu.undo.enabled = false;
    view_ = std::move(view);
    alternatives_ = std::move(snapshot.alternatives);
    examples_ = std::move(snapshot.examples);
    shownExample_ = snapshot.shownExample;
    noChoiceSentence_ = snapshot.noChoiceSentence;
    playAtOnce_ = snapshot.playAtOnce;

    // The unit may have changed since: its mode, its comment, a tester's notes.
    if (unit().unitKind != snapshot.unitKind) {
        view_.menu.switchQa.enabled = false;
    }
    if (s.db.correctionMode) {
        LoadCorrection();
    }
    if (state_.answered) {
        BuildInfoPane(false);
    }
    UpdateStatistics();
    if (!state_.answered && playAtOnce_) {
        PlayPath(state_.promptRecording, false);
    }
}

}  // namespace dyd
