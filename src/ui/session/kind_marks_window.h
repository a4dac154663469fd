#pragma once

// TForm30, the exercise kinds marked for one unit: the learner ticks the kinds the unit should
// get in repetition sessions. Opened by the runner for words.

#include <QPixmap>
#include <vector>

#include "session/kind_marks.h"
#include "ui/widgets/keyed_dialog.h"

class QLabel;
class QListWidget;

namespace dyd::ui {

struct AppContext;
class ImageButton;

inline constexpr const char* kKindMarksExplanation =
    "Oznaczone rodzaje ćwiczeń pojawią się podczas powtórek (zobacz: Ustawienia - Powtórki - "
    "Ćwiczenia...).";

class KindMarksWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit KindMarksWindow(AppContext& context, QWidget* parent = nullptr);

    // Lists the kinds of the unit (unit number) ticked by its marks and shows the window
    // modally; OK stores the ticks into the unit's chosenKinds, closing otherwise stores
    // nothing. The caller saves them with the repetition records.
    void ShowFor(int unitNumber);
    // Fills the list for the unit without showing the window.
    void Fill(int unitNumber);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Store();

    AppContext& context_;
    QPixmap background_;
    int unitNumber_ = 0;
    std::vector<KindMarkItem> items_;
    QListWidget* list_;
    QLabel* explanation_;
    ImageButton* okButton_;
    ImageButton* closeButton_;
};

}  // namespace dyd::ui
