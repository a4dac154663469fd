// The exercise-set chooser driven through its controls on a learner of the small fixture
// database, with a user set file of his own: sections and sets with their pictures, scrolling by
// buttons (held as well) and keys, loading a set into the plan window, sets that cannot be
// loaded, deleting a user set, the results view with its two toggles and statistics panel, and
// the modal use by a caller that only wants a set.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/clock.h"
#include "core/codepage.h"
#include "core/login.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "message_watch.h"
#include "session/set_chooser.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/plan_window.h"
#include "ui/session/set_chooser_window.h"
#include "ui/shell/dialogs.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

constexpr double kToday = 45000.0;

std::string Cp1250(const char* utf8) { return FromUtf8(utf8, CodePage::Cp1250).value(); }

// The user set file: 20 sets of group 1 (after the shipped "Zwierzęta 1" they make 21 rows),
// one of group 3 whose units the database lacks.
std::string UserSets() {
    std::string file;
    for (int i = 1; i <= 20; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "9=201-2-%04d=Moje %02d=28656=28657\r\n", i, i);
        file += line;
    }
    file += "9=203-1-0021=Zgubione=99990=99991\r\n";
    return file;
}

QStringList Rows(QListView* list) {
    QStringList rows;
    for (int i = 0; i < list->model()->rowCount(); ++i) {
        rows.append(list->model()->index(i, 0).data().toString());
    }
    return rows;
}

void ClickRow(QListView* list, int row, bool twice = false) {
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
}

}  // namespace

class SetChooserWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<PlanWindow> plan_;
    std::unique_ptr<SetChooserWindow> window_;
    int catalogueChanges_ = 0;

    LearnerSession& session() { return context_->session; }
    std::string UserSetFile() { return session().paths.databaseDir + "cwa_su.txt"; }
    QListView* Sections() { return Find<QListView>(window_.get(), "pb_dzialy2"); }
    QListView* Sets() { return Find<QListView>(window_.get(), "pb_paczki"); }

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        dyd::test::CopyFixture("mini", dir_->path());
        dyd::test::WriteBytes(dir_->path() + "db/angtest/cwa_su.txt", UserSets());
        clock_ = std::make_unique<FixedClock>(kToday + 0.5);
        context_ = std::make_unique<AppContext>(*clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(dir_->path());
        QCOMPARE(Login(context_->programPaths, "angtest", 1, "Ewa", *clock_, session()).status,
                 LoginStatus::Opened);
        // The shipped catalogue of a new learner and his 21 sets.
        QCOMPARE(session().history.count(), 23);
        plan_ = std::make_unique<PlanWindow>(*context_);
        window_ = std::make_unique<SetChooserWindow>(*context_, plan_.get());
        catalogueChanges_ = 0;
        window_->SetCatalogueChanged([this] { ++catalogueChanges_; });
    }

    void cleanup() {
        window_.reset();
        plan_.reset();
        context_.reset();
        dir_.reset();
    }

    void setsViewListsSectionsAndScrollsTheSets() {
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        QVERIFY(window_->isVisible());
        QVERIFY(!window_->isModal());
        QCOMPARE(window_->objectName(), QStringLiteral("TWyborZdanForm"));
        // Groups 1, 3 and 5 hold sets; 2 and 4 do not and are not listed.
        QCOMPARE(Rows(Sections()), (QStringList{QStringLiteral("Zwierzęta"),
                                                 QStringLiteral("Rozmowa"),
                                                 QStringLiteral("Zdania")}));
        for (const char* hidden : {"B_OK", "k_usun", "btnWyniki_powtorek", "k_wynik_powt_2",
                                   "pb_stat", "L_btn_up", "L_btn_dn", "btn_up", "btn_dn"}) {
            QVERIFY2(!Shown(window_.get(), hidden), hidden);
        }
        QCOMPARE(Sets()->model()->rowCount(), 0);

        ClickRow(Sections(), 0);
        QCOMPARE(window_->selectedSection(), 0);
        QStringList rows = Rows(Sets());
        QCOMPARE(rows.size(), kChooserVisibleRows);
        QCOMPARE(rows.front(), QStringLiteral("Zwierzęta 1"));
        QCOMPARE(rows.at(1), QStringLiteral("Moje 01"));
        const QModelIndex first = Sets()->model()->index(0, 0);
        QCOMPARE(first.data(Qt::UserRole).toInt(), 1);        // level 1 ("101-1")
        QCOMPARE(first.data(Qt::UserRole + 1).toBool(), false);  // not done
        QCOMPARE(Sets()->model()->index(1, 0).data(Qt::UserRole).toInt(), 2);
        QVERIFY(!Shown(window_.get(), "btn_up"));
        QVERIFY(Shown(window_.get(), "btn_dn"));
        QVERIFY(!Shown(window_.get(), "B_OK"));

        // 21 sets: one step down shows sets 2..19 and the way back up.
        Click(window_.get(), "btn_dn");
        QCOMPARE(window_->setTop(), 1);
        QCOMPARE(Rows(Sets()).front(), QStringLiteral("Moje 01"));
        QVERIFY(Shown(window_.get(), "btn_up"));
        Click(window_.get(), "btn_dn");
        Click(window_.get(), "btn_dn");
        // At the end of the list its own button goes.
        QCOMPARE(window_->setTop(), 3);
        QCOMPARE(Rows(Sets()).back(), QStringLiteral("Moje 20"));
        QVERIFY(!Shown(window_.get(), "btn_dn"));
        // Held, the up button repeats: after the first delay it moves on by itself.
        auto* up = Find<QAbstractButton>(window_.get(), "btn_up");
        QTest::mousePress(up, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(window_->setTop() <= 1, 3000);
        QTest::mouseRelease(up, Qt::LeftButton);
        QTRY_COMPARE(window_->setTop(), 0);
        QVERIFY(!Shown(window_.get(), "btn_up"));

        // A shipped set: its result text (none yet), the start button, no delete button.
        ClickRow(Sets(), 0);
        QCOMPARE(window_->selectedSet(), 0);
        QVERIFY(Shown(window_.get(), "B_OK"));
        QVERIFY(!Shown(window_.get(), "k_usun"));
        QCOMPARE(Find<QLabel>(window_.get(), "lbl_info")->text(), QString());
        // A user set can be deleted.
        ClickRow(Sets(), 3);
        QVERIFY(Shown(window_.get(), "k_usun"));
        QCOMPARE(Find<QAbstractButton>(window_.get(), "k_usun")->toolTip(),
                 QStringLiteral("Wykasuj cwiczenie."));
        // Choosing another section clears the choice of set.
        ClickRow(Sections(), 2);
        QCOMPARE(window_->selectedSet(), -1);
        QCOMPARE(Rows(Sets()), QStringList{QStringLiteral("Zdania 3")});
        QVERIFY(!Shown(window_.get(), "B_OK"));
        QVERIFY(!Shown(window_.get(), "btn_dn"));
    }

    void keysMoveBetweenAndWithinTheLists() {
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QWidget* keys = QApplication::focusWidget();
        QCOMPARE(keys, static_cast<QWidget*>(Sections()));
        QTest::keyClick(keys, Qt::Key_Down);  // the first section
        QCOMPARE(window_->selectedSection(), 0);
        QCOMPARE(Sets()->model()->rowCount(), kChooserVisibleRows);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(window_->setListFocused());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Sets()));
        QCOMPARE(window_->selectedSet(), 0);  // the first set, chosen by the Tab
        for (int i = 0; i < 17; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        }
        QCOMPARE(window_->selectedSet(), 17);
        QCOMPARE(window_->setTop(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // leaves the 18 rows
        QCOMPARE(window_->selectedSet(), 18);
        QCOMPARE(window_->setTop(), 1);
        QVERIFY(Shown(window_.get(), "btn_up"));
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        }
        QCOMPARE(window_->selectedSet(), 20);  // stops at the last set
        QCOMPARE(window_->setTop(), 3);
        for (int i = 0; i < 18; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        }
        QCOMPARE(window_->selectedSet(), 2);
        QCOMPARE(window_->setTop(), 2);
        // Back in the section list, Down moves the section and empties the choice of set.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!window_->setListFocused());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(window_->selectedSection(), 1);
        QCOMPARE(window_->selectedSet(), -1);
        QCOMPARE(Rows(Sets()), QStringList{QStringLiteral("Zgubione")});
        // Enter does nothing without a set; Escape closes.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(window_->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
    }

    void loadingASetRunsItsPlanAndComesBackWithTheResult() {
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        ClickRow(Sections(), 0);
        QString planInfo;
        int planRows = 0;
        WhenModal([&](QDialog* plan) {
            QCOMPARE(plan->objectName(), QStringLiteral("TForm8"));
            planInfo = Find<QLabel>(plan, "l_stat")->text();
            planRows = session().plan.rowCount();
            // A result recorded meanwhile, as the runner records it.
            StoreSetResult(session().history, kToday, 75, session().currentSet.setKey, 4, 0,
                           true);
            Click(plan, "B_Zamknij");
        });
        ClickRow(Sets(), 0, true);  // a double click starts the set
        QCOMPARE(session().currentSet.setKey, std::string("101-1"));
        QCOMPARE(session().currentSet.name, Cp1250("Zwierzęta 1"));
        QVERIFY(session().currentSet.ready);
        QCOMPARE(session().plan.mode, SessionMode::Learning);
        QCOMPARE(planRows, 3);
        QVERIFY2(planInfo.startsWith(QStringLiteral("Wybrano 3 w tym:")), qPrintable(planInfo));
        // Back in the chooser: the set is still chosen, now done, with its result. Its records
        // moved to the end of the history, and its row to the end of the list.
        QCOMPARE(window_->selectedSet(), 20);
        const QModelIndex row =
            Sets()->model()->index(window_->selectedSet() - window_->setTop(), 0);
        QCOMPARE(row.data().toString(), QStringLiteral("Zwierzęta 1"));
        QVERIFY(row.data(Qt::UserRole + 1).toBool());
        QCOMPARE(Find<QLabel>(window_.get(), "lbl_info")->text(),
                 QStringLiteral("Ostatnio: 2023-03-15 ") + QString::fromUtf8(KindName(4)) +
                     QStringLiteral(" 75 % "));

        // Enter starts it as well.
        WhenModal([](QDialog* plan) { Click(plan, "B_Zamknij"); });
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QCOMPARE(session().currentSet.setKey, std::string("101-1"));
    }

    void aSetThatCannotBeLoadedSaysSo() {
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        ClickRow(Sections(), 1);
        ClickRow(Sets(), 0);
        QCOMPARE(Find<QLabel>(window_.get(), "lbl_info")->text(),
                 QStringLiteral("Nie można wczytać ćwiczenia \"Zgubione\": baza nie zawiera "
                                "żadnej z jego jednostek."));
        QVERIFY(!Shown(window_.get(), "B_OK"));
        session().currentSet.setKey = "x";
        ClickRow(Sets(), 0, true);  // no plan opens (a modal window would stop the test)
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QCOMPARE(session().currentSet.setKey, std::string("x"));

        // A set whose line left the file since it was listed.
        ClickRow(Sections(), 0);
        ClickRow(Sets(), 1);
        QVERIFY(Shown(window_.get(), "B_OK"));
        dyd::test::WriteBytes(UserSetFile(), "");
        dyd::test::MessageWatch watch;
        Click(window_.get(), "B_OK");
        QTRY_COMPARE(watch.texts().size(), 1);
        QCOMPARE(watch.texts().front(),
                 QStringLiteral("Nie można wczytać ćwiczenia \"Moje 01\": nie ma go już w pliku "
                                "ćwiczeń."));
        QVERIFY(!Shown(window_.get(), "B_OK"));
        QVERIFY(session().currentSet.setKey.empty());
    }

    void deletingAUserSetRemovesItsLineAndRecords() {
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        ClickRow(Sections(), 0);
        ClickRow(Sets(), 2);  // "Moje 02"
        QString question;
        WhenModal([&](QDialog* confirm) {
            question = static_cast<ConfirmationDialog*>(confirm)->question();
            QTest::keyClick(confirm, Qt::Key_Escape);  // no
        });
        Click(window_.get(), "k_usun");
        QCOMPARE(question, QStringLiteral("Czy chcesz usunąć Ćwiczenie: Moje 02 ?"));
        QCOMPARE(ReadBytes(UserSetFile()), UserSets());

        WhenModal([](QDialog* confirm) { QTest::keyClick(confirm, Qt::Key_Return); });
        Click(window_.get(), "k_usun");
        std::string expected = UserSets();
        const std::string gone = "9=201-2-0002=Moje 02=28656=28657\r\n";
        expected.erase(expected.find(gone), gone.size());
        QCOMPARE(ReadBytes(UserSetFile()), expected);
        QCOMPARE(session().history.count(), 22);
        QVERIFY(ReadBytes(session().paths.userDir + "angtest").find("201-2-0002") ==
                std::string::npos);
        QCOMPARE(catalogueChanges_, 1);
        QCOMPARE(Sets()->model()->rowCount(), kChooserVisibleRows);
        QCOMPARE(Rows(Sets()).at(2), QStringLiteral("Moje 03"));
        QVERIFY(!Shown(window_.get(), "k_usun"));
        QCOMPARE(window_->selectedSet(), -1);

        // The last set of a section takes the section with it.
        ClickRow(Sections(), 1);
        ClickRow(Sets(), 0);
        WhenModal([](QDialog* confirm) { QTest::keyClick(confirm, Qt::Key_Return); });
        Click(window_.get(), "k_usun");
        QCOMPARE(Rows(Sections()),
                 (QStringList{QStringLiteral("Zwierzęta"), QStringLiteral("Zdania")}));
        QCOMPARE(window_->selectedSection(), -1);
        QCOMPARE(Sets()->model()->rowCount(), 0);
    }

    void resultsViewShowsLearntAndMasteredByGroup() {
        // Group 1 (Zwierzęta): its first two units learnt, one of them long ago mastered; a
        // third unit of the group in the trash.
        const UnitTable& units = session().db.units;
        std::vector<int> group1;
        for (int u = 1; u <= units.unitCount(); ++u) {
            if (units.unit(u).groupId == 1) {
                group1.push_back(u);
            }
        }
        QVERIFY(group1.size() >= 3);
        for (int i = 0; i < 3; ++i) {
            RepetitionRecord& r = session().repetitions.record(group1[static_cast<std::size_t>(i)]);
            r.unitId = units.unit(group1[static_cast<std::size_t>(i)]).unitId;
            r.interval = i == 0 ? 40 : 2;
            r.inTrash = i == 2 ? 1 : 0;
        }
        const int n = static_cast<int>(group1.size());
        window_->ShowChooser(SetChooserWindow::Mode::Results);
        QCOMPARE(window_->windowTitle(), QStringLiteral("Wyniki"));
        for (const char* shown : {"btnWyniki_powtorek", "k_wynik_powt_2", "pb_stat", "Shape1"}) {
            QVERIFY2(Shown(window_.get(), shown), shown);
        }
        for (const char* hidden : {"pb_paczki", "B_OK", "k_usun", "lbl_info", "shp_focus"}) {
            QVERIFY2(!Shown(window_.get(), hidden), hidden);
        }
        // Every group is listed, those without learnt units at 0%.
        QCOMPARE(Sections()->model()->rowCount(), 7);
        const QModelIndex animals = Sections()->model()->index(0, 0);
        QCOMPARE(animals.data().toString(), QStringLiteral("Zwierzęta"));
        QCOMPARE(animals.data(Qt::UserRole + 3).toInt(), WholePercent(2, n));
        QCOMPARE(Sections()->model()->index(1, 0).data(Qt::UserRole + 3).toInt(), 0);
        // The learnt toggle is framed.
        auto* frame = Find<QWidget>(window_.get(), "Shape1");
        QVERIFY(frame->geometry().contains(
            Find<QWidget>(window_.get(), "btnWyniki_powtorek")->geometry()));
        QCOMPARE(window_->results().counters.all.counted, 2);

        Click(window_.get(), "k_wynik_powt_2");
        QCOMPARE(window_->resultsView(), ResultsView::Mastered);
        QVERIFY(frame->geometry().contains(
            Find<QWidget>(window_.get(), "k_wynik_powt_2")->geometry()));
        QCOMPARE(Sections()->model()->index(0, 0).data(Qt::UserRole + 3).toInt(),
                 WholePercent(1, n));
        QCOMPARE(Sections()->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Umiesz 1 z %1 jednostek.").arg(n));
        QCOMPARE(window_->results().counters.all.counted, 1);

        // Rows cannot be chosen in this view; F1 opens its own help page.
        ClickRow(Sections(), 0);
        QCOMPARE(window_->selectedSection(), -1);
        QString page;
        context_->openHelp = [&page](const QString& p) { page = p; };
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(page, QStringLiteral("wyniki.html"));

        // The same window opened for sets again lists sets.
        window_->ShowChooser(SetChooserWindow::Mode::Sets);
        QVERIFY(Shown(window_.get(), "pb_paczki"));
        QVERIFY(!Shown(window_.get(), "pb_stat"));
        QCOMPARE(Sections()->model()->rowCount(), 3);
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(page, QStringLiteral("jak.html"));
    }

    void aCallerGetsTheUnitsOfTheChosenSet() {
        WhenModal([this](QDialog* chooser) {
            QCOMPARE(chooser->objectName(), QStringLiteral("TWyborZdanForm"));
            auto* sections = Find<QListView>(chooser, "pb_dzialy2");
            ClickRow(sections, 2);
            ClickRow(Find<QListView>(chooser, "pb_paczki"), 0);
            Click(chooser, "B_OK");
        });
        const auto units = SetChooserWindow::ChooseSet(*context_);
        QVERIFY(units.has_value());
        std::vector<std::int32_t> ids;
        for (const std::int32_t unit : *units) {
            ids.push_back(session().db.units.unit(unit).unitId);
        }
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, (std::vector<std::int32_t>{28700, 28701, 28702}));
        QCOMPARE(session().currentSet.setKey, std::string("505-3"));

        WhenModal([](QDialog* chooser) { QTest::keyClick(chooser, Qt::Key_Escape); });
        QVERIFY(!SetChooserWindow::ChooseSet(*context_).has_value());
    }
};

QTEST_MAIN(SetChooserWindowTest)
#include "set_chooser_window_test.moc"
