// "SCAN   双击选择": the WiFi scan's list of networks. The main window owns
// one and reuses it for every scan; a double click chooses a network and
// closes it. The countdown runs on an injected clock.
#pragma once

#include "pelmar/advanced/wifi_scan.h"
#include "pelmar/link/command_frame.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QTableWidget;

namespace pelmar {

class LanguageTable;

class ScanListDialog : public QDialog
{
    Q_OBJECT
public:
    ScanListDialog(const LanguageTable &language, const kyvo::Clock *clock = nullptr,
                   QWidget *parent = nullptr);
    ~ScanListDialog() override;

    // A new scan of the server with this MacTail: empty list, header
    // "searching  6", then opens without a nested event loop.
    void startScan(const MacTail &tail);
    // A datagram routed to the scan list. Only a reply of the scanned
    // server while the list is open counts; it replaces the list.
    void takeReply(const QByteArray &datagram);
    // Moves the countdown on to the clock's time (a timer calls it).
    void poll();

    // The network chosen by the last double click, and whether the scan
    // that just closed chose it.
    QString chosenNetwork() const { return m_chosen; }
    bool choseThisTime() const { return m_choseThisTime; }
    QString header() const;
    QTableWidget *list() const { return m_list; }

private:
    void showHeader();
    void choose(int row);

    const LanguageTable &m_language;
    const kyvo::Clock *m_clock;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    QTableWidget *m_list;
    QTimer m_timer;
    ScanCountdown m_countdown;
    MacTail m_tail{};
    QString m_chosen;
    bool m_choseThisTime = false;
};

} // namespace pelmar
