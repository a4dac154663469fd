// Files of other trainers: any bytes read as KVTML, TSV and CSV. A list read is either whole or
// empty with its errors; a table written reads back the same entries, a KVTML file written reads
// back without errors; an import adds every entry or none.

#include "exchange/exchange.h"
#include "fuzz_support.h"

using namespace dyd;

namespace {

bool SameTexts(const ExchangeEntry& a, const ExchangeEntry& b) {
    return a.kind == b.kind && a.partOfSpeech == b.partOfSpeech && a.level == b.level &&
           a.foreign == b.foreign && a.native == b.native && a.plural == b.plural &&
           a.synonyms == b.synonyms && a.hint == b.hint && a.comment == b.comment &&
           a.extraTranslation == b.extraTranslation && a.recording == b.recording &&
           a.answerRecording == b.answerRecording && a.group == b.group;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    for (const ExchangeFormat format :
         {ExchangeFormat::Kvtml, ExchangeFormat::Tsv, ExchangeFormat::Csv}) {
        const ExchangeReadResult read = ReadExchange(bytes, format, "f");
        fuzz::Require(read.errors.empty() || read.list.entries.empty(),
                      "a file with errors gives no entries");
        if (!read.errors.empty()) {
            continue;
        }
        const std::string written = WriteExchange(read.list, format);
        const ExchangeReadResult again = ReadExchange(written, format, "f");
        fuzz::Require(again.errors.empty(), "a file written reads back without errors");
        fuzz::Require(again.list.entries.size() == read.list.entries.size(),
                      "every entry written reads back");
        if (format != ExchangeFormat::Kvtml) {
            for (std::size_t i = 0; i < again.list.entries.size(); ++i) {
                fuzz::Require(SameTexts(again.list.entries[i], read.list.entries[i]),
                              "a table written reads back the same entries");
            }
        }

        CourseDatabase db;
        db.params.userIdLow = 90000;
        db.params.userIdHigh = 99000;
        db.groups.push_back(DefaultGroup());
        const ExchangeImportResult imported = ImportEntries(read.list, "f", db, 90001, 99000, {});
        fuzz::Require(imported.errors.empty()
                          ? imported.imported == static_cast<int>(read.list.entries.size()) &&
                                db.units.unitCount() == imported.imported
                          : imported.imported == 0 && db.units.unitCount() == 0,
                      "an import adds every entry or none");
    }
    return 0;
}
