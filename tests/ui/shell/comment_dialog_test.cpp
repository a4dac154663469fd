// The comment dialog driven through its controls while it runs modally: when its confirm button
// shows, what Enter, Esc and the buttons give back, the input limit, the national characters of
// the course language and the refusal of a character the texts cannot hold.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "core/clock.h"
#include "find_control.h"
#include "ui/app_context.h"
#include "ui/shell/comment_dialog.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;

namespace {

using Step = std::function<void(QWidget* dialog)>;

// Runs the steps one after another on the comment dialog while it is the active modal window;
// message boxes that open on the way are closed and their texts kept. A dialog still open when
// the steps are done is closed, and that is noted.
class Driver {
  public:
    explicit Driver(std::deque<Step> steps) : steps_(std::move(steps)) {
        // Two timers: a step that opens a message box waits inside its own timer's call, which
        // Qt does not repeat until it returns.
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
        messageTimer_.setInterval(5);
        QObject::connect(&messageTimer_, &QTimer::timeout, [this] { CloseMessage(); });
        messageTimer_.start();
    }
    const QStringList& messages() const { return messages_; }
    bool leftOpen() const { return leftOpen_; }

  private:
    void CloseMessage() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal != nullptr && modal->objectName() == QStringLiteral("TForm20")) {
            messages_.append(Find<QLabel>(modal, "Label1")->text());
            modal->done(0);
        }
    }

    void Poll() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || modal->objectName() != QStringLiteral("TForm27")) {
            return;
        }
        if (steps_.empty()) {
            leftOpen_ = true;
            modal->done(0);
            return;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        step(modal);
    }

    std::deque<Step> steps_;
    QTimer timer_;
    QTimer messageTimer_;
    QStringList messages_;
    bool leftOpen_ = false;
};

QLineEdit* Field(QWidget* dialog) {
    return Find<QLineEdit>(dialog, "Edit1");
}

bool OkShown(QWidget* dialog) {
    return Find<QAbstractButton>(dialog, "B_OK")->isVisible();
}

}  // namespace

class CommentDialogTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};

  private slots:
    void initTestCase() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
        context_.session.db.params.language = 1;
    }

    void confirmButtonFollowsTheText() {
        struct Case {
            QString initial;
            bool shownAtOpening;
            QString typed;  // appended after the opening check
            bool shownAfterTyping;
        };
        const Case cases[] = {
            {QString(), false, QStringLiteral("a"), true},
            {QStringLiteral("a"), false, QStringLiteral("b"), true},
            {QStringLiteral("  a  "), false, QString(), false},
            {QStringLiteral(" ab "), true, QString(), true},
            {QString(), false, QStringLiteral("   "), false},
        };
        for (const Case& c : cases) {
            CommentDialog dialog(context_);
            bool opening = !c.shownAtOpening;
            bool afterTyping = !c.shownAfterTyping;
            Driver driver({[&](QWidget* d) {
                opening = OkShown(d);
                if (!c.typed.isEmpty()) {
                    QTest::keyClicks(Field(d), c.typed);
                }
                afterTyping = OkShown(d);
                QTest::keyClick(d, Qt::Key_Escape);
            }});
            dialog.Ask(QStringLiteral("Komentarz:"), c.initial, 80);
            QVERIFY(!driver.leftOpen());
            QCOMPARE(opening, c.shownAtOpening);
            QCOMPARE(afterTyping, c.shownAfterTyping);
        }
        // A one-character text shows the button again once it is edited, even back to itself.
        CommentDialog dialog(context_);
        bool shown = false;
        Driver driver({[&](QWidget* d) {
            QTest::keyClick(Field(d), Qt::Key_Backspace);
            QTest::keyClicks(Field(d), QStringLiteral("x"));
            shown = OkShown(d);
        }});
        dialog.Ask(QString(), QStringLiteral("x"), 80);
        QVERIFY(shown);
    }

    void enterAndButtonsGiveBackTheTrimmedTextOrNothing() {
        struct Case {
            const char* name;
            Step finish;
            std::optional<QString> result;
        };
        const std::vector<Case> cases = {
            {"Enter", [](QWidget* d) { QTest::keyClick(Field(d), Qt::Key_Return); },
             QStringLiteral("nowy tekst")},
            {"B_OK",
             [](QWidget* d) {
                 QTest::mouseClick(Find<QAbstractButton>(d, "B_OK"), Qt::LeftButton);
             },
             QStringLiteral("nowy tekst")},
            {"Escape", [](QWidget* d) { QTest::keyClick(Field(d), Qt::Key_Escape); }, std::nullopt},
            {"B_Zamknij",
             [](QWidget* d) {
                 QTest::mouseClick(Find<QAbstractButton>(d, "B_Zamknij"), Qt::LeftButton);
             },
             std::nullopt},
        };
        for (const Case& c : cases) {
            CommentDialog dialog(context_);
            QCOMPARE(dialog.objectName(), QStringLiteral("TForm27"));
            QString prompt;
            Driver driver({[&](QWidget* d) {
                prompt = Find<QLabel>(d, "Label1")->text();
                Field(d)->selectAll();
                QTest::keyClicks(Field(d), QStringLiteral("  nowy tekst  "));
                c.finish(d);
            }});
            const std::optional<QString> result =
                dialog.Ask(QStringLiteral("Podaj nazwę:"), QStringLiteral("stary"), 80);
            QVERIFY2(!driver.leftOpen(), c.name);
            QCOMPARE(prompt, QStringLiteral("Podaj nazwę:"));
            QCOMPARE(result, c.result);
        }
    }

    void typingAddsToTheOfferedText() {
        CommentDialog dialog(context_);
        Driver driver({[](QWidget* d) {
            QTest::keyClicks(Field(d), QStringLiteral(" kot"));
            QTest::keyClick(Field(d), Qt::Key_Return);
        }});
        QCOMPARE(dialog.Ask(QString(), QStringLiteral("stary"), 80), QStringLiteral("stary kot"));
    }

    void enterDoesNothingWhileTheButtonIsHidden() {
        CommentDialog dialog(context_);
        QString text;
        Driver driver({[&](QWidget* d) {
            QTest::keyClick(Field(d), Qt::Key_Return);
            text = Field(d)->text();
        }});
        const std::optional<QString> result = dialog.Ask(QString(), QStringLiteral("a"), 80);
        QVERIFY(driver.leftOpen());
        QCOMPARE(text, QStringLiteral("a"));
        QCOMPARE(result, std::nullopt);
    }

    void limitStopsTypingButKeepsALongerText() {
        CommentDialog dialog(context_);
        {
            Driver driver({[](QWidget* d) {
                QTest::keyClicks(Field(d), QStringLiteral("abcdefgh"));
                QTest::keyClick(Field(d), Qt::Key_Return);
            }});
            QCOMPARE(dialog.Ask(QString(), QString(), 5), QStringLiteral("abcde"));
        }

        // A text that already is longer than the limit is shown whole and not cut when confirmed.
        const QString longText = QString(QStringLiteral("x")).repeated(90);
        Driver again({[](QWidget* d) {
            QTest::keyClick(Field(d), Qt::Key_End);
            QTest::keyClicks(Field(d), QStringLiteral("yz"));
            QTest::keyClick(Field(d), Qt::Key_Return);
        }});
        QCOMPARE(dialog.Ask(QString(), longText, 80), longText);
    }

    void ctrlLettersTypeTheNationalCharacters() {
        struct Case {
            int language;
            Qt::KeyboardModifiers modifiers;
            Qt::Key key;
            QString result;
        };
        const Case cases[] = {
            {2, Qt::ControlModifier, Qt::Key_A, QStringLiteral("ä")},
            {2, Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_A, QStringLiteral("Ä")},
            {2, Qt::ControlModifier, Qt::Key_S, QStringLiteral("ß")},
            {7, Qt::ControlModifier, Qt::Key_E, QStringLiteral("ę")},
            {1, Qt::ControlModifier, Qt::Key_A, QString()},
        };
        for (const Case& c : cases) {
            context_.session.db.params.language = c.language;
            CommentDialog dialog(context_);
            QString typed;
            Driver driver({[&](QWidget* d) {
                QTest::keyClick(Field(d), c.key, c.modifiers);
                typed = Field(d)->text();
                QTest::keyClick(d, Qt::Key_Escape);
            }});
            dialog.Ask(QString(), QString(), 80);
            QCOMPARE(typed, c.result);
        }
        context_.session.db.params.language = 1;
    }

    void bytesOfTheCodePageAndARefusedCharacter() {
        CommentDialog dialog(context_);
        Driver driver({
            [](QWidget* d) {
                Field(d)->setText(QStringLiteral("кот"));
                QTest::keyClick(Field(d), Qt::Key_Return);
            },
            [](QWidget* d) {
                Field(d)->setText(QStringLiteral(" żółw "));
                QTest::keyClick(Field(d), Qt::Key_Return);
            },
        });
        const std::optional<std::string> result =
            dialog.AskBytes(QStringLiteral("Komentarz:"), "stary \xBF\xF3\xB3w", 80);
        QVERIFY(!driver.leftOpen());
        QCOMPARE(driver.messages().size(), 1);
        QVERIFY(driver.messages().front().contains(QStringLiteral("к")));
        QCOMPARE(result, std::optional<std::string>("\xBF\xF3\xB3w"));
    }
};

QTEST_MAIN(CommentDialogTest)
#include "comment_dialog_test.moc"
