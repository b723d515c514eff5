// The write paths of a save.
#include "pelmar/ui/save_plan.h"

#include "pelmar/records/records.h"

namespace pelmar {

namespace {

namespace item {
constexpr std::uint8_t kAddresses = 0x02;
constexpr std::uint8_t kMac = 0x03;
constexpr std::uint8_t kLogin = 0x07;
constexpr std::uint8_t kPackTimes = 0x41;
constexpr std::uint8_t kPackLengths = 0x42;
constexpr std::uint8_t kTimeouts = 0x43;
constexpr std::uint8_t kHeartbeatIntervals = 0x3F;
} // namespace item

// The hardware version's third character selects the save variants.
char hardwareVariant(const DeviceEntry &e)
{
    return e.hardwareVersion.at(2);
}

void putLe16(ItemData &data, std::size_t at, std::uint16_t v)
{
    data[at] = std::uint8_t(v);
    data[at + 1] = std::uint8_t(v >> 8);
}

// Steps with the pauses that lead to them.
class PlanBuilder
{
public:
    explicit PlanBuilder(const MacTail &tail) : m_tail(tail) {}
    void pause(int ms) { m_pending += Millis{ms}; }
    void send(Bytes datagram)
    {
        m_plan.steps.push_back({m_pending, std::move(datagram)});
        m_pending = Millis{0};
    }
    void item(std::uint8_t code, const ItemData &data) { send(buildItemWrite(code, data, m_tail)); }
    void commit() { send(buildDeviceCommand(code::kCommit, m_tail)); }
    void stopAtInvalidHost(std::size_t port)
    {
        m_plan.steps.push_back({m_pending, {}});
        m_plan.invalidHost = true;
        m_plan.invalidPort = port;
    }
    SavePlan take() { return std::move(m_plan); }

private:
    MacTail m_tail;
    Millis m_pending{0};
    SavePlan m_plan;
};

// One port's host halves, serial item and heartbeat data; false when its
// host is too long (the save stops there).
bool addPort(PlanBuilder &b, const DeviceEntry &e, std::size_t k, const HostLengths &lengths)
{
    const PortSettings &p = e.ports[k];
    const PortItemCodes &c = portItemCodes(k);
    if (lengths[k] > kMaxTargetHostLength) {
        b.stopAtInvalidHost(k);
        return false;
    }
    b.item(c.hostFirst, hostHalfItem(p, 0));
    // Port 1's second half goes from its 17th character on, the others' from the 16th.
    if (lengths[k] > (k == 0 ? 16u : 15u)) {
        b.pause(10);
        b.item(c.hostSecond, hostHalfItem(p, 1));
    }
    b.pause(10);
    b.item(c.serial, serialItem(p));
    b.pause(10);
    b.item(c.heartbeat, heartbeatItem(p));
    return true;
}

} // namespace

std::optional<RecordFormat> recordWriteFormat(const DeviceEntry &e)
{
    if (e.isWifi) return e.wifiExtended ? RecordFormat::RecordWifi362 : RecordFormat::RecordWifi292;
    if (e.longRecord && hardwareVariant(e) > '1')
        return e.registerCapable ? RecordFormat::RecordMulti2326 : RecordFormat::RecordMulti1284;
    if (e.registerCapable) return RecordFormat::NativeRecord;
    return std::nullopt;
}

bool portSaveWritesRecord(const DeviceEntry &e)
{
    return (e.longRecord && hardwareVariant(e) > '1') || e.registerCapable;
}

std::vector<Bytes> recordWriteDatagrams(RecordFormat format, const DeviceEntry &e)
{
    if (format == RecordFormat::NativeRecord && e.nativeCopy.empty()) return {};
    Bytes frame = buildRecordWriteFrame(format, e);
    if (frame.empty()) return {};
    if (format == RecordFormat::RecordMulti2326 && frame.size() > kSplitFirstPart &&
        hardwareVariant(e) > '2') {
        frame[0] = 'y';
        const auto cut = frame.begin() + std::ptrdiff_t(kSplitFirstPart);
        return {Bytes(frame.begin(), cut), Bytes(cut, frame.end())};
    }
    return {std::move(frame)};
}

SavePlan deviceSavePlan(const DeviceEntry &e)
{
    PlanBuilder b(e.macTail);
    b.pause(int(kSaveWait.count()));
    if (const auto format = recordWriteFormat(e)) {
        for (Bytes &d : recordWriteDatagrams(*format, e))
            b.send(std::move(d));
        return b.take();
    }
    b.item(item::kAddresses, addressItem(e));
    b.pause(10);
    b.item(item::kMac, macItem(e));
    b.pause(10);
    b.item(item::kLogin, loginItem(e));
    b.pause(10);
    if (e.portCountChar() != '1') b.commit();
    return b.take();
}

HostLengths storedHostLengths(const DeviceEntry &e)
{
    HostLengths lengths{};
    for (std::size_t k = 0; k < kShortFramePorts; ++k)
        lengths[k] = e.ports[k].targetHost.length();
    return lengths;
}

SavePlan portItemsPlan(const DeviceEntry &e, const HostLengths &lengths)
{
    PlanBuilder b(e.macTail);
    const char ports = e.portCountChar();
    b.pause(int(kSaveWait.count()));
    if (!addPort(b, e, 0, lengths)) return b.take();
    b.pause(10);
    if (!addPort(b, e, 1, lengths)) return b.take();
    b.pause(50);
    b.item(item::kPackTimes, portListItem(e, item::kPackTimes));
    b.pause(20);
    b.item(item::kPackLengths, portListItem(e, item::kPackLengths));
    b.pause(20);
    b.item(item::kTimeouts, portListItem(e, item::kTimeouts));
    b.pause(20);
    b.item(item::kHeartbeatIntervals, portListItem(e, item::kHeartbeatIntervals));
    b.pause(100);
    if (ports == '1') return b.take(); // two ports, kept without a commit
    b.pause(100);
    // Ports 3 and 4, 5 and 6, 7 and 8 follow each other without a pause.
    for (std::size_t k = 2; k < kShortFramePorts; k += 2) {
        if (!addPort(b, e, k, lengths) || !addPort(b, e, k + 1, lengths)) return b.take();
        const bool last = (k == 2 && ports == '4') || (k == 4 && ports == '6') || k == 6;
        if (last) break;
    }
    b.commit();
    return b.take();
}

ItemData addressItem(const DeviceEntry &e)
{
    ItemData d{};
    std::copy(e.ip.begin(), e.ip.end(), d.begin());
    std::copy(e.mask.begin(), e.mask.end(), d.begin() + 4);
    std::copy(e.gateway.begin(), e.gateway.end(), d.begin() + 8);
    std::copy(e.dns.begin(), e.dns.end(), d.begin() + 12);
    return d;
}

ItemData macItem(const DeviceEntry &e)
{
    ItemData d = addressItem(e); // bytes 8..15 repeat the address item's
    std::copy(e.mac.begin(), e.mac.end(), d.begin());
    d[6] = e.ipMode;
    d[7] = e.broadcastFilterOff;
    return d;
}

ItemData loginItem(const DeviceEntry &e)
{
    ItemData d{};
    std::copy(e.user.bytes.begin(), e.user.bytes.end(), d.begin());
    std::copy(e.password.bytes.begin(), e.password.bytes.end(), d.begin() + 8);
    return d;
}

ItemData hostHalfItem(const PortSettings &p, int half)
{
    // The text up to its end, zero-padded: bytes a reply left after the end never travel back.
    ItemData d{};
    const std::string text = p.targetHost.text();
    const std::size_t from = half == 0 ? 0 : 16;
    for (std::size_t i = 0; i < 16 && from + i < text.size(); ++i)
        d[i] = std::uint8_t(text[from + i]);
    return d;
}

ItemData heartbeatItem(const PortSettings &p)
{
    ItemData d{};
    const std::string text = p.heartbeatData.text();
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 16), d.begin());
    return d;
}

ItemData portListItem(const DeviceEntry &e, std::uint8_t code)
{
    ItemData d{};
    for (std::size_t k = 0; k < kShortFramePorts; ++k) {
        const PortSettings &p = e.ports[k];
        switch (code) {
        case item::kPackTimes:
            d[k] = p.packTime;
            break;
        case item::kPackLengths:
            putLe16(d, 2 * k, p.packLength);
            break;
        case item::kTimeouts:
            putLe16(d, 2 * k, p.timeout);
            break;
        case item::kHeartbeatIntervals:
            putLe16(d, 2 * k, p.heartbeatInterval);
            break;
        default:
            break;
        }
    }
    return d;
}

} // namespace pelmar
