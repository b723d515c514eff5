// Value store and wire layouts of the simulated serial servers.
#include "devsim/serial/server_layouts.h"

namespace devsim {

namespace {

struct Width {
    const char *name;
    std::size_t width;
};

constexpr Width kDeviceWidths[] = {
    {"ip", 4}, {"mask", 4}, {"gateway", 4}, {"dns", 4}, {"mac", 6}, {"ipmode", 1}, {"filteroff", 1},
    {"firmware", 4}, {"hardware", 4}, {"extra", 8}, {"user", 8}, {"password", 8}, {"kind", 1},
    {"modbusid", 1}, {"wifimode", 1}, {"apssid", 32}, {"appass", 16}, {"stapass", 16}, {"stassid", 32},
    {"rssi", 1}, {"wifiaux", 1}, {"dhcpserver", 1}, {"stp", 1}, {"security", 1}, {"encryption", 1},
    {"regflag", 1}, {"onetomany", 1}, {"o2mproto", 1},
};
constexpr Width kPortWidths[] = {
    {"baud", 1}, {"parity", 1}, {"databits", 1}, {"stopbits", 1}, {"workmode", 1}, {"extra", 4},
    {"targetport", 2}, {"localport", 2}, {"enable", 1}, {"tcprtu", 1}, {"serialtype", 1}, {"host", 32},
    {"hbinterval", 2}, {"hbdata", 16}, {"packtime", 1}, {"packlength", 2}, {"timeout", 2}, {"regdata", 16},
    {"regmode", 1}, {"reglength", 1}, {"modbusaddr", 1}, {"cloud", 1}, {"cloudid", 20}, {"cloudpwd", 8},
    {"cloudaddr", 4}, {"custombaud", 1}, {"o2mmapped", 1}, {"o2maddr", 1}, {"mqtt", 1}, {"cachebyte", 1},
};

constexpr std::uint32_t kRates[] = {600,   1200,  2400,   4800,   9600,   14400,  19200,  38400,  56000,
                                    57600, 115200, 128000, 230400, 256000, 460800, 921600, 1024000};

std::uint32_t readNumber(ByteView b, bool little)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const std::uint8_t byte = little ? b[b.size() - 1 - i] : b[i];
        v = v << 8 | byte;
    }
    return v;
}

void writeNumber(std::uint8_t *p, std::size_t width, std::uint32_t v, bool little)
{
    for (std::size_t i = 0; i < width; ++i) {
        const std::uint8_t byte = std::uint8_t(v >> (8 * i));
        p[little ? i : width - 1 - i] = byte;
    }
}

QString portField(int port, const char *name) { return ServerValues::portKey(port, name); }

// Appends f with its offset moved by base.
void add(Layout &l, std::size_t offset, QString key, std::size_t width, Encoding e = Encoding::Raw,
         bool replyOnly = false, std::size_t valueOffset = 0)
{
    l.push_back(WireField{offset, std::move(key), width, e, valueOffset, replyOnly});
}

void addAddresses(Layout &l, std::size_t at, bool nativeOrder)
{
    add(l, at, QStringLiteral("ip"), 4);
    add(l, at + 4, nativeOrder ? QStringLiteral("gateway") : QStringLiteral("mask"), 4);
    add(l, at + 8, nativeOrder ? QStringLiteral("mask") : QStringLiteral("gateway"), 4);
    add(l, at + 12, QStringLiteral("dns"), 4);
}

void addVersions(Layout &l, std::size_t at)
{
    add(l, at, QStringLiteral("firmware"), 4, Encoding::Raw, true);
    add(l, at + 4, QStringLiteral("hardware"), 4, Encoding::Raw, true);
    add(l, at + 8, QStringLiteral("extra"), 8, Encoding::Raw, true);
}

void addLogin(Layout &l, std::size_t at)
{
    add(l, at, QStringLiteral("user"), 8);
    add(l, at + 8, QStringLiteral("password"), 8);
}

// The WiFi records' first 154 bytes.
void addWifiHead(Layout &l)
{
    add(l, 1, QStringLiteral("wifimode"), 1);
    add(l, 2, QStringLiteral("apssid"), 32);
    add(l, 34, QStringLiteral("appass"), 16);
    add(l, 50, QStringLiteral("stapass"), 16);
    add(l, 66, QStringLiteral("stassid"), 32);
    addAddresses(l, 98, false);
    add(l, 114, QStringLiteral("mac"), 6);
    add(l, 120, QStringLiteral("ipmode"), 1);
    addLogin(l, 121);
    addVersions(l, 137);
}

