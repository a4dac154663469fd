#include "core/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

namespace dyd {

namespace {

// The abstract address of a name: a leading zero byte, then the name and the user id.
struct AbstractAddress {
    sockaddr_un address{};
    socklen_t size = 0;
};

AbstractAddress AddressOf(std::string_view name) {
    const std::string full = std::string(name) + "." + std::to_string(::getuid());
    AbstractAddress a;
    a.address.sun_family = AF_UNIX;
    const std::size_t length = std::min(full.size(), sizeof(a.address.sun_path) - 1);
    std::memcpy(a.address.sun_path + 1, full.data(), length);
    a.size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    return a;
}

// Milliseconds left of a wait that ends at deadline.
int MsLeft(const std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

}  // namespace

SingleInstance::Result SingleInstance::TryAcquire(std::string_view name,
                                                  std::unique_ptr<SingleInstance>& holder) {
    holder.reset();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return Result::Acquired;
    }
    const AbstractAddress address = AddressOf(name);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address.address), address.size) != 0) {
        const int code = errno;
        ::close(fd);
        return code == EADDRINUSE ? Result::AlreadyRunning : Result::Acquired;
    }
    // Without a queue the name still keeps a second copy out; it is only not brought forward.
    const bool listening = ::listen(fd, 8) == 0;
    holder.reset(new SingleInstance(fd, listening));
    return Result::Acquired;
}

std::optional<std::string> SingleInstance::AskToRaise(std::string_view name, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    const AbstractAddress address = AddressOf(name);
    std::optional<std::string> answer;
    // A connection to a local listening socket is made at once or refused; it does not wait
    // for the other side to accept it.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address.address), address.size) == 0 &&
        PeerIsThisUser(fd) &&
        ::send(fd, kRaiseRequest.data(), kRaiseRequest.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(kRaiseRequest.size())) {
        std::string received;
        char buffer[256];
        for (;;) {
            pollfd wait{fd, POLLIN, 0};
            const int ready = ::poll(&wait, 1, MsLeft(deadline));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0) {
                break;
            }
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
            if (const auto end = received.find('\n'); end != std::string::npos) {
                answer = received.substr(0, end);
                break;
            }
            if (received.size() > 4096) {
                break;
            }
        }
    }
    ::close(fd);
    return answer;
}

int SingleInstance::DuplicateRequestSocket() const {
    return listening_ ? ::fcntl(fd_, F_DUPFD_CLOEXEC, 0) : -1;
}

bool SingleInstance::PeerIsThisUser(int connectedSocket) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(connectedSocket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
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
