#pragma once

// TWyborZdanForm, the exercise-set chooser. In its sets view it lists the thematic groups that
// hold exercise sets (left) and the sets of the chosen group (right, with their level and
// whether they were done); a set is loaded into the CurrentSet and practised in the plan window,
// and the learner's own sets can be deleted. In its results view it shows, per group, the share
// of units learnt or mastered, with the totals by level, part of speech and unit type. The main
// menu opens it without blocking; a caller that only wants a set loaded opens it modally
// (ChooseSet).

#include <QPixmap>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/set_chooser.h"
#include "ui/widgets/keyed_dialog.h"

class QFrame;
class QLabel;
class QListView;

namespace dyd::ui {

struct AppContext;
class ChooserListModel;
class ConfirmationDialog;
class ImageButton;
class MessageBox;
class PlanWindow;
class StatisticsPanel;

class SetChooserWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    enum class Mode { Sets, Results };

    SetChooserWindow(AppContext& context, PlanWindow* planWindow, QWidget* parent = nullptr);
    ~SetChooserWindow() override;

    void SetDialogs(MessageBox* messages, ConfirmationDialog* confirmation) {
        messages_ = messages;
        confirmation_ = confirmation;
    }
    // Whether a prepared set gains its example sentences (the in-memory choice of the learning
    // window); none: it does not.
    void SetExampleSentencesFlag(std::function<bool()> flag) { exampleSentences_ = std::move(flag); }
    // Called after a set was deleted: the catalogue changed.
    void SetCatalogueChanged(std::function<void()> changed) { catalogueChanged_ = std::move(changed); }

    // Shows the window in the given mode, without blocking the main menu.
    void ShowChooser(Mode mode);

    // Shows the window modally in the sets view for a caller that only wants a set: the chosen
    // set is loaded into the CurrentSet and prepared, and its unit numbers are returned; nothing
    // when the learner closed the window without loading a set.
    std::optional<std::vector<std::int32_t>> ChooseSetModally();
    // The same on a window of its own, for callers without the program's chooser.
    static std::optional<std::vector<std::int32_t>> ChooseSet(AppContext& context,
                                                              QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    ResultsView resultsView() const { return view_; }
    int selectedSection() const { return selectedSection_; }
    int selectedSet() const { return selectedSet_; }
    // The first row each list shows.
    int sectionTop() const { return sectionTop_; }
    int setTop() const { return setTop_; }
    // Whether the keys move in the set list (else in the section list).
    bool setListFocused() const { return setListFocused_; }
    const Results& results() const { return results_; }

  protected:
    bool HandleKey(int key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Prepare();
    void LoadPictures();
    void BuildSections();
    void SelectSection(int row);
    void BuildSetList();
    void SelectSet(int row);
    void ClearSetSelection();
    void ScrollSections(int top);
    void ScrollSets(int top);
    void MoveSelection(int step);
    void FocusList(bool setList);
    void LoadSelected();
    void DeleteSelected();
    void ShowResults(ResultsView view);
    void RefreshAfterReturn();
    void ShowMessage(const QString& text);

    AppContext& context_;
    PlanWindow* planWindow_;
    MessageBox* messages_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    std::function<bool()> exampleSentences_;
    std::function<void()> catalogueChanged_;

    Mode mode_ = Mode::Sets;
    ResultsView view_ = ResultsView::Learnt;
    bool forCaller_ = false;  // opened modally by ChooseSetModally
    std::optional<std::vector<std::int32_t>> chosen_;
    bool refreshing_ = false;

    std::vector<ChooserSection> sections_;
    std::vector<ChooserSet> sets_;
    Results results_;
    int selectedSection_ = -1;
    int selectedSet_ = -1;
    std::string selectedSetId_;  // the id of the chosen set, which follows it when its row moves
    int sectionTop_ = 0;
    int setTop_ = 0;
    bool setListFocused_ = false;

    QPixmap setsBackground_;
    QPixmap resultsBackground_;
    std::array<QPixmap, 4> levelPictures_;
    QPixmap donePicture_;
    QPixmap notDonePicture_;
    bool picturesLoaded_ = false;

    QListView* sectionList_;
    QListView* setList_;
    ChooserListModel* sectionModel_;
    ChooserListModel* setModel_;
    QFrame* focusFrame_;
    QLabel* info_;
    ImageButton* sectionUp_;
    ImageButton* sectionDown_;
    ImageButton* setUp_;
    ImageButton* setDown_;
    ImageButton* okButton_;
    ImageButton* deleteButton_;
    ImageButton* learntButton_;
    ImageButton* masteredButton_;
    QFrame* toggleFrame_;
    StatisticsPanel* statistics_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
