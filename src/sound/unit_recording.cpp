#include "sound/unit_recording.h"

#include <filesystem>
#include <system_error>

namespace dyd {

UnitRecordingControl::UnitRecordingControl(Recorder& recorder, RecordTimer& timer,
                                           UnitRecordingHost& host)
    : recorder_(recorder), timer_(timer), host_(host) {}

void UnitRecordingControl::PointerEntered() {
    if (!held_) {
        host_.ShowRecordPicture(RecordPicture::Hover);
    }
}

void UnitRecordingControl::PointerLeft() {
    if (!held_) {
        host_.ShowRecordPicture(RecordPicture::Idle);
    }
}

void UnitRecordingControl::ButtonDown(PointerButton button) {
    if (button != PointerButton::Left || held_ || recorder_.isRecording() || target_.empty()) {
        return;
    }
    if (!recorder_.HasMicrophone()) {
        host_.ShowMessage(kNoMicrophoneMessage);
        return;
    }
    const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        host_.ShowMessage(std::string(kRecordFolderMessage) + folder.string());
        return;
    }
    recorded_ = false;
    host_.ShowRecordPicture(RecordPicture::Recording);
    host_.StopPlayback();
    if (const std::optional<std::string> failure = recorder_.StartRecording()) {
        host_.ShowRecordPicture(RecordPicture::Idle);
        host_.ShowMessage(std::string(kCannotOpenMicrophone) + "\n" + *failure);
        return;
    }
    held_ = true;
    timer_.Start(kRecordLimitMs);
}

void UnitRecordingControl::ButtonUp() {
    if (held_) {
        Stop();
    }
}

void UnitRecordingControl::TimerFired() {
    if (held_) {
        Stop();
    }
}

void UnitRecordingControl::Stop() {
    held_ = false;
    timer_.Stop();
    host_.ShowRecordPicture(RecordPicture::Idle);
    host_.Pause(kStopPauseMs);
    const std::string part = PartPath();
    std::error_code error;
    std::filesystem::remove(part, error);
    recorder_.StopRecording(part);
    const std::optional<long long> length =
        std::filesystem::exists(part, error) ? host_.SoundLengthMs(part) : std::nullopt;
    if (!length) {
        std::filesystem::remove(part, error);
        host_.RecordingLost();
        host_.ShowMessage(kRecordingNotSavedMessage);
        return;
    }
    if (*length < kShortestRecordingMs) {
        std::filesystem::remove(part, error);
        host_.ShowMessage(kHoldButtonMessage);
        return;
    }
    std::filesystem::rename(part, target_, error);
    if (error) {
        std::filesystem::remove(part, error);
        host_.RecordingLost();
        host_.ShowMessage(kRecordingNotSavedMessage);
        return;
    }
    recorded_ = true;
    host_.RecordingAccepted(std::filesystem::path(target_).filename().string());
}

}  // namespace dyd
