#include "core/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace dyd {

SingleInstance::Result SingleInstance::TryAcquire(std::string_view name,
                                                  std::unique_ptr<SingleInstance>& holder) {
    holder.reset();
    const std::string full = std::string(name) + "." + std::to_string(::getuid());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return Result::Acquired;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::min(full.size(), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, full.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        const int code = errno;
        ::close(fd);
        return code == EADDRINUSE ? Result::AlreadyRunning : Result::Acquired;
    }
    holder.reset(new SingleInstance(fd));
    return Result::Acquired;
}

SingleInstance::~SingleInstance() {
    ::close(fd_);
}

std::unique_ptr<InstallationLock> InstallationLock::Take(std::string_view programDir, bool* alone) {
    *alone = false;
    std::string path(programDir);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += kInstallationLockFile;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return nullptr;
    }
    // Exclusive for a moment when nobody else holds it, then shared like every other copy's.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        *alone = true;
    }
    while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {
    }
    return std::unique_ptr<InstallationLock>(new InstallationLock(fd));
}

InstallationLock::~InstallationLock() {
    ::close(fd_);
}

}  // namespace dyd
