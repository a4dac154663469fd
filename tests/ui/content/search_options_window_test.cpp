// The search options window driven through its controls while it runs modally: the boxes from
// the settings and back, when its confirm button shows, what Enter, Esc and the buttons give
// back, the labels by course language, clicks and accelerator letters on the labels, the
// national characters and the character set box of courses above language 2.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <array>
#include <optional>
#include <string>

#include "core/clock.h"
#include "find_control.h"
#include "modal_steps.h"
#include "ui/app_context.h"
#include "ui/content/search_options_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ModalSteps;

namespace {

const QString kWindow = QStringLiteral("TForm23");

QLineEdit* Field(QWidget* w) {
    return Find<QLineEdit>(w, "Edit1");
}
QCheckBox* Box(QWidget* w, const char* name) {
    return Find<QCheckBox>(w, name);
}
bool OkShown(QWidget* w) {
    return Find<QAbstractButton>(w, "B_OK")->isVisible();
}

// The four boxes in the order of the settings: whole text, case (CH_Jak_duze), foreign, Polish.
std::array<bool, 4> Boxes(QWidget* w) {
    return {Box(w, "CH_Jak_cale")->isChecked(), Box(w, "CH_Jak_duze")->isChecked(),
            Box(w, "CH_Jak_ang")->isChecked(), Box(w, "CH_Jak_pol")->isChecked()};
}

}  // namespace

class SearchOptionsWindowTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};

    void Course(int language, int charsetIndex = 0) {
        context_.session.db.params.language = language;
        context_.session.db.params.charsetIndex = charsetIndex;
    }

  private slots:
    void initTestCase() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
    }

    void init() {
        Course(1);
        context_.session.settings.searchOptions = {false, true, true, false, true};
    }

    void opensWithTheBoxesOfTheSettingsAndAnEmptyField() {
        struct Case {
            std::array<bool, 5> options;
            std::array<bool, 4> boxes;  // whole, case, foreign, Polish
        };
        const Case cases[] = {
            {{false, true, true, false, true}, {true, false, true, false}},
            {{false, false, false, true, false}, {false, true, false, true}},
            // Neither kind of text: both are ticked.
            {{false, true, false, false, true}, {true, false, true, true}},
        };
        for (const Case& c : cases) {
            context_.session.settings.searchOptions = c.options;
            SearchOptionsWindow window(context_);
            std::array<bool, 4> boxes{};
            bool ok = true;
            bool focused = false;
            QString text = QStringLiteral("?");
            ModalSteps steps(kWindow, {[&](QDialog* w) {
                                 boxes = Boxes(w);
                                 ok = OkShown(w);
                                 text = Field(w)->text();
                                 focused = w->focusWidget() == Field(w);
                                 QTest::keyClick(w, Qt::Key_Escape);
                             }});
            QCOMPARE(window.Ask(), std::nullopt);
            QVERIFY(!steps.leftOpen());
            QCOMPARE(boxes, c.boxes);
            QVERIFY(!ok);
            QVERIFY(text.isEmpty());
            QVERIFY(focused);
            // Closing stores nothing.
            QCOMPARE(context_.session.settings.searchOptions, c.options);
        }
    }

    void confirmButtonShowsWhileTheFieldHoldsText() {
        SearchOptionsWindow window(context_);
        QList<bool> shown;
        QString afterEnter;
        ModalSteps steps(kWindow, {[&](QDialog* w) {
                             QTest::keyClicks(Field(w), QStringLiteral("ab"));
                             shown << OkShown(w);
                             QTest::keyClick(Field(w), Qt::Key_Backspace);
                             QTest::keyClick(Field(w), Qt::Key_Backspace);
                             shown << OkShown(w);
                             QTest::keyClicks(Field(w), QStringLiteral("   "));
                             shown << OkShown(w);
                             // Enter while the button is hidden neither closes nor types.
                             QTest::keyClick(Field(w), Qt::Key_Return);
                             afterEnter = Field(w)->text();
                         }});
        QCOMPARE(window.Ask(), std::nullopt);
        QVERIFY(steps.leftOpen());
        QCOMPARE(shown, (QList<bool>{true, false, false}));
        QCOMPARE(afterEnter, QStringLiteral("   "));
    }

    void enterAndButtonsGiveBackTheTrimmedTextOrNothing() {
        struct Case {
            const char* name;
            ModalSteps::Step finish;
            std::optional<std::string> result;
        };
        const std::vector<Case> cases = {
            {"Enter", [](QDialog* w) { QTest::keyClick(Field(w), Qt::Key_Return); }, "dom"},
            {"B_OK",
             [](QDialog* w) {
                 QTest::mouseClick(Find<QAbstractButton>(w, "B_OK"), Qt::LeftButton);
             },
             "dom"},
            {"Escape", [](QDialog* w) { QTest::keyClick(Field(w), Qt::Key_Escape); }, std::nullopt},
            {"B_Zamknij",
             [](QDialog* w) {
                 QTest::mouseClick(Find<QAbstractButton>(w, "B_Zamknij"), Qt::LeftButton);
             },
             std::nullopt},
        };
        for (const Case& c : cases) {
            context_.session.settings.searchOptions = {false, true, true, false, true};
            SearchOptionsWindow window(context_);
            QCOMPARE(window.objectName(), kWindow);
            ModalSteps steps(kWindow, {[&](QDialog* w) {
                                 QTest::keyClicks(Field(w), QStringLiteral("  dom "));
                                 // Whole text off, case on, Polish on: the settings take these on
                                 // confirming.
                                 QTest::mouseClick(Find<QLabel>(w, "Label1"), Qt::LeftButton);
                                 QTest::mouseClick(Find<QLabel>(w, "Label2"), Qt::LeftButton);
                                 QTest::mouseClick(Find<QLabel>(w, "Label4"), Qt::LeftButton);
                                 c.finish(w);
                             }});
            QCOMPARE(window.Ask(), c.result);
            QVERIFY2(!steps.leftOpen(), c.name);
            const std::array<bool, 5> stored =
                c.result ? std::array<bool, 5>{false, false, true, true, false}
                         : std::array<bool, 5>{false, true, true, false, true};
            QCOMPARE(context_.session.settings.searchOptions, stored);
            if (c.result) {
                const SearchFlags flags = window.flags();
                QVERIFY(!flags.wholeText && flags.foreign && flags.polish && !flags.ignoreCase);
                QCOMPARE(window.foreignQuery(), std::string("dom"));
                QCOMPARE(window.polishQuery(), std::string("dom"));
            }
        }
    }

    void labelsAndAcceleratorsToggleTheirBoxes() {
        SearchOptionsWindow window(context_);
        std::array<bool, 4> before{};
        std::array<bool, 4> afterKeys{};
        std::array<bool, 4> afterClicks{};
        bool fieldKeptFocus = false;
        bool windowActive = false;
        ModalSteps steps(
            kWindow, {[&](QDialog* w) {
                before = Boxes(w);
                // The accelerators are the active window's: on a busy machine the window may
                // become active a moment after it is the modal one.
                windowActive = QTest::qWaitForWindowActive(w);
                for (const Qt::Key key : {Qt::Key_T, Qt::Key_R, Qt::Key_A, Qt::Key_P}) {
                    QTest::keyClick(Field(w), key, Qt::AltModifier);
                }
                afterKeys = Boxes(w);
                fieldKeptFocus = w->focusWidget() == Field(w);
                for (const char* label : {"Label1", "Label2", "Label3", "Label4"}) {
                    QTest::mouseClick(Find<QLabel>(w, label), Qt::LeftButton);
                }
                afterClicks = Boxes(w);
                QTest::keyClick(w, Qt::Key_Escape);
            }});
        window.Ask();
        QVERIFY(windowActive);
        QCOMPARE(before, (std::array<bool, 4>{true, false, true, false}));
        QCOMPARE(afterKeys, (std::array<bool, 4>{false, true, false, true}));
        QVERIFY(fieldKeptFocus);
        QCOMPARE(afterClicks, before);
    }

    void labelsFollowTheCourseLanguage() {
        struct Case {
            int language;
            QString label3;
            QString label5;  // empty: Label5 and CheckBox1 are hidden
        };
        const Case cases[] = {
            {1, QStringLiteral("Szukaj wśród &angielskich"), QString()},
            {2, QStringLiteral("Szukaj wśród &niemieckich"), QString()},
            {3, QStringLiteral("Szukaj wśród &francuskich"), QStringLiteral("Czcionka francuska")},
            {4, QStringLiteral("Szukaj wśród hiszpańskich"), QStringLiteral("Czcionka hiszpańska")},
            {5, QStringLiteral("Szukaj wśród włoskich"), QStringLiteral("Czcionka włoska")},
            {6, QStringLiteral("Szukaj wśród rosyjskich"), QStringLiteral("Czcionka rosyjska")},
            {8, QStringLiteral("Szukaj wśród ..."), QStringLiteral("Czcionka języka kursu")},
        };
        SearchOptionsWindow window(context_);  // one window serves every course in turn
        for (const Case& c : cases) {
            Course(c.language);
            QString label3;
            QString label5;
            bool boxShown = false;
            bool boxTicked = false;
            ModalSteps steps(
                kWindow, {[&](QDialog* w) {
                    label3 = Find<QLabel>(w, "Label3")->text();
                    auto* label = Find<QLabel>(w, "Label5");
                    label5 = label->isVisible() ? label->text() : QString();
                    boxShown = Box(w, "CheckBox1")->isVisible();
                    boxTicked = Box(w, "CheckBox1")->isChecked();
                    Box(w, "CheckBox1")->setChecked(false);  // the next opening ticks it again
                    QTest::keyClick(w, Qt::Key_Escape);
                }});
            window.Ask();
            QCOMPARE(label3, c.label3);
            QCOMPARE(label5, c.label5);
            QCOMPARE(boxShown, c.language > 2);
            QVERIFY(boxTicked);
        }
        QCOMPARE(Find<QLabel>(&window, "Label1")->text(), QStringLiteral("&Tylko całe wyrazy"));
        QCOMPARE(Find<QLabel>(&window, "Label2")->text(),
                 QStringLiteral("&Rozróżniaj duże i małe litery"));
        QCOMPARE(Find<QLabel>(&window, "Label4")->text(), QStringLiteral("Szukaj wśród &polskich"));
    }

    void fieldTakesAtMostAHundredCharactersAndTheNationalKeys() {
        Course(2);
        SearchOptionsWindow window(context_);
        int length = 0;
        ModalSteps steps(kWindow, {[&](QDialog* w) {
                             QTest::keyClicks(Field(w), QString(120, QLatin1Char('x')));
                             length = static_cast<int>(Field(w)->text().size());
                             Field(w)->clear();
                             QTest::keyClicks(Field(w), QStringLiteral("Gr"));
                             QTest::keyClick(Field(w), Qt::Key_U, Qt::ControlModifier);
                             QTest::keyClicks(Field(w), QStringLiteral("n"));
                             QTest::keyClick(Field(w), Qt::Key_S, Qt::ControlModifier);
                             QTest::keyClick(Field(w), Qt::Key_Return);
                         }});
        // German letters in Windows-1250: ü 0xFC, ß 0xDF.
        QCOMPARE(window.Ask(), std::string("Gr\xFCn\xDF"));
        QCOMPARE(length, SearchOptionsWindow::kMaxQueryLength);
    }

    void characterSetBoxChoosesTheCodePageOfTheQuery() {
        Course(6, 2);  // Russian, Cyrillic texts (Windows-1251)
        SearchOptionsWindow window(context_);

        {
            // Ticked: the course's own characters.
            ModalSteps cyrillic(kWindow, {[](QDialog* w) {
                                    Field(w)->setText(QStringLiteral("дом"));
                                    QTest::keyClick(Field(w), Qt::Key_Return);
                                }});
            QCOMPARE(window.Ask(), std::string("\xE4\xEE\xEC"));
            QCOMPARE(window.queryCodePage(), CodePage::Cp1251);
            QCOMPARE(window.foreignQuery(), std::string("\xE4\xEE\xEC"));
            QCOMPARE(window.polishQuery(), std::string());  // no Polish text holds Cyrillic
        }

        {
            // A Polish letter while the course's characters are chosen is refused; unticking the
            // box takes the text in the Central European characters.
            ModalSteps polish(kWindow, {[](QDialog* w) {
                                            Field(w)->setText(QStringLiteral("łódź"));
                                            QTest::keyClick(Field(w), Qt::Key_Return);
                                        },
                                        [](QDialog* w) {
                                            QTest::mouseClick(Find<QLabel>(w, "Label5"),
                                                              Qt::LeftButton);
                                            QTest::keyClick(Field(w), Qt::Key_Return);
                                        }});
            QCOMPARE(window.Ask(), std::string("\xB3\xF3"
                                               "d\x9F"));
            QCOMPARE(polish.messages().size(), 1);
            QVERIFY(polish.messages().front().contains(QStringLiteral("„ł”")));
            QCOMPARE(window.queryCodePage(), CodePage::Cp1250);
            QCOMPARE(window.queryText(), QStringLiteral("łódź"));
            QCOMPARE(window.foreignQuery(), std::string());
            QCOMPARE(window.polishQuery(), std::string("\xB3\xF3"
                                                       "d\x9F"));
        }

        // Without the box (a course of language 1 in Western characters) a Polish text is
        // taken in the Central European characters, not refused.
        Course(1, 1);
        ModalSteps western(kWindow, {[](QDialog* w) {
                               Field(w)->setText(QStringLiteral("łódź"));
                               QTest::keyClick(Field(w), Qt::Key_Return);
                           }});
        QCOMPARE(window.Ask(), std::string("\xB3\xF3"
                                           "d\x9F"));
        QVERIFY(western.messages().isEmpty());
        QCOMPARE(window.queryCodePage(), CodePage::Cp1250);
    }
};

QTEST_MAIN(SearchOptionsWindowTest)
#include "search_options_window_test.moc"
