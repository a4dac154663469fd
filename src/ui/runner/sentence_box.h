#pragma once

// The two boxes of the exercise runner that draw a prompt word by word: the sentence box for long
// or marked-up prompts (a marked part in blue) and the gap box of gap filling, which draws the
// sentence without the words of its gaps and places the three gap fields over the holes. The
// layouts are those of runner/text_layout.h, measured with the course font (Arial, size 14); the
// texts are UTF-8 (the runner converts them from the code page of the database).

#include <QFont>
#include <QFontMetrics>
#include <QWidget>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "runner/text_layout.h"

class QLineEdit;

namespace dyd::ui {

inline constexpr int kPromptFontSize = 14;
inline constexpr int kSmallestPromptFontSize = 9;
inline constexpr int kGapBoxHeight = 120;

// The course font of the boxes and the answer fields.
QFont CourseFont(int pointSize = kPromptFontSize);

// Measures UTF-8 text with Qt's font metrics.
class FontMeasure final : public TextMeasure {
  public:
    explicit FontMeasure(const QFont& font) : metrics_(font) {}
    int Width(std::string_view utf8) const override;
    int LineHeight() const override;

  private:
    QFontMetrics metrics_;
};

// dxramka: 532 x 69, transparent; repaints the same tokens whenever the window repaints, each
// line centred in the box.
class SentenceBox final : public QWidget {
    Q_OBJECT
  public:
    explicit SentenceBox(QWidget* parent = nullptr);

    // Lays the text out in the course font, or in a smaller one when its lines would be higher
    // than maxHeight; returns the line count of the measuring pass.
    int SetText(std::string_view utf8, bool highlight, int maxHeight = 1 << 20);
    void Clear();

    int lines() const { return layout_.lines; }
    // The height the lines take (the box grows to it when it is more than 69).
    int drawnHeight() const { return layout_.lines * lineHeight_; }
    const SentenceLayout& layout() const { return layout_; }
    // The words as drawn, joined (for tests and the answer popup).
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QFont font_;
    SentenceLayout layout_;
    int lineHeight_ = 0;
};

// DXRamka2: the sentence of a gap step with its gaps left open; the gap fields (children of the
// same window) are placed over the gaps.
class GapBox final : public QWidget {
    Q_OBJECT
  public:
    explicit GapBox(QWidget* parent = nullptr);

    void AttachFields(QLineEdit* first, QLineEdit* second, QLineEdit* third);
    // Lays out the gap text, hides and empties the fields, then places and shows those whose gap
    // text is not empty. Returns the gap texts.
    std::array<std::string, 3> SetText(std::string_view utf8);
    void Clear();

    const GapLayout& layout() const { return layout_; }
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QFont font_;
    GapLayout layout_;
    std::array<QLineEdit*, 3> fields_{};
};

}  // namespace dyd::ui
