#include "pictures.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>

namespace dyd::samplegen {

namespace {

using namespace Qt::StringLiterals;

// The palette: warm paper, deep blue, an amber accent and dark ink.
const QColor kPaper(0xF4, 0xF1, 0xEA);
const QColor kPaperDark(0xE6, 0xE0, 0xD3);
const QColor kBlue(0x2F, 0x66, 0x90);
const QColor kBlueLight(0x3F, 0x86, 0xB8);
const QColor kBlueDark(0x1F, 0x4A, 0x6B);
const QColor kAmber(0xF2, 0xB1, 0x34);
const QColor kInk(0x1F, 0x2E, 0x3A);
const QColor kGreen(0x5C, 0x9E, 0x6E);
const QColor kRed(0xC0, 0x5A, 0x4A);
const QColor kPanel(0xFF, 0xFD, 0xF8);
// The colour that stands for "transparent" in the button strips (never used in a button).
const QColor kButtonKey(0xFF, 0x00, 0xFF);

const QString kFontFamily = u"DejaVu Sans"_s;

QFont Font(int pixelSize, bool bold = false) {
    QFont font(kFontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The largest font up to maxSize in which text fits width.
QFont FittingFont(const QString& text, int width, int maxSize, bool bold) {
    for (int size = maxSize; size > 7; --size) {
        const QFont font = Font(size, bold);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            return font;
        }
    }
    return Font(7, bold);
}

QImage NewImage(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// ---- Buttons ---------------------------------------------------------------------------------

void DrawIcon(QPainter& p, ButtonIcon icon, const QRectF& box, const QColor& ink) {
    p.save();
    const qreal s = std::min(box.width(), box.height());
    const QPointF c = box.center();
    QPen pen(ink, std::max<qreal>(1.6, s / 10.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (icon) {
        case ButtonIcon::Speaker:
        case ButtonIcon::SmallSpeaker: {
            // The big speaker's outer wave reaches 6.5 units right of the centre, the body 4
            // units left: the glyph is moved and scaled so that both stay inside the button.
            const bool waves = icon == ButtonIcon::Speaker;
            const qreal u = s / (waves ? 12.5 : 10.0);
            const QPointF c(box.center().x() - (waves ? 1.25 * u : 0), box.center().y());
            QPolygonF body;
            body << QPointF(c.x() - 4 * u, c.y() - 1.5 * u)
                 << QPointF(c.x() - 2 * u, c.y() - 1.5 * u)
                 << QPointF(c.x() + 0.5 * u, c.y() - 4 * u)
                 << QPointF(c.x() + 0.5 * u, c.y() + 4 * u)
                 << QPointF(c.x() - 2 * u, c.y() + 1.5 * u)
                 << QPointF(c.x() - 4 * u, c.y() + 1.5 * u);
            p.setBrush(ink);
            p.drawPolygon(body);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(c.x() - 1.5 * u, c.y() - 2.5 * u, 5 * u, 5 * u), -50 * 16, 100 * 16);
            if (icon == ButtonIcon::Speaker) {
                p.drawArc(QRectF(c.x() - 2.5 * u, c.y() - 4.5 * u, 9 * u, 9 * u), -50 * 16,
                          100 * 16);
            }
            break;
        }
        case ButtonIcon::Up:
        case ButtonIcon::Down: {
            const qreal u = s / 10.0;
            const qreal dir = icon == ButtonIcon::Up ? -1 : 1;
            QPolygonF arrow;
            arrow << QPointF(c.x() - 3.5 * u, c.y() - dir * 2 * u)
                  << QPointF(c.x() + 3.5 * u, c.y() - dir * 2 * u)
                  << QPointF(c.x(), c.y() + dir * 2.5 * u);
            p.setBrush(ink);
            p.drawPolygon(arrow);
            break;
        }
        case ButtonIcon::Close: {
            const qreal u = s / 10.0;
            p.drawLine(QPointF(c.x() - 2.8 * u, c.y() - 2.8 * u),
                       QPointF(c.x() + 2.8 * u, c.y() + 2.8 * u));
            p.drawLine(QPointF(c.x() + 2.8 * u, c.y() - 2.8 * u),
                       QPointF(c.x() - 2.8 * u, c.y() + 2.8 * u));
            break;
        }
        case ButtonIcon::Minimize: {
            const qreal u = s / 10.0;
            p.drawLine(QPointF(c.x() - 3 * u, c.y() + 2 * u),
                       QPointF(c.x() + 3 * u, c.y() + 2 * u));
            break;
        }
        case ButtonIcon::Check: {
            QPainterPath path;
            path.moveTo(box.left() + s * 0.15, c.y());
            path.lineTo(box.left() + s * 0.42, box.top() + s * 0.78);
            path.lineTo(box.left() + s * 0.88, box.top() + s * 0.2);
            p.drawPath(path);
            break;
        }
        case ButtonIcon::Cross: {
            const qreal r = s * 0.3;
            p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
            p.drawLine(QPointF(c.x() + r, c.y() - r), QPointF(c.x() - r, c.y() + r));
            break;
        }
        case ButtonIcon::Back: {
            const qreal u = s / 10.0;
            QPolygonF arrow;
            arrow << QPointF(c.x() + 2 * u, c.y() - 3.5 * u)
                  << QPointF(c.x() + 2 * u, c.y() + 3.5 * u) << QPointF(c.x() - 2.5 * u, c.y());
            p.setBrush(ink);
            p.drawPolygon(arrow);
            break;
        }
        case ButtonIcon::None:
            break;
    }
    p.restore();
}

// Where the label of a button frame whose left edge is x stands (right of its icon).
QRectF ButtonTextBox(const ButtonSpec& spec, int x) {
    const QRectF frame(x + 1.0, 1.0, spec.width - 2.0, spec.height - 2.0);
    QRectF textBox = frame.adjusted(8, 0, -8, 0);
    if (spec.icon != ButtonIcon::None) {
        const qreal side = frame.height() * 0.55;
        textBox.setLeft(frame.left() + 8 + side + 6);
    }
    return textBox;
}

// The largest label size up to maxSize in which the label fits its button.
int FittingLabelSize(const ButtonSpec& spec, int maxSize) {
    const int width = static_cast<int>(ButtonTextBox(spec, 0).width());
    for (int size = maxSize; size > 7; --size) {
        if (QFontMetrics(Font(size, true)).horizontalAdvance(spec.label) <= width) {
            return size;
        }
    }
    return 7;
}

void DrawButtonFrame(QPainter& p, const ButtonSpec& spec, const QFont& font, int x,
                     bool highlighted) {
    const QRectF frame(x + 1.0, 1.0, spec.width - 2.0, spec.height - 2.0);
    const qreal radius = std::min<qreal>(8.0, spec.height / 4.0);
    QLinearGradient fill(frame.topLeft(), frame.bottomLeft());
    const QColor top = highlighted ? kBlueLight.lighter(112) : kBlue.lighter(112);
    const QColor bottom = highlighted ? kBlueLight : kBlue;
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(highlighted ? kAmber : kBlueDark, highlighted ? 2.0 : 1.0));
    p.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    const QColor ink = Qt::white;
    if (spec.label.isEmpty()) {
        DrawIcon(p, spec.icon, frame.adjusted(2, 2, -2, -2), ink);
        return;
    }
    const QRectF textBox = ButtonTextBox(spec, x);
    if (spec.icon != ButtonIcon::None) {
        const qreal side = frame.height() * 0.55;
        const QRectF iconBox(frame.left() + 8, frame.center().y() - side / 2, side, side);
        DrawIcon(p, spec.icon, iconBox,
                 spec.icon == ButtonIcon::Check   ? QColor(0xC8, 0xF0, 0xC8)
                 : spec.icon == ButtonIcon::Cross ? QColor(0xFF, 0xD0, 0xC8)
                                                  : ink);
    }
    p.setFont(font);
    p.setPen(ink);
    p.drawText(textBox, Qt::AlignCenter, spec.label);
}

// ---- Backgrounds -----------------------------------------------------------------------------

void DrawPaper(QPainter& p, const QRect& area) {
    QLinearGradient paper(area.topLeft(), area.bottomRight());
    paper.setColorAt(0, kPaper.lighter(103));
    paper.setColorAt(1, kPaperDark);
    p.fillRect(area, paper);
}

// A band across the top with the title; returns its height.
int DrawTitleBand(QPainter& p, int width, int height, const QString& title, int maxBand = 64) {
    // Small dialogs keep a band in which the title reads like the text below it.
    const int band = std::clamp(height / 6, 28, std::max(28, maxBand));
    QLinearGradient fill(0, 0, 0, band);
    fill.setColorAt(0, kBlue.lighter(108));
    fill.setColorAt(1, kBlueDark);
    p.fillRect(QRect(0, 0, width, band), fill);
    p.fillRect(QRect(0, band, width, std::max(2, band / 14)), kAmber);
    const QFont font = FittingFont(title, width - 40, std::max(15, band / 2), true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(18, 0, width - 36, band), Qt::AlignVCenter | Qt::AlignLeft, title);
    return band + std::max(2, band / 14);
}

void DrawFrame(QPainter& p, int width, int height) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlueDark, 2));
    p.drawRect(QRectF(1, 1, width - 2, height - 2));
}

// Soft circles in a corner, the same motif as on every window.
void DrawCornerDecoration(QPainter& p, int width, int height, int variant) {
    p.save();
    p.setPen(Qt::NoPen);
    const QColor colors[] = {kBlue, kAmber, kGreen, kBlueLight};
    for (int i = 0; i < 3; ++i) {
        QColor c = colors[(variant + i) % 4];
        c.setAlpha(28 + 10 * i);
        p.setBrush(c);
        const qreal r = std::min(width, height) * (0.32 - 0.08 * i);
        p.drawEllipse(QPointF(width - r * 0.35 - i * r * 0.3, height - r * 0.3 + i * 4), r, r);
    }
    p.restore();
}

void DrawPanel(QPainter& p, const QRect& rect) {
    p.save();
    p.setPen(QPen(kPaperDark.darker(115), 1));
    p.setBrush(kPanel);
    p.drawRoundedRect(QRectF(rect).adjusted(-4.5, -4.5, 4.5, 4.5), 6, 6);
    p.restore();
}

void DrawWrapped(QPainter& p, const QRect& rect, const QString& text, int size, const QColor& ink,
                 bool bold = false, int flags = Qt::AlignLeft | Qt::AlignTop) {
    p.setFont(Font(size, bold));
    p.setPen(ink);
    p.drawText(rect, flags | Qt::TextWordWrap, text);
}

// ---- Scenes of the interlude pictures --------------------------------------------------------

struct Scene {
    QPainter& p;
    int width;
    int height;
    int horizon;
};

void Sun(Scene& s, QPointF c, qreal r) {
    s.p.setPen(QPen(kAmber, 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 12; ++i) {
        const qreal a = i * M_PI / 6;
        s.p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * (r + 6),
                     c + QPointF(std::cos(a), std::sin(a)) * (r + 18));
    }
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(QColor(0xF7, 0xC9, 0x48));
    s.p.drawEllipse(c, r, r);
}

void Cloud(Scene& s, QPointF c, qreal r) {
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(QColor(0xFF, 0xFF, 0xFF, 230));
    s.p.drawEllipse(c, r * 1.2, r * 0.7);
    s.p.drawEllipse(c + QPointF(-r, r * 0.2), r * 0.8, r * 0.55);
    s.p.drawEllipse(c + QPointF(r, r * 0.25), r * 0.85, r * 0.5);
}

void Tree(Scene& s, QPointF base, qreal h) {
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(QColor(0x7A, 0x55, 0x3A));
    s.p.drawRect(QRectF(base.x() - h * 0.06, base.y() - h * 0.45, h * 0.12, h * 0.45));
    s.p.setBrush(QColor(0x3E, 0x8E, 0x5A));
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 0.68), h * 0.3, h * 0.32);
    s.p.setBrush(QColor(0x4F, 0xA3, 0x6A));
    s.p.drawEllipse(QPointF(base.x() - h * 0.12, base.y() - h * 0.6), h * 0.18, h * 0.18);
}

