// The polling table's text form, both ways.
#include "vorlet/io/poll/poll_text.h"

#include "common/decimal.h"
#include "common/fixed_field.h"

#include <cstdio>

namespace vorlet::poll {

namespace {

constexpr std::size_t kShortestLine = 11;

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

enum class Key { Address, Function, Start, Count, Type, Name, Threshold1, Threshold2, Scale, Offset, Urgent };

std::optional<Key> keyOf(std::string_view key)
{
    static constexpr std::pair<const char *, Key> kKeys[] = {
        {"addr", Key::Address},  {"fun", Key::Function}, {"regAddr", Key::Start},  {"regNum", Key::Count},
        {"dataType", Key::Type}, {"json", Key::Name},    {"th1", Key::Threshold1}, {"th2", Key::Threshold2},
        {"k", Key::Scale},       {"b", Key::Offset},     {"emg", Key::Urgent}};
    for (const auto &[name, k] : kKeys)
        if (key == name) return k;
    return std::nullopt;
}

void take(PollEntry &e, Key key, std::string_view value, NameEncoding encoding)
{
    const std::int64_t n = kyvo::parseDecimal(value);
    switch (key) {
    case Key::Address:
        e.address = std::uint8_t(n);
        break;
    case Key::Function:
        e.function = std::uint8_t(n);
        break;
    case Key::Start:
        e.startRegister = std::uint16_t(n);
        break;
    case Key::Count:
        e.registerCount = std::uint8_t(n);
        break;
    case Key::Type:
        e.dataType = std::uint8_t(n);
        break;
    case Key::Name:
        setName(e, kyvo::asBytes(value), encoding);
        break;
    case Key::Threshold1:
        e.threshold1 = std::uint32_t(n);
        break;
    case Key::Threshold2:
        e.threshold2 = std::uint32_t(n);
        break;
    case Key::Scale:
        e.scaleK = parseScale(value);
        break;
    case Key::Offset:
        e.offsetB = parseOffset(value);
        break;
    case Key::Urgent:
        e.urgent = std::uint8_t(n);
        break;
    }
}

PollEntry parseLine(std::string_view line, int number, NameEncoding encoding,
                    std::vector<TextProblem> &problems)
{
    std::string packed;
    for (char c : line)
        if (c != ' ' && c != '\r' && c != '\n') packed += c;
    PollEntry e{};
    std::string_view rest(packed);
    while (true) {
        const std::size_t end = rest.find(';');
        const std::string_view piece = rest.substr(0, end);
        const std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos || piece.find('=', equals + 1) != std::string_view::npos) {
            if (!piece.empty()) problems.push_back({TextProblem::Kind::BadPiece, number, std::string(piece)});
        } else if (const auto key = keyOf(piece.substr(0, equals))) {
            take(e, *key, piece.substr(equals + 1), encoding);
        } else {
            problems.push_back({TextProblem::Kind::UnknownKey, number, std::string(piece)});
        }
        if (end == std::string_view::npos) break;
        rest = rest.substr(end + 1);
    }
    return e;
}

} // namespace

std::string entryLine(const PollEntry &e)
{
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "addr=%d;fun=%d;regAddr=%d;regNum=%d;dataType=%d;json=", e.address,
                  e.function, e.startRegister.get(), e.registerCount, e.dataType);
    char tail[160];
    std::snprintf(tail, sizeof tail, ";th1=%d;th2=%d;k=%s;b=%s;emg=%d", std::int32_t(e.threshold1.get()),
                  std::int32_t(e.threshold2.get()), scaleText(e.scaleK).c_str(),
                  offsetText(e.offsetB).c_str(), e.urgent);
    return numbers + kyvo::fieldText(e.jsonName) + tail;
}

std::string tableText(const PollBlock &block)
{
    std::string text;
    for (std::size_t i = 0; i < entriesInUse(block); ++i)
        text += entryLine(block.entries[i]) + "\r\n";
    return text;
}

std::optional<int> ParsedText::overLimitLine() const
{
    for (const TextProblem &p : problems)
        if (p.kind == TextProblem::Kind::OverLimit) return p.line;
    return std::nullopt;
}

ParsedText parseTableText(ByteView bytes, NameEncoding encoding)
{
    ParsedText parsed;
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() < kShortestLine) {
            if (!blank(line)) parsed.problems.push_back({TextProblem::Kind::ShortLine, number, {}});
            continue;
        }
        if (parsed.entries.size() == kMaxEntries) {
            parsed.problems.push_back({TextProblem::Kind::OverLimit, number, {}});
            break;
        }
        parsed.entries.push_back(parseLine(line, number, encoding, parsed.problems));
    }
    return parsed;
}

bool storeEntries(PollBlock &block, const std::vector<PollEntry> &entries)
{
    if (entries.size() > kMaxEntries) return false;
    std::copy(entries.begin(), entries.end(), block.entries);
    block.entryCount = std::uint16_t(entries.size());
    return true;
}

} // namespace vorlet::poll
