#pragma once

// The recorder over the default audio input (QAudioSource). A recording that cannot start is
// returned as its failure; a failing save is reported as its error text, a space and the
// command's name, and the sequence goes on.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "sound/recorder.h"

class QAudioSource;

namespace dyd {

class QtRecorder final : public QObject, public Recorder {
    Q_OBJECT
  public:
    using Report = std::function<void(const std::string& message)>;

    // programDir ends in "/"; closeMediaPlayer stops the file player before a save.
    QtRecorder(std::string programDir, std::function<void()> closeMediaPlayer, Report report,
               QObject* parent = nullptr);
    ~QtRecorder() override;

    bool HasMicrophone() const override;
    std::optional<std::string> StartRecording() override;
    void StopRecording(const std::string& path) override;
    bool isRecording() const override { return recording_; }

    // Frames taken from the microphone so far in this recording.
    std::int64_t recordedFrames() const;
    int sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }

  private:
    class Capture;
    void Fail(std::string_view text, std::string_view command);
    static std::string Failure(std::string_view text, std::string_view command);

    std::string programDir_;
    std::function<void()> closeMediaPlayer_;
    Report report_;
    std::unique_ptr<QAudioSource> source_;
    std::unique_ptr<Capture> capture_;
    bool recording_ = false;
    int sampleRate_ = 0;
    int channels_ = 0;
};

// Texts of the recorder's errors (each followed by a space and the command's name).
inline constexpr std::string_view kNoMicrophone = "Brak urządzenia nagrywającego (mikrofonu).";
inline constexpr std::string_view kMicrophoneFailed = "Nie można rozpocząć nagrywania.";
inline constexpr std::string_view kCannotSaveRecording = "Nie można zapisać nagrania:";

}  // namespace dyd