void House(Scene& s, QPointF base, qreal h) {
    const qreal w = h * 1.1;
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xF2, 0xE3, 0xC6));
    s.p.drawRect(QRectF(base.x() - w / 2, base.y() - h * 0.62, w, h * 0.62));
    QPolygonF roof;
    roof << QPointF(base.x() - w * 0.6, base.y() - h * 0.62) << QPointF(base.x(), base.y() - h)
         << QPointF(base.x() + w * 0.6, base.y() - h * 0.62);
    s.p.setBrush(kRed);
    s.p.drawPolygon(roof);
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawRect(QRectF(base.x() - w * 0.1, base.y() - h * 0.32, w * 0.2, h * 0.32));
    s.p.setBrush(QColor(0xBF, 0xE0, 0xF5));
    s.p.drawRect(QRectF(base.x() - w * 0.38, base.y() - h * 0.5, w * 0.18, w * 0.16));
    s.p.drawRect(QRectF(base.x() + w * 0.2, base.y() - h * 0.5, w * 0.18, w * 0.16));
}

void Car(Scene& s, QPointF base, qreal h, const QColor& color) {
    const qreal w = h * 2.2;
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(color);
    QPainterPath body;
    body.addRoundedRect(QRectF(base.x() - w / 2, base.y() - h * 0.75, w, h * 0.45), 8, 8);
    body.addRoundedRect(QRectF(base.x() - w * 0.28, base.y() - h * 1.1, w * 0.56, h * 0.45), 10,
                        10);
    s.p.drawPath(body.simplified());
    s.p.setBrush(QColor(0x33, 0x33, 0x33));
    s.p.drawEllipse(QPointF(base.x() - w * 0.28, base.y() - h * 0.28), h * 0.22, h * 0.22);
    s.p.drawEllipse(QPointF(base.x() + w * 0.28, base.y() - h * 0.28), h * 0.22, h * 0.22);
}

void Person(Scene& s, QPointF base, qreal h, const QColor& shirt) {
    s.p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    s.p.drawLine(base + QPointF(-h * 0.1, 0), base + QPointF(0, -h * 0.35));
    s.p.drawLine(base + QPointF(h * 0.1, 0), base + QPointF(0, -h * 0.35));
    s.p.setBrush(shirt);
    s.p.setPen(QPen(kInk, 2));
    s.p.drawRoundedRect(QRectF(base.x() - h * 0.12, base.y() - h * 0.72, h * 0.24, h * 0.4), 6, 6);
    s.p.setBrush(QColor(0xF1, 0xC2, 0x9A));
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 0.84), h * 0.12, h * 0.12);
}

void Animal(Scene& s, QPointF base, qreal h, const QColor& fur, bool cat) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(fur);
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 0.4), h * 0.5, h * 0.25);
    s.p.drawEllipse(QPointF(base.x() + h * 0.5, base.y() - h * 0.65), h * 0.2, h * 0.18);
    if (cat) {
        QPolygonF ear;
        ear << QPointF(base.x() + h * 0.38, base.y() - h * 0.75)
            << QPointF(base.x() + h * 0.42, base.y() - h * 0.95)
            << QPointF(base.x() + h * 0.5, base.y() - h * 0.8);
        s.p.drawPolygon(ear);
        ear.translate(h * 0.15, 0);
        s.p.drawPolygon(ear);
    } else {
        s.p.drawEllipse(QPointF(base.x() + h * 0.42, base.y() - h * 0.62), h * 0.07, h * 0.14);
    }
    for (const qreal dx : {-0.3, -0.1, 0.15, 0.32}) {
        s.p.drawLine(QPointF(base.x() + h * dx, base.y() - h * 0.2),
                     QPointF(base.x() + h * dx, base.y()));
    }
    s.p.drawLine(QPointF(base.x() - h * 0.48, base.y() - h * 0.45),
                 QPointF(base.x() - h * 0.7, base.y() - h * (cat ? 0.8 : 0.6)));
}

void Book(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    QPolygonF left;
    left << QPointF(base.x(), base.y() - h * 0.1) << QPointF(base.x() - h * 0.7, base.y() - h * 0.2)
         << QPointF(base.x() - h * 0.7, base.y() - h * 0.8)
         << QPointF(base.x(), base.y() - h * 0.7);
    s.p.drawPolygon(left);
    QPolygonF right = left;
    for (QPointF& pt : right) {
        pt.setX(2 * base.x() - pt.x());
    }
    s.p.drawPolygon(right);
    s.p.setPen(QPen(QColor(0x9A, 0xA5, 0xB0), 1.5));
    for (int i = 1; i <= 4; ++i) {
        const qreal y = base.y() - h * (0.75 - 0.11 * i);
        s.p.drawLine(QPointF(base.x() - h * 0.6, y - h * 0.03),
                     QPointF(base.x() - h * 0.1, y + h * 0.03));
        s.p.drawLine(QPointF(base.x() + h * 0.1, y + h * 0.03),
                     QPointF(base.x() + h * 0.6, y - h * 0.03));
    }
}

void Cup(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    // The saucer under it.
    s.p.drawEllipse(QPointF(base.x() - h * 0.05, base.y()), h * 0.6, h * 0.1);
    s.p.drawArc(QRectF(base.x() + h * 0.2, base.y() - h * 0.65, h * 0.35, h * 0.35), -90 * 16,
                180 * 16);
    s.p.drawRoundedRect(QRectF(base.x() - h * 0.35, base.y() - h * 0.8, h * 0.6, h * 0.8), 8, 8);
    s.p.setPen(QPen(QColor(0x9A, 0xA5, 0xB0), 2));
    for (const qreal dx : {-0.15, 0.0, 0.15}) {
        s.p.drawArc(QRectF(base.x() + h * dx - h * 0.05, base.y() - h * 1.15, h * 0.1, h * 0.3),
                    90 * 16, 180 * 16);
    }
}

void Clock(Scene& s, QPointF c, qreal r) {
    s.p.setPen(QPen(kInk, 3));
    s.p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    s.p.drawEllipse(c, r, r);
    for (int i = 0; i < 12; ++i) {
        const qreal a = i * M_PI / 6;
        s.p.drawPoint(c + QPointF(std::cos(a), std::sin(a)) * r * 0.82);
    }
    s.p.drawLine(c, c + QPointF(0, -r * 0.6));
    s.p.drawLine(c, c + QPointF(r * 0.45, r * 0.1));
}

void Waves(Scene& s, int top) {
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(QColor(0x4A, 0x90, 0xC2));
    s.p.drawRect(QRect(0, top, s.width, s.height - top));
    s.p.setPen(QPen(QColor(0xDD, 0xEE, 0xF8), 2));
    for (int row = 0; row < 4; ++row) {
        QPainterPath wave;
        const qreal y = top + 18 + row * 26;
        wave.moveTo(0, y);
        for (int x = 0; x <= s.width; x += 40) {
            wave.quadTo(x + 10, y - 6, x + 20, y);
            wave.quadTo(x + 30, y + 6, x + 40, y);
        }
        s.p.drawPath(wave);
    }
}

void Mountains(Scene& s) {
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(QColor(0x8C, 0x9E, 0xB5));
    QPolygonF far;
    far << QPointF(0, s.horizon) << QPointF(s.width * 0.25, s.horizon - 170)
        << QPointF(s.width * 0.45, s.horizon - 60) << QPointF(s.width * 0.7, s.horizon - 200)
        << QPointF(s.width, s.horizon - 40) << QPointF(s.width, s.horizon);
    s.p.drawPolygon(far);
    s.p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    QPolygonF cap;
    cap << QPointF(s.width * 0.7, s.horizon - 200) << QPointF(s.width * 0.66, s.horizon - 160)
        << QPointF(s.width * 0.74, s.horizon - 160);
    s.p.drawPolygon(cap);
    QPolygonF left;
    left << QPointF(s.width * 0.25, s.horizon - 170) << QPointF(s.width * 0.21, s.horizon - 135)
         << QPointF(s.width * 0.29, s.horizon - 135);
    s.p.drawPolygon(left);
}

