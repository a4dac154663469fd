// The message box, the confirmation dialog and the yes/no dialog driven by their keys and buttons
// while they run modally.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/clock.h"
#include "ui/app_context.h"
#include "ui/shell/dialogs.h"

using namespace dyd;
using namespace dyd::ui;

namespace {

// Runs action on the modal window once it is shown; the window is closed if the action leaves it
// open, and stillOpen reports that.
void WhenModal(const std::function<void(QWidget*)>& action, bool* stillOpen = nullptr) {
    QTimer::singleShot(0, [action, stillOpen] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        action(modal);
        QWidget* left = QApplication::activeModalWidget();
        if (stillOpen != nullptr) {
            *stillOpen = left == modal;
        }
        if (left == modal) {
            QTimer::singleShot(0, [modal] { static_cast<QDialog*>(modal)->done(0); });
        }
    });
}

void Key(QWidget* window, Qt::Key key) {
    QTest::keyClick(window, key);
}

void Click(QWidget* window, const char* name) {
    auto* button = window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    QVERIFY(button != nullptr);
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};

  private slots:
    void initTestCase() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
        QVERIFY(context_.images.errors().empty());
    }

    void messageBoxClosesOnEachKeyAndClick() {
        struct Case {
            const char* name;
            std::function<void(QWidget*)> action;
        };
        const std::vector<Case> cases = {
            {"Escape", [](QWidget* w) { Key(w, Qt::Key_Escape); }},
            {"Enter", [](QWidget* w) { Key(w, Qt::Key_Return); }},
            {"Space", [](QWidget* w) { Key(w, Qt::Key_Space); }},
            {"button", [](QWidget* w) { Click(w, "B_OK"); }},
            {"text",
             [](QWidget* w) {
                 QTest::mouseClick(w->findChild<QLabel*>(QStringLiteral("Label1")), Qt::LeftButton);
             }},
        };
        for (const Case& c : cases) {
            MessageBox box(context_);
            QCOMPARE(box.objectName(), QStringLiteral("TForm20"));
            QCOMPARE(box.size(), QSize(440, 120));
            bool stillOpen = true;
            QString shown;
            WhenModal(
                [&shown, &c](QWidget* w) {
                    shown = w->findChild<QLabel*>(QStringLiteral("Label1"))->text();
                    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
                    c.action(w);
                },
                &stillOpen);
            box.ShowMessage(QStringLiteral("Zapisano."));
            QVERIFY2(!stillOpen, c.name);
            QCOMPARE(shown, QStringLiteral("Zapisano."));
        }
    }

    void messageBoxKeepsOtherKeysAndOpensHelpOnF1() {
        QString helpPage;
        context_.openHelp = [&helpPage](const QString& page) { helpPage = page; };
        MessageBox box(context_);
        bool stillOpen = false;
        WhenModal(
            [](QWidget* w) {
                Key(w, Qt::Key_A);
                Key(w, Qt::Key_F1);
            },
            &stillOpen);
        box.ShowMessage(QStringLiteral("Tekst"));
        context_.openHelp = nullptr;
        QVERIFY(stillOpen);
        QCOMPARE(helpPage, QStringLiteral("index.html"));
    }

    void messageBoxWrapsLongText() {
        MessageBox box(context_);
        box.SetText(QString(QStringLiteral("Bardzo długi komunikat o błędzie. ")).repeated(6));
        auto* label = box.findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label->wordWrap());
        QVERIFY(label->geometry().right() < box.width());
        QVERIFY(label->heightForWidth(label->width()) > label->fontMetrics().height() * 2);
    }

    void confirmationAnswers() {
        struct Case {
            const char* name;
            std::function<void(QWidget*)> action;
            bool answer;
        };
        const std::vector<Case> cases = {
            {"Enter", [](QWidget* w) { Key(w, Qt::Key_Return); }, true},
            {"B_OK", [](QWidget* w) { Click(w, "B_OK"); }, true},
            {"Escape", [](QWidget* w) { Key(w, Qt::Key_Escape); }, false},
            {"B_Zamknij", [](QWidget* w) { Click(w, "B_Zamknij"); }, false},
        };
        ConfirmationDialog dialog(context_);
        QCOMPARE(dialog.objectName(), QStringLiteral("TForm29"));
        QCOMPARE(dialog.size(), QSize(439, 120));
        for (const Case& c : cases) {
            // Each question starts after a confirmed one: Esc and close must still give false.
            WhenModal([](QWidget* w) { Key(w, Qt::Key_Return); });
            QVERIFY(dialog.Ask(QStringLiteral("Poprzednie?")));
            bool stillOpen = true;
            WhenModal(c.action, &stillOpen);
            QCOMPARE(dialog.Ask(QStringLiteral("Usunąć zestaw?")), c.answer);
            QVERIFY2(!stillOpen, c.name);
            QCOMPARE(dialog.confirmAnswer(), c.answer);
            QCOMPARE(dialog.question(), QStringLiteral("Usunąć zestaw?"));
        }
    }

    void yesNoAnswers() {
        struct Case {
            const char* name;
            std::function<void(QWidget*)> action;
            bool answer;
        };
        const std::vector<Case> cases = {
            {"B_OK", [](QWidget* w) { Click(w, "B_OK"); }, true},
            {"Enter", [](QWidget* w) { Key(w, Qt::Key_Return); }, true},
            {"Escape", [](QWidget* w) { Key(w, Qt::Key_Escape); }, false},
            {"B_Zamknij", [](QWidget* w) { Click(w, "B_Zamknij"); }, false},
        };
        YesNoDialog dialog(context_);
        QCOMPARE(dialog.objectName(), QStringLiteral("TForm24"));
        QCOMPARE(dialog.size(), QSize(300, 100));
        for (const Case& c : cases) {
            WhenModal([](QWidget* w) { Click(w, "B_OK"); });
            QVERIFY(dialog.Ask());
            bool stillOpen = true;
            WhenModal(c.action, &stillOpen);
            QCOMPARE(dialog.Ask(), c.answer);
            QVERIFY2(!stillOpen, c.name);
        }
        // The static call works without a dialog of the caller's.
        WhenModal([](QWidget* w) { Key(w, Qt::Key_Escape); });
        QVERIFY(!YesNoDialog::AskYesNo(context_));
    }

    void dialogsWithoutPicturesStillShowTheirButtons() {
        FixedClock clock{45000.0};
        AppContext bare(clock);  // no installation: no pictures, no button strips
        YesNoDialog dialog(bare);
        dialog.show();
        auto* question = dialog.findChild<QLabel*>(QStringLiteral("L_Pytanie"));
        QVERIFY(question->isVisible());
        for (const char* name : {"B_OK", "B_Zamknij"}) {
            auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(name));
            QVERIFY(button->isVisible());
            QVERIFY(dialog.rect().contains(button->geometry()));
            QVERIFY(!button->text().isEmpty());
        }
        dialog.hide();
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
