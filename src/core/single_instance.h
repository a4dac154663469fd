#pragma once

// One running copy per user: the first copy holds a name in the abstract socket namespace, which
// the kernel frees when the process ends in any way, so a crash never blocks the next start.

#include <memory>
#include <string_view>

namespace dyd {

inline constexpr std::string_view kInstanceName = "Dydaktor_40_Slownictwo";

class SingleInstance {
  public:
    enum class Result { Acquired, AlreadyRunning };

    // Takes the name (joined with the user id). A system that cannot give the name for another
    // reason lets the program run.
    static Result TryAcquire(std::string_view name, std::unique_ptr<SingleInstance>& holder);

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

  private:
    explicit SingleInstance(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace dyd
