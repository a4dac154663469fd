// The small windows around a session driven through their controls: the statistics after an
// exercise (figures, go back), the repetition overview (days from a fixed today, its chart of
// the coming days read against its list, keys) and the exercise-kind marks of a unit (ticks
// stored by OK and Enter, nothing by Escape).

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <functional>

#include "core/clock.h"
#include "core/datetime.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "ui/app_context.h"
#include "ui/session/forecast_chart.h"
#include "ui/session/kind_marks_window.h"
#include "ui/session/repetition_overview_window.h"
#include "ui/session/statistics_window.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using namespace Qt::StringLiterals;

namespace {

constexpr double kToday = 46000.0;

void WhenShown(QDialog* window, const std::function<void()>& steps) {
    QTimer::singleShot(0, window, [window, steps] {
        steps();
        if (window->isVisible()) {
            window->done(0);
        }
    });
}

QStringList ItemTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

void Learnt(RepetitionStore& store, int unit, double first, double last, int interval) {
    RepetitionRecord& r = store.record(unit);
    r.unitId = unit;
    r.firstDate = first;
    r.lastDate = last;
    r.interval = interval;
    store.recordHighWater = std::max(store.recordHighWater, unit);
}

}  // namespace

class SessionWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = DYD_SAMPLE "/";
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(context_->programPaths.programDir);
        context_->openHelp = [this](const QString& page) { helpPages_.append(page); };
        helpPages_.clear();
    }

    void cleanup() { context_.reset(); }

    // ---- Statistics ------------------------------------------------------------------------

    void statisticsShowTheFiguresAndOfferGoingBack() {
        StatisticsWindow window(*context_);
        auto* back = Find<QAbstractButton>(&window, "K_wroc");
        QStringList shown;
        auto read = [&] {
            for (const char* name : {"l_Stat1", "L_Stat2", "L_Stat3", "L_stat4"}) {
                shown.append(Find<QLabel>(&window, name)->text());
            }
        };
        // Left after 4 of 10 rows: the learner goes back to the exercise.
        WhenShown(&window, [&] {
            read();
            QVERIFY(back->isVisible());
            QTest::mouseClick(back, Qt::LeftButton);
        });
        QVERIFY(window.ShowScore({4, 3, 10, 4, 1}));
        QCOMPARE(shown, QStringList({u" 4"_s, u" 3"_s, u" 30 %"_s, u" 4 / 10"_s}));

        // Everything done: no way back; OK, Enter and Escape leave.
        for (const auto& leave : std::vector<std::function<void()>>{
                 [&] { QTest::mouseClick(Find<QAbstractButton>(&window, "B_OK"), Qt::LeftButton); },
                 [&] { QTest::keyClick(&window, Qt::Key_Return); },
                 [&] { QTest::keyClick(&window, Qt::Key_Escape); }}) {
            shown.clear();
            bool backVisible = true;
            WhenShown(&window, [&] {
                read();
                backVisible = back->isVisible();
                leave();
            });
            QVERIFY(!window.ShowScore({20, 5, 10, 10, 2}));
            QVERIFY(!backVisible);
            QCOMPARE(shown, QStringList({u" 20"_s, u" 5"_s, u" 80 %"_s, u" 10 / 10"_s}));
            QVERIFY(!window.isVisible());
        }
    }

    // ---- Repetition overview ---------------------------------------------------------------

    void overviewListsTheComingDaysAndTheStart() {
        RepetitionStore& store = context_->session.repetitions;
        Learnt(store, 1, kToday - 60, kToday - 10, 5);  // overdue
        Learnt(store, 2, kToday - 20, kToday - 2, 2);   // today
        Learnt(store, 3, kToday - 9, kToday, 3);
        Learnt(store, 4, kToday - 900, kToday, 3);  // in the trash
        store.record(4).inTrash = 1;
        RepetitionOverviewWindow window(*context_);
        auto* list = Find<QListWidget>(&window, "ListBox2");
        QStringList lines;
        QString start;
        WhenShown(&window, [&] {
            lines = ItemTexts(list);
            start = Find<QLabel>(&window, "L_Ile_pow_all2")->text();
            QVERIFY(Find<QLabel>(&window, "L_Ile_pow_all")->text().isEmpty());
            QVERIFY(Find<QLabel>(&window, "l_pow")->text().isEmpty());
            QTest::keyClick(list, Qt::Key_F1);
            QTest::keyClick(list, Qt::Key_Escape);
        });
        window.ShowOverview();
        QVERIFY(!window.isVisible());
        const QString today = QString::fromStdString(FormatDate(kToday));
        QCOMPARE(lines, QStringList({today + u" - 2"_s,
                                     QString::fromStdString(FormatDate(kToday + 3)) + u" - 1"_s}));
        QCOMPARE(start,
                 u"Uczysz się od "_s + QString::fromStdString(FormatDate(kToday - 60)) + u"."_s);
        QCOMPARE(helpPages_, QStringList({u"jak.html"_s}));

        // Shown again a day later with nothing learnt: an empty list and today's date.
        store = RepetitionStore();
        clock_.Set(kToday + 1);
        WhenShown(&window, [&] {
            lines = ItemTexts(list);
            start = Find<QLabel>(&window, "L_Ile_pow_all2")->text();
            QTest::mouseClick(Find<QAbstractButton>(&window, "B_OK"), Qt::LeftButton);
        });
        window.ShowOverview();
        QVERIFY(lines.isEmpty());
        QCOMPARE(start,
                 u"Uczysz się od "_s + QString::fromStdString(FormatDate(kToday + 1)) + u"."_s);
    }

    // The chart above the list: each bar's text (its tooltip, read where the mouse would rest)
    // gives the list's figure of its date; overdue units stand in today's bar; the arrow keys
    // move the chosen day, whose text the chart shows and describes.
    void overviewChartAgreesWithTheList() {
        RepetitionStore& store = context_->session.repetitions;
        clock_.Set(kToday);
        Learnt(store, 1, kToday - 60, kToday - 10, 5);  // overdue
        Learnt(store, 2, kToday - 20, kToday - 2, 2);   // today
        Learnt(store, 3, kToday - 9, kToday - 1, 2);    // tomorrow
        Learnt(store, 4, kToday - 9, kToday, 29);       // the last bar
        Learnt(store, 5, kToday - 9, kToday, 30);       // beyond the chart, on the list
        RepetitionOverviewWindow window(*context_);
        auto* list = Find<QListWidget>(&window, "ListBox2");
        auto* chart = Find<ForecastChart>(&window, "W_Prognoza");
        QVERIFY(chart->y() + chart->height() <= list->y());
        QStringList lines;
        QStringList fromBars;
        QStringList chosen;
        WhenShown(&window, [&] {
            lines = ItemTexts(list);
            QCOMPARE(chart->days().size(), std::size_t{30});
            for (int d = 0; d < 30; ++d) {
                const QRect column = chart->ColumnRect(d);
                QCOMPARE(chart->DayAt(column.center()), d);
                QHelpEvent tip(QEvent::ToolTip, column.center(),
                               chart->mapToGlobal(column.center()));
                QApplication::sendEvent(chart, &tip);
                const QString text = QToolTip::text();
                const int count = text.section(u' ', 0, 0).toInt();
                QCOMPARE(count, chart->days()[static_cast<std::size_t>(d)].count);
                QCOMPARE(chart->BarRect(d).isEmpty(), count == 0);
                if (count > 0) {
                    fromBars.append(QString::fromStdString(FormatDate(kToday + d)) + u" - "_s +
                                    QString::number(count));
                }
            }
            chart->setFocus();
            chosen.append(chart->accessibleDescription());
            QTest::keyClick(chart, Qt::Key_Right);
            chosen.append(chart->accessibleDescription());
            QTest::keyClick(chart, Qt::Key_End);
            chosen.append(chart->accessibleDescription());
            QTest::keyClick(chart, Qt::Key_Escape);  // the window's key still closes it
        });
        window.ShowOverview();
        QVERIFY(!window.isVisible());
        QCOMPARE(lines.size(), 4);
        QCOMPARE(fromBars, lines.mid(0, 3));
        QVERIFY(lines[0].endsWith(u" - 2"_s));
        QCOMPARE(chosen.size(), 3);
        QVERIFY2(chosen[0].startsWith(u"2 jednostki ("_s) && chosen[0].contains(u"dziś"_s) &&
                     chosen[0].endsWith(u"w tym 1 zaległa"_s),
                 qPrintable(chosen[0]));
        QVERIFY2(chosen[1].startsWith(u"1 jednostka ("_s), qPrintable(chosen[1]));
        QVERIFY2(chosen[2].startsWith(u"1 jednostka ("_s), qPrintable(chosen[2]));
        QVERIFY(
            chosen[2].endsWith(QString::fromStdString(FormatDate(kToday + 29)).mid(8, 2) + u"."_s +
                               QString::fromStdString(FormatDate(kToday + 29)).mid(5, 2) + u")"_s));
    }

    // ---- Exercise-kind marks ---------------------------------------------------------------

    void kindMarksAreStoredByOkAndEnterAndNotByEscape() {
        LearnerSession& s = context_->session;
        s.db.params.language = 1;
        Unit word;
        word.unitId = 7;
        word.unitKind = kWordUnit;
        s.db.units.Append(word);
        for (auto& table : s.settings.learningKinds) {
            table.fill(false);
        }
        for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 16}) {
            s.settings.learningKinds[1][static_cast<std::size_t>(k)] = true;
        }
        KindFlags& chosen = s.repetitions.chosenKinds[1];
        chosen[4] = true;

        KindMarksWindow window(*context_);
        auto* list = Find<QListWidget>(&window, "ListBox1");
        QCOMPARE(Find<QAbstractButton>(&window, "B_OK")->toolTip(), u"Nauka słówek"_s);
        QCOMPARE(Find<QAbstractButton>(&window, "B_Zamknij")->toolTip(), u"Zamknij"_s);
        QVERIFY(Find<QLabel>(&window, "Label2")
                    ->text()
                    .startsWith(u"Oznaczone rodzaje ćwiczeń pojawią się podczas powtórek"_s));

        auto rowOf = [&](int kind) {
            for (int i = 0; i < list->count(); ++i) {
                if (list->item(i)->text().startsWith(QString::number(kind) + u" - "_s)) {
                    return i;
                }
            }
            return -1;
        };
        // OK: kind 4 unticked, kind 9 ticked.
        QStringList texts;
        WhenShown(&window, [&] {
            texts = ItemTexts(list);
            QCOMPARE(list->item(rowOf(4))->checkState(), Qt::Checked);
            QCOMPARE(list->item(rowOf(9))->checkState(), Qt::Unchecked);
            list->item(rowOf(4))->setCheckState(Qt::Unchecked);
            list->item(rowOf(9))->setCheckState(Qt::Checked);
            QTest::mouseClick(Find<QAbstractButton>(&window, "B_OK"), Qt::LeftButton);
        });
        window.ShowFor(1);
        QCOMPARE(texts.size(), 8);  // 7 and 8 only in German databases
        QCOMPARE(texts.first(), u"1 - "_s + Utf8(KindName(1)));
        QVERIFY(!chosen[4] && chosen[9]);

        // Escape: the ticks are not stored.
        WhenShown(&window, [&] {
            list->item(rowOf(16))->setCheckState(Qt::Checked);
            QTest::keyClick(list, Qt::Key_Escape);
        });
        window.ShowFor(1);
        QVERIFY(!chosen[16] && chosen[9]);

        // Enter stores; F1 opens the page on vocabulary.
        WhenShown(&window, [&] {
            list->item(rowOf(16))->setCheckState(Qt::Checked);
            QTest::keyClick(list, Qt::Key_F1);
            QTest::keyClick(list, Qt::Key_Return);
        });
        window.ShowFor(1);
        QVERIFY(chosen[16] && chosen[9]);
        QCOMPARE(helpPages_, QStringList({u"slownictwo.html"_s}));

        // A German database lists the article and plural kinds as well.
        s.db.params.language = 2;
        WhenShown(&window, [&] { texts = ItemTexts(list); });
        window.ShowFor(1);
        QCOMPARE(texts.size(), 10);
        QVERIFY(rowOf(7) >= 0 && rowOf(8) >= 0);
    }

  private:
    FixedClock clock_{kToday};
    std::unique_ptr<AppContext> context_;
    QStringList helpPages_;
};

QTEST_MAIN(SessionWindowsTest)
#include "session_windows_test.moc"
