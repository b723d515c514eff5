// A simulated gateway: it keeps its parameters as the TLV items it speaks,
// answers searches and queries, applies writes, restarts and resets. The
// knob "clones" N makes it answer each search N more times under other MACs
// (00-4B-CE-xx-xx-xx, a name only), as a crowd of gateways behind one address.
#pragma once

#include "devsim/core/sim_device.h"
#include "devsim/gateway/gateway_maintenance.h"
#include "devsim/gateway/io_module.h"

#include <QElapsedTimer>

#include <map>
#include <memory>

namespace devsim {

struct GatewayProfile {
    std::uint32_t address = 0;
    Mac mac{};
    bool canPort = false;
    bool wifi = false;
    bool ioModule = false;
    bool realTimeClock = true;
    int pollEntries = 4;
    QByteArray name;  // GBK
    QByteArray model; // empty: derived from the options
    std::uint32_t firmware = 242;
    std::size_t fragmentSize = 1024; // the largest payload of one answer frame
    QByteArray versionText = "V10112";
    // The I/O module's time in ms; empty: milliseconds since the gateway was made.
    std::function<std::int64_t()> ioClockMs;
};

// What the gateway keeps of a firmware upgrade.
struct UpgradeImage {
    std::uint8_t imageType = 0;
    bool factoryReset = false;
    std::uint32_t announcedSize = 0;
    Bytes firmware; // the announced size, block by block
    Bytes web;
    int badChecksums = 0;
    bool finished = false;
    std::uint8_t partition = 0x10; // where the running image lives
};

// Items: tag -> value. The serial port and the two channels keep their
// sub-items apart (items 0x40 and 0x41 on the wire).
struct GatewayItems {
    std::map<std::uint8_t, Bytes> top;
    std::map<std::uint8_t, Bytes> serial;
    std::map<std::uint8_t, Bytes> channel[2];
};

GatewayItems factoryItems(const GatewayProfile &profile);

class GatewaySim final : public SimDevice
{
public:
    explicit GatewaySim(GatewayProfile profile);

    QString kind() const override { return QStringLiteral("gateway"); }
    std::uint32_t address() const override { return m_profile.address; }
    Mac mac() const override { return m_profile.mac; }
    std::vector<std::uint16_t> ports() const override { return {1111}; }
    void receive(const Incoming &in, Outbox &out) override;

    // Paths: "1A" (item), "40.01" (serial sub-item), "41.0.31" (channel 0
    // sub-item); values are the raw item bytes. With an I/O module also
    // "io.relays", "io.counters" and "io.firmware" (see IoModuleSim); "tls.bundle"
    // (the last TLS upload) and "image" (the parameter image it sends).
    std::optional<QByteArray> query(const QString &path) const override;
    bool assign(const QString &path, const QByteArray &value) override;

    const GatewayItems &items() const { return m_items; }
    GatewayItems &items() { return m_items; }
    const GatewayProfile &profile() const { return m_profile; }
    // The address text of the last debug command.
    QByteArray debugTarget() const { return m_debugTarget; }
    const UpgradeImage &upgrade() const { return m_upgrade; }
    // The I/O module, or null for a gateway without one.
    const IoModuleSim *ioModule() const { return m_io.get(); }
    // Tagged traffic lines ("uart tx:", "tcpA rx:", "Modbus poll", ...).
    Bytes debugLine(unsigned long long n) const override;
    const GatewayMaintenance &maintenance() const { return m_maintenance; }

    // The whole answer body: every item, the serial block, both channels.
    Bytes recordBody() const;

private:
    struct Assembly {
        Bytes data;
        std::size_t received = 0;
    };
    void handleMessage(ByteView message, const Incoming &in, Outbox &out);
    void answer(std::uint8_t scope, std::uint8_t code, const Bytes &body, const Incoming &in, Outbox &out);
    void answerAs(const Mac &mac, std::uint8_t scope, std::uint8_t code, const Bytes &body,
                  const Incoming &in, Outbox &out);
    void answerClones(std::uint8_t scope, const Incoming &in, Outbox &out);
    void applyWrite(ByteView items, const Incoming &in);
    void upgradeStep(ByteView body, const Incoming &in, Outbox &out);
    void upgradeAnswer(std::uint8_t step, const Bytes &values, const Incoming &in, Outbox &out);
    Bytes queryAnswer(ByteView tags) const;
    std::map<std::uint8_t, Bytes> *itemMap(const QString &path, std::uint8_t &tag);

    GatewayProfile m_profile;
    GatewayItems m_items;
    std::map<std::uint64_t, Assembly> m_assembly; // by sender endpoint
    QByteArray m_debugTarget;
    UpgradeImage m_upgrade;
    int m_upgradeAnswers = 0;
    QElapsedTimer m_age;
    std::unique_ptr<IoModuleSim> m_io;
    GatewayMaintenance m_maintenance;
};

} // namespace devsim
