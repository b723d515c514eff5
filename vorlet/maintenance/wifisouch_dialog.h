// The dialog `wifisouch` behind the WiFi "搜索" link: asks the gateway to
// scan for access points, lists the networks of its answer, and hands the
// chosen SSID and access-point MAC back to the main window.
#pragma once

#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/ui/device_dialog.h"

class QPushButton;
class QTableWidget;

namespace vorlet {

class wifisouch : public DeviceDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 134;

    wifisouch(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent = nullptr);

    // "搜索附近的热点".
    void scan();
    // "确定": the selected row becomes the result.
    void choose();

    bool scanning() const { return m_check.running(); }
    QTableWidget *list() const { return m_list; }
    QString chosenSsid() const { return m_ssid; }
    QString chosenMac() const { return m_mac; }

protected:
    void runDue(kyvo::Millis now) override;
    std::optional<kyvo::Millis> nextDeadline() const override;
    void done(int result) override;

private:
    void stopScan();
    void fillList();

    Ticker m_check;
    std::optional<kyvo::Millis> m_scanEnd;
    QTableWidget *m_list = nullptr;
    QPushButton *m_scan = nullptr;
    QString m_ssid, m_mac;
};

} // namespace vorlet
