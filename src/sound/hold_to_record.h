#pragma once

// The hold-to-record button of the exercise runner: recording lasts while the left mouse
// button is held, at most 15 seconds; a recording shorter than 480 ms is refused with a
// message, a valid one is played back followed by the unit's recording. Without any microphone
// a press says so instead of recording; a recording that cannot start gives one message and
// the button is idle again at once. The window forwards the button's events and supplies the
// pictures, the timer and the sounds.

#include <optional>
#include <string>
#include <string_view>

#include "sound/recorder.h"

namespace dyd {

enum class RecordPicture { Idle, Recording, Hover };
enum class PointerButton { Left, Right, Middle };

// A single-shot timer whose expiry the window passes to TimerFired.
class RecordTimer {
  public:
    virtual ~RecordTimer() = default;
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
};

// What the window does for the control.
class HoldToRecordHost {
  public:
    virtual ~HoldToRecordHost() = default;
    // Shows the picture on the record button and paints it at once.
    virtual void ShowRecordPicture(RecordPicture picture) = 0;
    virtual void ShowCompareButton(bool visible) = 0;
    virtual void EnableRecordButton(bool enabled) = 0;
    // The program's modal message box.
    virtual void ShowMessage(std::string_view text) = 0;
    virtual void Pause(int ms) = 0;
    virtual void CloseMediaPlayer() = 0;
    virtual void PlaySound(const std::string& fileName, bool wait) = 0;
    // The length of a sound file in milliseconds; nothing when it cannot be read.
    virtual std::optional<long long> SoundLengthMs(const std::string& fileName) = 0;
    // The unit's recording to compare with: the result's once the step is answered, the
    // prompt's before.
    virtual std::string UnitRecording() = 0;
};

inline constexpr int kRecordLimitMs = 15000;
inline constexpr long long kShortestRecordingMs = 480;
inline constexpr int kStopPauseMs = 20;
inline constexpr std::string_view kHoldButtonMessage =
    "W trakcie nagrywania trzymaj cały czas wciśnięty lewy przycisk myszki!";
// A click on the record button of a machine without any recording device.
inline constexpr std::string_view kNoMicrophoneMessage =
    "Nie znaleziono mikrofonu. Podłącz mikrofon i spróbuj ponownie.";
// Opens the one message of a recording that could not start; the recorder's failure follows on
// the next line.
inline constexpr std::string_view kCannotOpenMicrophone = "Nie można otworzyć mikrofonu.";
inline constexpr std::string_view kRecordHint = "Nagrywanie";
inline constexpr std::string_view kCompareHint = "Porównaj nagrania";

class HoldToRecordControl {
  public:
    // programDir ends in "/"; the recording goes to its "tmp1.wav".
    HoldToRecordControl(Recorder& recorder, RecordTimer& timer, HoldToRecordHost& host,
                        std::string programDir);

    // A run starts: the idle picture, no compare button.
    void RunStarted();
    // A step is set up or its result shown: the compare button hides (the pronunciation
    // kind keeps it over its set-up).
    void HideCompare();

    void PointerEntered();
    void PointerLeft();
    void ButtonDown(PointerButton button);
    void ButtonUp();
    void TimerFired();
    // The compare button was clicked.
    void CompareClicked();

    bool validRecording() const { return validRecording_; }
    const std::string& recordingPath() const { return recordingPath_; }

  private:
    void StopAndCompare();
    void Compare();

    Recorder& recorder_;
    RecordTimer& timer_;
    HoldToRecordHost& host_;
    std::string recordingPath_;
    bool validRecording_ = false;
    // A recording started by this button runs and has not been stopped yet.
    bool held_ = false;
};

}  // namespace dyd
