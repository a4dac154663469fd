// The wave output ring and the Ogg player, observed through a capture device.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sound/capture_device.h"
#include "sound/ogg_player.h"
#include "sound/wave_out.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

using test::FindTones;
using test::ToneAt;
using test::ToneFile;
using test::ToneSpec;
using test::WriteTone;

// Bytes 0, 1, 2, ... (mod 251) handed out in pieces of the requested size, total bytes in all.
struct CountingSource {
    std::size_t total = 0;
    std::size_t given = 0;
    std::size_t operator()(char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, total - given);
        for (std::size_t i = 0; i < n; ++i) {
            buffer[i] = static_cast<char>((given + i) % 251);
        }
        given += n;
        return n;
    }
};

std::string CountingBytes(std::size_t total) {
    std::string out(total, '\0');
    for (std::size_t i = 0; i < total; ++i) {
        out[i] = static_cast<char>(i % 251);
    }
    return out;
}

TEST(WaveOut, RefillsFourBuffersUntilTheDataEndsThenReportsDoneOnce) {
    CaptureDevice device;
    WaveOut wave(device);
    const std::size_t total = 5 * kWaveBufferSize + 1000;  // more than the ring holds
    CountingSource source{total};
    int done = 0;
    wave.SetFill([&](char* b, std::size_t n) { return source(b, n); });
    wave.SetDone([&] { ++done; });
    ASSERT_TRUE(wave.SetFormat(false, 22050, 16).ok());
    ASSERT_TRUE(wave.Open().ok());
    ASSERT_TRUE(wave.Start().ok());
    EXPECT_EQ(device.held(), 4u);
    EXPECT_EQ(device.bytes.size(), 4 * kWaveBufferSize);  // four full buffers, nothing more yet

    // The data ends at the sixth buffer; done waits until the device returned all of them.
    while (device.held() > 1) {
        device.ReturnOne();
        EXPECT_EQ(done, 0);
    }
    EXPECT_FALSE(wave.playing());
    device.ReturnOne();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(device.bytes, CountingBytes(total));
    EXPECT_EQ(device.writes, 6);
    EXPECT_EQ(device.maxHeld, 4);
    EXPECT_EQ(wave.buffersInFlight(), 0);
    EXPECT_EQ(device.format.channels, 1);
    EXPECT_EQ(device.format.sampleRate, 22050);
}

