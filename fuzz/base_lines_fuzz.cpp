// Base lines of the course files, plain and scrambled, and the learner-units writer: whatever
// the writer accepts must read back as the same line.

#include "core/database.h"
#include "core/learner_files.h"
#include "core/text.h"
#include "fuzz_support.h"

using namespace dyd;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    for (const std::string_view raw : SplitLines(bytes)) {
        const std::string_view line = TrimView(raw);
        Unit unit;
        for (const BaseLineFormat format :
             {BaseLineFormat::Current, BaseLineFormat::OlderLearner}) {
            if (line.size() >= 8 && ParseBaseLine(line, format, unit) == BaseLineResult::Row) {
                unit.recordingSource = 1;
                if (const std::optional<std::string> written =
                        FormatLearnerUnitLine(unit, nullptr)) {
                    Unit back;
                    fuzz::Require(ParseBaseLine(*written, BaseLineFormat::Current, back) ==
                                      BaseLineResult::Row,
                                  "a written learner line reads back as a unit");
                    fuzz::Require(FormatLearnerUnitLine(back, nullptr) == written,
                                  "a written learner line reads back the same");
                }
            }
        }
        const std::string plain = UnscrambleLine(line);
        if (plain.size() >= 8) {
            ParseBaseLine(TrimView(plain), BaseLineFormat::Current, unit);
        }
        fuzz::Require(UnscrambleLine(ScrambleLine(raw)) == raw, "scrambling is undone exactly");
        Relation relation;
        ParseRelationLine(line, relation);
    }
    return 0;
}
