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

// Held by every running copy on one installation, whatever its user: a shared flock on
// programDir + ".dydaktor.lock", which the kernel lets go when the process ends. The copy that
// takes it while no other holds it is told so (alone) and may tidy the installation's folders.
// Without a lock file (a read-only installation) nobody is alone and nothing is tidied.
class InstallationLock {
  public:
    static std::unique_ptr<InstallationLock> Take(std::string_view programDir, bool* alone);

    ~InstallationLock();
    InstallationLock(const InstallationLock&) = delete;
    InstallationLock& operator=(const InstallationLock&) = delete;

  private:
    explicit InstallationLock(int fd) : fd_(fd) {}
    int fd_;
};

inline constexpr std::string_view kInstallationLockFile = ".dydaktor.lock";

}  // namespace dyd
