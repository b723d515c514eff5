// The dialog `devinfo` behind "设备信息": the runtime report of the record,
// the device name edit, the identity copied on a click, and the hidden
// periodic query of the device's information text.
#pragma once

#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/ui/device_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace vorlet {

class devinfo : public DeviceDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 133;
    static constexpr int kRevealClicks = 21; // more than 20
    static constexpr kyvo::Millis kQueryPeriod{3000};
    static constexpr kyvo::Millis kShowPeriod{1000};

    devinfo(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent = nullptr);

    // "确定": the name into the record, then close.
    void store();
    void clickIdentity();
    void clickUptime();
    void setQuerying(bool on);

    QString lineText(int control) const;
    QString infoText() const;
    bool queryShown() const;
    bool querying() const { return m_query.running(); }
    // The uptime clicks count for as long as the program runs.
    static int &uptimeClicks();

protected:
    void runDue(kyvo::Millis now) override;
    std::optional<kyvo::Millis> nextDeadline() const override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ticker m_query, m_show;
    QLabel *m_uptime = nullptr;
    QLabel *m_identity = nullptr;
    QLineEdit *m_name = nullptr;
    QCheckBox *m_queryBox = nullptr;
    QPlainTextEdit *m_info = nullptr;
};

} // namespace vorlet
