// A learner's way through the browser on the English sample course, with the real windows it
// opens: he filters a group, searches a word, composes twelve units, saves them as a set, closes
// the browser, opens it again, loads the set through the set chooser and starts learning it in
// the plan window; then he imports a QA file of his own and finds its units listed as his.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>

#include "core/clock.h"
#include "core/exercise_sets.h"
#include "core/login.h"
#include "find_control.h"
#include "message_watch.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/browser_window.h"
#include "ui/content/search_options_window.h"
#include "ui/session/plan_window.h"
#include "ui/session/set_chooser_window.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WhenModal;

namespace {

void ClickRow(QAbstractItemView* view, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QModelIndex index = view->model()->index(row, view->model()->columnCount() - 1);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
}

int RowWithText(QAbstractItemView* view, const QString& text) {
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        if (view->model()->index(row, 0).data().toString() == text) {
            return row;
        }
    }
    return -1;
}

}  // namespace

class BrowserEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void aLearnerComposesSavesLoadsAndLearnsASet() {
        TempDir dir;
        dyd::test::LinkInstallation(DYD_SAMPLE, dir.path());
        FixedClock clock(46000.4);
        AppContext context(clock);
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        context.openHelp = [](const QString&) {};
        LearnerSession& session = context.session;
        QCOMPARE(Login(context.programPaths, "angielski", 1, "Ewa", clock, session).status,
                 LoginStatus::Opened);

        QWidget owner;
        PlanWindow plan(context, &owner);
        SetChooserWindow chooser(context, &plan, &owner);
        SetParametersWindow parameters(context, &owner);
        SearchOptionsWindow search(context, &owner);
        BrowserWindow browser(context, &owner);
        std::string qaFile = dir.path() + "moje_pytania.txt";
        BrowserDialogs dialogs;
        dialogs.askSetParameters = [&] { return parameters.Ask(); };
        dialogs.chooseSet = [&] { return chooser.ChooseSetModally(); };
        dialogs.openPlan = [&](const std::string& info) { plan.Open(info); };
        dialogs.chooseFile = [&]() -> std::optional<std::string> { return qaFile; };
        dialogs.askSearch = [&]() -> std::optional<BrowserQuery> {
            if (!search.Ask()) {
                return std::nullopt;
            }
            return BrowserQuery{search.queryText().toStdString(), search.foreignQuery(),
                                search.polishQuery(), search.flags()};
        };
        browser.SetDialogs(std::move(dialogs));
        MessageWatch watch;
        auto* grid = Find<QTableView>(&browser, "Grid1");

