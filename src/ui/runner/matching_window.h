#pragma once

// TForm17, the matching interlude: ten learnt foreign words on the left, their meanings shuffled
// on the right; the learner moves each meaning into the row of its word by clicking a word and a
// meaning (or two meanings), and checks. A solved board plays each word's recording on a click.

#include <QPixmap>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/clock.h"
#include "runner/matching.h"
#include "ui/widgets/keyed_dialog.h"

class QLabel;

namespace dyd::ui {

struct AppContext;
class ImageButton;

inline constexpr int kMatchingFlashMs = 1500;

class MatchingWindow final : public KeyedDialog {
    Q_OBJECT
  public:
    explicit MatchingWindow(AppContext& context, QWidget* parent = nullptr);

    // The draws of the choice, the shuffle and the background; a clock-seeded generator of the
    // window's own until set. The caller keeps it alive.
    void SetRandom(Random* random) { random_ = random; }

    // Chooses ten pairs from the learner's learnt words and, when they could be chosen, shows
    // the round modally until the learner closes it. True when the window was shown.
    bool OfferMatching();

    // Chooses the pairs and lays out the round without showing the window; false (and the
    // window unchanged) when no round can be offered.
    bool Prepare();
    // Lays out a round that is already chosen and shuffled.
    void Start(const MatchingRound& round);

    const MatchingBoard* board() const { return board_ ? &*board_ : nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ClickLeft(int row);
    void ClickRight(int row);
    void Check();
    void Flash(int row);
    void EndFlash();
    // Captions, bold and underline (the selection) and ink of every row.
    void ShowBoard();
    void SetInk(int row, const QColor& ink);
    void PlaySound(const std::string& path);
    Random& random();

    AppContext& context_;
    Random* random_ = nullptr;
    std::unique_ptr<Random> ownRandom_;
    QPixmap background_;
    std::optional<MatchingBoard> board_;
    std::array<QLabel*, kMatchingPairs> left_{};
    std::array<QLabel*, kMatchingPairs> right_{};
    QLabel* instruction_;
    QLabel* score_;
    ImageButton* checkButton_;
    ImageButton* closeButton_;
    QTimer* flashTimer_;
    int flashRow_ = -1;
};

}  // namespace dyd::ui
