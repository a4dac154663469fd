#include "runner/backgrounds.h"

#include <filesystem>

#include "core/paths.h"

namespace dyd {

namespace {

constexpr std::string_view kFallbackBackground = "cw_tla_s/c0.bmp";

std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool NameContains(const Background& entry, std::string_view part) {
    return FileName(entry.path).find(part) != std::string_view::npos;
}

// The self-assessment backgrounds ("k_") in turn: the next unused one after the current entry,
// or, when all were shown, the first of them again with their used flags cleared.
int NextSelfAssessment(BackgroundList& list) {
    const int count = static_cast<int>(list.entries.size());
    for (int i = list.current + 1; i <= count; ++i) {
        const Background& entry = list.entries[static_cast<std::size_t>(i - 1)];
        if (NameContains(entry, "k_") && !entry.used) {
            return i;
        }
    }
    int first = 0;
    for (int i = 1; i <= count; ++i) {
        Background& entry = list.entries[static_cast<std::size_t>(i - 1)];
        if (NameContains(entry, "k_")) {
            entry.used = false;
            if (first == 0) {
                first = i;
            }
        }
    }
    return first != 0 ? first : count;
}

int RandomUnused(const BackgroundList& list, Random& random) {
    const int count = static_cast<int>(list.entries.size());
    int chosen = 1;
    for (int draw = 0; draw < count; ++draw) {
        chosen = 1 + random.Below(count);
        if (!list.entries[static_cast<std::size_t>(chosen - 1)].used) {
            break;
        }
    }
    return chosen;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

BackgroundChoice PickBackground(BackgroundList& list, int kind, const std::string& programDir,
                                Random& random) {
    constexpr int kWordSelfAssessment = 16;
    BackgroundChoice choice;
    if (list.entries.empty()) {
        choice.path = ResolvePath(programDir, kFallbackBackground);
        return choice;
    }
    const int chosen =
        kind == kWordSelfAssessment ? NextSelfAssessment(list) : RandomUnused(list, random);
    list.current = chosen;
    Background& entry = list.entries[static_cast<std::size_t>(chosen - 1)];
    entry.used = true;
    choice.path = IsFile(entry.path) ? entry.path : ResolvePath(programDir, kFallbackBackground);
    choice.showStrip = !NameContains(entry, "p_");
    return choice;
}

}  // namespace dyd
