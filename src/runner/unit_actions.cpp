// The runner's unit commands, the information pane with the example sentences, the play and
// background commands, the correction fields and the key table.

#include <algorithm>

#include "core/markup.h"
#include "core/recording_path.h"
#include "core/scheduling.h"
#include "core/text.h"
#include "runner/runner.h"
#include "runner/runner_text.h"

namespace dyd {

using runner_text::Cp1250;

namespace {

constexpr int kMaxExamplesCollected = 300;

}  // namespace

// ---- Unit commands ------------------------------------------------------------------------------

void Runner::MarkKnown() {
    if (!stepOnScreen()) {
        return;
    }
    LearnerSession& s = ctx_.session;
    const std::string question = "Już umiesz? (Następna powtórka po " +
                                 std::to_string(s.settings.knownInterval) + " dniach.)";
    if (!host_.Confirm(question)) {
        return;
    }
    MarkKnownInSession(s.plan.row(state_.stepRow), s.db.units, s.repetitions, s.settings,
                       ctx_.clock.Today());
    DropUndo();
    LeaveRun(false);
    NextStep();
}

void Runner::MoveToTrash() {
    if (!stepOnScreen() || !view_.menu.trash.enabled) {
        return;
    }
    LearnerSession& s = ctx_.session;
    if (!host_.Confirm("Czy chcesz przenieść aktualną jednostkę do kosza?")) {
        return;
    }
    MoveToTrashInSession(s.plan.row(state_.stepRow), s.db.units, s.repetitions, s.settings,
                         ctx_.clock.Today());
    DropUndo();
    LeaveRun(false);
    NextStep();
}

void Runner::ResetUnit() {
    if (!stepOnScreen() || !view_.menu.reset.enabled) {
        return;
    }
    LearnerSession& s = ctx_.session;
    if (!host_.Confirm("Czy chcesz wyzerować (usunąć) historię i parametry powtórek bieżącej "
                       "jednostki?")) {
        return;
    }
    ResetInSession(s.plan.row(state_.stepRow), s.db.units, s.repetitions, s.settings);
    DropUndo();
    LeaveRun(true);
    NextStep();
}

void Runner::LeaveRun(bool keepAttempts) {
    // The unit actions complete the kinds the settings offer for the unit's type; a run of a
    // kind the settings no longer offer would otherwise show the unit again and again.
    PlanEntry& entry = cell();
    if (entry.remaining > 0) {
        entry.remaining = 0;
        entry.done = 1;
        if (!keepAttempts) {
            entry.attempts = 1;
        }
    }
}

void Runner::EditComment() {
    if (!stepOnScreen()) {
        return;
    }
    LearnerSession& s = ctx_.session;
    Unit& u = s.db.units.unit(state_.stepUnit);
    const std::string shownBytes = u.userComment;
    const std::optional<std::string> edited =
        host_.EditComment(PolishUtf8(shownBytes), kMaxCommentLength);
    if (!edited) {
        return;
    }
    std::string bad;
    auto bytes = FromUtf8(*edited, CodePage::Cp1250, &bad);
    if (!bytes) {
        host_.Message(std::string(kCharacterRefusedMessage) + bad);
        return;
    }
    if (bytes->size() > static_cast<std::size_t>(kMaxCommentLength)) {
        bytes->resize(static_cast<std::size_t>(kMaxCommentLength));
    }
    u.userComment = StripGapMarkers(*bytes);
    if (*bytes != shownBytes) {
        s.db.commentsDirty = true;
    }
    BuildInfoPane(false);
}

void Runner::SwitchQaMode() {
    if (!stepOnScreen()) {
        return;
    }
    LearnerSession& s = ctx_.session;
    Unit& u = s.db.units.unit(state_.stepUnit);
    if (u.unitKind == kSentenceUnit) {
        host_.Message("Dla zdań - opcja niedostępna.");
        return;
    }
    if (!view_.menu.switchQa.enabled) {
        return;
    }
    const bool qa = u.unitKind == kQaUnit;
    const std::string_view question =
        qa ? "Tryb QA. Czy zmienić na słówko standardowe (dostępne wszystkie ćwiczenia)?"
           : "Słówko standardowe. Czy zmienić na tryb QA (tylko ćwiczenia samooceny)?";
    if (!host_.Confirm(question)) {
        return;
    }
    view_.menu.switchQa.enabled = false;
    if (u.fileKind == 0) {
        u.fileKind = u.unitKind;
    }
    u.unitKind = qa ? kWordUnit : kQaUnit;
    u.userKindOverride = u.unitKind;
    s.db.commentsDirty = true;
}

void Runner::MarkKinds() {
    if (!stepOnScreen()) {
        return;
    }
    if (unit().unitKind == kWordUnit) {
        host_.ShowKindMarks(ctx_.session.plan.row(state_.stepRow).unitNumber);
    } else {
        host_.Message("Opcja dostępna tylko dla słówek.");
    }
}

// ---- Examples and the information pane ----------------------------------------------------------

bool Runner::HasRecording(int unitNumber) const {
    return !RecordingPath(ctx_.session.paths, ctx_.session.db.units.unit(unitNumber)).empty();
}

std::vector<int> FindExamples(const UnitTable& units, const std::vector<Relation>& relations,
                              int unitNumber) {
    std::vector<int> list;
    if (unitNumber < 1 || unitNumber > units.unitCount()) {
        return list;
    }
    const std::int32_t id = units.unit(unitNumber).unitId;
    int collected = 0;
    for (const Relation& relation : relations) {
        if (collected >= kMaxExamplesCollected) {
            break;
        }
        if (relation.unitId != id) {
            continue;
        }
        const int related = units.IndexOfUnitId(relation.relatedId);
        if (related < 1 || std::find(list.begin(), list.end(), related) != list.end()) {
            continue;
        }
        list.push_back(related);
        ++collected;
    }
    if (list.size() > static_cast<std::size_t>(kMaxExamples)) {
        list.resize(static_cast<std::size_t>(kMaxExamples));
    }
    return list;
}

std::string BuildInfoPaneText(const std::string& infoText, const std::string& userComment,
                              const Unit* example, bool withTranslation) {
    if (example == nullptr) {
        if (infoText.empty() && userComment.empty()) {
            return {};
        }
        if (!infoText.empty()) {
            return "<CHARSET>" + infoText + "<BR><i><POLSKI>" + userComment + "</i>";
        }
        return "<i><POLSKI>" + userComment + "</i>";
    }
    std::string text = "<CHARSET>" + StripGapMarkers(example->foreignText) + "<br>";
    if (withTranslation) {
        text += "<POLSKI>" + example->sentenceTranslation + "<br>";
    }
    text += "<CHARSET>" + infoText + "<i><POLSKI>" + userComment + "</i>";
    return text;
}

std::string ExamplesWindowText(const UnitTable& units, const std::vector<int>& examples,
                               const std::function<bool(int)>& hasRecording) {
    std::string text;
    for (const int x : examples) {
        const Unit& e = units.unit(x);
        if (hasRecording && hasRecording(x)) {
            text += "#S=" + ZeroPad(5, x) + "# ";
        }
        if (!e.sentenceTranslation.empty()) {
            text += "#N=" + ZeroPad(5, x) + "# " + StripGapMarkers(e.foreignText);
        } else {
            text += StripGapMarkers(e.foreignText);
        }
        text += " @";
    }
    return Trim(GapsToItalics(text));
}

void Runner::FindExamples() {
    examples_.clear();
    shownExample_ = 0;
    const Unit& u = unit();
    if (u.partOfSpeech == kSentencePart) {
        return;
    }
    examples_ =
        dyd::FindExamples(ctx_.session.db.units, ctx_.session.db.relations, state_.stepUnit);
    if (!examples_.empty()) {
        // The first example goes into the pane.
        shownExample_ = examples_.front();
        view_.pane.examplePlayVisible = HasRecording(shownExample_);
        view_.pane.nextVisible = examples_.size() > 1;
        view_.pane.exampleTranslationVisible = true;
    }
}

void Runner::BuildInfoPane(bool withTranslation) {
    PaneView& pane = view_.pane;
    ++pane.scrollResetSerial;
    if (!stepOnScreen() || !state_.answered) {
        pane.bytes.clear();
        pane.visible = false;
        return;
    }
    const Unit* example = shownExample_ > 0 ? &ctx_.session.db.units.unit(shownExample_) : nullptr;
    pane.bytes = BuildInfoPaneText(state_.infoText, unit().userComment, example, withTranslation);
    pane.visible = !pane.bytes.empty();
}

void Runner::ShowExampleTranslation() {
    if (stepOnScreen() && view_.pane.exampleTranslationVisible) {
        BuildInfoPane(true);
    }
}

void Runner::PlayExample() {
    if (stepOnScreen() && shownExample_ > 0) {
        PlayPath(RecordingPath(ctx_.session.paths, ctx_.session.db.units.unit(shownExample_)),
                 false);
    }
}

void Runner::ShowSentenceTranslation() {
    if (stepOnScreen()) {
        host_.Message(PolishUtf8(unit().sentenceTranslation));
    }
}

void Runner::OpenExamples() {
    if (!stepOnScreen()) {
        return;
    }
    if (!state_.answered) {
        examples_.clear();
    }
    const std::string text = ExamplesWindowText(ctx_.session.db.units, examples_,
                                                [this](int x) { return HasRecording(x); });
    const std::string& foreign = unit().foreignText;
    host_.OpenExamples(text, foreign.size() <= 29 ? foreign : std::string());
}

// ---- Play, background, id, group ----------------------------------------------------------------

void Runner::Play() {
    if (stepOnScreen()) {
        PlayPath(state_.answered ? state_.resultRecording : state_.promptRecording, false);
    }
}

const std::string& Runner::CompareRecording() const {
    return state_.answered ? state_.resultRecording : state_.promptRecording;
}

void Runner::RecordingMade() {
    view_.compareVisible = true;
}

void Runner::PickBackground() {
    LearnerSession& s = ctx_.session;
    if (!backgroundsBuilt_) {
        if (s.backgrounds.entries.empty()) {
            BuildBackgroundList(s.paths, ctx_.random, s.backgrounds);
        }
        backgroundsBuilt_ = true;
    }
    view_.background =
        dyd::PickBackground(s.backgrounds, state_.stepKind, s.paths.programDir, ctx_.random);
    ++view_.backgroundSerial;
}

void Runner::ToggleId() {
    view_.unitIdVisible = !view_.unitIdVisible;
}

void Runner::ShowGroup() {
    if (stepOnScreen()) {
        view_.groupLine = PolishUtf8(GroupName(ctx_.session.db.groups, unit().groupId));
    }
}

// ---- Correction mode ----------------------------------------------------------------------------

void Runner::LoadCorrection() {
    const Unit& u = unit();
    CorrectionView& c = view_.correction;
    for (std::size_t i = 0; i < 4; ++i) {
        c.flags[i] = u.correctionFlags[i] != 0;
    }
    c.note = PolishUtf8(u.correctionNote);
    c.hint = PolishUtf8(u.correctionHint);
    c.synonyms = ForeignUtf8(u.synonyms);
    state_.correctionLoaded = true;
}

void Runner::SetCorrectionFields(const std::array<bool, 4>& flags, std::string_view note,
                                 std::string_view hint) {
    view_.correction.flags = flags;
    view_.correction.note = std::string(note);
    view_.correction.hint = std::string(hint);
}

void Runner::StoreCorrection() {
    if (!stepOnScreen()) {
        return;
    }
    Unit& u = ctx_.session.db.units.unit(state_.stepUnit);
    const CorrectionView& c = view_.correction;
    for (std::size_t i = 0; i < 4; ++i) {
        u.correctionFlags[i] = c.flags[i] ? 1 : 0;
    }
    // A character Windows-1250 cannot hold is dropped from a tester's note rather than losing
    // the whole note.
    auto toBytes = [](const std::string& utf8) {
        if (auto bytes = FromUtf8(utf8, CodePage::Cp1250)) {
            return *bytes;
        }
        std::string kept;
        std::size_t i = 0;
        while (i < utf8.size()) {
            std::size_t len = 1;
            const auto lead = static_cast<unsigned char>(utf8[i]);
            if (lead >= 0xF0) {
                len = 4;
            } else if (lead >= 0xE0) {
                len = 3;
            } else if (lead >= 0xC0) {
                len = 2;
            }
            if (auto b = FromUtf8(std::string_view(utf8).substr(i, len), CodePage::Cp1250)) {
                kept += *b;
            }
            i += len;
        }
        return kept;
    };
    u.correctionNote = toBytes(c.note);
    u.correctionHint = toBytes(c.hint);
    u.corrected = 1;
}

// ---- Keys ---------------------------------------------------------------------------------------

KeyAction Runner::ActionForKey(const KeyPress& press) const {
    const RunnerKey key = press.key;
    const bool ctrl = press.ctrl;
    const bool ctrlAlone = press.ctrl && !press.alt && !press.shift && !press.meta;
    const bool answered = state_.answered;
    auto digit = [&]() -> int {
        switch (key) {
            case RunnerKey::Digit1:
                return 1;
            case RunnerKey::Digit2:
                return 2;
            case RunnerKey::Digit3:
                return 3;
            case RunnerKey::Digit4:
                return 4;
            default:
                return 0;
        }
    }();

    if (digit >= 1 && !answered && view_.choicesShown >= 2) {
        return static_cast<KeyAction>(static_cast<int>(KeyAction::Choose1) + digit - 1);
    }
    if ((digit == 1 || digit == 2) && !answered && view_.didNotKnowVisible) {
        return digit == 1 ? KeyAction::Knew : KeyAction::DidNotKnow;
    }
    if (key == RunnerKey::Escape) {
        return KeyAction::Close;
    }
    if (ctrl && key == RunnerKey::G) {
        return KeyAction::Play;
    }
    if (ctrl && key == RunnerKey::W && (language() == 1 || language() == 2)) {
        return KeyAction::Play;
    }
    if (ctrl && key == RunnerKey::X && view_.pane.examplePlayVisible) {
        return KeyAction::PlayExample;
    }
    if (key == RunnerKey::Enter && view_.okVisible) {
        return KeyAction::Ok;
    }
    if (key == RunnerKey::Enter && view_.checkVisible) {
        return KeyAction::Reveal;
    }
    if (digit == 1 && view_.knewVisible) {
        return KeyAction::Knew;
    }
    if (digit == 2 && view_.didNotKnowVisible) {
        return KeyAction::DidNotKnow;
    }
    switch (key) {
        case RunnerKey::F1:
            return KeyAction::Help;
        case RunnerKey::F2:
            return KeyAction::ShowGroup;
        default:
            break;
    }
    if ((key == RunnerKey::F3 || digit == 1) && view_.acceptVisible) {
        return KeyAction::Accept;
    }
    if (key == RunnerKey::F4) {
        return KeyAction::PickBackground;
    }
    if (key == RunnerKey::F5 && !view_.learnerAnswer.empty()) {
        return KeyAction::ShowAnswer;
    }
    if (key == RunnerKey::F6) {
        return KeyAction::ToggleId;
    }
    if (key == RunnerKey::F8 && view_.menu.markKinds.enabled) {
        return KeyAction::MarkKinds;
    }
    const bool f9 = key == RunnerKey::F9 || key == RunnerKey::Space;
    if (f9 && view_.pane.sentenceTranslationVisible) {
        return KeyAction::SentenceTranslation;
    }
    if (f9 && view_.pane.exampleTranslationVisible) {
        return KeyAction::ExampleTranslation;
    }
    if (key == RunnerKey::Backspace && press.alt && !press.ctrl && !press.shift && !press.meta) {
        return CanUndo() ? KeyAction::Undo : KeyAction::None;
    }
    if (ctrlAlone) {
        switch (key) {
            case RunnerKey::K:
                return KeyAction::AddComment;
            case RunnerKey::T:
                return view_.menu.trash.enabled ? KeyAction::Trash : KeyAction::None;
            case RunnerKey::Z:
                return view_.menu.reset.enabled ? KeyAction::Reset : KeyAction::None;
            case RunnerKey::J:
                return KeyAction::Known;
            default:
                break;
        }
    }
    return KeyAction::None;
}

bool Runner::Perform(KeyAction action) {
    switch (action) {
        case KeyAction::Choose1:
        case KeyAction::Choose2:
        case KeyAction::Choose3:
        case KeyAction::Choose4:
            JudgeChoice(static_cast<int>(action) - static_cast<int>(KeyAction::Choose1) + 1);
            return true;
        case KeyAction::Knew:
            JudgeSelf(true);
            return true;
        case KeyAction::DidNotKnow:
            JudgeSelf(false);
            return true;
        case KeyAction::Play:
            Play();
            return true;
        case KeyAction::PlayExample:
            PlayExample();
            return true;
        case KeyAction::Reveal:
            RevealAnswer();
            return true;
        case KeyAction::ShowGroup:
            ShowGroup();
            return true;
        case KeyAction::Accept:
            AcceptAnswer();
            return true;
        case KeyAction::PickBackground:
            PickBackground();
            return true;
        case KeyAction::ToggleId:
            ToggleId();
            return true;
        case KeyAction::MarkKinds:
            MarkKinds();
            return true;
        case KeyAction::SentenceTranslation:
            ShowSentenceTranslation();
            return true;
        case KeyAction::ExampleTranslation:
            ShowExampleTranslation();
            return true;
        case KeyAction::AddComment:
            EditComment();
            return true;
        case KeyAction::Trash:
            MoveToTrash();
            return true;
        case KeyAction::Reset:
            ResetUnit();
            return true;
        case KeyAction::Known:
            MarkKnown();
            return true;
        case KeyAction::Undo:
            UndoAnswer();
            return true;
        case KeyAction::None:
        case KeyAction::Close:
        case KeyAction::Ok:
        case KeyAction::Help:
        case KeyAction::ShowAnswer:
            return false;
    }
    return false;
}

}  // namespace dyd
