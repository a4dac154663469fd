// The main menu driven through its controls: the ten-unit rule of its learning entries, the
// exercise-set button, the hover pictures, the one-time F1 hint across runs and what closing the
// menu writes to the learner's folder.

#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/history.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "find_control.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/main_menu_window.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;

using dyd::test::Find;

// Watches for modal windows while the test runs: each one that opens is handed to the action
// (which may close it) and then closed; the texts of message boxes are kept.
class ModalWatch {
  public:
    explicit ModalWatch(std::function<void(QWidget*)> action = {}) : action_(std::move(action)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    const QStringList& messages() const { return messages_; }
    int count() const { return count_; }

  private:
    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal == last_) {
            return;
        }
        last_ = modal;
        ++count_;
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Label1"))) {
            messages_.append(label->text());
        }
        if (action_) {
            action_(modal);
        }
        if (QApplication::activeModalWidget() == modal) {
            modal->done(0);
        }
        last_ = nullptr;
    }

    std::function<void(QWidget*)> action_;
    QTimer timer_;
    QDialog* last_ = nullptr;
    QStringList messages_;
    int count_ = 0;
};

// Lets queued work (activation, deferred dialogs) run.
void Settle() {
    for (int i = 0; i < 5; ++i) {
        QTest::qWait(20);
    }
}

void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    Settle();
}

void Hover(QWidget* button, bool enter) {
    if (enter) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(button, &event);
    } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(button, &event);
    }
}

Unit MakeUnit(std::int32_t id, std::int32_t kind) {
    Unit unit;
    unit.unitId = id;
    unit.unitKind = kind;
    return unit;
}

// One run of the program on an installation: the login of a learner into a database, then the
// main menu with its message box and yes/no dialog.
struct Run {
    Run(const std::string& programDir, const std::string& code, std::int32_t learner)
        : context(clock) {
        context.programPaths.programDir = programDir;
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(programDir);
        result = Login(context.programPaths, code, learner, "Ewa", clock, context.session);
        menu = std::make_unique<MainMenuWindow>(context);
        messages = new MessageBox(context, menu.get());
        yesNo = new YesNoDialog(context, menu.get());
        menu->SetDialogs(messages, yesNo);
        menu->ApplyLogin(result);
    }

