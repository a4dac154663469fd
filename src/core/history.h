#pragma once

// The exercise history of one learner and one course database: fixed 128-byte records that are
// both the catalogue of exercise sets (one entry per set) and the learner's latest result per set
// and exercise kind. Files in userDir: the working file named exactly databaseCode, and the copy
// databaseCode + ".cwinfok" written when the program closes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"

namespace dyd {

inline constexpr int kMaxHistoryRecords = 7000;
inline constexpr std::size_t kHistoryRecordSize = 128;

// Longest texts a record holds (single-byte, in the database's code page).
inline constexpr std::size_t kHistoryIdMax = 25;
inline constexpr std::size_t kHistoryNameMax = 65;
inline constexpr std::size_t kHistoryGroupMax = 12;

// Set categories of catalogue entries; a record whose kind is below 80 is a result entry whose
// kind is the exercise kind it records.
inline constexpr std::uint8_t kWordSetCategory = 80;
inline constexpr std::uint8_t kSentenceSetCategory = 81;
inline constexpr std::uint8_t kUserSetCategory = 82;
inline constexpr std::uint8_t kFirstCategory = 80;

struct HistoryRecord {
    std::string id;  // lower case; empty = blank record
    std::string name;
    std::uint8_t kind = 0;
    std::uint8_t key = 0;
    std::uint8_t level = 0;
    double when = 0;
    std::uint8_t percent = 0;
    std::int32_t count = 0;
    std::uint8_t complete = 0;
    std::string group;  // characters 2 and 3 of the id
    // The bytes the record was read from. The fields are written over them, so the bytes that
    // no field covers come back as they were read; zero for a record made here.
    std::array<std::uint8_t, kHistoryRecordSize> image{};

    bool blank() const { return id.empty(); }
    bool catalogueEntry() const { return kind >= kFirstCategory; }
};

struct ExerciseHistory {
    std::vector<HistoryRecord> records;  // record i (1-based) at index i - 1
    // The working file was found damaged at login: its copy is then what remains of the
    // learner's results and is not written over until the copy is restored.
    bool damaged = false;
    int count() const { return static_cast<int>(records.size()); }
};

// ---- Messages (UTF-8) --------------------------------------------------------------------------

inline constexpr std::string_view kHistoryTooLargeMessage = "Błąd! Za małe max_cw_info!!!!";
inline constexpr std::string_view kCreatingProfileText = "Tworzę profil użytkownika ...";
inline constexpr std::string_view kHistoryFullMessage =
    "Historia ćwiczeń jest pełna (7000 wpisów). Wynik ćwiczenia nie został zapisany.";
inline constexpr std::string_view kHistoryFullForSetsMessage =
    "Historia ćwiczeń jest pełna (7000 wpisów). Nie wszystkie ćwiczenia zostały dopisane do "
    "listy ćwiczeń.";
inline constexpr std::string_view kHistoryDamagedMessage =
    "Plik historii ćwiczeń jest uszkodzony: ";
inline constexpr std::string_view kHistoryUnreadableMessage =
    "Nie mogę odczytać historii ćwiczeń: ";

// "Zbudowano cw_info, jest " + count + " cwiczen."
std::string CatalogueBuiltText(int count);

// ---- File ---------------------------------------------------------------------------------------

std::string HistoryFilePath(const AppPaths& paths);      // userDir + databaseCode
std::string HistoryCopyFilePath(const AppPaths& paths);  // userDir + databaseCode + ".cwinfok"

struct HistoryParseReport {
    // Records beyond kMaxHistoryRecords: each replaced the last record kept.
    int overflowRecords = 0;
    // Bytes at the end that do not make a whole record (ignored).
    std::size_t partialTailBytes = 0;
    // Blank records (a save writes none) and records whose kind, percent, completion or date no
    // save writes.
    int blankRecords = 0;
    int implausibleRecords = 0;

