// The login, the new-learner window and the database parameters window, driven through their
// controls on a copy of the sample installation.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <set>

#include "core/clock.h"
#include "core/database_list.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "core/settings.h"
#include "core/users.h"
#include "find_control.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/shell/database_parameters_window.h"
#include "ui/shell/login_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/new_user_window.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::ReadBytes;
using dyd::test::TempDir;
using dyd::test::WriteBytes;

namespace {

// Runs action on the next modal window once it shows; closes it if the action leaves it open.
void WhenModal(const std::function<void(QWidget*)>& action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        action(modal);
        if (QApplication::activeModalWidget() == modal) {
            QTimer::singleShot(0, [modal] { static_cast<QDialog*>(modal)->done(0); });
        }
    });
}

using dyd::test::Find;

bool ButtonShown(QWidget* window, const char* name) {
    return Find<QAbstractButton>(window, name)->isVisible();
}

void Click(QWidget* window, const char* name) {
    QAbstractButton* button = Find<QAbstractButton>(window, name);
    QVERIFY2(button->isVisible(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void Type(QWidget* window, const char* name, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(window, name);
    edit->clear();
    // Typed one key at a time, as a keyboard with Polish letters gives them.
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
}

// Runs trigger and returns the text of the message box it shows (closing it), or "" when none
// showed.
QString MessageOf(const std::function<void()>& trigger) {
    auto text = std::make_shared<QString>();
    QTimer::singleShot(0, [text] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->objectName() == QStringLiteral("TForm20")) {
            *text = Find<QLabel>(modal, "Label1")->text();
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
    trigger();
    return *text;
}

// Answers every modal window that shows while trigger runs: message boxes are closed, questions
// answered with yes; returns the texts in order.
QStringList AnswerEverything(bool yes, const std::function<void()>& trigger) {
    QStringList texts;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&texts, yes] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        if (modal->objectName() == QStringLiteral("TForm20")) {
            texts << Find<QLabel>(modal, "Label1")->text();
            QTest::keyClick(modal, Qt::Key_Escape);
        } else if (modal->objectName() == QStringLiteral("TForm29")) {
            texts << Find<QLabel>(modal, "Label1")->text();
            QTest::keyClick(modal, yes ? Qt::Key_Return : Qt::Key_Escape);
        }
    });
    timer.start();
    trigger();
    return texts;
}

std::set<std::string> Folders(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The sample installation without its program; the recordings are linked, not copied.
void CopyInstallation(const std::filesystem::path& from, const std::filesystem::path& to) {
    namespace fs = std::filesystem;
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        const fs::path target = to / name;
        if (name == "nagrania") {
            fs::create_directory_symlink(entry.path(), target);
        } else if (entry.is_directory()) {
            CopyInstallation(entry.path(), target);
        } else if (name != "dydaktor") {
            fs::copy_file(entry.path(), target);
        }
    }
}

}  // namespace

class LoginTest : public QObject {
    Q_OBJECT

  private:
    FixedClock clock_{45000.0};
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<AppContext> context_;

    const std::string& root() const { return dir_->path(); }

