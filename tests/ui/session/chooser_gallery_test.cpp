// Pictures of the exercise-set chooser, written as PNG files to the folder named by the first
// argument (default: the current folder): the sets view with a section and a set chosen (some
// sets done, a set of the learner's own), and the results view in both toggles. Each screen is
// also checked: the visible controls lie inside the window, do not overlap one another and their
// texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QListView>
#include <QTest>
#include <memory>

#include "core/clock.h"
#include "core/history.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/set_chooser_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

constexpr double kToday = 45000.0;

// The focus frame and the frame of the active toggle lie around their controls.
const dyd::test::ScreenRules kRules = {
    {QStringLiteral("shp_focus"), QStringLiteral("Shape1")}, {}, {}, {}};

}  // namespace

class ChooserGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{kToday + 0.4};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    LearnerSession& session() { return context_->session; }

    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/chooser_%2.png").arg(g_outputDir, name),
                               name, kRules, problems_);
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        // A set of the learner's own in the first group.
        dyd::test::WriteBytes(dir_.path() + "db/angielski/cwa_su.txt",
                              "9=201-2-0001=Moje rodzinne=10101=10102=10103\r\n");
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        context_->openHelp = [](const QString&) {};
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", clock_, session()).status,
                 LoginStatus::Opened);
        // Results of two sets of the first group; a good part of the course learnt, some of it
        // long ago.
        ExerciseHistory& history = session().history;
        StoreSetResult(history, kToday - 3, 80, "101-1-0001", 4, 0, true);
        StoreSetResult(history, kToday - 1, 95, "101-1-0001", 6, 0, true);
        StoreSetResult(history, kToday, 60, "101-2-0003", 3, 0, false);
        const UnitTable& units = session().db.units;
        for (int u = 1; u <= units.unitCount(); ++u) {
            if (u % 3 == 0 || units.unit(u).groupId <= 3) {
                RepetitionRecord& r = session().repetitions.record(u);
                r.unitId = units.unit(u).unitId;
                r.interval = u % 4 == 0 ? 30 : 3;
            }
        }
    }

    void init() { problems_.clear(); }

    void setsAndResults() {
        SetChooserWindow window(*context_, nullptr);
        window.ShowChooser(SetChooserWindow::Mode::Sets);
        auto* sections = Find<QListView>(&window, "pb_dzialy2");
        QTest::mouseClick(sections->viewport(), Qt::LeftButton, {},
                          sections->visualRect(sections->model()->index(0, 0)).center());
        auto* sets = Find<QListView>(&window, "pb_paczki");
        QVERIFY(sets->model()->rowCount() > 3);
        // The set with two results: it moved to the end of the section's list.
        const int last = sets->model()->rowCount() - 1;
        QTest::mouseClick(sets->viewport(), Qt::LeftButton, {},
                          sets->visualRect(sets->model()->index(last - 1, 0)).center());
        QVERIFY(Find<QWidget>(&window, "B_OK")->isVisible());
        Take(&window, QStringLiteral("sets"));
        QTest::mouseClick(sets->viewport(), Qt::LeftButton, {},
                          sets->visualRect(sets->model()->index(last - 2, 0)).center());
        Take(&window, QStringLiteral("sets_own"));

        window.ShowChooser(SetChooserWindow::Mode::Results);
        Take(&window, QStringLiteral("results_learnt"));
        QTest::mouseClick(Find<QAbstractButton>(&window, "k_wynik_powt_2"), Qt::LeftButton);
        Take(&window, QStringLiteral("results_mastered"));
        window.hide();
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1) {
        g_outputDir = QString::fromLocal8Bit(argv[1]);
    }
    ChooserGalleryTest test;
    return QTest::qExec(&test, 1, argv);
}

#include "chooser_gallery_test.moc"
