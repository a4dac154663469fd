#pragma once

// The exercise runner without its window: the state of a run, the step cycle over the session
// plan, the set-up of each of the 18 exercise kinds as data (StepView), judging, the unit
// commands and the information pane. The window (a view over this model) shows a StepView after
// every operation and reports the learner's actions back; everything that needs a window (a
// sound, a message, a dialog) goes through RunnerHost.
//
// Texts of the view are UTF-8 (converted here from the bytes of the files), except the pane text,
// which stays bytes with its <CHARSET> / <POLSKI> marks for the marked-up text box, and the text
// handed to the example-sentences window.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/login.h"
#include "runner/backgrounds.h"
#include "runner/choices.h"
#include "runner/interludes.h"
#include "runner/letter_compare.h"
#include "runner/text_layout.h"

namespace dyd {

inline constexpr std::string_view kRunnerTitle = "Dydaktor 5.0";
inline constexpr int kMaxExamples = 100;
inline constexpr int kMaxCommentLength = 80;

// Messages of the runner (UTF-8).
inline constexpr std::string_view kF5HintMessage = "Klawisz F5 wyświetli Twoją odpowiedź.";
// + the character (UTF-8) that the answer's code page cannot hold.
inline constexpr std::string_view kCharacterRefusedMessage = "Tego znaku nie można tu wpisać: ";
// + the reason.
inline constexpr std::string_view kCommentsNotSavedMessage = "Nie udało się zapisać komentarzy: ";
inline constexpr std::string_view kHistoryNotSavedMessage =
    "Nie udało się zapisać historii ćwiczeń: ";

// ---- State --------------------------------------------------------------------------------------

// The state of the runner; lives as long as the program. OpenRun resets the counters of a run;
// stepsSinceInterlude persists across runs. Texts are bytes of the files.
struct RunnerState {
    int stepKind = 0;
    int stepRow = 0;   // 0 before the first step of a run
    int stepUnit = 0;  // unit number of stepRow
    bool answered = false;
    bool answerCorrect = false;
    bool acceptedByAlternative = false;
    std::string expectedAnswer;
    std::string learnerAnswer;
    std::array<std::string, 5> choices;  // [1..4]
    int correctChoice = 0;
    std::string promptRecording;
    std::string resultRecording;
    std::string infoText;
    int rightCount = 0;
    int wrongCount = 0;
    int plannedUnits = 0;  // rows with answers to give in the kind when the run started
    // Of those rows, recomputed when the run ends: the ones answered in this run (or taken out of
    // it by a unit command), and the ones that need no more answers in the kind. Rows answered in
    // an earlier run of the kind count in neither, so that finishedUnits <= plannedUnits.
    int exercisedUnits = 0;
    int finishedUnits = 0;
    int stepsSinceInterlude = 0;
    bool correctionLoaded = false;
};

// ---- What the window shows ----------------------------------------------------------------------

enum class PromptLayout { A, B };  // A: listening kinds without a prompt text; B: a prompt shows

// The code page the answer labels (L_Odp1..4, L_Poprawna) take for their font: Polish (238),
// the database's (238 for English and German, else the database's character set), or as before.
enum class LabelPage { Polish, Database, Unchanged };

// Where the hint line L_Poprawna2 sits: 24 pixels below L_Polecenie (while E_Wpisana shows), or
// 26 pixels below L_Poprawna.
enum class HintPlacement { BelowInstruction, BelowExpected };

struct TextView {
    std::string text;  // UTF-8
    bool visible = false;
    bool foreign = false;  // a foreign text: the database's font (and its code page was used)
};

struct PromptView {
    std::string text;  // UTF-8; empty when no prompt
    bool highlight = false;
    bool foreign = false;
    bool inSentenceBox = false;  // longer than 50 characters, or a kind above 9
};

struct SentenceBoxView {
    bool visible = false;  // dxramka
    std::string text;      // UTF-8
    bool highlight = false;
    bool foreign = true;
    int top = 96;
    // Filled when the runner was given a TextMeasure (the window's font for the box): the
    // layout of the text in a box of kSentenceBoxWidth.
    SentenceLayout layout;
};

struct GapBoxView {
    bool visible = false;  // DXRamka2
    std::string text;      // UTF-8, the gap text of kind 12
    // Filled when the runner was given a TextMeasure; gaps are known without one.
    GapLayout layout;
    std::array<std::string, 3> gaps;     // G1..G3 (bytes, as judged)
    std::array<bool, 3> fieldVisible{};  // E_Wpis1..3
};

struct MenuItemView {
    std::string caption;  // UTF-8
    bool enabled = true;
};

struct MenuView {
    MenuItemView trash{"Do kosza"};               // K_Do_kosza, Ctrl+T
    MenuItemView comment{"Dodaj komentarz"};      // k_dodaj_komentarz, Ctrl+K
    MenuItemView reset{"Zeruj (zapomnij)"};       // K_zapomnij, Ctrl+Z
    MenuItemView markKinds{"Oznacz rodzaje..."};  // L_Parametry, F8
    MenuItemView switchQa{"Zmień na QA"};         // K_Zmien_na
    MenuItemView known{"Już umiem!"};             // K_umiem, Ctrl+J
    MenuItemView examples{"Zdania"};              // K_Zdania
    // K_Cofnij, Alt+Backspace: the last answer is taken back (see Runner::UndoAnswer).
    MenuItemView undo{"Cofnij odpowiedź", false};
};

struct PaneView {
    bool visible = false;       // L_przyklad_pb with L_kom_panel
    std::string bytes;          // marked-up text (pane style), <CHARSET> / <POLSKI> switch pages
    int scrollResetSerial = 0;  // changes whenever the scroll position goes back to the top
    bool exampleTranslationVisible = false;   // k_tlum
    bool examplePlayVisible = false;          // k_graj
    bool nextVisible = false;                 // L_next
    bool sentenceTranslationVisible = false;  // k_tlum_zdanie
};

struct CorrectionView {
    bool visible = false;         // Panel_Kor: correction mode
    std::array<bool, 4> flags{};  // "zly sample", "brak sampla", "gr. pokaz", "gł (wymowa)"
    std::string note;             // Edit_Kor, UTF-8
    std::string hint;             // Edit_Kor_podp, UTF-8
    std::string synonyms;         // Label2, UTF-8
};

struct StepView {
    int serial = 0;       // changes at every step set up (clear and focus the answer fields then)
    std::string caption;  // window caption, UTF-8
    PromptLayout layout = PromptLayout::B;

