#pragma once

// The one application object of the window benchmarks, on Qt's offscreen platform; every window
// benchmark calls BenchApp() before it makes a window.

#include <QApplication>

namespace dyd::bench {

inline QApplication& BenchApp() {
    static int argc = 3;
    static char name[] = "dydaktor-bench";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace dyd::bench
