#pragma once

// TForm8, the plan window ("Rodzaje ćwiczeń"): the exercise kinds of the session plan with the
// rows each still needs. The learner starts one kind at a time in the runner; the list is
// recomputed whenever the runner returns. Closing the window ends the session: the scheduling
// update, the summary when the settings ask for it, and the save of the repetition records -
// unless "Nie wyznaczaj powtórek" was ticked in a learning session.

#include <QPixmap>
#include <QString>
#include <functional>
#include <string>

#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;
class MessageBox;
class ProgressWindow;

class PlanWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit PlanWindow(AppContext& context, QWidget* parent = nullptr);

    // The windows it opens, set once they exist: each runs modally and returns when closed. The
    // runner works on the plan's currentKind.
    void SetRunner(std::function<void()> runner) { runner_ = std::move(runner); }
    void SetPresentation(std::function<void()> presentation) {
        presentation_ = std::move(presentation);
    }
    void SetSummary(std::function<void()> summary) { summary_ = std::move(summary); }
    void SetProgressWindow(ProgressWindow* progress) { progress_ = progress; }
    void SetMessageBox(MessageBox* messages) { messages_ = messages; }

    // Shows the window modally for the session plan just built; info is the information text
    // BuildPlan returned (UTF-8, lines broken by LF CR).
    int Open(const std::string& info);
    // Shows it again for the same plan (the information text stays).
    int Resume();

    // The step id of what was started last: the kind, or 50 for the presentation.
    int stepId() const { return stepId_; }
    // Whether the last close ran the scheduling update (false after "Nie wyznaczaj powtórek").
    bool lastCloseScheduled() const { return lastCloseScheduled_; }

  public slots:
    void done(int result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void RefreshList();
    void StartSelected();
    void StartPresentation();
    void UpdateStartButton();
    void UpdateAllDone();
    void EnterPressed();
    void EndOfSession();

    AppContext& context_;
    std::function<void()> runner_;
    std::function<void()> presentation_;
    std::function<void()> summary_;
    ProgressWindow* progress_ = nullptr;
    MessageBox* messages_ = nullptr;
    QPixmap background_;
    int stepId_ = 0;
    bool ending_ = false;
    bool lastCloseScheduled_ = false;
    bool allDone_ = false;  // every listed kind is done: Enter closes the window

    QListWidget* list_;
    QLabel* info_;
    QCheckBox* noRepetitions_;
    QLabel* noRepetitionsLabel_;
    QLabel* allDoneLabel_;
    ImageButton* startButton_;
    ImageButton* closeButton_;
    ImageButton* presentationButton_;
};

}  // namespace dyd::ui
