// The user's folder over a read-only installation, brought up to date at every start: the
// ordinary start (nothing changed), beside the floor of the same work (walking the installation's
// folders), and the first start of a user (every folder and link made).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/files.h"
#include "core/install_layer.h"

namespace {

namespace fs = std::filesystem;
using namespace dyd;

// An installation of the sample's shape: 76 folders, about 1500 files (mostly recordings).
struct Installation {
    std::string root;
    std::string install;
    Installation() {
        std::string pattern = (fs::temp_directory_path() / "dyd-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data()) != nullptr ? pattern + "/" : std::string();
        install = root + "inst/";
        const auto file = [this](const std::string& rel) {
            fs::create_directories(fs::path(install + rel).parent_path());
            WriteFileAtomically(install + rel, "x");
        };
        file("ds50.ini");
        for (int i = 0; i < 40; ++i) {
            file("htm_s/strona" + std::to_string(i) + ".html");
            file("but_s/przycisk" + std::to_string(i) + ".bmp");
            file("Lang_s/0/gfx_s/obraz" + std::to_string(i) + ".bmp");
        }
        for (const char* course : {"angielski", "niemiecki"}) {
            for (int i = 0; i < 10; ++i) {
                file(std::string("db/") + course + "/plik" + std::to_string(i) + ".txt");
            }
            for (int folder = 0; folder < 32; ++folder) {
                for (int i = 0; i < 20; ++i) {
                    file(std::string("db/") + course + "/wav/" + std::to_string(folder) + "/n" +
                         std::to_string(i) + ".ogg");
                }
            }
        }
    }
    ~Installation() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

Installation& Sample() {
    static Installation installation;
    return installation;
}

void BM_LayerSyncNothingChanged(benchmark::State& state) {
    Installation& sample = Sample();
    const std::string layer = sample.root + "warstwa/";
    SyncUserLayer(sample.install, layer);
    for (auto _ : state) {
        const LayerSync sync = SyncUserLayer(sample.install, layer);
        benchmark::DoNotOptimize(sync.linked);
    }
}
BENCHMARK(BM_LayerSyncNothingChanged)->Unit(benchmark::kMicrosecond);

// The floor: listing every folder of the installation once.
void BM_LayerWalkFloor(benchmark::State& state) {
    Installation& sample = Sample();
    for (auto _ : state) {
        std::size_t entries = 0;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(sample.install, ec), end; !ec && it != end;
             it.increment(ec)) {
            ++entries;
        }
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(BM_LayerWalkFloor)->Unit(benchmark::kMicrosecond);

void BM_LayerSyncFirstStart(benchmark::State& state) {
    Installation& sample = Sample();
    int run = 0;
    for (auto _ : state) {
        const std::string layer = sample.root + "nowa" + std::to_string(run++) + "/";
        const LayerSync sync = SyncUserLayer(sample.install, layer);
        benchmark::DoNotOptimize(sync.linked);
        state.PauseTiming();
        std::error_code ignored;
        fs::remove_all(layer, ignored);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LayerSyncFirstStart)->Unit(benchmark::kMillisecond);

}  // namespace
