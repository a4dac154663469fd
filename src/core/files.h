#pragma once

// Reading whole files and replacing files atomically.

#include <optional>
#include <string>
#include <string_view>

namespace dyd {

// The bytes of a file; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Writes content to a temporary file in the folder of path, flushes it to disk and renames it
// over path, so that a crash or a full disk leaves either the old file or the new one, never a
// cut or missing file. On failure returns false, leaves path as it was and, when error is given,
// says why.
bool WriteFileAtomically(const std::string& path, std::string_view content,
                         std::string* error = nullptr);

}  // namespace dyd
