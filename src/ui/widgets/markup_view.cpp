#include "ui/widgets/markup_view.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

#include "ui/widgets/ui_text.h"

namespace dyd::ui {
namespace {

bool StartsWithUpper(const std::string& token, std::string_view prefix) {
    if (token.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = token[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

QRect IconRect(const MarkupHotspot& hotspot) {
    const bool sound = StartsWithUpper(hotspot.token, "#S=");
    return sound ? QRect(hotspot.x, hotspot.y, kSoundIconWidth, kSoundIconHeight)
                 : QRect(hotspot.x, hotspot.y, kTranslationIconWidth, kTranslationIconHeight);
}

void DrawSoundIcon(QPainter& painter, QPoint at) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(at);
    const QColor ink(0x1f, 0x4e, 0x8c);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    QPainterPath speaker;
    speaker.moveTo(1, 7);
    speaker.lineTo(5, 7);
    speaker.lineTo(10, 2);
    speaker.lineTo(10, 18);
    speaker.lineTo(5, 13);
    speaker.lineTo(1, 13);
    speaker.closeSubpath();
    painter.drawPath(speaker);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1.4));
    painter.drawArc(QRectF(8, 6.5, 5, 7), -60 * 16, 120 * 16);
    painter.drawArc(QRectF(8, 3.5, 8, 13), -60 * 16, 120 * 16);
    painter.restore();
}

void DrawTranslationIcon(QPainter& painter, QPoint at) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(at);
    painter.setPen(QPen(QColor(0x8c, 0x1f, 0x2a), 1));
    painter.setBrush(QColor(0xfb, 0xf1, 0xe6));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kTranslationIconWidth - 1, kTranslationIconHeight - 1),
                            3, 3);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, kTranslationIconWidth, kTranslationIconHeight), Qt::AlignCenter,
                     QStringLiteral("PL"));
    painter.restore();
}

}  // namespace

MarkupLayout LayOutMarkup(const std::vector<std::string>& tokens, MarkupStyle style, QSize box,
                          int offset, CodePage databasePage, const MarkupMeasure& measure) {
    const int lineHeight = RulesOf(style).lineHeight;
    const bool example = style == MarkupStyle::Example;
    MarkupLayout layout;
    int x = 1;
    int y = 1 - offset * lineHeight;
    bool bold = false;
    bool italic = false;
    CodePage page = example ? databasePage : CodePage::Cp1250;
    const auto newLine = [&] {
        y += lineHeight;
        x = 1;
    };
    for (const std::string& token : tokens) {
        if (token == "<br>" || token == "@") {
            newLine();
        } else if (token == "<b>") {
            bold = true;
        } else if (token == "</b>") {
            bold = false;
        } else if (token == "<i>" || (example && token == "^")) {
            italic = true;
        } else if (token == "</i>") {
            italic = false;
        } else if (!example && token == "<charset>") {
            page = databasePage;
        } else if (!example && token == "<polski>") {
            page = CodePage::Cp1250;
        } else if (example && (StartsWithUpper(token, "#S=") || StartsWithUpper(token, "#N="))) {
            if (x + kSoundIconWidth >= box.width()) {
                newLine();
            }
            MarkupHotspot hotspot{x, y, token};
            int index = 0;
            if (static_cast<int>(layout.hotspots.size()) < kMaxHotspots) {
                index = static_cast<int>(layout.hotspots.size());
                layout.hotspots.push_back(std::move(hotspot));
            } else {
                index = kMaxHotspots - 1;
                layout.hotspots[static_cast<std::size_t>(index)] = std::move(hotspot);
            }
            MarkupItem item;
            item.position = QPoint(x, y);
            item.token = token;
            if (StartsWithUpper(token, "#S=")) {
                item.kind = MarkupItem::Kind::SoundIcon;
                item.width = kSoundIconWidth;
                if (y >= 0 && y < box.height() - 2) {
                    ++layout.soundIconsInside;
                }
                if (y >= 0 && layout.firstVisibleSound < 0) {
                    layout.firstVisibleSound = index;
                }
            } else {
                item.kind = MarkupItem::Kind::TranslationIcon;
                item.width = kTranslationIconWidth;
            }
            layout.items.push_back(std::move(item));
            x += kTranslationIconWidth + 2;
        } else {
            MarkupItem item;
            item.text = Foreign(token, page) + QLatin1Char(' ');
            item.bold = bold;
            item.italic = italic;
            item.width = measure(item.text, bold, italic);
            item.token = token;
            // A word that does not fit moves to the next line; one wider than the whole box stays
            // on a line of its own instead of leaving an empty line above it.
            if (x + item.width > box.width() && x > 1) {
                newLine();
            }
            item.position = QPoint(x, y);
            x += item.width;
            layout.items.push_back(std::move(item));
        }
    }
    layout.finalY = y;
    return layout;
}

int ScrollLimitOf(MarkupStyle style, int finalY, int boxHeight) {
    if (style == MarkupStyle::Example) {
        return finalY > boxHeight ? (finalY - boxHeight) / 20 + 1 : 0;
    }
    return finalY < boxHeight - 1 ? 0 : (finalY - boxHeight) / 19 + 1;
}

