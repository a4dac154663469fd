// The settings screen in whole runs of the program on a copy of the sample installation.
// A learner with words due switches the summary on, lets every unit take the choice of
// translation in repetitions and makes self-assessment decide, confirms, repeats: the plan
// follows the new rule, the summary comes, self-assessment decided the intervals, and the
// settings file holds exactly the changed lines (and the login counter) after the restart.
// Another learner's live repetition file gets cut; he declines the copy offered at the login and
// restores it from the settings screen, and finds every record back.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "core/clock.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "find_control.h"
#include "modal_driver.h"
#include "support.h"
#include "ui/runner/runner_window.h"
#include "ui/session/summary_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::TempDir;
using dyd::test::WriteBytes;

namespace {

constexpr double kToday = 46000.0;
constexpr int kChoice = 4;
constexpr int kTyping = 6;
constexpr int kDecidingKind = 16;
constexpr int kLearntWords = 12;

using Driver = dyd::test::ModalDriver;

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(window, name), Qt::LeftButton);
}

void ClickLabel(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QLabel>(window, name), Qt::LeftButton);
}

void ClickItem(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

StartupEnvironment Environment(const std::string& programDir, QStringList* boxes) {
    StartupEnvironment environment;
    environment.programFile = programDir + "dydaktor";
    environment.screenSize = QSize(1024, 768);
    environment.changeCurrentFolder = false;
    environment.standardBox = [boxes](const QString& text) { boxes->append(text); };
    return environment;
}

// Message boxes are read and closed; the end of the program is confirmed.
void HandleCommon(Driver& driver) {
    driver.On("TForm20", [&driver](QDialog* box) {
        driver.messages.append(static_cast<MessageBox*>(box)->text());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    driver.On("TForm24", [](QDialog* question) { Click(question, "B_OK"); });
}

// A new learner "Łucja" on the English course, or the existing one chosen by name.
void HandleLogin(Driver& driver, bool newLearner) {
    driver.On("TForm9", [&driver, newLearner](QDialog* login) {
        auto* databases = Find<QComboBox>(login, "CB_Baza");
        databases->setCurrentIndex(
            databases->findText(QStringLiteral("Angielski"), Qt::MatchStartsWith));
        if (newLearner) {
            Click(login, "TransparentButton1");
            return;
        }
        auto* names = Find<QListWidget>(login, "ComboBox1");
        const QList<QListWidgetItem*> found = names->findItems(QStringLiteral("Łucja"), Qt::MatchExactly);
        if (found.isEmpty()) {
            driver.Fail(QStringLiteral("no learner Łucja"));
            login->reject();
            return;
        }
        names->setCurrentItem(found.first());
        Click(login, "B_OK");
    });
    driver.On("TForm10", [](QDialog* newUser) {
        Find<QLineEdit>(newUser, "Edit1")->insert(QStringLiteral("Łucja"));
        Click(newUser, "B_OK");
    });
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < file.size()) {
        const std::size_t end = file.find("\r\n", from);
        lines.push_back(file.substr(from, end - from));
        from = end == std::string::npos ? file.size() : end + 2;
    }
    return lines;
}

std::string CopySample(const TempDir& dir) {
    std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(dir.path() + "dydaktor");
    return dir.path();
}

}  // namespace

class SettingsEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void changedSettingsSteerTheNextSessionAndOnlyTheirLinesChange();
    void aCutRepetitionFileIsRestoredFromACopyInTheSettings();

  private:
    // The first run of a new learner: his words 1..12 learnt three days ago, the typing and
    // the choice passed at the first answer; the live file written, the program ended (which
    // writes the settings file and the backup).
    void FirstRun(const std::string& programDir);
};

