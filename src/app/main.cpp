// The program: one running copy, the start-up, the login and the main menu's event loop.

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <memory>

#include "core/clock.h"
#include "core/single_instance.h"
#include "sound/qt_audio_device.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/timing_probe.h"

int main(int argc, char** argv) {
    // A second copy ends at once, without a word.
    std::unique_ptr<dyd::SingleInstance> instance;
    if (dyd::SingleInstance::TryAcquire(dyd::kInstanceName, instance) ==
        dyd::SingleInstance::Result::AlreadyRunning) {
        return 0;
    }

    QApplication application(argc, argv);
    dyd::ui::InstallTimingProbeFromEnvironment(application);
    const QString title = QString::fromUtf8(dyd::ui::kProgramTitle);
    QApplication::setApplicationName(title);
    // The backdrop stays open behind everything: the run ends when the main menu closes.
    QApplication::setQuitOnLastWindowClosed(false);

    dyd::SystemClock clock;
    dyd::QtAudioDevice oggDevice;
    dyd::QtAudioDevice fileDevice;
    dyd::QtWaiter waiter;
    dyd::SoundPlayer sound(oggDevice, fileDevice, waiter);

    dyd::ui::Program program(clock);
    program.SetSound(&sound);

    dyd::ui::StartupEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath().toStdString();
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        environment.screenSize = screen->size();
        environment.logicalDpi = screen->logicalDotsPerInch();
    }
    environment.standardBox = [&title](const QString& text) {
        QMessageBox::warning(nullptr, title, text);
    };

    if (!program.Start(environment) || !program.LogIn()) {
        return 0;
    }
    QObject::connect(program.mainMenu(), &dyd::ui::MainMenuWindow::finished, &application,
                     &QCoreApplication::quit);
    return QApplication::exec();
}