MarkupView::MarkupView(MarkupStyle style, QWidget* parent) : QWidget(parent), style_(style) {
    baseFont_ = QFont(QStringLiteral("Arial"));
    // Size 10 at 96 dots per inch, fixed in pixels so that the layout does not follow the screen.
    baseFont_.setPixelSize(13);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void MarkupView::SetText(std::string_view bytes) {
    SetTokens(MarkupTokenizer(bytes, style_));
}

void MarkupView::SetTokens(std::vector<std::string> tokens) {
    tokens_ = std::move(tokens);
    offset_ = 0;
    DecideScrollLimit();
    Relayout();
    update();
}

void MarkupView::SetCodePage(CodePage databasePage) {
    databasePage_ = databasePage;
    Relayout();
    update();
}

void MarkupView::SetBaseFont(const QFont& font) {
    baseFont_ = font;
    if (offset_ == 0) {
        DecideScrollLimit();
    }
    Relayout();
    update();
}

void MarkupView::AttachScrollButtons(QAbstractButton* up, QAbstractButton* down) {
    upButton_ = up;
    downButton_ = down;
    if (up != nullptr) {
        connect(up, &QAbstractButton::clicked, this, &MarkupView::ScrollUp);
        up->setVisible(upVisible_);
    }
    if (down != nullptr) {
        connect(down, &QAbstractButton::clicked, this, &MarkupView::ScrollDown);
        down->setVisible(downVisible_);
    }
}

void MarkupView::ScrollUp() {
    if (offset_ <= 0) {
        return;
    }
    --offset_;
    SetButtons(offset_ > 0, true);
    Relayout();
    update();
}

void MarkupView::ScrollDown() {
    if (offset_ >= limit_) {
        return;
    }
    ++offset_;
    SetButtons(true, offset_ < limit_);
    Relayout();
    update();
}

std::string MarkupView::IconAt(QPoint point) const {
    // The last icon drawn lies on top.
    for (auto it = layout_.hotspots.rbegin(); it != layout_.hotspots.rend(); ++it) {
        if (IconRect(*it).contains(point)) {
            return it->token;
        }
    }
    return {};
}

MarkupMeasure MarkupView::Measure() const {
    std::array<QFontMetrics, 4> metrics = {
        QFontMetrics(FontFor(false, false)), QFontMetrics(FontFor(true, false)),
        QFontMetrics(FontFor(false, true)), QFontMetrics(FontFor(true, true))};
    return [metrics](const QString& text, bool bold, bool italic) {
        return metrics[(bold ? 1 : 0) + (italic ? 2 : 0)].horizontalAdvance(text);
    };
}

QFont MarkupView::FontFor(bool bold, bool italic) const {
    QFont font = baseFont_;
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void MarkupView::Relayout() {
    layout_ = LayOutMarkup(tokens_, style_, size(), offset_, databasePage_, Measure());
}

void MarkupView::DecideScrollLimit() {
    const MarkupLayout first = LayOutMarkup(tokens_, style_, size(), 0, databasePage_, Measure());
    limit_ = ScrollLimitOf(style_, first.finalY, height());
    SetButtons(false, limit_ > 0);
}

void MarkupView::SetButtons(bool up, bool down) {
    const bool changed = up != upVisible_ || down != downVisible_;
    upVisible_ = up;
    downVisible_ = down;
    if (upButton_ != nullptr) {
        upButton_->setVisible(up);
    }
    if (downButton_ != nullptr) {
        downButton_->setVisible(down);
    }
    if (changed) {
        emit scrollButtonsChanged(up, down);
    }
}

void MarkupView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRect(rect());
    painter.setPen(Qt::black);
    for (const MarkupItem& item : layout_.items) {
        if (item.position.y() >= height() || item.position.y() + lineHeight() <= 0) {
            continue;
        }
        switch (item.kind) {
            case MarkupItem::Kind::SoundIcon:
                DrawSoundIcon(painter, item.position);
                break;
            case MarkupItem::Kind::TranslationIcon:
                DrawTranslationIcon(painter, item.position);
                break;
            case MarkupItem::Kind::Word: {
                const QFont font = FontFor(item.bold, item.italic);
                painter.setFont(font);
                painter.drawText(item.position + QPoint(0, QFontMetrics(font).ascent()), item.text);
                break;
            }
        }
    }
}

void MarkupView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The box takes its final size after the text was set: the limit follows while the text has
    // not been scrolled.
    if (offset_ == 0) {
        DecideScrollLimit();
    }
    Relayout();
}

void MarkupView::mouseMoveEvent(QMouseEvent* event) {
    setCursor(IconAt(event->position().toPoint()).empty() ? Qt::ArrowCursor
                                                          : Qt::PointingHandCursor);
    QWidget::mouseMoveEvent(event);
}

void MarkupView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const std::string token = IconAt(event->position().toPoint());
        if (!token.empty()) {
            emit iconClicked(
                QString::fromLatin1(token.data(), static_cast<qsizetype>(token.size())));
            return;
        }
    }
    QWidget::mouseReleaseEvent(event);
}

}  // namespace dyd::ui
