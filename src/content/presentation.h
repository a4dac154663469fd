#pragma once

// The presentation: a slide show over the rows of the session plan. After a first pause it
// shows a unit's foreign text, plays its recording and waits for it, shows the translation after
// the translation pause and goes on to the next row after the next pause; past the last row it
// ends. The window supplies the timer and what is shown and heard; the learner can skip the rest
// of a pause, stop the show while the options are open and close it at any moment.

#include "core/session_plan.h"

namespace dyd {

inline constexpr int kPresentationFirstPauseMs = 600;
// The translation pause of "po chwili".
inline constexpr int kPresentationShortPauseMs = 100;
inline constexpr int kPresentationNextChoices = 5;         // "1 sek." .. "5 sek."
inline constexpr int kPresentationTranslationChoices = 5;  // "po chwili", "1 sek." .. "4 sek."
inline constexpr int kPresentationBackgroundChoices = 3;   // "Tło 1", "Tło 2", "Bez tła"

// The pause before the next unit for the list position of "Następne:" (0..4).
int PresentationNextPauseMs(int nextDelay);
// The pause before the translation for the list position of "Tłumaczenie:" (0..4).
int PresentationTranslationPauseMs(int translationDelay);

// A single-shot timer; its expiry is passed to PresentationShow::TimerFired.
class PresentationTimer {
  public:
    virtual ~PresentationTimer() = default;
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
};

// What the window does for the show.
class PresentationView {
  public:
    virtual ~PresentationView() = default;
    // Shows the unit's foreign text with the translation cleared, and has its recording at hand.
    virtual void ShowUnit(int unitNumber) = 0;
    // Plays the unit's recording and returns when it has played (at once when there is none or
    // it cannot be played).
    virtual void PlayAndWait(int unitNumber) = 0;
    virtual void ShowTranslation(int unitNumber) = 0;
    // The show went past the last row: the window closes.
    virtual void Finished() = 0;
};

class PresentationShow {
  public:
    PresentationShow(const SessionPlan& plan, PresentationTimer& timer, PresentationView& view);

    // Starts the show from before the first row with the pauses of the settings' list positions.
    void Open(int nextDelay, int translationDelay);
    void TimerFired();
    // The learner asks for the next unit at once.
    void NextNow();
    // The options are open: the show waits; Resume goes on with the pause that was running.
    void Pause();
    void Resume();
    void SetDelays(int nextDelay, int translationDelay);
    // The window closed: nothing more happens.
    void Close();

    int position() const { return position_; }
    bool translationPending() const { return translationPending_; }
    bool running() const { return running_; }
    bool paused() const { return paused_; }
    int interval() const { return interval_; }

  private:
    void NextUnit();
    void StartTimer(int ms);
    int CurrentUnit() const;

    const SessionPlan& plan_;
    PresentationTimer& timer_;
    PresentationView& view_;
    int position_ = 0;
    bool translationPending_ = false;
    bool running_ = false;
    bool paused_ = false;
    int interval_ = kPresentationFirstPauseMs;
    int nextDelay_ = 0;
    int translationDelay_ = 0;
};

}  // namespace dyd
