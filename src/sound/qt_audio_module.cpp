// The module the program loads on its first sound: the desktop's sound output and microphone
// behind two plain entry points. Only these are visible outside the module.

#include <QObject>
#include <functional>
#include <string>

#include "sound/qt_audio_device.h"
#include "sound/qt_audio_module.h"
#include "sound/qt_recorder.h"

extern "C" {

__attribute__((visibility("default"))) dyd::AudioDevice* dyd_audio_make_device() {
    return new dyd::QtAudioDevice();
}

__attribute__((visibility("default"))) dyd::Recorder* dyd_audio_make_recorder(
    const dyd::RecorderArguments* arguments, QObject* parent) {
    return new dyd::QtRecorder(arguments->programDir, arguments->closeMediaPlayer,
                               arguments->report, parent);
}

__attribute__((visibility("default"))) int dyd_audio_interface_version() {
    return dyd::kAudioModuleInterface;
}

}  // extern "C"