void Buildings(Scene& s) {
    const int tops[] = {150, 210, 120, 180, 230, 140, 200};
    const int count = 7;
    const qreal w = s.width / static_cast<qreal>(count);
    for (int i = 0; i < count; ++i) {
        const QRectF b(i * w + 6, s.horizon - tops[i], w - 12, tops[i]);
        s.p.setPen(QPen(kInk, 1.5));
        s.p.setBrush(i % 2 ? QColor(0xB8, 0xC4, 0xCF) : QColor(0xCF, 0xC2, 0xAE));
        s.p.drawRect(b);
        s.p.setBrush(QColor(0xF7, 0xE3, 0x9C));
        for (qreal y = b.top() + 12; y < b.bottom() - 20; y += 26) {
            for (qreal x = b.left() + 10; x < b.right() - 14; x += 22) {
                s.p.drawRect(QRectF(x, y, 10, 12));
            }
        }
    }
}

void Flower(Scene& s, QPointF base, qreal h, const QColor& petals) {
    s.p.setPen(QPen(QColor(0x3E, 0x8E, 0x5A), 3));
    s.p.drawLine(base, base + QPointF(0, -h));
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(petals);
    for (int i = 0; i < 6; ++i) {
        const qreal a = i * M_PI / 3;
        s.p.drawEllipse(base + QPointF(std::cos(a) * h * 0.16, -h + std::sin(a) * h * 0.16),
                        h * 0.12, h * 0.12);
    }
    s.p.setBrush(kAmber);
    s.p.drawEllipse(base + QPointF(0, -h), h * 0.09, h * 0.09);
}

void Rain(Scene& s) {
    s.p.setPen(QPen(QColor(0x5A, 0x7F, 0xA8), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 60; ++i) {
        const qreal x = (i * 97) % s.width;
        const qreal y = 90 + (i * 53) % std::max(1, s.horizon - 100);
        s.p.drawLine(QPointF(x, y), QPointF(x - 5, y + 14));
    }
}

void Snow(Scene& s) {
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(Qt::white);
    for (int i = 0; i < 80; ++i) {
        const qreal x = (i * 71) % s.width;
        const qreal y = 20 + (i * 37) % std::max(1, s.height - 60);
        s.p.drawEllipse(QPointF(x, y), 3, 3);
    }
}

void Bird(Scene& s, QPointF c, qreal r) {
    s.p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    s.p.setBrush(Qt::NoBrush);
    s.p.drawArc(QRectF(c.x() - r, c.y() - r / 2, r, r), 20 * 16, 140 * 16);
    s.p.drawArc(QRectF(c.x(), c.y() - r / 2, r, r), 20 * 16, 140 * 16);
}

void Fish(Scene& s, QPointF c, qreal r, const QColor& color) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(color);
    s.p.drawEllipse(c, r, r * 0.55);
    QPolygonF tail;
    tail << c + QPointF(-r * 0.9, 0) << c + QPointF(-r * 1.5, -r * 0.45)
         << c + QPointF(-r * 1.5, r * 0.45);
    s.p.drawPolygon(tail);
    s.p.setBrush(kInk);
    s.p.drawEllipse(c + QPointF(r * 0.5, -r * 0.1), 2.5, 2.5);
}

void Apple(Scene& s, QPointF c, qreal r) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(kRed.lighter(115));
    s.p.drawEllipse(c, r, r * 0.92);
    s.p.drawLine(c + QPointF(0, -r * 0.85), c + QPointF(r * 0.1, -r * 1.25));
    s.p.setBrush(kGreen);
    s.p.drawEllipse(c + QPointF(r * 0.35, -r * 1.1), r * 0.28, r * 0.14);
}

// A table; without chairs of its own it has two plain ones at its ends.
void Table(Scene& s, QPointF base, qreal h, bool endChairs = true) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x9C, 0x6B, 0x45));
    s.p.drawRect(QRectF(base.x() - h * 0.8, base.y() - h * 0.55, h * 1.6, h * 0.1));
    s.p.drawRect(QRectF(base.x() - h * 0.72, base.y() - h * 0.45, h * 0.08, h * 0.45));
    s.p.drawRect(QRectF(base.x() + h * 0.64, base.y() - h * 0.45, h * 0.08, h * 0.45));
    if (!endChairs) {
        return;
    }
    s.p.setBrush(QColor(0xB8, 0x86, 0x5B));
    for (const qreal dx : {-1.15, 1.0}) {
        s.p.drawRect(QRectF(base.x() + h * dx, base.y() - h * 0.75, h * 0.1, h * 0.75));
        s.p.drawRect(QRectF(base.x() + h * (dx < 0 ? dx : dx - 0.2), base.y() - h * 0.35, h * 0.3,
                            h * 0.07));
    }
}

void Window(Scene& s, QPointF base, qreal h) {
    const QRectF frame(base.x() - h * 0.45, base.y() - h * 1.5, h * 0.9, h * 0.9);
    s.p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 6));
    s.p.setBrush(QColor(0x8E, 0xC5, 0xEA));
    s.p.drawRect(frame);
    s.p.drawLine(QPointF(frame.center().x(), frame.top()),
                 QPointF(frame.center().x(), frame.bottom()));
    s.p.drawLine(QPointF(frame.left(), frame.center().y()),
                 QPointF(frame.right(), frame.center().y()));
    s.p.setPen(Qt::NoPen);
    s.p.setBrush(kRed);
    s.p.drawRect(QRectF(frame.left() - h * 0.2, frame.top() - 8, h * 0.18, frame.height() + 16));
    s.p.drawRect(QRectF(frame.right() + h * 0.02, frame.top() - 8, h * 0.18, frame.height() + 16));
}

void Sofa(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawRoundedRect(QRectF(base.x() - h, base.y() - h * 0.8, h * 2, h * 0.5), 12, 12);
    s.p.drawRoundedRect(QRectF(base.x() - h * 1.1, base.y() - h * 0.5, h * 2.2, h * 0.4), 12, 12);
}

void Bed(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x9C, 0x6B, 0x45));
    s.p.drawRect(QRectF(base.x() - h * 1.2, base.y() - h * 0.7, h * 0.12, h * 0.7));
    s.p.drawRect(QRectF(base.x() - h * 1.2, base.y() - h * 0.35, h * 2.4, h * 0.25));
    s.p.setBrush(Qt::white);
    s.p.drawRoundedRect(QRectF(base.x() - h * 1.05, base.y() - h * 0.55, h * 0.45, h * 0.2), 8, 8);
    s.p.setBrush(kBlueLight);
    s.p.drawRoundedRect(QRectF(base.x() - h * 0.55, base.y() - h * 0.5, h * 1.7, h * 0.18), 6, 6);
}

void Shelf(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x9C, 0x6B, 0x45));
    s.p.drawRect(QRectF(base.x() - h, base.y() - h * 1.1, h * 2, h * 0.08));
    s.p.setPen(QPen(QColor(0xD4, 0xA0, 0x17), 4, Qt::SolidLine, Qt::RoundCap));
    s.p.setBrush(Qt::NoBrush);
    for (const qreal dx : {-0.3, 0.25}) {
        s.p.drawEllipse(QPointF(base.x() + h * dx, base.y() - h * 1.22), h * 0.07, h * 0.07);
        s.p.drawLine(QPointF(base.x() + h * (dx + 0.07), base.y() - h * 1.22),
                     QPointF(base.x() + h * (dx + 0.3), base.y() - h * 1.22));
    }
}

void Plate(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(Qt::white);
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 0.3), h * 0.8, h * 0.3);
    Apple(s, QPointF(base.x() - h * 0.25, base.y() - h * 0.42), h * 0.16);
    Apple(s, QPointF(base.x() + h * 0.05, base.y() - h * 0.38), h * 0.14);
    QPolygonF cheese;
    cheese << QPointF(base.x() + h * 0.25, base.y() - h * 0.3)
           << QPointF(base.x() + h * 0.6, base.y() - h * 0.3)
           << QPointF(base.x() + h * 0.42, base.y() - h * 0.55);
    s.p.setBrush(kAmber);
    s.p.drawPolygon(cheese);
}

void Mirror(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(QColor(0xA0, 0xA8, 0xB0), 6));
    s.p.setBrush(QColor(0xDD, 0xEE, 0xF6));
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 1.25), h * 0.35, h * 0.45);
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(Qt::white);
    s.p.drawRoundedRect(QRectF(base.x() - h * 0.45, base.y() - h * 0.55, h * 0.9, h * 0.2), 8, 8);
    s.p.drawRect(QRectF(base.x() - h * 0.08, base.y() - h * 0.35, h * 0.16, h * 0.35));
}

void Wardrobe(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawRect(QRectF(base.x() - h * 0.45, base.y() - h * 1.5, h * 0.9, h * 1.5));
    s.p.drawLine(QPointF(base.x(), base.y() - h * 1.5), QPointF(base.x(), base.y()));
    s.p.setBrush(kAmber);
    s.p.drawEllipse(QPointF(base.x() - h * 0.08, base.y() - h * 0.8), 4, 4);
    s.p.drawEllipse(QPointF(base.x() + h * 0.08, base.y() - h * 0.8), 4, 4);
}

void Bridge(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xA9, 0xA9, 0xA4));
    QPainterPath arch;
    arch.addRect(QRectF(base.x() - h * 1.6, base.y() - h * 0.9, h * 3.2, h * 0.9));
    QPainterPath hole;
    hole.addEllipse(QPointF(base.x(), base.y()), h * 1.1, h * 0.7);
    s.p.drawPath(arch.subtracted(hole));
}

