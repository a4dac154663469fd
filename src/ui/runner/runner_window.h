#pragma once

// TForm4, the exercise runner: the full-screen window in which the learner works through one
// exercise kind of the session plan. It is a view over the runner model (runner/runner.h): every
// click and key calls one operation of the model, and the window then shows the model's view of
// the step. The windows of other parts (kind marks, example sentences, comment, statistics, the
// answer popup) join through RunnerWindowHooks; a hook that is not set does nothing. The
// learner's own voice is recorded while the left mouse button is held on K_nagraj (with the
// recorder given by SetRecorder) and compared on k_play_nagrane.

#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/clock.h"
#include "core/codepage.h"
#include "runner/interludes.h"
#include "runner/runner.h"
#include "sound/hold_to_record.h"

namespace dyd::ui {

struct AppContext;
class ConfirmationDialog;
class GapBox;
class ImageButton;
class LetterMarksView;
class MarkupView;
class MessageBox;
class RecordButton;
class RecordLimitTimer;
class SentenceBox;

// A label that answers a click and turns blue while the mouse is over it (the choices, the menu
// items and the pane's text commands).
class HoverLabel final : public QLabel {
    Q_OBJECT
  public:
    HoverLabel(const QString& name, const QString& text, QWidget* parent);
    void SetInk(const QColor& ink);
    // Whether the text turns blue under the mouse (on by default).
    void SetHoverInk(bool on);
    // The ink under the mouse (blue unless set otherwise, e.g. where blue would not read).
    void SetHoverColour(const QColor& colour);
    bool hovered() const { return hovered_; }

  signals:
    void clicked();

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Repaint();
    QColor ink_;
    QColor hoverColour_{0, 0, 255};
    bool hovered_ = false;
    bool hoverInk_ = true;
};

// The windows of other parts that the runner opens.
struct RunnerWindowHooks {
    // Kind marks of a word (TForm30), modal, on the unit number.
    std::function<void(int unitNumber)> kindMarks;
    // Example sentences (TInformacjaForm), modal: the marked-up list text and the search text
    // (bytes of the database's code page).
    std::function<void(const std::string& text, const std::string& searchText)> examples;
    // The comment dialog (TForm27), modal: the comment as shown (UTF-8, "=" for "#") and the
    // input limit; the edited text (UTF-8), or nothing when cancelled.
    std::function<std::optional<std::string>(const QString& shown, int maxLength)> editComment;
    // Statistics (TForm25), modal; true when the learner goes back to the exercise.
    std::function<bool(const RunStatistics& statistics)> statistics;
    // The answer popup (TForm6), not modal: the learner's answer.
    std::function<void(const QString& answer)> answerPopup;
    // When a run closes: the plan window's list and the set chooser refresh.
    std::function<void()> refreshPlanList;
    std::function<void()> refreshSetChooser;
    // Interludes; none shows while this is not set.
    InterludeShows* interludes = nullptr;
};

class RunnerWindow final : public QDialog, private RunnerHost, private HoldToRecordHost {
    Q_OBJECT
  public:
    explicit RunnerWindow(AppContext& context, QWidget* parent = nullptr);
    ~RunnerWindow() override;

    void SetDialogs(MessageBox* messages, ConfirmationDialog* confirmation);
    void SetHooks(RunnerWindowHooks hooks) { hooks_ = std::move(hooks); }
    // The draws of the runner (choices, row mixing, backgrounds); a clock-seeded one by default.
    // Set it before the first run (a new runner model is made).
    void SetRandom(Random& random);
    // The interlude scheduler lives as long as the program; the window's own one by default.
    // Set it before the first run.
    void SetInterludeScheduler(InterludeScheduler& scheduler);
    // The microphone for K_nagraj; it records into the program folder's "tmp1.wav". Without
    // one the button does nothing.
    void SetRecorder(Recorder& recorder);

    // Starts a run of the kind (the plan's currentKind := kind) and shows its first step without
    // waiting; false when nothing of the kind is pending (the run has closed again).
    bool Open(int kind);
    // Open, then modal until the run has closed.
    void RunKind(int kind);

    // The model of the runs (state, view, counters).
    Runner& runner();
    const Runner& runner() const;

  public slots:
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    class NoInterludes;

    // RunnerHost (PlaySound serves the recording too)
    void PlaySound(const std::string& path, bool wait) override;
    void Message(std::string_view text) override;
    bool Confirm(std::string_view text) override;
    std::optional<std::string> EditComment(std::string_view shown, int maxLength) override;
    void ShowKindMarks(int unitNumber) override;
    void OpenExamples(const std::string& text, const std::string& searchText) override;
    bool ShowStatistics(const RunStatistics& stats) override;
    InterludeShows& interludes() override;
    void RefreshPlanList() override;
    void RefreshSetChooser() override;

