// What the runner window tells the learner beyond the verdict, driven through its controls on a
// copy of the sample installation: a wrong typed answer under the expected one with its letters
// marked, the green mark of a right answer, the counters and keys the learner can read, and the
// last answer taken back by its key and from the command menu.

#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
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
#include "ui/widgets/image_button.h"
#include "runner_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

struct Session : dyd::test::SampleRunner {
    using SampleRunner::SampleRunner;

    // A learning plan of the units (by id), each needing one answer in the kind.
    void Plan(int kind, const std::vector<std::int32_t>& ids) {
        dyd::test::PlanUnits(context.session.plan, kind,
                             dyd::test::UnitsOf(context.session.db.units, ids));
    }

    bool Start(int kind) { return dyd::test::OpenRun(window.get(), kind); }

    std::int32_t StepId() const {
        return context.session.db.units.unit(window->runner().state().stepUnit).unitId;
    }
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

    void countersAndKeysAreLabelled() {
        Session s;
        s.Plan(kTranslationChoice, {10101, 10102, 10103});
        QVERIFY(s.Start(kTranslationChoice));
        QWidget* w = s.window.get();
        const auto text = [w](const char* name) { return Find<QLabel>(w, name)->text(); };
        QCOMPARE(text("L_Pozycja"), QStringLiteral("1 / 3"));
        QCOMPARE(text("L_Pozycja_opis"), QStringLiteral("Krok"));
        QCOMPARE(text("L_Stat1_opis"), QStringLiteral("Dobrze"));
        QCOMPARE(text("L_Stat2_opis"), QStringLiteral("Źle"));
        QCOMPARE(text("L_Stat3_opis"), QStringLiteral("Postęp"));
        for (const char* name : {"L_Stat1", "L_Stat2", "L_Stat3", "L_Pozycja"}) {
            QVERIFY2(!Find<QWidget>(w, name)->toolTip().isEmpty(), name);
            // Each caption stands right over its figure.
            const QByteArray caption = QByteArray(name) + "_opis";
            const QRect over = Find<QWidget>(w, caption.constData())->geometry();
            const QRect figure = Find<QWidget>(w, name)->geometry();
            QVERIFY2(over.bottom() < figure.top() && figure.top() - over.bottom() < 8, name);
        }
        // The choices carry their keys: each marker shows its own number.
        QImage previous;
        for (int n = 1; n <= 4; ++n) {
            static const char* const kMarkers[] = {"Wyr1", "Wyr2", "wyr3", "wyr4"};
            auto* marker = Find<QLabel>(w, kMarkers[n - 1]);
            QCOMPARE(marker->toolTip(), QStringLiteral("Klawisz %1").arg(n));
            const QImage picture = marker->pixmap().toImage();
            QVERIFY(picture != previous);
            previous = picture;
        }
        // A wrong answer leaves the position, a right one moves it on.
        Press(w,
              static_cast<Qt::Key>(Qt::Key_0 + s.window->runner().state().correctChoice % 4 + 1));
        Press(w, Qt::Key_Return);
        QCOMPARE(text("L_Pozycja"), QStringLiteral("1 / 3"));
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + s.window->runner().state().correctChoice));
        Press(w, Qt::Key_Return);
        QCOMPARE(text("L_Pozycja"), QStringLiteral("2 / 3"));
    }

    void selfAssessmentButtonsShowTheirKeys() {
        Session s;
        s.Plan(kSelfAssessment, {10101, 10102});
        QVERIFY(s.Start(kSelfAssessment));
        QWidget* w = s.window.get();
        Press(w, Qt::Key_Return);
        auto* knew = Find<ImageButton>(w, "B_Umiesz");
        auto* didNot = Find<ImageButton>(w, "B_Nie_umiesz");
        QVERIFY(knew->isVisible() && didNot->isVisible());
        QCOMPARE(knew->keyHint(), QStringLiteral("1"));
        QCOMPARE(didNot->keyHint(), QStringLiteral("2"));
        QCOMPARE(knew->accessibleName(), QStringLiteral("1 Umiem"));
        QCOMPARE(didNot->accessibleName(), QStringLiteral("2 Nie umiem"));
        // The key cap is painted over the button's picture.
        const QImage plain = s.context.images.Frame(knew->imageIndex(), 0).toImage();
        QImage drawn = knew->grab().toImage().convertToFormat(plain.format());
        QVERIFY(!plain.isNull());
        QVERIFY(drawn != plain);
        // And the key does what the cap says.
        Press(w, Qt::Key_2);
        QCOMPARE(s.window->runner().state().wrongCount, 1);
    }

    void lastAnswerTakenBackByKeyAndFromTheMenu() {
        Session s;
        s.Plan(kTypingTranslation, {10101, 10103});
        QVERIFY(s.Start(kTypingTranslation));
        QWidget* w = s.window.get();
        auto* field = Find<QLineEdit>(w, "E_Wpisana");
        auto* undo = Find<QLabel>(w, "K_Cofnij");
        QVERIFY(!undo->isEnabled());
        QCOMPARE(s.StepId(), 10101);
        QTest::keyClicks(field, QStringLiteral("mothre"));
        Press(w, Qt::Key_Return);
        QVERIFY(undo->isEnabled());
        Press(w, Qt::Key_Return);  // on to the next unit
        QCOMPARE(s.StepId(), 10103);
        QTest::keyClicks(field, QStringLiteral("bro"));

        // Alt+Backspace in the answer field brings the wrong answer's step back, empty.
        Press(w, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(s.StepId(), 10101);
        QVERIFY(field->isVisible() && field->hasFocus() && field->text().isEmpty());
        QVERIFY(!Shown(w, "K_Zaakceptuj") && !Shown(w, "L_Porownanie"));
        QCOMPARE(Find<QLabel>(w, "L_Stat2")->text(), QStringLiteral(" 0"));
        QVERIFY(!undo->isEnabled());
        PlanEntry& cell = s.context.session.plan.rows[0].cells[kTypingTranslation];
        QCOMPARE(cell.attempts, 0);

        // Typed right now; then taken back from the command menu.
        QTest::keyClicks(field, QStringLiteral("mother"));
        Press(w, Qt::Key_Return);
        QCOMPARE(Find<QLabel>(w, "L_Stat1")->text(), QStringLiteral(" 1"));
        QCOMPARE(cell.done, 1);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(Find<QWidget>(w, "K_menu"), &enter);
        QVERIFY(Shown(w, "Panel_menu") && undo->isVisible() && undo->isEnabled());
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY(!Shown(w, "Panel_menu"));
        QCOMPARE(s.StepId(), 10101);
        QCOMPARE(cell.done, 0);
        QCOMPARE(cell.attempts, 0);
        QCOMPARE(Find<QLabel>(w, "L_Stat1")->text(), QStringLiteral(" 0"));
        QVERIFY(field->isVisible());

        // Ctrl+Z keeps its own work (reset of a learnt unit, else the field's own undo): it
        // takes no answer back.
        QTest::keyClicks(field, QStringLiteral("mother"));
        Press(w, Qt::Key_Return);
        Press(w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cell.done, 1);
        QVERIFY(Shown(w, "I_Dobrze"));
    }
};

QTEST_MAIN(RunnerFeedbackTest)
#include "runner_feedback_test.moc"
