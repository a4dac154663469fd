#pragma once

// Moments of the start-up for the measurement script (bench/startup-figures): with DYD_TIMING
// set, the first paint of each named top-level window and every Return or Enter pressed are
// written to the standard error as "dyd-timing <what> <ns of CLOCK_REALTIME>". A paint is noted
// when the event loop comes back after it, so that the window's pixels have gone to the screen.
// The program notes there as well each window it brought to the front for a later start
// ("raised-<objectName>").
// Header only: the bare window the script measures beside the program uses it without linking
// anything of the program.

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace dyd::ui {

inline void WriteTimingMoment(const QString& what) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    std::fprintf(stderr, "dyd-timing %s %lld\n", what.toUtf8().constData(), ns);
    std::fflush(stderr);
}

class TimingProbe final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->isWindow() && !widget->objectName().isEmpty() &&
                !painted_.contains(widget->objectName())) {
                const QString name = widget->objectName();
                painted_.insert(name);
                QTimer::singleShot(
                    0, this, [name] { WriteTimingMoment(name + QStringLiteral("-painted")); });
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* widget = qobject_cast<QWidget*>(watched);
            // A key goes to the focused widget first and may go on up through its parents: noted
            // once, where it arrives.
            const QWidget* focused = QApplication::focusWidget();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget != nullptr &&
                (widget == focused || (focused == nullptr && widget->isWindow()))) {
                WriteTimingMoment(QStringLiteral("enter"));
            }
        }
        return false;
    }

  private:
    QSet<QString> painted_;
};

inline bool TimingProbeEnabled() {
    return qEnvironmentVariableIsSet("DYD_TIMING");
}

// Installs the probe on the application when DYD_TIMING is set.
inline void InstallTimingProbeFromEnvironment(QApplication& application) {
    if (TimingProbeEnabled()) {
        application.installEventFilter(new TimingProbe(&application));
    }
}

}  // namespace dyd::ui
