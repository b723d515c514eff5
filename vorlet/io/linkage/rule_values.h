// The texts of the I/O rule dialogs' numbers: times of day, threshold values
// in raw counts or thousandths of a unit, and their readings back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlet {

// "HH:MM:SS" of seconds since midnight; hours are not wrapped at 24.
std::string timeOfDayText(std::uint32_t seconds);

// The first three ':'-separated parts as hours, minutes and seconds, each a
// plain decimal (missing or not a number: 0), without a range check: "25:00:00"
// gives 90000, "7:5" gives 25500.
std::uint32_t timeOfDaySeconds(std::string_view text);

// How a dialog shows a value in thousandths: the linkage rules with six
// decimals ("7.250000"), the report rules with three ("4.500").
enum class ThousandthsStyle { SixDecimals, ThreeDecimals };

// Range 0 holds raw counts ("%d"); every other range thousandths of its unit.
std::string thresholdText(std::uint16_t value, bool rawCounts, ThousandthsStyle style);

// A typed value back: raw counts as a plain decimal; otherwise the decimal
// fraction in thousandths, truncated toward zero. Both cut to 16 bits. The
// fraction is read digit by digit, so "2.3" is 2300 exactly.
std::uint16_t thresholdValue(std::string_view text, bool rawCounts);

// A typed number cut to 32 or 16 bits (plain decimal conversion).
std::uint32_t decimalU32(std::string_view text);
std::uint16_t decimalU16(std::string_view text);

} // namespace vorlet
