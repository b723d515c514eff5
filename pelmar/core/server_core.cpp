// Serial-server core: searches, routing of answers, item-by-item reading.
#include "pelmar/core/server_core.h"

#include "common/adapters.h"
#include "common/gbk_text.h"

#include <atomic>
#include <numeric>

namespace pelmar {

namespace {

// Shown when the sweep is asked for an address that names no subnet.
const char *const kNoSweepPrefixText =
    "广播地址无效，无法确定要扫描的网段！请在“指定网段”中输入如 192.168.1.255 的地址。";
const char *const kWriteRefusedText = "配置失败。请重新搜索设备，再试。";
// Appended to "已完成搜索" once more servers answered than the list holds.
const char *const kNotListedText = "，另有 %1 台设备未列出（列表最多 256 台）";
const char *const kNotListedEnglish = "; %1 more devices not listed (the list holds 256)";

// The replies to the re-read's items 0x02 .. 0x07.
constexpr std::uint8_t kRereadFirstReply = 0x51, kRereadLastReply = 0x56;
constexpr unsigned kRereadComplete = (1u << (kRereadLastReply - kRereadFirstReply + 1)) - 1;

} // namespace

ServerCore::ServerCore(Options options, QObject *parent)
    : QObject(parent), m_options(std::move(options)), m_clock(m_options.clock), m_socket(this), m_timer(this),
      m_broadcastAddress(m_options.broadcastAddress)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ServerCore::poll);
    connectSocket(m_socket, 0);

    for (const kyvo::AdapterAddress &a : kyvo::queryAdapters()) {
        if (m_adapters.size() >= kMaxAdapterItems) break;
        m_adapters.append({a.address, a.description, a.prefixLength});
    }
    m_allAdapters = kyvo::allSearchAdapters();
    m_status[AddressPane] = m_language.text(slot::kBroadcastAddressPrefix) + m_broadcastAddress;
    m_socket.open({}, m_options.localPort);
}

ServerCore::~ServerCore() = default;

void ServerCore::connectSocket(MainSocket &socket, int adapter)
{
    connect(&socket, &MainSocket::datagramReceived, this,
            [this, adapter](const QByteArray &data, const QString &address, quint16 port) {
                onDatagram(data, address, port, adapter);
            });
    connect(&socket, &MainSocket::opened, this, &ServerCore::socketOpened);
    connect(&socket, &MainSocket::bindFailed, this,
            [this](const QString &address) { Q_EMIT socketBindFailed(address); });
}

quint64 ServerCore::dropped(quint64 (MainSocket::*count)() const) const
{
    quint64 n = (m_socket.*count)();
    for (const auto &s : m_extraSockets)
        n += ((*s).*count)();
    return n;
}

void ServerCore::deliverAnswers()
{
    for (int i = 0; i < socketCount(); ++i)
        socketAt(i).deliverAnswers();
}

void ServerCore::whenSent(std::function<void()> done)
{
    auto left = std::make_shared<std::atomic<int>>(socketCount());
    auto shared = std::make_shared<std::function<void()>>(std::move(done));
    for (int i = 0; i < socketCount(); ++i)
        socketAt(i).whenSent([left, shared] {
            if (left->fetch_sub(1) == 1) (*shared)();
        });
}

void ServerCore::setLanguage(Language language)
{
    m_language.fill(language);
    for (int pane : {SearchPane, PortPane, SavePane})
        setStatus(pane, {});
    setStatusSlot(AddressPane, slot::kBroadcastAddressPrefix, m_broadcastAddress);
}

void ServerCore::setStatus(int pane, const QString &text)
{
    m_status[std::size_t(pane)] = text;
    Q_EMIT statusChanged(pane, text);
}

void ServerCore::setStatusSlot(int pane, int slot, const QString &suffix)
{
    setStatus(pane, m_language.text(slot) + suffix);
}

void ServerCore::setProgress(bool visible, int position)
{
    m_progressVisible = visible;
    m_progress = position;
    Q_EMIT progressChanged(visible, position);
}

void ServerCore::setSubnetAddress(const QString &address)
{
    m_broadcastAddress = address;
    setStatusSlot(AddressPane, slot::kBroadcastAddressPrefix, m_broadcastAddress);
}

