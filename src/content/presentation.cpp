#include "content/presentation.h"

#include <algorithm>

namespace dyd {

int PresentationNextPauseMs(int nextDelay) {
    return (std::clamp(nextDelay, 0, kPresentationNextChoices - 1) + 1) * 1000;
}

int PresentationTranslationPauseMs(int translationDelay) {
    const int delay = std::clamp(translationDelay, 0, kPresentationTranslationChoices - 1);
    return delay == 0 ? kPresentationShortPauseMs : delay * 1000;
}

PresentationShow::PresentationShow(const SessionPlan& plan, PresentationTimer& timer,
                                   PresentationView& view)
    : plan_(plan), timer_(timer), view_(view) {}

void PresentationShow::Open(int nextDelay, int translationDelay) {
    timer_.Stop();
    SetDelays(nextDelay, translationDelay);
    position_ = 0;
    translationPending_ = false;
    running_ = true;
    paused_ = false;
    StartTimer(kPresentationFirstPauseMs);
}

void PresentationShow::SetDelays(int nextDelay, int translationDelay) {
    nextDelay_ = nextDelay;
    translationDelay_ = translationDelay;
}

void PresentationShow::TimerFired() {
    if (!running_ || paused_) {
        return;
    }
    timer_.Stop();
    if (!translationPending_) {
        NextUnit();
        return;
    }
    translationPending_ = false;
    view_.ShowTranslation(CurrentUnit());
    if (running_) {
        StartTimer(PresentationNextPauseMs(nextDelay_));
    }
}

void PresentationShow::NextNow() {
    if (running_) {
        NextUnit();
    }
}

void PresentationShow::NextUnit() {
    timer_.Stop();
    interval_ = PresentationNextPauseMs(nextDelay_);
    ++position_;
    translationPending_ = false;
    if (position_ > plan_.rowCount()) {
        Close();
        view_.Finished();
        return;
    }
    const int unit = CurrentUnit();
    view_.ShowUnit(unit);
    view_.PlayAndWait(unit);
    // The window may have closed while the recording played.
    if (!running_) {
        return;
    }
    translationPending_ = true;
    StartTimer(PresentationTranslationPauseMs(translationDelay_));
}

void PresentationShow::Pause() {
    if (!running_) {
        return;
    }
    paused_ = true;
    timer_.Stop();
}

void PresentationShow::Resume() {
    if (!running_) {
        return;
    }
    paused_ = false;
    StartTimer(interval_);
}

void PresentationShow::Close() {
    running_ = false;
    paused_ = false;
    timer_.Stop();
}

void PresentationShow::StartTimer(int ms) {
    interval_ = ms;
    if (!paused_) {
        timer_.Start(ms);
    }
}

int PresentationShow::CurrentUnit() const {
    if (position_ < 1 || position_ > plan_.rowCount()) {
        return 0;
    }
    return plan_.row(position_).unitNumber;
}

}  // namespace dyd
