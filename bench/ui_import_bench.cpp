// Taking over the repetition records of an earlier edition: 25000 records of "p.b" read from
// the disk and matched against a full-capacity course, every record of the learner's replaced,
// with the progress window (offscreen) moved and painted as the import goes. Beside the time,
// the longest wait between two paints of the progress window (from the start to the first and
// from the last to the end included), and the floor: the same import without a progress window.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/files.h"
#include "core/repetition_import.h"
#include "full_course.h"
#include "ui/app_context.h"
#include "ui/shell/progress_window.h"
#include "ui/widgets/ui_text.h"
#include "ui_app.h"

namespace {

using namespace dyd;
using Clock = std::chrono::steady_clock;

constexpr double kToday = 45400;

template <typename T>
void Put(std::string& out, std::size_t offset, T value) {
    std::memcpy(out.data() + offset, &value, sizeof value);  // little-endian, as the file
}

// An earlier installation whose account 1 learnt every unit of the full course.
struct EarlierAccount {
    std::string folder;
    std::string file;
    FixedClock clock{kToday + 0.5};
    std::unique_ptr<ui::AppContext> context;

    EarlierAccount() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dyd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        folder = pattern + "/";
        context = std::make_unique<ui::AppContext>(clock);
        LearnerSession& s = context->session;
        bench::FillFullCourse(s);
        s.paths.userDir = folder;
        s.paths.databaseCode = "ang";
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(s.db.units.unitCount()) * kEarlierRecordSize);
        for (int u = 1; u <= s.db.units.unitCount(); ++u) {
            std::string r(kEarlierRecordSize, '\0');
            Put<std::int32_t>(r, 0, s.db.units.unit(u).unitId);
            Put<double>(r, 4, kToday - 400);
            Put<double>(r, 12, kToday - u % 90);
            Put<std::int32_t>(r, 20, 1 + u % 7);
            Put<std::int32_t>(r, 24, 1 + u % 120);
            Put<std::int32_t>(r, 28, u % 60);
            Put<double>(r, 32, 1.9);
            r[40 + u % 15] = static_cast<char>(u % 3 == 0 ? 101 : 1);
            bytes += r;
        }
        file = folder + "1/p.b";
        std::filesystem::create_directories(folder + "1");
        if (!WriteFileAtomically(file, bytes, nullptr)) {
            std::abort();
        }
    }
    ~EarlierAccount() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void Import(benchmark::State& state, bool withProgress) {
    bench::BenchApp();
    EarlierAccount account;
    LearnerSession& s = account.context->session;
    std::unique_ptr<ui::ProgressWindow> progress;
    if (withProgress) {
        progress = std::make_unique<ui::ProgressWindow>();
    }
    double longestWait = 0;
    std::int64_t paints = 0;
    for (auto _ : state) {
        Clock::time_point last = Clock::now();
        const auto waited = [&] {
            const Clock::time_point now = Clock::now();
            longestWait =
                std::max(longestWait, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        };
        ImportProgress report;
        if (progress) {
            progress->Report(ui::Utf8(kImportingTitle), 15);
            waited();
            report = [&](int position) {
                progress->SetPosition(15 + position * 85 / 100);
                ++paints;
                waited();
            };
        }
        const ImportResult result = ImportRepetitionFile(account.file, Edition::E40, false,
                                                         s.paths, s.db.units, s.repetitions, report);
        if (progress) {
            progress->hide();
        }
        waited();
        if (!result.done || result.counts.imported != s.db.units.unitCount()) {
            state.SkipWithError("not every record was taken over");
            return;
        }
    }
    state.counters["records"] = s.db.units.unitCount();
    if (withProgress) {
        state.counters["longest_wait_ms"] = longestWait;
        state.counters["paints"] =
            benchmark::Counter(static_cast<double>(paints), benchmark::Counter::kAvgIterations);
    }
}

void BM_ImportEarlierRecordsWithProgress(benchmark::State& state) {
    Import(state, true);
}
BENCHMARK(BM_ImportEarlierRecordsWithProgress)->Unit(benchmark::kMillisecond);

void BM_ImportEarlierRecordsFloor(benchmark::State& state) {
    Import(state, false);
}
BENCHMARK(BM_ImportEarlierRecordsFloor)->Unit(benchmark::kMillisecond);

}  // namespace
