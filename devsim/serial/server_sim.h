// A simulated serial device server of one record family: it answers the
// search (broadcast or unicast), item reads, record and item writes,
// commit, restart and factory reset, from the device's side of the protocol.
#pragma once

#include "devsim/core/sim_network.h"
#include "devsim/core/tftp_receiver.h"
#include "devsim/serial/server_layouts.h"
#include "devsim/serial/server_tlv.h"

namespace devsim {

enum class ServerFamily { Short, Wifi362, Wifi292, Multi1284, Multi2326, Native };

struct ServerProfile {
    ServerFamily family = ServerFamily::Short;
    int ports = 4;
    bool registers = false;       // native: the register-capable record forms
    bool secondPortCloud = false; // native two-port: the long form with port 2's cloud fields
    std::uint32_t address = 0;
    Mac mac{};
    std::uint8_t kind = 1;        // DeviceKind: byte 12 of the short reply, byte 609 of the multi-port records
    QByteArray firmware;          // 4 characters; empty: chosen by family
    QByteArray hardware;          // 4 characters; empty: chosen by family and port count
};

class ServerSim final : public SimDevice
{
public:
    explicit ServerSim(ServerProfile profile);

    QString kind() const override;
    std::uint32_t address() const override { return m_profile.address; }
    Mac mac() const override { return m_profile.mac; }
    // The protocol port, and the firmware upload's request and transfer ports.
    std::vector<std::uint16_t> ports() const override { return {1111, TftpReceiver::kRequestPort, TftpReceiver::kTransferPort}; }
    void receive(const Incoming &in, Outbox &out) override;

    // Paths: a device value ("ip", "apssid", ...) or "port<N>.<value>"
    // ("port2.host"); values are the raw bytes (numbers big-endian). Also
    // "reply-length" (16 bits: the record reply's length, 26 for
    // short-frame servers). The sub-dialogs' TLV settings of long-record
    // servers: "tlv.<hh>" for the device, "port<N>.tlv.<hh>" for a port
    // (hh: the type in hex).
    std::optional<QByteArray> query(const QString &path) const override;
    const TftpReceiver &firmwareUpload() const { return m_tftp; }
    // The text lines of a debug run ("mqtt: ...", "modbus cache: ...").
    Bytes debugLine(unsigned long long n) const override;
    bool assign(const QString &path, const QByteArray &value) override;

    const ServerProfile &profile() const { return m_profile; }
    const ServerValues &values() const { return m_values; }
    std::size_t replyLength() const;
    // The search answer: the record reply, or the 26-byte discovery reply.
    Bytes searchAnswer() const;

private:
    void handleFrame(ByteView frame, const Incoming &in, Outbox &out);
    void answerShort(std::uint8_t code, ByteView item, const Incoming &in, Outbox &out);
    void handleItemRead(std::uint8_t code, const Incoming &in, Outbox &out);
    void handleItemWrite(std::uint8_t code, ByteView item, const Incoming &in, Outbox &out);
    void handleRecordWrite(std::uint8_t code, ByteView frame, const Incoming &in, Outbox &out);
    // Knob write-silent=1 takes writes in but leaves them unanswered while
    // the server still answers searches and reads (a server that hangs
    // between the search and the save).
    void acknowledge(bool accepted, const Incoming &in, Outbox &out);
    // The sub-dialogs' "h:" frames: reads, saves and debug runs of the TLV
    // settings (long-record servers only). Knob tlv-malformed=1|2|3 answers
    // too short, with a wrong header or with a wrong tail; tlv-silent=1
    // leaves them unanswered while the server still answers searches.
    void handleTlvFrame(ByteView frame, const Incoming &in, Outbox &out);
    void answerTlv(std::uint8_t code, ByteView body, const Incoming &in, Outbox &out);
    bool keepsTlvSettings() const;
    std::optional<std::pair<int, std::uint8_t>> tlvPath(const QString &path) const;
    Layout recordLayout() const;
    Bytes frame(std::uint8_t code, ByteView payload) const;
    bool tailIsMine(ByteView frame) const;

    ServerProfile m_profile;
    ServerValues m_values;
    TftpReceiver m_tftp;
    TlvStore m_tlv;
    std::map<std::uint64_t, Bytes> m_firstParts; // split writes by sender
};

// Factory settings of a server.
ServerValues factoryValues(const ServerProfile &profile);

// "count=N,family=short|wifi362|wifi292|multi1284|multi2326|native|all|mix,
//  ports=N,register=0|1,cloud2=0|1,kind=N,firmware=TEXT,hardware=TEXT"
// -> servers on consecutive addresses from next (which is advanced).
// family=all gives one server of every family and port count (count rounds
// of them); family=mix cycles through the same list for count servers.
bool addServers(SimNetwork &network, const QString &spec, std::uint32_t &next, QString *error);

// Every family and port count, as profiles without address and MAC.
std::vector<ServerProfile> everyServerVariant();

} // namespace devsim
