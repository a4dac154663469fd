// The runner's own-voice recording driven through K_nagraj and k_play_nagrane: holding the left
// button records into the program folder's tmp1.wav, a valid recording is played back byte for
// byte followed by the unit's recording, a short one is refused with the message, other buttons
// and the pointer only change the picture, the 15-second limit stops the recording, and the
// compare button follows the step.

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
#include "sound/recorder.h"
#include "sound/sound_player.h"
#include "sound/waiter.h"
#include "sound/wav_file.h"
#include "support.h"
#include "ui/app_context.h"
#include "ui/runner/runner_window.h"
#include "ui/shell/dialogs.h"
#include "ui/widgets/record_button.h"

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
constexpr int kRate = 8000;

// A microphone that, when stopped, writes a WAV file of the chosen length (a ramp of samples
// that differs with every recording); with a failure set, it cannot start.
class FakeRecorder final : public Recorder {
  public:
    bool HasMicrophone() const override { return true; }
    std::optional<std::string> StartRecording() override {
        if (!recording_) {
            if (failure) {
                ++failedStarts;
                return failure;
            }
            recording_ = true;
            ++starts;
        }
        return std::nullopt;
    }
    void StopRecording(const std::string& path) override {
        if (!recording_) {
            return;
        }
        recording_ = false;
        stops.push_back(path);
        samples.assign(static_cast<std::size_t>(lengthMs * kRate / 1000), 0);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] = static_cast<std::int16_t>((i * 37 + stops.size() * 1000) % 20000);
        }
        WriteWav16(path, samples, 1, kRate);
    }
    bool isRecording() const override { return recording_; }

    std::string Pcm() const {
        return std::string(reinterpret_cast<const char*>(samples.data()),
                           samples.size() * sizeof(std::int16_t));
    }

    long long lengthMs = 2000;
    std::optional<std::string> failure;
    int starts = 0;
    int failedStarts = 0;
    std::vector<std::string> stops;
    std::vector<std::int16_t> samples;

  private:
    bool recording_ = false;
};

// Holds no one: a waited-for file is played to its end at once.
class PlayAtOnce final : public Waiter {
  public:
    explicit PlayAtOnce(CaptureDevice& device) : device_(device) {}
    void Sleep(int) override {}
    void WaitUntil(const std::function<bool()>& finished, int) override {
        while (!finished() && device_.ReturnOne()) {
        }
    }

  private:
    CaptureDevice& device_;
};

using dyd::test::MessageWatch;

// One learner in the English sample course, the runner window with the fake microphone and a
// sound player whose outputs keep what they were given.
struct Session {
    Session() : context(clock), waiter(fileOut), player(oggOut, fileOut, waiter) {
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
        oggOut.keepBytes = false;
        oggOut.onWrite = [this](const WaveBuffer&) { Note("unit"); };
        fileOut.onWrite = [this](const WaveBuffer&) { Note("own"); };
        window = std::make_unique<RunnerWindow>(context);
        window->SetRandom(random);
        window->SetDialogs(new MessageBox(context, window.get()),
                           new ConfirmationDialog(context, window.get()));
        window->SetRecorder(recorder);
    }

    bool Start(int kind, std::initializer_list<std::int32_t> ids) {
        PlanUnits(context.session.plan, kind, UnitsOf(context.session.db.units, ids));
        return OpenRun(window.get(), kind);
    }

    QLabel* record() { return Find<QLabel>(window.get(), "K_nagraj"); }
    bool compareShown() { return Find<QWidget>(window.get(), "k_play_nagrane")->isVisible(); }
    RecordLimitTimer* timer() { return Find<RecordLimitTimer>(window.get(), "Timer1"); }
    bool Shows(const char* picture) { return RecordButtonShows(window.get(), picture); }
    void Hold() { QTest::mousePress(record(), Qt::LeftButton, {}, QPoint(10, 10)); }
    void Release() { QTest::mouseRelease(record(), Qt::LeftButton, {}, QPoint(10, 10)); }
    void Note(const char* output) {
        if (played.empty() || played.back() != output) {
            played.emplace_back(output);
        }
    }
    // Forgets what was played so far.
    void ClearPlayed() {
        played.clear();
        fileOut.bytes.clear();
    }

