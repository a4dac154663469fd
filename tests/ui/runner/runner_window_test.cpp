// The exercise runner driven through its controls on a copy of the sample installation: choices
// by key and by click, typed answers with Enter and their acceptance, self-assessment, the gap
// fields of gap filling, which buttons show in which state, the unit commands on their Ctrl keys
// with the confirmation answered, national characters in the answer field, the command menu, and
// closing with Escape.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "sample_installation.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/markup_view.h"
#include "ui/runner/runner_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 45000.0;

// Answers each modal window that opens while it lives: the confirmation dialog with yes or no,
// message boxes by closing them; keeps their texts.
class ModalWatch {
  public:
    explicit ModalWatch(bool confirm = true) : confirm_(confirm) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    const QStringList& texts() const { return texts_; }

  private:
    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal->objectName() == QStringLiteral("TForm4")) {
            return;
        }
        if (auto* label = modal->findChild<QLabel*>(QStringLiteral("Label1"))) {
            texts_.append(label->text());
        }
        if (modal->objectName() == QStringLiteral("TForm29") && confirm_) {
            QTest::mouseClick(Find<QAbstractButton>(modal, "B_OK"), Qt::LeftButton);
        }
        if (QApplication::activeModalWidget() == modal) {
            modal->reject();
        }
    }

    bool confirm_;
    QTimer timer_;
    QStringList texts_;
};

// One learner in one course of the sample, a plan built by hand and the runner window.
struct Session {
    explicit Session(const char* course = "angielski") : context(clock) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        const LoginResult result =
            Login(context.programPaths, course, 1, "Ewa", clock, context.session);
        ok = result.status == LoginStatus::Opened;
        context.session.settings.showStatistics = false;
        context.session.settings.f5HintShown = true;
        context.session.settings.interludesAtEndOnly = true;
        window = std::make_unique<RunnerWindow>(context);
        window->SetRandom(random);
        messages = new MessageBox(context, window.get());
        confirmation = new ConfirmationDialog(context, window.get());
        window->SetDialogs(messages, confirmation);
    }

    int Unit(std::int32_t id) const { return context.session.db.units.IndexOfUnitId(id); }

    // A plan of the units (by id), each needing `remaining` answers in the kind.
    void Plan(int kind, std::initializer_list<std::int32_t> ids, int remaining = 1) {
        SessionPlan& plan = context.session.plan;
        plan.rows.clear();
        plan.mode = SessionMode::Learning;
        for (std::int32_t id : ids) {
            PlanRow row;
            row.unitNumber = Unit(id);
            row.cells[static_cast<std::size_t>(kind)].remaining = remaining;
            plan.rows.push_back(row);
        }
    }

    PlanEntry& Cell(std::int32_t id, int kind) {
        for (PlanRow& row : context.session.plan.rows) {
            if (row.unitNumber == Unit(id)) {
                return row.cells[static_cast<std::size_t>(kind)];
            }
        }
        qFatal("no row");
    }

    bool Start(int kind) {
        if (!window->Open(kind)) {
            return false;
        }
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    const RunnerState& state() const { return window->runner().state(); }

    TempDir dir;
    FixedClock clock{kToday};
    SeededRandom random{7};
    AppContext context;
    bool ok = false;
    std::unique_ptr<RunnerWindow> window;
    MessageBox* messages;
    ConfirmationDialog* confirmation;
};

// A key as the learner presses it: to the control that has the focus.
void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr && window->isAncestorOf(target) ? target : window, key,
                    modifiers);
}

bool Shown(QWidget* window, const char* name) {
    return Find<QWidget>(window, name)->isVisible();
}

QString TextOf(QWidget* window, const char* name) {
    return Find<QLabel>(window, name)->text();
}

