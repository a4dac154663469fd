#pragma once

// TForm21, the repetition overview opened from the learning window: how many learnt units fall
// due on each coming day, as a chart of the next 30 days over the list of every day, and since
// when the learner has been learning. It only reads the repetition records.

#include <QPixmap>

#include "ui/widgets/keyed_dialog.h"

class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ForecastChart;
class ImageButton;

class RepetitionOverviewWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit RepetitionOverviewWindow(AppContext& context, QWidget* parent = nullptr);

    // Fills the list from the records as of today and shows the window modally; the caller
    // recounts the due units afterwards.
    void ShowOverview();
    // Fills the list and the label without showing the window.
    void Fill();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    AppContext& context_;
    QPixmap background_;
    ForecastChart* chart_;
    QListWidget* list_;
    QLabel* startLabel_;
    QLabel* countLabel_;
    QLabel* countLabel2_;
    ImageButton* okButton_;
};

}  // namespace dyd::ui
