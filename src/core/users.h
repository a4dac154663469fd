#pragma once

// The learners of an installation: the list in programDir + "usr.t" (one line per learner,
// number "=" name, names in Windows-1250) and the learner folders named by number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dyd {

inline constexpr std::string_view kUserListFile = "usr.t";
inline constexpr std::string_view kUserListLockFile = "usr.t.lock";
inline constexpr int kMaxUsers = 50;
inline constexpr int kMaxUserNameLength = 30;
inline constexpr int kMinUserNameLength = 2;

struct UserEntry {
    std::int32_t number = 0;  // above 0; also the name of the learner's folder
    std::string name;         // trimmed, Windows-1250

    bool operator==(const UserEntry&) const = default;
};

struct UserList {
    std::vector<UserEntry> users;  // file order, at most kMaxUsers
    // Non-empty lines that gave no entry (no number, a number below 1 or used before, or past
    // kMaxUsers entries), trimmed. They are written back after the entries, so that rewriting
    // the list loses nothing.
    std::vector<std::string> keptLines;
    // The file exists but could not be read: the list must not be rewritten.
    bool unreadable = false;

    bool full() const { return static_cast<int>(users.size()) >= kMaxUsers; }
};

// The entries of usr.t: each line trimmed; a line without "=" gives no entry; the number is the
// text before the first "=", the name the trimmed rest.
UserList ParseUserList(std::string_view bytes);

// The entries in list order as number "=" name, then the kept lines, each ended by CR LF.
std::string FormatUserList(const UserList& list);

// Reads programDir + "usr.t"; an absent file gives an empty list.
UserList LoadUserList(std::string_view programDir);

enum class AddUserStatus {
    Added,
    Duplicate,     // a learner of that name exists (A-Z compared without case)
    TooShort,      // fewer than 2 characters after trimming
    TooLong,       // more than 30 characters after trimming
    BadCharacter,  // a control character inside the name
    ListFull,      // kMaxUsers learners exist
    NoNumber,      // the highest number in use leaves no next one
    Unreadable,    // usr.t could not be read, so it is not rewritten
    WriteFailed,   // usr.t could not be written; the list is as it was
};

inline constexpr std::string_view kDuplicateUserMessage =
    "Wpisany identyfikator już istnieje. Proszę wprowadzić inny.";
inline constexpr std::string_view kUserNameTooShortMessage =
    "Identyfikator musi mieć co najmniej 2 znaki.";
inline constexpr std::string_view kUserNameTooLongMessage =
    "Identyfikator może mieć najwyżej 30 znaków.";
inline constexpr std::string_view kUserNameControlMessage =
    "Identyfikator nie może zawierać znaków sterujących.";
inline constexpr std::string_view kUserListFullMessage =
    "Nie można dodać kolejnego użytkownika: lista może zawierać najwyżej 50 użytkowników.";
inline constexpr std::string_view kNoUserNumberMessage =
    "Nie można nadać numeru nowemu użytkownikowi.";
inline constexpr std::string_view kUserListUnreadableMessage =
    "Nie można odczytać listy użytkowników (plik usr.t).";
inline constexpr std::string_view kUserListNotSavedMessage =
    "Nie udało się zapisać listy użytkowników (plik usr.t).";

struct AddUserResult {
    AddUserStatus status = AddUserStatus::Added;
    std::int32_t number = 0;  // the new learner's number, when added
    std::string message;      // UTF-8, for the learner, when refused
    bool added() const { return status == AddUserStatus::Added; }
};

// Adds a learner named name (Windows-1250, trimmed here) and rewrites programDir + "usr.t".
// Another copy of the program may have changed the list since it was read, so the file is read
// again under a lock (programDir + "usr.t.lock", held with flock: a process that dies lets it go)
// and list becomes what the file holds, with the new learner at its end. The new number is above
// every number in the list and every learner folder on disk, so an existing folder is never given
// to a new learner. On refusal the file stays as it was.
AddUserResult AddUser(std::string_view programDir, UserList& list, std::string_view name);

// The highest learner folder of the installation: folders of programDir named by a number above 0;
// 0 when there is none.
std::int32_t HighestUserFolder(std::string_view programDir);

// A name typed at the window (UTF-8) in Windows-1250; nothing, and a message, when it holds a
// character the code page cannot hold or is not valid UTF-8.
std::optional<std::string> UserNameFromUtf8(std::string_view utf8, std::string* message);

// Said once after a login when usr.t holds lines that gave no learner (UTF-8): how many, the
// first of them and the file; empty when there are none.
std::string SkippedUserLinesMessage(const UserList& list, std::string_view programDir);

// programDir + number + "/".
std::string UserDirOf(std::string_view programDir, std::int32_t number);

struct EnsureUserDirResult {
    std::string userDir;  // ending in "/", when it exists
    std::string error;    // UTF-8 message and the reason, when it could not be created
    bool ok() const { return error.empty(); }
};

// The learner's folder, created when it does not exist yet.
EnsureUserDirResult EnsureUserDir(std::string_view programDir, std::int32_t number);

}  // namespace dyd
