#pragma once

// The learning state of every unit: one 64-byte repetition record per unit number, the binary
// repetition file code + ".p" that holds them, its backups (".pk", ".p5", ".p10", ".p15") and the
// copy list code + ".pi" that names every repetition file written.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/unit_table.h"
#include "core/zeroed_table.h"

namespace dyd {

inline constexpr std::size_t kRecordSize = 64;
inline constexpr int kMarkedKinds = 18;  // kinds 1..18 have a mark byte in the record
inline constexpr std::uint8_t kChosenMarkOffset = 100;  // added in the file to a chosen kind's mark

// One unit's learning state. Read and written field by field, little-endian, at these offsets:
// 0 unitId, 4 firstDate, 12 lastDate, 20 repetitionNo, 24 interval, 28 previousInterval,
// 32 factor, 40 kindMarks[18], 58 knownFlag, 59 inTrash, 60 reserved[4].
struct RepetitionRecord {
    std::int32_t unitId = 0;  // 0 = not learnt (never learnt, or reset)
    double firstDate = 0;     // day numbers: whole days since 1899-12-30
    double lastDate = 0;
    std::int32_t repetitionNo = 0;
    std::int32_t interval = 0;  // days from lastDate until the unit is due
    std::int32_t previousInterval = 0;
    double factor = 0;
    std::array<std::uint8_t, kMarkedKinds> kindMarks{};  // kind k at k - 1: 0, 1 or 2
    std::uint8_t knownFlag = 0;
    std::uint8_t inTrash = 0;
    std::array<std::uint8_t, 4> reserved{};  // kept as read

    // The marks as the scheduler sees them: slots 1..18 are the kinds, slot 19 is knownFlag and
    // slot 20 is inTrash.
    std::uint8_t& mark(int slot);
    std::uint8_t mark(int slot) const;

    bool operator==(const RepetitionRecord&) const = default;
};

// The 64 bytes of a record, and back. DecodeRecord reads exactly kRecordSize bytes at bytes.
void EncodeRecord(const RepetitionRecord& record, std::string& out);
RepetitionRecord DecodeRecord(const char* bytes);
// Dates of years 1..9999 and flags of 0 or 1: what a save can have written.
bool PlausibleRecord(const RepetitionRecord& record);

using KindFlags = std::array<bool, kKindSlots + 1>;  // [1..20]

// The records of the open database and learner, record u belonging to unit number u.
struct RepetitionStore {
    // Room for records 1..capacity: kMaxUnits in the program; a smaller store serves a check over
    // a small unit table (every unit number of the table must fit).
    explicit RepetitionStore(int capacity = kMaxUnits);
    int capacity() const { return static_cast<int>(records.size()) - 1; }

    // Untouched rows cost no memory: a course with few records keeps few pages of them.
    ZeroedTable<RepetitionRecord> records;  // [1..kMaxUnits]; index 0 unused
    ZeroedTable<KindFlags> chosenKinds;     // [1..kMaxUnits]: kinds marked for repetitions
    // The highest unit number that may hold a record; loops over the store stop here.
    int recordHighWater = 0;
    // Records read from the file whose unit the open database does not hold (its learner units
    // could not be read, say). They are written back at every save, after the others, so that
    // the learning state comes back with the units instead of vanishing at the next save.
    std::vector<RepetitionRecord> orphans;
    // Set when the live file exists but could not be read: the live file is then not written
    // over until a copy is restored or all repetitions are deleted.
    bool liveFileUnreadable = false;
    // Set when the live file was found damaged at load (or could not be read): the backups are
    // then what remains of the learner's state, and none is rotated or written from the store
    // until a copy is restored or all repetitions are deleted.
    bool damaged = false;

