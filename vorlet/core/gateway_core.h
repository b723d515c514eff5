// The gateway tool's core without windows: the endpoint, the device list,
// the local and cross-router searches and the dispatch of answers. The main
// window and vorlet-cli both drive it.
#pragma once

#include "common/ipv4.h"
#include "vorlet/link/cross_router_sweep.h"
#include "vorlet/link/gateway_endpoint.h"
#include "vorlet/record/device_list.h"
#include "vorlet/record/dispatch.h"

#include <QObject>
#include <QTimer>

#include <memory>
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
    GatewayEndpoint &endpoint() { return m_endpoint; }
    const Options &options() const { return m_options; }

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

private:
    void onMessage(quint32 sender, const QByteArray &message);
    void reportEvents(const DispatchResult &result);
    void sendNextSweepJob();
    void onSent(quint64 token);

    Options m_options;
    GatewayEndpoint m_endpoint;
    DeviceList m_devices;
    std::uint8_t m_scope = 0;
    QTimer m_searchTimer;
    std::unique_ptr<CrossRouterSweep> m_sweep;
    quint64 m_sweepToken = 0;
    bool m_sweepDone = true;
    std::pair<std::size_t, bool> m_ignoredReported{};
};

} // namespace vorlet
