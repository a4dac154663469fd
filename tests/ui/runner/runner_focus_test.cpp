// The keyboard in the exercise runner as the learner meets it: keys go to the window that has
// the keyboard focus and within it to its focused control, exactly as the keyboard sends them.
// The windows are those of the program, wired as the program wires them. The answer field of
// the first step of a kind takes the letters typed; Escape with the command menu open closes
// the menu only; after every small window over the runner or the learning window closes, the
// window below has the keys again; the usual editing keys work in the answer fields and the
// comment dialog wherever Ctrl with that letter types no national character. Run under Xvfb
// with DYD_XDOTOOL set, the keys go through the X server (see ThroughX).

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/login.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"
#include "ui/session/learning_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;

// ---- The keyboard -------------------------------------------------------------------------

// Under X11 with DYD_XDOTOOL set (DISPLAY=:n QT_QPA_PLATFORM=xcb DYD_XDOTOOL=1), the keys go
// through the X server with xdotool, which hands them to the window that has the X input
// focus: the check that the focus comes back without a window manager.
bool ThroughX() {
    static const bool x = QGuiApplication::platformName() == QStringLiteral("xcb") &&
                          qEnvironmentVariableIsSet("DYD_XDOTOOL");
    return x;
}

void Xdotool(const QStringList& arguments) {
    QProcess::execute(QStringLiteral("xdotool"), arguments);
    QTest::qWait(80);
}

QString XKeyName(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QString name;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        name = QChar(u'a' + (key - Qt::Key_A));
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        name = QChar(u'0' + (key - Qt::Key_0));
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        name = QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    } else {
        name = key == Qt::Key_Escape ? QStringLiteral("Escape")
               : key == Qt::Key_Home ? QStringLiteral("Home")
                                     : QStringLiteral("Return");
    }
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        name.prepend(QStringLiteral("shift+"));
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        name.prepend(QStringLiteral("ctrl+"));
    }
    return name;
}

// A key as the keyboard sends it: to the window that has the keyboard focus, which hands it to
// its focused control. False when no window has the focus: the key goes nowhere.
bool Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (ThroughX()) {
        Xdotool({QStringLiteral("key"), XKeyName(key, modifiers)});
        return true;
    }
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr) {
        return false;
    }
    QTest::keyClick(window, key, modifiers);
    return true;
}

// Letters, digits and blanks typed one by one the same way.
bool Type(const QString& text) {
    if (ThroughX()) {
        Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
        return true;
    }
    for (const QChar c : text) {
        QWindow* window = QGuiApplication::focusWindow();
        if (window == nullptr) {
            return false;
        }
        QTest::keyClick(window, c.toLatin1());
    }
    return true;
}

QWidget* FocusedWindow() {
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr) {
        return nullptr;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

// Waits until the window has the keyboard focus (a window's own activity, QWidget's
// isActiveWindow, also counts the windows it stands over).
bool WaitForKeys(QWidget* window) {
    for (int i = 0; i < 2000 && FocusedWindow() != window; ++i) {
        QTest::qWait(5);
    }
    return FocusedWindow() == window;
}

// Runs the action once a window of that objectName shows and has the keyboard focus (as a modal
// window opened over the runner does). A window that never gets the focus is closed after two
// seconds and the test fails on failed().
class WhenShown {
  public:
    WhenShown(const char* name, std::function<void(QWidget*)> action)
        : name_(QString::fromLatin1(name)), action_(std::move(action)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    bool done() const { return done_; }
    bool failed() const { return !done_ || !why_.isEmpty(); }
    const QString& why() const { return why_; }

  private:
    void Poll() {
        QWidget* shown = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name_ && widget->isVisible()) {
                shown = widget;
            }
        }
        if (shown == nullptr || done_) {
            return;
        }
        if (FocusedWindow() != shown) {
            if (++waits_ < 400) {
                return;
            }
            why_ = name_ + QStringLiteral(" never had the keyboard focus");
            timer_.stop();
            done_ = true;
            shown->close();
            return;
        }
        timer_.stop();
        done_ = true;
        action_(shown);
    }

    QString name_;
    std::function<void(QWidget*)> action_;
    QTimer timer_;
    bool done_ = false;
    int waits_ = 0;
    QString why_;
};

