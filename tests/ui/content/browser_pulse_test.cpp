// The browser's descriptions with real sound: a question/answer unit's two recordings go through
// the desktop's audio output into the test server's null sink, the answer after the question;
// with "Wyłącz automatyczne odtwarzanie nagrań" ticked nothing is heard.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <string>

#include "core/clock.h"
#include "core/login.h"
#include "core/paths.h"
#include "find_control.h"
#include "sample_installation.h"
#include "sound/qt_audio_device.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/content/browser_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::ToneAt;
using dyd::test::ToneFile;
using dyd::test::ToneSpec;

class BrowserPulseTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY2(test::HaveTestServer(), "run through with-pulse.sh"); }

    void aQuestionAndItsAnswerAreHeardUnlessSwitchedOff() {
        test::TempDir dir;
        test::LinkInstallation(DYD_SAMPLE, dir.path());
        FixedClock clock(45000.0);
        AppContext context(clock);
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        QCOMPARE(Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status,
                 LoginStatus::Opened);
        QtAudioDevice oggDevice;
        QtAudioDevice fileDevice;
        QtWaiter waiter;
        SoundPlayer player(oggDevice, fileDevice, waiter);
        context.sound = &player;

        // Unit 1 becomes a QA item: its question in the course's folder of WAV recordings, its
        // answer in the folder of the learner's own (a folder of this copy, not the shared one).
        const std::string databaseDir = context.session.paths.databaseDir;
        std::filesystem::create_directory(databaseDir + "wav_3");
        const std::string wav = databaseDir + "wav";
        if (std::filesystem::is_symlink(wav)) {
            std::filesystem::remove(wav);
        }
        std::filesystem::create_directory(wav);
        ToneSpec question;
        question.seconds = 0.5;
        question.frequency = 500;
        ToneSpec answer;
        answer.seconds = 0.4;
        answer.frequency = 1100;
        QVERIFY(test::WriteTone(databaseDir + "wav_3/pytanie.wav", ToneFile::Wav, question));
        QVERIFY(test::WriteTone(wav + "/odpowiedz.wav", ToneFile::Wav, answer));
        Unit& unit = context.session.db.units.unit(1);
        unit.unitKind = kQaUnit;
        unit.recordingSource = 3;
        unit.recording = "pytanie";
        unit.answerRecording = "odpowiedz.wav";

        BrowserWindow window(context);
        window.Prepare();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* grid = Find<QTableView>(&window, "Grid1");
        const QPoint first = grid->visualRect(grid->model()->index(0, 1)).center();

        test::MonitorCapture monitor;
        QVERIFY(monitor.Start());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first);
        test::PumpUntil([] { return false; }, 900);
        const std::vector<test::Tone> tones =
            test::FindTones(monitor.Stop(), test::MonitorCapture::kRate);
        const test::Tone heardQuestion = ToneAt(tones, 500);
        const test::Tone heardAnswer = ToneAt(tones, 1100);
        QVERIFY2(std::abs(heardQuestion.lengthMs - 500) < 60,
                 qPrintable(QString::number(heardQuestion.lengthMs)));
        QVERIFY2(std::abs(heardAnswer.lengthMs - 400) < 60,
                 qPrintable(QString::number(heardAnswer.lengthMs)));
        QVERIFY(heardAnswer.startMs >= heardQuestion.startMs + heardQuestion.lengthMs - 30);

        // Ticked: the description shows, nothing plays.
        QTest::mouseClick(Find<QCheckBox>(&window, "CB_Graj"), Qt::LeftButton);
        test::MonitorCapture silent;
        QVERIFY(silent.Start());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first);
        test::PumpUntil([] { return false; }, 700);
        const std::vector<test::Tone> none =
            test::FindTones(silent.Stop(), test::MonitorCapture::kRate);
        QCOMPARE(ToneAt(none, 500).lengthMs, 0.0);
        QCOMPARE(ToneAt(none, 1100).lengthMs, 0.0);
    }
};

QTEST_MAIN(BrowserPulseTest)
#include "browser_pulse_test.moc"