void Train(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    for (int i = 0; i < 3; ++i) {
        const QRectF car(base.x() - h * 1.7 + i * h * 1.15, base.y() - h * 0.8, h * 1.05, h * 0.6);
        s.p.setBrush(kGreen);
        s.p.drawRoundedRect(car, 6, 6);
        s.p.setBrush(QColor(0xDD, 0xEE, 0xF6));
        s.p.drawRect(QRectF(car.left() + h * 0.15, car.top() + h * 0.1, h * 0.3, h * 0.2));
        s.p.drawRect(QRectF(car.left() + h * 0.6, car.top() + h * 0.1, h * 0.3, h * 0.2));
        s.p.setBrush(QColor(0x33, 0x33, 0x33));
        s.p.drawEllipse(QPointF(car.left() + h * 0.25, base.y() - h * 0.15), h * 0.1, h * 0.1);
        s.p.drawEllipse(QPointF(car.right() - h * 0.25, base.y() - h * 0.15), h * 0.1, h * 0.1);
    }
    s.p.drawLine(QPointF(base.x() - h * 2, base.y() - h * 0.04),
                 QPointF(base.x() + h * 2, base.y() - h * 0.04));
}

void Bus(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(kRed);
    s.p.drawRoundedRect(QRectF(base.x() - h * 1.3, base.y() - h, h * 2.6, h * 0.8), 10, 10);
    s.p.setBrush(QColor(0xDD, 0xEE, 0xF6));
    for (int i = 0; i < 5; ++i) {
        s.p.drawRect(
            QRectF(base.x() - h * 1.15 + i * h * 0.48, base.y() - h * 0.9, h * 0.36, h * 0.3));
    }
    s.p.setBrush(QColor(0x33, 0x33, 0x33));
    s.p.drawEllipse(QPointF(base.x() - h * 0.8, base.y() - h * 0.18), h * 0.17, h * 0.17);
    s.p.drawEllipse(QPointF(base.x() + h * 0.8, base.y() - h * 0.18), h * 0.17, h * 0.17);
}

void Umbrella(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    s.p.drawLine(QPointF(base.x(), base.y() - h), base);
    s.p.drawArc(QRectF(base.x(), base.y() - h * 0.12, h * 0.16, h * 0.16), 180 * 16, 180 * 16);
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(kRed);
    s.p.drawChord(QRectF(base.x() - h * 0.6, base.y() - h * 1.3, h * 1.2, h * 0.7), 0, 180 * 16);
}

void Shop(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xF2, 0xE3, 0xC6));
    s.p.drawRect(QRectF(base.x() - h * 0.8, base.y() - h, h * 1.6, h));
    for (int i = 0; i < 6; ++i) {
        s.p.setBrush(i % 2 ? Qt::white : kRed);
        s.p.drawRect(QRectF(base.x() - h * 0.8 + i * h * 1.6 / 6, base.y() - h * 1.15, h * 1.6 / 6,
                            h * 0.18));
    }
    s.p.setBrush(QColor(0xDD, 0xEE, 0xF6));
    s.p.drawRect(QRectF(base.x() - h * 0.65, base.y() - h * 0.8, h * 0.7, h * 0.5));
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawRect(QRectF(base.x() + h * 0.2, base.y() - h * 0.7, h * 0.4, h * 0.7));
}

// A cat lying curled up asleep: its back towards the viewer, the head on its paws, eyes shut.
void SleepingCat(Scene& s, QPointF base, qreal h, const QColor& fur) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(fur);
    // The tail round the front of the body.
    QPainterPath tail;
    tail.moveTo(base.x() - h * 0.55, base.y() - h * 0.12);
    tail.quadTo(base.x() - h * 0.2, base.y() + h * 0.04, base.x() + h * 0.3, base.y() - h * 0.06);
    s.p.setBrush(Qt::NoBrush);
    s.p.setPen(QPen(kInk, h * 0.1, Qt::SolidLine, Qt::RoundCap));
    s.p.drawPath(tail);
    s.p.setPen(QPen(fur, h * 0.07, Qt::SolidLine, Qt::RoundCap));
    s.p.drawPath(tail);
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(fur);
    s.p.drawEllipse(QPointF(base.x() - h * 0.1, base.y() - h * 0.28), h * 0.55, h * 0.28);
    const QPointF head(base.x() + h * 0.42, base.y() - h * 0.22);
    QPolygonF ear;
    ear << head + QPointF(-h * 0.16, -h * 0.1) << head + QPointF(-h * 0.12, -h * 0.3)
        << head + QPointF(-h * 0.02, -h * 0.16);
    s.p.drawPolygon(ear);
    ear.translate(h * 0.17, h * 0.01);
    s.p.drawPolygon(ear);
    s.p.drawEllipse(head, h * 0.2, h * 0.17);
    // Closed eyes.
    s.p.setBrush(Qt::NoBrush);
    s.p.drawArc(QRectF(head.x() - h * 0.12, head.y() - h * 0.05, h * 0.08, h * 0.06), 180 * 16,
                180 * 16);
    s.p.drawArc(QRectF(head.x() + h * 0.03, head.y() - h * 0.05, h * 0.08, h * 0.06), 180 * 16,
                180 * 16);
    // "z z z" above the head.
    s.p.setFont(Font(static_cast<int>(h * 0.22), true));
    s.p.setPen(kBlueDark);
    for (int i = 0; i < 3; ++i) {
        s.p.drawText(head + QPointF(h * (0.2 + 0.16 * i), -h * (0.35 + 0.18 * i)), u"z"_s);
    }
}

// A chair seen from the side, facing left (or right when mirrored).
void Chair(Scene& s, QPointF base, qreal h, bool facingRight, const QColor& wood) {
    const qreal dir = facingRight ? -1 : 1;
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(wood);
    // Back rest, seat and legs.
    s.p.drawRect(QRectF(base.x() + dir * h * 0.18 - h * 0.04, base.y() - h, h * 0.08, h));
    s.p.drawRect(QRectF(base.x() - h * 0.22, base.y() - h * 0.5, h * 0.44, h * 0.08));
    s.p.drawRect(
        QRectF(base.x() - dir * h * 0.18 - h * 0.03, base.y() - h * 0.45, h * 0.06, h * 0.45));
}

void Bench(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x9C, 0x6B, 0x45));
    s.p.drawRect(QRectF(base.x() - h, base.y() - h * 0.45, h * 2, h * 0.12));
    s.p.drawRect(QRectF(base.x() - h, base.y() - h * 0.8, h * 2, h * 0.12));
    s.p.setBrush(kInk);
    for (const qreal dx : {-0.85, 0.8}) {
        s.p.drawRect(QRectF(base.x() + h * dx, base.y() - h * 0.8, h * 0.06, h * 0.8));
    }
}

void BusStop(Scene& s, QPointF base, qreal h) {
    s.p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    s.p.drawLine(base, base + QPointF(0, -h));
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0xF7, 0xC9, 0x48));
    s.p.drawEllipse(base + QPointF(0, -h), h * 0.2, h * 0.2);
    s.p.setFont(Font(static_cast<int>(h * 0.11), true));
    s.p.drawText(QRectF(base.x() - h * 0.2, base.y() - h * 1.2, h * 0.4, h * 0.4), Qt::AlignCenter,
                 u"BUS"_s);
}

// A platform edge in front of the rails, the full width of the picture.
void Platform(Scene& s, qreal top, qreal height) {
    s.p.setPen(QPen(kInk, 1.5));
    s.p.setBrush(QColor(0xB4, 0xB4, 0xB0));
    s.p.drawRect(QRectF(-2, top, s.width + 4, height));
    s.p.fillRect(QRectF(0, top, s.width, 5), QColor(0xF2, 0xD0, 0x3C));
}

// An oval lake on the grass.
void Lake(Scene& s, QPointF centre, qreal rx, qreal ry) {
    s.p.setPen(QPen(QColor(0x3A, 0x7A, 0xA8), 2));
    s.p.setBrush(QColor(0x4A, 0x90, 0xC2));
    s.p.drawEllipse(centre, rx, ry);
    s.p.setPen(QPen(QColor(0xDD, 0xEE, 0xF8), 2));
    for (int i = -1; i <= 1; ++i) {
        s.p.drawLine(QPointF(centre.x() - rx * 0.4 + i * rx * 0.3, centre.y() + i * ry * 0.35),
                     QPointF(centre.x() - rx * 0.2 + i * rx * 0.3, centre.y() + i * ry * 0.35));
    }
}

// A dog in full run: body stretched, legs thrown forward and back, ears and tail flying.
void RunningDog(Scene& s, QPointF base, qreal h, const QColor& fur) {
    s.p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    const QPointF hip(base.x() - h * 0.35, base.y() - h * 0.4);
    const QPointF shoulder(base.x() + h * 0.3, base.y() - h * 0.42);
    s.p.drawLine(hip, hip + QPointF(-h * 0.35, h * 0.32));
    s.p.drawLine(hip, hip + QPointF(-h * 0.15, h * 0.38));
    s.p.drawLine(shoulder, shoulder + QPointF(h * 0.38, h * 0.3));
    s.p.drawLine(shoulder, shoulder + QPointF(h * 0.18, h * 0.4));
    s.p.drawLine(hip + QPointF(-h * 0.2, -h * 0.05), hip + QPointF(-h * 0.5, -h * 0.3));
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(fur);
    s.p.drawEllipse(QPointF(base.x(), base.y() - h * 0.45), h * 0.5, h * 0.2);
    const QPointF head(base.x() + h * 0.55, base.y() - h * 0.68);
    s.p.drawEllipse(head, h * 0.2, h * 0.16);
    s.p.drawEllipse(head + QPointF(h * 0.2, h * 0.05), h * 0.1, h * 0.07);
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawEllipse(head + QPointF(-h * 0.12, -h * 0.08), h * 0.1, h * 0.05);
    s.p.setBrush(kInk);
    s.p.drawEllipse(head + QPointF(h * 0.06, -h * 0.04), 2.5, 2.5);
}

