// Item rules of the parameter record's read direction.
#include "vorlet/record/record_parser.h"

#include "common/fixed_field.h"

#include <cstdio>
#include <cstring>

namespace vorlet {

namespace {

using kyvo::setField;

// Reads the fields of a value one after another; a field that is not wholly
// present (and every field behind it) is left unchanged.
class FieldReader
{
public:
    explicit FieldReader(ByteView v) : m_v(v) {}
    bool u8(std::uint8_t &dst) { return take(1, [&](const std::uint8_t *p) { dst = p[0]; }); }
    bool be16(le16 &dst) { return take(2, [&](const std::uint8_t *p) { dst.set(kyvo::readBe16(p)); }); }
    bool be32(le32 &dst) { return take(4, [&](const std::uint8_t *p) { dst.set(kyvo::readBe32(p)); }); }
    bool raw(std::uint8_t *dst, std::size_t n) { return take(n, [&](const std::uint8_t *p) { std::memcpy(dst, p, n); }); }
    bool skip(std::size_t n) { return take(n, [](const std::uint8_t *) {}); }
    std::size_t position() const { return m_pos; }

private:
    template <typename F> bool take(std::size_t n, F &&f)
    {
        if (!m_ok || m_pos + n > m_v.size()) return m_ok = false;
        f(m_v.data() + m_pos);
        m_pos += n;
        return true;
    }
    ByteView m_v;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

template <std::size_t N> void takeText(ByteView v, std::size_t maxLength, std::uint8_t (&field)[N])
{
    static_assert(N > 0);
    if (v.size() <= maxLength) setField(field, N, v, N);
}

// Texts whose value may be longer than the field: cut, keeping a terminator.
template <std::size_t N> void takeTextCut(ByteView v, std::uint8_t (&field)[N]) { setField(field, N, v, N - 1); }

void takeU8(ByteView v, std::uint8_t &dst)
{
    if (v.size() == 1) dst = v[0];
}
void takeBe16(ByteView v, le16 &dst)
{
    if (v.size() == 2) dst.set(kyvo::readBe16(v.data()));
}
template <std::size_t N> void takeExact(ByteView v, std::uint8_t (&field)[N])
{
    if (v.size() == N) std::memcpy(field, v.data(), N);
}

// Data fields 0x05 and 0x08 of a channel: a length byte and up to 128 bytes.
void takeData(ByteView v, std::uint8_t &length, std::uint8_t (&data)[128])
{
    if (v.size() > 128) return;
    length = std::uint8_t(v.size());
    setField(data, 128, v, 128);
}

void parsePollTable(ByteView v, PollBlock &poll)
{
    if (v.size() < 2) return;
    const std::size_t announced = kyvo::readBe16(v.data());
    std::size_t pos = 2, stored = 0;
    while (stored < announced && stored < kPollSlots && pos + 26 <= v.size()) {
        const std::size_t follow = v[pos];
        if (follow < 25 || pos + 1 + follow > v.size()) break;
        PollEntry &e = poll.entries[stored];
        const std::uint8_t *p = v.data() + pos;
        e.address = p[2];
        e.function = p[3];
        e.startRegister.set(kyvo::readBe16(p + 4));
        e.registerCount = p[6];
        e.dataType = p[7];
        e.threshold1.set(kyvo::readBe32(p + 8));
        e.threshold2.set(kyvo::readBe32(p + 12));
        e.scaleK.set(kyvo::readBe32(p + 16));
        e.offsetB.set(kyvo::readBe32(p + 20));
        e.urgent = p[24];
        const std::size_t nameLength = std::min<std::size_t>(p[25], follow - 25);
        setField(e.jsonName, sizeof e.jsonName, ByteView(p + 26, nameLength), sizeof e.jsonName - 1);
        ++stored;
        pos += 1 + follow;
    }
    poll.entryCount.set(std::uint16_t(stored));
}

void parseCanItem(ByteView v, ParameterRecord &record)
{
    CanBlock &can = record.poll.can;
    if (v.size() < 2) return;
    const std::size_t filterSize = v[0], filters = v[1];
    if (filterSize > 32) return;
    const std::size_t sendersAt = 2 + filters * filterSize;
    if (sendersAt + 2 > v.size()) return;
    const std::size_t senderSize = v[sendersAt], senders = v[sendersAt + 1];
    const std::size_t settingsAt = sendersAt + 2 + senders * senderSize;
    if (settingsAt + 19 > v.size()) return; // a cut item changes nothing

    for (std::size_t i = 0; i < std::min(filters, kCanRecords); ++i) {
        FieldReader f(v.subspan(2 + i * filterSize, std::min<std::size_t>(filterSize, 12)));
        CanFilter &dst = can.filters[i];
        f.u8(dst.dataType) && f.u8(dst.frameType) && f.u8(dst.logic) && f.u8(dst.startByte) &&
            f.be32(dst.minimum) && f.be32(dst.maximum);
    }
    for (std::size_t i = 0; i < std::min(senders, kCanRecords); ++i) {
        FieldReader f(v.subspan(sendersAt + 2 + i * senderSize, std::min<std::size_t>(senderSize, 16)));
        CanSender &dst = can.senders[i];
        f.u8(dst.enabled) && f.raw(dst.frame, sizeof dst.frame) && f.be16(dst.delayMs);
    }
    FieldReader f(v.subspan(settingsAt));
    f.u8(can.bitRateIndex) && f.be16(can.brp) && f.u8(can.tseg1) && f.u8(can.tseg2) &&
        f.u8(can.customConfirmed) && f.u8(can.packetFormat) && f.u8(can.hardwareFilter) &&
        f.u8(can.smartFilter) && f.u8(can.smartSender) && f.u8(can.extendedIds) && f.be32(can.acceptanceCode) &&
        f.be32(can.acceptanceMask) && f.be32(record.canReceived) && f.be32(record.canSent) &&
        f.be32(record.canFiltered) && f.u8(record.canBusState);
}

void parseLiveIo(ByteView v, ParameterRecord &r)
{
    if (v.size() < 136) return;
    FieldReader f(v);
    f.raw(r.live.relayStates, 16);
    f.raw(r.live.inputStates, 16);
    for (int i = 0; i < 16; ++i) f.be32(r.live.counters[i]);
    for (int i = 0; i < 8; ++i) f.be16(r.live.analogRaw[i]);
    for (int i = 0; i < 8; ++i) f.be16(r.live.analogScaled[i]);
    f.raw(r.clock, 8);
}

void parseIoItem(std::uint8_t tag, ByteView v, ParameterRecord &r)
{
    IoSettings &io = r.io;
    FieldReader f(v);
    switch (tag) {
    case 0x91:
        if (v.size() >= 13)
            f.u8(r.ioInputs) && f.u8(r.ioOutputs) && f.u8(r.ioAnalog) && f.be16(r.ioVersion) &&
                f.raw(r.ioIdentity, 8);
        break;
    case 0x92:
        if (v.size() >= 4) {
            io.moduleAddress.set(kyvo::readBe16(v.data()));
            io.debounceMs.set(kyvo::readBe16(v.data() + 2));
        }
        break;
    case 0x93:
        if (v.size() >= 1) io.timersEnabled = v[0];
        break;
    case 0x94:
        if (v.size() >= 224)
            for (TimerEntry &t : io.timers)
                f.u8(t.enabled) && f.be32(t.timeOfDayS) && f.be32(t.expiryMs) && f.u8(t.weekdays) &&
                    f.raw(t.action.b, 4);
        break;
    case 0x95:
        if (v.size() >= 1) io.linkageEnabled = v[0];
        break;
    case 0x96:
        if (v.size() >= 80)
            for (DigitalRule &d : io.digitalRules) f.u8(d.trigger) && f.raw(d.action.b, 4);
        break;
    case 0x97:
        if (v.size() >= 80)
            for (AnalogRule &a : io.analogRules)
                f.u8(a.range) && f.be16(a.value1) && f.be16(a.value2) && f.u8(a.condition) && f.raw(a.action.b, 4);
        break;
    case 0x98:
        if (v.size() >= 1) io.upload.enabled = v[0];
        break;
    case 0x99:
        if (v.size() >= 11)
            f.u8(io.upload.reportInputs) && f.raw(io.upload.inputConditions.b, 4) && f.be32(io.upload.intervalMs) &&
                f.u8(io.upload.format) && f.u8(io.upload.contentMask);
        break;
    case 0x9A:
        if (v.size() >= 81) {
            f.u8(io.upload.adcEnableMask);
            for (ReportRule &rule : io.upload.rules)
                f.u8(rule.range) && f.be16(rule.value1) && f.be16(rule.value2) && f.u8(rule.condition) &&
                    f.raw(rule.rest, 4);
        }
        break;
    case 0x9B:
        if (v.size() >= 1) io.strobeEnabled = v[0];
        break;
    case 0x9C:
        if (v.size() >= 64)
            for (le32 &period : io.strobePeriodsMs) f.be32(period);
        break;
    case 0x9D:
        if (v.size() >= 3) f.raw(io.powerOnMask.b, 2) && f.u8(io.retention);
        break;
    case 0x9E:
        if (v.size() >= 4) f.raw(io.timeoutMask.b, 2) && f.be16(io.commandTimeoutS);
        break;
    case 0x9F:
        if (v.size() <= 32) setField(io.upload.userId, 32, v, 32);
        break;
    default:
        break;
    }
}

void parseCounters(ByteView v, ParameterRecord &r)
{
    FieldReader f(v);
    ChannelStatus &c0 = r.channelStatus[0], &c1 = r.channelStatus[1];
    f.be32(r.serialReceived) && f.be32(r.serialSent) && f.be32(c0.received) && f.be32(c0.sent) &&
        f.u8(c0.clientCount) && f.u8(c0.connectionState) && f.u8(c0.extraB) && f.u8(c0.mqttConnected) &&
        f.u8(c0.mqttSubscribed) && f.u8(c0.extraA) && f.be32(c1.received) && f.be32(c1.sent) &&
        f.u8(c1.clientCount) && f.u8(c1.connectionState) && f.u8(c1.extraB) && f.u8(c1.mqttConnected) &&
        f.u8(c1.mqttSubscribed) && f.u8(c1.extraA);
}

void parseRuntimeStatus(ByteView v, ParameterRecord &r)
{
    if (v.size() < 24) return;
    FieldReader f(v);
    bool ok = f.be32(r.totalMemory) && f.be32(r.freeMemory) && f.be32(r.uptimeS) && f.raw(r.identity, 9) &&
              f.be32(r.idleS) && f.u8(r.partition) && f.u8(r.ethernetSpeed) && f.u8(r.duplex) && f.u8(r.statusByte);
    for (int i = 0; ok && i < 9; ++i) ok = f.be32(r.netCounters[i]);
    ok &&f.be32(r.productionTime) && f.u8(r.resetReason) && f.u8(r.ethernetPhy);
}

} // namespace

std::string selfTestText(ByteView v)
{
    std::string text;
    for (int i = 0; i < 8 && std::size_t(8 + i) < v.size(); ++i) {
        char part[32];
        std::snprintf(part, sizeof part, "%s%s(%d)", i ? " " : "", v[std::size_t(i)] == 1 ? "ok" : "ng",
                      int(v[std::size_t(8 + i)]));
        text += part;
    }
    return text;
}

void parseSerialBlock(ByteView value, ParameterRecord &record)
{
    if (value.empty() || value[0] != 0) return; // the gateway has one serial port
    SerialBlock &s = record.serial;
    walkTlv(value.subspan(1), [&s](const TlvItem &item) {
        const ByteView v = item.value;
        FieldReader f(v);
        switch (item.tag) {
        case 0x01: // note the order: data bits before stop bits
            if (v.size() == 8)
                f.u8(s.baudIndex) && f.u8(s.parityIndex) && f.u8(s.dataBits) && f.u8(s.stopBitsIndex) &&
                    f.be16(s.packingTimeMs) && f.be16(s.packingLength);
            break;
        case 0x02:
            takeExact(v, s.serialBytes);
            break;
        case 0x04:
            takeU8(v, s.serialMode);
            break;
        case 0x06:
            if (v.size() == 4) f.be16(s.replyTimeoutMs) && f.be16(s.commandDelayMs);
            break;
        case 0x07:
            if (v.size() == 3) f.u8(s.commandCache) && f.be16(s.updatePeriodMs);
            break;
        default:
            break;
        }
    });
}

void parseChannelBlock(ByteView value, ParameterRecord &record)
{
    if (value.empty() || value[0] > 1) return; // channels 0 (TCP-A) and 1 (TCP-B)
    ChannelBlock &c = record.channels[value[0]];
    walkTlv(value.subspan(1), [&c](const TlvItem &item) {
        const ByteView v = item.value;
        switch (item.tag) {
        case 0x01: takeBe16(v, c.localPort); break;
        case 0x02: takeU8(v, c.workMode); break;
        case 0x03: takeText(v, 128, c.targetAddress); break;
        case 0x04: takeBe16(v, c.targetPort); break;
        case 0x05: takeData(v, c.heartbeatLength, c.heartbeatData); break;
        case 0x06: takeBe16(v, c.heartbeatIntervalS); break;
        case 0x07: takeU8(v, c.registrationMode); break;
        case 0x08: takeData(v, c.registrationLength, c.registrationData); break;
        case 0x30: takeU8(v, c.mqttFirst); break;
        case 0x31: takeText(v, 128, c.brokerHost); break;
        case 0x32: takeBe16(v, c.brokerPort); break;
        case 0x33: takeText(v, 128, c.mqttUser); break;
        case 0x34: takeText(v, 128, c.mqttPassword); break;
        case 0x35: takeText(v, 128, c.mqttClientId); break;
        case 0x36: takeBe16(v, c.keepAlive); break;
        case 0x37: takeU8(v, c.qos); break;
        case 0x38: takeU8(v, c.cloudPlatform); break;
        case 0x39: takeText(v, kTopicSize, c.productKey); break;
        case 0x3A: takeText(v, kTopicSize, c.cloudDeviceName); break;
        case 0x3B: takeText(v, kTopicSize, c.deviceSecret); break;
        case 0x3C: takeU8(v, c.mqttTls); break;
        case 0x3D: case 0x3E: case 0x3F: case 0x40:
            takeText(v, kTopicSize, c.subscribeTopics[item.tag - 0x3D]);
            break;
        case 0x41: case 0x42: case 0x43: case 0x44:
            takeText(v, kTopicSize, c.publishTopics[item.tag - 0x41]);
            break;
        case 0x45: takeU8(v, c.willEnabled); break;
        case 0x46: takeText(v, kTopicSize, c.willTopic); break;
        case 0x47: takeText(v, kTopicSize, c.willMessage); break;
        case 0x51: takeText(v, 127, c.httpServer); break;
        case 0x52: takeBe16(v, c.httpPort); break;
        case 0x53:
            if (v.size() >= 1) c.httpMethod = v[0];
            if (v.size() >= 2) c.httpHexConversion = v[1];
            break;
        case 0x54: takeText(v, 128, c.httpHeader); break;
        case 0x55:
            if (v.size() >= 1) c.multicast = v[0];
            break;
        default: break; // 0x09 is written only
        }
    });
}

ParseEvents parseRecordAnswer(ByteView lengthAndBody, ParameterRecord &r)
{
    ParseEvents events;
    if (lengthAndBody.size() < 2) return events;
    const std::size_t declared = kyvo::readBe16(lengthAndBody.data());
    const ByteView items = lengthAndBody.subspan(2, std::min(declared, lengthAndBody.size() - 2));
    walkTlv(items, [&](const TlvItem &item) {
        ++events.items;
        const ByteView v = item.value;
        const std::size_t L = v.size();
        FieldReader f(v);
        switch (item.tag) {
        case 0x01: takeText(v, 63, r.versionText); break;
        case 0x02: takeText(v, 63, r.versionText2); break;
        case 0x03: takeText(v, 63, r.model); break;
        case 0x04:
            if (L >= 2) f.raw(r.capabilities, std::min<std::size_t>(L, 6));
            break;
        case 0x05: takeU8(v, r.userCode); break;
        case 0x06:
            if (L == 4) r.firmwareNumber.set(kyvo::readBe32(v.data()));
            break;
        case 0x07: takeU8(v, r.debugOutput); break;
        case 0x10:
            if (L >= 1) r.channelBridge = v[0];
            break;
        case 0x11: takeU8(v, r.ipType); break;
        case 0x12: takeExact(v, r.ipAddress); break;
        case 0x13: takeExact(v, r.subnetMask); break;
        case 0x14: takeExact(v, r.gateway); break;
        case 0x15: takeExact(v, r.dns); break;
        case 0x16: takeExact(v, r.mac); break;
        case 0x17: takeText(v, 63, r.userName); break;
        case 0x18: takeText(v, 63, r.password); break;
        case 0x19: takeText(v, 16, r.identifier); break;
        case 0x1A: takeText(v, 63, r.deviceName); break;
        case 0x1B: takeText(v, 47, r.ipv6); break;
        case 0x1C:
            if (L >= 2) f.raw(r.configBytes, 2);
            break;
        case 0x40: parseSerialBlock(v, r); break;
        case 0x41: parseChannelBlock(v, r); break;
        case 0x50: takeU8(v, r.poll.enabled); break;
        case 0x51:
            if (L >= 4) f.be32(r.poll.timedUploadMs);
            break;
        case 0x52: takeU8(v, r.poll.changeUpload); break;
        case 0x53: takeU8(v, r.poll.uploadFormat); break;
        case 0x54: takeU8(v, r.poll.timeoutHandling); break;
        case 0x55: takeBe16(v, r.poll.field16); break;
        case 0x56: takeText(v, 128, r.poll.prefix); break;
        case 0x57: takeBe16(v, r.poll.pollIntervalMs); break;
        case 0x58: takeBe16(v, r.poll.commandDelayMs); break;
        case 0x59: takeBe16(v, r.poll.responseTimeoutMs); break;
        case 0x5A:
            if (L >= 1) {
                if (hasCanPort(r)) parseCanItem(v, r);
                else parsePollTable(v, r.poll);
            }
            break;
        case 0x5B: takeBe16(v, r.poll.mappingAddress); break;
        case 0x5C:
            if (L >= 3) f.u8(r.poll.asArray) && f.u8(r.poll.uploadChannel) && f.u8(r.poll.writeReply);
            break;
        case 0x70: takeBe16(v, r.netLossRestartMin); break;
        case 0x71:
            if (L >= 1) {
                r.ntpEnabled = v[0];
                takeTextCut(v.subspan(1), r.ntpServer);
            }
            break;
        case 0x72:
            if (L >= 1) f.u8(r.customBaud) && f.u8(r.webSwitch) && f.u8(r.userJson);
            break;
        case 0x73:
            if (L >= 1)
                f.u8(r.tlsMode) && f.be16(r.certChecks[0]) && f.be16(r.certChecks[1]) && f.be16(r.certChecks[2]);
            break;
        case 0x80:
            if (L >= 1) r.wifiMode = v[0];
            break;
        case 0x81: takeText(v, 127, r.ssidList); break;
        case 0x82: takeText(v, 31, r.wifiPasswords); break;
        case 0x83:
            if (L >= 1) r.wifiEncryption = v[0];
            break;
        case 0x84:
            if (L >= 1) f.u8(r.wifiConnectMode) && f.u8(r.bssidOnly) && f.raw(r.bssid, 6);
            break;
        case 0x85:
            if (L >= 1) r.wifiSignal = v[0];
            break;
        case 0x86:
            if (L >= 1) takeTextCut(v, r.wifiExtension);
            break;
        case 0x8F:
            if (L >= 16) events.selfTest = selfTestText(v);
            break;
        case 0x90:
            if (L >= 136) {
                parseLiveIo(v, r);
                events.liveIoUpdated = true;
            }
            break;
        case 0xB0:
            if (L == 8) {
                std::memcpy(r.clock, v.data(), 7);
                events.clockUpdated = true;
            }
            break;
        case 0xB1:
            if (L >= 1) parseCounters(v, r);
            break;
        case 0xB2: parseRuntimeStatus(v, r); break;
        case 0xB3: takeTextCut(v, r.infoText); break;
        case 0xB5: events.pingAnswer = Bytes(v.begin(), v.end()); break;
        case 0xB6: takeTextCut(v, r.pollValues); break;
        case 0xB8:
            if (L >= 40) f.raw(r.customDefaults, 40);
            break;
        default:
            if (item.tag >= 0x91 && item.tag <= 0x9F) parseIoItem(item.tag, v, r);
            break;
        }
    });
    return events;
}

} // namespace vorlet
