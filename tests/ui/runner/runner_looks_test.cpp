// How the exercise runner reads on the sample installation: the counters and the menu command on
// every exercise background (with and without the strip, the menu under the mouse as well), the
// lines the window writes at the top left over every background, the prompt of the
// self-assessment kinds in the middle of the exercise column, and the answer popup with a long
// answer.

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <filesystem>
#include <memory>
#include <set>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "support.h"
#include "runner_driving.h"
#include "ui/app_context.h"
#include "ui/runner/answer_popup.h"
#include "ui/runner/runner_window.h"
#include "ui/runner/sentence_box.h"
#include "ui/shell/dialogs.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

struct Course : dyd::test::SampleRunner {
    Course() : SampleRunner("angielski", 11) {}

    // Opens the runner in kind on the unit, planned twice so that the run stays open.
    bool Open(int kind, std::int32_t unitId) {
        SessionPlan& plan = context.session.plan;
        plan.rows.clear();
        const int unit = context.session.db.units.IndexOfUnitId(unitId);
        for (int i = 0; i < 2; ++i) {
            PlanRow row;
            row.unitNumber = unit;
            row.cells[static_cast<std::size_t>(kind)].remaining = 1;
            plan.rows.push_back(row);
        }
        if (unit <= 0 || !window->Open(kind)) {
            return false;
        }
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
};

void Hover(QWidget* widget, bool on) {
    if (on) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
    }
}

// The columns of the picture in which some pixel of the rows is dark (text ink).
std::pair<int, int> InkColumns(const QImage& image, int top, int bottom) {
    int left = image.width();
    int right = -1;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 70) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

}  // namespace

class RunnerLooksTest : public QObject {
    Q_OBJECT

  private slots:
    // F4 goes through the backgrounds: on each the counters and "Menu" read, also with the mouse
    // over "Menu" (which turns a lighter colour on the strip's dark blue).
    void countersAndMenuReadOnEveryBackground() {
        Course c;
        QVERIFY(c.ok);
        QVERIFY(c.Open(4, 10101));
        RunnerWindow* w = c.window.get();
        const QStringList names = {QStringLiteral("L_Stat1"), QStringLiteral("L_Stat2"),
                                   QStringLiteral("L_Stat3"), QStringLiteral("K_menu")};
        std::set<std::string> seen;
        bool stripless = false;
        for (int i = 0; i < 40; ++i) {
            const std::string path = w->runner().view().background.path;
            if (seen.insert(path).second) {
                stripless = stripless || !Find<QLabel>(w, "Image2")->isVisible();
                QStringList problems = dyd::test::LowContrastTexts(w, names);
                Hover(Find<QLabel>(w, "K_menu"), true);
                problems << dyd::test::LowContrastTexts(w, {QStringLiteral("K_menu")});
                Hover(Find<QLabel>(w, "K_menu"), false);
                QVERIFY2(problems.isEmpty(),
                         qPrintable(QString::fromStdString(path) + QStringLiteral(": ") +
                                    problems.join(QStringLiteral("; "))));
            }
            QTest::keyClick(w, Qt::Key_F4);
        }
        QVERIFY2(seen.size() >= 9, "not every background was seen");
        QVERIFY(stripless);
    }

    // The repetition line and the banner are written at the top left: no background draws
    // anything there that would run through them.
    void theTopLeftOfEveryBackgroundIsQuiet() {
        const QDir folder(QStringLiteral(DYD_SAMPLE "/cw_tla_s"));
        const QStringList files = folder.entryList(QDir::Files);
        QVERIFY(files.size() >= 9);
        for (const QString& file : files) {
            const QImage image(folder.filePath(file));
            QVERIFY2(!image.isNull(), qPrintable(file));
            // L_Powtorki: 16, 38, 260 x 16, and the banner above it.
            const QRect area(16, 6, 260, 48);
            double sum = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    sum += qGray(image.pixel(x, y));
                }
            }
            const double mean = sum / (area.width() * area.height());
            int marked = 0;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    marked += std::abs(qGray(image.pixel(x, y)) - mean) > 24 ? 1 : 0;
                }
            }
            QVERIFY2(marked == 0,
                     qPrintable(file + QStringLiteral(": %1 marked pixels").arg(marked)));
        }
    }

    // Kinds 16 and 17 show their prompt in the sentence box at its place; its line stands in the
    // middle of the column, as the word label of the other kinds does.
    void selfAssessmentPromptStandsInTheMiddle_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("unitId");
        QTest::newRow("word self-assessment") << 16 << 10101;
        QTest::newRow("question/answer mode") << 17 << 50101;
    }

    void selfAssessmentPromptStandsInTheMiddle() {
        QFETCH(int, kind);
        QFETCH(int, unitId);
        Course c;
        QVERIFY(c.ok);
        QVERIFY(c.Open(kind, unitId));
        RunnerWindow* w = c.window.get();
        auto* box = Find<SentenceBox>(w, "dxramka");
        QVERIFY(box->isVisible());
        QCOMPARE(box->lines(), 1);
        const QImage picture = w->grab(box->geometry()).toImage();
        const auto [left, right] = InkColumns(picture, 0, box->drawnHeight());
        QVERIFY(right > left);
        const int middle = (left + right) / 2;
        QVERIFY2(std::abs(middle - box->width() / 2) <= 4,
                 qPrintable(QStringLiteral("ink from %1 to %2 in a box %3 wide")
                                .arg(left)
                                .arg(right)
                                .arg(box->width())));
    }

    // A long answer in the popup takes a smaller font: every line stands in the label.
    void answerPopupShowsALongAnswerWhole() {
        Course c;
        QVERIFY(c.ok);
        AnswerPopup popup(c.context);
        const QString answer = QStringLiteral(
            "When we finally arrived at the small station in the mountains, the last train had "
            "already left, so we had to walk all the way back to the village in the rain, which "
            "took us nearly three hours and left us cold and tired.");
        popup.ShowAnswer(answer);
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        QCOMPARE(popup.answerText(), answer);
        const QStringList problems = dyd::test::ScreenProblems(&popup);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        // A short answer is shown in the large font again.
        popup.ShowAnswer(QStringLiteral("went"));
        QCOMPARE(Find<QLabel>(&popup, "L_Odp")->font().pixelSize(), 22);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RunnerLooksTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "runner_looks_test.moc"
