// The presentation with real sound: each unit's recording goes through the desktop's audio
// output into the test server's null sink and is read back from its monitor. The show waits for
// a recording before its translation pause starts, and closing the window silences an Ogg
// recording that would play on.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
#include "ui/content/presentation_window.h"

using namespace dyd;
using namespace dyd::ui;
using dyd::test::Find;
using dyd::test::LinkInstallation;
using dyd::test::TempDir;
using dyd::test::ToneAt;
using dyd::test::ToneFile;
using dyd::test::ToneSpec;

namespace {

constexpr double kToday = 45000.0;

struct Show {
    Show() : context(clock), player(oggDevice, fileDevice, waiter) {
        LinkInstallation(DYD_SAMPLE, dir.path());
        context.programPaths.programDir = dir.path();
        context.programPaths.languageDir = std::string(kLanguageDir);
        context.images.Load(dir.path());
        ok = Login(context.programPaths, "angielski", 1, "Ewa", clock, context.session).status ==
             LoginStatus::Opened;
        context.sound = &player;
        Settings& settings = context.session.settings;
        settings.presentationNextDelay = 0;         // 1 s
        settings.presentationTranslationDelay = 0;  // 100 ms
        std::filesystem::create_directory(context.session.paths.databaseDir + "wav_3");
        window = std::make_unique<PresentationWindow>(context);
    }
    // The unit plays a tone of its own from the course's folder of recordings.
    bool Tone(int unit, ToneFile kind, double seconds, double frequency) {
        const std::string name = "ton" + std::to_string(unit);
        const std::string file = name + (kind == ToneFile::Ogg ? ".ogg" : ".wav");
        ToneSpec tone;
        tone.seconds = seconds;
        tone.frequency = frequency;
        Unit& u = context.session.db.units.unit(unit);
        u.recordingSource = kind == ToneFile::Ogg ? 1 : 3;
        u.recording = kind == ToneFile::Ogg ? file : name;
        const std::string folder = kind == ToneFile::Ogg ? "wav_ogg/" : "wav_3/";
        if (kind == ToneFile::Ogg) {
            // Source 1 reads databaseDir + "wav/", a folder of the shared sample: a folder of
            // this copy stands in for it.
            const std::string wav = context.session.paths.databaseDir + "wav";
            if (std::filesystem::is_symlink(wav)) {
                std::filesystem::remove(wav);
                std::filesystem::create_directory(wav);
            }
            return test::WriteTone(wav + "/" + file, kind, tone);
        }
        return test::WriteTone(context.session.paths.databaseDir + folder + file, kind, tone);
    }
    void Plan(std::initializer_list<int> units) {
        for (int unit : units) {
            PlanRow row;
            row.unitNumber = unit;
            context.session.plan.rows.push_back(row);
        }
    }
    void NoRecording(int unit) {
        Unit& u = context.session.db.units.unit(unit);
        u.recordingSource = 3;
        u.recording.clear();
    }

    TempDir dir;
    FixedClock clock{kToday};
    AppContext context;
    QtAudioDevice oggDevice;
    QtAudioDevice fileDevice;
    QtWaiter waiter;
    SoundPlayer player;
    std::unique_ptr<PresentationWindow> window;
    bool ok = false;
};

}  // namespace

class PresentationPulseTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QVERIFY2(test::HaveTestServer(), "run through with-pulse.sh"); }

    void eachRecordingPlaysWholeAndThePausesFollowItsEnd() {
        Show s;
        QVERIFY(s.ok);
        QVERIFY(s.Tone(1, ToneFile::Wav, 0.6, 600));
        s.NoRecording(2);
        QVERIFY(s.Tone(3, ToneFile::Wav, 0.4, 1200));
        s.Plan({1, 2, 3});
        test::MonitorCapture monitor;
        QVERIFY(monitor.Start());
        // Runs by itself to the end: 600 ms, then per unit its recording, 100 ms, 1 s.
        s.window->ShowPresentation();
        QVERIFY(!s.window->isVisible());
        test::PumpUntil([] { return false; }, 200);
        const std::vector<test::Tone> tones =
            test::FindTones(monitor.Stop(), test::MonitorCapture::kRate);
        const test::Tone first = ToneAt(tones, 600);
        const test::Tone last = ToneAt(tones, 1200);
        QVERIFY2(std::abs(first.lengthMs - 600) < 60, qPrintable(QString::number(first.lengthMs)));
        QVERIFY2(std::abs(last.lengthMs - 400) < 60, qPrintable(QString::number(last.lengthMs)));
        // Between them: two translation pauses and two next pauses, the word without a
        // recording going on after its own pause. Had the show not waited for the first
        // recording, its pauses would have run while it played.
        const double gap = last.startMs - (first.startMs + first.lengthMs);
        QVERIFY2(gap >= 2200 - 60, qPrintable(QString::number(gap)));
    }

    void closingSilencesARecordingThatWouldPlayOn() {
        Show s;
        QVERIFY(s.ok);
        // An Ogg recording holds the show 3 s at most and plays on after that.
        QVERIFY(s.Tone(1, ToneFile::Ogg, 8.0, 300));
        s.Plan({1, 2});
        test::MonitorCapture monitor;
        QVERIFY(monitor.Start());
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* translation = s.window->findChild<QLabel*>(QStringLiteral("L_Pol"));
            if (s.window->isVisible() && translation != nullptr && !translation->text().isEmpty()) {
                poll.stop();
                QTest::keyClick(s.window.get(), Qt::Key_Escape);
            }
        });
        poll.start();
        s.window->ShowPresentation();
        QVERIFY(!s.player.ogg().playing());
        test::PumpUntil([] { return false; }, 300);
        const test::Tone tone =
            ToneAt(test::FindTones(monitor.Stop(), test::MonitorCapture::kRate), 300);
        // Heard until the window closed soon after the wait (3 s from the start of playback,
        // which the output may begin a little late), not 8 s.
        QVERIFY2(tone.lengthMs > 1000, qPrintable(QString::number(tone.lengthMs)));
        QVERIFY2(tone.lengthMs < 5000, qPrintable(QString::number(tone.lengthMs)));
    }
};

QTEST_MAIN(PresentationPulseTest)
#include "presentation_pulse_test.moc"
