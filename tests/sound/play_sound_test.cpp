// PlaySound: which player a file goes to, how long a waiting call holds the caller, and what a
// missing, damaged or unplayable file does. Devices are capture devices; the waiter records.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sound/capture_device.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

using test::ToneFile;
using test::ToneSpec;
using test::WriteTone;

// Records what the caller was held for; while "held" it lets the devices play on.
class RecordingWaiter final : public Waiter {
  public:
    void Sleep(int ms) override { sleeps.push_back(ms); }
    void WaitUntil(const std::function<bool()>& finished, int timeoutMs) override {
        timeouts.push_back(timeoutMs);
        if (whileWaiting) {
            whileWaiting();
        }
        finishedWhenReturned = finished();
    }
    std::vector<int> sleeps;
    std::vector<int> timeouts;
    std::function<void()> whileWaiting;
    bool finishedWhenReturned = false;
};

class PlaySoundTest : public testing::Test {
  protected:
    std::string Make(const std::string& name, ToneFile kind, double seconds = 1.0) {
        ToneSpec tone;
        tone.seconds = seconds;
        const std::string path = dir.path() + name;
        EXPECT_TRUE(WriteTone(path, kind, tone)) << name;
        return path;
    }
    test::TempDir dir;
    CaptureDevice oggDevice;
    CaptureDevice fileDevice;
    RecordingWaiter waiter;
    SoundPlayer sound{oggDevice, fileDevice, waiter};
};

TEST_F(PlaySoundTest, OnlyALowerCaseFinalGGoesToTheOggDecoder) {
    struct Case {
        const char* name;
        ToneFile kind;
        bool ogg;
    };
    const Case cases[] = {
        {"a.ogg", ToneFile::Ogg, true},
        {"b.OGG", ToneFile::Ogg, false},  // played by the file player, which reads Ogg too
        {"c.wav", ToneFile::Wav, false},
        {"d.mp3", ToneFile::Mp3, false},
        {"e.Wav", ToneFile::Wav, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make(c.name, c.kind);
        const int oggOpens = oggDevice.opens;
        const int fileOpens = fileDevice.opens;
        EXPECT_EQ(sound.PlaySound(path, false), "");
        EXPECT_EQ(oggDevice.opens - oggOpens, c.ogg ? 1 : 0);
        EXPECT_EQ(fileDevice.opens - fileOpens, c.ogg ? 0 : 1);
        EXPECT_EQ(sound.ogg().playing(), c.ogg);
        EXPECT_EQ(sound.file().playing(), !c.ogg);
    }
}

TEST_F(PlaySoundTest, AWaitingOggCallIsHeldForWholeSecondsAtMostUnderSix) {
    const struct {
        double seconds;
        std::vector<int> sleeps;
    } cases[] = {{2.7, {2000}}, {5.5, {5000}}, {6.0, {3000}}, {8.0, {3000}}, {0.6, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        waiter.sleeps.clear();
        EXPECT_EQ(sound.PlaySound(Make("t.ogg", ToneFile::Ogg, c.seconds), true), "");
        EXPECT_EQ(waiter.sleeps, c.sleeps);
        EXPECT_TRUE(sound.ogg().playing());  // the sleep only holds the caller
    }
    waiter.sleeps.clear();
    sound.PlaySound(Make("t.ogg", ToneFile::Ogg, 8), false);
    EXPECT_TRUE(waiter.sleeps.empty());
}

TEST_F(PlaySoundTest, AWaitingFileCallReturnsWhenTheFileHasPlayed) {
    const std::string wav = Make("a.wav", ToneFile::Wav, 2.0);
    waiter.whileWaiting = [&] { fileDevice.PlayToEnd(); };
    EXPECT_EQ(sound.PlaySound(wav, true), "");
    EXPECT_TRUE(waiter.finishedWhenReturned);
    EXPECT_FALSE(sound.file().playing());
    EXPECT_EQ(fileDevice.bytes.size(), 2u * 44100 * 2);

    // A device that never gives its buffers back does not hold the caller for ever: the wait is
    // bounded by the file's length and a margin, and the player is closed afterwards.
    waiter.whileWaiting = nullptr;
    EXPECT_EQ(sound.PlaySound(wav, true), "");
    ASSERT_EQ(waiter.timeouts.size(), 2u);
    EXPECT_EQ(waiter.timeouts.back(), 2000 + 5000);
    EXPECT_FALSE(sound.file().playing());
    EXPECT_FALSE(fileDevice.opened);
}

TEST_F(PlaySoundTest, ANewSoundReplacesTheOnePlaying) {
    const std::string ogg = Make("a.ogg", ToneFile::Ogg, 5);
    const std::string wav = Make("b.wav", ToneFile::Wav, 5);
    sound.PlaySound(ogg, false);
    sound.PlaySound(wav, false);
    EXPECT_FALSE(sound.ogg().playing());
    EXPECT_FALSE(oggDevice.opened);
    EXPECT_TRUE(sound.file().playing());
    sound.PlaySound(ogg, false);
    EXPECT_FALSE(sound.file().playing());  // the file player is closed first
    EXPECT_FALSE(fileDevice.opened);
    EXPECT_TRUE(sound.ogg().playing());
}

TEST_F(PlaySoundTest, NothingToPlayAndFailuresGiveSilenceOrTheirMessage) {
    const std::string ogg = Make("a.ogg", ToneFile::Ogg);
    sound.PlaySound(ogg, false);
    // A missing file or no name changes nothing: the sound goes on.
    EXPECT_EQ(sound.PlaySound("", true), "");
    EXPECT_EQ(sound.PlaySound(dir.path() + "missing.wav", true), "");
    EXPECT_TRUE(sound.ogg().playing());
    EXPECT_TRUE(waiter.sleeps.empty());

    // A damaged Ogg file is silence; a damaged WAV or MP3 file is reported.
    test::WriteBytes(dir.path() + "bad.ogg", "OggS but not really");
    EXPECT_EQ(sound.PlaySound(dir.path() + "bad.ogg", true), "");
    EXPECT_FALSE(sound.ogg().playing());
    for (const char* name : {"bad.wav", "bad.mp3"}) {
        test::WriteBytes(dir.path() + name, "RIFF....WAVEjunk");
        const std::string message = sound.PlaySound(dir.path() + name, true);
        EXPECT_EQ(message.rfind(std::string(kCannotPlayFile) + dir.path() + name, 0), 0u)
            << message;
        EXPECT_FALSE(sound.file().playing());
    }

    // Output errors come back as the texts of the output.
    oggDevice.openError = 2;
    oggDevice.errorTexts[2] = "busy";
    EXPECT_EQ(sound.PlaySound(ogg, false), "Unable to open wave device - waveOutOpen: busy");
    EXPECT_FALSE(sound.ogg().playing());
    fileDevice.queryError = 2;
    fileDevice.errorTexts[2] = "no such rate";
    EXPECT_EQ(sound.PlaySound(Make("m.wav", ToneFile::Wav), false),
              "Wave format not supported (Mono; 44.1 KHz; 16 bits (705 kb/s) - waveOutOpen: no "
              "such rate");
}

}  // namespace
}  // namespace dyd
