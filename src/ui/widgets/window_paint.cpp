#include "ui/widgets/window_paint.h"

#include <QPainter>
#include <QWidget>

namespace dyd::ui {

namespace {

void PaintPlainFace(QWidget* window, QPainter& painter, const QString& title);

}  // namespace

void PaintWindowBackground(QWidget* window, const QPixmap& picture, const QString& title) {
    QPainter painter(window);
    if (!picture.isNull()) {
        painter.drawPixmap(0, 0, picture);
        return;
    }
    PaintPlainFace(window, painter, title);
}

void PaintWindowBackground(QWidget* window, const QImage& picture, const QString& title) {
    QPainter painter(window);
    if (!picture.isNull()) {
        painter.drawImage(0, 0, picture);
        return;
    }
    PaintPlainFace(window, painter, title);
}

namespace {

void PaintPlainFace(QWidget* window, QPainter& painter, const QString& title) {
    const QRect area = window->rect();
    painter.fillRect(area, QColor(245, 240, 228));
    const int band = 24;
    painter.fillRect(QRect(0, 0, area.width(), band), QColor(40, 80, 125));
    if (!title.isEmpty()) {
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(12, 0, area.width() - 24, band), Qt::AlignVCenter | Qt::AlignLeft,
                         title);
    }
    painter.setPen(QColor(40, 80, 125));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

}  // namespace

}  // namespace dyd::ui
