#include "ui/runner/sentence_box.h"

#include <QLineEdit>
#include <QPainter>
#include <algorithm>
#include <map>

#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

constexpr QColor kHighlight(0, 0, 255);

// Draws the laid-out words; with centred lines each line moves right by half the room it leaves.
void DrawItems(QWidget* box, const std::vector<DrawnText>& items, const QFont& font,
               bool centred = false) {
    QPainter painter(box);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();
    std::map<int, int> lineWidths;
    if (centred) {
        for (const DrawnText& item : items) {
            const QString text = Utf8(item.text).trimmed();
            int& right = lineWidths[item.y];
            right = std::max(right, item.x + metrics.horizontalAdvance(text));
        }
    }
    for (const DrawnText& item : items) {
        const auto line = lineWidths.find(item.y);
        const int shift =
            line == lineWidths.end() ? 0 : std::max(0, (box->width() - line->second) / 2);
        painter.setPen(item.blue ? kHighlight : QColor(Qt::black));
        painter.drawText(QRect(item.x + shift, item.y, box->width() * 2, lineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, Utf8(item.text));
    }
}

QString Joined(const std::vector<DrawnText>& items) {
    QString text;
    for (const DrawnText& item : items) {
        text += Utf8(item.text);
    }
    return text.trimmed();
}

}  // namespace

QFont CourseFont(int pointSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    return font;
}

int FontMeasure::Width(std::string_view utf8) const {
    return metrics_.horizontalAdvance(Utf8(utf8));
}

// The height of a line of text: the font's cell height (ascent and descent), as a text height
// of "Wy" is measured.
int FontMeasure::LineHeight() const {
    return metrics_.height();
}

// ---- SentenceBox --------------------------------------------------------------------------

SentenceBox::SentenceBox(QWidget* parent) : QWidget(parent), font_(CourseFont()) {
    setObjectName(QStringLiteral("dxramka"));
    resize(kSentenceBoxWidth, kSentenceBoxHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

int SentenceBox::SetText(std::string_view utf8, bool highlight, int maxHeight) {
    const std::vector<std::string> tokens = SentenceTokens(utf8);
    // The course font; smaller only when its lines would run into what stands below the box.
    font_ = CourseFont();
    for (;;) {
        const FontMeasure measure(font_);
        layout_ = LayOutSentence(tokens, width(), highlight, measure);
        lineHeight_ = measure.LineHeight();
        if (drawnHeight() <= maxHeight || font_.pointSize() <= kSmallestPromptFontSize) {
            break;
        }
        font_.setPointSize(font_.pointSize() - 1);
    }
    // A sentence of more lines than the box holds is not cut off.
    resize(width(), std::max(kSentenceBoxHeight, drawnHeight() + 4));
    update();
    return layout_.lines;
}

void SentenceBox::Clear() {
    layout_ = SentenceLayout{};
    update();
}

QString SentenceBox::shownText() const {
    return Joined(layout_.items);
}

void SentenceBox::paintEvent(QPaintEvent*) {
    // The prompt stands in the middle of the exercise column, as the word label's does.
    DrawItems(this, layout_.items, font_, true);
}

// ---- GapBox -------------------------------------------------------------------------------

GapBox::GapBox(QWidget* parent) : QWidget(parent), font_(CourseFont()) {
    setObjectName(QStringLiteral("DXRamka2"));
    resize(kSentenceBoxWidth, kGapBoxHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void GapBox::AttachFields(QLineEdit* first, QLineEdit* second, QLineEdit* third) {
    fields_ = {first, second, third};
    for (QLineEdit* field : fields_) {
        field->setFont(font_);
    }
}

std::array<std::string, 3> GapBox::SetText(std::string_view utf8) {
    const FontMeasure measure(font_);
    const int fieldHeight = fields_[0] != nullptr ? fields_[0]->height() : 28;
    for (QLineEdit* field : fields_) {
        if (field != nullptr) {
            field->hide();
            field->clear();
        }
    }
    layout_ = LayOutGapBox(utf8, width(), fieldHeight + 1, measure);
    int bottom = 0;
    for (const DrawnText& item : layout_.items) {
        bottom = std::max(bottom, item.y + fieldHeight + 1);
    }
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (layout_.fieldVisible[i]) {
            bottom = std::max(bottom, layout_.fieldY[i] + fieldHeight + 1);
        }
    }
    resize(width(), std::max(kGapBoxHeight, bottom));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLineEdit* field = fields_[i];
        if (field == nullptr) {
            continue;
        }
        field->setGeometry(x() + layout_.fieldX[i], y() + layout_.fieldY[i], kGapFieldWidth,
                           fieldHeight);
        field->setVisible(layout_.fieldVisible[i]);
        field->raise();
    }
    update();
    return layout_.gaps;
}

void GapBox::Clear() {
    layout_ = GapLayout{};
    update();
}

QString GapBox::shownText() const {
    return Joined(layout_.items);
}

void GapBox::paintEvent(QPaintEvent*) {
    DrawItems(this, layout_.items, font_);
}

}  // namespace dyd::ui
