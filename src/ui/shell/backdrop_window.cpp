#include "ui/shell/backdrop_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>

namespace dyd::ui {

namespace {

// On X11 the server fills the window with its background pixel: black, without any pixels of
// ours.
bool SetServerBackground(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::uint32_t black = screen != nullptr ? screen->black_pixel : 0;
    xcb_change_window_attributes(connection, id, XCB_CW_BACK_PIXEL, &black);
    xcb_clear_area(connection, 0, id, 0, 0, 0, 0);
    xcb_flush(connection);
    return true;
}

}  // namespace

BackdropWindow::BackdropWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TForm22"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAutoFillBackground(false);
    setEnabled(false);
    serverPainted_ = qGuiApp->nativeInterface<QNativeInterface::QX11Application>() != nullptr;
    if (serverPainted_) {
        setAttribute(Qt::WA_PaintOnScreen, true);
        setAttribute(Qt::WA_NoSystemBackground, true);
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
}

QPaintEngine* BackdropWindow::paintEngine() const {
    return serverPainted_ ? nullptr : QWidget::paintEngine();
}

void BackdropWindow::ShowOverScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        setGeometry(screen->geometry());
    }
    if (serverPainted_) {
        winId();
        SetServerBackground(this);
    }
    show();
    lower();
}

void BackdropWindow::paintEvent(QPaintEvent*) {
    if (serverPainted_) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

}  // namespace dyd::ui
