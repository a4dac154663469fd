// The unit editor driven through its controls: the fields of each kind and both heights, the
// save button that shows once the unit has its text and meaning, the checks' messages, the
// national keys and the letters the course cannot hold, closing with unsaved changes, editing a
// unit, a new group, a recording copied from a file, and the added units saved as a set.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/exercise_sets.h"
#include "core/learner_files.h"
#include "find_control.h"
#include "message_watch.h"
#include "sound/wav_file.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/unit_editor_window.h"
#include "ui/shell/comment_dialog.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/set_parameters_window.h"
#include "ui/widgets/ui_text.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;

namespace {

QLineEdit* FieldOf(QWidget* window, const char* name) {
    return Find<QLineEdit>(window, name);
}

void Type(QWidget* window, const char* field, const QString& text) {
    QLineEdit* edit = FieldOf(window, field);
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

// Answers the next confirmation: yes with its B_OK, no with its B_Zamknij.
void Answer(bool yes) {
    test::WhenModal([yes](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("TForm29"));
        QTest::mouseClick(Find<QAbstractButton>(dialog, yes ? "B_OK" : "B_Zamknij"),
                          Qt::LeftButton);
    });
}

}  // namespace

class UnitEditorWindowTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{46000.0};
    AppContext context_{clock_};
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<QWidget> owner_;
    MessageBox* messages_ = nullptr;
    ConfirmationDialog* confirmation_ = nullptr;
    CommentDialog* prompt_ = nullptr;
    std::optional<std::string> chosenFile_;
    SetParametersWindow* setParameters_ = nullptr;

    // An empty German database of the learner's own in a fresh folder, the editor over it.
    std::unique_ptr<UnitEditorWindow> Open(int editedUnit = 0) {
        auto window = std::make_unique<UnitEditorWindow>(context_, owner_.get());
        UnitEditorDialogs dialogs;
        dialogs.messages = messages_;
        dialogs.confirmation = confirmation_;
        dialogs.prompt = prompt_;
        dialogs.chooseRecording = [this] { return chosenFile_; };
        dialogs.askSetParameters = [this]() -> std::optional<EditorSetParameters> {
            const std::optional<SetParameters> chosen = setParameters_->Ask();
            if (!chosen) {
                return std::nullopt;
            }
            return EditorSetParameters{chosen->name, chosen->groupId, chosen->level};
        };
        window->SetDialogs(std::move(dialogs));
        window->Prepare(editedUnit);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the editor was not shown");
        }
        window->activateWindow();
        return window;
    }

    void FreshDatabase() {
        dir_ = std::make_unique<TempDir>();
        LearnerSession& session = context_.session;
        session.paths = context_.programPaths;
        session.paths.databaseDir = dir_->path() + "db/moja/";
        session.paths.userDir = dir_->path() + "1/";
        session.paths.databaseCode = "moja";
        std::filesystem::create_directories(session.paths.databaseDir);
        std::filesystem::create_directories(session.paths.userDir);
        session.db = CourseDatabase();
        session.db.params.language = 2;
        session.db.params.learnerMade = true;
        session.db.params.userIdLow = 1;
        session.db.params.userIdHigh = 99000;
        session.db.groups = {DefaultGroup()};
        session.history = ExerciseHistory();
    }

    void AddWord(UnitEditorWindow* window, const QString& foreign, const QString& native) {
        Type(window, "E_Ang", foreign);
        Type(window, "E_Pol", native);
        QTest::keyClick(FieldOf(window, "E_Pol"), Qt::Key_Return);
    }

  private slots:
    void initTestCase() {
        context_.programPaths.programDir = DYD_SAMPLE "/";
        context_.programPaths.languageDir = "Lang_s/0/";
        context_.images.Load(context_.programPaths.programDir);
        owner_ = std::make_unique<QWidget>();
        messages_ = new MessageBox(context_, owner_.get());
        confirmation_ = new ConfirmationDialog(context_, owner_.get());
        prompt_ = new CommentDialog(context_, owner_.get());
        setParameters_ = new SetParametersWindow(context_, owner_.get());
    }

    void init() { FreshDatabase(); }

    void theKindsShowTheirFieldsInBothHeights() {
        auto window = Open();
        QCOMPARE(window->objectName(), QStringLiteral("TForm13"));
        QCOMPARE(window->size(), QSize(kEditorWidth, 194));
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Typ_Cw")->currentText(), QStringLiteral("słówko"));
        QVERIFY(!Shown(window.get(), "I_edycja"));
        // A new unit offers no recording until it has its text, no save until its meaning.
        for (const char* hidden : {"K_zapisz_i_nowe", "K_Nagranie", "K_nagraj", "k_graj",
                                   "k_kasuj_nag", "E_Komentarz", "CB_Gr_Tem", "K_Ukryj"}) {
            QVERIFY2(!Shown(window.get(), hidden), hidden);
        }
        Type(window.get(), "E_Ang", QStringLiteral("Hund"));
        QVERIFY(Shown(window.get(), "K_Nagranie") && Shown(window.get(), "K_nagraj"));
        QVERIFY(!Shown(window.get(), "K_zapisz_i_nowe"));
        Type(window.get(), "E_Pol", QStringLiteral("pies"));
        QVERIFY(Shown(window.get(), "K_zapisz_i_nowe"));
        QCOMPARE(Find<QAbstractButton>(window.get(), "K_zapisz_i_nowe")->toolTip(),
                 QStringLiteral("Zapisz i dodaj następne"));

        test::Click(window.get(), "k_opcje_wiecej");
        QCOMPARE(window->height(), 339);
        for (const char* shown : {"E_L_Mnoga", "E_Komentarz", "E_Podpowiedz", "CB_Gr_Tem",
                                  "CB_Poziom", "CB_Rodzaj", "K_nowa_g_tem", "K_Ukryj"}) {
            QVERIFY2(Shown(window.get(), shown), shown);
        }
        QVERIFY(!Shown(window.get(), "K_Zapisz_cw"));  // nothing added yet
        QVERIFY(!Shown(window.get(), "k_opcje_wiecej"));
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Gr_Tem")->currentText(),
                 QStringLiteral("Własne..."));
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Poziom")->currentText(), QStringLiteral("2"));
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Rodzaj")->currentText(), QStringLiteral("inne"));

        struct Kind {
            int index;
            const char* foreign;
            const char* synonyms;  // nullptr: hidden
            const char* plural;
            const char* hint;
        };
        const Kind kinds[] = {
            {1, "Zdanie:", "Tłumaczenie całego zdania:", nullptr,
             "Inne odp. do testu wyboru (niepoprawne):"},
            {2, "Pytanie (słówko):", nullptr, nullptr, nullptr},
            {0, "Słówko:", "Synonimy:", "Liczba mnoga rzeczownika:", "Podpowiedź:"},
        };
        auto* kind = Find<QComboBox>(window.get(), "CB_Typ_Cw");
        for (const Kind& k : kinds) {
            kind->setCurrentIndex(k.index);
            QCOMPARE(Find<QLabel>(window.get(), "L_Ang")->text(), QString::fromUtf8(k.foreign));
            const std::pair<const char*, const char*> rows[] = {
                {"L_Synonimy", k.synonyms}, {"L_l_mnoga", k.plural}, {"L_Podpowiedz", k.hint}};
            for (const auto& [label, text] : rows) {
                QCOMPARE(Shown(window.get(), label), text != nullptr);
                if (text != nullptr) {
                    QCOMPARE(Find<QLabel>(window.get(), label)->text(), QString::fromUtf8(text));
                }
            }
        }
        test::Click(window.get(), "K_Ukryj");
        QCOMPARE(window->height(), 194);
        QVERIFY(!Shown(window.get(), "E_Komentarz"));
        QVERIFY(Shown(window.get(), "k_opcje_wiecej"));

        // A course that is not the learner's own offers no new group.
        context_.session.db.params.learnerMade = false;
        auto other = Open();
        test::Click(other.get(), "k_opcje_wiecej");
        QVERIFY(!Shown(other.get(), "K_nowa_g_tem"));
        other->reject();
        Answer(false);
        window->reject();
    }

    void addedUnitsAreStoredAndSavedAsASet() {
        auto window = Open();
        MessageWatch watch;
        AddWord(window.get(), QStringLiteral("Hund"), QStringLiteral("pies"));
        QCOMPARE(Find<QLabel>(window.get(), "L_Opis")->text(), QStringLiteral("Zapisano!"));
        QVERIFY(FieldOf(window.get(), "E_Ang")->text().isEmpty());
        QVERIFY(FieldOf(window.get(), "E_Ang")->hasFocus());
        QVERIFY(!Shown(window.get(), "K_zapisz_i_nowe"));
        test::Click(window.get(), "k_opcje_wiecej");
        QVERIFY(Shown(window.get(), "K_Zapisz_cw"));
        Find<QComboBox>(window.get(), "CB_Poziom")->setCurrentIndex(3);
        Find<QComboBox>(window.get(), "CB_Rodzaj")->setCurrentIndex(0);
        Type(window.get(), "E_L_Mnoga", QStringLiteral("Hunde"));
        AddWord(window.get(), QStringLiteral("Katze"), QStringLiteral("kot"));
        // The drop-downs keep their values for the next unit.
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Poziom")->currentText(), QStringLiteral("4"));
        Find<QComboBox>(window.get(), "CB_Typ_Cw")->setCurrentIndex(1);
        Type(window.get(), "E_Ang", QStringLiteral("Ich <bin> hier"));
        Type(window.get(), "E_Pol", QStringLiteral("jestem"));
        Type(window.get(), "E_Podpowiedz", QStringLiteral("ist/sind"));
        test::Click(window.get(), "K_zapisz_i_nowe");
        QCOMPARE(watch.texts(), QStringList());

        const UnitTable& units = context_.session.db.units;
        QCOMPARE(units.unitCount(), 3);
        QCOMPARE(window->added(), (std::vector<int>{1, 2, 3}));
        QCOMPARE(units.unit(2).plural, std::string("Hunde"));
        QCOMPARE(units.unit(2).level, 4);
        QCOMPARE(units.unit(2).partOfSpeech, 1);
        QCOMPARE(units.unit(3).unitKind, 2);
        QCOMPARE(units.unit(3).distractors, std::string("ist/sind"));
        QCOMPARE(units.unit(3).unitId, 7);
        QCOMPARE(units.unit(3).recordingSource, std::uint8_t{1});

        test::WhenModal([](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm15"));
            QTest::keyClicks(Find<QLineEdit>(dialog, "E_Nazwa"), QStringLiteral("Zwierzeta"));
            Find<QComboBox>(dialog, "CB_Poziom")->setCurrentIndex(1);
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        test::Click(window.get(), "K_Zapisz_cw");
        QCOMPARE(watch.texts(), QStringList{QStringLiteral("Ćwiczenie \"Zwierzeta\" zapisano.")});
        QCOMPARE(ReadBytes(UserSetFilePath(context_.session.paths, 2)),
                 test::CrLf({"9=299-2-0001=Zwierzeta=00003=00005=00007"}));
        QVERIFY(window->unitsStored());
        window->reject();
        QVERIFY(!window->isVisible());
    }

    void checksSayWhatIsWrongAndStoreNothing() {
        auto window = Open();
        MessageWatch watch;
        Find<QComboBox>(window.get(), "CB_Typ_Cw")->setCurrentIndex(1);
        Type(window.get(), "E_Ang", QStringLiteral("Ich <<bin>> hier"));
        Type(window.get(), "E_Pol", QStringLiteral("jestem"));
        test::Click(window.get(), "K_zapisz_i_nowe");
        const QString pair = QStringLiteral(
            "Każdemu oznaczeniu otwierającemu \"<\" musi odpowiadać zamykające \">\".");
        QCOMPARE(watch.texts(),
                 (QStringList{QStringLiteral("Błędny znak (numer:6). ") + pair,
                              QStringLiteral("Błąd! ") + pair}));
        QCOMPARE(context_.session.db.units.unitCount(), 0);

        FieldOf(window.get(), "E_Ang")->clear();
        Type(window.get(), "E_Ang", QStringLiteral("Ich <bin> hier"));
        FieldOf(window.get(), "E_Pol")->clear();
        Type(window.get(), "E_Pol", QStringLiteral("a=b"));
        test::Click(window.get(), "K_zapisz_i_nowe");
        QCOMPARE(watch.texts().mid(2), QStringList{QStringLiteral("Niedozwolony znak \"=\" !")});
        QCOMPARE(context_.session.db.units.unitCount(), 0);
        QVERIFY(window->isVisible());

        // Closing with changes asks; a yes whose checks fail keeps the window open, a no closes
        // it without storing.
        Answer(true);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QCOMPARE(watch.texts().size(), 4);
        Answer(false);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(context_.session.db.units.unitCount(), 0);
    }

    void closingWithAYesStoresTheUnit() {
        auto window = Open();
        Type(window.get(), "E_Ang", QStringLiteral("Maus"));
        Type(window.get(), "E_Pol", QStringLiteral("mysz"));
        Answer(true);
        test::Click(window.get(), "B_Zamknij");
        QVERIFY(!window->isVisible());
        QCOMPARE(context_.session.db.units.unitCount(), 1);
        QCOMPARE(context_.session.db.units.unit(1).foreignText, std::string("Maus"));
    }

    void nationalKeysAndForeignLetters() {
        auto window = Open();
        MessageWatch watch;
        QLineEdit* foreign = FieldOf(window.get(), "E_Ang");
        foreign->setFocus();
        QTest::keyClicks(foreign, QStringLiteral("Gr"));
        QTest::keyClick(foreign, Qt::Key_U, Qt::ControlModifier);  // German ü
        QTest::keyClicks(foreign, QStringLiteral("n"));
        QCOMPARE(foreign->text(), QStringLiteral("Grün"));
        QVERIFY(watch.texts().isEmpty());
        // A letter of no Central European code page is taken back at once.
        QTest::sendKeyEvent(QTest::Click, foreign, Qt::Key_unknown, QStringLiteral("ж"),
                            Qt::NoModifier);
        QCOMPARE(foreign->text(), QStringLiteral("Grün"));
        QCOMPARE(watch.texts(), QStringList{QStringLiteral("Tego znaku nie można tu wpisać: ж")});
        Type(window.get(), "E_Pol", QStringLiteral("zielony"));
        QTest::keyClick(FieldOf(window.get(), "E_Pol"), Qt::Key_Return);
        QCOMPARE(context_.session.db.units.unit(1).foreignText, std::string("Gr\xFCn"));
        window->reject();
    }

    void editingASentenceKeepsItsWrongAnswers() {
        Unit sentence;
        sentence.unitId = 41;
        sentence.recordingSource = 1;
        sentence.unitKind = kSentenceUnit;
        sentence.level = 3;
        sentence.partOfSpeech = 5;
        sentence.groupId = 99;
        sentence.foreignText = "Ich <bin> hier";
        sentence.nativeText = "jestem";
        sentence.sentenceTranslation = sentence.plural = "Jestem tu.";
        sentence.distractors = sentence.hint = "ist/sind";
        sentence.recording = "41.wav";
        context_.session.db.units.Append(sentence);
        std::vector<int> browserList{7, 8};
        auto window = std::make_unique<UnitEditorWindow>(context_, owner_.get());
        UnitEditorDialogs dialogs;
        dialogs.messages = messages_;
        dialogs.confirmation = confirmation_;
        window->SetDialogs(std::move(dialogs));
        window->Prepare(1, &browserList);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(browserList.empty());  // the composed list starts anew
        QVERIFY(Shown(window.get(), "I_edycja"));
        QCOMPARE(Find<QComboBox>(window.get(), "CB_Typ_Cw")->currentText(), QStringLiteral("zdanie"));
        QCOMPARE(FieldOf(window.get(), "E_Podpowiedz")->text(), QStringLiteral("ist/sind"));
        QCOMPARE(FieldOf(window.get(), "E_Synonimy")->text(), QStringLiteral("Jestem tu."));
        QCOMPARE(Find<QLabel>(window.get(), "L_Wav_Ang")->text(), QStringLiteral("41.wav"));
        QVERIFY(Shown(window.get(), "k_graj") && Shown(window.get(), "k_kasuj_nag"));
        QVERIFY(Shown(window.get(), "K_Nagranie"));
        QCOMPARE(Find<QAbstractButton>(window.get(), "K_zapisz_i_nowe")->toolTip(),
                 QStringLiteral("Zapisz"));
        test::Click(window.get(), "k_kasuj_nag");
        QVERIFY(!Shown(window.get(), "k_graj"));
        QVERIFY(Shown(window.get(), "K_zapisz_i_nowe"));
        test::Click(window.get(), "K_zapisz_i_nowe");
        QVERIFY(!window->isVisible());  // saving an edited unit closes the window
        const Unit& stored = context_.session.db.units.unit(1);
        QCOMPARE(stored.distractors, std::string("ist/sind"));
        QCOMPARE(stored.sentenceTranslation, std::string("Jestem tu."));
        QCOMPARE(stored.recording, std::string());
        QCOMPARE(stored.level, 3);
        QCOMPARE(context_.session.db.units.unitCount(), 1);
        QVERIFY(browserList.empty());
    }

    void aNewGroupIsAddedAndChosen() {
        auto window = Open();
        test::Click(window.get(), "k_opcje_wiecej");
        test::WhenModal([](QDialog* dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TForm27"));
            QCOMPARE(Find<QLabel>(dialog, "Label1")->text(),
                     QStringLiteral("Podaj nazwę nowej grupy tematycznej:"));
            Find<QLineEdit>(dialog, "Edit1")->insert(QStringLiteral("Zwierzęta"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        test::Click(window.get(), "K_nowa_g_tem");
        auto* groups = Find<QComboBox>(window.get(), "CB_Gr_Tem");
        QCOMPARE(groups->currentText(), QStringLiteral("Zwierzęta"));
        QVERIFY(window->groupsChanged());
        QCOMPARE(ReadBytes(context_.session.paths.databaseDir + "gt_s.txt"),
                 test::CrLf({"99= 1 =Users=W\xB3" "asne...=", "60= 1 ==Zwierz\xEAta="}));
        // The same name again is refused.
        MessageWatch watch;
        test::WhenModal([](QDialog* dialog) {
            Find<QLineEdit>(dialog, "Edit1")->insert(QStringLiteral("Zwierzęta"));
            QTest::mouseClick(Find<QAbstractButton>(dialog, "B_OK"), Qt::LeftButton);
        });
        test::Click(window.get(), "K_nowa_g_tem");
        QCOMPARE(watch.texts(), QStringList{QStringLiteral("Grupa o takiej nazwie już istnieje!")});
        QCOMPARE(groups->count(), 2);
        AddWord(window.get(), QStringLiteral("Hund"), QStringLiteral("pies"));
        QCOMPARE(context_.session.db.units.unit(1).groupId, 60);
        window->reject();
    }

    void aRecordingFileIsCopiedAndAttached() {
        const std::string source = dir_->path() + "elsewhere/hund.wav";
        std::filesystem::create_directories(dir_->path() + "elsewhere");
        QVERIFY(WriteWav16(source, std::vector<std::int16_t>(8000, 300), 1, 8000));
        const std::string broken = dir_->path() + "elsewhere/broken.wav";
        test::WriteBytes(broken, "not a sound");
        auto window = Open();
        MessageWatch watch;
        Type(window.get(), "E_Ang", QStringLiteral("Hund"));
        chosenFile_ = broken;
        test::Click(window.get(), "K_Nagranie");
        QCOMPARE(watch.texts().size(), 1);
        QVERIFY(Find<QLabel>(window.get(), "L_Wav_Ang")->text().isEmpty());
        chosenFile_ = source;
        test::Click(window.get(), "K_Nagranie");
        QCOMPARE(watch.texts().last(),
                 QStringLiteral("Plik z nagraniem został poprawnie skopiowany!"));
        QCOMPARE(Find<QLabel>(window.get(), "L_Wav_Ang")->text(), QStringLiteral("hund.wav"));
        QVERIFY(Shown(window.get(), "k_graj") && Shown(window.get(), "k_kasuj_nag"));
        QCOMPARE(ReadBytes(context_.session.paths.databaseDir + "wav/hund.wav"), ReadBytes(source));
        // Attaching again asks before replacing; a no keeps what is there.
        Answer(false);
        test::Click(window.get(), "K_Nagranie");
        Type(window.get(), "E_Pol", QStringLiteral("pies"));
        test::Click(window.get(), "K_zapisz_i_nowe");
        QCOMPARE(context_.session.db.units.unit(1).recording, std::string("hund.wav"));
        chosenFile_.reset();
        window->reject();
    }
};

QTEST_MAIN(UnitEditorWindowTest)
#include "unit_editor_window_test.moc"
