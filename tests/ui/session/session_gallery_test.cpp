// Pictures of the windows of a learning session in their usual states, written as PNG files to
// the folder named by the first argument (default: the current folder), so that the screens can
// be looked at: the learning window choosing, with its options and drawn, over the repetitions
// due today; the plan window fresh and with a finished kind; the summary with a unit in the
// trash; the statistics, the repetition overview, the kind marks, the example sentences after a
// search and the comment dialog. Each screen is also checked: the visible controls lie inside
// their window, do not overlap one another, their texts are not cut off, buttons of one row are
// drawn alike, and no close button of a window below shows beside the summary's.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "content/sentence_search.h"
#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "screen_check.h"
#include "session/plan_builder.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/examples_window.h"
#include "ui/session/kind_marks_window.h"
#include "ui/session/learning_window.h"
#include "ui/session/plan_window.h"
#include "ui/session/repetition_overview_window.h"
#include "ui/session/statistics_window.h"
#include "ui/session/summary_window.h"
#include "ui/shell/comment_dialog.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

QString g_outputDir = QStringLiteral(".");

constexpr double kToday = 45000.0;

// The panels of the learning window hold controls of their own, and its options panel opens
// over the draw buttons; the amount to repeat stands in the gap of its sentence; the scroll
// buttons of the example sentences belong to their box and may touch its edge.
const dyd::test::ScreenRules kRules = {
    {},
    {QStringLiteral("Panel_P"), QStringLiteral("Panel1")},
    {{QStringLiteral("L_Ile_teraz"), QStringLiteral("CB_Ile_teraz")},
     {QStringLiteral("Pb1"), QStringLiteral("btn_")}},
    {QStringLiteral("Panel1")}};

// Runs action on the next modal window once it shows; closes it with Escape if the action leaves
// it open.
void WhenModal(const std::function<void(QDialog*)>& action) {
    QTimer::singleShot(0, [action] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr) {
            qWarning("no modal window");
            return;
        }
        action(modal);
        if (QApplication::activeModalWidget() == modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
}

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(window, name), Qt::LeftButton);
}

}  // namespace

class SessionGalleryTest : public QObject {
    Q_OBJECT

  private:
    TempDir dir_;
    FixedClock clock_{kToday + 0.4};
    SeededRandom random_{5};
    std::unique_ptr<AppContext> context_;
    // What was wrong with the screens taken inside a modal window's loop.
    QStringList problems_;

    LearnerSession& session() { return context_->session; }

    // Saves the picture of the window as session_<name>.png and notes what is wrong with it.
    void Take(QWidget* window, const QString& name) {
        dyd::test::TakePicture(window, QStringLiteral("%1/session_%2.png").arg(g_outputDir, name),
                               name, kRules, problems_);
    }

    // Takes a window that is shown without its own loop, then hides it.
    void TakeShown(QWidget* window, const QString& name) {
        window->show();
        Take(window, name);
        window->hide();
    }

    // Units 1..45 were learnt and are due today; 15 more fall due on the coming days.
    void LearntBefore() {
        RepetitionStore& store = session().repetitions;
        const UnitTable& units = session().db.units;
        for (int u = 1; u <= 60; ++u) {
            RepetitionRecord& r = store.record(u);
            r.unitId = units.unit(u).unitId;
            r.repetitionNo = 2;
            r.factor = 1.5;
            r.firstDate = kToday - 30 - u;
            r.lastDate = u <= 45 ? kToday - 10 : kToday - 1;
            r.interval = u <= 45 ? 4 : 2 + (u - 46) / 2;
        }
        store.recordHighWater = units.unitCount();
    }

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
    void initTestCase() {
        LinkInstallation(DYD_SAMPLE, dir_.path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_.path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_.path());
        context_->openHelp = [](const QString&) {};
        QCOMPARE(Login(context_->programPaths, "angielski", 1, "Ewa", clock_, session()).status,
                 LoginStatus::Opened);
        QVERIFY(session().db.units.unitCount() > 60);
        session().settings.showSummary = true;
        session().settings.groupIndex = 0;
        LearntBefore();
    }

    void init() { problems_.clear(); }