// A bird sitting, seen from the side, for branches and roofs.
void SittingBird(Scene& s, QPointF feet, qreal r, const QColor& color) {
    s.p.setPen(QPen(kInk, 1.5));
    s.p.setBrush(color);
    s.p.drawEllipse(feet + QPointF(0, -r * 0.7), r * 0.75, r * 0.55);
    s.p.drawEllipse(feet + QPointF(r * 0.6, -r * 1.2), r * 0.35, r * 0.35);
    QPolygonF beak;
    beak << feet + QPointF(r * 0.9, -r * 1.3) << feet + QPointF(r * 1.25, -r * 1.2)
         << feet + QPointF(r * 0.9, -r * 1.1);
    s.p.setBrush(kAmber);
    s.p.drawPolygon(beak);
    QPolygonF tail;
    tail << feet + QPointF(-r * 0.6, -r * 0.8) << feet + QPointF(-r * 1.3, -r * 1.1)
         << feet + QPointF(-r * 1.2, -r * 0.55);
    s.p.setBrush(color);
    s.p.drawPolygon(tail);
    s.p.setBrush(kInk);
    s.p.drawEllipse(feet + QPointF(r * 0.7, -r * 1.28), 1.8, 1.8);
}

// A wardrobe with its right door open on clothes hanging inside.
void OpenWardrobe(Scene& s, QPointF base, qreal h) {
    const QRectF body(base.x() - h * 0.45, base.y() - h * 1.5, h * 0.9, h * 1.5);
    s.p.setPen(QPen(kInk, 2));
    s.p.setBrush(QColor(0x8A, 0x5A, 0x3C));
    s.p.drawRect(body);
    const QRectF inside(base.x() + 4, body.top() + 8, h * 0.45 - 10, h * 1.5 - 16);
    s.p.setBrush(QColor(0x5A, 0x3A, 0x26));
    s.p.drawRect(inside);
    s.p.drawLine(QPointF(inside.left(), inside.top() + 14),
                 QPointF(inside.right(), inside.top() + 14));
    const QColor clothes[] = {kRed, kBlueLight, kAmber, kGreen};
    for (int i = 0; i < 4; ++i) {
        const qreal w = (inside.width() - 6) / 4;
        const qreal x = inside.left() + 3 + i * w;
        s.p.setBrush(clothes[i]);
        s.p.drawRoundedRect(QRectF(x, inside.top() + 18, w - 2, h * (0.6 + 0.12 * (i % 2))), 3, 3);
    }
    // The open door, seen at a slant, and the knob of the closed one.
    QPolygonF door;
    door << QPointF(body.right(), body.top()) << QPointF(body.right() + h * 0.3, body.top() + 12)
         << QPointF(body.right() + h * 0.3, body.bottom() - 12)
         << QPointF(body.right(), body.bottom());
    s.p.setBrush(QColor(0x9C, 0x6B, 0x45));
    s.p.drawPolygon(door);
    s.p.setBrush(kAmber);
    s.p.drawEllipse(QPointF(base.x() - h * 0.08, base.y() - h * 0.8), 4, 4);
}

// The English caption of the picture on a board at the top.
void CaptionBoard(Scene& s, const QString& text) {
    const QFont font = FittingFont(text, s.width - 80, 26, true);
    const int w = QFontMetrics(font).horizontalAdvance(text) + 36;
    const QRectF board((s.width - w) / 2.0, 18, w, 44);
    s.p.setPen(QPen(kBlueDark, 2));
    s.p.setBrush(QColor(0xFF, 0xFD, 0xF8, 235));
    s.p.drawRoundedRect(board, 8, 8);
    s.p.setFont(font);
    s.p.setPen(kBlueDark);
    s.p.drawText(board, Qt::AlignCenter, text);
}

// Where a word starts in the motif (also as the start of a longer word: "rain" finds
// "raining" but not "train"); -1 when it does not.
qsizetype FindWord(const QString& motif, const QString& word) {
    qsizetype from = 0;
    while (true) {
        const qsizetype at = motif.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0 || at == 0 || !motif.at(at - 1).isLetter()) {
            return at;
        }
        from = at + 1;
    }
}

bool Has(const QString& motif, std::initializer_list<const char16_t*> words) {
    for (const char16_t* word : words) {
        if (FindWord(motif, QString::fromUtf16(word)) >= 0) {
            return true;
        }
    }
    return false;
}

// A stable number from a text, for choosing colours and places.
quint32 Seed(const QString& text) {
    quint32 h = 2166136261u;
    for (const QChar c : text) {
        h = (h ^ c.unicode()) * 16777619u;
    }
    return h;
}

}  // namespace

std::vector<ButtonSpec> ButtonList() {
    const ButtonSpec ok{"ok2.bmp", 90, 32, u"OK"_s, ButtonIcon::None};
    return {
        {"glosnik2.bmp", 40, 40, {}, ButtonIcon::Speaker},
        {"wybierz.bmp", 110, 32, u"Wybierz"_s, ButtonIcon::None},
        ok,
        {"anuluj2.bmp", 90, 32, u"Anuluj"_s, ButtonIcon::None},
        {"umiem.bmp", 140, 36, u"Umiem"_s, ButtonIcon::Check},
        {"nie_umiem.bmp", 140, 36, u"Nie umiem"_s, ButtonIcon::Cross},
        {"sprawdz.bmp", 120, 36, u"Sprawdź"_s, ButtonIcon::None},
        {"ok_duzy.bmp", 140, 44, u"OK"_s, ButtonIcon::None},
        ok,
        {"podr_back2.bmp", 100, 30, u"Wstecz"_s, ButtonIcon::Back},
        {"podr_druk2.bmp", 100, 30, u"Drukuj"_s, ButtonIcon::None},
        {"nowy_user.bmp", 130, 32, u"Nowy uczeń"_s, ButtonIcon::None},
        {"glos_maly.bmp", 24, 24, {}, ButtonIcon::SmallSpeaker},
        {"op_gora.bmp", 24, 24, {}, ButtonIcon::Up},
        {"op_dol.bmp", 24, 24, {}, ButtonIcon::Down},
        {"m_slow_powt.bmp", 220, 44, u"Powtórki"_s, ButtonIcon::None},
        {"m_slow_cwicz.bmp", 220, 44, u"Nauka"_s, ButtonIcon::None},
        {"m_slow_wyniki.bmp", 220, 44, u"Wyniki"_s, ButtonIcon::None},
        {"zamknij_rog.bmp", 24, 24, {}, ButtonIcon::Close},
        {"cw_back.bmp", 110, 32, u"Powrót"_s, ButtonIcon::Back},
        {"ok_wybor.bmp", 70, 28, u"OK"_s, ButtonIcon::None},
        ok,
        {"podr_spis2.bmp", 120, 30, u"Spis treści"_s, ButtonIcon::None},
        {"zmien.bmp", 90, 30, u"Zmień"_s, ButtonIcon::None},
        {"nauka2.bmp", 120, 36, u"Ucz się"_s, ButtonIcon::None},
        {"nowe_slowko.bmp", 220, 44, u"Nowe słówko"_s, ButtonIcon::None},
        {"cwicz_user.bmp", 220, 44, u"Ćwiczenia"_s, ButtonIcon::None},
        {"wybierz_nowe.bmp", 150, 34, u"Wybierz nowe"_s, ButtonIcon::None},
        {"wybierz_slowka.bmp", 150, 34, u"Wybierz słówka"_s, ButtonIcon::None},
        {"wybierz_zdania.bmp", 150, 34, u"Wybierz zdania"_s, ButtonIcon::None},
        {"wylacz_filtr.bmp", 150, 34, u"Wyłącz filtr"_s, ButtonIcon::None},
        {"statystyka.bmp", 120, 32, u"Statystyka"_s, ButtonIcon::None},
        {"minim.bmp", 24, 24, {}, ButtonIcon::Minimize},
    };
}

int ButtonLabelSize(const ButtonSpec& spec) {
    if (spec.label.isEmpty()) {
        return 0;
    }
    // Buttons of one height stand side by side in the windows ("Umiem" and "Nie umiem", "OK" and
    // "Anuluj"): their labels share one size, the largest in which every one of them fits.
    const int maxSize = std::min(18, static_cast<int>(spec.height * 0.45));
    int size = maxSize;
    for (const ButtonSpec& other : ButtonList()) {
        if (other.height == spec.height && !other.label.isEmpty()) {
            size = std::min(size, FittingLabelSize(other, maxSize));
        }
    }
    return size;
}

QImage ButtonStrip(const ButtonSpec& spec) {
    // Drawn over full transparency, then flattened for the 24-bit file: what the button covers
    // keeps its colour, the rest takes the key colour of the bottom-left pixel, which the program
    // makes transparent.
    QImage drawn(spec.width * 2, spec.height, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        Prepare(p);
        const QFont font = Font(std::max(ButtonLabelSize(spec), 7), true);
        DrawButtonFrame(p, spec, font, 0, false);
        DrawButtonFrame(p, spec, font, spec.width, true);
    }
    QImage image(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            image.setPixel(x, y,
                           qAlpha(pixel) >= 128 ? qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel))
                                                : kButtonKey.rgb());
        }
    }
    return image;
}

