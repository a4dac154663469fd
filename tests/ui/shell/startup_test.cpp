// The start of the program on a copy of an installation: the marker file, the screen checks, the
// windows created once under their names, and the road through the backdrop and the login of a
// new learner to the main menu.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "core/clock.h"
#include "core/paths.h"
#include "core/single_instance.h"
#include "find_control.h"
#include "support.h"
#include "ui/shell/backdrop_window.h"
#include "ui/shell/login_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/progress_window.h"
#include "ui/shell/startup.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;

using dyd::test::Find;

// Calls the actions, in turn, on the modal windows as they open; a window the action leaves
// open is closed.
class ModalScript {
  public:
    explicit ModalScript(std::vector<std::function<void(QDialog*)>> actions)
        : actions_(std::move(actions)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    QStringList seen;  // objectNames of the windows met

  private:
    // The action runs from a timer of its own, so that the windows it opens modally are met by
    // the next polls.
    void Poll() {
        handled_.removeIf([](const QPointer<QDialog>& d) { return d.isNull() || !d->isVisible(); });
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || handled_.contains(modal)) {
            return;
        }
        handled_.append(modal);
        seen.append(modal->objectName());
        if (next_ < actions_.size()) {
            auto action = actions_[next_++];
            QTimer::singleShot(0, modal, [action, modal] { action(modal); });
        }
    }

    std::vector<std::function<void(QDialog*)>> actions_;
    std::size_t next_ = 0;
    QList<QPointer<QDialog>> handled_;
    QTimer timer_;
};

StartupEnvironment Environment(const std::string& programDir, QStringList* boxes,
                               QSize screen = QSize(1024, 768), double dpi = 96) {
    StartupEnvironment environment;
    environment.programFile = programDir + "dydaktor";
    environment.screenSize = screen;
    environment.logicalDpi = dpi;
    environment.changeCurrentFolder = false;
    environment.standardBox = [boxes](const QString& text) { boxes->append(text); };
    return environment;
}

