#pragma once

// Plays Ogg Vorbis files: libvorbisfile decodes on demand, one 64 KiB buffer at a time, into
// the wave output's ring, so a long recording is never decoded whole.

#include <functional>
#include <memory>
#include <string>

#include "sound/wave_out.h"

namespace dyd {

class OggPlayer {
  public:
    explicit OggPlayer(AudioDevice& device);
    ~OggPlayer();
    OggPlayer(const OggPlayer&) = delete;
    OggPlayer& operator=(const OggPlayer&) = delete;

    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
    const std::string& fileName() const { return fileName_; }
    // Called after a sound has played to its end (not after Stop).
    void SetOnDone(std::function<void()> onDone) { onDone_ = std::move(onDone); }
    // Output errors that arise while the sound plays on.
    void SetOnError(std::function<void(const std::string&)> onError) {
        onError_ = std::move(onError);
    }

    // Stops what plays and starts the file. False, with silence, when the file is missing, is
    // no Ogg Vorbis stream or holds no sound; false with *error set when the output failed.
    bool Play(std::string* error = nullptr);
    void Stop();
    bool playing() const { return playing_; }
    // The length of the open stream in whole seconds as a fraction of a day; 0 when unknown.
    double DurationDays() const;
    // The output while playing (null otherwise).
    const WaveOut* output() const { return wave_.get(); }

  private:
    struct Stream;
    std::size_t Decode(char* buffer, std::size_t size);
    void Finished();

    AudioDevice& device_;
    std::string fileName_;
    std::function<void()> onDone_;
    std::function<void(const std::string&)> onError_;
    std::unique_ptr<Stream> stream_;
    std::unique_ptr<WaveOut> wave_;
    bool playing_ = false;
};

}  // namespace dyd
