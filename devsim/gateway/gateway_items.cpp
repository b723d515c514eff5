// The factory parameter set of a simulated gateway, item by item, as the
// device sends it: numbers big-endian, texts without their NUL.
#include "devsim/gateway/gateway_sim.h"

#include <QString>

namespace devsim {

namespace {

Bytes text(const char *s) { return Bytes(s, s + std::strlen(s)); }
Bytes text(const QByteArray &s) { return Bytes(s.begin(), s.end()); }
Bytes u8(std::uint8_t v) { return Bytes{v}; }
Bytes be16(std::uint16_t v) { return Bytes{std::uint8_t(v >> 8), std::uint8_t(v)}; }
Bytes be32(std::uint32_t v)
{
    return Bytes{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}
Bytes zeros(std::size_t n) { return Bytes(n, 0); }
Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes octets(std::uint32_t a) { return be32(a); }

// A Modbus poll entry on the wire: 25 + n bytes follow the first.
Bytes pollEntry(std::uint8_t slave, std::uint8_t function, std::uint16_t reg, std::uint8_t count, std::uint8_t type,
                std::uint32_t k, const QByteArray &name)
{
    const auto n = std::uint8_t(name.size());
    return cat({u8(std::uint8_t(25 + n)), u8(0), u8(slave), u8(function), be16(reg), u8(count), u8(type), be32(0),
                be32(0), be32(k), be32(0), u8(0), u8(n), text(name)});
}

Bytes pollTable(int entries)
{
    Bytes table = be16(std::uint16_t(entries));
    for (int i = 0; i < entries; ++i) {
        // Every fourth name is Chinese (GBK): "温度" followed by the number.
        const QByteArray name = i % 4 == 3 ? QByteArray("\xce\xc2\xb6\xc8") + QByteArray::number(i)
                                           : "t" + QByteArray::number(i);
        const Bytes e = pollEntry(std::uint8_t(1 + i % 8), i % 5 == 4 ? 1 : 3, std::uint16_t(i * 2), 2,
                                  std::uint8_t(i % 17), 10000, name);
        table.insert(table.end(), e.begin(), e.end());
    }
    return table;
}

Bytes canSettings()
{
    Bytes v{12, 9};
    for (int i = 0; i < 9; ++i) {
        const Bytes f = cat({u8(std::uint8_t(i % 19)), u8(std::uint8_t(i % 3)), u8(i == 0 ? 2 : 0),
                             u8(std::uint8_t(i % 8)), be32(std::uint32_t(-100 * i)), be32(std::uint32_t(100 * i))});
        v.insert(v.end(), f.begin(), f.end());
    }
    v.insert(v.end(), {16, 9});
    for (int i = 0; i < 9; ++i) {
        const Bytes frame{0x88, 0, 0, 0x12, std::uint8_t(0x30 + i), 1, 2, 3, 4, 5, 6, 7, 8};
        const Bytes s = cat({u8(i < 2 ? 1 : 0), frame, be16(std::uint16_t(100 * (i + 1)))});
        v.insert(v.end(), s.begin(), s.end());
    }
    // Bit rate index 9 (125k), brp, tseg1, tseg2, custom, format, filters.
    const Bytes settings = cat({u8(9), be16(32), u8(15), u8(4), u8(0), u8(0), u8(1), u8(1), u8(0), u8(0),
                                be32(0x123), be32(0x7F0)});
    v.insert(v.end(), settings.begin(), settings.end());
    // Counters: received, sent, filtered, bus state.
    const Bytes counters = cat({be32(1234), be32(567), be32(89), u8(0)});
    v.insert(v.end(), counters.begin(), counters.end());
    return v;
}

Bytes ioTimers()
{
    Bytes v;
    for (int i = 0; i < 16; ++i) {
        const Bytes t = cat({u8(i < 2 ? 1 : 0), be32(std::uint32_t(8 * 3600 + i * 60)), be32(1000), u8(0x1F),
                             Bytes{0xFD, 0xFF, 0xFF, 0xFF}});
        v.insert(v.end(), t.begin(), t.end());
    }
    return v;
}

void putChannel(std::map<std::uint8_t, Bytes> &c, int index, std::uint32_t address)
{
    c[0x01] = be16(std::uint16_t(index == 0 ? 8887 : 502));
    c[0x02] = u8(index == 0 ? 2 : 1); // TCP client, TCP server
    c[0x03] = text("192.168.1.100");
    c[0x04] = be16(std::uint16_t(index == 0 ? 8888 : 0));
    c[0x05] = text("hb");
    c[0x06] = be16(60);
    c[0x07] = u8(0);
    c[0x08] = Bytes{0x01, 0x02, 0x03, 0x04};
    c[0x30] = u8(0);
    c[0x31] = text("broker.example.net");
    c[0x32] = be16(1883);
    c[0x33] = text("user");
    c[0x34] = text("secret");
    c[0x35] = text(("gw-" + QByteArray::number(address & 0xFFFF)).constData());
    c[0x36] = be16(60);
    c[0x37] = u8(0);
    c[0x38] = u8(0);
    c[0x39] = text("");
    c[0x3A] = text("");
    c[0x3B] = text("");
    c[0x3C] = u8(0);
    for (std::uint8_t t = 0x3D; t <= 0x40; ++t) c[t] = text(("sub/" + QByteArray::number(t - 0x3C)).constData());
    for (std::uint8_t t = 0x41; t <= 0x44; ++t) c[t] = text(("pub/" + QByteArray::number(t - 0x40)).constData());
    c[0x45] = u8(0);
    c[0x46] = text("will/topic");
    c[0x47] = text("offline");
    c[0x51] = text("http.example.net");
    c[0x52] = be16(80);
    c[0x53] = Bytes{0, 0};
    c[0x54] = text("Content-Type: application/json");
    c[0x55] = u8(0);
}

} // namespace

GatewayItems factoryItems(const GatewayProfile &p)
{
    GatewayItems g;
    auto &t = g.top;
    QByteArray model = p.model;
    if (model.isEmpty()) {
        model = p.canPort ? "VG-211C" : "VG-211";
        if (p.wifi) model += "W";
        if (p.ioModule) model += "-IO";
    }
    t[0x01] = text(p.versionText);
    t[0x02] = text("2026-05-01");
    t[0x03] = text(model);
    t[0x04] = Bytes{0, 0, std::uint8_t(p.wifi), std::uint8_t(p.realTimeClock), std::uint8_t(p.canPort), 0};
    t[0x05] = u8(0);
    t[0x06] = be32(p.firmware);
    t[0x07] = u8(0);
    t[0x10] = u8(0);
    t[0x11] = u8(0);
    t[0x12] = octets(p.address);
    t[0x13] = octets(0xFFFFFF00u);
    t[0x14] = octets((p.address & 0xFFFFFF00u) | 1);
    t[0x15] = octets(0xDF050505u);
    t[0x16] = Bytes(p.mac.begin(), p.mac.end());
    t[0x17] = text("admin");
    t[0x18] = text("admin");
    QByteArray id;
    for (std::uint8_t b : p.mac) id += QByteArray::number(b, 16).rightJustified(2, '0');
    t[0x19] = text(("GW" + id.left(14)).toUpper());
    t[0x1A] = text(p.name);
    t[0x1B] = text("");
    t[0x1C] = Bytes{0, 0};
    t[0x50] = u8(p.canPort ? 0 : 1);
    t[0x51] = be32(0);
    t[0x52] = u8(0);
    t[0x53] = u8(2);
    t[0x54] = u8(0);
    t[0x55] = be16(0);
    t[0x56] = text("");
    t[0x57] = be16(1000);
    t[0x58] = be16(100);
    t[0x59] = be16(500);
    t[0x5A] = p.canPort ? canSettings() : pollTable(p.pollEntries);
    t[0x5B] = be16(0);
    t[0x5C] = Bytes{0, 0, 0};
    t[0x70] = be16(0);
    t[0x71] = cat({u8(1), text("ntp.example.net")});
    t[0x72] = Bytes{0, 0, 0};
    t[0x73] = cat({u8(0), be16(0x1A2B), be16(0x3C4D), be16(0x5E6F)});
    if (p.wifi) {
        t[0x80] = u8(1);
        t[0x81] = text("Workshop-AP");
        t[0x82] = text("12345678");
        t[0x83] = u8(3);
        t[0x84] = Bytes{0, 0, 0, 0, 0, 0, 0, 0};
        t[0x85] = u8(std::uint8_t(-55));
    }
    if (p.ioModule) {
        t[0x91] = cat({Bytes{8, 8, 4}, be16(0x0103), Bytes{1, 2, 3, 4, 5, 6, 7, 8}});
        t[0x92] = cat({be16(1), be16(20)});
        t[0x93] = u8(1);
        t[0x94] = ioTimers();
        t[0x95] = u8(1);
        Bytes digital;
        for (int i = 0; i < 16; ++i) digital.insert(digital.end(), {std::uint8_t(i % 3), 0xFF, 0xFF, 0xFF, 0xFF});
        t[0x96] = digital;
        Bytes analog;
        for (int i = 0; i < 8; ++i) {
            const Bytes a = cat({u8(std::uint8_t(i % 4)), be16(4000), be16(20000), u8(0), Bytes{0xFF, 0xFF, 0xFF, 0xFF}});
            analog.insert(analog.end(), a.begin(), a.end());
        }
        t[0x97] = analog;
        t[0x98] = u8(0);
        t[0x99] = cat({u8(1), Bytes{0xFF, 0xFF, 0xFF, 0xFF}, be32(60000), u8(5), u8(0x07)});
        Bytes report{0x03};
        for (int i = 0; i < 8; ++i) {
            const Bytes r = cat({u8(0), be16(100), be16(200), u8(1), zeros(4)});
            report.insert(report.end(), r.begin(), r.end());
        }
        t[0x9A] = report;
        t[0x9B] = u8(0);
        t[0x9C] = zeros(64);
        t[0x9D] = Bytes{0x00, 0x00, 0x11};
        t[0x9E] = cat({Bytes{0x00, 0x00}, be16(30)});
        t[0x9F] = text("io-user");
    }
    t[0xB0] = Bytes{126, 11, 9, 8, 30, 0, 3, 0};
    t[0xB1] = zeros(36);
    t[0xB2] = cat({be32(2097152), be32(1048576), be32(90061), Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}, be32(5), u8(16),
                   u8(1), u8(1), u8(0), zeros(36), be32(1700000000u), u8(1), u8(1)});
    t[0xB8] = cat({Bytes{0x88, 0xFF}, zeros(38)});

    g.serial[0x01] = Bytes{7, 0, 8, 0, 0x00, 0x32, 0x04, 0x00};
    g.serial[0x02] = Bytes{0, 0};
    g.serial[0x04] = u8(0);
    g.serial[0x06] = cat({be16(1000), be16(100)});
    g.serial[0x07] = cat({u8(0), be16(1000)});
    putChannel(g.channel[0], 0, p.address);
    putChannel(g.channel[1], 1, p.address);
    return g;
}

} // namespace devsim
