// Parameter file export and import.
#include "pelmar/files/parameter_file.h"

#include "common/decimal.h"
#include "common/ipv4.h"
#include "pelmar/model/conversions.h"

#include <QList>

#include <cstring>

namespace pelmar {

const std::array<const char *, 4> kParityTexts{"NONE", "EVEN", "ODD", "SPACE"};
const std::array<const char *, 3> kStopBitTexts{"1", "1.5", "2"};
const std::array<const char *, 4> kWorkModeTexts{"TCP_SERVER", "TCP_CLIENT", "UDP_SERVER", "UDP_CLIENT"};

namespace {

const QByteArray kInfo = "Info";
const QByteArray kDevice = "*****************Device****************";

QByteArray portSection(int n)
{
    return "*****************Port" + QByteArray::number(n) + "*****************";
}

QByteArray address(const Ipv4Bytes &a)
{
    return QByteArray::number(a[0]) + '.' + QByteArray::number(a[1]) + '.' + QByteArray::number(a[2]) + '.' +
           QByteArray::number(a[3]);
}

// Four decimal numbers separated by dots, each cut to 8 bits; missing ones are 0.
Ipv4Bytes parseAddress(const QByteArray &text)
{
    Ipv4Bytes a{};
    const QList<QByteArray> parts = text.split('.');
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        a[std::size_t(i)] = std::uint8_t(
            kyvo::parseDecimal(std::string_view(parts[i].constData(), std::size_t(parts[i].size()))));
    return a;
}

Mac parseMac(const QByteArray &text)
{
    Mac m{};
    const QList<QByteArray> parts = text.split('-');
    for (int i = 0; i < 6 && i < parts.size(); ++i)
        m[std::size_t(i)] = std::uint8_t(parts[i].trimmed().toUInt(nullptr, 16));
    return m;
}

template <std::size_t N> QByteArray bytesOf(const TextField<N> &f)
{
    return QByteArray(reinterpret_cast<const char *>(f.bytes.data()), qsizetype(f.length()));
}

// The text of a 1-based list index; empty for an index with no entry.
QByteArray listText(std::span<const char *const> list, int index)
{
    return index >= 1 && index <= int(list.size()) ? QByteArray(list[std::size_t(index - 1)]) : QByteArray();
}

std::vector<std::string> baudTexts()
{
    std::vector<std::string> t;
    for (std::uint32_t rate : kBaudTable)
        t.push_back(std::to_string(rate));
    return t;
}

template <std::size_t N> void setText(TextField<N> &field, const QByteArray &value)
{
    field.set(std::string_view(value.constData(), std::size_t(value.size())));
}

} // namespace

int lookupListText(const QByteArray &text, std::span<const char *const> entries)
{
    const auto matches = [&](std::size_t i) {
        return QByteArray(entries[i]).toLower().startsWith(text.toLower());
    };
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (matches(i)) return int(i);
    if (!entries.empty() && matches(0)) return 0;
    return -1;
}

QString proposedParameterFileName(const DeviceEntry &e)
{
    QByteArray name(reinterpret_cast<const char *>(e.versionExtra.data()), 5);
    name += '-';
    name += QByteArray(reinterpret_cast<const char *>(e.firmwareVersion.bytes.data()), 2);
    const int zero = name.indexOf('\0');
    if (zero >= 0) name.truncate(zero);
    // The bytes come from the device: control bytes, path separators and
    // the characters file systems refuse would make a name nobody can use.
    for (char &c : name)
        if (c < 0x20 || c > 0x7E || std::strchr("\\/:*?\"<>|", c)) c = '_';
    return QString::fromLatin1(name) + QStringLiteral(".ini");
}

kyvo::ProfileFile exportParameters(const DeviceEntry &e)
{
    kyvo::ProfileFile ini;
    ini.setString(kInfo, "HardwareVersion", bytesOf(e.hardwareVersion));
    ini.setString(kInfo, "FirmwareVersion", bytesOf(e.firmwareVersion));
    ini.setInt(kDevice, "IpType", e.ipMode);
    ini.setString(kDevice, "IpAddress", address(e.ip));
    ini.setString(kDevice, "NetMask", address(e.mask));
    ini.setString(kDevice, "NetGate", address(e.gateway));
    ini.setString(kDevice, "DNS", address(e.dns));
    ini.setInt(kDevice, "dhcpd", e.wifiDhcpServer);
    ini.setInt(kDevice, "stp", e.wifiStp);
    ini.setInt(kDevice, "wifi_mode", e.wifiMode);
    ini.setString(kDevice, "ap_name", bytesOf(e.apSsid));
    ini.setString(kDevice, "ap_pw", bytesOf(e.apPassword));
    ini.setString(kDevice, "sta_pw", bytesOf(e.staPassword));
    ini.setString(kDevice, "sta_name", bytesOf(e.staSsid));
    ini.setString(kDevice, "MAC", QByteArray::fromStdString(macText(e.mac)));
    ini.setString(kDevice, "Username", bytesOf(e.user));
    ini.setString(kDevice, "Password", bytesOf(e.password));
    const std::vector<std::string> bauds = baudTexts();
    const int ports = std::min<int>(portCount(e), int(kMaxPorts));
    for (int n = 1; n <= ports; ++n) {
        const PortSettings &p = e.ports[std::size_t(n - 1)];
        const QByteArray s = portSection(n);
        ini.setInt(s, "Enable", int(p.enable) - 1);
        ini.setString(s, "BitRate",
                      p.baudIndex >= 1 && p.baudIndex <= bauds.size()
                          ? QByteArray::fromStdString(bauds[p.baudIndex - 1])
                          : QByteArray());
        ini.setString(s, "CheckBit", listText(kParityTexts, p.parity));
        ini.setInt(s, "DataBit", p.dataBits);
        ini.setString(s, "StopBit", listText(kStopBitTexts, p.stopBits));
        ini.setString(s, "WorkMode", listText(kWorkModeTexts, p.workMode));
        ini.setString(s, "RemoteIp", bytesOf(p.targetHost));
        ini.setInt(s, "RemotePort", p.targetPort);
        ini.setInt(s, "LocalPort", p.localPort);
        ini.setString(s, "HeartbeatData", bytesOf(p.heartbeatData));
        ini.setInt(s, "HeartbeatInterval", p.heartbeatInterval);
        ini.setInt(s, "PackTime", p.packTime);
        ini.setInt(s, "PackSize", p.packLength);
        ini.setInt(s, "Modbus", p.modbusTcpToRtu);
        ini.setInt(s, "ModbusTimeout", p.timeout);
    }
    return ini;
}

DeviceEntry importParameters(const kyvo::ProfileFile &ini)
{
    DeviceEntry e;
    setText(e.hardwareVersion, ini.getString(kInfo, "HardwareVersion", {}, 35));
    setText(e.firmwareVersion, ini.getString(kInfo, "FirmwareVersion", {}, 35));
    e.ipMode = std::uint8_t(ini.getInt(kDevice, "IpType", 1));
    e.ip = parseAddress(ini.getString(kDevice, "IpAddress", "192.168.1.253", 19));
    e.mask = parseAddress(ini.getString(kDevice, "NetMask", "255.255.255.0", 19));
    e.gateway = parseAddress(ini.getString(kDevice, "NetGate", "192.168.1.1", 19));
    e.dns = parseAddress(ini.getString(kDevice, "DNS", "208.67.222.222", 19));
    e.wifiDhcpServer = std::uint8_t(ini.getInt(kDevice, "dhcpd", 1));
    e.wifiStp = std::uint8_t(ini.getInt(kDevice, "stp", 1));
    e.wifiMode = std::uint8_t(ini.getInt(kDevice, "wifi_mode", 1));
    setText(e.apSsid, ini.getString(kDevice, "ap_name", "kvwi_xxx", 35));
    setText(e.apPassword, ini.getString(kDevice, "ap_pw", "47105832", 35));
    setText(e.staPassword, ini.getString(kDevice, "sta_pw", "47105832", 35));
    setText(e.staSsid, ini.getString(kDevice, "sta_name", "kvwi_xxx", 35));
    e.mac = parseMac(ini.getString(kDevice, "MAC", "00-CA-C1-19-00-33", 19));
    setText(e.user, ini.getString(kDevice, "Username", "admin", 35));
    setText(e.password, ini.getString(kDevice, "Password", "kelod", 35));

    std::vector<std::string> bauds = baudTexts();
    std::vector<const char *> baudEntries;
    for (const std::string &b : bauds)
        baudEntries.push_back(b.c_str());
    for (int n = 1; n <= int(kMaxPorts); ++n) {
        PortSettings &p = e.ports[std::size_t(n - 1)];
        const QByteArray s = portSection(n);
        p.enable = std::uint8_t(ini.getInt(s, "Enable", 1) + 1);
        p.baudIndex = std::uint8_t(lookupListText(ini.getString(s, "BitRate", "9600", 19), baudEntries) + 1);
        p.parity = std::uint8_t(lookupListText(ini.getString(s, "CheckBit", "NONE", 19), kParityTexts) + 1);
        p.dataBits = std::uint8_t(ini.getInt(s, "DataBit", 8));
        const QByteArray stop = ini.getString(s, "StopBit", "1", 19);
        p.stopBits = stop == "1" ? 1 : std::uint8_t(lookupListText(stop, kStopBitTexts) + 1);
        p.workMode =
            std::uint8_t(lookupListText(ini.getString(s, "WorkMode", "TCP_SERVER", 19), kWorkModeTexts) + 1);
        setText(p.targetHost, ini.getString(s, "RemoteIp", "192.168.1.253", 31));
        p.targetPort = std::uint16_t(ini.getInt(s, "RemotePort", 1030));
        p.localPort = std::uint16_t(ini.getInt(s, "LocalPort", 1030));
        setText(p.heartbeatData, ini.getString(s, "HeartbeatData", "123", 19));
        p.heartbeatInterval = std::uint16_t(ini.getInt(s, "HeartbeatInterval", 0));
        p.packTime = std::uint8_t(ini.getInt(s, "PackTime", 0));
        p.packLength = std::uint16_t(ini.getInt(s, "PackSize", 0));
        p.modbusTcpToRtu = std::uint8_t(ini.getInt(s, "Modbus", 0));
        p.timeout = std::uint16_t(ini.getInt(s, "ModbusTimeout", 10));
        // What a file does not carry.
        p.registerData.fill(0);
        p.registerData[0] = '1';
        p.registerLength = 1;
        p.registerMode = 0;
        p.modbusAddress = 0;
        p.cloudEnable = 0;
        p.customBaud = 0;
        p.standardMqtt = 0;
        p.modbusCacheByte = 0;
    }
    return e;
}

namespace {

struct NumberKey
{
    const char *key;
    long long min, max;
};

// Numbers the import keeps in fields of these widths. "Enable" holds the
// port's enable value minus 1.
constexpr NumberKey kDeviceNumbers[] = {
    {"IpType", 0, 255}, {"dhcpd", 0, 255}, {"stp", 0, 255}, {"wifi_mode", 0, 255}};
constexpr NumberKey kPortNumbers[] = {{"Enable", -1, 254},
                                      {"DataBit", 0, 255},
                                      {"RemotePort", 0, 65535},
                                      {"LocalPort", 0, 65535},
                                      {"HeartbeatInterval", 0, 65535},
                                      {"PackTime", 0, 255},
                                      {"PackSize", 0, 65535},
                                      {"Modbus", 0, 255},
                                      {"ModbusTimeout", 0, 65535}};
constexpr const char *kAddressKeys[] = {"IpAddress", "NetMask", "NetGate", "DNS"};

bool soundNumber(const QByteArray &text, long long min, long long max)
{
    bool ok = false;
    const long long v = text.toLongLong(&ok, 10);
    return ok && !text.startsWith('+') && v >= min && v <= max;
}

} // namespace

std::optional<QString> badParameterValue(const kyvo::ProfileFile &ini)
{
    const auto has = [&](const QByteArray &section, const char *key) {
        return ini.value(section, key).has_value();
    };
    for (const char *key : kAddressKeys)
        if (has(kDevice, key) && !kyvo::parseIpv4(ini.getString(kDevice, key, {}, 19).toStdString()))
            return QString::fromLatin1(key);
    for (const NumberKey &n : kDeviceNumbers)
        if (has(kDevice, n.key) && !soundNumber(ini.getString(kDevice, n.key), n.min, n.max))
            return QString::fromLatin1(n.key);

    std::vector<std::string> bauds = baudTexts();
    std::vector<const char *> baudEntries;
    for (const std::string &b : bauds)
        baudEntries.push_back(b.c_str());
    const struct
    {
        const char *key;
        std::span<const char *const> entries;
    } lists[] = {{"BitRate", baudEntries},
                 {"CheckBit", kParityTexts},
                 {"StopBit", kStopBitTexts},
                 {"WorkMode", kWorkModeTexts}};
    for (int n = 1; n <= int(kMaxPorts); ++n) {
        const QByteArray s = portSection(n);
        if (!ini.hasSection(s)) continue;
        const auto bad = [n](const char *key) {
            return QStringLiteral("%1 (PORT%2)").arg(QString::fromLatin1(key)).arg(n);
        };
        for (const NumberKey &k : kPortNumbers)
            if (has(s, k.key) && !soundNumber(ini.getString(s, k.key), k.min, k.max)) return bad(k.key);
        for (const auto &l : lists) {
            if (!has(s, l.key)) continue;
            const QByteArray text = ini.getString(s, l.key, {}, 19);
            if (text.isEmpty() || lookupListText(text, l.entries) < 0) return bad(l.key);
        }
    }
    return std::nullopt;
}

bool validImportedPortCount(const DeviceEntry &entry)
{
    const char c = entry.portCountChar();
    return c == '1' || c == '2' || c == '4' || c == '6' || c == '8' || c == 'M' || c == 'N';
}

} // namespace pelmar
