// The floor of the start-up figures: a bare Qt window of the login's size, painted in one
// colour, with nothing else loaded. It notes its first paint as the program does (DYD_TIMING).

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "ui/widgets/timing_probe.h"

namespace {

class BareWindow final : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(244, 240, 232));
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    dyd::ui::InstallTimingProbeFromEnvironment(application);
    BareWindow window;
    window.setObjectName(QStringLiteral("bare"));
    window.setWindowFlag(Qt::FramelessWindowHint, true);
    window.resize(500, 380);
    window.show();
    return QApplication::exec();
}
