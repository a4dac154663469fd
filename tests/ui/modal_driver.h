#pragma once

// The end-to-end runs answer the program's modal windows as a learner would: every window that
// shows is handed to the handler registered for its objectName. A window without a handler, an
// error a handler reports, or a run that never ends (too many actions) closes the windows that
// follow, so that the run comes back to the test, which then reports what went wrong.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>

namespace dyd::test {

class ModalDriver {
  public:
    using Handler = std::function<void(QDialog*)>;

    ModalDriver() {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void On(const char* windowName, Handler handler) {
        handlers_[QString::fromLatin1(windowName)] = std::move(handler);
    }
    void Fail(const QString& why) {
        if (errors.isEmpty()) {
            errors.append(why);
        }
    }

    QStringList seen;      // objectNames of the windows met, once per opening
    QStringList messages;  // texts of the message boxes, for the handlers that keep them
    QStringList errors;

  private:
    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || busy_.contains(modal)) {
            return;
        }
        if (!errors.isEmpty() || ++actions_ > 3000) {
            Fail(QStringLiteral("too many actions"));
            Later(modal, [](QDialog* window) { window->reject(); });
            return;
        }
        const QString name = modal->objectName();
        if (!open_.contains(modal)) {
            open_.insert(modal);
            seen.append(name);
            QObject::connect(modal, &QDialog::finished, modal,
                             [this, modal] { open_.remove(modal); });
        }
        if (qEnvironmentVariableIsSet("DYD_E2E_TRACE")) {
            qInfo("%s", qPrintable(name));
        }
        Later(modal, [this, name](QDialog* window) {
            const auto it = handlers_.find(name);
            if (it == handlers_.end()) {
                Fail(QStringLiteral("no handler for ") + name);
                window->reject();
            } else {
                it->second(window);
            }
        });
    }

    // The action runs from the event loop, once, while the window is not polled again.
    void Later(QDialog* modal, std::function<void(QDialog*)> action) {
        busy_.insert(modal);
        QPointer<QDialog> guard(modal);
        QTimer::singleShot(0, modal, [this, guard, modal, action = std::move(action)] {
            if (guard) {
                action(guard.data());
            }
            busy_.remove(modal);
        });
    }

    std::map<QString, Handler> handlers_;
    QSet<QDialog*> busy_;
    QSet<QDialog*> open_;
    int actions_ = 0;
    QTimer timer_;
};

}  // namespace dyd::test
