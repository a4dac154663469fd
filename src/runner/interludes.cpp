#include "runner/interludes.h"

#include <algorithm>

namespace dyd {

namespace {

int NextSlot(int slot) {
    return slot % kInterludePacks + 1;
}

// Whether an item of the pack can be shown at all: a pack of quotations, facts or pictures
// whose content file gave no items has nothing to show.
bool HasItems(const InterludePack& pack) {
    return pack.kind == kMatching || pack.itemCount > 0;
}

}  // namespace

void InterludeScheduler::Reset() {
    countdown_.fill(0);
    currentSlot_ = 1;
}

bool InterludeScheduler::Run(const InterludePacks& packs, Settings& settings,
                             InterludeShows& shows) {
    std::array<bool, kInterludePacks + 1> visited{};
    bool shown = false;
    currentSlot_ = NextSlot(currentSlot_);
    while (!visited[static_cast<std::size_t>(currentSlot_)] && !shown) {
        const auto slot = static_cast<std::size_t>(currentSlot_);
        visited[slot] = true;
        const InterludePack& pack = packs[slot];
        if (settings.interludeEnabled[slot] && pack.loaded && HasItems(pack)) {
            --countdown_[slot];
            if (countdown_[slot] < 1) {
                int& position = settings.interludePosition[slot];
                ++position;
                if (position > pack.itemCount || position < 1) {
                    position = 1;
                }
                countdown_[slot] = std::max(pack.period, 1);
                switch (pack.kind) {
                    case kQuotations:
                        shows.ShowQuotation(currentSlot_, position);
                        shown = true;
                        break;
                    case kPictures1:
                    case kPictures2:
                        shows.ShowPicture(currentSlot_, position);
                        shown = true;
                        break;
                    case kFacts:
                        shows.ShowFact(currentSlot_, position);
                        shown = true;
                        break;
                    case kMatching:
                        shown = shows.OfferMatching();
                        break;
                    default:
                        break;
                }
            }
        }
        if (!shown) {
            currentSlot_ = NextSlot(currentSlot_);
        }
    }
    return shown;
}

}  // namespace dyd
