#pragma once

// TForm25, the score of the exercise just ended: right and wrong answers, the success percentage
// and the finished rows of the planned ones; while rows are left the learner may go back to the
// exercise.

#include <QDialog>
#include <QPixmap>
#include <vector>

#include "session/statistics_figures.h"

class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;

class StatisticsWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit StatisticsWindow(AppContext& context, QWidget* parent = nullptr);

    // Shows the score modally; true when the learner chose to go back to the exercise.
    bool ShowScore(const ExerciseScore& score);
    bool goBack() const { return goBack_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Fill(const ExerciseScore& score);

    AppContext& context_;
    QPixmap background_;
    bool goBack_ = false;
    QLabel* heading_;
    QLabel* right_;
    QLabel* wrong_;
    QLabel* percentage_;
    QLabel* progress_;
    std::vector<QLabel*> captions_;
    ImageButton* backButton_;
    ImageButton* okButton_;
};

}  // namespace dyd::ui
