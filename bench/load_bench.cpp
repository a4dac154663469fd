// Opening a full course database at login: 25000 units and 25000 relations, compared with only
// reading and splitting the same files, and the heap that the loaded database holds.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/codepage.h"
#include "core/database.h"
#include "core/files.h"
#include "core/learner_files.h"
#include "core/markup.h"
#include "core/paths.h"
#include "core/text.h"
#include "full_course.h"

namespace {

namespace fs = std::filesystem;
using namespace dyd;

// ---- The installation --------------------------------------------------------------------

constexpr int kWordUnits = 20000;
constexpr int kComments = 100;

struct Installation {
    fs::path root;
    AppPaths paths;                  // as the login sets them before opening the database
    std::vector<std::string> files;  // every file that opening the database reads
    std::int64_t fileBytes = 0;
    std::string error;  // empty when the installation loads as intended

    Installation() = default;
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;
    ~Installation() {
        if (!root.empty()) {
            std::error_code ignored;
            fs::remove_all(root, ignored);
        }
    }
};

// Opens the database as the login does.
bool OpenDatabase(const Installation& course, CourseDatabase& db, LoadLog& log) {
    AppPaths paths = course.paths;
    if (!LoadDatabaseParameters(paths, db, log)) {
        return false;
    }
    LoadDatabase(paths, db, log);
    return true;
}

// The course files of the full installation, the learner's comments on 100 units, and the
// marker of an installation.
void WriteInstallation(Installation& course) {
    std::string folder = (fs::temp_directory_path() / "dyd-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        course.error = "cannot create a temporary folder";
        return;
    }
    course.root = folder;
    course.paths.programDir = folder + "/";
    course.paths.databaseCode = "ang";
    course.paths.databaseDir = course.paths.programDir + "db/ang/";
    course.paths.userDir = course.paths.programDir + "1/";
    course.paths.discRoot = "D:\\";
    course.paths.languageDir = std::string(kLanguageDir);

    std::map<std::string, std::string> files = bench::FullCourseFiles();
    files[std::string(kInstallMarker)] = "[Instalacja]\r\nDR=D:\\\r\n";
    std::string comments;
    for (int i = 1; i <= kComments; ++i) {
        comments += std::to_string(i * 97) +
                    "=trudne, powtórzyć przed sprawdzianem=" + (i % 10 == 0 ? "3" : "0") + "=\r\n";
    }
    files["1/" + CommentsFileName(course.paths.databaseCode)] =
        FromUtf8(comments, CodePage::Cp1250).value_or("");
    for (const auto& [name, bytes] : files) {
        const fs::path path = course.root / name;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        std::string why;
        if (!WriteFileAtomically(path.string(), bytes, &why)) {
            course.error = "cannot write " + path.string() + ": " + why;
            return;
        }
    }
}

void CheckInstallation(Installation& course) {
    CourseDatabase db;
    LoadLog log;
    if (!OpenDatabase(course, db, log)) {
        course.error = "the parameters file was not found";
        return;
    }
    std::string wrong;
    const auto expect = [&wrong](std::string_view what, std::size_t got, std::size_t wanted) {
        if (got != wanted) {
            wrong += std::string(what) + " " + std::to_string(got) + " (expected " +
                     std::to_string(wanted) + "); ";
        }
    };
    expect("unitCount", static_cast<std::size_t>(db.units.unitCount()), kMaxUnits);
    expect("wordUnitCount", static_cast<std::size_t>(db.units.wordUnitCount), kWordUnits);
    expect("relations", db.relations.size(), kMaxRelations);
    expect("groups", db.groups.size(), 20);
    expect("load problems", log.problems.size(), 0);
    expect("notices", log.notices.size(), 0);
    for (const std::string& file : log.files) {
        const std::string path = course.paths.programDir + file;
        course.files.push_back(path);
        course.fileBytes += static_cast<std::int64_t>(ReadFileBytes(path).value_or("").size());
    }
    if (!log.problems.empty()) {
        const LoadProblem& first = log.problems.front();
        wrong +=
            "first problem: " + first.file + ":" + std::to_string(first.line) + " " + first.message;
    }
    course.error = wrong;
}

const Installation& FullCourse() {
    static const std::unique_ptr<Installation> course = [] {
        auto made = std::make_unique<Installation>();
        WriteInstallation(*made);
        if (made->error.empty()) {
            CheckInstallation(*made);
        }
        return made;
    }();
    return *course;
}

// The bytes the heap holds for the program now: small blocks in the arenas and large blocks
// mapped on their own.
std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// ---- Benchmarks --------------------------------------------------------------------------

// Opening a database as the login does. With the argument 1 the heap that the previous database
// left is handed back to the system first, as in a program that has just started (every page is
// new); with 0 the next load reuses it.
void BM_LoadFullDatabase(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    const bool coldHeap = state.range(0) == 1;
    std::unique_ptr<CourseDatabase> previous;
    for (auto _ : state) {
        // Freeing the previous database is not part of opening one.
        state.PauseTiming();
        previous.reset();
        if (coldHeap) {
            ReleaseFreeMemory();
        }
        state.ResumeTiming();
        auto db = std::make_unique<CourseDatabase>();
        LoadLog log;
        OpenDatabase(course, *db, log);
        benchmark::DoNotOptimize(db->units.unitCount());
        previous = std::move(db);
    }
    state.SetBytesProcessed(state.iterations() * course.fileBytes);
    state.counters["units"] = previous ? previous->units.unitCount() : 0;
}
BENCHMARK(BM_LoadFullDatabase)->ArgName("coldHeap")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The floor of the load: the same files read and cut into lines, the bytes kept until the next
// round as a loaded database keeps its rows. With the argument 1 the heap is handed back to the
// system before each round, as for BM_LoadFullDatabase/coldHeap:1, so that the floor pays for
// fresh pages too.
void BM_ReadAndSplitBaseline(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    const bool coldHeap = state.range(0) == 1;
    std::vector<std::string> previous;
    for (auto _ : state) {
        state.PauseTiming();
        previous.clear();
        previous.shrink_to_fit();
        if (coldHeap) {
            ReleaseFreeMemory();
        }
        state.ResumeTiming();
        std::vector<std::string> kept;
        kept.reserve(course.files.size());
        std::size_t touched = 0;
        for (const std::string& file : course.files) {
            std::optional<std::string> bytes = ReadFileBytes(file);
            if (!bytes) {
                state.SkipWithError("a course file has disappeared");
                return;
            }
            for (const std::string_view line : SplitLines(*bytes)) {
                touched += line.size() + (line.empty() ? 0 : static_cast<unsigned char>(line[0]));
            }
            kept.push_back(std::move(*bytes));
        }
        benchmark::DoNotOptimize(touched);
        previous = std::move(kept);
    }
    state.SetBytesProcessed(state.iterations() * course.fileBytes);
}
BENCHMARK(BM_ReadAndSplitBaseline)
    ->ArgName("coldHeap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

// The heap a loaded full-capacity database holds (the load log is not kept).
void BM_LoadedDatabaseMemory(benchmark::State& state) {
    const Installation& course = FullCourse();
    if (!course.error.empty()) {
        state.SkipWithError(course.error.c_str());
        return;
    }
    std::unique_ptr<CourseDatabase> db;
    std::size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        db.reset();
        const std::size_t before = HeapInUse();
        state.ResumeTiming();
        db = std::make_unique<CourseDatabase>();
        {
            LoadLog log;
            OpenDatabase(course, *db, log);
        }
        state.PauseTiming();
        held = HeapInUse() - before;
        state.ResumeTiming();
    }
    const double rows = static_cast<double>(db->units.capacity() * sizeof(Unit));
    // The rows are mapped apart from the heap.
    held += db->units.capacity() * sizeof(Unit);
    state.counters["memory_MB"] = static_cast<double>(held) / 1e6;
    state.counters["rows_MB"] = rows / 1e6;
    state.counters["bytes_per_unit"] = static_cast<double>(held) / db->units.unitCount();
    state.counters["file_MB"] = static_cast<double>(course.fileBytes) / 1e6;
}
BENCHMARK(BM_LoadedDatabaseMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
