// Requests, replies and checks of the port settings kept as TLVs.
#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"

#include "common/hex_text.h"

#include <algorithm>

namespace pelmar {

namespace {

constexpr std::uint8_t kSaveLead = 0x01, kDebugRunLead = 0x00;
constexpr std::uint8_t kDebugRunType = 0x1B;

int clampPorts(int portCount)
{
    return std::clamp(portCount, 0, kMaxTlvPorts);
}

void appendNumber(Bytes &body, std::uint8_t type, unsigned value, int width)
{
    Bytes v;
    if (width == 2)
        kyvo::putBe16(v, std::uint16_t(value));
    else
        v.push_back(std::uint8_t(value));
    appendTlv(body, type, v);
}

unsigned number(ByteView v)
{
    unsigned n = 0;
    for (std::uint8_t b : v)
        n = n << 8 | b;
    return n;
}

constexpr MqttTextField kMqttTexts[] = {
    {0x0A, &MqttSettings::server, 128, 127, "服务器IP长度超过128", "server"},
    {0x0C, &MqttSettings::user, 65, 64, "用户名长度超过 65", "user"},
    {0x0D, &MqttSettings::password, 65, 64, "密码长度超过 65", "password"},
    {0x0E, &MqttSettings::clientId, 65, 64, "设备ID超过 65", "clientId"},
    {0x12, &MqttSettings::willTopic, 65, 64, "遗嘱TOPIC 长度超过 65", "willTopic"},
    {0x1C, &MqttSettings::willMessage, 65, 64, "遗嘱MSG 65", "willMessage"},
    {0x13, &MqttSettings::subscribeTopic, 65, 64, "订阅TOPIC长度超过 65", "subscribeTopic"},
    {0x14, &MqttSettings::publishTopic, 65, 64, "发布TOPIC长度超过 65", "publishTopic"},
    {0x16, &MqttSettings::productKey, 65, 64, "PRODUCT KEY 长度超过 65", "productKey"},
    {0x17, &MqttSettings::deviceName, 65, 64, "DEVICE NAME长度超过 65", "deviceName"},
    {0x18, &MqttSettings::deviceSecret, 65, 64, "DEVICE SECRET长度超过 65", "deviceSecret"},
};

constexpr MqttNumberField kMqttNumbers[] = {
    {0x0B, 2, "port"},    {0x0F, 2, "keepAlive"}, {0x10, 1, "qos"},
    {0x11, 1, "will"},    {0x15, 1, "cloud"},     {0x19, 1, "retain"},
    {0x1A, 1, "enabled"}, {0x62, 1, "tls"},       {0x63, 1, "tlsVersion"},
};

// The order of the read request and of the save.
constexpr std::uint8_t kMqttReadTypes[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13,
                                           0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C, 0x62, 0x63};
constexpr std::uint8_t kMqttSaveTypes[] = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13,
                                           0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x62, 0x63, 0x1C};

const MqttTextField *textField(std::uint8_t type)
{
    for (const MqttTextField &f : kMqttTexts)
        if (f.type == type) return &f;
    return nullptr;
}
const MqttNumberField *numberField(std::uint8_t type)
{
    for (const MqttNumberField &f : kMqttNumbers)
        if (f.type == type) return &f;
    return nullptr;
}

constexpr std::uint8_t kCacheOn = 0x1D, kCachePeriod = 0x5E, kCacheTimeout = 0x5F, kCacheInterval = 0x61,
                       kCacheDelay = 0x64;
constexpr std::uint8_t kLearnedBytes = 0x3E, kLearnedCount = 0x1E;

Bytes cachePortItems(const CachePort &v)
{
    Bytes items;
    appendNumber(items, kCacheOn, v.on, 1);
    appendNumber(items, kCachePeriod, v.periodS, 1);
    appendNumber(items, kCacheTimeout, v.timeoutS, 1);
    appendNumber(items, kCacheInterval, v.intervalRead, 1);
    appendNumber(items, kCacheDelay, v.delayMs, 2);
    return items;
}

constexpr std::uint8_t kHeartbeatEnable = 0x0C, kHeartbeatPacket = 0x60;

} // namespace