void Hover(QWidget* widget) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class RunnerWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void choiceByKeyAndByClick() {
        Session s;
        QVERIFY(s.ok);
        s.Plan(kTranslationChoice, {10101, 10102});
        QVERIFY(s.Start(kTranslationChoice));
        QWidget* w = s.window.get();
        QCOMPARE(w->objectName(), QStringLiteral("TForm4"));
        QVERIFY(Shown(w, "L_Odp1") && Shown(w, "L_Odp4") && Shown(w, "wyr4"));
        QVERIFY(!Shown(w, "B_OK") && !Shown(w, "E_Wpisana") && !Shown(w, "B_Sprawdz"));

        // The right choice by its digit key.
        const std::int32_t first = s.context.session.db.units.unit(s.state().stepUnit).unitId;
        const int right = s.state().correctChoice;
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + right));
        QCOMPARE(s.Cell(first, kTranslationChoice).remaining, 0);
        QCOMPARE(s.Cell(first, kTranslationChoice).attempts, 1);
        QCOMPARE(TextOf(w, "L_Polecenie"), QStringLiteral("Bardzo dobrze!"));
        QVERIFY(Shown(w, "B_OK") && !Shown(w, "L_Odp1"));
        QCOMPARE(TextOf(w, "L_Stat1"), QStringLiteral(" 1"));
        // A judged step takes no second choice.
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + (right % 4) + 1));
        QCOMPARE(s.Cell(first, kTranslationChoice).attempts, 1);

        // Enter goes on; a click on a wrong choice judges the next unit.
        Press(w, Qt::Key_Return);
        const std::int32_t second = s.context.session.db.units.unit(s.state().stepUnit).unitId;
        QVERIFY(second != first);
        const int wrong = s.state().correctChoice % 4 + 1;
        const QByteArray name = "L_Odp" + QByteArray::number(wrong);
        QTest::mouseClick(Find<QLabel>(w, name.constData()), Qt::LeftButton);
        QCOMPARE(s.Cell(second, kTranslationChoice).remaining, 1);
        QCOMPARE(s.Cell(second, kTranslationChoice).attempts, 1);
        QCOMPARE(TextOf(w, "L_Polecenie"), QStringLiteral("Poprawnie:"));
        QCOMPARE(TextOf(w, "L_Stat2"), QStringLiteral(" 1"));
        QVERIFY(Shown(w, "L_Poprawna") && Shown(w, "B_OK"));
    }

    void choicesTurnBlueUnderTheMouse() {
        Session s;
        s.Plan(kTranslationChoice, {10101, 10102});
        QVERIFY(s.Start(kTranslationChoice));
        auto* choice = Find<QLabel>(s.window.get(), "L_Odp2");
        const QColor before = choice->palette().color(QPalette::WindowText);
        Hover(choice);
        QCOMPARE(choice->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(before != QColor(0, 0, 255));
    }

    void typedAnswerWithEnterAndItsAcceptance() {
        Session s;
        s.Plan(kTypingTranslation, {10101, 10102});
        QVERIFY(s.Start(kTypingTranslation));
        QWidget* w = s.window.get();
        auto* field = Find<QLineEdit>(w, "E_Wpisana");
        QVERIFY(field->isVisible() && field->hasFocus());
        QVERIFY(Shown(w, "B_OK") && !Shown(w, "K_Zaakceptuj"));

        // Digits are text in the field, not choices; Enter types nothing and judges.
        const std::int32_t first = s.context.session.db.units.unit(s.state().stepUnit).unitId;
        QTest::keyClicks(field, QStringLiteral("x1"));
        QCOMPARE(field->text(), QStringLiteral("x1"));
        Press(w, Qt::Key_Return);
        QCOMPARE(s.Cell(first, kTypingTranslation).attempts, 1);
        QCOMPARE(s.Cell(first, kTypingTranslation).remaining, 1);
        QVERIFY(Shown(w, "K_Zaakceptuj") && !field->isVisible());
        QCOMPARE(TextOf(w, "L_Polecenie"), QStringLiteral("Poprawnie:"));

        // F3 accepts the wrong answer: counted right once, attempts unchanged.
        Press(w, Qt::Key_F3);
        QCOMPARE(s.Cell(first, kTypingTranslation).remaining, 0);
        QCOMPARE(s.Cell(first, kTypingTranslation).attempts, 1);
        QCOMPARE(TextOf(w, "L_Stat1"), QStringLiteral(" 1"));
        QCOMPARE(TextOf(w, "L_Stat2"), QStringLiteral(" 0"));
        QVERIFY(!Shown(w, "K_Zaakceptuj"));

        // The next unit typed right.
        QTest::mouseClick(Find<QAbstractButton>(w, "B_OK"), Qt::LeftButton);
        QVERIFY(field->isVisible() && field->text().isEmpty());
        const Unit& unit = s.context.session.db.units.unit(s.state().stepUnit);
        QTest::keyClicks(field, QString::fromLatin1(unit.foreignText.c_str()));
        Press(w, Qt::Key_Enter);
        QCOMPARE(TextOf(w, "L_Polecenie"), QStringLiteral("Bardzo dobrze!"));
        QVERIFY(!Shown(w, "K_Zaakceptuj"));
        // Nothing left: OK ends the run.
        Press(w, Qt::Key_Return);
        QVERIFY(!w->isVisible());
    }

    void nationalCharactersInTheAnswerField() {
        {
            Session s("niemiecki");
            QVERIFY(s.ok);
            QCOMPARE(s.context.session.db.params.language, 2);
            s.Plan(kTypingTranslation, {s.context.session.db.units.unit(1).unitId});
            QVERIFY(s.Start(kTypingTranslation));
            auto* field = Find<QLineEdit>(s.window.get(), "E_Wpisana");
            Press(s.window.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
            Press(s.window.get(), Qt::Key_S, Qt::ControlModifier);
            Press(s.window.get(), Qt::Key_Q, Qt::ControlModifier);
            QCOMPARE(field->text(), QStringLiteral("Äß"));
        }
        {
            Session s;
            s.Plan(kTypingTranslation, {10101});
            QVERIFY(s.Start(kTypingTranslation));
            auto* field = Find<QLineEdit>(s.window.get(), "E_Wpisana");
            QTest::keyClicks(field, QStringLiteral("ab"));
            Press(s.window.get(), Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(field->text(), QStringLiteral("ab"));
        }
    }

    void selfAssessmentRevealThenVerdictKeys() {
        Session s;
        s.Plan(kSelfAssessment, {10101, 10102});
        QVERIFY(s.Start(kSelfAssessment));
        QWidget* w = s.window.get();
        QVERIFY(Shown(w, "B_Sprawdz") && !Shown(w, "B_Umiesz") && !Shown(w, "B_OK"));
        // Before the reveal the digits do nothing.
        Press(w, Qt::Key_1);
        QCOMPARE(s.state().answered, false);

        const std::int32_t first = s.context.session.db.units.unit(s.state().stepUnit).unitId;
        Press(w, Qt::Key_Return);
        QVERIFY(!Shown(w, "B_Sprawdz") && Shown(w, "B_Umiesz") && Shown(w, "B_Nie_umiesz"));
        QVERIFY(Shown(w, "L_Poprawna"));
        Press(w, Qt::Key_2);
        QCOMPARE(s.Cell(first, kSelfAssessment).attempts, 1);
        QCOMPARE(s.Cell(first, kSelfAssessment).remaining, 1);
        // The verdict moved on at once.
        QVERIFY(Shown(w, "B_Sprawdz"));
        QTest::mouseClick(Find<QAbstractButton>(w, "B_Sprawdz"), Qt::LeftButton);
        QTest::mouseClick(Find<QAbstractButton>(w, "B_Umiesz"), Qt::LeftButton);
        QCOMPARE(s.Cell(10102, kSelfAssessment).remaining, 0);
    }

    void oneKeyPressJudgesOneStep() {
        Session s;
        s.Plan(kPronunciation, {10101, 10102});
        QVERIFY(s.Start(kPronunciation));
        QWidget* w = s.window.get();
        QVERIFY(Shown(w, "B_Umiesz") && Shown(w, "K_nagraj"));
        Press(w, Qt::Key_1);
        QCOMPARE(s.Cell(10101, kPronunciation).attempts + s.Cell(10102, kPronunciation).attempts,
                 1);
        QVERIFY(w->isVisible());
        QVERIFY(!s.state().answered);
        // The key held down repeats: the next step waits for a key press of its own.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"), true);
        QApplication::sendEvent(w, &repeat);
        QCOMPARE(s.Cell(10101, kPronunciation).attempts + s.Cell(10102, kPronunciation).attempts,
                 1);
    }

    void gapFieldsOfGapFilling() {
        Session s;
        s.Plan(kGapFilling, {30101});
        QVERIFY(s.Start(kGapFilling));
        QWidget* w = s.window.get();
        auto* gap1 = Find<QLineEdit>(w, "E_Wpis1");
        QVERIFY(Shown(w, "DXRamka2") && gap1->isVisible() && gap1->hasFocus());
        QVERIFY(!Shown(w, "E_Wpis2") && !Shown(w, "E_Wpis3") && !Shown(w, "E_Wpisana"));
        // The field stands inside the box, over the gap.
        QWidget* box = Find<QWidget>(w, "DXRamka2");
        QVERIFY(box->geometry().contains(gap1->geometry().center()));
        QTest::keyClicks(gap1, QStringLiteral("mother"));
        Press(w, Qt::Key_Return);
        QCOMPARE(TextOf(w, "L_Polecenie"), QStringLiteral("Bardzo dobrze!"));
        QCOMPARE(s.Cell(30101, kGapFilling).remaining, 0);
        QVERIFY(!gap1->isVisible() && !box->isVisible() && Shown(w, "dxramka"));
    }

    void unitCommandsOnCtrlKeysAskFirst() {
        Session s;
        s.Plan(kSelfAssessment, {10101, 10102, 10103});
        QVERIFY(s.Start(kSelfAssessment));
        QWidget* w = s.window.get();
        const int first = s.state().stepUnit;
        {
            ModalWatch watch(false);  // "no": nothing changes
            Press(w, Qt::Key_J, Qt::ControlModifier);
            QCOMPARE(watch.texts().size(), 1);
            QVERIFY(watch.texts().front().startsWith(QStringLiteral("Już umiesz?")));
        }
        QCOMPARE(s.state().stepUnit, first);
        {
            ModalWatch watch(true);
            Press(w, Qt::Key_T, Qt::ControlModifier);
            QCOMPARE(
                watch.texts(),
                QStringList{QStringLiteral("Czy chcesz przenieść aktualną jednostkę do kosza?")});
        }
        QVERIFY(s.state().stepUnit != first);
        const std::int32_t trashed = s.context.session.db.units.unit(first).unitId;
        QCOMPARE(s.Cell(trashed, kSelfAssessment).remaining, 0);
        // Ctrl with another modifier is not the command.
        {
            ModalWatch watch(true);
            Press(w, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(watch.texts().isEmpty());
        }
        // The item is disabled for a unit never learnt, and so is its key.
        auto* forget = Find<QLabel>(w, "K_zapomnij");
        QVERIFY(!forget->isEnabled());
        {
            ModalWatch watch(true);
            Press(w, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(watch.texts().isEmpty());
        }
    }

    void menuOpensOverItsButtonAndClosesOverThePicture() {
        Session s;
        s.Plan(kSelfAssessment, {10101, 10102});
        QVERIFY(s.Start(kSelfAssessment));
        QWidget* w = s.window.get();
        QVERIFY(!Shown(w, "Panel_menu"));
        Hover(Find<QWidget>(w, "K_menu"));
        QVERIFY(Shown(w, "Panel_menu"));
        QCOMPARE(TextOf(w, "K_umiem"), QStringLiteral("Już umiem!"));
        QCOMPARE(TextOf(w, "K_Zmien_na"), QStringLiteral("Zmień na QA"));
        QTest::mouseMove(Find<QWidget>(w, "Image1"), QPoint(20, 300));
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 300), QPointF(20, 300), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(Find<QWidget>(w, "Image1"), &move);
        QVERIFY(!Shown(w, "Panel_menu"));

        // A menu item acts like its key.
        Hover(Find<QWidget>(w, "K_menu"));
        const int first = s.state().stepUnit;
        {
            ModalWatch watch(true);
            QTest::mouseClick(Find<QLabel>(w, "K_umiem"), Qt::LeftButton);
            QCOMPARE(watch.texts().size(), 1);
        }
        QVERIFY(!Shown(w, "Panel_menu"));
        QVERIFY(s.state().stepUnit != first);
    }

    void functionKeysShowTheAnswerTheIdAndTheGroup() {
        Session s;
        QStringList popups;
        RunnerWindowHooks hooks;
        hooks.answerPopup = [&popups](const QString& answer) { popups << answer; };
        s.window->SetHooks(hooks);
        s.Plan(kTypingTranslation, {10101});
        QVERIFY(s.Start(kTypingTranslation));
        QWidget* w = s.window.get();
        // F5 waits for an answer.
        Press(w, Qt::Key_F5);
        QVERIFY(popups.isEmpty());
        QTest::keyClicks(Find<QLineEdit>(w, "E_Wpisana"), QStringLiteral("  mum  "));
        Press(w, Qt::Key_Return);
        Press(w, Qt::Key_F5);
        QCOMPARE(popups, QStringList{QStringLiteral("mum")});

        QVERIFY(!Shown(w, "L_pokaz_id"));
        Press(w, Qt::Key_F6);
        QVERIFY(Shown(w, "L_pokaz_id"));
        QCOMPARE(TextOf(w, "L_pokaz_id"), QStringLiteral("Id: 10101"));
        Press(w, Qt::Key_F6);
        QVERIFY(!Shown(w, "L_pokaz_id"));
        QVERIFY(TextOf(w, "L_grupa_tem").isEmpty());
        Press(w, Qt::Key_F2);
        QVERIFY(!TextOf(w, "L_grupa_tem").isEmpty());
    }

    void statisticsOnClosingCanSendTheLearnerBack() {
        Session s;
        s.context.session.settings.showStatistics = true;
        std::vector<RunStatistics> shown;
        bool goBack = true;
        RunnerWindowHooks hooks;
        hooks.statistics = [&](const RunStatistics& stats) {
            shown.push_back(stats);
            return goBack;
        };
        s.window->SetHooks(hooks);
        s.Plan(kTranslationChoice, {10101, 10102});
        QVERIFY(s.Start(kTranslationChoice));
        QWidget* w = s.window.get();
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + s.state().correctChoice));
        Press(w, Qt::Key_Escape);
        QCOMPARE(shown.size(), std::size_t{1});
        QCOMPARE(shown[0].right, 1);
        QCOMPARE(shown[0].planned, 2);
        QVERIFY(w->isVisible());
        // Back in the run, the next step still answers.
        Press(w, Qt::Key_Return);
        QVERIFY(!s.state().answered);
        goBack = false;
        QTest::mouseClick(Find<QAbstractButton>(w, "K_Koniec"), Qt::LeftButton);
        QCOMPARE(shown.size(), std::size_t{2});
        QVERIFY(!w->isVisible());
    }

    void correctionFieldsAreStoredWhenTheStepEnds() {
        Session s;
        s.context.session.db.correctionMode = true;
        s.Plan(kSelfAssessment, {10101, 10102});
        QVERIFY(s.Start(kSelfAssessment));
        QWidget* w = s.window.get();
        QVERIFY(Shown(w, "Panel_Kor"));
        const int first = s.state().stepUnit;
        QTest::mouseClick(Find<QCheckBox>(w, "CheckBox2"), Qt::LeftButton);
        Find<QLineEdit>(w, "Edit_Kor")->insert(QStringLiteral("zła wymowa"));
        QTest::mouseClick(Find<QAbstractButton>(w, "B_Sprawdz"), Qt::LeftButton);
        QTest::mouseClick(Find<QAbstractButton>(w, "B_Umiesz"), Qt::LeftButton);
        const Unit& unit = s.context.session.db.units.unit(first);
        QCOMPARE(unit.correctionFlags[1], 1);
        QCOMPARE(unit.correctionFlags[0], 0);
        QCOMPARE(unit.correctionNote, std::string("z\xb3"
                                                  "a wymowa"));
        QCOMPARE(unit.corrected, 1);
        // The next unit shows its own fields.
        QVERIFY(s.state().stepUnit != first);
        QVERIFY(!Find<QCheckBox>(w, "CheckBox2")->isChecked());
        QVERIFY(Find<QLineEdit>(w, "Edit_Kor")->text().isEmpty());
    }

    void commentFromItsDialogShowsInThePane() {
        Session s;
        QStringList shown;
        RunnerWindowHooks hooks;
        hooks.editComment = [&shown](const QString& text, int limit) {
            shown << text;
            return limit == 80 ? std::optional<std::string>("moja = uwaga") : std::nullopt;
        };
        s.window->SetHooks(hooks);
        s.Plan(kTranslationChoice, {10103, 10104});
        QVERIFY(s.Start(kTranslationChoice));
        QWidget* w = s.window.get();
        const int unit = s.state().stepUnit;
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + s.state().correctChoice));
        Press(w, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(shown, QStringList{QString()});
        QCOMPARE(s.context.session.db.units.unit(unit).userComment, std::string("moja = uwaga"));
        QVERIFY(s.context.session.db.commentsDirty);
        auto* pane = Find<MarkupView>(w, "L_przyklad_pb");
        QVERIFY(pane->isVisible());
        const std::vector<std::string>& tokens = pane->tokens();
        QVERIFY(std::find(tokens.begin(), tokens.end(), "uwaga") != tokens.end());
    }

    void escapeClosesAndLeavesTheCells() {
        Session s;
        s.Plan(kTranslationChoice, {10101, 10102, 10103});
        QVERIFY(s.Start(kTranslationChoice));
        QWidget* w = s.window.get();
        Press(w, static_cast<Qt::Key>(Qt::Key_0 + s.state().correctChoice));
        Press(w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        int remaining = 0;
        int attempts = 0;
        for (const PlanRow& row : s.context.session.plan.rows) {
            remaining += row.cells[kTranslationChoice].remaining;
            attempts += row.cells[kTranslationChoice].attempts;
        }
        QCOMPARE(remaining, 2);
        QCOMPARE(attempts, 1);
        // Keys after closing do nothing.
        Press(w, Qt::Key_1);
        QCOMPARE(s.state().rightCount, 1);
    }
};

QTEST_MAIN(RunnerWindowTest)
#include "runner_window_test.moc"
