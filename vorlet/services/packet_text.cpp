// Packet data as hex or text.
#include "vorlet/services/packet_text.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "common/hex_text.h"

#include <QLineEdit>

#include <algorithm>

namespace vorlet {

namespace {

// The longest prefix of GBK bytes within maxBytes that ends on a character
// boundary (a byte from 0x81 leads a two-byte character).
qsizetype gbkPrefixLength(const QByteArray &gbk, qsizetype maxBytes)
{
    qsizetype i = 0;
    while (i < gbk.size()) {
        const qsizetype n = std::uint8_t(gbk.at(i)) >= 0x81 && i + 1 < gbk.size() ? 2 : 1;
        if (i + n > maxBytes) break;
        i += n;
    }
    return i;
}

} // namespace

QString packetText(kyvo::ByteView data, bool hex)
{
    if (hex) return QString::fromStdString(kyvo::hexTextSpaced(data));
    return kyvo::fromGbk(QByteArrayView(data.data(), qsizetype(data.size())));
}

std::optional<kyvo::Bytes> packetBytes(const QString &text, bool hex)
{
    if (hex) {
        // A character outside Latin-1 becomes '?', which is no hex digit.
        const QByteArray latin = text.toLatin1();
        return kyvo::parseHexText(std::string_view(latin.constData(), std::size_t(latin.size())),
                                  kPacketDataSize);
    }
    const QByteArray gbk = kyvo::toGbk(text);
    const auto *begin = reinterpret_cast<const std::uint8_t *>(gbk.constData());
    return kyvo::Bytes(begin, begin + gbkPrefixLength(gbk, qsizetype(kPacketDataSize)));
}

void PacketEdit::load(const std::uint8_t (&data)[kPacketDataSize], std::uint8_t length, bool hex)
{
    const std::size_t n = std::min<std::size_t>(length, kPacketDataSize);
    m_loaded.assign(data, data + n);
    m_shownHex = hex;
    m_edit->setText(packetText(m_loaded, hex));
    m_shownText = m_edit->text();
}

std::optional<kyvo::Bytes> PacketEdit::bytes(bool hex) const
{
    if (hex == m_shownHex && m_edit->text() == m_shownText) return m_loaded;
    return packetBytes(m_edit->text(), hex);
}

bool PacketEdit::store(std::uint8_t (&data)[kPacketDataSize], std::uint8_t &length, bool hex) const
{
    const std::optional<kyvo::Bytes> b = bytes(hex);
    if (!b) return false;
    length = std::uint8_t(kyvo::setFieldFull(data, *b));
    return true;
}

} // namespace vorlet