    // HoldToRecordHost
    void ShowRecordPicture(RecordPicture picture) override;
    void ShowCompareButton(bool visible) override;
    void EnableRecordButton(bool enabled) override;
    void ShowMessage(std::string_view text) override;
    void Pause(int ms) override;
    void CloseMediaPlayer() override;
    std::optional<long long> SoundLengthMs(const std::string& fileName) override;
    std::string UnitRecording() override;

    void BuildRecordControls();
    void BuildControls();
    void MakeRunner();
    HoverLabel* AddChoice(int n);
    HoverLabel* AddMenuItem(const char* name, int row);
    ImageButton* AddButton(const char* name, int image, const QString& text, QPoint topLeft,
                           QSize fallback);
    HoverLabel* AddCommand(const char* name, const QString& text, const QRect& area);

    // Runs one model operation and shows the result (ending the window when the run closed).
    void Act(const std::function<void(Runner&)>& operation);
    void Render();
    void RenderPrompt(const StepView& view);
    // The height free below a top in the exercise column, down to the next control shown.
    int RoomBelow(int top) const;
    void RenderChoices(const StepView& view);
    void RenderPane(const StepView& view);
    void RenderMenu(const StepView& view);
    void ShowBackground(const StepView& view);
    // The key table, then the national characters of the answer fields; true when the key was
    // used up.
    bool HandleKey(QKeyEvent* event, QLineEdit* field);
    bool TypeNational(QLineEdit* field, QKeyEvent* event);
    void OkClicked();
    void CloseRequested();
    void ShowMenu(bool show);
    void PassCorrectionFields();
    void Minimise();

    AppContext& context_;
    RunnerWindowHooks hooks_;
    MessageBox* messages_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    std::unique_ptr<SeededRandom> ownRandom_;
    Random* random_ = nullptr;
    InterludeScheduler ownScheduler_;
    InterludeScheduler* scheduler_ = &ownScheduler_;
    std::unique_ptr<InterludeShows> noInterludes_;
    std::unique_ptr<TextMeasure> measure_;
    std::unique_ptr<Runner> runner_;
    bool running_ = false;
    int shownSerial_ = -1;
    int shownBackgroundSerial_ = -1;
    int shownPaneSerial_ = -1;
    std::string shownPaneBytes_;
    QPixmap background_;
    QPixmap strip_;
    bool stripVisible_ = true;

    QLabel* image1_;
    QLabel* image2_;
    QLabel* slowko_;
    SentenceBox* sentenceBox_;
    GapBox* gapBox_;
    HoverLabel* polecenie_;
    QLabel* poprawna_;
    QLabel* poprawna2_;
    LetterMarksView* comparison_;
    QLabel* rightMark_;
    std::array<HoverLabel*, 4> choices_{};
    std::array<HoverLabel*, 4> markers_{};
    QLineEdit* answer_;
    std::array<QLineEdit*, 3> gapFields_{};
    ImageButton* ok_;
    ImageButton* check_;
    ImageButton* knew_;
    ImageButton* didNotKnow_;
    HoverLabel* accept_;
    ImageButton* play_;
    RecordButton* record_;
    // K_nag_a, K_nag_b, k_nag_c: the record button's pictures (idle, recording, hover), hidden.
    std::array<QLabel*, 3> recordPictures_{};
    RecordLimitTimer* recordTimer_;
    std::unique_ptr<HoldToRecordControl> recording_;
    HoverLabel* playRecorded_;
    HoverLabel* menuButton_;
    QFrame* menuPanel_;
    HoverLabel* trash_;
    HoverLabel* comment_;
    HoverLabel* forget_;
    HoverLabel* kinds_;
    HoverLabel* switchQa_;
    HoverLabel* known_;
    HoverLabel* sentences_;
    QLabel* paneBack_;
    MarkupView* pane_;
    ImageButton* paneUp_;
    ImageButton* paneDown_;
    HoverLabel* exampleTranslation_;
    ImageButton* playExample_;
    HoverLabel* nextExample_;
    HoverLabel* sentenceTranslation_;
    std::array<QLabel*, 3> stats_{};
    // The captions over the counters and the position of the run ("3 / 8").
    std::array<QLabel*, 4> statCaptions_{};
    QLabel* position_;
    HoverLabel* undo_;
    QLabel* repetitionBanner_;
    QLabel* repetitions_;
    QLabel* unitId_;
    QLabel* group_;
    QFrame* correctionPanel_;
    std::array<QCheckBox*, 4> correctionBoxes_{};
    QLineEdit* correctionNote_;
    QLineEdit* correctionHint_;
    QLabel* correctionSynonyms_;
    ImageButton* close_;
    ImageButton* minimise_;
};

}  // namespace dyd::ui
