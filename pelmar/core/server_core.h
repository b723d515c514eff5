// The serial-server tool's core without windows: the main socket, the
// device table, the broadcast search and subnet sweep, the item-by-item
// reading of short-frame servers and the routing of every received
// datagram. The main window and pelmar-cli both drive it.
#pragma once

#include "common/adapters.h"
#include "common/clock.h"
#include "common/one_box_of_a_kind.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/link/discovery.h"
#include "pelmar/link/main_socket.h"
#include "pelmar/link/read_sequence.h"
#include "pelmar/model/device_table.h"
#include "pelmar/records/dispatch.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>
#include <set>

namespace pelmar {

struct AdapterItem
{
    QString address;       // dotted IPv4, what the sockets bind to
    QString description;   // the adapter's name
    int prefixLength = -1; // its subnet's length in bits (-1 unknown)
    QString text() const { return description + QStringLiteral(" | ") + address; }
};

class ServerCore : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString broadcastAddress = QStringLiteral("255.255.255.255"); // BroadcastAddress at start-up
        quint16 devicePort = kDevicePort;   // search, sweep, restart, factory reset, upgrade, re-read
        quint16 localPort = kMainLocalPort; // the main socket (0: any free port)
        const kyvo::Clock *clock = nullptr; // the sessions' time; a steady clock when null
    };

    // The status bar's panes.
    enum Pane { SearchPane = 0, PortPane = 1, SavePane = 2, AddressPane = 3, PaneCount = 4 };
    // Where a command to one device goes: the device port (restart, reset,
    // upgrade) or the port its reply came from (item reads and writes,
    // record writes, commit).
    enum class Port { Device, Reply };

    static constexpr int kMaxAdapterItems = 128;
    static constexpr int kMaxAdapterMenuItems = 64;
    static constexpr int kProgressMaximum = 255;

    explicit ServerCore(QObject *parent = nullptr) : ServerCore(Options{}, parent) {}
    explicit ServerCore(Options options, QObject *parent = nullptr);
    ~ServerCore() override;

    DeviceTable &devices() { return m_devices; }
    const DeviceTable &devices() const { return m_devices; }
    // Rows of the device list: row number = device index.
    int rowCount() const { return int(m_devices.presentCount()); }
    const Options &options() const { return m_options; }
    // The main socket of "默认" or of one adapter; under "全部网卡" the first adapter's.
    MainSocket &socket() { return m_socket; }
    const MainSocket &socket() const { return m_socket; }
    // Under "全部网卡" one main socket per adapter (socketAt(0) is socket()).
    int socketCount() const { return 1 + int(m_extraSockets.size()); }
    MainSocket &socketAt(int i) { return i == 0 ? m_socket : *m_extraSockets[std::size_t(i - 1)]; }
    // Datagrams dropped by every main socket because this thread fell behind:
    // all of them, and the answers among them.
    quint64 queueDrops() const { return dropped(&MainSocket::queueDrops); }
    quint64 answerDrops() const { return dropped(&MainSocket::answerDrops); }
    // MainSocket::deliverAnswers of every main socket.
    void deliverAnswers();
    // Runs done once every datagram handed to the main sockets so far has gone to the system.
    void whenSent(std::function<void()> done);

    // The status texts follow the table's language. Setting it empties
    // panes 0 to 2 and shows the broadcast address again in pane 3.
    const LanguageTable &language() const { return m_language; }
    void setLanguage(Language language);
    QString statusText(int pane) const { return m_status[std::size_t(pane)]; }

    // "广播搜索": broadcast search while ticked, else the subnet sweep.
    bool broadcastSearch() const { return m_broadcastSearch; }
    void setBroadcastSearch(bool ticked) { m_broadcastSearch = ticked; }
    QString broadcastAddress() const { return m_broadcastAddress; }
    // "指定网段": OK of its dialog stores the text; unticking restores
    // 255.255.255.255. Both show the address in pane 3.
    void setSubnetAddress(const QString &address);
    void clearSubnet();
    // The box itself: ticked with the text its dialog accepted, or unticked.
    void selectSubnet(bool ticked, const QString &accepted = {})
    {
        if (ticked)
            setSubnetAddress(accepted);
        else
            clearSubnet();
    }
    // Pane 3 := "广播地址:" + the broadcast address (also after the subnet dialog's Cancel).
    void showBroadcastAddress();
    // The dialog's suggestion: this host's first address cut after its third '.', then "255".
    QString subnetSuggestion() const;

    // "搜索设备". False when the sweep has no usable prefix: sweepRefused()
    // carries the message and nothing else changes.
    bool startSearch();
    SearchSession::State searchState() const { return m_search.state(); }
    bool progressVisible() const { return m_progressVisible; }
    int progress() const { return m_progress; }
    std::size_t readSequencesRunning() const { return m_reads.running(); }

    // Commands to one device, by the destination rule.
    QString destinationFor(std::size_t index) const;
    // Under "全部网卡" a datagram leaves through the adapter of the device it
    // is for (named by the frame's MacTail or by the destination address),
    // else through the adapters whose subnet holds the destination, else
    // through every adapter.
    void sendCommand(const kyvo::Bytes &frame, const QString &destination, quint16 port);
    void sendDatagram(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint destination);
    // False (nothing sent) for an index that is not a present device.
    bool sendToDevice(std::size_t index, const kyvo::Bytes &frame, Port port);
    // The double-click: items 0x02 .. 0x07 to the row's address, device port.
    // Once all six have answered the device is shown again (deviceShown).
    bool reread(std::size_t index);

    // The adapter list, built once (at most 128 entries; the menu shows 64).
    const QList<AdapterItem> &adapters() const { return m_adapters; }
    // Also the adapters of "全部网卡" (the first kyvo::kMaxAllAdapters).
    void setAdaptersForTesting(QList<AdapterItem> adapters);
    // "网络适配器": -1 is "默认" (all addresses). Re-creates the main socket.
    void chooseAdapter(int item);
    // "全部网卡": a main socket on each adapter that is up (at most
    // kyvo::kMaxAllAdapters); each device keeps the adapter it was first
    // seen on. Returns how many sockets open (socketOpened or
    // socketBindFailed follows for each).
    int chooseAllAdapters();
    static constexpr int kAllAdapters = -2;
    // The menu item chosen: -1 "默认", kAllAdapters "全部网卡".
    int chosenAdapter() const { return m_chosenAdapter; }
    // What the sub-dialogs bind to: the chosen adapter's address, empty for
    // "默认" (and "全部网卡", where adapterAddressOf names each device's).
    QString chosenAdapterAddress() const;
    // The address a device's own sockets bind to: under "全部网卡" its
    // adapter's, else chosenAdapterAddress().
    QString adapterAddressOf(const DeviceEntry &entry) const;

    // Runs the sessions' work that is due now (tests on a manual clock call
    // it after advancing the clock; a timer calls it otherwise).
    void poll();

    // Message boxes the network opens: one of each kind at a time. A datagram
    // that would open a second while the first is up is dropped (what else
    // it does still happens).
    enum class Alert { Message4096, ScanMessage };
    Q_ENUM(Alert)
    // The box of that kind was closed: the next one may open.
    void alertClosed(Alert kind) { m_alerts.closed(kind); }

