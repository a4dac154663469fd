#pragma once

// The one way to play a recording: PlaySound sends Ogg files (names ending in a lower-case
// "g") to the Ogg player and every other file to the file player. There is one player of each
// kind, so a new sound always replaces the one playing.

#include <functional>
#include <string>

#include "sound/file_player.h"
#include "sound/ogg_player.h"
#include "sound/waiter.h"

namespace dyd {

class SoundPlayer {
  public:
    SoundPlayer(AudioDevice& oggDevice, AudioDevice& fileDevice, Waiter& waiter);

    // Plays fileName; nothing happens when the name is empty or the file does not exist.
    // With wait, an Ogg file holds the caller for its length in whole seconds, or 3 seconds
    // when it is 6 seconds or longer, while it goes on playing; any other file holds the caller
    // until it has been played. Returns the message for the learner's error box, empty when
    // there is none (a damaged Ogg file plays as silence).
    std::string PlaySound(const std::string& fileName, bool wait);

    // Stops the file player and closes its file.
    void CloseMediaPlayer() { file_.Close(); }

    // Errors of the output that arise while a sound plays on, after PlaySound returned.
    void SetOnError(std::function<void(const std::string&)> onError);

    OggPlayer& ogg() { return ogg_; }
    FilePlayer& file() { return file_; }

  private:
    OggPlayer ogg_;
    FilePlayer file_;
    Waiter& waiter_;
};

// How long a waiting PlaySound holds the caller for an Ogg file of the given length.
int OggWaitMs(double durationDays);

// Opens the file, reads its first byte and closes it, so that a disc drive spins up before
// the recording is played. Nothing happens for an empty name or a missing file.
void TouchRecording(const std::string& fileName);

}  // namespace dyd
