// The whole program without a mouse: every window the start-up makes, with a learner logged in,
// is shown over the main menu as the learner opens it. Tab, pressed on whatever has the focus,
// goes round every control the learner can see and use, the control that has the focus is drawn
// differently from when it has not, the round comes back to where it started, and the windows
// that close with Escape close with it and give the focus back to the main menu.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <cstdio>
#include <functional>

#include "runner/matching.h"
#include "runner/program_trainer.h"
#include "session/plan_builder.h"
#include "ui/content/browser_window.h"
#include "ui/content/examples_window.h"
#include "ui/content/presentation_window.h"
#include "ui/content/search_options_window.h"
#include "ui/content/unit_editor_window.h"
#include "ui/runner/answer_popup.h"
#include "ui/runner/matching_window.h"
#include "ui/runner/runner_window.h"
#include "ui/session/dictionary_window.h"
#include "ui/session/kind_marks_window.h"
#include "ui/session/learning_window.h"
#include "ui/session/plan_window.h"
#include "ui/session/repetition_overview_window.h"
#include "ui/session/set_chooser_window.h"
#include "ui/session/statistics_window.h"
#include "ui/session/summary_window.h"
#include "ui/settings/settings_window.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/login_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/new_user_window.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/accessible_names.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

constexpr double kToday = 45000.0;

// What a learner can use with the mouse, judged by what the control is (not by how the program
// set its focus): buttons, fields, lists, boxes, sliders, texts to scroll, and whatever shows
// the pointing hand. The parts Qt builds inside a control count as the control.
bool Usable(const QWidget* widget, const QWidget* window) {
    if (widget == window || !widget->isVisibleTo(window) || !widget->isEnabled()) {
        return false;
    }
    for (const QWidget* up = widget->parentWidget(); up != nullptr && up != window;
         up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up) != nullptr ||
            qobject_cast<const QAbstractScrollArea*>(up) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(up) != nullptr) {
            return false;
        }
    }
    if (widget->testAttribute(Qt::WA_TransparentForMouseEvents)) {
        return false;
    }
    // The label of a box speaks for its box, which is the control.
    if (const auto* label = qobject_cast<const QLabel*>(widget);
        label != nullptr && label->buddy() != nullptr && label->buddy()->isVisibleTo(window)) {
        return false;
    }
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           (widget->testAttribute(Qt::WA_SetCursor) &&
            widget->cursor().shape() == Qt::PointingHandCursor);
}

QString Name(const QWidget* widget) {
    return widget->objectName() + QLatin1Char('(') +
           QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(')');
}

// What Escape does in a window: nothing, close it and give the keys back to the main menu, or
// close it and go on (the end of a session shows its own windows).
enum class Escape { Stays, BackToMenu, GoesOn };

// A window of the table: how it is opened, what Escape does, and the controls its Tab does not
// go round because Tab has another meaning there (another key does their work).
struct Row {
    const char* title;
    std::function<QWidget*(dyd::test::ProgramTrainer&)> open;
    Escape escape;
    QStringList notInRound = {};
};

// The control as the learner sees it, with a few pixels around it (a mark may be drawn there).
QPixmap Around(QWidget* widget) {
    QWidget* window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab(area.adjusted(-4, -4, 4, 4));
}

