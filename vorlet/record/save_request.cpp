// Save request serialiser.
#include "vorlet/record/save_request.h"

#include "common/fixed_field.h"

namespace vorlet {

namespace {

using kyvo::fieldTextBytes;
using kyvo::putBe16;
using kyvo::putBe32;
using kyvo::putBytes;

void putText(Bytes &out, std::uint8_t tag, kyvo::ByteView text) { putItem(out, tag, text); }

template <std::size_t N> void putRaw(Bytes &out, std::uint8_t tag, const std::uint8_t (&bytes)[N])
{
    putItem(out, tag, kyvo::ByteView(bytes, N));
}

void putIdentityItems(Bytes &out, const ParameterRecord &r)
{
    putItemU8(out, 0x05, r.userCode);
    putItemU8(out, 0x10, r.channelBridge);
    putItemU8(out, 0x11, r.ipType);
    putRaw(out, 0x12, r.ipAddress);
    putRaw(out, 0x13, r.subnetMask);
    putRaw(out, 0x14, r.gateway);
    putRaw(out, 0x15, r.dns);
    putText(out, 0x17, fieldTextBytes(r.userName));
    putText(out, 0x18, fieldTextBytes(r.password));
    putText(out, 0x1A, fieldTextBytes(r.deviceName));
    putText(out, 0x1B, fieldTextBytes(r.ipv6));
    putRaw(out, 0x1C, r.configBytes);
}

void putPollItems(Bytes &out, const ParameterRecord &r)
{
    const PollBlock &p = r.poll;
    putItemU8(out, 0x50, p.enabled);
    putItemBe32(out, 0x51, p.timedUploadMs);
    putItemU8(out, 0x52, p.changeUpload);
    putItemU8(out, 0x53, p.uploadFormat);
    putItemU8(out, 0x54, p.timeoutHandling);
    putItemBe16(out, 0x55, p.field16);
    putText(out, 0x56, fieldTextBytes(p.prefix));
    putItemBe16(out, 0x57, p.pollIntervalMs);
    putItemBe16(out, 0x58, p.commandDelayMs);
    putItemBe16(out, 0x59, p.responseTimeoutMs);
    putItem(out, 0x5A, hasCanPort(r) ? canSettingsValue(r) : pollTableValue(r));
    putItemBe16(out, 0x5B, p.mappingAddress);
    const std::uint8_t tail[3] = {p.asArray, p.uploadChannel, p.writeReply};
    putItem(out, 0x5C, tail);
}

void putNetworkItems(Bytes &out, const ParameterRecord &r)
{
    putItemBe16(out, 0x70, r.netLossRestartMin);
    Bytes ntp{r.ntpEnabled};
    putBytes(ntp, fieldTextBytes(r.ntpServer));
    putItem(out, 0x71, ntp);
    const std::uint8_t switches[3] = {r.customBaud, r.webSwitch, r.userJson};
    putItem(out, 0x72, switches);
    putItemU8(out, 0x73, r.tlsMode);
    putItemU8(out, 0x80, r.wifiMode);
    putText(out, 0x81, fieldTextBytes(r.ssidList));
    putText(out, 0x82, fieldTextBytes(r.wifiPasswords));
    putItemU8(out, 0x83, r.wifiEncryption);
    Bytes connect{r.wifiConnectMode, r.bssidOnly};
    putBytes(connect, r.bssid);
    putItem(out, 0x84, connect);
}

void putIoItems(Bytes &out, const ParameterRecord &r)
{
    const IoSettings &io = r.io;
    Bytes v;
    putBe16(v, std::uint16_t(io.moduleAddress.get()));
    putBe16(v, io.debounceMs);
    putItem(out, 0x92, v);
    putItemU8(out, 0x93, io.timersEnabled);
    v.clear();
    for (const TimerEntry &t : io.timers) {
        v.push_back(t.enabled);
        putBe32(v, t.timeOfDayS);
        putBe32(v, t.expiryMs);
        v.push_back(t.weekdays);
        putBytes(v, t.action.b);
    }
    putItem(out, 0x94, v);
    putItemU8(out, 0x95, io.linkageEnabled);
    v.clear();
    for (const DigitalRule &d : io.digitalRules) {
        v.push_back(d.trigger);
        putBytes(v, d.action.b);
    }
    putItem(out, 0x96, v);
    v.clear();
    for (const AnalogRule &a : io.analogRules) {
        v.push_back(a.range);
        putBe16(v, a.value1);
        putBe16(v, a.value2);
        v.push_back(a.condition);
        putBytes(v, a.action.b);
    }
    putItem(out, 0x97, v);
    putItemU8(out, 0x98, io.upload.enabled);
    v = {io.upload.reportInputs};
    putBytes(v, io.upload.inputConditions.b);
    putBe32(v, io.upload.intervalMs);
    v.push_back(io.upload.format);
    v.push_back(io.upload.contentMask);
    putItem(out, 0x99, v);
    v = {io.upload.adcEnableMask};
    for (const ReportRule &rule : io.upload.rules) {
        v.push_back(rule.range);
        putBe16(v, rule.value1);
        putBe16(v, rule.value2);
        v.push_back(rule.condition);
        putBytes(v, kyvo::ByteView(rule.rest, 4));
    }
    putItem(out, 0x9A, v);
    putItemU8(out, 0x9B, io.strobeEnabled);
    v.clear();
    for (const le32 &period : io.strobePeriodsMs) putBe32(v, period);
    putItem(out, 0x9C, v);
    v.assign(io.powerOnMask.b, io.powerOnMask.b + 2);
    v.push_back(io.retention);
    putItem(out, 0x9D, v);
    v.assign(io.timeoutMask.b, io.timeoutMask.b + 2);
    putBe16(v, io.commandTimeoutS);
    putItem(out, 0x9E, v);
    putText(out, 0x9F, fieldTextBytes(io.upload.userId));
}

void putSerialBlock(Bytes &out, const SerialBlock &s)
{
    putComposite(out, 0x40, 0, [&s](Bytes &b) {
        Bytes line{s.baudIndex, s.parityIndex, s.dataBits, s.stopBitsIndex};
        putBe16(line, s.packingTimeMs);
        putBe16(line, s.packingLength);
        putItem(b, 0x01, line);
        putRaw(b, 0x02, s.serialBytes);
        putItemU8(b, 0x04, s.serialMode);
        Bytes times;
        putBe16(times, s.replyTimeoutMs);
        putBe16(times, s.commandDelayMs);
        putItem(b, 0x06, times);
        Bytes cache{s.commandCache};
        putBe16(cache, s.updatePeriodMs);
        putItem(b, 0x07, cache);
    });
}

void putData(Bytes &out, std::uint8_t tag, std::uint8_t length, const std::uint8_t (&data)[128])
{
    putItem(out, tag, kyvo::ByteView(data, std::min<std::size_t>(length, 128)));
}

void putChannelBlock(Bytes &out, const ChannelBlock &c, std::uint8_t index)
{
    putComposite(out, 0x41, index, [&c](Bytes &b) {
        putItemBe16(b, 0x01, c.localPort);
        putItemU8(b, 0x02, c.workMode);
        putText(b, 0x03, fieldTextBytes(c.targetAddress));
        putItemBe16(b, 0x04, c.targetPort);
        putData(b, 0x05, c.heartbeatLength, c.heartbeatData);
        putItemBe16(b, 0x06, c.heartbeatIntervalS);
        putItemU8(b, 0x07, c.registrationMode);
        putData(b, 0x08, c.registrationLength, c.registrationData);
        putItemU8(b, 0x09, c.socketOption);
        putItemU8(b, 0x30, c.mqttFirst);
        putText(b, 0x31, fieldTextBytes(c.brokerHost));
        putItemBe16(b, 0x32, c.brokerPort);
        putText(b, 0x33, fieldTextBytes(c.mqttUser));
        putText(b, 0x34, fieldTextBytes(c.mqttPassword));
        putText(b, 0x35, fieldTextBytes(c.mqttClientId));
        putItemBe16(b, 0x36, c.keepAlive);
        putItemU8(b, 0x37, c.qos);
        putItemU8(b, 0x38, c.cloudPlatform);
        putText(b, 0x39, fieldTextBytes(c.productKey));
        putText(b, 0x3A, fieldTextBytes(c.cloudDeviceName));
        putText(b, 0x3B, fieldTextBytes(c.deviceSecret));
        putItemU8(b, 0x3C, c.mqttTls);
        for (int i = 0; i < 4; ++i) putText(b, std::uint8_t(0x3D + i), fieldTextBytes(c.subscribeTopics[i]));
        for (int i = 0; i < 4; ++i) putText(b, std::uint8_t(0x41 + i), fieldTextBytes(c.publishTopics[i]));
        putItemU8(b, 0x45, c.willEnabled);
        putText(b, 0x46, fieldTextBytes(c.willTopic));
        putText(b, 0x47, fieldTextBytes(c.willMessage));
        putText(b, 0x51, fieldTextBytes(c.httpServer));
        putItemBe16(b, 0x52, c.httpPort);
        const std::uint8_t method[2] = {c.httpMethod, c.httpHexConversion};
        putItem(b, 0x53, method);
        putText(b, 0x54, fieldTextBytes(c.httpHeader));
        putItemU8(b, 0x55, c.multicast);
    });
}

} // namespace

Bytes pollTableValue(const ParameterRecord &r)
{
    const std::size_t count = std::min<std::size_t>(r.poll.entryCount, kPollSlots);
    Bytes v;
    putBe16(v, std::uint16_t(count));
    for (std::size_t i = 0; i < count; ++i) {
        const PollEntry &e = r.poll.entries[i];
        const auto name = kyvo::ByteView(e.jsonName, kyvo::fieldTextLength(e.jsonName, 64));
        v.push_back(std::uint8_t(25 + name.size()));
        v.push_back(0);
        v.push_back(e.address);
        v.push_back(e.function);
        putBe16(v, e.startRegister);
        v.push_back(e.registerCount);
        v.push_back(e.dataType);
        putBe32(v, e.threshold1);
        putBe32(v, e.threshold2);
        putBe32(v, e.scaleK);
        putBe32(v, e.offsetB);
        v.push_back(e.urgent);
        v.push_back(std::uint8_t(name.size()));
        putBytes(v, name);
    }
    return v;
}

Bytes canSettingsValue(const ParameterRecord &r)
{
    const CanBlock &can = r.poll.can;
    Bytes v{12, std::uint8_t(kCanRecords)};
    for (const CanFilter &f : can.filters) {
        v.insert(v.end(), {f.dataType, f.frameType, f.logic, f.startByte});
        putBe32(v, f.minimum);
        putBe32(v, f.maximum);
    }
    v.insert(v.end(), {16, std::uint8_t(kCanRecords)});
    for (const CanSender &s : can.senders) {
        v.push_back(s.enabled);
        putBytes(v, s.frame);
        putBe16(v, s.delayMs);
    }
    v.push_back(can.bitRateIndex);
    putBe16(v, can.brp);
    v.insert(v.end(), {can.tseg1, can.tseg2, can.customConfirmed, can.packetFormat, can.hardwareFilter,
                       can.smartFilter, can.smartSender, can.extendedIds});
    putBe32(v, can.acceptanceCode);
    putBe32(v, can.acceptanceMask);
    return v;
}

Bytes buildSaveRequest(const ParameterRecord &r, std::uint8_t scope)
{
    Bytes out{0xBA, 0x3A, scope, 0x04, 0, 0, 0x01};
    out.reserve(8192);
    putIdentityItems(out, r);
    putPollItems(out, r);
    putNetworkItems(out, r);
    putIoItems(out, r);
    putSerialBlock(out, r.serial);
    putChannelBlock(out, r.channels[0], 0);
    putChannelBlock(out, r.channels[1], 1);
    kyvo::writeBe16(out.data() + 4, std::uint16_t(out.size() - 6));
    putBytes(out, r.mac);
    out.push_back('E');
    out.push_back('.');
    return out;
}

} // namespace vorlet