    TempDir dir;
    FixedClock clock{kToday};
    SeededRandom random{7};
    AppContext context;
    CaptureDevice oggOut;
    CaptureDevice fileOut;
    PlayAtOnce waiter;
    SoundPlayer player;
    FakeRecorder recorder;
    // The order of the outputs: "own" (the learner's file) and "unit" (the unit's recording).
    std::vector<std::string> played;
    bool ok = false;
    std::unique_ptr<RunnerWindow> window;
};

std::string TempRecording(const Session& s) {
    return ResolvePath(s.context.programPaths.programDir, std::string(kTempRecordingName));
}

}  // namespace

class RunnerRecordTest : public QObject {
    Q_OBJECT

  private slots:
    void holdingRecordsThenPlaysItAndTheUnit() {
        Session s;
        QVERIFY(s.ok);
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        QVERIFY(FileExists(s.window->runner().CompareRecording()));
        s.ClearPlayed();
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(!s.compareShown());

        s.Hold();
        QVERIFY(s.recorder.isRecording());
        QVERIFY(s.Shows("K_nag_b"));
        QVERIFY(s.timer()->isActive());
        QCOMPARE(s.timer()->interval(), 15000);
        QVERIFY(s.played.empty());

        s.Release();
        QVERIFY(!s.recorder.isRecording());
        QVERIFY(!s.timer()->isActive());
        QCOMPARE(s.recorder.stops, std::vector<std::string>{TempRecording(s)});
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(s.record()->isEnabled());
        QVERIFY(s.compareShown());
        // The learner's own recording to its last byte, then the unit's recording.
        QCOMPARE(s.fileOut.bytes, s.recorder.Pcm());
        QCOMPARE(s.played, (std::vector<std::string>{"own", "unit"}));

        // The compare button plays both again; no new recording.
        s.ClearPlayed();
        QTest::mouseClick(Find<QLabel>(s.window.get(), "k_play_nagrane"), Qt::LeftButton);
        QCOMPARE(s.fileOut.bytes, s.recorder.Pcm());
        QCOMPARE(s.played, (std::vector<std::string>{"own", "unit"}));
        QCOMPARE(s.recorder.starts, 1);

        // Judging the step hides it; the next step starts without a recording of its own.
        QTest::mouseClick(Find<QWidget>(s.window.get(), "B_Umiesz"), Qt::LeftButton);
        QVERIFY(s.window->runner().state().stepUnit !=
                s.context.session.db.units.IndexOfUnitId(10101));
        QVERIFY(!s.compareShown());
    }

    void lengthDecidesWhetherTheRecordingCounts_data() {
        QTest::addColumn<int>("lengthMs");
        QTest::addColumn<bool>("valid");
        QTest::newRow("a click") << 60 << false;
        QTest::newRow("just short") << 479 << false;
        QTest::newRow("shortest") << 480 << true;
    }

    void lengthDecidesWhetherTheRecordingCounts() {
        QFETCH(int, lengthMs);
        QFETCH(bool, valid);
        Session s;
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        s.ClearPlayed();
        s.recorder.lengthMs = lengthMs;
        MessageWatch watch;
        s.Hold();
        s.Release();
        QCOMPARE(s.recorder.stops.size(), std::size_t{1});
        QCOMPARE(s.compareShown(), valid);
        QCOMPARE(s.played.empty(), !valid);
        const QStringList expected =
            valid ? QStringList{}
                  : QStringList{QStringLiteral(
                        "W trakcie nagrywania trzymaj cały czas wciśnięty lewy przycisk myszki!")};
        QCOMPARE(watch.texts(), expected);
        QVERIFY(s.Shows("K_nag_a"));
    }

