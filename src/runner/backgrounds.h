#pragma once

// The background picture of an exercise, chosen from the background list: in word
// self-assessment (kind 16) the pictures named with "k_" in turn, otherwise at random among the
// pictures not shown yet.

#include <string>

#include "core/clock.h"
#include "core/exercise_sets.h"

namespace dyd {

struct BackgroundChoice {
    std::string path;       // the file to load (the fallback "cw_tla_s/c0.bmp" when missing)
    bool showStrip = true;  // the right-hand strip shows unless the name contains "p_"
};

// Chooses the next background for kind and marks it used; programDir resolves the fallback.
// An empty list gives the fallback.
BackgroundChoice PickBackground(BackgroundList& list, int kind, const std::string& programDir,
                                Random& random);

}  // namespace dyd
