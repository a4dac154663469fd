#pragma once

// TForm12, the settings screen: three pages chosen by the labels over its picture (exercises,
// repetitions, other), a red frame round the chosen one. Its controls show the learner's
// settings when it opens and give them back on B_Ok, which also writes the settings file; the
// repetition rule of a kind changes at once. From it the learner restores a copy of his
// repetitions, deletes them all, imports earlier ones and edits the database parameters.

#include <QPixmap>
#include <functional>
#include <vector>

#include "core/settings.h"
#include "session/settings_screen.h"
#include "ui/widgets/keyed_dialog.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QWidget;

namespace dyd::ui {

struct AppContext;
class ConfirmationDialog;
class DatabaseParametersWindow;
class ImageButton;
class MessageBox;

enum class SettingsPage { Exercises = 0, Repetitions = 1, Other = 2 };

class SettingsWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit SettingsWindow(AppContext& context, QWidget* parent = nullptr);

    void SetDialogs(MessageBox* messages, ConfirmationDialog* confirmation);
    void SetParametersWindow(DatabaseParametersWindow* parameters) { parameters_ = parameters; }
    // K_import: the import of earlier repetitions (modal).
    void SetImportAction(std::function<void()> action) { import_ = std::move(action); }

    // Fills the controls from the settings and shows the screen modally.
    void ShowSettingsScreen();
    // The showing without the window: the controls from the settings, the last page kept.
    void Fill();

    void ChoosePage(SettingsPage page);
    SettingsPage page() const { return page_; }
    // What the controls hold now.
    SettingsScreenValues Values() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildExercisesPage();
    void BuildRepetitionsPage();
    void BuildOtherPage();
    void FillKinds();
    void KindChecked(QListWidgetItem* item);
    void FillRules();
    void ShowRule(int row);
    void RuleChosen(int position);
    void FillCopies();
    void Confirm();
    void RestoreCopy();
    void DeleteAll();
    void EditParameters();
    void UpdateSentenceOffer();
    void ShowMessage(const QString& text);
    bool Ask(const QString& question);

    AppContext& context_;
    MessageBox* messages_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    DatabaseParametersWindow* parameters_ = nullptr;
    std::function<void()> import_;
    QPixmap background_;
    SettingsPage page_ = SettingsPage::Exercises;
    SettingsScreenValues shown_;      // the values as the screen showed them
    LearningKindTables workingKinds_{};  // the working copy of learningKinds
    int workingTable_ = 1;            // the table LB_Cw_dostepne shows
    int ruleKind_ = 0;                // the kind clicked in CB_Typ
    bool filling_ = false;

    QLabel* pageLabels_[3];
    QFrame* shape_;
    QWidget* panels_[3];
    // Exercises page.
    QComboBox* kindTable_;
    QListWidget* kinds_;
    QListWidget* interludes_;
    QCheckBox* interludesAtEnd_;
    QCheckBox* sentenceOffer_;
    QLabel* sentenceOfferLabel_;
    // Repetitions page.
    QComboBox* wordsKind_;
    QComboBox* sentencesKind_;
    QComboBox* frequency_;
    QListWidget* rules_;
    QComboBox* rule_;
    QLabel* ruleLabel_;
    QComboBox* intensity_;
    QCheckBox* intensityOne_;
    ImageButton* importButton_;
    ImageButton* deleteButton_;
    // Other page.
    QLineEdit* mastered_;
    QLineEdit* known_;
    QCheckBox* statistics_;
    QLabel* statisticsLabel_;
    QCheckBox* summary_;
    QLabel* summaryLabel_;
    QListWidget* copies_;
    ImageButton* restoreButton_;
    QLabel* userFolder_;
    ImageButton* parametersButton_;

    ImageButton* okButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
