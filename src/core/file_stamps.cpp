#include "core/file_stamps.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <ctime>

namespace dyd {

namespace {

thread_local FileStamps* gNoting = nullptr;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kWholeSecondsWindowNs = 2 * kSecond;
constexpr std::int64_t kFinerWindowNs = kSecond / 10;
std::atomic<std::int64_t> gWholeSecondsWindowNs{kWholeSecondsWindowNs};
std::atomic<std::int64_t> gFinerWindowNs{kFinerWindowNs};

std::int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

}  // namespace

FileStamps::Stamp FileStamps::Take(const std::string& path) {
    Stamp stamp;
    stamp.path = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return stamp;
    }
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedNs = Nanoseconds(st.st_mtim);
    stamp.changedNs = Nanoseconds(st.st_ctim);
    return stamp;
}

void FileStamps::Note(const std::string& path) {
    if (!noted_.insert(path).second) {
        return;
    }
    stamps_.push_back(Take(path));
    const Stamp& stamp = stamps_.back();
    // A file system that keeps whole seconds writes times without nanoseconds.
    const bool wholeSeconds = stamp.modifiedNs % kSecond == 0 && stamp.changedNs % kSecond == 0;
    const std::int64_t window = wholeSeconds ? gWholeSecondsWindowNs.load() : gFinerWindowNs.load();
    if (stamp.exists && window > 0) {
        struct timespec now {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const std::int64_t age = Nanoseconds(now) - std::max(stamp.changedNs, stamp.modifiedNs);
        racy_ = racy_ || age < window;
    }
}

bool FileStamps::Unchanged() const {
    if (racy_) {
        return false;
    }
    for (const Stamp& stamp : stamps_) {
        if (!(Take(stamp.path) == stamp)) {
            return false;
        }
    }
    return true;
}

FileStampScope::FileStampScope(FileStamps& stamps) { gNoting = &stamps; }

FileStampScope::~FileStampScope() { gNoting = nullptr; }

void SetRacyWindowsForTesting(std::int64_t wholeSecondsNs, std::int64_t finerNs) {
    gWholeSecondsWindowNs = wholeSecondsNs;
    gFinerWindowNs = finerNs;
}

void ResetRacyWindowsForTesting() {
    SetRacyWindowsForTesting(kWholeSecondsWindowNs, kFinerWindowNs);
}

void NoteFileLookedAt(const std::string& path) {
    if (gNoting != nullptr) {
        gNoting->Note(path.empty() ? std::string(".") : path);
    }
}

}  // namespace dyd