    PromptView prompt;
    TextView word;  // L_Slowko
    SentenceBoxView sentenceBox;
    GapBoxView gapBox;

    TextView instruction;  // L_Polecenie
    bool instructionRed = false;
    int instructionTop = 139;  // 139 (B), 123 (A), 24 above the sentence box (kind 10 wrong)
    TextView hint;             // L_Poprawna2
    HintPlacement hintPlacement = HintPlacement::BelowExpected;
    TextView expected;  // L_Poprawna

    std::array<std::string, 4> choices;  // L_Odp1..4, UTF-8
    int choicesShown = 0;                // the first n labels and markers show
    std::array<int, 4> choiceTops{};     // layout A 169, 209, 247, 289; B 179, 217, 259, 301
    LabelPage labelPage = LabelPage::Polish;

    bool answerFieldVisible = false;  // E_Wpisana (gets the focus when shown)
    bool okVisible = false;           // B_OK
    bool checkVisible = false;        // B_Sprawdz
    bool knewVisible = false;         // B_Umiesz
    bool didNotKnowVisible = false;   // B_Nie_umiesz
    bool acceptVisible = false;       // K_Zaakceptuj
    bool playVisible = false;         // TransparentButton1
    std::string playHint;             // "Odtwórz" once a result shows
    bool compareVisible = false;      // k_play_nagrane (after a valid recording of the step)

    PaneView pane;
    MenuView menu;
    bool menuOpen = false;  // Panel_menu (the window opens it on K_menu and closes it itself)

    std::string stat1, stat2, stat3;  // L_Stat1..3
    // L_Pozycja: "3 / 8", the step on screen among the right answers the run needs (a wrong
    // answer does not move it on); set at every step's set-up.
    std::string position;
    std::string repetitions;        // L_Powtorki
    bool repetitionBanner = false;  // I_powtorki
    std::string unitIdText;         // L_pokaz_id text "Id: " + unitId
    bool unitIdVisible = false;     // toggled by F6
    std::string groupLine;          // L_grupa_tem, filled by F2

