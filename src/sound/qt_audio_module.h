#pragma once

// What the program and its sound module agree on: the module's file name, its entry points and
// the version of this agreement, which a module of another build must match.

#include <functional>
#include <string>
#include <string_view>

#include "sound/recorder.h"
#include "sound/wave_out.h"

class QObject;

namespace dyd {

inline constexpr std::string_view kAudioModuleFile = "dydaktor-qtaudio.so";
inline constexpr int kAudioModuleInterface = 1;

struct RecorderArguments {
    std::string programDir;
    std::function<void()> closeMediaPlayer;
    std::function<void(const std::string& message)> report;
};

using MakeDeviceEntry = AudioDevice* (*)();
using MakeRecorderEntry = Recorder* (*)(const RecorderArguments* arguments, QObject* parent);
using InterfaceVersionEntry = int (*)();

}  // namespace dyd
