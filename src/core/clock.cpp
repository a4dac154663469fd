#include "core/clock.h"

#include <chrono>
#include <ctime>

namespace dyd {

double LocalDayNumber(std::int64_t unixSeconds) {
    const auto seconds = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    const double utc = static_cast<double>(seconds) / 86400.0 + 25569.0;
    return utc + static_cast<double>(local.tm_gmtoff) / 86400.0;
}

double SystemClock::Now() const {
    return LocalDayNumber(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

SeededRandom::SeededRandom()
    : engine_(
          static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
          static_cast<std::uint64_t>(std::time(nullptr))) {}

int SeededRandom::Below(int n) {
    if (n < 1) {
        return 0;
    }
    std::uniform_int_distribution<int> pick(0, n - 1);
    return pick(engine_);
}

}  // namespace dyd