void SettingsEndToEndTest::FirstRun(const std::string& programDir) {
    FixedClock clock{kToday - 3};
    Program program(clock);
    QStringList boxes;
    QVERIFY(program.Start(Environment(programDir, &boxes)));
    Driver driver;
    HandleCommon(driver);
    HandleLogin(driver, true);
    QVERIFY(program.LogIn());
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    LearnerSession& session = program.context().session;
    int learnt = 0;
    for (int u = 1; u <= session.db.units.unitCount() && learnt < kLearntWords; ++u) {
        if (session.db.units.unit(u).unitKind != kWordUnit) {
            continue;
        }
        ++learnt;
        RepetitionRecord& r = session.repetitions.record(u);
        r.unitId = session.db.units.unit(u).unitId;
        r.firstDate = r.lastDate = kToday - 3;
        r.repetitionNo = 1;
        r.interval = 2;
        r.factor = 1.5;
        r.kindMarks[kChoice - 1] = 2;
        r.kindMarks[kTyping - 1] = 2;
    }
    QVERIFY(SaveLiveRepetitions(session.paths, session.db.units, session.repetitions,
                                session.settings, clock)
                .written);
    QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "B_Zamknij"), Qt::LeftButton);
    QVERIFY(!program.mainMenu()->isVisible());
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
}

