#pragma once

// Recording a unit's own sound in the unit editor: recording lasts while the left mouse button
// is held on the record button, at most 15 seconds, and goes to the unit's recording file
// (databaseDir + "wav/" + its id + ".wav"). A recording shorter than 480 ms is refused with the
// message about holding the button; so is one that could not be saved, and the unit then has no
// recording. The new sound replaces the unit's file only once it was saved whole and long
// enough, so a failed attempt never spoils a recording made before.

#include <optional>
#include <string>
#include <string_view>

#include "sound/hold_to_record.h"
#include "sound/recorder.h"

namespace dyd {

// What the editor's window does for the control.
class UnitRecordingHost {
  public:
    virtual ~UnitRecordingHost() = default;
    virtual void ShowRecordPicture(RecordPicture picture) = 0;
    virtual void ShowMessage(std::string_view text) = 0;
    virtual void Pause(int ms) = 0;
    // Stops any playback before the microphone opens.
    virtual void StopPlayback() = 0;
    virtual std::optional<long long> SoundLengthMs(const std::string& path) = 0;
    // A recording was made and saved as the unit's file of that name.
    virtual void RecordingAccepted(const std::string& fileName) = 0;
    // The recording failed and left the unit without a recording.
    virtual void RecordingLost() = 0;
};

inline constexpr std::string_view kRecordingNotSavedMessage =
    "Nie udało się zapisać nagrania, jednostka zostaje bez nagrania.";
inline constexpr std::string_view kRecordFolderMessage =
    "Nie można utworzyć katalogu na nagrania: ";

class UnitRecordingControl {
  public:
    UnitRecordingControl(Recorder& recorder, RecordTimer& timer, UnitRecordingHost& host);

    // The file the next recording goes to (its folder is created when a recording starts).
    void SetTarget(std::string path) { target_ = std::move(path); }
    const std::string& target() const { return target_; }

    void PointerEntered();
    void PointerLeft();
    void ButtonDown(PointerButton button);
    void ButtonUp();
    void TimerFired();

    // A recording was accepted in this sitting (until Forget).
    bool recorded() const { return recorded_; }
    void Forget() { recorded_ = false; }
    bool holding() const { return held_; }

  private:
    void Stop();
    std::string PartPath() const { return target_ + ".part"; }

    Recorder& recorder_;
    RecordTimer& timer_;
    UnitRecordingHost& host_;
    std::string target_;
    bool recorded_ = false;
    bool held_ = false;
};

}  // namespace dyd
