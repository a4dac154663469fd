// The devices where the sound library is linked in (tests, tools): made directly. The program
// itself brings its own definitions, which load the library on first use, so that this file
// and the library are never linked into it.

#include "sound/audio_factory.h"
#include "sound/qt_audio_device.h"
#include "sound/qt_recorder.h"

namespace dyd {

std::unique_ptr<AudioDevice> MakeAudioDevice() { return std::make_unique<QtAudioDevice>(); }

Recorder* MakeRecorder(std::string programDir, std::function<void()> closeMediaPlayer,
                       std::function<void(const std::string& message)> report, QObject* parent) {
    return new QtRecorder(std::move(programDir), std::move(closeMediaPlayer), std::move(report),
                          parent);
}

void PrepareAudio() {}

}  // namespace dyd
