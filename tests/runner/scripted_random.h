#pragma once

// A Random that answers from a script: each Below(n) takes the next scripted value (modulo n),
// and once the script is used up it keeps answering 0. It counts the calls, so that a test can
// tell an endless draw from a finished one.

#include <vector>

#include "core/clock.h"

namespace dyd::test {

class ScriptedRandom final : public Random {
  public:
    explicit ScriptedRandom(std::vector<int> script = {}) : script_(std::move(script)) {}

    int Below(int n) override {
        ++calls_;
        if (n < 1) {
            return 0;
        }
        const int value = next_ < script_.size() ? script_[next_++] : 0;
        return value % n;
    }

    int calls() const { return calls_; }

  private:
    std::vector<int> script_;
    std::size_t next_ = 0;
    int calls_ = 0;
};

}  // namespace dyd::test
