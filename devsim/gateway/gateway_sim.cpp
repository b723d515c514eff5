// Simulated gateway: the device's side of the link frames and commands.
#include "devsim/gateway/gateway_sim.h"

#include "devsim/gateway/gateway_can.h"
#include "devsim/gateway/poll_values.h"

#include <QCryptographicHash>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace devsim {

namespace {

constexpr std::size_t kFragment = 1024;

void putItem(Bytes &out, std::uint8_t tag, const Bytes &value)
{
    out.push_back(tag);
    out.push_back(std::uint8_t(value.size() >> 8));
    out.push_back(std::uint8_t(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

void putBlock(Bytes &out, std::uint8_t tag, std::uint8_t index, const std::map<std::uint8_t, Bytes> &sub)
{
    Bytes value{index};
    for (const auto &[t, v] : sub) putItem(value, t, v);
    putItem(out, tag, value);
}

// Walks tag, 16-bit length, value; stops at the first item that runs past the end.
template <typename F> void eachItem(ByteView data, F &&f)
{
    std::size_t pos = 0;
    while (pos + 3 <= data.size()) {
        const std::size_t n = std::size_t(data[pos + 1] << 8 | data[pos + 2]);
        if (pos + 3 + n > data.size()) return;
        f(data[pos], data.subspan(pos + 3, n));
        pos += 3 + n;
    }
}

Bytes frame(std::uint32_t total, std::uint16_t index, ByteView payload, const Mac &mac)
{
    Bytes f(8 + payload.size() + 7);
    const std::uint8_t header[8] = {0xAA, std::uint8_t(total >> 16), std::uint8_t(total >> 8), std::uint8_t(total),
                                    std::uint8_t(payload.size() >> 8), std::uint8_t(payload.size()),
                                    std::uint8_t(index >> 8), std::uint8_t(index)};
    std::copy(std::begin(header), std::end(header), f.begin());
    std::copy(payload.begin(), payload.end(), f.begin() + 8);
    f.resize(8 + payload.size());
    f.insert(f.end(), mac.begin(), mac.end());
    f.push_back(0xBB);
    return f;
}

std::uint64_t endpointKey(const kyvo::Ipv4Endpoint &e) { return (std::uint64_t(e.address) << 16) | e.port; }

} // namespace

GatewaySim::GatewaySim(GatewayProfile profile)
    : m_profile(std::move(profile)), m_items(factoryItems(m_profile))
{
    m_age.start();
    if (!m_profile.ioModule) return;
    auto clock = m_profile.ioClockMs ? m_profile.ioClockMs : [this] { return std::int64_t(m_age.elapsed()); };
    m_io = std::make_unique<IoModuleSim>(std::move(clock));
}

Bytes GatewaySim::recordBody() const
{
    Bytes body;
    for (const auto &[tag, value] : m_items.top) putItem(body, tag, value);
    putBlock(body, 0x40, 0, m_items.serial);
    putBlock(body, 0x41, 0, m_items.channel[0]);
    putBlock(body, 0x41, 1, m_items.channel[1]);
    return body;
}

void GatewaySim::receive(const Incoming &in, Outbox &out)
{
    const ByteView d = in.data;
    // PC frames: CC, total (24 bits), fragment length, index, payload, MAC, DD.
    if (d.size() < 15 || d[0] != 0xCC || d.back() != 0xDD) return;
    const std::size_t total = std::size_t(d[1] << 16 | d[2] << 8 | d[3]);
    const std::size_t n = std::size_t(d[4] << 8 | d[5]);
    const std::size_t index = std::size_t(d[6] << 8 | d[7]);
    if (n + 15 > d.size() || total == 0 || total > 256 * kFragment) return;
    if (index == 0 && n == total) {
        handleMessage(d.subspan(8, n), in, out);
        return;
    }
    Assembly &a = m_assembly[endpointKey(in.from)];
    if (index == 0) a = Assembly{Bytes(total, 0), 0};
    if (a.data.size() != total || index * kFragment + n > total) return;
    std::memcpy(a.data.data() + index * kFragment, d.data() + 8, n);
    a.received += n;
    if (a.received == total) {
        const Bytes message = std::move(a.data);
        m_assembly.erase(endpointKey(in.from));
        handleMessage(message, in, out);
    }
}

void GatewaySim::handleMessage(ByteView m, const Incoming &in, Outbox &out)
{
    if (m.size() < 14 || m[0] != 0xBA || m[1] != 0x3A || m[m.size() - 2] != 'E' || m[m.size() - 1] != '.') return;
    Mac target{};
    std::copy(m.end() - 8, m.end() - 2, target.begin());
    const std::uint8_t scope = m[2], code = m[3];
    const std::size_t bodyLength = std::min<std::size_t>(std::size_t(m[4] << 8 | m[5]), m.size() - 14);
    const ByteView body = m.subspan(6, bodyLength);
    const bool everyone = target == Mac{};
    if (!everyone && target != m_profile.mac) return;
    if (everyone && code != 0x01) return;
    switch (code) {
    case 0x01:
        ++counters[QStringLiteral("searches")];
        answer(scope, 0x81, recordBody(), in, out);
        answerClones(scope, in, out);
        break;
    case 0x03:
        ++counters[QStringLiteral("queries")];
        if (body.size() == 1 && body[0] == 0xB9) { // the parameter image goes to the requester's image port
            ++counters[QStringLiteral("image-requests")];
            m_maintenance.sendImage(recordBody(), knobs, in, out);
            break;
        }
        answer(scope, 0x83, queryAnswer(body), in, out);
        break;
    case 0x04: {
        ++counters[QStringLiteral("writes")];
        if (body.empty() || knobs.refuse) return;
        if (body.size() > 100) ++counters[QStringLiteral("saves")];
        applyWrite(body.subspan(1), in);
        const std::uint8_t first = body.size() > 1 ? body[1] : body[0];
        answer(scope, 0x84, Bytes{first, std::uint8_t(first == 0x8F ? 2 : 0)}, in, out);
        break;
    }
    case 0x05:
        ++counters[body.size() >= 1 && body[0] == 1 ? QStringLiteral("deep-resets") : QStringLiteral("resets")];
        m_items = factoryItems(m_profile);
        answer(scope, 0x85, {}, in, out);
        break;
    case 0x06:
        ++counters[QStringLiteral("restarts")];
        answer(scope, 0x86, {}, in, out);
        break;
    case 0x07:
        upgradeStep(body, in, out);
        break;
    default:
        break;
    }
}

void GatewaySim::answer(std::uint8_t scope, std::uint8_t code, const Bytes &body, const Incoming &in, Outbox &out)
{
    answerAs(m_profile.mac, scope, code, body, in, out);
}

void GatewaySim::answerClones(std::uint8_t scope, const Incoming &in, Outbox &out)
{
    const auto it = knobs.extra.find(QStringLiteral("clones"));
    const int clones = it == knobs.extra.end() ? 0 : std::clamp(it->second, 0, 1 << 24);
    for (int i = 0; i < clones; ++i) {
        const Mac mac{0x00, 0x4B, 0xCE, std::uint8_t(i >> 16), std::uint8_t(i >> 8), std::uint8_t(i)};
        Bytes body;
        putItem(body, 0x1A, Bytes{'c', 'l', 'o', 'n', 'e'});
        answerAs(mac, scope, 0x81, body, in, out);
    }
}

void GatewaySim::answerAs(const Mac &mac, std::uint8_t scope, std::uint8_t code, const Bytes &body,
                          const Incoming &in, Outbox &out)
{
    Bytes message{0xBA, 0x3A, scope, code, std::uint8_t(body.size() >> 8), std::uint8_t(body.size())};
    message.insert(message.end(), body.begin(), body.end());
    message.insert(message.end(), mac.begin(), mac.end());
    message.push_back('E');
    message.push_back('.');
    const std::size_t size = std::max<std::size_t>(1, std::min(m_profile.fragmentSize, kFragment));
    for (std::size_t offset = 0, index = 0; offset < message.size(); offset += size, ++index) {
        const std::size_t n = std::min(size, message.size() - offset);
        out.send(frame(std::uint32_t(message.size()), std::uint16_t(index),
                       ByteView(message).subspan(offset, n), mac),
                 in.from, in.localPort);
    }
}

void GatewaySim::applyWrite(ByteView items, const Incoming &in)
{
    eachItem(items, [this, &in](std::uint8_t tag, ByteView value) {
        if (m_io && m_io->takeWrite(tag, value)) {
            ++counters[tag == 0x90 ? QStringLiteral("relay-commands")
                       : tag == 0x91 ? QStringLiteral("counter-clears")
                                     : QStringLiteral("module-downloads")];
            return;
        }
        if (tag == 0x40 || tag == 0x41) {
            if (value.empty()) return;
            const std::uint8_t index = value[0];
            if ((tag == 0x40 && index != 0) || (tag == 0x41 && index > 1)) return;
            auto &target = tag == 0x40 ? m_items.serial : m_items.channel[index];
            eachItem(value.subspan(1), [&target](std::uint8_t sub, ByteView v) { target[sub] = Bytes(v.begin(), v.end()); });
            return;
        }
        if (tag == 0x07 && !value.empty()) {
            // Debug switch: the flag, then where to send the output.
            m_items.top[0x07] = Bytes{value[0]};
            m_debugTarget = QByteArray(reinterpret_cast<const char *>(value.data() + 1), qsizetype(value.size() - 1));
            debug.on = value[0] != 0;
            debug.to = in.from.address;
            return;
        }
        if (tag == 0xB0 && value.size() >= 8) {
            m_items.top[0xB0] = Bytes(value.begin(), value.begin() + 8);
            return;
        }
        if (tag == 0x74) {
            ++counters[QStringLiteral("tls-uploads")];
            m_maintenance.takeTlsBundle(value, m_items.top[0x73]);
            return;
        }
        if (tag == 0xB8 && value.size() >= 2)
            ++counters[value[1] == 1 ? QStringLiteral("custom-saves") : QStringLiteral("custom-clears")];
        if (tag == 0x73) {
            // Only the mode is written; the check words stay the device's.
            Bytes &tls = m_items.top[0x73];
            if (tls.empty()) tls.resize(7);
            if (!value.empty()) tls[0] = value[0];
            return;
        }
        if (tag == 0x5A && m_profile.canPort) {
            m_items.top[tag] = keptCanItem(m_items.top[tag], value);
            return;
        }
        m_items.top[tag] = Bytes(value.begin(), value.end());
    });
}

// Upgrade answers are plain device messages: BA 3A 01 87, 00, the step,
// the length of the values (2 bytes), the values, MAC, "E" ".".
void GatewaySim::upgradeAnswer(std::uint8_t step, const Bytes &values, const Incoming &in, Outbox &out)
{
    ++m_upgradeAnswers;
    Bytes message{0xBA, 0x3A, 0x01, 0x87, 0x00, step, std::uint8_t(values.size() >> 8), std::uint8_t(values.size())};
    message.insert(message.end(), values.begin(), values.end());
    message.insert(message.end(), m_profile.mac.begin(), m_profile.mac.end());
    message.push_back('E');
    message.push_back('.');
    out.send(std::move(message), in.from, in.localPort);
}

void GatewaySim::upgradeStep(ByteView body, const Incoming &in, Outbox &out)
{
    if (body.size() < 3) return;
    const std::uint8_t step = body[0];
    const ByteView v = body.subspan(3, std::min<std::size_t>(std::size_t(body[1] << 8 | body[2]), body.size() - 3));
    const auto badNumberEvery = knobs.extra.count(QStringLiteral("fota-bad-number")) ? knobs.extra.at(QStringLiteral("fota-bad-number")) : 0;
    switch (step) {
    case 0x0E:
        if (v.size() < 2) return;
        m_upgrade = UpgradeImage{v[0], v[1] == 0xBA, 0, {}, {}, 0, false, m_upgrade.partition};
        ++counters[QStringLiteral("upgrade-requests")];
        upgradeAnswer(0x0E, {}, in, out);
        break;
    case 0x0F: {
        if (v.size() < 4) return;
        m_upgrade.announcedSize = std::uint32_t(v[0] << 24 | v[1] << 16 | v[2] << 8 | v[3]);
        m_upgrade.firmware.assign(std::min<std::size_t>(m_upgrade.announcedSize, 16u << 20), 0);
        const std::uint8_t from = m_upgrade.partition, to = from == 0x10 ? 0x11 : 0x10;
        upgradeAnswer(0x0F, Bytes{from, to}, in, out);
        break;
    }
    case 0x10:
    case 0x11: {
        if (v.size() < 2 + 1024 + 1) return;
        const int number = v[0] << 8 | v[1];
        const ByteView data = v.subspan(2, 1024);
        std::uint8_t sum = 0;
        for (std::uint8_t b : data) sum = std::uint8_t(sum + b);
        int next = number + 1;
        if (sum != v[2 + 1024]) {
            ++m_upgrade.badChecksums;
            next = number; // ask for the block again
        } else if (number >= 10000) {
            const std::size_t at = std::size_t(number - 10000) * 1024;
            if (m_upgrade.web.size() < at + 1024) m_upgrade.web.resize(at + 1024, 0);
            std::copy(data.begin(), data.end(), m_upgrade.web.begin() + std::ptrdiff_t(at));
        } else {
            const std::size_t at = std::size_t(number) * 1024;
            for (std::size_t i = 0; i < 1024 && at + i < m_upgrade.firmware.size(); ++i) m_upgrade.firmware[at + i] = data[i];
        }
        if (step == 0x11 && next != number) {
            m_upgrade.finished = true;
            m_upgrade.partition = m_upgrade.partition == 0x10 ? 0x11 : 0x10;
            ++counters[QStringLiteral("upgrades")];
            const auto unverified = knobs.extra.find(QStringLiteral("fota-unverified"));
            const bool verified =
                !m_upgrade.badChecksums && (unverified == knobs.extra.end() || unverified->second == 0);
            upgradeAnswer(0x11, Bytes{0, 0, std::uint8_t(verified ? 0xFA : 0x00)}, in, out);
            if (m_upgrade.factoryReset) m_items = factoryItems(m_profile);
            break;
        }
        if (badNumberEvery > 0 && m_upgradeAnswers % badNumberEvery == badNumberEvery - 1) next += 7;
        upgradeAnswer(0x10, Bytes{std::uint8_t(next >> 8), std::uint8_t(next)}, in, out);
        break;
    }
    default:
        break;
    }
}

Bytes GatewaySim::queryAnswer(ByteView tags) const
{
    Bytes body;
    for (std::uint8_t tag : tags) {
        switch (tag) {
        case 0xB5: {
            const bool fail = knobs.extra.count(QStringLiteral("ping-fail")) && knobs.extra.at(QStringLiteral("ping-fail"));
            putItem(body, 0xB5, fail ? Bytes{} : Bytes{'p', 'i', 'n', 'g', ' ', 'o', 'k', ' ', '2', '3', 'm', 's'});
            break;
        }
        case 0xB3:
            if (const auto info = m_maintenance.queryItem(0xB3)) putItem(body, 0xB3, *info);
            break;
        case 0xB6: {
            const auto table = m_items.top.find(0x5A);
            const bool polling = !m_profile.canPort && table != m_items.top.end();
            // Each query reads the slaves anew.
            const auto queries = counters.find(QStringLiteral("queries"));
            const auto sample = std::uint32_t(queries == counters.end() ? 0 : queries->second);
            putItem(body, 0xB6, polling ? pollValuesText(table->second, sample) : Bytes{});
            break;
        }
        case 0x86:
            if (const auto scan = m_maintenance.queryItem(0x86)) putItem(body, 0x86, *scan);
            break;
        case 0x8F:
            if (m_io) putItem(body, 0x8F, m_io->calibrationResult());
            break;
        case 0x90: {
            if (m_io) {
                const auto clock = m_items.top.find(0xB0);
                const ByteView clockBytes = clock == m_items.top.end() ? ByteView{} : ByteView(clock->second);
                putItem(body, 0x90, m_io->liveStatus(clockBytes));
                break;
            }
            Bytes live(136, 0);
            live[0] = 1;  // Y1 closed
            live[16] = 1; // X1 active
            if (auto it = m_items.top.find(0xB0); it != m_items.top.end()) std::copy(it->second.begin(), it->second.end(), live.begin() + 128);
            putItem(body, 0x90, live);
            break;
        }
        default:
            if (auto it = m_items.top.find(tag); it != m_items.top.end()) putItem(body, tag, it->second);
            break;
        }
    }
    return body;
}

std::map<std::uint8_t, Bytes> *GatewaySim::itemMap(const QString &path, std::uint8_t &tag)
{
    const QStringList parts = path.split(QLatin1Char('.'));
    bool ok = false;
    tag = std::uint8_t(parts.back().toUInt(&ok, 16));
    if (!ok || parts.back().size() > 2) return nullptr;
    if (parts.size() == 1) return &m_items.top;
    if (parts.size() == 2 && parts[0] == QLatin1String("40")) return &m_items.serial;
    if (parts.size() == 3 && parts[0] == QLatin1String("41") && (parts[1] == QLatin1String("0") || parts[1] == QLatin1String("1")))
        return &m_items.channel[parts[1].toInt()];
    return nullptr;
}

std::optional<QByteArray> GatewaySim::query(const QString &path) const
{
    if (path == QLatin1String("debug-target")) return m_debugTarget;
    if (path == QLatin1String("firmware-md5"))
        return QCryptographicHash::hash(QByteArrayView(m_upgrade.firmware.data(), qsizetype(m_upgrade.firmware.size())), QCryptographicHash::Md5);
    if (path == QLatin1String("web-md5"))
        return QCryptographicHash::hash(QByteArrayView(m_upgrade.web.data(), qsizetype(m_upgrade.web.size())), QCryptographicHash::Md5);
    if (path == QLatin1String("firmware-size")) return QByteArray::number(qulonglong(m_upgrade.firmware.size()));
    if (path == QLatin1String("upgrade-finished")) return QByteArray(m_upgrade.finished ? "1" : "0");
    if (path == QLatin1String("upgrade-factory")) return QByteArray(m_upgrade.factoryReset ? "1" : "0");
    if (m_io && path.startsWith(QLatin1String("io."))) return m_io->query(path);
    if (path == QLatin1String("tls.bundle")) {
        const Bytes &b = m_maintenance.tlsBundle();
        return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
    }
    if (path == QLatin1String("image")) {
        const auto it = knobs.extra.find(QStringLiteral("image-blocks"));
        const Bytes image = GatewayMaintenance::image(
            recordBody(), std::size_t(std::clamp(it == knobs.extra.end() ? 8 : it->second, 0, 256)));
        return QByteArray(reinterpret_cast<const char *>(image.data()), qsizetype(image.size()));
    }
    std::uint8_t tag = 0;
    const auto *map = const_cast<GatewaySim *>(this)->itemMap(path, tag);
    if (!map) return std::nullopt;
    const auto it = map->find(tag);
    if (it == map->end()) return std::nullopt;
    return QByteArray(reinterpret_cast<const char *>(it->second.data()), qsizetype(it->second.size()));
}

bool GatewaySim::assign(const QString &path, const QByteArray &value)
{
    std::uint8_t tag = 0;
    auto *map = itemMap(path, tag);
    if (!map) return false;
    (*map)[tag] = Bytes(value.begin(), value.end());
    return true;
}

} // namespace devsim
