// Simulated gateway: information text, WiFi scan, parameter image, TLS bundle.
#include "devsim/gateway/gateway_maintenance.h"

#include <QByteArray>

#include <algorithm>

namespace devsim {

namespace {

Bytes bytesOf(const QByteArray &text)
{
    return Bytes(text.begin(), text.end());
}

// What the gateway's radio hears: SSID (UTF-8), BSSID, RSSI, authentication mode.
const char kScanText[] = "KYVO-Office`d8c8e9a1b2c3`-41`3;"
                         "办公室WiFi`5c02147e9a10`-55`4;"
                         "TP-LINK_5F2A`f4f26d115f2a`-63`3;"
                         "访客网络`5c02147e9a11`-67`0;"
                         "ChinaNet-x7Qp`ac853d0c7710`-78`7;"
                         "Warehouse IoT`0023cd4455aa`-82`2";

std::uint16_t sum(ByteView part)
{
    std::uint16_t s = 0;
    for (std::uint8_t b : part.first(std::min<std::size_t>(part.size(), 4096)))
        s = std::uint16_t(s + b);
    return s;
}

} // namespace

std::optional<Bytes> GatewayMaintenance::queryItem(std::uint8_t tag) const
{
    if (tag == 0xB3) {
        ++m_infoQueries;
        return bytesOf(QByteArray("cpu: ") + QByteArray::number(10 + m_infoQueries % 7) +
                       QByteArray("%\r\ntasks: 9\r\nheap: 104832\r\nquery: ") +
                       QByteArray::number(m_infoQueries) + QByteArray("\r\n"));
    }
    if (tag == 0x86) return bytesOf(QByteArray(kScanText));
    return std::nullopt;
}

Bytes GatewayMaintenance::image(ByteView recordBody, std::size_t blocks)
{
    Bytes image(blocks * kImageBlock, 0xFF);
    std::copy_n(recordBody.begin(), std::min(recordBody.size(), image.size()), image.begin());
    return image;
}

void GatewayMaintenance::sendImage(ByteView recordBody, const Knobs &knobs, const Incoming &in,
                                   Outbox &out) const
{
    const auto knob = [&knobs](const char *name, int fallback) {
        const auto it = knobs.extra.find(QString::fromLatin1(name));
        return it == knobs.extra.end() ? fallback : it->second;
    };
    const std::size_t blocks = std::size_t(std::clamp(knob("image-blocks", 8), 0, 256));
    const std::uint16_t port = std::uint16_t(knob("image-port", kImagePort));
    const Bytes data = image(recordBody, blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        Bytes datagram{std::uint8_t(b)};
        datagram.insert(datagram.end(), data.begin() + std::ptrdiff_t(b * kImageBlock),
                        data.begin() + std::ptrdiff_t((b + 1) * kImageBlock));
        out.send(std::move(datagram), {in.from.address, port}, 1111, int(b) * 2);
    }
}

void GatewayMaintenance::takeTlsBundle(ByteView bundle, Bytes &tlsItem)
{
    m_tlsBundle.assign(bundle.begin(), bundle.end());
    // The parts end at 00 ';'.
    std::uint16_t sums[3] = {};
    std::size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        std::size_t end = start;
        while (part < 2 && end + 1 < bundle.size() && !(bundle[end] == 0 && bundle[end + 1] == ';'))
            ++end;
        if (part == 2 || end + 1 >= bundle.size()) end = bundle.size();
        sums[part] = sum(bundle.subspan(start, end - start));
        start = std::min(bundle.size(), end + 2);
    }
    if (tlsItem.size() < 7) tlsItem.resize(7, 0);
    for (int i = 0; i < 3; ++i) {
        tlsItem[std::size_t(1 + 2 * i)] = std::uint8_t(sums[i] >> 8);
        tlsItem[std::size_t(2 + 2 * i)] = std::uint8_t(sums[i]);
    }
}

} // namespace devsim
