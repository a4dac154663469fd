#include "core/datetime.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/text.h"

namespace dyd {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2 ? 1 : 0;
}

constexpr std::int64_t kEpochOffset = 25569;  // 1970-01-01 as a day number

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

double DayNumber(int year, int month, int day) {
    return static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kEpochOffset);
}

std::string FormatDate(double dayNumber) {
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(static_cast<std::int64_t>(std::floor(dayNumber)) - kEpochOffset, y, m, d);
    std::string out = ZeroPad(4, y);
    out += '-';
    out += ZeroPad(2, m);
    out += '-';
    out += ZeroPad(2, d);
    return out;
}

std::optional<double> ParseDate(std::string_view text) {
    text = TrimView(text);
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto digitsOnly = [](std::string_view s) {
        if (s.empty()) {
            return false;
        }
        for (const char c : s) {
            if (c < '0' || c > '9') {
                return false;
            }
        }
        return true;
    };
    const std::string_view ys = text.substr(0, first);
    const std::string_view ms = text.substr(first + 1, second - first - 1);
    const std::string_view ds = text.substr(second + 1);
    if (!digitsOnly(ys) || !digitsOnly(ms) || !digitsOnly(ds) || ys.size() > 4 || ms.size() > 2 ||
        ds.size() > 2) {
        return std::nullopt;
    }
    const int y = *ParseInt(ys);
    const int m = *ParseInt(ms);
    const int d = *ParseInt(ds);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) {
        return std::nullopt;
    }
    return DayNumber(y, m, d);
}

std::optional<double> ParseDecimal(std::string_view text) {
    text = TrimView(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string FormatDecimal(double value) {
    char buffer[400];
    // Fixed notation, never an exponent: the files are read back with "." as the only mark.
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed);
    return ec == std::errc{} ? std::string(buffer, ptr) : std::string("0");
}

}  // namespace dyd
