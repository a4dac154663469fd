#pragma once

// The background of a borderless window: its picture from the installation, or, when the picture
// is missing, a plain light face with a title band and a frame, so that the window still reads.

#include <QImage>
#include <QPixmap>
#include <QString>

class QWidget;

namespace dyd::ui {

void PaintWindowBackground(QWidget* window, const QPixmap& picture, const QString& title);
void PaintWindowBackground(QWidget* window, const QImage& picture, const QString& title);

}  // namespace dyd::ui