    BackgroundChoice background;  // Image1 (and whether Image2 shows)
    int backgroundSerial = 0;     // changes whenever a background was picked

    std::string learnerAnswer;  // for the answer popup (F5), UTF-8; empty: F5 does nothing

    // A typed answer judged wrong, letter by letter against the expected one (shown under it).
    bool comparisonVisible = false;
    LetterComparison comparison;
    // The judged answer is right (or was accepted): the green mark shows by the verdict.
    bool rightMark = false;

    CorrectionView correction;
};

// ---- Statistics at the end of a run -------------------------------------------------------------

struct RunStatistics {
    int right = 0;
    int wrong = 0;
    int planned = 0;   // plannedUnits
    int finished = 0;  // finishedUnits: planned rows that need no more answers in the kind
    int stepCount = 1;
    int score = 0;  // rounded half to even
    // Rows are left to do: the statistics window offers to go back (finished < planned, that is
    // a row of the run still needs the kind).
    bool canGoBack = false;
};

// " " + right, " " + wrong, " " + truncated percent + " %", " " + finished + " / " + planned.
struct StatisticsTexts {
    std::string right, wrong, percent, progress;
};
StatisticsTexts FormatStatistics(const RunStatistics& stats);
// right / (stepCount * planned + wrong) * 100, truncated; the denominator is taken as at least 1.
int TruncatedPercent(int right, int wrong, int stepCount, int planned);
// The same rounded half to even.
int RoundedPercent(int right, int wrong, int stepCount, int planned);

// Row mixing at the start of a run: s = round-half-even(0.6 n) clamped to 5..n, and only when
// n > 4, s swaps of row i (1..s) with a random row r (never i, never the previous r). Returns the
// swaps made, as (i, r) pairs.
std::vector<std::pair<int, int>> MixRows(SessionPlan& plan, Random& random);

// ---- Examples and the information pane ----------------------------------------------------------

// The example sentences of a unit: for each relation of the unit's id, in table order, the unit
// number of its related id when such a unit is loaded and not yet listed; at most 300 collected,
// the first kMaxExamples kept.
std::vector<int> FindExamples(const UnitTable& units, const std::vector<Relation>& relations,
                              int unitNumber);

// The pane text (bytes, pane-style markup) of a judged step: the step's extra text and the
// learner's comment, or the example (with its translation when asked) before them. Empty when
// there is nothing to show.
std::string BuildInfoPaneText(const std::string& infoText, const std::string& userComment,
                              const Unit* example, bool withTranslation);

// The text for the example-sentences window: per example x "#S=" + 5 digits + "# " when it has a
// recording, "#N=" + 5 digits + "# " before the sentence when it has a translation, the sentence
// without gap markers, " @"; gaps in italics, trimmed.
std::string ExamplesWindowText(const UnitTable& units, const std::vector<int>& examples,
                               const std::function<bool(int)>& hasRecording);

// ---- The window's side --------------------------------------------------------------------------

class RunnerHost {
  public:
    virtual ~RunnerHost() = default;
    // Plays a recording (a full path); wait: return when it has ended.
    virtual void PlaySound(const std::string& path, bool wait) = 0;
    // The program's message box (UTF-8).
    virtual void Message(std::string_view text) = 0;
    // The confirmation dialog (UTF-8): true for yes.
    virtual bool Confirm(std::string_view text) = 0;
    // The comment dialog with the text shown (UTF-8) and an input limit; nothing when cancelled.
    virtual std::optional<std::string> EditComment(std::string_view shown, int maxLength) = 0;
    // The kind-marks window on a unit number, modal.
    virtual void ShowKindMarks(int unitNumber) = 0;
    // The example-sentences window, modal: text with "#S=00012# " / "#N=00012# " marks and the
    // sentences in the database's code page; searchText the same code page (may be empty).
    virtual void OpenExamples(const std::string& text, const std::string& searchText) = 0;
    // The statistics window, modal; returns true when the learner chose to go back to the run.
    virtual bool ShowStatistics(const RunStatistics& stats) = 0;
    // Where interludes are shown.
    virtual InterludeShows& interludes() = 0;
    // The plan window recomputes its list; the set chooser refreshes (both when the run closes).
    virtual void RefreshPlanList() {}
    virtual void RefreshSetChooser() {}
};

// What the runner works on. The references live longer than the runner.
struct RunnerContext {
    LearnerSession& session;
    const Clock& clock;
    Random& random;
    InterludeScheduler& interludes;
    // The font of the sentence and gap boxes (it is handed UTF-8 text); without one the layouts
    // stay empty.
    const TextMeasure* measure = nullptr;
    // The gap field's height + 1.
    int gapLineHeight = 24;
};

// ---- Keys ---------------------------------------------------------------------------------------

enum class RunnerKey {
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Escape,
    Enter,
    Space,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F8,
    F9,
    G,
    W,
    X,
    K,
    T,
    Z,
    J,
    Backspace,
    Other,
};

struct KeyPress {
    RunnerKey key = RunnerKey::Other;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool meta = false;
};

enum class KeyAction {
    None,  // not the runner's: the control with the focus gets the key
    Choose1,
    Choose2,
    Choose3,
    Choose4,
    Knew,         // B_Umiesz
    DidNotKnow,   // B_Nie_umiesz
    Close,        // the window closes (CloseRun)
    Play,         // TransparentButton1
    PlayExample,  // k_graj
    Ok,           // B_OK
    Reveal,       // B_Sprawdz
    Help,         // the help viewer on kHelpPage
    ShowGroup,    // F2
    Accept,       // K_Zaakceptuj
    PickBackground,
    ShowAnswer,  // the answer popup with view().learnerAnswer
    ToggleId,
    MarkKinds,
    SentenceTranslation,  // k_tlum_zdanie
    ExampleTranslation,   // k_tlum
    AddComment,
    Trash,
    Reset,
    Known,
    Undo,  // Alt+Backspace (Ctrl+Z is "Zeruj (zapomnij)")
};

inline constexpr std::string_view kHelpPage = "jak.html";

// ---- The runner ---------------------------------------------------------------------------------

class Runner {
  public:
    Runner(RunnerContext context, RunnerHost& host);