std::vector<WindowSpec> WindowList() {
    return {
        {"menu_nauka.bmp",
         800,
         600,
         u"Nauka i powtórki"_s,
         u"Nowy materiał, powtórki i plan sesji"_s,
         {}},
        {"logowanie.bmp", 500, 380, u"Logowanie"_s, u"Wybierz swoje imię i bazę"_s, {}},
        {"logow_new.bmp", 360, 160, u"Nowy uczeń"_s, {}, {}},
        {"info.bmp", 439, 120, u"Potwierdzenie"_s, {}, {}},
        {"komunikat.bmp", 440, 120, u"Komunikat"_s, {}, {}},
        {"koniec.bmp", 300, 100, u"Zakończenie"_s, u"Czy zakończyć pracę z programem?"_s, {}},
        {"baza_par.bmp", 540, 340, u"Parametry bazy"_s, {}, {}},
        {"ustawienia.bmp", 640, 480, u"Ustawienia"_s, {}, {}},
        {"powtorki.bmp", 540, 400, u"Import powtórek"_s, u"z wcześniejszych wersji programu"_s, {}},
        {"stat_powt.bmp", 300, 360, u"Przegląd powtórek"_s, {}, {}},
        {"typ_cwiczenia.bmp", 380, 319, u"Plan sesji"_s, u"Wybierz rodzaj ćwiczenia"_s, {}},
        {"podsumowanie.bmp", 340, 280, u"Podsumowanie"_s, {}, {}},
        {"statystyka.bmp", 340, 260, u"Statystyka"_s, {}, {}},
        {"wybor_cw_a.bmp",
         800,
         600,
         u"Ćwiczenia"_s,
         u"Działy i zestawy ćwiczeń"_s,
         {QRect(48, 71, 310, 341), QRect(437, 150, 317, 343)}},
        {"wybor_cw_2.bmp",
         800,
         600,
         u"Wyniki"_s,
         u"Co już umiesz w każdej grupie"_s,
         {QRect(48, 71, 310, 341), QRect(437, 150, 317, 343)}},
        {"oznacz.bmp", 360, 420, u"Oznacz ćwiczenia"_s, u"do powtórek tej jednostki"_s, {}},
        {"slownik.bmp", 380, 440, u"Słownik"_s, u"słówka wybrane do nauki"_s, {}},
        {"generator.bmp", 800, 600, u"Przeglądanie bazy"_s, {}, {}},
        // The editor is 194 points high, or 339 with its further options.
        {"nowe_sl.bmp", 640, 339, u"Edycja jednostki"_s, {}, {}, 40},
        {"zapisz_cw.bmp", 360, 220, u"Parametry ćwiczenia"_s, {}, {}},
        {"wybor_pliku.bmp",
         600,
         400,
         u"Wybór pliku"_s,
         {},
         {QRect(20, 122, 150, 214), QRect(180, 122, 190, 214), QRect(380, 122, 200, 214)}},
        {"komentarz.bmp", 440, 160, u"Komentarz"_s, {}, {}},
        {"szuk_tlo.bmp", 400, 260, u"Szukaj"_s, {}, {}},
        {"przyklady.bmp", 540, 260, u"Przykładowe zdania"_s, {}, {}},
    };
}

QImage WindowBackground(const WindowSpec& spec) {
    QImage image = NewImage(spec.width, spec.height, kPaper);
    QPainter p(&image);
    Prepare(p);
    DrawPaper(p, image.rect());
    DrawCornerDecoration(p, spec.width, spec.height, static_cast<int>(Seed(spec.title) % 4));
    // Windows with lists keep the band above the first list and the subtitle beside it.
    const int maxBand = spec.maxBand > 0           ? spec.maxBand
                        : spec.panels.empty() ? 64
                                              : spec.panels.front().top() - 16;
    const int top = DrawTitleBand(p, spec.width, spec.height, spec.title, maxBand);
    if (!spec.subtitle.isEmpty()) {
        const bool small = spec.height <= 120;
        QRect area(18, top + (small ? 6 : 10), spec.width - 36, small ? 26 : 30);
        if (!spec.panels.empty()) {
            const QRect& last = spec.panels.back();
            area = QRect(last.left(), top + 14, last.width(), 30);
        }
        DrawWrapped(p, area, spec.subtitle, small ? 13 : 16, kInk, small,
                    Qt::AlignLeft | Qt::AlignTop);
    }
    for (const QRect& panel : spec.panels) {
        DrawPanel(p, panel);
    }
    DrawFrame(p, spec.width, spec.height);
    return image;
}

QImage MenuBackground(const QString& title, const QString& subtitle, const QString& author) {
    QImage image = NewImage(800, 600, kPaper);
    QPainter p(&image);
    Prepare(p);
    DrawPaper(p, image.rect());
    // Header with the program's name, or the course's title.
    QLinearGradient header(0, 0, 0, 120);
    header.setColorAt(0, kBlue.lighter(110));
    header.setColorAt(1, kBlueDark);
    p.fillRect(QRect(0, 0, 800, 120), header);
    p.fillRect(QRect(0, 120, 800, 6), kAmber);
    const QString heading = title.isEmpty() ? u"Dydaktor"_s : title;
    p.setFont(FittingFont(heading, 700, 40, true));
    p.setPen(Qt::white);
    p.drawText(QRect(30, 14, 740, 60), Qt::AlignLeft | Qt::AlignVCenter, heading);
    const QString second = title.isEmpty() ? u"Słownictwo — nauka słówek i zdań"_s : subtitle;
    p.setFont(FittingFont(second, 700, 20, false));
    p.setPen(QColor(0xDD, 0xE8, 0xF2));
    p.drawText(QRect(32, 74, 740, 32), Qt::AlignLeft | Qt::AlignVCenter, second);
    // The column where the menu buttons stand and the one for the hover pictures.
    DrawPanel(p, QRect(40, 160, 250, 330));
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        QColor c = i % 2 ? kBlueLight : kAmber;
        c.setAlpha(40);
        p.setBrush(c);
        p.drawEllipse(QPointF(560 + i * 40, 330 + (i % 3) * 30), 120 - i * 14, 120 - i * 14);
    }
    p.restore();
    // Footer with the menu entries given as labels.
    p.fillRect(QRect(0, 540, 800, 60), QColor(0xE9, 0xE3, 0xD6));
    p.fillRect(QRect(0, 540, 800, 2), kBlue);
    if (!author.isEmpty()) {
        p.setFont(Font(14));
        p.setPen(kInk);
        p.drawText(QRect(330, 500, 440, 30), Qt::AlignRight | Qt::AlignVCenter, author);
    }
    DrawFrame(p, 800, 600);
    return image;
}

std::vector<HoverSpec> HoverList() {
    return {
        {1, u"Powtórki"_s, u"Jednostki, których termin powtórki już minął."_s},
        {2, u"Nauka"_s, u"Nowe słówka i zdania oraz codzienne powtórki."_s},
        {3, u"Wyniki"_s, u"Ile już umiesz w każdej grupie tematycznej."_s},
        {4, u"Nowe słówko"_s, u"Dopisz własne słówko, zdanie lub pytanie."_s},
        {5, u"Ćwiczenia"_s, u"Gotowe zestawy ćwiczeń i Twoje własne."_s},
    };
}

QImage HoverPicture(const HoverSpec& spec) {
    QImage image = NewImage(260, 150, kPanel);
    QPainter p(&image);
    Prepare(p);
    p.fillRect(QRect(0, 0, 8, 150), kAmber);
    p.setFont(Font(22, true));
    p.setPen(kBlueDark);
    p.drawText(QRect(22, 14, 228, 34), Qt::AlignLeft | Qt::AlignVCenter, spec.title);
    p.fillRect(QRect(22, 52, 60, 3), kBlue);
    DrawWrapped(p, QRect(22, 66, 226, 76), spec.text, 15, kInk);
    p.setPen(QPen(kPaperDark.darker(120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 259, 149));
    return image;
}

QImage ExerciseStrip() {
    QImage image = NewImage(100, 600, kBlueDark);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient fill(0, 0, 100, 0);
    fill.setColorAt(0, kBlueDark);
    fill.setColorAt(1, kBlue);
    p.fillRect(image.rect(), fill);
    p.fillRect(QRect(0, 0, 4, 600), kAmber);
    p.save();
    p.translate(62, 560);
    p.rotate(-90);
    p.setFont(Font(30, true));
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRect(0, -30, 500, 40), Qt::AlignLeft | Qt::AlignVCenter, u"Dydaktor"_s);
    p.restore();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QColor c = i % 2 ? kAmber : QColor(255, 255, 255);
        c.setAlpha(60);
        p.setBrush(c);
        p.drawEllipse(QPointF(50, 60 + i * 26), 7, 7);
    }
    return image;
}

std::vector<BackgroundSpec> BackgroundList() {
    return {
        {"c0.bmp", 700, 0},     {"tlo1.jpg", 700, 1},   {"tlo2.jpg", 700, 2},
        {"tlo3.jpg", 700, 3},   {"tlo4.jpg", 700, 4},   {"tlo5.jpg", 700, 5},
        {"k_tlo1.jpg", 700, 6}, {"k_tlo2.jpg", 700, 7}, {"p_tlo1.jpg", 800, 8},
    };
}

