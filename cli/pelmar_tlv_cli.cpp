// The TLV settings commands of pelmar-cli: one exchange at a time on their
// own socket, the device's replies only.
#include "cli/pelmar_tlv_cli.h"

#include "cli/cli_common.h"
#include "common/gbk_text.h"
#include "common/hex_text.h"
#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"
#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"
#include "pelmar/link/tlv_exchange.h"
#include "pelmar/model/conversions.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>

namespace pelmar {

namespace {

constexpr int kWholeDatagram = 65535;

ByteView view(const QByteArray &a)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(a.constData()), std::size_t(a.size()));
}

QString gbkText(const Bytes &b)
{
    return kyvo::fromGbk(QByteArrayView(b.data(), qsizetype(b.size())));
}

Bytes gbkBytes(const QString &text)
{
    const QByteArray gbk = kyvo::toGbk(text);
    return Bytes(gbk.begin(), gbk.end());
}

// --- JSON shapes ------------------------------------------------------------

struct NumberKey
{
    const char *name;
    unsigned max;
};
constexpr NumberKey kCacheKeys[] = {
    {"enabled", 255}, {"periodS", 255}, {"timeoutS", 255}, {"intervalRead", 255}, {"delayMs", 65535}};

unsigned cacheValue(const CachePort &p, int key)
{
    const unsigned values[] = {p.on, p.periodS, p.timeoutS, p.intervalRead, p.delayMs};
    return values[key];
}

void setCacheValue(CachePort &p, int key, unsigned v)
{
    switch (key) {
    case 0:
        p.on = std::uint8_t(v);
        break;
    case 1:
        p.periodS = std::uint8_t(v);
        break;
    case 2:
        p.timeoutS = std::uint8_t(v);
        break;
    case 3:
        p.intervalRead = std::uint8_t(v);
        break;
    case 4:
        p.delayMs = std::uint16_t(v);
        break;
    }
}

QJsonObject mqttJson(const MqttSettings &s)
{
    QJsonObject o;
    for (const MqttTextField &f : mqttTextFields())
        o[QString::fromLatin1(f.name)] = gbkText(s.*(f.member));
    for (const MqttNumberField &f : mqttNumberFields())
        o[QString::fromLatin1(f.name)] = int(mqttNumber(s, f.type));
    return o;
}

QJsonObject cacheJson(const CachePort &p)
{
    QJsonObject o;
    for (int i = 0; i < int(std::size(kCacheKeys)); ++i)
        o[QString::fromLatin1(kCacheKeys[i].name)] = int(cacheValue(p, i));
    return o;
}

QJsonObject heartbeatJson(const HeartbeatSettings &s, int port)
{
    const std::string hex = kyvo::hexTextSpaced(s.packets[std::size_t(port)]);
    return {{QStringLiteral("enabled"), int(s.enable)},
            {QStringLiteral("packet"), QString::fromStdString(hex).trimmed()}};
}

std::optional<unsigned> number(const QJsonValue &v, unsigned max)
{
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (d < 0 || d > max || d != double(unsigned(d))) return std::nullopt;
    return unsigned(d);
}

QString badValue(const QString &key)
{
    return QStringLiteral("pelmar-cli: '%1' does not fit its setting").arg(key);
}

// The input applied over settings that were read; an error text when a key
// is unknown or its value does not fit.
std::optional<QString> applyMqtt(const QJsonObject &in, MqttSettings &s)
{
    for (auto it = in.begin(); it != in.end(); ++it) {
        const QByteArray key = it.key().toLatin1();
        bool known = false;
        for (const MqttTextField &f : mqttTextFields()) {
            if (key != f.name) continue;
            if (!it.value().isString()) return badValue(it.key());
            s.*(f.member) = gbkBytes(it.value().toString());
            known = true;
        }
        for (const MqttNumberField &f : mqttNumberFields()) {
            if (key != f.name) continue;
            const auto v = number(it.value(), f.width == 2 ? 65535 : 255);
            if (!v) return badValue(it.key());
            setMqttNumber(s, f.type, *v);
            known = true;
        }
        if (!known) return QStringLiteral("pelmar-cli: unknown setting '%1'").arg(it.key());
    }
    return std::nullopt;
}

