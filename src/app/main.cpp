// The program: one running copy, the start-up, the login and the main menu's event loop.

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <memory>

#include "core/clock.h"
#include "core/install_layer.h"
#include "core/single_instance.h"
#include "sound/audio_factory.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "ui/shell/backdrop_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/raise_requests.h"
#include "ui/shell/startup.h"
#include "ui/widgets/accessible_names.h"
#include "ui/widgets/timing_probe.h"

int main(int argc, char** argv) {
    // A second copy brings the running one to the front and ends; it waits for the answer a
    // moment only, so that a copy that does not answer cannot hold it.
    std::unique_ptr<dyd::SingleInstance> instance;
    if (dyd::SingleInstance::TryAcquire(dyd::kInstanceName, instance) ==
        dyd::SingleInstance::Result::AlreadyRunning) {
        dyd::SingleInstance::AskToRaise(dyd::kInstanceName, 2000);
        return 0;
    }

    QApplication application(argc, argv);
    dyd::ui::InstallTimingProbeFromEnvironment(application);
    // Screen readers get the controls' names and descriptions from their texts as each window
    // shows.
    dyd::ui::DescribeControlsOnShow(&application);
    const QString title = QString::fromUtf8(dyd::ui::kProgramTitle);
    QApplication::setApplicationName(title);
    // The backdrop stays open behind everything: the run ends when the main menu closes.
    QApplication::setQuitOnLastWindowClosed(false);

    // Later starts of the program are served from the first turn of the event loop on (the
    // login's); the requests made before it wait in the socket's queue.
    dyd::ui::RaiseRequests raiseRequests(instance != nullptr ? instance->DuplicateRequestSocket()
                                                             : -1);
    if (dyd::ui::TimingProbeEnabled()) {
        QObject::connect(&raiseRequests, &dyd::ui::RaiseRequests::raised, [](QWidget* window) {
            dyd::ui::WriteTimingMoment(QStringLiteral("raised-") + (window != nullptr
                                                                        ? window->objectName()
                                                                        : QStringLiteral("-")));
        });
    }

    dyd::SystemClock clock;
    // The desktop's sound library is loaded when the login has been painted (PrepareAudio).
    const std::unique_ptr<dyd::AudioDevice> oggDevice = dyd::MakeAudioDevice();
    const std::unique_ptr<dyd::AudioDevice> fileDevice = dyd::MakeAudioDevice();
    dyd::QtWaiter waiter;
    dyd::SoundPlayer sound(*oggDevice, *fileDevice, waiter);

    dyd::ui::Program program(clock);
    program.SetSound(&sound);

    dyd::ui::StartupEnvironment environment;
    // The program works in its installation, or in the user's own folder over an installation
    // it cannot write (a package's data folder): the start-up sees the program in that folder.
    std::string folderError;
    environment.programFile =
        dyd::ProgramFileInWorkFolder(QCoreApplication::applicationFilePath().toStdString(),
                                     dyd::PackageDataFromProgram(), &folderError);
    if (environment.programFile.empty()) {
        QMessageBox::warning(nullptr, title, QString::fromStdString(folderError));
        return 0;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        environment.screenSize = screen->size();
        environment.logicalDpi = screen->logicalDotsPerInch();
    }
    environment.standardBox = [&title](const QString& text) {
        QMessageBox::warning(nullptr, title, text);
    };

    if (!program.Start(environment)) {
        return 0;
    }
    raiseRequests.SetBackdrop(program.backdrop());
    if (!program.LogIn()) {
        return 0;
    }
    QObject::connect(program.mainMenu(), &dyd::ui::MainMenuWindow::finished, &application,
                     &QCoreApplication::quit);
    return QApplication::exec();
}
