// Real recording: the test server's pipe source is the microphone; what the test feeds into it
// must come out in the WAV file the recorder saves.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/qt_recorder.h"
#include "sound/wav_file.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

class RecorderTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(test::HaveTestServer()) << "run through with-pulse.sh"; }

    // Feeds a tone and 0.2 s of silence into the microphone while recording, and waits until
    // the tone and part of the silence arrived (the silence pushes the tone's last samples
    // through the server's resampler).
    void RecordTone(QtRecorder& recorder, const test::ToneSpec& tone) {
        ASSERT_TRUE(recorder.HasMicrophone());
        ASSERT_EQ(recorder.StartRecording(), std::nullopt);
        ASSERT_TRUE(recorder.isRecording());
        std::vector<std::int16_t> samples = test::SineSamples(tone);
        samples.resize(samples.size() + tone.sampleRate / 5, 0);
        test::MicrophoneFeed feed(std::move(samples));
        ASSERT_TRUE(feed.Join());
        const auto wanted = static_cast<std::int64_t>((tone.seconds + 0.1) * recorder.sampleRate());
        EXPECT_TRUE(test::PumpUntil([&] { return recorder.recordedFrames() >= wanted; }, 10000));
    }

    test::TempDir dir;
    std::vector<std::string> reports;
    int playerClosed = 0;
    QtRecorder recorder{dir.path(), [this] { ++playerClosed; },
                        [this](const std::string& message) { reports.push_back(message); }};
};

TEST_F(RecorderTest, TheWavFileHoldsWhatTheMicrophoneHeard) {
    test::ToneSpec tone;
    tone.seconds = 1.2;
    tone.frequency = 440;
    RecordTone(recorder, tone);
    const std::string path = dir.path() + "rec.wav";
    recorder.StopRecording(path);
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(playerClosed, 1);
    EXPECT_TRUE(reports.empty()) << reports.front();

    const test::Samples saved = test::ReadSamples(path);
    EXPECT_EQ(saved.sampleRate, 22050);
    const test::Tone heard = test::ToneAt(test::FindTones(saved.data, saved.sampleRate), 440);
    EXPECT_NEAR(heard.lengthMs, 1200, 40);
    EXPECT_NEAR(heard.rms, 0.5 / std::sqrt(2.0), 0.05);
    EXPECT_NEAR(heard.frequency, 440, 10);
    const std::optional<long long> length = WavLengthMs(path);
    ASSERT_TRUE(length);
    EXPECT_EQ(*length, static_cast<long long>(saved.data.size()) * 1000 / 22050);
    EXPECT_GE(*length, 1200);
}

TEST_F(RecorderTest, WithoutAPathTheTemporaryRecordingIsWrittenAndAFailedSaveKeepsTheOldOne) {
    test::ToneSpec tone;
    tone.seconds = 0.6;
    RecordTone(recorder, tone);
    recorder.StopRecording("");
    const std::string temp = dir.path() + "tmp1.wav";
    ASSERT_TRUE(WavLengthMs(temp));
    EXPECT_GE(*WavLengthMs(temp), 600);
    const std::string before = test::ReadBytes(temp);

    // A second stop saves nothing; a save into a folder that does not exist is reported.
    recorder.StopRecording(temp);
    EXPECT_EQ(test::ReadBytes(temp), before);
    RecordTone(recorder, tone);
    recorder.StopRecording(dir.path() + "no/such/folder/x.wav");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(std::string(kCannotSaveRecording), 0), 0u) << reports[0];
    EXPECT_EQ(reports[0].substr(reports[0].size() - 5), " Save");
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_EQ(test::ReadBytes(temp), before);
}

}  // namespace
}  // namespace dyd
