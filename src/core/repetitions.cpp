#include "core/repetitions.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>

#include "core/datetime.h"
#include "core/files.h"
#include "core/text.h"

namespace dyd {

// ---- Records -----------------------------------------------------------------------------------

std::uint8_t& RepetitionRecord::mark(int slot) {
    if (slot == kMarkedKinds + 1) {
        return knownFlag;
    }
    if (slot == kMarkedKinds + 2) {
        return inTrash;
    }
    return kindMarks[static_cast<std::size_t>(slot - 1)];
}

std::uint8_t RepetitionRecord::mark(int slot) const {
    return const_cast<RepetitionRecord*>(this)->mark(slot);
}

namespace {

void PutU32(char* out, std::uint32_t v) {
    out[0] = static_cast<char>(v);
    out[1] = static_cast<char>(v >> 8);
    out[2] = static_cast<char>(v >> 16);
    out[3] = static_cast<char>(v >> 24);
}

void PutU64(char* out, std::uint64_t v) {
    PutU32(out, static_cast<std::uint32_t>(v));
    PutU32(out + 4, static_cast<std::uint32_t>(v >> 32));
}

// The 64 bytes of a record at out.
void EncodeRecordAt(const RepetitionRecord& r, char* out) {
    PutU32(out, static_cast<std::uint32_t>(r.unitId));
    PutU64(out + 4, std::bit_cast<std::uint64_t>(r.firstDate));
    PutU64(out + 12, std::bit_cast<std::uint64_t>(r.lastDate));
    PutU32(out + 20, static_cast<std::uint32_t>(r.repetitionNo));
    PutU32(out + 24, static_cast<std::uint32_t>(r.interval));
    PutU32(out + 28, static_cast<std::uint32_t>(r.previousInterval));
    PutU64(out + 32, std::bit_cast<std::uint64_t>(r.factor));
    std::memcpy(out + 40, r.kindMarks.data(), r.kindMarks.size());
    out[58] = static_cast<char>(r.knownFlag);
    out[59] = static_cast<char>(r.inTrash);
    std::memcpy(out + 60, r.reserved.data(), r.reserved.size());
}

std::uint32_t GetU32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint64_t GetU64(const char* p) {
    return static_cast<std::uint64_t>(GetU32(p)) |
           (static_cast<std::uint64_t>(GetU32(p + 4)) << 32);
}

std::int32_t GetI32(const char* p) {
    return static_cast<std::int32_t>(GetU32(p));
}
double GetF64(const char* p) {
    return std::bit_cast<double>(GetU64(p));
}

// Day numbers of years 1..9999, as every date the program shows.
bool PlausibleDay(double day) {
    return day >= -693593.0 && day < 2958466.0;
}

}  // namespace

bool PlausibleRecord(const RepetitionRecord& r) {
    return PlausibleDay(r.firstDate) && PlausibleDay(r.lastDate) && r.knownFlag <= 1 &&
           r.inTrash <= 1;
}

void EncodeRecord(const RepetitionRecord& r, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + kRecordSize);
    EncodeRecordAt(r, out.data() + at);
}

RepetitionRecord DecodeRecord(const char* p) {
    RepetitionRecord r;
    r.unitId = GetI32(p);
    r.firstDate = GetF64(p + 4);
    r.lastDate = GetF64(p + 12);
    r.repetitionNo = GetI32(p + 20);
    r.interval = GetI32(p + 24);
    r.previousInterval = GetI32(p + 28);
    r.factor = GetF64(p + 32);
    std::memcpy(r.kindMarks.data(), p + 40, r.kindMarks.size());
    r.knownFlag = static_cast<std::uint8_t>(p[58]);
    r.inTrash = static_cast<std::uint8_t>(p[59]);
    std::memcpy(r.reserved.data(), p + 60, r.reserved.size());
    return r;
}

RepetitionStore::RepetitionStore(int capacity)
    : records(static_cast<std::size_t>(std::clamp(capacity, 0, kMaxUnits)) + 1),
      chosenKinds(static_cast<std::size_t>(std::clamp(capacity, 0, kMaxUnits)) + 1) {}

std::string RepetitionFileName(const AppPaths& paths, std::string_view suffix) {
    return paths.databaseCode + std::string(suffix);
}

// ---- Reading and writing the records ---------------------------------------------------------