// One port's serial fields of the WiFi records, 68 bytes from at.
void addWifiPort(Layout &l, std::size_t at, int port)
{
    const char *bytes[] = {"baud", "parity", "databits", "stopbits", "workmode"};
    for (std::size_t i = 0; i < 5; ++i) add(l, at + i, portField(port, bytes[i]), 1);
    add(l, at + 6, portField(port, "targetport"), 2, Encoding::Little);
    add(l, at + 8, portField(port, "localport"), 2, Encoding::Little);
    add(l, at + 10, portField(port, "packtime"), 1);
    add(l, at + 12, portField(port, "packlength"), 2, Encoding::Little);
    add(l, at + 14, portField(port, "host"), 32);
    add(l, at + 46, portField(port, "hbdata"), 16);
    add(l, at + 62, portField(port, "hbinterval"), 2, Encoding::Little);
    add(l, at + 64, portField(port, "tcprtu"), 1);
    add(l, at + 66, portField(port, "timeout"), 2, Encoding::Little);
}

void addRegister(Layout &l, std::size_t data, std::size_t mode, std::size_t length, int port)
{
    add(l, data, portField(port, "regdata"), 16);
    add(l, mode, portField(port, "regmode"), 1);
    add(l, length, portField(port, "reglength"), 1);
}

} // namespace

std::size_t ServerValues::widthOf(const QString &name)
{
    QString base = name;
    const Width *table = kDeviceWidths;
    std::size_t count = std::size(kDeviceWidths);
    if (name.startsWith(QLatin1String("port")) && name.contains(QLatin1Char('.'))) {
        bool ok = false;
        const int port = name.mid(4, name.indexOf(QLatin1Char('.')) - 4).toInt(&ok);
        if (!ok || port < 1 || port > 24) return 0;
        base = name.mid(name.indexOf(QLatin1Char('.')) + 1);
        table = kPortWidths;
        count = std::size(kPortWidths);
    }
    for (std::size_t i = 0; i < count; ++i)
        if (base == QLatin1String(table[i].name)) return table[i].width;
    return 0;
}

const Bytes &ServerValues::get(const QString &key) const
{
    static const Bytes kNone;
    const auto it = m_values.find(key);
    return it == m_values.end() ? kNone : it->second;
}

bool ServerValues::set(const QString &key, ByteView value)
{
    const std::size_t width = widthOf(key);
    if (width == 0) return false;
    Bytes v(width, 0);
    std::copy_n(value.begin(), std::min(width, value.size()), v.begin());
    m_values[key] = std::move(v);
    return true;
}

void ServerValues::setNumber(const QString &key, std::uint32_t value)
{
    Bytes v(widthOf(key), 0);
    writeNumber(v.data(), v.size(), value, false);
    set(key, v);
}

void ServerValues::setText(const QString &key, const QByteArray &text)
{
    set(key, ByteView(reinterpret_cast<const std::uint8_t *>(text.constData()), std::size_t(text.size())));
}

std::uint32_t ServerValues::number(const QString &key) const { return readNumber(get(key), false); }

void encodeLayout(const Layout &layout, const ServerValues &values, Bytes &out)
{
    for (const WireField &f : layout) {
        if (f.offset + f.width > out.size()) continue;
        std::uint8_t *p = out.data() + f.offset;
        const Bytes &v = values.get(f.key);
        switch (f.encoding) {
        case Encoding::Raw:
            for (std::size_t i = 0; i < f.width; ++i) p[i] = f.valueOffset + i < v.size() ? v[f.valueOffset + i] : 0;
            break;
        case Encoding::Little: writeNumber(p, f.width, readNumber(v, false), true); break;
        case Encoding::Big: writeNumber(p, f.width, readNumber(v, false), false); break;
        case Encoding::BaudRate: {
            const std::uint32_t index = readNumber(v, false);
            writeNumber(p, f.width, index >= 1 && index <= 17 ? kRates[index - 1] : 0, true);
            break;
        }
        }
    }
}

