#pragma once

// One running copy per user: the first copy holds a name in the abstract socket namespace, which
// the kernel frees when the process ends in any way, so a crash never blocks the next start.
// The name is a listening socket: a later start connects to it, asks the running copy to bring
// its window to the front and ends. Requests that arrive before the running copy serves them
// wait in the socket's queue.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dyd {

inline constexpr std::string_view kInstanceName = "Dydaktor_40_Slownictwo";
// What a later start sends; the running copy answers with the objectName of the window it
// brought to the front and a line feed ("-" when it had none to show).
inline constexpr std::string_view kRaiseRequest = "raise\n";

class SingleInstance {
  public:
    enum class Result { Acquired, AlreadyRunning };

    // Takes the name (joined with the user id). A system that cannot give the name for another
    // reason lets the program run.
    static Result TryAcquire(std::string_view name, std::unique_ptr<SingleInstance>& holder);

    // Asks the copy that holds the name to bring its window to the front: its answer without
    // the line feed, or nothing when no copy listens or none answered within timeoutMs.
    static std::optional<std::string> AskToRaise(std::string_view name, int timeoutMs);

    // Whether the process at the other end of a connected local socket runs as this user:
    // requests of other users are not served.
    static bool PeerIsThisUser(int connectedSocket);

    // A descriptor of the listening socket on which requests arrive (non-blocking), for the
    // caller to own and close; -1 when the system gave no queue.
    int DuplicateRequestSocket() const;

    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

  private:
    SingleInstance(int fd, bool listening) : fd_(fd), listening_(listening) {}
    int fd_;
    bool listening_;
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
