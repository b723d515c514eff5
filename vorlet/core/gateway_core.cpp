// Gateway core: searches and dispatch of answers.
#include "vorlet/core/gateway_core.h"

#include "vorlet/link/device_message.h"
#include "vorlet/link/search_request.h"

#include <algorithm>

namespace vorlet {

namespace {

Mac macOf(const ParameterRecord &record)
{
    Mac mac{};
    std::copy(std::begin(record.mac), std::end(record.mac), mac.begin());
    return mac;
}

// The address a sweep job's request goes to.
std::uint32_t jobAddress(const std::vector<kyvo::PacedStep> &steps)
{
    for (const kyvo::PacedStep &s : steps)
        if (!s.datagram.empty()) return s.destination.address;
    return 0;
}

} // namespace

GatewayCore::GatewayCore(Options options, QObject *parent) : QObject(parent), m_options(options)
{
    m_searchTimer.setSingleShot(true);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] {
        // 255.255.255.255 leaves through every adapter; a subnet's broadcast through its adapter.
        for (int adapter : adaptersFor(m_options.broadcastAddress))
            endpointAt(adapter).send(buildSearchRequest(m_scope),
                                     {m_options.broadcastAddress, m_options.devicePort});
        Q_EMIT searchSent();
    });
    connectEndpoint(m_endpoint, 0);
}

void GatewayCore::connectEndpoint(GatewayEndpoint &endpoint, int adapter)
{
    connect(
        &endpoint, &GatewayEndpoint::messageReceived, this,
        [this, adapter](quint32 sender, const QByteArray &message) { onMessage(sender, message, adapter); });
    connect(&endpoint, &GatewayEndpoint::sent, this, &GatewayCore::onSent);
    connect(&endpoint, &GatewayEndpoint::sent, this, &GatewayCore::sent);
    connect(&endpoint, &GatewayEndpoint::composed, this, &GatewayCore::composed);
}

void GatewayCore::openAdapter(const QString &address)
{
    const bool closing = !m_extraEndpoints.empty();
    m_extraEndpoints.clear();
    m_adapters.clear();
    m_seenOn.clear();
    m_endpoint.open(address);
    // A sweep that waited on a closed endpoint goes on once the one left has sent what it holds.
    if (closing && sweepRunning()) m_sweepTokens = {m_endpoint.sendSteps({})};
}

void GatewayCore::openAllAdapters(QList<kyvo::AdapterAddress> adapters)
{
    if (adapters.size() > kyvo::kMaxAllAdapters) adapters.resize(kyvo::kMaxAllAdapters);
    openAdapter(adapters.isEmpty() ? QString() : adapters.front().address);
    m_adapters = std::move(adapters);
    for (int i = 1; i < m_adapters.size(); ++i) {
        m_extraEndpoints.push_back(std::make_unique<GatewayEndpoint>());
        connectEndpoint(*m_extraEndpoints.back(), i);
        m_extraEndpoints.back()->open(m_adapters[i].address);
    }
}

int GatewayCore::adapterIndexOf(const Mac &mac) const
{
    const auto it = m_seenOn.find(mac);
    return it == m_seenOn.end() ? 0 : it->second;
}

GatewayEndpoint &GatewayCore::endpointFor(const Mac &mac)
{
    return endpointAt(adapterIndexOf(mac));
}

GatewayEndpoint &GatewayCore::endpointFor(const ParameterRecord &record)
{
    return endpointFor(macOf(record));
}

std::uint32_t GatewayCore::adapterOf(const ParameterRecord &record) const
{
    if (!allAdapters()) return m_endpoint.localAddress();
    const QString &address = m_adapters[adapterIndexOf(macOf(record))].address;
    return kyvo::parseIpv4(address.toStdString()).value_or(0);
}

std::vector<int> GatewayCore::adaptersFor(std::uint32_t address) const
{
    if (!allAdapters()) return {0};
    return kyvo::adaptersHolding(m_adapters, address);
}

quint64 GatewayCore::sendMessage(const kyvo::Bytes &message, kyvo::Ipv4Endpoint destination)
{
    const auto view = checkEnvelope(message);
    GatewayEndpoint &through = view ? endpointFor(view->mac) : m_endpoint;
    return through.send(message, destination);
}

quint64 GatewayCore::dropped(quint64 (GatewayEndpoint::*count)() const) const
{
    quint64 n = (m_endpoint.*count)();
    for (const auto &e : m_extraEndpoints)
        n += ((*e).*count)();
    return n;
}