        browser.Prepare();
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));

        // A group by the filter.
        Click(&browser, "K_filtr");
        auto* groups = Find<QComboBox>(&browser, "CB_Gr_Tem");
        groups->setCurrentIndex(1);
        const QString groupName = groups->currentText();
        Click(&browser, "K_Pokaz_slowka");
        QVERIFY(browser.listed().size() >= 12);
        const std::int32_t groupId = session.db.units.unit(browser.listed().front()).groupId;
        for (const int unit : browser.listed()) {
            QCOMPARE(session.db.units.unit(unit).groupId, groupId);
        }
        // A word searched, then back to the group's units.
        const std::string word = session.db.units.unit(browser.listed().front()).foreignText;
        WhenModal([&](QDialog* dialog) {
            QTest::keyClicks(Find<QLineEdit>(dialog, "Edit1"), QString::fromStdString(word));
            Find<QCheckBox>(dialog, "CH_Jak_cale")->setChecked(true);
            Find<QCheckBox>(dialog, "CH_Jak_ang")->setChecked(true);
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!browser.listed().empty());
        QVERIFY(Find<QLabel>(&browser, "L_Ile_wybrano")->text().startsWith(
            QStringLiteral("Szukaj - słowo \"%1\" wystąpiło ").arg(QString::fromStdString(word))));
        QTest::keyClick(grid, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(session.db.units.unit(browser.listed().front()).groupId, groupId);

        // Twelve units composed and saved as a set.
        ClickRow(grid, 0);
        ClickRow(grid, 11, Qt::ShiftModifier);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(browser.composed().size(), std::size_t{12});
        const std::vector<int> composed = browser.composed();
        WhenModal([](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm15"));
            QTest::keyClicks(Find<QLineEdit>(dialog, "E_Nazwa"), QStringLiteral("Dwanascie"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        Click(&browser, "K_zapisz_jako");
        QCOMPARE(watch.texts().back(), QStringLiteral("Ćwiczenie \"Dwanascie\" zapisano."));
        const std::string sets = ReadBytes(session.paths.databaseDir + "cwa_su.txt");
        std::string codes;
        for (const int unit : composed) {
            char code[8];
            std::snprintf(code, sizeof code, "=%05d", session.db.units.unit(unit).unitId);
            codes += code;
        }
        QVERIFY2(sets.find("=Dwanascie" + codes + "\r\n") != std::string::npos, sets.c_str());
        QTest::keyClick(&browser, Qt::Key_Escape);
        QVERIFY(!browser.isVisible());

        // Open again: the list is empty; the set is loaded through the chooser.
        browser.Prepare();
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QVERIFY(browser.composed().empty());
        QVERIFY(Shown(&browser, "K_wczytaj"));
        bool chosen = false;
        WhenModal([&](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TWyborZdanForm"));
            auto* sections = Find<QListView>(dialog, "pb_dzialy2");
            const int section = RowWithText(sections, groupName);
            QVERIFY(section >= 0);
            ClickRow(sections, section);
            auto* setList = Find<QListView>(dialog, "pb_paczki");
            const int set = RowWithText(setList, QStringLiteral("Dwanascie"));
            QVERIFY(set >= 0);
            ClickRow(setList, set);
            Click(dialog, "B_OK");
            chosen = true;
        });
        Click(&browser, "K_wczytaj");
        QVERIFY(chosen);
        std::vector<int> loaded = browser.composed();
        std::vector<int> expected = composed;
        std::sort(loaded.begin(), loaded.end());
        std::sort(expected.begin(), expected.end());
        QVERIFY(std::includes(loaded.begin(), loaded.end(), expected.begin(), expected.end()));
        QCOMPARE(Find<QLabel>(&browser, "L_Ile_cw")->text(),
                 QStringLiteral("%1, cw: Dwanascie").arg(browser.composed().size()));

        // Learning starts in the plan window over the loaded units.
        bool planned = false;
        WhenModal([&](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm8"));
            planned = session.plan.rowCount() == static_cast<int>(browser.composed().size());
            dialog->done(0);
        });
        Click(&browser, "K_Nauka");
        QVERIFY(planned);
        QCOMPARE(session.plan.mode, SessionMode::Learning);

        // A QA file of his own: its units are listed as his.
        dyd::test::WriteBytes(qaFile, "Q: How are you?\r\nA: Jak się masz?\r\n\r\nQ: Thank you\r\nA: Dziękuję\r\n");
        const int before = session.db.units.unitCount();
        Click(&browser, "K_import_qa");
        QCOMPARE(watch.texts().back(), QStringLiteral("Zaimportowano: 2 jednostek!"));
        Click(&browser, "K_filtr");
        Find<QComboBox>(&browser, "CB_Gr_Tem")->setCurrentIndex(0);
        Find<QComboBox>(&browser, "CB_Filtr_2")->setCurrentIndex(1);
        Click(&browser, "K_Pokaz_slowka");
        QCOMPARE(browser.listed(), (std::vector<int>{before + 1, before + 2}));
        ClickRow(grid, 1);
        QVERIFY(Shown(&browser, "K_Edycja"));
        QVERIFY(Shown(&browser, "K_Usun_Slowko"));
        QTest::keyClick(&browser, Qt::Key_Escape);
        const std::string learnerUnits = ReadBytes(session.paths.databaseDir + "sbusr.txt");
        QVERIFY(learnerUnits.find("Thank you") != std::string::npos);
        QVERIFY(learnerUnits.find("How are you?") != std::string::npos);
    }
};

QTEST_MAIN(BrowserEndToEndTest)
#include "browser_e2e_test.moc"