RepetitionParseCounts ParseRepetitionFile(std::string_view bytes, const UnitTable& units,
                                          RepetitionStore& store) {
    // Records not in the file keep their other fields. A record is written only when it holds
    // something: rows never written stay untouched zero pages, which cost no memory.
    for (int u = 1; u <= store.capacity(); ++u) {
        RepetitionRecord& r = store.record(u);
        if (r.unitId != 0 || r.lastDate != 0 || r.repetitionNo != 0 || r.interval != 0) {
            r.unitId = 0;
            r.lastDate = 0;
            r.repetitionNo = 0;
            r.interval = 0;
        }
    }
    store.recordHighWater = 0;
    store.orphans.clear();

    RepetitionParseCounts counts;
    std::size_t whole = bytes.size() / kRecordSize;
    counts.cutBytes = bytes.size() % kRecordSize;
    if (whole > static_cast<std::size_t>(store.capacity())) {
        whole = static_cast<std::size_t>(store.capacity());
        counts.overCapacity = true;
    }
    std::unordered_map<std::int32_t, std::size_t> orphanAt;
    for (std::size_t i = 0; i < whole; ++i) {
        RepetitionRecord record = DecodeRecord(bytes.data() + i * kRecordSize);
        ++counts.read;
        if (record.unitId <= 0) {
            ++counts.notLearnt;
            continue;
        }
        if (!PlausibleRecord(record)) {
            ++counts.implausible;
        }
        const int u = units.IndexOfUnitId(record.unitId);
        if (u < 1 || u > store.capacity()) {
            // Kept as read, chosen kinds included, to be written back unchanged.
            const auto [at, fresh] = orphanAt.emplace(record.unitId, store.orphans.size());
            if (fresh) {
                store.orphans.push_back(record);
                ++counts.orphaned;
            } else {
                store.orphans[at->second] = record;
                ++counts.replaced;
            }
            continue;
        }
        if (store.record(u).unitId != 0) {
            ++counts.replaced;
        }
        store.recordHighWater = std::max(store.recordHighWater, u);
        KindFlags& chosen = store.chosenKinds[static_cast<std::size_t>(u)];
        for (int k = 1; k <= kMarkedKinds; ++k) {
            std::uint8_t& mark = record.kindMarks[static_cast<std::size_t>(k - 1)];
            chosen[static_cast<std::size_t>(k)] = mark >= kChosenMarkOffset;
            if (mark >= kChosenMarkOffset) {
                mark = static_cast<std::uint8_t>(mark - kChosenMarkOffset);
            }
        }
        store.record(u) = record;
        ++counts.placed;
    }
    return counts;
}

std::string FormatRepetitionFile(const RepetitionStore& store, int unitCount, int* written) {
    const int last = std::min(unitCount, store.capacity());
    std::size_t count = 0;
    for (int u = 1; u <= last; ++u) {
        count += store.record(u).unitId > 0 ? 1 : 0;
    }
    count += store.orphans.size();
    std::string out(count * kRecordSize, '\0');
    char* at = out.data();
    for (int u = 1; u <= last; ++u) {
        const RepetitionRecord& record = store.record(u);
        if (record.unitId <= 0) {
            continue;
        }
        EncodeRecordAt(record, at);
        const KindFlags& chosen = store.chosenKinds[static_cast<std::size_t>(u)];
        for (int k = 1; k <= kMarkedKinds; ++k) {
            if (chosen[static_cast<std::size_t>(k)]) {
                at[40 + k - 1] = static_cast<char>(
                    record.kindMarks[static_cast<std::size_t>(k - 1)] + kChosenMarkOffset);
            }
        }
        at += kRecordSize;
    }
    for (const RepetitionRecord& orphan : store.orphans) {
        EncodeRecordAt(orphan, at);
        at += kRecordSize;
    }
    if (written != nullptr) {
        *written = static_cast<int>(count);
    }
    return out;
}

namespace {
constexpr std::string_view kRestoreAdvice =
    "Uszkodzone pliki można odtworzyć funkcją Ustawienia/Wczytaj powtórki z kopii.";
}  // namespace

std::string LoadedCountMessage(int n) {
    return "Wczytano informacje o " + std::to_string(n) + " powtórkach.";
}

std::string DamagedFileMessage(int n) {
    return LoadedCountMessage(n) + " " + std::string(kRestoreAdvice);
}

namespace {

// A name from the copy list must stay a file of the learner's folder.
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string UserFile(const AppPaths& paths, std::string_view name) {
    return ResolvePath(paths.userDir, name);
}

constexpr std::string_view kCopyMissingPrefix = "Brak pliku z kopią powtórek [";
constexpr std::string_view kUnreadablePrefix = "Nie można odczytać pliku z powtórkami [";
constexpr std::string_view kLiveUnreadableRefusal =
    "Powtórki nie zostały zapisane, bo pliku z powtórkami nie udało się wczytać. "
    "Wczytaj powtórki z kopii (Ustawienia/Wczytaj powtórki z kopii).";

}  // namespace

