// A learner's files: usr.t, the settings, the repetition file and its copy list. Any bytes are
// read; what is written from them reads back the same.

#include "core/repetitions.h"
#include "core/settings.h"
#include "core/users.h"
#include "fuzz_support.h"

using namespace dyd;

namespace {

const UnitTable& Units() {
    static const UnitTable units = [] {
        UnitTable table;
        for (int id = 1; id <= 60; ++id) {
            Unit unit;
            unit.unitId = id * 3;
            table.Append(unit);
        }
        return table;
    }();
    return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);

    const UserList users = ParseUserList(bytes);
    fuzz::Require(users.users.size() <= static_cast<std::size_t>(kMaxUsers), "at most 50 users");
    const std::string usersWritten = FormatUserList(users);
    fuzz::Require(FormatUserList(ParseUserList(usersWritten)) == usersWritten,
                  "the learner list reads back the same");

    std::vector<SettingsRepair> repairs;
    const Settings settings = ParseSettings(bytes, &repairs);
    const std::string settingsWritten = FormatSettings(settings);
    fuzz::Require(FormatSettings(ParseSettings(settingsWritten)) == settingsWritten,
                  "settings read back the same");

    // Stores with room for the units of the table only: a parse clears every record it holds.
    static RepetitionStore store(64);
    static RepetitionStore again(64);
    ParseRepetitionFile(bytes, Units(), store);
    int written = 0;
    const std::string records = FormatRepetitionFile(store, Units().unitCount(), &written);
    ParseRepetitionFile(records, Units(), again);
    int writtenAgain = 0;
    fuzz::Require(FormatRepetitionFile(again, Units().unitCount(), &writtenAgain) == records,
                  "repetition records read back the same");

    const std::vector<CopyListEntry> copies = ParseCopyList(bytes);
    const std::string list = FormatCopyList(copies);
    fuzz::Require(FormatCopyList(ParseCopyList(list)) == list, "the copy list reads back the same");
    return 0;
}