QImage ExerciseBackground(const BackgroundSpec& spec) {
    static const QColor kTints[] = {
        QColor(0xF4, 0xF1, 0xEA), QColor(0xEE, 0xF4, 0xF8), QColor(0xF1, 0xF6, 0xEE),
        QColor(0xF8, 0xF1, 0xE6), QColor(0xF3, 0xEF, 0xF6), QColor(0xEE, 0xF5, 0xF3),
        QColor(0xF6, 0xF3, 0xE8), QColor(0xEC, 0xF1, 0xF7), QColor(0xF2, 0xF2, 0xEE)};
    static const QColor kAccents[] = {
        kBlue,  kBlueLight, kGreen, kAmber, QColor(0x8E, 0x6C, 0xAE), QColor(0x3F, 0x9A, 0x8F),
        kAmber, kBlue,      kGreen};
    const int v = spec.variant % 9;
    QImage image = NewImage(spec.width, 600, kTints[v]);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient fill(0, 0, 0, 600);
    fill.setColorAt(0, kTints[v].lighter(104));
    fill.setColorAt(1, kTints[v].darker(106));
    p.fillRect(image.rect(), fill);
    p.setPen(Qt::NoPen);
    // Gentle hills along the bottom, where the answer buttons stand, and circles at the top.
    for (int layer = 0; layer < 3; ++layer) {
        QColor c = kAccents[v];
        c.setAlpha(30 + 18 * layer);
        p.setBrush(c);
        QPainterPath hill;
        const qreal base = 600 - 70 + layer * 22;
        hill.moveTo(0, 600);
        hill.lineTo(0, base);
        for (int x = 0; x <= spec.width; x += 10) {
            hill.lineTo(x, base - 22 * std::sin((x + v * 90 + layer * 140) / (120.0 + 30 * layer)));
        }
        hill.lineTo(spec.width, 600);
        hill.closeSubpath();
        p.drawPath(hill);
    }
    for (int i = 0; i < 4; ++i) {
        QColor c = kAccents[(v + i) % 9];
        c.setAlpha(26);
        p.setBrush(c);
        const qreal r = 50 + 18 * i;
        p.drawEllipse(QPointF(spec.width - 60 - i * 55 - (v % 3) * 30, 40 + (i % 2) * 25), r, r);
    }
    if (spec.width > 700) {
        // A picture of the whole window hides the strip: where the strip's counters and its menu
        // stand, a quiet panel of its own keeps them readable.
        p.setPen(
            QPen(QColor(kAccents[v].red(), kAccents[v].green(), kAccents[v].blue(), 140), 1.5));
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 200));
        p.drawRoundedRect(QRectF(706.5, 156.5, 88, 136), 8, 8);
        p.setPen(Qt::NoPen);
    }
    if (spec.file.find("k_") != std::string::npos) {
        // Self-assessment: a quiet mark in the bottom-left corner, below the information pane
        // and away from the texts the window writes at the top.
        p.setPen(QPen(QColor(kAccents[v].red(), kAccents[v].green(), kAccents[v].blue(), 90), 6,
                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath check;
        check.moveTo(16, 562);
        check.lineTo(34, 582);
        check.lineTo(68, 542);
        p.drawPath(check);
    }
    return image;
}

QImage MatchingBackground(int variant) {
    QImage image = NewImage(800, 600, kPaper);
    QPainter p(&image);
    Prepare(p);
    DrawPaper(p, image.rect());
    DrawCornerDecoration(p, 800, 600, variant + 1);
    DrawTitleBand(p, 800, 600, u"Kojarzenie"_s);
    // The window writes its own instruction; the ten rows of both columns (words at x 20, meanings
    // at x 300, each 260 wide) start at 150 and are 30 pixels apart.
    DrawPanel(p, QRect(14, 146, 272, 302));
    DrawPanel(p, QRect(294, 146, 272, 302));
    p.setPen(QPen(kPaperDark, 1));
    for (int i = 1; i < 10; ++i) {
        p.drawLine(18, 146 + 30 * i, 282, 146 + 30 * i);
        p.drawLine(298, 146 + 30 * i, 562, 146 + 30 * i);
    }
    if (variant == 2) {
        p.setPen(QPen(kAmber, 3, Qt::DashLine));
        p.drawLine(590, 296, 770, 296);
    }
    DrawFrame(p, 800, 600);
    return image;
}

QImage PresentationBackground(int variant) {
    QImage image = NewImage(800, 600, kPaper);
    QPainter p(&image);
    Prepare(p);
    if (variant == 1) {
        QLinearGradient fill(0, 0, 0, 600);
        fill.setColorAt(0, QColor(0xF7, 0xF4, 0xEC));
        fill.setColorAt(1, QColor(0xE2, 0xEA, 0xF1));
        p.fillRect(image.rect(), fill);
    } else {
        QRadialGradient fill(QPointF(400, 300), 520);
        fill.setColorAt(0, QColor(0xFD, 0xF8, 0xEC));
        fill.setColorAt(1, QColor(0xE9, 0xDF, 0xC9));
        p.fillRect(image.rect(), fill);
    }
    DrawCornerDecoration(p, 800, 600, variant + 2);
    p.fillRect(QRect(0, 0, 800, 8), kBlue);
    p.fillRect(QRect(0, 8, 800, 3), kAmber);
    p.setFont(Font(16, true));
    p.setPen(QColor(kBlueDark.red(), kBlueDark.green(), kBlueDark.blue(), 150));
    p.drawText(QRect(24, 24, 400, 26), Qt::AlignLeft | Qt::AlignVCenter, u"Prezentacja"_s);
    return image;
}

QImage LevelMark(int level) {
    QImage image = NewImage(16, 16, kPanel);
    QPainter p(&image);
    Prepare(p);
    for (int i = 0; i < 4; ++i) {
        p.fillRect(QRect(1 + i * 4, 12 - i * 3, 3, 3 + i * 3), i < level ? kBlue : kPaperDark);
    }
    return image;
}

QImage DoneMark(bool done) {
    QImage image = NewImage(16, 16, kPanel);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(done ? kGreen : kPaperDark.darker(110));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    if (done) {
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath check;
        check.moveTo(4.5, 8);
        check.lineTo(7, 10.5);
        check.lineTo(11.5, 5.5);
        p.drawPath(check);
    }
    return image;
}

QImage RepetitionBanner() {
    QImage image = NewImage(160, 32, kAmber);
    QPainter p(&image);
    Prepare(p);
    p.fillRect(QRect(0, 0, 160, 32), kAmber);
    p.fillRect(QRect(0, 28, 160, 4), kBlueDark);
    p.setFont(Font(17, true));
    p.setPen(kInk);
    p.drawText(QRect(0, 0, 160, 28), Qt::AlignCenter, u"Powtórka"_s);
    return image;
}

QImage InterludePicture(const SourcePicture& picture) {
    const int width = 640;
    const int height = 480;
    QString motif = QString::fromStdString(picture.motif);
    // "caption: ..." at the end of the motif is the English text shown on the picture.
    QString caption;
    if (const qsizetype at = motif.indexOf(u"caption:"_s, 0, Qt::CaseInsensitive); at >= 0) {
        caption = motif.mid(at + 8).trimmed();
        motif = motif.left(at);
    }
    const quint32 seed = Seed(QString::fromStdString(picture.name) + motif);
    QImage image = NewImage(width, height, kPaper);
    QPainter p(&image);
    Prepare(p);
    // The picture window writes the description under the picture: the scene takes it all.
    Scene s{p, width, height, height * 68 / 100};
    const bool indoor =
        Has(motif, {u"sofa", u"table", u"chair", u"kitchen", u"bed", u"wall", u"shelf", u"mirror",
                    u"wardrobe", u"plate", u"cup", u"room", u"washbasin", u"tiles", u"window"}) &&
        !Has(motif, {u"grass", u"street", u"park", u"river", u"sky", u"rails", u"platform", u"bus",
                     u"mountain", u"garden", u"corner"});
    const bool night = Has(motif, {u"night", u"moon", u"star", u"evening"});
    const bool winter = Has(motif, {u"snow", u"winter"});
    const bool rain = Has(motif, {u"rain", u"storm"});
    const bool mountains = !indoor && Has(motif, {u"mountain", u"hill", u"hiking"});
    const bool lake = !indoor && Has(motif, {u"lake", u"pond"});
    const bool water =
        !indoor && Has(motif, {u"sea", u"beach", u"ocean", u"river", u"boat", u"ship", u"island"});
    const bool city = !indoor && Has(motif, {u"city", u"town", u"street", u"building", u"london"});
    const bool road = !indoor && !city && Has(motif, {u"bus", u"car", u"taxi", u"road"});
    if (indoor) {
        const QColor wall =
            Has(motif, {u"tiles"}) ? QColor(0xD8, 0xEA, 0xF2) : QColor(0xF1, 0xE8, 0xD8);
        p.fillRect(QRect(0, 0, width, s.horizon + 30), wall);
        p.fillRect(QRect(0, s.horizon + 30, width, s.height - s.horizon - 30),
                   QColor(0xC9, 0xA7, 0x82));
        p.fillRect(QRect(0, s.horizon + 26, width, 6), QColor(0xFF, 0xFF, 0xFF));
        if (Has(motif, {u"tiles"})) {
            p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 1));
            for (int x = 0; x < width; x += 40) {
                p.drawLine(x, 0, x, s.horizon + 26);
            }
            for (int y = 0; y < s.horizon + 26; y += 40) {
                p.drawLine(0, y, width, y);
            }
        }
        if (night) {
            p.fillRect(QRect(60, 90, 110, 90), QColor(0x1B, 0x2A, 0x4A));
            p.setPen(QPen(Qt::white, 5));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(60, 90, 110, 90));
        }
        s.horizon += 30;
    } else {
        QLinearGradient sky(0, 0, 0, s.horizon);
        sky.setColorAt(0, night  ? QColor(0x1B, 0x2A, 0x4A)
                          : rain ? QColor(0x9A, 0xA8, 0xB8)
                                 : QColor(0x8E, 0xC5, 0xEA));
        sky.setColorAt(1, night ? QColor(0x3A, 0x4E, 0x78) : QColor(0xDD, 0xEE, 0xF7));
        p.fillRect(QRect(0, 0, width, s.horizon), sky);
        // The sky first: sun or moon and the clouds stand behind mountains and buildings.
        if (night) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xF5, 0xEE, 0xC8));
            p.drawEllipse(QPointF(520, 110), 30, 30);
            p.setBrush(Qt::white);
            for (int i = 0; i < 30; ++i) {
                p.drawEllipse(
                    QPointF((i * 131 + seed % 50) % width, 80 + (i * 47) % (s.horizon - 100)), 1.6,
                    1.6);
            }
        } else if (!rain && !winter) {
            // A picture of the weather names the sun among its first words: it is its subject.
            const qsizetype sunAt = FindWord(motif, u"sun"_s);
            const bool subject = sunAt >= 0 && sunAt < 16;
            Sun(s, mountains ? QPointF(110, 130) : QPointF(subject ? 400 : 560 - seed % 60, 130),
                subject ? 42 : 28);
        }
        const bool twoClouds = Has(motif, {u"two white cloud", u"two cloud", u"clouds"});
        Cloud(s, QPointF(mountains ? 470 : 110 + seed % 100, 125), 30);
        if (twoClouds) {
            Cloud(s, QPointF(mountains ? 300 : 230 + seed % 60, 175), 24);
        }
        if (rain) {
            Cloud(s, QPointF(380, 120), 40);
            Rain(s);
        }
        if (mountains) {
            Mountains(s);
        }
        if (city) {
            Buildings(s);
        }
        const QColor ground = winter ? QColor(0xF4, 0xF7, 0xFA)
                              : city ? QColor(0xA9, 0xA9, 0xA4)
                                     : QColor(0x9C, 0xCB, 0x86);
        p.fillRect(QRect(0, s.horizon, width, s.height - s.horizon), ground);
        if (water) {
            Waves(s, s.horizon + 20);
        }
        if (lake) {
            Lake(s, QPointF(width / 2.0, s.horizon + 50), 230, 38);
        }
        if (road) {
            p.fillRect(QRect(0, s.horizon + 52, width, 44), QColor(0x8E, 0x8E, 0x8A));
            p.setPen(QPen(Qt::white, 3, Qt::DashLine));
            p.drawLine(0, s.horizon + 74, width, s.horizon + 74);
        }
        if (Has(motif, {u"path"})) {
            QPainterPath path;
            path.moveTo(0, s.height - 40);
            path.quadTo(width * 0.5, s.horizon + 40, width, s.horizon + 70);
            p.setPen(QPen(QColor(0xE2, 0xCF, 0xA6), 26, Qt::SolidLine, Qt::FlatCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
        if (Has(motif, {u"park"})) {
            Tree(s, QPointF(width - 70, s.horizon + 20), 190);
        }
        if (winter) {
            Snow(s);
        }
    }
    // Things in the foreground, left to right, in the order the motif names them; a thing that
    // lies on another one ("a cat lying on a sofa", "apples on a plate", "birds sitting on a
    // branch") is drawn with it.
    struct Thing {
        qsizetype at;
        std::function<void(QPointF)> draw;
    };
    std::vector<Thing> things;
    const auto add = [&](std::initializer_list<const char16_t*> words,
                         std::function<void(QPointF)> draw) {
        qsizetype first = -1;
        for (const char16_t* word : words) {
            const qsizetype at = FindWord(motif, QString::fromUtf16(word));
            if (at >= 0 && (first < 0 || at < first)) {
                first = at;
            }
        }
        if (first >= 0) {
            things.push_back({first, std::move(draw)});
        }
    };
    const qreal base = s.horizon + 70;
    const QColor catFur(0x9A, 0x9A, 0xA2);
    const bool catAsleep = Has(motif, {u"lying", u"sleep", u"asleep", u"curled"});
    const bool catOnSofa = catAsleep && Has(motif, {u"sofa"});
    const bool birdsInTree = Has(motif, {u"sitting", u"branch"}) || Has(motif, {u"in a tree"});
    const bool plate = Has(motif, {u"plate"});
    const int chairs = !Has(motif, {u"chair"})       ? 0
                       : Has(motif, {u"four chair"}) ? 4
                       : Has(motif, {u"two chair"})  ? 2
                                                     : 1;
    add({u"house", u"cottage"}, [&](QPointF at) { House(s, at, 150); });
    add({u"tree", u"forest", u"branch", u"trunk"}, [&](QPointF at) {
        Tree(s, at, 220);
        if (birdsInTree && Has(motif, {u"bird"})) {
            // On the crown's top and on a branch at its side.
            SittingBird(s, at + QPointF(-34, -216), 17, kInk.lighter(160));
            SittingBird(s, at + QPointF(26, -212), 15, QColor(0x6A, 0x4A, 0x3A));
            s.p.setPen(QPen(QColor(0x7A, 0x55, 0x3A), 7, Qt::SolidLine, Qt::RoundCap));
            s.p.drawLine(at + QPointF(20, -110), at + QPointF(105, -145));
            SittingBird(s, at + QPointF(82, -139), 17, kInk.lighter(160));
        }
    });
    add({u"car", u"taxi"}, [&](QPointF at) { Car(s, at, 50, kRed); });
    add({u"bus"}, [&](QPointF at) {
        Bus(s, at + QPointF(-30, 0), 70);
        if (Has(motif, {u"stop"})) {
            BusStop(s, at + QPointF(95, -22), 120);
        }
    });
    add({u"train"}, [&](QPointF at) {
        Train(s, at + QPointF(0, -10), 70);
        if (Has(motif, {u"platform"})) {
            Platform(s, at.y(), s.height - at.y());
        }
    });
    add({u"bridge"}, [&](QPointF at) { Bridge(s, at + QPointF(0, -20), 90); });
    add({u"shop"}, [&](QPointF at) {
        Shop(s, at, 120);
        if (Has(motif, {u"sign"})) {
            s.p.setPen(QPen(kInk, 2));
            s.p.setBrush(kPanel);
            const QRectF sign(at.x() - 60, at.y() - 170, 120, 32);
            s.p.drawRoundedRect(sign, 4, 4);
            s.p.setFont(Font(20, true));
            s.p.setPen(kRed);
            s.p.drawText(sign, Qt::AlignCenter, u"SHOP"_s);
        }
    });
    add({u"umbrella"}, [&](QPointF at) { Umbrella(s, at, 140); });
    add({u"dog"}, [&](QPointF at) {
        const QColor fur(0xC8, 0x9B, 0x6C);
        if (Has(motif, {u"run"})) {
            RunningDog(s, at, 110, fur);
        } else {
            Animal(s, at, 90, fur, false);
        }
    });
    if (!catOnSofa) {
        add({u"cat"}, [&](QPointF at) {
            if (catAsleep) {
                SleepingCat(s, at, 90, catFur);
            } else {
                Animal(s, at + QPointF(0, indoor ? -40 : 0), 80, catFur, true);
            }
        });
    }
    add({u"sofa"}, [&](QPointF at) {
        Sofa(s, at, 130);
        if (catOnSofa) {
            // On the seat, which is 0.5 of the sofa's height above the floor.
            SleepingCat(s, at + QPointF(-10, -130 * 0.5 + 4), 100, catFur);
        }
    });
    add({u"table"}, [&](QPointF at) {
        // The chairs behind the table first, a little smaller, then the table, then those in
        // front at its ends.
        const QColor back(0xA8, 0x78, 0x50);
        const QColor front(0xB8, 0x86, 0x5B);
        if (chairs >= 4) {
            Chair(s, at + QPointF(-55, -30), 95, true, back);
            Chair(s, at + QPointF(55, -30), 95, false, back);
        }
        Table(s, at, 120, chairs == 0);
        if (chairs >= 1) {
            Chair(s, at + QPointF(-150, 0), 120, true, front);
        }
        if (chairs >= 2) {
            Chair(s, at + QPointF(150, 0), 120, false, front);
        }
    });
    if (indoor && !night) {
        add({u"window"}, [&](QPointF at) { Window(s, at, 130); });
    }
    add({u"bed"}, [&](QPointF at) { Bed(s, at, 120); });
    add({u"shelf", u"key"}, [&](QPointF at) { Shelf(s, at, 130); });
    add({u"plate", u"cheese"}, [&](QPointF at) { Plate(s, at, 150); });
    add({u"mirror"}, [&](QPointF at) { Mirror(s, at, 130); });
    add({u"wardrobe"}, [&](QPointF at) {
        if (Has(motif, {u"clothes", u"open"})) {
            OpenWardrobe(s, at, 150);
        } else {
            Wardrobe(s, at, 150);
        }
    });
    add({u"bench"}, [&](QPointF at) { Bench(s, at + QPointF(0, -10), 70); });
    add({u"person", u"man", u"woman", u"girl", u"boy", u"child", u"teacher", u"student", u"people",
         u"friend", u"family"},
        [&](QPointF at) {
            Person(s, at, 140, kBlue);
            Person(s, at + QPointF(50, 0), 115, kAmber);
        });
    add({u"book", u"library", u"school", u"lesson", u"dictionary"},
        [&](QPointF at) { Book(s, at, 90); });
    add({u"tea", u"coffee", u"cup"}, [&](QPointF at) { Cup(s, at, 110); });
    add({u"clock", u"watch"}, [&](QPointF at) { Clock(s, at + QPointF(0, -70), 45); });
    add({u"flower", u"rose"}, [&](QPointF at) {
        Flower(s, at, 70, kRed.lighter(120));
        Flower(s, at + QPointF(30, 5), 55, QColor(0xE9, 0x9A, 0xC8));
        Flower(s, at + QPointF(-28, 8), 60, kAmber);
    });
    if (!birdsInTree || !Has(motif, {u"tree", u"branch"})) {
        add({u"bird"}, [&](QPointF at) {
            Bird(s, at + QPointF(-30, -200), 24);
            Bird(s, at + QPointF(20, -230), 18);
            Bird(s, at + QPointF(60, -195), 20);
        });
    }
    add({u"fish"}, [&](QPointF at) { Fish(s, at + QPointF(0, -10), 34, kAmber); });
    if (!plate) {
        add({u"apple", u"fruit"}, [&](QPointF at) {
            Apple(s, at + QPointF(0, -30), 26);
            Apple(s, at + QPointF(50, -26), 22);
        });
    }
    std::stable_sort(things.begin(), things.end(),
                     [](const Thing& a, const Thing& b) { return a.at < b.at; });
    if (things.size() > 3) {
        things.resize(3);
    }
    // A landscape or the weather stands on its own; anything else gets at least a tree.
    if (things.empty() && !mountains && !lake && !water && !city &&
        !Has(motif, {u"sun", u"cloud", u"sky"})) {
        things.push_back({0, [&](QPointF at) { Tree(s, at, 150); }});
    }
    const qreal step = width / static_cast<qreal>(things.size() + 1);
    for (std::size_t i = 0; i < things.size(); ++i) {
        things[i].draw(QPointF(step * (i + 1), base));
    }
    if (!caption.isEmpty()) {
        CaptionBoard(s, caption);
    }
    DrawFrame(p, width, height);
    return image;
}

std::string EncodeImage(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool jpeg = QByteArray(format) == "JPG";
    const QImage converted = image.convertToFormat(QImage::Format_RGB888);
    converted.save(&buffer, format, jpeg ? 88 : -1);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace dyd::samplegen