Q_SIGNALS:
    void listCleared();
    void rowAppended(int index);    // a new device at this index; its first column is the address text
    void deviceShown(int index);    // the device of this index is to be shown
    void devicesIgnored(int count); // devices beyond the 256th, so far in this search
    void statusChanged(int pane, const QString &text);
    void progressChanged(bool visible, int position);
    void alertRaised(pelmar::ServerCore::Alert kind, const QString &text); // a message box, see alertClosed
    void sweepRefused(const QString &message);                             // a message box
    void wifiScanData(const QByteArray &datagram);
    void tftpDatagram(const QByteArray &datagram, const QString &address, quint16 port);
    // A write's answer (0x10, 0x11) and where it came from, so a save takes
    // only its own device's answers.
    void writeAccepted(const QString &address, quint16 port);
    void writeRefused(const QString &address, quint16 port);
    void searchRequestSent(const QString &destination);
    void broadcastTimedOut();
    void sweepFinished();
    void socketOpened(quint16 localPort);
    void socketBindFailed(const QString &address);

private:
    void connectSocket(MainSocket &socket, int adapter);
    quint64 dropped(quint64 (MainSocket::*count)() const) const;
    void openSockets(const QList<QString> &addresses);
    std::vector<int> adaptersFor(const kyvo::Bytes &datagram, const QString &destination) const;
    void onDatagram(const QByteArray &data, const QString &address, quint16 port, int adapter);
    void onTick(const SearchSession::Tick &tick);
    void startReadSequence(const ReadSequence &params, const std::string &address, quint16 port);
    void raiseAlert(Alert kind, const QString &text);
    void noteRereadItem(const DispatchOutcome &out, std::uint8_t code);
    void showSearchEnd();
    void setStatus(int pane, const QString &text);
    void setStatusSlot(int pane, int slot, const QString &suffix = {});
    void setProgress(bool visible, int position);
    void arm();

    Options m_options;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    MainSocket m_socket;
    DeviceTable m_devices;
    LanguageTable m_language;
    SearchSession m_search;
    ParallelSchedule m_reads;
    struct ReadDestination
    {
        QString address;
        quint16 port;
        MacTail tail;
    };
    std::map<std::uint64_t, ReadDestination> m_readDestinations;
    std::set<MacTail> m_reading;               // one reading per device at a time
    std::map<std::size_t, unsigned> m_rereads; // device index -> items of its re-read answered so far (bits)
    kyvo::OneBoxOfAKind<Alert> m_alerts;
    std::uint64_t m_nextRead = 1;
    QTimer m_timer;
    std::array<QString, PaneCount> m_status;
    QString m_broadcastAddress;
    bool m_broadcastSearch = true;
    bool m_progressVisible = false;
    int m_progress = 0;
    QList<AdapterItem> m_adapters;
    int m_chosenAdapter = -1;
    QList<kyvo::AdapterAddress> m_allAdapters;    // what "全部网卡" opens
    QList<kyvo::AdapterAddress> m_socketAdapters; // under "全部网卡": socket i is adapter i's
    std::vector<std::unique_ptr<MainSocket>> m_extraSockets;
    std::map<MacTail, int> m_seenOn; // device -> adapter, one per device of the table
};

} // namespace pelmar
