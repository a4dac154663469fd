// Minimising the program (the runner's K_Minim minimises every window) and bringing it back must
// leave the learning window and the plan window as they were: each of their states is taken
// before a minimise and a restore and compared after it, and the whole way from the draw through
// the runner's minimise button and back to the learning window is driven as a learner would.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"
#include "ui/session/learning_window.h"
#include "ui/session/plan_window.h"
#include "ui/shell/dialogs.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

constexpr double kToday = 45000.0;

// Every window of the program goes down, as the runner's minimise button does it, and comes back
// as the desktop brings it back.
void MinimiseAndRestore() {
    QWidgetList minimised;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            widget->showMinimized();
            minimised.append(widget);
        }
    }
    QApplication::processEvents();
    for (QWidget* widget : minimised) {
        widget->showNormal();
    }
    QApplication::processEvents();
}

// What the learner sees of a window: each named control shown or not, its text, choice, tick
// or list.
QStringList Looks(QWidget* window) {
    QStringList looks;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) {
            continue;
        }
        QString look = name + (child->isVisibleTo(window) ? QStringLiteral(" shown") : QString());
        if (auto* label = qobject_cast<QLabel*>(child)) {
            look += QStringLiteral(" \"") + label->text() + QLatin1Char('"');
        } else if (auto* box = qobject_cast<QComboBox*>(child)) {
            look += QStringLiteral(" [%1 of %2]").arg(box->currentText()).arg(box->count());
        } else if (auto* tick = qobject_cast<QCheckBox*>(child)) {
            look += tick->isChecked() ? QStringLiteral(" ticked") : QString();
        } else if (auto* list = qobject_cast<QListWidget*>(child)) {
            for (int row = 0; row < list->count(); ++row) {
                look += (row == list->currentRow() ? QStringLiteral(" >") : QStringLiteral(" ")) +
                        list->item(row)->text();
            }
        }
        looks.append(look);
    }
    looks.append(window->windowTitle());
    return looks;
}

// The looks of the window after a minimise and a restore are those before (the test stops at the
// first state that broke, see SAME_AFTER_MINIMISE).
void ExpectSameAfterMinimise(QWidget* window, const QString& state) {
    const QStringList before = Looks(window);
    MinimiseAndRestore();
    const QStringList after = Looks(window);
    for (qsizetype i = 0; i < std::min(before.size(), after.size()); ++i) {
        QVERIFY2(before[i] == after[i], qPrintable(state + QStringLiteral(": ") + before[i] +
                                                   QStringLiteral(" became ") + after[i]));
    }
    QCOMPARE(after.size(), before.size());
}

#define SAME_AFTER_MINIMISE(window, state)      \
    do {                                        \
        ExpectSameAfterMinimise(window, state); \
        if (QTest::currentTestFailed()) {       \
            return;                             \
        }                                       \
    } while (false)

}  // namespace

class MinimiseRestoreTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<PlanWindow> plan_;
    std::unique_ptr<LearningWindow> learning_;
    SeededRandom random_{11};

    LearnerSession& session() { return context_->session; }

    // The runner: every row of the current kind answered right.
    void AnswerAll() {
        SessionPlan& plan = session().plan;
        for (PlanRow& row : plan.rows) {
            PlanEntry& cell = row.cells[static_cast<std::size_t>(plan.currentKind)];
            if (cell.remaining > 0) {
                cell.attempts += cell.remaining;
                cell.remaining = 0;
                cell.done = 1;
            }
        }
    }

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        LinkInstallation(DYD_SAMPLE, dir_->path());
        clock_ = std::make_unique<FixedClock>(kToday + 0.4);
        context_ = std::make_unique<AppContext>(*clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_->path());
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", *clock_, session()).status,
                 LoginStatus::Opened);
        session().settings.showStatistics = false;
        session().settings.f5HintShown = true;
        session().settings.interludesAtEndOnly = true;
        plan_ = std::make_unique<PlanWindow>(*context_);
        learning_ = std::make_unique<LearningWindow>(*context_, plan_.get(), [] {});
        learning_->SetRandom(&random_);
    }

    void cleanup() {
        learning_.reset();
        plan_.reset();
        context_.reset();
        dir_.reset();
    }

    // The way of the learner: sentences drawn, the plan started, a kind started, the runner's
    // minimise button, the program brought back, the runner and the plan closed. The learning
    // window still offers the batch to go on with, not the choice of a new one.
    void minimisingTheRunnerKeepsTheDrawnBatch() {
        RunnerWindow runner(*context_);
        runner.SetRandom(random_);
        auto* messages = new MessageBox(*context_, &runner);
        auto* confirmation = new ConfirmationDialog(*context_, &runner);
        runner.SetDialogs(messages, confirmation);
        plan_->SetRunner([&] { runner.RunKind(session().plan.currentKind); });

        learning_->show();
        QVERIFY(QTest::qWaitForWindowExposed(learning_.get()));
        Click(learning_.get(), "K_Losuj_z");
        QVERIFY(learning_->drawn());
        bool runnerSeen = false;
        bool tickKept = false;
        WhenModal([&](QDialog* plan) {
            QTest::mouseClick(Find<QCheckBox>(plan, "CB_Bez_powtorki"), Qt::LeftButton);
            WhenModal([&](QDialog* shown) {
                runnerSeen = shown == &runner;
                Click(shown, "K_Minim");
                QApplication::processEvents();
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (widget->isMinimized()) {
                        widget->showNormal();
                    }
                }
                QApplication::processEvents();
                Click(shown, "K_Koniec");
            });
            QTest::keyClick(Find<QListWidget>(plan, "ListBox1"), Qt::Key_Return);
            tickKept = Find<QCheckBox>(plan, "CB_Bez_powtorki")->isChecked();
        });
        Click(learning_.get(), "K_Nauka");
        QVERIFY(runnerSeen);
        QVERIFY(tickKept);
        QVERIFY(learning_->drawn());
        for (const char* name : {"K_Nauka", "K_losuj_nowe"}) {
            QVERIFY2(Shown(learning_.get(), name), name);
        }
        for (const char* name : {"CB_Gr_Tem", "K_Losuj", "K_Losuj_z", "K_ustaw"}) {
            QVERIFY2(!Shown(learning_.get(), name), name);
        }
    }

    // Each state of the learning window, and the plan window over it in each of its states while
    // a kind runs, come back from a minimise as they were.
    void eachStateSurvivesMinimiseAndRestore() {
        QWidget* w = learning_.get();
        learning_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));

        // Choosing, in a group other than the one the settings remember.
        auto* groups = Find<QComboBox>(w, "CB_Gr_Tem");
        groups->setCurrentIndex(groups->findText(QStringLiteral("Dom")));
        SAME_AFTER_MINIMISE(w, QStringLiteral("choosing"));
        // The options open, with a mode chosen but not confirmed.
        Click(w, "K_ustaw");
        Find<QComboBox>(w, "CB_tryb_nauki")->setCurrentIndex(1);
        SAME_AFTER_MINIMISE(w, QStringLiteral("options"));
        Click(w, "K_zamknij_ustaw");
        // Drawn.
        Click(w, "K_Losuj");
        QVERIFY(learning_->drawn());
        SAME_AFTER_MINIMISE(w, QStringLiteral("drawn"));

        // The plan window, over which the program goes down while a kind runs: fresh with the
        // learner's tick, then with a finished kind and another selected, then with every kind
        // done.
        int runs = 0;
        plan_->SetRunner([&] {
            ++runs;
            AnswerAll();
            MinimiseAndRestore();
        });
        QStringList problems;
        WhenModal([&](QDialog* plan) {
            auto* list = Find<QListWidget>(plan, "ListBox1");
            QTest::mouseClick(Find<QCheckBox>(plan, "CB_Bez_powtorki"), Qt::LeftButton);
            SAME_AFTER_MINIMISE(plan, QStringLiteral("plan fresh"));
            QTest::keyClick(list, Qt::Key_Return);
            if (!Find<QCheckBox>(plan, "CB_Bez_powtorki")->isChecked()) {
                problems << QStringLiteral("the tick was lost while the kind ran");
            }
            list->setCurrentRow(2);
            SAME_AFTER_MINIMISE(plan, QStringLiteral("plan with a finished kind"));
            while (Shown(plan, "B_OK")) {
                QTest::keyClick(list, Qt::Key_Return);
            }
            SAME_AFTER_MINIMISE(plan, QStringLiteral("plan done"));
            QTest::mouseClick(Find<QCheckBox>(plan, "CB_Bez_powtorki"), Qt::LeftButton);
            QTest::keyClick(list, Qt::Key_Escape);
        });
        Click(w, "K_Nauka");
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QVERIFY(runs > 1);
        // Back in the learning window: the session is over, the batch stays drawn.
        QVERIFY(learning_->drawn());
        QVERIFY(!Shown(w, "K_Losuj"));
        QVERIFY(!Shown(w, "CB_Gr_Tem"));
        SAME_AFTER_MINIMISE(w, QStringLiteral("after the session"));
        Click(w, "K_losuj_nowe");
        SAME_AFTER_MINIMISE(w, QStringLiteral("choosing again"));
    }

    // The desktop may bring back the runner alone: once it closes, the plan comes back, and the
    // learning window once the plan closes.
    void windowsLeftMinimisedComeBackWithTheWindowOverThem() {
        learning_->show();
        QVERIFY(QTest::qWaitForWindowExposed(learning_.get()));
        Click(learning_.get(), "K_Losuj");
        plan_->SetRunner([this] {
            AnswerAll();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible()) {
                    widget->showMinimized();
                }
            }
            QApplication::processEvents();
        });
        bool planBack = false;
        WhenModal([&](QDialog* plan) {
            QTest::keyClick(Find<QListWidget>(plan, "ListBox1"), Qt::Key_Return);
            planBack = !plan->isMinimized();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible() && widget != plan) {
                    widget->showMinimized();
                }
            }
            QApplication::processEvents();
        });
        Click(learning_.get(), "K_Nauka");
        QVERIFY(planBack);
        QVERIFY(!learning_->isMinimized());
        QVERIFY(learning_->drawn());
        QVERIFY(Shown(learning_.get(), "K_Nauka"));
    }
};

QTEST_MAIN(MinimiseRestoreTest)
#include "minimise_restore_test.moc"