    const RunnerState& state() const { return state_; }
    const StepView& view() const { return view_; }
    // True once CloseRun has closed the run (and before the first OpenRun). Any operation can
    // end the run (NextStep finds nothing pending): the window checks closed() after each.
    bool closed() const { return closed_; }

    // The plan window set plan.currentKind: initialise the run and show the first step (the run
    // may close at once when nothing is pending).
    void OpenRun();
    // Stores the correction fields, counts the step for interludes, sets up the next pending row
    // or closes the run.
    void NextStep();
    // The common set-up and the kind's own, for state().stepRow / stepUnit.
    void SetUpStep();

    // The learner's answers. Each does nothing when it does not apply to the step on screen.
    void JudgeChoice(int n);
    // typed: UTF-8 from E_Wpisana. A character the database's code page cannot hold is refused
    // with a message and the step stays unjudged (returns false).
    bool JudgeTyped(std::string_view typed);
    bool JudgeGaps(std::string_view t1, std::string_view t2, std::string_view t3);
    void AcceptAnswer();
    void RevealAnswer();
    void JudgeSelf(bool knew);
    // B_OK: judges a typed or gap answer (typed / gaps are the fields' texts), or, once judged,
    // goes to the next step.
    void Ok(std::string_view typed = {}, std::string_view gap1 = {}, std::string_view gap2 = {},
            std::string_view gap3 = {});

    // The unit commands (each hides the menu first; the window does that).
    void MarkKnown();
    void MoveToTrash();
    void ResetUnit();
    void EditComment();
    void SwitchQaMode();
    void MarkKinds();
    void OpenExamples();
    void ShowExampleTranslation();
    void PlayExample();
    void ShowSentenceTranslation();

    // Takes the last answer back: the step comes back as it was before it was judged (a
    // self-assessment step revealed), with the counters, the plan cell and what the window showed.
    // One answer only; a unit command (which changes the unit's records at once) and the end of a
    // run leave nothing to take back. Nothing is recorded before the session ends, so nothing else
    // changes.
    bool CanUndo() const { return undo_.has_value() && stepOnScreen(); }
    void UndoAnswer();
    // TransparentButton1 (and Image1, Ctrl+G, Ctrl+W): the prompt's recording before judging,
    // the result's after.
    void Play();
    // The recording a comparison plays after the learner's own (k_play_nagrane).
    const std::string& CompareRecording() const;
    // A valid recording of the learner was made: k_play_nagrane shows.
    void RecordingMade();
    void PickBackground();  // F4
    void ToggleId();        // F6
    void ShowGroup();       // F2
    // The correction-mode fields as the learner left them (UTF-8 texts), stored at NextStep.
    void SetCorrectionFields(const std::array<bool, 4>& flags, std::string_view note,
                             std::string_view hint);