LoadRepetitionsResult LoadRepetitions(const AppPaths& paths, std::string_view name, bool fromCopy,
                                      const UnitTable& units, RepetitionStore& store,
                                      Settings& settings) {
    LoadRepetitionsResult result;
    const std::string path = UserFile(paths, name);
    if (fromCopy && (!IsPlainFileName(name) || !FileExists(path))) {
        result.status = LoadStatus::CopyMissing;
        result.message = std::string(kCopyMissingPrefix) + std::string(name) + "].";
        return result;
    }
    std::optional<std::string> bytes;
    if (FileExists(path)) {
        bytes = ReadFileBytes(path);
        if (!bytes) {
            if (fromCopy) {
                result.status = LoadStatus::CopyMissing;
                result.message = std::string(kUnreadablePrefix) + path + "].";
                return result;
            }
            ParseRepetitionFile({}, units, store);
            store.liveFileUnreadable = true;
            store.damaged = true;
            result.status = LoadStatus::Unreadable;
            result.message =
                std::string(kUnreadablePrefix) + path + "]. " + std::string(kRestoreAdvice);
            return result;
        }
    }
    result.counts =
        ParseRepetitionFile(bytes ? std::string_view(*bytes) : std::string_view{}, units, store);
    store.liveFileUnreadable = false;
    const int n = result.counts.read;
    if (fromCopy) {
        // A copy the learner chose to restore is his state from now on.
        store.damaged = false;
        settings.savedRecordCount = n;
        result.message = LoadedCountMessage(n);
        return result;
    }
    store.damaged = n < settings.savedRecordCount || result.counts.damaged();
    if (store.damaged) {
        result.status = LoadStatus::Damaged;
        result.message = DamagedFileMessage(n);
    }
    if (n >= settings.savedRecordCount) {
        settings.savedRecordCount = n;
    }
    return result;
}

// ---- Copy list -------------------------------------------------------------------------------

