#pragma once

// Plays WAV and MP3 files (anything libsndfile reads) through the wave output.

#include <functional>
#include <memory>
#include <string>

#include "sound/wave_out.h"

namespace dyd {

class FilePlayer {
  public:
    explicit FilePlayer(AudioDevice& device);
    ~FilePlayer();
    FilePlayer(const FilePlayer&) = delete;
    FilePlayer& operator=(const FilePlayer&) = delete;

    void SetOnError(std::function<void(const std::string&)> onError) {
        onError_ = std::move(onError);
    }

    // Opens the file and starts playing it. An empty text on success; the message for the
    // learner when the file cannot be read or the output failed.
    std::string Play(const std::string& fileName);
    // Stops playing and closes the file.
    void Close();
    bool playing() const { return wave_ != nullptr; }
    // Counts the sounds that played to their end.
    int finishedCount() const { return finished_; }
    // The length of the open file in milliseconds (0 when none is open).
    long long lengthMs() const { return lengthMs_; }

  private:
    struct File;
    std::size_t Decode(char* buffer, std::size_t size);

    AudioDevice& device_;
    std::function<void(const std::string&)> onError_;
    std::unique_ptr<File> file_;
    std::unique_ptr<WaveOut> wave_;
    int finished_ = 0;
    long long lengthMs_ = 0;
};

// The message shown when a sound file cannot be played.
inline constexpr std::string_view kCannotPlayFile = "Nie można odtworzyć pliku dźwiękowego: ";

}  // namespace dyd