void SettingsEndToEndTest::changedSettingsSteerTheNextSessionAndOnlyTheirLinesChange() {
    TempDir dir;
    const std::string programDir = CopySample(dir);
    FirstRun(programDir);
    if (QTest::currentTestFailed()) {
        return;
    }
    const std::string settingsFile = programDir + "1/angielski.ustaw";
    const std::string before = ReadBytes(settingsFile);
    const std::vector<std::string> linesBefore = Lines(before);
    QCOMPARE(linesBefore.size(), std::size_t{kSettingsLines});
    QCOMPARE(linesBefore[58], std::string("0"));  // no summary
    QCOMPARE(linesBefore[0], std::string("6"));   // typing decides
    QCOMPARE(linesBefore[kChoice], std::string("0"));  // the choice: "nie zaakceptowane"

    {
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));
        Driver driver;
        HandleCommon(driver);
        HandleLogin(driver, false);
        QVERIFY(program.LogIn());
        LearnerSession& session = program.context().session;

        // The settings: the summary on (other page), the choice for all units and
        // self-assessment deciding (repetitions page).
        driver.On("TForm12", [&driver](QDialog* settings) {
            ClickLabel(settings, "L_inne");
            ClickLabel(settings, "Label11");
            ClickLabel(settings, "l_powt");
            auto* rules = Find<QListWidget>(settings, "CB_Typ");
            ClickItem(rules, kChoice - 1);
            auto* rule = Find<QComboBox>(settings, "CB_Cw");
            if (!rule->isVisible()) {
                driver.Fail(QStringLiteral("no CB_Cw after a click on a kind"));
            }
            rule->setCurrentIndex(1);
            emit rule->activated(1);  // "wszystkie"
            Find<QComboBox>(settings, "CB_Cw_Wyznacz")->setCurrentIndex(1);
            Click(settings, "B_Ok");
        });
        QTest::mouseClick(Find<QLabel>(program.mainMenu(), "btn_ustawienia"), Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
        QCOMPARE(driver.seen.count(QStringLiteral("TForm12")), 1);
        QVERIFY(session.settings.showSummary);
        QCOMPARE(session.settings.repetitionKindRule[kChoice], 1);
        QCOMPARE(session.settings.determiningKindWords, kDecidingKind);

        // The repetitions due today, in the plan the new settings make.
        QStringList planKinds;
        std::vector<int> summaryUnits;
        auto learningSteps = std::make_shared<int>(0);
        driver.On("TForm11", [learningSteps](QDialog* learning) {
            Click(learning, (*learningSteps)++ == 0 ? "B_OK" : "B_Zamknij");
        });
        auto planSteps = std::make_shared<int>(0);
        driver.On("TForm8", [&driver, &planKinds, planSteps](QDialog* plan) {
            if ((*planSteps)++ > 0) {
                Click(plan, "B_Zamknij");
                return;
            }
            auto* list = Find<QListWidget>(plan, "ListBox1");
            int selfAssessment = -1;
            for (int row = 0; row < list->count(); ++row) {
                planKinds.append(list->item(row)->text());
                if (list->item(row)->text().startsWith(QStringLiteral(" - Samoocena ("))) {
                    selfAssessment = row;
                }
            }
            if (selfAssessment < 0) {
                driver.Fail(QStringLiteral("the plan offers no self-assessment"));
                plan->reject();
                return;
            }
            ClickItem(list, selfAssessment);
            Click(plan, "B_OK");
        });
        driver.On("TForm4", [](QDialog* runner) {
            // Self-assessment: Enter shows the answer, 1 says it was known.
            if (Find<QWidget>(runner, "B_Sprawdz")->isVisible()) {
                QTest::keyClick(runner, Qt::Key_Return);
            } else {
                QTest::keyClick(runner, Qt::Key_1);
            }
        });
        driver.On("TForm25", [](QDialog* statistics) { Click(statistics, "B_OK"); });
        for (const char* interlude : {"TForm18", "TForm38", "TForm16", "TForm17"}) {
            driver.On(interlude, [](QDialog* window) { QTest::keyClick(window, Qt::Key_Escape); });
        }
        driver.On("TForm31", [&summaryUnits](QDialog* summary) {
            summaryUnits = static_cast<SummaryWindow*>(summary)->listedUnits();
            Click(summary, "B_Zamknij");
        });
        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"),
                          Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));

        // The choice is planned for every word, the typing (passed, not deciding) for none.
        const QString choiceItem = QStringLiteral(" - ") + Utf8(KindName(kChoice)) +
                                   QStringLiteral(" (%1)").arg(kLearntWords);
        QVERIFY2(planKinds.contains(choiceItem), qPrintable(planKinds.join(QLatin1Char('|'))));
        for (const QString& item : planKinds) {
            QVERIFY2(!item.startsWith(QStringLiteral(" - ") + Utf8(KindName(kTyping))),
                     qPrintable(item));
        }
        QCOMPARE(driver.seen.count(QStringLiteral("TForm31")), 1);  // the summary came
        QCOMPARE(summaryUnits.size(), std::size_t{kLearntWords});

        // Self-assessment decided: every word passed and its interval grew, trunc(2 × 1.5 × 1.9).
        RepetitionStore store;
        ParseRepetitionFile(ReadBytes(programDir + "1/angielski.p"), session.db.units, store);
        int grown = 0;
        for (int u = 1; u <= session.db.units.unitCount(); ++u) {
            const RepetitionRecord& r = store.record(u);
            if (r.unitId == 0) {
                continue;
            }
            QCOMPARE(r.repetitionNo, 2);
            QCOMPARE(r.interval, 5);
            QCOMPARE(static_cast<int>(r.kindMarks[kDecidingKind - 1]), 2);
            QCOMPARE(static_cast<int>(r.kindMarks[kChoice - 1]), 0);  // not run today
            ++grown;
        }
        QCOMPARE(grown, kLearntWords);

        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "B_Zamknij"),
                          Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    }

    // After the restart: the learner's changes are there, and the file changed in their lines
    // and the login counter only.
    FixedClock clock{kToday + 1};
    Program program(clock);
    QStringList boxes;
    QVERIFY(program.Start(Environment(programDir, &boxes)));
    Driver driver;
    HandleCommon(driver);
    HandleLogin(driver, false);
    QVERIFY(program.LogIn());
    const Settings& settings = program.context().session.settings;
    QVERIFY(settings.showSummary);
    QCOMPARE(settings.repetitionKindRule[kChoice], 1);
    QCOMPARE(settings.determiningKindWords, kDecidingKind);

    const std::vector<std::string> linesAfter = Lines(ReadBytes(settingsFile));
    QCOMPARE(linesAfter.size(), linesBefore.size());
    std::set<int> changed;
    for (std::size_t i = 0; i < linesAfter.size(); ++i) {
        if (linesAfter[i] != linesBefore[i]) {
            changed.insert(static_cast<int>(i) + 1);
        }
    }
    QCOMPARE(changed, (std::set<int>{1, 1 + kChoice, 56, 59}));
    QCOMPARE(linesAfter[0], std::string("16"));
    QCOMPARE(linesAfter[kChoice], std::string("1"));
    QCOMPARE(linesAfter[58], std::string("1"));
    QCOMPARE(std::stoi(linesAfter[55]), std::stoi(linesBefore[55]) + 1);
}

