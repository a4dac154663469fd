// What the runner window tells the learner beyond the verdict, driven through its controls on a
// copy of the sample installation: a wrong typed answer under the expected one with its letters
// marked, the green mark of a right answer.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/letter_marks_view.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/dialogs.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

struct Session {
    explicit Session(const char* course = "angielski") : context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, course, 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.session.settings.showStatistics = false;
        context.session.settings.f5HintShown = true;
        context.session.settings.interludesAtEndOnly = true;
        window = std::make_unique<RunnerWindow>(context);
        window->SetRandom(random);
        window->SetDialogs(new MessageBox(context, window.get()),
                           new ConfirmationDialog(context, window.get()));
    }

    // A learning plan of the units (by id), each needing `remaining` answers in the kind.
    void Plan(int kind, std::initializer_list<std::int32_t> ids, int remaining = 1) {
        SessionPlan& plan = context.session.plan;
        plan.rows.clear();
        plan.mode = SessionMode::Learning;
        for (std::int32_t id : ids) {
            PlanRow row;
            row.unitNumber = context.session.db.units.IndexOfUnitId(id);
            row.cells[static_cast<std::size_t>(kind)].remaining = remaining;
            plan.rows.push_back(row);
        }
    }

    bool Start(int kind) {
        if (!window->Open(kind)) {
            return false;
        }
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    std::int32_t StepId() const {
        return context.session.db.units.unit(window->runner().state().stepUnit).unitId;
    }

    TempDir dir;
    FixedClock clock{45000.0};
    SeededRandom random{7};
    AppContext context;
    bool ok = false;
    std::unique_ptr<RunnerWindow> window;
};

void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr && window->isAncestorOf(target) ? target : window, key,
                    modifiers);
}

bool Shown(QWidget* window, const char* name) {
    return Find<QWidget>(window, name)->isVisible();
}

// How many pixels of the area have (nearly) this colour.
int PixelsOf(const QImage& image, const QRect& area, const QColor& colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                24) {
                ++count;
            }
        }
    }
    return count;
}

QString MarksOf(const LetterComparison& c) {
    QString out;
    for (const MarkedLetter& l : c.letters) {
        const QString t = QString::fromStdString(l.text);
        switch (l.mark) {
            case LetterMark::Same:
                out += t;
                break;
            case LetterMark::Wrong:
                out += u'[' + t + u']';
                break;
            case LetterMark::Extra:
                out += u'{' + t + u'}';
                break;
            case LetterMark::Missing:
                out += u'(' + t + u')';
                break;
        }
    }
    return out;
}

}  // namespace

class RunnerFeedbackTest : public QObject {
    Q_OBJECT

  private slots:
    void wrongTypedAnswerShowsItsLettersMarked() {
        Session s;
        QVERIFY(s.ok);
        s.Plan(kTypingTranslation, {10101, 10103});
        QVERIFY(s.Start(kTypingTranslation));
        QWidget* w = s.window.get();
        QCOMPARE(s.StepId(), 10101);  // mother
        QVERIFY(!Shown(w, "L_Porownanie") && !Shown(w, "I_Dobrze"));

        QTest::keyClicks(Find<QLineEdit>(w, "E_Wpisana"), QStringLiteral("Mothre"));
        Press(w, Qt::Key_Return);
        QCOMPARE(Find<QLabel>(w, "L_Polecenie")->text(), QStringLiteral("Poprawnie:"));
        auto* marks = Find<LetterMarksView>(w, "L_Porownanie");
        QVERIFY(marks->isVisible());
        QCOMPARE(MarksOf(marks->comparison()), QStringLiteral("[M]oth(e)r{e}"));
        QVERIFY(!Shown(w, "I_Dobrze"));
        // Under the expected answer, clear of the buttons below.
        auto* expected = Find<QLabel>(w, "L_Poprawna");
        QVERIFY(marks->y() >= expected->geometry().bottom());
        QVERIFY(marks->geometry().bottom() < Find<QWidget>(w, "B_OK")->y());
        // Each mark is drawn in its own colour (and shape).
        const QImage picture = w->grab().toImage();
        QVERIFY(PixelsOf(picture, marks->geometry(), LetterMarksView::kWrongInk) > 10);
        QVERIFY(PixelsOf(picture, marks->geometry(), LetterMarksView::kMissingInk) > 10);
        QVERIFY(PixelsOf(picture, marks->geometry(), LetterMarksView::kExtraInk) > 10);

        // Accepted: the answer counts as right and gets the green mark.
        Press(w, Qt::Key_F3);
        QVERIFY(Shown(w, "I_Dobrze"));

        // The next unit starts clean; typed right, only the green mark shows.
        Press(w, Qt::Key_Return);
        QCOMPARE(s.StepId(), 10103);
        QVERIFY(!Shown(w, "L_Porownanie") && !Shown(w, "I_Dobrze"));
        QTest::keyClicks(Find<QLineEdit>(w, "E_Wpisana"), QStringLiteral("brother"));
        Press(w, Qt::Key_Return);
        QCOMPARE(Find<QLabel>(w, "L_Polecenie")->text(), QStringLiteral("Bardzo dobrze!"));
        QVERIFY(Shown(w, "I_Dobrze") && !Shown(w, "L_Porownanie"));
        const QRect mark = Find<QWidget>(w, "I_Dobrze")->geometry();
        QVERIFY(PixelsOf(w->grab().toImage(), mark, QColor(30, 150, 60)) > 50);
    }

    void wrongGapsShowTheirLettersUnderTheSentence() {
        Session s;
        s.Plan(kGapFilling, {30101});
        QVERIFY(s.Start(kGapFilling));
        QWidget* w = s.window.get();
        QTest::keyClicks(Find<QLineEdit>(w, "E_Wpis1"), QStringLiteral("x"));
        Press(w, Qt::Key_Return);
        auto* marks = Find<LetterMarksView>(w, "L_Porownanie");
        QVERIFY(marks->isVisible());
        QVERIFY(marks->comparison().distance > 0);
        QVERIFY(marks->y() >= Find<QWidget>(w, "dxramka")->geometry().bottom());
    }
};

QTEST_MAIN(RunnerFeedbackTest)
#include "runner_feedback_test.moc"