void ServerCore::clearSubnet()
{
    m_broadcastAddress =
        QString::fromLatin1(kDefaultBroadcastAddress.data(), qsizetype(kDefaultBroadcastAddress.size()));
    showBroadcastAddress();
}

void ServerCore::showBroadcastAddress()
{
    setStatusSlot(AddressPane, slot::kBroadcastAddressPrefix, m_broadcastAddress);
}

QString ServerCore::subnetSuggestion() const
{
    // The adapters' first address rather than a look-up of the host's own
    // name, which can wait on a name server and send to the network.
    const QString first = m_adapters.isEmpty() ? QString() : m_adapters.front().address;
    return QString::fromStdString(localPrefix(first.toStdString())) + QStringLiteral("255");
}

bool ServerCore::startSearch()
{
    const kyvo::Millis now = m_clock->now();
    if (!m_broadcastSearch && !sweepPrefix(m_broadcastAddress.toStdString())) {
        Q_EMIT sweepRefused(QString::fromUtf8(kNoSweepPrefixText));
        return false;
    }
    setStatusSlot(SearchPane, slot::kSearching);
    setStatusSlot(PortPane, slot::kSearchPort);
    m_devices.clearForSearch();
    m_seenOn.clear();
    m_rereads.clear();
    Q_EMIT listCleared();
    if (m_broadcastSearch) {
        m_search.startBroadcast(m_broadcastAddress.toStdString(), now);
        setStatusSlot(AddressPane, slot::kBroadcastAddressPrefix, m_broadcastAddress);
    } else {
        m_search.startSweep(m_broadcastAddress.toStdString(), now);
        setProgress(true, 0);
    }
    arm();
    return true;
}

void ServerCore::poll()
{
    const kyvo::Millis now = m_clock->now();
    for (const SearchSession::Tick &tick : m_search.run(now))
        onTick(tick);
    m_reads.run(
        now,
        [this](std::uint64_t token, const kyvo::Ipv4Endpoint &, const kyvo::Bytes &bytes) {
            const auto it = m_readDestinations.find(token);
            if (it != m_readDestinations.end()) sendCommand(bytes, it->second.address, it->second.port);
        },
        [this](std::uint64_t token) {
            const auto it = m_readDestinations.find(token);
            if (it == m_readDestinations.end()) return;
            m_reading.erase(it->second.tail);
            m_readDestinations.erase(it);
        });
    arm();
}

void ServerCore::arm()
{
    std::optional<kyvo::Millis> next = m_search.nextDeadline();
    if (const auto reads = m_reads.nextDeadline(); reads && (!next || *reads < *next)) next = reads;
    if (!next) {
        m_timer.stop();
        return;
    }
    const auto wait = std::max<kyvo::Millis::rep>(0, (*next - m_clock->now()).count());
    m_timer.start(int(std::min<kyvo::Millis::rep>(wait, 1 << 30)));
}

void ServerCore::onTick(const SearchSession::Tick &tick)
{
    const QString destination = QString::fromStdString(tick.destination);
    sendCommand(buildSearchRequest(), destination, m_options.devicePort);
    Q_EMIT searchRequestSent(destination);
    if (tick.kind == SearchSession::Tick::Kind::Broadcast) {
        if (tick.last) {
            setStatusSlot(SearchPane, slot::kSearchTimeout);
            Q_EMIT broadcastTimedOut();
        }
        return;
    }
    setProgress(true, tick.count);
    setStatusSlot(AddressPane, slot::kSweepAddressPrefix, destination);
    if (tick.last) {
        setProgress(false, 0);
        showSearchEnd();
        Q_EMIT sweepFinished();
    }
}

void ServerCore::showSearchEnd()
{
    QString text = m_language.text(slot::kSearchEnd);
    if (const std::size_t n = m_devices.ignored())
        text +=
            QString::fromUtf8(m_language.language() == Language::English ? kNotListedEnglish : kNotListedText)
                .arg(n);
    setStatus(SearchPane, text);
}

void ServerCore::raiseAlert(Alert kind, const QString &text)
{
    if (!m_alerts.admit(kind)) return;
    Q_EMIT alertRaised(kind, text);
}

