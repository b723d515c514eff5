// Heartbeat and registration data in a line edit: "%02x " per byte while
// its hex flag is on, else the bytes as GBK text; read back by the flag.
#pragma once

#include "common/bytes.h"

#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace vorlet {

inline constexpr std::size_t kPacketDataSize = 128;

QString packetText(kyvo::ByteView data, bool hex);

// The bytes a text stands for: hex digits (spaces ignored, at most 256
// digits) or the GBK text cut to 128 bytes without splitting a character.
// Nothing for a hex text with a character that is not a hex digit.
std::optional<kyvo::Bytes> packetBytes(const QString &text, bool hex);

// One packet's edit. It remembers what it showed, so a store that finds the
// text untouched under the same flag keeps the bytes exactly (binary data
// shown as text would not survive a GBK round trip).
class PacketEdit
{
public:
    explicit PacketEdit(QLineEdit *edit) : m_edit(edit) {}
    QLineEdit *edit() const { return m_edit; }

    // A length above the field is read as the whole field.
    void load(const std::uint8_t (&data)[kPacketDataSize], std::uint8_t length, bool hex);
    // Stores the bytes and their count. False for a bad hex text: then the
    // data and the length stay as they were.
    bool store(std::uint8_t (&data)[kPacketDataSize], std::uint8_t &length, bool hex) const;
    // Whether a store under this flag would take the text.
    bool parses(bool hex) const { return bytes(hex).has_value(); }

private:
    std::optional<kyvo::Bytes> bytes(bool hex) const;

    QLineEdit *m_edit;
    QString m_shownText;
    bool m_shownHex = false;
    kyvo::Bytes m_loaded;
};

} // namespace vorlet