void decodeLayout(const Layout &layout, ByteView data, ServerValues &values)
{
    for (const WireField &f : layout) {
        if (f.replyOnly || f.offset + f.width > data.size()) continue;
        const ByteView w = data.subspan(f.offset, f.width);
        switch (f.encoding) {
        case Encoding::Raw: {
            Bytes v = values.get(f.key);
            v.resize(ServerValues::widthOf(f.key), 0);
            for (std::size_t i = 0; i < f.width && f.valueOffset + i < v.size(); ++i) v[f.valueOffset + i] = w[i];
            values.set(f.key, v);
            break;
        }
        case Encoding::Little: values.setNumber(f.key, readNumber(w, true)); break;
        case Encoding::Big: values.setNumber(f.key, readNumber(w, false)); break;
        case Encoding::BaudRate: {
            const std::uint32_t rate = readNumber(w, true);
            std::uint32_t index = 0;
            for (std::uint32_t i = 0; i < 17; ++i)
                if (kRates[i] == rate) index = i + 1;
            if (index) values.setNumber(f.key, index);
            break;
        }
        }
    }
}

Layout wifi362Layout()
{
    Layout l;
    addWifiHead(l);
    for (int k = 0; k < 2; ++k) {
        const int port = k + 1;
        addWifiPort(l, 154 + 70 * std::size_t(k), port);
        addRegister(l, 304 + 18 * std::size_t(k), 320 + 18 * std::size_t(k), 321 + 18 * std::size_t(k), port);
        add(l, 340 + std::size_t(k), portField(port, "modbusaddr"), 1);
        add(l, 342 + std::size_t(k), portField(port, "custombaud"), 1);
        add(l, 344 + std::size_t(k), portField(port, "mqtt"), 1);
    }
    add(l, 294, QStringLiteral("rssi"), 1, Encoding::Raw, true);
    add(l, 298, QStringLiteral("wifiaux"), 1);
    add(l, 299, QStringLiteral("dhcpserver"), 1);
    add(l, 300, QStringLiteral("stp"), 1);
    add(l, 301, QStringLiteral("security"), 1);
    add(l, 302, QStringLiteral("encryption"), 1);
    add(l, 303, QStringLiteral("regflag"), 1, Encoding::Raw, true);
    return l;
}

Layout wifi292Layout()
{
    Layout l;
    addWifiHead(l);
    addWifiPort(l, 154, 1);
    add(l, 224, QStringLiteral("rssi"), 1, Encoding::Raw, true);
    add(l, 228, QStringLiteral("wifiaux"), 1);
    add(l, 229, QStringLiteral("security"), 1);
    add(l, 230, QStringLiteral("encryption"), 1);
    add(l, 231, QStringLiteral("regflag"), 1, Encoding::Raw, true);
    addRegister(l, 232, 248, 249, 1);
    add(l, 250, portField(1, "modbusaddr"), 1);
    add(l, 251, portField(1, "cloud"), 1);
    add(l, 252, portField(1, "cloudid"), 20);
    add(l, 272, portField(1, "cloudpwd"), 8);
    add(l, 280, portField(1, "cloudaddr"), 4);
    add(l, 284, portField(1, "custombaud"), 1);
    add(l, 285, portField(1, "o2mmapped"), 1);
    add(l, 286, portField(1, "o2maddr"), 1);
    add(l, 287, portField(1, "mqtt"), 1);
    return l;
}

