#pragma once

// Writing the installation: a file is replaced only when its bytes change, every file the
// generator made is listed in a manifest with the key of what it was made from, and files of an
// earlier run that are no longer made are removed. Files the program adds later (learners,
// their settings, own units) are never in the manifest and never touched.

#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace dyd::samplegen {

inline constexpr std::string_view kManifestFile = ".samplegen";

class Output {
  public:
    explicit Output(std::string installDir);

    const std::string& installDir() const { return installDir_; }

    // Writes the file unless it already holds these bytes. False (and error) on failure.
    bool Write(const std::string& relativePath, std::string_view bytes, std::string* error);

    // True when the file exists and was made from the same key by an earlier run; it is then
    // kept in the manifest.
    bool Keep(const std::string& relativePath, const std::string& key);

    // Writes a file made from key (for files that are costly to make).
    bool WriteMade(const std::string& relativePath, std::string_view bytes, const std::string& key,
                   std::string* error);

    // Makes relativePath the same file as fromRelativePath, which this run wrote or kept: a hard
    // link, or a copy where the folder takes no links.
    bool Link(const std::string& relativePath, const std::string& fromRelativePath,
              std::string* error);

    // Removes what earlier runs made and this one did not, and saves the manifest.
    bool Finish(std::string* error);

    int written() const { return written_; }
    int unchanged() const { return unchanged_; }
    int removed() const { return removed_; }

  private:
    bool Store(const std::string& relativePath, std::string_view bytes, std::string* error);

    std::string installDir_;
    std::map<std::string, std::string> previous_;  // path -> key
    std::map<std::string, std::string> current_;
    std::mutex mutex_;
    int written_ = 0;
    int unchanged_ = 0;
    int removed_ = 0;
};

// A short hex digest of bytes, for manifest keys.
std::string Digest(std::string_view bytes);

}  // namespace dyd::samplegen
