#include "core/unit_table.h"

#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <utility>

namespace dyd {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

// The mapping ends at the page after the last row: the huge pages cover whole 2 MiB stretches of
// it, and the stretch past the last of them is not rounded up to a huge page of memory.
std::size_t MappedSize(std::size_t bytes) { return (bytes + kPage - 1) / kPage * kPage; }

// The rows of the last large table freed stay mapped for the next one: a login that reads a
// course ahead and then another, or a database opened again, finds its pages already there
// instead of having the kernel clear them anew. ReleaseFreeMemory gives them back.
struct SpareRows {
    std::mutex mutex;
    void* rows = nullptr;
    std::size_t mapped = 0;
};

SpareRows& Spare() {
    static SpareRows spare;
    return spare;
}

// Takes the spare rows when they fit and are at most a quarter larger; the part past the size
// asked for is unmapped, so that the rows are freed with the size they were asked with.
void* TakeSpare(std::size_t mapped) {
    SpareRows& spare = Spare();
    void* rows = nullptr;
    std::size_t spareMapped = 0;
    {
        const std::lock_guard lock(spare.mutex);
        if (spare.rows == nullptr || spare.mapped < mapped ||
            spare.mapped - mapped > spare.mapped / 4) {
            return nullptr;
        }
        rows = std::exchange(spare.rows, nullptr);
        spareMapped = std::exchange(spare.mapped, 0);
    }
    if (spareMapped > mapped) {
        ::munmap(static_cast<char*>(rows) + mapped, spareMapped - mapped);
    }
    return rows;
}
}  // namespace

void ReleaseFreeMemory() {
    SpareRows& spare = Spare();
    void* rows = nullptr;
    std::size_t mapped = 0;
    {
        const std::lock_guard lock(spare.mutex);
        rows = std::exchange(spare.rows, nullptr);
        mapped = std::exchange(spare.mapped, 0);
    }
    if (rows != nullptr) {
        ::munmap(rows, mapped);
    }
    ::malloc_trim(0);
}

template <typename T>
void* RowAllocator<T>::AllocateRows(std::size_t bytes) {
    if (bytes < kHugePage) {
        return ::operator new(bytes);
    }
    const std::size_t mapped = MappedSize(bytes);
    if (void* spare = TakeSpare(mapped)) {
        return spare;
    }
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        throw std::bad_alloc();
    }
    ::madvise(p, mapped, MADV_HUGEPAGE);
    return p;
}

template <typename T>
void RowAllocator<T>::FreeRows(void* p, std::size_t bytes) {
    if (bytes < kHugePage) {
        ::operator delete(p);
        return;
    }
    const std::size_t mapped = MappedSize(bytes);
    SpareRows& spare = Spare();
    void* older = nullptr;
    std::size_t olderMapped = 0;
    {
        const std::lock_guard lock(spare.mutex);
        older = std::exchange(spare.rows, p);
        olderMapped = std::exchange(spare.mapped, mapped);
    }
    if (older != nullptr) {
        ::munmap(older, olderMapped);
    }
}

template struct RowAllocator<Unit>;

void UnitTable::Clear() {
    rows_.clear();
    keptTexts_.Clear();
    firstRowOfSmallId_.clear();
    firstRowOfOtherId_.clear();
    indexValid_ = true;
    wordUnitCount = 0;
}

void UnitTable::IndexRow(std::int32_t id, std::int32_t row) const {
    if (id >= 0 && id < kFlatIds) {
        // The flat table grows with the ids it holds, doubling, so that a small table of
        // small ids costs little to make.
        const auto needed = static_cast<std::size_t>(id) + 1;
        if (needed > firstRowOfSmallId_.size()) {
            firstRowOfSmallId_.resize(
                std::min<std::size_t>(std::max(needed, firstRowOfSmallId_.size() * 2), kFlatIds));
        }
        std::int32_t& slot = firstRowOfSmallId_[static_cast<std::size_t>(id)];
        if (slot == 0) {
            slot = row;
        }
    } else {
        firstRowOfOtherId_.emplace(id, row);
    }
}

bool UnitTable::Append(Unit unit) {
    Unit* row = BeginAppend();
    if (row == nullptr) {
        return false;
    }
    *row = std::move(unit);
    CommitAppend();
    return true;
}

Unit* UnitTable::BeginAppend() {
    if (unitCount() >= kMaxUnits) {
        return nullptr;
    }
    return &rows_.emplace_back();
}

void UnitTable::CommitAppend() {
    if (indexValid_) {
        IndexRow(rows_.back().unitId, unitCount());
    }
}

void UnitTable::CancelAppend() {
    rows_.pop_back();
}

void UnitTable::SetUnitId(int n, std::int32_t id) {
    unit(n).unitId = id;
    indexValid_ = false;
}

void UnitTable::RebuildIndex() const {
    firstRowOfSmallId_.clear();
    firstRowOfOtherId_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        IndexRow(rows_[i].unitId, static_cast<std::int32_t>(i + 1));
    }
    indexValid_ = true;
}

int UnitTable::IndexOfUnitId(std::int32_t id) const {
    if (!indexValid_) {
        RebuildIndex();
    }
    std::int32_t row = 0;
    if (id >= 0 && id < kFlatIds) {
        const auto at = static_cast<std::size_t>(id);
        row = at < firstRowOfSmallId_.size() ? firstRowOfSmallId_[at] : 0;
    } else {
        const auto found = firstRowOfOtherId_.find(id);
        row = found == firstRowOfOtherId_.end() ? 0 : found->second;
    }
    if (row == 0) {
        return -1;
    }
    // A row whose id was written directly, bypassing SetUnitId, makes the index stale.
    if (row > unitCount() || rows_[static_cast<std::size_t>(row - 1)].unitId != id) {
        RebuildIndex();
        return IndexOfUnitId(id);
    }
    return row;
}

Group DefaultGroup() {
    Group group;
    group.groupId = 99;
    group.listed = 1;
    group.tag = "Users";
    group.name =
        "W\xB3"
        "asne...";
    return group;
}

std::string GroupName(const std::vector<Group>& groups, std::int32_t groupId) {
    for (const Group& group : groups) {
        if (group.groupId == groupId) {
            return group.name;
        }
    }
    return {};
}

std::string_view PartOfSpeechLabel(std::int32_t partOfSpeech) {
    switch (partOfSpeech) {
        case kNoun:
            return "(rzeczownik)";
        case kAdjective:
            return "(przymiotnik)";
        case kVerb:
            return "(czasownik)";
        case kAdverb:
            return "(przys\xB3\xF3wek)";
        default:
            return {};
    }
}

std::string UnitLabel(const UnitTable& units, const std::vector<Group>& groups, int unitNumber,
                      int mode) {
    if (unitNumber < 1 || unitNumber > units.unitCount()) {
        return {};
    }
    const Unit& unit = units.unit(unitNumber);
    const std::string group = GroupName(groups, unit.groupId);
    const std::string_view label = PartOfSpeechLabel(unit.partOfSpeech);
    switch (mode) {
        case 1:
            return "Gr. tem.: " + group + " " + std::string(label);
        case 2:
            return "Gr. tem.: " + std::string(label);
        case 3:
            return "Gr. tem.: " + group;
        case 30:
            return group;
        default:
            return {};
    }
}

std::int32_t ComputeNextUserId(const UnitTable& units, std::int32_t low, std::int32_t high) {
    std::int32_t m = low;
    for (const Unit& unit : units.rows()) {
        if (unit.unitId > low && unit.unitId < high) {
            m = std::max(m, unit.unitId);
        }
    }
    return m + 1;
}

}  // namespace dyd
