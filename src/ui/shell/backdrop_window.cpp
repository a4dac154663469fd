#include "ui/shell/backdrop_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace dyd::ui {

BackdropWindow::BackdropWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TForm22"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAutoFillBackground(false);
    setEnabled(false);
}

void BackdropWindow::ShowOverScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        setGeometry(screen->geometry());
    }
    show();
    lower();
}

void BackdropWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

}  // namespace dyd::ui