Bytes debugRunRequest(std::uint8_t port, const Mac &mac)
{
    Bytes items;
    appendNumber(items, kDebugRunType, 1, 1);
    Bytes body{kDebugRunLead};
    appendPortTlv(body, port, items);
    return buildTlvFrame(kTlvWriteCode, body, mac);
}

// --- MQTT ------------------------------------------------------------------

std::span<const MqttTextField> mqttTextFields()
{
    return kMqttTexts;
}

std::span<const MqttNumberField> mqttNumberFields()
{
    return kMqttNumbers;
}

unsigned mqttNumber(const MqttSettings &s, std::uint8_t type)
{
    switch (type) {
    case 0x0B:
        return s.port;
    case 0x0F:
        return s.keepAlive;
    case 0x10:
        return s.qos;
    case 0x11:
        return s.will;
    case 0x15:
        return s.cloud;
    case 0x19:
        return s.retain;
    case 0x1A:
        return s.enabled;
    case 0x62:
        return s.tls;
    case 0x63:
        return s.tlsVersion;
    }
    return 0;
}

void setMqttNumber(MqttSettings &s, std::uint8_t type, unsigned value)
{
    const auto b = std::uint8_t(value);
    switch (type) {
    case 0x0B:
        s.port = std::uint16_t(value);
        break;
    case 0x0F:
        s.keepAlive = std::uint16_t(value);
        break;
    case 0x10:
        s.qos = b;
        break;
    case 0x11:
        s.will = b;
        break;
    case 0x15:
        s.cloud = b;
        break;
    case 0x19:
        s.retain = b;
        break;
    case 0x1A:
        s.enabled = b;
        break;
    case 0x62:
        s.tls = b;
        break;
    case 0x63:
        s.tlsVersion = b;
        break;
    }
}

Bytes mqttReadRequest(std::uint8_t port, const Mac &mac)
{
    Bytes body;
    appendPortTlv(body, port, kMqttReadTypes);
    return buildTlvFrame(kTlvReadCode, body, mac);
}

Bytes mqttSaveRequest(std::uint8_t port, const MqttSettings &s, const Mac &mac)
{
    Bytes items;
    for (std::uint8_t type : kMqttSaveTypes) {
        if (const MqttTextField *t = textField(type))
            appendTlv(items, type, s.*(t->member));
        else if (const MqttNumberField *n = numberField(type))
            appendNumber(items, type, mqttNumber(s, type), n->width);
    }
    Bytes body{kSaveLead};
    appendPortTlv(body, port, items);
    return buildTlvFrame(kTlvWriteCode, body, mac);
}

MqttSettings mqttFromReply(ByteView reply, int port)
{
    MqttSettings s;
    walkTlvBody(reply, [&](const TlvEntry &e) {
        if (e.port < 0 || e.port != port) return;
        if (const MqttTextField *t = textField(e.type)) {
            if (e.value.size() <= t->readLimit) s.*(t->member) = Bytes(e.value.begin(), e.value.end());
        } else if (const MqttNumberField *n = numberField(e.type)) {
            if (e.value.size() == std::size_t(n->width)) setMqttNumber(s, e.type, number(e.value));
        }
    });
    return s;
}

std::string_view mqttCheck(const MqttSettings &s)
{
    for (const MqttTextField &f : kMqttTexts)
        if ((s.*(f.member)).size() > f.saveLimit) return f.tooLong;
    return {};
}

// --- MODBUS cache -----------------------------------------------------------

Bytes cacheReadRequest(int portCount, const Mac &mac)
{
    static constexpr std::uint8_t kWanted[] = {kCacheOn, kCachePeriod, kCacheTimeout, kCacheInterval,
                                               kCacheDelay};
    Bytes body;
    for (int i = 0; i < clampPorts(portCount); ++i)
        appendPortTlv(body, std::uint8_t(i), kWanted);
    return buildTlvFrame(kTlvReadCode, body, mac);
}

Bytes cacheSaveRequest(std::uint8_t port, const CachePort &values, const Mac &mac)
{
    Bytes body{kSaveLead};
    appendPortTlv(body, port, cachePortItems(values));
    return buildTlvFrame(kTlvWriteCode, body, mac);
}

Bytes cacheCloneRequest(int portCount, const CachePort &values, const Mac &mac)
{
    Bytes body{kSaveLead};
    const Bytes items = cachePortItems(values);
    for (int i = 0; i < clampPorts(portCount); ++i)
        appendPortTlv(body, std::uint8_t(i), items);
    return buildTlvFrame(kTlvWriteCode, body, mac);
}

