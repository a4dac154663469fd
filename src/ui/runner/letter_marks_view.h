#pragma once

// The learner's wrong typed answer, letter by letter, under the expected one: a wrong letter is
// underlined, an extra one struck through and a missing one put in a dashed box, each in a
// colour of its own, so that the marks read with and without colour.

#include <QColor>
#include <QWidget>

#include "runner/letter_compare.h"

namespace dyd::ui {

class LetterMarksView final : public QWidget {
    Q_OBJECT
  public:
    explicit LetterMarksView(QWidget* parent = nullptr);

    void SetComparison(const LetterComparison& comparison);
    const LetterComparison& comparison() const { return comparison_; }
    // The pixel size the letters are drawn at (smaller for a long answer, down to a floor).
    int letterPixelSize() const { return letterPixelSize_; }

    static constexpr QColor kWrongInk{176, 72, 0};
    static constexpr QColor kExtraInk{200, 0, 0};
    static constexpr QColor kMissingInk{0, 90, 190};

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QFont LetterFont(int pixelSize) const;
    int RowWidth(const QFont& font) const;
    void Fit();

    LetterComparison comparison_;
    int letterPixelSize_ = 20;
};

}  // namespace dyd::ui
