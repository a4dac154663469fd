// The counters of an exercise through the program's own windows: a self-assessment kind is left
// with Escape and taken up again, the statistics window's figures and its way back are read
// after each run, and the runner's side counters are compared with them when the last answer
// ends the run. The result of a named set is read back from the history file.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/history.h"
#include "core/login.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "program_trainer.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/startup.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;
constexpr const char* kSetKey = "1abc1";

QString TextOf(QWidget* window, const char* name) {
    return Find<QLabel>(window, name)->text();
}

// What the statistics window showed, and the runner's side counters behind it at that moment.
struct Score {
    QString right, wrong, percent, progress;
    bool backShown = false;
    QString sideRight, sideWrong, sidePercent;
};

// Reads the statistics window whenever it opens and leaves it with B_OK, or with K_wroc when
// asked to go back.
class StatisticsWatch {
  public:
    explicit StatisticsWatch(QWidget* runner) : runner_(runner) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    std::vector<Score> scores;
    bool goBack = false;

  private:
    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal->objectName() != QStringLiteral("TForm25")) {
            return;
        }
        Score score;
        score.right = TextOf(modal, "l_Stat1");
        score.wrong = TextOf(modal, "L_Stat2");
        score.percent = TextOf(modal, "L_Stat3");
        score.progress = TextOf(modal, "L_stat4");
        score.backShown = Find<QWidget>(modal, "K_wroc")->isVisible();
        score.sideRight = TextOf(runner_, "L_Stat1");
        score.sideWrong = TextOf(runner_, "L_Stat2");
        score.sidePercent = TextOf(runner_, "L_Stat3");
        scores.push_back(score);
        const bool back = goBack && score.backShown;
        goBack = false;
        QTest::mouseClick(Find<QAbstractButton>(modal, back ? "K_wroc" : "B_OK"), Qt::LeftButton);
    }

    QWidget* runner_;
    QTimer timer_;
};

// The program with a learner logged in, the statistics on and intensity 0.
struct Trainer : dyd::test::ProgramTrainer {
    Trainer() : ProgramTrainer(kToday) {
        session().settings.showStatistics = true;
        session().settings.intensity = 0;
    }

    // The first count words of the course, each needing one answer in kind.
    void Plan(int kind, int count) {
        std::vector<int> words;
        for (int n = 1;
             n <= session().db.units.unitCount() && static_cast<int>(words.size()) < count; ++n) {
            if (session().db.units.unit(n).unitKind == kWordUnit) {
                words.push_back(n);
            }
        }
        ProgramTrainer::Plan(kind, words);
    }

    // Enter shows the answer, then 1 (knew it) or 2 (did not).
    void Answer(bool knew) {
        Press(Qt::Key_Return);
        Press(knew ? Qt::Key_1 : Qt::Key_2);
    }
};

}  // namespace

class RunnerCountersTest : public QObject {
    Q_OBJECT

  private slots:
    void resumedRunsCountTheirOwnRowsAndTheLastAnswerShows() {
        Trainer p;
        QVERIFY2(p.ok, qPrintable(p.boxes.join(QLatin1Char('\n'))));
        p.session().history.records.push_back(
            MakeCatalogueEntry(kSetKey, "Zestaw", kWordSetCategory, kToday));
        p.session().currentSet.setKey = kSetKey;
        p.Plan(kSelfAssessment, 5);
        QCOMPARE(p.session().plan.rowCount(), 5);
        StatisticsWatch watch(p.runner());

        // Two of five, then Escape.
        QVERIFY(p.Start(kSelfAssessment));
        p.Answer(true);
        p.Answer(true);
        p.Press(Qt::Key_Escape);
        QVERIFY(!p.runner()->isVisible());
        QCOMPARE(watch.scores.size(), std::size_t{1});
        QCOMPARE(watch.scores[0].right, QStringLiteral(" 2"));
        QCOMPARE(watch.scores[0].percent, QStringLiteral(" 40 %"));
        QCOMPARE(watch.scores[0].progress, QStringLiteral(" 2 / 5"));
        QVERIFY(watch.scores[0].backShown);

        // Taken up again: the three rows left are this run's; one answered, then Escape.
        QVERIFY(p.Start(kSelfAssessment));
        p.Answer(true);
        p.Press(Qt::Key_Escape);
        QCOMPARE(watch.scores.size(), std::size_t{2});
        QCOMPARE(watch.scores[1].right, QStringLiteral(" 1"));
        QCOMPARE(watch.scores[1].progress, QStringLiteral(" 1 / 3"));
        QVERIFY(watch.scores[1].backShown);

        // A third run left after one step answered wrong: nothing of it is finished, and the
        // way back leads to the same exercise.
        QVERIFY(p.Start(kSelfAssessment));
        p.Answer(false);
        watch.goBack = true;
        p.Press(Qt::Key_Escape);
        QCOMPARE(watch.scores.size(), std::size_t{3});
        QCOMPARE(watch.scores[2].wrong, QStringLiteral(" 1"));
        QCOMPARE(watch.scores[2].progress, QStringLiteral(" 0 / 2"));
        QVERIFY(watch.scores[2].backShown);
        QVERIFY(p.runner()->isVisible());

        // The last two answers end the run: the side counters behind the score hold them.
        p.Answer(true);
        p.Answer(true);
        QVERIFY(!p.runner()->isVisible());
        QCOMPARE(watch.scores.size(), std::size_t{4});
        const Score& last = watch.scores[3];
        QCOMPARE(last.right, QStringLiteral(" 2"));
        QCOMPARE(last.wrong, QStringLiteral(" 1"));
        QCOMPARE(last.percent, QStringLiteral(" 66 %"));
        QCOMPARE(last.progress, QStringLiteral(" 2 / 2"));
        QVERIFY(!last.backShown);
        QCOMPARE(last.sideRight, last.right);
        QCOMPARE(last.sideWrong, last.wrong);
        QCOMPARE(last.sidePercent, last.percent);

        // Every score read showed no more finished than planned.
        for (const Score& score : watch.scores) {
            const QStringList parts = score.progress.trimmed().split(QStringLiteral(" / "));
            QCOMPARE(parts.size(), 2);
            QVERIFY2(parts[0].toInt() <= parts[1].toInt(), qPrintable(score.progress));
        }

        // The set: the first run's result, then the last run's, which covered all its rows.
        const ExerciseHistory saved = ParseHistory(ReadBytes(HistoryFilePath(p.session().paths)));
        std::vector<HistoryRecord> records;
        for (const HistoryRecord& record : saved.records) {
            if (record.id == kSetKey) {
                records.push_back(record);
            }
        }
        QCOMPARE(records.size(), std::size_t{1});
        QCOMPARE(int(records[0].kind), kSelfAssessment);
        QCOMPARE(records[0].count, 2);
        QCOMPARE(int(records[0].percent), 67);
        QCOMPARE(int(records[0].complete), 1);
    }
};

QTEST_MAIN(RunnerCountersTest)
#include "runner_counters_test.moc"
