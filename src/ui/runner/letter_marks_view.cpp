#include "ui/runner/letter_marks_view.h"

#include <QPainter>
#include <algorithm>

#include "ui/runner/sentence_box.h"

namespace dyd::ui {
namespace {

constexpr int kCaptionHeight = 16;
constexpr int kFullPixelSize = 20;
constexpr int kMinPixelSize = 11;
constexpr QColor kInk(25, 35, 50);
constexpr QColor kCaptionInk(70, 80, 95);

// A space that is wrong, extra or missing would not show: it is drawn as an open box.
QString Shown(const MarkedLetter& letter) {
    if (letter.mark != LetterMark::Same && letter.text == " ") {
        return QStringLiteral("\u2423");
    }
    return QString::fromUtf8(letter.text.data(), static_cast<qsizetype>(letter.text.size()));
}

}  // namespace

LetterMarksView::LetterMarksView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("L_Porownanie"));
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    const QString legend = QStringLiteral(
        "Twoja odpowiedź litera po literze: podkreślona – zła litera, przekreślona – zbędna, "
        "w ramce – brakująca.");
    setToolTip(legend);
    setAccessibleName(QStringLiteral("Twoja odpowiedź porównana z poprawną"));
    setAccessibleDescription(legend);
}

QFont LetterMarksView::LetterFont(int pixelSize) const {
    QFont font = CourseFont();
    font.setPixelSize(pixelSize);
    return font;
}

int LetterMarksView::RowWidth(const QFont& font) const {
    const QFontMetrics metrics(font);
    int width = 0;
    for (const MarkedLetter& letter : comparison_.letters) {
        width +=
            metrics.horizontalAdvance(Shown(letter)) + (letter.mark == LetterMark::Same ? 0 : 2);
    }
    return width;
}

void LetterMarksView::Fit() {
    int size = kFullPixelSize;
    while (size > kMinPixelSize && RowWidth(LetterFont(size)) > width() - 4) {
        --size;
    }
    letterPixelSize_ = size;
}

void LetterMarksView::SetComparison(const LetterComparison& comparison) {
    if (comparison == comparison_) {
        return;
    }
    comparison_ = comparison;
    Fit();
    update();
}

void LetterMarksView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Fit();
}

void LetterMarksView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont caption = font();
    caption.setPixelSize(12);
    painter.setFont(caption);
    painter.setPen(kCaptionInk);
    painter.drawText(QRect(0, 0, width(), kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Twoja odpowiedź:"));

    const QFont font = LetterFont(letterPixelSize_);
    const QFontMetrics metrics(font);
    painter.setFont(font);
    const int rowTop = kCaptionHeight + 2;
    const int baseline = rowTop + metrics.ascent() + 1;
    const int line = std::max(2, letterPixelSize_ / 9);
    int x = 2;
    for (const MarkedLetter& letter : comparison_.letters) {
        const QString text = Shown(letter);
        const int advance = metrics.horizontalAdvance(text);
        const bool marked = letter.mark != LetterMark::Same;
        const int left = x + (marked ? 1 : 0);
        switch (letter.mark) {
            case LetterMark::Same:
                painter.setPen(kInk);
                painter.drawText(left, baseline, text);
                break;
            case LetterMark::Wrong:
                painter.setPen(kWrongInk);
                painter.drawText(left, baseline, text);
                painter.fillRect(QRect(left, baseline + 2, advance, line), kWrongInk);
                break;
            case LetterMark::Extra:
                painter.setPen(kExtraInk);
                painter.drawText(left, baseline, text);
                painter.fillRect(
                    QRect(left - 1, baseline - metrics.xHeight() / 2 - line / 2, advance + 2, line),
                    kExtraInk);
                break;
            case LetterMark::Missing: {
                painter.setPen(kMissingInk);
                painter.drawText(left, baseline, text);
                QPen dashed(kMissingInk, 1.2, Qt::DashLine);
                painter.setPen(dashed);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(left - 0.5, baseline - metrics.ascent() + 1.5, advance + 1,
                                        metrics.ascent() + metrics.descent() - 1));
                break;
            }
        }
        x += advance + (marked ? 2 : 0);
    }
}

}  // namespace dyd::ui
