// The units picked in the dictionary (TForm26), driven through its controls on a learner of the
// English sample course: the list with the codes the course lacks left out, Delete, the keep
// box and its label, learning the list in a plan of its own, the list file removed on closing or
// kept, a file that cannot be read left in place; and the main menu opening it once per run.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/files.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "message_watch.h"
#include "sample_installation.h"
#include "session/dictionary_units.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/session/dictionary_window.h"
#include "ui/session/plan_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;
using dyd::test::WriteBytes;

namespace {

constexpr double kToday = 45000.0;

std::string ListFile(const std::vector<std::int32_t>& codes) {
    std::string text;
    for (int i = 1; i <= 10; ++i) {
        text += "Slownik " + std::to_string(i) + "\r\n";
    }
    for (std::int32_t code : codes) {
        text += std::to_string(code) + "\r\n";
    }
    return text;
}

QStringList Items(QWidget* window) {
    QStringList items;
    auto* list = Find<QListWidget>(window, "ListBox1");
    for (int i = 0; i < list->count(); ++i) {
        items.append(list->item(i)->text());
    }
    return items;
}

// A learner of the English sample course with the dictionary window over a plan window.
struct Session {
    Session() : context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        plan = std::make_unique<PlanWindow>(context);
        window = std::make_unique<DictionaryWindow>(context, plan.get());
        listPath = context.session.paths.userDir + "angielskislow.txt";
    }
    int Code(int unitNumber) const { return context.session.db.units.unit(unitNumber).unitId; }
    QString Text(int unitNumber) const {
        return Foreign(context.session.db.units.unit(unitNumber).foreignText,
                       context.session.db.params.foreignCodePage());
    }

    TempDir dir;
    FixedClock clock{kToday};
    AppContext context;
    std::unique_ptr<PlanWindow> plan;
    std::unique_ptr<DictionaryWindow> window;
    std::string listPath;
    bool ok = false;
};

}  // namespace

class DictionaryWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void listsThePickedUnitsAndDeleteDropsThemOneByOne() {
        Session s;
        QVERIFY(s.ok);
        WriteBytes(s.listPath, ListFile({s.Code(3), 99999, s.Code(1), s.Code(2)}));
        QStringList shown;
        QStringList afterDelete;
        int selectedAfterDelete = -2;
        bool learnHidden = false;
        WhenModal([&](QDialog* w) {
            QCOMPARE(w->objectName(), QStringLiteral("TForm26"));
            QCOMPARE(Find<QLabel>(w, "Label2")->text(), QStringLiteral("Wybrane w Słowniku:"));
            QCOMPARE(Find<QLabel>(w, "L_Ile_cw")->text(), QStringLiteral("3"));
            QVERIFY(Shown(w, "L_pominiete"));
            QCOMPARE(Find<QLabel>(w, "L_pominiete")->text(),
                     QStringLiteral("Pominięto kody spoza bazy: 1."));
            QVERIFY(Shown(w, "B_OK"));
            QCOMPARE(Find<QWidget>(w, "B_OK")->toolTip(), QStringLiteral("Nauka słówek."));
            QCOMPARE(Find<QWidget>(w, "B_Zamknij")->toolTip(), QStringLiteral("Zamknij"));
            QCOMPARE(Find<QWidget>(w, "B_OK")->cursor().shape(), Qt::PointingHandCursor);
            shown = Items(w);
            auto* list = Find<QListWidget>(w, "ListBox1");
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Delete);
            afterDelete = Items(w);
            selectedAfterDelete = list->currentRow();
            QCOMPARE(Find<QLabel>(w, "L_Ile_cw")->text(), QStringLiteral("2"));
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(list->currentRow(), 0);
            QTest::keyClick(list, Qt::Key_Delete);
            QCOMPARE(list->count(), 0);
            QCOMPARE(Find<QLabel>(w, "L_Ile_cw")->text(), QStringLiteral("0"));
            learnHidden = !Shown(w, "B_OK");
            // Enter with the learn button hidden opens nothing.
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY(w->isVisible());
            QTest::keyClick(list, Qt::Key_Escape);
        });
        s.window->ShowDictionaryUnits();
        QCOMPARE(shown, (QStringList{s.Text(3), s.Text(1), s.Text(2)}));
        QCOMPARE(afterDelete, (QStringList{s.Text(3), s.Text(2)}));
        QCOMPARE(selectedAfterDelete, 1);
        QVERIFY(learnHidden);
        QVERIFY(!s.plan->isVisible());
        // Closed without the keep box: the list is gone and will not open again.
        QVERIFY(!FileExists(s.listPath));
        s.window->ShowDictionaryUnits();
        QVERIFY(!s.window->isVisible());
    }

    void theKeepBoxAndItsLabelKeepTheFileForTheNextStart() {
        Session s;
        QVERIFY(s.ok);
        const std::string bytes = ListFile({s.Code(5)});
        WriteBytes(s.listPath, bytes);
        WhenModal([&](QDialog* w) {
            auto* keep = Find<QCheckBox>(w, "CB_zachowaj");
            QVERIFY(!keep->isChecked());
            auto* label = Find<QLabel>(w, "L_zachowaj");
            QCOMPARE(label->text(), QStringLiteral("zachowaj do następnego uruchomienia programu"));
            QTest::mouseClick(label, Qt::LeftButton);
            QVERIFY(keep->isChecked());
            QTest::mouseClick(label, Qt::LeftButton);
            QVERIFY(!keep->isChecked());
            QTest::mouseClick(keep, Qt::LeftButton);
            QVERIFY(keep->isChecked());
            Click(w, "B_Zamknij");
        });
        s.window->ShowDictionaryUnits();
        QCOMPARE(ReadBytes(s.listPath), bytes);
        // The next opening starts with the box clear again.
        WhenModal([&](QDialog* w) {
            QVERIFY(!Find<QCheckBox>(w, "CB_zachowaj")->isChecked());
            QCOMPARE(Items(w), QStringList{s.Text(5)});
        });
        s.window->ShowDictionaryUnits();
        QVERIFY(!FileExists(s.listPath));
    }

    void learningPlansThePickedUnitsAndThenClosesTheWindow() {
        Session s;
        QVERIFY(s.ok);
        WriteBytes(s.listPath, ListFile({s.Code(4), s.Code(2), 88888, s.Code(7)}));
        s.context.session.plan.currentKind = 3;
        std::vector<int> planned;
        bool dictionaryOpenUnderPlan = false;
        WhenModal([&](QDialog* w) {
            auto* list = Find<QListWidget>(w, "ListBox1");
            list->setCurrentRow(1);
            QTest::keyClick(list, Qt::Key_Delete);
            WhenModal([&](QDialog* planWindow) {
                QCOMPARE(planWindow->objectName(), QStringLiteral("TForm8"));
                dictionaryOpenUnderPlan = s.window->isVisible();
                for (const PlanRow& row : s.context.session.plan.rows) {
                    planned.push_back(row.unitNumber);
                }
                QTest::keyClick(planWindow, Qt::Key_Escape);
            });
            QTest::keyClick(list, Qt::Key_Return);
        });
        s.window->ShowDictionaryUnits();
        QVERIFY(dictionaryOpenUnderPlan);
        QCOMPARE(planned, (std::vector<int>{4, 7}));
        const CurrentSet& set = s.context.session.currentSet;
        QCOMPARE(set.count, 2);
        QCOMPARE(set.codes[0], s.Code(4));
        QCOMPARE(set.codes[1], s.Code(7));
        QVERIFY(set.ready);
        QCOMPARE(s.context.session.plan.mode, SessionMode::Learning);
        QVERIFY(!s.window->isVisible());
        QVERIFY(!FileExists(s.listPath));
    }

    void aListThatCannotBeReadStaysAndIsSaidSo() {
        Session s;
        QVERIFY(s.ok);
        // A file that exists and gives an error on reading.
        QVERIFY(std::filesystem::exists(s.context.session.paths.userDir));
        std::filesystem::create_symlink("/proc/self/mem", s.listPath);
        MessageWatch watch;
        s.window->ShowDictionaryUnits();
        QCOMPARE(watch.texts().size(), 1);
        QVERIFY(watch.texts().first().startsWith(Utf8(kDictionaryUnreadableMessage)));
        QVERIFY(std::filesystem::is_symlink(s.listPath));
        QVERIFY(!s.window->isVisible());
    }

    void theMainMenuOpensItOnceAndItsUnitsReachThePlanAndThePresentation() {
        TempDir dir;
        std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
        std::filesystem::remove(dir.path() + "dydaktor");
        const std::string programDir = dir.path();
        WriteBytes(programDir + "usr.t", "1=Ewa\r\n");
        std::filesystem::create_directory(programDir + "1");
        FixedClock clock{kToday};
        {
            // Units 1 and 2 of the English course, read before the program opens it.
            AppContext probe(clock);
            probe.programPaths.programDir = programDir;
            probe.programPaths.languageDir = std::string(kLanguageDir);
            QCOMPARE(Login(probe.programPaths, "angielski", 1, "Ewa", clock, probe.session).status,
                     LoginStatus::Opened);
            WriteBytes(programDir + "1/angielskislow.txt",
                       ListFile({probe.session.db.units.unit(1).unitId,
                                 probe.session.db.units.unit(2).unitId}));
        }
        Program program(clock);
        StartupEnvironment environment;
        environment.programFile = programDir + "dydaktor";
        environment.screenSize = QSize(1024, 768);
        environment.changeCurrentFolder = false;
        QVERIFY(program.Start(environment));

        QStringList seen;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (modal == nullptr || modal->property("handled").toBool()) {
                return;
            }
            modal->setProperty("handled", true);
            seen.append(modal->objectName());
            QTimer::singleShot(0, modal, [modal] {
                if (modal->objectName() == QStringLiteral("TForm9")) {
                    auto* courses = Find<QComboBox>(modal, "CB_Baza");
                    courses->setCurrentIndex(
                        courses->findText(QStringLiteral("Angielski"), Qt::MatchStartsWith));
                    Click(modal, "B_OK");
                } else if (modal->objectName() == QStringLiteral("TForm26")) {
                    QCOMPARE(Find<QListWidget>(modal, "ListBox1")->count(), 2);
                    QTest::keyClick(modal, Qt::Key_Return);
                } else if (modal->objectName() == QStringLiteral("TForm8")) {
                    // The presentation runs over the plan of the two units, then the plan closes.
                    Click(modal, "K_Prezentacja");
                    QTest::keyClick(modal, Qt::Key_Escape);
                } else {
                    QTest::keyClick(modal, Qt::Key_Escape);
                }
            });
        });
        poll.start();
        QVERIFY(program.LogIn());
        MainMenuWindow* menu = program.mainMenu();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QTRY_VERIFY(seen.contains(QStringLiteral("TForm33")));
        QTRY_VERIFY(!FileExists(programDir + "1/angielskislow.txt"));
        QCOMPARE(program.context().session.plan.rowCount(), 2);
        QVERIFY(seen.indexOf(QStringLiteral("TForm26")) < seen.indexOf(QStringLiteral("TForm8")));
        QVERIFY(seen.indexOf(QStringLiteral("TForm8")) < seen.indexOf(QStringLiteral("TForm33")));
        // The F1 hint of a new learner waits until the hand-over and what it opened are closed.
        QTRY_VERIFY(seen.contains(QStringLiteral("TForm20")));
        QVERIFY(seen.indexOf(QStringLiteral("TForm33")) < seen.indexOf(QStringLiteral("TForm20")));
        // The list comes back, and the menu is activated again: nothing opens this time.
        WriteBytes(programDir + "1/angielskislow.txt", ListFile({1}));
        QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
        QWidget other;
        other.setGeometry(0, 0, 100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        other.hide();
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        QTest::qWait(50);
        QCOMPARE(seen.count(QStringLiteral("TForm26")), 1);
        QVERIFY(FileExists(programDir + "1/angielskislow.txt"));
        menu->hide();
    }
};

QTEST_MAIN(DictionaryWindowTest)
#include "dictionary_window_test.moc"