std::optional<QString> applyCache(const QJsonObject &in, CachePort &p)
{
    for (auto it = in.begin(); it != in.end(); ++it) {
        int key = -1;
        for (int i = 0; i < int(std::size(kCacheKeys)); ++i)
            if (it.key() == QLatin1String(kCacheKeys[i].name)) key = i;
        if (key < 0) return QStringLiteral("pelmar-cli: unknown setting '%1'").arg(it.key());
        const auto v = number(it.value(), kCacheKeys[key].max);
        if (!v) return badValue(it.key());
        setCacheValue(p, key, *v);
    }
    return std::nullopt;
}

std::optional<QString> applyHeartbeat(const QJsonObject &in, HeartbeatSettings &s, int port)
{
    for (auto it = in.begin(); it != in.end(); ++it) {
        if (it.key() == QLatin1String("enabled")) {
            const auto v = number(it.value(), 255);
            if (!v) return badValue(it.key());
            s.enable = std::uint8_t(*v);
        } else if (it.key() == QLatin1String("packet")) {
            if (!it.value().isString()) return badValue(it.key());
            const auto bytes = kyvo::parseHexText(it.value().toString().toStdString(), kHeartbeatMax + 1);
            if (!bytes) return QString::fromUtf8(kyvo::kHexErrorText.data());
            s.packets[std::size_t(port)] = *bytes;
        } else {
            return QStringLiteral("pelmar-cli: unknown setting '%1'").arg(it.key());
        }
    }
    return std::nullopt;
}

// The input over empty settings, with the dialogs' checks.
std::optional<QString> checkInput(const TlvCommand &c, Language language)
{
    switch (c.kind) {
    case TlvCommand::Kind::Mqtt: {
        MqttSettings s;
        if (auto bad = applyMqtt(c.input, s)) return bad;
        const std::string_view failure = mqttCheck(s);
        if (!failure.empty()) return subDialogText(language, std::string(failure).c_str());
        return std::nullopt;
    }
    case TlvCommand::Kind::Cache: {
        CachePort p;
        return applyCache(c.input, p);
    }
    case TlvCommand::Kind::Heartbeat: {
        HeartbeatSettings s;
        if (auto bad = applyHeartbeat(c.input, s, c.port)) return bad;
        const std::string_view failure = heartbeatCheck(s);
        if (!failure.empty()) return QString::fromUtf8(failure.data(), qsizetype(failure.size()));
        return std::nullopt;
    }
    }
    return std::nullopt;
}

// --- the exchange -----------------------------------------------------------

class Exchange
{
public:
    Exchange(const DeviceEntry &device, const TlvLink &link, Language language)
        : m_link(link), m_language(language),
          m_socket(link.adapter, TlvExchange::Options{link.destination, link.devicePort, 0, link.timeoutMs})
    {
        m_socket.acceptOnlyFrom(QHostAddress(QString::fromStdString(device.addressText)), device.mac);
    }
    bool bound() const { return m_socket.isBound(); }
    int settleMs() const { return m_link.saveSettleMs; }

    // The device's reply, checked; nothing (and the failure said) otherwise.
    std::optional<QByteArray> run(const Bytes &frame, const char *failure, int extraMs = 0)
    {
        QByteArray reply;
        bool done = false;
        QObject guard;
        QObject::connect(&m_socket, &TlvExchange::finished, &guard, [&](const QByteArray &r) {
            reply = r;
            done = true;
        });
        m_socket.exchangeTlv(frame, kWholeDatagram, m_link.timeoutMs + extraMs);
        cli::waitUntil([&] { return done; }, m_link.timeoutMs + extraMs + 2000);
        if (reply.isEmpty()) {
            cli::err(subDialogText(m_language, failure));
            return std::nullopt;
        }
        const TlvCheck check = checkTlvReply(view(reply));
        if (check != TlvCheck::Ok) {
            cli::err(subDialogText(m_language, std::string(tlvCheckText(check)).c_str()));
            return std::nullopt;
        }
        return reply;
    }
    bool save(const Bytes &frame, int extraMs = 0)
    {
        if (!run(frame, "保存失败！", extraMs)) return false;
        cli::out(subDialogText(m_language, "保存成功"));
        return true;
    }

private:
    TlvLink m_link;
    Language m_language;
    TlvExchange m_socket;
};