    bool damaged() const {
        return overflowRecords > 0 || partialTailBytes > 0 || blankRecords > 0 ||
               implausibleRecords > 0;
    }
};

// The records of a history file's bytes. Never fails: lengths that exceed a field are cut to it.
ExerciseHistory ParseHistory(std::string_view bytes, HistoryParseReport* report = nullptr);

// One record's 128 bytes, field by field, little-endian, over its image.
std::array<std::uint8_t, kHistoryRecordSize> EncodeHistoryRecord(const HistoryRecord& record);

// The file's bytes: every non-blank record whose id does not start with "2" (shipped sets), then
// every non-blank record whose id does (user sets), each group in store order.
std::string FormatHistory(const ExerciseHistory& history);

enum class HistoryFileState { Missing, Loaded, Unreadable };

struct HistoryLoadResult {
    HistoryFileState state = HistoryFileState::Missing;
    HistoryParseReport report;
};

// Reads the working file into history (empty when the file is missing or unreadable).
HistoryLoadResult LoadHistory(const AppPaths& paths, ExerciseHistory& history);

// The working file as a login reads it, which may happen ahead of the login: what LoadHistory
// gives, with the bytes it read (empty when none).
struct HistoryReading {
    HistoryLoadResult load;
    ExerciseHistory history;
    std::string bytes;
};
HistoryReading ReadHistory(const AppPaths& paths);

// Writes the records to path, atomically.
bool SaveHistory(const std::string& path, const ExerciseHistory& history,
                 std::string* error = nullptr);

// ---- Catalogue ----------------------------------------------------------------------------------

// Level of a set from the fifth character of its id: the digit's value; whenShort when the id has
// fewer than five characters; 0 when that character is not a digit.
std::uint8_t LevelOfSetId(std::string_view id, std::uint8_t whenShort);

// A catalogue entry: id lower-cased and cut to the field, name cut to the field, level and group
// from the id, when = now, no results.
HistoryRecord MakeCatalogueEntry(std::string_view id, std::string_view name, std::uint8_t category,
                                 double now);

struct HistorySaveResult {
    bool saved = false;
    std::string error;    // why the file could not be written
    std::string message;  // what to tell the learner (UTF-8), empty when nothing
};

struct SyncUserSetsResult : HistorySaveResult {
    int added = 0;    // catalogue entries appended
    int removed = 0;  // sets no longer in the user set file, whose records were blanked
    int refused = 0;  // sets that found no room in the store
    // Non-empty lines that are no set line (fewer than three "="): a damaged file. While it has
    // any, no set is taken for deleted, since the file cannot tell which sets it lost.
    int damagedLines = 0;
};

// Merges the bytes of a user set file into the store: a set new to the store gets a catalogue
// entry, a set no longer in the file loses all its records. Lines with fewer than three "=" and
// identifiers that do not start with "2" are passed over. Nothing is saved.
SyncUserSetsResult MergeUserSets(std::string_view userSetFileBytes, double now,
                                 ExerciseHistory& history);

// MergeUserSets with the user set file of the database language, then the working file is
// saved.
SyncUserSetsResult SyncUserSets(const AppPaths& paths, int language, double now,
                                ExerciseHistory& history);

struct BuildCatalogueResult : HistorySaveResult {
    int count = 0;  // catalogue entries built
};

// Replaces the store with the catalogue of a shipped set file's bytes: one entry per line with at
// least three "=" and an identifier; category 80 when field 1 is "7", else 81. message is
// CatalogueBuiltText, followed by the full-store message when lines were left out. Nothing is
// saved.
BuildCatalogueResult CatalogueFromShippedSets(std::string_view shippedSetFileBytes, double now,
                                              ExerciseHistory& history);

// CatalogueFromShippedSets with the shipped set file of the database language (earlier results
// are dropped), then the working file is saved.
BuildCatalogueResult BuildShippedCatalogue(const AppPaths& paths, int language, double now,
                                           ExerciseHistory& history);

struct LoginHistoryResult : SyncUserSetsResult {
    HistoryLoadResult load;
    bool profileCreated = false;  // the store was empty: kCreatingProfileText applies
};

// The login's part: load the working file; when the store is empty save it as it is (a new
// profile); then merge the user sets. A working file that exists but cannot be read is left
// untouched and reported in message. With read, the working file is taken from it (its bytes must
// still be the file's) instead of being read again.
LoginHistoryResult OpenHistoryAtLogin(const AppPaths& paths, int language, double now,
                                      ExerciseHistory& history, HistoryReading* read = nullptr);

// The date and time (as the copy list shows them) of the history copy, when it holds records and
// loads without damage; nothing otherwise.
std::optional<std::string> GoodHistoryCopyDate(const AppPaths& paths);
// "Wczytać historię ćwiczeń z kopii z " + dateTime + "?"
std::string HistoryRestoreQuestion(std::string_view dateTime);

struct RestoreHistoryResult {
    bool restored = false;
    std::string message;  // UTF-8, for the learner
};
// Replaces the records with those of the copy and saves them as the working file; the history is
// no longer marked damaged. Nothing changes when the copy is missing or damaged.
RestoreHistoryResult RestoreHistoryCopy(const AppPaths& paths, ExerciseHistory& history);

// ---- Results ------------------------------------------------------------------------------------

enum class StoreResultStatus {
    Updated,    // the entry of this set, kind and key counted one more result
    Added,      // the set's catalogue entry became the result entry, or a new entry was appended
    NoSuchSet,  // no record holds the set id: nothing recorded
    Full,       // the store holds kMaxHistoryRecords records: kHistoryFullMessage
};

// Records a result of exercise kind stepId (1..79) for a set. A negative percent counts as 0 and
// one above 100 as 100. The set's records move to the end of the store.
StoreResultStatus StoreSetResult(ExerciseHistory& history, double now, int percent,
                                 std::string_view setId, int stepId, std::uint8_t key,
                                 bool complete);

// What to tell the learner about a stored result (UTF-8): kHistoryFullMessage for Full, else
// nothing.
std::string_view StoreResultMessage(StoreResultStatus status);

// The percentage of a finished exercise: right / (stepCount * planned + wrong) * 100, rounded
// half to even; nothing when no result is to be recorded (fewer than two finished rows, unless
// the one finished row was the only one planned).
std::optional<int> ExerciseResultPercent(int right, int wrong, int stepCount, int planned,
                                         int finished);

// "Ostatnio: yyyy-mm-dd <kind name> <percent> %" + "!" when not complete + " ", from the latest
// result of the set (UTF-8); empty when the set has no result.
std::string LatestResultText(const ExerciseHistory& history, std::string_view setId);

}  // namespace dyd
