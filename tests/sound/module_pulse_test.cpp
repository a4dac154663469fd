// The program's sound through the module it loads on first use: a sound is heard and the
// microphone is found through it; without the module the program stays silent and says that no
// device is there; and the program itself names neither the desktop's sound library nor the
// network library that comes with it.

#include <gtest/gtest.h>

#include <QObject>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "sound/audio_factory.h"
#include "sound/qt_waiter.h"
#include "sound/sound_player.h"
#include "sound_support.h"
#include "support.h"

namespace dyd {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        out.append(buffer, got);
    }
    ::pclose(pipe);
    return out;
}

TEST(SoundModule, ASoundIsHeardAndTheMicrophoneFoundThroughIt) {
    ASSERT_TRUE(test::HaveTestServer()) << "run through with-pulse.sh";
    ::setenv("DYDAKTOR_AUDIO_MODULE", DYD_AUDIO_MODULE, 1);
    test::TempDir dir;
    test::ToneSpec tone;
    tone.seconds = 1.0;
    tone.frequency = 600;
    const std::string wav = dir.path() + "a.wav";
    ASSERT_TRUE(test::WriteTone(wav, test::ToneFile::Wav, tone));
    test::MonitorCapture monitor;
    ASSERT_TRUE(monitor.Start());

    const std::unique_ptr<AudioDevice> oggDevice = MakeAudioDevice();
    const std::unique_ptr<AudioDevice> fileDevice = MakeAudioDevice();
    QtWaiter waiter;
    SoundPlayer sound(*oggDevice, *fileDevice, waiter);
    ASSERT_EQ(sound.PlaySound(wav, true), "");
    test::PumpUntil([] { return false; }, 200);
    const test::Tone heard = test::ToneAt(test::FindTones(monitor.Stop(), test::MonitorCapture::kRate), 600);
    EXPECT_NEAR(heard.lengthMs, 1000, 60);
    EXPECT_NEAR(heard.rms, 0.5 / std::sqrt(2.0), 0.15 * 0.5 / std::sqrt(2.0));

    QObject owner;
    Recorder* recorder = MakeRecorder(dir.path(), [] {}, [](const std::string&) {}, &owner);
    EXPECT_TRUE(recorder->HasMicrophone());
    EXPECT_FALSE(recorder->isRecording());
}

// In a process of its own: the module is looked for once a run.
TEST(SoundModule, WithoutTheModuleTheProgramStaysSilentAndSaysSo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("DYDAKTOR_AUDIO_MODULE", "/nonexistent/dydaktor-qtaudio.so", 1);
            PrepareAudio();
            const std::unique_ptr<AudioDevice> oggDevice = MakeAudioDevice();
            const std::unique_ptr<AudioDevice> fileDevice = MakeAudioDevice();
            QtWaiter waiter;
            SoundPlayer sound(*oggDevice, *fileDevice, waiter);
            const std::string said = sound.PlaySound(DYD_FIXTURES "/nonexistent.wav", true);
            QObject owner;
            Recorder* recorder =
                MakeRecorder("/tmp/", [] {}, [](const std::string&) {}, &owner);
            const std::optional<std::string> refused = recorder->StartRecording();
            const bool ok = fileDevice->QueryFormat(WaveFormat{}) != 0 &&
                            fileDevice->ErrorText(fileDevice->QueryFormat(WaveFormat{})) ==
                                "Brak urządzenia odtwarzającego dźwięk" &&
                            !recorder->HasMicrophone() && refused.has_value() &&
                            refused->starts_with("Brak urządzenia nagrywającego") &&
                            !recorder->isRecording();
            std::fprintf(stderr, "played: [%s]\n", said.c_str());
            std::exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "cannot be loaded");
}

TEST(SoundModule, TheProgramNamesNeitherTheSoundNorTheNetworkLibrary) {
    const std::string needed = Output("readelf -d '" DYD_PROGRAM "'");
    ASSERT_NE(needed.find("libQt6Widgets"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("libQt6Multimedia"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("libQt6Network"), std::string::npos) << needed;
    const std::string module = Output("readelf -d '" DYD_AUDIO_MODULE "'");
    EXPECT_NE(module.find("libQt6Multimedia"), std::string::npos) << module;
}

}  // namespace
}  // namespace dyd