    // The learning window over the repetitions due today: choosing, its options, drawn; the plan
    // window it opens, fresh and with a finished kind; the summary at the end with a unit moved
    // to the trash.
    void learningPlanAndSummary() {
        PlanWindow plan(*context_);
        SummaryWindow summary(*context_);
        LearningWindow learning(*context_, &plan, [] {});
        learning.SetRandom(&random_);
        plan.SetRunner([this] { AnswerAll(); });
        plan.SetSummary([&summary] { summary.ShowSummary(); });

        learning.show();
        Take(&learning, QStringLiteral("learning_choosing"));
        QVERIFY(Find<QWidget>(&learning, "Panel_P")->isVisible());
        QCOMPARE(Find<QLabel>(&learning, "L_Ile")->text(),
                 QStringLiteral("Do powtórzenia: 45 jednostek."));
        Click(&learning, "K_ustaw");
        QVERIFY(Find<QWidget>(&learning, "Panel1")->isVisible());
        Take(&learning, QStringLiteral("learning_options"));
        Click(&learning, "K_zamknij_ustaw");
        Click(&learning, "K_Losuj");
        QVERIFY(learning.drawn());
        Take(&learning, QStringLiteral("learning_drawn"));

        bool planSeen = false;
        bool summarySeen = false;
        WhenModal([&](QDialog* w) {
            QCOMPARE(w->objectName(), QStringLiteral("TForm8"));
            planSeen = true;
            Take(w, QStringLiteral("plan_fresh"));
            auto* list = Find<QListWidget>(w, "ListBox1");
            QTest::keyClick(list, Qt::Key_Return);  // the first kind, answered by the runner
            QVERIFY(list->item(0)->text().endsWith(QStringLiteral("(0)")));
            Take(w, QStringLiteral("plan_finished_kind"));
            // Closing ends the session and shows the summary.
            WhenModal([&](QDialog* s) {
                QCOMPARE(s->objectName(), QStringLiteral("TForm31"));
                summarySeen = true;
                auto* units = Find<QListWidget>(s, "ListBox1");
                QVERIFY(units->count() >= 2);
                units->setCurrentRow(1);
                Click(s, "K_Do_Kosza");
                QVERIFY(units->item(1)->text().contains(QStringLiteral("(kosz)")));
                units->setCurrentRow(1);
                QVERIFY(Find<QWidget>(s, "K_Przywroc")->isVisible());
                Take(s, QStringLiteral("summary_trash"));
                // The summary stands over the windows of the session it ends: no close button
                // of theirs shows beside its own.
                problems_ << dyd::test::StackedCloseProblems({&learning, w, s});
            });
            QTest::keyClick(list, Qt::Key_Escape);
        });
        Click(&learning, "K_Nauka");
        QVERIFY(planSeen);
        QVERIFY(summarySeen);
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    // The score of an exercise left with rows still to do: the way back shows.
    void statistics() {
        StatisticsWindow window(*context_);
        bool back = false;
        WhenModal([&](QDialog* w) {
            back = Find<QWidget>(w, "K_wroc")->isVisible();
            Take(w, QStringLiteral("statistics"));
        });
        window.ShowScore({.right = 7, .wrong = 3, .planned = 10, .finished = 7});
        QVERIFY(back);
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    void repetitionOverview() {
        RepetitionOverviewWindow window(*context_);
        window.Fill();
        QVERIFY(Find<QListWidget>(&window, "ListBox2")->count() >= 5);
        TakeShown(&window, QStringLiteral("repetition_overview"));
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    void kindMarks() {
        const UnitTable& units = session().db.units;
        int word = 1;
        while (units.unit(word).unitKind != kWordUnit) {
            ++word;
        }
        session().repetitions.chosenKinds[static_cast<std::size_t>(word)][4] = true;
        KindMarksWindow window(*context_);
        window.Fill(word);
        auto* list = Find<QListWidget>(&window, "ListBox1");
        QVERIFY(list->count() >= 4);
        QCOMPARE(list->item(3)->text().left(4), QStringLiteral("4 - "));
        QCOMPARE(list->item(3)->checkState(), Qt::Checked);
        TakeShown(&window, QStringLiteral("kind_marks"));
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    void examplesAfterASearch() {
        ExamplesWindow window(*context_);
        window.Prepare(std::string(), std::string());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Click(&window, "K_szukaj");
        auto* field = Find<QLineEdit>(&window, "E_Szukaj");
        QTest::keyClicks(field, QStringLiteral("the"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!window.textBytes().empty());
        QVERIFY(window.textBytes() != kNothingFound);
        Take(&window, QStringLiteral("examples_search"));
        window.hide();
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    // The checks themselves, on a screen built broken: a text wider than its label, a label too
    // low for its lines, a combo box too narrow for its choice, two buttons over each other, a
    // control out of its window and one out of its panel.
    void checksFindABrokenScreen() {
        QWidget window;
        window.setObjectName(QStringLiteral("Broken"));
        window.resize(300, 200);
        auto* narrow = new QLabel(QStringLiteral("Do powtórzenia: 45 jednostek."), &window);
        narrow->setObjectName(QStringLiteral("Narrow"));
        narrow->setGeometry(10, 10, 60, 30);
        auto* low = new QLabel(QStringLiteral("Uczysz się\nDo nauki"), &window);
        low->setObjectName(QStringLiteral("Low"));
        low->setGeometry(100, 10, 150, 12);
        auto* combo = new QComboBox(&window);
        combo->setObjectName(QStringLiteral("Combo"));
        combo->addItem(QStringLiteral("Wszystkie grupy tematyczne"));
        combo->setGeometry(10, 60, 60, 24);
        auto* first = new QPushButton(QStringLiteral("A"), &window);
        first->setObjectName(QStringLiteral("First"));
        first->setGeometry(100, 60, 40, 24);
        auto* second = new QPushButton(QStringLiteral("B"), &window);
        second->setObjectName(QStringLiteral("Second"));
        second->setGeometry(130, 70, 40, 24);
        auto* outside = new QPushButton(QStringLiteral("C"), &window);
        outside->setObjectName(QStringLiteral("Outside"));
        outside->setGeometry(280, 180, 40, 24);
        auto* panel = new QFrame(&window);
        panel->setObjectName(QStringLiteral("Panel"));
        panel->setGeometry(10, 110, 100, 60);
        auto* inner = new QPushButton(QStringLiteral("D"), panel);
        inner->setObjectName(QStringLiteral("Inner"));
        inner->setGeometry(80, 10, 40, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QStringList problems =
            dyd::test::ScreenProblems(&window, {{}, {QStringLiteral("Panel")}, {}, {}});
        const QStringList expected = {
            QStringLiteral("Narrow cut: Do powtórzenia: 45 jednostek."),
            QStringLiteral("Low too low for its 2 line(s)"),
            QStringLiteral("Combo cut: Wszystkie grupy tematyczne"),
            QStringLiteral("First overlaps Second"),
            QStringLiteral("Outside outside Broken"),
            QStringLiteral("Inner outside Panel"),
        };
        for (const QString& problem : expected) {
            QVERIFY2(problems.contains(problem), qPrintable(problems.join(QStringLiteral("; "))));
        }
        QCOMPARE(problems.size(), expected.size());
        // Told of the overlap, the check lets it be.
        QVERIFY(!dyd::test::ScreenProblems(
                     &window, {{}, {}, {{QStringLiteral("First"), QStringLiteral("Second")}}, {}})
                     .contains(QStringLiteral("First overlaps Second")));
    }

    // The learner's comment on a unit, offered again for editing.
    void comment() {
        CommentDialog dialog(*context_);
        dialog.Prepare(QString(), QStringLiteral("mylę z „borrow” – zapamiętać przykład"), 80);
        TakeShown(&dialog, QStringLiteral("comment"));
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QStringLiteral("; "))));
    }

    // The plan with every kind done says how to end the session: in a learning session beside
    // the presentation button (with the tick, nothing is saved), in a repetition session alone.
    void planWithEveryKindDone() {
        PlanWindow plan(*context_);
        plan.SetRunner([this] { AnswerAll(); });
        const auto finishAll = [](QDialog* w) {
            while (Find<QWidget>(w, "B_OK")->isVisible()) {
                QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Return);
            }
            return Find<QWidget>(w, "L_wykonane")->isVisible();
        };
        const UnitTable& units = session().db.units;
        std::vector<std::int32_t> fresh;
        for (int u = 61; u <= units.unitCount() && fresh.size() < 3; ++u) {
            fresh.push_back(u);
        }
        bool said = false;
        WhenModal([&](QDialog* w) {
            said = finishAll(w);
            Take(w, QStringLiteral("plan_all_done"));
            QTest::mouseClick(Find<QWidget>(w, "CB_Bez_powtorki"), Qt::LeftButton);
            Take(w, QStringLiteral("plan_all_done_unsaved"));
        });
        plan.Open(BuildPlan(fresh, SessionMode::Learning, units, session().db.params,
                            session().settings, session().repetitions, session().plan));
        QVERIFY(said);
        said = false;
        WhenModal([&](QDialog* w) {
            said = finishAll(w);
            Take(w, QStringLiteral("plan_all_done_repetition"));
        });
        plan.Open(BuildPlan(std::vector<std::int32_t>{1, 2, 3}, SessionMode::Repetition, units,
                            session().db.params, session().settings, session().repetitions,
                            session().plan));
        QVERIFY(said);
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
    SessionGalleryTest test;
    return QTest::qExec(&test, static_cast<int>(args.size()), args.data());
}

#include "session_gallery_test.moc"
