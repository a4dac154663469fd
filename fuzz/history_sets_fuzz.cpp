// The exercise history, the set files, the code list of the dictionary, the QA import and the
// interlude packs: any bytes are read without harm.

#include "core/exercise_sets.h"
#include "core/history.h"
#include "core/interlude_packs.h"
#include "core/qa_import.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const double now = 46357.5;

    ExerciseHistory history = ParseHistory(bytes);
    fuzz::Require(history.count() <= kMaxHistoryRecords, "at most 7000 history records");
    const std::string historyWritten = FormatHistory(history);
    fuzz::Require(FormatHistory(ParseHistory(historyWritten)) == historyWritten,
                  "the history reads back the same");
    MergeUserSets(bytes, now, history);
    StoreSetResult(history, now, 75, "201-1-0001", 6, 0, true);
    fuzz::Require(history.count() <= kMaxHistoryRecords, "still at most 7000 records");
    ExerciseHistory catalogue;
    CatalogueFromShippedSets(bytes, now, catalogue);

    CurrentSet set;
    FindSetCodes(bytes, "201-1-0001", set);
    fuzz::Require(set.count >= 0 && set.count <= kMaxSetUnits, "a set holds at most 300 units");
    SetNameExistsIn(bytes, "Moje");
    SaveSetResult saved;
    set.count = 2;
    set.codes[0] = 12;
    set.codes[1] = 99999;
    RewriteUserSets(bytes, true, set, "Moje", "201-1", SaveSetMode::Save, saved);
    RewriteUserSets(bytes, true, set, "Moje", "201-1-0001", SaveSetMode::Overwrite, saved);
    RewriteUserSets(bytes, true, set, "Moje", "201-1-0001", SaveSetMode::Delete, saved);
    CurrentSet listed;
    ParseCodeList(bytes, listed);
    fuzz::Require(listed.count >= 0 && listed.count <= kMaxSetUnits, "a code list fits a set");

    UnitTable units;
    ImportQaBytes(bytes, units, 90001, 99000);
    fuzz::Require(units.unitCount() <= kMaxUnits, "the QA import respects the capacity");

    InterludePack pack = ParsePackFile(bytes);
    for (const int kind : {1, 2, 3, 4, 5, 0}) {
        pack.kind = kind;
        ParseContentFile(bytes, pack);
        fuzz::Require(pack.itemCount >= 0 && pack.itemCount <= 300, "pack items are bounded");
    }
    return 0;
}
