#include "sound/qt_waiter.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace dyd {

namespace {
constexpr int kCheckMs = 5;
}

void QtWaiter::Sleep(int ms) {
    WaitUntil([] { return false; }, ms);
}

void QtWaiter::WaitUntil(const std::function<bool()>& finished, int timeoutMs) {
    if (finished()) {
        return;
    }
    QEventLoop loop;
    const QDeadlineTimer deadline(timeoutMs);
    QTimer check;
    check.setInterval(kCheckMs);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (finished() || deadline.hasExpired()) {
            loop.quit();
        }
    });
    check.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace dyd
