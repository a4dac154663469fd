// The example-sentences window driven through its controls: the sentence search from its field,
// the walk over the sound icons with G and the right arrow, the icons under the mouse, scrolling;
// and the answer popup, which goes away on its keys and when the learner works elsewhere.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/markup.h"
#include "find_control.h"
#include "support.h"
#include "ui/runner/answer_popup.h"
#include "ui/app_context.h"
#include "ui/content/examples_window.h"
#include "ui/widgets/markup_view.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;

namespace {

Unit Sentence(std::string foreign, std::string recording, std::string translation) {
    Unit unit;
    unit.unitKind = kSentenceUnit;
    unit.foreignText = std::move(foreign);
    unit.nativeText = "kot";
    unit.recordingSource = 1;
    unit.recording = std::move(recording);
    unit.sentenceTranslation = std::move(translation);
    return unit;
}

// The centre of the first icon of the box whose marker starts with prefix ("#S=00003").
QPoint IconCentre(MarkupView* box, const std::string& prefix) {
    for (const MarkupHotspot& hotspot : box->hotspots()) {
        if (hotspot.token.rfind(prefix, 0) == 0) {
            return {hotspot.x + 8, hotspot.y + 7};
        }
    }
    qFatal("no icon %s", prefix.c_str());
    return {};
}

}  // namespace

class ExamplesWindowTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};
    std::vector<int> played_;

    // Units 1-2 words, 3.. sentences: three cat sentences with both icons, one without icons, one
    // without translation, then 20 dog sentences with a recording each.
    void FillDatabase() {
        UnitTable& units = context_.session.db.units;
        units.Clear();
        Unit word;
        word.foreignText = "cat";
        units.Append(word);
        units.Append(word);
        units.wordUnitCount = 2;
        units.Append(Sentence("The <cat> sleeps.", "s3.wav", "Kot \x9Cpi."));
        units.Append(Sentence("A cat runs.", "s4.wav", "Kot biega."));
        units.Append(Sentence("My cat eats.", "s5.wav", "M\xF3j kot je."));
        units.Append(Sentence("Your cat is here.", "", ""));
        units.Append(Sentence("Old cat.", "", ""));
        units.unit(7).nativeText = "stary kot";
        for (int i = 0; i < 20; ++i) {
            units.Append(Sentence("Dog number " + std::to_string(i) + ".", "d.wav", "Pies."));
        }
        BuildSearchTexts(units);
    }

    std::unique_ptr<ExamplesWindow> OpenWindow(const std::string& text,
                                               const std::string& searchText = {}) {
        auto window = std::make_unique<ExamplesWindow>(context_);
        window->SetPlayedHook([this](int unit, const std::string&) { played_.push_back(unit); });
        window->Prepare(text, searchText);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the window was not shown");
        }
        window->activateWindow();
        played_.clear();
        return window;
    }

    void SearchFor(ExamplesWindow* window, const QString& pattern) {
        auto* field = Find<QLineEdit>(window, "E_Szukaj");
        if (!field->isVisible()) {
            QTest::mouseClick(Find<QAbstractButton>(window, "K_szukaj"), Qt::LeftButton);
        }
        field->clear();
        QTest::keyClicks(field, pattern);
        QTest::keyClick(field, Qt::Key_Return);
    }

  private slots:
    void initTestCase() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
        context_.session.paths = context_.programPaths;
        context_.session.paths.databaseDir = DYD_SAMPLE "/db/none/";
        FillDatabase();
    }

    void openingShowsTheTextAndHidesTheSearchField() {
        auto window = OpenWindow(GapsToItalics("#S=00003# #N=00003# The <cat> sleeps. @"), "cat");
        QCOMPARE(window->objectName(), QStringLiteral("TInformacjaForm"));
        QCOMPARE(Find<MarkupView>(window.get(), "Pb1")->size(), QSize(496, 160));
        QVERIFY(!Find<QLabel>(window.get(), "Label1")->isVisible());
        QVERIFY(Find<QLabel>(window.get(), "Label1")->text().contains(QStringLiteral("sleeps")));
        QVERIFY(Find<QAbstractButton>(window.get(), "K_szukaj")->isVisible());
        QVERIFY(!Find<QAbstractButton>(window.get(), "K_Pokaz")->isVisible());
        auto* field = Find<QLineEdit>(window.get(), "E_Szukaj");
        QVERIFY(!field->isVisible());
        QCOMPARE(field->text(), QStringLiteral("cat"));
        QCOMPARE(Find<QAbstractButton>(window.get(), "B_OK")->toolTip(), QStringLiteral("Wyjście"));

        QTest::mouseClick(Find<QAbstractButton>(window.get(), "K_szukaj"), Qt::LeftButton);
        QVERIFY(field->isVisible());
        QVERIFY(field->hasFocus());
        QVERIFY(Find<QAbstractButton>(window.get(), "K_Pokaz")->isVisible());
        QVERIFY(!Find<QAbstractButton>(window.get(), "K_szukaj")->isVisible());
    }

    void searchFromTheFieldListsTheSentences() {
        auto window = OpenWindow("start");
        SearchFor(window.get(), QStringLiteral("  CAT "));
        QCOMPARE(window->textBytes(), std::string("#S=00003# #N=00003# The cat sleeps.@"
                                                  "#S=00004# #N=00004# A cat runs.@"
                                                  "#S=00005# #N=00005# My cat eats.@"
                                                  " Your cat is here.@"
                                                  " Old cat.@"));
        auto* box = Find<MarkupView>(window.get(), "Pb1");
        QCOMPARE(box->hotspots().size(), std::size_t{6});

        // K_Pokaz runs the same search; no match shows the fixed text and clears the line below.
        QTest::mouseClick(box, Qt::LeftButton, {}, IconCentre(box, "#N=00004"));
        QVERIFY(!Find<QLabel>(window.get(), "Label2")->text().isEmpty());
        auto* field = Find<QLineEdit>(window.get(), "E_Szukaj");
        field->setText(QStringLiteral("horse"));
        QTest::mouseClick(Find<QAbstractButton>(window.get(), "K_Pokaz"), Qt::LeftButton);
        QCOMPARE(window->textBytes(), std::string("Nie znaleziono!"));
        QVERIFY(box->hotspots().empty());
        QVERIFY(Find<QLabel>(window.get(), "Label2")->text().isEmpty());

        // An empty field leaves the text as it was.
        field->setText(QStringLiteral("   "));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(window->textBytes(), std::string("Nie znaleziono!"));

        // A letter the course's texts cannot hold is named in a message; the text stays.
        QString message;
        QTimer::singleShot(0, [&message] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                message = Find<QLabel>(box, "Label1")->text();
                box->done(0);
            }
        });
        field->setText(QStringLiteral("кот"));
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY2(message.contains(QStringLiteral("„к”")), qPrintable(message));
        QCOMPARE(window->textBytes(), std::string("Nie znaleziono!"));
    }

    void gAndRightArrowPlayTheSoundIconsInTurn() {
        auto window = OpenWindow("x");
        SearchFor(window.get(), QStringLiteral("cat"));
        // Typing G into the search field types it and plays nothing.
        QTest::keyClick(Find<QLineEdit>(window.get(), "E_Szukaj"), Qt::Key_G);
        QVERIFY(played_.empty());
        Find<QLineEdit>(window.get(), "E_Szukaj")->clearFocus();
        window->setFocus();
        QTest::keyClick(window.get(), Qt::Key_G);
        QTest::keyClick(window.get(), Qt::Key_Right);
        QTest::keyClick(window.get(), Qt::Key_G);
        QTest::keyClick(window.get(), Qt::Key_G);
        QCOMPARE(played_, (std::vector<int>{3, 4, 5, 3}));
        // A new search starts again with the first icon.
        SearchFor(window.get(), QStringLiteral("my cat"));
        window->setFocus();
        QTest::keyClick(window.get(), Qt::Key_G);
        QCOMPARE(played_.back(), 5);
    }

    void clickingIconsPlaysOrShowsTheTranslation() {
        auto window = OpenWindow("x");
        SearchFor(window.get(), QStringLiteral("cat"));
        auto* box = Find<MarkupView>(window.get(), "Pb1");
        auto* line = Find<QLabel>(window.get(), "Label2");
        QTest::mouseClick(box, Qt::LeftButton, {}, IconCentre(box, "#N=00003"));
        QCOMPARE(line->text(), QStringLiteral("Kot śpi."));
        QVERIFY(played_.empty());
        QTest::mouseClick(box, Qt::LeftButton, {}, IconCentre(box, "#S=00004"));
        QCOMPARE(played_, std::vector<int>{4});
        QCOMPARE(line->text(), QStringLiteral("Kot śpi."));

        // A sentence without its translation shows its meaning with the note.
        auto other = OpenWindow("#N=00007# Old cat.@");
        auto* otherBox = Find<MarkupView>(other.get(), "Pb1");
        QTest::mouseClick(otherBox, Qt::LeftButton, {}, IconCentre(otherBox, "#N=00007"));
        QCOMPARE(Find<QLabel>(other.get(), "Label2")->text(),
                 QStringLiteral("stary kot ->>> bedzie tłumaczenie całego zdania"));
    }

    void scrollingStartsTheWalkAtTheFirstVisibleIcon() {
        auto window = OpenWindow("x");
        SearchFor(window.get(), QStringLiteral("dog number"));
        window->setFocus();
        auto* down = Find<QAbstractButton>(window.get(), "btn_dn");
        auto* up = Find<QAbstractButton>(window.get(), "btn_up");
        QVERIFY(down->isVisible());
        QVERIFY(!up->isVisible());
        // The up arrow does nothing while its button is hidden.
        QTest::keyClick(window.get(), Qt::Key_Up);
        QCOMPARE(Find<MarkupView>(window.get(), "Pb1")->scrollOffset(), 0);
        // Eight lines of 20 pixels lie inside the 160-pixel box (units 8..15).
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(window.get(), Qt::Key_G);
        }
        QCOMPARE(played_, (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15, 8}));
        played_.clear();
        QTest::keyClick(window.get(), Qt::Key_G);
        QTest::keyClick(window.get(), Qt::Key_Down);
        QCOMPARE(Find<MarkupView>(window.get(), "Pb1")->scrollOffset(), 1);
        QVERIFY(up->isVisible());
        QTest::keyClick(window.get(), Qt::Key_G);
        QTest::mouseClick(up, Qt::LeftButton);
        QTest::keyClick(window.get(), Qt::Key_G);
        QCOMPARE(played_, (std::vector<int>{9, 9, 8}));
    }

    void escapeEndsTheModalWindow() {
        ExamplesWindow window(context_);
        bool wasOpen = false;
        QTimer::singleShot(0, [&wasOpen] {
            QWidget* modal = QApplication::activeModalWidget();
            wasOpen = modal != nullptr && modal->objectName() == QStringLiteral("TInformacjaForm");
            if (modal != nullptr) {
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        QTimer::singleShot(2000, &window, [&window] { window.done(2); });
        window.ShowExamples("A cat.@", "cat");
        QVERIFY(wasOpen);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void answerPopupGoesAwayOnItsKeysAndButton() {
        struct Case {
            const char* name;
            std::function<void(AnswerPopup*)> action;
        };
        const std::vector<Case> cases = {
            {"Escape", [](AnswerPopup* p) { QTest::keyClick(p, Qt::Key_Escape); }},
            {"Enter", [](AnswerPopup* p) { QTest::keyClick(p, Qt::Key_Return); }},
            {"button",
             [](AnswerPopup* p) {
                 QTest::mouseClick(Find<QAbstractButton>(p, "B_Zamknij"), Qt::LeftButton);
             }},
        };
        for (const Case& c : cases) {
            AnswerPopup popup(context_);
            QCOMPARE(popup.objectName(), QStringLiteral("TForm6"));
            QCOMPARE(popup.size(), QSize(540, 159));
            popup.ShowAnswerBytes(
                "Stra\xDF"
                "e");
            QVERIFY(popup.isVisible());
            QCOMPARE(Find<QLabel>(&popup, "L_Odp")->text(), QStringLiteral("Straße"));
            QTest::keyClick(&popup, Qt::Key_A);
            QVERIFY2(popup.isVisible(), c.name);
            c.action(&popup);
            QVERIFY2(!popup.isVisible(), c.name);
        }
    }

    void answerPopupGoesAwayWhenTheRunnerIsClicked() {
        QWidget runner;
        runner.resize(300, 200);
        runner.show();
        QVERIFY(QTest::qWaitForWindowActive(&runner));
        AnswerPopup popup(context_, &runner);
        popup.ShowAnswer(QStringLiteral("answer"));
        // Showing does not block: the popup is up while the caller goes on.
        QVERIFY(QTest::qWaitForWindowActive(&popup));
        QVERIFY(popup.isVisible());
        runner.activateWindow();
        QTRY_VERIFY(!popup.isVisible());
        // Shown again, it comes back with the new text.
        popup.ShowAnswerBytes("second");
        QVERIFY(popup.isVisible());
        QCOMPARE(Find<QLabel>(&popup, "L_Odp")->text(), QStringLiteral("second"));
    }
};

QTEST_MAIN(ExamplesWindowTest)
#include "examples_window_test.moc"
