// The plan window driven through its controls on a learner of the small fixture database: the
// list of kinds with finished kinds in grey, starting a kind with Enter or a double click, the
// keys, and what closing does to the repetition records on disk.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/repetitions.h"
#include "core/scheduling.h"
#include "find_control.h"
#include "session/plan_builder.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/plan_window.h"
#include "ui/shell/progress_window.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

constexpr double kToday = 45000.0;

QStringList Items(QWidget* window) {
    QStringList items;
    auto* list = Find<QListWidget>(window, "ListBox1");
    for (int i = 0; i < list->count(); ++i) {
        items.append(list->item(i)->text());
    }
    return items;
}

// The colours the list paints in the row of an item.
QSet<QRgb> RowColours(QListWidget* list, int row) {
    const QImage image = list->viewport()->grab().toImage();
    const QRect area = list->visualItemRect(list->item(row));
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

// The darkest grey level among the colours (text is drawn smoothed, so its own ink shows only
// where a stroke covers a whole pixel).
int Darkest(const QSet<QRgb>& colours) {
    int darkest = 255;
    for (const QRgb colour : colours) {
        darkest = std::min(darkest, qGray(colour));
    }
    return darkest;
}

}  // namespace

class PlanWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<PlanWindow> window_;
    int runs_ = 0;
    int summaries_ = 0;

    LearnerSession& session() { return context_->session; }
    std::string LiveFile() { return session().paths.userDir + "angtest.p"; }

    // Plans the first count units of the database for learning.
    std::string Plan(int count, SessionMode mode = SessionMode::Learning) {
        std::vector<std::int32_t> units;
        for (int u = 1; u <= count; ++u) {
            units.push_back(u);
        }
        return BuildPlan(units, mode, session().db.units, session().db.params, session().settings,
                         session().repetitions, session().plan);
    }

    // The runner: answers every row of the current kind right.
    void AnswerAll() {
        ++runs_;
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
        dyd::test::CopyFixture("mini", dir_->path());
        clock_ = std::make_unique<FixedClock>(kToday + 0.5);
        context_ = std::make_unique<AppContext>(*clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_->path());
        QCOMPARE(Login(context_->programPaths, "angtest", 1, "Ewa", *clock_, session()).status,
                 LoginStatus::Opened);
        QVERIFY(session().db.units.unitCount() >= 6);
        window_ = std::make_unique<PlanWindow>(*context_);
        window_->SetRunner([this] { AnswerAll(); });
        window_->SetSummary([this] { ++summaries_; });
        runs_ = 0;
        summaries_ = 0;
    }

    void cleanup() {
        window_.reset();
        context_.reset();
        dir_.reset();
    }

    void listShowsKindsAndGreysFinishedOnes() {
        Settings& settings = session().settings;
        settings.learningKinds[1].fill(false);
        settings.learningKinds[1][2] = true;
        settings.learningKinds[1][4] = true;
        settings.learningKinds[1][16] = true;
        const std::string info = Plan(3);
        QStringList before;
        QStringList after;
        bool startHidden = false;
        WhenModal([&](QDialog* w) {
            QCOMPARE(w->objectName(), QStringLiteral("TForm8"));
            QCOMPARE(w->windowTitle(), QStringLiteral("Rodzaje ćwiczeń"));
            QVERIFY(
                Find<QLabel>(w, "l_stat")->text().startsWith(QStringLiteral("Wybrano 3 w tym:\n")));
            QVERIFY(Find<QCheckBox>(w, "CB_Bez_powtorki")->isVisible());
            QCOMPARE(Find<QLabel>(w, "Label1")->text(), QStringLiteral("Nie wyznaczaj powtórek"));
            QVERIFY(Find<QAbstractButton>(w, "K_Prezentacja")->isVisible());
            QVERIFY(Find<QAbstractButton>(w, "B_OK")->isVisible());
            auto* list = Find<QListWidget>(w, "ListBox1");
            QVERIFY(QTest::qWaitForWindowActive(w));
            QCOMPARE(w->focusWidget(), list);
            before = Items(w);
            QTest::keyClick(list, Qt::Key_Return);  // starts the selected (first) kind
            after = Items(w);
            QCOMPARE(list->currentRow(), 1);
            // Finished: grey on white; selected: white on navy.
            const QSet<QRgb> finished = RowColours(list, 0);
            QVERIFY(finished.contains(qRgb(255, 255, 255)));
            QCOMPARE(Darkest(finished), 128);
            const QSet<QRgb> selected = RowColours(list, 1);
            QVERIFY(selected.contains(qRgb(0, 0, 128)));
            QVERIFY(selected.contains(qRgb(255, 255, 255)));
            QVERIFY(Darkest(RowColours(list, 2)) < 40);
            // The finished item can be selected but not started.
            list->setCurrentRow(0);
            startHidden = !Find<QAbstractButton>(w, "B_OK")->isVisible();
            QTest::keyClick(list, Qt::Key_Return);
        });
        window_->Open(info);
        QCOMPARE(runs_, 1);
        QVERIFY(startHidden);
        QCOMPARE(before, (QStringList{QStringLiteral(" - Rozumienie tekstu (3)"),
                                      QStringLiteral(" - Wybór tłumaczenia (3)"),
                                      QStringLiteral(" - Samoocena (3)")}));
        QCOMPARE(after, (QStringList{QStringLiteral(" - Rozumienie tekstu (0)"),
                                     QStringLiteral(" - Wybór tłumaczenia (3)"),
                                     QStringLiteral(" - Samoocena (3)")}));
        QCOMPARE(window_->stepId(), 2);
    }

    void doubleClickStartsAndFinishingEverythingKeepsTheListUntilClosed() {
        const std::string info = Plan(4);
        int itemsLeft = -1;
        WhenModal([&](QDialog* w) {
            auto* list = Find<QListWidget>(w, "ListBox1");
            while (Find<QAbstractButton>(w, "B_OK")->isVisible()) {
                const QRect area = list->visualItemRect(list->currentItem());
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, area.center());
            }
            itemsLeft = list->count();
            QVERIFY(w->isVisible());
        });
        window_->Open(info);
        QVERIFY(runs_ > 1);
        QCOMPARE(itemsLeft, runs_);
        QVERIFY(!PlanHasWorkLeft(session().plan));
    }

    void closingSchedulesAndSavesTheRecords() {
        session().settings.showSummary = true;
        const std::string info = Plan(2);
        WhenModal(
            [](QDialog* w) { QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Enter); });
        QVERIFY(!std::filesystem::exists(LiveFile()));
        window_->Open(info);
        QVERIFY(window_->lastCloseScheduled());
        QCOMPARE(summaries_, 1);
        const RepetitionRecord& first = session().repetitions.record(1);
        QCOMPARE(first.unitId, session().db.units.unit(1).unitId);
        QCOMPARE(first.lastDate, kToday);
        int count = 0;
        const std::string expected =
            FormatRepetitionFile(session().repetitions, session().db.units.unitCount(), &count);
        QVERIFY(count >= 1);
        QCOMPARE(ReadBytes(LiveFile()), expected);
    }

    void noRepetitionsTickLeavesTheFileAlone() {
        // A learner with one record on disk.
        RepetitionRecord& known = session().repetitions.record(5);
        known.unitId = session().db.units.unit(5).unitId;
        known.repetitionNo = 2;
        known.lastDate = kToday - 3;
        known.interval = 9;
        QVERIFY(SaveLiveRepetitions(session().paths, session().db.units, session().repetitions,
                                    session().settings, *clock_)
                    .written);
        const std::string bytes = ReadBytes(LiveFile());
        const RepetitionStore before = session().repetitions;

        session().settings.showSummary = true;
        const std::string info = Plan(6);
        WhenModal([](QDialog* w) {
            QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_Return);
            QTest::mouseClick(Find<QCheckBox>(w, "CB_Bez_powtorki"), Qt::LeftButton);
            QTest::mouseClick(Find<QAbstractButton>(w, "B_Zamknij"), Qt::LeftButton);
        });
        window_->Open(info);
        QCOMPARE(runs_, 1);
        QVERIFY(!window_->lastCloseScheduled());
        QCOMPARE(summaries_, 0);
        QCOMPARE(ReadBytes(LiveFile()), bytes);
        QVERIFY(session().repetitions.records == before.records);

        // Shown again, the box is cleared and closing schedules the same plan.
        bool cleared = false;
        WhenModal(
            [&](QDialog* w) { cleared = !Find<QCheckBox>(w, "CB_Bez_powtorki")->isChecked(); });
        window_->Resume();
        QVERIFY(cleared);
        QVERIFY(window_->lastCloseScheduled());
        QVERIFY(ReadBytes(LiveFile()) != bytes);
    }

    void repetitionSessionHasNoTickNorPresentation() {
        for (int u = 1; u <= 3; ++u) {
            RepetitionRecord& r = session().repetitions.record(u);
            r.unitId = session().db.units.unit(u).unitId;
            r.repetitionNo = 1;
            r.lastDate = kToday - 10;
            r.interval = 2;
            r.factor = 2;
        }
        const std::string info = Plan(3, SessionMode::Repetition);
        bool tick = true;
        bool presentation = true;
        WhenModal([&](QDialog* w) {
            tick = Find<QCheckBox>(w, "CB_Bez_powtorki")->isVisible() ||
                   Find<QLabel>(w, "Label1")->isVisible();
            presentation = Find<QAbstractButton>(w, "K_Prezentacja")->isVisible();
            // Ticking the hidden box would not stop the scheduling of a repetition session.
            Find<QCheckBox>(w, "CB_Bez_powtorki")->setChecked(true);
        });
        window_->Open(info);
        QVERIFY(!tick);
        QVERIFY(!presentation);
        QVERIFY(window_->lastCloseScheduled());
        QVERIFY(std::filesystem::exists(LiveFile()));
    }

    void emptyPlanSaysEndAndClosesAtOnce() {
        session().plan = SessionPlan{};
        // Should the window stay open, the test closes it after a while and fails.
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [this] { window_->done(0); });
        safety.start(3000);
        window_->Open("Wybrano 0 w tym:\n\r");
        QVERIFY(safety.isActive());
        QCOMPARE(window_->windowTitle(), QStringLiteral("Koniec!"));
        QCOMPARE(runs_, 0);
    }

    void helpKeyOpensItsPage() {
        QString page;
        context_->openHelp = [&page](const QString& p) { page = p; };
        const std::string info = Plan(2);
        WhenModal(
            [](QDialog* w) { QTest::keyClick(Find<QListWidget>(w, "ListBox1"), Qt::Key_F1); });
        window_->Open(info);
        QCOMPARE(page, QStringLiteral("jak.htm"));
        QCOMPARE(runs_, 0);
    }

    void presentationButtonSetsItsStep() {
        int presentations = 0;
        window_->SetPresentation([&presentations] { ++presentations; });
        const std::string info = Plan(2);
        WhenModal([](QDialog* w) {
            QTest::mouseClick(Find<QAbstractButton>(w, "K_Prezentacja"), Qt::LeftButton);
        });
        window_->Open(info);
        QCOMPARE(presentations, 1);
        QCOMPARE(window_->stepId(), kPresentationStep);
    }

    // Once every kind is done the window says that closing it ends the session, in words that
    // follow the tick, and Enter closes it; before that Enter on a finished kind does nothing.
    void everyKindDoneSaysSoAndEnterCloses() {
        Settings& settings = session().settings;
        settings.learningKinds[1].fill(false);
        settings.learningKinds[1][2] = true;
        settings.learningKinds[1][4] = true;
        const std::string info = Plan(2);
        QStringList problems;
        QString doneText;
        QString unsavedText;
        bool closedByEnter = false;
        WhenModal([&](QDialog* w) {
            auto* list = Find<QListWidget>(w, "ListBox1");
            auto* done = Find<QLabel>(w, "L_wykonane");
            QTest::keyClick(list, Qt::Key_Return);
            list->setCurrentRow(0);
            QTest::keyClick(list, Qt::Key_Return);
            if (!w->isVisible() || done->isVisible() || runs_ != 1) {
                problems << QStringLiteral("Enter on a finished kind did something");
            }
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Return);
            if (!w->isVisible() || !done->isVisible() || Find<QWidget>(w, "B_OK")->isVisible()) {
                problems << QStringLiteral("no word that every kind is done");
            }
            doneText = done->text();
            QTest::mouseClick(Find<QCheckBox>(w, "CB_Bez_powtorki"), Qt::LeftButton);
            unsavedText = done->text();
            QTest::mouseClick(Find<QCheckBox>(w, "CB_Bez_powtorki"), Qt::LeftButton);
            QTest::keyClick(list, Qt::Key_Enter);
            closedByEnter = !w->isVisible();
        });
        window_->Open(info);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(runs_, 2);
        QCOMPARE(
            doneText,
            QStringLiteral("Wszystkie ćwiczenia wykonane —\nzamknij plan, aby zapisać wyniki."));
        QCOMPARE(
            unsavedText,
            QStringLiteral("Wszystkie ćwiczenia wykonane —\nzamknij plan (bez zapisu wyników)."));
        QVERIFY(closedByEnter);
        QVERIFY(window_->lastCloseScheduled());
        QVERIFY(std::filesystem::exists(LiveFile()));
    }
};

QTEST_MAIN(PlanWindowTest)
#include "plan_window_test.moc"