    FixedClock clock{kToday};
    AppContext context;
    LoginResult result;
    std::unique_ptr<MainMenuWindow> menu;
    MessageBox* messages;
    YesNoDialog* yesNo;
};

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void learningEntriesNeedTenUnits() {
        struct Case {
            const char* name;
            int words, sentences, qa;
            bool learningOpens, setsOpen;
        };
        const Case cases[] = {
            {"12 sentences and 5 words", 5, 12, 0, false, true},
            {"9 words", 9, 0, 0, false, false},
            {"10 words", 10, 0, 0, true, true},
            {"6 words and 4 question items", 6, 0, 4, true, true},
            {"30 sentences only", 0, 30, 0, false, true},
        };
        for (const Case& c : cases) {
            FixedClock clock{kToday};
            AppContext context(clock);
            context.programPaths.programDir = DYD_SAMPLE "/";
            context.programPaths.languageDir = std::string(kLanguageDir);
            context.images.Load(context.programPaths.programDir);
            std::int32_t id = 1;
            for (int i = 0; i < c.words; ++i) {
                QVERIFY(context.session.db.units.Append(MakeUnit(id++, kWordUnit)));
            }
            for (int i = 0; i < c.qa; ++i) {
                QVERIFY(context.session.db.units.Append(MakeUnit(id++, kQaUnit)));
            }
            for (int i = 0; i < c.sentences; ++i) {
                QVERIFY(context.session.db.units.Append(MakeUnit(id++, kSentenceUnit)));
            }
            context.session.history.records.push_back(
                MakeCatalogueEntry("1sb01", "Zestaw", kWordSetCategory, kToday));
            context.session.settings.helpHintShown = true;

            MainMenuWindow menu(context);
            int learning = 0;
            int sets = 0;
            MainMenuActions actions;
            actions.learning = [&learning] { ++learning; };
            actions.exerciseSets = [&sets] { ++sets; };
            menu.SetActions(actions);
            ShowActive(&menu);
            QVERIFY2(Find<QAbstractButton>(&menu, "K_cwiczenia")->isVisible(), c.name);

            const QString refusal = QString::fromUtf8(kTooFewUnitsText);
            {
                ModalWatch watch;
                QTest::mouseClick(Find<QAbstractButton>(&menu, "btn_cwiczenia"), Qt::LeftButton);
                QCOMPARE(learning, c.learningOpens ? 1 : 0);
                QCOMPARE(watch.messages(), c.learningOpens ? QStringList() : QStringList{refusal});
            }
            {
                ModalWatch watch;
                QTest::mouseClick(Find<QAbstractButton>(&menu, "K_cwiczenia"), Qt::LeftButton);
                QCOMPARE(sets, c.setsOpen ? 1 : 0);
                QCOMPARE(watch.messages(), c.setsOpen ? QStringList() : QStringList{refusal});
            }
            menu.hide();
        }
    }

    // Without a mouse: Tab reaches every entry of the menu in turn, Enter or the space bar runs
    // it.
    void everyEntryIsReachedWithTabAndRunWithEnter() {
        FixedClock clock{kToday};
        AppContext context(clock);
        context.programPaths.programDir = DYD_SAMPLE "/";
        context.programPaths.languageDir = std::string(kLanguageDir);
        for (std::int32_t id = 1; id <= 12; ++id) {
            QVERIFY(context.session.db.units.Append(MakeUnit(id, kWordUnit)));
        }
        context.session.history.records.push_back(
            MakeCatalogueEntry("1sb01", "Zestaw", kWordSetCategory, kToday));
        context.session.settings.helpHintShown = true;
        QStringList ran;
        context.openHelp = [&ran](const QString& page) { ran << page; };
        MainMenuWindow menu(context);
        MainMenuActions actions;
        actions.learning = [&ran] { ran << QStringLiteral("learning"); };
        actions.results = [&ran] { ran << QStringLiteral("results"); };
        actions.exerciseSets = [&ran] { ran << QStringLiteral("sets"); };
        actions.newUnit = [&ran] { ran << QStringLiteral("newUnit"); };
        actions.browser = [&ran] { ran << QStringLiteral("browser"); };
        actions.settings = [&ran] { ran << QStringLiteral("settings"); };
        menu.SetActions(actions);
        ShowActive(&menu);

        struct Entry {
            const char* name;
            Qt::Key key;
            const char* runs;
        };
        const Entry entries[] = {{"btn_cwiczenia", Qt::Key_Return, "learning"},
                                 {"btn_wyniki", Qt::Key_Return, "results"},
                                 {"K_cwiczenia", Qt::Key_Space, "sets"},
                                 {"k_nowe_slowko", Qt::Key_Enter, "newUnit"},
                                 {"L_Przegladaj", Qt::Key_Return, "browser"},
                                 {"btn_ustawienia", Qt::Key_Space, "settings"},
                                 {"btn_pomoc", Qt::Key_Return, "index.html"},
                                 {"L_napis_logo", Qt::Key_Return, "seria.html"}};
        for (const Entry& e : entries) {
            auto* target = Find<QWidget>(&menu, e.name);
            for (int tab = 0; tab < 20 && QApplication::focusWidget() != target; ++tab) {
                QTest::keyClick(QApplication::focusWidget() != nullptr
                                    ? QApplication::focusWidget()
                                    : static_cast<QWidget*>(&menu),
                                Qt::Key_Tab);
            }
            QVERIFY2(QApplication::focusWidget() == target, e.name);
            ran.clear();
            QTest::keyClick(target, e.key);
            QCOMPARE(ran, QStringList{QString::fromLatin1(e.runs)});
        }
        menu.hide();
    }

    void exerciseSetButtonFollowsTheCatalogue() {
        FixedClock clock{kToday};
        AppContext context(clock);
        context.programPaths.programDir = DYD_SAMPLE "/";
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.session.settings.helpHintShown = true;
        MainMenuWindow menu(context);
        ShowActive(&menu);
        auto* sets = Find<QAbstractButton>(&menu, "K_cwiczenia");
        QVERIFY(!sets->isVisible());
        QVERIFY(!Find<QAbstractButton>(&menu, "btn_powtorki")->isVisible());

        context.session.history.records.push_back(
            MakeCatalogueEntry("2us01", "Moje", kUserSetCategory, kToday));
        menu.UpdateExerciseSetsButton();
        QVERIFY(sets->isVisible());
    }

    void hoverShowsThePictureOfTheButtonAndPlaysTheAnimation() {
        TempDir dir;
        std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
        // Without its picture a button still plays the animation.
        std::filesystem::remove(ResolvePath(dir.path(), "Lang_s/0/gfx_s/m_3.bmp"));
        FixedClock clock{kToday};
        AppContext context(clock);
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        context.session.settings.helpHintShown = true;
        MainMenuWindow menu(context);
        ShowActive(&menu);
        auto* hint = Find<QLabel>(&menu, "i_hint");
        auto* animation = Find<QWidget>(&menu, "Animate1");
        QVERIFY(!hint->isVisible() && !animation->isVisible());

        auto* learning = Find<QWidget>(&menu, "btn_cwiczenia");
        Hover(learning, true);
        QVERIFY(hint->isVisible());
        QVERIFY(animation->isVisible());
        const QImage expected(
            QString::fromStdString(ResolvePath(dir.path(), "Lang_s/0/gfx_s/m_2.bmp")));
        QCOMPARE(hint->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 expected.convertToFormat(QImage::Format_RGB32));
        Hover(learning, false);
        QVERIFY(!hint->isVisible() && !animation->isVisible());

        auto* results = Find<QWidget>(&menu, "btn_wyniki");
        Hover(results, true);
        QVERIFY(!hint->isVisible());
        QVERIFY(animation->isVisible());
        Hover(results, false);
        QVERIFY(!animation->isVisible());
    }

    void titleAndNameLabelAfterTheLogin() {
        TempDir dir;
        std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
        std::filesystem::remove(dir.path() + "db/angielski/menu_slow.bmp");
        Run run(dir.path(), "angielski", 1);
        QCOMPARE(run.result.status, LoginStatus::Opened);
        run.context.session.settings.helpHintShown = true;
        ShowActive(run.menu.get());
        const DatabaseParameters& params = run.context.session.db.params;
        QCOMPARE(run.menu->windowTitle(),
                 Polish(params.title) + QStringLiteral(" - ") + Polish(params.subtitle));
        auto* name = Find<QLabel>(run.menu.get(), "L_nazwa");
        QVERIFY(name->isVisible());
        QCOMPARE(name->text(), Polish(params.title) + QLatin1Char('\n') + Polish(params.author));

        Run withPicture(dir.path(), "niemiecki", 1);
        withPicture.context.session.settings.helpHintShown = true;
        ShowActive(withPicture.menu.get());
        QVERIFY(!Find<QLabel>(withPicture.menu.get(), "L_nazwa")->isVisible());
    }

    void helpHintShownOncePerLearnerAndDatabase() {
        TempDir dir;
        std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
        const QString hint = QString::fromUtf8(kHelpHintText);
        const auto runOnce = [&dir](const std::string& code, std::int32_t learner,
                                    QStringList& shown) {
            Run run(dir.path(), code, learner);
            ModalWatch watch([](QWidget* modal) {
                if (modal->objectName() == QStringLiteral("TForm24")) {
                    QTest::mouseClick(Find<QAbstractButton>(modal, "B_OK"), Qt::LeftButton);
                }
            });
            ShowActive(run.menu.get());
            // Activating the menu again after the hint does not repeat it.
            run.menu->activateWindow();
            Settle();
            QTest::mouseClick(Find<QAbstractButton>(run.menu.get(), "B_Zamknij"), Qt::LeftButton);
            Settle();
            QVERIFY(!run.menu->isVisible());
            QVERIFY(run.menu->stateSaved());
            shown = watch.messages();
        };
        struct Step {
            const char* code;
            std::int32_t learner;
            bool hintShown;
        };
        // The second run of a learner in a database finds the hint recorded in his settings;
        // another database or another learner gets his own hint.
        const Step steps[] = {{"angielski", 1, true},
                              {"angielski", 1, false},
                              {"niemiecki", 1, true},
                              {"angielski", 2, true},
                              {"niemiecki", 1, false}};
        for (const Step& step : steps) {
            QStringList shown{QStringLiteral("not run")};
            runOnce(step.code, step.learner, shown);
            QCOMPARE(shown, step.hintShown ? QStringList{hint} : QStringList{});
        }
    }

    void closingWritesSettingsBackupAndHistoryCopy() {
        struct Case {
            const char* name;
            int startCounter;  // as the login leaves it
            bool learnt;       // a unit has a repetition record
            const char* backup;
        };
        const Case cases[] = {
            {"an ordinary end", 3, true, ".pk"},
            {"every fifth start", 5, true, ".p5"},
            {"nothing learnt yet", 3, false, nullptr},
        };
        for (const Case& c : cases) {
            TempDir dir;
            std::filesystem::copy(DYD_SAMPLE, dir.path(), std::filesystem::copy_options::recursive);
            Run run(dir.path(), "angielski", 1);
            QCOMPARE(run.result.status, LoginStatus::Opened);
            LearnerSession& session = run.context.session;
            session.settings.helpHintShown = true;
            session.settings.startCounter = c.startCounter;
            if (c.learnt) {
                RepetitionRecord& record = session.repetitions.record(3);
                record.unitId = session.db.units.unit(3).unitId;
                record.firstDate = record.lastDate = kToday - 2;
                record.interval = 4;
                record.factor = 1.9;
                session.repetitions.recordHighWater = session.db.units.unitCount();
            }
            const std::string user = session.paths.userDir;
            // The settings are written first, as they stand when the menu closes.
            const std::string settingsAtClose = FormatSettings(session.settings);

            ShowActive(run.menu.get());
            {
                ModalWatch answerNo([](QWidget* modal) {
                    QTest::mouseClick(Find<QAbstractButton>(modal, "B_Zamknij"), Qt::LeftButton);
                });
                QTest::mouseClick(Find<QAbstractButton>(run.menu.get(), "B_Zamknij"),
                                  Qt::LeftButton);
                Settle();
                QCOMPARE(answerNo.count(), 1);
                QVERIFY2(run.menu->isVisible(), c.name);
                QVERIFY2(!std::filesystem::exists(user + "angielski.ustaw"), c.name);
            }

            ModalWatch answerYes([](QWidget* modal) {
                QTest::mouseClick(Find<QAbstractButton>(modal, "B_OK"), Qt::LeftButton);
            });
            QTest::keyClick(run.menu.get(), Qt::Key_Escape);
            Settle();
            QVERIFY2(!run.menu->isVisible(), c.name);

            QCOMPARE(ReadBytes(user + "angielski.ustaw"), settingsAtClose);
            QVERIFY(!std::filesystem::exists(user + "angielski.p"));
            if (c.backup != nullptr) {
                int written = 0;
                const std::string expected = FormatRepetitionFile(
                    session.repetitions, session.db.units.unitCount(), &written);
                QCOMPARE(written, 1);
                QCOMPARE(ReadBytes(user + "angielski" + c.backup), expected);
                QCOMPARE(ReadBytes(HistoryCopyFilePath(session.paths)),
                         FormatHistory(session.history));
            } else {
                QVERIFY(!std::filesystem::exists(user + "angielski.pk"));
                QVERIFY(!std::filesystem::exists(user + "angielski.p5"));
                QVERIFY(!std::filesystem::exists(HistoryCopyFilePath(session.paths)));
            }
        }
    }
};

QTEST_MAIN(MainMenuTest)
#include "main_menu_test.moc"
