#include "core/users.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/codepage.h"
#include "core/files.h"
#include "core/paths.h"
#include "core/text.h"

namespace dyd {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool HasNumber(const UserList& list, std::int32_t number) {
    return std::any_of(list.users.begin(), list.users.end(),
                       [number](const UserEntry& user) { return user.number == number; });
}

AddUserResult Refused(AddUserStatus status, std::string_view message) {
    AddUserResult result;
    result.status = status;
    result.message = std::string(message);
    return result;
}

// An exclusive flock on the lock file beside usr.t for as long as it lives. The kernel lets the
// lock go when the process ends, however it ends, so a crash never blocks the next copy. When the
// lock file cannot be made (a read-only folder), the list is changed without it: the write of
// usr.t then fails the same way and says why.
class UserListLock {
  public:
    explicit UserListLock(std::string_view programDir) {
        std::string path(programDir);
        if (!path.empty() && path.back() != '/') {
            path += '/';
        }
        path += kUserListLockFile;
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~UserListLock() {
        if (fd_ >= 0) {
            ::close(fd_);  // closing the only descriptor releases the lock
        }
    }
    UserListLock(const UserListLock&) = delete;
    UserListLock& operator=(const UserListLock&) = delete;

  private:
    int fd_ = -1;
};

}  // namespace

std::int32_t HighestUserFolder(std::string_view programDir) {
    std::int32_t highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::string(programDir), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name.empty() ||
            !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        const std::optional<std::int32_t> number = ParseInt(name);
        if (number && *number > highest) {
            highest = *number;
        }
    }
    return highest;
}

UserList ParseUserList(std::string_view bytes) {
    UserList list;
    for (const std::string_view raw : SplitLines(bytes)) {
        const std::string_view line = TrimView(raw);
        if (line.empty()) {
            continue;
        }
        const std::size_t eq = line.find('=');
        std::optional<std::int32_t> number;
        if (eq != std::string_view::npos) {
            number = ParseInt(TrimView(line.substr(0, eq)));
        }
        if (!number || *number < 1 || HasNumber(list, *number) || list.full()) {
            list.keptLines.emplace_back(line);
            continue;
        }
        list.users.push_back({*number, Trim(line.substr(eq + 1))});
    }
    return list;
}

std::string FormatUserList(const UserList& list) {
    std::string out;
    for (const UserEntry& user : list.users) {
        out += std::to_string(user.number);
        out += '=';
        out += user.name;
        out += kCrLf;
    }
    for (const std::string& line : list.keptLines) {
        out += line;
        out += kCrLf;
    }
    return out;
}

UserList LoadUserList(std::string_view programDir) {
    if (!FileExistsUnder(programDir, kUserListFile)) {
        return {};
    }
    const std::optional<std::string> bytes = ReadFileBytes(ResolvePath(programDir, kUserListFile));
    if (!bytes) {
        UserList list;
        list.unreadable = true;
        return list;
    }
    return ParseUserList(*bytes);
}

AddUserResult AddUser(std::string_view programDir, UserList& list, std::string_view name) {
    const UserListLock lock(programDir);
    list = LoadUserList(programDir);
    if (list.unreadable) {
        return Refused(AddUserStatus::Unreadable, kUserListUnreadableMessage);
    }
    if (list.full()) {
        return Refused(AddUserStatus::ListFull, kUserListFullMessage);
    }
    const std::string_view trimmed = TrimView(name);
    if (static_cast<int>(trimmed.size()) < kMinUserNameLength) {
        return Refused(AddUserStatus::TooShort, kUserNameTooShortMessage);
    }
    if (static_cast<int>(trimmed.size()) > kMaxUserNameLength) {
        return Refused(AddUserStatus::TooLong, kUserNameTooLongMessage);
    }
    if (std::any_of(trimmed.begin(), trimmed.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 32; })) {
        return Refused(AddUserStatus::BadCharacter, kUserNameControlMessage);
    }
    const std::string lowered = LowerAZ(trimmed);
    for (const UserEntry& user : list.users) {
        if (LowerAZ(user.name) == lowered) {
            return Refused(AddUserStatus::Duplicate, kDuplicateUserMessage);
        }
    }
    std::int64_t highest = HighestUserFolder(programDir);
    for (const UserEntry& user : list.users) {
        highest = std::max<std::int64_t>(highest, user.number);
    }
    if (highest >= std::numeric_limits<std::int32_t>::max()) {
        return Refused(AddUserStatus::NoNumber, kNoUserNumberMessage);
    }

    UserList grown = list;
    const auto number = static_cast<std::int32_t>(highest + 1);
    grown.users.push_back({number, std::string(trimmed)});
    std::string reason;
    if (!WriteFileAtomically(ResolvePath(programDir, kUserListFile), FormatUserList(grown),
                             &reason)) {
        AddUserResult result = Refused(AddUserStatus::WriteFailed, kUserListNotSavedMessage);
        result.message += " (" + reason + ")";
        return result;
    }
    list = std::move(grown);
    AddUserResult result;
    result.number = number;
    return result;
}

std::optional<std::string> UserNameFromUtf8(std::string_view utf8, std::string* message) {
    std::string bad;
    std::optional<std::string> bytes = FromUtf8(utf8, CodePage::Cp1250, &bad);
    if (!bytes && message != nullptr) {
        if (LooksLikeUtf8(bad)) {
            *message = "Znak \u201E" + bad +
                       "\u201D nie może być użyty w identyfikatorze. Proszę wprowadzić inny.";
        } else {
            *message = "Identyfikator zawiera niepoprawne znaki. Proszę wprowadzić inny.";
        }
    }
    return bytes;
}

std::string SkippedUserLinesMessage(const UserList& list, std::string_view programDir) {
    if (list.keptLines.empty()) {
        return {};
    }
    std::string first = list.keptLines.front().substr(0, 40);
    for (char& c : first) {
        if (static_cast<unsigned char>(c) < 32) {
            c = '?';
        }
    }
    return "Pominięto wiersze listy uczniów, które nie opisują ucznia (" +
           std::to_string(list.keptLines.size()) + "), pierwszy: \u201E" +
           ToUtf8(first, CodePage::Cp1250) + "\u201D. Plik: " + std::string(programDir) +
           std::string(kUserListFile) + " (wiersze zostają w pliku).";
}

std::string UserDirOf(std::string_view programDir, std::int32_t number) {
    std::string dir(programDir);
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    dir += std::to_string(number);
    dir += '/';
    return dir;
}

EnsureUserDirResult EnsureUserDir(std::string_view programDir, std::int32_t number) {
    EnsureUserDirResult result;
    const std::string dir = UserDirOf(programDir, number);
    std::error_code code;
    std::filesystem::create_directory(dir, code);
    if (code || !DirectoryExists(dir)) {
        result.error = "Nie można utworzyć katalogu użytkownika " + dir;
        if (code) {
            result.error += ": " + SystemErrorText(code.value());
        }
        result.error += ".";
        return result;
    }
    result.userDir = dir;
    return result;
}

}  // namespace dyd