void ServerCore::noteRereadItem(const DispatchOutcome &out, std::uint8_t code)
{
    if (out.item.kind != ItemOutcome::Kind::Stored || !out.item.index) return;
    const auto it = m_rereads.find(*out.item.index);
    if (it == m_rereads.end() || code < kRereadFirstReply || code > kRereadLastReply) return;
    it->second |= 1u << (code - kRereadFirstReply);
    if (it->second != kRereadComplete) return;
    const std::size_t index = it->first;
    m_rereads.erase(it);
    Q_EMIT deviceShown(int(index));
}

void ServerCore::onDatagram(const QByteArray &data, const QString &address, quint16 port, int adapter)
{
    const kyvo::ByteView bytes(reinterpret_cast<const std::uint8_t *>(data.constData()),
                               std::size_t(data.size()));
    const std::string sourceAddress = address.toStdString();
    const DispatchOutcome out = dispatchDatagram(m_devices, bytes, sourceAddress, port);
    if (!m_socketAdapters.isEmpty() && out.index)
        m_seenOn.try_emplace(m_devices.at(*out.index).macTail, adapter);
    const Route &r = out.route;
    if (r.alert) {
        m_search.answerArrived();
        const QString text =
            kyvo::fromGbk(QByteArrayView(out.alertText.data(), qsizetype(out.alertText.size())));
        raiseAlert(Alert::Message4096, text + QLatin1Char(' ') + text);
    }
    if (r.wifiScanList) Q_EMIT wifiScanData(data);
    if (r.scanAlert) {
        m_search.answerArrived();
        raiseAlert(Alert::ScanMessage,
                   kyvo::fromGbk(QByteArrayView(out.alertText.data(), qsizetype(out.alertText.size()))));
    }
    if (out.answered) {
        m_search.answerArrived();
        showSearchEnd();
        if (out.ignored) Q_EMIT devicesIgnored(int(m_devices.ignored()));
        if (out.newRow && out.index) Q_EMIT rowAppended(int(*out.index));
        if (out.readSequence && out.index) {
            const DeviceEntry &e = m_devices.at(*out.index);
            const std::string destination =
                commandDestination(m_broadcastSearch, m_broadcastAddress.toStdString(), e.addressText);
            startReadSequence(*out.readSequence, destination, e.replyPort);
        }
    }
    switch (out.item.kind) {
    case ItemOutcome::Kind::WriteAccepted:
        setStatusSlot(SavePane, slot::kSaved);
        Q_EMIT writeAccepted(address, port);
        break;
    case ItemOutcome::Kind::WriteRefused:
        setStatus(SavePane, QString::fromUtf8(kWriteRefusedText));
        Q_EMIT writeRefused(address, port);
        break;
    default:
        break;
    }
    if (out.showDevice && out.index) Q_EMIT deviceShown(int(*out.index));
    if (r.shortItem && bytes.size() > 3) noteRereadItem(out, bytes[3]);
    if (r.tftp) Q_EMIT tftpDatagram(data, address, port);
    arm();
}

void ServerCore::startReadSequence(const ReadSequence &params, const std::string &address, quint16 port)
{
    // A repeated discovery answer while the device is being read starts nothing.
    if (!m_reading.insert(params.tail).second) return;
    const std::uint64_t token = m_nextRead++;
    m_readDestinations[token] = {QString::fromStdString(address), port, params.tail};
    // The steps' endpoint is not used: the text is resolved when each read leaves.
    m_reads.start(readSequenceSteps(params, kyvo::Ipv4Endpoint{0, port}), token, m_clock->now());
}

QString ServerCore::destinationFor(std::size_t index) const
{
    if (index >= DeviceTable::kSlots) return {};
    return QString::fromStdString(commandDestination(m_broadcastSearch, m_broadcastAddress.toStdString(),
                                                     m_devices.at(index).addressText));
}

void ServerCore::sendCommand(const kyvo::Bytes &frame, const QString &destination, quint16 port)
{
    for (int adapter : adaptersFor(frame, destination))
        socketAt(adapter).send(frame, destination, port);
}

void ServerCore::sendDatagram(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint destination)
{
    sendCommand(datagram, QString::fromStdString(kyvo::ipv4Text(destination.address)), destination.port);
}

