// The runner's record button on a machine whose sound server has no recording device at all
// (a PulseAudio server with a null sink alone), with the program's own recorder: a click says
// that there is no microphone instead of recording, and nothing follows it later.

#include <QApplication>
#include <QAudioDevice>
#include <QDialog>
#include <QLabel>
#include <QMediaDevices>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/files.h"
#include "core/login.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "find_control.h"
#include "message_watch.h"
#include "runner_driving.h"
#include "sample_installation.h"
#include "sound/capture_device.h"
#include "sound/hold_to_record.h"
#include "sound/qt_recorder.h"
#include "sound/recorder.h"
#include "sound/sound_player.h"
#include "sound/waiter.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/record_button.h"
#include "ui/widgets/ui_text.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::OpenRun;
using dyd::test::PlanUnits;
using dyd::test::RecordButtonShows;
using dyd::test::TempDir;
using dyd::test::UnitsOf;

namespace {

constexpr double kToday = 45000.0;

class NoWait final : public Waiter {
  public:
    void Sleep(int) override {}
    void WaitUntil(const std::function<bool()>&, int) override {}
};

using dyd::test::MessageWatch;

// A learner of the English sample course in the pronunciation kind, with the program's recorder
// (its reports go to the message box as in the program) and outputs that keep what they get.
struct Session {
    Session() : context(clock), player(oggOut, fileOut, waiter) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.session.settings.showStatistics = false;
        context.session.settings.f5HintShown = true;
        context.session.settings.interludesAtEndOnly = true;
        context.sound = &player;
        window = std::make_unique<RunnerWindow>(context);
        window->SetRandom(random);
        window->SetDialogs(new MessageBox(context, window.get()),
                           new ConfirmationDialog(context, window.get()));
        recorder = std::make_unique<QtRecorder>(
            dir.path(), [this] { player.CloseMediaPlayer(); },
            [this](const std::string& message) {
                MessageBox::Show(context, Utf8(message), window.get());
            });
        window->SetRecorder(*recorder);
    }

    bool Start() {
        PlanUnits(context.session.plan, kPronunciation,
                  UnitsOf(context.session.db.units, {10101, 10102}));
        return OpenRun(window.get(), kPronunciation);
    }

    QLabel* record() { return Find<QLabel>(window.get(), "K_nagraj"); }
    bool compareShown() { return Find<QWidget>(window.get(), "k_play_nagrane")->isVisible(); }
    RecordLimitTimer* timer() { return Find<RecordLimitTimer>(window.get(), "Timer1"); }
    bool Shows(const char* picture) { return RecordButtonShows(window.get(), picture); }
    // Forgets what the step's opening played.
    void ClearPlayed() {
        for (CaptureDevice* out : {&oggOut, &fileOut}) {
            out->opens = 0;
            out->writes = 0;
        }
    }
    bool NothingPlayed() const {
        return oggOut.opens == 0 && fileOut.opens == 0 && oggOut.writes == 0 && fileOut.writes == 0;
    }

    TempDir dir;
    FixedClock clock{kToday};
    SeededRandom random{7};
    AppContext context;
    CaptureDevice oggOut;
    CaptureDevice fileOut;
    NoWait waiter;
    SoundPlayer player;
    std::unique_ptr<RunnerWindow> window;
    std::unique_ptr<QtRecorder> recorder;
    bool ok = false;
};

}  // namespace

class RunnerNoMicrophoneTest : public QObject {
    Q_OBJECT

  private slots:
    void theServerOffersNoRecordingDevice() {
        // The server answers (its null sink plays) but has nothing to record from.
        QVERIFY(!QMediaDevices::audioOutputs().isEmpty());
        QVERIFY(QMediaDevices::audioInputs().isEmpty());
        QVERIFY(QMediaDevices::defaultAudioInput().isNull());
    }

    void aClickSaysThereIsNoMicrophoneAndNothingFollows() {
        Session s;
        QVERIFY(s.ok);
        QVERIFY(s.Start());
        s.ClearPlayed();
        QVERIFY(s.Shows("K_nag_a"));
        MessageWatch watch;
        QTest::mousePress(s.record(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(watch.texts(), QStringList{Utf8(kNoMicrophoneMessage)});
        QVERIFY(!s.recorder->isRecording());
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(!s.timer()->isActive());

        // The learner lets go, and the time limit would have run out by now: nothing more.
        QTest::mouseRelease(s.record(), Qt::LeftButton, {}, QPoint(10, 10));
        s.timer()->Fire();
        QTest::qWait(20);
        QCOMPARE(watch.texts().size(), 1);
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(!s.compareShown());
        QVERIFY(s.NothingPlayed());
        QVERIFY(!FileExists(ResolvePath(s.dir.path(), kTempRecordingName)));
        QVERIFY(s.record()->isEnabled());

        // Every later click says the same once, and the exercise goes on.
        QTest::mouseClick(s.record(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(watch.texts().size(), 2);
        QCOMPARE(watch.texts().last(), Utf8(kNoMicrophoneMessage));
        QVERIFY(!s.timer()->isActive());
        QTest::mouseClick(Find<QWidget>(s.window.get(), "B_Umiesz"), Qt::LeftButton);
        QCOMPARE(watch.texts().size(), 2);
        QVERIFY(s.window->isVisible());
    }
};

QTEST_MAIN(RunnerNoMicrophoneTest)
#include "runner_no_mic_pulse_test.moc"