QWidget* Shown(QWidget* window) {
    window->show();
    return window;
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // As the program's main does, before its windows are made.
        DescribeControlsOnShow(qApp);
    }

    void everyWindowGoesRoundWithTab_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < static_cast<int>(Rows().size()); ++i) {
            QTest::newRow(Rows()[static_cast<std::size_t>(i)].title) << i;
        }
    }

    void everyWindowGoesRoundWithTab() {
        QFETCH(int, row);
        const Row& r = Rows()[static_cast<std::size_t>(row)];
        dyd::test::ProgramTrainer trainer(kToday);
        QVERIFY(trainer.ok);
        trainer.session().settings.helpHintShown = true;
        QWidget* menu = trainer.program.mainMenu();
        menu->show();
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));

        QWidget* window = r.open(trainer);
        QVERIFY(window != nullptr);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QApplication::processEvents();

        QList<QWidget*> usable;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->window() == window && Usable(widget, window) &&
                !r.notInRound.contains(widget->objectName())) {
                usable << widget;
            }
        }

        // Round with Tab; each control is looked at with and without the focus.
        const auto press = [window](Qt::Key key) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr && focus->window() == window ? focus : window, key);
        };
        QSet<QWidget*> reached;
        QStringList unmarked;
        QWidget* start = nullptr;
        bool closed = false;
        const int limit = 2 * static_cast<int>(usable.size()) + 8;
        for (int tab = 0; tab < limit; ++tab) {
            QWidget* before = QApplication::focusWidget();
            const QImage focused =
                before != nullptr && before != window ? Around(before).toImage() : QImage();
            press(Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            if (!window->isVisible() || focus == nullptr || focus->window() != window) {
                break;
            }
            // Looked at only once Tab has brought the focus there (a window may open with it
            // on a control that leaves the keys to the window and is not marked).
            if (before != nullptr && before != focus && reached.contains(before) &&
                usable.contains(before) && Around(before).toImage() == focused) {
                unmarked << Name(before);
            }
            if (start == nullptr) {
                start = focus;
            } else if (focus == start) {
                closed = true;
                break;
            }
            reached.insert(focus);
        }
        QStringList missed;
        for (QWidget* widget : usable) {
            if (!reached.contains(widget)) {
                missed << Name(widget);
            }
        }
        missed.sort();
        unmarked.removeDuplicates();
        if (!missed.isEmpty() || !unmarked.isEmpty() || !closed) {
            std::fprintf(stderr, "%s: not reached: %s\n  no focus mark: %s\n  round closed: %d\n",
                         r.title, qPrintable(missed.join(QLatin1Char(' '))),
                         qPrintable(unmarked.join(QLatin1Char(' '))), closed ? 1 : 0);
        }
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(QLatin1Char(' '))));
        QVERIFY(closed || usable.isEmpty());

        if (r.escape != Escape::Stays) {
            press(Qt::Key_Escape);
            QTRY_VERIFY(!window->isVisible());
            if (r.escape == Escape::BackToMenu) {
                QTRY_COMPARE(QApplication::activeWindow(), menu);
            }
        }
        window->hide();
        menu->hide();
    }

  private:
    static const std::vector<Row>& Rows() {
        static const std::vector<Row> rows = {
            {"login", [](auto& t) { return Shown(t.program.loginWindow()); }, Escape::Stays},
            {"new learner", [](auto& t) { return Shown(t.program.newUserWindow()); },
             Escape::BackToMenu},
            {"yes/no", [](auto& t) { return Shown(t.program.yesNoDialog()); }, Escape::BackToMenu},
            {"message", [](auto& t) { return Shown(t.program.messageBox()); }, Escape::BackToMenu},
            {"confirmation", [](auto& t) { return Shown(t.program.confirmationDialog()); },
             Escape::BackToMenu},
            {"help viewer", [](auto& t) { return Shown(t.program.helpViewer()); },
             Escape::BackToMenu},
            {"database parameters", [](auto& t) { return Shown(t.program.parametersWindow()); },
             Escape::BackToMenu},
            {"plan",
             [](auto& t) {
                 LearnerSession& s = t.session();
                 const std::int32_t ids[] = {1, 2, 3, 4, 5, 6};
                 BuildPlan(ids, SessionMode::Learning, s.db.units, s.db.params, s.settings,
                           s.repetitions, s.plan);
                 return Shown(t.program.planWindow());
             },
             Escape::GoesOn},
            {"learning", [](auto& t) { return Shown(t.program.learningWindow()); },
             Escape::BackToMenu},
            {"repetition overview", [](auto& t) { return Shown(t.program.overviewWindow()); },
             Escape::BackToMenu},
            {"statistics", [](auto& t) { return Shown(t.program.statisticsWindow()); },
             Escape::BackToMenu},
            {"comment", [](auto& t) { return Shown(t.program.commentDialog()); },
             Escape::BackToMenu},
            {"kind marks", [](auto& t) { return Shown(t.program.kindMarksWindow()); },
             Escape::BackToMenu},
            {"examples", [](auto& t) { return Shown(t.program.examplesWindow()); },
             Escape::BackToMenu},
            {"summary", [](auto& t) { return Shown(t.program.summaryWindow()); },
             Escape::BackToMenu},
            {"settings", [](auto& t) { return Shown(t.program.settingsWindow()); },
             Escape::BackToMenu},
            {"unit editor", [](auto& t) { return Shown(t.program.unitEditor()); },
             Escape::BackToMenu},
            {"set parameters", [](auto& t) { return Shown(t.program.setParametersWindow()); },
             Escape::BackToMenu},
            {"file chooser", [](auto& t) { return Shown(t.program.fileChooser()); },
             Escape::BackToMenu},
            // Tab goes from one list of sets to the other; Escape closes.
            {"set chooser",
             [](auto& t) { return Shown(t.program.setChooser()); },
             Escape::BackToMenu,
             {QStringLiteral("B_Zamknij")}},
            {"dictionary", [](auto& t) { return Shown(t.program.dictionaryWindow()); },
             Escape::BackToMenu},
            {"presentation", [](auto& t) { return Shown(t.program.presentationWindow()); },
             Escape::BackToMenu},
            {"browser", [](auto& t) { return Shown(t.program.browserWindow()); },
             Escape::BackToMenu},
            {"matching",
             [](auto& t) {
                 MatchingRound round;
                 for (std::size_t i = 0; i < kMatchingPairs; ++i) {
                     round.foreignWords[i] = "word" + std::to_string(i);
                     round.meanings[i] = "slowo" + std::to_string(i);
                     round.shuffled[i] = "slowo" + std::to_string((i + 3) % kMatchingPairs);
                 }
                 t.program.matchingWindow()->Start(round);
                 return Shown(t.program.matchingWindow());
             },
             Escape::BackToMenu},
            {"answer popup",
             [](auto& t) {
                 t.program.answerPopup()->ShowAnswer(QStringLiteral("odpowiedź"));
                 return Shown(t.program.answerPopup());
             },
             Escape::BackToMenu},
            {"search options", [](auto& t) { return Shown(t.program.searchOptionsWindow()); },
             Escape::BackToMenu},
        };
        return rows;
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
