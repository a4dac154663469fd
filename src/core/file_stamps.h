#pragma once

// The files a piece of work looked at, each with what the system said of it at that moment
// (there or not, its inode, size and change times), so that a result worked out ahead of time can
// be checked against the files as they are now. A folder listed to find a name stands for the
// names in it: any entry made, removed or renamed there changes its times.
//
// File times are coarse (a clock tick of a few milliseconds, or whole seconds on some file
// systems), so a file changed twice within one tick keeps its times. A path whose change time lies
// within the racy window before it was noted (or after it) could change again unseen: stamps
// holding such a path are never taken as unchanged. The window is two seconds for times in whole
// seconds and a tenth of a second for finer times.

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace dyd {

class FileStamps {
  public:
    // Notes path as it is now; a path noted before keeps its first stamp.
    void Note(const std::string& path);
    // Whether every noted path still is what it was when noted, and none was racy.
    bool Unchanged() const;
    std::size_t size() const { return stamps_.size(); }

  private:
    struct Stamp {
        std::string path;
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    bool racy_ = false;
    static Stamp Take(const std::string& path);

    std::vector<Stamp> stamps_;
    std::unordered_set<std::string> noted_;
};

// While a scope lives, every file and folder that this thread reads, probes or lists through
// files.h and paths.h is noted in its stamps, before it is touched (a file changed between the
// note and the read is then seen as changed). Scopes do not nest.
class FileStampScope {
  public:
    explicit FileStampScope(FileStamps& stamps);
    ~FileStampScope();
    FileStampScope(const FileStampScope&) = delete;
    FileStampScope& operator=(const FileStampScope&) = delete;
};

// Called by the readers: notes path when a scope lives on this thread.
void NoteFileLookedAt(const std::string& path);

// The racy windows for times in whole seconds and for finer times (0 turns the rule off).
void SetRacyWindowsForTesting(std::int64_t wholeSecondsNs, std::int64_t finerNs);
void ResetRacyWindowsForTesting();

}  // namespace dyd
