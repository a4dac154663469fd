#include "core/unit_table.h"

#include <algorithm>

namespace dyd {

void UnitTable::Clear() {
    rows_.clear();
    firstRowOfId_.clear();
    indexValid_ = true;
    wordUnitCount = 0;
}

bool UnitTable::Append(Unit unit) {
    if (unitCount() >= kMaxUnits) {
        return false;
    }
    const std::int32_t id = unit.unitId;
    rows_.push_back(std::move(unit));
    if (indexValid_) {
        firstRowOfId_.emplace(id, unitCount());
    }
    return true;
}

void UnitTable::SetUnitId(int n, std::int32_t id) {
    unit(n).unitId = id;
    indexValid_ = false;
}

void UnitTable::RebuildIndex() const {
    firstRowOfId_.clear();
    firstRowOfId_.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        firstRowOfId_.emplace(rows_[i].unitId, static_cast<std::int32_t>(i + 1));
    }
    indexValid_ = true;
}

int UnitTable::IndexOfUnitId(std::int32_t id) const {
    if (!indexValid_) {
        RebuildIndex();
    }
    auto found = firstRowOfId_.find(id);
    if (found != firstRowOfId_.end() && found->second <= unitCount() &&
        rows_[static_cast<std::size_t>(found->second - 1)].unitId == id) {
        return found->second;
    }
    // A row whose id was written directly, bypassing SetUnitId: the index is stale.
    if (found != firstRowOfId_.end()) {
        RebuildIndex();
        found = firstRowOfId_.find(id);
        return found == firstRowOfId_.end() ? -1 : found->second;
    }
    return -1;
}

Group DefaultGroup() {
    Group group;
    group.groupId = 99;
    group.listed = 1;
    group.tag = "Users";
    group.name = "W\xB3" "asne...";
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
