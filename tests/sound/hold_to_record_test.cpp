// The hold-to-record button, driven as a window would, with a fake recorder, timer and window.

#include "sound/hold_to_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dyd {
namespace {

using Log = std::vector<std::string>;

class FakeRecorder final : public Recorder {
  public:
    explicit FakeRecorder(Log& log) : log_(log) {}
    bool HasMicrophone() const override { return microphone; }
    std::optional<std::string> StartRecording() override {
        if (!recording_) {
            log_.push_back("start recording");
            if (failure) {
                return failure;
            }
            recording_ = true;
        }
        return std::nullopt;
    }
    void StopRecording(const std::string& path) override {
        if (recording_) {
            log_.push_back("save " + path);
        }
        recording_ = false;
    }
    bool isRecording() const override { return recording_; }

    bool microphone = true;
    std::optional<std::string> failure;

  private:
    Log& log_;
    bool recording_ = false;
};

class FakeTimer final : public RecordTimer {
  public:
    explicit FakeTimer(Log& log) : log_(log) {}
    void Start(int ms) override { log_.push_back("timer " + std::to_string(ms)); }
    void Stop() override { log_.push_back("timer stop"); }

  private:
    Log& log_;
};

class FakeWindow final : public HoldToRecordHost {
  public:
    explicit FakeWindow(Log& log) : log_(log) {}
    void ShowRecordPicture(RecordPicture picture) override {
        log_.push_back(picture == RecordPicture::Idle        ? "picture idle"
                       : picture == RecordPicture::Recording ? "picture recording"
                                                             : "picture hover");
    }
    void ShowCompareButton(bool visible) override {
        compareVisible = visible;
        log_.push_back(visible ? "show compare" : "hide compare");
    }
    void EnableRecordButton(bool enabled) override {
        log_.push_back(enabled ? "enable record" : "disable record");
    }
    void ShowMessage(std::string_view text) override {
        log_.push_back("message " + std::string(text));
    }
    void Pause(int ms) override { log_.push_back("pause " + std::to_string(ms)); }
    void CloseMediaPlayer() override { log_.push_back("close player"); }
    void PlaySound(const std::string& fileName, bool wait) override {
        log_.push_back("play " + fileName + (wait ? " wait" : ""));
    }
    std::optional<long long> SoundLengthMs(const std::string& fileName) override {
        log_.push_back("length " + fileName);
        return length;
    }
    std::string UnitRecording() override { return answered ? "result.ogg" : "prompt.ogg"; }

    std::optional<long long> length;
    bool answered = false;
    bool compareVisible = false;

  private:
    Log& log_;
};

class HoldToRecordTest : public testing::Test {
  protected:
    Log log;
    FakeRecorder recorder{log};
    FakeTimer timer{log};
    FakeWindow window{log};
    HoldToRecordControl control{recorder, timer, window, "/prog/"};
    Log Take() { return std::exchange(log, {}); }
};

const Log kStart = {"picture recording", "close player", "start recording", "timer 15000"};
const Log kStop = {"timer stop", "picture idle", "pause 20", "save /prog/tmp1.wav",
                   "length /prog/tmp1.wav"};

Log Join(std::initializer_list<Log> parts) {
    Log out;
    for (const Log& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST_F(HoldToRecordTest, AQuickClickIsRefusedWithTheMessage) {
    window.length = 300;
    control.ButtonDown(PointerButton::Left);
    control.ButtonUp();
    EXPECT_EQ(Take(), Join({kStart,
                            kStop,
                            {"message W trakcie nagrywania trzymaj cały czas wciśnięty lewy "
                             "przycisk myszki!"}}));
    EXPECT_FALSE(control.validRecording());
    EXPECT_FALSE(window.compareVisible);
}

TEST_F(HoldToRecordTest, ALongHoldStopsAtTheLimitComparesAndIgnoresTheLateRelease) {
    window.length = 15000;
    control.ButtonDown(PointerButton::Left);
    control.ButtonDown(PointerButton::Left);  // a second press while recording is ignored
    control.TimerFired();
    const Log compare = {"disable record", "play /prog/tmp1.wav wait", "play prompt.ogg",
                         "enable record"};
    EXPECT_EQ(Take(), Join({kStart, kStop, {"show compare"}, compare}));
    EXPECT_TRUE(control.validRecording());
    control.ButtonUp();
    EXPECT_EQ(Take(), Log{});

    // The compare button plays the recording of the step as it is now.
    window.answered = true;
    control.CompareClicked();
    EXPECT_EQ(Take(), (Log{"disable record", "play /prog/tmp1.wav wait", "play result.ogg",
                           "enable record"}));
}

TEST_F(HoldToRecordTest, TheLengthDecidesAtTheLimit) {
    for (const auto& [length, valid] : std::vector<std::pair<std::optional<long long>, bool>>{
             {479, false}, {480, true}, {std::nullopt, false}}) {
        window.length = length;
        control.ButtonDown(PointerButton::Left);
        control.ButtonUp();
        EXPECT_EQ(control.validRecording(), valid);
        EXPECT_EQ(window.compareVisible, valid);
        window.compareVisible = false;
    }
}

TEST_F(HoldToRecordTest, APressThatRecordsNothingGivesOneMessageAndLeavesNothingRunning) {
    struct Case {
        bool microphone;
        Log press;
    };
    const Case cases[] = {
        // No recording device at all: the press says so and touches nothing else.
        {false, {"message Nie znaleziono mikrofonu. Podłącz mikrofon i spróbuj ponownie."}},
        // The microphone does not open: back to idle, the recorder's failure in one message.
        {true,
         {"picture recording", "close player", "start recording", "picture idle",
          "message Nie można otworzyć mikrofonu.\nBrak urządzenia nagrywającego. Open"}},
    };
    for (const Case& c : cases) {
        recorder.microphone = c.microphone;
        recorder.failure = "Brak urządzenia nagrywającego. Open";
        window.length = 5000;  // an earlier recording is still there
        control.ButtonDown(PointerButton::Left);
        EXPECT_EQ(Take(), c.press);
        EXPECT_FALSE(recorder.isRecording());
        control.ButtonUp();
        control.TimerFired();
        EXPECT_EQ(Take(), Log{});
        EXPECT_FALSE(window.compareVisible);
    }
}

TEST_F(HoldToRecordTest, OtherButtonsAndThePointerOnlyChangeThePicture) {
    window.length = 5000;
    control.PointerEntered();
    control.ButtonDown(PointerButton::Right);
    control.ButtonUp();  // releasing a button that started nothing does nothing
    control.TimerFired();
    control.PointerLeft();
    EXPECT_EQ(Take(), (Log{"picture hover", "picture idle"}));

    control.RunStarted();
    EXPECT_EQ(Take(), (Log{"picture idle", "hide compare"}));
}

}  // namespace
}  // namespace dyd
