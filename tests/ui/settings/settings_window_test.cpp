// The settings screen driven through its controls on a learner of the sample courses: the pages
// and their frame, the kinds of learning mode per course language, the repetition rule taken
// at once, confirming with its interval checks and the file it writes, the check boxes' labels,
// the copy list with restoring a copy, deleting all repetitions and the database parameters.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "find_control.h"
#include "message_watch.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/settings/import_window.h"
#include "ui/settings/settings_window.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::Find;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::WhenModal;
using dyd::test::WriteBytes;
using namespace Qt::StringLiterals;

namespace {

constexpr double kToday = 46000.0;

QStringList ItemTexts(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

// A click on a list item as the learner makes it.
void ClickItem(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// A click on an item's check box.
void ToggleItem(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QRect area = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(area.left() + area.height() / 2 + 2, area.center().y()));
}

void ClickLabel(QWidget* window, const char* name) {
    auto* label = Find<QLabel>(window, name);
    QVERIFY2(label->isVisible(), name);
    QTest::mouseClick(label, Qt::LeftButton);
}

std::string Line(const std::string& file, int n) {
    std::size_t from = 0;
    for (int i = 1; i < n; ++i) {
        from = file.find("\r\n", from) + 2;
    }
    return file.substr(from, file.find("\r\n", from) - from);
}

}  // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<dyd::test::TempDir>();
        dyd::test::LinkInstallation(DYD_SAMPLE, dir_->path());
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = dir_->path();
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(context_->programPaths.programDir);
        context_->openHelp = [this](const QString& page) { helpPages_.append(page); };
        helpPages_.clear();
    }

    void cleanup() {
        window_.reset();
        context_.reset();
        dir_.reset();
    }

    void thePagesAreChosenByTheirLabelsAndFramed() {
        LogIn("angielski");
        Open();
        QVERIFY(Shown(window_.get(), "Panel1"));
        QVERIFY(!Shown(window_.get(), "Panel2"));
        QVERIFY(!Shown(window_.get(), "Panel3"));
        auto* frame = Find<QFrame>(window_.get(), "Shape1");
        const auto framed = [&](const char* label) {
            return frame->geometry().contains(Find<QLabel>(window_.get(), label)->geometry());
        };
        QVERIFY(framed("L_cw"));
        ClickLabel(window_.get(), "l_powt");
        QVERIFY(Shown(window_.get(), "Panel2"));
        QVERIFY(!Shown(window_.get(), "Panel1"));
        QVERIFY(framed("l_powt") && !framed("L_cw"));
        ClickLabel(window_.get(), "L_inne");
        QVERIFY(Shown(window_.get(), "Panel3"));
        QVERIFY(framed("L_inne"));
        QCOMPARE(Find<QLabel>(window_.get(), "L_Kat_usera")->text(),
                 QStringLiteral("Katalog użytkownika: ") +
                     QString::fromStdString(session().paths.userDir));

        // F1 opens the screen's help page; Escape closes; the next showing keeps the page.
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(helpPages_, QStringList{QStringLiteral("ustawienia.html")});
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
        Open();
        QVERIFY(Shown(window_.get(), "Panel3"));
        QVERIFY(framed("L_inne"));
    }

    void learningKindsAreListedPerTableAndLanguageAndTakenOnlyByOk() {
        // The German course lists the article and plural kinds among the words.
        LogIn("niemiecki");
        Open();
        auto* kinds = Find<QListWidget>(window_.get(), "LB_Cw_dostepne");
        QCOMPARE(kinds->item(6)->text(), QStringLiteral("7 Wybór rodzajnika"));
        QCOMPARE(kinds->item(7)->text(), QStringLiteral("8 Wpisywanie l.mnogiej"));
        QCOMPARE(kinds->count(), 10);
        window_.reset();

        LogIn("angielski");
        const Settings before = session().settings;
        Open();
        kinds = Find<QListWidget>(window_.get(), "LB_Cw_dostepne");
        QCOMPARE(ItemTexts(kinds),
                 QStringList({u"1 Rozpoznawanie ze słuchu"_s, u"2 Rozumienie tekstu"_s,
                              u"3 Rozumienie ze słuchu"_s, u"4 Wybór tłumaczenia"_s,
                              u"5 Dyktando"_s, u"6 Wpisywanie tłumaczenia"_s,
                              u"9 Ćwiczenie wymowy"_s, u"16 Samoocena"_s}));
        for (int row = 0; row < kinds->count(); ++row) {
            const int kind = kinds->item(row)->text().section(QLatin1Char(' '), 0, 0).toInt();
            QCOMPARE(kinds->item(row)->checkState() == Qt::Checked,
                     static_cast<bool>(before.learningKinds[1][static_cast<std::size_t>(kind)]));
        }
        // Unticking "2" and switching to the sentences and back keeps the working copy.
        const bool wasTwo = kinds->item(1)->checkState() == Qt::Checked;
        ToggleItem(kinds, 1);
        auto* table = Find<QComboBox>(window_.get(), "CB_Rodzaj_Cw");
        table->setCurrentIndex(1);
        QCOMPARE(ItemTexts(kinds).first(), QStringLiteral("10 Wybór"));
        QCOMPARE(kinds->count(), 7);
        table->setCurrentIndex(2);
        QCOMPARE(ItemTexts(kinds), QStringList{QStringLiteral("17 Tryb QA")});
        table->setCurrentIndex(0);
        QCOMPARE(kinds->item(1)->checkState() == Qt::Checked, !wasTwo);

        // Escape: nothing taken. The next showing starts from the settings again.
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QCOMPARE(session().settings, before);
        Open();
        kinds = Find<QListWidget>(window_.get(), "LB_Cw_dostepne");
        QCOMPARE(kinds->item(1)->checkState() == Qt::Checked, wasTwo);
        ToggleItem(kinds, 1);
        Click(window_.get(), "B_Ok");
        QVERIFY(!window_->isVisible());
        QCOMPARE(session().settings.learningKinds[1][2], !wasTwo);
    }

    void aRepetitionRuleChangesAtOnceEvenWithoutOk() {
        LogIn("angielski");
        const std::string settingsFile = session().paths.userDir + "angielski.ustaw";
        Open();
        ClickLabel(window_.get(), "l_powt");
        auto* rules = Find<QListWidget>(window_.get(), "CB_Typ");
        QCOMPARE(rules->count(), 17);
        QVERIFY(!Shown(window_.get(), "CB_Cw"));
        QVERIFY(!Shown(window_.get(), "L_zmien"));
        const int rule = session().settings.repetitionKindRule[6];
        QCOMPARE(rules->item(5)->text(), QStringLiteral("Wpisywanie tłumaczenia - ") +
                                             Utf8(RepetitionRuleText(rule)));
        ClickItem(rules, 5);
        auto* choice = Find<QComboBox>(window_.get(), "CB_Cw");
        QVERIFY(choice->isVisible());
        QVERIFY(Shown(window_.get(), "L_zmien"));
        QCOMPARE(choice->currentIndex(), rule);
        const int wanted = rule == 3 ? 2 : 3;
        choice->setCurrentIndex(wanted);
        emit choice->activated(wanted);
        QCOMPARE(session().settings.repetitionKindRule[6], wanted);
        QCOMPARE(rules->item(5)->text(), QStringLiteral("Wpisywanie tłumaczenia - ") +
                                             Utf8(RepetitionRuleText(wanted)));
        // Choosing the page again hides the choice.
        ClickLabel(window_.get(), "l_powt");
        QVERIFY(!choice->isVisible());

        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QCOMPARE(session().settings.repetitionKindRule[6], wanted);
        QVERIFY(!std::filesystem::exists(settingsFile));  // only OK writes the file
    }

    void confirmingChecksTheIntervalsAndWritesTheFile() {
        LogIn("angielski");
        const Settings before = session().settings;
        const std::string settingsFile = session().paths.userDir + "angielski.ustaw";
        MessageWatch messages;
        Open();
        ClickLabel(window_.get(), "L_inne");
        auto* mastered = Find<QLineEdit>(window_.get(), "E_P_Powt_inter_umiesz");
        auto* known = Find<QLineEdit>(window_.get(), "E_P_Powt_juz_Umiem");
        QCOMPARE(mastered->text(), QString::number(before.masteredInterval));
        QCOMPARE(known->text(), QString::number(before.knownInterval));
        // The summary's label ticks its box.
        QCOMPARE(Find<QCheckBox>(window_.get(), "CB_Info_po_cwicz")->isChecked(),
                 before.showSummary);
        ClickLabel(window_.get(), "Label11");
        QCOMPARE(Find<QCheckBox>(window_.get(), "CB_Info_po_cwicz")->isChecked(),
                 !before.showSummary);
        ClickLabel(window_.get(), "Label10");
        QCOMPARE(Find<QCheckBox>(window_.get(), "CB_Czy_statystyka")->isChecked(),
                 !before.showStatistics);

        struct Case {
            const char* mastered;
            const char* known;
            QString message;
        };
        const QString masteredMessage = QStringLiteral(
            "W pole \"słówko umiesz gdy interwał...\" należy wpisać wartość od 4 do 200.");
        const QString knownMessage = QStringLiteral(
            "W pole \"Przycisk Już umiem! zmienia interwał...\" należy wpisać wartość od 3 do "
            "400.");
        const Case refused[] = {{"3", "100", masteredMessage},
                                {"201", "100", masteredMessage},
                                {"1O", "100", masteredMessage},
                                {"", "100", masteredMessage},
                                {"10", "2", knownMessage},
                                {"10", "401", knownMessage},
                                {"10", "5 0", knownMessage}};
        for (const Case& c : refused) {
            mastered->setText(QString::fromUtf8(c.mastered));
            known->setText(QString::fromUtf8(c.known));
            Click(window_.get(), "B_Ok");
            QVERIFY(window_->isVisible());
            QCOMPARE(messages.texts().last(), c.message);
            QCOMPARE(session().settings, before);
            QVERIFY(!std::filesystem::exists(settingsFile));
        }

        // Enter confirms from a field: 3 days is a "known" interval.
        mastered->setText(QStringLiteral(" 12 "));
        known->setText(QStringLiteral("3"));
        ClickLabel(window_.get(), "l_powt");
        auto* frequency = Find<QComboBox>(window_.get(), "CB_Czestosc_powtorek");
        QCOMPARE(frequency->currentText(), QStringLiteral("10"));  // 1.9
        frequency->setCurrentIndex(14);
        Find<QComboBox>(window_.get(), "CB_Cw_Wyznacz")->setCurrentIndex(1);
        QTest::keyClick(known, Qt::Key_Return);
        QVERIFY(!window_->isVisible());

        Settings expected = before;
        expected.masteredInterval = 12;
        expected.knownInterval = 3;
        expected.showSummary = !before.showSummary;
        expected.showStatistics = !before.showStatistics;
        expected.frequencyFactor = 2.4;
        expected.determiningKindWords = 16;
        QCOMPARE(session().settings, expected);
        const std::string file = ReadBytes(settingsFile);
        QCOMPARE(file, FormatSettings(expected));
        QCOMPARE(Line(file, 1), std::string("16"));
        QCOMPARE(Line(file, 44), std::string("2.40"));
        QCOMPARE(Line(file, 54), std::string("12"));
        QCOMPARE(Line(file, 58), std::string("3"));
    }

    void theSentenceOfferShowsOnlyWhenTheCourseHasItsMode() {
        LogIn("angielski");
        session().db.params.learningMode2 = true;
        Open();
        QVERIFY(Shown(window_.get(), "CB_Czy_zdania"));
        auto* offer = Find<QCheckBox>(window_.get(), "CB_Czy_zdania");
        const bool was = offer->isChecked();
        ClickLabel(window_.get(), "L_Czy_Zdania");
        QCOMPARE(offer->isChecked(), !was);
        Click(window_.get(), "B_Ok");
        QCOMPARE(session().settings.proposeSentenceExercises, !was);

        session().db.params.learningMode2 = false;
        Open();
        QVERIFY(!Shown(window_.get(), "CB_Czy_zdania"));
        QVERIFY(!Shown(window_.get(), "L_Czy_Zdania"));
    }

    void aDamagedRepetitionFileIsRestoredFromACopy() {
        LogIn("angielski");
        LearnSomeUnits(6);
        LearnerSession& s = session();
        ASSERT_SAVED(SaveRepetitions(s.paths, "angielski.pk", s.db.units, s.repetitions, s.settings,
                                     clock_));
        ASSERT_SAVED(SaveLiveRepetitions(s.paths, s.db.units, s.repetitions, s.settings, clock_));
        const std::string good = ReadBytes(s.paths.userDir + "angielski.p");
        // The live file loses its last records; the login finds fewer than were written.
        WriteBytes(s.paths.userDir + "angielski.p", good.substr(0, 2 * kRecordSize));
        const RepetitionStore learnt = s.repetitions;
        LoadRepetitions(s.paths, "angielski.p", false, s.db.units, s.repetitions, s.settings);
        QCOMPARE(s.settings.savedRecordCount, 6);

        MessageWatch messages;
        Open();
        ClickLabel(window_.get(), "L_inne");
        auto* copies = Find<QListWidget>(window_.get(), "ListBox1");
        QCOMPARE(ItemTexts(copies), QStringList({QStringLiteral("2025-12-09 00:00:00  (6:2)"),
                                                 QStringLiteral("2025-12-09 00:00:00  (6:2)")}));
        QVERIFY(!Shown(window_.get(), "K_import_kopia1"));
        ClickItem(copies, 0);  // angielski.pk
        QVERIFY(Shown(window_.get(), "K_import_kopia1"));

        // Declined: nothing happens.
        WhenModal([](QDialog* question) {
            QCOMPARE(Find<QLabel>(question, "Label1")->text(),
                     QStringLiteral("Czy chcesz wczytać powtórki z kopii?"));
            Click(question, "B_Zamknij");
        });
        Click(window_.get(), "K_import_kopia1");
        QCOMPARE(ReadBytes(s.paths.userDir + "angielski.p").size(), 2 * kRecordSize);

        WhenModal([](QDialog* question) { Click(question, "B_OK"); });
        Click(window_.get(), "K_import_kopia1");
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Wczytano informacje o 6 powtórkach.")});
        QCOMPARE(ReadBytes(s.paths.userDir + "angielski.p"), good);
        for (int u = 1; u <= s.db.units.unitCount(); ++u) {
            QCOMPARE(s.repetitions.record(u), learnt.record(u));
        }
        QCOMPARE(s.settings.savedRecordCount, 6);
    }

    void deletingAllRepetitionsAsksAndKeepsACopy() {
        LogIn("angielski");
        LearnSomeUnits(4);
        LearnerSession& s = session();
        ASSERT_SAVED(SaveLiveRepetitions(s.paths, s.db.units, s.repetitions, s.settings, clock_));
        const std::string good = ReadBytes(s.paths.userDir + "angielski.p");
        Open();
        ClickLabel(window_.get(), "l_powt");
        WhenModal([](QDialog* question) {
            QCOMPARE(Find<QLabel>(question, "Label1")->text(),
                     QStringLiteral("Skasować WSZYSTKIE powtórki?"));
            QTest::keyClick(question, Qt::Key_Escape);
        });
        Click(window_.get(), "K_Kasuj_pow");
        QCOMPARE(ReadBytes(s.paths.userDir + "angielski.p"), good);
        QVERIFY(s.repetitions.record(1).unitId != 0);

        WhenModal([](QDialog* question) { Click(question, "B_OK"); });
        Click(window_.get(), "K_Kasuj_pow");
        QCOMPARE(ReadBytes(s.paths.userDir + "angielski.p"), std::string());
        for (int u = 1; u <= s.db.units.unitCount(); ++u) {
            QCOMPARE(s.repetitions.record(u).unitId, 0);
        }
        QCOMPARE(ReadBytes(s.paths.userDir + "angielski.pkas"), good);
        ClickLabel(window_.get(), "L_inne");
        auto* copies = Find<QListWidget>(window_.get(), "ListBox1");
        QCOMPARE(copies->count(), 2);
        QCOMPARE(copies->item(1)->text(), QStringLiteral("2025-12-09 00:00:00  (4:2)"));
        QCOMPARE(copies->item(1)->data(Qt::UserRole).toString(),
                 QStringLiteral("angielski.pkas"));
    }

    void theDatabaseParametersOpenForTheOpenDatabase() {
        LogIn("angielski");
        DatabaseParametersWindow parameters(*context_);
        Open();
        window_->SetParametersWindow(&parameters);
        ClickLabel(window_.get(), "L_inne");
        QString code;
        WhenModal([&code](QDialog* window) {
            QCOMPARE(window->objectName(), QStringLiteral("TForm32"));
            code = Find<QLineEdit>(window, "E_Id_czesci")->text();
        });
        Click(window_.get(), "k_baza_param");
        QCOMPARE(code, QStringLiteral("angielski"));
        QVERIFY(window_->isVisible());
    }

    void theImportOfEarlierRepetitionsOpensFromTheRepetitionsPage() {
        LogIn("angielski");
        Open();
        ImportWindow import(*context_, window_.get());
        window_->SetImportAction([&import] { import.Run(); });
        ClickLabel(window_.get(), "l_powt");
        QString opened;
        WhenModal([&opened](QDialog* window) { opened = window->objectName(); });
        Click(window_.get(), "K_import");
        QCOMPARE(opened, QStringLiteral("TForm3"));
        QVERIFY(window_->isVisible());
    }

    void anUnreadableSettingsFileIsReplacedOnlyByConfirming() {
        LogIn("angielski");
        const std::string settingsFile = session().paths.userDir + "angielski.ustaw";
        const std::string unreadable = "written by nobody\r\n";
        WriteBytes(settingsFile, unreadable);
        session().settingsUnreadable = true;
        QVERIFY(SaveLearnerStateAtExit(session(), clock_).empty());
        QCOMPARE(ReadBytes(settingsFile), unreadable);

        Open();
        Click(window_.get(), "B_Ok");
        QVERIFY(!session().settingsUnreadable);
        QCOMPARE(ReadBytes(settingsFile), FormatSettings(session().settings));
    }

  private:
    LearnerSession& session() { return context_->session; }

    void LogIn(const std::string& code) {
        window_.reset();
        context_->session = LearnerSession();
        const LoginResult result =
            Login(context_->programPaths, code, 1, "Ewa", clock_, context_->session);
        QCOMPARE(static_cast<int>(result.status), static_cast<int>(LoginStatus::Opened));
        window_ = std::make_unique<SettingsWindow>(*context_);
    }

    // Shows the screen as the main menu does, without waiting in its loop.
    void Open() {
        window_->Fill();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void LearnSomeUnits(int count) {
        RepetitionStore& store = session().repetitions;
        for (int u = 1; u <= count; ++u) {
            RepetitionRecord& r = store.record(u);
            r.unitId = session().db.units.unit(u).unitId;
            r.firstDate = r.lastDate = kToday - u;
            r.repetitionNo = 1;
            r.interval = u;
            r.factor = 1.5;
            r.kindMarks[0] = 1;
        }
        store.chosenKinds[2][4] = true;
        store.recordHighWater = count;
    }

    static void ASSERT_SAVED(const SaveRepetitionsResult& result) {
        QVERIFY2(result.written && result.error.empty(), result.error.c_str());
    }

    FixedClock clock_{kToday};
    std::unique_ptr<dyd::test::TempDir> dir_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<SettingsWindow> window_;
    QStringList helpPages_;
};

QTEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
