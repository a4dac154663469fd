#include "core/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "core/clock.h"
#include "core/file_stamps.h"
#include "core/paths.h"

namespace dyd {

std::optional<std::string> ReadFileBytes(const std::string& path) {
    NoteFileLookedAt(path);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    // Read straight into a string of the file's size. Its end is found by a read into a small
    // buffer, so that the string is neither grown nor copied; a file that grows meanwhile is
    // read to its end.
    std::string bytes(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0, '\0');
    std::size_t used = 0;
    for (;;) {
        char probe[4096];
        const bool full = used == bytes.size();
        char* target = full ? probe : bytes.data() + used;
        const std::size_t room = full ? sizeof probe : bytes.size() - used;
        const ssize_t n = ::read(fd, target, room);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        if (full) {
            bytes.append(probe, static_cast<std::size_t>(n));
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

bool FileExists(const std::string& path) {
    NoteFileLookedAt(path);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    NoteFileLookedAt(path);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string SystemErrorText(int code) {
    std::string_view cause;
    switch (code) {
        case ENOSPC:
        case EDQUOT:
            cause = "brak miejsca na dysku";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            cause = "brak uprawnień do zapisu";
            break;
        case ENOENT:
        case ENOTDIR:
            cause = "folder nie istnieje";
            break;
        default:
            cause = "błąd systemu";
    }
    return std::string(cause) + " (" + std::strerror(code) + ")";
}

namespace {

std::atomic<int> gFaultKind{0};
std::atomic<std::size_t> gFaultAfter{0};

bool Fail(std::string* error, const std::string& what, int code) {
    if (error != nullptr) {
        *error = what + ": " + SystemErrorText(code);
    }
    return false;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void SetWriteFaultForTesting(WriteFault fault) {
    gFaultAfter = fault.afterBytes;
    gFaultKind = static_cast<int>(fault.kind);
}

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error) {
    const std::string folder = FolderOf(path);
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return Fail(error, path, errno);
    }
    // Keep the permissions of the file being replaced; a new file, or one that replaces a link
    // to an installed file, gets the usual ones.
    struct stat old {};
    mode_t mode = 0644;
    if (::lstat(path.c_str(), &old) == 0 && !S_ISLNK(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    const char* data = content.data();
    std::size_t left = content.size();
    const auto fault = static_cast<WriteFault::Kind>(gFaultKind.load());
    if (fault != WriteFault::Kind::None) {
        left = std::min(left, gFaultAfter.load());
    }
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int code = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return Fail(error, path, code);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (fault == WriteFault::Kind::Kill) {
        ::raise(SIGKILL);
    }
    if (fault == WriteFault::Kind::Fail) {
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error, path, ENOSPC);
    }
    if (::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error, path, code);
    }
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temp.c_str());
        return Fail(error, path, code);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temp.c_str());
        return Fail(error, path, code);
    }
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::optional<double> FileModifiedDay(const std::string& path) {
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
    const auto system = std::chrono::file_clock::to_sys(modified);
    return LocalDayNumber(
        std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count());
}

namespace {

bool IsLeftoverTempName(std::string_view name) {
    constexpr std::size_t kSuffix = 6;  // mkstemp's XXXXXX
    if (name.size() < 1 + 1 + 1 + kSuffix || name.front() != '.' ||
        name[name.size() - kSuffix - 1] != '.') {
        return false;
    }
    const std::string_view suffix = name.substr(name.size() - kSuffix);
    return std::all_of(suffix.begin(), suffix.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

}  // namespace

std::vector<std::string> RemoveLeftoverTempFiles(const std::string& folder) {
    std::vector<std::string> removed;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (IsLeftoverTempName(name) && it->is_regular_file(typeError) &&
            std::filesystem::remove(it->path(), typeError)) {
            removed.push_back(it->path().string());
        }
    }
    return removed;
}

std::vector<std::string> RemoveInstallationLeftovers(const std::string& programDir) {
    std::vector<std::string> folders{programDir};
    std::error_code ec;
    for (std::filesystem::directory_iterator it(programDir, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_directory(typeError) && !name.empty() &&
            std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            folders.push_back(it->path().string());
        }
    }
    std::error_code dbError;
    for (std::filesystem::directory_iterator it(ResolvePath(programDir, "db"), dbError), end;
         !dbError && it != end; it.increment(dbError)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            folders.push_back(it->path().string());
        }
    }
    std::vector<std::string> removed;
    for (const std::string& folder : folders) {
        std::vector<std::string> here = RemoveLeftoverTempFiles(folder);
        removed.insert(removed.end(), here.begin(), here.end());
    }
    return removed;
}

}  // namespace dyd
