// The polling table's cells, addresses and edits.
#include "vorlet/io/poll/poll_table.h"

#include "common/decimal.h"
#include "common/fixed_field.h"
#include "vorlet/link/device_message.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace vorlet::poll {

namespace {

constexpr std::uint32_t kNegative = 0x80000000u;
constexpr std::uint8_t kValuesItem = 0xB6;

// The number at the start of text, as the C library's atof reads it
// (leading blanks, a sign, digits, a fraction, an exponent), independent of
// the process locale; 0 when there is none.
double leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    (void)end;
    if (error != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

// value × 10000 truncated toward zero into 32 bits; out-of-range values
// are held at the 32-bit limits rather than left undefined.
std::int32_t scaled(double value)
{
    const double v = std::trunc(value * 10000.0);
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(v);
}

std::string fourDecimals(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", double(value));
    return text;
}

} // namespace

bool columnEditable(int column)
{
    return column > kSerialColumn && column < kCacheColumn;
}

std::size_t entriesInUse(const PollBlock &block)
{
    return std::min<std::size_t>(block.entryCount, kMaxEntries);
}

std::string_view dataTypeName(std::uint8_t code)
{
    return code < kDataTypeNames.size() ? kDataTypeNames[code] : std::string_view();
}

std::uint8_t dataTypeCode(std::string_view name)
{
    for (std::size_t i = 0; i < kDataTypeNames.size(); ++i)
        if (name == kDataTypeNames[i]) return std::uint8_t(i);
    return 0;
}

std::vector<CacheAddress> cacheAddresses(const PollBlock &block)
{
    std::vector<CacheAddress> out;
    long bytes = 0, discrete = 0, coils = 0;
    for (std::size_t i = 0; i < entriesInUse(block); ++i) {
        const PollEntry &e = block.entries[i];
        CacheAddress a;
        a.byteAddress = bytes;
        if (e.function == 2) a.discrete02 = discrete;
        if (e.function == 1) a.coil01 = coils;
        out.push_back(a);
        const long n = e.registerCount;
        if (n == 0) continue;
        if (e.function == 2) discrete += n;
        if (e.function == 1) coils += n;
        // Registers take two bytes each; coils and inputs are packed bits.
        bytes += (e.function == 3 || e.function == 4) ? 2 * n : (n + 7) / 8;
    }
    return out;
}

std::string scaleText(std::uint32_t k)
{
    return fourDecimals(float(k) / 10000.0f);
}

std::string offsetText(std::uint32_t b)
{
    const std::string magnitude = fourDecimals(float(b & ~kNegative) / 10000.0f);
    return (b & kNegative) ? "-" + magnitude : magnitude;
}

std::uint32_t parseScale(std::string_view text)
{
    return std::uint32_t(scaled(leadingNumber(text)));
}

std::uint32_t parseOffset(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        return std::uint32_t(scaled(leadingNumber(text.substr(1)))) | kNegative;
    return std::uint32_t(scaled(leadingNumber(text)));
}

std::string cellText(const PollEntry &e, int column)
{
    switch (column) {
    case kAddressColumn:
        return std::to_string(e.address);
    case kFunctionColumn:
        return std::to_string(e.function);
    case kStartColumn:
        return std::to_string(e.startRegister.get());
    case kCountColumn:
        return std::to_string(e.registerCount);
    case kTypeColumn: {
        const std::string_view name = dataTypeName(e.dataType);
        return name.empty() ? std::to_string(e.dataType) : std::string(name);
    }
    case kThreshold1Column:
        return std::to_string(std::int32_t(e.threshold1.get()));
    case kThreshold2Column:
        return std::to_string(std::int32_t(e.threshold2.get()));
    case kScaleColumn:
        return scaleText(e.scaleK);
    case kOffsetColumn:
        return offsetText(e.offsetB);
    case kUrgentColumn:
        return std::to_string(e.urgent);
    default:
        return {};
    }
}

void setCell(PollEntry &e, int column, std::string_view text)
{
    const std::int64_t n = kyvo::parseDecimal(text);
    switch (column) {
    case kAddressColumn:
        e.address = std::uint8_t(n);
        break;
    case kFunctionColumn:
        e.function = std::uint8_t(n);
        break;
    case kStartColumn:
        e.startRegister = std::uint16_t(n);
        break;
    case kCountColumn:
        e.registerCount = std::uint8_t(n);
        break;
    case kTypeColumn:
        e.dataType = dataTypeCode(text);
        break;
    case kThreshold1Column:
        e.threshold1 = std::uint32_t(n);
        break;
    case kThreshold2Column:
        e.threshold2 = std::uint32_t(n);
        break;
    case kScaleColumn:
        e.scaleK = parseScale(text);
        break;
    case kOffsetColumn:
        e.offsetB = parseOffset(text);
        break;
    case kUrgentColumn:
        e.urgent = std::uint8_t(n);
        break;
    default:
        break;
    }
}

std::size_t cutLength(ByteView text, std::size_t maxBytes, NameEncoding encoding)
{
    if (text.size() <= maxBytes) return text.size();
    std::size_t at = 0;
    while (at < text.size()) {
        const std::uint8_t lead = text[at];
        std::size_t width = 1;
        if (encoding == NameEncoding::Gbk) {
            if (lead >= 0x81 && lead != 0xFF) width = 2;
        } else if (lead >= 0xF0) {
            width = 4;
        } else if (lead >= 0xE0) {
            width = 3;
        } else if (lead >= 0xC0) {
            width = 2;
        }
        if (at + width > maxBytes) break;
        at += width;
    }
    return std::min(at, text.size());
}

void setName(PollEntry &e, ByteView name, NameEncoding encoding)
{
    kyvo::setField(e.jsonName, sizeof e.jsonName, name.first(cutLength(name, kNameBytes, encoding)),
                   kNameBytes);
}

bool tableFull(const PollBlock &block)
{
    return block.entryCount >= kMaxEntries;
}

bool appendEntry(PollBlock &block)
{
    if (tableFull(block)) return false;
    const std::size_t index = block.entryCount;
    PollEntry &e = block.entries[index];
    e.address = 1;
    e.function = 3;
    e.startRegister = 0;
    e.registerCount = 1;
    e.dataType = 0;
    e.threshold1 = 0;
    e.threshold2 = 0;
    e.urgent = 0;
    kyvo::setFieldText(e.jsonName, "k" + std::to_string(index));
    block.entryCount = std::uint16_t(index + 1);
    return true;
}

bool insertAbove(PollBlock &block, std::size_t index)
{
    const std::size_t count = block.entryCount;
    if (tableFull(block) || index >= count) return false;
    std::memmove(&block.entries[index + 1], &block.entries[index], (count - index) * sizeof(PollEntry));
    block.entryCount = std::uint16_t(count + 1);
    return true;
}

bool removeEntry(PollBlock &block, std::size_t index)
{
    const std::size_t count = entriesInUse(block);
    if (index >= count) return false;
    std::memmove(&block.entries[index], &block.entries[index + 1], (count - index - 1) * sizeof(PollEntry));
    block.entryCount = std::uint16_t(count - 1);
    return true;
}

void repairOnOpen(PollBlock &block)
{
    if (block.uploadChannel != 1 && block.uploadChannel != 2) block.uploadChannel = 0;
    if (block.writeReply > 5) block.writeReply = 0;
    if (block.entryCount > kMaxEntries) block.entryCount = 0;
}

Bytes valuesQuery(std::uint8_t scope, const Mac &mac)
{
    const std::uint8_t body[] = {kValuesItem};
    return buildDeviceMessage(scope, command::kQuery, body, mac);
}

std::vector<std::string> valuePieces(ByteView buffer)
{
    const std::size_t length = kyvo::fieldTextLength(buffer.data(), buffer.size());
    const std::string_view text(reinterpret_cast<const char *>(buffer.data()), length);
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t semicolon = text.find(';', start);
        pieces.emplace_back(text.substr(start, semicolon - start));
        if (semicolon == std::string_view::npos) break;
        start = semicolon + 1;
    }
    return pieces;
}

} // namespace vorlet::poll
