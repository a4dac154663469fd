// Pictures of the settings screen's three pages, written as PNG files to the folder named by the
// first argument (default: the current folder): the exercises page of a course that offers the
// sentence exercises, the repetitions page with a rule being changed, the other page with a copy
// of the repetitions chosen. Each screen is checked as well: the visible controls lie inside
// their window and page, do not overlap one another, and their texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/settings/settings_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

constexpr double kToday = 46000.0;

// The check boxes of the other page stand right beside their labels.
const dyd::test::ScreenRules kRules = {
    {QStringLiteral("Shape1")},
    {QStringLiteral("Panel1"), QStringLiteral("Panel2"), QStringLiteral("Panel3")},
    {},
    {}};

void ClickLabel(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QLabel>(window, name), Qt::LeftButton);
}

}  // namespace

class SettingsGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{kToday + 0.4};
    std::unique_ptr<AppContext> context_;
    QStringList problems_;

    LearnerSession& session() { return context_->session; }

    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/settings_%2.png").arg(g_outputDir, name),
                               name, kRules, problems_);
    }

  private slots:
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        context_->openHelp = [](const QString&) {};
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", clock_, session()).status,
                 LoginStatus::Opened);
        session().db.params.learningMode2 = true;
        // Twenty units learnt, saved at two logins: the copy list has lines to show.
        RepetitionStore& store = session().repetitions;
        for (int u = 1; u <= 20; ++u) {
            RepetitionRecord& r = store.record(u);
            r.unitId = session().db.units.unit(u).unitId;
            r.repetitionNo = 1;
            r.factor = 1.5;
            r.firstDate = r.lastDate = kToday - 2;
            r.interval = 2;
        }
        LearnerSession& s = session();
        QVERIFY(SaveRepetitions(s.paths, "angielski.pk", s.db.units, s.repetitions, s.settings,
                                clock_)
                    .written);
        QVERIFY(SaveLiveRepetitions(s.paths, s.db.units, s.repetitions, s.settings, clock_)
                    .written);
    }

    void threePages() {
        SettingsWindow window(*context_);
        window.Fill();
        window.show();
        Take(&window, QStringLiteral("exercises"));
        QVERIFY(Find<QWidget>(&window, "CB_Czy_zdania")->isVisible());

        ClickLabel(&window, "l_powt");
        auto* rules = Find<QListWidget>(&window, "CB_Typ");
        QTest::mouseClick(rules->viewport(), Qt::LeftButton, {},
                          rules->visualItemRect(rules->item(5)).center());
        QVERIFY(Find<QWidget>(&window, "CB_Cw")->isVisible());
        Take(&window, QStringLiteral("repetitions"));

        ClickLabel(&window, "L_inne");
        auto* copies = Find<QListWidget>(&window, "ListBox1");
        QCOMPARE(copies->count(), 2);
        QTest::mouseClick(copies->viewport(), Qt::LeftButton, {},
                          copies->visualItemRect(copies->item(0)).center());
        QVERIFY(Find<QWidget>(&window, "K_import_kopia1")->isVisible());
        Take(&window, QStringLiteral("other"));
        window.hide();
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
    SettingsGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "settings_gallery_test.moc"
