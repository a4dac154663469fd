// The settings screen on a full-capacity course whose learner has 20000 repetition records and
// the five copies of them the copy list names: the screen filled from the settings (the kinds,
// the rules, the copies read and checked) and painted on the page of the copies; and restoring
// one copy of the 20000 records (read, checked, written as the live file), beside the floor of
// the same restore: reading the copy and writing the live file without the program's checks.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QPixmap>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/clock.h"
#include "core/files.h"
#include "core/repetitions.h"
#include "full_course.h"
#include "ui/app_context.h"
#include "ui/settings/settings_window.h"
#include "ui_app.h"

namespace {

using namespace dyd;

constexpr double kToday = 45400;
constexpr int kRecords = 20000;

// A learner of the full course with 20000 records, saved as the live file and as its copies.
struct LearnerWithCopies {
    std::string folder;
    FixedClock clock{kToday + 0.5};
    std::unique_ptr<ui::AppContext> context;

    LearnerWithCopies() {
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
        std::mt19937 random(5);
        for (int u = 1; u <= kRecords; ++u) {
            RepetitionRecord& r = s.repetitions.record(u);
            r.unitId = s.db.units.unit(u).unitId;
            r.repetitionNo = static_cast<int>(random() % 8) + 1;
            r.interval = static_cast<int>(random() % 200) + 1;
            r.lastDate = kToday - static_cast<double>(random() % 200);
            r.firstDate = r.lastDate - 300;
            r.factor = 1.0 + static_cast<double>(random() % 200) / 100.0;
            r.kindMarks[random() % 18] = static_cast<std::uint8_t>(random() % 3);
        }
        for (const char* name : {"ang.pk", "ang.p5", "ang.p10", "ang.p15"}) {
            if (!SaveRepetitions(s.paths, name, s.db.units, s.repetitions, s.settings, clock)
                     .written) {
                std::abort();
            }
        }
        if (!SaveLiveRepetitions(s.paths, s.db.units, s.repetitions, s.settings, clock).written) {
            std::abort();
        }
    }
    ~LearnerWithCopies() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void BM_SettingsScreenOpenPainted(benchmark::State& state) {
    bench::BenchApp();
    LearnerWithCopies learner;
    ui::SettingsWindow window(*learner.context);
    window.ChoosePage(ui::SettingsPage::Other);
    for (auto _ : state) {
        window.Fill();
        window.show();
        QPixmap picture = window.grab();
        benchmark::DoNotOptimize(picture);
        window.hide();
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_SettingsScreenOpenPainted)->Unit(benchmark::kMillisecond);

void BM_SettingsRestoreCopy20000(benchmark::State& state) {
    LearnerWithCopies learner;
    LearnerSession& s = learner.context->session;
    for (auto _ : state) {
        const RestoreCopyResult result = RestoreRepetitionCopy(
            s.paths, "ang.p5", s.db.units, s.repetitions, s.settings, learner.clock);
        if (!result.save.written || result.save.count != kRecords) {
            state.SkipWithError("the copy was not restored whole");
            return;
        }
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_SettingsRestoreCopy20000)->Unit(benchmark::kMillisecond);

// The floor: the copy's bytes read and written back as the live file, atomically.
void BM_SettingsRestoreCopyFloor(benchmark::State& state) {
    LearnerWithCopies learner;
    const std::string copy = learner.folder + "ang.p5";
    const std::string live = learner.folder + "ang.p";
    for (auto _ : state) {
        const std::optional<std::string> bytes = ReadFileBytes(copy);
        if (!bytes || !WriteFileAtomically(live, *bytes, nullptr)) {
            state.SkipWithError("the copy could not be read or written");
            return;
        }
    }
}
BENCHMARK(BM_SettingsRestoreCopyFloor)->Unit(benchmark::kMillisecond);

}  // namespace