std::string CopySample(const TempDir& dir) {
    std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.path() + "dydaktor");
    return dir.path();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

  private slots:
    void aSecondCopyEndsAtOnceWithoutAWord() {
        // This test holds the name the running program holds.
        std::unique_ptr<SingleInstance> running;
        if (SingleInstance::TryAcquire(kInstanceName, running) !=
            SingleInstance::Result::Acquired) {
            QSKIP("a copy of the program runs for this user");
        }
        const dyd::test::ProgramRun second = dyd::test::RunProgram({DYD_SAMPLE "/dydaktor"});
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out, std::string());
        QCOMPARE(second.err, std::string());
    }

    void withoutTheMarkerFileTheProgramEnds() {
        TempDir dir;
        dyd::test::CopyFixture("mini", dir.path());
        std::filesystem::remove(dir.path() + "ds50.ini");
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(!program.Start(Environment(dir.path(), &boxes)));
        QCOMPARE(boxes, QStringList{QString::fromUtf8(kMarkerMissingMessage)});
        QVERIFY(program.mainMenu() == nullptr);
        QVERIFY(program.loginWindow() == nullptr);
    }

    void screenChecks() {
        struct Case {
            QSize screen;
            bool large;
        };
        const Case cases[] = {{{800, 600}, true},  {{1024, 768}, true}, {{1024, 500}, false},
                              {{640, 480}, false}, {{799, 600}, false}, {{800, 599}, false},
                              {{3840, 2160}, true}};
        for (const Case& c : cases) {
            QCOMPARE(ScreenLargeEnough(c.screen), c.large);
        }
        QVERIFY(RecommendedDpi(96));
        QVERIFY(!RecommendedDpi(120));
        QVERIFY(!RecommendedDpi(72));

        TempDir dir;
        const std::string programDir = CopySample(dir);
        const QString tooSmall = QString::fromUtf8(kScreenTooSmallText);
        struct Run {
            QSize screen;
            double dpi;
            bool goesOn;
            QStringList boxes;
        };
        const Run runs[] = {
            {{800, 600}, 96, true, {}},
            {{1280, 1024}, 120, true, {DpiRecommendationText()}},
            {{1024, 500}, 96, false, {tooSmall}},
            {{640, 480}, 144, false, {DpiRecommendationText(), tooSmall}},
        };
        for (const Run& run : runs) {
            FixedClock clock{kToday};
            Program program(clock);
            QStringList boxes;
            QCOMPARE(program.Start(Environment(programDir, &boxes, run.screen, run.dpi)),
                     run.goesOn);
            QCOMPARE(boxes, run.boxes);
        }
        QCOMPARE(DpiRecommendationText(),
                 QStringLiteral("Zalecamy aby czcionka w systemie była ustawiona jako: \"Mała "
                                "czcionka\" (96 dpi). Niektóre elementy programu mogą wyświetlać "
                                "się niepoprawnie."));
    }

    void windowsAreCreatedOnceUnderTheirNames() {
        TempDir dir;
        const std::string programDir = CopySample(dir);
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));
        QCOMPARE(boxes, QStringList{});
        QCOMPARE(program.context().programPaths.programDir, programDir);
        QCOMPARE(program.context().images.errors().size(), std::size_t{0});

        MainMenuWindow* menu = program.mainMenu();
        QCOMPARE(menu->objectName(), QStringLiteral("TForm1"));
        QCOMPARE(menu->size(), QSize(800, 600));
        QVERIFY(menu->windowFlags().testFlag(Qt::FramelessWindowHint));
        // Before the login only the login dialog exists; every other dialog is made when it is
        // first asked for, belongs to the main menu, and is made once.
        QCOMPARE(menu->findChildren<QDialog*>(QStringLiteral("TForm9")).size(), 1);
        QCOMPARE(menu->findChildren<QDialog*>(QStringLiteral("TForm10")).size(), 0);
        QCOMPARE(menu->findChildren<QDialog*>(QStringLiteral("TForm32")).size(), 0);
        QVERIFY(program.runnerWindow() == program.runnerWindow());
        QVERIFY(program.settingsWindow() == program.settingsWindow());
        QVERIFY(program.browserWindow() != nullptr);
        QVERIFY(program.newUserWindow() == program.newUserWindow());
        QVERIFY(program.helpViewer() == program.helpViewer());
        QVERIFY(program.yesNoDialog() == program.yesNoDialog());
        for (const char* name :
             {"TForm20", "TForm9", "TForm10", "TForm24", "TForm28", "TForm29", "TForm32"}) {
            QCOMPARE(menu->findChildren<QDialog*>(QString::fromLatin1(name)).size(), 1);
        }
        QCOMPARE(program.progressWindow()->objectName(), QStringLiteral("TForm14"));
        QCOMPARE(program.backdrop()->objectName(), QStringLiteral("TForm22"));
        for (const char* name : {"btn_cwiczenia", "btn_wyniki", "k_nowe_slowko", "K_cwiczenia",
                                 "B_Zamknij", "btn_powtorki"}) {
            QCOMPARE(Find<QAbstractButton>(menu, name)->cursor().shape(), Qt::PointingHandCursor);
        }
        for (const char* name :
             {"L_Przegladaj", "btn_ustawienia", "btn_pomoc", "btn_serwisy", "L_napis_logo"}) {
            QCOMPARE(Find<QLabel>(menu, name)->cursor().shape(), Qt::PointingHandCursor);
        }
        Find<QLabel>(menu, "L_nazwa");
        Find<QLabel>(menu, "i_hint");
        Find<QWidget>(menu, "Animate1");
    }

    void aNewLearnerLogsInAndReachesTheMainMenu() {
        TempDir dir;
        const std::string programDir = CopySample(dir);
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));

        QStringList progress;
        QObject::connect(program.progressWindow()->findChild<QProgressBar*>(),
                         &QProgressBar::valueChanged, [&program, &progress](int value) {
                             progress.append(program.progressWindow()->title() + QLatin1Char(' ') +
                                             QString::number(value));
                         });
        ModalScript script({
            [](QDialog* login) {
                QVERIFY(!Find<QAbstractButton>(login, "B_OK")->isVisible());
                QTest::mouseClick(Find<QAbstractButton>(login, "TransparentButton1"),
                                  Qt::LeftButton);
            },
            [](QDialog* newUser) {
                Find<QLineEdit>(newUser, "Edit1")->insert(QStringLiteral("Łucja"));
                QTest::mouseClick(Find<QAbstractButton>(newUser, "B_OK"), Qt::LeftButton);
            },
            [](QDialog* hint) { QTest::keyClick(hint, Qt::Key_Escape); },
        });
        QVERIFY(program.LogIn());
        QVERIFY(program.backdrop()->isVisible());
        QVERIFY(!program.backdrop()->isEnabled());
        MainMenuWindow* menu = program.mainMenu();
        QVERIFY(menu->isVisible());
        QVERIFY(!program.progressWindow()->isVisible());
        QVERIFY(!program.loginWindow()->isVisible());
        QVERIFY(progress.contains(QStringLiteral("Czytam... 5")));
        QVERIFY(std::filesystem::is_directory(programDir + "1"));
        QCOMPARE(ReadBytes(programDir + "usr.t"), std::string("1=\xa3ucja\r\n"));
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QTRY_COMPARE(script.seen, (QStringList{QStringLiteral("TForm9"), QStringLiteral("TForm10"),
                                               QStringLiteral("TForm20")}));
        QCOMPARE(program.context().session.paths.databaseCode, std::string("angielski"));
        QVERIFY(program.context().session.settings.helpHintShown);
    }

    void leavingTheLoginEndsTheProgram() {
        TempDir dir;
        const std::string programDir = CopySample(dir);
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));
        ModalScript script({[](QDialog* login) { QTest::keyClick(login, Qt::Key_Escape); }});
        QVERIFY(!program.LogIn());
        QVERIFY(!program.mainMenu()->isVisible());
        QVERIFY(!std::filesystem::exists(programDir + "usr.t"));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
