#pragma once

// Reading whole files and replacing files atomically.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dyd {

// The bytes of a file; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

bool FileExists(const std::string& path);
// When the file was last written, as a local day number with time; nothing when it is missing.
std::optional<double> FileModifiedDay(const std::string& path);
bool DirectoryExists(const std::string& path);

// Writes content to a temporary file in the folder of path, flushes it to disk and renames it
// over path, so that a crash or a full disk leaves either the old file or the new one, never a
// cut or missing file. On failure returns false, leaves path as it was and, when error is given,
// says why.
bool WriteFileAtomically(const std::string& path, std::string_view content,
                         std::string* error = nullptr);

// A system error for the learner: a Polish sentence for the common causes (no space left, no
// permission, a missing folder), then the system's own text in parentheses.
std::string SystemErrorText(int code);

// Removes what an atomic write that died before its rename leaves behind: files named
// "." + name + "." + six letters or digits (its temporary name) in folder. Call it only while no
// other copy of the program may be writing there. Returns the names removed.
std::vector<std::string> RemoveLeftoverTempFiles(const std::string& folder);

// The same in every folder of an installation that the program writes: programDir, the learner
// folders (named by number) and the database folders under db/.
std::vector<std::string> RemoveInstallationLeftovers(const std::string& programDir);

// A seam for tests of what survives a failed save: the atomic writes that follow fail as a full
// disk would (Fail), or the process dies (Kill), once afterBytes bytes of the new content have
// been written. Kind None turns it off.
struct WriteFault {
    enum class Kind { None, Fail, Kill };
    Kind kind = Kind::None;
    std::size_t afterBytes = 0;
};
void SetWriteFaultForTesting(WriteFault fault);

}  // namespace dyd