    // Selects the database entry whose text is title.
    static void ChooseDatabase(QWidget* login, const QString& title) {
        auto* box = Find<QComboBox>(login, "CB_Baza");
        const int index = box->findText(title);
        QVERIFY2(index >= 0, qPrintable(title));
        box->setCurrentIndex(index);
    }

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        CopyInstallation(DYD_SAMPLE, root());
        std::filesystem::remove(root() + "usr.t");
        context_ = std::make_unique<AppContext>(clock_);
        const ProgramPathsResult paths = ComputeProgramPaths(root() + "dydaktor", false);
        QCOMPARE(paths.status, ProgramPathsStatus::Ok);
        context_->programPaths = paths.paths;
        context_->images.Load(paths.paths.programDir);
    }

    void cleanup() {
        context_.reset();
        dir_.reset();
    }

    void firstLearnerLogsInAtOnceAndGetsHisFolder() {
        LoginWindow login(*context_);
        std::vector<std::pair<std::string, int>> progress;
        bool hiddenDuringLoad = false;
        login.SetProgress([&](std::string_view title, int position) {
            hiddenDuringLoad = !login.isVisible();
            progress.emplace_back(std::string(title), position);
        });
        login.show();
        QCOMPARE(login.objectName(), QStringLiteral("TForm9"));
        QCOMPARE(Find<QListWidget>(&login, "ComboBox1")->count(), 0);
        QVERIFY(!ButtonShown(&login, "B_OK"));
        auto* databases = Find<QComboBox>(&login, "CB_Baza");
        QCOMPARE(databases->currentIndex(), 0);
        QCOMPARE(databases->itemText(databases->count() - 1), QStringLiteral("Nowa baza"));
        const QString firstTitle = databases->itemText(0);

        WhenModal([](QWidget* window) {
            QCOMPARE(window->objectName(), QStringLiteral("TForm10"));
            Type(window, "Edit1", QStringLiteral("Anna"));
            QTest::keyClick(window, Qt::Key_Return);
        });
        Click(&login, "TransparentButton1");

        QCOMPARE(login.result(), QDialog::Accepted);
        QVERIFY(!login.isVisible());
        QCOMPARE(ReadBytes(root() + "usr.t"), std::string("1=Anna\r\n"));
        QVERIFY(std::filesystem::is_directory(root() + "1"));
        QCOMPARE(context_->session.userNumber, 1);
        QCOMPARE(context_->session.userName, std::string("Anna"));
        QCOMPARE(context_->session.paths.databaseCode,
                 BuildDatabaseList(root()).entries.front().code);
        QCOMPARE(Polish(context_->session.db.params.title), firstTitle);
        QVERIFY(context_->session.db.units.unitCount() > 0);
        QVERIFY(hiddenDuringLoad);
        QVERIFY(progress.size() >= 3);
        QCOMPARE(progress.front(), std::make_pair(std::string("Czytam..."), 5));
        QCOMPARE(progress.back().second, 15);
    }
    void secondLearnerTakesTheNextNumberAndLogsInWithEnter() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n5=Ewa\r\n");
        LoginWindow login(*context_);
        login.show();
        auto* names = Find<QListWidget>(&login, "ComboBox1");
        QCOMPARE(names->count(), 2);
        QCOMPARE(names->currentItem()->text(), QStringLiteral("Ewa"));
        QVERIFY(ButtonShown(&login, "B_OK"));
        const QString second = Find<QComboBox>(&login, "CB_Baza")->itemText(1);
        ChooseDatabase(&login, second);

        WhenModal([](QWidget* window) {
            Type(window, "Edit1", QStringLiteral("  Marek "));
            Click(window, "B_OK");
        });
        Click(&login, "TransparentButton1");

        QCOMPARE(login.result(), QDialog::Accepted);
        QCOMPARE(ReadBytes(root() + "usr.t"), std::string("1=Anna\r\n5=Ewa\r\n6=Marek\r\n"));
        QVERIFY(std::filesystem::is_directory(root() + "6"));
        QVERIFY(!std::filesystem::exists(root() + "1"));
        QCOMPARE(context_->session.userNumber, 6);
        QCOMPARE(Polish(context_->session.db.params.title), second);

        // A learner already listed logs in with Enter, without a new folder for anyone else.
        LoginWindow again(*context_);
        again.show();
        Find<QListWidget>(&again, "ComboBox1")->setCurrentRow(0);
        QTest::keyClick(Find<QListWidget>(&again, "ComboBox1"), Qt::Key_Return);
        QCOMPARE(again.result(), QDialog::Accepted);
        QCOMPARE(context_->session.userNumber, 1);
        QVERIFY(std::filesystem::is_directory(root() + "1"));
    }

    // A repetition file cut by a crash of the disk, found at the login: the newest good backup is
    // offered at once; declined, no backup is written over at the end of the program.
    void aDamagedRepetitionFileOffersTheNewestGoodCopyAndKeepsTheBackups() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n");
        const auto logIn = [this](bool yes) {
            LoginWindow login(*context_);
            login.show();
            const QStringList texts = AnswerEverything(yes, [&] {
                QTest::keyClick(Find<QListWidget>(&login, "ComboBox1"), Qt::Key_Return);
            });
            [&] { QCOMPARE(login.result(), QDialog::Accepted); }();
            return texts;
        };
        logIn(true);
        LearnerSession& session = context_->session;
        for (int u = 1; u <= 5; ++u) {
            RepetitionRecord& r = session.repetitions.record(u);
            r.unitId = session.db.units.unit(u).unitId;
            r.firstDate = r.lastDate = 45000 - u;
            r.interval = u;
            r.repetitionNo = 1;
        }
        const std::string code = session.paths.databaseCode;
        const std::string user = root() + "1/" + code;
        QVERIFY(SaveLiveRepetitions(session.paths, session.db.units, session.repetitions,
                                    session.settings, clock_)
                    .written);
        session.settings.startCounter = 4;
        QVERIFY(MakeRepetitionBackup(session.paths, session.db.units, session.repetitions,
                                     session.settings, clock_)
                    .written);
        QVERIFY(SaveSettings(session.paths, session.settings, session.db).ok());
        const std::string good = ReadBytes(user + ".pk");
        QCOMPARE(good.size(), std::size_t{5 * 64});
        const std::string list = ReadBytes(user + ".pi");

        // Cut by 40 bytes: declined, the session goes on with four records and the close writes
        // no backup.
        WriteBytes(user + ".p", good.substr(0, good.size() - 40));
        QStringList texts = logIn(false);
        QCOMPARE(texts.size(), 3);
        QVERIFY2(texts[0].startsWith(QStringLiteral("Wczytano informacje o 4 powtórkach.")),
                 qPrintable(texts[0]));
        QCOMPARE(texts[1], QStringLiteral("Wczytać powtórki z kopii z ") +
                               Utf8(FormatDateTime(clock_.Now())) + QStringLiteral("?"));
        QVERIFY(session.repetitions.damaged);
        QVERIFY(SaveLearnerStateAtExit(session, clock_).empty());
        QCOMPARE(ReadBytes(user + ".pk"), good);
        QCOMPARE(ReadBytes(user + ".pi"), list);
        QVERIFY(!std::filesystem::exists(user + ".p5"));

        // Accepted: all five records are back, in the store and in the live file.
        texts = logIn(true);
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts[2], QStringLiteral("Wczytano informacje o 5 powtórkach."));
        QVERIFY(!session.repetitions.damaged);
        QCOMPARE(session.repetitions.record(5).interval, 5);
        QCOMPARE(ReadBytes(user + ".p"), good);
    }

    void linesOfTheLearnerListThatGiveNoLearnerAreSaidAfterTheLogin() {
        WriteBytes(root() + "usr.t", "1=Anna\r\nbez numeru\r\n");
        LoginWindow login(*context_);
        login.show();
        const QStringList texts = AnswerEverything(
            true, [&] { QTest::keyClick(Find<QListWidget>(&login, "ComboBox1"), Qt::Key_Return); });
        QCOMPARE(login.result(), QDialog::Accepted);
        QCOMPARE(texts.filter(QStringLiteral("listy uczniów")).size(), 1);
        QVERIFY(texts.filter(QStringLiteral("listy uczniów")).front().contains(u"„bez numeru”"));
        QCOMPARE(ReadBytes(root() + "usr.t"), std::string("1=Anna\r\nbez numeru\r\n"));
    }

    void newLearnerNamesAreCheckedAndConverted() {
        WriteBytes(root() + "usr.t", "1=ewa\r\n");
        UserList list = LoadUserList(root());
        NewUserWindow window(*context_);
        QCOMPARE(window.objectName(), QStringLiteral("TForm10"));
        struct Case {
            QString typed;
            QString message;  // empty: added
        };
        const std::vector<Case> cases = {
            {QStringLiteral("Ewa"), QStringLiteral("Wpisany identyfikator już istnieje. Proszę "
                                                   "wprowadzić inny.")},
            {QStringLiteral("Łukasz"), {}},
            {QStringLiteral("łukasz"), {}},
            // Only A-Z are compared without case: Ł stays Ł.
            {QStringLiteral("ŁUKASZ"), QStringLiteral("Wpisany identyfikator już istnieje. "
                                                      "Proszę wprowadzić inny.")},
            {QStringLiteral("Иван"), QStringLiteral("Znak „И” nie może być użyty w "
                                                    "identyfikatorze. Proszę wprowadzić inny.")},
        };
        for (const Case& c : cases) {
            QString message;
            bool stayed = false;
            QString left;
            WhenModal([&](QWidget* w) {
                Type(w, "Edit1", c.typed);
                message = MessageOf([w] { QTest::keyClick(w, Qt::Key_Return); });
                stayed = w->isVisible();
                left = Find<QLineEdit>(w, "Edit1")->text();
            });
            const bool added = window.AddLearner(list);
            QCOMPARE(message, c.message);
            QCOMPARE(added, c.message.isEmpty());
            QCOMPARE(stayed, !added);
            if (c.message.startsWith(QStringLiteral("Wpisany"))) {
                QCOMPARE(left, QString());  // a duplicate empties the field
            }
        }
        QCOMPARE(ReadBytes(root() + "usr.t"),
                 std::string("1=ewa\r\n2=\xA3ukasz\r\n3=\xB3ukasz\r\n"));
    }

    void okAppearsOnlyForTwoCharactersAndTheFieldHoldsThirty() {
        UserList list;
        NewUserWindow window(*context_);
        WhenModal([](QWidget* w) {
            const std::vector<std::pair<QString, bool>> cases = {{QString(), false},
                                                                 {QStringLiteral("a"), false},
                                                                 {QStringLiteral("  a  "), false},
                                                                 {QStringLiteral("Ab"), true},
                                                                 {QStringLiteral(" Ab "), true}};
            for (const auto& [typed, shown] : cases) {
                Type(w, "Edit1", typed);
                QCOMPARE(ButtonShown(w, "B_OK"), shown);
            }
            Type(w, "Edit1", QStringLiteral("a"));
            QTest::keyClick(w, Qt::Key_Return);  // nothing to confirm
            QVERIFY(w->isVisible());
            Type(w, "Edit1", QString(40, QLatin1Char('x')));
            QCOMPARE(Find<QLineEdit>(w, "Edit1")->text().size(), 30);
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QVERIFY(!window.AddLearner(list));
        QVERIFY(list.users.empty());
        QVERIFY(!std::filesystem::exists(root() + "usr.t"));
    }

    void newDatabaseCodesAreCheckedAndAnAcceptedOneIsLoggedIntoAndListed() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n");
        const std::string existing = BuildDatabaseList(root()).entries.front().code;
        const std::set<std::string> before = Folders(root() + "db");
        LoginWindow login(*context_);
        login.show();
        ChooseDatabase(&login, QStringLiteral("Nowa baza"));

        WhenModal([&](QWidget* w) {
            QCOMPARE(w->objectName(), QStringLiteral("TForm32"));
            QCOMPARE(w->size(), QSize(540, 340));
            QVERIFY(Find<QLineEdit>(w, "E_Id_czesci")->isEnabled());
            // A learner's database has no recordings disc.
            for (const char* name : {"E_Cd", "L_Cd", "CB_Dodawaj_CD_Drv", "CB_Tryb_nauki2"}) {
                QVERIFY2(!Find<QWidget>(w, name)->isVisible(), name);
            }
            QCOMPARE(Find<QLabel>(w, "L_Id_czesci")->text(),
                     QStringLiteral("Unikalny kod bazy (3-15 znaków):"));
            const QString length =
                QStringLiteral("Proszę wprowadzić poprawny kod bazy (od 3 do 15 znaków).");
            QString upper = QString::fromStdString(existing).toUpper();
            const std::vector<std::tuple<QString, QString, QString>> cases = {
                {QString(), QStringLiteral("Ab12"),
                 QStringLiteral("Proszę wprowadzić nazwę bazy.")},
                {QStringLiteral("Moja"), QStringLiteral("ab"), length},
                {QStringLiteral("Moja"), QStringLiteral("abcdefghijklmnop"), length},
                {QStringLiteral("Moja"), QStringLiteral("a b c"),
                 QStringLiteral("Kod bazy nie może zawierać spacji.")},
                {QStringLiteral("Moja"), QStringLiteral("ab.cd"),
                 QStringLiteral("Kod bazy może składa się tylko z liter i cyfr.")},
                {QStringLiteral("Moja"), upper,
                 QStringLiteral("Baza o podanym kodzie już istnieje.")},
                {QStringLiteral("Moja ж"), QStringLiteral("Ab12"), QString()},
            };
            for (const auto& [title, code, expected] : cases) {
                Type(w, "E_Nazwa", title);
                Type(w, "E_Id_czesci", code);
                const QString message = MessageOf([w] { Click(w, "B_OK"); });
                if (expected.isEmpty()) {
                    QVERIFY2(message.startsWith(QStringLiteral("Znak „ж”")), qPrintable(message));
                } else {
                    QCOMPARE(message, expected);
                }
                QVERIFY(w->isVisible());
                QCOMPARE(Folders(root() + "db"), before);
            }
            Type(w, "E_Nazwa", QStringLiteral("  Moja baza "));
            Type(w, "E_Autor", QStringLiteral("Łucja"));
            Type(w, "E_Id_czesci", QStringLiteral(" Ab12 "));
            Find<QComboBox>(w, "CB_Jezyk")->setCurrentIndex(2);
            Click(w, "B_OK");
        });
        Click(&login, "B_OK");

        QCOMPARE(login.result(), QDialog::Accepted);
        const std::string file = ReadBytes(root() + "db/Ab12/dyda_s.txt");
        QVERIFY(file.starts_with("Moja baza\r\n3\r\n"));
        QVERIFY(file.find("\r\nAb12\r\n\r\n\xA3ucja\r\n") != std::string::npos);
        QVERIFY(file.find("\r\n1\r\n99000\r\n") != std::string::npos);
        QCOMPARE(context_->session.paths.databaseCode, std::string("Ab12"));
        QVERIFY(context_->session.db.params.learnerMade);

        LoginWindow next(*context_);
        next.show();
        auto* databases = Find<QComboBox>(&next, "CB_Baza");
        QVERIFY(databases->findText(QStringLiteral("Moja baza")) >= 0);
        QCOMPARE(databases->itemText(databases->count() - 1), QStringLiteral("Nowa baza"));
    }

    void leavingTheParametersWindowLeavesNothingAndKeepsTheLogin() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n");
        const std::set<std::string> before = Folders(root() + "db");
        LoginWindow login(*context_);
        login.show();
        ChooseDatabase(&login, QStringLiteral("Nowa baza"));
        for (const bool byKey : {false, true}) {
            WhenModal([byKey](QWidget* w) {
                Type(w, "E_Nazwa", QStringLiteral("Porzucona"));
                Type(w, "E_Id_czesci", QStringLiteral("Porzucona1"));
                if (byKey) {
                    QTest::keyClick(w, Qt::Key_Escape);
                } else {
                    Click(w, "B_Zamknij");
                }
            });
            Click(&login, "B_OK");
            QVERIFY(login.isVisible());
            QCOMPARE(Folders(root() + "db"), before);
            QVERIFY(context_->session.paths.databaseCode.empty());
            QVERIFY(!std::filesystem::exists(root() + "1"));
        }
    }

    void loginKeys() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n");
        QString help;
        context_->openHelp = [&help](const QString& page) { help = page; };
        LoginWindow login(*context_);
        login.show();
        QTest::keyClick(Find<QListWidget>(&login, "ComboBox1"), Qt::Key_F1);
        QCOMPARE(help, QStringLiteral("logowanie.html"));
        QVERIFY(login.isVisible());
        QTest::keyClick(Find<QComboBox>(&login, "CB_Baza"), Qt::Key_Escape);
        QVERIFY(!login.isVisible());
        QCOMPARE(login.result(), QDialog::Rejected);
        QVERIFY(!std::filesystem::exists(root() + "1"));
    }

    void editingAShippedDatabaseKeepsItsTextsAndWritesTheFile() {
        WriteBytes(root() + "usr.t", "1=Anna\r\n");
        LoginWindow login(*context_);
        login.show();
        Click(&login, "B_OK");
        QCOMPARE(login.result(), QDialog::Accepted);
        const std::string code = context_->session.paths.databaseCode;
        const std::string title = context_->session.db.params.title;

        DatabaseParametersWindow window(*context_);
        WhenModal([&](QWidget* w) {
            QCOMPARE(Find<QLineEdit>(w, "E_Id_czesci")->text(), QString::fromStdString(code));
            QVERIFY(!Find<QLineEdit>(w, "E_Id_czesci")->isEnabled());
            QCOMPARE(Find<QLineEdit>(w, "E_Nazwa")->text(), Polish(title));
            for (const char* name : {"E_Nazwa", "E_Autor", "CB_Jezyk", "CB_Charset"}) {
                QVERIFY2(!Find<QWidget>(w, name)->isEnabled(), name);
            }
            QVERIFY(Find<QWidget>(w, "E_Cd")->isVisible());
            Find<QAbstractButton>(w, "CB_L_mnoga")->setChecked(false);
            Type(w, "E_Cd", QStringLiteral("D:\\nagrania\\"));
            QTest::keyClick(w, Qt::Key_Return);
        });
        QVERIFY(window.EditOpen());
        QCOMPARE(context_->session.db.params.recordingsPath, std::string("D:\\nagrania\\"));
        QVERIFY(!context_->session.db.params.pluralExercises);
        const std::string file = ReadBytes(root() + "db/" + code + "/dyda_s.txt");
        QVERIFY(file.starts_with(title + "\r\n"));
        QVERIFY(file.find("\r\nD:\\nagrania\\\r\n") != std::string::npos);
    }
};

QTEST_MAIN(LoginTest)
#include "login_test.moc"
