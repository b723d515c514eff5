// A serial server's TLV settings, from the device's side of the exchange.
#include "devsim/serial/server_tlv.h"

#include <algorithm>
#include <cstring>

namespace devsim {

using kyvo::Bytes;
using kyvo::ByteView;

namespace {

constexpr std::uint8_t kPortItem = 0x10, kDebugRun = 0x1B, kCacheOn = 0x1D, kLearnedCount = 0x1E,
                       kLearnedBytes = 0x3E;

// Walks port items (0x10, 16-bit length, index, nested) and device items
// (type, length, value) of a body; `valued` says whether items carry
// lengths (saves) or are bare types (reads). False when the body runs short.
template <typename Device, typename Port> bool walk(ByteView body, bool valued, Device device, Port port)
{
    std::size_t p = 0;
    while (p < body.size()) {
        if (body[p] == kPortItem) {
            if (p + 4 > body.size()) return false;
            const std::size_t n = std::size_t(body[p + 1] << 8 | body[p + 2]);
            if (n < 1 || p + 3 + n > body.size()) return false;
            port(body[p + 3], body.subspan(p + 4, n - 1));
            p += 3 + n;
        } else if (!valued) {
            device(body[p], ByteView{});
            ++p;
        } else {
            if (p + 2 > body.size() || p + 2 + body[p + 1] > body.size()) return false;
            device(body[p], body.subspan(p + 2, body[p + 1]));
            p += 2 + body[p + 1];
        }
    }
    return true;
}

// The nested items of a port: type, length, value (0x10 is an item here).
template <typename Item> bool walkNested(ByteView nested, Item item)
{
    std::size_t p = 0;
    while (p < nested.size()) {
        if (p + 2 > nested.size() || p + 2 + nested[p + 1] > nested.size()) return false;
        item(nested[p], nested.subspan(p + 2, nested[p + 1]));
        p += 2 + nested[p + 1];
    }
    return true;
}

void put(Bytes &out, std::uint8_t type, const Bytes &value)
{
    out.push_back(type);
    out.push_back(std::uint8_t(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

} // namespace

TlvStore::TlvStore()
{
    // Factory values: MQTT off towards port 1883, caches off polling every
    // second, heartbeats off and empty.
    const auto text = [](const char *t) { return Bytes(t, t + std::strlen(t)); };
    m_device[0x0C] = {0};
    for (int i = 0; i < kPorts; ++i) {
        auto &p = m_ports[std::size_t(i)];
        p[0x0A] = text("mqtt.example.net");
        p[0x0B] = {0x07, 0x5B};
        p[0x0E] = text("kyvo-sim");
        p[0x0F] = {0x00, 0x3C};
        for (std::uint8_t t : {0x10, 0x11, 0x15, 0x19, 0x1A, 0x62, 0x63, 0x1D, 0x61})
            p[t] = {0};
        for (std::uint8_t t : {0x0C, 0x0D, 0x12, 0x1C, 0x13, 0x14, 0x16, 0x17, 0x18, 0x60})
            p[t] = {};
        p[0x5E] = {1};
        p[0x5F] = {1};
        p[0x64] = {0, 0};
    }
}

const Bytes *TlvStore::value(int port, std::uint8_t type) const
{
    const auto &map = port < 0 ? m_device : m_ports[std::size_t(std::min(port, kPorts - 1))];
    const auto it = map.find(type);
    return it == map.end() ? nullptr : &it->second;
}

void TlvStore::set(int port, std::uint8_t type, ByteView value)
{
    if (port >= kPorts) return;
    auto &map = port < 0 ? m_device : m_ports[std::size_t(port)];
    map[type] = Bytes(value.begin(), value.end());
}

Bytes TlvStore::answerRead(ByteView request) const
{
    Bytes body;
    walk(
        request, false,
        [&](std::uint8_t type, ByteView) {
            if (const Bytes *v = value(-1, type)) put(body, type, *v);
        },
        [&](std::uint8_t index, ByteView types) {
            if (index >= kPorts) return;
            Bytes nested;
            for (std::uint8_t t : types)
                if (const Bytes *v = value(index, t)) put(nested, t, *v);
            // A port whose cache is on reports the command it learned.
            const Bytes *cache = value(index, kCacheOn);
            if (std::find(types.begin(), types.end(), kCacheOn) != types.end() && cache &&
                cache->size() == 1 && (*cache)[0] == 1) {
                put(nested, kLearnedBytes + index % 32, {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A});
                put(nested, kLearnedCount + index % 32, {0x00, 0x01});
            }
            body.push_back(kPortItem);
            kyvo::putBe16(body, std::uint16_t(nested.size() + 1));
            body.push_back(index);
            body.insert(body.end(), nested.begin(), nested.end());
        });
    return body;
}

bool TlvStore::save(ByteView items)
{
    // Checked whole before anything is kept.
    bool nestedOk = true;
    const bool ok = walk(
        items, true, [](auto, ByteView) {},
        [&](std::uint8_t, ByteView nested) {
            nestedOk = nestedOk && walkNested(nested, [](auto, ByteView) {});
        });
    if (!ok || !nestedOk) return false;
    walk(
        items, true, [&](std::uint8_t type, ByteView v) { set(-1, type, v); },
        [&](std::uint8_t index, ByteView nested) {
            walkNested(nested, [&](std::uint8_t type, ByteView v) { set(index, type, v); });
        });
    return true;
}

bool TlvStore::asksDebugRun(ByteView items)
{
    bool run = false;
    walk(
        items, true, [](auto, ByteView) {},
        [&](std::uint8_t, ByteView nested) {
            walkNested(nested, [&](std::uint8_t type, ByteView v) {
                if (type == kDebugRun && v.size() == 1 && v[0] == 1) run = true;
            });
        });
    return run;
}

} // namespace devsim
