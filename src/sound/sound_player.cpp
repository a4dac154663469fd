#include "sound/sound_player.h"

#include <cmath>
#include <cstdio>

#include "core/files.h"

namespace dyd {

namespace {
// How much longer than its length a file may take to play before the caller is let go.
constexpr long long kWaitMarginMs = 5000;
}  // namespace

SoundPlayer::SoundPlayer(AudioDevice& oggDevice, AudioDevice& fileDevice, Waiter& waiter)
    : ogg_(oggDevice), file_(fileDevice), waiter_(waiter) {}

void SoundPlayer::SetOnError(std::function<void(const std::string&)> onError) {
    ogg_.SetOnError(onError);
    file_.SetOnError(std::move(onError));
}

int OggWaitMs(double durationDays) {
    const long long ms = std::llround(durationDays * 86400.0) * 1000;
    return ms >= 6000 ? 3000 : static_cast<int>(ms);
}

std::string SoundPlayer::PlaySound(const std::string& fileName, bool wait) {
    if (fileName.empty() || !FileExists(fileName)) {
        return {};
    }
    file_.Close();
    if (fileName.back() == 'g') {
        ogg_.SetFileName(fileName);
        std::string error;
        ogg_.Play(&error);
        if (!error.empty()) {
            return error;
        }
        if (wait) {
            const int ms = OggWaitMs(ogg_.DurationDays());
            if (ms > 0) {
                waiter_.Sleep(ms);
            }
        }
        return {};
    }
    if (ogg_.playing()) {
        ogg_.Stop();
    }
    std::string error = file_.Play(fileName);
    if (!error.empty()) {
        return error;
    }
    if (wait && file_.playing()) {
        const int finished = file_.finishedCount();
        waiter_.WaitUntil(
            [this, finished] { return file_.finishedCount() != finished || !file_.playing(); },
            static_cast<int>(file_.lengthMs() + kWaitMarginMs));
        if (file_.finishedCount() == finished) {
            file_.Close();  // the output never reported the end: do not let it hang on
        }
    }
    return {};
}

void TouchRecording(const std::string& fileName) {
    if (fileName.empty() || !FileExists(fileName)) {
        return;
    }
    if (std::FILE* file = std::fopen(fileName.c_str(), "rbe")) {
        (void)std::fgetc(file);
        std::fclose(file);
    }
}

}  // namespace dyd
