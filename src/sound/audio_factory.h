#pragma once

// The desktop's sound output and microphone, as the program makes them. The sound library of
// the desktop (Qt Multimedia with its network and PulseAudio libraries) is large and is needed
// only once a sound plays: the program proper loads it on first use from a module of its own
// (dydaktor-qtaudio.so), while tests and tools link it directly. Both give the same devices.

#include <functional>
#include <memory>
#include <string>

#include "sound/recorder.h"
#include "sound/wave_out.h"

class QObject;

namespace dyd {

// A sound output of the desktop. Without the sound library every call fails with the device's
// text for a missing device.
std::unique_ptr<AudioDevice> MakeAudioDevice();

// The microphone, owned by parent; arguments as QtRecorder takes them.
Recorder* MakeRecorder(std::string programDir, std::function<void()> closeMediaPlayer,
                       std::function<void(const std::string& message)> report, QObject* parent);

// Starts getting the sound library ready while the learner reads the login, so that the first
// sound does not wait for it; nothing where the library is linked in.
void PrepareAudio();

}  // namespace dyd
