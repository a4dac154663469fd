#pragma once

// How a caller is held while a sound plays: the sound and the window's painting go on, the
// learner's input waits.

#include <functional>

namespace dyd {

class Waiter {
  public:
    virtual ~Waiter() = default;
    // Holds the caller for ms milliseconds.
    virtual void Sleep(int ms) = 0;
    // Holds the caller until finished() is true, or at most timeoutMs milliseconds.
    virtual void WaitUntil(const std::function<bool()>& finished, int timeoutMs) = 0;
};

}  // namespace dyd