void cacheFromReply(ByteView reply, CacheSettings &settings)
{
    settings = CacheSettings{};
    walkTlvBody(reply, [&](const TlvEntry &e) {
        if (e.port < 0 || e.port >= kMaxTlvPorts) return;
        CachePort &p = settings.ports[std::size_t(e.port)];
        const std::size_t n = e.value.size();
        if (e.type >= kLearnedBytes && e.type < kLearnedBytes + kLearnedSlots) {
            if (n <= kLearnedCommandMax)
                settings.learned[e.type - kLearnedBytes].assign(e.value.begin(), e.value.end());
            return;
        }
        if (e.type >= kLearnedCount && e.type < kLearnedCount + kLearnedSlots) {
            if (n == 2) settings.learnedCount[e.type - kLearnedCount] = std::uint16_t(number(e.value));
            return;
        }
        if (e.type == kCacheDelay) {
            if (n == 2) p.delayMs = std::uint16_t(number(e.value));
            return;
        }
        if (n != 1) return;
        switch (e.type) {
        case kCacheOn:
            p.on = e.value[0];
            break;
        case kCachePeriod:
            p.periodS = e.value[0];
            break;
        case kCacheTimeout:
            p.timeoutS = e.value[0];
            break;
        case kCacheInterval:
            p.intervalRead = e.value[0];
            break;
        }
    });
}

std::string learnedCommandsText(const CacheSettings &settings)
{
    std::string text;
    for (const Bytes &command : settings.learned) {
        if (command.empty()) continue;
        text += kyvo::hexTextSpaced(command);
        text += "\r\n";
    }
    return text;
}

bool cachePortsDiffer(std::span<const CachePort> ports, int portCount)
{
    const int n = std::min<int>(clampPorts(portCount), int(ports.size()));
    for (int i = 1; i < n; ++i)
        if (ports[std::size_t(i)] != ports[std::size_t(i - 1)]) return true;
    return false;
}

bool legacyFlagsDiffer(std::span<const std::uint8_t> flags, int portCount)
{
    const int n = std::min<int>({clampPorts(portCount), kLegacyCachePorts, int(flags.size())});
    for (int i = 1; i < n; ++i)
        if (flags[std::size_t(i)] != flags[std::size_t(i - 1)]) return true;
    return false;
}

// --- 48-byte heartbeat packets ----------------------------------------------

Bytes heartbeatReadRequest(int portCount, const Mac &mac)
{
    static constexpr std::uint8_t kWanted[] = {kHeartbeatPacket};
    Bytes body{kHeartbeatEnable};
    for (int i = 0; i < clampPorts(portCount); ++i)
        appendPortTlv(body, std::uint8_t(i), kWanted);
    return buildTlvFrame(kTlvReadCode, body, mac);
}

Bytes heartbeatSaveRequest(const HeartbeatSettings &s, int portCount, const Mac &mac)
{
    Bytes body{kSaveLead};
    appendNumber(body, kHeartbeatEnable, s.enable, 1);
    for (int i = 0; i < clampPorts(portCount); ++i) {
        Bytes items;
        appendTlv(items, kHeartbeatPacket, s.packets[std::size_t(i)]);
        appendPortTlv(body, std::uint8_t(i), items);
    }
    return buildTlvFrame(kTlvWriteCode, body, mac);
}

HeartbeatSettings heartbeatFromReply(ByteView reply)
{
    HeartbeatSettings s;
    walkTlvBody(reply, [&](const TlvEntry &e) {
        if (e.port < 0) {
            if (e.type == kHeartbeatEnable && e.value.size() == 1) s.enable = e.value[0];
        } else if (e.port < kMaxTlvPorts && e.type == kHeartbeatPacket && e.value.size() <= kHeartbeatMax) {
            s.packets[std::size_t(e.port)].assign(e.value.begin(), e.value.end());
        }
    });
    return s;
}

std::string_view heartbeatCheck(const HeartbeatSettings &s)
{
    for (const Bytes &p : s.packets)
        if (p.size() > kHeartbeatMax) return "heartbead size < 48";
    return {};
}

} // namespace pelmar
