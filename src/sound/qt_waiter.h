#pragma once

// Holds the caller in a local event loop that leaves out user input, so windows repaint and
// the sound goes on while the learner's clicks and keys wait.

#include "sound/waiter.h"

namespace dyd {

class QtWaiter final : public Waiter {
  public:
    void Sleep(int ms) override;
    void WaitUntil(const std::function<bool()>& finished, int timeoutMs) override;
};

}  // namespace dyd
