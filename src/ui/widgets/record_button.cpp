#include "ui/widgets/record_button.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace dyd::ui {

namespace {

constexpr QSize kPictureSize(70, 22);

struct Colours {
    QColor face;
    QColor border;
    QColor ink;
};

Colours ColoursOf(RecordPicture state) {
    switch (state) {
        case RecordPicture::Recording:
            return {QColor(196, 32, 32), QColor(120, 10, 10), QColor(255, 255, 255)};
        case RecordPicture::Hover:
            return {QColor(255, 255, 255), QColor(0, 0, 255), QColor(0, 0, 255)};
        case RecordPicture::Idle:
            break;
    }
    return {QColor(250, 248, 240), QColor(40, 80, 125), QColor(25, 35, 50)};
}

// A microphone: the capsule, its holder and the stand.
void DrawMicrophone(QPainter& painter, const QRectF& area, const QColor& ink) {
    const qreal w = area.width();
    const qreal h = area.height();
    const QRectF capsule(area.left() + w * 0.32, area.top(), w * 0.36, h * 0.62);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRoundedRect(capsule, capsule.width() / 2, capsule.width() / 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    const QRectF holder(area.left() + w * 0.16, area.top() + h * 0.18, w * 0.68, h * 0.62);
    painter.drawArc(holder, 180 * 16, 180 * 16);
    const qreal centre = area.left() + w / 2;
    painter.drawLine(QPointF(centre, holder.bottom()), QPointF(centre, area.bottom()));
    painter.drawLine(QPointF(centre - w * 0.25, area.bottom()),
                     QPointF(centre + w * 0.25, area.bottom()));
}

}  // namespace

QPixmap RecordButtonPicture(RecordPicture state, const QString& text, const QFont& font) {
    QPixmap picture(kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Colours colours = ColoursOf(state);
    painter.setPen(QPen(colours.border, 1));
    painter.setBrush(colours.face);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kPictureSize.width() - 1, kPictureSize.height() - 1),
                            6, 6);
    DrawMicrophone(painter, QRectF(5, 4, 12, 14), colours.ink);
    painter.setPen(colours.ink);
    painter.setFont(font);
    painter.drawText(QRect(20, 0, kPictureSize.width() - 22, kPictureSize.height()),
                     Qt::AlignCenter, text);
    return picture;
}

// ---- RecordButton -------------------------------------------------------------------------

RecordButton::RecordButton(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent), text_(text) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    // Reached with Tab: the space bar held down records as the mouse button held down does.
    setFocusPolicy(Qt::TabFocus);
}

void RecordButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat()) {
            emit pressed(PointerButton::Left);
        }
        return;
    }
    QLabel::keyPressEvent(event);
}

void RecordButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            emit released();
        }
        return;
    }
    QLabel::keyReleaseEvent(event);
}

void RecordButton::ShowPicture(const QPixmap& picture) {
    if (picture.isNull()) {
        setText(text_);
    } else {
        setPixmap(picture);
    }
    repaint();
}

void RecordButton::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit entered();
}

void RecordButton::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit left();
}

void RecordButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!isEnabled()) {
        return;
    }
    switch (event->button()) {
        case Qt::LeftButton:
            emit pressed(PointerButton::Left);
            break;
        case Qt::RightButton:
            emit pressed(PointerButton::Right);
            break;
        default:
            emit pressed(PointerButton::Middle);
            break;
    }
}

void RecordButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit released();
}

// ---- RecordLimitTimer ---------------------------------------------------------------------

RecordLimitTimer::RecordLimitTimer(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("Timer1"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecordLimitTimer::Fire);
}

void RecordLimitTimer::Start(int ms) {
    timer_.start(ms);
}

void RecordLimitTimer::Stop() {
    timer_.stop();
}

void RecordLimitTimer::Fire() {
    timer_.stop();
    if (handler_) {
        handler_();
    }
}

}  // namespace dyd::ui