void GatewayCore::deliverAnswers()
{
    for (int i = 0; i < endpointCount(); ++i)
        endpointAt(i).deliverAnswers();
}

void GatewayCore::clearList()
{
    m_devices.clear();
    m_seenOn.clear();
    m_ignoredReported = {};
    Q_EMIT listCleared();
}

void GatewayCore::startLocalSearch()
{
    clearList();
    m_searchTimer.start(m_options.searchDelayMs);
}

bool GatewayCore::startCrossRouterSearch(const std::vector<SearchRange> &ranges)
{
    clearList();
    if (ranges.empty() || ranges.size() > SearchRanges::kCapacity) return false;
    m_sweep = std::make_unique<CrossRouterSweep>(ranges, buildSearchRequest(1), m_options.devicePort);
    m_sweepDone = false;
    if (m_sweep->total() == 0) {
        m_sweepDone = true;
        Q_EMIT sweepFinished();
        return true;
    }
    sendNextSweepJob();
    return true;
}

void GatewayCore::stopCrossRouterSearch()
{
    if (m_sweep) m_sweep->requestStop();
}

void GatewayCore::sendNextSweepJob()
{
    auto steps = m_sweep->nextJob();
    Q_EMIT sweepProgress();
    if (!steps) {
        m_sweepDone = true;
        Q_EMIT sweepFinished();
        return;
    }
    // Out of the adapter whose subnet holds the address, or of each when none does.
    m_sweepTokens.clear();
    for (int adapter : adaptersFor(jobAddress(*steps)))
        m_sweepTokens.insert(endpointAt(adapter).sendSteps(*steps));
}

void GatewayCore::onSent(quint64 token)
{
    if (m_sweep && !m_sweepDone && m_sweepTokens.erase(token) && m_sweepTokens.empty()) sendNextSweepJob();
}

kyvo::Ipv4Endpoint GatewayCore::destinationFor(const ParameterRecord &record) const
{
    if (m_scope == 0) return {m_options.broadcastAddress, m_options.devicePort};
    return {seenAddress(record), m_options.devicePort};
}

quint64 GatewayCore::sendToDevice(const kyvo::Bytes &message, const ParameterRecord &record)
{
    return endpointFor(record).send(message, destinationFor(record));
}

void GatewayCore::onMessage(quint32 sender, const QByteArray &message, int adapter)
{
    const auto bytes = kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(message.constData()),
                                      std::size_t(message.size()));
    const DispatchResult result = dispatchMessage(m_devices, sender, bytes);
    using Kind = DispatchResult::Kind;
    switch (result.kind) {
    case Kind::DeviceAdded:
        if (allAdapters()) m_seenOn[result.mac] = adapter;
        Q_EMIT deviceAdded(int(result.index));
        break;
    case Kind::DeviceUpdated:
        Q_EMIT deviceUpdated(int(result.index));
        break;
    case Kind::ListFull:
        // Repeats of a device already counted change nothing to report.
        if (m_devices.ignored() != m_ignoredReported.first ||
            m_devices.ignoredBeyondCount() != m_ignoredReported.second) {
            m_ignoredReported = {m_devices.ignored(), m_devices.ignoredBeyondCount()};
            Q_EMIT deviceIgnored(int(m_devices.ignored()));
        }
        return;
    case Kind::QueryAnswer:
        Q_EMIT queryAnswered(int(result.index));
        break;
    case Kind::CommandResult:
        Q_EMIT commandResult(
            result.code, result.index < m_devices.count() ? int(result.index) : -1,
            QByteArray(reinterpret_cast<const char *>(result.body.data()), qsizetype(result.body.size())),
            result.mac);
        return;
    case Kind::Ignored:
        return;
    }
    reportEvents(result);
}

void GatewayCore::reportEvents(const DispatchResult &result)
{
    const int index = int(result.index);
    if (result.events.clockUpdated) Q_EMIT clockUpdated(index);
    if (result.events.liveIoUpdated) Q_EMIT liveIoUpdated(index);
    if (result.events.selfTest) Q_EMIT selfTestResult(QString::fromLatin1(*result.events.selfTest));
    if (result.events.pingAnswer)
        Q_EMIT pingAnswer(index, QByteArray(reinterpret_cast<const char *>(result.events.pingAnswer->data()),
                                            qsizetype(result.events.pingAnswer->size())));
}

} // namespace vorlet
