// Simulated serial device servers.
#include "devsim/serial/server_sim.h"

#include "devsim/core/device_specs.h"
#include "devsim/serial/server_wifi.h"

#include <QCryptographicHash>
#include <QStringList>

namespace devsim {

namespace {

constexpr std::uint8_t kAccepted = 0x10, kRefused = 0x11;

std::uint8_t sum(ByteView b, std::size_t n)
{
    unsigned s = 0;
    for (std::size_t i = 0; i < n; ++i) s += b[i];
    return std::uint8_t(s);
}

QByteArray text(const char *t) { return QByteArray(t); }

char portChar(ServerFamily family, int ports)
{
    if (ports == 24) return 'N';
    if (ports == 16) return 'M';
    if (ports <= 2) return '1';
    if (family == ServerFamily::Native && ports == 1) return '1';
    return char('0' + ports);
}

QByteArray defaultHardware(const ServerProfile &p)
{
    const char c = portChar(p.family, p.ports);
    switch (p.family) {
    case ServerFamily::Short: return QByteArray("S") + c + "10";
    case ServerFamily::Wifi362: return QByteArray("W") + c + "20";
    case ServerFamily::Wifi292: return QByteArray("W") + c + "10";
    case ServerFamily::Multi1284: return QByteArray("V") + c + "20";
    case ServerFamily::Multi2326: return QByteArray("V") + c + (p.ports == 24 ? "30" : "20");
    case ServerFamily::Native: return QByteArray("N") + c + (p.registers ? "40" : "20");
    }
    return {};
}

QByteArray defaultFirmware(const ServerProfile &p)
{
    switch (p.family) {
    case ServerFamily::Short: return text("V043");
    case ServerFamily::Native: return p.ports == 4 ? text("V2.3") : text("V3.1");
    default: return text("V5.2");
    }
}

std::uint64_t senderKey(const kyvo::Ipv4Endpoint &e) { return (std::uint64_t(e.address) << 16) | e.port; }

} // namespace

ServerValues factoryValues(const ServerProfile &p)
{
    ServerValues v;
    const auto octets = kyvo::ipv4Octets(p.address);
    v.set(QStringLiteral("ip"), octets);
    v.set(QStringLiteral("mask"), Bytes{255, 255, 0, 0});
    v.set(QStringLiteral("gateway"), Bytes{octets[0], octets[1], 0, 254});
    v.set(QStringLiteral("dns"), Bytes{octets[0], octets[1], 0, 53});
    v.set(QStringLiteral("mac"), p.mac);
    v.setNumber(QStringLiteral("ipmode"), 1);
    v.setText(QStringLiteral("firmware"), p.firmware.isEmpty() ? defaultFirmware(p) : p.firmware);
    v.setText(QStringLiteral("hardware"), p.hardware.isEmpty() ? defaultHardware(p) : p.hardware);
    v.set(QStringLiteral("extra"), Bytes{'2', '0', '2', '4', 0x01, 0x02, 0x03, 0x04});
    v.setText(QStringLiteral("user"), "admin");
    v.setText(QStringLiteral("password"), "kv" + QByteArray::number(p.address & 0xFF));
    v.setNumber(QStringLiteral("kind"), p.kind);
    v.setNumber(QStringLiteral("modbusid"), 1);
    v.setNumber(QStringLiteral("wifimode"), 2);
    v.setText(QStringLiteral("apssid"), "kyvo-ap-" + QByteArray::number(p.address & 0xFF));
    v.setText(QStringLiteral("appass"), "ap-secret");
    v.setText(QStringLiteral("stapass"), "plant-pass-2024");
    v.setText(QStringLiteral("stassid"), "plant-floor-wifi");
    v.set(QStringLiteral("rssi"), Bytes{std::uint8_t(-55)});
    v.setNumber(QStringLiteral("wifiaux"), 7);
    v.setNumber(QStringLiteral("dhcpserver"), 2);
    v.setNumber(QStringLiteral("stp"), 1);
    v.setNumber(QStringLiteral("security"), 3);
    v.setNumber(QStringLiteral("encryption"), 0);
    v.setNumber(QStringLiteral("regflag"), p.registers ? 0x80 : 0);
    v.setNumber(QStringLiteral("onetomany"), 0);
    v.setNumber(QStringLiteral("o2mproto"), 1);
    for (int port = 1; port <= 24; ++port) {
        const auto key = [port](const char *name) { return ServerValues::portKey(port, name); };
        v.setNumber(key("baud"), port % 2 ? 11 : 5); // 115200, 9600
        v.setNumber(key("parity"), 1 + port % 3);
        v.setNumber(key("databits"), 8);
        v.setNumber(key("stopbits"), 1);
        v.setNumber(key("workmode"), 1 + port % 4);
        v.set(key("extra"), Bytes{0, std::uint8_t(port), 0, 0});
        v.setNumber(key("targetport"), 8000 + port);
        v.setNumber(key("localport"), 4000 + port);
        v.setNumber(key("enable"), 2);
        v.setNumber(key("tcprtu"), 1 + port % 2);
        v.setNumber(key("serialtype"), 1 + port % 3);
        // Odd ports have a host name longer than 16 characters, so both halves matter.
        v.setText(key("host"), port % 2 ? "server-" + QByteArray::number(port) + ".plant.example.net"
                                        : "10.77.0." + QByteArray::number(100 + port));
        v.setNumber(key("hbinterval"), 30 + port);
        v.setText(key("hbdata"), "HB-P" + QByteArray::number(port));
        v.setNumber(key("packtime"), 10 + port);
        v.setNumber(key("packlength"), 500 + port);
        v.setNumber(key("timeout"), 100 + port);
        v.setText(key("regdata"), "REG-" + QByteArray::number(port));
        v.setNumber(key("regmode"), port % 4);
        v.setNumber(key("reglength"), port < 10 ? 5 : 6);
        v.setNumber(key("modbusaddr"), port);
        v.setNumber(key("cloud"), 1);
        v.setText(key("cloudid"), "1234567890123456" + QByteArray::number(1000 + port));
        v.setText(key("cloudpwd"), "cp" + QByteArray::number(port));
        v.set(key("cloudaddr"), Bytes{10, 77, 0, std::uint8_t(port)});
        v.setNumber(key("custombaud"), port % 2);
        v.setNumber(key("o2mmapped"), port + 100);
        v.setNumber(key("o2maddr"), port + 50);
        v.setNumber(key("mqtt"), port % 2);
        v.setNumber(key("cachebyte"), port % 2 ? 0xAA : 0x55);
    }
    return v;
}

ServerSim::ServerSim(ServerProfile profile) : m_profile(std::move(profile)), m_values(factoryValues(m_profile)) {}

QString ServerSim::kind() const
{
    switch (m_profile.family) {
    case ServerFamily::Short: return QStringLiteral("server-short");
    case ServerFamily::Wifi362: return QStringLiteral("server-wifi362");
    case ServerFamily::Wifi292: return QStringLiteral("server-wifi292");
    case ServerFamily::Multi1284: return QStringLiteral("server-multi1284");
    case ServerFamily::Multi2326: return QStringLiteral("server-multi2326");
    case ServerFamily::Native: return QStringLiteral("server-native");
    }
    return {};
}

std::size_t ServerSim::replyLength() const
{
    const int n = m_profile.ports;
    switch (m_profile.family) {
    case ServerFamily::Short: return 26;
    case ServerFamily::Wifi362: return 372;
    case ServerFamily::Wifi292: return 302;
    case ServerFamily::Multi1284: return n > 8 ? 1294 : 684;
    case ServerFamily::Multi2326: return n > 16 ? 2336 : n > 8 ? 1582 : 828;
    case ServerFamily::Native:
        if (n == 1) return 250;
        if (n == 2) return m_profile.registers ? (m_profile.secondPortCloud ? 390 : 310) : 270;
        if (n == 4) return m_profile.registers ? 510 : 470;
        return m_profile.registers ? 760 : 730;
    }
    return 0;
}

Layout ServerSim::recordLayout() const
{
    switch (m_profile.family) {
    case ServerFamily::Wifi362: return wifi362Layout();
    case ServerFamily::Wifi292: return wifi292Layout();
    case ServerFamily::Multi1284: return multiLayout(false, m_profile.ports);
    case ServerFamily::Multi2326: return multiLayout(true, m_profile.ports);
    case ServerFamily::Native: return nativeLayout(m_profile.ports, m_profile.secondPortCloud);
    case ServerFamily::Short: break;
    }
    return {};
}

Bytes ServerSim::frame(std::uint8_t code, ByteView payload) const
{
    Bytes f{'H', ':', 'R', code};
    f.insert(f.end(), payload.begin(), payload.end());
    f.insert(f.end(), m_profile.mac.begin() + 3, m_profile.mac.end());
    f.push_back(sum(f, f.size()));
    f.push_back('E');
    f.push_back('.');
    return f;
}

Bytes ServerSim::searchAnswer() const
{
    if (m_profile.family == ServerFamily::Short) {
        Bytes item(16, 0);
        const Bytes &fw = m_values.get(QStringLiteral("firmware"));
        const Bytes &hw = m_values.get(QStringLiteral("hardware"));
        std::copy(fw.begin(), fw.end(), item.begin());      // frame bytes 4..7 (6 and 7: the version digits)
        std::copy(hw.begin(), hw.end(), item.begin() + 4);  // frame bytes 8..11 (9: the port count)
        item[8] = std::uint8_t(m_values.number(QStringLiteral("kind"))); // frame byte 12
        const Bytes &ip = m_values.get(QStringLiteral("ip"));
        std::copy(ip.begin(), ip.end(), item.begin() + 9);
        return frame('P', item);
    }
    Bytes record(replyLength() - 10, 0);
    encodeLayout(recordLayout(), m_values, record);
    return frame(m_profile.family == ServerFamily::Native ? 0x01 : 'P', record);
}

bool ServerSim::tailIsMine(ByteView f) const
{
    return std::equal(f.end() - 6, f.end() - 3, m_profile.mac.begin() + 3);
}

void ServerSim::receive(const Incoming &in, Outbox &out)
{
    const ByteView d = in.data;
    if (in.localPort != 1111) {
        m_tftp.receive(in, out, *this);
        return;
    }
    if (d.size() < 10) return;
    if (d[0] == 'h') return handleTlvFrame(d, in, out);
    const std::uint64_t key = senderKey(in.from);
    // The second part of a split record write continues the first.
    if (d[0] != 'H' && d[0] != 'y') {
        const auto it = m_firstParts.find(key);
        if (it == m_firstParts.end()) return;
        Bytes whole = std::move(it->second);
        m_firstParts.erase(it);
        whole.insert(whole.end(), d.begin(), d.end());
        whole[0] = 'H';
        handleFrame(whole, in, out);
        return;
    }
    if (d[0] == 'y') {
        if (d[1] != ':' || d[2] != 'W') return;
        m_firstParts[key] = Bytes(d.begin(), d.end());
        return;
    }
    handleFrame(d, in, out);
}

void ServerSim::handleFrame(ByteView f, const Incoming &in, Outbox &out)
{
    const std::size_t n = f.size();
    if (f[1] != ':' || f[n - 2] != 'E' || f[n - 1] != '.' || f[n - 3] != sum(f, n - 3)) {
        ++counters[QStringLiteral("bad-frames")];
        return;
    }
    const std::uint8_t direction = f[2], code = f[3];
    const bool everyone = f[n - 6] == 0 && f[n - 5] == 0 && f[n - 4] == 0;
    if (direction == 'R' && code == 0x01 && everyone && n == 26) {
        ++counters[QStringLiteral("searches")];
        out.send(searchAnswer(), in.from, in.localPort);
        return;
    }
    if (!tailIsMine(f)) return;
    if (direction == 'R' && n == 26) {
        handleItemRead(code, in, out);
        return;
    }
    if (direction != 'W') return;
    switch (code) {
    case 0x08: ++counters[QStringLiteral("restarts")]; return;
    case 0x09:
        ++counters[QStringLiteral("resets")];
        m_values = factoryValues(m_profile);
        return;
    case 0x16: ++counters[QStringLiteral("upgrades")]; return;
    case 0x41: // WiFi scan; to other servers an item list
    case 0x42: // WiFi signal: the record again
        if (!isWifiServer(m_profile.family)) break;
        ++counters[QLatin1String(code == 0x41 ? "wifi-scans" : "signal-requests")];
        out.send(code == 0x41 ? frame(0x9F, scannedNetworks(m_profile.address)) : searchAnswer(), in.from,
                 in.localPort);
        return;
    case 0x49:
        ++counters[QStringLiteral("commits")];
        if (firmwareNeedsRepair(m_values.get(QStringLiteral("firmware")))) ++counters[QStringLiteral("repair-frames")];
        acknowledge(!knobs.refuse, in, out);
        return;
    default: break;
    }
    if (n == 26) handleItemWrite(code, f.subspan(4, 16), in, out);
    else handleRecordWrite(code, f, in, out);
}

void ServerSim::handleItemRead(std::uint8_t code, const Incoming &in, Outbox &out)
{
    for (const ItemLayout &item : shortItems()) {
        if (item.code != code) continue;
        ++counters[QStringLiteral("reads")];
        Bytes data(16, 0);
        encodeLayout(item.fields, m_values, data);
        out.send(frame(item.reply, data), in.from, in.localPort);
        return;
    }
}

void ServerSim::handleItemWrite(std::uint8_t code, ByteView data, const Incoming &in, Outbox &out)
{
    for (const ItemLayout &item : shortItems()) {
        if (item.code != code || item.readOnly) continue;
        ++counters[QStringLiteral("writes")];
        if (knobs.refuse) {
            ++counters[QStringLiteral("refused")];
            acknowledge(false, in, out);
            return;
        }
        decodeLayout(item.fields, data, m_values);
        acknowledge(true, in, out);
        return;
    }
}

void ServerSim::handleRecordWrite(std::uint8_t code, ByteView f, const Incoming &in, Outbox &out)
{
    const std::size_t n = f.size();
    bool fits = false;
    Layout layout;
    switch (m_profile.family) {
    case ServerFamily::Wifi362: fits = code == 0x02 && n == 372; layout = wifi362Layout(); break;
    case ServerFamily::Wifi292: fits = code == 0x02 && n == 302; layout = wifi292Layout(); break;
    case ServerFamily::Multi1284: fits = code == 0x02 && (n == 684 || n == 1294); layout = recordLayout(); break;
    case ServerFamily::Multi2326:
        fits = code == 0x02 && (n == 828 || n == 1582 || n == 2336);
        layout = recordLayout();
        break;
    case ServerFamily::Native: {
        const int ports = n == 310 || n == 390 ? 2 : n == 510 ? 4 : n == 760 ? 6 : 0;
        fits = code == 0x44 && ports == m_profile.ports;
        layout = nativeLayout(m_profile.ports, n == 390);
        break;
    }
    case ServerFamily::Short: break;
    }
    if (layout.empty() && !fits) return; // not a record this server speaks
    ++counters[QStringLiteral("record-writes")];
    if (!fits || knobs.refuse) {
        ++counters[QStringLiteral("refused")];
        acknowledge(false, in, out);
        return;
    }
    decodeLayout(layout, f.subspan(4, n - 10), m_values);
    acknowledge(true, in, out);
}

void ServerSim::acknowledge(bool accepted, const Incoming &in, Outbox &out)
{
    const auto silent = knobs.extra.find(QStringLiteral("write-silent"));
    if (silent != knobs.extra.end() && silent->second != 0) return;
    Bytes data(16, 0);
    out.send(frame(accepted ? kAccepted : kRefused, data), in.from, in.localPort);
}

std::optional<QByteArray> ServerSim::query(const QString &path) const
{
    if (path == QLatin1String("firmware-md5")) {
        const Bytes &image = m_tftp.image();
        return QCryptographicHash::hash(QByteArrayView(image.data(), qsizetype(image.size())), QCryptographicHash::Md5);
    }
    if (path == QLatin1String("firmware-size")) return QByteArray::number(qulonglong(m_tftp.image().size()));
    if (path == QLatin1String("firmware-name")) return m_tftp.fileName();
    if (path == QLatin1String("firmware-tsize")) return QByteArray::number(qulonglong(m_tftp.announcedSize()));
    if (path == QLatin1String("firmware-complete")) return QByteArray(m_tftp.complete() ? "1" : "0");
    if (path == QLatin1String("reply-length")) {
        const std::size_t n = replyLength();
        QByteArray v(2, 0);
        v[0] = char(n >> 8);
        v[1] = char(n & 0xFF);
        return v;
    }
    if (const auto tlv = tlvPath(path)) {
        const Bytes *v = m_tlv.value(tlv->first, tlv->second);
        if (!v) return std::nullopt;
        return QByteArray(reinterpret_cast<const char *>(v->data()), qsizetype(v->size()));
    }
    if (!m_values.has(path)) return std::nullopt;
    const Bytes &v = m_values.get(path);
    return QByteArray(reinterpret_cast<const char *>(v.data()), qsizetype(v.size()));
}

bool ServerSim::assign(const QString &path, const QByteArray &value)
{
    if (const auto tlv = tlvPath(path)) {
        if (value.size() > 255) return false;
        m_tlv.set(tlv->first, tlv->second,
                  ByteView(reinterpret_cast<const std::uint8_t *>(value.constData()), std::size_t(value.size())));
        return true;
    }
    return m_values.set(path, ByteView(reinterpret_cast<const std::uint8_t *>(value.constData()), std::size_t(value.size())));
}

std::vector<ServerProfile> everyServerVariant()
{
    std::vector<ServerProfile> v;
    const auto add = [&v](ServerFamily f, int ports, bool registers = false, bool cloud2 = false, std::uint8_t kind = 1) {
        ServerProfile p;
        p.family = f;
        p.ports = ports;
        p.registers = registers;
        p.secondPortCloud = cloud2;
        p.kind = kind;
        v.push_back(p);
    };
    for (int ports : {2, 4, 6, 8}) add(ServerFamily::Short, ports, false, false, ports == 4 ? 0 : 1);
    add(ServerFamily::Wifi362, 2, true);
    add(ServerFamily::Wifi292, 1);
    for (int ports : {8, 16, 24}) add(ServerFamily::Multi1284, ports, false, false, ports == 8 ? 0 : 1);
    for (int ports : {8, 16, 24}) add(ServerFamily::Multi2326, ports, true);
    add(ServerFamily::Native, 1);
    add(ServerFamily::Native, 2);
    add(ServerFamily::Native, 2, true);
    add(ServerFamily::Native, 2, true, true);
    add(ServerFamily::Native, 4);
    add(ServerFamily::Native, 4, true);
    add(ServerFamily::Native, 6);
    add(ServerFamily::Native, 6, true);
    return v;
}

bool addServers(SimNetwork &network, const QString &spec, std::uint32_t &next, QString *error)
{
    ServerProfile base;
    int count = 1;
    bool every = false, mix = false;
    bool portsGiven = false;
    const auto fail = [error](const QString &why) {
        if (error) *error = why;
        return false;
    };
    for (const QString &part : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString value = part.section(QLatin1Char('='), 1);
        bool ok = true;
        if (key == QLatin1String("count")) count = value.toInt(&ok);
        else if (key == QLatin1String("family")) {
            if (value == QLatin1String("short")) base.family = ServerFamily::Short;
            else if (value == QLatin1String("wifi362")) base.family = ServerFamily::Wifi362;
            else if (value == QLatin1String("wifi292")) base.family = ServerFamily::Wifi292;
            else if (value == QLatin1String("multi1284")) base.family = ServerFamily::Multi1284;
            else if (value == QLatin1String("multi2326")) base.family = ServerFamily::Multi2326;
            else if (value == QLatin1String("native")) base.family = ServerFamily::Native;
            else if (value == QLatin1String("all")) every = true;
            else if (value == QLatin1String("mix")) mix = true;
            else ok = false;
        } else if (key == QLatin1String("ports")) {
            base.ports = value.toInt(&ok);
            portsGiven = true;
        } else if (key == QLatin1String("register")) base.registers = value.toInt(&ok) != 0;
        else if (key == QLatin1String("cloud2")) base.secondPortCloud = value.toInt(&ok) != 0;
        else if (key == QLatin1String("kind")) base.kind = std::uint8_t(value.toUInt(&ok));
        else if (key == QLatin1String("firmware")) base.firmware = value.toLatin1().left(4);
        else if (key == QLatin1String("hardware")) base.hardware = value.toLatin1().left(4);
        else ok = false;
        if (!ok) return fail(QStringLiteral("bad server option: %1").arg(part));
    }
    if (count < 0 || count > 4096) return fail(QStringLiteral("bad server count"));
    std::vector<ServerProfile> profiles;
    const auto variants = everyServerVariant();
    if (every) {
        for (int round = 0; round < count; ++round) profiles.insert(profiles.end(), variants.begin(), variants.end());
    } else if (mix) {
        for (int i = 0; i < count; ++i) profiles.push_back(variants[std::size_t(i) % variants.size()]);
    } else {
        const int p = base.ports;
        const bool valid = base.family == ServerFamily::Short      ? (p == 2 || p == 4 || p == 6 || p == 8)
                           : base.family == ServerFamily::Wifi362  ? (!portsGiven || p == 2)
                           : base.family == ServerFamily::Wifi292  ? (!portsGiven || p == 1)
                           : base.family == ServerFamily::Native   ? (p == 1 || p == 2 || p == 4 || p == 6)
                                                                   : (p == 8 || p == 16 || p == 24);
        if (!valid) return fail(QStringLiteral("no such server: %1").arg(spec));
        if (base.family == ServerFamily::Wifi362) base.ports = 2;
        if (base.family == ServerFamily::Wifi292) base.ports = 1;
        profiles.assign(std::size_t(count), base);
    }
    for (ServerProfile p : profiles) {
        p.address = next++;
        p.mac = simulatedMac(0x5A, p.address);
        if (!every && !mix) {
            p.firmware = base.firmware;
            p.hardware = base.hardware;
        }
        network.add(std::make_unique<ServerSim>(p));
    }
    return true;
}

} // namespace devsim
