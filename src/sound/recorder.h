#pragma once

// A microphone recorder: start a recording, stop it into a WAV file.

#include <optional>
#include <string>
#include <string_view>

namespace dyd {

class Recorder {
  public:
    virtual ~Recorder() = default;
    // Whether the machine has any recording device at all.
    virtual bool HasMicrophone() const = 0;
    // Does nothing while a recording runs; otherwise opens the microphone and records. When no
    // recording could start, nothing runs afterwards (there is nothing to stop or save) and the
    // failure is returned, not reported: its error text, a space and the failed command's name.
    virtual std::optional<std::string> StartRecording() = 0;
    // While recording: closes the file player, saves what was recorded into path (the
    // program folder's temporary recording when path is empty) and closes the microphone.
    // Afterwards no recording runs, whatever happened.
    virtual void StopRecording(const std::string& path) = 0;
    virtual bool isRecording() const = 0;
};

// The learner's temporary recording in the program folder, overwritten by every recording.
inline constexpr std::string_view kTempRecordingName = "tmp1.wav";

// The names of the recorder's commands, added to the error texts the learner sees.
inline constexpr std::string_view kOpenCommand = "Open";
inline constexpr std::string_view kRecordCommand = "Record";
inline constexpr std::string_view kSaveCommand = "Save";
inline constexpr std::string_view kCloseCommand = "Close";

}  // namespace dyd
