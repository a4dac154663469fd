#include "ui/widgets/focus_return.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace dyd::ui {
namespace {

bool Usable(const QWidget* window) {
    return window != nullptr && window->isVisible() && !window->isMinimized();
}

// Watches one window's shows and hides (those the program makes, not the window system's
// minimising and restoring).
class FocusReturn final : public QObject {
  public:
    explicit FocusReturn(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && !event->spontaneous()) {
            if (event->type() == QEvent::Show) {
                below_ = WindowBelow();
            } else if (event->type() == QEvent::Hide) {
                Hidden();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // At the show the window's own modality is not yet in force: the active or modal window is
    // the one below.
    QWidget* WindowBelow() const {
        for (QWidget* candidate :
             {QApplication::activeWindow(), QApplication::activeModalWidget()}) {
            if (Usable(candidate) && candidate != window_) {
                return candidate;
            }
        }
        return Fallback();
    }

    // The modal window left below (this one no longer counts), else the parent's window.
    QWidget* Fallback() const {
        QWidget* modal = QApplication::activeModalWidget();
        if (Usable(modal) && modal != window_) {
            return modal;
        }
        QWidget* parent = window_->parentWidget();
        return parent != nullptr ? parent->window() : nullptr;
    }

    void Hidden() {
        // Another window that shows has the focus already: it stays there.
        QWidget* active = QApplication::activeWindow();
        if (active != nullptr && active != window_ && active->isVisible()) {
            return;
        }
        QWidget* below = below_.data();
        if (!Usable(below)) {
            below = Fallback();
        }
        below_ = nullptr;
        if (Usable(below) && below != window_) {
            TakeFocusBack(below);
        }
    }

    QWidget* window_;
    QPointer<QWidget> below_;
};

}  // namespace

void ReturnFocusOnClose(QWidget* window) {
    new FocusReturn(window);
}

void TakeFocusBack(QWidget* window) {
    window->activateWindow();
    QWidget* field = window->focusWidget();
    if (field != nullptr && field != window && field->isVisible() && field->isEnabled()) {
        field->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        window->setFocus(Qt::ActiveWindowFocusReason);
    }
}

}  // namespace dyd::ui
