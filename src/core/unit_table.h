#pragma once

// The open course database in memory: the units, addressed by unit number 1..unitCount, and the
// group, relation and substitution tables beside them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/unit_text.h"

namespace dyd {

inline constexpr int kMaxUnits = 25000;
inline constexpr int kMaxGroups = 100;
inline constexpr int kMaxRelations = 25000;
inline constexpr int kMaxSubstitutions = 30;

enum UnitKind : std::int32_t { kWordUnit = 1, kSentenceUnit = 2, kQaUnit = 3 };

enum PartOfSpeech : std::int32_t {
    kNoun = 1,
    kAdjective = 2,
    kVerb = 3,
    kOtherPart = 4,
    kSentencePart = 5,
    kAdverb = 6,
};

// One unit. Texts are the bytes of the database files: foreignText and synonyms in the
// database's character set, the others in Windows-1250; each is a compact UnitText.
struct Unit {
    std::int32_t unitId = 0;  // change only through UnitTable::SetUnitId
    std::int32_t unitKind = kWordUnit;
    std::int32_t partOfSpeech = 0;
    std::int32_t level = 0;
    std::int32_t groupId = 0;
    std::int32_t userKindOverride = 0;
    // The kind the database file gives, kept when a learner's switch overrides unitKind
    // (0 while no switch was applied), so that learner units are written with their own kind.
    std::int32_t fileKind = 0;
    std::uint8_t recordingSource = 0;
    std::uint8_t matchingUsed = 0;
    std::uint8_t corrected = 0;
    std::array<std::uint8_t, 4> correctionFlags{};
    UnitText foreignText;
    UnitText nativeText;
    UnitText recording;
    UnitText answerRecording;
    UnitText plural;
    UnitText synonyms;
    UnitText comment;
    UnitText hint;
    UnitText extraTranslation;
    UnitText sentenceTranslation;
    UnitText distractors;
    UnitText searchText;
    UnitText userComment;  // as shown; its file writes every "=" as "#"
    UnitText correctionNote;
    UnitText correctionHint;
};

// Storage for the rows of a unit table: a full table holds some megabytes, which are mapped in
// huge pages where the system offers them, so that opening a database does not pay for
// thousands of page faults.
template <typename T>
struct RowAllocator {
    using value_type = T;
    RowAllocator() = default;
    template <typename U>
    RowAllocator(const RowAllocator<U>&) {}  // NOLINT(google-explicit-constructor)
    T* allocate(std::size_t n) { return static_cast<T*>(AllocateRows(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreeRows(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const RowAllocator<U>&) const {
        return true;
    }
    static void* AllocateRows(std::size_t bytes);
    static void FreeRows(void* p, std::size_t bytes);
};

// Hands back to the system the memory that freed tables and texts left: the heap's free blocks
// and the rows of the last table freed, which the next table of about its size would reuse.
void ReleaseFreeMemory();

class UnitTable {
  public:
    int unitCount() const { return static_cast<int>(rows_.size()); }
    int wordUnitCount = 0;
    std::int32_t nextUserId = 0;

    // Unit number n, 1..unitCount.
    Unit& unit(int n) { return rows_[static_cast<std::size_t>(n - 1)]; }
    const Unit& unit(int n) const { return rows_[static_cast<std::size_t>(n - 1)]; }

    void Clear();
    void Reserve(int count) { rows_.reserve(static_cast<std::size_t>(count)); }

    // Appends a row as unit number unitCount + 1; false (and nothing changes) when the table
    // already holds kMaxUnits rows.
    bool Append(Unit unit);

    // Appending in place, for loaders: BeginAppend gives an empty row at the end (nullptr when
    // the table is full); the caller fills it and either keeps it with CommitAppend or drops it
    // with CancelAppend.
    Unit* BeginAppend();
    void CommitAppend();
    void CancelAppend();

    void SetUnitId(int n, std::int32_t id);

    // The unit number of the first row with that id, or -1 when none has it.
    int IndexOfUnitId(std::int32_t id) const;

    // Where loaders keep the longer texts of the rows they append (UnitText::AssignKept).
    TextArena& keptTexts() { return keptTexts_; }
    std::size_t keptTextBytes() const { return keptTexts_.capacity(); }

    // The units, unit number n at index n - 1.
    std::span<const Unit> rows() const { return rows_; }
    std::size_t capacity() const { return rows_.capacity(); }

  private:
    void RebuildIndex() const;

    void IndexRow(std::int32_t id, std::int32_t row) const;

    // The first row of each id: ids of up to five digits (those of the course files) in a flat
    // table, any other id in a map.
    static constexpr std::int32_t kFlatIds = 100000;
    // Before the rows, so that the rows go first.
    TextArena keptTexts_;
    std::vector<Unit, RowAllocator<Unit>> rows_;
    mutable std::vector<std::int32_t> firstRowOfSmallId_;
    mutable std::unordered_map<std::int32_t, std::int32_t> firstRowOfOtherId_;
    mutable bool indexValid_ = true;
};

inline constexpr std::string_view kAddUnitNoRoomMessage =
    "Brak miejsca (maksymalna liczba jednostek to 25000)!";

struct Group {
    std::int32_t groupId = 0;
    std::uint8_t listed = 0;
    std::string tag;
    std::string name;
    std::string extra;
};

struct Relation {
    std::int32_t unitId = 0;
    std::int32_t relatedId = 0;
    std::uint8_t flag = 0;
};

struct Substitution {
    std::string key;
    std::string value;
};

// The group of a database without a group file. "Własne..." in Windows-1250.
Group DefaultGroup();

// The name of the first group with that id, or an empty text.
std::string GroupName(const std::vector<Group>& groups, std::int32_t groupId);

// Short description of a unit: mode 1 "Gr. tem.: " + group + " " + part-of-speech label, mode 2
// "Gr. tem.: " + label, mode 3 "Gr. tem.: " + group, mode 30 the group alone, otherwise empty.
// Windows-1250 bytes.
std::string UnitLabel(const UnitTable& units, const std::vector<Group>& groups, int unitNumber,
                      int mode);

// The label of a part of speech in the unit description, Windows-1250 bytes ("" for 4 and 5).
std::string_view PartOfSpeechLabel(std::int32_t partOfSpeech);

// The largest id strictly between low and high, or low when there is none, plus one.
std::int32_t ComputeNextUserId(const UnitTable& units, std::int32_t low, std::int32_t high);

}  // namespace dyd
