// Pictures of the import window on the sample installation, written as PNG files to the folder
// named by the first argument (default: the current folder): as it opens, and with the accounts
// of this installation and its course databases listed. Each screen is also checked: the
// visible controls lie inside the window, do not overlap one another and no text is cut off.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/clock.h"
#include "core/paths.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/settings/import_window.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

}  // namespace

class ImportGalleryTest : public QObject {
    Q_OBJECT

  private slots:
    void theImportWindow() {
        TempDir dir;
        const std::string program = dir.path() + "program/";
        LinkInstallation(DYD_SAMPLE, program);
        dyd::test::WriteBytes(program + "usr.t",
                              dyd::test::CrLf({"1=Anna", "2=Jan Kowalski", "3=Zofia"}));
        FixedClock clock(45000.5);
        AppContext context(clock);
        context.programPaths.programDir = program;
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(program);
        context.session.paths = context.programPaths;
        context.session.paths.databaseCode = "angielski";
        context.session.paths.userDir = program + "1/";

        ImportWindow window(context);
        QStringList problems;
        const auto take = [&](QWidget* w, const QString& name) {
            if (!QTest::qWaitForWindowExposed(w)) {
                problems << name + QStringLiteral(": not shown");
                return;
            }
            QApplication::processEvents();
            if (!w->grab().save(QStringLiteral("%1/import_%2.png").arg(g_outputDir, name))) {
                problems << name + QStringLiteral(": not saved");
            }
            for (const QString& problem : dyd::test::ScreenProblems(w, {})) {
                problems << name + QStringLiteral(": ") + problem;
            }
        };
        bool taken = false;
        dyd::test::WhenModal([&](QDialog* w) {
            take(w, QStringLiteral("start"));
            Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(2);
            dyd::test::Click(w, "K_Pokaz");
            Find<QListWidget>(w, "ListBox1")->setCurrentRow(1);
            QCOMPARE(Find<QComboBox>(w, "ListBox2")->count(), 2);
            take(w, QStringLiteral("accounts"));
            taken = true;
        });
        window.Run();
        QVERIFY(taken);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The first argument, when it is not an option of the test runner, names the folder.
    std::vector<char*> args(argv, argv + argc);
    if (argc > 1 && argv[1][0] != '-') {
        g_outputDir = QString::fromLocal8Bit(argv[1]);
        args.erase(args.begin() + 1);
    } else {
        g_outputDir = QDir::currentPath();
    }
    QDir().mkpath(g_outputDir);
    ImportGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "import_gallery_test.moc"