    RepetitionRecord& record(int u) { return records[static_cast<std::size_t>(u)]; }
    const RepetitionRecord& record(int u) const { return records[static_cast<std::size_t>(u)]; }
};

// ---- File names ------------------------------------------------------------------------------

inline constexpr std::string_view kLiveSuffix = ".p";
inline constexpr std::string_view kEndBackupSuffix = ".pk";
inline constexpr std::string_view kFifthBackupSuffix = ".p5";
inline constexpr std::string_view kTenthBackupSuffix = ".p10";
inline constexpr std::string_view kFifteenthBackupSuffix = ".p15";
inline constexpr std::string_view kCopyListSuffix = ".pi";

// The file of the open database with that suffix, e.g. "ang.p5"; the name only, no folder.
std::string RepetitionFileName(const AppPaths& paths, std::string_view suffix);

// ---- Reading and writing the records ---------------------------------------------------------

struct RepetitionParseCounts {
    int read = 0;              // whole records in the file (n); every one of them is counted
    int placed = 0;            // records stored at their unit
    int orphaned = 0;          // records of units the database does not hold, kept aside
    int replaced = 0;          // records that a later record of the same unit replaced
    int notLearnt = 0;         // records with unitId 0 or below: nothing to keep
    std::size_t cutBytes = 0;  // bytes of a last, incomplete record (a cut file)
    // Learnt records whose dates are not day numbers of years 1..9999 or whose flags are not 0
    // or 1: bytes that no save wrote.
    int implausible = 0;
    // More records than units can be: only the first kMaxUnits were read.
    bool overCapacity = false;

