#pragma once

// Reading whole files and replacing files atomically.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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