TEST(WaveOut, DeviceErrorsCarryTheirPrefixes) {
    struct Case {
        const char* name;
        int CaptureDevice::*error;
        std::string expected;
    };
    const Case cases[] = {
        {"query", &CaptureDevice::queryError,
         "Wave format not supported (Mono; 22.1 KHz; 16 bits (352 kb/s) - waveOutOpen: no format"},
        {"open", &CaptureDevice::openError, "Unable to open wave device - waveOutOpen: no format"},
        {"prepare", &CaptureDevice::prepareError,
         "Cannot send wave buffer - waveOutPrepareHeader: no format"},
        {"write", &CaptureDevice::writeError, "Cannot send wave buffer - waveOutWrite: no format"},
        {"close", &CaptureDevice::closeError, "Cannot close waveOut - waveOutClose: no format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureDevice device;
        device.errorTexts[5] = "no format";
        device.*c.error = 5;
        WaveOut wave(device);
        CountingSource source{1000};
        wave.SetFill([&](char* b, std::size_t n) { return source(b, n); });
        std::string error = wave.SetFormat(false, 22050, 16).error;
        if (error.empty()) {
            error = wave.Open().error;
        }
        if (error.empty()) {
            error = wave.Start().error;
        }
        if (error.empty()) {
            error = wave.Close().error;
        }
        EXPECT_EQ(error, c.expected);
    }

    // A code the device has no text for, and misuse of the output.
    CaptureDevice device;
    device.openError = 7;
    WaveOut wave(device);
    EXPECT_EQ(wave.Open().error,
              "Unable to open wave device - waveOutOpen: Unknown error - waveOutGetErrorText: 7");
    device.openError = 0;
    ASSERT_TRUE(wave.Open().ok());
    EXPECT_EQ(wave.Open().error, "WaveOut device already opened");
    CountingSource source{10 * kWaveBufferSize};
    wave.SetFill([&](char* b, std::size_t n) { return source(b, n); });
    ASSERT_TRUE(wave.Start().ok());
    EXPECT_EQ(wave.SetFormat(true, 22050, 16).error,
              "Cannot change waveOut device parameters while playing");
}

TEST(WaveOut, AFailedSendDuringPlaybackEndsTheSoundAndIsReported) {
    CaptureDevice device;
    WaveOut wave(device);
    CountingSource source{10 * kWaveBufferSize};
    std::string reported;
    int done = 0;
    wave.SetFill([&](char* b, std::size_t n) { return source(b, n); });
    wave.SetError([&](const std::string& message) { reported = message; });
    wave.SetDone([&] { ++done; });
    ASSERT_TRUE(wave.Open().ok());
    ASSERT_TRUE(wave.Start().ok());
    device.writeError = 3;
    device.PlayToEnd();
    EXPECT_EQ(reported,
              "Cannot send wave buffer - waveOutWrite: Unknown error - waveOutGetErrorText: 3");
    EXPECT_EQ(done, 1);  // what was queued played out, and the end is still reported
    EXPECT_EQ(device.writes, 4);
}

class OggPlayerTest : public testing::Test {
  protected:
    std::string Tone(const std::string& name, const ToneSpec& tone) {
        const std::string path = dir.path() + name;
        EXPECT_TRUE(WriteTone(path, ToneFile::Ogg, tone));
        return path;
    }
    test::TempDir dir;
    CaptureDevice device;
    OggPlayer player{device};
};

TEST_F(OggPlayerTest, DecodesTheWholeStreamThroughTheRing) {
    ToneSpec tone;
    tone.seconds = 3;
    tone.sampleRate = 22050;
    tone.channels = 2;
    tone.frequency = 600;
    player.SetFileName(Tone("a.ogg", tone));
    int done = 0;
    player.SetOnDone([&] { ++done; });
    ASSERT_TRUE(player.Play());
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(device.format.channels, 2);
    EXPECT_EQ(device.format.sampleRate, 22050);
    EXPECT_DOUBLE_EQ(player.DurationDays(), 3.0 / 86400);
    device.PlayToEnd();
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(device.maxHeld, 4);
    ASSERT_EQ(device.bytes.size(), 3u * 22050 * 4);  // every frame, 16-bit stereo

    std::vector<std::int16_t> left;
    for (std::size_t i = 0; i + 3 < device.bytes.size(); i += 4) {
        left.push_back(
            static_cast<std::int16_t>(static_cast<unsigned char>(device.bytes[i]) |
                                      (static_cast<unsigned char>(device.bytes[i + 1]) << 8)));
    }
    const test::Tone heard = ToneAt(FindTones(left, 22050), 600);
    EXPECT_NEAR(heard.lengthMs, 3000, 20);
    EXPECT_NEAR(heard.rms, 0.5 / std::sqrt(2.0), 0.03);
}

TEST_F(OggPlayerTest, MissingAndDamagedFilesPlaySilenceWithoutAnError) {
    ToneSpec tone;
    const std::string good = Tone("good.ogg", tone);
    const std::string bytes = test::ReadBytes(good);
    test::WriteBytes(dir.path() + "empty.ogg", "");
    test::WriteBytes(dir.path() + "noise.ogg", std::string(5000, 'x'));
    test::WriteBytes(dir.path() + "head.ogg", bytes.substr(0, bytes.size() / 2));  // in the headers
    ASSERT_TRUE(WriteTone(dir.path() + "wave.ogg", ToneFile::Wav, tone));
    for (const char* name : {"missing.ogg", "empty.ogg", "noise.ogg", "head.ogg", "wave.ogg", ""}) {
        SCOPED_TRACE(name);
        player.SetFileName(*name ? dir.path() + name : std::string());
        std::string error;
        EXPECT_FALSE(player.Play(&error));
        EXPECT_EQ(error, "");
        EXPECT_FALSE(player.playing());
        EXPECT_EQ(player.DurationDays(), 0);
    }
    EXPECT_EQ(device.opens, 0);

    // A stream cut in its audio data plays what is there.
    tone.seconds = 5;
    const std::string whole = test::ReadBytes(Tone("long.ogg", tone));
    test::WriteBytes(dir.path() + "cut.ogg", whole.substr(0, whole.size() * 4 / 5));
    player.SetFileName(dir.path() + "cut.ogg");
    ASSERT_TRUE(player.Play());
    device.PlayToEnd();
    EXPECT_FALSE(player.playing());
    EXPECT_GT(device.bytes.size(), 44100u * 2);
    EXPECT_LT(device.bytes.size(), 5u * 44100 * 2);
}

TEST_F(OggPlayerTest, PlayingAgainStopsTheSoundThatPlays) {
    ToneSpec first;
    first.seconds = 5;
    ToneSpec second;
    second.sampleRate = 22050;
    int done = 0;
    player.SetOnDone([&] { ++done; });
    player.SetFileName(Tone("first.ogg", first));
    ASSERT_TRUE(player.Play());
    device.ReturnOne();
    player.SetFileName(Tone("second.ogg", second));
    ASSERT_TRUE(player.Play());
    EXPECT_EQ(device.resets, 1);
    EXPECT_EQ(device.opens, 2);
    EXPECT_EQ(device.format.sampleRate, 22050);
    EXPECT_EQ(done, 0);  // a stopped sound reports no end
    device.PlayToEnd();
    EXPECT_EQ(done, 1);

    player.SetFileName(Tone("third.ogg", first));
    ASSERT_TRUE(player.Play());
    player.Stop();
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(device.held(), 0u);
    EXPECT_FALSE(device.opened);
}

}  // namespace
}  // namespace dyd
