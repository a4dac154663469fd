// Repetition files and learner units of earlier editions.

#include "core/repetition_import.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    UnitTable units;
    for (int id = 1; id <= 40; ++id) {
        Unit unit;
        unit.unitId = id;
        units.Append(unit);
    }
    // A store with room for the units of the table only, made once; an import without keep
    // starts it afresh.
    static RepetitionStore store(64);
    for (const Edition edition : {Edition::E2001, Edition::E40, Edition::E50}) {
        for (const bool keep : {false, true}) {
            ImportRepetitionRecords(bytes, edition, keep, units, store);
        }
        UnitTable copy = units;
        AppendEarlierLearnerUnits(bytes, edition, copy);
        fuzz::Require(copy.unitCount() <= kMaxUnits, "earlier learner units respect the capacity");
    }
    ParseImportAccounts(bytes);
    return 0;
}