Layout multiLayout(bool is2326, int ports)
{
    struct GroupAt {
        std::size_t blocks, packTimes, packLengths, timeouts, registers;
    };
    static constexpr GroupAt k1284[] = {{40, 610, 618, 634, 0}, {674, 1219, 1228, 1244, 0}};
    static constexpr GroupAt k2326[] = {{40, 610, 618, 634, 673}, {818, 1363, 1372, 1388, 1428},
                                        {1572, 2117, 2126, 2142, 2182}};
    Layout l;
    addAddresses(l, 1, false);
    add(l, 17, QStringLiteral("mac"), 6);
    add(l, 23, QStringLiteral("ipmode"), 1);
    addLogin(l, 24);
    addVersions(l, 584);
    add(l, 609, QStringLiteral("kind"), 1);
    if (is2326) {
        add(l, 650, QStringLiteral("onetomany"), 1);
        add(l, 651, QStringLiteral("o2mproto"), 1);
        add(l, 652, QStringLiteral("modbusid"), 1);
    }
    const int groups = is2326 ? 3 : 2;
    for (int g = 0; g < groups; ++g) {
        const GroupAt &at = is2326 ? k2326[g] : k1284[g];
        for (int k = 0; k < 8; ++k) {
            const int port = 8 * g + k + 1;
            if (port > ports) return l;
            const std::size_t b = at.blocks + 68 * std::size_t(k);
            const char *bytes[] = {"baud", "parity", "databits", "stopbits", "workmode"};
            for (std::size_t i = 0; i < 5; ++i) add(l, b + i, portField(port, bytes[i]), 1);
            if (is2326) {
                add(l, b + 5, portField(port, "extra"), 1, Encoding::Raw, true);
                add(l, b + 6, portField(port, "custombaud"), 1);
                add(l, b + 7, portField(port, "o2maddr"), 1);
                add(l, b + 8, portField(port, "o2mmapped"), 1);
                add(l, b + 14, portField(port, "modbusaddr"), 1);
            } else {
                add(l, b + 5, portField(port, "extra"), 1, Encoding::Raw, true);
                add(l, b + 6, portField(port, "extra"), 3, Encoding::Raw, false, 1);
            }
            add(l, b + 10, portField(port, "targetport"), 2, Encoding::Little);
            add(l, b + 12, portField(port, "localport"), 2, Encoding::Little);
            add(l, b + 15, portField(port, "tcprtu"), 1);
            add(l, b + 16, portField(port, "serialtype"), 1);
            add(l, b + 17, portField(port, "host"), 32);
            add(l, b + 49, portField(port, "hbdata"), 16);
            add(l, b + 66, portField(port, "hbinterval"), 2, Encoding::Little);
            add(l, at.packTimes + std::size_t(k), portField(port, "packtime"), 1);
            add(l, at.packLengths + 2 * std::size_t(k), portField(port, "packlength"), 2, Encoding::Little);
            add(l, at.timeouts + 2 * std::size_t(k), portField(port, "timeout"), 2, Encoding::Little);
            if (is2326) {
                const std::size_t r = at.registers + 18 * std::size_t(k);
                addRegister(l, r, r + 16, r + 17, port);
            }
        }
    }
    return l;
}

Layout nativeLayout(int ports, bool withSecondPortCloud)
{
    const std::size_t n = std::size_t(ports), d = 52 * n;
    Layout l;
    for (std::size_t k = 0; k < n; ++k) {
        const int port = int(k) + 1;
        const std::size_t b = 52 * k;
        add(l, b, portField(port, "baud"), 4, Encoding::BaudRate);
        add(l, b + 4, portField(port, "databits"), 1);
        add(l, b + 5, portField(port, "parity"), 1);
        add(l, b + 6, portField(port, "stopbits"), 1);
        if (n >= 2) add(l, b + 7, portField(port, "modbusaddr"), 1);
        add(l, b + 8, portField(port, "workmode"), 1);
        add(l, b + 10, portField(port, "targetport"), 2, Encoding::Little);
        add(l, b + 16, portField(port, "localport"), 2, Encoding::Little);
        add(l, b + 18, portField(port, "tcprtu"), 1);
        add(l, b + 19, portField(port, "host"), 32);
    }
    addAddresses(l, d, true);
    add(l, d + 16, QStringLiteral("ipmode"), 1);
    add(l, d + 20, QStringLiteral("mac"), 6);
    addVersions(l, d + 26);
    addLogin(l, d + 42);
    struct Arrays {
        std::size_t hbData, hbInterval, timeout, packLength, packTime, registers, cache;
    };
    constexpr std::size_t none = 0;
    const Arrays a = n == 1 ? Arrays{115, 132, 148, none, none, none, none}
                     : n == 2 ? Arrays{74, 92, 118, 128, 132, 134, 240}
                     : n == 4 ? Arrays{72, 90, 154, 168, 176, 180, 256}
                              : Arrays{72, 90, 194, 212, 224, 230, none};
    for (std::size_t k = 0; k < n; ++k) {
        const int port = int(k) + 1;
        add(l, d + a.hbData + 20 * k, portField(port, "hbdata"), 16);
        // A 32-bit field of which the device uses the low 16 bits.
        add(l, d + a.hbInterval + 20 * k, portField(port, "hbinterval"), 2, Encoding::Little);
        add(l, d + a.timeout + 2 * k, portField(port, "timeout"), 2, Encoding::Little);
        if (a.packLength) add(l, d + a.packLength + 2 * k, portField(port, "packlength"), 2, Encoding::Little);
        if (a.packTime) add(l, d + a.packTime + k, portField(port, "packtime"), 1);
        if (a.registers) {
            const std::size_t r = d + a.registers + 19 * k;
            addRegister(l, r, r + 17, r + 18, port);
        }
        if (a.cache) add(l, d + a.cache + k, portField(port, "cachebyte"), 1);
    }
    if (n == 2) {
        add(l, d + 172, portField(1, "cloud"), 1);
        add(l, d + 173, portField(1, "cloudid"), 20);
        add(l, d + 193, portField(1, "cloudpwd"), 8);
        add(l, d + 201, portField(1, "cloudaddr"), 4);
        add(l, d + 238, portField(1, "custombaud"), 1);
        if (withSecondPortCloud) {
            add(l, d + 205, portField(2, "cloud"), 1);
            add(l, d + 206, portField(2, "cloudid"), 20);
            add(l, d + 226, portField(2, "cloudpwd"), 8);
            add(l, d + 234, portField(2, "cloudaddr"), 4);
            add(l, d + 239, portField(2, "custombaud"), 1);
        }
    }
    return l;
}

