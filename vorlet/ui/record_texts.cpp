// Record field texts.
#include "vorlet/ui/record_texts.h"

#include "common/decimal.h"
#include "common/gbk_text.h"

#include <QStringList>

#include <cstring>

namespace vorlet {

namespace {

// The longest prefix of text whose encoding fits maxBytes.
template <typename Encode> QByteArray cutEncoded(const QString &text, std::size_t maxBytes, Encode encode)
{
    QByteArray bytes = encode(text);
    if (std::size_t(bytes.size()) <= maxBytes) return bytes;
    // Cut whole characters (surrogate pairs stay together) until it fits.
    QString cut = text;
    while (!cut.isEmpty()) {
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = encode(cut);
        if (std::size_t(bytes.size()) <= maxBytes) return bytes;
    }
    return {};
}

void copyInto(std::uint8_t *field, std::size_t size, const QByteArray &bytes, std::size_t maxBytes)
{
    kyvo::setField(
        field, size,
        kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())),
        maxBytes);
}

} // namespace

QString gbkFieldText(const std::uint8_t *field, std::size_t size)
{
    return kyvo::fromGbk(QByteArrayView(field, qsizetype(kyvo::fieldTextLength(field, size))));
}

void setGbkField(std::uint8_t *field, std::size_t size, const QString &text, std::size_t maxBytes)
{
    maxBytes = std::min(maxBytes, size);
    copyInto(field, size, cutEncoded(text, maxBytes, [](const QString &t) { return kyvo::toGbk(t); }),
             maxBytes);
}

void setUtf8Field(std::uint8_t *field, std::size_t size, const QString &text, std::size_t maxBytes)
{
    maxBytes = std::min(maxBytes, size);
    copyInto(field, size, cutEncoded(text, maxBytes, [](const QString &t) { return t.toUtf8(); }), maxBytes);
}

QString utf8FieldText(const std::uint8_t *field, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(field),
                             qsizetype(kyvo::fieldTextLength(field, size)));
}

QString addressText(const std::uint8_t *o)
{
    return QString::asprintf("%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
}

QString macText(const std::uint8_t *m)
{
    return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
}

QString bssidText(const std::uint8_t *b)
{
    return QString::asprintf("%02x%02x%02x%02x%02x%02x", b[0], b[1], b[2], b[3], b[4], b[5]);
}

std::optional<std::array<std::uint8_t, 6>> parseBssid(const QString &text)
{
    if (text.size() != 12) return std::nullopt;
    std::array<std::uint8_t, 6> bytes{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint value = text.mid(i * 2, 2).toUInt(&ok, 16);
        // toUInt accepts a sign or blanks; only two plain hex digits count.
        if (!ok || !text.at(i * 2).isLetterOrNumber() || !text.at(i * 2 + 1).isLetterOrNumber())
            return std::nullopt;
        bytes[std::size_t(i)] = std::uint8_t(value);
    }
    return bytes;
}

int signalPercent(std::uint8_t rssiByte)
{
    const int rssi = std::int8_t(rssiByte);
    const int s = std::int8_t(std::uint8_t(rssi + 90));
    const int percent = std::int8_t(std::uint8_t(s * 100 / 70));
    return std::clamp(percent, 0, 100);
}

bool productionTimeTrusted(std::uint32_t t)
{
    return t >= 1662023825u && t != 0xFFFFFFFFu;
}

const char *weekdayName(int weekday)
{
    static const char *const names[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    return names[weekday >= 0 && weekday <= 6 ? weekday : 0];
}

std::int64_t decimalValue(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    return kyvo::parseDecimal(std::string_view(latin.constData(), std::size_t(latin.size())));
}

std::uint32_t addressValue(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    std::uint32_t address = 0;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t v = i < parts.size() ? decimalValue(parts[i]) : 0;
        address = (address << 8) | std::uint32_t(std::clamp<std::int64_t>(v, 0, 255));
    }
    return address;
}

} // namespace vorlet
