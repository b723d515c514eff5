// The gateway's 69848-byte parameter record: the in-memory copy of every
// setting and status of one gateway, and byte for byte a .cfg file.
#pragma once

#include "common/bytes.h"

#include <cstddef>
#include <cstdint>

namespace vorlet {

using kyvo::le16;
using kyvo::le32;
using u8 = std::uint8_t;

#pragma pack(push, 1)

struct SerialBlock {           // record 450, one port
    u8 baudIndex;              // 450
    u8 parityIndex;            // 451
    u8 stopBitsIndex;          // 452
    u8 dataBits;               // 453: 7 or 8
    le16 packingTimeMs;        // 454
    le16 packingLength;        // 456
    u8 serialBytes[2];         // 458: carried unchanged
    u8 serialMode;             // 460
    u8 reserved461;
    le16 replyTimeoutMs;       // 462
    le16 commandDelayMs;       // 464
    u8 commandCache;           // 466
    u8 reserved467;
    le16 updatePeriodMs;       // 468
};
static_assert(sizeof(SerialBlock) == 20);

inline constexpr std::size_t kTopicSize = 65;

struct ChannelBlock {          // record 470 + 2030 k
    le16 localPort;            // 0
    u8 workMode;               // 2: 0..8
    u8 targetAddress[128];     // 3
    u8 reserved131;
    le16 targetPort;           // 132
    u8 heartbeatLength;        // 134
    u8 heartbeatData[128];     // 135
    u8 reserved263;
    le16 heartbeatIntervalS;   // 264
    u8 registrationMode;       // 266
    u8 registrationLength;     // 267
    u8 registrationData[128];  // 268
    u8 socketOption;           // 396: written only
    u8 reserved397;
    u8 mqttFirst;              // 398
    u8 brokerHost[128];        // 399
    u8 reserved527;
    le16 brokerPort;           // 528
    u8 mqttUser[128];          // 530
    u8 mqttPassword[128];      // 658
    u8 mqttClientId[128];      // 786
    le16 keepAlive;            // 914
    u8 qos;                    // 916
    u8 willEnabled;            // 917
    u8 willMessage[kTopicSize];   // 918
    u8 willTopic[kTopicSize];     // 983
    u8 reserved1048;
    u8 subscribeTopics[4][kTopicSize]; // 1049
    u8 publishTopics[4][kTopicSize];   // 1309
    u8 mqttTls;                // 1569
    u8 reserved1570;
    u8 cloudPlatform;          // 1571
    u8 productKey[kTopicSize];    // 1572
    u8 cloudDeviceName[kTopicSize]; // 1637
    u8 deviceSecret[kTopicSize];  // 1702
    u8 reserved1767;
    u8 httpServer[127];        // 1768
    u8 httpHexConversion;      // 1895
    le16 httpPort;             // 1896
    u8 reserved1898;
    u8 httpMethod;             // 1899
    u8 httpHeader[128];        // 1900
    u8 multicast;              // 2028
    u8 reserved2029;
};
static_assert(sizeof(ChannelBlock) == 2030);

struct PollEntry {             // 92 bytes
    u8 address;                // 0
    u8 function;               // 1
    le16 startRegister;        // 2
    u8 registerCount;          // 4
    u8 dataType;               // 5: 0..16
    u8 jsonName[65];           // 6
    u8 reserved71;
    le32 threshold1;           // 72 (signed)
    le32 threshold2;           // 76 (signed)
    le32 scaleK;               // 80: k * 10000
    le32 offsetB;              // 84: sign-magnitude, bit 31 negative
    u8 urgent;                 // 88
    u8 reserved89[3];
};
static_assert(sizeof(PollEntry) == 92);

inline constexpr std::size_t kPollSlots = 512;
inline constexpr std::size_t kPollEntriesUsable = 256;

struct CanFilter {             // 16 bytes
    u8 dataType;               // 0: 0..18
    u8 frameType;              // 1: 0 any, 1 standard, 2 extended
    u8 logic;                  // 2
    u8 startByte;              // 3: 0..7
    le32 minimum;              // 4 (signed)
    le32 maximum;              // 8 (signed)
    u8 reserved12[4];
};
static_assert(sizeof(CanFilter) == 16);

struct CanSender {             // 16 bytes
    u8 enabled;                // 0
    u8 frame[13];              // 1: classic 13-byte frame
    le16 delayMs;              // 14
};
static_assert(sizeof(CanSender) == 16);

inline constexpr std::size_t kCanRecords = 9;

struct CanBlock {              // record 4688, in place of the poll entries on a CAN gateway
    u8 bitRateIndex;           // 0: 0..16, 16 custom
    u8 reserved1;
    le16 brp;                  // 2
    u8 tseg1;                  // 4
    u8 tseg2;                  // 5
    u8 customConfirmed;        // 6
    u8 packetFormat;           // 7
    u8 hardwareFilter;         // 8
    u8 smartFilter;            // 9
    u8 smartSender;            // 10
    u8 reserved11;
    u8 extendedIds;            // 12
    u8 reserved13[3];
    le32 acceptanceCode;       // 16
    le32 acceptanceMask;       // 20
    CanFilter filters[kCanRecords]; // 24
    u8 reserved168[368];
    CanSender senders[kCanRecords]; // 536
};
static_assert(sizeof(CanBlock) == 680);

struct PollBlock {             // record 4536
    u8 enabled;                // 0
    u8 changeUpload;           // 1
    le16 entryCount;           // 2
    le16 responseTimeoutMs;    // 4
    le16 pollIntervalMs;       // 6
    le16 commandDelayMs;       // 8
    u8 reserved10[2];
    le32 timedUploadMs;        // 12
    le16 field16;              // 16: carried unchanged
    le16 mappingAddress;       // 18
    u8 uploadFormat;           // 20
    u8 timeoutHandling;        // 21
    u8 asArray;                // 22
    u8 prefix[128];            // 23
    u8 reserved151;
    union {
        PollEntry entries[kPollSlots]; // 152
        CanBlock can;
    };
    u8 uploadChannel;          // 47256
    u8 writeReply;             // 47257
    u8 reserved47258[2];
};
static_assert(sizeof(PollBlock) == 47260);

struct TimerEntry {            // 20 bytes
    u8 enabled;
    u8 reserved1[3];
    le32 timeOfDayS;           // 4
    le32 expiryMs;             // 8
    u8 weekdays;               // 12: bit 0 Monday .. bit 6 Sunday
    le32 action;               // 13: relay action word
    u8 reserved17[3];
};
static_assert(sizeof(TimerEntry) == 20);

struct DigitalRule {           // 5 bytes
    u8 trigger;
    le32 action;
};
static_assert(sizeof(DigitalRule) == 5);

struct AnalogRule {            // 12 bytes
    u8 range;
    u8 reserved1;
    le16 value1;
    le16 value2;
    u8 condition;
    le32 action;               // 7
    u8 reserved11;
};
static_assert(sizeof(AnalogRule) == 12);

struct ReportRule {            // 12 bytes
    u8 range;
    u8 reserved1;
    le16 value1;
    le16 value2;
    u8 condition;
    u8 rest[5];                // 7: the first four travel as stored
};
static_assert(sizeof(ReportRule) == 12);

struct UploadBlock {           // record 53500, 144 bytes
    u8 enabled;                // 0
    u8 reportInputs;           // 1
    u8 adcEnableMask;          // 2
    le32 inputConditions;      // 3
    u8 reserved7;
    ReportRule rules[8];       // 8
    u8 format;                 // 104
    u8 contentMask;            // 105
    u8 reserved106[2];
    le32 intervalMs;           // 108
    u8 userId[32];             // 112
};
static_assert(sizeof(UploadBlock) == 144);

struct IoSettings {            // record 52988 .. 53719
    le32 moduleAddress;        // 52988
    le16 powerOnMask;          // 52992
    le16 timeoutMask;          // 52994
    le16 commandTimeoutS;      // 52996
    le16 debounceMs;           // 52998
    TimerEntry timers[16];     // 53000
    u8 linkageEnabled;         // 53320
    DigitalRule digitalRules[16]; // 53321
    u8 reserved53401;
    AnalogRule analogRules[8]; // 53402
    u8 reserved53498[2];
    UploadBlock upload;        // 53500
    u8 timersEnabled;          // 53644
    u8 reserved53645[3];
    u8 strobeEnabled;          // 53648
    u8 reserved53649[3];
    le32 strobePeriodsMs[16];  // 53652
    u8 retention;              // 53716: bit 0 relays, bit 4 counters
    u8 reserved53717[3];
};
static_assert(sizeof(IoSettings) == 53720 - 52988);

struct LiveIo {                // record 53844 .. 54483
    u8 relayStates[64];        // 53844: Y1..Y16 used
    u8 inputStates[64];        // 53908: X1..X16 used
    le16 analogRaw[64];        // 53972: 8 used
    le16 analogScaled[64];     // 54100: thousandths, 8 used
    le32 counters[64];         // 54228: 16 used (signed)
};
static_assert(sizeof(LiveIo) == 54484 - 53844);

struct ChannelStatus {         // record 54504 + 20 k
    le32 received;
    le32 sent;
    u8 clientCount;            // +8
    u8 extraA;                 // +9
    u8 connectionState;        // +10: 0 failed, 1 connected, 253 listening failed
    u8 extraB;                 // +11
    u8 mqttConnected;          // +12
    u8 reserved13[3];
    u8 mqttSubscribed;         // +16
    u8 reserved17[3];
};
static_assert(sizeof(ChannelStatus) == 20);

struct ParameterRecord {
    u8 seenAddress[4];         // 0: sender of the first search answer
    u8 ipType;                 // 4: 0 static, 1 DHCP
    u8 ipAddress[4];           // 5
    u8 subnetMask[4];          // 9
    u8 gateway[4];             // 13
    u8 dns[4];                 // 17
    u8 mac[6];                 // 21
    u8 userName[64];           // 27
    u8 password[64];           // 91
    u8 reserved155;
    le16 netLossRestartMin;    // 156
    u8 ntpEnabled;             // 158
    u8 customBaud;             // 159
    u8 deviceName[64];         // 160
    u8 identifier[17];         // 224
    u8 userCode;               // 241
    u8 reserved242[2];
    le32 firmwareNumber;       // 244
    u8 versionText[64];        // 248
    u8 versionText2[64];       // 312
    u8 model[64];              // 376
    u8 capabilities[6];        // 440: 442 WiFi, 443 clock, 444 CAN port, 445 fixed line
    u8 reserved446[3];
    u8 channelBridge;          // 449
    SerialBlock serial;        // 450
    ChannelBlock channels[2];  // 470, 2500
    u8 debugOutput;            // 4530
    u8 configBytes[2];         // 4531
    u8 reserved4533[3];
    PollBlock poll;            // 4536
    u8 tlsMode;                // 51796
    u8 wifiMode;               // 51797
    u8 ssidList[128];          // 51798
    u8 wifiPasswords[32];      // 51926
    u8 wifiEncryption;         // 51958
    u8 wifiConnectMode;        // 51959
    u8 wifiSignal;             // 51960: signed dBm
    u8 wifiExtension[1024];    // 51961
    u8 reserved52985[3];
    IoSettings io;             // 52988
    u8 ntpServer[64];          // 53720
    u8 webSwitch;              // 53784: 0x55 off
    u8 bssidOnly;              // 53785: 0x55 on
    u8 bssid[6];               // 53786
    u8 userJson;               // 53792: 0x55 on
    u8 ipv6[48];               // 53793
    u8 reserved53841[3];
    LiveIo live;               // 53844
    u8 clock[8];               // 54484: 7 used, item 0x90 writes 8
    u8 identity[9];            // 54492
    u8 reserved54501[3];
    ChannelStatus channelStatus[2]; // 54504
    le32 serialReceived;       // 54544
    le32 serialSent;           // 54548
    le32 totalMemory;          // 54552
    le32 freeMemory;           // 54556
    u8 infoText[2048];         // 54560
    u8 reserved56608[12];
    le32 uptimeS;              // 56620
    u8 reserved56624[36];
    le32 idleS;                // 56660: seconds without data
    u8 partition;              // 56664
    u8 ethernetSpeed;          // 56665
    u8 duplex;                 // 56666
    u8 statusByte;             // 56667
    le32 netCounters[9];       // 56668
    u8 pollValues[4096];       // 56704
    u8 customDefaults[40];     // 60800
    le32 productionTime;       // 60840
    u8 resetReason;            // 60844
    u8 ethernetPhy;            // 60845
    u8 ioInputs;               // 60846
    u8 ioOutputs;              // 60847
    u8 ioAnalog;               // 60848
    u8 reserved60849;
    le16 ioVersion;            // 60850
    u8 ioIdentity[8];          // 60852
    u8 reserved60860;
    u8 tlsCaPath[256];         // 60861: PC-side paths of the TLS files
    u8 tlsCertPath[256];       // 61117
    u8 tlsKeyPath[256];        // 61373
    u8 tlsBundle[8192];        // 61629: as last uploaded
    u8 reserved69821;
    le16 certChecks[3];        // 69822
    le32 tlsBundleLength;      // 69828
    le32 canReceived;          // 69832
    le32 canSent;              // 69836
    le32 canFiltered;          // 69840
    u8 canBusState;            // 69844
    u8 reserved69845[3];
};

#pragma pack(pop)

inline constexpr std::size_t kRecordSize = 69848;
static_assert(sizeof(ParameterRecord) == kRecordSize);

#define VORLET_AT(field, offset) static_assert(offsetof(ParameterRecord, field) == (offset), #field)
VORLET_AT(ipType, 4);
VORLET_AT(ipAddress, 5);
VORLET_AT(subnetMask, 9);
VORLET_AT(gateway, 13);
VORLET_AT(dns, 17);
VORLET_AT(mac, 21);
VORLET_AT(userName, 27);
VORLET_AT(password, 91);
VORLET_AT(netLossRestartMin, 156);
VORLET_AT(ntpEnabled, 158);
VORLET_AT(customBaud, 159);
VORLET_AT(deviceName, 160);
VORLET_AT(identifier, 224);
VORLET_AT(userCode, 241);
VORLET_AT(firmwareNumber, 244);
VORLET_AT(versionText, 248);
VORLET_AT(versionText2, 312);
VORLET_AT(model, 376);
VORLET_AT(capabilities, 440);
VORLET_AT(channelBridge, 449);
VORLET_AT(serial, 450);
VORLET_AT(serial.updatePeriodMs, 468);
VORLET_AT(channels, 470);
VORLET_AT(channels[1], 2500);
VORLET_AT(channels[0].multicast, 470 + 2028);
VORLET_AT(debugOutput, 4530);
VORLET_AT(configBytes, 4531);
VORLET_AT(poll, 4536);
VORLET_AT(poll.timedUploadMs, 4548);
VORLET_AT(poll.field16, 4552);
VORLET_AT(poll.prefix, 4559);
VORLET_AT(poll.entries, 4688);
VORLET_AT(poll.can, 4688);
VORLET_AT(poll.uploadChannel, 51792);
VORLET_AT(poll.writeReply, 51793);
VORLET_AT(tlsMode, 51796);
VORLET_AT(wifiMode, 51797);
VORLET_AT(ssidList, 51798);
VORLET_AT(wifiPasswords, 51926);
VORLET_AT(wifiEncryption, 51958);
VORLET_AT(wifiConnectMode, 51959);
VORLET_AT(wifiSignal, 51960);
VORLET_AT(wifiExtension, 51961);
VORLET_AT(io, 52988);
VORLET_AT(io.powerOnMask, 52992);
VORLET_AT(io.timeoutMask, 52994);
VORLET_AT(io.commandTimeoutS, 52996);
VORLET_AT(io.debounceMs, 52998);
VORLET_AT(io.timers, 53000);
VORLET_AT(io.linkageEnabled, 53320);
VORLET_AT(io.digitalRules, 53321);
VORLET_AT(io.analogRules, 53402);
VORLET_AT(io.upload, 53500);
VORLET_AT(io.upload.format, 53604);
VORLET_AT(io.upload.intervalMs, 53608);
VORLET_AT(io.upload.userId, 53612);
VORLET_AT(io.timersEnabled, 53644);
VORLET_AT(io.strobeEnabled, 53648);
VORLET_AT(io.strobePeriodsMs, 53652);
VORLET_AT(io.retention, 53716);
VORLET_AT(ntpServer, 53720);
VORLET_AT(webSwitch, 53784);
VORLET_AT(bssidOnly, 53785);
VORLET_AT(bssid, 53786);
VORLET_AT(userJson, 53792);
VORLET_AT(ipv6, 53793);
VORLET_AT(live.relayStates, 53844);
VORLET_AT(live.inputStates, 53908);
VORLET_AT(live.analogRaw, 53972);
VORLET_AT(live.analogScaled, 54100);
VORLET_AT(live.counters, 54228);
VORLET_AT(clock, 54484);
VORLET_AT(identity, 54492);
VORLET_AT(channelStatus[0].received, 54504);
VORLET_AT(channelStatus[0].sent, 54508);
VORLET_AT(channelStatus[0].clientCount, 54512);
VORLET_AT(channelStatus[0].extraA, 54513);
VORLET_AT(channelStatus[0].connectionState, 54514);
VORLET_AT(channelStatus[0].extraB, 54515);
VORLET_AT(channelStatus[0].mqttConnected, 54516);
VORLET_AT(channelStatus[0].mqttSubscribed, 54520);
VORLET_AT(channelStatus[1].received, 54524);
VORLET_AT(channelStatus[1].mqttSubscribed, 54540);
VORLET_AT(serialReceived, 54544);
VORLET_AT(serialSent, 54548);
VORLET_AT(totalMemory, 54552);
VORLET_AT(freeMemory, 54556);
VORLET_AT(infoText, 54560);
VORLET_AT(uptimeS, 56620);
VORLET_AT(idleS, 56660);
VORLET_AT(partition, 56664);
VORLET_AT(netCounters, 56668);
VORLET_AT(pollValues, 56704);
VORLET_AT(customDefaults, 60800);
VORLET_AT(productionTime, 60840);
VORLET_AT(resetReason, 60844);
VORLET_AT(ethernetPhy, 60845);
VORLET_AT(ioInputs, 60846);
VORLET_AT(ioVersion, 60850);
VORLET_AT(ioIdentity, 60852);
VORLET_AT(tlsCaPath, 60861);
VORLET_AT(tlsCertPath, 61117);
VORLET_AT(tlsKeyPath, 61373);
VORLET_AT(tlsBundle, 61629);
VORLET_AT(certChecks, 69822);
VORLET_AT(tlsBundleLength, 69828);
VORLET_AT(canReceived, 69832);
VORLET_AT(canSent, 69836);
VORLET_AT(canFiltered, 69840);
VORLET_AT(canBusState, 69844);
#undef VORLET_AT

// Capability bytes (record 440..445).
inline bool hasWifi(const ParameterRecord &r) { return r.capabilities[2] == 1; }
inline bool hasRealTimeClock(const ParameterRecord &r) { return r.capabilities[3] == 1; }
inline bool hasCanPort(const ParameterRecord &r) { return r.capabilities[4] == 1; }
inline bool hasFixedLine(const ParameterRecord &r) { return r.capabilities[5] == 1; }

inline kyvo::ByteView recordBytes(const ParameterRecord &r)
{
    return kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(&r), sizeof r);
}

} // namespace vorlet
