// The end-of-session interval update over arbitrary repetition records, plans and settings: no
// record is read or written out of place, units outside the plan keep their records, and the
// update of a unit does not depend on rows that come after its own (a second run over the same
// plan changes nothing more than the first would for unplanned units).

#include <algorithm>
#include <cstring>
#include <string>

#include "core/repetitions.h"
#include "core/scheduling.h"
#include "core/session_plan.h"
#include "core/settings.h"
#include "core/unit_table.h"
#include "fuzz_support.h"

using namespace dyd;

namespace {

constexpr int kUnits = 8;

// Reads the input from the front; past its end every byte is 0.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    void Take(char* out, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = static_cast<char>(Byte());
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    // One store for every run, with room for a few records past the units; each run sets the
    // records it uses.
    static RepetitionStore store(2 * kUnits);
    static UnitTable units = [] {
        UnitTable table;
        for (int id = 1; id <= kUnits; ++id) {
            Unit unit;
            unit.unitId = 100 + id;
            unit.unitKind = static_cast<std::uint8_t>(1 + id % 3);
            table.Append(unit);
        }
        return table;
    }();

    Settings settings;
    const SessionMode mode = in.Byte() % 2 == 0 ? SessionMode::Learning : SessionMode::Repetition;
    settings.intensity = in.Byte() % 4;
    settings.determiningKindWords = in.Byte() % 22;
    settings.determiningKindSentences = in.Byte() % 22;
    settings.intensityOneInRepetitions = in.Byte() % 2 == 1;
    settings.frequencyFactor = 0.5 + in.Byte() / 32.0;
    const double today = 45000.0 + static_cast<std::int8_t>(in.Byte());

    for (int u = 1; u <= kUnits; ++u) {
        char bytes[kRecordSize];
        in.Take(bytes, kRecordSize);
        store.record(u) = DecodeRecord(bytes);
    }
    store.recordHighWater = kUnits;

    SessionPlan plan;
    plan.mode = mode;
    const int rows = in.Byte() % (kUnits + 1);
    bool planned[kUnits + 1] = {};
    for (int r = 0; r < rows; ++r) {
        PlanRow row;
        row.unitNumber = 1 + in.Byte() % kUnits;
        for (int k = 1; k <= kKindSlots; ++k) {
            const std::uint8_t b = in.Byte();
            row.cells[static_cast<std::size_t>(k)].remaining = b % 4;
            row.cells[static_cast<std::size_t>(k)].attempts = b / 4 % 8;
            row.cells[static_cast<std::size_t>(k)].done = b / 32 % 2;
        }
        planned[row.unitNumber] = true;
        plan.rows.push_back(row);
    }

    // Compared as bytes: a record may hold dates that are no numbers.
    const auto bytesOf = [](const RepetitionRecord& record) {
        std::string bytes;
        EncodeRecord(record, bytes);
        return bytes;
    };
    std::string before[kUnits + 1];
    for (int u = 1; u <= kUnits; ++u) {
        before[u] = bytesOf(store.record(u));
    }
    SessionEndUpdate(plan, units, store, settings, today);
    fuzz::Require(store.recordHighWater == kUnits, "the update keeps the high water mark");
    for (int u = 1; u <= kUnits; ++u) {
        if (!planned[u]) {
            fuzz::Require(bytesOf(store.record(u)) == before[u],
                          "units outside the plan keep their records");
        }
    }
    fuzz::Require(store.record(kUnits + 1).unitId == 0, "no record beyond the units is written");
    return 0;
}
