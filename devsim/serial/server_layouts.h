// A simulated serial server's settings as named values, and the wire
// layouts of its records and items as tables of (offset, value, encoding).
// Written from the device's side: the server keeps its values and each
// table says where a record or an item carries them.
#pragma once

#include "common/bytes.h"

#include <QString>

#include <map>
#include <vector>

namespace devsim {

using kyvo::Bytes;
using kyvo::ByteView;

// The settings of one server. Device values are named as in the control
// channel ("ip", "apssid"), port values "port<N>.<name>" with N from 1.
// Numbers are kept big-endian in their natural width, texts zero-padded.
class ServerValues
{
public:
    // Width of a named value (device or port name without the prefix); 0 for an unknown name.
    static std::size_t widthOf(const QString &name);
    static QString portKey(int port, const char *name) { return QStringLiteral("port%1.%2").arg(port).arg(QLatin1String(name)); }

    const Bytes &get(const QString &key) const;
    // Cut or zero-padded to the value's width; false for an unknown name.
    bool set(const QString &key, ByteView value);
    void setNumber(const QString &key, std::uint32_t value);
    void setText(const QString &key, const QByteArray &text);
    std::uint32_t number(const QString &key) const;
    bool has(const QString &key) const { return m_values.count(key) != 0; }

private:
    std::map<QString, Bytes> m_values;
};

enum class Encoding {
    Raw,       // the value's bytes, as many as the wire width
    Little,    // a number in little-endian of the wire width
    Big,       // a number in big-endian of the wire width
    BaudRate,  // a baud index, carried as the rate in 32-bit little-endian
};

struct WireField {
    std::size_t offset;  // in the record or item
    QString key;         // the value it carries
    std::size_t width;   // bytes on the wire
    Encoding encoding = Encoding::Raw;
    std::size_t valueOffset = 0; // first byte of the value carried (Raw)
    bool replyOnly = false;      // sent in replies, not taken from writes
};
using Layout = std::vector<WireField>;

// Fills `out` (its size is the record's) from the values; fields beyond it are cut.
void encodeLayout(const Layout &layout, const ServerValues &values, Bytes &out);
// Takes every writable field that lies wholly inside `data`.
void decodeLayout(const Layout &layout, ByteView data, ServerValues &values);

// The families' layouts.
Layout wifi362Layout();
Layout wifi292Layout();
Layout multiLayout(bool is2326, int ports);
Layout nativeLayout(int ports, bool withSecondPortCloud);

// Short-frame items: the read/write code, the reply code and the item's layout.
struct ItemLayout {
    std::uint8_t code;
    std::uint8_t reply;
    Layout fields;
    bool readOnly = false;
};
const std::vector<ItemLayout> &shortItems();

} // namespace devsim