const std::vector<ItemLayout> &shortItems()
{
    static const std::vector<ItemLayout> items = [] {
        std::vector<ItemLayout> v;
        Layout a;
        addAddresses(a, 0, false);
        v.push_back({0x02, 0x51, a});
        v.push_back({0x03, 0x52, {{0, QStringLiteral("mac"), 6}, {6, QStringLiteral("ipmode"), 1},
                                  {7, QStringLiteral("filteroff"), 1}}});
        Layout versions;
        addVersions(versions, 0);
        v.push_back({0x06, 0x55, versions, true});
        Layout login;
        addLogin(login, 0);
        v.push_back({0x07, 0x56, login});
        const auto list = [](const char *name, std::size_t width) {
            Layout l;
            for (int k = 0; k < 8; ++k)
                add(l, width * std::size_t(k), portField(k + 1, name), width, width == 2 ? Encoding::Little : Encoding::Raw);
            return l;
        };
        v.push_back({0x3F, 0x98, list("hbinterval", 2)});
        v.push_back({0x41, 0x9B, list("packtime", 1)});
        v.push_back({0x42, 0x9C, list("packlength", 2)});
        v.push_back({0x43, 0x9D, list("timeout", 2)});
        // Per port: serial item, host halves, heartbeat data.
        constexpr std::uint8_t codes[8][8] = {
            {0x04, 0x53, 0x12, 0x57, 0x13, 0x58, 0x37, 0x90}, {0x05, 0x54, 0x14, 0x59, 0x15, 0x60, 0x38, 0x91},
            {0x17, 0x61, 0x19, 0x63, 0x20, 0x64, 0x39, 0x92}, {0x18, 0x62, 0x21, 0x65, 0x22, 0x66, 0x3A, 0x93},
            {0x24, 0x68, 0x26, 0x70, 0x27, 0x71, 0x3B, 0x94}, {0x25, 0x69, 0x28, 0x72, 0x29, 0x73, 0x3C, 0x95},
            {0x30, 0x74, 0x32, 0x76, 0x33, 0x77, 0x3D, 0x96}, {0x31, 0x75, 0x34, 0x78, 0x36, 0x79, 0x3E, 0x97}};
        for (int k = 0; k < 8; ++k) {
            const int port = k + 1;
            Layout serial;
            const char *bytes[] = {"baud", "parity", "databits", "stopbits", "workmode"};
            for (std::size_t i = 0; i < 5; ++i) add(serial, i, portField(port, bytes[i]), 1);
            add(serial, 5, portField(port, "extra"), 4);
            add(serial, 9, portField(port, "targetport"), 2, Encoding::Big);
            add(serial, 11, portField(port, "localport"), 2, Encoding::Big);
            add(serial, 13, portField(port, "enable"), 1);
            add(serial, 14, portField(port, "tcprtu"), 1);
            add(serial, 15, portField(port, "serialtype"), 1);
            v.push_back({codes[k][0], codes[k][1], serial});
            v.push_back({codes[k][2], codes[k][3], {{0, portField(port, "host"), 16, Encoding::Raw, 0}}});
            v.push_back({codes[k][4], codes[k][5], {{0, portField(port, "host"), 16, Encoding::Raw, 16}}});
            v.push_back({codes[k][6], codes[k][7], {{0, portField(port, "hbdata"), 16}}});
        }
        return v;
    }();
    return items;
}

} // namespace devsim
