// Windows opened over the main menu on the sample installation: the help viewer (F1) and the
// message box. No close button of the menu shows beside the close button of the window over it,
// and the message box reads (no control over another, no text cut off).

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/main_menu_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

class StackedWindowsTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{45000.0};
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainMenuWindow> menu_;

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        const LoginResult result =
            Login(context_->programPaths, "angielski", 1, "Ewa", clock_, context_->session);
        QCOMPARE(result.status, LoginStatus::Opened);
        context_->session.settings.helpHintShown = true;
        menu_ = std::make_unique<MainMenuWindow>(*context_);
        menu_->SetDialogs(new MessageBox(*context_, menu_.get()),
                          new YesNoDialog(*context_, menu_.get()));
        menu_->ApplyLogin(result);
        menu_->show();
        QVERIFY(QTest::qWaitForWindowExposed(menu_.get()));
    }

    void helpOverTheMainMenu() {
        HelpViewer help(*context_, menu_.get());
        QStringList problems;
        QTimer::singleShot(0, [&] {
            problems << dyd::test::StackedCloseProblems({menu_.get(), &help});
            help.reject();
        });
        help.ShowPage(QStringLiteral("index.html"));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void messageBoxOverTheMainMenu() {
        MessageBox box(*context_, menu_.get());
        QStringList problems;
        QTimer::singleShot(0, [&] {
            problems << dyd::test::StackedCloseProblems({menu_.get(), &box});
            problems << dyd::test::ScreenProblems(&box);
            box.accept();
        });
        box.ShowMessage(QStringLiteral(
            "Uruchomienie nauki nie jest możliwe (wprowadzono mniej niż 10 jednostek)!"));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    StackedWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "stacked_windows_test.moc"