void SettingsEndToEndTest::aCutRepetitionFileIsRestoredFromACopyInTheSettings() {
    TempDir dir;
    const std::string programDir = CopySample(dir);
    FirstRun(programDir);
    if (QTest::currentTestFailed()) {
        return;
    }
    const std::string live = programDir + "1/angielski.p";
    const std::string good = ReadBytes(live);
    QCOMPARE(good.size(), kLearntWords * kRecordSize);
    QCOMPARE(ReadBytes(programDir + "1/angielski.pk"), good);
    // The disk loses the end of the live file, in the middle of a record.
    WriteBytes(live, good.substr(0, 5 * kRecordSize + 17));

    FixedClock clock{kToday};
    Program program(clock);
    QStringList boxes;
    QVERIFY(program.Start(Environment(programDir, &boxes)));
    Driver driver;
    HandleCommon(driver);
    HandleLogin(driver, false);
    // The copy offered at the login is declined: the learner goes to the settings instead.
    QString offer;
    driver.On("TForm29", [&offer](QDialog* question) {
        offer = Find<QLabel>(question, "Label1")->text();
        Click(question, "B_Zamknij");
    });
    QVERIFY(program.LogIn());
    QVERIFY2(offer.startsWith(QStringLiteral("Wczytać powtórki z kopii z ")), qPrintable(offer));
    LearnerSession& session = program.context().session;
    int kept = 0;
    for (int u = 1; u <= session.db.units.unitCount(); ++u) {
        kept += session.repetitions.record(u).unitId != 0 ? 1 : 0;
    }
    QCOMPARE(kept, 5);

    QStringList copies;
    driver.On("TForm12", [&driver, &copies](QDialog* settings) {
        ClickLabel(settings, "L_inne");
        auto* list = Find<QListWidget>(settings, "ListBox1");
        int backup = -1;
        for (int row = 0; row < list->count(); ++row) {
            copies.append(list->item(row)->text());
            if (list->item(row)->data(Qt::UserRole).toString() == QStringLiteral("angielski.pk")) {
                backup = row;
            }
        }
        if (backup < 0) {
            driver.Fail(QStringLiteral("the copy list names no angielski.pk"));
            settings->reject();
            return;
        }
        ClickItem(list, backup);
        driver.On("TForm29", [](QDialog* question) {
            if (Find<QLabel>(question, "Label1")->text() ==
                QStringLiteral("Czy chcesz wczytać powtórki z kopii?")) {
                Click(question, "B_OK");
            } else {
                question->reject();
            }
        });
        Click(settings, "K_import_kopia1");
        QTest::keyClick(settings, Qt::Key_Escape);
    });
    driver.messages.clear();
    QTest::mouseClick(Find<QLabel>(program.mainMenu(), "btn_ustawienia"), Qt::LeftButton);
    QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
    QCOMPARE(copies.size(), 2);  // the live file and the backup of the program's end
    QVERIFY(driver.messages.contains(
        QStringLiteral("Wczytano informacje o %1 powtórkach.").arg(kLearntWords)));
    QCOMPARE(ReadBytes(live), good);
    QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "B_Zamknij"), Qt::LeftButton);

    // The next login finds every record, and says nothing of damage.
    FixedClock later{kToday + 1};
    Program next(later);
    QVERIFY(next.Start(Environment(programDir, &boxes)));
    Driver nextDriver;
    HandleCommon(nextDriver);
    HandleLogin(nextDriver, false);
    QVERIFY(next.LogIn());
    QVERIFY2(nextDriver.errors.isEmpty(), qPrintable(nextDriver.errors.join(QLatin1Char('\n'))));
    QVERIFY2(nextDriver.messages.isEmpty(), qPrintable(nextDriver.messages.join(QLatin1Char('\n'))));
    int back = 0;
    for (int u = 1; u <= next.context().session.db.units.unitCount(); ++u) {
        back += next.context().session.repetitions.record(u).unitId != 0 ? 1 : 0;
    }
    QCOMPARE(back, kLearntWords);
}

QTEST_MAIN(SettingsEndToEndTest)
#include "settings_e2e_test.moc"
