// Without any audio server: sounds give their messages or silence, a recording does not start
// and says why, and nothing waits for an end that never comes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sound/qt_audio_device.h"
#include "sound/qt_recorder.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

class NoServerTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        // A server address where nothing listens (and no server may be started for us).
        ::setenv("PULSE_SERVER", "unix:/nonexistent/dyd/native", 1);
        ::unsetenv("DYD_MIC_FIFO");
    }
    test::TempDir dir;
};

TEST_F(NoServerTest, PlayingGivesTheOutputsMessagesAndReturns) {
    QtAudioDevice oggDevice;
    QtAudioDevice fileDevice;
    QtWaiter waiter;
    SoundPlayer sound(oggDevice, fileDevice, waiter);
    test::ToneSpec tone;
    tone.seconds = 8;
    ASSERT_TRUE(test::WriteTone(dir.path() + "a.ogg", test::ToneFile::Ogg, tone));
    ASSERT_TRUE(test::WriteTone(dir.path() + "a.wav", test::ToneFile::Wav, tone));

    const std::string ogg = sound.PlaySound(dir.path() + "a.ogg", true);
    EXPECT_EQ(ogg,
              "Wave format not supported (Mono; 44.1 KHz; 16 bits (705 kb/s) - waveOutOpen: "
              "Brak urządzenia odtwarzającego dźwięk");
    EXPECT_FALSE(sound.ogg().playing());
    const std::string wav = sound.PlaySound(dir.path() + "a.wav", true);
    EXPECT_EQ(wav.rfind("Wave format not supported (Mono; 44.1 KHz", 0), 0u) << wav;
    EXPECT_FALSE(sound.file().playing());
}

TEST_F(NoServerTest, RecordingDoesNotStartAndSaysWhyOnce) {
    std::vector<std::string> reports;
    QtRecorder recorder(dir.path(), nullptr,
                        [&](const std::string& message) { reports.push_back(message); });
    test::WriteBytes(dir.path() + "tmp1.wav", "old");
    EXPECT_FALSE(recorder.HasMicrophone());
    EXPECT_EQ(recorder.StartRecording(), std::string(kNoMicrophone) + " Open");
    EXPECT_FALSE(recorder.isRecording());
    recorder.StopRecording("");  // nothing runs, so nothing is saved or reported
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(test::ReadBytes(dir.path() + "tmp1.wav"), "old");
}

}  // namespace
}  // namespace dyd
