#pragma once

// TForm11, the learning window ("Nauka"): the repetitions due today at the top, and below them
// the draw of a batch of new units by learning mode, thematic group and filter, which becomes
// the CurrentSet and the session plan that the plan window runs. The lower area is either
// choosing (group list and draw buttons) or drawn (start and redraw buttons).

#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "session/new_material.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MessageBox;
class PlanWindow;

class LearningWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    // planWindow runs the plans built here; showOverview opens the repetition overview (modal).
    LearningWindow(AppContext& context, PlanWindow* planWindow, std::function<void()> showOverview,
                   QWidget* parent = nullptr);
    ~LearningWindow() override;

    void SetMessageBox(MessageBox* messages) { messages_ = messages; }
    // The draws use this generator (a clock-seeded one by default).
    void SetRandom(Random* random) { random_ = random; }

    // Whether the lower area shows the drawn batch (start and redraw) or the choice.
    bool drawn() const { return drawn_; }
    // The in-memory flag of the example sentences (set by a draw in mode 2, cleared in mode 0).
    bool attachExampleSentences() const { return attachExampleSentences_; }
    // The step id set by the draw (1); the plan window keeps its own once a kind starts.
    int stepId() const { return stepId_; }

  public slots:
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildRepetitionPanel();
    void BuildNewMaterialArea();
    void BuildOptionsPanel();

    void RefreshRepetitionPanel();
    void StartRepetitions();
    void FillGroups();
    void GroupChanged();
    void RefreshStatistics();
    void ApplyGroup();
    void EnterChoosing();
    void EnterDrawn();
    void Draw(bool sentencesOnly);
    void StartLearning();
    void BackFromPlan();
    void Redraw();
    void OpenOptions();
    void UpdateFilterRow();
    void RecountFilter();
    void ConfirmOptions();
    void FilterOff();
    void SetStatus(const std::string& utf8);
    void ShowMessage(const QString& text);
    int SelectedGroupId() const;

    AppContext& context_;
    PlanWindow* planWindow_;
    std::function<void()> showOverview_;
    MessageBox* messages_ = nullptr;
    std::unique_ptr<Random> ownRandom_;
    Random* random_;
    QPixmap background_;

    std::vector<int> groupIds_;  // group id of each position of the group list
    NewMaterialCounts counts_;
    RepetitionPanel panel_;
    bool attachExampleSentences_ = false;
    bool drawn_ = false;
    int returnMode_ = 0;  // the mode to return to when the filter is switched off
    int stepId_ = 0;
    bool filling_ = false;
    std::string planInfo_;  // the information text of the plan last built here

    // Repetition panel.
    QFrame* repetitionPanel_;
    QLabel* dateTitle_;
    QLabel* dueCount_;
    // The units due today as a large figure beside the text, and its caption.
    QLabel* dueBadge_;
    QLabel* dueBadgeCaption_;
    ImageButton* repeatButton_;
    QLabel* amountLabel_;
    QComboBox* amountBox_;
    ImageButton* overviewButton_;

    // New material.
    QComboBox* groupBox_;
    QLabel* groupLabel_;
    QLabel* statistics_;
    QLabel* status_;
    ImageButton* drawButton_;
    ImageButton* sentenceDrawButton_;
    ImageButton* redrawButton_;
    ImageButton* learnButton_;
    ImageButton* optionsButton_;
    ImageButton* filterOffButton_;
    ImageButton* closeButton_;

    // Options.
    QFrame* optionsPanel_;
    QComboBox* batchBox_;
    QComboBox* modeBox_;
    QLabel* filterHeading_;
    QComboBox* levelBox_;
    QComboBox* wordClassBox_;
    QComboBox* unitTypeBox_;
    QLabel* filterCount_;
    ImageButton* confirmButton_;
    ImageButton* closeOptionsButton_;
};

}  // namespace dyd::ui