void Hover(QWidget* widget) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(widget, &event);
}

// ---- The program --------------------------------------------------------------------------

// The program's windows, created and wired by the start-up, with Ewa logged in to a course of a
// copy of the sample installation and the main menu shown.
struct Desk {
    explicit Desk(const char* course = "angielski") {
        LinkInstallation(DYD_SAMPLE, dir.path());
        program.SetRandom(&random);
        StartupEnvironment environment;
        environment.programFile = dir.path() + "dydaktor";
        environment.screenSize = QSize(1024, 768);
        environment.changeCurrentFolder = false;
        environment.standardBox = [](const QString&) {};
        if (!program.Start(environment)) {
            return;
        }
        AppContext& context = program.context();
        const LoginResult result =
            Login(context.programPaths, course, 1, "Ewa", clock, context.session);
        ok = result.status == LoginStatus::Opened;
        Settings& settings = context.session.settings;
        settings.showStatistics = false;
        settings.f5HintShown = true;
        settings.interludesAtEndOnly = true;
        settings.helpHintShown = true;
        program.mainMenu()->ApplyLogin(result);
        program.mainMenu()->show();
        runner = program.runnerWindow();
    }

    LearnerSession& session() { return program.context().session; }
    int Unit(std::int32_t id) { return session().db.units.IndexOfUnitId(id); }
    const RunnerState& state() const { return runner->runner().state(); }
    QString UnitText() {
        return QString::fromLatin1(session().db.units.unit(state().stepUnit).foreignText.c_str());
    }

    // A plan of the units (by id), each needing `remaining` answers in the kind.
    void Plan(int kind, std::initializer_list<std::int32_t> ids, int remaining = 1) {
        SessionPlan& plan = session().plan;
        plan.rows.clear();
        plan.mode = SessionMode::Learning;
        for (std::int32_t id : ids) {
            PlanRow row;
            row.unitNumber = Unit(id);
            row.cells[static_cast<std::size_t>(kind)].remaining = remaining;
            plan.rows.push_back(row);
        }
    }

    // The kind started as the plan window starts it, with the runner over the main menu.
    bool Start(int kind) {
        if (!runner->Open(kind)) {
            return false;
        }
        runner->show();
        runner->activateWindow();
        return WaitForKeys(runner);
    }

    // The right choice of a choice step, by its digit.
    void ChooseRight() { Key(static_cast<Qt::Key>(Qt::Key_0 + state().correctChoice)); }
    void ChooseWrong() { Key(static_cast<Qt::Key>(Qt::Key_0 + state().correctChoice % 4 + 1)); }

    QString Instruction() { return Find<QLabel>(runner, "L_Polecenie")->text(); }

    // The runner has the keys: a judged step goes on with Enter, and the next step takes its
    // answer from the keyboard (the typed word, or the right digit).
    bool KeysAct() {
        if (FocusedWindow() != runner) {
            qWarning("the keyboard focus is on %s",
                     FocusedWindow() ? qPrintable(FocusedWindow()->objectName()) : "nothing");
            return false;
        }
        if (state().answered) {
            Key(Qt::Key_Return);
            if (state().answered) {
                return false;
            }
        }
        if (Find<QLineEdit>(runner, "E_Wpisana")->isVisible()) {
            Type(UnitText());
            Key(Qt::Key_Return);
            return Instruction() == QStringLiteral("Bardzo dobrze!");
        }
        ChooseRight();
        return state().answered && state().answerCorrect;
    }

    TempDir dir;
    FixedClock clock{kToday};
    SeededRandom random{7};
    Program program{clock};
    bool ok = false;
    RunnerWindow* runner = nullptr;
};

}  // namespace

class RunnerFocusTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The pointer off every window: with the X input focus lost, keys would otherwise go
        // to the window under it.
        if (ThroughX()) {
            Xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
        }
    }

    // Letters typed without a click reach the answer field of the first step of a kind, also
    // after another kind ran first, and again after going back from the statistics.
    void theFirstStepOfAKindTakesTheTypedAnswer() {
        struct Row {
            const char* what;
            int kind;
            std::int32_t unit;
            const char* field;
        };
        const Row rows[] = {
            {"gap filling", kGapFilling, 30101, "E_Wpis1"},
            {"typing the translation", kTypingTranslation, 10101, "E_Wpisana"},
        };
        for (const Row& row : rows) {
            Desk desk;
            QVERIFY(desk.ok);
            // A choice kind first: its window had the keys, with no field.
            desk.Plan(kTranslationChoice, {10101, 10102});
            QVERIFY(desk.Start(kTranslationChoice));
            desk.ChooseRight();
            QVERIFY(Key(Qt::Key_Escape));
            QVERIFY(!desk.runner->isVisible());
            // The window below has the keys again.
            QTRY_COMPARE(FocusedWindow(), static_cast<QWidget*>(desk.program.mainMenu()));

            desk.Plan(row.kind, {row.unit});
            QVERIFY(desk.Start(row.kind));
            const QString answer =
                row.kind == kGapFilling ? QStringLiteral("mother") : desk.UnitText();
            QVERIFY2(Type(answer), row.what);
            QCOMPARE(Find<QLineEdit>(desk.runner, row.field)->text(), answer);
            QVERIFY(Key(Qt::Key_Return));
            QVERIFY2(desk.Instruction() == QStringLiteral("Bardzo dobrze!"), row.what);
        }
    }

    void theGapFieldKeepsTheKeysAfterGoingBackFromTheStatistics() {
        Desk desk;
        QVERIFY(desk.ok);
        desk.session().settings.showStatistics = true;
        desk.Plan(kGapFilling, {30101}, 2);
        QVERIFY(desk.Start(kGapFilling));
        QVERIFY(Type(QStringLiteral("mo")));
        WhenShown statistics("TForm25", [](QWidget* window) {
            QTest::mouseClick(Find<QAbstractButton>(window, "K_wroc"), Qt::LeftButton);
        });
        QVERIFY(Key(Qt::Key_Escape));
        QVERIFY2(!statistics.failed(), qPrintable(statistics.why()));
        QVERIFY(desk.runner->isVisible());
        QVERIFY(Type(QStringLiteral("ther")));
        QCOMPARE(Find<QLineEdit>(desk.runner, "E_Wpis1")->text(), QStringLiteral("mother"));
        QVERIFY(Key(Qt::Key_Return));
        QCOMPARE(desk.Instruction(), QStringLiteral("Bardzo dobrze!"));
    }

    void escapeWithTheMenuOpenClosesTheMenuOnly() {
        Desk desk;
        QVERIFY(desk.ok);
        desk.session().settings.showStatistics = true;
        desk.Plan(kTranslationChoice, {10101, 10102});
        QVERIFY(desk.Start(kTranslationChoice));
        QWidget* menu = Find<QWidget>(desk.runner, "Panel_menu");
        Hover(Find<QWidget>(desk.runner, "K_menu"));
        QVERIFY(menu->isVisible());
        {
            // Nothing else opens: no statistics over the menu.
            WhenShown statistics("TForm25", [](QWidget*) { Key(Qt::Key_Escape); });
            QVERIFY(Key(Qt::Key_Escape));
            QVERIFY(!statistics.done());
        }
        QVERIFY(desk.runner->isVisible());
        QVERIFY(!menu->isVisible());
        QVERIFY(desk.KeysAct());
        // With the menu closed Escape ends the exercise as ever.
        WhenShown statistics("TForm25", [](QWidget*) { Key(Qt::Key_Escape); });
        QVERIFY(Key(Qt::Key_Escape));
        QVERIFY(statistics.done());
        QVERIFY(!desk.runner->isVisible());
    }

    // Each small window over the runner, opened and closed with the keyboard: afterwards the
    // runner has the keys again.
    void theRunnerHasTheKeysAgainAfterASmallWindowCloses() {
        struct Row {
            const char* window;
            int kind;
            std::function<void(Desk&)> open;
            std::function<void(QWidget*)> close;
        };
        const auto escape = [](QWidget*) { Key(Qt::Key_Escape); };
        const Row rows[] = {
            // The answer popup after a wrong choice, with Escape and with Enter.
            {"TForm6", kTranslationChoice,
             [](Desk& d) {
                 d.ChooseWrong();
                 Key(Qt::Key_F5);
             },
             escape},
            {"TForm6", kTranslationChoice,
             [](Desk& d) {
                 d.ChooseWrong();
                 Key(Qt::Key_F5);
             },
             [](QWidget*) { Key(Qt::Key_Return); }},
            {"TForm27", kTranslationChoice, [](Desk&) { Key(Qt::Key_K, Qt::ControlModifier); },
             escape},
            {"TForm30", kTranslationChoice, [](Desk&) { Key(Qt::Key_F8); }, escape},
            {"TForm29", kTranslationChoice, [](Desk&) { Key(Qt::Key_J, Qt::ControlModifier); },
             escape},
            {"TForm28", kTranslationChoice, [](Desk&) { Key(Qt::Key_F1); }, escape},
            {"TInformacjaForm", kTranslationChoice,
             [](Desk& d) {
                 Hover(Find<QWidget>(d.runner, "K_menu"));
                 QTest::mouseClick(Find<QWidget>(d.runner, "K_Zdania"), Qt::LeftButton);
             },
             escape},
            // The F5 hint after the first wrong typed answer.
            {"TForm20", kTypingTranslation,
             [](Desk& d) {
                 d.session().settings.f5HintShown = false;
                 Type(QStringLiteral("xyz"));
                 Key(Qt::Key_Return);
             },
             escape},
            // The statistics, back to the exercise.
            {"TForm25", kTranslationChoice,
             [](Desk& d) {
                 d.session().settings.showStatistics = true;
                 Key(Qt::Key_Escape);
             },
             [](QWidget* window) {
                 QTest::mouseClick(Find<QAbstractButton>(window, "K_wroc"), Qt::LeftButton);
             }},
        };
        for (const Row& row : rows) {
            Desk desk;
            QVERIFY(desk.ok);
            desk.Plan(row.kind, {10101, 10102, 10103});
            QVERIFY(desk.Start(row.kind));
            WhenShown shown(row.window, row.close);
            row.open(desk);
            // The answer popup does not block the runner: it shows after the key returned.
            QTRY_VERIFY2(shown.done(), row.window);
            QVERIFY2(!shown.failed(), qPrintable(shown.why()));
            QVERIFY(desk.runner->isVisible());
            QVERIFY2(desk.KeysAct(), row.window);
        }
    }

    // The interludes between steps (a quotation, a fact, a picture, the matching round): the
    // step after them takes its key at once.
    void theStepAfterAnInterludeTakesItsKey() {
        struct Row {
            int pack;
            const char* window;
        };
        const Row rows[] = {{1, "TForm18"}, {2, "TForm38"}, {3, "TForm16"}, {5, "TForm17"}};
        for (const Row& row : rows) {
            Desk desk;
            QVERIFY(desk.ok);
            // The matching round takes its pairs from the words learnt before.
            RepetitionStore& repetitions = desk.session().repetitions;
            for (int n = 1; n <= 200; ++n) {
                repetitions.record(n).unitId = desk.session().db.units.unit(n).unitId;
            }
            repetitions.recordHighWater = std::max(repetitions.recordHighWater, 200);
            Settings& settings = desk.session().settings;
            settings.interludesAtEndOnly = false;
            for (std::size_t pack = 1; pack < settings.interludeEnabled.size(); ++pack) {
                settings.interludeEnabled[pack] = static_cast<int>(pack) == row.pack;
            }
            desk.Plan(kTranslationChoice, {10101, 10102}, 30);
            QVERIFY(desk.Start(kTranslationChoice));
            WhenShown interlude(row.window, [](QWidget*) { Key(Qt::Key_Escape); });
            for (int step = 0; step < 40 && !interlude.done(); ++step) {
                desk.ChooseRight();
                Key(Qt::Key_Return);
            }
            QVERIFY2(interlude.done(), row.window);
            QVERIFY2(!interlude.failed(), qPrintable(interlude.why()));
            QVERIFY2(desk.KeysAct(), row.window);
        }
    }

    // The learning window has Escape again right after the repetition overview closes.
    void escapeActsRightAfterTheRepetitionOverview() {
        Desk desk;
        QVERIFY(desk.ok);
        LearningWindow* learning = desk.program.learningWindow();
        learning->show();
        learning->activateWindow();
        QVERIFY(WaitForKeys(learning));
        WhenShown overview("TForm21", [](QWidget*) { Key(Qt::Key_Escape); });
        QTest::mouseClick(Find<QAbstractButton>(learning, "K_statystyka"), Qt::LeftButton);
        QVERIFY(overview.done());
        QVERIFY2(!overview.failed(), qPrintable(overview.why()));
        QVERIFY(learning->isVisible());
        QCOMPARE(FocusedWindow(), static_cast<QWidget*>(learning));
        QVERIFY(Key(Qt::Key_Escape));
        QVERIFY(!learning->isVisible());
    }

    // Ctrl+V, Ctrl+C, Ctrl+X and Ctrl+Z in the answer fields and the comment dialog, where the
    // letters type no national character; the national characters stay on their keys.
    void editingKeysInTheTextFields() {
        // Paste, undo, paste again, select all before the cursor, copy, cut.
        const auto edit = [](QLineEdit* field) -> QString {
            QClipboard* clipboard = QGuiApplication::clipboard();
            clipboard->setText(QStringLiteral("dom"));
            field->clear();
            Key(Qt::Key_V, Qt::ControlModifier);
            if (field->text() != QStringLiteral("dom")) {
                return QStringLiteral("Ctrl+V gave '%1'").arg(field->text());
            }
            Key(Qt::Key_Z, Qt::ControlModifier);
            if (!field->text().isEmpty()) {
                return QStringLiteral("Ctrl+Z left '%1'").arg(field->text());
            }
            Key(Qt::Key_V, Qt::ControlModifier);
            Key(Qt::Key_Home, Qt::ShiftModifier);
            clipboard->setText(QStringLiteral("inne"));
            Key(Qt::Key_C, Qt::ControlModifier);
            if (clipboard->text() != QStringLiteral("dom")) {
                return QStringLiteral("Ctrl+C copied '%1'").arg(clipboard->text());
            }
            clipboard->setText(QStringLiteral("inne"));
            Key(Qt::Key_X, Qt::ControlModifier);
            if (clipboard->text() != QStringLiteral("dom") || !field->text().isEmpty()) {
                return QStringLiteral("Ctrl+X: '%1', '%2'").arg(clipboard->text(), field->text());
            }
            return {};
        };
        struct Row {
            const char* course;
            int kind;
            const char* field;
            QString national;  // what Ctrl+Shift+A types after the edits
        };
        const Row rows[] = {
            {"angielski", kTypingTranslation, "E_Wpisana", QString()},
            {"niemiecki", kTypingTranslation, "E_Wpisana", QStringLiteral("Ä")},
            {"angielski", kGapFilling, "E_Wpis1", QString()},
            {"angielski", kTranslationChoice, "Edit1", QString()},
            {"niemiecki", kTranslationChoice, "Edit1", QStringLiteral("Ä")},
        };
        for (const Row& row : rows) {
            Desk desk(row.course);
            QVERIFY(desk.ok);
            const std::int32_t unit = row.kind == kGapFilling ? 30101
                                      : std::string(row.course) == "angielski"
                                          ? 10101
                                          : desk.session().db.units.unit(1).unitId;
            desk.Plan(row.kind, {unit});
            QVERIFY(desk.Start(row.kind));
            QString problem;
            QString typed;
            const auto check = [&](QWidget* window) {
                auto* field = Find<QLineEdit>(window, row.field);
                problem = edit(field);
                field->clear();
                Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
                typed = field->text();
            };
            if (std::string(row.field) == "Edit1") {
                WhenShown comment("TForm27", [&](QWidget* window) {
                    check(window);
                    Key(Qt::Key_Escape);
                });
                Key(Qt::Key_K, Qt::ControlModifier);
                QVERIFY(comment.done());
            } else {
                check(desk.runner);
            }
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("%1 %2: %3")
                                    .arg(QString::fromLatin1(row.course),
                                         QString::fromLatin1(row.field), problem)));
            QCOMPARE(typed, row.national);
        }
    }
};

QTEST_MAIN(RunnerFocusTest)
#include "runner_focus_test.moc"
