// The texts the main window shows for record fields, and the way typed text
// goes back into the record's fixed fields (GBK or UTF-8, cut to the field).
#pragma once

#include "common/fixed_field.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace vorlet {

// A fixed text field of the record, shown from GBK.
QString gbkFieldText(const std::uint8_t *field, std::size_t size);
template <std::size_t N> QString gbkFieldText(const std::uint8_t (&field)[N])
{
    return gbkFieldText(field, N);
}

// The text in GBK, cut to at most maxBytes without splitting a character,
// into the cleared field (maxBytes is also cut to the field).
void setGbkField(std::uint8_t *field, std::size_t size, const QString &text, std::size_t maxBytes);
template <std::size_t N> void setGbkField(std::uint8_t (&field)[N], const QString &text, std::size_t maxBytes)
{
    setGbkField(field, N, text, maxBytes);
}

// The same for fields the device reads as UTF-8 (the SSID list).
void setUtf8Field(std::uint8_t *field, std::size_t size, const QString &text, std::size_t maxBytes);
QString utf8FieldText(const std::uint8_t *field, std::size_t size);

// "%d.%d.%d.%d" of four record bytes; "%02X-...-%02X" of a MAC.
QString addressText(const std::uint8_t *octets);
QString macText(const std::uint8_t *mac);

// The BSSID as twelve lower-case hex digits, and back: exactly six pairs of
// hex digits (either case), else nothing.
QString bssidText(const std::uint8_t *bssid);
std::optional<std::array<std::uint8_t, 6>> parseBssid(const QString &text);

// The WiFi signal in percent: rssi + 90 and the quotient by 70 each taken as
// a signed byte, then clamped to 0..100.
int signalPercent(std::uint8_t rssiByte);

// Production times before 2022-09-01 09:17:05 UTC, and the unset value, are
// shown in red.
bool productionTimeTrusted(std::uint32_t secondsSince1970);

// The weekday names of the clock line, Sunday first; a weekday above 6 is Sunday.
const char *weekdayName(int weekday);

// printf-style formatting of a (translated) format text.
template <typename... Args> QString formatText(const QString &format, Args... args)
{
    return QString::asprintf(format.toUtf8().constData(), args...);
}

// Plain decimal conversion of an edit's text (leading digits, else 0).
std::int64_t decimalValue(const QString &text);

// An address field's text: up to four dot-separated decimal octets, a
// missing or empty octet read as 0 and each cut to 255.
std::uint32_t addressValue(const QString &text);

} // namespace vorlet