void print(const QJsonObject &o, bool json)
{
    if (json) {
        cli::out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)).trimmed());
        return;
    }
    for (auto it = o.begin(); it != o.end(); ++it)
        cli::out(it.key() + QLatin1Char('\t') +
                 (it.value().isString() ? it.value().toString() : QString::number(it.value().toInt())));
}

int runMqtt(const TlvCommand &c, const DeviceEntry &d, Exchange &x)
{
    const auto reply = x.run(mqttReadRequest(std::uint8_t(c.port), d.mac), "读取参数失败！");
    if (!reply) return cli::kFailed;
    MqttSettings s = mqttFromReply(view(*reply), c.port);
    if (!c.set) {
        print(mqttJson(s), c.json);
        return cli::kOk;
    }
    applyMqtt(c.input, s); // checked when the file was read
    return x.save(mqttSaveRequest(std::uint8_t(c.port), s, d.mac), x.settleMs()) ? cli::kOk : cli::kFailed;
}

int runCache(const TlvCommand &c, const DeviceEntry &d, Exchange &x)
{
    const int ports = std::max(1, int(usablePortCount(d)));
    const auto reply = x.run(cacheReadRequest(ports, d.mac), "读取参数失败！");
    if (!reply) return cli::kFailed;
    CacheSettings s;
    cacheFromReply(view(*reply), s);
    CachePort &p = s.ports[std::size_t(c.port)];
    if (!c.set) {
        print(cacheJson(p), c.json);
        return cli::kOk;
    }
    applyCache(c.input, p);
    return x.save(cacheSaveRequest(std::uint8_t(c.port), p, d.mac)) ? cli::kOk : cli::kFailed;
}

int runHeartbeat(const TlvCommand &c, const DeviceEntry &d, Exchange &x)
{
    const int ports = std::max(1, int(usablePortCount(d)));
    const auto reply = x.run(heartbeatReadRequest(ports, d.mac), "读取参数失败！");
    if (!reply) return cli::kFailed;
    HeartbeatSettings s = heartbeatFromReply(view(*reply));
    if (!c.set) {
        print(heartbeatJson(s, c.port), c.json);
        return cli::kOk;
    }
    applyHeartbeat(c.input, s, c.port);
    return x.save(heartbeatSaveRequest(s, ports, d.mac)) ? cli::kOk : cli::kFailed;
}

} // namespace

std::optional<TlvCommand::Kind> tlvCommandKind(const QString &command)
{
    if (command == QLatin1String("mqtt")) return TlvCommand::Kind::Mqtt;
    if (command == QLatin1String("cache")) return TlvCommand::Kind::Cache;
    if (command == QLatin1String("heartbeat")) return TlvCommand::Kind::Heartbeat;
    return std::nullopt;
}

std::optional<QString> loadTlvInput(TlvCommand &command, const QString &path, Language language)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("pelmar-cli: cannot read '%1'").arg(path);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(1 << 20), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return QStringLiteral("pelmar-cli: '%1' holds no JSON object").arg(path);
    command.input = doc.object();
    return checkInput(command, language);
}

int runTlvCommand(const TlvCommand &command, const DeviceEntry &device, const TlvLink &link,
                  Language language)
{
    if (command.kind == TlvCommand::Kind::Cache && !device.longRecord) {
        cli::err(QStringLiteral("pelmar-cli: this server keeps its cache flags with its port settings "
                                "(ports 1 to 4); its cache settings cannot be read"));
        return cli::kFailed;
    }
    if (command.port >= std::max<int>(1, int(usablePortCount(device)))) {
        cli::err(QStringLiteral("pelmar-cli: the server has no serial port %1").arg(command.port + 1));
        return cli::kUsage;
    }
    Exchange x(device, link, language);
    if (!x.bound()) {
        cli::err(QStringLiteral("pelmar-cli: cannot bind the settings socket"));
        return cli::kFailed;
    }
    switch (command.kind) {
    case TlvCommand::Kind::Mqtt:
        return runMqtt(command, device, x);
    case TlvCommand::Kind::Cache:
        return runCache(command, device, x);
    case TlvCommand::Kind::Heartbeat:
        return runHeartbeat(command, device, x);
    }
    return cli::kFailed;
}

} // namespace pelmar
