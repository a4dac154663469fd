#pragma once

// Work that may wait until a window's first pixels are on the screen: the action runs once, from
// the event loop, after the window's first paint, so that the window is not shown later for it.

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

namespace dyd::ui {

class AfterFirstPaint final : public QObject {
  public:
    AfterFirstPaint(QWidget* window, std::function<void()> action)
        : QObject(window), action_(std::move(action)) {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                const std::function<void()> action = std::move(action_);
                deleteLater();
                action();
            });
        }
        return false;
    }

  private:
    std::function<void()> action_;
    bool queued_ = false;
};

// Runs action once after the first paint of window (or never, when the window goes first).
inline void RunAfterFirstPaint(QWidget* window, std::function<void()> action) {
    new AfterFirstPaint(window, std::move(action));
}

}  // namespace dyd::ui
