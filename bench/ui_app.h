#pragma once

// The one application object of the window benchmarks, on Qt's offscreen platform; every window
// benchmark calls BenchApp() before it makes a window. It is made at the first call and ended by
// the benchmark program's main after the runs: one destroyed among the static objects would go
// after Qt's own globals and crash the program at its end.

#include <QApplication>

#include "bench_main.h"

namespace dyd::bench {

inline QApplication& BenchApp() {
    static int argc = 3;
    static char name[] = "dydaktor-bench";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv);
        EndOfRun().push_back([made] { delete made; });
        return made;
    }();
    return *app;
}

}  // namespace dyd::bench
