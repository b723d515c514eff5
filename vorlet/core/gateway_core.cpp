// Gateway core: searches and dispatch of answers.
#include "vorlet/core/gateway_core.h"

#include "vorlet/link/search_request.h"

namespace vorlet {

GatewayCore::GatewayCore(Options options, QObject *parent) : QObject(parent), m_options(options)
{
    m_searchTimer.setSingleShot(true);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] {
        m_endpoint.send(buildSearchRequest(m_scope), {m_options.broadcastAddress, m_options.devicePort});
        Q_EMIT searchSent();
    });
    connect(&m_endpoint, &GatewayEndpoint::messageReceived, this, &GatewayCore::onMessage);
    connect(&m_endpoint, &GatewayEndpoint::sent, this, &GatewayCore::onSent);
}

void GatewayCore::startLocalSearch()
{
    m_devices.clear();
    m_ignoredReported = {};
    Q_EMIT listCleared();
    m_searchTimer.start(m_options.searchDelayMs);
}

bool GatewayCore::startCrossRouterSearch(const std::vector<SearchRange> &ranges)
{
    m_devices.clear();
    m_ignoredReported = {};
    Q_EMIT listCleared();
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
    m_sweepToken = m_endpoint.sendSteps(std::move(*steps));
}

void GatewayCore::onSent(quint64 token)
{
    if (m_sweep && !m_sweepDone && token == m_sweepToken) sendNextSweepJob();
}

kyvo::Ipv4Endpoint GatewayCore::destinationFor(const ParameterRecord &record) const
{
    if (m_scope == 0) return {m_options.broadcastAddress, m_options.devicePort};
    return {seenAddress(record), m_options.devicePort};
}

quint64 GatewayCore::sendToDevice(const kyvo::Bytes &message, const ParameterRecord &record)
{
    return m_endpoint.send(message, destinationFor(record));
}

void GatewayCore::onMessage(quint32 sender, const QByteArray &message)
{
    const auto bytes = kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(message.constData()),
                                      std::size_t(message.size()));
    const DispatchResult result = dispatchMessage(m_devices, sender, bytes);
    using Kind = DispatchResult::Kind;
    switch (result.kind) {
    case Kind::DeviceAdded:
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
