// Importing a KVTML file of 25000 entries (the full-capacity course exported: words with their
// plurals, synonyms and recordings, sentences) into an empty database as the learner's own units:
// the file read from disk, parsed, every entry converted and checked, the units appended. Beside
// it the floor: the same bytes read from disk and passed through Qt's XML stream reader alone.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QByteArray>
#include <QXmlStreamReader>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/files.h"
#include "exchange/exchange.h"
#include "full_course.h"

namespace {

using namespace dyd;

class KvtmlFile {
  public:
    KvtmlFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dyd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        folder_ = pattern + "/";
        LearnerSession session;
        bench::FillFullCourse(session, {.recordings = true});
        ExchangeList list = EntriesOfDatabase(session.db);
        entries = static_cast<int>(list.entries.size());
        for (std::size_t i = 0; i < list.entries.size(); ++i) {
            ExchangeEntry& e = list.entries[i];
            e.comment = i % 3 == 0 ? "komentarz ucznia nr " + std::to_string(i) : std::string();
            if (e.kind == kWordUnit && e.plural.empty()) {
                e.plural = e.foreign + "s";
            }
        }
        path = folder_ + "kurs.kvtml";
        const std::string bytes = WriteExchange(list, ExchangeFormat::Kvtml);
        size = bytes.size();
        if (!WriteFileAtomically(path, bytes)) {
            path.clear();
        }
    }
    ~KvtmlFile() {
        std::error_code ignored;
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_, ignored);
        }
    }
    KvtmlFile(const KvtmlFile&) = delete;
    KvtmlFile& operator=(const KvtmlFile&) = delete;

    std::string path;
    std::size_t size = 0;
    int entries = 0;

  private:
    std::string folder_;
};

const KvtmlFile& File() {
    static const KvtmlFile file;
    return file;
}

CourseDatabase EmptyDatabase() {
    CourseDatabase db;
    db.params.language = 1;
    db.params.userIdLow = 70000;
    db.params.userIdHigh = 99999;
    db.groups.push_back(DefaultGroup());
    db.units.Reserve(kMaxUnits);
    return db;
}

void BM_ImportKvtml25000(benchmark::State& state) {
    const KvtmlFile& file = File();
    if (file.path.empty() || file.entries != kMaxUnits) {
        state.SkipWithError("the KVTML file of the full course was not made");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        CourseDatabase db = EmptyDatabase();
        state.ResumeTiming();
        const ExchangeImportResult r =
            ImportExchangeFile(file.path, ExchangeFormat::Kvtml, db, {}, 70001);
        if (!r.errors.empty() || r.imported != kMaxUnits) {
            state.SkipWithError(r.errors.empty() ? "not every entry was imported"
                                                 : ExchangeErrorText(r.errors.front()).c_str());
            return;
        }
        benchmark::DoNotOptimize(db.units.unitCount());
        state.PauseTiming();
        db = CourseDatabase();  // the table's pages go back outside the measured time
        state.ResumeTiming();
    }
    state.counters["entries"] = file.entries;
    state.counters["bytes"] = static_cast<double>(file.size);
}
BENCHMARK(BM_ImportKvtml25000)->Unit(benchmark::kMillisecond);

void BM_ImportKvtml25000Floor(benchmark::State& state) {
    const KvtmlFile& file = File();
    if (file.path.empty()) {
        state.SkipWithError("the KVTML file of the full course was not made");
        return;
    }
    for (auto _ : state) {
        const std::optional<std::string> bytes = ReadFileBytes(file.path);
        QXmlStreamReader xml(
            QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size())));
        std::int64_t texts = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::Characters && !xml.isWhitespace()) {
                texts += xml.text().size();
            }
        }
        benchmark::DoNotOptimize(texts);
    }
    state.counters["bytes"] = static_cast<double>(file.size);
}
BENCHMARK(BM_ImportKvtml25000Floor)->Unit(benchmark::kMillisecond);

}  // namespace
