// The set parameters dialog driven through its controls while it runs modally: the groups it
// offers, what the confirm button, Enter, Esc and the close button give back, the group kept from
// the previous opening, and the names it refuses. Only the listed groups with a number a set's
// identifier can hold (two digits) are offered.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <optional>

#include "core/clock.h"
#include "find_control.h"
#include "modal_steps.h"
#include "ui/app_context.h"
#include "ui/shell/set_parameters_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ModalSteps;
using Step = ModalSteps::Step;

namespace {

const QString kWindow = QStringLiteral("TForm15");

QLineEdit* Name(QWidget* d) {
    return Find<QLineEdit>(d, "E_Nazwa");
}
QComboBox* Groups(QWidget* d) {
    return Find<QComboBox>(d, "CB_Gr_Tem");
}
QComboBox* Levels(QWidget* d) {
    return Find<QComboBox>(d, "CB_Poziom");
}
bool OkShown(QWidget* d) {
    return Find<QAbstractButton>(d, "B_OK")->isVisible();
}

Group MakeGroup(int id, int listed, const char* name) {
    Group group;
    group.groupId = id;
    group.listed = static_cast<std::uint8_t>(listed);
    group.name = name;
    return group;
}

}  // namespace

class SetParametersWindowTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    AppContext context_{clock_};

  private slots:
    void init() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
        context_.session.db.params.language = 1;
        // Group names are Windows-1250 bytes: "Zwierzęta" and "Własne...".
        context_.session.db.groups = {MakeGroup(0, 1, "Wszystkie"),
                                      MakeGroup(3, 1, "Zwierz\xEAta"), MakeGroup(4, 0, "Ukryta"), MakeGroup(150, 1, "Za du\xBFy numer"),
                                      MakeGroup(60, 1, "Moja"), MakeGroup(99, 1, "W\xB3" "asne...")};
    }

    void offersTheListedGroupsAndGivesBackTheChoice() {
        SetParametersWindow window(context_);
        QStringList offered;
        bool okAtOpening = true;
        ModalSteps steps(kWindow, {[&](QDialog* d) {
                             for (int i = 0; i < Groups(d)->count(); ++i) {
                                 offered << Groups(d)->itemText(i);
                             }
                             okAtOpening = OkShown(d);
                             QCOMPARE(Levels(d)->currentText(), QStringLiteral("1"));
                             QCOMPARE(d->focusWidget(), Name(d));
                             QTest::keyClicks(Name(d), QStringLiteral("  "));
                             Name(d)->insert(QStringLiteral("Łąka"));
                             QTest::keyClicks(Name(d), QStringLiteral(" i pole "));
                             Groups(d)->setCurrentIndex(3);
                             Levels(d)->setCurrentIndex(2);
                             QTest::mouseClick(Find<QAbstractButton>(d, "B_OK"), Qt::LeftButton);
                         }});
        const std::optional<SetParameters> result = window.Ask();
        QVERIFY(!steps.leftOpen());
        QCOMPARE(offered.join(u'|'), (QStringList{QStringLiteral("Wszystkie"), QStringLiteral("Zwierzęta"),
                                       QStringLiteral("Moja"), QStringLiteral("Własne...")}.join(u'|')));
        QVERIFY(!okAtOpening);
        QVERIFY(result.has_value());
        QCOMPARE(result->name, std::string("\xA3\xB9ka i pole"));
        QCOMPARE(result->groupId, 99);
        QCOMPARE(result->level, 3);
    }

    void confirmsOnlyWithANameAndCancelsWithNothing() {
        struct Case {
            const char* name;
            Step step;
            bool confirmed;
        };
        const auto type = [](const QString& text) {
            return [text](QDialog* d) { QTest::keyClicks(Name(d), text); };
        };
        const Case cases[] = {
            {"Enter with a name",
             [&](QDialog* d) {
                 type(QStringLiteral("Dom"))(d);
                 QTest::keyClick(Name(d), Qt::Key_Return);
             },
             true},
            {"Enter with blanks only",
             [&](QDialog* d) {
                 type(QStringLiteral("   "))(d);
                 QVERIFY(!OkShown(d));
                 QTest::keyClick(Name(d), Qt::Key_Return);
             },
             false},
            {"Escape",
             [&](QDialog* d) {
                 type(QStringLiteral("Dom"))(d);
                 QTest::keyClick(Name(d), Qt::Key_Escape);
             },
             false},
            {"close button",
             [&](QDialog* d) {
                 type(QStringLiteral("Dom"))(d);
                 QTest::mouseClick(Find<QAbstractButton>(d, "B_Zamknij"), Qt::LeftButton);
             },
             false},
        };
        for (const Case& c : cases) {
            SetParametersWindow window(context_);
            ModalSteps steps(kWindow, {c.step});
            const std::optional<SetParameters> result = window.Ask();
            QVERIFY2(result.has_value() == c.confirmed, c.name);
            // Enter with blanks leaves the dialog open; it is closed after the steps.
            QVERIFY2(steps.leftOpen() == (std::string_view(c.name) == "Enter with blanks only"),
                     c.name);
        }
    }

    void keepsTheGroupOfThePreviousOpeningWhileItExists() {
        SetParametersWindow window(context_);
        QString secondName = QStringLiteral("x");
        QString secondGroup;
        QString thirdGroup;
        ModalSteps steps(kWindow, {
                                      [](QDialog* d) {
                                          Groups(d)->setCurrentIndex(2);  // "Moja", id 60
                                          QTest::keyClicks(Name(d), QStringLiteral("Raz"));
                                          QTest::keyClick(Name(d), Qt::Key_Return);
                                      },
                                      [&](QDialog* d) {
                                          secondName = Name(d)->text();
                                          secondGroup = Groups(d)->currentText();
                                          QTest::keyClick(d, Qt::Key_Escape);
                                      },
                                      [&](QDialog* d) {
                                          thirdGroup = Groups(d)->currentText();
                                          QTest::keyClick(d, Qt::Key_Escape);
                                      },
                                  });
        QCOMPARE(window.Ask()->groupId, 60);
        QVERIFY(!window.Ask().has_value());
        QCOMPARE(secondName, QString());
        QCOMPARE(secondGroup, QStringLiteral("Moja"));
        // The group is gone from the table: the first group is chosen.
        std::erase_if(context_.session.db.groups, [](const Group& g) { return g.groupId == 60; });
        QVERIFY(!window.Ask().has_value());
        QCOMPARE(thirdGroup, QStringLiteral("Wszystkie"));
        QVERIFY(!steps.leftOpen());
    }

    void refusesNamesTheSetFilesCannotHold() {
        struct Case {
            QString typed;
            QString message;  // a part of it
        };
        const Case cases[] = {
            {QStringLiteral("a=b"), QStringLiteral("\"=\"")},
            {QStringLiteral("кот"), QStringLiteral("„к”")},
        };
        for (const Case& c : cases) {
            SetParametersWindow window(context_);
            ModalSteps steps(kWindow, {[&](QDialog* d) {
                                 Name(d)->setText(c.typed);
                                 QTest::keyClick(Name(d), Qt::Key_Return);
                             }});
            QVERIFY(!window.Ask().has_value());
            QVERIFY(steps.leftOpen());
            QCOMPARE(steps.messages().size(), 1);
            QVERIFY2(steps.messages().front().contains(c.message),
                     qPrintable(steps.messages().front()));
        }
    }

    void theNameTakesSixteenCharactersAndNationalKeys() {
        context_.session.db.params.language = 2;
        SetParametersWindow window(context_);
        ModalSteps steps(kWindow, {[](QDialog* d) {
                             QTest::keyClick(Name(d), Qt::Key_A, Qt::ControlModifier);
                             QTest::keyClicks(Name(d), QStringLiteral("bcdefghijklmnopqrstu"));
                             QTest::keyClick(Name(d), Qt::Key_Return);
                         }});
        const std::optional<SetParameters> result = window.Ask();
        QVERIFY(result.has_value());
        QCOMPARE(result->name, std::string("\xE4"
                                           "bcdefghijklmnop"));
    }

    void f1OpensTheHelpPage() {
        QString page;
        context_.openHelp = [&](const QString& p) { page = p; };
        SetParametersWindow window(context_);
        ModalSteps steps(kWindow, {[](QDialog* d) { QTest::keyClick(Name(d), Qt::Key_F1); }});
        window.Ask();
        context_.openHelp = nullptr;
        QCOMPARE(page, QStringLiteral("wlasne_bazy.html"));
    }
};

QTEST_MAIN(SetParametersWindowTest)
#include "set_parameters_window_test.moc"
