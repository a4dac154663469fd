// A course made from nothing, through the windows, with a real microphone: a new learner
// creates a database with "Nowa baza", adds ten words and two sentences in the unit editor (one
// word recorded from the microphone, the test server's pipe source, while the record button is
// held; one recording copied from a WAV file through the file chooser), closes the editor, ends
// the program and logs in again; the units are drawn and learnt. The learner-units file reads
// back byte for byte as its format says, the recorded file holds the tone the microphone heard,
// the copied one the bytes of its source, and the course tool lists the new units.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>

#include "core/clock.h"
#include "core/repetitions.h"
#include "find_control.h"
#include "modal_driver.h"
#include "sample_installation.h"
#include "sound/qt_recorder.h"
#include "sound/wav_file.h"
#include "sound_support.h"
#include "support.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/file_chooser_window.h"
#include "ui/shell/main_menu_window.h"
#include "ui/shell/startup.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ReadBytes;
using dyd::test::TempDir;

namespace {

constexpr double kToday = 46000.0;

using Driver = dyd::test::ModalDriver;

void Click(QWidget* window, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(window, name), Qt::LeftButton);
}

void Type(QWidget* window, const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(window, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

StartupEnvironment Environment(const std::string& programDir, QStringList* boxes) {
    StartupEnvironment environment;
    environment.programFile = programDir + "dydaktor";
    environment.screenSize = QSize(1024, 768);
    environment.changeCurrentFolder = false;
    environment.standardBox = [boxes](const QString& text) { boxes->append(text); };
    return environment;
}

struct Word {
    const char* foreign;
    const char* native;
};
const Word kWords[] = {{"Hund", "pies"},    {"Katze", "kot"},    {"Maus", "mysz"},
                       {"Pferd", "kon"},    {"Kuh", "krowa"},    {"Schaf", "owca"},
                       {"Ziege", "koza"},   {"Vogel", "ptak"},   {"Fisch", "ryba"},
                       {"Hase", "zajac"}};

}  // namespace

class EditorEndToEndTest : public QObject {
    Q_OBJECT

  private slots:
    void aLearnerMakesACourseFromNothingAndLearnsIt();
};

void EditorEndToEndTest::aLearnerMakesACourseFromNothingAndLearnsIt() {
    QVERIFY2(test::HaveTestServer(), "run through with-pulse.sh");
    TempDir dir;
    test::LinkInstallation(DYD_SAMPLE, dir.path());
    const std::string programDir = dir.path();
    const std::string source = dir.path() + "nagrania/kot.wav";
    std::filesystem::create_directories(dir.path() + "nagrania");
    test::ToneSpec sourceTone;
    sourceTone.seconds = 0.8;
    sourceTone.frequency = 660;
    QVERIFY(test::WriteTone(source, test::ToneFile::Wav, sourceTone));

    std::string databaseDir;
    // ---- The first run: a new learner, a new database, twelve units --------------------------
    {
        FixedClock clock{kToday};
        Program program(clock);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));
        Driver driver;
        driver.On("TForm20", [&driver](QDialog* box) {
            driver.messages.append(static_cast<MessageBox*>(box)->text());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        driver.On("TForm9", [&driver](QDialog* login) {
            auto* databases = Find<QComboBox>(login, "CB_Baza");
            databases->setCurrentIndex(databases->findText(QStringLiteral("Nowa baza")));
            Click(login, "TransparentButton1");
        });
        driver.On("TForm10", [](QDialog* newUser) {
            Find<QLineEdit>(newUser, "Edit1")->insert(QStringLiteral("Zofia"));
            Click(newUser, "B_OK");
        });
        driver.On("TForm32", [](QDialog* parameters) {
            Type(parameters, "E_Nazwa", QStringLiteral("Moje zwierzeta"));
            Type(parameters, "E_Id_czesci", QStringLiteral("zwierz"));
            Find<QComboBox>(parameters, "CB_Jezyk")->setCurrentIndex(1);  // German
            Click(parameters, "B_OK");
        });
        QVERIFY(program.LogIn());
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
        LearnerSession& session = program.context().session;
        QCOMPARE(session.paths.databaseCode, std::string("zwierz"));
        QCOMPARE(session.db.units.unitCount(), 0);
        databaseDir = session.paths.databaseDir;

        // The editor: ten words, the first recorded, the second with a copied recording, then
        // two sentences.
        bool recordedOk = false;
        driver.On("TForm34", [&driver, &dir](QDialog* window) {
            auto* chooser = static_cast<FileChooserWindow*>(window);
            chooser->OpenFolder(QString::fromStdString(dir.path() + "nagrania"));
            auto* files = Find<QListView>(window, "LB_Pliki");
            QModelIndex found;
            test::PumpUntil(
                [&] {
                    QAbstractItemModel* model = files->model();
                    const QModelIndex root = files->rootIndex();
                    for (int row = 0; row < model->rowCount(root); ++row) {
                        const QModelIndex index = model->index(row, 0, root);
                        if (index.data().toString() == QStringLiteral("kot.wav")) {
                            found = index;
                            return true;
                        }
                    }
                    return false;
                },
                5000);
            if (!found.isValid()) {
                driver.Fail(QStringLiteral("the chooser does not list kot.wav"));
                window->reject();
                return;
            }
            QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                              files->visualRect(found).center());
            Click(window, "K_OK");
        });
        driver.On("TForm13", [&](QDialog* editor) {
            for (std::size_t i = 0; i < std::size(kWords); ++i) {
                Type(editor, "E_Ang", QString::fromLatin1(kWords[i].foreign));
                Type(editor, "E_Pol", QString::fromLatin1(kWords[i].native));
                if (i == 0) {
                    // Held for a second and a half while the microphone hears a tone.
                    auto* recorder = editor->findChild<QtRecorder*>();
                    QWidget* button = Find<QWidget>(editor, "K_nagraj");
                    QTest::mousePress(button, Qt::LeftButton);
                    if (recorder == nullptr || !recorder->isRecording()) {
                        driver.Fail(QStringLiteral("the record button does not record"));
                        editor->reject();
                        return;
                    }
                    test::ToneSpec tone;
                    tone.seconds = 1.2;
                    tone.frequency = 440;
                    std::vector<std::int16_t> samples = test::SineSamples(tone);
                    samples.resize(samples.size() + tone.sampleRate / 5, 0);
                    test::MicrophoneFeed feed(std::move(samples));
                    feed.Join();
                    const auto wanted =
                        static_cast<std::int64_t>(1.3 * recorder->sampleRate());
                    test::PumpUntil([&] { return recorder->recordedFrames() >= wanted; }, 10000);
                    QTest::mouseRelease(button, Qt::LeftButton);
                    recordedOk = Find<QLabel>(editor, "L_Wav_Ang")->text() ==
                                 QStringLiteral("3.wav");
                } else if (i == 1) {
                    Click(editor, "K_Nagranie");
                }
                QTest::keyClick(Find<QLineEdit>(editor, "E_Pol"), Qt::Key_Return);
            }
            Find<QComboBox>(editor, "CB_Typ_Cw")->setCurrentIndex(1);
            Click(editor, "k_opcje_wiecej");
            Find<QComboBox>(editor, "CB_Rodzaj")->setCurrentIndex(4);
            Type(editor, "E_Ang", QStringLiteral("Der <Hund> bellt."));
            Type(editor, "E_Pol", QStringLiteral("pies"));
            Type(editor, "E_Synonimy", QStringLiteral("Pies szczeka."));
            Type(editor, "E_Podpowiedz", QStringLiteral("Katze/Maus"));
            Click(editor, "K_zapisz_i_nowe");
            Type(editor, "E_Ang", QStringLiteral("Die <Katze> schlaeft."));
            Type(editor, "E_Pol", QStringLiteral("kot"));
            Click(editor, "K_zapisz_i_nowe");
            Click(editor, "B_Zamknij");
        });
        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "k_nowe_slowko"),
                          Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
        QVERIFY2(recordedOk, qPrintable(driver.messages.join(QLatin1Char('\n'))));
        QCOMPARE(driver.messages.count(QStringLiteral("Plik z nagraniem został poprawnie skopiowany!")),
                 1);
        QCOMPARE(session.db.units.unitCount(), 12);

        // The learner-units file, as its format says.
        std::vector<std::string_view> lines;
        std::string expected;
        for (std::size_t i = 0; i < std::size(kWords); ++i) {
            const int id = 3 + 2 * static_cast<int>(i);
            const std::string recording = i == 0 ? "3.wav" : i == 1 ? "kot.wav" : "";
            expected += "99 1" + std::string(id < 10 ? "0000" : "000") + std::to_string(id) +
                        " 24 " + kWords[i].foreign + " = " + kWords[i].native + " == =  =" +
                        recording + " = == n = =\r\n";
        }
        expected += "99 100023 25 Der <Hund> bellt. = pies =Pies szczeka.= =  = = =Katze/Maus= z =  =\r\n";
        expected += "99 100025 25 Die <Katze> schlaeft. = kot == =  = = == z =  =\r\n";
        QCOMPARE(ReadBytes(databaseDir + "sbusr.txt"), expected);

        // The recording holds what the microphone heard; the copy the bytes of its source.
        const test::Samples recorded = test::ReadSamples(databaseDir + "wav/3.wav");
        const test::Tone heard =
            test::ToneAt(test::FindTones(recorded.data, recorded.sampleRate), 440);
        QVERIFY2(heard.lengthMs > 1000, qPrintable(QString::number(heard.lengthMs)));
        QCOMPARE(ReadBytes(databaseDir + "wav/kot.wav"), ReadBytes(source));

        // At once drawable: the learning window opens (it needs ten words).
        driver.On("TForm11", [](QDialog* learning) { Click(learning, "B_Zamknij"); });
        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"),
                          Qt::LeftButton);
        QVERIFY(driver.seen.contains(QStringLiteral("TForm11")));
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
        program.mainMenu()->close();
    }

    // ---- The course tool lists the units -------------------------------------------------------
    const test::ProgramRun dump = test::RunProgram({DYD_DBTOOL, "dump", programDir, "zwierz"});
    QCOMPARE(dump.status, 0);
    QVERIFY(dump.out.find("\"foreignText\":\"Hund\"") != std::string::npos);
    QVERIFY(dump.out.find("\"foreignText\":\"Die <Katze> schlaeft.\"") != std::string::npos);
    QVERIFY(dump.out.find("\"recording\":\"kot.wav\"") != std::string::npos);

    // ---- The second run: the same learner draws the units and learns them --------------------
    {
        FixedClock clock{kToday + 1};
        SeededRandom random(7);
        Program program(clock);
        program.SetRandom(&random);
        QStringList boxes;
        QVERIFY(program.Start(Environment(programDir, &boxes)));
        Driver driver;
        driver.On("TForm20", [&driver](QDialog* box) {
            driver.messages.append(static_cast<MessageBox*>(box)->text());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        driver.On("TForm9", [](QDialog* login) {
            auto* databases = Find<QComboBox>(login, "CB_Baza");
            databases->setCurrentIndex(databases->findText(QStringLiteral("Moje zwierzeta"),
                                                           Qt::MatchStartsWith));
            auto* names = Find<QListWidget>(login, "ComboBox1");
            names->setCurrentRow(0);
            Click(login, "B_OK");
        });
        QVERIFY(program.LogIn());
        LearnerSession& session = program.context().session;
        QCOMPARE(session.paths.databaseCode, std::string("zwierz"));
        QCOMPARE(session.db.units.unitCount(), 12);

        std::vector<int> drawn;
        auto learningSteps = std::make_shared<int>(0);
        driver.On("TForm11", [&](QDialog* learning) {
            if ((*learningSteps)++ == 0) {
                Click(learning, "K_Losuj");
                for (const PlanRow& row : session.plan.rows) {
                    drawn.push_back(row.unitNumber);
                }
                Click(learning, "K_Nauka");
            } else {
                Click(learning, "B_Zamknij");
            }
        });
        // The plan: the first kind offered is learnt, then the plan is closed.
        auto planSteps = std::make_shared<int>(0);
        int rowsOfKind = 0;  // the rows the chosen kind runs over: " - name (rows)"
        driver.On("TForm8", [&driver, planSteps, &rowsOfKind](QDialog* plan) {
            if ((*planSteps)++ > 0) {
                Click(plan, "B_Zamknij");
                return;
            }
            auto* list = Find<QListWidget>(plan, "ListBox1");
            for (int row = 0; row < list->count(); ++row) {
                const QString item = list->item(row)->text();
                if (item.startsWith(QStringLiteral(" - "))) {
                    const auto open = item.lastIndexOf(QLatin1Char('('));
                    rowsOfKind = item.mid(open + 1, item.size() - open - 2).toInt();
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                      list->visualItemRect(list->item(row)).center());
                    Click(plan, "B_OK");
                    return;
                }
            }
            driver.Fail(QStringLiteral("the plan offers no kind"));
            plan->reject();
        });
        int steps = 0;
        driver.On("TForm4", [&driver, &steps](QDialog* window) {
            auto* runner = static_cast<RunnerWindow*>(window);
            const RunnerState& state = runner->runner().state();
            ++steps;
            if (state.answered) {
                QTest::keyClick(window, Qt::Key_Return);
            } else if (Find<QWidget>(window, "B_Sprawdz")->isVisible()) {
                QTest::keyClick(window, Qt::Key_Return);
            } else if (Find<QWidget>(window, "B_Umiesz")->isVisible()) {
                QTest::keyClick(window, Qt::Key_1);
            } else if (state.correctChoice > 0 && Find<QWidget>(window, "L_Odp1")->isVisible()) {
                QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_0 + state.correctChoice));
            } else if (Find<QWidget>(window, "E_Wpisana")->isVisible()) {
                auto* answer = Find<QLineEdit>(window, "E_Wpisana");
                answer->setText(Polish(state.expectedAnswer));
                QTest::keyClick(answer, Qt::Key_Return);
            } else {
                driver.Fail(QStringLiteral("a step of kind %1 the learner cannot answer")
                                .arg(state.stepKind));
                window->reject();
            }
        });
        driver.On("TForm25", [](QDialog* statistics) { Click(statistics, "B_OK"); });
        driver.On("TForm31", [](QDialog* summary) { Click(summary, "B_Zamknij"); });
        for (const char* interlude : {"TForm18", "TForm38", "TForm16", "TForm17"}) {
            driver.On(interlude, [](QDialog* window) { QTest::keyClick(window, Qt::Key_Escape); });
        }
        QTest::mouseClick(Find<QAbstractButton>(program.mainMenu(), "btn_cwiczenia"),
                          Qt::LeftButton);
        QVERIFY2(driver.errors.isEmpty(), qPrintable(driver.errors.join(QLatin1Char('\n'))));
        QVERIFY(!drawn.empty());
        // Every row of the kind is answered at least once (a step and its going on).
        QVERIFY(rowsOfKind > 0);
        QVERIFY2(steps >= rowsOfKind,
                 qPrintable(QStringLiteral("%1 steps for %2 rows, windows: %3")
                                .arg(steps)
                                .arg(rowsOfKind)
                                .arg(driver.seen.join(QLatin1Char(' ')))));

        // Every drawn unit is one of the learner's own and now has its repetition record.
        RepetitionStore store;
        ParseRepetitionFile(
            ReadBytes(session.paths.userDir + RepetitionFileName(session.paths, kLiveSuffix)),
            session.db.units, store);
        int learnt = 0;
        for (const int u : drawn) {
            QCOMPARE(session.db.units.unit(u).recordingSource, std::uint8_t{1});
            if (store.record(u).unitId == session.db.units.unit(u).unitId) {
                ++learnt;
            }
        }
        QVERIFY2(learnt > 0, "no drawn unit was learnt");
        program.mainMenu()->close();
    }
}

QTEST_MAIN(EditorEndToEndTest)
#include "editor_e2e_pulse_test.moc"