    // The end of a run: interlude, plan list, comments file, score, history, statistics. Returns
    // whether the runner really closes (false when the learner went back from the statistics).
    bool CloseRun();
    // The score of the last closed run, for whoever asks after it.
    const RunStatistics& lastStatistics() const { return lastStats_; }

    // The key table. The window handles Close (CloseRun), Help, ShowAnswer (the answer popup
    // with view().learnerAnswer) and Ok (Ok() with the answer fields' texts) itself.
    KeyAction ActionForKey(const KeyPress& key) const;
    // Runs a key action that the model owns; false when the action is the window's.
    bool Perform(KeyAction action);

    // Exposed for tests and the window: the plan-cell update of a judged step.
    void RecordResult(bool correct);
    void UpdateStatistics();

    // The example list of the current step (unit numbers) and the example shown (0 = none).
    const std::vector<int>& examples() const { return examples_; }
    int shownExample() const { return shownExample_; }

  private:
    void SetUpKind();
    void SetUpWordKind();
    void SetUpSentenceKind();
    void SetInstruction(std::string utf8);
    void SetHint(std::string utf8);
    void StartChoiceStep(PoolMode mode);
    void ShowPrompt(std::string_view bytes, bool highlight, bool foreign);
    void ShowPromptText(std::string utf8, std::size_t byteLength, bool highlight, bool foreign);
    void ShowSentenceBox(std::string utf8, bool highlight, bool foreign);
    void SetLayout(PromptLayout layout);
    void SetChoices(const ChoiceSet& set);
    void AfterTypedVerdict();
    void ShowResult();
    void ShowVerdict();
    void ShowRevealAnswer();
    void BuildInfoText();
    void FindExamples();
    void BuildInfoPane(bool withTranslation);
    void StoreCorrection();
    void LeaveRun(bool keepAttempts);
    void CountRunRows();
    void LoadCorrection();
    void KeepForUndo();
    void DropUndo();
    // The right answers the rows of this run still need in the kind.
    int AnswersLeftInRun() const;
    const PlanRow* RunRowNow(std::size_t index) const;
    void PlayPath(const std::string& path, bool wait);
    bool ExpectedIsForeign() const;
    bool HasRecording(int unitNumber) const;
    bool stepOnScreen() const;
    PlanEntry& cell();
    const Unit& unit() const;
    int language() const;
    CodePage foreignPage() const;
    std::string PolishUtf8(std::string_view bytes) const;
    std::string ForeignUtf8(std::string_view bytes) const;
    std::string TextUtf8(std::string_view bytes, bool foreign) const;

    RunnerContext ctx_;
    RunnerHost& host_;
    RunnerState state_;
    StepView view_;
    RunStatistics lastStats_;
    // The rows that had answers to give when the run started (after the rows were mixed): their
    // place, their unit and the attempts they had then.
    struct RunRow {
        std::size_t place = 0;
        int unitNumber = 0;
        int attempts = 0;
        int remaining = 0;
    };
    std::vector<RunRow> runRows_;
    int runAnswers_ = 0;  // the right answers the run needed when it started
    // The step as it was before its answer, for UndoAnswer.
    struct AnswerSnapshot {
        RunnerState state;
        StepView view;
        std::vector<std::string> alternatives;
        std::vector<int> examples;
        int shownExample = 0;
        bool noChoiceSentence = false;
        bool playAtOnce = false;
        std::size_t place = 0;  // the row's index in the plan
        int unitNumber = 0;
        int kind = 0;
        PlanEntry cell;
        int unitKind = 0;
    };
    std::optional<AnswerSnapshot> undo_;
    bool closed_ = true;
    bool backgroundsBuilt_ = false;
    bool playAtOnce_ = false;
    bool noChoiceSentence_ = false;
    DistractorPool pool_;
    std::vector<std::string> alternatives_;
    std::vector<int> examples_;
    int shownExample_ = 0;
};

}  // namespace dyd