std::vector<int> ServerCore::adaptersFor(const kyvo::Bytes &datagram, const QString &destination) const
{
    if (m_socketAdapters.isEmpty()) return {0};
    // A command frame names its device by the MacTail before its checksum.
    const bool frame =
        datagram.size() >= kFrameHeaderSize + kFrameTailSize && datagram[0] == 'H' && datagram[1] == ':';
    if (const auto it = m_seenOn.find(frameMacTail(datagram)); frame && it != m_seenOn.end())
        return {it->second};
    const std::string to = destination.toStdString();
    for (std::size_t i = 0; i < m_devices.presentCount(); ++i) {
        const DeviceEntry &e = m_devices.at(i);
        const auto it = m_seenOn.find(e.macTail);
        if (e.present && e.addressText == to && it != m_seenOn.end()) return {it->second};
    }
    if (const auto address = kyvo::parseIpv4(to)) return kyvo::adaptersHolding(m_socketAdapters, *address);
    std::vector<int> every(std::size_t(m_socketAdapters.size()));
    std::iota(every.begin(), every.end(), 0);
    return every; // a name: it is looked up as it leaves each socket
}

bool ServerCore::sendToDevice(std::size_t index, const kyvo::Bytes &frame, Port port)
{
    if (index >= DeviceTable::kSlots || !m_devices.at(index).present) return false;
    const quint16 to = port == Port::Device ? m_options.devicePort : m_devices.at(index).replyPort;
    sendCommand(frame, destinationFor(index), to);
    return true;
}

bool ServerCore::reread(std::size_t index)
{
    if (index >= DeviceTable::kSlots || !m_devices.at(index).present) return false;
    const DeviceEntry &e = m_devices.at(index);
    const QString address = QString::fromStdString(e.addressText);
    m_rereads[index] = 0;
    for (const kyvo::Bytes &frame : rereadFrames(e.macTail))
        sendCommand(frame, address, m_options.devicePort);
    return true;
}

void ServerCore::setAdaptersForTesting(QList<AdapterItem> adapters)
{
    m_adapters = std::move(adapters);
    m_allAdapters.clear();
    for (const AdapterItem &a :
         m_adapters.first(std::min<qsizetype>(m_adapters.size(), kyvo::kMaxAllAdapters)))
        m_allAdapters.append({a.address, a.description, a.prefixLength});
}

void ServerCore::chooseAdapter(int item)
{
    const bool valid = item >= 0 && item < std::min<int>(int(m_adapters.size()), kMaxAdapterMenuItems);
    m_chosenAdapter = valid ? item : -1;
    m_socketAdapters.clear();
    openSockets({valid ? m_adapters[item].address : QString()});
}

int ServerCore::chooseAllAdapters()
{
    if (m_allAdapters.isEmpty()) {
        chooseAdapter(-1);
        return 1;
    }
    m_chosenAdapter = kAllAdapters;
    m_socketAdapters = m_allAdapters;
    QList<QString> addresses;
    for (const kyvo::AdapterAddress &a : m_socketAdapters)
        addresses.append(a.address);
    openSockets(addresses);
    return int(addresses.size());
}

void ServerCore::openSockets(const QList<QString> &addresses)
{
    m_extraSockets.clear();
    m_seenOn.clear();
    m_socket.open(addresses.front(), m_options.localPort);
    for (qsizetype i = 1; i < addresses.size(); ++i) {
        m_extraSockets.push_back(std::make_unique<MainSocket>());
        connectSocket(*m_extraSockets.back(), int(i));
        m_extraSockets.back()->open(addresses[i], m_options.localPort);
    }
}

QString ServerCore::chosenAdapterAddress() const
{
    return m_chosenAdapter >= 0 ? m_adapters[m_chosenAdapter].address : QString();
}

QString ServerCore::adapterAddressOf(const DeviceEntry &entry) const
{
    if (m_socketAdapters.isEmpty()) return chosenAdapterAddress();
    const auto it = m_seenOn.find(entry.macTail);
    return m_socketAdapters[it == m_seenOn.end() ? 0 : it->second].address;
}

} // namespace pelmar
