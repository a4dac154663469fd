// Writing the learner-units file after the editor closed: 10000 units of the learner's own
// (words, sentences and QA items with every field used), the file replaced atomically and
// flushed to disk; beside it the floor, the same bytes written through the same atomic write.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/files.h"
#include "core/learner_files.h"
#include "core/unit_table.h"

namespace {

using namespace dyd;

constexpr int kOwnUnits = 10000;

UnitTable OwnUnits() {
    UnitTable units;
    units.Reserve(kOwnUnits);
    for (int i = 0; i < kOwnUnits; ++i) {
        Unit u;
        u.unitId = 80001 + 2 * i;
        u.recordingSource = 1;
        u.unitKind = i % 10 == 9 ? kSentenceUnit : (i % 10 == 8 ? kQaUnit : kWordUnit);
        u.groupId = 60 + i % 30;
        u.level = 1 + i % 4;
        u.partOfSpeech = 1 + i % 6;
        const std::string n = std::to_string(i);
        u.foreignText = u.unitKind == kSentenceUnit ? "This is <sentence> number " + n : "word" + n;
        u.nativeText = "znaczenie " + n;
        u.comment = "komentarz do jednostki " + n;
        u.recording = std::to_string(u.unitId) + ".wav";
        if (u.unitKind == kSentenceUnit) {
            u.sentenceTranslation = "To jest zdanie numer " + n + ".";
            u.distractors = "word/phrase";
        } else {
            u.plural = "words" + n;
            u.synonyms = "term" + n;
            u.hint = "w...";
        }
        units.Append(std::move(u));
    }
    return units;
}

class Folder {
  public:
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dyd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            paths.databaseDir = pattern + "/";
        }
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(paths.databaseDir, ignored);
    }
    AppPaths paths;
};

void BM_SaveLearnerUnits10000(benchmark::State& state) {
    const UnitTable units = OwnUnits();
    Folder folder;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const SaveLearnerUnitsResult r = SaveLearnerUnits(folder.paths, units);
        if (!r.written || !r.refused.empty()) {
            state.SkipWithError("the learner-units file was not written whole");
            return;
        }
    }
    bytes = std::filesystem::file_size(folder.paths.databaseDir + std::string(kLearnerUnitsFile));
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveLearnerUnits10000)->Unit(benchmark::kMillisecond);

// The floor: the same content through the same atomic, flushed write.
void BM_SaveLearnerUnits10000Floor(benchmark::State& state) {
    const std::string content = FormatLearnerUnits(OwnUnits(), nullptr);
    Folder folder;
    const std::string path = folder.paths.databaseDir + std::string(kLearnerUnitsFile);
    for (auto _ : state) {
        if (!WriteFileAtomically(path, content)) {
            state.SkipWithError("cannot write");
            return;
        }
    }
    state.counters["bytes"] = static_cast<double>(content.size());
}
BENCHMARK(BM_SaveLearnerUnits10000Floor)->Unit(benchmark::kMillisecond);

}  // namespace
