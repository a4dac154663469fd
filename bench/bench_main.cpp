// The main of the benchmark program: runs the benchmarks the command line picks, then what the
// benchmarks left to be ended before the program's static objects go (the application object of
// the window benchmarks must end before Qt's own globals do).

#include <benchmark/benchmark.h>

#include "bench_main.h"

namespace dyd::bench {

std::vector<std::function<void()>>& EndOfRun() {
    static std::vector<std::function<void()>> steps;
    return steps;
}

}  // namespace dyd::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::vector<std::function<void()>>& steps = dyd::bench::EndOfRun();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        (*step)();
    }
    steps.clear();
    return 0;
}
