#pragma once

// The interlude scheduler: every so many steps the runner hands over to it, and it picks the pack
// and the item to show. Showing goes through an interface, so that the windows stay out of it.

#include <array>

#include "core/interlude_packs.h"
#include "core/settings.h"

namespace dyd {

class InterludeShows {
  public:
    virtual ~InterludeShows() = default;
    virtual void ShowQuotation(int pack, int item) = 0;
    virtual void ShowFact(int pack, int item) = 0;
    virtual void ShowPicture(int pack, int item) = 0;
    // The matching exercise; false when it cannot be offered now.
    virtual bool OfferMatching() = 0;
};

class InterludeScheduler {
  public:
    // Countdowns to 0 and the current slot to 1: whenever the settings are loaded.
    void Reset();
    // At most one interlude per call; interludePosition of the shown pack moves on in settings.
    // Returns whether something was shown.
    bool Run(const InterludePacks& packs, Settings& settings, InterludeShows& shows);

    int currentSlot() const { return currentSlot_; }

  private:
    std::array<int, kInterludePacks + 1> countdown_{};
    int currentSlot_ = 1;
};

}  // namespace dyd
