// Recording a unit's sound in the editor, with a recorder that writes real WAV files of a chosen
// length, so that the length the control reads is that of the file it finds.

#include "sound/unit_recording.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sound/wav_file.h"
#include "support.h"

namespace dyd {
namespace {

class WavRecorder final : public Recorder {
  public:
    bool HasMicrophone() const override { return true; }
    std::optional<std::string> StartRecording() override {
        recording_ = true;
        return std::nullopt;
    }
    void StopRecording(const std::string& path) override {
        if (recording_ && saves) {
            const std::vector<std::int16_t> samples(static_cast<std::size_t>(lengthMs) * 8, 100);
            WriteWav16(path, samples, 1, 8000);
        }
        recording_ = false;
    }
    bool isRecording() const override { return recording_; }

    int lengthMs = 1000;
    bool saves = true;

  private:
    bool recording_ = false;
};

class Timer final : public RecordTimer {
  public:
    void Start(int ms) override { running = ms; }
    void Stop() override { running = 0; }
    int running = 0;
};

class Window final : public UnitRecordingHost {
  public:
    void ShowRecordPicture(RecordPicture p) override { picture = p; }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void Pause(int) override {}
    void StopPlayback() override { ++stops; }
    std::optional<long long> SoundLengthMs(const std::string& path) override {
        return WavLengthMs(path);
    }
    void RecordingAccepted(const std::string& name) override { attached = name; }
    void RecordingLost() override { attached.clear(); }

    RecordPicture picture = RecordPicture::Idle;
    std::vector<std::string> messages;
    std::string attached;
    int stops = 0;
};

struct Rig {
    test::TempDir dir;
    WavRecorder recorder;
    Timer timer;
    Window window;
    UnitRecordingControl control{recorder, timer, window};
    std::string target = dir.path() + "db/own/wav/81007.wav";
    Rig() { control.SetTarget(target); }
};

TEST(UnitRecording, AHeldButtonRecordsTheUnitsFile) {
    Rig r;
    r.control.ButtonDown(PointerButton::Left);
    EXPECT_EQ(r.window.picture, RecordPicture::Recording);
    EXPECT_EQ(r.timer.running, 15000);
    EXPECT_EQ(r.window.stops, 1);
    r.control.ButtonUp();
    EXPECT_EQ(r.window.picture, RecordPicture::Idle);
    EXPECT_EQ(r.timer.running, 0);
    EXPECT_TRUE(r.control.recorded());
    EXPECT_EQ(r.window.attached, "81007.wav");
    EXPECT_EQ(WavLengthMs(r.target), 1000);
    EXPECT_FALSE(std::filesystem::exists(r.target + ".part"));
    EXPECT_TRUE(r.window.messages.empty());

    // The limit stops it; the later release does nothing.
    r.control.ButtonDown(PointerButton::Left);
    r.recorder.lengthMs = 15000;
    r.control.TimerFired();
    r.control.ButtonUp();
    EXPECT_EQ(WavLengthMs(r.target), 15000);
    EXPECT_TRUE(r.window.messages.empty());
    // Other buttons do nothing.
    r.control.ButtonDown(PointerButton::Right);
    EXPECT_FALSE(r.recorder.isRecording());
}

TEST(UnitRecording, ShortOrUnsavedRecordingsAreNotAttached) {
    struct Case {
        const char* what;
        int lengthMs;
        bool saves;
        std::string message;
        bool keepsAttached;
    };
    const Case cases[] = {
        {"a click", 479, true, std::string(kHoldButtonMessage), true},
        {"the save failed", 1000, false, std::string(kRecordingNotSavedMessage), false},
    };
    for (const Case& c : cases) {
        Rig r;
        r.control.ButtonDown(PointerButton::Left);
        r.control.ButtonUp();
        ASSERT_EQ(r.window.attached, "81007.wav");
        const std::string before = test::ReadBytes(r.target);
        r.recorder.lengthMs = c.lengthMs;
        r.recorder.saves = c.saves;
        r.control.ButtonDown(PointerButton::Left);
        r.control.ButtonUp();
        EXPECT_FALSE(r.control.recorded()) << c.what;
        EXPECT_EQ(r.window.messages, std::vector<std::string>{c.message}) << c.what;
        EXPECT_EQ(r.window.attached.empty(), !c.keepsAttached) << c.what;
        // The file made before is never spoilt by a failed attempt.
        EXPECT_EQ(test::ReadBytes(r.target), before) << c.what;
        EXPECT_FALSE(std::filesystem::exists(r.target + ".part")) << c.what;
    }
}

}  // namespace
}  // namespace dyd