std::vector<CopyListEntry> ParseCopyList(std::string_view bytes) {
    std::vector<CopyListEntry> entries;
    for (const std::string_view line : SplitLines(bytes)) {
        CopyListEntry entry;
        entry.raw = std::string(line);
        std::string_view fields[4];
        std::string_view rest = line;
        int cut = 0;
        while (cut < 4) {
            const std::size_t eq = rest.find('=');
            if (eq == std::string_view::npos) {
                break;
            }
            fields[cut++] = rest.substr(0, eq);
            rest = rest.substr(eq + 1);
        }
        if (cut < 4) {
            // Fewer than four "=": the text after the last one is the next field.
            fields[cut] = rest;
        }
        entry.name = std::string(TrimView(fields[0]));
        entry.dateTime = std::string(TrimView(fields[1]));
        entry.recordCount = IntOrZero(fields[2]).value_or(0);
        entry.loginCounter = IntOrZero(fields[3]).value_or(0);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string FormatCopyListLine(const CopyListEntry& entry) {
    return entry.name + "=" + entry.dateTime + "=" + std::to_string(entry.recordCount) + "= " +
           std::to_string(entry.loginCounter) + "= ";
}

std::string FormatCopyList(const std::vector<CopyListEntry>& entries) {
    std::string out;
    for (const CopyListEntry& entry : entries) {
        out += entry.raw.empty() ? FormatCopyListLine(entry) : entry.raw;
        out += "\r\n";
    }
    return out;
}

std::string FormatDateTime(double now) {
    if (!std::isfinite(now) || std::fabs(now) > 1e9) {
        return FormatDate(0) + " 00:00:00";
    }
    const long long total = std::llround(now * 86400.0);
    long long day = total / 86400;
    long long seconds = total % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --day;
    }
    return FormatDate(static_cast<double>(day)) + " " + ZeroPad(2, seconds / 3600) + ":" +
           ZeroPad(2, seconds / 60 % 60) + ":" + ZeroPad(2, seconds % 60);
}

namespace {

std::string CopyListPath(const AppPaths& paths) {
    return UserFile(paths, RepetitionFileName(paths, kCopyListSuffix));
}

// The lines of the copy list; an absent list is empty. Nothing when the list exists but cannot
// be read: it must then not be rewritten, or its lines would be lost.
std::optional<std::vector<CopyListEntry>> ReadCopyList(const AppPaths& paths) {
    const std::string path = CopyListPath(paths);
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        if (FileExists(path)) {
            return std::nullopt;
        }
        return std::vector<CopyListEntry>{};
    }
    return ParseCopyList(*bytes);
}

constexpr std::string_view kCopyListUnreadable = "nie można odczytać listy kopii powtórek";

bool WriteCopyList(const AppPaths& paths, const std::vector<CopyListEntry>& entries,
                   std::string* error) {
    return WriteFileAtomically(CopyListPath(paths), FormatCopyList(entries), error);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ListRepetitionCopies(const AppPaths& paths) {
    std::vector<std::pair<std::string, std::string>> list;
    for (const CopyListEntry& entry : ReadCopyList(paths).value_or(std::vector<CopyListEntry>{})) {
        if (entry.name.empty()) {
            continue;  // a blank line names no copy
        }
        list.emplace_back(entry.name, entry.dateTime + "  (" + std::to_string(entry.recordCount) +
                                          ":" + std::to_string(entry.loginCounter) + ")");
    }
    return list;
}

bool RenameCopyEntry(const AppPaths& paths, std::string_view oldName, std::string_view newName,
                     std::string* error) {
    std::optional<std::vector<CopyListEntry>> read = ReadCopyList(paths);
    if (!read) {
        if (error != nullptr) {
            *error = std::string(kCopyListUnreadable);
        }
        return false;
    }
    std::vector<CopyListEntry>& entries = *read;
    std::erase_if(entries, [&](const CopyListEntry& e) { return e.name == newName; });
    for (CopyListEntry& entry : entries) {
        if (entry.name == oldName) {
            entry.name = std::string(newName);
            entry.raw.clear();
        }
    }
    return WriteCopyList(paths, entries, error);
}

// ---- Saving ----------------------------------------------------------------------------------

SaveRepetitionsResult SaveRepetitions(const AppPaths& paths, std::string_view name,
                                      const UnitTable& units, RepetitionStore& store,
                                      Settings& settings, const Clock& clock) {
    SaveRepetitionsResult result;
    if (store.liveFileUnreadable) {
        result.error = std::string(kLiveUnreadableRefusal);
        return result;
    }
    store.recordHighWater = std::min(units.unitCount(), store.capacity());
    const std::string bytes = FormatRepetitionFile(store, store.recordHighWater, &result.count);
    std::string error;
    if (!WriteFileAtomically(UserFile(paths, name), bytes, &error)) {
        result.error = "Nie udało się zapisać powtórek (" + error + ").";
        return result;
    }
    result.written = true;
    settings.savedRecordCount = result.count;

    std::optional<std::vector<CopyListEntry>> read = ReadCopyList(paths);
    if (!read) {
        result.error = "Nie udało się zapisać listy kopii powtórek (" +
                       std::string(kCopyListUnreadable) + ").";
        return result;
    }
    std::vector<CopyListEntry>& entries = *read;
    CopyListEntry* entry = nullptr;
    for (CopyListEntry& candidate : entries) {
        if (candidate.name == name) {
            entry = &candidate;
        }
    }
    if (entry == nullptr) {
        entry = &entries.emplace_back();
        entry->name = std::string(name);
    }
    entry->dateTime = FormatDateTime(clock.Now());
    entry->recordCount = result.count;
    entry->loginCounter = settings.startCounter;
    entry->raw.clear();
    if (WriteCopyList(paths, entries, &error)) {
        result.listWritten = true;
    } else {
        result.error = "Nie udało się zapisać listy kopii powtórek (" + error + ").";
    }
    return result;
}

SaveRepetitionsResult SaveLiveRepetitions(const AppPaths& paths, const UnitTable& units,
                                          RepetitionStore& store, Settings& settings,
                                          const Clock& clock) {
    return SaveRepetitions(paths, RepetitionFileName(paths, kLiveSuffix), units, store, settings,
                           clock);
}

namespace {

// Moves one backup a step older; true when it was moved or there was none. rename() replaces the
// older one in one step, so a failure leaves both files as they were.
bool MoveBackup(const AppPaths& paths, std::string_view fromSuffix, std::string_view toSuffix) {
    const std::string from = RepetitionFileName(paths, fromSuffix);
    const std::string to = RepetitionFileName(paths, toSuffix);
    if (!FileExists(UserFile(paths, from))) {
        return true;
    }
    if (std::rename(UserFile(paths, from).c_str(), UserFile(paths, to).c_str()) != 0) {
        return false;
    }
    RenameCopyEntry(paths, from, to);
    return true;
}

}  // namespace

SaveRepetitionsResult MakeRepetitionBackup(const AppPaths& paths, const UnitTable& units,
                                           RepetitionStore& store, Settings& settings,
                                           const Clock& clock) {
    if (store.recordHighWater <= 0 || store.damaged) {
        return {};
    }
    // While the live file could not be read, SaveRepetitions refuses and no backup moves: the
    // backups are what remains of it.
    if (store.liveFileUnreadable || settings.startCounter % 5 != 0) {
        return SaveRepetitions(paths, RepetitionFileName(paths, kEndBackupSuffix), units, store,
                               settings, clock);
    }
    // A backup that cannot move a step older is not written over: the ones after it stay, and
    // the new backup goes to the end backup instead.
    const bool moved = MoveBackup(paths, kTenthBackupSuffix, kFifteenthBackupSuffix) &&
                       MoveBackup(paths, kFifthBackupSuffix, kTenthBackupSuffix);
    return SaveRepetitions(paths,
                           RepetitionFileName(paths, moved ? kFifthBackupSuffix : kEndBackupSuffix),
                           units, store, settings, clock);
}

std::optional<RepetitionCopyOffer> NewestGoodRepetitionCopy(const AppPaths& paths,
                                                            const UnitTable& units) {
    const std::vector<CopyListEntry> list =
        ReadCopyList(paths).value_or(std::vector<CopyListEntry>{});
    struct Candidate {
        std::string name;
        double modified;
    };
    std::vector<Candidate> candidates;
    for (const std::string_view suffix :
         {kEndBackupSuffix, kFifthBackupSuffix, kTenthBackupSuffix, kFifteenthBackupSuffix}) {
        const std::string name = RepetitionFileName(paths, suffix);
        if (const std::optional<double> modified = FileModifiedDay(UserFile(paths, name))) {
            candidates.push_back({name, *modified});
        }
    }
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.modified > b.modified; });
    auto scratch = std::make_unique<RepetitionStore>();
    for (const Candidate& candidate : candidates) {
        const std::optional<std::string> bytes = ReadFileBytes(UserFile(paths, candidate.name));
        if (!bytes) {
            continue;
        }
        const RepetitionParseCounts counts = ParseRepetitionFile(*bytes, units, *scratch);
        const CopyListEntry* listed = nullptr;
        for (const CopyListEntry& entry : list) {
            if (entry.name == candidate.name) {
                listed = &entry;
            }
        }
        if (counts.damaged() || counts.read == 0 ||
            (listed != nullptr && counts.read < listed->recordCount)) {
            continue;
        }
        RepetitionCopyOffer offer;
        offer.name = candidate.name;
        if (listed != nullptr && !listed->dateTime.empty()) {
            offer.dateTime = listed->dateTime;
        } else {
            offer.dateTime = FormatDateTime(candidate.modified);
        }
        return offer;
    }
    return std::nullopt;
}

