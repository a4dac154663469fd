// Every window of the program, as the start-up makes them, with a learner logged in: each
// control the learner can reach or click (it takes the keyboard focus, it is a button, a field,
// a list, a box or a slider, or it shows the pointing hand) has a Polish accessible name and a
// description, as assistive technology reads them. The test lists every control without one.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <cstdio>

#include "runner/program_trainer.h"
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
#include "ui/shell/backdrop_window.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/help_viewer.h"
#include "ui/shell/login_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/new_user_window.h"
#include "ui/shell/progress_window.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/accessible_names.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

constexpr double kToday = 45000.0;

bool Interactive(const QWidget* widget) {
    if (widget->isWindow()) {
        return false;
    }
    // The parts Qt builds inside a control (a combo box's list, a view's viewport, the scroll
    // bars of a list) speak for themselves through their control.
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QComboBox*>(up) != nullptr ||
            (!up->isWindow() && (qobject_cast<const QAbstractScrollArea*>(up) != nullptr ||
                                 qobject_cast<const QAbstractSpinBox*>(up) != nullptr))) {
            return false;
        }
        if (up->isWindow() && up->parentWidget() == nullptr) {
            break;
        }
    }
    return widget->focusPolicy() != Qt::NoFocus ||
           qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           (widget->testAttribute(Qt::WA_SetCursor) &&
            widget->cursor().shape() == Qt::PointingHandCursor);
}

QString Describe(const QWidget* widget) {
    return widget->window()->objectName() + QLatin1Char('/') + widget->objectName() +
           QStringLiteral(" (") + QString::fromLatin1(widget->metaObject()->className()) +
           QLatin1Char(')');
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

  private slots:
    void everyControlHasANameAndADescription() {
        // As the program's main does, before its windows are made.
        DescribeControlsOnShow(qApp);
        dyd::test::ProgramTrainer trainer(kToday);
        QVERIFY(trainer.ok);
        Program& p = trainer.program;
        // Every window the program makes.
        const QList<QWidget*> windows = {
            p.mainMenu(),       p.loginWindow(),         p.progressWindow(),
            p.messageBox(),     p.newUserWindow(),       p.yesNoDialog(),
            p.helpViewer(),     p.confirmationDialog(),  p.parametersWindow(),
            p.runnerWindow(),   p.answerPopup(),         p.planWindow(),
            p.learningWindow(), p.overviewWindow(),      p.statisticsWindow(),
            p.commentDialog(),  p.kindMarksWindow(),     p.examplesWindow(),
            p.summaryWindow(),  p.matchingWindow(),      p.settingsWindow(),
            p.unitEditor(),     p.setParametersWindow(), p.fileChooser(),
            p.setChooser(),     p.dictionaryWindow(),    p.presentationWindow(),
            p.browserWindow(),  p.searchOptionsWindow()};
        // The runner in a run of choices: its answers and menu show their texts.
        const UnitTable& units = trainer.session().db.units;
        std::vector<int> words;
        for (int u = 1; u <= units.unitCount() && words.size() < 4; ++u) {
            if (units.unit(u).unitKind == kWordUnit) {
                words.push_back(u);
            }
        }
        trainer.Plan(4, words);
        QVERIFY(trainer.Start(4));
        // Each window opened as the learner opens it, and closed again.
        for (QWidget* window : windows) {
            QVERIFY(window != nullptr);
            window->show();
            QApplication::processEvents();
            window->hide();
        }
        QStringList missing;
        int checked = 0;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (!Interactive(widget)) {
                continue;
            }
            ++checked;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            const QString name =
                accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
            const QString description =
                accessible != nullptr ? accessible->text(QAccessible::Description) : QString();
            if (qEnvironmentVariableIsSet("DYD_LIST_NAMES")) {
                std::fprintf(stderr, "%s%s | %s | %s\n", qPrintable(Describe(widget)),
                             widget->isVisibleTo(widget->window()) ? "" : " [hidden]",
                             qPrintable(name), qPrintable(description));
            }
            if (name.trimmed().isEmpty()) {
                missing << Describe(widget) + QStringLiteral(": no name");
            } else if (description.trimmed().isEmpty()) {
                missing << Describe(widget) + QStringLiteral(": no description (") + name +
                               QLatin1Char(')');
            }
        }
        missing.sort();
        QVERIFY(checked > 100);
        for (const QString& line : missing) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QString::number(missing.size()) +
                            QStringLiteral(" controls without a name or a description (above)")));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
