#pragma once

// Dates are day numbers held as doubles: whole days since 1899-12-30, with the time of day as
// the fraction. Dates are shown and read as "yyyy-mm-dd"; decimals use ".".

#include <optional>
#include <string>
#include <string_view>

namespace dyd {

double DayNumber(int year, int month, int day);
// "yyyy-mm-dd" of the day the number falls on.
std::string FormatDate(double dayNumber);
// A date written "yyyy-mm-dd" (also with one-digit month or day); nothing when it is no date.
std::optional<double> ParseDate(std::string_view text);

// Decimal numbers with "." as the separator, independent of the system's locale.
std::optional<double> ParseDecimal(std::string_view text);
std::string FormatDecimal(double value);

}  // namespace dyd
