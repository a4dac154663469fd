#include "sound/hold_to_record.h"

#include "core/paths.h"

namespace dyd {

HoldToRecordControl::HoldToRecordControl(Recorder& recorder, RecordTimer& timer,
                                         HoldToRecordHost& host, std::string programDir)
    : recorder_(recorder),
      timer_(timer),
      host_(host),
      recordingPath_(ResolvePath(programDir, kTempRecordingName)) {}

void HoldToRecordControl::RunStarted() {
    host_.ShowRecordPicture(RecordPicture::Idle);
    host_.ShowCompareButton(false);
}

void HoldToRecordControl::HideCompare() {
    host_.ShowCompareButton(false);
}

void HoldToRecordControl::PointerEntered() {
    host_.ShowRecordPicture(RecordPicture::Hover);
}

void HoldToRecordControl::PointerLeft() {
    host_.ShowRecordPicture(RecordPicture::Idle);
}

void HoldToRecordControl::ButtonDown(PointerButton button) {
    if (button != PointerButton::Left || recorder_.isRecording()) {
        return;
    }
    if (!recorder_.HasMicrophone()) {
        host_.ShowMessage(kNoMicrophoneMessage);
        return;
    }
    host_.ShowRecordPicture(RecordPicture::Recording);
    host_.CloseMediaPlayer();
    if (const std::optional<std::string> failure = recorder_.StartRecording()) {
        // Nothing records: no time limit, no release to wait for, nothing to save or play; the
        // last recording stays as it was.
        host_.ShowRecordPicture(RecordPicture::Idle);
        host_.ShowMessage(std::string(kCannotOpenMicrophone) + "\n" + *failure);
        return;
    }
    validRecording_ = false;
    held_ = true;
    timer_.Start(kRecordLimitMs);
}

void HoldToRecordControl::ButtonUp() {
    // Only the release that ends a recording of this button counts: after the time limit has
    // stopped it, or after a button that started nothing, the release does nothing.
    if (!validRecording_ && held_) {
        StopAndCompare();
    }
}

void HoldToRecordControl::TimerFired() {
    if (held_) {
        StopAndCompare();
    }
}

void HoldToRecordControl::StopAndCompare() {
    held_ = false;
    timer_.Stop();
    host_.ShowRecordPicture(RecordPicture::Idle);
    host_.Pause(kStopPauseMs);
    recorder_.StopRecording(recordingPath_);
    const std::optional<long long> length = host_.SoundLengthMs(recordingPath_);
    if (length && *length >= kShortestRecordingMs) {
        validRecording_ = true;
        host_.ShowCompareButton(true);
        Compare();
    } else {
        validRecording_ = false;
        host_.ShowMessage(kHoldButtonMessage);
    }
}

void HoldToRecordControl::CompareClicked() {
    Compare();
}

void HoldToRecordControl::Compare() {
    host_.EnableRecordButton(false);
    host_.PlaySound(recordingPath_, true);
    host_.PlaySound(host_.UnitRecording(), false);
    host_.EnableRecordButton(true);
}

}  // namespace dyd
