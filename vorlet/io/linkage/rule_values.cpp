// Times of day and threshold values as the rule dialogs show and read them.
#include "vorlet/io/linkage/rule_values.h"

#include "common/decimal.h"

#include <cstdio>

namespace vorlet {

std::string timeOfDayText(std::uint32_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned(seconds / 3600), unsigned(seconds / 60 % 60),
                  unsigned(seconds % 60));
    return text;
}

std::uint32_t timeOfDaySeconds(std::string_view text)
{
    std::int64_t parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const std::size_t colon = text.find(':');
        parts[i] = kyvo::parseDecimal32(text.substr(0, colon));
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
    }
    return std::uint32_t(parts[0] * 3600 + parts[1] * 60 + parts[2]);
}

std::string thresholdText(std::uint16_t value, bool rawCounts, ThousandthsStyle style)
{
    char text[32];
    if (rawCounts)
        std::snprintf(text, sizeof text, "%d", int(value));
    else
        std::snprintf(text, sizeof text, style == ThousandthsStyle::SixDecimals ? "%03f" : "%.03f",
                      value / 1000.0);
    return text;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Sign, whole digits, then at most three fraction digits; the rest of the
// text is ignored, as a C conversion ignores what follows the number.
std::int64_t thousandths(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = INT64_MAX / 10000;
    for (; i < text.size() && isDigit(text[i]); ++i)
        if (value < kLimit) value = value * 10 + (text[i] - '0');
    value *= 1000;
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (std::int64_t scale = 100; scale > 0 && i < text.size() && isDigit(text[i]); ++i, scale /= 10)
            value += (text[i] - '0') * scale;
    }
    return negative ? -value : value;
}

} // namespace

std::uint16_t thresholdValue(std::string_view text, bool rawCounts)
{
    return std::uint16_t(rawCounts ? kyvo::parseDecimal(text) : thousandths(text));
}

std::uint32_t decimalU32(std::string_view text)
{
    return std::uint32_t(kyvo::parseDecimal(text));
}

std::uint16_t decimalU16(std::string_view text)
{
    return std::uint16_t(kyvo::parseDecimal(text));
}

} // namespace vorlet
