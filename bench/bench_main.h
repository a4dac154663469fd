#pragma once

// What a benchmark leaves to the end of the benchmark program's main: objects that must not live
// on into the destruction of static objects. The steps run in reverse order of adding.

#include <functional>
#include <vector>

namespace dyd::bench {

std::vector<std::function<void()>>& EndOfRun();

}  // namespace dyd::bench
