// A shipped exercise set practised from the main menu, on a copy of the sample installation: a
// new learner opens "Ćwiczenia", chooses "Rodzina 3-4", works through one exercise kind and
// closes the plan. Back in the chooser the set shows the done picture and its result; "Wyniki"
// shows the units learnt in the set's group; the history file ends with the set's record as its
// format gives it.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "core/clock.h"
#include "core/history.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "modal_driver.h"
#include "session/set_chooser.h"
#include "support.h"
#include "ui/session/set_chooser_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 46000.0;  // 2025-12-09
constexpr int kSelfAssessedKind = 3;

using Driver = dyd::test::ModalDriver;

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(window, name), Qt::LeftButton);
}

// Clicks the row of the list whose text is text; false when no row shows it.
bool ClickRow(QListView* list, const QString& text) {
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        if (index.data().toString() == text) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(index).center());
            return true;
        }
    }
    return false;
}

template <typename T>
T Little(const std::string& bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::string Short(const std::string& bytes, std::size_t at) {
    return bytes.substr(at + 1, static_cast<unsigned char>(bytes[at]));
}

}  // namespace

class SetsEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void aShippedSetIsPractisedAndShowsItsResult();
};

void SetsEndToEndTest::aShippedSetIsPractisedAndShowsItsResult() {
    TempDir dir;
    std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.path() + "dydaktor");

    FixedClock clock{kToday};
    SeededRandom random(20251209);
    Program program(clock);
    program.SetRandom(&random);
    QStringList boxes;
    StartupEnvironment environment;
    environment.programFile = dir.path() + "dydaktor";
    environment.screenSize = QSize(1024, 768);
    environment.changeCurrentFolder = false;
    environment.standardBox = [&boxes](const QString& text) { boxes.append(text); };
    QVERIFY(program.Start(environment));

    Driver driver;
    driver.On("TForm9", [&driver](QDialog* login) {
        auto* databases = Find<QComboBox>(login, "CB_Baza");
        const int index = databases->findText(QStringLiteral("Angielski"), Qt::MatchStartsWith);
        if (index < 0) {
            driver.Fail(QStringLiteral("no English course"));
            login->reject();
            return;
        }
        databases->setCurrentIndex(index);
        Click(login, "TransparentButton1");
    });
    driver.On("TForm10", [](QDialog* newUser) {
        Find<QLineEdit>(newUser, "Edit1")->insert(QStringLiteral("Tomek"));
        Click(newUser, "B_OK");
    });
    driver.On("TForm20", [](QDialog* box) { QTest::keyClick(box, Qt::Key_Escape); });
    driver.On("TForm25", [](QDialog* statistics) { Click(statistics, "B_OK"); });
    driver.On("TForm31", [](QDialog* summary) { Click(summary, "B_Zamknij"); });
    for (const char* interlude : {"TForm18", "TForm38", "TForm16", "TForm17"}) {
        driver.On(interlude, [](QDialog* window) { QTest::keyClick(window, Qt::Key_Escape); });
    }
    QVERIFY(program.LogIn());
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    LearnerSession& session = program.context().session;
    const int historyBefore = session.history.count();
    QVERIFY(historyBefore > 0);

    // "Ćwiczenia" shows, the chooser opens beside the menu.
    MainMenuWindow* menu = program.mainMenu();
    QTRY_VERIFY(Find<QWidget>(menu, "K_cwiczenia")->isVisible());
    Click(menu, "K_cwiczenia");
    SetChooserWindow* chooser = program.setChooser();
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->mode(), SetChooserWindow::Mode::Sets);
    auto* sections = Find<QListView>(chooser, "pb_dzialy2");
    auto* sets = Find<QListView>(chooser, "pb_paczki");
    QVERIFY(ClickRow(sections, QStringLiteral("Ludzie i rodzina")));
    QVERIFY(ClickRow(sets, QStringLiteral("Rodzina 3-4")));
    const int chosenRow = chooser->selectedSet() - chooser->setTop();
    QVERIFY(!sets->model()->index(chosenRow, 0).data(Qt::UserRole + 1).toBool());
    QCOMPARE(Find<QLabel>(chooser, "lbl_info")->text(), QString());

    // The plan: the self-assessed kind is worked through, then the plan is closed.
    std::vector<int> planUnits;
    bool kindStarted = false;
    driver.On("TForm8", [&](QDialog* plan) {
        if (kindStarted) {
            Click(plan, "B_Zamknij");
            return;
        }
        kindStarted = true;
        for (const PlanRow& row : session.plan.rows) {
            planUnits.push_back(row.unitNumber);
        }
        auto* list = Find<QListWidget>(plan, "ListBox1");
        const QString prefix =
            QStringLiteral(" - ") + Utf8(KindName(kSelfAssessedKind)) + QStringLiteral(" (");
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().startsWith(prefix)) {
                list->setCurrentRow(row);
                Click(plan, "B_OK");
                return;
            }
        }
        driver.Fail(QStringLiteral("the plan offers no kind %1").arg(kSelfAssessedKind));
        plan->reject();
    });
    driver.On("TForm4", [&driver](QDialog* runner) {
        // Enter shows the answer, 1 says it was known.
        if (Find<QWidget>(runner, "B_Sprawdz")->isVisible()) {
            QTest::keyClick(runner, Qt::Key_Return);
        } else if (Find<QWidget>(runner, "B_Umiesz")->isVisible()) {
            QTest::keyClick(runner, Qt::Key_1);
        } else {
            driver.Fail(QStringLiteral("the runner offers no self-assessment"));
            runner->reject();
        }
    });
    Click(chooser, "B_OK");
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    QCOMPARE(driver.seen.count(QStringLiteral("TForm8")), 1);
    QCOMPARE(driver.seen.count(QStringLiteral("TForm4")), 1);
    QCOMPARE(session.currentSet.setKey, std::string("101-3-0002"));
    QCOMPARE(planUnits.size(), std::size_t{16});

    // Back in the chooser: done, with the result of the kind, complete (no "!").
    QVERIFY(chooser->isVisible());
    const QModelIndex row = sets->model()->index(chooser->selectedSet() - chooser->setTop(), 0);
    QCOMPARE(row.data().toString(), QStringLiteral("Rodzina 3-4"));
    QVERIFY(row.data(Qt::UserRole + 1).toBool());
    QCOMPARE(Find<QLabel>(chooser, "lbl_info")->text(),
             QStringLiteral("Ostatnio: 2025-12-09 ") + Utf8(KindName(kSelfAssessedKind)) +
                 QStringLiteral(" 100 % "));
    Click(chooser, "B_Zamknij");
    QVERIFY(!chooser->isVisible());

    // "Wyniki": the sixteen units are learnt, all of the first group.
    int groupUnits = 0;
    for (int u = 1; u <= session.db.units.unitCount(); ++u) {
        groupUnits += session.db.units.unit(u).groupId == 1 ? 1 : 0;
    }
    for (const int u : planUnits) {
        QCOMPARE(session.db.units.unit(u).groupId, 1);
    }
    Click(menu, "btn_wyniki");
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->mode(), SetChooserWindow::Mode::Results);
    const QModelIndex family = sections->model()->index(0, 0);
    QCOMPARE(family.data().toString(), QStringLiteral("Ludzie i rodzina"));
    QCOMPARE(family.data(Qt::UserRole + 3).toInt(), WholePercent(16, groupUnits));
    QVERIFY(family.data(Qt::UserRole + 3).toInt() > 0);
    QCOMPARE(sections->model()->index(1, 0).data(Qt::UserRole + 3).toInt(), 0);
    QCOMPARE(chooser->results().counters.all.counted, 16);
    Click(chooser, "B_Zamknij");

    // The working history file: as many records as before (the catalogue entry became the
    // result), the set's last, written field by field.
    const std::string file = ReadBytes(session.paths.userDir + "angielski");
    QCOMPARE(file.size(), static_cast<std::size_t>(historyBefore) * kHistoryRecordSize);
    const std::string last = file.substr(file.size() - kHistoryRecordSize);
    QCOMPARE(Short(last, 0), std::string("101-3-0002"));
    QCOMPARE(Short(last, 26), std::string("Rodzina 3-4"));
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(last[92])), kSelfAssessedKind);
    QCOMPARE(static_cast<int>(last[93]), 0);  // key
    QCOMPARE(static_cast<int>(last[94]), 3);  // level
    QCOMPARE(Little<double>(last, 96), kToday);
    QCOMPARE(static_cast<int>(static_cast<unsigned char>(last[104])), 100);
    QCOMPARE(Little<std::int32_t>(last, 108), 1);
    QCOMPARE(static_cast<int>(last[112]), 1);  // complete
    QCOMPARE(Short(last, 113), std::string("01"));
}

QTEST_MAIN(SetsEndToEndTest)
#include "sets_e2e_test.moc"