std::string RestoreOfferQuestion(std::string_view dateTime) {
    return "Wczytać powtórki z kopii z " + std::string(dateTime) + "?";
}

RestoreCopyResult RestoreRepetitionCopy(const AppPaths& paths, std::string_view name,
                                        const UnitTable& units, RepetitionStore& store,
                                        Settings& settings, const Clock& clock) {
    RestoreCopyResult result;
    result.load = LoadRepetitions(paths, name, true, units, store, settings);
    if (result.load.status == LoadStatus::CopyMissing) {
        return result;
    }
    result.save = SaveLiveRepetitions(paths, units, store, settings, clock);
    return result;
}

// ---- Record operations -----------------------------------------------------------------------

void TrashUnit(RepetitionStore& store, int unit) {
    store.record(unit).inTrash = 1;
}

void RestoreFromTrash(RepetitionStore& store, int unit) {
    store.record(unit).inTrash = 0;
}

void ResetRepetitions(RepetitionStore& store, int unit) {
    RepetitionRecord& r = store.record(unit);
    r.unitId = 0;
    r.lastDate = 0;
    r.repetitionNo = 0;
    r.interval = 0;
}

void ResetAllRepetitions(RepetitionStore& store) {
    for (int u = 1; u <= store.capacity(); ++u) {
        ResetRepetitions(store, u);
    }
    store.orphans.clear();
}

void DeleteAllRepetitions(RepetitionStore& store) {
    ResetAllRepetitions(store);
    store.liveFileUnreadable = false;
    store.damaged = false;
}

}  // namespace dyd
