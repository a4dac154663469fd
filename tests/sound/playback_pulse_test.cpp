// Real sound: recordings played through the desktop's audio output into the test server's null
// sink, read back from its monitor and measured.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sound/qt_audio_device.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

using test::FindTones;
using test::ToneAt;
using test::ToneFile;
using test::ToneSpec;

const double kToneRms = 0.5 / std::sqrt(2.0);

class PlaybackTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::HaveTestServer()) << "run through with-pulse.sh";
        ASSERT_TRUE(monitor.Start()) << "the test server's monitor cannot be recorded";
    }
    std::string Make(const std::string& name, ToneFile kind, double seconds, double frequency,
                     int rate = 44100, int channels = 1) {
        ToneSpec tone;
        tone.seconds = seconds;
        tone.frequency = frequency;
        tone.sampleRate = rate;
        tone.channels = channels;
        const std::string path = dir.path() + name;
        EXPECT_TRUE(test::WriteTone(path, kind, tone)) << name;
        return path;
    }
    // Lets whatever plays finish, then stops the monitor and finds the tones it heard.
    std::vector<test::Tone> Heard() {
        EXPECT_TRUE(test::PumpUntil(
            [&] { return !sound.ogg().playing() && !sound.file().playing(); }, 20000));
        test::PumpUntil([] { return false; }, 200);  // the tail through the server
        return FindTones(monitor.Stop(), test::MonitorCapture::kRate);
    }
    static void ExpectTone(const std::vector<test::Tone>& tones, double frequency,
                           double lengthMs) {
        SCOPED_TRACE(frequency);
        const test::Tone tone = ToneAt(tones, frequency);
        EXPECT_NEAR(tone.lengthMs, lengthMs, 60);
        EXPECT_NEAR(tone.rms, kToneRms, 0.15 * kToneRms);
    }

    test::TempDir dir;
    test::MonitorCapture monitor;
    QtAudioDevice oggDevice;
    QtAudioDevice fileDevice;
    QtWaiter waiter;
    SoundPlayer sound{oggDevice, fileDevice, waiter};
};

TEST_F(PlaybackTest, OggWavAndMp3ComeOutWholeAndOneAfterTheOtherWhenWaitedFor) {
    // Stereo Ogg at 44.1 kHz, mono WAV at 22.05 kHz, mono MP3: each must end before the next
    // starts, or the next would cut it short.
    const std::string ogg = Make("a.ogg", ToneFile::Ogg, 1.5, 300, 44100, 2);
    const std::string wav = Make("b.wav", ToneFile::Wav, 1.0, 600, 22050);
    const std::string mp3 = Make("c.mp3", ToneFile::Mp3, 1.0, 1200);
    ASSERT_EQ(sound.PlaySound(ogg, true), "");
    ASSERT_TRUE(test::PumpUntil([&] { return !sound.ogg().playing(); }, 10000));
    ASSERT_EQ(sound.PlaySound(wav, true), "");
    EXPECT_FALSE(sound.file().playing());  // returned after the end
    ASSERT_EQ(sound.PlaySound(mp3, true), "");
    EXPECT_FALSE(sound.file().playing());
    const std::vector<test::Tone> tones = Heard();
    ExpectTone(tones, 300, 1500);
    ExpectTone(tones, 600, 1000);
    ExpectTone(tones, 1200, 1000);
    EXPECT_LT(ToneAt(tones, 300).startMs, ToneAt(tones, 600).startMs);
    EXPECT_LT(ToneAt(tones, 600).startMs, ToneAt(tones, 1200).startMs);
}

TEST_F(PlaybackTest, AnOggWaitReturnsBeforeTheEndAndTheSoundPlaysOn) {
    // 2.7 s holds the caller 2 s; the rest of the sound still comes out.
    const std::string ogg = Make("long.ogg", ToneFile::Ogg, 2.7, 600, 22050);
    ASSERT_EQ(sound.PlaySound(ogg, true), "");
    EXPECT_TRUE(sound.ogg().playing());
    ExpectTone(Heard(), 600, 2700);
}

TEST_F(PlaybackTest, ANewSoundCutsTheOnePlaying) {
    const std::string ogg = Make("long.ogg", ToneFile::Ogg, 6, 300);
    const std::string wav = Make("b.wav", ToneFile::Wav, 1.0, 1200);
    ASSERT_EQ(sound.PlaySound(ogg, false), "");
    ASSERT_EQ(sound.PlaySound(wav, true), "");
    const std::vector<test::Tone> tones = Heard();
    EXPECT_LT(ToneAt(tones, 300).lengthMs, 1000);
    ExpectTone(tones, 1200, 1000);
}

}  // namespace
}  // namespace dyd
