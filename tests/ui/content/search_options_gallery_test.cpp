// Pictures of the search options window, written as PNG files to the folder named by the first
// argument (default: the current folder): in the English sample course with a word typed, and
// in a course of a language above 2, where the character set box shows. Each screen is also
// checked: the visible controls lie inside their window, do not overlap one another and their
// texts are not cut off.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <vector>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "modal_steps.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/search_options_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::ModalSteps;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

}  // namespace

class SearchOptionsGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{45000.4};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/%2.png").arg(g_outputDir, name),
                               name, {}, problems_);
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        QCOMPARE(
            Login(context_->programPaths, "angielski", 1, "Ewa", clock_, context_->session).status,
            LoginStatus::Opened);
    }

    void init() { problems_.clear(); }

    void englishCourse() {
        SearchOptionsWindow window(*context_);
        ModalSteps steps(QStringLiteral("TForm23"), {[&](QDialog* d) {
                             QTest::keyClicks(Find<QLineEdit>(d, "Edit1"), QStringLiteral("house"));
                             QTest::mouseClick(Find<QLabel>(d, "Label4"), Qt::LeftButton);
                             Take(d, QStringLiteral("search_options"));
                             QTest::keyClick(d, Qt::Key_Escape);
                         }});
        window.Ask();
        QVERIFY(steps.done());
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    // The window as a course of Russian (language 6, Cyrillic texts) shows it.
    void courseAboveLanguageTwo() {
        DatabaseParameters& params = context_->session.db.params;
        const DatabaseParameters kept = params;
        params.language = 6;
        params.charsetIndex = 2;
        SearchOptionsWindow window(*context_);
        ModalSteps steps(QStringLiteral("TForm23"), {[&](QDialog* d) {
                             Find<QLineEdit>(d, "Edit1")->setText(QStringLiteral("дом"));
                             Take(d, QStringLiteral("search_options_course_font"));
                             QTest::keyClick(d, Qt::Key_Escape);
                         }});
        window.Ask();
        params = kept;
        QVERIFY(steps.done());
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
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
    SearchOptionsGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "search_options_gallery_test.moc"