    void otherButtonsAndThePointerOnlyChangeThePicture() {
        Session s;
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        s.ClearPlayed();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(s.record(), &enter);
        QVERIFY(s.Shows("k_nag_c"));
        MessageWatch watch;
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(s.record(), button, {}, QPoint(10, 10));
        }
        QCOMPARE(s.recorder.starts, 0);
        QVERIFY(s.recorder.stops.empty());
        QVERIFY(watch.texts().isEmpty());
        QVERIFY(!s.compareShown());
        QVERIFY(s.played.empty());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(s.record(), &leave);
        QVERIFY(s.Shows("K_nag_a"));
    }

    void theTimeLimitStopsTheRecordingAndTheLaterReleaseDoesNothing() {
        Session s;
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        s.ClearPlayed();
        s.recorder.lengthMs = 15000;
        MessageWatch watch;
        s.Hold();
        s.timer()->Fire();
        QVERIFY(!s.recorder.isRecording());
        QCOMPARE(s.recorder.stops.size(), std::size_t{1});
        QVERIFY(s.compareShown());
        QCOMPARE(s.played, (std::vector<std::string>{"own", "unit"}));
        s.ClearPlayed();
        s.Release();
        QCOMPARE(s.recorder.stops.size(), std::size_t{1});
        QVERIFY(s.played.empty());
        QVERIFY(watch.texts().isEmpty());
        // A new hold records again.
        s.Hold();
        QVERIFY(s.recorder.isRecording());
        s.Release();
        QCOMPARE(s.recorder.stops.size(), std::size_t{2});
    }

    void comparesWithTheResultsRecordingOnceAnswered() {
        // Translation choice has no recording before the answer and the unit's after it.
        Session s;
        QVERIFY(s.Start(kTranslationChoice, {10101, 10102}));
        s.ClearPlayed();
        s.Hold();
        s.Release();
        QVERIFY(s.compareShown());
        QCOMPARE(s.played, std::vector<std::string>{"own"});

        const auto digit =
            static_cast<Qt::Key>(Qt::Key_0 + s.window->runner().state().correctChoice);
        QTest::keyClick(s.window.get(), digit);
        QVERIFY(s.window->runner().state().answered);
        // The result hides the compare button of the recording made before it.
        QVERIFY(!s.compareShown());
        s.ClearPlayed();
        s.Hold();
        s.Release();
        QCOMPARE(s.fileOut.bytes, s.recorder.Pcm());
        QCOMPARE(s.played, (std::vector<std::string>{"own", "unit"}));
        // The next step hides it again.
        QTest::keyClick(s.window.get(), Qt::Key_Return);
        QVERIFY(!s.window->runner().state().answered);
        QVERIFY(!s.compareShown());
    }

    void aRecordingThatCannotStartGivesOneMessageAndEndsAtOnce() {
        Session s;
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        s.ClearPlayed();
        s.recorder.failure = "Nie można rozpocząć nagrywania. Open";
        MessageWatch watch;
        s.Hold();
        QCOMPARE(s.recorder.failedStarts, 1);
        QCOMPARE(watch.texts(),
                 QStringList{QStringLiteral("Nie można otworzyć mikrofonu.\n"
                                            "Nie można rozpocząć nagrywania. Open")});
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(!s.timer()->isActive());
        // Neither the release nor the end of the time limit stops, saves or says anything more.
        s.Release();
        s.timer()->Fire();
        QTest::qWait(20);
        QCOMPARE(watch.texts().size(), 1);
        QVERIFY(s.recorder.stops.empty());
        QVERIFY(!FileExists(TempRecording(s)));
        QVERIFY(!s.compareShown());
        QVERIFY(s.played.empty());
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(s.record()->isEnabled());

        // Once the microphone opens again, holding records as before.
        s.recorder.failure.reset();
        s.Hold();
        QVERIFY(s.recorder.isRecording());
        QVERIFY(s.timer()->isActive());
        s.Release();
        QVERIFY(s.compareShown());
        QCOMPARE(s.played, (std::vector<std::string>{"own", "unit"}));
        QCOMPARE(watch.texts().size(), 1);
    }

    void aRunEndingDuringARecordingFreesTheMicrophone() {
        Session s;
        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        s.Hold();
        QVERIFY(s.recorder.isRecording());
        QTest::keyClick(s.window.get(), Qt::Key_Escape);
        QVERIFY(!s.window->isVisible());
        QVERIFY(!s.recorder.isRecording());
        QVERIFY(!s.timer()->isActive());
        s.Release();  // the learner lets go afterwards
        QCOMPARE(s.recorder.stops.size(), std::size_t{1});

        QVERIFY(s.Start(kPronunciation, {10101, 10102}));
        QVERIFY(s.Shows("K_nag_a"));
        QVERIFY(!s.compareShown());
        s.Hold();
        QVERIFY(s.recorder.isRecording());
        s.Release();
        QCOMPARE(s.recorder.stops.size(), std::size_t{2});
    }
};

QTEST_MAIN(RunnerRecordTest)
#include "runner_record_test.moc"
