// Pictures of the exercise runner in each of the 18 kinds, before and after the answer, written
// as PNG files to the folder named by the first argument (default: the current folder), so that
// the screens can be looked at. Each screen is also checked: the visible controls lie inside the
// window, do not overlap one another, and their one-line texts are not cut off.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/runner/runner_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

// The pictures and the comment pane lie under the other controls; the gap fields stand in the
// holes of the gap box.
const dyd::test::ScreenRules kRules = {
    {QStringLiteral("Image1"), QStringLiteral("Image2"), QStringLiteral("L_kom_panel")},
    {},
    {{QStringLiteral("DXRamka2"), QStringLiteral("E_Wpis")}},
    {}};

QStringList Problems(QWidget* window) {
    return dyd::test::ScreenProblems(window, kRules);
}

struct Course {
    Course(const char* code, bool pictures) : context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path(), pictures);
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, code, 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.session.settings.showStatistics = false;
        context.session.settings.f5HintShown = true;
        window = std::make_unique<RunnerWindow>(context);
        window->SetRandom(random);
        window->SetDialogs(new MessageBox(context, window.get()),
                           new ConfirmationDialog(context, window.get()));
    }

    TempDir dir;
    FixedClock clock{45000.0};
    SeededRandom random{3};
    AppContext context;
    bool ok = false;
    std::unique_ptr<RunnerWindow> window;
};

}  // namespace

class RunnerGalleryTest : public QObject {
    Q_OBJECT

  private slots:
    void everyKindBeforeAndAfterTheAnswer_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("course");
        QTest::addColumn<int>("unitId");
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<bool>("longTexts");
        const struct {
            int kind;
            const char* course;
            int unitId;
        } rows[] = {
            {1, "angielski", 10101},  {2, "angielski", 10101},  {3, "angielski", 10101},
            {4, "angielski", 10101},  {5, "angielski", 10103},  {6, "angielski", 10101},
            {7, "niemiecki", 20001},  {8, "niemiecki", 20001},  {9, "angielski", 10101},
            {10, "angielski", 30101}, {11, "angielski", 30101}, {12, "angielski", 30101},
            {13, "angielski", 30101}, {14, "angielski", 30101}, {15, "angielski", 30101},
            {16, "angielski", 10101}, {17, "angielski", 50101}, {18, "angielski", 30101},
        };
        for (const auto& row : rows) {
            QTest::addRow("kind %02d", row.kind)
                << row.kind << QString::fromLatin1(row.course) << row.unitId << true << false;
        }
        // Without pictures the window draws its own face and buttons.
        QTest::addRow("kind 04 without pictures")
            << 4 << QStringLiteral("angielski") << 10101 << false << false;
        QTest::addRow("kind 16 without pictures")
            << 16 << QStringLiteral("angielski") << 10101 << false << false;
        // The longest texts a word kind shows in its label (50 characters), and choices of 50.
        QTest::addRow("kind 02 long texts")
            << 2 << QStringLiteral("angielski") << 10101 << true << true;
        QTest::addRow("kind 04 long texts")
            << 4 << QStringLiteral("angielski") << 10101 << true << true;
        QTest::addRow("kind 11 long texts")
            << 11 << QStringLiteral("angielski") << 30101 << true << true;
        QTest::addRow("kind 13 long texts")
            << 13 << QStringLiteral("angielski") << 30101 << true << true;
        QTest::addRow("kind 12 long texts")
            << 12 << QStringLiteral("angielski") << 30101 << true << true;
    }

    void everyKindBeforeAndAfterTheAnswer() {
        // (The long texts make the units' texts distinct only by their first letter.)
        QFETCH(int, kind);
        QFETCH(QString, course);
        QFETCH(int, unitId);
        QFETCH(bool, pictures);
        QFETCH(bool, longTexts);
        Course c(course.toLatin1().constData(), pictures);
        QVERIFY(c.ok);
        if (longTexts) {
            UnitTable& table = c.context.session.db.units;
            for (int n = 1; n <= table.unitCount(); ++n) {
                const char initial = static_cast<char>('A' + n % 26);
                table.unit(n).foreignText =
                    initial + std::string("he quick brown fox jumps over the lazy dog WWWWW!");
                table.unit(n).nativeText =
                    initial + std::string("szystko co widzisz tutaj, to mowa zalezna, WWWWW!");
                if (table.unit(n).unitKind == kSentenceUnit) {
                    table.unit(n).foreignText =
                        "When we finally arrived at the small station in the mountains, the "
                        "last train had already left, so we <had to walk> all the way back "
                        "to the village in the rain, which took us nearly three hours.";
                }
            }
        }
        SessionPlan& plan = c.context.session.plan;
        const UnitTable& units = c.context.session.db.units;
        const int unit = units.IndexOfUnitId(unitId);
        QVERIFY(unit > 0);
        // A second row of the same unit keeps the run open after the answer.
        for (int i = 0; i < 2; ++i) {
            PlanRow row;
            row.unitNumber = unit;
            row.cells[static_cast<std::size_t>(kind)].remaining = 1;
            plan.rows.push_back(row);
        }
        RunnerWindow* w = c.window.get();
        QVERIFY(w->Open(kind));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QString name = QStringLiteral("%1/runner_kind%2%3")
                                 .arg(g_outputDir)
                                 .arg(kind, 2, 10, QChar(u'0'))
                                 .arg(longTexts  ? QStringLiteral("_long")
                                      : pictures ? QString()
                                                 : QStringLiteral("_plain"));
        QVERIFY(w->grab().save(name + QStringLiteral("_a.png")));
        QStringList problems = Problems(w);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));

        // The answer: a wrong choice, a wrong typed text, the reveal of a self-assessment.
        const RunnerState& state = w->runner().state();
        if (Find<QLabel>(w, "L_Odp2")->isVisible()) {
            const QByteArray wrong = "L_Odp" + QByteArray::number(state.correctChoice % 3 + 1);
            QTest::mouseClick(Find<QLabel>(w, wrong.constData()), Qt::LeftButton);
        } else if (auto* field = Find<QLineEdit>(w, "E_Wpisana"); field->isVisible()) {
            QTest::keyClicks(field, QStringLiteral("cokolwiek"));
            QTest::mouseClick(Find<QAbstractButton>(w, "B_OK"), Qt::LeftButton);
        } else if (auto* gap = Find<QLineEdit>(w, "E_Wpis1"); gap->isVisible()) {
            QTest::keyClicks(gap, QStringLiteral("cokolwiek"));
            QTest::mouseClick(Find<QAbstractButton>(w, "B_OK"), Qt::LeftButton);
        } else if (Find<QWidget>(w, "B_Sprawdz")->isVisible()) {
            QTest::mouseClick(Find<QAbstractButton>(w, "B_Sprawdz"), Qt::LeftButton);
        }
        QVERIFY(w->isVisible());
        QVERIFY(w->grab().save(name + QStringLiteral("_b.png")));
        problems = Problems(w);
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
    RunnerGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "runner_gallery_test.moc"
