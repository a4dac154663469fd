#pragma once

// Drives one modal window through steps while it runs, as a learner would: each step runs once
// the window is the active modal one; message boxes (TForm20) that open on the way are closed
// and their texts kept. A window still open when the steps are done is closed, and that is noted.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

#include "find_control.h"

namespace dyd::test {

class ModalSteps {
  public:
    using Step = std::function<void(QDialog* window)>;

    ModalSteps(QString windowName, std::deque<Step> steps)
        : windowName_(std::move(windowName)), steps_(std::move(steps)) {
        // Two timers: a step that opens a message box waits inside its own timer's call, which
        // Qt does not repeat until it returns.
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
        messageTimer_.setInterval(5);
        QObject::connect(&messageTimer_, &QTimer::timeout, [this] { CloseMessage(); });
        messageTimer_.start();
    }
    const QStringList& messages() const { return messages_; }
    bool leftOpen() const { return leftOpen_; }
    bool done() const { return steps_.empty(); }

  private:
    void CloseMessage() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal != nullptr && modal->objectName() == QStringLiteral("TForm20")) {
            messages_.append(Find<QLabel>(modal, "Label1")->text());
            modal->done(0);
        }
    }

    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal->objectName() != windowName_) {
            return;
        }
        if (steps_.empty()) {
            leftOpen_ = true;
            modal->done(0);
            return;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        step(modal);
    }

    QString windowName_;
    std::deque<Step> steps_;
    QTimer timer_;
    QTimer messageTimer_;
    QStringList messages_;
    bool leftOpen_ = false;
};

}  // namespace dyd::test
