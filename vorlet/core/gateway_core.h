// The gateway tool's core without windows: the endpoint, the device list,
// the local and cross-router searches and the dispatch of answers. The main
// window and vorlet-cli both drive it.
#pragma once

#include "common/adapters.h"
#include "common/ipv4.h"
#include "vorlet/link/cross_router_sweep.h"
#include "vorlet/link/gateway_endpoint.h"
#include "vorlet/record/device_list.h"
#include "vorlet/record/dispatch.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>
#include <set>
#include <utility>

namespace vorlet {

class GatewayCore : public QObject
{
    Q_OBJECT
public:
    struct Options {
        std::uint32_t broadcastAddress = kyvo::kBroadcastAddress;
        std::uint16_t devicePort = kDevicePort;
        int searchDelayMs = 500; // timer 1: from the click to the request
    };
    explicit GatewayCore(QObject *parent = nullptr) : GatewayCore(Options{}, parent) {}
    explicit GatewayCore(Options options, QObject *parent = nullptr);

    DeviceList &devices() { return m_devices; }
    const DeviceList &devices() const { return m_devices; }
    // The endpoint of "默认" or of one adapter; under "全部网卡" the first adapter's.
    GatewayEndpoint &endpoint() { return m_endpoint; }
    const Options &options() const { return m_options; }

    // One adapter (empty: "默认", bound to any address): one endpoint, the
    // others closed.
    void openAdapter(const QString &address = {});
    // "全部网卡": an endpoint per adapter, at most kyvo::kMaxAllAdapters (the
    // first is endpoint()). Searches leave through every one; each device
    // keeps the adapter it was first seen on, and every later message to it
    // leaves through that adapter. No adapters: "默认".
    void openAllAdapters(QList<kyvo::AdapterAddress> adapters);
    bool allAdapters() const { return !m_adapters.isEmpty(); }
    int endpointCount() const { return 1 + int(m_extraEndpoints.size()); }
    GatewayEndpoint &endpointAt(int i) { return i == 0 ? m_endpoint : *m_extraEndpoints[std::size_t(i - 1)]; }
    // The endpoint a device's messages leave through: under "全部网卡" its
    // adapter's (endpoint() for a device not seen on any), else endpoint().
    GatewayEndpoint &endpointFor(const Mac &mac);
    GatewayEndpoint &endpointFor(const ParameterRecord &record);
    // The local address of that endpoint (most significant octet first): the
    // device's adapter, else what endpoint() is bound to (0: any address).
    std::uint32_t adapterOf(const ParameterRecord &record) const;
    // A device message through the adapter of the device whose MAC it carries.
    quint64 sendMessage(const kyvo::Bytes &message, kyvo::Ipv4Endpoint destination);
    // Messages dropped by every endpoint: all of them, and the answers among them.
    quint64 queueDrops() const { return dropped(&GatewayEndpoint::queueDrops); }
    quint64 answerDrops() const { return dropped(&GatewayEndpoint::answerDrops); }
    // GatewayEndpoint::deliverAnswers of every endpoint.
    void deliverAnswers();

    // Byte 2 of every device message: 1 while "跨路由搜索" is checked.
    void setScope(std::uint8_t scope) { m_scope = scope; }
    std::uint8_t scope() const { return m_scope; }

    // Empties the list, then broadcasts the search request after the delay.
    void startLocalSearch();
    // Empties the list and sends the request to every address of the ranges.
    // False (and nothing sent) when there are no ranges.
    bool startCrossRouterSearch(const std::vector<SearchRange> &ranges);
    // Ends the sweep once the address being sent is finished.
    void stopCrossRouterSearch();
    bool sweepRunning() const { return m_sweep && !m_sweepDone; }
    const CrossRouterSweep *sweep() const { return m_sweep.get(); }

    // A device message for the device of this record: broadcast in scope 0,
    // else unicast to the address the device was first seen from.
    kyvo::Ipv4Endpoint destinationFor(const ParameterRecord &record) const;
    quint64 sendToDevice(const kyvo::Bytes &message, const ParameterRecord &record);

    // Counts of the last search, for reports: gateways the full list could
    // not take, and whether more answered than were counted.
    std::size_t ignoredDevices() const { return m_devices.ignored(); }
    bool ignoredBeyondCount() const { return m_devices.ignoredBeyondCount(); }

Q_SIGNALS:
    void listCleared();
    void searchSent();
    void deviceAdded(int index);
    void deviceUpdated(int index);
    // A device the full list could not take; once per device counted.
    void deviceIgnored(int ignoredSoFar);
    void queryAnswered(int index);
    void clockUpdated(int index);
    void liveIoUpdated(int index);
    void selfTestResult(const QString &text);
    void pingAnswer(int index, const QByteArray &text);
    // An answer to a command; index is -1 for a device not in the list. The
    // MAC names the device even then, so an operation waiting on one device
    // takes only that device's answers.
    void commandResult(int code, int index, const QByteArray &body, const vorlet::Mac &mac);
    void sweepProgress();
    void sweepFinished();
    // GatewayEndpoint::sent and composed of every endpoint.
    void sent(quint64 token);
    void composed(quint64 token, const QByteArray &message, quint32 address, quint16 port);

private:
    void clearList();
    quint64 dropped(quint64 (GatewayEndpoint::*count)() const) const;
    void connectEndpoint(GatewayEndpoint &endpoint, int adapter);
    int adapterIndexOf(const Mac &mac) const;
    std::vector<int> adaptersFor(std::uint32_t address) const;
    void onMessage(quint32 sender, const QByteArray &message, int adapter);
    void reportEvents(const DispatchResult &result);
    void sendNextSweepJob();
    void onSent(quint64 token);

    Options m_options;
    GatewayEndpoint m_endpoint;
    DeviceList m_devices;
    std::uint8_t m_scope = 0;
    QTimer m_searchTimer;
    std::unique_ptr<CrossRouterSweep> m_sweep;
    std::set<quint64> m_sweepTokens; // the current address's jobs, one per adapter it leaves through
    bool m_sweepDone = true;
    std::pair<std::size_t, bool> m_ignoredReported{};
    QList<kyvo::AdapterAddress> m_adapters; // "全部网卡": endpoint i is adapter i's
    std::vector<std::unique_ptr<GatewayEndpoint>> m_extraEndpoints;
    std::map<Mac, int> m_seenOn; // device -> adapter, at most one per listed device
};

} // namespace vorlet