    // A save writes whole, learnt, plausible records only, and never more than the capacity;
    // anything else in a file is damage.
    bool damaged() const {
        return cutBytes > 0 || notLearnt > 0 || implausible > 0 || overCapacity;
    }
};

// Clears the store as a load does (unitId, lastDate, repetitionNo and interval of every record
// become 0, the other fields keep their bytes; no orphans; recordHighWater 0) and places the
// records of the file's bytes at their units. Takes any bytes.
RepetitionParseCounts ParseRepetitionFile(std::string_view bytes, const UnitTable& units,
                                          RepetitionStore& store);

// The file's bytes: the records of units 1..unitCount with unitId > 0 in ascending unit number,
// a chosen kind's mark raised by 100, then the orphans. written receives the record count.
std::string FormatRepetitionFile(const RepetitionStore& store, int unitCount, int* written);

enum class LoadStatus {
    Loaded,       // file read (or absent: an empty store)
    Damaged,      // read, but fewer records than last written, or a cut last record
    Unreadable,   // the file exists but cannot be read; the store is empty
    CopyMissing,  // a copy to restore does not exist or is not a plain file name; nothing changed
};

struct LoadRepetitionsResult {
    LoadStatus status = LoadStatus::Loaded;
    RepetitionParseCounts counts;
    std::string message;  // for the message box (UTF-8); empty when there is nothing to say
};

inline constexpr std::string_view kLoadingRepetitionsTitle = "Czytam powtórki...";
inline constexpr std::string_view kSavingRepetitionsTitle = "Zapisuję powtórki...";

// "Wczytano informacje o " + n + " powtórkach."
std::string LoadedCountMessage(int n);
// The same, followed by the advice to restore a copy.
std::string DamagedFileMessage(int n);

// Loads the store from paths.userDir + name. At login: name code + ".p", fromCopy false.
// Updates settings.savedRecordCount: from a copy always to n, otherwise to n unless fewer
// records than that were read (the file is damaged and the count stays, so that the damage is
// reported again until a copy is restored or a save lowers the count).
LoadRepetitionsResult LoadRepetitions(const AppPaths& paths, std::string_view name, bool fromCopy,
                                      const UnitTable& units, RepetitionStore& store,
                                      Settings& settings);

struct SaveRepetitionsResult {
    bool written = false;      // the records are on disk
    bool listWritten = false;  // the copy list names them
    int count = 0;
    std::string error;  // (UTF-8) when something was not written
};

// Writes the store to paths.userDir + name (recordHighWater becomes unitCount) and records the
// copy in code + ".pi" with now and settings.startCounter. On success savedRecordCount becomes
// the count written; on failure the file on disk stays as it was.
SaveRepetitionsResult SaveRepetitions(const AppPaths& paths, std::string_view name,
                                      const UnitTable& units, RepetitionStore& store,
                                      Settings& settings, const Clock& clock);
SaveRepetitionsResult SaveLiveRepetitions(const AppPaths& paths, const UnitTable& units,
                                          RepetitionStore& store, Settings& settings,
                                          const Clock& clock);

// The backup at program end: code + ".pk", or at every fifth login (startCounter a multiple of
// 5) code + ".p5" after moving ".p10" to ".p15" and ".p5" to ".p10". Nothing is written or moved
// while the store is marked damaged.
SaveRepetitionsResult MakeRepetitionBackup(const AppPaths& paths, const UnitTable& units,
                                           RepetitionStore& store, Settings& settings,
                                           const Clock& clock);

// Restoring a copy named in the copy list: loads it (fromCopy) and saves it as the live file.
// A copy that does not exist leaves the store and the live file as they are.
struct RestoreCopyResult {
    LoadRepetitionsResult load;
    SaveRepetitionsResult save;
};
inline constexpr std::string_view kRestoreCopyQuestion = "Czy chcesz wczytać powtórki z kopii?";
RestoreCopyResult RestoreRepetitionCopy(const AppPaths& paths, std::string_view name,
                                        const UnitTable& units, RepetitionStore& store,
                                        Settings& settings, const Clock& clock);

// The newest backup (".pk", ".p5", ".p10", ".p15", newest file first) that loads without
// damage: whole, learnt, plausible records, no fewer than the copy list says were written. Its
// dateTime is the copy list's, or the file's modification time when the list does not name it.
struct RepetitionCopyOffer {
    std::string name;
    std::string dateTime;
};
std::optional<RepetitionCopyOffer> NewestGoodRepetitionCopy(const AppPaths& paths,
                                                            const UnitTable& units);
// "Wczytać powtórki z kopii z " + dateTime + "?"
std::string RestoreOfferQuestion(std::string_view dateTime);

// ---- Copy list -------------------------------------------------------------------------------

struct CopyListEntry {
    std::string name;
    std::string dateTime;
    std::int32_t recordCount = 0;
    std::int32_t loginCounter = 0;
    // The line as read; written back unchanged unless the entry is changed (raw cleared).
    std::string raw;
};

// Every line of the list, in order; no line is dropped (a line without "=" is an entry whose
// name is the whole trimmed line). Takes any bytes.
std::vector<CopyListEntry> ParseCopyList(std::string_view bytes);
// name "=" date and time "=" count "= " counter "= ", one per line, CR LF.
std::string FormatCopyListLine(const CopyListEntry& entry);
std::string FormatCopyList(const std::vector<CopyListEntry>& entries);

// "yyyy-mm-dd hh:mm:ss" of a day number with time.
std::string FormatDateTime(double now);

// Name and display text ("date time  (count:counter)") of every line of the copy list.
std::vector<std::pair<std::string, std::string>> ListRepetitionCopies(const AppPaths& paths);

// In the copy list: drops the line named newName and renames the line named oldName.
bool RenameCopyEntry(const AppPaths& paths, std::string_view oldName, std::string_view newName,
                     std::string* error = nullptr);

// ---- Record operations -----------------------------------------------------------------------

// inTrash := 1, nothing else.
void TrashUnit(RepetitionStore& store, int unit);
// inTrash := 0, nothing else.
void RestoreFromTrash(RepetitionStore& store, int unit);
// unitId, lastDate, repetitionNo and interval := 0; the rest keeps its values.
void ResetRepetitions(RepetitionStore& store, int unit);
// ResetRepetitions on every record; the orphans go too.
void ResetAllRepetitions(RepetitionStore& store);

inline constexpr std::string_view kDeleteAllQuestion = "Skasować WSZYSTKIE powtórki?";
// Deleting all repetitions from the settings screen (the caller saves the live file afterwards).
void DeleteAllRepetitions(RepetitionStore& store);

}  // namespace dyd
