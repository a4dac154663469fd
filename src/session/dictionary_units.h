#pragma once

// The units the learner picked in the companion dictionary: its list file (the learner's folder,
// the database code + "slow.txt") read into the CurrentSet's codes, the codes resolved to unit
// numbers, entries removed one at a time, the list taken for a session, and the file removed
// when the learner does not keep it. Codes the database does not hold are left out when the
// file is read and counted, so that no entry shows another unit's text or reaches a session.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/exercise_sets.h"
#include "core/paths.h"
#include "core/session_plan.h"
#include "core/unit_table.h"

namespace dyd {

inline constexpr std::string_view kDictionaryListName = "slow.txt";

// userDir + databaseCode + "slow.txt", letter case aside.
std::string DictionaryListPath(const AppPaths& paths);

struct DictionaryUnits {
    std::vector<std::int32_t> codes;        // in file order
    std::vector<std::int32_t> unitNumbers;  // the unit of each code
    int leftOut = 0;                        // codes of the file the database does not hold

    int count() const { return static_cast<int>(unitNumbers.size()); }
};

enum class DictionaryReadStatus { Read, Missing, Unreadable };

struct DictionaryRead {
    DictionaryReadStatus status = DictionaryReadStatus::Missing;
    DictionaryUnits units;
    std::string message;  // for the learner (UTF-8) when the file could not be read
};

inline constexpr std::string_view kDictionaryUnreadableMessage =
    "Nie można odczytać listy słówek wybranych w Słowniku: ";
inline constexpr std::string_view kDictionaryNotDeletedMessage =
    "Nie można usunąć listy słówek wybranych w Słowniku: ";

// Resolves the codes of set (as a code list left them) to unit numbers, leaving out the codes
// no unit holds.
DictionaryUnits ResolveDictionaryUnits(const CurrentSet& set, const UnitTable& units);

// Reads the list file into set (its codes, as a code list gives them; plan.currentKind becomes 0)
// and resolves them. A file that exists but cannot be read leaves set untouched and says so.
DictionaryRead ReadDictionaryList(const std::string& path, const UnitTable& units, CurrentSet& set,
                                  SessionPlan& plan);

// Removes entry index (0-based); later entries move up. Returns the entry to select next: the
// same position when it still exists, else the last entry, -1 when the list is empty.
int RemoveDictionaryUnit(DictionaryUnits& list, int index);

// Says how many codes of the file the database lacks; empty when none.
std::string DictionaryLeftOutText(int leftOut);

// The CurrentSet becomes the list (codes and unit numbers), without a set name or key.
void TakeDictionaryUnits(const DictionaryUnits& list, CurrentSet& set);

// Removes the list file. False, with the message for the learner, when it stays.
bool DeleteDictionaryList(const std::string& path, std::string& message);

}  // namespace dyd
