// The import of repetitions from another account, driven through its controls: an earlier
// edition in a folder the learner chooses (accounts, the records taken over and saved, the
// report of units the database lacks, the learner units), an account of this installation with
// its database chosen, a source file that is cut or cannot be read, and the ways out (declining
// to name a folder, an installation without accounts).

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/clock.h"
#include "core/paths.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "message_watch.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/settings/import_window.h"
#include "ui/shell/file_chooser_window.h"
#include "window_driving.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Click;
using dyd::test::CrLf;
using dyd::test::Find;
using dyd::test::MessageWatch;
using dyd::test::ReadBytes;
using dyd::test::Shown;
using dyd::test::TempDir;
using dyd::test::WriteBytes;
using namespace Qt::StringLiterals;

namespace {

constexpr double kToday = 46000.0;

// Steps for the modal windows as they come up, each for the window of its name; a step runs
// outside the timer, so that it may open the next modal window itself.
class ModalScript {
  public:
    using Step = std::function<void(QDialog*)>;

    ModalScript() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (steps_.empty() || modal == nullptr || !modal->isVisible() ||
                modal->objectName() != steps_.front().first) {
                return;
            }
            Step step = std::move(steps_.front().second);
            steps_.pop_front();
            QTimer::singleShot(0, modal, [step, modal] { step(modal); });
        });
        timer_.start();
    }
    void Then(const char* window, Step step) {
        steps_.emplace_back(QString::fromLatin1(window), std::move(step));
    }
    bool done() const { return steps_.empty(); }

  private:
    QTimer timer_;
    std::deque<std::pair<QString, Step>> steps_;
};

template <typename T>
void Put(std::string& out, std::size_t offset, T value) {
    std::memcpy(out.data() + offset, &value, sizeof value);  // the tests run little-endian
}

// A 60-byte record of the earlier editions.
std::string Earlier(std::int32_t id, int interval, std::uint8_t kind3Mark = 0) {
    std::string r(60, '\0');
    Put<std::int32_t>(r, 0, id);
    Put<double>(r, 4, 45000);
    Put<double>(r, 12, 45900);
    Put<std::int32_t>(r, 20, 3);
    Put<std::int32_t>(r, 24, interval);
    Put<std::int32_t>(r, 28, 5);
    Put<double>(r, 32, 1.9);
    r[42] = static_cast<char>(kind3Mark);
    return r;
}

QStringList Items(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

}  // namespace

class ImportWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<TempDir>();
        context_ = std::make_unique<AppContext>(clock_);
        context_->programPaths.programDir = DYD_SAMPLE "/";
        context_->programPaths.languageDir = std::string(kLanguageDir);
        context_->images.Load(context_->programPaths.programDir);
        // This installation: the learner 1 of the course "ang", whose units have ids 1001..1010.
        AppPaths& paths = context_->session.paths;
        paths.programDir = dir_->path() + "prog/";
        paths.languageDir = std::string(kLanguageDir);
        paths.databaseCode = "ang";
        paths.databaseDir = paths.programDir + "db/ang/";
        paths.userDir = paths.programDir + "1/";
        std::filesystem::create_directories(paths.userDir);
        WriteBytes(paths.databaseDir + "dyda_s.txt", CrLf({"Angielski"}));
        WriteBytes(paths.programDir + "db/niem/dyda_s.txt", CrLf({"Niemiecki"}));
        for (int u = 1; u <= 10; ++u) {
            Unit unit;
            unit.unitId = 1000 + u;
            context_->session.db.units.Append(unit);
        }
        RepetitionRecord& mine = context_->session.repetitions.record(1);
        mine.unitId = 1001;
        mine.interval = 44;
        mine.lastDate = kToday;
        context_->session.repetitions.recordHighWater = 1;
    }

    void cleanup() {
        context_.reset();
        dir_.reset();
    }

    // The window opens with the version to choose; the labels tick their boxes; Escape leaves.
    void opensWithTheVersionChoice() {
        ImportWindow window(*context_);
        bool checked = false;
        ModalScript script;
        script.Then("TForm3", [&](QDialog* w) {
            QCOMPARE(Find<QComboBox>(w, "CB_Wersja")->currentText(), u"wersja 4.0"_s);
            QVERIFY(Shown(w, "K_Pokaz"));
            for (const char* hidden : {"k_importuj", "ListBox1", "ListBox2", "Ch_slowka_tez",
                                       "Ch_niekasuj", "Label3", "Label4"}) {
                QVERIFY2(!Shown(w, hidden), hidden);
            }
            QCOMPARE(Find<QLabel>(w, "Label1")->text(), QString());
            QCOMPARE(Find<QLabel>(w, "Label2")->text(),
                     u"Uwaga! W zależności od ustwień Import powtórek może wykasować istniejące "
                     u"powtórki zalogowanego użytkownika."_s);
            auto* units = Find<QCheckBox>(w, "Ch_slowka_tez");
            auto* keep = Find<QCheckBox>(w, "Ch_niekasuj");
            QVERIFY(units->isChecked());
            QVERIFY(!keep->isChecked());
            QTest::mouseClick(Find<QLabel>(w, "Label3"), Qt::LeftButton);
            QTest::mouseClick(Find<QLabel>(w, "Label4"), Qt::LeftButton);
            QVERIFY(!units->isChecked());
            QVERIFY(keep->isChecked());
            checked = true;
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QVERIFY(!window.Run());
        QVERIFY(checked);
        QVERIFY(script.done());
    }

    // 4.0 from a folder the learner chooses: the accounts listed, one without a name cannot be
    // imported; the records replace the learner's, the unknown unit is reported in a file, the
    // learner unit is added, and the records are saved at once.
    void earlierEditionFromAChosenFolder() {
        const std::string old = dir_->path() + "stary komputer/dydaktor 4/";
        WriteBytes(old + "usr.t", CrLf({"1=Anna", "2=", "3=Jan"}));
        WriteBytes(old + "3/p.b", Earlier(1002, 30, 101) + Earlier(7777, 5) + Earlier(2500, 8));
        WriteBytes(old + "sbusr.txt", CrLf({"99 102500 21 dog = pies = = = = = = = n ="}));

        ImportWindow window(*context_);
        MessageWatch messages;
        ModalScript script;
        QString question;
        script.Then("TForm3", [](QDialog* w) {
            Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(1);
            Click(w, "K_Pokaz");
        });
        script.Then("TForm29", [&](QDialog* confirm) {
            const QList<QLabel*> labels = confirm->findChildren<QLabel*>();
            for (QLabel* label : labels) {
                question += label->text();
            }
            Click(confirm, "B_OK");
        });
        script.Then("TForm34", [&](QDialog* chooser) {
            auto* files = qobject_cast<FileChooserWindow*>(chooser);
            QVERIFY(files != nullptr);
            QCOMPARE(files->currentFolder(), QDir::homePath());
            QCOMPARE(files->windowTitle(), u"Podaj ścieżkę dostępu do programu w wersji 4.0"_s);
            files->OpenFolder(QString::fromStdString(old));
            Click(files, "K_OK");
        });
        script.Then("TForm3", [&](QDialog* w) {
            QCOMPARE(Find<QLabel>(w, "Label1")->text(), u"Wybierz konto użytkownika:"_s);
            QVERIFY(!Shown(w, "K_Pokaz"));
            QVERIFY(!Shown(w, "CB_Wersja"));
            QVERIFY(!Shown(w, "ListBox2"));
            QVERIFY(Shown(w, "Ch_slowka_tez"));
            QVERIFY(Shown(w, "Ch_niekasuj"));
            auto* accounts = Find<QListWidget>(w, "ListBox1");
            QCOMPARE(Items(accounts), (QStringList{u"Anna"_s, QString(), u"Jan"_s}));
            accounts->setCurrentRow(1);
            QVERIFY(!Shown(w, "k_importuj"));
            accounts->setCurrentRow(2);
            Click(w, "k_importuj");
        });
        QVERIFY(window.Run());
        QVERIFY(script.done());
        QVERIFY(question.contains(
            u"Nie wykryto zainstalowanego programu Dydaktor 4.0 - Słownictwo! Czy chcesz podać "
            u"ścieżkę dostępu?"_s));

        const AppPaths& paths = context_->session.paths;
        QCOMPARE(messages.texts(),
                 QStringList{u"Zaimportowano powtórki: 2 jednostek, pozostawiono nienadpisanych: "
                             u"0 jednostek. Indeksy (kody) nieodnalezionych jednostek (1) "
                             u"znajdują się w pliku, w katalogu: "_s +
                             QString::fromStdString(paths.userDir)});
        // The learner unit came first, so its record found it.
        UnitTable& units = context_->session.db.units;
        QCOMPARE(units.unitCount(), 11);
        const RepetitionStore& store = context_->session.repetitions;
        QCOMPARE(store.record(11).unitId, 2500);
        QCOMPARE(store.record(1).unitId, 0);  // not in the file: no longer learnt
        QCOMPARE(store.record(2).interval, 30);
        QCOMPARE(int(store.record(2).kindMarks[2]), 1);
        QVERIFY(store.chosenKinds[2][3]);
        QCOMPARE(ReadBytes(paths.userDir + "import_powtorek_40_kody_brakujacych_ang.txt"),
                 std::string("Kody jednostek nie odnalezionych w bazie (podczas importu "
                             "powt\xF3rek)\r\n - 7777\r\n"));
        // Saved at once: the live file holds exactly the records in memory.
        int written = 0;
        QCOMPARE(ReadBytes(paths.userDir + "ang.p"), FormatRepetitionFile(store, 11, &written));
        QCOMPARE(written, 2);
        QVERIFY(ReadBytes(paths.databaseDir + "sbusr.txt").find("dog") != std::string::npos);
    }

    // 5.0: the accounts of this installation and the database chosen in the drop-down; keep
    // leaves the learner's learnt unit alone.
    void accountOfThisInstallationWithItsDatabase() {
        const AppPaths& paths = context_->session.paths;
        WriteBytes(paths.programDir + "usr.t", CrLf({"1=Ja", "2=Brat"}));
        RepetitionRecord theirs;
        theirs.unitId = 1001;
        theirs.interval = 3;
        theirs.lastDate = kToday;
        std::string file;
        EncodeRecord(theirs, file);
        theirs.unitId = 1004;
        theirs.interval = 9;
        theirs.kindMarks[17] = 101;
        EncodeRecord(theirs, file);
        WriteBytes(paths.programDir + "2/niem.p", file);
        WriteBytes(paths.programDir + "2/ang.p", std::string(64, '\x01'));  // not this one

        ImportWindow window(*context_);
        MessageWatch messages;
        ModalScript script;
        script.Then("TForm3", [](QDialog* w) {
            Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(2);
            Click(w, "K_Pokaz");
            auto* databases = Find<QComboBox>(w, "ListBox2");
            QVERIFY(databases->isVisible());
            QCOMPARE(databases->count(), 2);
            QCOMPARE(databases->currentText(), u"Angielski"_s);
            databases->setCurrentIndex(1);
            QCOMPARE(databases->currentText(), u"Niemiecki"_s);
            QCOMPARE(Items(Find<QListWidget>(w, "ListBox1")),
                     (QStringList{u"Ja"_s, u"Brat"_s}));
            Find<QListWidget>(w, "ListBox1")->setCurrentRow(1);
            QTest::mouseClick(Find<QLabel>(w, "Label4"), Qt::LeftButton);  // keep
            QTest::keyClick(w, Qt::Key_Return);
        });
        QVERIFY(window.Run());
        QVERIFY(script.done());
        QCOMPARE(messages.texts(),
                 QStringList{u"Zaimportowano powtórki: 1 jednostek, pozostawiono nienadpisanych: "
                             u"1 jednostek."_s});
        const RepetitionStore& store = context_->session.repetitions;
        QCOMPARE(store.record(1).interval, 44);
        QCOMPARE(store.record(4).interval, 9);
        QVERIFY(store.chosenKinds[4][18]);
    }

    // A cut or unreadable file: what can be read is taken over whole and the damage is said;
    // what cannot be read changes nothing and the window stays for another choice.
    void cutAndUnreadableSourceFiles() {
        const std::string old = dir_->path() + "old/";
        WriteBytes(old + "usr.t", CrLf({"1=Anna"}));
        const std::string pb = old + "1/p.b";
        const std::string cut = Earlier(1003, 7) + Earlier(1004, 8).substr(0, 31);
        // First a file that is there but cannot be opened (a socket: even root cannot read it).
        std::filesystem::create_directories(old + "1");
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, pb.c_str(), sizeof address.sun_path - 1);
        QVERIFY(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);

        ImportWindow window(*context_);
        MessageWatch messages;
        ModalScript script;
        script.Then("TForm3", [](QDialog* w) {
            Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(0);
            Click(w, "K_Pokaz");
        });
        script.Then("TForm29", [](QDialog* c) { Click(c, "B_OK"); });
        script.Then("TForm34", [&](QDialog* chooser) {
            QCOMPARE(chooser->windowTitle(), u"Podaj ścieżkę dostępu do programu w wersji 2001"_s);
            qobject_cast<FileChooserWindow*>(chooser)->OpenFolder(QString::fromStdString(old));
            Click(chooser, "K_OK");
        });
        script.Then("TForm3", [&](QDialog* w) {
            Find<QListWidget>(w, "ListBox1")->setCurrentRow(0);
            Click(w, "k_importuj");
            QVERIFY(w->isVisible());  // nothing happened: the window stays
            QCOMPARE(context_->session.repetitions.record(1).interval, 44);
            QVERIFY(!std::filesystem::exists(context_->session.paths.userDir + "ang.p"));
            ::close(socket);
            std::filesystem::remove(pb);
            WriteBytes(pb, cut);
            Click(w, "k_importuj");
        });
        QVERIFY(window.Run());
        QVERIFY(script.done());
        const QStringList expected{
            u"Nie można odczytać pliku z powtórkami ["_s + QString::fromStdString(pb) + u"]."_s,
            u"Zaimportowano powtórki: 1 jednostek, pozostawiono nienadpisanych: 0 jednostek. "
            u"Pominięto uszkodzone rekordy pliku z powtórkami: 1."_s};
        QCOMPARE(messages.texts(), expected);
        QCOMPARE(context_->session.repetitions.record(3).interval, 7);
        QCOMPARE(context_->session.repetitions.record(4).unitId, 0);
    }

    // Declining to name a folder closes the window; an installation without accounts says so
    // and closes it too; a missing repetition file leaves the window open.
    void waysOut() {
        {
            ImportWindow window(*context_);
            ModalScript script;
            script.Then("TForm3", [](QDialog* w) { Click(w, "K_Pokaz"); });
            script.Then("TForm29", [](QDialog* c) { Click(c, "B_Zamknij"); });
            QVERIFY(!window.Run());
            QVERIFY(script.done());
        }
        {
            ImportWindow window(*context_);
            MessageWatch messages;
            ModalScript script;
            script.Then("TForm3", [](QDialog* w) {
                Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(2);
                Click(w, "K_Pokaz");
            });
            QVERIFY(!window.Run());
            QCOMPARE(messages.texts(),
                     QStringList{u"Nie wykryto kont użytkownika w programie Dydaktor 5.0!"_s});
        }
        {
            const AppPaths& paths = context_->session.paths;
            WriteBytes(paths.programDir + "usr.t", CrLf({"1=Ja", "5=Inny"}));
            ImportWindow window(*context_);
            MessageWatch messages;
            ModalScript script;
            script.Then("TForm3", [&](QDialog* w) {
                Find<QComboBox>(w, "CB_Wersja")->setCurrentIndex(2);
                Click(w, "K_Pokaz");
                Find<QListWidget>(w, "ListBox1")->setCurrentRow(1);
                Click(w, "k_importuj");
                QVERIFY(w->isVisible());
                QTest::keyClick(w, Qt::Key_Escape);
            });
            QVERIFY(!window.Run());
            QCOMPARE(messages.texts(),
                     QStringList{u"Brak pliku z powtórkami ["_s +
                                 QString::fromStdString(paths.programDir) + u"5/ang.p]."_s});
            QCOMPARE(context_->session.repetitions.record(1).interval, 44);
        }
    }

  private:
    FixedClock clock_{kToday + 0.5};
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<AppContext> context_;
};

QTEST_MAIN(ImportWindowTest)
#include "import_window_test.moc"
